// The pieces shared by the measurement windows, on plain widgets.

#include "windows/boiteaoutils.h"

#include "windows/kelvorconst.h"
#include "graph/canevas.h"
#include "platform/pressepapier.h"
#include "support/attente.h"
#include "support/dialoguesscript.h"
#include "windows/communs.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace kelvor;

namespace {

TEST(Sablier, NestedGuardsAndAThrowLeaveTheNormalCursor)
{
    {
        TSablier dehors;
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        try {
            TSablier dedans;
            throw std::runtime_error("échange interrompu");
        } catch (const std::runtime_error&) {
        }
        ASSERT_NE(QApplication::overrideCursor(), nullptr) << "the outer guard still holds";
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(Indication, ShortAndLongParts)
{
    struct Cas { const char* texte; const char* bulle; const char* longue; };
    const Cas cas[] = {
        {"Démarrer|Lance l'acquisition", "Démarrer", "Lance l'acquisition"},
        {"|Arrêt de l'acquisition", "Arrêt de l'acquisition", "Arrêt de l'acquisition"},
        {"Impression du graphe", "Impression du graphe", "Impression du graphe"},
    };
    for (const Cas& c : cas) {
        QWidget w;
        Indication(&w, QString::fromUtf8(c.texte));
        EXPECT_EQ(w.toolTip(), QString::fromUtf8(c.bulle)) << c.texte;
        EXPECT_EQ(w.statusTip(), QString::fromUtf8(c.longue)) << c.texte;
        EXPECT_EQ(w.accessibleDescription(), QString::fromUtf8(c.longue)) << c.texte;
        QAction a(QStringLiteral("&Action"));
        Indication(&a, QString::fromUtf8(c.texte));
        EXPECT_EQ(a.toolTip(), QString::fromUtf8(c.bulle)) << c.texte;
        EXPECT_EQ(a.statusTip(), QString::fromUtf8(c.longue)) << c.texte;
    }
    QWidget sans;
    Indication(&sans, QStringLiteral("Court|Long"), buSans);
    EXPECT_TRUE(sans.toolTip().isEmpty()) << "a window without tool tips";
    EXPECT_EQ(sans.statusTip(), "Long");
}

TEST(ProposeSauvegarde, AsksOnlyForUnsavedWorkAndSavesOnYes)
{
    TDialoguesScript dialogues;
    int sauvegardes = 0;
    const auto sauve = [&] { ++sauvegardes; };
    ProposeSauvegarde(false, sauve);        // the script fails on any question
    EXPECT_TRUE(dialogues.questions.isEmpty());
    dialogues.Repond(false);
    ProposeSauvegarde(true, sauve);
    EXPECT_EQ(sauvegardes, 0);
    dialogues.Repond(true);
    ProposeSauvegarde(true, sauve);
    EXPECT_EQ(sauvegardes, 1);
    EXPECT_EQ(dialogues.questions, QStringList({"Sauvegarde", "Sauvegarde"}));
}

// Without the companion link: no dialog, nothing sent, the copy on the clipboard alone.
TEST(EnvoiSansLiaison, NothingGoesToKurvalisTheCopyGoesToTheClipboard)
{
    TDialoguesScript dialogues;
    EXPECT_EQ(DialogueParametres(nullptr), nullptr);
    EXPECT_FALSE(ConfirmeEnvoi(nullptr));
    EXPECT_TRUE(dialogues.questions.isEmpty());
    const TValeursConstante vide = ValeursParametres(nullptr);
    EXPECT_FALSE(vide.avecConstante);
    EXPECT_TRUE(vide.Commentaire.isEmpty());
    EXPECT_EQ(ExecutableEnvoi(nullptr), QCoreApplication::applicationFilePath());
    EnvoieTable(nullptr, {"a\tb", "1\t2"}, false);
    EXPECT_EQ(LitPressePapier(), "a\tb\r\n1\t2\r\n");
}

class Destinations : public ::testing::Test
{
protected:
    QWidget fenetre;
    QToolButton* bouton = new QToolButton(&fenetre);
    TDestinations* d = new TDestinations(bouton);
    int clics = 0;

    void SetUp() override
    {
        auto* l = new QVBoxLayout(&fenetre);
        l->addWidget(bouton);
        bouton->setText(QStringLiteral("&Sauver"));
        QObject::connect(bouton, &QToolButton::clicked, [this] { ++clics; });
        fenetre.show();
        fenetre.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&fenetre));
    }
};

TEST_F(Destinations, SettingsCheckTheLastDestinationSetAndGiveItsImage)
{
    EXPECT_EQ(d->Menu->actions(), QList<QAction*>({d->KurvalisM, d->ClipM, d->FileM}));
    EXPECT_EQ(bouton->menu(), d->Menu);
    d->Coche(false, false, false);
    for (QAction* a : d->Menu->actions())
        EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
    d->Coche(true, true, false);
    EXPECT_FALSE(d->KurvalisM->isChecked());
    EXPECT_TRUE(d->ClipM->isChecked());
    EXPECT_EQ(bouton->icon().cacheKey(), d->ClipM->icon().cacheKey());
}

TEST_F(Destinations, PickingAnItemAlreadyCheckedStillSaves)
{
    QSignalSpy choix(d, &TDestinations::Choix);
    d->Choisit(d->FileM);
    d->FileM->trigger();
    ASSERT_EQ(choix.size(), 1);
    EXPECT_EQ(choix[0][0].value<QAction*>(), d->FileM);
}

// The same keys in every window: Ctrl+S saves while "Sauver" is there; Down, Alt+Down
// and the menu key open the drop-down.
TEST_F(Destinations, Keys)
{
    QTest::keyClick(&fenetre, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(clics, 1);
    bouton->setEnabled(false);
    QTest::keyClick(&fenetre, Qt::Key_S, Qt::ControlModifier);
    bouton->setEnabled(true);
    bouton->hide();
    QTest::keyClick(&fenetre, Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(clics, 1) << "a disabled or hidden \"Sauver\" takes no key";
    bouton->show();

    const struct { Qt::Key touche; Qt::KeyboardModifiers mods; const char* nom; } cas[] = {
        {Qt::Key_Down, Qt::NoModifier, "Down"},
        {Qt::Key_Down, Qt::AltModifier, "Alt+Down"},
        {Qt::Key_Menu, Qt::NoModifier, "Menu"},
    };
    for (const auto& c : cas) {
        bool ouvert = false;
        // The drop-down runs its own loop: look at it, then close it.
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(Attends([&] { return d->Menu->isVisible(); }, 2000));
            ouvert = true;
            d->Menu->close();
        });
        bouton->setFocus();
        QTest::keyClick(bouton, c.touche, c.mods);
        EXPECT_TRUE(Attends([&] { return ouvert && !d->Menu->isVisible(); }, 3000)) << c.nom;
    }
    EXPECT_EQ(clics, 1) << "opening the drop-down saves nothing";
}

class ZoneImage : public ::testing::Test
{
protected:
    TZoneImage zone{QStringLiteral("Graphe")};
    TCanevasQt canevas;
    int completes = 0;

    void SetUp() override
    {
        zone.resize(120, 80);
        zone.Redessine = [this] {
            ++completes;
            if (zone.Attache(canevas)) {
                canevas.Brush.Color = clWhite;
                canevas.FillRect(TRectangle{0, 0, zone.width(), zone.height()});
                canevas.Detache();
            }
        };
    }
};

TEST_F(ZoneImage, FullRepaintOnlyWhenStale)
{
    EXPECT_TRUE(zone.Perimee());
    ASSERT_TRUE(zone.Prepare());
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(zone.Image().size(), QSize(120, 80));
    EXPECT_TRUE(zone.Prepare());
    EXPECT_EQ(completes, 1) << "an up-to-date picture is kept";

    // A drawing added to a fresh picture keeps it; on a stale one the whole is redone.
    zone.DessineDans(canevas, [&] {
        canevas.Pen.Color = clRed;
        canevas.MoveTo(10, 10);
        canevas.LineTo(10, 40);
    });
    EXPECT_EQ(completes, 1);
    EXPECT_EQ(zone.Image().pixelColor(10, 20), QColor(Qt::red));
    zone.Invalide();
    bool dessine = false;
    zone.DessineDans(canevas, [&] { dessine = true; });
    EXPECT_EQ(completes, 2);
    EXPECT_FALSE(dessine);
    EXPECT_EQ(zone.Image().pixelColor(10, 20), QColor(Qt::white));

    zone.resize(200, 100);
    EXPECT_TRUE(zone.Perimee()) << "a new size needs a new picture";
    EXPECT_TRUE(zone.Prepare());
    EXPECT_EQ(zone.Image().size(), QSize(200, 100));

    TZoneImage vide{QStringLiteral("Vide")};
    vide.resize(0, 0);
    EXPECT_FALSE(vide.Prepare()) << "nothing to draw on";
}

TEST_F(ZoneImage, MouseSignalsInPixels)
{
    QSignalSpy appui(&zone, &TZoneImage::Appui);
    QSignalSpy relache(&zone, &TZoneImage::Relache);
    zone.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&zone));
    QTest::mousePress(&zone, Qt::RightButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&zone, Qt::RightButton, {}, QPoint(5, 6));
    EXPECT_TRUE(appui.isEmpty()) << "only the left button grabs";
    QTest::mousePress(&zone, Qt::LeftButton, {}, QPoint(30, 40));
    QTest::mouseRelease(&zone, Qt::LeftButton, {}, QPoint(31, 41));
    ASSERT_EQ(appui.size(), 1);
    EXPECT_EQ(appui[0], QList<QVariant>({30, 40}));
    ASSERT_EQ(relache.size(), 1);
    EXPECT_EQ(relache[0], QList<QVariant>({31, 41}));
}

} // namespace
