#include "mesure/analysecinet.h"

#include "physique.h"
#include "support/localefixe.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <vector>

using namespace kelvor;

namespace {

const QLocale Francais(QLocale::French, QLocale::France);
const QLocale Anglais(QLocale::English, QLocale::UnitedKingdom);

struct Releves
{
    std::vector<double> t, a;
};

// Readings every dt seconds up to tFin of a known law, with seeded Gaussian noise.
Releves Synthetique(const std::function<double(double)>& loi, double dt, double tFin, double sigma,
                unsigned graine = 51)
{
    std::mt19937 gen(graine);
    std::normal_distribution<double> bruit(0.0, sigma);
    Releves r;
    for (double t = 0; t <= tFin + 1e-9; t += dt) {
        r.t.push_back(t);
        r.a.push_back(loi(t) + (sigma > 0 ? bruit(gen) : 0.0));
    }
    return r;
}

std::function<double(double)> Loi(TOrdreCinet o, double a0, double aInf, double k)
{
    switch (o) {
    case oc0: return [=](double t) { return a0 - k * t; };
    case oc1: return [=](double t) { return aInf + (a0 - aInf) * std::exp(-k * t); };
    case oc2:
        return [=](double t) { return aInf + (a0 - aInf) / (1 + std::abs(a0 - aInf) * k * t); };
    }
    return {};
}

TAnalyseCinet Analyse(const Releves& r, bool libre)
{
    return AnalyseCinetique(r.t, r.a, TOptionsAnalyse{libre, 5});
}

struct CasLoi
{
    const char* nom;
    TOrdreCinet ordre;
    double a0, aInf, k;
    double tFin;
    bool libre;
    double demiVie;
};

class Lois : public ::testing::TestWithParam<CasLoi>
{};

TEST_P(Lois, NoisyRunOfKnownOrderGivesItsConstantWithin2PercentAndNamesTheOrder)
{
    const CasLoi c = GetParam();
    const double sigma = 0.003;
    const TAnalyseCinet an = Analyse(Synthetique(Loi(c.ordre, c.a0, c.aInf, c.k), 3, c.tFin, sigma), c.libre);
    ASSERT_TRUE(an.valide) << an.message.toStdString();
    const TAjustementCinet& f = an.Ajustement(c.ordre);
    EXPECT_NEAR(f.k, c.k, 0.02 * c.k);
    // The stated uncertainty covers the true value (a few standard uncertainties).
    EXPECT_LT(std::abs(f.k - c.k), 4 * f.uk);
    if (!std::isnan(c.demiVie)) {
        EXPECT_NEAR(f.demiVie, c.demiVie, 0.02 * c.demiVie);
    }
    EXPECT_NEAR(f.s, sigma, 0.3 * sigma);
    EXPECT_GT(f.R2, 0.99);
    if (c.libre && c.ordre != oc0) {
        EXPECT_NEAR(f.AInf, c.aInf, 0.02);
    }
    if (c.ordre == oc0 && c.libre) {
        // A straight line is the limit of the curved laws with a far end value: the
        // residuals may fail to pick it, never pick another alone.
        EXPECT_TRUE(an.probables.contains(oc0));
    } else {
        EXPECT_EQ(an.probables, QList<TOrdreCinet>{c.ordre});
        EXPECT_EQ(TexteVerdict(an), QStringLiteral("ordre %1 le plus probable").arg(int(c.ordre)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Synthetiques, Lois,
    ::testing::Values(
        CasLoi{"ordre0_AInfFixe", oc0, 1.2, 0, 0.004, 240, false, 1.2 / 0.008},
        CasLoi{"ordre0_AInfLibre", oc0, 1.2, 0, 0.004, 240, true, std::nan("")},
        CasLoi{"ordre1_AInfFixe", oc1, 0.9, 0, 0.015, 240, false, std::log(2.0) / 0.015},
        CasLoi{"ordre1_AInfLibre", oc1, 1.0, 0.15, 0.02, 240, true, std::log(2.0) / 0.02},
        CasLoi{"ordre1_Croissant", oc1, 0.1, 0.9, 0.03, 180, true, std::log(2.0) / 0.03},
        CasLoi{"ordre2_AInfFixe", oc2, 0.8, 0, 0.04, 300, false, 1 / (0.04 * 0.8)},
        CasLoi{"ordre2_AInfLibre", oc2, 1.1, 0.1, 0.05, 300, true, 1 / (0.05 * 1.0)}),
    [](const auto& info) { return std::string(info.param.nom); });

// Order 0 with A∞ fitted takes its half-life to the exponential's end value, which a
// straight line does not have: only check that one is given when that fit found one.
TEST(AnalyseCinet, ZeroOrderHalfLifeRunsToTheEndValueInUse)
{
    const Releves r = Synthetique(Loi(oc0, 1.2, 0, 0.004), 3, 240, 0.003);
    const TAnalyseCinet fixe = Analyse(r, false);
    const TAjustementCinet& f = fixe.Ajustement(oc0);
    EXPECT_EQ(f.AInf, 0.0);
    EXPECT_DOUBLE_EQ(f.demiVie, f.A0 / (2 * f.k));
    const TAnalyseCinet libre = Analyse(r, true);
    const TAjustementCinet& g = libre.Ajustement(oc0);
    EXPECT_DOUBLE_EQ(g.AInf, libre.Ajustement(oc1).AInf);
}

// The stated uncertainty must match the scatter of k over repeated noisy runs; this
// catches a wrong covariance scale or a wrong propagation from (D, c) to k′.
TEST(AnalyseCinet, StandardUncertaintyMatchesTheScatterOverRepeatedRuns)
{
    for (const TOrdreCinet o : {oc1, oc2}) {
        const auto loi = Loi(o, 1.0, 0.1, o == oc1 ? 0.02 : 0.04);
        std::vector<double> ks;
        double uMoyenne = 0;
        const int repetitions = 300;
        for (int i = 0; i < repetitions; ++i) {
            const TAnalyseCinet an = Analyse(Synthetique(loi, 3, 180, 0.01, 1000 + i), true);
            ks.push_back(an.Ajustement(o).k);
            uMoyenne += an.Ajustement(o).uk / repetitions;
        }
        double m = 0, v = 0;
        for (double k : ks)
            m += k / repetitions;
        for (double k : ks)
            v += (k - m) * (k - m) / (repetitions - 1);
        EXPECT_NEAR(std::sqrt(v), uMoyenne, 0.15 * uMoyenne) << "order " << int(o);
    }
}

TEST(AnalyseCinet, ShortestRunIsFittedExactly)
{
    const Releves r = Synthetique(Loi(oc1, 0.8, 0.2, 0.05), 5, 20, 0);
    ASSERT_EQ(r.t.size(), std::size_t(NbrePointsMiniAnalyse));
    const TAnalyseCinet an = Analyse(r, true);
    ASSERT_TRUE(an.valide);
    EXPECT_NEAR(an.Ajustement(oc1).k, 0.05, 1e-7);
    EXPECT_NEAR(an.Ajustement(oc1).AInf, 0.2, 1e-7);
    EXPECT_EQ(an.Ajustement(oc1).ddl, 2);
    EXPECT_EQ(an.probables.first(), oc1);
}

TEST(AnalyseCinet, ShortNoisyRunStillFindsTheConstant)
{
    const Releves r = Synthetique(Loi(oc1, 1.0, 0.05, 0.02), 10, 110, 0.002);
    const TAnalyseCinet an = Analyse(r, true);
    ASSERT_TRUE(an.valide);
    EXPECT_NEAR(an.Ajustement(oc1).k, 0.02, 0.05 * 0.02);
}

TEST(AnalyseCinet, RunsThatCannotBeFittedSayWhy)
{
    struct Cas
    {
        Releves r;
        QString message;
    };
    const double nan = std::nan("");
    const Cas cas[] = {
        {{{0, 3, 6, 9}, {1, 0.9, 0.8, 0.7}},
         "Trop peu de points pour ajuster une loi de vitesse : 4 dans la plage, il en faut au moins 5."},
        // Points without value do not count.
        {{{0, 3, 6, 9, 12}, {1, nan, 0.8, 0.7, 0.6}},
         "Trop peu de points pour ajuster une loi de vitesse : 4 dans la plage, il en faut au moins 5."},
        {{{}, {}}, "Trop peu de points pour ajuster une loi de vitesse : 0 dans la plage, il en faut au moins 5."},
        {{{6, 6, 6, 6, 6}, {1, 0.9, 0.8, 0.7, 0.6}},
         "Les points de la plage sont tous au même instant : aucune loi de vitesse ne peut être ajustée."},
        {{{0, 3, 6, 9, 12}, {0.5, 0.5, 0.5, 0.5, 0.5}},
         "L'absorbance ne varie pas sur la plage : aucune loi de vitesse ne peut être ajustée."},
    };
    for (const Cas& c : cas) {
        const TAnalyseCinet an = Analyse(c.r, true);
        EXPECT_FALSE(an.valide);
        EXPECT_EQ(an.message, c.message);
        EXPECT_EQ(an.Meilleur(), nullptr);
        EXPECT_EQ(LignesAnalyseCinet(an).first(), c.message);
    }
}

TEST(AnalyseCinet, CloseResidualsAreReportedAsUndecided)
{
    // A tenth of a half-life: every law follows the points as well as the others.
    const Releves r = Synthetique(Loi(oc1, 1.0, 0, 0.001), 3, 60, 0.003);
    const TAnalyseCinet an = Analyse(r, false);
    ASSERT_TRUE(an.valide);
    EXPECT_EQ(an.probables.size(), 3);
    EXPECT_EQ(TexteVerdict(an), QStringLiteral("ordres 0, 1 et 2 trop proches pour trancher"));
}

// The simulator's cell fades by first-order kinetics; readings are made as the
// instrument makes them: lamp counts against a blank and a dark reading.
TEST(AnalyseCinet, SimulatorReactionComesOutFirstOrderWithItsConstant)
{
    TPhysique physique(5100);
    const double lambda = 530;
    const double obscurite = physique.Obscurite();
    physique.cuve = cuSolvant;
    const double blanc = physique.Intensite(lambda, 0);
    physique.cuve = cuReaction;
    Releves r;
    for (int t = 0; t <= 123; t += 3) {
        r.t.push_back(t);
        r.a.push_back(-std::log10((physique.Intensite(lambda, t) - obscurite) / (blanc - obscurite)));
    }
    const TAnalyseCinet an = Analyse(r, true);
    ASSERT_TRUE(an.valide);
    EXPECT_EQ(an.probables, QList<TOrdreCinet>{oc1});
    EXPECT_NEAR(an.Ajustement(oc1).k, physique.constanteVitesse, 0.05 * physique.constanteVitesse);
}

TEST(AnalyseCinet, FittedCurveAndLinearisedSeriesAgree)
{
    const Releves r = Synthetique(Loi(oc2, 1.1, 0.1, 0.05), 3, 300, 0);
    const TAnalyseCinet an = Analyse(r, true);
    for (const TOrdreCinet o : {oc0, oc1, oc2}) {
        const TSerieLineaire s = SerieLineaire(an, o, r.t, r.a);
        const TAjustementCinet& f = an.Ajustement(o);
        ASSERT_FALSE(s.points.isEmpty());
        // The straight line is the fitted curve seen through the transform.
        const double t = 90;
        const double e = f.Modele(t) - f.AInf;
        const double attendu = o == oc0 ? f.Modele(t) : o == oc1 ? std::log(e) : 1 / e;
        EXPECT_NEAR(s.ordonnee + s.pente * (t - f.t0), attendu, 1e-9) << int(o);
    }
    const TSerieLineaire s2 = SerieLineaire(an, oc2, r.t, r.a);
    EXPECT_EQ(s2.nomY, QStringLiteral("1/(A − A∞)"));
    for (int i = 0; i < s2.points.size(); ++i)
        EXPECT_NEAR(s2.points[i].y(), 1 / (r.a[i] - 0.1), 1e-6);
    EXPECT_NEAR(an.Ajustement(oc2).Modele(r.t[10]), r.a[10], 1e-9);
}

TEST(AnalyseCinet, LinearisedSeriesLeavesOutPointsWithoutLogarithm)
{
    // Noise takes some readings below the end value at the tail.
    const Releves r = Synthetique(Loi(oc1, 1.0, 0.0, 0.05), 3, 240, 0.01);
    const TAnalyseCinet an = Analyse(r, false);
    const TSerieLineaire s = SerieLineaire(an, oc1, r.t, r.a);
    EXPECT_EQ(s.nomY, QStringLiteral("ln(A − A∞)"));
    qsizetype positifs = std::count_if(r.a.begin(), r.a.end(), [](double a) { return a > 0; });
    EXPECT_LT(positifs, qsizetype(r.a.size()));
    EXPECT_EQ(s.points.size(), positifs);
}

TEST(AnalyseCinet, SpanBetweenTwoTimesTakesThePointsInside)
{
    Vecteur x{};
    for (int i = 0; i < 10; ++i)
        x[i] = 3 * i;
    const TPlage p = PlageTemps(x, 10, 20, 6);
    EXPECT_EQ(p.debut, 2);
    EXPECT_EQ(p.fin, 7);
    EXPECT_EQ(PlageTemps(x, 10, 100, 200).Nombre(), 0);
}

TEST(VitesseInitiale, SlopeOfTheFirstPointsWithItsUncertainty)
{
    // Worked by hand: slope 1, residual variance 0.8/3, Stt 10.
    const std::vector<double> t{0, 1, 2, 3, 4, 5, 6};
    const std::vector<double> a{0, 1, 1, 3, 4, 50, 60};
    const TVitesseInitiale v = VitesseInitiale(t, a, 5);
    ASSERT_TRUE(v.valide);
    EXPECT_EQ(v.nbrePoints, 5);
    EXPECT_NEAR(v.pente, 1.0, 1e-12);
    EXPECT_NEAR(v.uPente, std::sqrt(0.8 / 3 / 10), 1e-12);
    // A run shorter than N uses what it has; fewer than 3 gives no rate.
    EXPECT_EQ(VitesseInitiale(std::vector<double>{0, 1, 2}, std::vector<double>{1, 2, 3}, 5).nbrePoints, 3);
    const TVitesseInitiale court = VitesseInitiale(std::vector<double>{0, 1}, std::vector<double>{1, 2}, 5);
    EXPECT_FALSE(court.valide);
    EXPECT_EQ(court.message,
              QStringLiteral("Trop peu de points pour la vitesse initiale : 2 dans la plage, il en faut au moins 3."));
    EXPECT_EQ(VitesseInitiale(t, a, 2).message, QStringLiteral("La vitesse initiale demande au moins 3 points."));
}

TEST(TexteIncertitude, ValueRoundedWhereTheUncertaintyEnds)
{
    const LocaleFixe fr(Francais);
    struct Cas
    {
        double v, u;
        const char* texte;
    };
    const Cas cas[] = {
        {0.0200312, 0.000123, "0,02003 ± 0,00012"},
        {123.456, 2.3, "123,5 ± 2,3"},
        {1234.4, 56, "1234 ± 56"},
        {5, 120, "5 ± 120"},
        {-0.01234, 0.0004, "-0,01234 ± 0,00040"},
        {0.5, 0, "0,5000"},
        {std::nan(""), 1, "indéfini"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(TexteIncertitude(c.v, c.u), QString::fromUtf8(c.texte)) << c.texte;
}

TAnalyseCinet AnalyseConnue()
{
    TAnalyseCinet an;
    an.valide = true;
    an.nbrePoints = 42;
    an.tDebut = 0;
    an.tFin = 123;
    an.ajustements[oc0] = {oc0, true, 0, 0.8123, 0.0121, 0.004512, 0.000153, 88.68, 0.96512, 0.02134, 40};
    an.ajustements[oc1] = {oc1, true, 0, 0.8011, 0.0121, 0.020031, 0.000123, 34.604, 0.999871, 0.002113, 39};
    an.ajustements[oc2].ordre = oc2;
    an.probables = {oc1};
    an.vitesse = {true, {}, 5, -0.01234, 0.0004};
    return an;
}

TEST(LignesAnalyseCinet, SummaryHoldsOrdersConstantsHalfLivesAndR2)
{
    const TAnalyseCinet an = AnalyseConnue();
    {
        const LocaleFixe fr(Francais);
        EXPECT_EQ(LignesAnalyseCinet(an),
                  QStringList({"Plage : 0 s à 123 s, 42 points ; A∞ ajusté",
                               "Ordre 0 : k = 0,00451 ± 0,00015 A·s⁻¹ ; t½ = 88,7 s ; R² = 0,96512 ; s = 0,0213",
                               "Ordre 1 : k = 0,02003 ± 0,00012 s⁻¹ ; t½ = 34,6 s ; R² = 0,99987 ; s = 0,00211 ; A∞ = 0,0121",
                               "Ordre 2 : ajustement impossible",
                               "Verdict : ordre 1 le plus probable",
                               "Vitesse initiale (5 points) : dA/dt = -0,01234 ± 0,00040 A·s⁻¹"}));
    }
    const LocaleFixe en(Anglais);
    TAnalyseCinet fixe = an;
    fixe.options.AInfLibre = false;
    fixe.ajustements[oc1].demiVie = std::nan("");
    const QStringList l = LignesAnalyseCinet(fixe);
    EXPECT_EQ(l[0], "Plage : 0 s à 123 s, 42 points ; A∞ fixé à 0");
    EXPECT_EQ(l[2], "Ordre 1 : k = 0.02003 ± 0.00012 s⁻¹ ; t½ = indéfini ; R² = 0.99987 ; s = 0.00211");
}

} // namespace
