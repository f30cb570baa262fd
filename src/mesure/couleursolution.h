#pragma once
// The colour of the solution seen in daylight through its cell, computed from its own
// absorbance spectrum over 380..780 nm:
//   T = 10^-A on the 5 nm grid of the colorimetric tables; a spectrum measured with
//   another step is interpolated linearly between its neighbouring points;
//   X = k Σ S T x̄ (likewise Y, Z) with the D65 illuminant S and the CIE 1931 2° observer,
//   k = 100 / Σ S ȳ, so a cell that absorbs nothing has Y = 100;
//   XYZ -> linear sRGB (D65 white), clipped to 0..1, then the sRGB transfer curve and
//   8 bits per channel.
// A spectrum that does not reach both 380 and 780 nm, or that misses a reading there
// (two neighbouring points further apart than the spectrum's step), gives no colour.

#include "util/labutil.h"

#include <QRgb>
#include <QString>

namespace kelvor {

struct TCouleurSolution
{
    bool valide = false;
    double X = 0, Y = 0, Z = 0;
    QRgb rgb = 0;
    QString hex;                // "#RRGGBB"
    QString nom;                // French colour name, see NomCouleur
    qint32 lambdaAbsorbee = 0;  // nm, grid wavelength of the strongest visible absorbance
    // "absorbe surtout vers 520 nm (vert) → paraît pourpre", or "plage visible incomplète".
    QString texte;
};

TCouleurSolution CouleurSolution(const Vecteur& y, qint32 debut, qint32 fin);

// Name of an sRGB colour. With c = max − min and v = max of the three channels (0..1):
// c < 0.08 is neutral: "incolore" from v = 0.9, "gris" from v = 0.25, "noir" below;
// otherwise v < 0.2 is "noir"; otherwise the hue angle (HSV, degrees) decides:
// below 15 "rouge", 15..45 "orangé", 45..70 "jaune", 70..160 "vert", 160..195
// "bleu-vert", 195..250 "bleu", 250..280 "violet", 280..335 "pourpre", from 335 "rouge".
QString NomCouleur(QRgb rgb);

// Colour band of a wavelength as school tables name it: below 430 nm "violet", 430..480
// "bleu", 480..500 "bleu-vert", 500..560 "vert", 560..580 "jaune-vert", 580..595 "jaune",
// 595..620 "orangé", from 620 "rouge" (each band includes its lower end).
QString BandeSpectrale(qint32 lambda);

} // namespace kelvor
