#include "windows/specmain.h"

#include "windows/about.h"
#include "app/application.h"
#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "windows/choixspe.h"
#include "instrument/port.h"
#include "platform/portserie.h"
#include "simulateur.h"
#include "support/attente.h"
#include "support/controlescoupes.h"
#include "support/dialoguesscript.h"
#include "support/localefixe.h"
#include "support/mnemoniques.h"
#include "support/ports.h"
#include "support/qtprint.h"
#include "instrument/inifile.h"
#include "windows/panneauspectre.h"
#include "windows/spinedit.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace kelvor;

namespace {

const QString NonConnecte = QStringLiteral(
    "Le spectrophotomètre n'est pas connecté.\nCliquer sur le bouton \"Connection\".");

// The window on a real pseudo-terminal with the simulated instrument on port 1; every
// other port number is hidden so a failed search does not wait on real devices.
class SpecMainTest : public ::testing::Test
{
protected:
    TDialoguesScript dialogues;
    TSimulateur sim;
    std::unique_ptr<TFenetresProgramme> fenetres;
    TSpectreMain* w = nullptr;

    void SetUp() override
    {
        CacheLesPorts();
        QString erreur;
        ASSERT_TRUE(sim.Demarre(&erreur)) << erreur.toStdString();
        MontrePort(1, sim.Peripherique());
        sim.physique.bruit = false;
        NouveauSpectro();
        Cree();
    }

    void Cree()
    {
        fenetres = std::make_unique<TFenetresProgramme>();
        w = &fenetres->Principale();
        w->resize(1000, 680);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        w->PaintBox->Prepare();
    }

    void Detruit()
    {
        fenetres.reset();
        w = nullptr;
    }

    void Connecte()
    {
        w->InitAppareil();
        ASSERT_EQ(w->etatSpectre(), esAttente);
    }

    static bool Attends(const std::function<bool()>& condition, int ms = 10000)
    {
        return ::Attends(condition, ms);
    }

    void Plage(qint32 debut, qint32 fin, qint32 pas)
    {
        w->PasSE->SetValue(pas);
        w->FinSE->SetValue(fin);
        w->DebutSE->SetValue(debut);
        w->FinSE->SetValue(fin);
    }

    void Blanc(qint32 debut, qint32 fin, qint32 pas)
    {
        Plage(debut, fin, pas);
        dialogues.Repond(true);
        w->BlancClick();
        ASSERT_TRUE(Attends([&] { return w->lecture() == lNone; }));
    }

    // Starts a sample scan whose lines the test sends itself.
    void SpectreManuel(qint32 debut, qint32 fin)
    {
        Plage(debut, fin, Spectro().pasLambda);
        sim.pannes.ignoreProchaines = 1;
        dialogues.Repond(true);
        w->SpectreClick();
        ASSERT_EQ(w->etatSpectre(), esEnCours);
    }

    void Emet(qint32 debut, qint32 fin, qint32 pas)
    {
        QByteArray lignes;
        for (qint32 l = debut; l <= fin; l += pas)
            lignes += QByteArray::number(l) + ":20000\r";
        Spectro().LambdaCourante = -1;
        sim.Emet(lignes);
        ASSERT_TRUE(Attends([&] { return Spectro().LambdaCourante == fin; }));
    }

    // A pointer move as the window system delivers it.
    static void Bouge(QWidget* zone, QPoint pt, Qt::MouseButtons boutons = Qt::NoButton)
    {
        QMouseEvent ev(QEvent::MouseMove, pt, zone->mapToGlobal(pt), Qt::NoButton, boutons, {});
        QApplication::sendEvent(zone, &ev);
    }

    QString Statut() const { return w->statusBar()->currentMessage(); }
};

TEST_F(SpecMainTest, CreationBringsStoredRangeInsideTheSpinEditBounds)
{
    struct Cas { const char* nom; qint32 debut, fin, pas; qint32 debutVu, finVu; };
    const Cas cas[] = {
        {"first start, nothing stored", 0, 0, 2, 320, 500},
        {"stored end below 500", 400, 450, 2, 400, 500},
        {"stored end above the top", 400, 1200, 4, 400, 996},
        {"stored start below the variant", 100, 700, 1, 320, 700},
    };
    for (const Cas& c : cas) {
        Detruit();
        Tspectro& s = NouveauSpectro();
        s.DebutLambda = c.debut;
        s.FinLambda = c.fin;
        s.pasLambda = c.pas;
        Cree();
        EXPECT_EQ(w->DebutSE->Value(), c.debutVu) << c.nom;
        EXPECT_EQ(w->FinSE->Value(), c.finVu) << c.nom;
        EXPECT_EQ(w->PasSE->Value(), c.pas) << c.nom;
        EXPECT_EQ(Spectro().DebutLambda, c.debutVu) << c.nom;
        EXPECT_EQ(Spectro().FinLambda, c.finVu) << c.nom;
        EXPECT_EQ(w->FinSE->MaxValue(), 1000 - c.pas) << c.nom;
        EXPECT_EQ(w->FinSE->MinValue(), c.debutVu + 30) << c.nom;
        EXPECT_EQ(w->DebutSE->MaxValue(), c.finVu - 30) << c.nom;
    }
    EXPECT_EQ(w->windowTitle(), "Tracé de spectre avec le spectrophotomètre KELVOR 51xx");
    EXPECT_TRUE(w->LambdaLabel->text().isEmpty());
    EXPECT_FALSE(w->DebugPanel->isVisible());
    EXPECT_TRUE(w->ConnectionBtn->isVisible());
    EXPECT_FALSE(w->SauverAct->isEnabled());
    EXPECT_FALSE(w->KurvalisAct->isEnabled());
}

TEST_F(SpecMainTest, ConnectionSearchSetsTextsAndHidesTheConnectionControls)
{
    struct Cas { const char* nom; bool muet; TEtatSpectre etat; QString titre; QString statut; };
    const Cas cas[] = {
        {"instrument answers", false, esAttente, "Kelvor 5105 : tracé de spectre pour Kurvalis",
         "Kelvor51xx 5105trouvé sur COM1"},
        {"instrument silent", true, esInit, "Spectro Kelvor 51xx non trouvé",
         "Cliquer sur le bouton Config."},
    };
    for (const Cas& c : cas) {
        sim.pannes.muet = c.muet;
        sim.EffaceJournal();
        w->InitAppareil();
        EXPECT_EQ(w->etatSpectre(), c.etat) << c.nom;
        EXPECT_EQ(w->windowTitle(), c.titre) << c.nom;
        EXPECT_EQ(Statut(), c.statut) << c.nom;
        EXPECT_EQ(w->ConfigAct->isVisible(), c.muet) << c.nom;
        EXPECT_EQ(w->ConnectionBtn->isVisible(), c.muet) << c.nom;
        EXPECT_EQ(w->NoteLabel->isVisible(), c.muet) << c.nom;
        EXPECT_EQ(w->BlancAct->isEnabled(), !c.muet) << c.nom;
        EXPECT_FALSE(w->SpectreAct->isEnabled()) << "no baseline yet: " << c.nom;
        EXPECT_EQ(sim.Commandes().value(0), "CONNECT") << c.nom;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.nom;
        // The button hides under the pointer; leaving it must not wipe the message.
        QEvent quitte(QEvent::Leave);
        QApplication::sendEvent(w->ConnectionBtn, &quitte);
        EXPECT_EQ(Statut(), c.statut) << c.nom;
        if (!c.muet) {
            // The instrument reports a 5105: its range starts at 198.
            EXPECT_EQ(w->DebutSE->MinValue(), 198);
            EXPECT_EQ(w->GrapheSpectre.mondeX.mini, 198);
        }
        Detruit();
        NouveauSpectro();
        Cree();
    }
}

TEST_F(SpecMainTest, EnterOnConnectionConnects)
{
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->ConnectionBtn->setFocus();
    QTest::keyClick(w->ConnectionBtn, Qt::Key_Return);
    EXPECT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
}

TEST_F(SpecMainTest, NothingIsCutAtTheMinimumSizeOrAt1024x768)
{
    Connecte();
    w->LambdaLabel->setText(QStringLiteral("Lambda=1000 nm"));
    w->AbsLabel->setText(QStringLiteral("A=0.912"));
    EXPECT_EQ(CoupesAuxTaillesLimites(*w), QStringList());
}

TEST_F(SpecMainTest, MeasurementWithoutInstrumentSaysItIsNotConnected)
{
    w->BlancClick();
    w->SpectreClick();
    w->CinetiqueAct->trigger();
    w->BeerAct->trigger();
    EXPECT_EQ(dialogues.messages, QStringList(4, NonConnecte));
    EXPECT_EQ(w->FenetreCinetique, nullptr);
    EXPECT_EQ(w->FenetreBeer, nullptr);
    EXPECT_EQ(w->Liaison->AcquisitionEnCours(), mSpectre);
    EXPECT_TRUE(dialogues.questions.isEmpty());
    w->StopClick();
    EXPECT_EQ(w->etatSpectre(), esInit) << "Stop before any connection must not look connected";
    EXPECT_TRUE(sim.Commandes().isEmpty());
}

TEST_F(SpecMainTest, ConfigDialogChoosesVariantAndSearchesAgain)
{
    struct Cas { const char* nom; QByteArray modele; bool muet; qint32 miniAttendu; };
    const Cas cas[] = {
        {"no instrument: the chosen 5105 decides", "5105", true, 198},
        {"a connected 5100 overrides the choice", "5100", false, 320},
    };
    for (const Cas& c : cas) {
        Detruit();
        NouveauSpectro();
        Cree();
        sim.modele = c.modele;
        sim.pannes.muet = c.muet;
        QStringList items;
        dialogues.RepondDialogue(true, [&](QDialog& d) {
            auto& dlg = static_cast<TChoixSpectroDlg&>(d);
            for (QRadioButton* b : dlg.ItemsPorts())
                items << b->text() + " " + b->accessibleDescription();
            dlg.ItemKelvor(k5105)->setChecked(true);
        });
        w->ConfigClick();
        EXPECT_EQ(items, QStringList({"COM1 " + sim.Peripherique()})) << c.nom;
        EXPECT_EQ(w->DebutSE->MinValue(), c.miniAttendu) << c.nom;
        EXPECT_EQ(w->GrapheSpectre.mondeX.mini, c.miniAttendu) << c.nom;
        EXPECT_EQ(w->FinSE->MaxValue(), 1000) << c.nom;
        EXPECT_EQ(w->etatSpectre(), c.muet ? esInit : esAttente) << c.nom;
    }
}

TEST_F(SpecMainTest, BaselineSnapsToTheStepAndStoresItsAnchors)
{
    Connecte();
    Spectro().AbsBlanc[350] = 77;   // outside the range: kept
    Spectro().AbsBlanc[401] = 55;   // inside, not measured at step 2: cleared
    sim.EffaceJournal();
    Blanc(401, 703, 2);

    EXPECT_EQ(dialogues.questions.value(0), "Mettre la cuve avec le solvant puis \"OK\"");
    EXPECT_TRUE(sim.Commandes().contains("SCAN:400:704:2")) << sim.Journal().toStdString();
    EXPECT_EQ(w->DebutSE->Value(), 400);
    EXPECT_EQ(w->FinSE->Value(), 702);
    TPhysique p;
    p.bruit = false;
    const Tspectro& s = Spectro();
    for (qint32 l = 400; l <= 702; l += 2)
        ASSERT_EQ(s.AbsBlanc[l], p.Intensite(l, 0)) << l;
    EXPECT_EQ(s.AbsBlanc[401], 0);
    EXPECT_EQ(s.AbsBlanc[350], 77);
    EXPECT_EQ(s.AbsBlanc[198], p.Intensite(400, 0)) << "low anchor at MiniLambda";
    EXPECT_EQ(s.AbsBlanc[1000], p.Intensite(702, 0)) << "high anchor";
    EXPECT_EQ(dialogues.bips, 1);
    EXPECT_EQ(w->AbsLabel->text(), "A=0");
    EXPECT_EQ(w->LambdaLabel->text(), "λ702 nm");
    EXPECT_EQ(w->etatSpectre(), esAttente);
    EXPECT_TRUE(w->blancFait);
    EXPECT_TRUE(w->SpectreAct->isEnabled());
    EXPECT_FALSE(w->StopAct->isEnabled());
    EXPECT_FALSE(w->Progression->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(SpecMainTest, BaselineSnappingAtTheEdgesOfTheRange)
{
    struct Cas { const char* nom; qint32 debut, fin, pas; QByteArray commande; qint32 debutVu, finVu; };
    const Cas cas[] = {
        {"start below the variant is raised back", 198, 600, 4, "SCAN:198:604:4", 198, 600},
        {"end 999 snaps to 998", 500, 999, 2, "SCAN:500:1000:2", 500, 998},
    };
    Connecte();
    for (const Cas& c : cas) {
        sim.EffaceJournal();
        Blanc(c.debut, c.fin, c.pas);
        EXPECT_TRUE(sim.Commandes().contains(c.commande)) << c.nom << ": " << sim.Journal().toStdString();
        EXPECT_EQ(w->DebutSE->Value(), c.debutVu) << c.nom;
        EXPECT_EQ(w->FinSE->Value(), c.finVu) << c.nom;
        EXPECT_EQ(Spectro().FinLambda, c.finVu) << c.nom;
    }
}

TEST_F(SpecMainTest, SampleScanComputesAbsorbanceAgainstTheBaselineAndItsAnchors)
{
    Connecte();
    Blanc(400, 700, 2);
    sim.MetCuve(cuEchantillon);
    Plage(330, 800, 2);
    dialogues.Repond(false);    // the baseline does not cover 330–800: scan anyway
    dialogues.Repond(true);
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));

    TPhysique p;
    p.bruit = false;
    const double noir = p.Obscurite();
    p.cuve = cuEchantillon;
    const Tspectro& s = Spectro();
    for (qint32 l = 330; l <= 800; l += 2) {
        // Below and above the baseline the anchors stand in for the missing blank.
        const qint32 blanc = l < 400 ? s.AbsBlanc[400] : l > 700 ? s.AbsBlanc[700] : s.AbsBlanc[l];
        const double a = -std::log10((p.Intensite(l, 0) - noir) / (blanc - noir));
        ASSERT_NEAR(w->GrapheSpectre.valeurY[l], std::clamp(a, -0.3, 2.5), 1e-9) << l;
        ASSERT_TRUE(std::isnan(w->GrapheSpectre.valeurY[l + 1])) << l + 1;
    }
    EXPECT_TRUE(std::isnan(w->GrapheSpectre.valeurY[328]));
    EXPECT_TRUE(w->dataOK);
    EXPECT_TRUE(w->SauvegardeAfaire);
    EXPECT_TRUE(w->SauverAct->isEnabled());
    EXPECT_TRUE(w->KurvalisAct->isEnabled());
    EXPECT_DOUBLE_EQ(w->GrapheSpectre.mondeY.maxi, w->GrapheSpectre.MaxiY());
    EXPECT_EQ(w->LambdaLabel->text(), "λ800 nm");
    EXPECT_EQ(w->AbsLabel->text(), "A=" + s.StrAbs(w->GrapheSpectre.valeurY[800]));
    EXPECT_EQ(dialogues.bips, 2);

    // A second scan while this one is unsaved: No keeps everything.
    sim.EffaceJournal();
    const Vecteur avant = w->GrapheSpectre.valeurY;
    dialogues.Repond(false);
    w->SpectreClick();
    EXPECT_EQ(dialogues.questions.last(), "Spectre non sauvé, on continue ?");
    EXPECT_TRUE(w->SauvegardeAfaire);
    EXPECT_TRUE(w->dataOK);
    EXPECT_EQ(std::memcmp(&avant, &w->GrapheSpectre.valeurY, sizeof avant), 0);
    EXPECT_TRUE(ResteVrai([&] { return sim.Commandes().isEmpty(); }, 50));
}

TEST_F(SpecMainTest, StopTenNanometresAfterTheStart)
{
    struct Cas { const char* nom; qint32 finMontree; qint32 finLambda; bool dataOK; };
    const Cas cas[] = {
        {"end spin edit raises start+10 to start+30", 700, 430, true},
        {"end spin edit already at start+30: no change rule", 430, 410, false},
    };
    Connecte();
    Blanc(400, 700, 2);
    for (const Cas& c : cas) {
        SpectreManuel(400, c.finMontree);
        EXPECT_TRUE(w->StopAct->isEnabled()) << c.nom;
        EXPECT_FALSE(w->DebutSE->isEnabled()) << c.nom;
        Emet(400, 410, 2);
        w->StopClick();
        EXPECT_EQ(w->FinSE->Value(), 430) << c.nom;
        EXPECT_EQ(Spectro().FinLambda, c.finLambda) << c.nom;
        EXPECT_EQ(w->dataOK, c.dataOK) << c.nom;
        EXPECT_EQ(w->etatSpectre(), esAttente) << c.nom;
        EXPECT_EQ(w->lecture(), lNone) << c.nom;
        EXPECT_FALSE(std::isnan(w->GrapheSpectre.valeurY[410])) << c.nom;
        EXPECT_TRUE(std::isnan(w->GrapheSpectre.valeurY[412])) << c.nom;
        EXPECT_TRUE(w->DebutSE->isEnabled()) << c.nom;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.nom;
        w->SauvegardeAfaire = false;
    }
}

TEST_F(SpecMainTest, SilentInstrumentMidScanLeavesTheWindowUsableThroughStop)
{
    Connecte();
    Blanc(400, 700, 2);
    SpectreManuel(400, 700);
    Emet(400, 450, 2);
    EXPECT_TRUE(ResteVrai([&] { return w->etatSpectre() == esEnCours; }, 300))
        << "a short silence does not end the scan";
    EXPECT_TRUE(w->Progression->isVisible());
    EXPECT_EQ(w->Progression->value(), 16) << "450 nm is 16 % of the way from 400 to 700 nm";
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    ASSERT_TRUE(w->StopAct->isEnabled());
    QTest::keyClick(w, Qt::Key_T, Qt::AltModifier);     // "S&top"
    // The tool button answers its Alt letter after its click animation.
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }, 2000))
        << "Alt+T must stop the scan";
    EXPECT_TRUE(w->BlancAct->isEnabled());
    EXPECT_TRUE(w->SpectreAct->isEnabled());
    EXPECT_FALSE(w->StopAct->isEnabled());
    EXPECT_FALSE(w->Progression->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    // Late lines are discarded: nothing is expected any more.
    sim.Emet("460:20000\r");
    EXPECT_TRUE(ResteVrai([&] { return std::isnan(w->GrapheSpectre.valeurY[460]); }, 100));
}

TEST_F(SpecMainTest, FinSpectreNeedsMoreThanSixteenNanometres)
{
    for (const auto& [d, attendu] : {std::pair{16, false}, std::pair{17, true}}) {
        Spectro().DebutLambda = 500;
        Spectro().FinLambda = 500 + d;
        w->dataOK = !attendu;
        w->SauvegardeAfaire = !attendu;
        w->FinSpectre();
        EXPECT_EQ(w->dataOK, attendu) << d;
        EXPECT_EQ(w->SauvegardeAfaire, attendu) << d;
        EXPECT_EQ(w->SauverAct->isEnabled(), false) << "MajActions has not run yet";
    }
}

// Markers driven by real mouse events on the graph area.
TEST_F(SpecMainTest, MarkersAreGrabbedWithinTwoPixelsAndDragged)
{
    Plage(400, 700, 2);
    QWidget* zone = w->PaintBox;
    const int y = zone->height() / 2;
    struct Cas { const char* nom; int ecart; Tcurseur attendu; };
    for (const Cas& c : {Cas{"2 px grabs", 2, curDebut}, Cas{"3 px grabs nothing", 3, curNormal},
                         Cas{"-2 px grabs", -2, curDebut}}) {
        QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->debutPB + c.ecart, y));
        EXPECT_EQ(w->curseur, c.attendu) << c.nom;
        EXPECT_EQ(zone->cursor().shape(), c.attendu == curNormal ? Qt::ArrowCursor : Qt::SizeHorCursor);
        QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(w->debutPB + c.ecart, y));
        EXPECT_EQ(w->curseur, curNormal) << c.nom;
        Plage(400, 700, 2);
    }

    // Drag the start to 450.
    qint32 x450 = 0, yy = 0;
    w->GrapheSpectre.WindowXY(450, 0, x450, yy);
    QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->debutPB, y));
    Bouge(zone, QPoint(x450, y), Qt::LeftButton);
    QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(x450, y));
    EXPECT_NEAR(Spectro().DebutLambda, 450, 1);
    EXPECT_EQ(w->DebutSE->Value(), Spectro().DebutLambda);
    EXPECT_EQ(w->FinSE->MinValue(), Spectro().DebutLambda + 30);

    // The end released far right of the curve area goes to the top of the range.
    QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->finPB, y));
    EXPECT_EQ(w->curseur, curFin);
    QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(zone->width() - 1, y));
    EXPECT_EQ(w->FinSE->MaxValue(), 998);
    EXPECT_EQ(Spectro().FinLambda, 998) << "MaxiLambda, then the spin edit's change rule";
    w->FinSE->SetMaxValue(1000);    // as after the port dialog
    QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->finPB, y));
    QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(zone->width() - 1, y));
    EXPECT_EQ(Spectro().FinLambda, 1000);

    // The start dragged onto the end marker and released within 30 px of it keeps the
    // value of the last move, held by the spin edit's bounds.
    w->FinSE->SetValue(700);
    qint32 x690 = 0;
    w->GrapheSpectre.WindowXY(690, 0, x690, yy);
    QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->debutPB, y));
    Bouge(zone, QPoint(x690, y), Qt::LeftButton);
    QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(x690, y));
    EXPECT_EQ(Spectro().DebutLambda, 670);
    EXPECT_EQ(w->DebutSE->Value(), 670);

    // While a scan runs the spin edits are disabled and nothing can be grabbed.
    w->DebutSE->setEnabled(false);
    w->FinSE->setEnabled(false);
    QTest::mousePress(zone, Qt::LeftButton, {}, QPoint(w->debutPB, y));
    EXPECT_EQ(w->curseur, curNormal);
    QTest::mouseRelease(zone, Qt::LeftButton, {}, QPoint(w->debutPB, y));
}

TEST_F(SpecMainTest, MarkersInvertThePictureAndMoveWithTheSpinEdits)
{
    Plage(400, 700, 2);
    w->PaintBox->Prepare();
    const QImage avant = w->PaintBox->Image();
    const QRgb fond = avant.pixel(w->debutPB, 5);
    const qint32 ancien = w->debutPB;
    w->DebutSE->SetValue(500);
    const QImage apres = w->PaintBox->Image();
    EXPECT_NE(apres.pixel(w->debutPB, 5), avant.pixel(w->debutPB, 5)) << "drawn at the new column";
    EXPECT_NE(apres.pixel(ancien, 5), fond) << "old marker erased, background restored";
    EXPECT_EQ(apres.pixel(ancien, 5) , qRgb(255, 255, 255) | 0xFF000000);
}

TEST_F(SpecMainTest, HoverReadoutsBeforeAndAfterASpectrum)
{
    QWidget* zone = w->PaintBox;
    qint32 x550 = 0, y = 0, x600 = 0;
    w->GrapheSpectre.WindowXY(550, 1.0, x550, y);
    w->GrapheSpectre.WindowXY(600, 1.0, x600, y);
    Bouge(zone, QPoint(x550, y));
    EXPECT_TRUE(w->LambdaLabel->text().isEmpty());
    EXPECT_EQ(w->GrapheSpectre.Xcroix, x600) << "no spectrum: the cross stays at 600 nm";
    EXPECT_NEAR(w->GrapheSpectre.Ycroix, y, 1);

    // A spectrum 400..700 measured every 10 nm, with nothing from 520 to 700.
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 510; l += 10)
        v[l] = l / 1000.0;
    Plage(400, 700, 2);
    w->dataOK = true;
    w->GrapheSpectre.mondeY.maxi = 2.5;
    w->Redessine();
    w->PaintBox->Prepare();
    struct Cas { const char* nom; qint32 lambda; QString lambdaVu; QString absVu; };
    const Cas cas[] = {
        {"in a gap: next measured point", 441, "Lambda=450 nm", "A=" + Spectro().StrAbs(0.45)},
        {"on a point", 500, "Lambda=500 nm", "A=" + Spectro().StrAbs(0.5)},
        {"gap up to the end", 600, "Lambda=700 nm", "A=0"},
    };
    for (const Cas& c : cas) {
        qint32 x = 0;
        w->GrapheSpectre.WindowXY(c.lambda, 1.0, x, y);
        // Pixel columns are coarser than 1 nm: aim at the column of the wanted wavelength.
        double lr = 0, ar = 0;
        w->GrapheSpectre.MondeXY(x, y, lr, ar);
        Bouge(zone, QPoint(x, y));
        EXPECT_EQ(w->LambdaLabel->text(), c.lambdaVu) << c.nom << " (pointer at " << lr << ")";
        EXPECT_EQ(w->AbsLabel->text(), c.absVu) << c.nom;
    }
    qint32 x800 = 0;
    w->GrapheSpectre.WindowXY(800, 1.0, x800, y);
    double l800 = 0, a800 = 0;
    w->GrapheSpectre.MondeXY(x800, y, l800, a800);
    Bouge(zone, QPoint(x800, y));
    EXPECT_EQ(w->LambdaLabel->text(), QStringLiteral("Lambda=%1 nm").arg(ArrondiPair(l800)));
    EXPECT_EQ(w->AbsLabel->text(), "A=" + Spectro().StrAbs(a800)) << "outside the range: the pointer's";
}

TEST_F(SpecMainTest, SavedSpectrumOpensBackAndFailuresKeepTheData)
{
    QTemporaryDir dossier;
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 700; l += 2)
        v[l] = (l - 400) / 300.0;
    Plage(400, 700, 2);
    w->dataOK = true;
    w->SauvegardeAfaire = true;

    // A folder that does not exist: the system's message, still unsaved.
    dialogues.Repond(true, dossier.filePath("absent/s.txt"));
    w->SauveSpectreClick();
    EXPECT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(w->SauvegardeAfaire);

    const QString nom = dossier.filePath("s.txt");
    dialogues.Repond(true, nom);
    w->SauveSpectreClick();
    EXPECT_FALSE(w->SauvegardeAfaire);
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll().count("\r\n"), 3 + 151);

    const Vecteur avant = v;
    v.fill(0.0);
    Plage(500, 600, 2);
    w->FileOpenAccept(nom);
    for (qint32 l = 320; l <= 1000; ++l) {
        ASSERT_EQ(std::isnan(v[l]), std::isnan(avant[l])) << l;
        if (!std::isnan(avant[l])) {
            ASSERT_NEAR(v[l], avant[l], 5e-4) << l;
        }
    }
    EXPECT_EQ(Spectro().DebutLambda, 400);
    EXPECT_EQ(Spectro().FinLambda, 700);
    EXPECT_EQ(w->DebutSE->Value(), 500) << "opening leaves the spin edits";
    EXPECT_TRUE(w->dataOK);

    dialogues.Repond(true, dossier.filePath("absent.txt"));
    w->FileOpenClick();
    EXPECT_EQ(dialogues.messages.size(), 2);
    EXPECT_NEAR(v[500], avant[500], 5e-4) << "a failed open keeps the spectrum";
    EXPECT_EQ(Spectro().FinLambda, 700);
}

TEST_F(SpecMainTest, ClosingSaysGoodbyeOnlyWhenThePortIsOpen)
{
    w->close();
    EXPECT_TRUE(ResteVrai([&] { return sim.Commandes().isEmpty(); }, 100));

    Detruit();
    Cree();
    Connecte();
    sim.EffaceJournal();
    w->close();
    EXPECT_TRUE(Attends([&] { return !sim.Commandes().isEmpty(); }, 2000));
    EXPECT_EQ(sim.Commandes(), QList<QByteArray>({"DISCONNECT"}));
    EXPECT_FALSE(w->Port->EstOuvert());
}

} // namespace

namespace {

TEST_F(SpecMainTest, KineticsModeMakesItsWindowOnceAndGatesTheActions)
{
    Connecte();
    sim.EffaceJournal();
    w->CinetiqueAct->trigger();
    ASSERT_NE(w->FenetreCinetique, nullptr);
    QWidget* fenetre = w->FenetreCinetique;
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_TRUE(fenetre->isWindow());
    EXPECT_EQ(sim.Commandes(), QList<QByteArray>({"NO OF READINGS 10"}));
    EXPECT_EQ(w->Liaison->AcquisitionEnCours(), mCinetique);
    EXPECT_FALSE(w->BlancAct->isEnabled());
    EXPECT_FALSE(w->BeerAct->isEnabled());
    EXPECT_TRUE(w->CinetiqueAct->isEnabled());

    fenetre->hide();
    w->SetMode(mCinetique);
    EXPECT_EQ(w->FenetreCinetique, fenetre);
    EXPECT_TRUE(fenetre->isVisible());
    w->SetMode(mSpectre);
    EXPECT_TRUE(w->BlancAct->isEnabled());
    EXPECT_TRUE(w->BeerAct->isEnabled());
}

} // namespace

namespace {

TEST_F(SpecMainTest, BeerLambertModeMakesItsWindowOnce)
{
    Connecte();
    w->BeerAct->trigger();
    ASSERT_NE(w->FenetreBeer, nullptr);
    QWidget* fenetre = w->FenetreBeer;
    EXPECT_TRUE(fenetre->isVisible());
    EXPECT_FALSE(w->CinetiqueAct->isEnabled());
    fenetre->hide();
    w->SetMode(mBeer);
    EXPECT_EQ(w->FenetreBeer, fenetre);
    EXPECT_TRUE(fenetre->isVisible());
}

// The new-column choice is offered only when the grid equals that of the last spectrum
// sent. No companion runs: each sending ends in its message, the spectrum counts as sent.
TEST_F(SpecMainTest, SendingOffersTheColumnOnlyForTheSameGrid)
{
    TFormDDE dde;
    dde.Lanceur = [](const QString&) { return false; };
    dde.Attente = [](int) {};
    w->SetFormDDE(&dde);
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 700; l += 2)
        v[l] = 0.5;
    Plage(400, 700, 2);
    w->dataOK = true;
    w->MajActions();

    struct Cas { const char* nom; qint32 pas; bool accepte; bool permis; qint32 oldPas; };
    const Cas cas[] = {
        {"first sending", 2, true, false, 2},
        {"same grid", 2, false, true, 2},       // cancelled: nothing recorded
        {"same grid again", 2, true, true, 2},
        {"step changed", 3, true, false, 3},
    };
    for (const Cas& c : cas) {
        w->PasSE->SetValue(c.pas);
        w->SauvegardeAfaire = true;
        bool permis = false;
        dialogues.RepondDialogue(c.accepte, [&](QDialog& d) {
            permis = static_cast<TConstanteDlg&>(d).AddColPermis;
        });
        w->KurvalisAct->trigger();
        EXPECT_EQ(permis, c.permis) << c.nom;
        EXPECT_EQ(w->oldPas, c.oldPas) << c.nom;
        EXPECT_EQ(w->SauvegardeAfaire, !c.accepte) << c.nom;
    }
    EXPECT_EQ(w->oldDebut, 400);
    EXPECT_EQ(w->oldFin, 700);
    w->SetFormDDE(nullptr);
}

// A reply that is not a whole number while a count is expected reaches the general
// error report once the exchange is over, and the window is not left waiting.
TEST_F(SpecMainTest, BadIntegerReplyIsReportedAndTheWindowStaysUsable)
{
    const struct { const char* nom; QByteArray reponse; QString message; } cas[] = {
        {"short reply quoted whole", "abc", "'abc' n'est pas une valeur entière correcte"},
        {"endless noise quoted on 40 characters", QByteArray(5000, 'Z'),
         "'" + QString(40, 'Z') + "…' n'est pas une valeur entière correcte"},
    };
    Connecte();
    for (const auto& c : cas) {
        dialogues.messages.clear();
        Spectro().NoReading = 0;
        sim.InjecteReponse(c.reponse + "\r");
        w->CinetiqueAct->trigger();
        ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }, 3000)) << c.nom;
        EXPECT_TRUE(ResteVrai([&] { return dialogues.messages.size() == 1; }, 50)) << c.nom;
        EXPECT_EQ(dialogues.messages, QStringList({c.message})) << c.nom;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << c.nom;
        EXPECT_FALSE(w->StopAct->isEnabled()) << c.nom;
        EXPECT_TRUE(w->CinetiqueAct->isEnabled()) << c.nom;
        w->SetMode(mSpectre);
    }
}

} // namespace

namespace {

TEST_F(SpecMainTest, AboutBoxOpensTheUpdatePageOrSaysItCannot)
{
    struct Cas { const char* nom; bool ouvert; QStringList messages; };
    const Cas cas[] = {
        {"the shell opens the page", true, {}},
        {"the shell fails", false,
         {"Impossible d'accéder à " + PageMiseAJour()}},
    };
    EXPECT_TRUE(PageMiseAJour().endsWith("/miseajourKelvor.html"));
    for (const Cas& c : cas) {
        dialogues.messages.clear();
        QList<QUrl> demandees;
        QStringList textes;
        dialogues.RepondDialogue(true, [&](QDialog& d) {
            auto* boite = qobject_cast<TAboutBox*>(&d);
            ASSERT_NE(boite, nullptr);
            for (QLabel* l : boite->findChildren<QLabel*>())
                textes << l->text();
            boite->ouvrePage = [&](const QUrl& url) {
                demandees << url;
                return c.ouvert;
            };
            boite->MiseAJourBtn->click();
        });
        w->AProposAct->trigger();
        EXPECT_EQ(dialogues.questions.last(), "A propos") << c.nom;
        EXPECT_EQ(demandees, QList<QUrl>({QUrl(PageMiseAJour())})) << c.nom;
        EXPECT_EQ(dialogues.messages, c.messages) << c.nom;
        for (const char* t : {"Version 1.01 du 26/06/2015", "Spectrophotomètre Kelvor IC 51xx",
                              "pour Kurvalis Windows"})
            EXPECT_TRUE(textes.contains(QString::fromUtf8(t))) << t;
    }
}

// The whole program on a fresh home folder: the data folder is made at start, the
// permanent windows exist while the loop runs, and the settings are written at exit
// with every baseline wavelength, whether or not an instrument was found.
TEST_F(SpecMainTest, ProgramCreatesItsDataFolderAndSavesTheSettingsAtExit)
{
    Detruit();
    QTemporaryDir home;
    const QByteArray ancienHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/Documents").toUtf8());
    ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
    const QString ini = home.path() + "/Documents/Kurvalis/Kealvor5100.ini";

    struct Cas { const char* nom; bool connecte; QList<QByteArray> commandesFin; qint32 mini; };
    const Cas cas[] = {
        {"first start, no instrument", false, {}, 320},
        {"second start, connected 5105", true, {"DISCONNECT"}, 198},
    };
    for (const Cas& c : cas) {
        bool pretes = false;
        QTimer garde;
        garde.setSingleShot(true);
        QObject::connect(&garde, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        garde.start(8000);
        const int resultat = Programme([&](TSpectreMain& principale) {
            pretes = QFileInfo(home.path() + "/Documents/Kurvalis").isDir()
                       && principale.findChild<TAboutBox*>() && principale.findChild<TConstanteDlg*>()
                       && principale.findChild<TChoixSpectroDlg*>() && QFile::exists(ini) == c.connecte;
            if (c.connecte) {
                principale.InitAppareil();
                EXPECT_EQ(principale.etatSpectre(), esAttente) << c.nom;
                // A measurement window left open does not keep the program alive.
                principale.SetMode(mCinetique);
            }
            sim.EffaceJournal();
            QTimer::singleShot(0, &principale, &QWidget::close);
        });
        EXPECT_EQ(resultat, 0) << c.nom << ": the loop must end when the main window closes";
        EXPECT_TRUE(pretes) << c.nom;
        const auto recues = [&] { return sim.Commandes() == c.commandesFin; };
        EXPECT_TRUE(c.commandesFin.isEmpty() ? ResteVrai(recues, 100) : Attends(recues, 2000)) << c.nom;
        EXPECT_EQ(sim.Commandes(), c.commandesFin) << c.nom;
        EXPECT_TRUE(DossierDonnees.isEmpty()) << c.nom;

        QFile f(ini);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << c.nom;
        const QByteArray octets = f.readAll();
        EXPECT_TRUE(octets.contains("[IC5100]\r\n")) << c.nom;
        const qsizetype base = octets.indexOf("[LigneBase]\r\n");
        ASSERT_GE(base, 0) << c.nom;
        QList<qint32> cles;
        for (const QByteArray& ligne : octets.mid(base).split('\n').mid(1)) {
            if (!ligne.contains('='))
                break;
            cles << ligne.left(ligne.indexOf('=')).toInt();
        }
        std::sort(cles.begin(), cles.end());
        QList<qint32> attendues;
        for (qint32 l = c.mini; l <= 1000; ++l)
            attendues << l;
        EXPECT_EQ(cles, attendues) << c.nom << ": one key per wavelength of the range";
    }
    qputenv("HOME", ancienHome);
    qunsetenv("XDG_DOCUMENTS_DIR");
    NouveauSpectro();
}

} // namespace

namespace {

// Absorbances are rounded once, at the third decimal, in the readout and in the file.
TEST_F(SpecMainTest, AbsorbancesAreRoundedOnceInTheFileAndTheReadout)
{
    LocaleFixe francais(QLocale::French, QLocale::France);
    struct Cas { qint32 lambda; double a; const char* ecrit; };
    const Cas cas[] = {
        {400, 0.0634998, "0,063"},
        {402, -0.2004996, "-0,200"},
        {404, 1.0004999, "1,000"},
        {406, 0.0015001, "0,002"},
        {408, -0.0004, "0,000"},
    };
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    QByteArray attendu;
    for (const Cas& c : cas) {
        v[c.lambda] = c.a;
        attendu += QByteArray::number(c.lambda) + '\t' + c.ecrit + "\r\n";
    }
    Spectro().DebutLambda = 400;
    Spectro().FinLambda = 408;
    QTemporaryDir dossier;
    const QString nom = dossier.filePath("r.txt");
    dialogues.Repond(true, nom);
    w->SauveSpectreClick();
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QByteArray> lignes = f.readAll().split('\n');
    ASSERT_EQ(lignes.size(), 3 + 5 + 1);
    EXPECT_EQ(lignes.mid(3).join('\n'), attendu);

    // The readout of a scan line goes through the same writer.
    Spectro().AbsBlanc.fill(0);
    Spectro().AbsBlanc[400] = 100002;
    Spectro().CourantObscurite = 0;
    Spectro().FinLambda = 700;
    w->SuiviBalayage.Demarre(400, 2);
    w->LigneSpectre("400:86399");   // A = 0.0634999699...
    EXPECT_EQ(w->AbsLabel->text(), "A=0,063");
}

// Hostile settings files through the real window: nothing crashes, the controls and the
// model agree, and the baseline scan command is valid.
TEST_F(SpecMainTest, HostileSettingsFilesGiveAgreeingControlsAndValidCommands)
{
    QTemporaryDir dossier;
    const QString ancien = DossierDonnees;
    DossierDonnees = dossier.path() + '/';
    const struct { const char* nom; QByteArray contenu; } cas[] = {
        {"step 0", "[IC5100]\r\nPasLambda=0\r\nDebut=400\r\nFin=700\r\n"},
        {"negative step", "[IC5100]\r\nPasLambda=-2\r\nDebut=400\r\nFin=698\r\n"},
        {"huge values", "[IC5100]\r\nCom=70000\r\nPasLambda=2147483647\r\nDebut=2147483647\r\nFin=-2147483648\r\n"},
        {"text", "[IC5100]\r\nPasLambda=deux\r\nDebut=quatre cents\r\nFin=\r\n51xx=cinq\r\n"},
        {"missing keys", "[IC5100]\r\n"},
        {"repeated keys", "[IC5100]\r\nPasLambda=3\r\nPasLambda=0\r\nDebut=500\r\nDebut=-1\r\nFin=800\r\n"},
        {"LF-only lines", "[IC5100]\nPasLambda=0\nDebut=900\nFin=950\n51xx=1\n"},
        {"UTF-8 bytes", "[IC5100]\r\nPasLambda=\xc3\xa9\r\nDebut=\xe2\x80\x93" "400\r\nFin=7\xc2\xa0" "00\r\n"},
        {"start beyond the end", "[IC5100]\r\nPasLambda=7\r\nDebut=990\r\nFin=330\r\n"},
        {"binary", QByteArray("[IC5100]\r\nPasLambda=\0\x01\r\nDebut=\xff\xfe\r\n", 31)},
    };
    const QRegularExpression scan(QStringLiteral("^SCAN:(\\d+):(\\d+):(\\d+)$"));
    for (const auto& c : cas) {
        Detruit();
        QFile f(CheminReglages());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contenu);
        f.close();
        InitSpectro();
        Cree();
        const Tspectro& s = Spectro();
        EXPECT_EQ(w->PasSE->Value(), s.pasLambda) << c.nom;
        EXPECT_EQ(w->DebutSE->Value(), s.DebutLambda) << c.nom;
        EXPECT_EQ(w->FinSE->Value(), s.FinLambda) << c.nom;
        EXPECT_GE(s.ComNumberS, 1) << c.nom;
        EXPECT_LE(s.ComNumberS, 50) << c.nom;
        Spectro().ComNumberS = 1;

        Connecte();
        sim.EffaceJournal();
        dialogues.Repond(true);
        w->BlancClick();
        ASSERT_TRUE(Attends([&] { return w->lecture() == lNone; })) << c.nom;
        const QList<QByteArray> commandes = sim.Commandes();
        const QByteArray commande = commandes.isEmpty() ? QByteArray() : commandes.last();
        const auto m = scan.match(QString::fromLatin1(commande));
        ASSERT_TRUE(m.hasMatch()) << c.nom << ": " << commande.constData();
        const qint32 debut = m.captured(1).toInt(), fin = m.captured(2).toInt(), pas = m.captured(3).toInt();
        EXPECT_GE(pas, 1) << c.nom;
        EXPECT_LE(pas, 10) << c.nom;
        EXPECT_GE(debut, 198) << c.nom;
        EXPECT_LE(fin, 1000) << c.nom;
        EXPECT_LT(debut, fin) << c.nom;
        EXPECT_TRUE(w->blancFait) << c.nom;
    }
    DossierDonnees = ancien;
}

// A second "Connection" (or "Config.") while a search waits does nothing: one search,
// one CONNECT, and the port it succeeded on is the one kept.
TEST_F(SpecMainTest, SecondConnectionClickDuringASearchDoesNothing)
{
    sim.pannes.retardMs = 300;
    Spectro().ComNumberS = 1;
    bool cliqueFait = false;
    QTimer::singleShot(100, w, [&] {
        cliqueFait = true;
        w->ConnectionBtn->click();
        w->ConfigAct->trigger();    // an unexpected dialog would fail the script
    });
    w->ConnectionBtn->click();
    EXPECT_TRUE(cliqueFait);
    EXPECT_EQ(w->etatSpectre(), esAttente);
    EXPECT_EQ(sim.Commandes(), QList<QByteArray>({"CONNECT"}));
    EXPECT_EQ(Spectro().ComNumberS, 1);
    EXPECT_EQ(Statut(), "Kelvor51xx 5105trouvé sur COM1");
    EXPECT_TRUE(dialogues.questions.isEmpty());
}

// The instrument unplugged mid-scan and plugged back on the same port name: the points
// measured stay, the window offers "Connection" again, which reconnects without a restart.
TEST_F(SpecMainTest, LostLineMidScanThenReconnectOnTheSamePortAndScan)
{
    QTemporaryDir dossier;
    const QString lien = dossier.filePath("kelvor");
    ASSERT_TRUE(QFile::link(sim.Peripherique(), lien));
    MontrePort(1, lien);
    Connecte();
    Blanc(400, 700, 2);
    sim.MetCuve(cuEchantillon);
    sim.pannes.coupureApres = 20;
    dialogues.Repond(true);
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esInit; }));
    ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }));
    EXPECT_EQ(dialogues.messages, QStringList({TexteLiaisonPerdue(1)}));
    EXPECT_EQ(w->lecture(), lNone);
    EXPECT_TRUE(w->ConnectionBtn->isVisible());
    EXPECT_TRUE(w->ConfigAct->isVisible());
    EXPECT_FALSE(w->StopAct->isEnabled());
    EXPECT_FALSE(w->Progression->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(std::isnan(w->GrapheSpectre.valeurY[400])) << "points measured before the loss stay";
    EXPECT_GT(Spectro().FinLambda, 400);
    EXPECT_TRUE(w->SauvegardeAfaire);

    // The instrument comes back on a new pty behind the same port name.
    ASSERT_TRUE(sim.Demarre());
    QFile::remove(lien);
    ASSERT_TRUE(QFile::link(sim.Peripherique(), lien));
    w->ConnectionBtn->click();
    ASSERT_EQ(w->etatSpectre(), esAttente);
    EXPECT_FALSE(w->ConnectionBtn->isVisible());
    Plage(400, 700, 2);         // the loss ended the range where the scan got to
    dialogues.Repond(true);     // "Spectre non sauvé, on continue ?"
    dialogues.Repond(true);     // the sample cell
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
    EXPECT_FALSE(std::isnan(w->GrapheSpectre.valeurY[700]));
    EXPECT_TRUE(w->dataOK);
}

// The port never waits for CTS: on a three-wire line the instrument still hears us.
TEST_F(SpecMainTest, ThreeWireLineWithoutCtsStillConnects)
{
    sim.pannes.sansCts = true;
    Connecte();
    EXPECT_EQ(sim.Commandes().value(0), "CONNECT");
}

// After a column send, a spectrum on another grid is offered a new page, not a column.
TEST_F(SpecMainTest, ParameterDialogAfterASendOnAnotherGridOffersNoColumn)
{
    TFormDDE dde;
    dde.Lanceur = [](const QString&) { return false; };
    dde.Attente = [](int) {};
    w->SetFormDDE(&dde);
    TConstanteDlg dlg(w);
    w->SetConstanteDlg(&dlg);
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 700; ++l)
        v[l] = 0.5;
    w->dataOK = true;
    w->MajActions();

    struct Cas { const char* nom; qint32 pas; int choix; QStringList items; int choisi; TmodeKurvalis mode; };
    const Cas cas[] = {
        {"first send", 2, 0, {"Nouveau &fichier", "Nouvelle &page"}, 0, kFichier},
        {"same grid as a column", 2, 2, {"Nouveau &fichier", "Nouvelle &page", "Nouvelle &colonne"}, 2, kColonne},
        {"another grid", 1, 1, {"Nouveau &fichier", "Nouvelle &page"}, 1, kPage},
    };
    for (const Cas& c : cas) {
        Plage(400, 700, c.pas);
        QStringList items;
        int choisi = -1;
        dialogues.RepondDialogue(true, [&](QDialog& d) {
            auto& k = static_cast<TConstanteDlg&>(d);
            items = k.Items();
            choisi = k.ItemIndex();
            k.SetItemIndex(c.choix);
        });
        w->KurvalisAct->trigger();
        EXPECT_EQ(items, c.items) << c.nom;
        if (c.choix == 1) {
            EXPECT_EQ(choisi, c.choisi) << c.nom << ": the page stands where the column was";
        }
        EXPECT_EQ(dlg.modeKurvalis, c.mode) << c.nom;
    }
    w->SetFormDDE(nullptr);
    w->SetConstanteDlg(nullptr);
}

TEST_F(SpecMainTest, OpeningAsksBeforeReplacingAnUnsavedScanAndKeepsItForAFileWithoutPoints)
{
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 700; l += 2)
        v[l] = 0.25;
    Plage(400, 700, 2);
    w->dataOK = true;
    w->SauvegardeAfaire = true;
    const Vecteur avant = v;

    dialogues.Repond(false);
    w->OuvrirAct->trigger();
    EXPECT_EQ(dialogues.questions, QStringList({"Spectre non sauvé, on continue ?"}));

    QTemporaryDir dossier;
    const QString nom = dossier.filePath("vide.txt");
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Spectre  01/01/2024 10:00:00\r\nLambda\tA\r\nnm\t\r\nabc\t0,5\r\nsans tabulation\r\n");
    f.close();
    dialogues.Repond(true);
    dialogues.Repond(true, nom);
    w->OuvrirAct->trigger();
    EXPECT_EQ(dialogues.messages,
              QStringList({"Aucun point de spectre lisible dans le fichier " + QDir::toNativeSeparators(nom) + "."}));
    EXPECT_EQ(std::memcmp(&avant, &v, sizeof avant), 0);
    EXPECT_EQ(Spectro().DebutLambda, 400);
    EXPECT_EQ(Spectro().FinLambda, 700);
    EXPECT_TRUE(w->SauvegardeAfaire);
}

TEST_F(SpecMainTest, QuittingAsksOnlyWithUnsavedWork)
{
    Connecte();
    w->SauvegardeAfaire = true;
    sim.EffaceJournal();
    dialogues.Repond(false);
    w->QuitterAct->trigger();
    EXPECT_EQ(dialogues.questions, QStringList({"Non sauvé : le spectre. Quitter quand même ?"}));
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(w->Port->EstOuvert());
    EXPECT_TRUE(ResteVrai([&] { return sim.Commandes().isEmpty(); }, 50));

    dialogues.Repond(true);
    w->QuitterAct->trigger();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(Attends([&] { return sim.Commandes() == QList<QByteArray>({"DISCONNECT"}); }, 2000));

    // Everything saved: no question at all (the script fails on any prompt).
    Detruit();
    Cree();
    dialogues.questions.clear();
    w->close();
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(dialogues.questions.isEmpty());
}

TEST_F(SpecMainTest, ScanOutsideTheBaselineAsksToRedoTheBlank)
{
    Connecte();
    Blanc(320, 500, 2);
    const QString question = QStringLiteral("La ligne de base ne couvre pas 350–750 nm. Refaire le Blanc d'abord ?");

    // No: the scan goes ahead.
    Plage(350, 750, 2);
    sim.EffaceJournal();
    dialogues.Repond(false);
    dialogues.Repond(true);
    w->SpectreClick();
    EXPECT_EQ(dialogues.questions.mid(dialogues.questions.size() - 2),
              QStringList({question, "Mettre la cuve avec l'échantillon puis \"OK\""}));
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
    EXPECT_TRUE(sim.Commandes().contains("SCAN:350:752:2"));

    // Yes: the baseline over the scan's range, after which the scan asks nothing more.
    w->SauvegardeAfaire = false;
    sim.EffaceJournal();
    dialogues.Repond(true);
    dialogues.Repond(true);
    w->SpectreClick();
    EXPECT_EQ(dialogues.questions.mid(dialogues.questions.size() - 2),
              QStringList({question, "Mettre la cuve avec le solvant puis \"OK\""}));
    ASSERT_TRUE(Attends([&] { return w->lecture() == lNone; }));
    EXPECT_TRUE(sim.Commandes().contains("SCAN:350:752:2"));
    const qsizetype n = dialogues.questions.size();
    dialogues.Repond(true);
    w->SpectreClick();
    EXPECT_EQ(dialogues.questions.mid(n), QStringList({"Mettre la cuve avec l'échantillon puis \"OK\""}));
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
}

// "B", "S", "L" and "C" reach their actions whichever spin edit has the focus; digits
// still go to the spin edit.
TEST_F(SpecMainTest, SingleKeyShortcutsFireWithTheFocusInEachSpinEdit)
{
    Connecte();
    Blanc(400, 700, 2);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    struct Touche { Qt::Key touche; QAction* action; };
    const Touche touches[] = {{Qt::Key_B, w->BlancAct}, {Qt::Key_S, w->SpectreAct},
                              {Qt::Key_L, w->BeerAct}, {Qt::Key_C, w->CinetiqueAct}};
    for (const Touche& t : touches)
        QObject::disconnect(t.action, &QAction::triggered, nullptr, nullptr);
    for (TSpinEdit* se : {w->PasSE, w->DebutSE, w->FinSE}) {
        se->setFocus();
        ASSERT_TRUE(QTest::qWaitFor([&] { return se->hasFocus(); }, 1000)) << se->accessibleName().toStdString();
        const QString texte = se->text();
        for (const Touche& t : touches) {
            QSignalSpy declenche(t.action, &QAction::triggered);
            QTest::keyClick(se, t.touche);
            EXPECT_EQ(declenche.size(), 1) << se->accessibleName().toStdString() << " " << t.touche;
            EXPECT_EQ(se->text(), texte);
        }
        QSignalSpy aucune(w->BlancAct, &QAction::triggered);
        se->selectAll();
        QTest::keyClick(se, Qt::Key_7);
        EXPECT_EQ(se->text(), "7") << se->accessibleName().toStdString();
        EXPECT_EQ(aucune.size(), 0);
    }
}

} // namespace

namespace {

// No Documents folder yet: the data folder is made with its parents and the settings
// reach it at exit.
TEST_F(SpecMainTest, MissingDocumentsFolderIsCreatedAndTheSettingsSaved)
{
    Detruit();
    QTemporaryDir home;
    const QByteArray ancienHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    QTimer garde;
    garde.setSingleShot(true);
    QObject::connect(&garde, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    garde.start(8000);
    const int resultat = Programme([](TSpectreMain& principale) {
        QTimer::singleShot(0, &principale, &QWidget::close);
    });
    qputenv("HOME", ancienHome);
    NouveauSpectro();
    EXPECT_EQ(resultat, 0);
    EXPECT_TRUE(QFile::exists(home.path() + "/Documents/Kurvalis/Kealvor5100.ini"));
    EXPECT_TRUE(dialogues.messages.isEmpty()) << dialogues.messages.join('|').toStdString();
}

// A line that does not read, or that is not the next point of the scan's grid, changes
// no stored point and does not end the scan; the scan says at its end how many it dropped.
TEST_F(SpecMainTest, GarbledOrOutOfSequenceLineChangesNoPointAndIsCounted)
{
    struct Cas { const char* nom; bool blanc; qint32 apres; QByteArray intrus; };
    const Cas cas[] = {
        {"garbled line after the 500 nm point, baseline", true, 500, "5#0:3x1"},
        {"garbled line after the 500 nm point, sample", false, 500, "5#0:3x1"},
        {"out-of-sequence line mid-scan, sample", false, 458, "952:31000"},
        {"out-of-sequence line mid-scan, baseline", true, 458, "952:31000"},
    };
    Connecte();
    Blanc(400, 700, 2);
    TPhysique p;
    p.bruit = false;
    const double noir = p.Obscurite();
    for (const Cas& c : cas) {
        sim.pannes.intrusApres = c.apres;
        sim.pannes.intrus = c.intrus;
        Plage(400, 700, 2);
        if (c.blanc) {
            sim.MetCuve(cuSolvant);
            Blanc(400, 700, 2);
        } else {
            sim.MetCuve(cuEchantillon);
            w->SauvegardeAfaire = false;
            dialogues.Repond(true);
            w->SpectreClick();
            ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; })) << c.nom;
        }
        EXPECT_EQ(Statut(), "Balayage terminé : 1 ligne illisible") << c.nom;
        EXPECT_EQ(Spectro().FinLambda, 700) << c.nom;
        EXPECT_EQ(w->FinSE->Value(), 700) << c.nom;
        EXPECT_EQ(w->LambdaLabel->text(), "λ700 nm") << c.nom;
        EXPECT_EQ(dialogues.bips > 0, true) << c.nom;
        EXPECT_TRUE(dialogues.messages.isEmpty()) << c.nom;
        const Tspectro& s = Spectro();
        for (qint32 l = 400; l <= 700; l += 2) {
            if (c.blanc) {
                ASSERT_EQ(s.AbsBlanc[l], p.Intensite(l, 0)) << c.nom << " " << l;
            } else {
                p.cuve = cuEchantillon;
                const double a = -std::log10((p.Intensite(l, 0) - noir) / (s.AbsBlanc[l] - noir));
                p.cuve = cuSolvant;
                ASSERT_NEAR(w->GrapheSpectre.valeurY[l], std::clamp(a, -0.3, 2.5), 1e-9) << c.nom << " " << l;
            }
        }
        if (c.blanc) {
            EXPECT_EQ(s.AbsBlanc[952], 0) << c.nom;
        } else {
            EXPECT_TRUE(std::isnan(w->GrapheSpectre.valeurY[952])) << c.nom;
            EXPECT_TRUE(w->dataOK) << c.nom;
        }
    }

    // A clean scan says nothing about unreadable lines.
    w->statusBar()->clearMessage();
    Blanc(400, 700, 2);
    EXPECT_EQ(Statut(), QString());
}

// Silence during a scan ends it as "Stop" would, with the points received, after 5 s
// without a line; this one runs on the real timer and its default delay.
TEST_F(SpecMainTest, InstrumentSilentMidBaselineEndsItAfterFiveSeconds)
{
    Connecte();
    sim.pannes.muetApres = 30;  // 400..458, then nothing
    Plage(400, 700, 2);
    dialogues.Repond(true);
    QElapsedTimer chrono;
    w->BlancClick();
    ASSERT_TRUE(Attends([&] { return Spectro().LambdaCourante == 458; }, 3000));
    chrono.start();
    ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }, 8000));
    // The chrono starts when the test sees the last line, up to a few hundred ms after
    // the program did on a loaded machine.
    EXPECT_GE(chrono.elapsed(), 4500);
    EXPECT_LT(chrono.elapsed(), 6500);
    EXPECT_EQ(dialogues.messages,
              QStringList({"Le spectrophotomètre n'envoie plus rien depuis 5 s : le balayage est arrêté, "
                           "les points reçus sont gardés.\nVérifier le câble, l'adaptateur et "
                           "l'alimentation du spectrophotomètre."}));
    EXPECT_EQ(w->etatSpectre(), esAttente);
    EXPECT_EQ(w->lecture(), lNone);
    EXPECT_TRUE(w->blancFait);
    EXPECT_EQ(Spectro().FinLambda, 458);
    EXPECT_EQ(w->FinSE->Value(), 458);
    TPhysique p;
    p.bruit = false;
    EXPECT_EQ(Spectro().AbsBlanc[458], p.Intensite(458, 0));
    EXPECT_EQ(Spectro().AbsBlanc[1000], p.Intensite(458, 0)) << "high anchor at the last point";
    EXPECT_TRUE(w->BlancAct->isEnabled());
    EXPECT_FALSE(w->StopAct->isEnabled());
    EXPECT_FALSE(w->Progression->isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The same watch, shortened, mid-scan and before the first line; a slow instrument whose
// lines keep coming is never cut off.
TEST_F(SpecMainTest, InstrumentSilentMidScanOrBeforeItsFirstLine)
{
    Connecte();
    Blanc(400, 700, 2);
    const VecteurInt blanc = Spectro().AbsBlanc;
    w->Liaison->SilenceMiniMs = 400;
    const QString muet = "Le spectrophotomètre n'envoie plus rien depuis 1 s : le balayage est arrêté, "
                         "les points reçus sont gardés.\nVérifier le câble, l'adaptateur et "
                         "l'alimentation du spectrophotomètre.";

    sim.MetCuve(cuEchantillon);
    sim.pannes.muetApres = 20;  // 400..438
    dialogues.Repond(true);
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }, 5000));
    EXPECT_EQ(dialogues.messages, QStringList({muet}));
    EXPECT_EQ(w->etatSpectre(), esAttente);
    EXPECT_EQ(Spectro().FinLambda, 438);
    EXPECT_FALSE(std::isnan(w->GrapheSpectre.valeurY[438]));
    EXPECT_TRUE(w->dataOK) << "438 - 400 > 16";
    EXPECT_TRUE(w->SpectreAct->isEnabled());

    // Silent from the start: the baseline stays as it was, the range end too.
    dialogues.messages.clear();
    Plage(400, 700, 2);
    sim.pannes.muetApres = 0;
    dialogues.Repond(true);
    w->BlancClick();
    ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }, 5000));
    EXPECT_EQ(dialogues.messages,
              QStringList({"Le spectrophotomètre n'a rien envoyé en 1 s : le balayage est arrêté, rien n'a "
                           "changé.\nVérifier le câble, l'adaptateur et l'alimentation du spectrophotomètre."}));
    EXPECT_EQ(std::memcmp(&blanc, &Spectro().AbsBlanc, sizeof blanc), 0);
    EXPECT_EQ(Spectro().FinLambda, 700);
    EXPECT_EQ(w->FinSE->Value(), 700);
    EXPECT_EQ(w->etatSpectre(), esAttente);

    // Lines 200 ms apart: each one restarts the watch, which then allows three intervals.
    dialogues.messages.clear();
    w->SauvegardeAfaire = false;
    SpectreManuel(400, 700);
    for (qint32 l = 400; l <= 410; l += 2) {
        sim.Emet(QByteArray::number(l) + ":20000\r");
        QTest::qWait(200);
    }
    EXPECT_EQ(w->etatSpectre(), esEnCours);
    EXPECT_GE(w->Liaison->DelaiSilenceMs(), 3 * 190);
    EXPECT_TRUE(dialogues.messages.isEmpty());
    w->StopClick();
}

// Until the new baseline has its first line the previous one stays whole: "Stop" or a
// pulled cable before it changes nothing, neither the baseline nor the range end.
TEST_F(SpecMainTest, BaselineLostBeforeItsFirstLineKeepsThePreviousOne)
{
    Connecte();
    Blanc(400, 700, 2);
    const VecteurInt blanc = Spectro().AbsBlanc;
    for (const bool cable : {false, true}) {
        const char* nom = cable ? "cable pulled" : "Stop";
        Plage(360, 640, 2);
        if (cable)
            sim.pannes.coupureApres = 0;
        else
            sim.pannes.muetApres = 0;
        dialogues.Repond(true);
        w->BlancAct->trigger();
        ASSERT_EQ(w->lecture(), lLigneBase) << nom;
        if (cable) {
            ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esInit; })) << nom;
            ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); })) << nom;
            EXPECT_TRUE(ResteVrai([&] { return dialogues.messages.size() == 1; }, 50)) << nom;
            EXPECT_EQ(dialogues.messages, QStringList({TexteLiaisonPerdue(1)})) << nom;
        } else {
            w->StopAct->trigger();
            EXPECT_EQ(w->etatSpectre(), esAttente) << nom;
            EXPECT_TRUE(dialogues.messages.isEmpty()) << nom;
        }
        EXPECT_EQ(std::memcmp(&blanc, &Spectro().AbsBlanc, sizeof blanc), 0) << nom;
        EXPECT_EQ(Spectro().FinLambda, 640) << nom;
        EXPECT_EQ(w->FinSE->Value(), 640) << nom;
        EXPECT_EQ(w->blancDebut, 400) << nom << ": the baseline range is the old one";
        EXPECT_EQ(w->blancFin, 700) << nom;
        EXPECT_TRUE(w->blancFait) << nom;
        EXPECT_EQ(QApplication::overrideCursor(), nullptr) << nom;
    }
    // The file written at exit holds the previous baseline.
    EXPECT_EQ(Spectro().AbsBlanc[500], blanc[500]);
}

// The line lost while the dark reading is awaited: one message, nothing sent after it,
// and no exception crosses the action's dispatch. Closing the window during an exchange
// is no failure at all.
TEST_F(SpecMainTest, UnplugDuringTheDarkReadingIsReportedOnceWithoutException)
{
    Connecte();
    sim.pannes.coupeSur = "MEASURE NO LAMP";
    sim.EffaceJournal();
    dialogues.Repond(true);
    EXPECT_NO_THROW(w->BlancAct->trigger());
    ASSERT_TRUE(Attends([&] { return !dialogues.messages.isEmpty(); }, 2000));
    EXPECT_TRUE(ResteVrai([&] { return dialogues.messages.size() == 1; }, 100));
    EXPECT_EQ(dialogues.messages, QStringList({TexteLiaisonPerdue(1)}));
    EXPECT_EQ(sim.Commandes(), QList<QByteArray>({"MEASURE NO LAMP"}));
    EXPECT_EQ(w->etatSpectre(), esInit);
    EXPECT_FALSE(w->StopAct->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Another window asking for a reading on the lost line gets no value and no new box.
    EXPECT_NO_THROW(EXPECT_TRUE(std::isnan(w->getAbsorbance())));
    EXPECT_NO_THROW(w->GotoLambda(600));
    EXPECT_TRUE(ResteVrai([&] { return dialogues.messages.size() == 1; }, 50));

    // Reconnected, then the window closed while the dark reading is awaited.
    ASSERT_TRUE(sim.Demarre());
    MontrePort(1, sim.Peripherique());
    Connecte();
    Spectro().CourantObscurite = 0;
    sim.pannes.retardMs = 3000;
    dialogues.messages.clear();
    dialogues.Repond(true);
    QTimer::singleShot(200, w, [&] { w->close(); });
    EXPECT_NO_THROW(w->BlancAct->trigger());
    EXPECT_TRUE(ResteVrai([&] { return dialogues.messages.isEmpty(); }, 50))
        << dialogues.messages.join('|').toStdString();
    EXPECT_FALSE(w->Port->EstOuvert());
    for (const QByteArray& commande : sim.Commandes())
        EXPECT_FALSE(commande.startsWith("SCAN")) << commande.constData();
}

// A file that cannot be a spectrum is refused with a message; the spectrum shown stays.
TEST_F(SpecMainTest, HugeOrBinaryFileLeavesTheShownSpectrum)
{
    Vecteur& v = w->GrapheSpectre.valeurY;
    v.fill(PasDeValeur());
    for (qint32 l = 400; l <= 700; l += 2)
        v[l] = 0.25;
    Plage(400, 700, 2);
    const Vecteur avant = v;
    QTemporaryDir dossier;
    const struct { const char* nom; QByteArray contenu; QString debut; } cas[] = {
        {"binary", QByteArray("\x7F" "ELF\x02\x01\x01\0\0\0", 10) + QByteArray(4096, '\0'), "n'est pas un fichier texte"},
        {"2 MB", "Spectre\r\nLambda\tA\r\nnm\t\r\n" + QByteArray(2 << 20, '7'), "dépasse 1 Mo"},
    };
    for (const auto& c : cas) {
        const QString nom = dossier.filePath(c.nom);
        QFile f(nom);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.contenu);
        f.close();
        dialogues.messages.clear();
        dialogues.Repond(true, nom);
        w->OuvrirAct->trigger();
        ASSERT_EQ(dialogues.messages.size(), 1) << c.nom;
        EXPECT_TRUE(dialogues.messages[0].contains(c.debut)) << dialogues.messages[0].toStdString();
        EXPECT_EQ(std::memcmp(&avant, &v, sizeof avant), 0) << c.nom;
        EXPECT_EQ(Spectro().DebutLambda, 400) << c.nom;
        EXPECT_EQ(Spectro().FinLambda, 700) << c.nom;
    }
}

} // namespace

namespace {

QByteArray Octets(const QString& nom)
{
    QFile f(nom);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The wheel zooms the wavelengths around the pointer, "Ajuster A" fits the absorbance, the
// keys zoom and "Tout voir" returns; scans, files and the bytes sent never see the view.
TEST_F(SpecMainTest, WheelZoomsAroundThePointerAndTheViewChangesNoByteSentOrSaved)
{
    Connecte();
    Blanc(400, 700, 2);
    sim.MetCuve(cuEchantillon);
    sim.EffaceJournal();
    dialogues.Repond(true);
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
    const QByteArray octetsBalayage = sim.Journal();
    ASSERT_TRUE(octetsBalayage.contains("SCAN:400:702:2"));
    QTemporaryDir dossier;
    ASSERT_TRUE(w->Spectre.Sauve(dossier.filePath("avant.txt"), "10/12/2026 12:00"));

    Tgraphe& g = w->GrapheSpectre;
    const Tmonde xAvant = g.mondeX;
    const Tmonde yAvant = g.mondeY;
    const auto lambdaEn = [&](qint32 x) {
        double l = 0, a = 0;
        g.MondeXY(x, 0, l, a);
        return l;
    };
    const qint32 x = g.LimiteCourbe.Left + (g.LimiteCourbe.Right - g.LimiteCourbe.Left) / 3;
    const double lambda = lambdaEn(x);
    const QPoint pointeur(x, (g.LimiteCourbe.Top + g.LimiteCourbe.Bottom) / 2);
    for (int cran = 0; cran < 4; ++cran) {
        QWheelEvent molette(pointeur, w->PaintBox->mapToGlobal(pointeur), {}, {0, 120}, Qt::NoButton,
                            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(w->PaintBox, &molette);
        ASSERT_TRUE(molette.isAccepted());
    }
    ASSERT_TRUE(w->PaintBox->Prepare());
    EXPECT_NEAR(g.mondeX.maxi - g.mondeX.mini, (xAvant.maxi - xAvant.mini) * std::pow(FacteurCran, 4), 1e-9);
    EXPECT_NEAR(lambdaEn(x), lambda, 1.0) << "the wavelength under the pointer stays under it";
    EXPECT_TRUE(w->PaintBox->accessibleDescription().startsWith(
        QStringLiteral("Spectre, %1 à %2 nm").arg(qRound(g.mondeX.mini)).arg(qRound(g.mondeX.maxi))));

    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    QTest::keyClick(w, Qt::Key_E, Qt::AltModifier);     // "Ajust&er A"
    ASSERT_TRUE(Attends([&] { return w->Zoom.AAjuste(); }, 2000));
    const std::optional<TVueAxe> a = PlageAbsorbance(w->Panneau->Superposition().Visibles(), {g.mondeX.mini, g.mondeX.maxi});
    ASSERT_TRUE(a);
    EXPECT_EQ((TVueAxe{g.mondeY.mini, g.mondeY.maxi}), *a);
    ASSERT_TRUE(w->PaintBox->Prepare());

    // The keyboard: Ctrl++ closer around the middle, Ctrl+- back.
    const double ecart = g.mondeX.maxi - g.mondeX.mini;
    const double milieu = (g.mondeX.maxi + g.mondeX.mini) / 2;
    QTest::keyClick(w, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_NEAR(g.mondeX.maxi - g.mondeX.mini, ecart * FacteurCran, 1e-9);
    EXPECT_NEAR((g.mondeX.maxi + g.mondeX.mini) / 2, milieu, 1e-9);
    QTest::keyClick(w, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_NEAR(g.mondeX.maxi - g.mondeX.mini, ecart, 1e-9);

    // Zoomed and fitted, a scan over the same range sends the same bytes and the file
    // holds the same bytes.
    EXPECT_EQ(Spectro().DebutLambda, 400);
    EXPECT_EQ(Spectro().FinLambda, 700);
    ASSERT_TRUE(w->Spectre.Sauve(dossier.filePath("zoom.txt"), "10/12/2026 12:00"));
    EXPECT_EQ(Octets(dossier.filePath("zoom.txt")), Octets(dossier.filePath("avant.txt")));
    const Tmonde xZoom = g.mondeX;
    sim.EffaceJournal();
    dialogues.Repond(true);
    w->SpectreClick();
    ASSERT_TRUE(Attends([&] { return w->etatSpectre() == esAttente; }));
    EXPECT_EQ(sim.Journal(), octetsBalayage);
    EXPECT_EQ(g.mondeX.mini, xZoom.mini) << "a new scan keeps the wavelength view";
    EXPECT_EQ(g.mondeX.maxi, xZoom.maxi);
    EXPECT_EQ(g.mondeY.mini, yAvant.mini) << "... and the absorbance axis is the window's again";
    EXPECT_DOUBLE_EQ(g.mondeY.maxi, g.MaxiY());

    // "Tout voir" (Ctrl+0) returns to the whole range; the Alt letters of both are free.
    ASSERT_TRUE(w->PaintBox->Prepare());
    QTest::keyClick(w, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(g.mondeX.mini, xAvant.mini);
    EXPECT_EQ(g.mondeX.maxi, xAvant.maxi);
    const QStringList lettres = Mnemoniques(*w);
    EXPECT_EQ(lettres.count("E"), 1);
    EXPECT_EQ(lettres.count("V"), 1);
}

} // namespace
