#pragma once
// Calibration of a Beer-Lambert series: the line through the standards by the chosen fit,
// how well it fits, each unknown's concentration with its standard uncertainty, the
// warnings a student should see, and the texts that show them. Pure computation, so the
// window only hands in its series and shows what comes back.

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <limits>
#include <span>
#include <vector>

namespace kelvor {

class TIniFile;

// Fit of the calibration line; stored in the settings file by ordinal.
enum TAjustement { ajRapportSommes, ajOrigine, ajAffine };

// "Rapport des sommes (ΣA/Σc)", "Moindres carrés par l'origine", "Droite affine".
QString NomAjustement(TAjustement a);

// Settings: key "Ajustement" of section "Beer". A missing key or an ordinal outside the
// enumeration gives the ratio of sums, the window's behaviour before the choice existed.
TAjustement LitAjustement(const TIniFile& ini);
void EcritAjustement(TIniFile& ini, TAjustement a);

// A point takes part in the calibration when its concentration is above 1e-9 and its
// absorbance above 0.001: a blank, a failed reading or a missing value never does.
bool EtalonQualifie(double c, double a);

// Unit of the slope for a concentration unit: "Y/X" for "X/Y" (L/mol for mol/L), "1/X"
// for a single word (1/M), "1/(X)" for anything else; empty for no unit.
QString UnitePente(const QString& unite);

// A value rounded to its standard uncertainty: the uncertainty keeps two significant
// digits when its first one is 1 or 2, one otherwise, and the value is rounded to the
// same decimal place; locale decimal separator. An uncertainty of zero leaves the value
// with 4 significant digits; an unknown one (NaN) gives "—" and the value with 3.
struct TValeurArrondie
{
    QString valeur;
    QString incertitude;
};
TValeurArrondie ArrondiIncertitude(double x, double u);
// "0,0244 ± 0,0006"; empty when x has no value.
QString TexteValeurIncertitude(double x, double u);

// The quantity on the horizontal axis, as the window names it.
struct TGrandeurEtalon
{
    QString symbole = QStringLiteral("c");
    QString unite = QStringLiteral("mol/L");
};

// The calibration of one series, computed once by Etalonne(); every figure of the panel
// and of the report. Indices are those of the series: point i is shown as "point i+1",
// unknown j as "inconnu j+1".
struct TEtalonnage
{
    static constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

    // What was fitted, as given.
    TAjustement ajustement = ajRapportSommes;
    TGrandeurEtalon grandeur;
    std::vector<double> conc;           // every point of the series, standards or not
    std::vector<double> abs;
    std::vector<double> absInconnus;

    // The line A = pente·c + ordonnee (ordonnee is 0 through the origin). Valid when
    // it has a positive slope; otherwise no concentration can be computed and the
    // figures below keep their NaN. Residuals and an intercept within 1e-12 of the
    // largest absorbance are rounding noise and count as 0 (exact data give s = 0).
    bool valide = false;
    double pente = 0;
    double ordonnee = 0;
    qint32 n = 0;                       // standards that take part
    double r2 = Nan;                    // 1 − SSres/SStot; NaN when all absorbances are equal
    // Residual standard deviation over n − 1 degrees of freedom through the origin,
    // n − 2 for the affine line; NaN when none is left (1 standard, or 2 for affine),
    // and so are the uncertainties.
    double s = Nan;
    double uOrdonnee = Nan;             // affine only, NaN otherwise
    double cMin = 0;                    // range of the standards
    double cMax = 0;
    // Moments the uncertainty formulas need.
    double sommeC2 = 0;                 // Σc²
    double moyenneC = 0;                // c̄
    double sxx = 0;                     // Σ(c − c̄)²
    std::vector<double> concInconnus;   // NaN when it cannot be computed
    std::vector<double> uInconnus;
    QStringList avertissements;

    // Point on the line; concentration read from an absorbance and its standard
    // uncertainty for one reading of the unknown, by inverse prediction:
    // affine (s/a)·√(1 + 1/n + (c − c̄)²/Σ(cᵢ − c̄)²), both other fits (s/k)·√(1 + c²/Σcᵢ²)
    // with their own slope and s. NaN when they cannot be computed.
    double Absorbance(double c) const;
    double Concentration(double a) const;
    double Incertitude(double c) const;

    // "A = 12,29·c (pente en L/mol)", "A = 10,5·c + 0,015 (pente en L/mol)".
    QString Equation() const;
    // Third column of the unknowns grid: "0,0244 ± 0,0006".
    QString TexteInconnu(qint32 j) const;
    // The whole panel, one line per item: fit, equation, "R² = ", n, s, last unknown,
    // then one line per warning.
    QString TextePanneau() const;
};

// Fits the standards (c, a) and computes the unknowns read at the absorbances aInconnus
// (NaN for a failed reading). Points that do not qualify (EtalonQualifie) are kept for the
// report but take no part. Warnings, in this order: fewer than 3 standards; standards
// more than 3 s from the line the others give ("point 4 suspect"); an affine intercept
// beyond 2 u(b); absorbances above 2,0 then above 1,0; unknowns outside the standards'
// concentrations ("hors gamme étalonnée").
TEtalonnage Etalonne(std::span<const double> c, std::span<const double> a,
                     std::span<const double> aInconnus, TAjustement ajustement,
                     const TGrandeurEtalon& grandeur = {});

// Warning texts.
extern const QString AvertMoinsDeTrois;     // "moins de 3 étalons : étalonnage peu sûr"
extern const QString AvertOrigine;          // "la droite ne passe pas par l'origine : vérifier le blanc"

} // namespace kelvor
