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

// Points of y from debut to fin (kept inside 0..2048) that hold a value, by wavelength.
std::vector<TPointSpectre> PointsSpectre(const Vecteur& y, qint32 debut, qint32 fin);

} // namespace kelvor
