#include "mesure/zoomspectre.h"

#include "mesure/pointsspectre.h"

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

TVueAxe PlageDe(const Tmonde& m)
{
    return {m.mini, m.maxi};
}

void Applique(Tmonde& m, TVueAxe p)
{
    m.mini = p.mini;
    m.maxi = p.maxi;
}

} // namespace

TVueAxe VueZoomee(TVueAxe vue, double lambda, double crans, TVueAxe limites)
{
    const double total = limites.maxi - limites.mini;
    const double ecart = vue.maxi - vue.mini;
    if (!(total > 0))
        return limites;
    if (!(ecart > 0) || !std::isfinite(ecart))
        return limites;
    if (!std::isfinite(lambda) || !std::isfinite(crans))
        return vue;
    lambda = std::clamp(lambda, vue.mini, vue.maxi);
    const double nouvel = std::clamp(ecart * std::pow(FacteurCran, crans),
                                     std::min(EcartMiniLambda, total), total);
    // The pointer's wavelength stays under the pointer.
    double mini = lambda - (lambda - vue.mini) / ecart * nouvel;
    mini = std::clamp(mini, limites.mini, limites.maxi - nouvel);
    return {mini, mini + nouvel};
}

std::optional<TVueAxe> PlageAbsorbance(const QList<TCourbeSpectre>& courbes, TVueAxe vue)
{
    double bas = INFINITY;
    double haut = -INFINITY;
    for (const TCourbeSpectre& c : courbes) {
        qint32 debut = c.debut;
        qint32 fin = c.fin;
        EntiersDans(vue.mini, vue.maxi, debut, fin);
        for (const TPointSpectre& p : PointsSpectre(c.y, debut, fin)) {
            if (!std::isfinite(p.A))
                continue;
            bas = std::min(bas, p.A);
            haut = std::max(haut, p.A);
        }
    }
    if (!(haut >= bas))
        return std::nullopt;
    const double marge = (haut - bas) * MargeA;
    bas -= marge;
    haut += marge;
    if (haut - bas < EcartMiniA) {
        const double milieu = (haut + bas) / 2;
        bas = milieu - EcartMiniA / 2;
        haut = milieu + EcartMiniA / 2;
    }
    return TVueAxe{bas, haut};
}

void TZoomSpectre::Zoome(Tgraphe& g, double lambda, double crans, TVueAxe limites,
                         const QList<TCourbeSpectre>& courbes)
{
    Applique(g.mondeX, VueZoomee(PlageDe(g.mondeX), lambda, crans, limites));
    // A fitted axis fits what is now shown, or values would leave the plot area.
    if (AAjuste())
        AjusteA(g, courbes);
}

bool TZoomSpectre::AjusteA(Tgraphe& g, const QList<TCourbeSpectre>& courbes)
{
    const std::optional<TVueAxe> a = PlageAbsorbance(courbes, PlageDe(g.mondeX));
    if (!a)
        return false;
    if (!aAvant_)
        aAvant_ = PlageDe(g.mondeY);
    Applique(g.mondeY, *a);
    return true;
}

void TZoomSpectre::ToutVoir(Tgraphe& g, TVueAxe limites)
{
    Applique(g.mondeX, limites);
    OublieA(g);
}

void TZoomSpectre::OublieA(Tgraphe& g)
{
    if (aAvant_)
        Applique(g.mondeY, *aAvant_);
    aAvant_.reset();
}

} // namespace kelvor
