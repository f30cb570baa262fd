#pragma once
// Windows-1252, the "8-bit ANSI" code page of the files the program shares with
// Windows machines. Characters outside it are written as "?".

#include <QByteArray>
#include <QString>

namespace kelvor {

QByteArray EncodeCp1252(const QString& texte);
QString DecodeCp1252(const QByteArray& octets);

} // namespace kelvor
