#pragma once
// The simulated Kelvor 51xx on the far end of a pseudo-terminal. The program opens the
// slave device like any serial port; the simulator answers on the master side from the
// Qt event loop of the thread that created it, so tests stay single-threaded and
// deterministic in unthrottled mode.

#include "physique.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>

class QSocketNotifier;
class QTimer;

namespace kelvor {

class TSimulateur : public QObject
{
    Q_OBJECT

public:
    enum TCadence {
        caLibre,   // replies at once, scans as fast as the pty takes them (tests)
        caReelle   // travel and measuring times, scans at the 9600-baud line rate
    };
    enum TScenario {
        scManuel,  // the cell changes only through the control calls
        scDemo     // the cell follows what a person does in the three windows
    };

    // Faults to inject; all off by default.
    struct TPannes
    {
        bool muet = false;          // never replies
        bool dechets = false;       // a garbage line (no digits) before every reply and scan
        int decoupe = 0;            // write each reply in pieces of this many bytes, 2 ms apart
        bool crlf = false;          // end lines with CR LF instead of CR
        bool octetsHauts = false;   // bytes 80..FF after the model number and as an extra scan field
        int retardMs = 0;           // every reply starts this late
        int ligneLongue = 0;        // one shot: this many bytes without CR before the next reply
        int coupureApres = -1;      // one shot: close the line after this many lines of the next scan
        int ignoreProchaines = 0;   // the next n commands get no reply
        bool sansCts = false;       // three-wire line: our CTS is never raised
        int avaleLecture = 0;       // one shot: the nth "MEASURE WITH LAMP" from now gets no reply
    };

    explicit TSimulateur(QObject* parent = nullptr);
    ~TSimulateur() override;

    // Opens the pseudo-terminal; false with a reason when the system refuses one.
    bool Demarre(QString* erreur = nullptr);
    // Slave device path the program opens, e.g. /dev/pts/7.
    QString Peripherique() const { return peripherique; }
    // Closes the line as if the instrument were unplugged.
    void Ferme();
    bool EstOuvert() const { return maitre >= 0; }

    // Writes raw bytes on the line now (ahead of anything queued behind a pause).
    void Emet(const QByteArray& octets);
    // The next reply is these raw bytes, written as they are, instead of the normal one.
    void InjecteReponse(const QByteArray& octets) { reponseInjectee = octets; injectionArmee = true; }
    // Whole reaction restarts now on the simulator's clock.
    void DemarreReaction();
    void MetCuve(TCuve cuve) { physique.cuve = cuve; }

    // Every byte received since the start or the last EffaceJournal, and the commands
    // they formed (without terminator).
    QByteArray Journal() const { return journal; }
    QList<QByteArray> Commandes() const { return commandes; }
    void EffaceJournal() { journal.clear(); commandes.clear(); }

    // Bytes written on the line since Demarre.
    qint64 OctetsEmis() const { return octetsEmis; }
    double Position() const { return position; }
    qint32 NombreFlash() const { return nombreFlash; }
    // Simulator clock in seconds; tests may replace it.
    double Temps() const { return horloge ? horloge() : depart.elapsed() / 1000.0; }
    // std::chrono::steady_clock time in ns of the last write that left the output empty:
    // for a short reply, the moment its CR went out.
    qint64 InstantDerniereEcriture() const { return instantEcriture; }

    TPhysique physique;
    TPannes pannes;
    QByteArray modele = "5105";
    TCadence cadence = caLibre;
    TScenario scenario = scManuel;
    bool champsEnPlus = false;              // scan lines "λ:I:A" instead of "λ:I"
    std::function<double()> horloge;

    // Lowest wavelength the variant reaches.
    double MiniLambda() const { return modele.contains("5100") ? 320.0 : 198.0; }

signals:
    void CommandeRecue(const QByteArray& commande);
    void LigneFermee();

private:
    struct TPaquet
    {
        qint64 pauseMs = 0;     // wait before writing
        QByteArray octets;
        bool fermeApres = false;
        bool balayage = false;  // part of a scan: a new command drops it
    };

    void Lit();
    // The program's side of the line waits for CTS before it sends (RTS/CTS handshaking).
    bool AttendCts() const;
    void Vide();
    void Traite(const QByteArray& commande);
    void Reponds(const QByteArray& ligne, qint64 pauseMs, bool estConnect = false);
    void Balayage(qint32 debut, qint32 fin, qint32 pas);
    QByteArray FinDeLigne() const { return pannes.crlf ? "\r\n" : "\r"; }
    QByteArray Dechet();
    void Programme(TPaquet paquet, bool decouper);
    void InterromptBalayage();
    void FermeQuandLu(int resteMs);
    void Suivant();
    void Ecrit(const QByteArray& octets);
    qint64 DureeLigne(qsizetype octets) const;
    void CuveDemo(const QByteArray& commande);

    int maitre = -1;
    int esclave = -1;       // held open so the master never sees a hang-up between opens
    QString peripherique;
    QSocketNotifier* lecture = nullptr;
    QSocketNotifier* ecriture = nullptr;
    QTimer* minuterie = nullptr;
    std::deque<TPaquet> file;
    bool pauseFaite = false;
    bool enCoupure = false;     // the line is about to close: nothing more goes out
    QByteArray sortie;
    QByteArray entree;
    QByteArray journal;
    QList<QByteArray> commandes;
    QByteArray reponseInjectee;
    bool injectionArmee = false;
    qint64 instantEcriture = 0;
    qint64 octetsEmis = 0;
    QElapsedTimer depart;
    double position = 500.0;
    qint32 nombreFlash = 22;
    quint32 compteurDechets = 0;

    // Demo scenario state.
    enum { dmSpectre, dmCinetique, dmBeer } modeDemo = dmSpectre;
    int balayagesFaits = 0;
    bool blancArme = true;
    bool reactionEnCours = false;
    int etalon = 0;
};

} // namespace kelvor
