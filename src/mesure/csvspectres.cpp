#include "mesure/csvspectres.h"

#include "exchange/csv.h"
#include "exchange/textes.h"

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

bool ValeurA(const TCourbeSpectre& c, qint32 lambda)
{
    return lambda >= c.debut && lambda <= c.fin && !std::isnan(c.y[lambda]);
}

} // namespace

QByteArray CsvSpectres(const QList<TCourbeSpectre>& courbes)
{
    QStringList entete{QStringLiteral("λ (nm)")};
    for (const TCourbeSpectre& c : courbes)
        entete << c.nom;
    QString texte = LigneCsv(entete);

    for (qint32 l = 0; l <= MaxIndiceVecteur; ++l) {
        if (std::none_of(courbes.begin(), courbes.end(), [l](const TCourbeSpectre& c) { return ValeurA(c, l); }))
            continue;
        QStringList rangee{QString::number(l)};
        for (const TCourbeSpectre& c : courbes)
            rangee << (ValeurA(c, l) ? AbsSpectre(c.y[l]) : QString());
        texte += LigneCsv(rangee);
    }
    return OctetsCsv(texte);
}

} // namespace kelvor
