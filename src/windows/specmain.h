#pragma once
// The main window: connection, the spectrum with its draggable range markers, sending.
// It owns the serial link and is the only object that talks to the instrument; the other
// windows ask it through TAppareil. Scans and spectrum files are TSpectre's: the window
// relays the user's actions to it and shows what it asks.

#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "instrument/liaison.h"
#include "mesure/spectre.h"
#include "mesure/zoomspectre.h"
#include "windows/boiteaoutils.h"
#include "windows/communs.h"

#include <QImage>
#include <QMainWindow>
#include <QWidget>

#include <deque>
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
class TSpinEdit;

// Mouse mode of the graph: nothing grabbed, start marker grabbed, end marker grabbed.
enum Tcurseur { curNormal, curDebut, curFin };

class TSpectreMain : public QMainWindow, public TAppareil, private TVueLiaison, private TVueSpectre
{
    Q_OBJECT

public:
    // The link talks to the port until the window is destroyed.
    explicit TSpectreMain(TPort& port, QWidget* parent = nullptr);
    ~TSpectreMain() override;

    // Windows made at start-up, handed over by the program entry before the window is
    // used; they outlive it.
    void SetAboutBox(TAboutBox* dlg) { AboutBox = dlg; }
    void SetChoixSpectroDlg(TChoixSpectroDlg* dlg) { ChoixSpectroDlg = dlg; }
    void SetConstanteDlg(TConstanteDlg* dlg);
    void SetFormDDE(TFormDDE* form);

    // --- State (the link holds etatSpectre, lecture, AcquisitionEnCours) ---
    TPort* Port = nullptr;
    TLiaison* Liaison = nullptr;
    TSpectre Spectre;
    // The spectrum's state under the names the window's callers know.
    bool& SauvegardeAfaire = Spectre.SauvegardeAfaire;
    bool& dataOK = Spectre.dataOK;
    bool& blancFait = Spectre.blancFait;
    qint32& blancDebut = Spectre.blancDebut;
    qint32& blancFin = Spectre.blancFin;
    TSuiviBalayage& SuiviBalayage = Spectre.SuiviBalayage;
    Tgraphe& GrapheSpectre = Spectre.Graphe;
    qint32 oldFin = 0;      // range and step last sent to the companion program
    qint32 oldDebut = 0;
    qint32 oldPas = 0;
    Tcurseur curseur = curNormal;
    qint32 debutPB = 0;
    qint32 finPB = 0;
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
    QAction* AjusterAAct = nullptr;
    QAction* ToutVoirAct = nullptr;
    QAction* ZoomAvantAct = nullptr;     // keyboard only: Ctrl++ and Ctrl+-
    QAction* ZoomArriereAct = nullptr;
    QAction* AProposAct = nullptr;
    QAction* QuitterAct = nullptr;
    TSpinEdit* PasSE = nullptr;
    TSpinEdit* DebutSE = nullptr;
    TSpinEdit* FinSE = nullptr;
    QLabel* DebugPanel = nullptr;
    TLecture* LambdaLabel = nullptr;
    TLecture* AbsLabel = nullptr;
    TZoneImage* PaintBox = nullptr;
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
    TEtatSpectre etatSpectre() const { return Liaison->etatSpectre(); }
    Tlecture lecture() const { return Liaison->lecture(); }

    // --- Acquisition ---
    void MajActions() override;
    void ConfigClick();
    void ConnectionBtnClick() { InitAppareil(); }
    void BlancClick();
    void SpectreClick();
    void StopClick();
    void LigneBlanc(const QByteArray& chaineLue) override;
    void LigneSpectre(const QByteArray& chaineLue) override;
    void FinSpectre() { Spectre.FinSpectre(); }
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
    // Inverts the range markers on the kept picture (outside a full repaint).
    void TraceBornes();
    void MajBornes();
    void PaintBoxMouseDown(qint32 X, qint32 Y);
    void PaintBoxMouseMove(qint32 X, qint32 Y);
    void PaintBoxMouseUp(qint32 X, qint32 Y);
    // The view of the graph: the wheel zooms the wavelengths around the pointer, the keys
    // around the middle of the view; "Ajuster A" fits the absorbance to what is shown.
    void PaintBoxMolette(qint32 X, qint32 Y, double crans);
    void ZoomeLambda(double lambda, double crans);
    void AjusterAClick();
    void ToutVoirClick();
    TZoomSpectre Zoom;
    // Full repaint of the graph (at the next paint event).
    void Redessine() override;

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
    // TVueLiaison
    void Sablier(bool actif) override;
    // TVueSpectre
    void Affiche(const QString& lambda, const QString& abs) override;
    void MontreBornes(qint32 debut, qint32 fin) override;
    void BalayageDemarre() override;
    void Avancement(qint32 pourcent) override;
    void BalayageFini() override;
    void SpectreTermine() override;
    void Echec(const QString& message) override;
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
    QAction* NouvelleAction(const QString& caption, const QString& hint, const QKeySequence& touche);
    // A new action with its tool bar button.
    QAction* Action(const QString& caption, const QString& hint, const QKeySequence& touche);
    // The port is open; otherwise says that the instrument is not connected.
    bool Connecte();
    void SablierScan(bool actif);
    // The model takes the values the spin edits show.
    void AccordeModele();
    void AppliqueLimites();
    // The wavelengths the axis shows when nothing is zoomed: the instrument's range.
    TVueAxe LimitesLambda() const;
    qint32 LambdaSouris(qint32 X, qint32 Y, double* aw = nullptr) const;
    // The markers' pixel columns from the range, for the mouse.
    void PlaceBornes();
    void TraceBornes(const TSurface& surface);

    Tspectro& spectro;
    TAboutBox* AboutBox = nullptr;
    TChoixSpectroDlg* ChoixSpectroDlg = nullptr;
    TConstanteDlg* ConstanteDlg = nullptr;
    TFormDDE* FormDDE = nullptr;
    TCanevasQt canevas;
    std::deque<TSablier> sabliers;     // one per wait the link has begun
    bool sablierScan = false;
    bool adieuFait = false;
    qint64 dureeDessinNs = 0;
};

} // namespace kelvor
