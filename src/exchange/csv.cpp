#include "exchange/csv.h"

#include "util/labutil.h"
#include "util/nomfichier.h"

#include <QRegularExpression>

#include <cmath>

namespace kelvor {

namespace {

// A text the spreadsheet would run as a formula ("=…", "+…", "@…", "-" but a negative
// number): a user's name or a file name must stay text, so it gets a leading apostrophe.
bool PrisPourFormule(const QString& texte)
{
    static const QRegularExpression nombreNegatif(
        QStringLiteral("^-\\d+([.,]\\d+)?([eE][-+]?\\d+)?$"));
    if (texte.isEmpty())
        return false;
    const QChar c = texte.front();
    if (c == QLatin1Char('=') || c == QLatin1Char('+') || c == QLatin1Char('@'))
        return true;
    return c == QLatin1Char('-') && !nombreNegatif.match(texte).hasMatch();
}

QString Cellule(const QString& texte)
{
    if (PrisPourFormule(texte))
        return Cellule(QLatin1Char('\'') + texte);
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
