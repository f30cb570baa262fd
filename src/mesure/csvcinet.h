#pragma once
// A kinetics run for a French spreadsheet: UTF-8 with a byte-order mark, cells
// separated by ";", numbers with the locale's decimal separator, CR LF line ends.
// The points, then the markers, then the rate-law analysis when there is one.

#include "mesure/analysecinet.h"
#include "mesure/runcinet.h"

#include <QByteArray>

namespace kelvor {

// The export dialog's filter.
extern const QString FiltreCsv;     // "Tableur CSV (*.csv)|*.csv"

QByteArray CsvCinetique(const TRunCinetique& run, const TAnalyseCinet* analyse = nullptr);

} // namespace kelvor
