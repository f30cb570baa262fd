#pragma once
// The measured points of a spectrum stored by wavelength: a Vecteur indexed in nm holds a
// value every step between the range's ends and the no-value NaN elsewhere (between the
// steps, and where a reading failed). The analyses work on the points that hold a value.

#include "util/labutil.h"

#include <vector>

namespace kelvor {

struct TPointSpectre
{
    qint32 lambda = 0;  // nm
    double A = 0;
};

using TPointsSpectre = std::vector<TPointSpectre>;

// Points of y from debut to fin (kept inside 0..2048) that hold a value, by wavelength.
TPointsSpectre PointsSpectre(const Vecteur& y, qint32 debut, qint32 fin);

// Smallest and largest spacing between neighbouring points of premier..dernier (both
// included): the smallest is the scan step, a larger one a missing reading.
struct TEcarts
{
    qint32 mini = 0;
    qint32 maxi = 0;
};
TEcarts Ecarts(TPointsSpectre::const_iterator premier, TPointsSpectre::const_iterator dernier);

} // namespace kelvor
