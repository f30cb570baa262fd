#pragma once
// The simulated instrument started with the program (--simulateur): kelvor-sim on a
// pseudo-terminal, reached through a link in a private temporary folder, stopped when
// the program ends.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kelvor {

struct TOptions;

// kelvor-sim beside the program (installed), else the one built with it.
QString CheminSimulateur();

class TLanceurSimulateur
{
public:
    TLanceurSimulateur() = default;
    ~TLanceurSimulateur();
    TLanceurSimulateur(const TLanceurSimulateur&) = delete;
    TLanceurSimulateur& operator=(const TLanceurSimulateur&) = delete;

    // Starts the simulator and waits for its device; false with the reason in French.
    bool Demarre(QString& erreur, const QString& programme = CheminSimulateur());
    // The device the program opens (a link to the pseudo-terminal).
    QString Peripherique() const;
    void Arrete();

private:
    QProcess processus;
    QTemporaryDir dossier;
};

// --simulateur: starts the simulator and names it as the lowest port that --port leaves
// free (COM1 unless --port names it). Returns that port, or 0 with the reason.
quint16 DemarreSimulateur(TLanceurSimulateur& lanceur, const TOptions& options, QString& erreur);

} // namespace kelvor
