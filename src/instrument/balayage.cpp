#include "instrument/balayage.h"

#include "instrument/cfgspect.h"

#include <algorithm>

namespace kelvor {

void TSuiviBalayage::Demarre(qint32 premier, qint32 p)
{
    debut = premier;
    pas = std::max(p, 1);
    points = illisibles = sautsPermis = 0;
    candidat = -1;
    dernierLambda = derniereIntensite = 0;
}

bool TSuiviBalayage::Accepte(const QByteArray& ligne, qint32& lambda, qint32& intensite)
{
    qint32 l = 0;
    qint32 i = 0;
    const bool lisible = LitPointBalayage(ligne, l, i);
    const qint64 attendu = points == 0 ? qint64(debut) : qint64(dernierLambda) + pas;
    const qint64 ecart = l - attendu;
    const bool surGrille = lisible && ecart >= 0 && ecart % pas == 0;
    const bool suivant = surGrille && (ecart / pas <= sautsPermis || (candidat >= 0 && l == candidat + pas));
    if (!suivant) {
        ++illisibles;
        ++sautsPermis;
        candidat = surGrille ? l : -1;
        return false;
    }
    sautsPermis = 0;
    candidat = -1;
    ++points;
    lambda = dernierLambda = l;
    intensite = derniereIntensite = i;
    return true;
}

QString TexteLignesIllisibles(qint32 n)
{
    return n == 1 ? QStringLiteral("1 ligne illisible") : QStringLiteral("%1 lignes illisibles").arg(n);
}

} // namespace kelvor
