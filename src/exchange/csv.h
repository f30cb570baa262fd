#pragma once
// Spreadsheet CSV that a French spreadsheet opens as is: ";" between cells, numbers with
// the locale's decimal separator and no grouping, UTF-8 with a byte-order mark (without
// it the spreadsheet guesses an 8-bit code page and mangles "²" and "é"), CR LF after
// every line as the program's other files. Every CSV writer of the program goes through
// these, so all its spreadsheets read alike.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kelvor {

// One line: the cells joined by ";", CR LF after. A cell holding ";", a quote or a line
// break is quoted, its quotes doubled; a text the spreadsheet would take for a formula
// starts with an apostrophe.
QString LigneCsv(const QStringList& cellules);
// A number in a cell: up to 15 significant digits, the locale's separator; the empty
// cell for no value (NaN).
QString NombreCsv(double x);
// The bytes of a CSV text: the byte-order mark, then UTF-8.
QByteArray OctetsCsv(const QString& texte);
// The name chosen in a save dialog, with ".csv" added when it has no extension.
QString NomFichierCsv(const QString& nom);

} // namespace kelvor
