#include "util/chromato.h"

#include <gtest/gtest.h>

using namespace kelvor;

namespace {

struct CasCouleur
{
    const char* nom;
    qint32 lambda;
    int r, g, b;
};

class CouleurLambdaTest : public ::testing::TestWithParam<CasCouleur>
{};

TEST_P(CouleurLambdaTest, GivesTheTabulatedColour)
{
    const CasCouleur& c = GetParam();
    const QRgb rgb = CouleurLambda(c.lambda);
    EXPECT_EQ(qRed(rgb), c.r);
    EXPECT_EQ(qGreen(rgb), c.g);
    EXPECT_EQ(qBlue(rgb), c.b);
}

// Entries on the 5 nm grid, between grid points (the cubic), both black edges, the
// saturated peaks and values truncated just above zero.
INSTANTIATE_TEST_SUITE_P(
    Chromato, CouleurLambdaTest,
    ::testing::Values(CasCouleur{"FarUltraviolet", 198, 0, 0, 0},
                      CasCouleur{"Edge380", 380, 0, 0, 0},
                      CasCouleur{"FirstColoured381", 381, 0, 0, 1},
                      CasCouleur{"BluePeak445", 445, 83, 7, 255},
                      CasCouleur{"Violet450", 450, 80, 9, 253},
                      CasCouleur{"Between452", 452, 79, 10, 252},
                      CasCouleur{"Blue470", 470, 46, 23, 184},
                      CasCouleur{"Cyan500", 500, 1, 82, 38},
                      CasCouleur{"GreenPeak555", 555, 122, 255, 0},
                      CasCouleur{"Between583", 583, 229, 213, 0},
                      CasCouleur{"RedPeak600", 600, 255, 160, 0},
                      CasCouleur{"Between617", 617, 217, 106, 0},
                      CasCouleur{"Red650", 650, 68, 27, 0},
                      CasCouleur{"DeepRed700", 700, 2, 1, 0},
                      CasCouleur{"BelowOneStep776", 776, 0, 0, 0},
                      CasCouleur{"BelowOneStep779", 779, 0, 0, 0},
                      CasCouleur{"Edge780", 780, 0, 0, 0},
                      CasCouleur{"NearInfrared1000", 1000, 0, 0, 0},
                      CasCouleur{"Negative", -5, 0, 0, 0}),
    [](const ::testing::TestParamInfo<CasCouleur>& i) { return std::string(i.param.nom); });

} // namespace
