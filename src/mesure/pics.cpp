#include "mesure/pics.h"

#include "exchange/textes.h"
#include "mesure/pointsspectre.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvor {

namespace {

// Triangular moving average over about ±4 nm, at least one neighbour on each side; the
// window shrinks at the ends.
std::vector<double> Lisse(const TPointsSpectre& p)
{
    const qint32 demi = std::max<qint32>(1, static_cast<qint32>(ArrondiPair(4.0 / Ecarts(p.begin(), p.end() - 1).mini)));
    const qint32 n = static_cast<qint32>(p.size());
    std::vector<double> s(p.size());
    for (qint32 i = 0; i < n; ++i) {
        double somme = 0, poids = 0;
        for (qint32 j = std::max(0, i - demi); j <= std::min(n - 1, i + demi); ++j) {
            const double w = demi + 1 - std::abs(j - i);
            somme += w * p[j].A;
            poids += w;
        }
        s[i] = somme / poids;
    }
    return s;
}

// Lowest point between i and the first strictly higher point in direction sens (or the
// end of the curve).
double Col(const std::vector<double>& s, qint32 i, qint32 sens)
{
    double mini = s[i];
    for (qint32 j = i + sens; j >= 0 && j < static_cast<qint32>(s.size()) && s[j] <= s[i]; j += sens)
        mini = std::min(mini, s[j]);
    return mini;
}

} // namespace

TPics CherchePics(const Vecteur& y, qint32 debut, qint32 fin)
{
    TPics resultat;
    const TPointsSpectre p = PointsSpectre(y, debut, fin);
    if (p.size() < 3)
        return resultat;
    const std::vector<double> s = Lisse(p);
    const auto [bas, haut] = std::minmax_element(s.begin(), s.end());
    const double seuil = std::max(ProminenceMiniPic, ProminenceRelativePic * (*haut - *bas));

    const qint32 n = static_cast<qint32>(s.size());
    double plusHaut = -std::numeric_limits<double>::infinity();
    for (qint32 i = 1; i < n - 1; ++i) {
        if (!(s[i] > s[i - 1]))
            continue;
        qint32 finPlateau = i;
        while (finPlateau + 1 < n && s[finPlateau + 1] == s[i])
            ++finPlateau;
        if (finPlateau + 1 >= n)
            break;      // a flat top that reaches the end is an edge, not a peak
        if (s[finPlateau + 1] < s[i]) {
            const double prominence = s[i] - std::max(Col(s, i, -1), Col(s, finPlateau, +1));
            if (prominence >= seuil) {
                const TPointSpectre& sommet = p[(i + finPlateau) / 2];
                if (s[i] > plusHaut) {
                    plusHaut = s[i];
                    resultat.iMax = resultat.pics.size();
                }
                resultat.pics.append({sommet.lambda, sommet.A, prominence});
            }
        }
        i = finPlateau;
    }
    return resultat;
}

QString TexteLambdaMax(const TPics& p)
{
    if (p.Vide())
        return QStringLiteral("λmax : aucun pic");
    const TPic& m = p.LambdaMax();
    return QStringLiteral("λmax = %1 nm   A = %2").arg(m.lambda).arg(AbsSpectre(m.A));
}

} // namespace kelvor
