#pragma once
// The spectra shown on the graph for a spreadsheet: a "λ (nm)" column, then one column
// per spectrum headed by its name; one row per wavelength where at least one spectrum
// holds a value (the union of their grids), an empty cell where a spectrum holds none.
// Absorbances as in the spectrum files (three decimals, the locale's separator).

#include "mesure/superposition.h"

#include <QByteArray>

namespace kelvor {

QByteArray CsvSpectres(const QList<TCourbeSpectre>& courbes);

} // namespace kelvor
