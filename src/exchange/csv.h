#pragma once
// Files for a French spreadsheet: cells separated by ";", UTF-8 with a byte-order mark
// (without it the spreadsheet guesses an 8-bit code page and mangles "λ" or "é"), CR LF
// after every line as in the program's other files. An empty cell stands for no value.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kelvor {

// A cell holding ";", a quote or a line break is quoted, its quotes doubled.
QString CelluleCsv(const QString& texte);
// One row: the cells, each as CelluleCsv writes it, joined by ";".
QString LigneCsv(const QStringList& cellules);
// The rows as file bytes.
QByteArray OctetsCsv(const QStringList& lignes);

} // namespace kelvor
