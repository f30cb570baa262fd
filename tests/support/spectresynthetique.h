#pragma once
// Synthetic spectra as the spectrum window stores them: a value every step from debut to
// fin, no value everywhere else, with optional repeatable noise.

#include "util/labutil.h"

#include <cmath>
#include <cstdint>
#include <functional>

namespace synth {

inline double Gauss(double lambda, double centre, double largeur)
{
    const double u = (lambda - centre) / largeur;
    return std::exp(-u * u);
}

// Uniform noise in -amplitude..amplitude from a fixed linear congruential sequence, so
// every platform draws the same spectrum.
class Bruit
{
public:
    explicit Bruit(double amplitude, std::uint32_t graine = 5100) : amplitude_(amplitude), etat_(graine) {}
    double operator()()
    {
        etat_ = etat_ * 1664525u + 1013904223u;
        return amplitude_ * (2.0 * (etat_ >> 8) / double(1u << 24) - 1.0);
    }

private:
    double amplitude_;
    std::uint32_t etat_;
};

inline kelvor::Vecteur Spectre(const std::function<double(double)>& a, int debut, int fin, int pas = 1,
                               double bruit = 0)
{
    kelvor::Vecteur y;
    y.fill(kelvor::PasDeValeur());
    Bruit b(bruit);
    for (int l = debut; l <= fin; l += pas)
        y[l] = a(l) + (bruit > 0 ? b() : 0.0);
    return y;
}

} // namespace synth
