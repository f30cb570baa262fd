#include "windows/choixspe.h"

#include "support/attente.h"
#include "support/ports.h"
#include "support/qtprint.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

using namespace kelvor;

namespace {

struct Cas
{
    const char* nom;
    QList<qint32> presents;
    quint16 stocke;
    QStringList items;
    QString coche;          // empty: nothing checked
    quint16 apresOK;
};

void PrintTo(const Cas& c, std::ostream* os) { *os << c.nom; }

class ChoixSpectroTest : public ::testing::TestWithParam<Cas>
{};

TEST_P(ChoixSpectroTest, ListsPresentPortsAndKeepsTheChoiceOnOK)
{
    const Cas& c = GetParam();
    Tspectro& s = NouveauSpectro();
    s.ComNumberS = c.stocke;
    s.Kelvor = k5100;

    TChoixSpectroDlg dlg;
    const QSet<qint32> presents(c.presents.begin(), c.presents.end());
    int sondes = 0;
    dlg.SetSonde([&](qint32 n) { ++sondes; return presents.contains(n); },
                 [](qint32 n) { return QStringLiteral("/dev/ttyFAKE%1").arg(n); });
    dlg.Active();
    dlg.Active();   // each activation starts from an empty list

    QStringList items;
    QString coche;
    for (QRadioButton* b : dlg.ItemsPorts()) {
        items << b->text();
        if (b->isChecked())
            coche = b->text();
    }
    EXPECT_EQ(items, c.items);
    EXPECT_EQ(coche, c.coche);
    EXPECT_EQ(sondes, 100) << "ports 1..50 probed once per activation";
    if (!dlg.ItemsPorts().isEmpty()) {
        EXPECT_EQ(dlg.ItemsPorts().first()->accessibleDescription(),
                  QStringLiteral("/dev/ttyFAKE%1").arg(c.presents.first()));
    }

    dlg.ItemKelvor(k5105)->setChecked(true);
    dlg.Valide();
    EXPECT_EQ(s.ComNumberS, c.apresOK);
    EXPECT_EQ(s.Kelvor, k5105);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, ChoixSpectroTest,
    ::testing::Values(Cas{"StoredPortPresent", {3, 7}, 7, {"COM3", "COM7"}, "COM7", 7},
                      Cas{"StoredPortAbsent", {5}, 2, {"COM5"}, "COM5", 5},
                      Cas{"NoPortAtAll", {}, 4, {}, "", 4},
                      Cas{"LastPortCounts", {1, 50}, 50, {"COM1", "COM50"}, "COM50", 50}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(ChoixSpectro, CancelChangesNothingAndTheStoredVariantIsSelected)
{
    Tspectro& s = NouveauSpectro();
    s.ComNumberS = 3;
    s.Kelvor = k5105;
    TChoixSpectroDlg dlg;
    dlg.SetSonde([](qint32 n) { return n == 3 || n == 9; }, [](qint32) { return QString(); });
    dlg.Active();
    EXPECT_TRUE(dlg.ItemKelvor(k5105)->isChecked());
    EXPECT_EQ(dlg.windowTitle(), "Spectrophotomètre");
    EXPECT_EQ(dlg.Comports->title(), "Voie série : ");

    dlg.ItemsPorts().last()->setChecked(true);
    dlg.ItemKelvor(k5100)->setChecked(true);
    dlg.show();
    QTest::mouseClick(dlg.CancelBtn, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(s.ComNumberS, 3);
    EXPECT_EQ(s.Kelvor, k5105);
}

} // namespace

namespace kelvor_acces {

using namespace kelvor;

QString Legende(TChoixSpectroDlg& dlg, int position)
{
    return dlg.ItemsPorts()[position]->toolTip();
}

TEST(ChoixSpectroAcces, ShowsEachPortsAccessAndWhatToDo)
{
    qputenv("USER", "eleve");
    Tspectro& s = NouveauSpectro();
    TChoixSpectroDlg dlg;
    QSet<qint32> presents{3, 7};
    dlg.SetSonde([&](qint32 n) { return presents.contains(n); },
                 [](qint32 n) { return QStringLiteral("/dev/ttyFAKE%1").arg(n); });
    dlg.SetAcces([](qint32 n) { return n == 3 ? apRefuse : apLibre; });

    s.ComNumberS = 7;
    dlg.Active();
    ASSERT_EQ(dlg.ItemsPorts().size(), 2);
    EXPECT_EQ(Legende(dlg, 0), "/dev/ttyFAKE3 (accès refusé)");
    EXPECT_EQ(Legende(dlg, 1), "/dev/ttyFAKE7 (libre)");
    EXPECT_EQ(dlg.ItemsPorts()[0]->accessibleName(), "COM3, accès refusé");
    EXPECT_EQ(dlg.NoteLabel->text(), MessageAcces(3, "/dev/ttyFAKE3", apRefuse));
    EXPECT_TRUE(dlg.NoteLabel->text().contains("« dialout »"));

    struct Cas { const char* nom; QSet<qint32> presents; quint16 stocke; QString note; };
    const Cas cas[] = {
        {"stored port gone", {7}, 5,
         "La voie série COM5 (/dev/ttyFAKE5) n'existe pas : l'adaptateur USB-série est-il branché ?"},
        {"no port at all", {}, 5,
         "Aucune voie série n'est présente : branchez l'adaptateur USB-série, il apparaîtra ici."},
        {"stored port there and free", {7}, 7, ""},
    };
    for (const Cas& c : cas) {
        presents = c.presents;
        s.ComNumberS = c.stocke;
        dlg.Active();
        EXPECT_EQ(dlg.NoteLabel->text(), c.note) << c.nom;
        EXPECT_EQ(dlg.NoteLabel->isVisibleTo(&dlg), !c.note.isEmpty()) << c.nom;
    }
}

// A USB adapter plugged in while the dialog is open appears in the list, and goes away
// when it is removed; the choices made in the dialog are kept.
TEST(ChoixSpectroAcces, HotPluggedAdapterAppearsWhileTheDialogIsShown)
{
    QTemporaryDir dossier;
    const QString usb = dossier.filePath("ttyUSB0");
    CacheLesPorts();
    MontrePort(5, usb);
    MontrePort(6, dossier.filePath("ttyUSB1"));
    const int maitre = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(maitre, 0);
    ASSERT_EQ(grantpt(maitre), 0);
    ASSERT_EQ(unlockpt(maitre), 0);
    const QString esclave = QString::fromLocal8Bit(ptsname(maitre));

    Tspectro& s = NouveauSpectro();
    s.ComNumberS = 1;
    s.Kelvor = k5100;
    TChoixSpectroDlg dlg;
    dlg.Active();
    dlg.show();
    EXPECT_TRUE(dlg.ItemsPorts().isEmpty());
    dlg.ItemKelvor(k5105)->setChecked(true);

    ASSERT_TRUE(QFile::link(esclave, usb));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.ItemsPorts().size() == 1; }, 5000));
    ASSERT_EQ(dlg.ItemsPorts().size(), 1);
    EXPECT_EQ(dlg.ItemsPorts().first()->text(), "COM5");
    EXPECT_EQ(Legende(dlg, 0), usb + " (libre)");
    EXPECT_TRUE(dlg.ItemKelvor(k5105)->isChecked()) << "the variant chosen in the dialog stays";

    ASSERT_TRUE(QFile::link(esclave, dossier.filePath("ttyUSB1")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.ItemsPorts().size() == 2; }, 5000));
    dlg.ItemsPorts().last()->setChecked(true);
    ASSERT_TRUE(QFile::remove(usb));
    EXPECT_TRUE(QTest::qWaitFor([&] { return dlg.ItemsPorts().size() == 1; }, 5000));
    EXPECT_TRUE(dlg.ItemsPorts().first()->isChecked()) << "COM6, chosen before, stays chosen";

    dlg.hide();
    QFile::remove(dossier.filePath("ttyUSB1"));
    EXPECT_TRUE(ResteVrai([&] { return dlg.ItemsPorts().size() == 1; }, 600))
        << "not watched once hidden";
    ::close(maitre);
    for (int n = 1; n <= 50; ++n)
        qunsetenv(("KELVOR_COM" + QByteArray::number(n)).constData());
}

} // namespace kelvor_acces
