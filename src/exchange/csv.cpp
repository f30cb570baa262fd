#include "exchange/csv.h"

#include "exchange/textes.h"

#include <algorithm>

namespace kelvor {

QString CelluleCsv(const QString& texte)
{
    static const QString speciaux = QStringLiteral(";\"\r\n");
    if (std::none_of(texte.begin(), texte.end(), [](QChar c) { return speciaux.contains(c); }))
        return texte;
    return '"' + QString(texte).replace('"', QStringLiteral("\"\"")) + '"';
}

QString LigneCsv(const QStringList& cellules)
{
    QStringList c;
    c.reserve(cellules.size());
    for (const QString& s : cellules)
        c << CelluleCsv(s);
    return c.join(';');
}

QByteArray OctetsCsv(const QStringList& lignes)
{
    return QByteArray("\xEF\xBB\xBF") + TexteBloc(lignes).toUtf8();
}

} // namespace kelvor
