#pragma once
// The kinetics window: absorbance at one wavelength read every Δt seconds and drawn
// against time, with labelled time markers, then saved, copied or sent. The run's
// decisions live in mesure/cinetique; this class holds the controls and the timer.

#include "exchange/textes.h"
#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "mesure/analysecinet.h"
#include "mesure/cinetique.h"
#include "mesure/journalcinet.h"
#include "windows/communs.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>

#include <deque>
#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QSpinBox;
class QStatusBar;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace kelvor {

class TDestinations;
class TFormDDE;
class TSpinEdit;

// Up and down arrows side by side with nothing to show (the tool panels' spin button).
class TSpinButton : public QWidget
{
    Q_OBJECT
public:
    explicit TSpinButton(const QString& nom, QWidget* parent = nullptr);
    QToolButton* Haut = nullptr;
    QToolButton* Bas = nullptr;
signals:
    void UpClick();
    void DownClick();
};

// The paint box: shows the graph's picture, kept in an image so that single points and
// markers can be added to it without repainting everything.
class TCinetiqueForm : public QWidget
{
    Q_OBJECT

public:
    explicit TCinetiqueForm(TAppareil& appareil, QWidget* parent = nullptr);
    ~TCinetiqueForm() override;

    // Set by the main window after creation: the companion conversations and, through
    // them, the parameter dialog. Without it "vers Kurvalis" has nothing to send with.
    TFormDDE* FormDDE = nullptr;

    // Run and saving state.
    Tgraphe Graphe;
    TCinetique Cinetique{Graphe.valeurX, Graphe.valeurY, Graphe.NbrePoints};
    double absC = 0;
    bool DejaSauve = false;
    QString NomFichierData;
    bool FormatKV3 = false;

    // Controls.
    TSpinEdit* LambdaSE = nullptr;
    TLecture* LabelDeltat = nullptr;
    TSpinButton* DeltatSB = nullptr;
    QLineEdit* DureeEdit = nullptr;
    TSpinButton* DureeSpin = nullptr;
    TLecture* PanelDuree = nullptr;
    TLecture* PanelAbs = nullptr;
    QWidget* LectureS = nullptr;
    QLineEdit* EditBidon = nullptr;
    QPushButton* LambdaBtn = nullptr;
    QPushButton* ZeroBtn = nullptr;
    QPushButton* StartBtn = nullptr;
    QToolButton* SaveBtn = nullptr;
    QToolButton* RepereBtn = nullptr;
    QToolButton* ResetBtn = nullptr;
    QToolButton* StopBtn = nullptr;
    QToolButton* ZeroBtnBis = nullptr;
    QToolButton* PrintBtn = nullptr;
    QToolButton* ExitBtn = nullptr;
    QMenu* SaveMenu = nullptr;
    QAction* KurvalisM = nullptr;
    QAction* ClipM = nullptr;
    QAction* FileM = nullptr;
    TZoneImage* Oscillo = nullptr;
    QStatusBar* BarreEtat = nullptr;
    QTimer* Timer = nullptr;

    // Every reading of a running run is written here at once; the file goes when the run
    // is saved, sent or discarded, and one left by a crash is offered back.
    TJournalCinet Journal;

    // Rate-law analysis of a finished run, in the panel beside the graph.
    TAnalyseCinet Analyse;
    Tgraphe GrapheLineaire;                 // the linearised view of the analysed span
    QWidget* PanneauAnalyse = nullptr;
    QComboBox* PlageCB = nullptr;           // span analysed; the last item may be a drag on the graph
    QCheckBox* AInfZeroCB = nullptr;        // "A∞ fixé à 0"
    QSpinBox* VitesseSE = nullptr;          // points of the initial rate
    QComboBox* TraceCB = nullptr;           // the points with the best fit, or a linearised series
    QLabel* AnalyseLabel = nullptr;         // accessible name "Analyse cinétique"
    QPushButton* ExporteBtn = nullptr;      // "Exporter CSV…"
    QPushButton* CopieAnalyseBtn = nullptr; // "Copier l'analyse"

    TEtatAcquisition EtatAcq() const { return Cinetique.EtatAcq; }

    void FormCreate();
    void FormClose();
    // A run measured or under way that was neither saved nor sent.
    bool TravailNonSauve() const;
    void SetEtatAcq(TEtatAcquisition etat);
    void InitAttente();
    void TimerTimer();
    // Stores the reading just made, requested at instant (seconds).
    void AjoutePoint(qint32 instant);
    void MajNbreMax();

    void LambdaBtnClick();
    void ZeroBtnClick();
    void ZeroBtnBisClick();
    void StartBtnClick();
    void StopBtnClick();
    void ResetBtnClick();
    void RepereBtnClick();
    void PrintBtnClick();
    void ExitItemClick();
    void LambdaSEChange();
    void DeltatSBUpClick();
    void DeltatSBDownClick();
    void DureeEditExit();
    void DureeSpinUpClick();
    void DureeSpinDownClick();
    void OscilloPaint();
    // The graph shown (linear view or not).
    Tgraphe& GrapheMontre();
    // g (the graph shown, or a copy of it) laid out on rect and drawn there; throws
    // EErreurCalcul like Tgraphe::Draw.
    void DessineGraphe(TCanevas& canevas, const TRectangle& rect, Tgraphe& g);
    // What the graph shows, for screen readers: at each repaint and each new point.
    void DecritGraphe();

    // Saving (the three destinations).
    void SaveBtnClick();
    void KurvalisMClick(QAction* item);
    void SauveFichier();
    // The run as a text block on the clipboard, and to Kurvalis when envoyer.
    void CopieDonnees(bool envoyer);

    // Analysis.
    void Analyser();
    // A span chosen on the graph (a mouse drag), in seconds.
    void SelectionneTemps(double t1, double t2);
    void ExporteCsvClick();
    void CopieAnalyseClick();
    // The run as it stands, for the spreadsheet file.
    TRunCinetique RunCourant() const;

    // Recovery: offered once, when the window is first shown.
    void ProposeRecuperation();
    void Restaure(const TRunCinetique& run);

    // Shown when a run fills the tables before its duration is over.
    static const QString MessageTablePleine;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void Construit();
    void VideTextes();
    void AfficheDuree();
    ListeReperes Reperes() const;
    void ArmeTimer();
    // Marker boxes asked for during an exchange open once it is over.
    void ApresEchange();
    void OuvreReperes();
    void ConstruitAnalyse(QWidget* parent);
    // Refills the span list for a newly finished run and analyses it.
    void MajPanneauAnalyse();
    void PrepareLineaire();
    bool VueLineaire() const;
    // Fitted curve, or straight line, and the span, over the picture just drawn.
    // The fitted curve of a finished run, on g (the graph shown, or a copy of it).
    void TraceAnalyse(TCanevas& canevas, Tgraphe& g);
    bool GlisseSouris(QEvent* event);
    // A journal write that failed is reported once per run.
    void JournalEcrit(bool ok);
    void SupprimeJournal();

    TAppareil& Appareil;
    TCanevasQt canevas_;
    TDestinations* destinations_ = nullptr;
    QWidget* grands_ = nullptr;     // holds the three large buttons
    bool lectureEnCours_ = false;
    quint64 numeroRun_ = 0;
    bool erreurSignalee_ = false;
    struct TRepereDemande
    {
        quint64 run;
        qint32 instant;     // seconds at the click
    };
    std::deque<TRepereDemande> reperesEnAttente_;
    bool saisieOuverte_ = false;
    QDateTime debutRun_;
    bool journalSignale_ = false;
    bool recuperationVue_ = false;
    bool restaure_ = false;         // the run came back from a journal: no blank made yet
    QList<TPlageProposee> plages_;
    TPlage plage_;                  // points of the span analysed
    TSerieLineaire serie_;
    double selT1_ = 0, selT2_ = 0;  // span dragged on the graph (last item of PlageCB)
    bool selection_ = false;
    qint32 glisseDebut_ = -1;       // pixel where a drag began, -1 when none
    qint32 glisseFin_ = -1;
};

} // namespace kelvor
