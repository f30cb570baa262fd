#include "mesure/zoomspectre.h"

#include "support/canevasenregistreur.h"
#include "support/spectresynthetique.h"
#include "mesure/tracespectres.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

constexpr TVueAxe Tout{190, 1000};

TCourbeSpectre Courbe(const std::function<double(double)>& a, int debut, int fin, int pas = 1)
{
    TCourbeSpectre c;
    c.y = synth::Spectre(a, debut, fin, pas);
    c.debut = debut;
    c.fin = fin;
    return c;
}

// Where x stands along the view, 0 at its start and 1 at its end.
double Position(TVueAxe v, double x)
{
    return (x - v.mini) / (v.maxi - v.mini);
}

} // namespace

TEST(ZoomSpectre, WheelKeepsThePointerWavelengthInPlaceWithinTheLimits)
{
    struct Cas
    {
        const char* nom;
        TVueAxe vue;
        double lambda;
        double crans;
        TVueAxe attendu;
    };
    const double e1 = 810 * FacteurCran;
    const Cas cas[] = {
        {"in around the middle", Tout, 595, 1, {595 - e1 / 2, 595 + e1 / 2}},
        {"in at the low edge stays on it", Tout, 190, 1, {190, 190 + e1}},
        {"in at the high edge stays on it", Tout, 1000, 1, {1000 - e1, 1000}},
        {"out past the limits is the whole range", {500, 600}, 550, -20, Tout},
        {"out near an edge slides inside", {195, 295}, 200, -4, {190, 190 + 100 / std::pow(FacteurCran, 4)}},
        {"in stops at the narrowest view", {500, 520}, 505, 10, {505 - EcartMiniLambda / 4, 505 + 3 * EcartMiniLambda / 4}},
        {"pointer beyond the view counts as its edge", {500, 600}, 700, 1, {600 - 80, 600}},
        {"no notch changes nothing", {412.5, 640}, 500, 0, {412.5, 640}},
        {"a meaningless pointer changes nothing", {500, 600}, NAN, 1, {500, 600}},
        {"an empty view returns to the whole range", {500, 500}, 500, 1, Tout},
    };
    for (const Cas& c : cas) {
        const TVueAxe v = VueZoomee(c.vue, c.lambda, c.crans, Tout);
        EXPECT_NEAR(v.mini, c.attendu.mini, 1e-9) << c.nom;
        EXPECT_NEAR(v.maxi, c.attendu.maxi, 1e-9) << c.nom;
        EXPECT_GE(v.mini, Tout.mini) << c.nom;
        EXPECT_LE(v.maxi, Tout.maxi) << c.nom;
    }
}

TEST(ZoomSpectre, NotchesInThenOutComeBackAndThePointerStaysPut)
{
    TVueAxe v = Tout;
    for (int k = 0; k < 3; ++k) {
        const TVueAxe avant = v;
        v = VueZoomee(v, 522, 1, Tout);
        EXPECT_NEAR(Position(v, 522), Position(avant, 522), 1e-12);
    }
    EXPECT_NEAR(v.maxi - v.mini, 810 * std::pow(FacteurCran, 3), 1e-9);
    v = VueZoomee(v, 522, -3, Tout);
    EXPECT_NEAR(v.mini, Tout.mini, 1e-9);
    EXPECT_NEAR(v.maxi, Tout.maxi, 1e-9);
}

TEST(ZoomSpectre, AbsorbanceFitsTheSpectraShownWithinTheView)
{
    const TCourbeSpectre bande = Courbe([](double l) { return 0.1 + 0.8 * synth::Gauss(l, 520, 30); }, 400, 700, 2);
    const TCourbeSpectre autre = Courbe([](double l) { return 1.5 - l / 1000; }, 300, 600);
    const TCourbeSpectre plat = Courbe([](double) { return 0.4; }, 400, 700);
    struct Cas
    {
        const char* nom;
        QList<TCourbeSpectre> courbes;
        TVueAxe vue;
        double bas, haut;     // values the axis must hold, before the margin
    };
    const double pied = 0.1 + 0.8 * synth::Gauss(700, 520, 30);
    const Cas cas[] = {
        {"one band over the whole range", {bande}, Tout, pied, 0.9},
        {"the other spectrum reaches higher", {bande, autre}, Tout, pied, 1.2},
        {"only what the view shows", {bande, autre}, {500, 540}, 0.1 + 0.8 * synth::Gauss(540, 520, 30), 1.0},
    };
    for (const Cas& c : cas) {
        const std::optional<TVueAxe> a = PlageAbsorbance(c.courbes, c.vue);
        ASSERT_TRUE(a) << c.nom;
        const double marge = (c.haut - c.bas) * MargeA;
        EXPECT_NEAR(a->mini, c.bas - marge, 1e-12) << c.nom;
        EXPECT_NEAR(a->maxi, c.haut + marge, 1e-12) << c.nom;
    }

    // A flat line sits in the middle of the narrowest axis.
    const std::optional<TVueAxe> a = PlageAbsorbance({plat}, Tout);
    ASSERT_TRUE(a);
    EXPECT_NEAR(a->mini, 0.4 - EcartMiniA / 2, 1e-12);
    EXPECT_NEAR(a->maxi, 0.4 + EcartMiniA / 2, 1e-12);
    // Nothing in view (or nothing at all): no axis to fit.
    EXPECT_FALSE(PlageAbsorbance({bande}, {800, 900}));
    EXPECT_FALSE(PlageAbsorbance({}, Tout));
}

TEST(ZoomSpectre, FitFollowsTheWheelAndSeeAllRestoresTheWindowsAxes)
{
    const TCourbeSpectre bande = Courbe([](double l) { return 0.1 + 0.8 * synth::Gauss(l, 520, 30); }, 400, 700);
    Tgraphe g;
    g.SetMonde(Tout.mini, 0, Tout.maxi, 1.2);
    TZoomSpectre z;

    // The wheel alone leaves the absorbance axis.
    z.Zoome(g, 520, 2, Tout, {bande});
    EXPECT_EQ(g.mondeY.mini, 0);
    EXPECT_EQ(g.mondeY.maxi, 1.2);

    ASSERT_TRUE(z.AjusteA(g, {bande}));
    EXPECT_NEAR(g.mondeY.maxi, 0.9 + 0.8 * MargeA * (1 - synth::Gauss(400, 520, 30)), 1e-3);
    // Closer to the band's top, the fitted axis follows the view.
    z.Zoome(g, 520, 8, Tout, {bande});
    const std::optional<TVueAxe> suivi = PlageAbsorbance({bande}, {g.mondeX.mini, g.mondeX.maxi});
    ASSERT_TRUE(suivi);
    EXPECT_EQ((TVueAxe{g.mondeY.mini, g.mondeY.maxi}), *suivi);
    EXPECT_NE(g.mondeY.maxi, 1.2);

    z.ToutVoir(g, Tout);
    EXPECT_EQ(g.mondeX.mini, Tout.mini);
    EXPECT_EQ(g.mondeX.maxi, Tout.maxi);
    EXPECT_EQ(g.mondeY.mini, 0);
    EXPECT_EQ(g.mondeY.maxi, 1.2);
    EXPECT_FALSE(z.AAjuste());

    // A fit with nothing shown keeps the axis, and a new spectrum forgets a fit but not
    // the wavelength view.
    z.Zoome(g, 1000, 12, Tout, {bande});
    EXPECT_FALSE(z.AjusteA(g, {bande}));
    EXPECT_EQ(g.mondeY.maxi, 1.2);
    z.Zoome(g, 520, -12, Tout, {bande});
    const TVueAxe vue{g.mondeX.mini, g.mondeX.maxi};
    ASSERT_TRUE(z.AjusteA(g, {bande}));
    z.OublieA(g);
    EXPECT_EQ(g.mondeY.mini, 0);
    EXPECT_EQ(g.mondeY.maxi, 1.2);
    EXPECT_EQ((TVueAxe{g.mondeX.mini, g.mondeX.maxi}), vue);
}

TEST(ZoomSpectre, OnlyTheZoomedPartOfEachSpectrumAndItsPeaksAreDrawn)
{
    // A laid-out graph zoomed on 500..550 nm.
    TCanevasEnregistreur canevas;
    Tgraphe g;
    g.SetMonde(500, 0, 550, 2);
    g.LimiteCourbe = {40, 10, 790, 380};
    g.mondeX.a = 750 / 50.0;
    g.mondeX.b = 40 - 500 * g.mondeX.a;
    g.mondeY.a = -370 / 2.0;
    g.mondeY.b = 380;
    TSuperposition s;
    ASSERT_TRUE(s.Ajoute("autre", synth::Spectre([](double) { return 1.0; }, 400, 700), 400, 700));
    TraceAutresSpectres(canevas, g, s);
    const auto lignes = canevas.De(TCanevasEnregistreur::oLigne);
    ASSERT_EQ(lignes.size(), 50);
    for (const auto& l : lignes) {
        EXPECT_GE(std::min(l.x1, l.x2), g.LimiteCourbe.Left);
        EXPECT_LE(std::max(l.x1, l.x2), g.LimiteCourbe.Right);
    }

    TPics p;
    p.pics = {{420, 1.0}, {522, 1.0}, {640, 1.0}};
    canevas.traces.clear();
    TracePics(canevas, g, p);
    EXPECT_EQ(canevas.Textes(), QStringList{"522"});
}
