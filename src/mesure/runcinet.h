#pragma once
// A kinetics run as it leaves the window: for the spreadsheet file and for the
// recovery journal, which gives one back after a crash.

#include "graph/graphker.h"
#include "util/labutil.h"

#include <QDateTime>

#include <vector>

namespace kelvor {

struct TRunCinetique
{
    QDateTime Debut;            // local date and time of the start
    qint32 Lambda = 0;          // nm
    quint16 Deltat = 3;         // s
    quint16 Duree = 120;        // s
    Vecteur x{};                // elapsed seconds, as the graph holds them
    Vecteur y{};                // absorbances
    qint32 n = 0;               // points in x and y
    std::vector<Trepere> Reperes;
};

} // namespace kelvor
