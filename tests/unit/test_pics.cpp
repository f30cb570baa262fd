#include "mesure/pics.h"

#include "support/localefixe.h"
#include "support/spectresynthetique.h"

#include <gtest/gtest.h>

using namespace kelvor;
using synth::Gauss;

namespace {

// Bands at 450 and 620 nm on a small background.
double DeuxBandes(double l)
{
    return 0.05 + 0.6 * Gauss(l, 450, 30) + 0.9 * Gauss(l, 620, 35);
}

QList<qint32> Longueurs(const TPics& p)
{
    QList<qint32> l;
    for (const TPic& pic : p.pics)
        l << pic.lambda;
    return l;
}

} // namespace

TEST(Pics, TwoNoisyBandsGiveTwoPeaksAtEveryStep)
{
    // ±0.03 A is the noise of a dark sample; without smoothing it alone makes peaks.
    for (int pas : {1, 2, 5, 10}) {
        SCOPED_TRACE(pas);
        Vecteur y = synth::Spectre(DeuxBandes, 400, 800, pas, 0.03);
        y[450] = PasDeValeur();     // a failed reading on the top of a band
        const TPics p = CherchePics(y, 400, 800);
        ASSERT_EQ(p.pics.size(), 2);
        EXPECT_NEAR(p.pics[0].lambda, 450, std::max(3, pas));
        EXPECT_NEAR(p.pics[1].lambda, 620, std::max(3, pas));
        ASSERT_EQ(p.iMax, 1);
        EXPECT_EQ(p.LambdaMax().A, y[p.LambdaMax().lambda]);  // the measured value
        EXPECT_NEAR(p.LambdaMax().A, DeuxBandes(p.LambdaMax().lambda), 0.03);
    }
}

TEST(Pics, OnlyTheRangeBetweenTheMarkersCounts)
{
    const Vecteur y = synth::Spectre(DeuxBandes, 400, 800, 1, 0.01);
    EXPECT_EQ(Longueurs(CherchePics(y, 400, 560)), QList<qint32>{450});
    // Cut on the band's top: still rising at the end of the range, so no peak there.
    EXPECT_EQ(Longueurs(CherchePics(y, 500, 615)), QList<qint32>{});
}

TEST(Pics, ShoulderFlatLineAndEdgesGiveNoFalsePeak)
{
    const auto epaule = [](double l) { return 0.05 + 1.0 * Gauss(l, 500, 40) + 0.35 * Gauss(l, 560, 25); };
    const auto plat = [](double) { return 0.3; };
    // The solvent's deep-UV edge alone, then with a band beside it.
    const auto bord = [](double l) { return 0.8 * std::exp(-(l - 190) / 12) + 0.02; };
    const auto bordEtBande = [&](double l) { return bord(l) + 0.55 * Gauss(l, 285, 22); };
    const auto montee = [](double l) { return 0.002 * (l - 400); };

    struct Cas { const char* nom; std::function<double(double)> a; int debut, fin; QList<qint32> pics; };
    const Cas cas[] = {
        {"shoulder", epaule, 400, 700, {500}},
        {"flat", plat, 400, 700, {}},
        {"UV edge", bord, 198, 400, {}},
        {"UV edge and band", bordEtBande, 198, 400, {285}},
        {"rising to the end", montee, 400, 700, {}},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const TPics p = CherchePics(synth::Spectre(c.a, c.debut, c.fin, 1, 0.01), c.debut, c.fin);
        ASSERT_EQ(p.pics.size(), c.pics.size());
        for (qsizetype i = 0; i < p.pics.size(); ++i)
            EXPECT_NEAR(p.pics[i].lambda, c.pics[i], 3);
        EXPECT_EQ(p.Vide(), c.pics.isEmpty());
    }
}

TEST(Pics, ProminenceMustReachTheLargerOfTheFloorAndFivePercentOfTheSpan)
{
    // A bump beside a band of 2 A (span about 2: 5 % is 0.1 A), or alone (floor 0.02 A).
    struct Cas { double bande, bosse; qsizetype pics; };
    const Cas cas[] = {
        {0.0, 0.015, 0}, {0.0, 0.03, 1},
        {2.0, 0.08, 1}, {2.0, 0.13, 2},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(testing::Message() << c.bande << " " << c.bosse);
        const auto a = [&](double l) { return 0.1 + c.bande * Gauss(l, 450, 25) + c.bosse * Gauss(l, 650, 20); };
        EXPECT_EQ(CherchePics(synth::Spectre(a, 350, 800), 350, 800).pics.size(), c.pics);
    }
}

TEST(Pics, ReadoutShowsLambdaMaxWithTheLocaleSeparator)
{
    const Vecteur y = synth::Spectre([](double l) { return 0.942 * Gauss(l, 522, 40); }, 400, 700);
    const TPics p = CherchePics(y, 400, 700);
    {
        LocaleFixe l(QLocale::French, QLocale::France);
        EXPECT_EQ(TexteLambdaMax(p), QStringLiteral("λmax = 522 nm   A = 0,942"));
    }
    {
        LocaleFixe l(QLocale::English, QLocale::UnitedStates);
        EXPECT_EQ(TexteLambdaMax(p), QStringLiteral("λmax = 522 nm   A = 0.942"));
    }
    EXPECT_EQ(TexteLambdaMax(CherchePics(y, 600, 700)), QStringLiteral("λmax : aucun pic"));
}
