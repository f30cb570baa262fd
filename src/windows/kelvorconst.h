#pragma once
// The parameter dialog shown before data go to the companion program: how they are
// sent (new file, page or column) and an optional parameter and comment that travel
// with them. Made once and kept, so what was typed is sent again until changed.

#include "exchange/kurvalis.h"
#include "exchange/textes.h"

#include <QDialog>
#include <QList>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QVBoxLayout;

namespace kelvor {

class TConstanteDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TConstanteDlg(QWidget* parent = nullptr);

    TmodeKurvalis modeKurvalis = kFichier;
    bool AddColPermis = false;      // set by the spectrum window before each showing
    bool avecConstante = false;     // set on OK
    double valeurConst = 0;         // set on OK; no value when the text is not a number

    QLineEdit* NomConstEdit = nullptr;
    QLineEdit* UniteConstEdit = nullptr;
    QLineEdit* ValeurConstEdit = nullptr;
    QLineEdit* SignifConstEdit = nullptr;
    QLineEdit* CommEdit = nullptr;
    QGroupBox* NewPageCB = nullptr;  // "Envoyer comme"
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

    // The "Envoyer comme" radio group: captions and the selected item (-1 for none).
    QStringList Items() const;
    int ItemIndex() const;
    void SetItemIndex(int index);

    void FormCreate();
    // Offers the column only when it is allowed and fits the current mode.
    void FormActivate();
    void OKBtnClick();
    // Adjusts the items and shows the dialog modally through the dialogue seam; true
    // when confirmed with OK (the choice and the parameter are then recorded).
    bool Montre();

    // What the writers read: the flag of the last confirmation, the texts of now.
    TValeursConstante Valeurs() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The way of sending the items stand for: a column only while it is allowed.
    TmodeKurvalis ModeOffert() const;
    void Enregistre();
    // Centred on the screen rather than on the main window, at every showing.
    void CentreEcran();
    void AjouteItem(const QString& texte);
    void RetireDernierItem();

    QVBoxLayout* itemsLayout_ = nullptr;
    QButtonGroup* itemsGroupe_ = nullptr;
    QList<QRadioButton*> items_;
    bool enregistre_ = false;
};

} // namespace kelvor
