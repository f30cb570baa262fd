#include "util/chromato.h"

#include "util/tablescie.h"

#include <array>
#include <cmath>

namespace kelvor {

namespace {

// The observer table padded with a zero at 375, 785 and 790 nm: the outer neighbours
// the cubic needs at both ends. Entry k is 375 + 5k nm.
double Entree(const std::array<double, NbreCie>& t, int k)
{
    return k >= 1 && k <= NbreCie ? t[k - 1] : 0.0;
}

constexpr double DiviseurX = 1.0622; // x at 600 nm
constexpr double DiviseurY = 1.0;    // y at 555 nm
constexpr double DiviseurZ = 1.7826; // z at 445 nm

double CatmullRom(const std::array<double, NbreCie>& t, int k, double f)
{
    const double p0 = Entree(t, k), p1 = Entree(t, k + 1), p2 = Entree(t, k + 2),
                 p3 = Entree(t, k + 3);
    const double a3 = (3 * p1 + p3 - 3 * p2 - p0) / 2;
    const double a2 = (4 * p2 + 2 * p0 - p3 - 5 * p1) / 2;
    const double a1 = (p2 - p0) / 2;
    return ((a3 * f + a2) * f + a1) * f + p1;
}

// Truncated, not rounded; the cubic's overshoot on either side is clamped.
int Canal(double s)
{
    if (s <= 0)
        return 0;
    if (s >= 1)
        return 255;
    return static_cast<int>(std::floor(255 * s));
}

} // namespace

QRgb CouleurLambda(qint32 lambda)
{
    if (lambda <= 380 || lambda >= 780)
        return qRgb(0, 0, 0);
    const double x = (lambda - 380) / 5.0;
    const int k = static_cast<int>(std::floor(x));
    const double f = x - k;
    return qRgb(Canal(CatmullRom(XbarCie, k, f) / DiviseurX),
                Canal(CatmullRom(YbarCie, k, f) / DiviseurY),
                Canal(CatmullRom(ZbarCie, k, f) / DiviseurZ));
}

} // namespace kelvor
