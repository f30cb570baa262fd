#pragma once
// The calibration as a report for a spreadsheet: the fit, its figures, the standards and
// the unknowns with their uncertainties, and the warnings.

#include "mesure/etalonnage.h"

#include <QByteArray>

namespace kelvor {

// CSV that a French spreadsheet opens as is: ";" between cells, numbers with the locale's
// decimal separator and no grouping, UTF-8 with a byte-order mark (without it the
// spreadsheet guesses an 8-bit code page and mangles "²" and "é"), CR LF after every line
// as the program's other files. Figures of the fit are written at full precision; each
// unknown is rounded to its uncertainty as the window shows it. A cell holding ";", a
// quote or a line break is quoted. An empty cell stands for a missing value.
QByteArray RapportCsv(const TEtalonnage& e);

} // namespace kelvor
