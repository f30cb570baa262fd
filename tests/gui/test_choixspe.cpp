#include "instrument/choixspe.h"

#include "support/qtprint.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTest>
#include <gtest/gtest.h>

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
    EXPECT_EQ(ChoixSpectroDlg, &dlg);
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
