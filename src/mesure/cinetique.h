#pragma once
// The kinetics run decided without any window: which controls each state shows, the
// planned number of points, the bounds of the interval and the duration, the storing
// of readings against a monotonic clock, the stop rule and the rescale at the end.
// The window holds the widgets and the timer and asks this unit what to do.

#include "mesure/analysecinet.h"
#include "mesure/runcinet.h"
#include "util/labutil.h"

#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>
#include <QValidator>
#include <QtGlobal>

#include <functional>
#include <vector>

namespace kelvor {

class TIniFile;

enum TEtatAcquisition { eaReglageLambda, eaReglageZero, eaEnCours, eaTerminee, eaAttente };

// What each state shows (buttons, panels) or enables (RepereBtn, LambdaSE, timer).
struct TControlesCinetique
{
    bool LambdaBtn = false;
    bool ZeroBtn = false;
    bool StartBtn = false;
    bool StopBtn = false;
    bool ResetBtn = false;
    bool SaveBtn = false;
    bool ExitBtn = false;
    bool ZeroBtnBis = false;
    bool RepereBtn = false;
    bool LambdaSE = false;
    bool Panneaux = false;      // PanelDuree and PanelAbs
    bool Timer = false;

    bool operator==(const TControlesCinetique&) const = default;
};
TControlesCinetique ControlesEtat(TEtatAcquisition etat);

// Bounds that keep every duration, spin result and ten intervals within 16 bits.
constexpr quint16 DeltatMini = 3;
constexpr quint16 DeltatMaxi = 6553;
constexpr quint16 DureeMaxi = 65535;
constexpr qint32 NbrePointsMaxi = MaxIndiceVecteur + 1;     // 2049 table entries

quint16 BorneDeltat(qint64 secondes);
quint16 BorneDuree(qint64 secondes);

// Duration after the up arrow (a round value about 2.15 times larger); unchanged when
// that would leave 16 bits. The down arrow never goes below 30 s.
quint16 DureeSuivante(quint16 duree);
quint16 DureePrecedente(quint16 duree);

// Planned number of points, rounded to a friendly count; raises duree to ten
// intervals when it holds fewer.
qint32 CalculeNbreMax(quint16& duree, quint16 deltat);

// Keeps every second point (point 0 stays); returns the new count.
qint32 DivisePoints(Vecteur& x, Vecteur& y, qint32 n);

// A stopped run this short is thrown away rather than finished.
bool RunAbandonne(qint32 n, qint32 nbreMax);

// Ordinate maximum of a finished run: its largest absorbance (from 3 points on,
// maxiAbs before), never below 1.
double MaxiOrdonneeFin(const Vecteur& y, qint32 n, double maxiAbs);

// Ordinate limits while a run goes on: widened (0.5 A steps above, 0.1 A steps below,
// with a tenth to spare) so that a new reading stays in view. True when they changed.
bool EtendOrdonnee(double a, double& mini, double& maxi);

// A span of a finished run that the analysis can be made on.
struct TPlageProposee
{
    QString nom;
    double t1 = 0;
    double t2 = 0;
};
// The whole run, then from each marker (in time order) to the next one or to the end.
QList<TPlageProposee> PlagesAnalyse(const Vecteur& x, qint32 n, const std::vector<Trepere>& reperes);
// The rate-law analysis of the points of the first n lying between t1 and t2.
TAnalyseCinet AnalysePlage(const Vecteur& x, const Vecteur& y, qint32 n, double t1, double t2,
                           const TOptionsAnalyse& options);
// The analysis as copied to the clipboard: a title line, then the summary.
QStringList LignesCopieAnalyse(const TRunCinetique& run, const TAnalyseCinet& analyse);

// Draws a fitted curve f over t1..t2 inside the plotting area, one segment per pixel
// column; parts that leave the area are not drawn.
void TraceFonction(TCanevas& c, const Tgraphe& graphe, const std::function<double(double)>& f,
                   double t1, double t2, QRgb couleur);

// Seconds as hours, minutes and seconds with the locale's time separator (00:02:00).
QString TexteDuree(qint64 secondes);

// Text of the duration field: the forms DureeToSecondes reads, a clock ("5:00" minutes
// and seconds, "1:30:00" with hours, the locale's time separator), seconds ("90", "1,5",
// "90 s"), or units ("1h30", "2 min", "1h30min20s"). "." and "," type the decimal
// separator. Anything that cannot become one of these is refused.
class TValidateurDuree : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

// The hint shown when the duration field refuses a text.
extern const QString IndicationDuree;

// Settings read at creation and written at close besides the run's own.
struct TReglagesCinetique
{
    bool Kurvalis = true;
    bool Clip = false;
    bool Fichier = false;
    qint32 Lambda = 600;
};

// One run over the graph's tables (the window passes its graph's fields).
class TCinetique
{
public:
    enum TAjout { ajIgnore, ajAjoute, ajTermine, ajPlein };

    TCinetique(Vecteur& valeurX, Vecteur& valeurY, qint32& nbrePoints);

    TEtatAcquisition EtatAcq = eaReglageLambda;
    quint16 DureeMesure = 120;
    quint16 DeltatMesure = 3;
    qint32 NbreMax = 40;
    double InstantDebut = 0;    // time of day at start, for display only
    qint64 MsDebut = 0;         // monotonic start: elapsed times never see midnight

    // Reads the settings (bringing Δt and the duration inside their bounds) and sets
    // NbreMax to the plain quotient.
    void LitReglages(const TIniFile& ini, TReglagesCinetique& r);
    void EcritReglages(TIniFile& ini, const TReglagesCinetique& r) const;

    // New run: clock origin, no points, reading 0 due at once.
    void Demarre();
    qint64 MillisecondesEcoulees() const;
    qint32 SecondesEcoulees() const;
    qint32 NbrePoints() const { return m_n; }

    // Reading n falls due at MsDebut + n·Δt: a fixed grid, so timer latency never
    // accumulates. Milliseconds until the next one is due (0 when due now).
    qint64 MsAvantLecture() const;
    // A reading is being requested now. Returns its time stamp: the whole seconds
    // elapsed at the request, which is n·Δt exactly when the request leaves within the
    // second after its due time; a reading sent later (event loop held up) keeps its
    // own truncated time, never a grid time it was not taken at. Due times that passed
    // meanwhile are skipped, never caught up in a burst.
    qint32 LectureDemandee();

    // Stores a reading requested at instant (seconds); a no-value reading, or one that
    // finds the tables full, is dropped (ajIgnore). ajTermine once a point lies past the
    // duration, ajPlein when the tables have just received their last point.
    TAjout AjoutePoint(double absC, qint32 instant);
    // Presets abscissa i to i × Δt over the whole table.
    void PrepareAbscisses();
    // Takes a run back (after a crash) as a finished one: its points, Δt and duration.
    void Restaure(const TRunCinetique& run);

    void MajNbreMax();
    void DureePlus();           // halves a long running run first; nothing at the top
    void DureeMoins();
    bool DeltatPlus();          // false when nothing changed
    bool DeltatMoins();
    bool SetDuree(qint32 secondes);

private:
    qint64 Echeance(qint64 creneau) const;
    // A new Δt takes effect from the last due time, so a running grid stays whole.
    void ChangeDeltat(quint16 deltat);

    qint64 msOrigine_ = 0;      // due time of reading 0 of the current pace
    qint64 creneau_ = 0;        // index of the next reading on that grid
    Vecteur& m_x;
    Vecteur& m_y;
    qint32& m_n;
};

} // namespace kelvor
