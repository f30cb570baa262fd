#pragma once
// The conversation with the instrument: reply lines assembled from port bytes and routed
// by what is expected, blocking exchanges that keep the interface alive, the connection
// search and the goodbye. What a window shows goes through TVueLiaison.

#include "instrument/appareil.h"
#include "instrument/cfgspect.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

class QTimer;

namespace kelvor {

class TPort;

// The main window's state: scanning, connected and idle, no instrument.
enum TEtatSpectre { esEnCours, esAttente, esInit };

// What the link needs from the window that owns it.
class TVueLiaison
{
public:
    virtual ~TVueLiaison() = default;
    // Hourglass on (true) and off (false); calls nest in pairs.
    virtual void Sablier(bool actif) = 0;
    // During an exchange: "Stop" enabled, "Spectre", "Blanc", "Beer-Lambert" and
    // "Cinétique" disabled. false only disables "Stop"; MajActions follows.
    virtual void ActionsEchange(bool enCours) = 0;
    virtual void MajActions() = 0;
    // Debug panel text; empty clears it.
    virtual void Etiquette(const QString& texte) = 0;
    virtual void Statut(const QString& texte) = 0;
    virtual void Titre(const QString& texte) = 0;
    // Clears the wavelength and absorbance readouts.
    virtual void EffaceAffichages() = 0;
    // A failure for the general error report. Called from the event loop once any wait
    // has ended, never from inside the line dispatch, so a modal box is safe here.
    virtual void Erreur(const QString& message) = 0;
    // Scan points while a baseline or a sample scan runs.
    virtual void LigneBlanc(const QByteArray& chaineLue) = 0;
    virtual void LigneSpectre(const QByteArray& chaineLue) = 0;
    // Mode change: reset "Envoyer comme" before, show the mode's window after.
    virtual void ReinitEnvoi() = 0;
    virtual void OuvreFenetre(Tmode acq) = 0;
    // The line was lost: a running scan ends as "Stop" would end it (kept points stay).
    // lecture still holds what was expected.
    virtual void LiaisonPerdue() {}
    // The instrument fell silent during a scan: the scan ends as "Stop" would end it.
    // lecture still holds what was expected.
    virtual void BalayageMuet() { LiaisonPerdue(); }
};

class TLiaison : public QObject, public TAppareil
{
    Q_OBJECT

public:
    // A reply line longer than this keeps its first bytes only: an instrument that never
    // sends CR must not make the buffer grow without bound.
    static constexpr qsizetype TailleMaxLigne = 4096;

    TLiaison(TPort& port, Tspectro& spectro, TVueLiaison& vue, QObject* parent = nullptr);

    // What the next reply line is expected to be.
    Tlecture lecture() const { return lecture_; }
    // The reply line being assembled.
    const QByteArray& chaineLue() const { return chaineLue_; }
    qint32 Hcommande() const { return Hcommande_; }
    TEtatSpectre etatSpectre() const { return etatSpectre_; }
    Tmode AcquisitionEnCours() const { return AcquisitionEnCours_; }

    // Sends C + CR with expectation E and waits at most S seconds (in 55 ms ticks) for
    // the line dispatch to clear the expectation. lecture still E afterwards means no
    // acceptable reply came. Throws EPortSerie when the port refuses the write.
    void EnvoieCommande(Tlecture e, qint32 s, const QString& t, const QByteArray& c);
    // Sends C + CR without waiting.
    void Envoie(const QByteArray& c);
    // Starts a scan: lines of kind attendu (lLigneBase or lSpectre) are expected, then
    // the command goes out. A scan that hears no line for DelaiSilenceMs ends through
    // BalayageMuet with a message. Throws EPortSerie, expecting nothing, when the write
    // is refused.
    void DemarreBalayage(Tlecture attendu, const QByteArray& commande);
    // Longest silence a running scan tolerates: SilenceMiniMs, or three times the last
    // interval between two lines when that is longer; before the first line, also the
    // positioning wait to the start of the range.
    qint64 DelaiSilenceMs() const;
    // The scan reached the end of its range: nothing more is expected.
    void FinBalayage();
    // "Stop": nothing more is expected; connected and idle unless no instrument was found.
    void Stop();
    // Lines of kind e are expected without a command sent (a reply on its way, a replay).
    void Attend(Tlecture e);
    static constexpr qint64 SilenceMiniMsDefaut = 5000;
    qint64 SilenceMiniMs = SilenceMiniMsDefaut;

    // A port failure of a user action, reported once: one that follows from a lost line
    // already reported (the port is closed since) says nothing more.
    void RapporteEchec(const QString& message);

    void GotoLambda(qint32 lambda) override;
    void SetObscuriteProc();
    void SetBlancProc() override;
    double getAbsorbance() override;
    void VerifieNombreFlash(Tmode mode);
    void SetMode(Tmode acq) override;
    bool EchangeEnCours() const override { return profondeur > 0; }

    // Does nothing while a search already runs: a second search started from inside the
    // first one's wait would let the outer attempt take the inner one's success.
    void InitAppareil();
    bool RechercheEnCours() const { return recherche; }
    void EssaiPort(quint16 n);
    void SupprimeTrigger();
    // When the window closes: "DISCONNECT" without waiting, then the port is closed.
    void Adieu();

    // Port notifications: line assembly and line dispatch.
    void OctetsDisponibles(qint64 n);
    void LigneComplete();

    // Wait of an exchange of S seconds: S × 1675 / 92 ticks of 55 ms.
    static qint32 DelaiMs(qint32 s);
    // Positioning wait: distance div 32, within 1..10 s.
    static qint32 AttenteGoto(qint32 lambda, qint32 lambdaCourante);

private:
    void Attends(qint64 delaiMs);
    void Signale(const QString& message);
    void SignaleEnAttente();
    void SurErreurPort(const QString& message);
    bool BalayageEnCours() const { return lecture_ == lLigneBase || lecture_ == lSpectre; }
    // A scan line came: the silence watch starts again.
    void RelanceVeille();
    void SurSilence();
    // Back to "no instrument" after a lost line, so "Connection" can search again.
    void Deconnecte();
    // A search that finds nothing reports why the first port it could not open failed
    // (no rights, busy), once the search is over.
    void NoteEchecRecherche(const QString& message);
    void SignaleEchecRecherche();

    TPort& port;
    Tspectro& spectro;
    TVueLiaison& vue;
    Tlecture lecture_ = lNone;
    QByteArray chaineLue_;
    qint32 Hcommande_ = 0;
    TEtatSpectre etatSpectre_ = esInit;
    Tmode AcquisitionEnCours_ = mSpectre;
    bool recherche = false;         // a connection search is running
    int profondeur = 0;             // exchanges running, nested ones included
    bool repondu = false;           // a reply came but was refused: the wait may end
    bool absRecue = false;          // an absorbance line was dispatched since the last request
    bool perteSignalee = false;     // the line was lost and said so; cleared by the next connection
    QTimer* veille = nullptr;       // silence watch of a running scan
    QElapsedTimer derniereLigne;    // since the last scan line (or the scan start)
    qint64 intervalleLignes = 0;    // between the last two scan lines, ms; 0 before two lines
    bool ligneRecue = false;        // the running scan has sent a line
    QStringList etiquettes;         // debug panel labels of the running exchanges
    QStringList erreursEnAttente;   // reported once the outermost wait is over
    QString premierEchecRecherche;  // of the search running
};

} // namespace kelvor
