// The Beer-Lambert window offscreen: keys, grids, the picture, saving, closing, and a
// calibration against the simulated instrument.

#include "windows/kelvorbeer.h"

#include "windows/kelvorconst.h"
#include "windows/spectdde.h"
#include "exchange/textes.h"
#include "instrument/inifile.h"
#include "instrument/liaison.h"
#include "integration/banc.h"
#include "mesure/rapportetalonnage.h"
#include "platform/portserie.h"
#include "platform/pressepapier.h"
#include "support/controlescoupes.h"
#include "support/mnemoniques.h"
#include "support/appareilscript.h"
#include "support/compagnon.h"
#include "support/dialoguesscript.h"
#include "support/ports.h"
#include "support/qtprint.h"
#include "support/localefixe.h"
#include "windows/modebeer.h"
#include "windows/spinedit.h"

#include <QAccessible>
#include <QComboBox>
#include <QDir>
#include <QSettings>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QLineEdit>
#include <QSet>
#include <QLocale>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kelvor;

namespace {

class BeerFormTest : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};

    void SetUp() override
    {
        ASSERT_TRUE(dossier.isValid());
        DossierDonnees = dossier.path() + QLatin1Char('/');
        NouveauSpectro();
    }
    void TearDown() override
    {
        form.reset();
        DossierDonnees.clear();
    }

    // The window shown and active, as the user finds it.
    TBeerForm& Fenetre()
    {
        form = std::make_unique<TBeerForm>(appareil);
        form->show();
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        return *form;
    }
    // Space typed over the plot, where it has no other use.
    void Espace() { QTest::keyClick(form->Oscillo, Qt::Key_Space); }
    void Mesure(double a)
    {
        appareil.lectures.push_back(a);
        Espace();
    }
    void Tape(const QString& texte, double a)
    {
        appareil.lectures.push_back(a);
        form->ClavierEdit->setText(texte);
        QTest::keyClick(form->ClavierEdit, Qt::Key_Return);
    }
    // Mode dialog answered with the given concentration maximum.
    void ModeBeer(const QString& maxi)
    {
        dialogues.RepondDialogue(true, [maxi](QDialog& d) {
            auto& dlg = static_cast<TModeBeerDlg&>(d);
            dlg.SetItemIndex(maBeer);
            dlg.EditMaxBeer->setText(maxi);
            dlg.OKBtn->click();
        });
        form->ModeBtn0->click();
    }
    // Mode dialog answered with a fit, the concentration mode and its maximum kept.
    void Ajustement(TAjustement a)
    {
        dialogues.RepondDialogue(true, [a](QDialog& d) {
            auto& dlg = static_cast<TModeBeerDlg&>(d);
            dlg.SetItemIndex(maBeer);
            dlg.AjustementCB->setCurrentIndex(a);
            dlg.OKBtn->click();
        });
        form->ModeBtn0->click();
    }
    // The calibration panel, found as a screen reader finds it.
    QLabel* Panneau()
    {
        for (QLabel* l : form->findChildren<QLabel*>())
            if (l->accessibleName() == QStringLiteral("Étalonnage"))
                return l;
        return nullptr;
    }
    QString Cellule(QTableWidget* g, int r, int c)
    {
        QTableWidgetItem* i = g->item(r, c);
        return i ? i->text() : QString();
    }
    QPoint Pixel(double x, double y)
    {
        qint32 xi = 0, yi = 0;
        form->Graphe.WindowXY(x, y, xi, yi);
        return {xi, yi};
    }
    // Any pixel of the colour within one pixel of p.
    bool Couleur(QPoint p, QRgb couleur)
    {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (form->Oscillo->image.pixel(p + QPoint(dx, dy)) == couleur)
                    return true;
        return false;
    }

    QTemporaryDir dossier;
    TDialoguesScript dialogues;
    TAppareilScript appareil;
    std::unique_ptr<TBeerForm> form;
};

TEST_F(BeerFormTest, LayoutAndHintsAtCreation)
{
    TBeerForm& f = Fenetre();
    EXPECT_EQ(f.windowTitle(), "Loi de Beer-Lambert avec Kelvor 5100");
    QStringList captions;
    for (QToolButton* b : f.ToolBar->findChildren<QToolButton*>(Qt::FindDirectChildrenOnly))
        captions << b->text();
    EXPECT_EQ(captions, QStringList({"&Sauver", "&Mode", "Mà&J", "&Zero/Blanc", "&Enregistrer", "&RàZ",
                                     "&Défaire", "&Imprimer", "&Quitter"}));
    EXPECT_EQ(f.ModeBtn0->statusTip(), "Choix du mode : Beer, A(x), A seul");
    EXPECT_EQ(f.LambdaSE->statusTip(), "Indiquer la longueur d'onde en nm");
    EXPECT_EQ(f.beerCalcGrid->statusTip(), "Valeurs déterminées à partir de la loi de Beer-Lambert");
    EXPECT_TRUE(f.ModeBtn0->toolTip().isEmpty()) << "hints go to the status line only";
    EXPECT_EQ(f.LambdaSE->Value(), 500);
    EXPECT_TRUE(f.MajBtn->isEnabled());
    EXPECT_FALSE(f.ZeroBtn->isEnabled());
    EXPECT_TRUE(f.EnregistreBtn->isEnabled()) << "activation enables it";
    EXPECT_FALSE(f.ClavierEdit->isVisible());
    EXPECT_FALSE(f.beerCalcGrid->isVisible());
    EXPECT_FALSE(f.SaveBtn->isVisible());
    EXPECT_EQ(f.BeerMesureGrid->rowCount(), 8);
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 0, 0), "n");
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 0, 1), "A");
    EXPECT_TRUE(f.KurvalisM->isChecked());

    QStatusTipEvent tip(f.MajBtn->statusTip());
    QApplication::sendEvent(f.MajBtn, &tip);
    EXPECT_EQ(f.BarreEtat->currentMessage(), "Si clignotant, cliquer pour régler la longueur d'onde du spectro");
}

TEST_F(BeerFormTest, SpaceRecordsExceptBetweenAWavelengthChangeAndMajOrActivation)
{
    TBeerForm& f = Fenetre();
    Mesure(0.25);
    EXPECT_EQ(appareil.journal, QStringList({"ABS"})) << "recording is open once active";

    f.MajBtn->click();
    EXPECT_EQ(appareil.journal.mid(1), QStringList({"GOTO 500"}));
    EXPECT_FALSE(f.MajBtn->isEnabled());
    EXPECT_TRUE(f.ZeroBtn->isEnabled());
    // A held space bar records on every repeat.
    appareil.lectures.push_back(0.5);
    QKeyEvent repetee(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(f.Oscillo, &repetee);
    EXPECT_EQ(f.Serie.NbrePoints, 2);
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 0), "1");
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 1), "0,5");
    EXPECT_EQ(f.BeerMesureGrid->currentRow(), 3);
    EXPECT_EQ(f.Graphe.mondeX.maxi, 32);

    f.LambdaSE->SetValue(620);
    EXPECT_FALSE(f.EnregistreBtn->isEnabled());
    EXPECT_FALSE(f.ZeroBtn->isEnabled());
    Espace();
    EXPECT_EQ(f.Serie.NbrePoints, 2) << "the space bar waits for MàJ";
    f.FormActivate();
    EXPECT_EQ(f.Graphe.mondeX.maxi, 16) << "activation starts the axis again at 0-16";
    Mesure(0.6);
    EXPECT_EQ(f.Serie.NbrePoints, 3) << "or for the next activation";
    EXPECT_FALSE(f.ZeroBtn->isEnabled());
    f.MajBtn->click();
    f.ZeroBtn->click();
    Mesure(0.75);
    EXPECT_EQ(appareil.journal.mid(3), QStringList({"ABS", "GOTO 620", "BLANC", "ABS"}));
    EXPECT_EQ(f.Serie.NbrePoints, 4);
    EXPECT_TRUE(f.SaveBtn->isVisible());
    EXPECT_TRUE(f.ResetBtn->isVisible());

    f.ResetBtn->click();
    EXPECT_EQ(f.Serie.NbrePoints, 0);
    EXPECT_EQ(f.BeerMesureGrid->rowCount(), 8);
    for (int r = 2; r < 8; ++r)
        EXPECT_EQ(Cellule(f.BeerMesureGrid, r, 0), "") << r;
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 0, 0), "n");
}

// From the keyboard alone: space records over the plot, a focused button takes space as
// its own click, and the captions' letters with Alt reach the buttons.
TEST_F(BeerFormTest, KeyboardOnlyRecordsResetsAndQuits)
{
    TBeerForm& f = Fenetre();
    const auto TroisPoints = [&] {
        for (double a : {0.25, 0.5, 0.75})
            Mesure(a);
        ASSERT_EQ(f.Serie.NbrePoints, 3) << "RàZ is offered from three points";
        ASSERT_TRUE(f.ResetBtn->isVisible());
    };
    TroisPoints();
    f.ResetBtn->setFocus();
    QTest::keyClick(f.ResetBtn, Qt::Key_Space);
    EXPECT_EQ(f.Serie.NbrePoints, 0) << "space clicked the focused RàZ";
    EXPECT_EQ(appareil.journal, QStringList({"ABS", "ABS", "ABS"})) << "and recorded nothing";
    TroisPoints();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_R, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Serie.NbrePoints == 0; })) << "Alt+R is RàZ";
    // A mnemonic plays the button's short click animation before it acts.
    f.LambdaSE->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::AltModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.isVisible(); }));
}

TEST_F(BeerFormTest, NothingIsCutAtTheDefaultOrMinimumSizeOrAt1024x768)
{
    TBeerForm& f = Fenetre();
    Mesure(0.25);
    EXPECT_EQ(CoupesAuxTaillesLimites(f), QStringList());
}

// Each mnemonic of a window is used once.
TEST_F(BeerFormTest, MnemonicsAreUniqueInTheWindow)
{
    const QStringList lettres = Mnemoniques(Fenetre());
    EXPECT_GE(lettres.size(), 10);
    EXPECT_EQ(QSet<QString>(lettres.begin(), lettres.end()).size(), lettres.size()) << lettres.join(' ').toStdString();
}

// A reading below zero leaves the series as soon as it is read; the points after it
// are numbered on.
TEST_F(BeerFormTest, NegativeReadingLeavesTheSeriesWhenReadAndTheNextPointsRenumber)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    Mesure(0.5);
    Mesure(-0.01);
    EXPECT_EQ(f.Serie.NbrePoints, 1);
    EXPECT_FALSE(Couleur(Pixel(1, -0.01), clBlack));
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 0), "");

    Mesure(0.4);
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 0), "1");
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 1), "0,4");
}

// The unknowns grid shows only unknowns that exist.
TEST_F(BeerFormTest, UnknownsGridKeepsNoRowOfAnUnknownThatIsGone)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,1");
    Tape("0,01", 0.1);
    Tape("0,02", 0.2);
    Tape("0,03", 0.3);
    Mesure(0.15);
    Mesure(0.25);
    ASSERT_EQ(Cellule(f.beerCalcGrid, 1, 0), "0,025");
    const struct { const char* nom; std::function<void()> action; } cas[] = {
        {"RàZ", [&] { f.ResetBtn->click(); }},
        {"mode change", [&] {
             dialogues.RepondDialogue(true, [](QDialog& d) {
                 auto& dlg = static_cast<TModeBeerDlg&>(d);
                 dlg.SetItemIndex(maIncrement);
                 dlg.OKBtn->click();
             });
             f.ModeBtn0->click();
             ModeBeer("0,1");
         }},
    };
    for (const auto& k : cas) {
        if (f.Serie.NbreCalc == 0) {
            Tape("0,01", 0.1);
            Tape("0,02", 0.2);
            Tape("0,03", 0.3);
            Mesure(0.15);
            Mesure(0.25);
        }
        k.action();
        EXPECT_EQ(f.Serie.NbreCalc, 0) << k.nom;
        for (int r = 0; r < f.beerCalcGrid->rowCount(); ++r)
            for (int c = 0; c < 2; ++c)
                EXPECT_EQ(Cellule(f.beerCalcGrid, r, c), "") << k.nom << " row " << r;
    }
}

TEST_F(BeerFormTest, CalibrationLineIsClippedAtTheTopAndUnknownsAreRedSquares)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,1");
    ASSERT_EQ(f.Serie.ModeAcq, maBeer);
    EXPECT_TRUE(f.ClavierEdit->isVisible());
    EXPECT_EQ(f.LabelClavier->text(), "c (mol/L) =");
    Tape("0,01", 0.5);
    Tape("0.02", 1.0);
    EXPECT_FALSE(f.EnregistreBtn->isVisible());
    Tape("0,03", 1.2);
    ASSERT_NEAR(f.Serie.pente, 45, 1e-9);
    EXPECT_EQ(f.EnregistreBtn->text(), "&Concentration ?");
    EXPECT_TRUE(f.EnregistreBtn->isEnabled());

    // 45 x 0.1 = 4.5 lies far above the top (1.2): the segment stops at (1.2 / 45, 1.2).
    EXPECT_TRUE(Couleur(Pixel(0.01, 0.45), clBlack));
    EXPECT_TRUE(Couleur(Pixel(0.026, 1.17), clBlack)) << "up to the top";
    const QPoint fin = Pixel(1.2 / 45, 1.2);
    ASSERT_GE(fin.y(), 4);
    for (int dy : {2, 3})
        EXPECT_FALSE(Couleur(fin + QPoint(1, -dy), clBlack)) << "nothing above the top " << dy;

    Mesure(0.9);
    ASSERT_EQ(f.Serie.NbreCalc, 1);
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 0), "0,02");
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 1), "0,900") << "as the instrument writes it";
    EXPECT_TRUE(Couleur(Pixel(0.02, 0.9), clRed));
    f.OscilloPaint();
    EXPECT_TRUE(Couleur(Pixel(0.02, 0.9), clRed)) << "drawn again by every redraw";
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 1), "0,9");

    f.UndoBtn->click();
    EXPECT_EQ(f.Serie.NbreCalc, 0);
    EXPECT_EQ(f.Serie.NbrePoints, 3);
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 0), "");
}

TEST_F(BeerFormTest, ValueFieldKeepsNumberCharactersAndAsksAboveTheMaximum)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,1");
    QTest::keyClicks(f.ClavierEdit, "0a,5 x");
    EXPECT_EQ(f.ClavierEdit->text(), "0,5");
    dialogues.Repond(true);
    appareil.lectures.push_back(0.3);
    QTest::keyClick(f.ClavierEdit, Qt::Key_Enter);
    EXPECT_EQ(dialogues.questions.last(), "c=0,50>0,10");
    EXPECT_DOUBLE_EQ(f.Serie.concMax, 0.525);
    EXPECT_DOUBLE_EQ(f.Graphe.mondeX.maxi, 0.525);
    EXPECT_EQ(f.Serie.NbrePoints, 1);
    EXPECT_EQ(f.ClavierEdit->text(), "");

    QTest::keyClicks(f.ClavierEdit, "1,5");
    QTest::keyClick(f.ClavierEdit, Qt::Key_Return);
    EXPECT_EQ(dialogues.messages, QStringList{"Concentration supérieure à 1 mol/L !"});
    EXPECT_TRUE(f.ClavierEdit->hasFocus());
}

TEST_F(BeerFormTest, ClosingAsksOnlyForAnUnsavedSeriesOutsideTheConcentrationMode)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    Mesure(0.1);
    Mesure(0.2);
    Mesure(0.3);
    f.ClipM->setChecked(true);
    f.Serie.ChoisitDestination(1);
    dialogues.Repond(true);  // "Sauvegarde": yes, to the clipboard
    f.ExitBtn0->click();
    EXPECT_EQ(dialogues.questions, QStringList{"Sauvegarde"});
    EXPECT_EQ(appareil.modes, QList<Tmode>{mSpectre});
    EXPECT_FALSE(f.isVisible());
    EXPECT_TRUE(f.Serie.DejaSauve);
    EXPECT_EQ(LitPressePapier().count(QStringLiteral("\r\n")), 8);

    // Same series in the concentration mode: never asked.
    f.show();
    ModeBeer("0,5");
    for (double a : {0.1, 0.2, 0.3})
        Tape(QString::number(a), a);
    f.Serie.DejaSauve = false;
    f.close();
    EXPECT_EQ(dialogues.questions.size(), 2) << "only the mode dialog since";

    // The settings it left are read back by the next window.
    TIniFile ini(CheminReglages());
    EXPECT_EQ(ini.ReadInteger("Beer", "Mode", -1), 1);
    EXPECT_EQ(ini.ReadString("Beer", "ConcMax", ""), "0,5");
    EXPECT_TRUE(ini.ReadBool("Save", "Clip", false));
    EXPECT_FALSE(ini.ReadBool("Save", "Kurvalis", true));
    TBeerForm autre(appareil);
    EXPECT_EQ(autre.Serie.ModeAcq, maBeer);
    EXPECT_TRUE(autre.ClipM->isChecked());
    EXPECT_DOUBLE_EQ(autre.Graphe.mondeX.maxi, 0.5);
}

TEST_F(BeerFormTest, MenuChoiceSavesAtOnceAndStaysChecked)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,1");
    Tape("0,01", 0.12);
    Tape("0,02", 0.25);
    Tape("0,04", 0.49);
    Mesure(0.3);
    Mesure(0.2);
    f.Serie.DejaSauve = false;

    f.KurvalisMClick(f.ClipM);
    const QStringList lignes = LitPressePapier().split("\r\n");
    ASSERT_EQ(lignes.size(), 11) << "ten lines, each ended by CR LF";
    EXPECT_EQ(lignes[0], QCoreApplication::applicationFilePath());
    EXPECT_TRUE(lignes[1].startsWith("Loi de Beer-Lambert "));
    EXPECT_EQ(lignes.mid(3, 7), QStringList({"c\tA", "mol/L\t", "0.01\t0.12", "0.02\t0.25",
                                             "0.04\t0.49", "0.0244186\t0.3",
                                             "0.01627907\t0.2"}));
    EXPECT_TRUE(f.ClipM->isChecked());
    EXPECT_TRUE(f.Serie.DejaSauve);

    const QString nom = dossier.filePath("etalons.txt");
    dialogues.Repond(true, nom);
    f.KurvalisMClick(f.FileM);
    QFile fichier(nom);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    const QList<QByteArray> l = fichier.readAll().split('\n');
    EXPECT_EQ(l.mid(1), QList<QByteArray>({"c\tA\r", "mol/L\t\r", "Concentration\tAbsorbance\r",
                                           "0.01\t0.12\r", "0.02\t0.25\r", "0.04\t0.49\r", ""}));
    EXPECT_TRUE(f.FileM->isChecked());
}

// Ctrl+S is "Sauver", as in the spectrum window; without the companion link "vers
// Kurvalis" shows no dialog, sends nothing and leaves the series unsaved.
TEST_F(BeerFormTest, ControlSSavesAndWithoutTheLinkNothingGoesToKurvalis)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    for (double a : {0.1, 0.2, 0.3})
        Mesure(a);
    ASSERT_TRUE(f.KurvalisM->isChecked());
    CopiePressePapier(QStringLiteral("avant"));
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogues.questions.isEmpty());
    EXPECT_FALSE(f.Serie.DejaSauve);
    EXPECT_EQ(LitPressePapier(), "avant");

    f.ClipM->setChecked(true);
    f.Serie.ChoisitDestination(1);
    QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(f.Serie.DejaSauve);
    EXPECT_EQ(LitPressePapier().split("\r\n").mid(3, 5),
              QStringList({"n\tA", "\t", "0\t0.1", "1\t0.2", "2\t0.3"}));
}

TEST_F(BeerFormTest, SendingGoesThroughTheParameterDialogAsANewFileThenANewPage)
{
    qputenv("KELVOR_DDE_DIR", QFile::encodeName(dossier.filePath("dde")));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dossier.filePath("reg"));
    TCompagnon kurvalis;
    TFormDDE dde;
    dde.Executable = "/opt/kelvor/kelvor";
    dde.Lanceur = [](const QString&) { return false; };
    dde.Attente = [](int) {};
    TConstanteDlg parametre;
    dde.ConstanteDlg = &parametre;

    TBeerForm& f = Fenetre();
    f.FormDDE = &dde;
    f.MajBtn->click();
    for (double a : {0.1, 0.2, 0.3})
        Mesure(a);
    ASSERT_TRUE(f.KurvalisM->isChecked());

    dialogues.RepondDialogue(false, [](QDialog& d) {
        static_cast<TConstanteDlg&>(d).NomConstEdit->setText("T");
    });
    f.SaveBtn->click();
    EXPECT_FALSE(f.Serie.DejaSauve) << "cancelled: nothing sent";

    dialogues.RepondDialogue(true, [](QDialog& d) {
        auto& dlg = static_cast<TConstanteDlg&>(d);
        dlg.UniteConstEdit->setText("K");
        dlg.ValeurConstEdit->setText("298");
        dlg.CommEdit->setText("essai");
        dlg.OKBtn->click();
    });
    f.SaveBtn->click();
    EXPECT_TRUE(f.Serie.DejaSauve);
    EXPECT_EQ(parametre.ItemIndex(), 1) << "the next sending adds a page";
    dialogues.RepondDialogue(true, [](QDialog& d) { static_cast<TConstanteDlg&>(d).OKBtn->click(); });
    f.SaveBtn->click();
    ASSERT_TRUE(kurvalis.Attend(2));
    EXPECT_EQ(kurvalis.Macros(), QList<QByteArray>({"CLIP|LOAD", "CLIP|ADD"}));
    const QStringList l = kurvalis.recus[0].pressePapier.split("\r\n");
    EXPECT_EQ(l.value(0), "/opt/kelvor/kelvor");
    EXPECT_EQ(l.value(2), "essai");
    EXPECT_EQ(l.mid(3), QStringList({"n\tA", "\t", "0\t0.1", "1\t0.2", "2\t0.3", "", "T", "K",
                                     "298", ""}));
    qunsetenv("KELVOR_DDE_DIR");
}

// The panel shows the calibration of the series typed, with the last unknown; the grid
// gives every unknown with its uncertainty. Standards of the worked example: slope
// 0,86 / 0,07.
TEST_F(BeerFormTest, CalibrationPanelAndUncertaintiesOfTheUnknowns)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ASSERT_NE(Panneau(), nullptr);
    EXPECT_FALSE(Panneau()->isVisible()) << "no calibration outside the concentration mode";
    ModeBeer("0,1");
    QLabel* panneau = Panneau();
    EXPECT_TRUE(panneau->isVisible());
    Tape("0,01", 0.12);
    Tape("0,02", 0.25);
    Tape("0,04", 0.49);
    Mesure(0.30);
    Mesure(0.20);

    const QString attendu = "Rapport des sommes (ΣA/Σc)\n"
                            "A = 12,29·c (pente en L/mol)\n"
                            "R² = 0,9996\n"
                            "n = 3 étalons\n"
                            "s = 0,0038\n"
                            "c = 0,0163 ± 0,0003 mol/L (dernier inconnu)";
    EXPECT_EQ(panneau->text(), attendu);
    // The name says what it is, the description carries what it shows.
    QAccessibleInterface* lecteur = QAccessible::queryAccessibleInterface(panneau);
    ASSERT_NE(lecteur, nullptr);
    EXPECT_EQ(lecteur->text(QAccessible::Name), "Étalonnage");
    EXPECT_EQ(lecteur->text(QAccessible::Description), attendu);

    const QStringList rangs = {"0,0244 ± 0,0003", "0,0163 ± 0,0003"};
    for (int j = 0; j < 2; ++j) {
        QStringList rang;
        for (int c = 0; c < f.beerCalcGrid->columnCount(); ++c)
            rang << Cellule(f.beerCalcGrid, j, c);
        EXPECT_TRUE(rang.join(' ').contains("±")) << j;
        EXPECT_EQ(rang.value(2), rangs[j]) << j;
    }
    EXPECT_EQ(Cellule(f.beerCalcGrid, 2, 2), "");
    f.OscilloPaint();
    EXPECT_EQ(Cellule(f.beerCalcGrid, 1, 2), rangs[1]) << "kept by every redraw";

    f.UndoBtn->click();
    EXPECT_EQ(Cellule(f.beerCalcGrid, 1, 2), "");
    EXPECT_TRUE(panneau->text().endsWith("c = 0,0244 ± 0,0003 mol/L (dernier inconnu)"));
    f.ResetBtn->click();
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 2), "");
    EXPECT_TRUE(panneau->text().contains("Pas d'étalonnage"));
}

// Warnings come and go with the series and never stop it with a box.
TEST_F(BeerFormTest, WarningsAppearAndGoAsTheSeriesChanges)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,2");
    const struct { const char* nom; std::function<void()> action; const char* avertissement; } pas[] = {
        {"one standard", [&] { Tape("0,01", 0.1); }, "moins de 3 étalons : étalonnage peu sûr"},
        {"three standards", [&] { Tape("0,02", 0.2); Tape("0,03", 0.3); }, nullptr},
        {"unknown above the standards", [&] { Mesure(0.6); }, "inconnu 1 hors gamme étalonnée"},
        {"unknown taken back", [&] { f.UndoBtn->click(); }, nullptr},
        {"standard off the line", [&] { Tape("0,04", 0.46); }, "point 4 suspect"},
        {"standard taken back", [&] { f.UndoBtn->click(); }, nullptr},
        {"absorbance above 1", [&] { Tape("0,15", 1.5); },
         "absorbance au-dessus de 1,0 (point 4) : linéarité douteuse"},
        {"taken back", [&] { f.UndoBtn->click(); }, nullptr},
    };
    for (const auto& k : pas) {
        k.action();
        const QString texte = Panneau()->text();
        if (k.avertissement)
            EXPECT_TRUE(texte.contains(QStringLiteral("Attention, ") + k.avertissement))
                << k.nom << ": " << texte.toStdString();
        else
            EXPECT_FALSE(texte.contains("Attention")) << k.nom << ": " << texte.toStdString();
        EXPECT_EQ(Panneau()->accessibleDescription(), texte) << k.nom;
    }
    EXPECT_TRUE(dialogues.messages.isEmpty());
    EXPECT_EQ(dialogues.questions.size(), 1) << "only the mode dialog";
}

// Standards on A = 10·c + 0,05 and an unknown at 0,2: the fit chosen in the mode dialog
// moves the line, the unknown and the panel, and the next window starts with it.
TEST_F(BeerFormTest, FitChosenInTheModeDialogIsFollowedAndKept)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    ModeBeer("0,1");
    for (auto [c, a] : {std::pair{"0,01", 0.15}, {"0,02", 0.25}, {"0,03", 0.35}, {"0,04", 0.45}})
        Tape(c, a);
    Mesure(0.2);
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 0), "0,0167");
    EXPECT_TRUE(Panneau()->text().startsWith("Rapport des sommes (ΣA/Σc)\nA = 12·c"));
    EXPECT_TRUE(Couleur(Pixel(0.005, 0.06), clBlack)) << "ratio of sums: through the origin";

    Ajustement(ajAffine);
    EXPECT_EQ(f.Serie.NbrePoints, 4);
    EXPECT_EQ(Cellule(f.beerCalcGrid, 0, 0), "0,015");
    EXPECT_TRUE(Cellule(f.beerCalcGrid, 0, 2).startsWith("0,015"));
    const QString texte = Panneau()->text();
    EXPECT_TRUE(texte.startsWith("Droite affine\nA = 10·c + 0,05 (pente en L/mol)\nR² = 1,0000"))
        << texte.toStdString();
    EXPECT_TRUE(texte.endsWith("Attention, la droite ne passe pas par l'origine : vérifier le blanc"))
        << texte.toStdString();
    EXPECT_TRUE(Couleur(Pixel(0.005, 0.1), clBlack)) << "affine: through the intercept";
    EXPECT_FALSE(Couleur(Pixel(0.005, 0.06), clBlack));

    // The dialog opens on the fit in use; the window leaves it in the settings.
    int propose = -1;
    dialogues.RepondDialogue(false, [&](QDialog& d) {
        propose = static_cast<TModeBeerDlg&>(d).AjustementCB->currentIndex();
    });
    f.ModeBtn0->click();
    EXPECT_EQ(propose, ajAffine);
    EXPECT_EQ(f.Serie.Ajustement, ajAffine) << "Cancel keeps it";
    f.close();
    EXPECT_EQ(TIniFile(CheminReglages()).ReadInteger("Beer", "Ajustement", -1), ajAffine);
    TBeerForm autre(appareil);
    EXPECT_EQ(autre.Serie.Ajustement, ajAffine);
}

// "Rapport tableur (*.csv)" in the drop-down of "Sauver" writes the calibration report
// under the name chosen, without touching the save destination.
TEST_F(BeerFormTest, SpreadsheetReportFromTheSaveMenu)
{
    TBeerForm& f = Fenetre();
    f.MajBtn->click();
    EXPECT_FALSE(f.RapportM->isVisible());
    ModeBeer("0,1");
    Tape("0,01", 0.12);
    Tape("0,02", 0.25);
    Tape("0,04", 0.49);
    Mesure(0.30);
    ASSERT_TRUE(f.SaveBtn->isVisible());
    ASSERT_TRUE(f.RapportM->isVisible());
    EXPECT_TRUE(f.SaveMenu->actions().contains(f.RapportM));

    dialogues.Repond(true, dossier.filePath("etalonnage"));
    f.RapportM->trigger();
    EXPECT_EQ(dialogues.questions.last(), "Rapport d'étalonnage");
    QFile fichier(dossier.filePath("etalonnage.csv"));
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly)) << "\".csv\" added to a bare name";
    const QByteArray octets = fichier.readAll();
    EXPECT_TRUE(octets.startsWith("\xEF\xBB\xBF\xC3\x89talonnage Beer-Lambert\r\n"));
    for (const char* ligne : {"\r\nAjustement;Rapport des sommes (\xCE\xA3" "A/\xCE\xA3" "c)\r\n",
                              "\r\nR\xC2\xB2;0,99959",
                              "\r\n0,04;0,49;oui\r\n", "\r\n0,3;0,0244;0,0003\r\n"})
        EXPECT_TRUE(octets.contains(ligne)) << ligne;
    EXPECT_EQ(octets, RapportCsv(f.Serie.Etalonnage()));
    EXPECT_TRUE(f.KurvalisM->isChecked()) << "the destination of \"Sauver\" stays";
    EXPECT_EQ(dialogues.questions.size(), 2) << "mode dialog and save dialog only";

    // A name typed with its extension keeps it; a cancelled dialog writes nothing.
    dialogues.Repond(true, dossier.filePath("e.txt"));
    f.RapportM->trigger();
    dialogues.Repond(false, dossier.filePath("e2"));
    f.RapportM->trigger();
    EXPECT_EQ(QDir(dossier.path()).entryList({"e*"}, QDir::Files),
              QStringList({"e.txt", "etalonnage.csv"}));

    const QString absent = dossier.filePath("absent/r.csv");
    dialogues.Repond(true, absent);
    f.RapportM->trigger();
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(dialogues.messages[0].startsWith("Erreur d'écriture du fichier " + absent));
}

// Four standards and two unknowns read through the serial link from the simulator, whose
// absorbance is proportional to the concentration in the cell.
// The window on the real link, with the simulated instrument on a pseudo-terminal.
class BeerSimule : public BeerFormTest
{
protected:
    void SetUp() override
    {
        BeerFormTest::SetUp();
        QString erreur;
        if (!sim.Demarre(&erreur))
            GTEST_SKIP() << "no pseudo-terminal: " << erreur.toStdString();
        sim.physique.bruit = false;
        CacheLesPorts();
        MontrePort(3, sim.Peripherique());
        Spectro().ComNumberS = 3;
        liaison = std::make_unique<TLiaison>(port, Spectro(), vue);
        liaison->InitAppareil();
        ASSERT_EQ(liaison->etatSpectre(), esAttente);

        form = std::make_unique<TBeerForm>(*liaison);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        form->MajBtn->click();
        sim.MetCuve(cuSolvant);
        form->ZeroBtn->click();
        ModeBeer("0,1");
        sim.MetCuve(cuEchantillon);
    }
    void TearDown() override
    {
        form.reset();
        liaison.reset();
        BeerFormTest::TearDown();
    }
    // A standard of concentration c typed and read.
    void Etalon(double c)
    {
        sim.physique.concentration = c * 10;
        form->ClavierEdit->setText(QString::number(c));
        QTest::keyClick(form->ClavierEdit, Qt::Key_Return);
    }

    TSimulateur sim;
    TVueEnregistreuse vue;
    TPortSerie port;
    std::unique_ptr<TLiaison> liaison;
};

TEST_F(BeerSimule, CalibrationAgainstTheSimulatedInstrument)
{
    TBeerForm& f = *form;
    for (double c : {0.02, 0.04, 0.06, 0.08})
        Etalon(c);
    ASSERT_EQ(f.Serie.NbrePoints, 4);
    ASSERT_GT(f.Serie.pente, 0);
    for (double c : {0.03, 0.07}) {
        sim.physique.concentration = c * 10;
        QTest::keyClick(&f, Qt::Key_Space);
    }
    ASSERT_EQ(f.Serie.NbreCalc, 2);
    EXPECT_NEAR(f.Serie.ConcCalc[0], 0.03, 0.001);
    EXPECT_NEAR(f.Serie.ConcCalc[1], 0.07, 0.001);
    EXPECT_TRUE(dialogues.messages.isEmpty()) << dialogues.messages.join('|').toStdString();

    const QString nom = dossier.filePath("serie.kv3");
    dialogues.Repond(true, nom);
    f.KurvalisMClick(f.FileM);
    QFile fichier(nom);
    ASSERT_TRUE(fichier.open(QIODevice::ReadOnly));
    EXPECT_TRUE(fichier.readAll().contains("&4 VALEUR VAR\r\n0.02 "));

    if (const QString capture = qEnvironmentVariable("KELVOR_CAPTURES"); !capture.isEmpty())
        f.grab().save(QDir(capture).filePath("beer.png"));
}

// Standards and unknowns read from the simulator with its noise: the panel gives a fit
// close to 1 and each unknown with its uncertainty; the second unknown, beyond the last
// standard, is flagged. Writes the window's picture when KELVOR_CAPTURE_DIR names a folder.
TEST_F(BeerSimule, PanelAndUncertaintiesFromTheSimulatedInstrument)
{
    TBeerForm& f = *form;
    sim.physique.bruit = true;
    for (double c : {0.02, 0.04, 0.06, 0.08})
        Etalon(c);
    for (double c : {0.03, 0.095}) {
        sim.physique.concentration = c * 10;
        QTest::keyClick(&f, Qt::Key_Space);
    }
    ASSERT_EQ(f.Serie.NbreCalc, 2);
    const TEtalonnage e = f.Serie.Etalonnage();
    EXPECT_GT(e.r2, 0.99);
    EXPECT_EQ(Panneau()->text(), e.TextePanneau());
    EXPECT_TRUE(Panneau()->text().contains("\nR² = "));
    EXPECT_TRUE(Panneau()->text().contains("Attention, inconnu 2 hors gamme étalonnée"));
    for (int j = 0; j < 2; ++j) {
        EXPECT_TRUE(Cellule(f.beerCalcGrid, j, 2).contains(" ± ")) << j;
        EXPECT_GT(e.uInconnus[std::size_t(j)], 0) << j;
        EXPECT_LT(e.uInconnus[std::size_t(j)], 0.005) << j;
    }
    EXPECT_TRUE(dialogues.messages.isEmpty()) << dialogues.messages.join('|').toStdString();

    const QString sortie = qEnvironmentVariable("KELVOR_CAPTURE_DIR");
    if (!sortie.isEmpty()) {
        // The layout makes room for the panel's new lines on its next turn.
        QCoreApplication::processEvents();
        EXPECT_TRUE(f.grab().save(sortie + "/beer-lambert-calibration.png"));
    }
}

// A standard whose reading fails (no reply, or "Stop" during it) is not recorded, the
// window says so, and the standard measured again gives the true slope.
TEST_F(BeerSimule, AFailedReadingRecordsNothingAndSaysSo)
{
    TBeerForm& f = *form;
    const struct { const char* nom; std::function<void()> panne; } cas[] = {
        {"no reply", [&] { sim.pannes.avaleLecture = 1; }},
        {"Stop", [&] {
             sim.pannes.avaleLecture = 1;
             QTimer::singleShot(50, [&] { liaison->Attend(lNone); });
         }},
    };
    for (const auto& k : cas) {
        f.ResetBtnClick();
        Etalon(0.02);
        k.panne();
        Etalon(0.04);
        EXPECT_EQ(f.Serie.NbrePoints, 1) << k.nom;
        EXPECT_EQ(f.LabelAvis->text(), "Pas de réponse du spectrophotomètre : mesure non enregistrée")
            << k.nom;
        EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 0), "") << k.nom;
        Etalon(0.04);
        Etalon(0.06);
        EXPECT_EQ(f.LabelAvis->text(), "") << k.nom;
        ASSERT_EQ(f.Serie.NbrePoints, 3) << k.nom;
        // Beer's law: each absorbance is the slope times the concentration.
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(f.Serie.valeurY[i] / f.Serie.valeurX[i], f.Serie.pente, 0.02 * f.Serie.pente)
                << k.nom << " point " << i;
    }
    EXPECT_TRUE(dialogues.messages.isEmpty()) << dialogues.messages.join('|').toStdString();
}

// A resize and an activation while a typed value waits for its reading redraw the
// window; the series changes only when the reading is in.
TEST_F(BeerSimule, ResizeAndActivationDuringAReadingLeaveTheSeriesAlone)
{
    TBeerForm& f = *form;
    Etalon(0.02);
    // A reading brighter than the blank: below zero, it leaves the series when read.
    sim.InjecteReponse(QByteArray::number(Spectro().CourantBlanc + 500) + "\r");
    f.ClavierEdit->setText("0,03");
    QTest::keyClick(f.ClavierEdit, Qt::Key_Return);
    ASSERT_EQ(f.Serie.NbrePoints, 1);

    sim.pannes.retardMs = 400;
    int pendant = -1;
    QTimer::singleShot(150, [&] {
        f.resize(f.width() + 40, f.height() + 30);
        QEvent activation(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&f, &activation);
        QCoreApplication::processEvents();
        f.OscilloPaint();
        pendant = f.Serie.NbrePoints;
    });
    Etalon(0.04);
    EXPECT_EQ(pendant, 1) << "painting during the reading changed the series";
    ASSERT_EQ(f.Serie.NbrePoints, 2);
    EXPECT_EQ(f.Serie.valeurX[0], 0.02);
    EXPECT_EQ(f.Serie.valeurX[1], 0.04);
    EXPECT_NEAR(f.Serie.valeurY[1], 2 * f.Serie.valeurY[0], 0.02);
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 3, 0), "0,04");
    EXPECT_EQ(Cellule(f.BeerMesureGrid, 4, 0), "");
}

} // namespace
