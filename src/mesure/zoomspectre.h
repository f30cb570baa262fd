#pragma once
// What the spectrum graph shows of its axes: the wavelength axis zoomed with the wheel
// around the pointer, the absorbance axis fitted to the spectra shown ("Ajuster A"), and
// the way back ("Tout voir"). A view only: the scan range, the range markers, files and
// sent blocks never see it.

#include "graph/graphker.h"
#include "mesure/superposition.h"

#include <QList>

#include <optional>

namespace kelvor {

struct TVueAxe
{
    double mini = 0;
    double maxi = 0;

    friend bool operator==(const TVueAxe&, const TVueAxe&) = default;
};

// Span of the view multiplied by this for each notch towards the graph.
constexpr double FacteurCran = 0.8;
// Narrowest wavelength view, nm: a few points of a 1 nm scan.
constexpr double EcartMiniLambda = 5;
// Narrowest absorbance axis, so that a flat line still shows as one.
constexpr double EcartMiniA = 0.05;
// Room left above and below the fitted values, as a part of their span.
constexpr double MargeA = 0.05;

// The wavelength view after crans notches around lambda (positive: closer): lambda keeps
// its place on the axis, the view stays inside limites and at least EcartMiniLambda wide.
TVueAxe VueZoomee(TVueAxe vue, double lambda, double crans, TVueAxe limites);

// The absorbance axis that holds every value of the spectra within the wavelength view,
// with the margin; none when no value lies there.
std::optional<TVueAxe> PlageAbsorbance(const QList<TCourbeSpectre>& courbes, TVueAxe vue);

// The zoom of the spectrum graph, applied to its axes.
class TZoomSpectre
{
public:
    // Zooms g's wavelength axis; an absorbance axis fitted before follows the new view.
    void Zoome(Tgraphe& g, double lambda, double crans, TVueAxe limites,
               const QList<TCourbeSpectre>& courbes);
    // Fits g's absorbance axis to the spectra shown; false (axis left) when none shows.
    bool AjusteA(Tgraphe& g, const QList<TCourbeSpectre>& courbes);
    // The whole wavelength range and the absorbance axis as it was before the fit.
    void ToutVoir(Tgraphe& g, TVueAxe limites);
    // A new spectrum takes the graph: the absorbance axis is the window's own again,
    // the wavelength view stays.
    void OublieA(Tgraphe& g);
    bool AAjuste() const { return aAvant_.has_value(); }

private:
    std::optional<TVueAxe> aAvant_;      // the absorbance axis before the fit
};

} // namespace kelvor
