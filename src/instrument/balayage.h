#pragma once
// Follows the lines of a running scan. The instrument streams debut, debut + pas, ...;
// a line that does not read as a point, or that is not the next point of that grid, is
// counted and changes nothing, so one noisy line can never overwrite a measured point
// or end the scan early.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace kelvor {

class TSuiviBalayage
{
public:
    // A new scan whose first point is debut.
    void Demarre(qint32 debut, qint32 pas);

    // true when the line is the scan's next point; lambda and intensite are then set.
    // An unreadable line may be a point garbled on the way, so each one since the last
    // accepted point lets the next point lie one step further on. A point the instrument
    // skipped without a line is caught up by two points in sequence further on: the
    // second one is accepted.
    bool Accepte(const QByteArray& ligne, qint32& lambda, qint32& intensite);

    qint32 PointsRecus() const { return points; }
    qint32 LignesIllisibles() const { return illisibles; }
    // The last accepted point; meaningful once PointsRecus() > 0.
    qint32 DernierLambda() const { return dernierLambda; }
    qint32 DerniereIntensite() const { return derniereIntensite; }

private:
    qint32 debut = 0;
    qint32 pas = 1;
    qint32 points = 0;
    qint32 illisibles = 0;
    qint32 sautsPermis = 0;     // unreadable lines since the last accepted point
    qint64 candidat = -1;       // refused grid point ahead of the last one, or -1
    qint32 dernierLambda = 0;
    qint32 derniereIntensite = 0;
};

// "1 ligne illisible", "3 lignes illisibles".
QString TexteLignesIllisibles(qint32 n);

} // namespace kelvor
