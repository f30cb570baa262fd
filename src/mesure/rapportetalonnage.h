#pragma once
// The calibration as a report for a spreadsheet: the fit, its figures, the standards and
// the unknowns with their uncertainties, and the warnings.

#include "mesure/etalonnage.h"

#include <QByteArray>

namespace kelvor {

// CSV in the program's spreadsheet form (exchange/csv.h). Figures of the fit are written
// at full precision; each unknown is rounded to its uncertainty as the window shows it.
// An empty cell stands for a missing value.
QByteArray RapportCsv(const TEtalonnage& e);

} // namespace kelvor
