#pragma once
// Rate law of a kinetics run: least-squares fits of orders 0, 1 and 2 made directly on
// the absorbance A(t), the order the residuals favour, the linearised series for
// display, the initial rate and the French summary of it all.
//
// Absorbance stands for concentration (Beer-Lambert with an unknown ε·ℓ), so the rate
// constants carry absorbance in their units: order 0 in A·s⁻¹, order 1 in s⁻¹ (the
// same as with concentrations), order 2 in A⁻¹·s⁻¹. The reactant's concentration is
// taken proportional to |A − A∞|, so a colour that grows fits as well as one that fades.

#include "util/labutil.h"

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <span>

namespace kelvor {

enum TOrdreCinet { oc0, oc1, oc2 };
constexpr int NbreOrdresCinet = 3;

// Fewer points than this in the span and no law is fitted.
constexpr qint32 NbrePointsMiniAnalyse = 5;
// Two orders whose residual variances s² differ by less than this factor are not told apart.
constexpr double RapportIndecision = 1.10;

// Points [debut, fin) of a run.
struct TPlage
{
    qint32 debut = 0;
    qint32 fin = 0;
    qint32 Nombre() const { return fin - debut; }
};
// The points of the first n whose time lies between t1 and t2 (either order), bounds
// included: the span between two markers or the one the user drags on the graph.
TPlage PlageTemps(const Vecteur& x, qint32 n, double t1, double t2);

struct TAjustementCinet
{
    TOrdreCinet ordre = oc0;
    bool valide = false;
    double t0 = 0;          // time of the span's first point: A0 is the absorbance there
    double A0 = 0;
    double AInf = 0;        // fitted end value, or 0 when fixed
    double k = 0;           // rate constant, unit Unite()
    double uk = 0;          // its standard uncertainty, from the covariance matrix
    double demiVie = 0;     // s; NaN when the fit gives none (k of the wrong sign)
    double R2 = 0;          // on A, comparable between the orders
    double s = 0;           // residual standard deviation, A
    qint32 ddl = 0;         // degrees of freedom of s

    // Fitted absorbance at time t (s, the run's clock).
    double Modele(double t) const;
    QString Unite() const;
};

struct TSerieLineaire
{
    QString nomY;           // "A", "ln(A − A∞)", "1/(A − A∞)"
    QList<QPointF> points;  // (t, transformed A); points where the transform has no value are left out
    double ordonnee = 0;    // the fit as a straight line y = ordonnee + pente × (t − t0)
    double pente = 0;
};

struct TVitesseInitiale
{
    bool valide = false;
    QString message;        // why there is none
    qint32 nbrePoints = 0;  // points used
    double pente = 0;       // dA/dt, A·s⁻¹
    double uPente = 0;
};

struct TOptionsAnalyse
{
    bool AInfLibre = true;          // fit A∞, or hold it at 0
    qint32 NbrePointsVitesse = 5;   // points of the initial rate
};

struct TAnalyseCinet
{
    bool valide = false;
    QString message;                // French reason when no law could be fitted
    TOptionsAnalyse options;
    qint32 nbrePoints = 0;
    double tDebut = 0;
    double tFin = 0;
    std::array<TAjustementCinet, NbreOrdresCinet> ajustements{};
    // Orders whose s² lies within RapportIndecision of the smallest, best first; one
    // entry when the residuals name a single order, empty when no fit succeeded.
    QList<TOrdreCinet> probables;
    TVitesseInitiale vitesse;

    const TAjustementCinet& Ajustement(TOrdreCinet o) const { return ajustements[o]; }
    // The best fit, or nullptr.
    const TAjustementCinet* Meilleur() const;
};

// Analysis of the points (t[i], a[i]); pairs holding a NaN are skipped.
TAnalyseCinet AnalyseCinetique(std::span<const double> t, std::span<const double> a,
                               const TOptionsAnalyse& options = {});

// Slope of the first nbrePoints usable points (fewer when the run is shorter; at least 3).
TVitesseInitiale VitesseInitiale(std::span<const double> t, std::span<const double> a,
                                 qint32 nbrePoints = 5);

// A, ln|A − A∞| and 1/(A − A∞) against t for the fit of that order; empty points when
// the fit failed.
TSerieLineaire SerieLineaire(const TAnalyseCinet& analyse, TOrdreCinet ordre,
                             std::span<const double> t, std::span<const double> a);

// "ordre 1 le plus probable", "ordres 1 et 2 trop proches pour trancher", or the
// empty text when no fit succeeded.
QString TexteVerdict(const TAnalyseCinet& analyse);

// The French summary shown under "Analyse cinétique" and copied to the clipboard, one
// entry per line: span, one line per order (k ± u, t½, R², s), verdict, initial rate.
// Numbers use the locale's decimal separator.
QStringList LignesAnalyseCinet(const TAnalyseCinet& analyse);

// Value and standard uncertainty, the value rounded where the two significant digits
// of the uncertainty end ("0,02003 ± 0,00012").
QString TexteIncertitude(double valeur, double incertitude);

} // namespace kelvor
