#include "mesure/pointsspectre.h"

#include <algorithm>
#include <cmath>

namespace kelvor {

std::vector<TPointSpectre> PointsSpectre(const Vecteur& y, qint32 debut, qint32 fin)
{
    std::vector<TPointSpectre> points;
    const qint32 d = std::max<qint32>(debut, 0);
    const qint32 f = std::min<qint32>(fin, MaxIndiceVecteur);
    for (qint32 l = d; l <= f; ++l)
        if (!std::isnan(y[l]))
            points.push_back({l, y[l]});
    return points;
}

} // namespace kelvor
