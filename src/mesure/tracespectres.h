#pragma once
// What the spectrum graph adds on top of the current spectrum: the other spectra of the
// superposition in their colour and dash, and the peaks marked with their wavelength.
// Drawn on the surface Tgraphe::Draw just drew on, with the mapping that Draw set.

#include "graph/graphker.h"
#include "mesure/pics.h"
#include "mesure/superposition.h"

namespace kelvor {

// The visible spectra other than the current one.
void TraceAutresSpectres(TCanevas& canvas, Tgraphe& g, const TSuperposition& s);
// The names of the visible spectra in a box at the top right of the curves, each after a
// stroke in its style; only when there is more than one to tell apart.
void TraceLegende(TCanevas& canvas, Tgraphe& g, const TSuperposition& s);
// A short stroke above each peak with its wavelength in nm.
void TracePics(TCanevas& canvas, Tgraphe& g, const TPics& p);
// Highest absorbance of the visible spectra other than the current one; NaN when none.
double MaxiAutresSpectres(const TSuperposition& s);

} // namespace kelvor
