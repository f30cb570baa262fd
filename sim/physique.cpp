#include "physique.h"

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

double Gauss(double x, double centre, double largeur)
{
    const double u = (x - centre) / largeur;
    return std::exp(-u * u);
}

// Relative spectral radiance of a tungsten filament, normalised near its visible peak.
double Tungstene(double lambdaNm)
{
    constexpr double c2 = 1.4388e7;  // nm·K
    constexpr double temperature = 2900.0;
    auto planck = [](double l) { return 1.0 / (std::pow(l, 5.0) * (std::exp(c2 / (l * temperature)) - 1.0)); };
    return planck(lambdaNm) / planck(1000.0);
}

} // namespace

TPhysique::TPhysique(quint32 graine) : generateur(graine) {}

void TPhysique::Reinitialise(quint32 graine)
{
    generateur.seed(graine);
}

double TPhysique::Lampe(double lambda)
{
    // Deuterium arc for the UV, halogen for the visible, a silicon detector that fades
    // in the near infrared: counts stay well above the dark level over 190..1000 nm.
    const double deuterium = 9000.0 * Gauss(lambda, 240.0, 70.0);
    const double halogene = 30000.0 * Tungstene(lambda) / (1.0 + std::exp((320.0 - lambda) / 25.0));
    const double detecteur = 1.0 / (1.0 + std::exp((lambda - 960.0) / 30.0));
    return 1200.0 + (deuterium + halogene) * detecteur;
}

double TPhysique::AbsorbanceSolvant(double lambda)
{
    return 0.8 * std::exp(-(lambda - 190.0) / 12.0) + 0.02;
}

double TPhysique::AbsorbanceSoluteUnitaire(double lambda)
{
    // A purple dye: a strong green band, a red shoulder and a UV band.
    return 0.85 * Gauss(lambda, 530.0, 45.0) + 0.30 * Gauss(lambda, 640.0, 30.0)
           + 0.55 * Gauss(lambda, 285.0, 22.0);
}

double TPhysique::Concentration(double t) const
{
    switch (cuve) {
    case cuSolvant: return 0.0;
    case cuEchantillon: return concentration;
    case cuReaction: return concentration * std::exp(-constanteVitesse * std::max(0.0, t - debutReaction));
    }
    return 0.0;
}

double TPhysique::Absorbance(double lambda, double t) const
{
    return AbsorbanceSolvant(lambda) + Concentration(t) * AbsorbanceSoluteUnitaire(lambda);
}

double TPhysique::Bruit(double sigma)
{
    if (!bruit)
        return 0.0;
    std::normal_distribution<double> loi(0.0, sigma);
    return loi(generateur);
}

qint32 TPhysique::Intensite(double lambda, double t)
{
    const double signal = Lampe(lambda) * std::pow(10.0, -Absorbance(lambda, t));
    // Shot noise grows with the signal; the electronics add a floor.
    const double compte = niveauObscurite + signal + Bruit(2.0 + 0.4 * std::sqrt(signal));
    return qint32(std::lround(std::clamp(compte, 1.0, 65535.0)));
}

qint32 TPhysique::Obscurite()
{
    return qint32(std::lround(std::max(1.0, niveauObscurite + Bruit(3.0))));
}

} // namespace kelvor
