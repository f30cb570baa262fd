#pragma once
// The Beer-Lambert mode dialog: the acquisition mode and what goes with it (the largest
// expected concentration, or the symbol, unit, meaning and range of the user's own
// quantity), and the fit of the calibration line. It reads and writes the one Beer-Lambert series; the rules are the series'.

#include "mesure/beer.h"

#include <QDialog>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace kelvor {

class TModeBeerDlg : public QDialog
{
    Q_OBJECT

public:
    explicit TModeBeerDlg(TSerieBeer& serie, QWidget* parent = nullptr);

    QGroupBox* ModeAcqRG = nullptr;     // "Mode d'acquisition"
    QButtonGroup* ModeAcqGroupe = nullptr;
    QStackedWidget* Pages = nullptr;
    QPlainTextEdit* MemoBeer = nullptr;
    QLineEdit* EditMaxBeer = nullptr;
    QComboBox* AjustementCB = nullptr;  // fit, in the order of TAjustement
    QLineEdit* EditNom = nullptr;
    QLineEdit* EditUnite = nullptr;
    QLineEdit* EditMin = nullptr;
    QLineEdit* EditMax = nullptr;
    QLineEdit* EditSignif = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    int ItemIndex() const;
    void SetItemIndex(int index);

    // Fills the fields from the series (each time the dialog is shown).
    void FormActivate();
    void ModeAcqRGClick();
    // Applies the choice to the series and closes with the OK result.
    void OKBtnClick();
    // The choice as the fields hold it.
    TChampsModeBeer Choix() const;
    // Fills, shows modally through the dialogue seam, applies on OK; true when confirmed.
    bool Montre();

private:
    TSerieBeer& serie_;
    bool applique_ = false;
};

} // namespace kelvor
