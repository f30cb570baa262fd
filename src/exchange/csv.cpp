#include "exchange/csv.h"

#include "util/labutil.h"
#include "util/nomfichier.h"

#include <cmath>

namespace kelvor {

namespace {

QString Cellule(const QString& texte)
{
    if (!texte.contains(QLatin1Char(';')) && !texte.contains(QLatin1Char('"')) &&
        !texte.contains(QLatin1Char('\r')) && !texte.contains(QLatin1Char('\n')))
        return texte;
    QString t = texte;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

} // namespace

QString LigneCsv(const QStringList& cellules)
{
    QStringList l;
    l.reserve(cellules.size());
    for (const QString& c : cellules)
        l << Cellule(c);
    return l.join(QLatin1Char(';')) + QStringLiteral("\r\n");
}

QString NombreCsv(double x)
{
    return std::isnan(x) ? QString() : FormatGeneral(x, 15, 0, SeparateurDecimal());
}

QByteArray OctetsCsv(const QString& texte)
{
    return QByteArray("\xEF\xBB\xBF") + texte.toUtf8();
}

QString NomFichierCsv(const QString& nom)
{
    return AvecExtension(nom, QStringLiteral("csv"));
}

} // namespace kelvor
