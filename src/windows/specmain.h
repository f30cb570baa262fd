#pragma once
// The main window: connection, baseline and sample scans, the spectrum with its
// draggable range markers, spectrum files and sending. It owns the serial link and is
// the only object that talks to the instrument; the other windows ask it through
// TAppareil.

#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "instrument/balayage.h"
#include "instrument/liaison.h"
#include "windows/communs.h"

#include <QImage>
#include <QMainWindow>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolBar;

namespace kelvor {

class TAboutBox;
class TChoixSpectroDlg;
class TConstanteDlg;
class TFormDDE;
class TPanneauSpectre;
class TPort;
class TSpectreMain;
class TSpinEdit;

// Mouse mode of the graph: nothing grabbed, start marker grabbed, end marker grabbed.
enum Tcurseur { curNormal, curDebut, curFin };

// The graph area. It keeps the picture in an image so that the markers and the cross
// can be inverted in place between full repaints, as on a window canvas.
class TZoneGraphe : public QWidget
{
    Q_OBJECT

public:
    explicit TZoneGraphe(TSpectreMain& fenetre, QWidget* parent = nullptr);

    // The picture as last drawn (full repaint plus any inversions since).
    const QImage& Image() const { return image; }
    // Full repaint at the next paint event.
    void Invalide();
    // Brings the picture up to date now; false when there is nothing to draw on yet.
    bool Prepare();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    friend class TSpectreMain;
    TSpectreMain& fenetre;
    QImage image;
    bool aRedessiner = true;
};

class TSpectreMain : public QMainWindow, public TAppareil, private TVueLiaison
{
    Q_OBJECT

public:
    // Without a port, the window opens the real serial ports.
    explicit TSpectreMain(TPort* port = nullptr, QWidget* parent = nullptr);
    ~TSpectreMain() override;

    // Windows made at start-up, handed over by the program entry. Any that is missing
    // when first needed is made here and owned by this window.
    void SetAboutBox(TAboutBox* dlg) { AboutBox = dlg; }
    void SetChoixSpectroDlg(TChoixSpectroDlg* dlg) { ChoixSpectroDlg = dlg; }
    void SetConstanteDlg(TConstanteDlg* dlg);
    void SetFormDDE(TFormDDE* form);

    // --- State (the link holds etatSpectre, lecture, chaineLue, AcquisitionEnCours) ---
    TPort* Port = nullptr;
    TLiaison* Liaison = nullptr;
    qint32 oldFin = 0;
    qint32 oldDebut = 0;
    qint32 oldPas = 0;
    bool SauvegardeAfaire = false;
    bool dataOK = false;
    Tcurseur curseur = curNormal;
    qint32 debutPB = 0;
    qint32 finPB = 0;
    bool blancFait = false;
    qint32 blancDebut = 0;      // range of the last baseline scan (ended or stopped)
    qint32 blancFin = 0;
    TSuiviBalayage SuiviBalayage;   // lines of the running (or last) scan
    Tgraphe GrapheSpectre;
    QWidget* FenetreCinetique = nullptr;
    QWidget* FenetreBeer = nullptr;

    // --- Controls ---
    QToolBar* ToolBar = nullptr;
    QAction* ConfigAct = nullptr;
    QAction* OuvrirAct = nullptr;
    QAction* SauverAct = nullptr;
    QAction* BlancAct = nullptr;
    QAction* SpectreAct = nullptr;
    QAction* StopAct = nullptr;
    QAction* KurvalisAct = nullptr;
    QAction* BeerAct = nullptr;
    QAction* CinetiqueAct = nullptr;
    QAction* AProposAct = nullptr;
    QAction* QuitterAct = nullptr;
    TSpinEdit* PasSE = nullptr;
    TSpinEdit* DebutSE = nullptr;
    TSpinEdit* FinSE = nullptr;
    QLabel* DebugPanel = nullptr;
    TLecture* LambdaLabel = nullptr;
    TLecture* AbsLabel = nullptr;
    TZoneGraphe* PaintBox = nullptr;
    QPushButton* ConnectionBtn = nullptr;
    QLabel* NoteLabel = nullptr;
    QProgressBar* Progression = nullptr;
    TPanneauSpectre* Panneau = nullptr;     // λmax, colour, legend, exports

    // --- The link's operations, under their names ---
    void EnvoieCommande(Tlecture e, qint32 s, const QString& t, const QByteArray& c);
    void GotoLambda(qint32 lambda) override;
    void SetObscuriteProc();
    void SetBlancProc() override;
    double getAbsorbance() override;
    void VerifieNombreFlash(Tmode mode);
    void SetMode(Tmode acq) override;
    bool EchangeEnCours() const override;
    void InitAppareil();
    TEtatSpectre etatSpectre() const { return Liaison->etatSpectre; }
    Tlecture lecture() const { return Liaison->lecture; }

    // --- Acquisition ---
    void MajActions() override;
    void ConfigClick();
    void ConnectionBtnClick() { InitAppareil(); }
    void BlancClick();
    void SpectreClick();
    void StopClick();
    void LigneBlanc(const QByteArray& chaineLue) override;
    void LigneSpectre(const QByteArray& chaineLue) override;
    void FinSpectre();
    // The last baseline covers debut..fin.
    bool BlancCouvre(qint32 debut, qint32 fin) const;
    // What would be lost by quitting now, as named in the question ("le spectre", ...).
    QStringList TravauxNonSauves() const;
    void PasSEChange();
    void DebutSEChange();
    void FinSEChange();
    void BeerClick();
    void CinetiqueClick();
    void AProposClick();

    // --- Display and cursor ---
    void PaintBoxPaint(TCanevas& canevas, const TRectangle& rect);
    void TraceBornes();
    void MajBornes();
    void PaintBoxMouseDown(qint32 X, qint32 Y);
    void PaintBoxMouseMove(qint32 X, qint32 Y);
    void PaintBoxMouseUp(qint32 X, qint32 Y);
    // Full repaint of the graph (at the next paint event).
    void Redessine();

    // --- Files and sending ---
    void SauveSpectreClick();
    void FileOpenClick();
    void FileOpenAccept(const QString& nom);
    void RegSaveBtnClick();

    // Time spent drawing the whole graph since the window was made (ms).
    double DureeDessinMs() const { return dureeDessinNs / 1e6; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    friend class TZoneGraphe;

    // TVueLiaison
    void Sablier(bool actif) override;
    void ActionsEchange(bool enCours) override;
    void Etiquette(const QString& texte) override;
    void Statut(const QString& texte) override;
    void Titre(const QString& texte) override;
    void EffaceAffichages() override;
    void Erreur(const QString& message) override;
    void ReinitEnvoi() override;
    void OuvreFenetre(Tmode acq) override;
    void LiaisonPerdue() override;
    void BalayageMuet() override;

    void FormCreate();
    // A user action enters the program here: a failure it lets out is reported once and
    // never unwinds through Qt's dispatch.
    void Garde(const std::function<void()>& action);
    void Relie(QAction* action, void (TSpectreMain::*slot)());
    // Runs an exchange; a port failure is reported through the link (a lost line only
    // once) and goes no further, so another window asking for a reading sees a failed
    // reading, never an exception. false when it failed.
    bool Echange(const std::function<void()>& echange);
    // Connected and the port still open (a lost line may have closed it during a wait).
    bool EnLigne() const;
    QAction* Action(const QString& caption, const QString& hint, const QKeySequence& touche);
    // The port is open; otherwise says that the instrument is not connected.
    bool Connecte();
    void SablierScan(bool actif);
    // The model takes the values the spin edits show.
    void AccordeModele();
    // "Stop" without the state change: a scan ends where it got to, its points kept.
    void ArreteBalayage(Tlecture l);
    void NoteBlanc();
    // Asks before an unsaved spectrum is replaced; true to go on.
    bool ContinueSansSauver();
    // Sends the scan command for the current range, expecting lines of the given kind.
    void DemarreBalayage(Tlecture attendu);
    // The line is the scan's next point: the model takes it. Anything else is counted.
    bool PointSuivant(const QByteArray& chaineLue);
    // The first point of a new baseline: only now does the old one give way over the range.
    void PremierPointBlanc();
    void FinBalayage();
    // At the end of a scan, how many lines were dropped, if any (status bar).
    void AnnonceIllisibles();
    void Affiche(const QString& lambda, const QString& abs);
    void AppliqueLimites();
    TChoixSpectroDlg& ChoixDlg();
    TConstanteDlg& ConstanteDlgRef();
    TFormDDE& FormDDERef();
    qint32 LambdaSouris(qint32 X, qint32 Y, double* aw = nullptr) const;

    Tspectro& spectro;
    TAboutBox* AboutBox = nullptr;
    TChoixSpectroDlg* ChoixSpectroDlg = nullptr;
    TConstanteDlg* ConstanteDlg = nullptr;
    TFormDDE* FormDDE = nullptr;
    TCanevasQt canevas;
    int sablier = 0;
    bool sablierScan = false;
    bool adieuFait = false;
    qint64 dureeDessinNs = 0;
};

} // namespace kelvor
