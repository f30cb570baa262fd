#pragma once
// The spectrum: range rules of the scan, baseline and sample scans line by line, Stop,
// the end of a scan, spectrum files. It decides what the main window shows and leaves the
// showing to it through TVueSpectre, so a whole scan runs headless against a link.

#include "graph/graphker.h"
#include "instrument/balayage.h"
#include "instrument/cfgspect.h"
#include "instrument/liaison.h"

#include <QByteArray>
#include <QString>

namespace kelvor {

// What the main window does when the spectrum asks; the spectrum decides when.
class TVueSpectre
{
public:
    virtual ~TVueSpectre() = default;
    // Full repaint of the graph.
    virtual void Redessine() = 0;
    // The wavelength and absorbance readouts.
    virtual void Affiche(const QString& lambda, const QString& abs) = 0;
    // The range fields show debut then fin (their change rules then run).
    virtual void MontreBornes(qint32 debut, qint32 fin) = 0;
    // A scan started: hourglass and progress shown, at 0 %.
    virtual void BalayageDemarre() = 0;
    virtual void Avancement(qint32 pourcent) = 0;
    // The scan is over: hourglass and progress gone.
    virtual void BalayageFini() = 0;
    // A sample scan gave a new spectrum (a range too short to be one gives none).
    virtual void SpectreTermine() = 0;
    virtual void MajActions() = 0;
    virtual void Statut(const QString& texte) = 0;
    // A spectrum file that could not be read or written, for the general error report.
    virtual void Echec(const QString& message) = 0;
};

class TSpectre
{
public:
    // Narrowest range a scan may cover, nm.
    static constexpr qint32 EcartMini = 30;

    TSpectre(Tspectro& spectro, TLiaison& liaison, TVueSpectre& vue);

    Tgraphe Graphe;                 // the spectrum's values and axes
    TSuiviBalayage SuiviBalayage;   // lines of the running (or last) scan
    bool dataOK = false;            // a spectrum worth saving or sending is shown
    bool SauvegardeAfaire = false;  // ... and it was neither saved nor sent
    bool blancFait = false;
    qint32 blancDebut = 0;          // range of the last baseline scan (ended or stopped)
    qint32 blancFin = 0;

    // --- Range rules ---
    qint32 DebutMaxi() const { return spectro.FinLambda - EcartMini; }
    qint32 FinMini() const { return spectro.DebutLambda + EcartMini; }
    // Highest end the step field allows: one step below the top of the instrument.
    qint32 FinMaxiPas() const { return spectro.MaxiLambda - spectro.pasLambda; }
    void ChangePas(qint32 pas) { spectro.pasLambda = pas; }
    void ChangeDebut(qint32 debut) { spectro.DebutLambda = debut; }
    void ChangeFin(qint32 fin) { spectro.FinLambda = fin; }
    // Where a marker let go at lambda lands: within the instrument, EcartMini from the other.
    qint32 DebutLache(qint32 lambda) const;
    qint32 FinLache(qint32 lambda) const;
    // The last baseline covers debut..fin.
    bool BlancCouvre(qint32 debut, qint32 fin) const;

    // --- Cursor ---
    // The point the cross shows for the pointer at (lambda, a): outside the scanned range
    // the pointer itself, inside it the first measured point from lambda on; true when
    // the readouts show it. Without a spectrum the cross rests at 600 nm and false.
    bool PointCurseur(qint32& lambda, double& a) const;

    // --- Scans ---
    // The baseline over debut..fin, both pulled onto the step grid first.
    void DemarreBlanc(qint32 debut, qint32 fin);
    // The sample over debut..fin; the spectrum shown so far is cleared.
    void DemarreSpectre(qint32 debut, qint32 fin);
    void LigneBlanc(const QByteArray& ligne);
    void LigneSpectre(const QByteArray& ligne);
    // The range is complete: a spectrum wider than 16 nm is worth saving.
    void FinSpectre();
    // A scan ends where it got to, its points kept; the link's state is left alone.
    void Arrete(Tlecture l);
    // "Stop": the scan ends as Arrete, and the link expects nothing any more.
    void Stop();

    // --- Files ---
    // Asks before an unsaved spectrum is replaced; true to go on.
    bool ContinueSansSauver() const;
    // No file while a scan runs (said so), nor over an unsaved spectrum the user keeps.
    bool PeutOuvrir() const;
    bool Ouvre(const QString& nom);
    bool Sauve(const QString& nom, const QString& dateHeure);

private:
    void DemarreBalayage(Tlecture attendu);
    // The line is the scan's next point: the instrument's values take it.
    bool PointSuivant(const QByteArray& ligne);
    // The first point of a new baseline: only now does the old one give way over the range.
    void PremierPointBlanc();
    void NoteBlanc();
    void FinBalayage();
    // At the end of a scan, how many lines were dropped, if any (status bar).
    void AnnonceIllisibles();
    qint32 Pourcentage(qint32 lambda) const;

    Tspectro& spectro;
    TLiaison& liaison;
    TVueSpectre& vue;
};

} // namespace kelvor
