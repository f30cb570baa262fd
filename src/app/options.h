#pragma once
// The command line. Without arguments the program starts as it always has; options
// name the device behind a port, start the simulated instrument, or print the version
// or the help (in French) and stop. Options of the toolkit (-platform, -style, ...) are
// left to it.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace kelvor {

struct TOptions
{
    enum TAction { oaLance, oaVersion, oaAide, oaErreur };
    TAction action = oaLance;
    // --port N=DEVICE, in the order given.
    QList<QPair<quint16, QString>> ports;
    bool simulateur = false;
    // For oaErreur: what was wrong, in French.
    QString erreur;
};

// arguments without the program's name.
TOptions AnalyseOptions(const QStringList& arguments);

QString TexteVersion();
QString TexteAide();

// Prints what a non-starting action asks for (stdout for help and version, stderr for an
// error) and returns the exit code: 0, or 2 for an error.
int SortieOptions(const TOptions& options);

// Names the devices of --port through KELVOR_COM<n>, so that they win over the
// environment. With the simulator, the other ports are hidden.
void AppliquePorts(const TOptions& options);

} // namespace kelvor
