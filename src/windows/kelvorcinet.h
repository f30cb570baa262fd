#pragma once
// The kinetics window: absorbance at one wavelength read every Δt seconds and drawn
// against time, with labelled time markers, then saved, copied or sent. The run's
// decisions live in mesure/cinetique; this class holds the controls and the timer.

#include "exchange/textes.h"
#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "mesure/cinetique.h"
#include "windows/communs.h"

#include <QImage>
#include <QWidget>

#include <deque>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace kelvor {

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
    QLabel* LabelDeltat = nullptr;
    TSpinButton* DeltatSB = nullptr;
    QLineEdit* DureeEdit = nullptr;
    TSpinButton* DureeSpin = nullptr;
    QLabel* PanelDuree = nullptr;
    QLabel* PanelAbs = nullptr;
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
    QTimer* Timer = nullptr;

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

    // Saving (the three destinations).
    void SaveBtnClick();
    void KurvalisMClick(QAction* item);
    void SauveFichier();

    // Shown when a run fills the tables before its duration is over.
    static const QString MessageTablePleine;

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;

private:
    void Construit();
    void ChoisitImage(QAction* item);
    void VideTextes();
    void AfficheDuree();
    // Runs f with the graph's canvas attached to the paint box's picture.
    template <class F> void DessineDans(F f);
    ListeReperes Reperes() const;
    void ArmeTimer();
    // Marker boxes asked for during an exchange open once it is over.
    void ApresEchange();
    void OuvreReperes();

    TAppareil& Appareil;
    TCanevasQt canevas_;
    QActionGroup* destinations_ = nullptr;
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
};

} // namespace kelvor
