#pragma once
// Port and variant dialog behind the main window's "Config." action: the serial port on
// which the instrument is searched first, and the variant whose lowest wavelength bounds
// the range until a connected instrument reports its model.
//
// Use: Active() before showing (fills the port list), then Valide() once it is accepted.

#include "instrument/cfgspect.h"

#include <QDialog>
#include <QList>
#include <functional>

class QButtonGroup;
class QGridLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;

namespace kelvor {

class TChoixSpectroDlg : public QDialog
{
    Q_OBJECT

public:
    using TPortExiste = std::function<bool(qint32 n)>;
    using TCheminPort = std::function<QString(qint32 n)>;

    explicit TChoixSpectroDlg(QWidget* parent = nullptr);
    ~TChoixSpectroDlg() override;

    // Replaces the port probe and the device naming (tests, other platforms).
    void SetSonde(TPortExiste existe, TCheminPort chemin);

    // Refills the port list from the present ports and selects the stored port and variant.
    void Active();
    // Stores the chosen port (kept when the list is empty) and variant in Tspectro.
    void Valide();

    QGroupBox* Comports = nullptr;
    QGroupBox* KelvorRG = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    // Port number of each item of Comports, by position.
    QList<quint8> numero;

    // Items of Comports in order, and the variant buttons in the order of TKelvor.
    QList<QRadioButton*> ItemsPorts() const;
    QRadioButton* ItemKelvor(TKelvor k) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TPortExiste existe_;
    TCheminPort chemin_;
    QGridLayout* grillePorts_ = nullptr;
    QButtonGroup* groupePorts_ = nullptr;
    QButtonGroup* groupeKelvor_ = nullptr;
};

// The dialog the program created at start-up, or nullptr.
extern TChoixSpectroDlg* ChoixSpectroDlg;

} // namespace kelvor
