#include "graph/graphker.h"

#include "graph/imprimante.h"
#include "instrument/cfgspect.h"
#include "support/canevasenregistreur.h"
#include "support/dialoguesscript.h"
#include "support/localefixe.h"
#include "util/chromato.h"

#include <QFile>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace kelvor;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

// French settings for every label, restored afterwards.
class LocaleFrancaise : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};
};

// ----------------------------------------------------------------------------- setDelta

struct CasDelta
{
    const char* nom;
    double mini, maxi;
    bool grandAxe;
    double deltaAxe, pointDebut;
};

class SetDeltaTest : public ::testing::TestWithParam<CasDelta>
{};

TEST_P(SetDeltaTest, ChoosesSpacingAndFirstTick)
{
    const CasDelta& c = GetParam();
    Tmonde m;
    m.mini = c.mini;
    m.maxi = c.maxi;
    m.grandAxe = c.grandAxe;
    m.setDelta();
    EXPECT_DOUBLE_EQ(m.deltaAxe, c.deltaAxe);
    EXPECT_DOUBLE_EQ(m.pointDebut, c.pointDebut);
    if (c.pointDebut == 0) {
        EXPECT_FALSE(std::signbit(m.pointDebut)) << "a first tick of -0 would be labelled \"-0\"";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tmonde, SetDeltaTest,
    ::testing::Values(CasDelta{"Byte_Small", 0, 255, false, 100, 0},
                      CasDelta{"Byte_Large", 0, 255, true, 50, 0},
                      CasDelta{"Visible_Large", 320, 1000, true, 100, 400},
                      CasDelta{"Visible_Small", 320, 1000, false, 200, 400},
                      CasDelta{"Abs25_Large", 0, 2.5, true, 0.5, 0},
                      CasDelta{"Abs25_Small", 0, 2.5, false, 1, 0},
                      // n / 0.1 is exactly 10 in decimal but not in binary: stays at 0.1.
                      CasDelta{"One_Large", 0, 1, true, 0.1, 0},
                      CasDelta{"One_Small", 0, 1, false, 0.2, 0},
                      CasDelta{"Two_Large", 0, 2, true, 0.2, 0},
                      CasDelta{"Two_Small", 0, 2, false, 0.5, 0},
                      // n / 0.5 is exactly 10: moves on to 1.
                      CasDelta{"Five_Large", 0, 5, true, 1, 0},
                      CasDelta{"Five_Small", 0, 5, false, 2, 0},
                      CasDelta{"NegativeStart_Large", -0.3, 2.5, true, 0.5, 0},
                      CasDelta{"ExactPowerOfTen", 0, 100, true, 10, 0},
                      CasDelta{"NegativeFirstTick", -1, 1, true, 0.2, -1}),
    [](const ::testing::TestParamInfo<CasDelta>& i) { return std::string(i.param.nom); });

TEST(Tmonde, SetDeltaRejectsAnEmptyOrReversedRange)
{
    for (const double maxi : {0.0, -1.0, NaN}) {
        Tmonde m;
        m.mini = 0;
        m.maxi = maxi;
        EXPECT_THROW(m.setDelta(), EErreurCalcul) << maxi;
    }
}

// ---------------------------------------------------------------------- setDeltaDateTime

struct CasDuree
{
    const char* nom;
    const char* unite;
    double mini, maxi;
    bool isDate;
    double deltaAxe, arrondi;
};

class SetDeltaDateTimeTest : public ::testing::TestWithParam<CasDuree>
{};

TEST_P(SetDeltaDateTimeTest, GraduatesDurations)
{
    const CasDuree& c = GetParam();
    Tmonde m;
    m.unite = QString::fromUtf8(c.unite);
    m.mini = c.mini;
    m.maxi = c.maxi;
    m.grandAxe = true;
    m.setDelta();
    const double pointNumerique = m.pointDebut;
    m.setDeltaDateTime();
    EXPECT_EQ(m.isDate, c.isDate);
    EXPECT_DOUBLE_EQ(m.deltaAxe, c.deltaAxe);
    if (c.isDate) {
        EXPECT_DOUBLE_EQ(m.arrondi, c.arrondi);
        EXPECT_EQ(m.formatDuree, "hh:mm:ss");
        EXPECT_EQ(m.pointDebut, 0);
    } else {
        EXPECT_EQ(m.pointDebut, pointNumerique);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tmonde, SetDeltaDateTimeTest,
    ::testing::Values(CasDuree{"TwoMinutesStaysNumeric", "s", 0, 120, false, 20, 0},
                      CasDuree{"JustOverTwoMinutes", "s", 0, 121, true, 30, 1},
                      CasDuree{"TenMinutes", "s", 0, 600, true, 100, 1},
                      CasDuree{"FirstTickAtZeroWhateverMini", "s", 50, 600, true, 100, 1},
                      CasDuree{"TwentyMinutes", "s", 0, 1200, true, 240, 10},
                      CasDuree{"TwoHours", "s", 0, 7200, true, 1800, 60},
                      CasDuree{"NoUnit", "", 0, 7200, false, 1000, 0},
                      CasDuree{"OtherUnit", "min", 0, 7200, false, 1000, 0},
                      CasDuree{"UnitIsCaseSensitive", "S", 0, 7200, false, 1000, 0}),
    [](const ::testing::TestParamInfo<CasDuree>& i) { return std::string(i.param.nom); });

// ------------------------------------------------------------------------------ FormatAxe

using FormatAxeTest = LocaleFrancaise;

TEST_F(FormatAxeTest, NumbersAndDurations)
{
    struct Cas
    {
        bool isDate;
        double arrondi, x;
        const char* attendu;
    } const cas[] = {
        {false, 0, 0.1 + 0.2, "0,3"},
        {false, 0, -0.0000001, "-1E-7"},
        {false, 0, 0, "0"},
        {false, 0, 50, "50"},
        {false, 0, 0.5, "0,5"},
        {false, 0, 1.5e-5, "1,5E-5"},
        {false, 0, 1234, "1,23E3"},
        {true, 1, 100, "00:01:40"},
        {true, 60, 3725, "01:02:00"},
        {true, 60, 90, "00:02:00"},  // 1.5 minutes: to the even 2
        {true, 60, 150, "00:02:00"}, // 2.5 minutes: to the even 2
        {true, 10, 1195, "00:20:00"},
        {true, 1, 90000, "01:00:00"}, // hours of the day
    };
    for (const Cas& c : cas) {
        Tmonde m;
        m.isDate = c.isDate;
        m.arrondi = c.arrondi;
        m.formatDuree = "hh:mm:ss";
        EXPECT_EQ(m.FormatAxe(c.x), QString::fromUtf8(c.attendu)) << c.x;
    }
}

// --------------------------------------------------------------------------- affecteEntier

TEST(Tmonde, AffecteEntierRoundsHalfToEvenAndMarksWhatCannotBeDrawn)
{
    Tmonde m;
    m.a = 2;
    m.b = 10;
    struct Cas
    {
        double r;
        qint32 attendu;
    } const cas[] = {{0.25, 10}, {0.75, 12}, {1.2, 12}, {-5.25, 0}, {NaN, -1},
                     // Fits 64 bits but not 32: the low 32 bits are kept.
                     {2147483638.0, -10}};
    for (const Cas& c : cas) {
        qint32 i = 12345;
        m.affecteEntier(c.r, i);
        EXPECT_EQ(i, c.attendu) << c.r;
    }
    qint32 i = 0;
    EXPECT_THROW(m.affecteEntier(std::numeric_limits<double>::infinity(), i), EErreurCalcul);
    EXPECT_THROW(m.affecteEntier(1e300, i), EErreurCalcul);

    Tgraphe g;
    g.mondeX = m;
    qint32 xi = 0, yi = 0;
    g.WindowXY(1e300, 0.5, xi, yi);
    EXPECT_EQ(xi, -1);
    EXPECT_EQ(yi, -1) << "an unmappable abscissa discards the whole point";
}

// ------------------------------------------------------------------------ layout and axes

// A graph on a recording surface with a 7 x 15 character cell at 96 pixels per inch.
class GrapheEnregistre : public LocaleFrancaise
{
protected:
    void SetUp() override
    {
        LocaleFrancaise::SetUp();
        NouveauSpectro();
        g.Trace = tCinet;
        g.SetMonde(320, 0, 1000, 2.5);
        g.mondeX.nom = "Lambda";
        g.mondeX.unite = "nm";
        g.mondeY.nom = "A";
    }
    void TearDown() override
    {
        NouveauSpectro();
        LocaleFrancaise::TearDown();
    }
    void Dessine(qint32 largeur, qint32 hauteur)
    {
        c.traces.clear();
        g.Draw({c, {0, 0, largeur, hauteur}});
    }
    // Lines whose both ends satisfy the predicate.
    template<typename F>
    QList<TCanevasEnregistreur::Trace> Lignes(F f) const
    {
        QList<TCanevasEnregistreur::Trace> r;
        for (const auto& t : c.De(TCanevasEnregistreur::oLigne))
            if (f(t))
                r << t;
        return r;
    }

    TCanevasEnregistreur c;
    Tgraphe g;
};

TEST_F(GrapheEnregistre, SmallWindowGetsBothAxesLargeAndItsLabels)
{
    Dessine(400, 300);
    EXPECT_EQ(c.Font.Size, 10);
    EXPECT_EQ(c.Font.Name, "Calibri");
    EXPECT_EQ(g.HautCarac, 15);
    EXPECT_EQ(g.LargCarac, 7);
    EXPECT_EQ(g.Marge, 5);
    EXPECT_TRUE(g.mondeX.avecAxe);
    EXPECT_TRUE(g.mondeX.grandAxe);
    EXPECT_TRUE(g.mondeY.avecAxe);
    EXPECT_TRUE(g.mondeY.grandAxe);
    EXPECT_EQ(g.LimiteCourbe, (TRectangle{33, 5, 395, 280}));

    // The white background comes first and covers the window.
    ASSERT_FALSE(c.traces.isEmpty());
    EXPECT_EQ(c.traces.first().op, TCanevasEnregistreur::oFillRect);
    EXPECT_EQ(c.traces.first().brush.Color, clWhite);

    // The label at 900 nm would run into the title; 0 sits on the bottom edge.
    EXPECT_EQ(c.Textes(), (QStringList{"Lambda(nm)", "400", "500", "600", "700", "800", "A",
                                       "0,5", "1", "1,5", "2"}));
    const auto textes = c.De(TCanevasEnregistreur::oTexte);
    EXPECT_EQ(textes[0].x1, 400 - 70); // title flush right, under the axis
    EXPECT_EQ(textes[0].y1, 285);
    EXPECT_EQ(textes[6].x1, 5); // vertical title in the top-left corner
    EXPECT_EQ(textes[6].y1, 0);
    EXPECT_EQ(textes[7].y1, 280 - 55 - 7); // "0,5" centred on its grid line
}

TEST_F(GrapheEnregistre, TicksWithoutGridPointOutOfAndIntoThePlot)
{
    g.quadrillage = false;
    Dessine(400, 300);
    const qint32 bas = 280, gauche = 33;
    // Horizontal ticks hang below the axis, vertical ones point right into the plot.
    EXPECT_EQ(Lignes([&](auto& t) { return t.x1 == t.x2 && t.y1 == bas && t.y2 == bas + 5; })
                  .size(),
              6);
    EXPECT_EQ(Lignes([&](auto& t) { return t.y1 == t.y2 && t.x1 == gauche && t.x2 == gauche + 5; })
                  .size(),
              4);
    EXPECT_TRUE(Lignes([](auto& t) { return t.pen.Style == psDot; }).isEmpty());
}

TEST_F(GrapheEnregistre, LabelsNeverOverwriteTheTitles)
{
    // Each row puts a label just short of a title: "800" starting left of the horizontal
    // title but running into it, "2" just under the vertical one.
    struct Cas
    {
        qint32 largeur, hauteur;
        const char* nom;
        double maxiY;
    } const cas[] = {{400, 300, "Longueurs", 2.1}, {800, 600, "Lambda", 2.05},
                     {1600, 900, "Longueur d'onde", 2.5}};
    for (const Cas& k : cas) {
        g.SetMonde(320, 0, 1000, k.maxiY);
        g.mondeX.nom = k.nom;
        Dessine(k.largeur, k.hauteur);
        const auto textes = c.De(TCanevasEnregistreur::oTexte);
        QList<QRect> titres;
        for (const auto& t : textes)
            if (t.texte == "A" || t.texte.endsWith("(nm)"))
                titres << QRect(QPoint(t.x1, t.y1), QPoint(t.x2 - 1, t.y2 - 1));
        ASSERT_EQ(titres.size(), 2);
        for (const auto& t : textes) {
            const QRect r(QPoint(t.x1, t.y1), QPoint(t.x2 - 1, t.y2 - 1));
            for (const QRect& titre : titres)
                EXPECT_TRUE(r == titre || !r.intersects(titre))
                    << t.texte.toStdString() << " over a title at " << k.largeur;
        }
    }
}

TEST_F(GrapheEnregistre, NarrowWindowKeepsOnlyTheZeroLineOfTheHorizontalAxis)
{
    g.SetMonde(-1, 0, 1, 2.5);
    Dessine(140, 300); // exactly 20 cells wide: not wider
    EXPECT_FALSE(g.mondeX.avecAxe);
    EXPECT_EQ(g.LimiteCourbe.Bottom, 295);
    EXPECT_FALSE(c.Textes().contains("Lambda(nm)"));
    for (const auto& t : c.De(TCanevasEnregistreur::oTexte))
        EXPECT_LT(t.y1, 295) << "no label under the plot: " << t.texte.toStdString();
    const auto zero = Lignes([&](auto& t) {
        return t.x1 == t.x2 && t.y1 == 295 && t.y2 == g.LimiteCourbe.Top;
    });
    ASSERT_EQ(zero.size(), 1);
    EXPECT_EQ(zero[0].x1, (33 + 135) / 2);

    g.SetMonde(320, 0, 1000, 2.5); // zero outside the range: no line at all
    Dessine(140, 300);
    EXPECT_TRUE(Lignes([&](auto& t) {
                    return t.x1 == t.x2 && t.y1 == 295 && t.y2 == g.LimiteCourbe.Top;
                }).isEmpty());
}

TEST_F(GrapheEnregistre, NearlyZeroTickIsLabelledZeroAndRestartsTheSum)
{
    // From -1 by 0.2 in single precision the sum misses 0 by about 1.5e-8.
    g.SetMonde(0, -1, 100, 1);
    Dessine(400, 300);
    EXPECT_EQ(c.Textes().mid(c.Textes().indexOf("A") + 1),
              (QStringList{"-0,8", "-0,6", "-0,4", "-0,2", "0", "0,2", "0,4", "0,6", "0,8"}));
}

TEST(GrapheSurface, FontSizeFollowsHeightAndResolution)
{
    struct Cas
    {
        qint32 hauteur, ppp, points;
    } const cas[] = {{10, 96, 10}, {20, 96, 14}, {30, 96, 18}, {22, 96, 16},
                     {100, 600, 12}, {165, 600, 18}, {5, 600, 10}};
    for (const Cas& k : cas) {
        TCanevasEnregistreur c(7, 15, k.ppp);
        Tgraphe g;
        g.SetHauteurFonte(c, k.hauteur);
        EXPECT_EQ(c.Font.Size, k.points) << k.hauteur << " px at " << k.ppp;
    }
}

TEST_F(GrapheEnregistre, BadLimitsStopBeforeDrawingAndHugeOffsetsStillEnd)
{
    for (const double maxi : {320.0, 300.0}) {
        g.SetMonde(320, 0, maxi, 2.5);
        EXPECT_THROW(Dessine(400, 300), EErreurCalcul);
        EXPECT_TRUE(c.traces.isEmpty());
    }
    // The single-precision tick can no longer move by 0.2 near 1e8.
    g.SetMonde(1e8, 0, 1e8 + 1, 2.5);
    Dessine(400, 300);
    EXPECT_FALSE(c.traces.isEmpty());
}

// ---------------------------------------------------------------------------- the curves

TEST_F(GrapheEnregistre, SpectrumJoinsAGapInTheColourOfTheLaterPoint)
{
    Spectro().DebutLambda = 400;
    Spectro().FinLambda = 600;
    g.Trace = tSpectre;
    g.valeurY.fill(NaN);
    for (int l = 403; l <= 600; ++l)
        g.valeurY[l] = 0.5 + (l % 7) * 0.01;
    for (int l = 500; l <= 510; ++l)
        g.valeurY[l] = NaN;
    Dessine(800, 600);

    const auto courbe = Lignes([](auto& t) { return t.pen.Width == 2; });
    // 403..499 and 511..600 joined, the gap bridged once.
    ASSERT_EQ(courbe.size(), (499 - 403) + 1 + (600 - 511));
    qint32 xi, yi, x499, y499, x511, y511;
    g.WindowXY(403, g.valeurY[403], xi, yi);
    EXPECT_EQ(QPoint(courbe.first().x1, courbe.first().y1), QPoint(xi, yi))
        << "the curve starts at the first wavelength with a value";
    g.WindowXY(499, g.valeurY[499], x499, y499);
    g.WindowXY(511, g.valeurY[511], x511, y511);
    const auto pont = Lignes([&](auto& t) { return t.pen.Width == 2 && t.x1 == x499; });
    ASSERT_EQ(pont.size(), 1);
    EXPECT_EQ(QPoint(pont[0].x2, pont[0].y2), QPoint(x511, y511));
    EXPECT_EQ(pont[0].pen.Color, CouleurLambda(511));
    for (const auto& t : courbe)
        EXPECT_EQ(t.pen.Mode, pmCopy);
    // The cross is put back at 600 nm on the zero line after each repaint.
    g.WindowXY(600, 0, xi, yi);
    EXPECT_EQ(QPoint(g.Xcroix, g.Ycroix), QPoint(xi, yi));
}

TEST_F(GrapheEnregistre, ScanRangeOutsideTheArraysIsClipped)
{
    Spectro().DebutLambda = -50;
    Spectro().FinLambda = 5000;
    g.Trace = tSpectre;
    g.valeurY.fill(1);
    EXPECT_NO_THROW(Dessine(400, 300));
    g.TracePointCinet(c, 5000); // no such point: nothing drawn, nothing read
}

TEST_F(GrapheEnregistre, KineticsPointsMarkersAndComputedPoints)
{
    g.SetMonde(0, 0, 100, 2.5);
    g.mondeX.nom = "t";
    g.mondeX.unite = "s";
    g.NbrePoints = 3;
    g.valeurX[0] = 0, g.valeurY[0] = 0.5;
    g.valeurX[1] = 10, g.valeurY[1] = NaN;
    g.valeurX[2] = 20, g.valeurY[2] = 1;
    Dessine(400, 300);
    const auto carres = c.De(TCanevasEnregistreur::oRectangle);
    ASSERT_EQ(carres.size(), 2);
    qint32 xi, yi;
    g.WindowXY(20, 1, xi, yi);
    EXPECT_EQ(carres[1].x1, xi - 2);
    EXPECT_EQ(carres[1].y2, yi + 2);
    EXPECT_EQ(carres[1].brush.Style, bsSolid);
    EXPECT_EQ(carres[1].brush.Color, clBlack);

    c.traces.clear();
    g.AjouteRepere(0, "début");
    g.TraceRepere(c, g.ListeRepere.back());
    ASSERT_EQ(c.traces.size(), 2);
    const auto repere = c.traces[0];
    // Its text at the top of its line, to the right of it.
    EXPECT_EQ(c.traces[1].op, TCanevasEnregistreur::oTexte);
    EXPECT_EQ(c.traces[1].texte, "début");
    EXPECT_EQ(c.traces[1].x1, g.LimiteCourbe.Left + g.Marge);
    EXPECT_EQ(c.traces[1].y1, g.LimiteCourbe.Top);
    EXPECT_EQ(c.traces[1].brush.Style, bsClear);
    EXPECT_EQ(repere.x1, g.LimiteCourbe.Left);
    EXPECT_EQ(repere.x2, g.LimiteCourbe.Left);
    EXPECT_EQ(repere.y1, g.LimiteCourbe.Top);
    EXPECT_EQ(repere.y2, g.LimiteCourbe.Bottom);
    EXPECT_EQ(repere.pen.Color, clRed);
    EXPECT_EQ(repere.pen.Style, psDash);
    EXPECT_EQ(g.ListeRepere.back().Text, "début");

    // Near the right edge the text goes left of the line; no text, nothing written.
    c.traces.clear();
    for (const Trepere& r : {Trepere{100, "fin"}, Trepere{50, ""}}) {
        g.AjouteRepere(r.Valeur, r.Text);
        g.TraceRepere(c, g.ListeRepere.back());
    }
    const auto textes = c.De(TCanevasEnregistreur::oTexte);
    ASSERT_EQ(textes.size(), 1);
    EXPECT_EQ(textes[0].x2, g.LimiteCourbe.Right - g.Marge);
    g.ListeRepere.resize(1);

    g.TracePointCinet(c, 2); // a point read after the marker
    EXPECT_EQ(c.traces.last().pen.Style, psSolid) << "the marker's dash must not leak";
    Dessine(400, 300); // markers come back with every repaint
    EXPECT_EQ(Lignes([](auto& t) { return t.pen.Color == clRed; }).size(), 1);
    // The axis line comes before any grid line, so a dash left by the last repaint's
    // marker would show on it.
    const auto axe = Lignes([&](auto& t) {
        return t.x1 == 0 && t.y1 == g.LimiteCourbe.Bottom
               && t.x2 == g.LimiteCourbe.Right;
    });
    ASSERT_EQ(axe.size(), 1);
    EXPECT_EQ(axe[0].pen.Style, psSolid);

    c.traces.clear();
    g.TracePointCalc(c, 50, 1.25);
    g.TracePointCalc(c, NaN, 1);
    ASSERT_EQ(c.traces.size(), 1);
    g.WindowXY(50, 1.25, xi, yi);
    EXPECT_EQ((TRectangle{c.traces[0].x1, c.traces[0].y1, c.traces[0].x2, c.traces[0].y2}),
              (TRectangle{xi - 4, yi - 4, xi + 4, yi + 4}));
    EXPECT_EQ(c.traces[0].brush.Color, clRed);
    EXPECT_EQ(c.Pen.Color, clBlack) << "pen back to default after a computed point";

    g.Reset();
    EXPECT_EQ(g.NbrePoints, 0);
    EXPECT_TRUE(g.ListeRepere.empty());
    EXPECT_EQ(g.NbreCourbe, 1);
}

// ------------------------------------------------------------------------- MaxiY, MaxiX

TEST(GrapheLimites, MaxiYFromAllEntriesWithinTheInstrumentRange)
{
    NouveauSpectro();
    struct Cas
    {
        const char* nom;
        double plusGrand; // NaN: every entry is NaN
        double attendu;
    } const cas[] = {{"AllNaN", NaN, 1}, {"Small", 0.5, 1}, {"Two", 2, 2.2}, {"NearTop", 2.4, 2.5}};
    for (const Cas& k : cas) {
        Tgraphe g;
        g.valeurY.fill(NaN);
        g.NbrePoints = 0; // every entry counts, not only the stored points
        g.valeurY[2048] = k.plusGrand;
        g.valeurY[100] = k.plusGrand / 2;
        EXPECT_DOUBLE_EQ(g.MaxiY(), k.attendu) << k.nom;
    }
}

TEST(GrapheLimites, MaxiXOverTheStoredPoints)
{
    Tgraphe g;
    EXPECT_EQ(g.MaxiX(), 1);
    g.valeurX[0] = 0, g.valeurX[1] = 30, g.valeurX[2] = NaN, g.valeurX[3] = 60;
    g.valeurX[4] = 1000; // not stored
    g.NbrePoints = 4;
    EXPECT_EQ(g.MaxiX(), 60);
    g.valeurX.fill(0.5);
    EXPECT_EQ(g.MaxiX(), 1);
}

// -------------------------------------------------------------------- QPainter surface

QImage Blanche(int l, int h)
{
    QImage im(l, h, QImage::Format_RGB32);
    im.fill(Qt::white);
    return im;
}

// Bounding box of the pixels that are not white.
QRect Encre(const QImage& im)
{
    QRect r;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x)
            if (im.pixel(x, y) != qRgb(255, 255, 255))
                r |= QRect(x, y, 1, 1);
    return r;
}

TEST(CanevasQt, RasterRulesOnAnImage)
{
    struct Cas
    {
        const char* nom;
        std::function<void(TCanevas&)> dessine;
        QRect attendu;
    } const cas[] = {
        {"HorizontalLineStopsBeforeItsEnd",
         [](TCanevas& c) { c.MoveTo(5, 5); c.LineTo(15, 5); }, QRect(5, 5, 10, 1)},
        {"DiagonalLineStopsBeforeItsEnd",
         [](TCanevas& c) { c.MoveTo(5, 5); c.LineTo(15, 9); }, QRect(5, 5, 10, 4)},
        {"RectangleCoversUpToRightMinusOne",
         [](TCanevas& c) { c.Brush.Style = bsSolid; c.Brush.Color = clRed; c.Rectangle(10, 10, 14, 14); },
         QRect(10, 10, 4, 4)},
        {"FillRectExcludesRightAndBottom",
         [](TCanevas& c) { c.Brush.Color = clRed; c.FillRect({20, 20, 24, 22}); }, QRect(20, 20, 4, 2)},
        {"EmptyFillRect", [](TCanevas& c) { c.FillRect({20, 20, 20, 22}); }, QRect()},
    };
    for (const Cas& k : cas) {
        QImage im = Blanche(40, 40);
        {
            TCanevasQt c(&im);
            k.dessine(c);
        }
        EXPECT_EQ(Encre(im), k.attendu) << k.nom;
    }
}

TEST(CanevasQt, TextIsPlacedByItsTopLeftCornerOnATransparentBackground)
{
    const QRgb vert = qRgb(0, 255, 0);
    QImage im(200, 60, QImage::Format_RGB32);
    im.fill(vert);
    TCanevasQt c(&im);
    c.Font.Name = "Calibri";
    c.Font.Size = 14;
    c.Brush.Style = bsClear;
    const QRect cellule(10, 20, c.TextWidth("Lambda"), c.TextHeight("Lambda"));
    c.TextOut(cellule.left(), cellule.top(), "Lambda");
    c.Detache();
    int encre = 0, fond = 0;
    for (int y = 0; y < im.height(); ++y)
        for (int x = 0; x < im.width(); ++x) {
            const bool intact = im.pixel(x, y) == vert;
            if (!cellule.contains(x, y))
                ASSERT_TRUE(intact) << "ink outside the measured cell at " << x << "," << y;
            else
                ++(intact ? fond : encre);
        }
    EXPECT_GT(encre, 0);
    EXPECT_GT(fond, encre) << "the background inside the cell must stay as it was";
}

class GrapheImage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        NouveauSpectro();
        Spectro().DebutLambda = 380;
        Spectro().FinLambda = 800;
        g.SetMonde(320, 0, 1000, 2.5);
        g.mondeX.nom = "Lambda";
        g.mondeX.unite = "nm";
        g.mondeY.nom = "A";
        g.valeurY.fill(NaN);
        for (int l = 380; l <= 800; ++l)
            g.valeurY[l] = 1.2 + std::sin(l / 40.0);
        c.Attache(&image);
        g.Draw({c, {0, 0, image.width(), image.height()}});
    }
    void TearDown() override { NouveauSpectro(); }
    QImage Photo()
    {
        c.Detache(); // the painter may hold pixels back until it ends
        QImage copie = image.copy();
        c.Attache(&image);
        return copie;
    }

    QImage image = Blanche(400, 300);
    TCanevasQt c;
    Tgraphe g;
};

TEST_F(GrapheImage, CrossDrawnTwiceRestoresEveryPixel)
{
    const QImage avant = Photo();
    g.TraceCroix(c);
    const QImage une = Photo();
    EXPECT_NE(une, avant);
    // Inverted, not painted over: the arm end shows the complement of what was there.
    const QPoint bout(g.Xcroix - 5, g.Ycroix);
    EXPECT_EQ(une.pixel(bout) & 0xFFFFFF, ~avant.pixel(bout) & 0xFFFFFF);
    EXPECT_EQ(qAlpha(une.pixel(bout)), 255);
    g.TraceCroix(c);
    EXPECT_EQ(Photo(), avant);
}

TEST_F(GrapheImage, MovingTheCrossLeavesNoTrace)
{
    const QImage origine = Photo(); // the cross already stands at 600 nm, A = 0
    g.AfficheCroix(c, 500, 1);
    const QImage deplace = Photo();
    EXPECT_NE(deplace, origine);
    g.AfficheCroix(c, 500, 1);
    EXPECT_EQ(Photo(), deplace) << "moving to the same place keeps one cross";
    g.AfficheCroix(c, 600, 0);
    EXPECT_EQ(Photo(), origine);
}

TEST_F(GrapheImage, SpectrumShowsTheColoursOfTheVisibleRange)
{
    const QImage im = Photo();
    for (const int lambda : {450, 555, 620}) {
        qint32 xi, yi;
        g.WindowXY(lambda, g.valeurY[lambda], xi, yi);
        bool trouve = false;
        for (int dy = -2; dy <= 2 && !trouve; ++dy)
            for (int dx = -2; dx <= 2 && !trouve; ++dx) {
                const QRgb p = im.pixel(xi + dx, yi + dy);
                const QRgb a = CouleurLambda(lambda - 1), b = CouleurLambda(lambda + 1);
                trouve = std::abs(qRed(p) - (qRed(a) + qRed(b)) / 2) < 12
                         && std::abs(qGreen(p) - (qGreen(a) + qGreen(b)) / 2) < 12
                         && std::abs(qBlue(p) - (qBlue(a) + qBlue(b)) / 2) < 12;
            }
        EXPECT_TRUE(trouve) << "no pixel in the colour of " << lambda << " nm near the curve";
    }
}

// ------------------------------------------------------------------------------ printing

class Impression : public LocaleFrancaise
{
protected:
    void SetUp() override
    {
        LocaleFrancaise::SetUp();
        ASSERT_TRUE(dossier.isValid());
        NouveauSpectro();
        g.Trace = tCinet;
        g.SetMonde(0, 0, 600, 2.5);
        g.mondeX.unite = "s";
    }
    void TearDown() override
    {
        SetImprimante(nullptr);
        LocaleFrancaise::TearDown();
    }

    QTemporaryDir dossier;
    QString chemin = dossier.filePath("page.pdf");
    TImprimantePdf pdf{chemin};
    TCanevasEnregistreur ecran;
    TDialoguesScript dialogues;
    Tgraphe g;
};

TEST_F(Impression, CancelledPrintChangesNothing)
{
    SetImprimante(&pdf);
    dialogues.Repond(false);
    g.Imprime();
    EXPECT_EQ(dialogues.questions, QStringList{"Impression ?"});
    EXPECT_FALSE(QFile::exists(chemin));
    EXPECT_TRUE(ecran.traces.isEmpty());
}

TEST_F(Impression, ConfirmedPrintGivesOneLandscapePage)
{
    SetImprimante(&pdf);
    dialogues.Repond(true);
    const TRectangle avant = g.LimiteCourbe;
    g.Imprime();
    EXPECT_TRUE(ecran.traces.isEmpty()) << "the screen is not drawn on";
    EXPECT_EQ(g.LimiteCourbe, avant) << "the screen's layout stays as it was";

    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString texte = QString::fromLatin1(f.readAll());
    EXPECT_TRUE(texte.startsWith("%PDF"));
    EXPECT_EQ(texte.count(QRegularExpression("/Type\\s*/Page[^s]")), 1);
    const auto boite = QRegularExpression("/MediaBox\\s*\\[\\s*0\\s+0\\s+([\\d.]+)\\s+([\\d.]+)")
                           .match(texte);
    ASSERT_TRUE(boite.hasMatch());
    EXPECT_GT(boite.captured(1).toDouble(), boite.captured(2).toDouble());
}

TEST_F(Impression, WithoutAPrinterTheUserIsTold)
{
    dialogues.Repond(true);
    g.Imprime();
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(dialogues.messages[0].contains("imprimante")) << dialogues.messages[0].toStdString();
}

TEST_F(Impression, FailedDrawingIsAbandoned)
{
    SetImprimante(&pdf);
    dialogues.Repond(true);
    g.SetMonde(0, 0, 0, 2.5);
    EXPECT_THROW(g.Imprime(), EErreurCalcul);
    EXPECT_TRUE(ecran.traces.isEmpty());
}

} // namespace
