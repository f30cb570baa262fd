#pragma once
// The Beer-Lambert window: absorbance at one wavelength against a record number, a typed
// concentration or a typed value, with the calibration line and the unknowns of the
// concentration mode. The rules live in mesure/beer; this class holds the controls,
// draws the series and sends or saves it.

#include "graph/canevas.h"
#include "graph/graphker.h"
#include "instrument/appareil.h"
#include "mesure/beer.h"
#include "windows/communs.h"

#include <QImage>
#include <QWidget>

#include <functional>

class QAction;
class QLabel;
class QStatusBar;
class QLineEdit;
class QMenu;
class QTableWidget;
class QToolButton;

namespace kelvor {

class TDestinations;
class TFormDDE;
class TModeBeerDlg;
class TSpinEdit;

// The plot: shows the graph's picture, kept in an image so that single points and
// unknowns can be added to it without repainting everything.
class TBeerForm : public QWidget, private TVueBeer
{
    Q_OBJECT

public:
    explicit TBeerForm(TAppareil& appareil, QWidget* parent = nullptr);
    ~TBeerForm() override;

    // The companion conversations, set by the main window after creation; without them
    // nothing goes to Kurvalis and a copy goes to the clipboard alone.
    TFormDDE* FormDDE = nullptr;

    // The series and its rules; the graph draws a copy of it.
    TSerieBeer Serie;
    Tgraphe Graphe;

    // Controls.
    QLabel* LabelLambda = nullptr;
    TSpinEdit* LambdaSE = nullptr;
    QLabel* LabelClavier = nullptr;
    QLabel* LabelAvis = nullptr;     // a reading that recorded nothing says so here
    QLineEdit* ClavierEdit = nullptr;
    QWidget* ToolBar = nullptr;
    QToolButton* SaveBtn = nullptr;
    QToolButton* ModeBtn0 = nullptr;
    QToolButton* MajBtn = nullptr;
    QToolButton* ZeroBtn = nullptr;
    QToolButton* EnregistreBtn = nullptr;
    QToolButton* ResetBtn = nullptr;
    QToolButton* UndoBtn = nullptr;
    QToolButton* PrintBtn0 = nullptr;
    QToolButton* ExitBtn0 = nullptr;
    QMenu* SaveMenu = nullptr;
    QAction* KurvalisM = nullptr;
    QAction* ClipM = nullptr;
    QAction* FileM = nullptr;
    QAction* RapportM = nullptr;         // calibration report for a spreadsheet
    QTableWidget* BeerMesureGrid = nullptr;
    QTableWidget* beerCalcGrid = nullptr; // concentration, absorbance, "c ± u"
    // Fit, equation, R², standards, s, last unknown and warnings of the concentration
    // mode; its text is also its accessible description, for screen readers.
    QLabel* PanneauEtalonnage = nullptr;
    TZoneImage* Oscillo = nullptr;
    QStatusBar* BarreEtat = nullptr;
    TModeBeerDlg* ModeBeerDlg = nullptr;   // made on the first "Mode"

    // Commands.
    void EnregistreBtnClick();
    void ClavierEditKeyPress();             // Enter in the value field
    void UndoBtnClick();
    void ResetBtnClick();
    void AcquisitionItemClick();
    void MajBtnClick();
    void LambdaSEChange();
    void ZeroBtnClick();
    void ExitItemClick();
    void PrintBtnClick();
    void SaveBtnClick();
    void KurvalisMClick(QAction* item);
    void SauveFichier();
    void RapportMClick();
    void CopieDonnees(bool envoyer);

    void FormActivate();
    void FormClose();
    // A series that closing the window would offer to save.
    bool TravailNonSauve() const { return Serie.DemandeSauvegarde(); }
    void InitAttente() { Serie.InitAttente(); }
    void OscilloPaint();
    // Applies the series' control states without touching the value field.
    void AppliqueControles();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* objet, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // TVueBeer
    void Redessine() override { OscilloPaint(); }
    void AffichePoint(qint32 i) override;
    void AfficheInconnu(qint32 j) override;
    void MajControles() override;
    void FocusValeur() override;
    void VideValeur() override;
    void Avertit(const QString& texte) override;

    void Construit();
    void CopieVersGraphe();
    void EcritLigneMesure(int rang, const QString& x, const QString& y);
    // The calibration panel and the "c ± u" column, from the series as it stands.
    void AfficheEtalonnage();

    TAppareil& Appareil;
    TCanevasQt canevas_;
    TDestinations* destinations_ = nullptr;
    QWidget* droite_ = nullptr;
};

} // namespace kelvor
