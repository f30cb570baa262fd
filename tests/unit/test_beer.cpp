// The Beer-Lambert series against a scripted instrument: recording, calibration,
// unknowns, questions, limits, mode dialog values, output lines and settings.

#include "mesure/beer.h"

#include "exchange/textes.h"
#include "instrument/inifile.h"
#include "support/appareilscript.h"
#include "support/dialoguesscript.h"
#include "support/qtprint.h"
#include "support/localefixe.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

// Records what the series asks the window to do.
class TVueJournal : public TVueBeer
{
public:
    QStringList appels;
    void Redessine() override { appels << "R"; }
    void AffichePoint(qint32 i) override { appels << QStringLiteral("P%1").arg(i); }
    void AfficheInconnu(qint32 j) override { appels << QStringLiteral("I%1").arg(j); }
    void MajControles() override { appels << "M"; }
    void FocusValeur() override { appels << "F"; }
    void VideValeur() override { appels << "V"; }
    void Avertit(const QString& texte) override { avis << texte; }
    QStringList avis;   // notes shown in the window, empty ones clearing them
};

class BeerTest : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};

    // A series in the given mode, wavelength set, ready to record.
    void Prepare(TModeAcquisition mode, double concMax = 0.1)
    {
        serie.ModeAcq = mode;
        serie.concMax = concMax;
        if (mode == maBeer)
            serie.AppliqueModeDlg({maBeer, {}, {}, {}, {}, {}, ReelToStrPoint(concMax)});
        serie.MajLambda(600);
        serie.InitAttente();
        vue.appels.clear();
        appareil.journal.clear();
    }
    // Typed standard: value then the reading that goes with it.
    void Standard(const QString& c, double a)
    {
        appareil.lectures.push_back(a);
        serie.ValideValeur(c);
    }
    void Inconnu(double a)
    {
        appareil.lectures.push_back(a);
        serie.Enregistre();
    }

    TAppareilScript appareil;
    TVueJournal vue;
    TDialoguesScript dialogues;
    TSerieBeer serie{appareil, &vue};
};

TEST_F(BeerTest, SlopeIsTheRatioOfSumsAndGivesTheUnknown)
{
    Prepare(maBeer);
    Standard("0.01", 0.12);
    Standard("0,02", 0.25);
    EXPECT_EQ(serie.pente, 0) << "no calibration before the third standard";
    Standard("0.04", 0.49);
    EXPECT_NEAR(serie.pente, 0.86 / 0.07, 1e-12);
    EXPECT_NEAR(serie.pente, 12.2857, 1e-4);

    vue.appels.clear();
    Inconnu(0.30);
    ASSERT_EQ(serie.NbreCalc, 1);
    EXPECT_NEAR(serie.ConcCalc[0], 0.0244, 5e-5);
    EXPECT_EQ(serie.AbsCalc[0], 0.30);
    EXPECT_EQ(serie.NbrePoints, 3) << "an unknown is not a standard";
    EXPECT_TRUE(serie.DernierPointCalc);
    EXPECT_EQ(vue.appels, QStringList({"I0", "M"}));
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

// Only standards with a concentration and an absorbance above their thresholds count.
TEST_F(BeerTest, PointsThatTakeNoPartInTheSlope)
{
    struct Cas
    {
        const char* nom;
        std::vector<std::pair<double, double>> points;
        double pente;
    } cas[] = {
        {"blank at zero concentration", {{0, 0.002}, {0.01, 0.1}, {0.02, 0.2}}, 10},
        {"absorbance at the threshold", {{0.01, 0.1}, {0.02, 0.001}, {0.03, 0.3}}, 0.4 / 0.04},
        {"absorbance just above it", {{0.01, 0.1}, {0.02, 0.0011}, {0.03, 0.3}},
         0.4011 / 0.06},
        {"negative reading", {{0.01, 0.1}, {0.02, -0.05}, {0.03, 0.3}}, 10},
        {"nothing qualifies", {{0, 0.1}, {0.01, 0.0005}, {0.02, 0}}, 0},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        serie.ModeAcq = maBeer;
        serie.NbrePoints = 0;
        for (auto [x, y] : c.points) {
            serie.valeurX[serie.NbrePoints] = x;
            serie.valeurY[serie.NbrePoints++] = y;
        }
        serie.pente = 99;
        EXPECT_EQ(serie.Recalibre(), c.pente > 0);
        EXPECT_NEAR(serie.pente, c.pente, 1e-12);
    }
}

TEST_F(BeerTest, EveryTypedStandardRecalibratesTheUnknownsAlreadyMeasured)
{
    Prepare(maBeer);
    Standard("0.01", 0.1);
    Standard("0.02", 0.2);
    Standard("0.03", 0.3);
    Inconnu(0.15);
    Inconnu(0.25);
    EXPECT_NEAR(serie.ConcCalc[0], 0.015, 1e-12);

    vue.appels.clear();
    Standard("0.04", 0.6);  // slope (0.1+0.2+0.3+0.6)/(0.1) = 12
    EXPECT_NEAR(serie.pente, 12, 1e-12);
    EXPECT_NEAR(serie.ConcCalc[0], 0.15 / 12, 1e-12);
    EXPECT_NEAR(serie.ConcCalc[1], 0.25 / 12, 1e-12);
    EXPECT_FALSE(serie.DernierPointCalc);
    EXPECT_EQ(vue.appels, QStringList({"P3", "M", "R"}));
}

struct CasSaisie
{
    const char* nom;
    const char* texte;
    double concMax;
    bool oui;               // answer to the question, when one is asked
    const char* message;    // expected message, or empty
    const char* question;   // expected question, or empty
    qint32 points;
    double concMaxApres;
};

class SaisieBeer : public BeerTest, public ::testing::WithParamInterface<CasSaisie> {};

TEST_P(SaisieBeer, TypedConcentration)
{
    const CasSaisie& c = GetParam();
    Prepare(maBeer, c.concMax);
    if (*c.question)
        dialogues.Repond(c.oui);
    appareil.lectures.push_back(0.2);
    serie.ValideValeur(c.texte);

    EXPECT_EQ(dialogues.messages, *c.message ? QStringList{c.message} : QStringList());
    EXPECT_EQ(dialogues.questions, *c.question ? QStringList{c.question} : QStringList());
    EXPECT_EQ(serie.NbrePoints, c.points);
    EXPECT_DOUBLE_EQ(serie.concMax, c.concMaxApres);
    EXPECT_DOUBLE_EQ(serie.abscisse.maxi, c.concMaxApres);
    if (c.points == 1) {
        EXPECT_EQ(serie.valeurX[0], StrToReel(c.texte));
    } else {
        EXPECT_EQ(appareil.journal, QStringList()) << "nothing read for a refused value";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Valeurs, SaisieBeer,
    ::testing::Values(
        CasSaisie{"One", "1", 1, true, "", "", 1, 1},
        CasSaisie{"Zero", "0", 0.1, true, "", "", 1, 0.1},
        CasSaisie{"AboveOne", "1.01", 1, true, "Concentration supérieure à 1 mol/L !", "", 0, 1},
        CasSaisie{"Negative", "-0.1", 0.1, true, "Concentration supérieure à 1 mol/L !", "", 0,
                  0.1},
        CasSaisie{"NotANumber", "abc", 0.1, true, "Nombre mal écrit", "", 0, 0.1},
        CasSaisie{"Overflow", "1e400", 0.1, true, "Nombre mal écrit", "", 0, 0.1},
        CasSaisie{"AboveMaxConfirmed", "0.5", 0.1, true, "", "c=0,50>0,10", 1, 0.525},
        CasSaisie{"AboveMaxRefused", "0,5", 0.1, false, "", "c=0,50>0,10", 0, 0.1}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(BeerTest, KeyboardValueOutsideTheRangeAsksAndWidensIt)
{
    Prepare(maClavier);
    serie.AppliqueModeDlg({maClavier, "V", "mL", "Volume", "0", "5", {}});
    serie.InitAttente();

    dialogues.Repond(false);
    serie.ValideValeur("12");
    EXPECT_EQ(dialogues.questions.value(0), "12 ; mini=0 ; maxi=5\r\n    Vous confirmez ?");
    EXPECT_EQ(serie.NbrePoints, 0);
    EXPECT_EQ(serie.abscisse.maxi, 5);

    dialogues.Repond(true);
    Standard("12", 0.4);
    dialogues.Repond(true);
    Standard("-2,5", 0.1);
    Standard("3", 0.2);  // inside: no question
    EXPECT_EQ(dialogues.questions.size(), 3);
    EXPECT_EQ(dialogues.questions.value(2), "-2,5 ; mini=0 ; maxi=12\r\n    Vous confirmez ?");
    EXPECT_EQ(serie.abscisse.mini, -2.5);
    EXPECT_EQ(serie.abscisse.maxi, 12);
    EXPECT_EQ(serie.NbrePoints, 3);
    EXPECT_EQ(serie.pente, 0) << "no calibration outside the concentration mode";
    EXPECT_FALSE(serie.Controles().enregistreActif);
}

TEST_F(BeerTest, IncrementNumbersPointsAndGrowsTheAxisBy16)
{
    Prepare(maIncrement);
    EXPECT_EQ(serie.abscisse.maxi, 16);
    for (int i = 0; i < 17; ++i) {
        Inconnu(0.01 * i);
        if (i == 0) {
            EXPECT_EQ(serie.abscisse.maxi, 32);
            EXPECT_TRUE(serie.DejaSauve) << "one point needs no saving";
            EXPECT_EQ(vue.appels, QStringList({"P0", "R", "M"}));
        }
        if (i == 1) {
            EXPECT_FALSE(serie.DejaSauve);
        }
    }
    EXPECT_EQ(serie.abscisse.maxi, 48);
    EXPECT_EQ(serie.NbrePoints, 17);
    for (int i = 0; i < 17; ++i)
        EXPECT_EQ(serie.valeurX[i], i);
    EXPECT_EQ(serie.abscisse.nom, "n");
    EXPECT_EQ(serie.abscisse.signif, "numéro");

    // Coming back to the window starts the axis at 0-16 again; each point widens it by 16.
    serie.InitAttente();
    EXPECT_EQ(serie.abscisse.maxi, 16);
    Inconnu(0.2);
    EXPECT_EQ(serie.abscisse.maxi, 32);
    EXPECT_EQ(serie.NbrePoints, 18);
}

TEST_F(BeerTest, AWavelengthChangeHoldsRecordingUntilMajOrTheNextActivation)
{
    TAppareilScript neuf;
    TSerieBeer creee(neuf);
    creee.InitAttente();  // first activation, before any "MàJ"
    EXPECT_TRUE(creee.Controles().enregistreActif);
    EXPECT_TRUE(creee.Controles().majActif);
    EXPECT_FALSE(creee.Controles().zeroActif);

    Prepare(maIncrement);
    serie.LambdaChange();
    TEtatControles e = serie.Controles();
    EXPECT_FALSE(e.enregistreActif);
    EXPECT_FALSE(e.zeroActif);
    EXPECT_TRUE(e.majActif);
    serie.Enregistre();
    EXPECT_EQ(appareil.journal, QStringList());

    serie.InitAttente();  // activation brings "Enregistrer" back, not "Zero/Blanc"
    e = serie.Controles();
    EXPECT_TRUE(e.enregistreActif);
    EXPECT_FALSE(e.zeroActif);
    Inconnu(0.5);
    EXPECT_EQ(serie.NbrePoints, 1);

    serie.LambdaChange();
    serie.MajLambda(540);
    e = serie.Controles();
    EXPECT_TRUE(e.enregistreActif);
    EXPECT_TRUE(e.zeroActif);
    EXPECT_FALSE(e.majActif);
    serie.Zero();
    Inconnu(0.6);
    EXPECT_EQ(appareil.journal, QStringList({"ABS", "GOTO 540", "BLANC", "ABS"}));

    // The value field stays open: only "Enregistrer" waits.
    Prepare(maClavier);
    serie.LambdaChange();
    EXPECT_TRUE(serie.Controles().valeurActif);
}

TEST_F(BeerTest, AFailedReadingRecordsNothing)
{
    Prepare(maIncrement);
    Inconnu(PasDeValeur());
    EXPECT_EQ(serie.NbrePoints, 0);
    EXPECT_EQ(vue.appels, QStringList());

    Prepare(maBeer);
    Standard("0.05", PasDeValeur());
    EXPECT_EQ(serie.NbrePoints, 0);
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

TEST_F(BeerTest, UndoTakesBackTheUnknownsThenTheStandards)
{
    Prepare(maBeer);
    serie.Defaire();
    EXPECT_EQ(serie.NbrePoints, 0) << "undo with nothing recorded";
    Standard("0.01", 0.1);
    Standard("0.02", 0.2);
    Standard("0.03", 0.3);
    Standard("0.04", 0.8);  // a bad standard: slope 14
    Inconnu(0.28);
    Inconnu(0.42);
    EXPECT_NEAR(serie.ConcCalc[0], 0.02, 1e-12);

    serie.Defaire();
    EXPECT_EQ(serie.NbreCalc, 1);
    EXPECT_EQ(serie.NbrePoints, 4);
    serie.Defaire();
    EXPECT_EQ(serie.NbreCalc, 0);
    serie.Defaire();  // no unknown left: the last standard goes, never m < 0
    EXPECT_EQ(serie.NbreCalc, 0);
    EXPECT_EQ(serie.NbrePoints, 3);
    EXPECT_NEAR(serie.pente, 10, 1e-12) << "the standard taken back left the slope";

    Inconnu(0.5);
    Standard("0.05", 0.5);
    serie.Defaire();  // last recording is a standard: the unknown stays
    EXPECT_EQ(serie.NbreCalc, 1);
    EXPECT_EQ(serie.NbrePoints, 3);
    EXPECT_TRUE(serie.Controles().enregistreActif);
    serie.Defaire();
    EXPECT_FALSE(serie.Controles().enregistreActif) << "fewer than three standards";
}

TEST_F(BeerTest, WithoutCalibrationAnUnknownIsRefused)
{
    Prepare(maBeer);
    Standard("0", 0.1);
    Standard("0.02", 0.0005);
    Standard("0.03", 0.001);
    ASSERT_TRUE(serie.Controles().enregistreActif);
    serie.Enregistre();
    EXPECT_EQ(dialogues.messages, QStringList{MsgSansEtalonnage});
    EXPECT_EQ(serie.NbreCalc, 0);
    EXPECT_EQ(appareil.lectures.size(), 0u);
}

// Standards on A = 10·c + 0,05: the ratio of sums reads 12, the affine line 10 and 0,05.
TEST_F(BeerTest, TheChosenFitGivesTheSlopeTheInterceptAndTheUnknowns)
{
    Prepare(maBeer);
    for (auto [c, a] : {std::pair{"0.01", 0.15}, {"0.02", 0.25}, {"0.03", 0.35}, {"0.04", 0.45}})
        Standard(c, a);
    Inconnu(0.2);
    EXPECT_NEAR(serie.pente, 12, 1e-12);
    EXPECT_EQ(serie.ordonnee, 0);
    EXPECT_NEAR(serie.ConcCalc[0], 0.2 / 12, 1e-12);

    const auto choisit = [&](TAjustement a) {
        TChampsModeBeer c = serie.ChampsModeDlg();
        c.ajustement = a;
        serie.AppliqueModeDlg(c);
        serie.ApresChoixMode(maBeer);
    };
    choisit(ajAffine);
    EXPECT_EQ(serie.NbrePoints, 4) << "same mode: the series stays";
    EXPECT_NEAR(serie.pente, 10, 1e-9);
    EXPECT_NEAR(serie.ordonnee, 0.05, 1e-9);
    EXPECT_NEAR(serie.ConcCalc[0], 0.015, 1e-9) << "the unknown already read follows";
    Inconnu(0.3);
    EXPECT_NEAR(serie.ConcCalc[1], 0.025, 1e-9) << "a new one takes the intercept off";
    EXPECT_EQ(serie.ChampsModeDlg().ajustement, ajAffine);

    choisit(ajOrigine);
    EXPECT_NEAR(serie.pente, (0.0015 + 0.005 + 0.0105 + 0.018) / 0.003, 1e-9);
    EXPECT_EQ(serie.ordonnee, 0);

    // A fit that comes with a change of mode leaves nothing to recompute: the series goes.
    TChampsModeBeer c = serie.ChampsModeDlg();
    c.mode = maIncrement;
    c.ajustement = ajAffine;
    serie.AppliqueModeDlg(c);
    serie.ApresChoixMode(maBeer);
    EXPECT_EQ(serie.NbrePoints, 0);
    EXPECT_EQ(serie.Ajustement, ajAffine);
}

// The segment of an affine line starts at its intercept, or where it crosses A = 0.
TEST_F(BeerTest, AffineLineSegmentEnds)
{
    Prepare(maBeer, 0.1);
    serie.NbrePoints = 3;
    const struct { double pente, ordonnee, x0, y0, x1, y1; } cas[] = {
        {5, 0.05, 0, 0.05, 0.1, 0.55},
        {5, -0.1, 0.02, 0, 0.1, 0.4},
        {20, 0.2, 0, 0.2, 0.04, 1},     // clipped at the top (absorbance maximum 1)
    };
    for (const auto& k : cas) {
        SCOPED_TRACE(k.ordonnee);
        serie.pente = k.pente;
        serie.ordonnee = k.ordonnee;
        double x0 = -1, y0 = -1, x1 = -1, y1 = -1;
        ASSERT_TRUE(serie.DebutDroiteEtalonnage(x0, y0));
        ASSERT_TRUE(serie.FinDroiteEtalonnage(x1, y1));
        EXPECT_NEAR(x0, k.x0, 1e-12);
        EXPECT_NEAR(y0, k.y0, 1e-12);
        EXPECT_NEAR(x1, k.x1, 1e-12);
        EXPECT_NEAR(y1, k.y1, 1e-12);
    }
}

// A standard taken back redoes the line even below three standards, so the unknowns in
// the grid always match the calibration shown beside them.
TEST_F(BeerTest, UndoingAStandardKeepsTheUnknownsOnTheLineShown)
{
    Prepare(maBeer);
    Standard("0.01", 0.1);
    Standard("0.02", 0.2);
    Standard("0.03", 0.4);
    Inconnu(0.2);
    Standard("0.04", 0.4);
    serie.Defaire();
    serie.Defaire();
    ASSERT_EQ(serie.NbrePoints, 2);
    ASSERT_EQ(serie.NbreCalc, 1);
    EXPECT_NEAR(serie.pente, 10, 1e-12);
    EXPECT_NEAR(serie.ConcCalc[0], 0.02, 1e-12);
    EXPECT_EQ(serie.ConcCalc[0], serie.Etalonnage().concInconnus[0]);
}

TEST_F(BeerTest, AnAffineLineThatDoesNotRiseRefusesTheUnknownWithItsReason)
{
    Prepare(maBeer);
    TChampsModeBeer c = serie.ChampsModeDlg();
    c.ajustement = ajAffine;
    serie.AppliqueModeDlg(c);
    for (auto [x, a] : {std::pair{"0.01", 0.3}, {"0.02", 0.2}, {"0.03", 0.1}})
        Standard(x, a);
    EXPECT_EQ(serie.pente, 0);
    serie.Enregistre();
    EXPECT_EQ(dialogues.messages, QStringList{MsgPenteNonPositive});
    EXPECT_EQ(serie.NbreCalc, 0);
}

TEST_F(BeerTest, FullSeriesAreRefusedWithAMessage)
{
    Prepare(maIncrement);
    serie.NbrePoints = MaxPointsBeer;
    serie.Enregistre();
    serie.ModeAcq = maClavier;
    serie.AppliqueModeDlg({maClavier, "x", "", "", "0", "10", {}});
    serie.ValideValeur("1");
    EXPECT_EQ(serie.NbrePoints, MaxPointsBeer);

    serie.AppliqueModeDlg({maBeer, {}, {}, {}, {}, {}, "1"});
    serie.pente = 2;
    serie.NbreCalc = MaxPointsBeer;
    serie.Enregistre();
    EXPECT_EQ(serie.NbreCalc, MaxPointsBeer);
    EXPECT_EQ(dialogues.messages,
              QStringList({MsgSeriePleine, MsgSeriePleine, MsgInconnusPleins}));
    EXPECT_EQ(appareil.journal, QStringList()) << "nothing read once full";
}

TEST_F(BeerTest, CommandsWaitForTheExchangeUnderWay)
{
    Prepare(maIncrement);
    Inconnu(0.1);
    Inconnu(0.2);
    appareil.occupe = true;
    appareil.journal.clear();
    serie.Enregistre();
    serie.Defaire();
    serie.RaZ();
    serie.MajLambda(700);
    serie.Zero();
    EXPECT_EQ(serie.NbrePoints, 2);
    EXPECT_EQ(appareil.journal, QStringList());
}

TEST_F(BeerTest, AxesGrowButNeverShrinkAndNegativePointsGoAfterOneDrawing)
{
    Prepare(maIncrement);
    serie.AjusteAxes();
    EXPECT_EQ(serie.absorbance.maxi, 1);
    for (double a : {0.3, -0.002, 1.4, 0.5}) {
        serie.valeurY[serie.NbrePoints++] = a;
    }
    serie.AjusteAxes();
    EXPECT_EQ(serie.absorbance.maxi, 1.4);
    EXPECT_EQ(serie.RetireNegatifs(), 1);
    ASSERT_EQ(serie.NbrePoints, 3);
    EXPECT_EQ(serie.valeurY[1], 1.4);
    EXPECT_EQ(serie.valeurX[1], 1) << "increment points renumbered by position";
    serie.NbrePoints = 1;  // the 1.4 point taken back
    serie.AjusteAxes();
    EXPECT_EQ(serie.absorbance.maxi, 1.4);
    serie.NbrePoints = 0;
    serie.AjusteAxes();
    EXPECT_EQ(serie.absorbance.maxi, 1);

    Prepare(maBeer, 0.1);
    serie.valeurX[0] = 0.05;
    serie.valeurY[0] = -0.01;
    serie.valeurX[1] = 0.2;
    serie.valeurY[1] = 0.4;
    serie.NbrePoints = 2;
    serie.AjusteAxes();
    EXPECT_EQ(serie.abscisse.maxi, 0.2);
    EXPECT_EQ(serie.RetireNegatifs(), 1);
    EXPECT_EQ(serie.valeurX[0], 0.2) << "abscissa and absorbance go together";
}

TEST_F(BeerTest, CalibrationSegmentEndsAtTheTopOfThePlot)
{
    Prepare(maBeer, 0.1);
    for (int i = 0; i < 3; ++i) {
        serie.valeurX[i] = 0.01 * (i + 1);
        serie.valeurY[i] = 0.1 * (i + 1);
    }
    serie.NbrePoints = 3;
    double x = 0, y = 0;
    serie.pente = 5;
    ASSERT_TRUE(serie.FinDroiteEtalonnage(x, y));
    EXPECT_DOUBLE_EQ(x, 0.1);
    EXPECT_DOUBLE_EQ(y, 0.5);
    serie.pente = 20;  // 20 x 0.1 = 2 lies above the absorbance maximum 1
    ASSERT_TRUE(serie.FinDroiteEtalonnage(x, y));
    EXPECT_DOUBLE_EQ(x, 0.05);
    EXPECT_DOUBLE_EQ(y, 1);
    serie.pente = 0;
    EXPECT_FALSE(serie.FinDroiteEtalonnage(x, y)) << "no calibration, no line";
    serie.pente = 5;
    serie.NbrePoints = 2;
    EXPECT_FALSE(serie.FinDroiteEtalonnage(x, y));
}

TEST_F(BeerTest, ModeDialogProposesAConcentrationWhenComingFromIncrement)
{
    serie.concMax = 0.25;
    serie.InitAttente();
    TChampsModeBeer c = serie.ChampsModeDlg();
    EXPECT_EQ(c.mode, maIncrement);
    EXPECT_EQ(c.nom, "c");
    EXPECT_EQ(c.unite, "mol/L");
    EXPECT_EQ(c.signif, "Concentration");
    EXPECT_EQ(c.maxi, "0,25");
    EXPECT_EQ(c.mini, "0");
    EXPECT_EQ(c.maxBeer, "16") << "the abscissa maximum, whatever the mode";

    serie.AppliqueModeDlg({maClavier, "V", "mL", "Volume", "1,5", "20", {}});
    c = serie.ChampsModeDlg();
    EXPECT_EQ(c.nom, "V");
    EXPECT_EQ(c.signif, "Volume");
    EXPECT_EQ(c.mini, "1,5");
    EXPECT_EQ(c.maxi, "20");
    EXPECT_EQ(c.maxBeer, "20");
}

TEST_F(BeerTest, ModeDialogValues)
{
    struct Cas
    {
        const char* nom;
        TChampsModeBeer choix;
        double concMax, mini, maxi;
    } cas[] = {
        {"negative maximum", {maBeer, "", "", "", "", "", "-0,05"}, 0.05, 0, 0.05},
        {"above one", {maBeer, "", "", "", "", "", "2"}, 1, 0, 1},
        {"not a number", {maBeer, "", "", "", "", "", "abc"}, 0.1, 0, 0.1},
        {"zero leaves no range", {maBeer, "", "", "", "", "", "0"}, 0.1, 0, 0.1},
        {"keyboard swapped", {maClavier, "x", "u", "s", "10", "2", ""}, 0.3, 2, 10},
        {"keyboard empty maximum", {maClavier, "x", "u", "s", "1", "", ""}, 0.3, 1, 5},
        {"keyboard bad minimum", {maClavier, "x", "u", "s", "?", "4", ""}, 0.3, 0, 4},
        {"keyboard empty range", {maClavier, "x", "u", "s", "3", "3", ""}, 0.3, 3, 4},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        serie.concMax = 0.3;
        serie.AppliqueModeDlg(c.choix);
        EXPECT_EQ(serie.ModeAcq, c.choix.mode);
        EXPECT_DOUBLE_EQ(serie.concMax, c.concMax);
        EXPECT_DOUBLE_EQ(serie.abscisse.mini, c.mini);
        EXPECT_DOUBLE_EQ(serie.abscisse.maxi, c.maxi);
        if (c.choix.mode == maBeer) {
            EXPECT_EQ(serie.abscisse.nom, "c");
            EXPECT_EQ(serie.abscisse.unite, "mol/L");
            EXPECT_EQ(serie.abscisse.signif, "Concentration");
        } else {
            EXPECT_EQ(serie.abscisse.nom, "x");
            EXPECT_EQ(serie.abscisse.signif, "s");
        }
    }
}

TEST_F(BeerTest, ChangingTheModeClearsTheSeriesKeepingItDoesNot)
{
    Prepare(maIncrement);
    Inconnu(0.1);
    serie.ApresChoixMode(maIncrement);
    EXPECT_EQ(serie.NbrePoints, 1);
    serie.AppliqueModeDlg({maBeer, {}, {}, {}, {}, {}, "0.2"});
    serie.ApresChoixMode(maIncrement);
    EXPECT_EQ(serie.NbrePoints, 0);
    EXPECT_EQ(serie.abscisse.maxi, 0.2);
}

TEST_F(BeerTest, ControlsPerMode)
{
    Prepare(maIncrement);
    TEtatControles e = serie.Controles();
    EXPECT_EQ(e.enregistreCaption, "Enregistrer");
    EXPECT_EQ(e.enregistreHint, "Cliquer pour enregistrer un point");
    EXPECT_TRUE(e.enregistreActif);
    EXPECT_FALSE(e.valeurVisible);
    EXPECT_FALSE(e.inconnusVisible);
    EXPECT_FALSE(e.defaireVisible);

    Prepare(maBeer);
    e = serie.Controles();
    EXPECT_EQ(e.enregistreCaption, "Concentration ?");
    EXPECT_EQ(e.enregistreHint, "Cliquer pour déterminer une concentration inconnue");
    EXPECT_FALSE(e.enregistreVisible);
    EXPECT_EQ(e.labelValeur, "c (mol/L) =");
    EXPECT_EQ(e.valeurHint, "Taper la valeur de la concentration. Valider pour lire l'absorbance");
    EXPECT_TRUE(e.valeurActif);
    EXPECT_TRUE(e.inconnusVisible);
    Standard("0.01", 0.1);
    EXPECT_TRUE(serie.Controles().defaireVisible);
    EXPECT_FALSE(serie.Controles().razVisible);
    Standard("0.02", 0.2);
    Standard("0.03", 0.3);
    e = serie.Controles();
    EXPECT_TRUE(e.razVisible);
    EXPECT_TRUE(e.enregistreVisible && e.enregistreActif);

    Prepare(maClavier);
    serie.AppliqueModeDlg({maClavier, "V", "mL", "Volume", "0", "5", {}});
    e = serie.Controles();
    EXPECT_FALSE(e.enregistreActif);
    EXPECT_EQ(e.labelValeur, "V (mL) =");
    EXPECT_EQ(e.valeurHint, "Taper la valeur de V. Valider pour lire l'absorbance");
    serie.AppliqueModeDlg({maClavier, "N", "", "Nombre", "0", "5", {}});
    EXPECT_EQ(serie.Controles().labelValeur, "N =") << "no empty brackets without a unit";
}

TEST(BeerClavier, OnlyNumberCharactersPass)
{
    const QString admis = QStringLiteral("\b\t\f\r%'+,-.0123456789Ee");
    for (QChar c : admis)
        EXPECT_TRUE(CaractereValeurAdmis(c)) << int(c.unicode());
    for (QChar c : QStringLiteral(" aAzZ/*;:!\n é٣"))
        EXPECT_FALSE(CaractereValeurAdmis(c)) << int(c.unicode());
}

TEST_F(BeerTest, SavingIsAskedOnlyForAnUnsavedIncrementSeries)
{
    Prepare(maIncrement);
    Inconnu(0.1);
    Inconnu(0.2);
    EXPECT_FALSE(serie.DemandeSauvegarde()) << "two points";
    Inconnu(0.3);
    EXPECT_TRUE(serie.DemandeSauvegarde());
    serie.DejaSauve = true;
    EXPECT_FALSE(serie.DemandeSauvegarde());

    Prepare(maBeer);
    serie.NbrePoints = 0;
    Standard("0.01", 0.1);
    Standard("0.02", 0.2);
    Standard("0.03", 0.3);
    Inconnu(0.2);
    EXPECT_FALSE(serie.DejaSauve);
    EXPECT_FALSE(serie.DemandeSauvegarde()) << "never asked in the concentration mode";
}

// Three standards and two unknowns, as the window holds them after a session.
class SortiesBeer : public BeerTest
{
protected:
    void SetUp() override
    {
        BeerTest::SetUp();
        Prepare(maBeer);
        Standard("0.01", 0.12);
        Standard("0.02", 0.25);
        Standard("0.04", 0.49);
        Inconnu(0.3);
        Inconnu(0.2);
    }
};

TEST_F(SortiesBeer, ClipboardBlock)
{
    TValeursConstante c;
    QStringList l = serie.BlocPressePapier("/opt/kelvor", "01/02/2024 10:11:12", c);
    EXPECT_EQ(l, QStringList({"/opt/kelvor", "Loi de Beer-Lambert 01/02/2024 10:11:12", "",
                              "c\tA", "mol/L\t", "0.01\t0.12", "0.02\t0.25", "0.04\t0.49",
                              "0.0244186\t0.3", "0.01627907\t0.2"}));

    c.avecConstante = true;
    c.NomConst = "T";
    c.UniteConst = "°C";
    c.ValeurConst = "25";
    c.Commentaire = "cuivre";
    l = serie.BlocPressePapier("/opt/kelvor", "d", c);
    ASSERT_EQ(l.size(), 14);
    EXPECT_EQ(l[2], "cuivre");
    EXPECT_EQ(l.mid(10), QStringList({"", "T", "°C", "25"}));

    serie.ModeAcq = maClavier;
    EXPECT_EQ(serie.BlocPressePapier("x", "d", {}).size(), 8) << "unknowns only with Beer";
}

TEST_F(SortiesBeer, FilesByteForByte)
{
    QTemporaryDir dir;
    const QString kv3 = dir.filePath("serie.Kv3");
    const QString txt = dir.filePath("serie.txt");
    dialogues.Repond(true, kv3);
    dialogues.Repond(true, txt);
    serie.DejaSauve = false;
    ASSERT_TRUE(serie.SauveDansFichier());
    EXPECT_TRUE(serie.DejaSauve);
    EXPECT_EQ(serie.NomFichierData, kv3);
    ASSERT_TRUE(serie.SauveDansFichier());
    EXPECT_EQ(dialogues.questions, QStringList({"Sauvegarde données", "Sauvegarde données"}));

    auto lit = [](const QString& nom) {
        QFile f(nom);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    };
    const QByteArray octetsKv3 = lit(kv3);
    const QByteArray octetsTxt = lit(txt);
    // The date line is the clock's; everything else is fixed.
    const QByteArray date = octetsKv3.split('\n').value(13);
    ASSERT_TRUE(date.startsWith("Loi de Beer-Lambert ")) << date.toStdString();
    EXPECT_EQ(octetsKv3, "MERIDANE KURVALIS WINDOWS 1.0\r\n"
                         "\xa3" "2 NOM VAR\r\nc\r\nA\r\n"
                         "\xa3" "2 UNITE VAR\r\nmol/L\r\n\r\n"
                         "\xa3" "2 SIGNIF VAR\r\nConcentration\r\nAbsorbance\r\n"
                         "\xa3" "1 ACQUISITION\r\n" + QCoreApplication::applicationFilePath().toUtf8() +
                         "\r\n\xa3" "1 PAGE COMMENT\r\n" + date +
                         "\n&3 VALEUR VAR\r\n0.01 0.12\r\n0.02 0.25\r\n0.04 0.49\r\n");
    // Written a moment later, the text file may carry the next second.
    const QByteArray dateTxt = octetsTxt.split('\n').value(0);
    ASSERT_TRUE(dateTxt.startsWith("Loi de Beer-Lambert ")) << dateTxt.toStdString();
    EXPECT_EQ(octetsTxt, dateTxt + "\nc\tA\r\nmol/L\t\r\nConcentration\tAbsorbance\r\n"
                                "0.01\t0.12\r\n0.02\t0.25\r\n0.04\t0.49\r\n");
}

TEST_F(SortiesBeer, AFailedWriteSaysSoAndLeavesTheSeriesUnsaved)
{
    QTemporaryDir dir;
    const QString nom = dir.filePath("absent/serie.kv3");
    dialogues.Repond(true, nom);
    serie.DejaSauve = false;
    EXPECT_FALSE(serie.SauveDansFichier());
    EXPECT_FALSE(serie.DejaSauve);
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(dialogues.messages[0].startsWith("Erreur d'écriture du fichier " + nom));

    dialogues.Repond(false);  // cancelled dialog: nothing at all
    EXPECT_FALSE(serie.SauveDansFichier());
    EXPECT_EQ(dialogues.messages.size(), 1);
    EXPECT_EQ(serie.NomFichierData, nom);
}

TEST(BeerReglages, RoundTripAndValuesThatCannotBeUsed)
{
    QTemporaryDir dir;
    TAppareilScript appareil;
    TSerieBeer a(appareil);
    a.ChoisitDestination(1);
    a.AppliqueModeDlg({maClavier, "V", "µL", "Volume", "-2", "7,5", {}});
    a.concMax = 0.525;
    TIniFile ini(dir.filePath("k.ini"));
    a.EcritReglages(ini);
    ASSERT_TRUE(ini.UpdateFile());

    TSerieBeer b(appareil);
    b.LitReglages(TIniFile(dir.filePath("k.ini")));
    EXPECT_FALSE(b.SauveKurvalis);
    EXPECT_TRUE(b.SauveClip);
    EXPECT_FALSE(b.SauveFichier);
    EXPECT_EQ(b.ModeAcq, maClavier);
    EXPECT_EQ(b.abscisse.nom, "V");
    EXPECT_EQ(b.abscisse.unite, "µL");
    EXPECT_EQ(b.abscisse.mini, -2);
    EXPECT_EQ(b.abscisse.maxi, 7.5);
    EXPECT_EQ(b.concMax, 0.525);

    struct Cas
    {
        const char* nom;
        QByteArray fichier;
        TModeAcquisition mode;
        double concMax, mini, maxi;
        int destination;
    } cas[] = {
        {"no file", "", maIncrement, 0.1, 0, 1, 0},
        {"comma and point", "[Beer]\r\nConcMax=0,2\r\nMini=0.5\r\nMaxi=2,5\r\nMode=1\r\n",
         maBeer, 0.2, 0.5, 2.5, 0},
        {"values the plot cannot use", "[Beer]\r\nConcMax=0\r\nMini=3\r\nMaxi=3\r\nMode=9\r\n",
         maIncrement, 0.1, 3, 4, 0},
        {"negative limit", "[Beer]\r\nConcMax=-0,2\r\n", maIncrement, 0.1, 0, 1, 0},
        {"limit above one kept", "[Beer]\r\nConcMax=7\r\n", maIncrement, 7, 0, 1, 0},
        {"reversed range, last destination wins",
         "[Save]\r\nKurvalis=1\r\nClip=1\r\nFile=0\r\n[Beer]\r\nMini=4\r\nMaxi=-1\r\n",
         maIncrement, 0.1, -1, 4, 1},
        {"no destination checked", "[Save]\r\nKurvalis=0\r\n", maIncrement, 0.1, 0, 1, -1},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QString chemin = dir.filePath(QStringLiteral("%1.ini").arg(c.nom));
        if (!c.fichier.isEmpty()) {
            QFile f(chemin);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.fichier);
        }
        TSerieBeer s(appareil);
        s.LitReglages(TIniFile(chemin));
        EXPECT_EQ(s.ModeAcq, c.mode);
        EXPECT_DOUBLE_EQ(s.concMax, c.concMax);
        EXPECT_DOUBLE_EQ(s.abscisse.mini, c.mini);
        EXPECT_DOUBLE_EQ(s.abscisse.maxi, c.maxi);
        EXPECT_EQ(s.SauveKurvalis, c.destination == 0);
        EXPECT_EQ(s.SauveClip, c.destination == 1);
        EXPECT_EQ(s.SauveFichier, c.destination == 2);
        EXPECT_EQ(s.abscisse.signif, "") << "the meaning is not kept";
        if (c.fichier.isEmpty()) {
            EXPECT_EQ(s.abscisse.nom, "c");
            EXPECT_EQ(s.abscisse.unite, "mol/L");
        }
    }
}

} // namespace
