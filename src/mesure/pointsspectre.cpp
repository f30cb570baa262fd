#include "mesure/pointsspectre.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvor {

TPointsSpectre PointsSpectre(const Vecteur& y, qint32 debut, qint32 fin)
{
    TPointsSpectre points;
    const qint32 d = std::max<qint32>(debut, 0);
    const qint32 f = std::min<qint32>(fin, MaxIndiceVecteur);
    for (qint32 l = d; l <= f; ++l)
        if (!std::isnan(y[l]))
            points.push_back({l, y[l]});
    return points;
}

TEcarts Ecarts(TPointsSpectre::const_iterator premier, TPointsSpectre::const_iterator dernier)
{
    TEcarts e{std::numeric_limits<qint32>::max(), 0};
    for (auto q = premier; q != dernier; ++q) {
        const qint32 ecart = (q + 1)->lambda - q->lambda;
        e.mini = std::min(e.mini, ecart);
        e.maxi = std::max(e.maxi, ecart);
    }
    return e;
}

} // namespace kelvor
