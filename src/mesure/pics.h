#pragma once
// Peaks of a spectrum: its local maxima that stand out of the instrument's noise, and the
// highest of them, λmax.
//
// The curve is first lightly smoothed (triangular weights over about ±4 nm, and at least
// one neighbour on each side for coarse steps) so that noise neither makes peaks nor
// moves them. A local maximum of the smoothed curve is a peak when its topographic prominence
// (its height above the higher of the two lowest points that separate it from higher
// ground on each side, or from the end of the range) reaches the larger of 0.02 A and
// 5 % of the smoothed curve's span. The ends of the range are never peaks: a curve still
// rising at the edge has its maximum outside. A peak is reported at the wavelength of
// the smoothed maximum (the middle of a flat top) with the absorbance measured there.

#include "util/labutil.h"

#include <QList>
#include <QString>

namespace kelvor {

constexpr double ProminenceMiniPic = 0.02;         // A
constexpr double ProminenceRelativePic = 0.05;     // of the curve's span

struct TPic
{
    qint32 lambda = 0;      // nm
    double A = 0;           // measured absorbance at lambda
    double prominence = 0;  // A, on the smoothed curve

    bool operator==(const TPic&) const = default;
};

struct TPics
{
    QList<TPic> pics;       // by increasing wavelength
    qsizetype iMax = -1;    // index of λmax in pics; -1 when there is no peak

    bool Vide() const { return iMax < 0; }
    const TPic& LambdaMax() const { return pics[iMax]; }
};

// Peaks of the points of y from debut to fin that hold a value (NaN = no value).
TPics CherchePics(const Vecteur& y, qint32 debut, qint32 fin);

// "λmax = 522 nm   A = 0,942" (absorbance as in the spectrum files: three decimals, the
// locale's separator); "λmax : aucun pic" when there is none.
QString TexteLambdaMax(const TPics& p);

} // namespace kelvor
