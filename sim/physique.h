#pragma once
// Optics of the simulated instrument: what the detector counts at a wavelength for the
// cell in the holder. Intensity = dark + lamp(λ) × 10^(−A(λ)), plus seeded noise.

#include <QtGlobal>
#include <random>

namespace kelvor {

enum TCuve {
    cuSolvant,      // solvent only: the reference for blanks and baselines
    cuEchantillon,  // coloured sample at a fixed concentration
    cuReaction      // coloured sample fading by first-order kinetics
};

class TPhysique
{
public:
    explicit TPhysique(quint32 graine = 5100);

    void Reinitialise(quint32 graine);

    // Noise-free lamp counts reaching the detector through an empty beam.
    static double Lampe(double lambda);
    // Absorbance of the solvent (its deep-UV cut-off); present in every cell.
    static double AbsorbanceSolvant(double lambda);
    // Molar-like absorbance of the coloured solute at unit concentration.
    static double AbsorbanceSoluteUnitaire(double lambda);

    // Absorbance of the cell in the holder at time t (seconds on the simulator's clock).
    double Absorbance(double lambda, double t) const;
    // Concentration seen at time t: a reaction decays from the moment it started.
    double Concentration(double t) const;

    // Counts read with the lamp on, and with it off.
    qint32 Intensite(double lambda, double t);
    qint32 Obscurite();

    TCuve cuve = cuSolvant;
    double concentration = 1.0;     // relative units; absorbance is proportional to it
    double constanteVitesse = 0.02; // 1/s for the reaction
    double debutReaction = 0.0;     // s, on the simulator's clock
    double niveauObscurite = 320.0; // counts
    bool bruit = true;              // false gives exact, repeatable counts

private:
    double Bruit(double sigma);
    std::mt19937 generateur;
};

} // namespace kelvor
