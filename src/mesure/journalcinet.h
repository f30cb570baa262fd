#pragma once
// Recovery journal of a running kinetics run. Each reading is appended to a file in
// the data folder the moment it is stored, and forced to the disk, so that a crash or
// a power cut takes nothing the instrument had answered. The file goes when the run
// is saved, sent or discarded; one found at start-up is a run to offer back.
//
// Format: UTF-8 text, one line per event, each ending with "*" and the CRC-32 of what
// precedes it in 8 hexadecimal digits, then LF:
//   KELVORCINET 1;<start, ISO local date-time>;<λ nm>;<Δt s>;<duration s>*crc
//   P;<index>;<t s>;<A>*crc          a reading, index = points stored before it
//   R;<t s>;<text>*crc               a marker ("\\", "\n", "\r" escaped in the text)
//   C;<Δt s>;<duration s>*crc        Δt or the duration changed during the run
//   H*crc                            the points were halved (every second one kept)
// Reading stops at the first line that is incomplete, fails its check or does not
// follow on, so a file cut at any byte gives back every event written before the cut.

#include "mesure/runcinet.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <optional>

namespace kelvor {

// The journal's place: DossierDonnees + "CinetiqueEnCours.journal".
QString NomJournalCinet();

// The run a journal's bytes hold; nullopt when even its first line is unreadable.
std::optional<TRunCinetique> LitJournalCinet(const QByteArray& octets);

// "Une acquisition interrompue le 10/12/2026 à 14:02 (42 points) a été retrouvée.
// La récupérer ?"
QString TexteOffreRecuperation(const TRunCinetique& run);

class TJournalCinet
{
public:
    explicit TJournalCinet(const QString& chemin = NomJournalCinet());
    ~TJournalCinet();
    TJournalCinet(const TJournalCinet&) = delete;
    TJournalCinet& operator=(const TJournalCinet&) = delete;

    const QString& Chemin() const { return m_chemin; }

    // The run a previous session left behind, when it holds at least one point.
    std::optional<TRunCinetique> Recuperable() const;

    // Starts a new journal (replacing any old one) with the run's settings.
    bool Commence(const QDateTime& debut, qint32 lambda, quint16 deltat, quint16 duree);
    bool AjoutePoint(qint32 index, double t, double a);
    bool AjouteRepere(double t, const QString& texte);
    bool AjouteReglages(quint16 deltat, quint16 duree);
    bool AjouteDivision();
    // Closes and removes the file: the run was saved, sent or discarded. True when no
    // file remains.
    bool Supprime();

    bool EstOuvert() const { return m_fichier.isOpen(); }
    // The system's message for the last failure.
    const QString& Erreur() const { return m_erreur; }

private:
    bool Ecrit(const QByteArray& corps);

    QString m_chemin;
    QFile m_fichier;
    qint64 m_taille = 0;    // bytes known to be whole lines
    QString m_erreur;
};

} // namespace kelvor
