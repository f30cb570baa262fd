#pragma once
// Port and variant dialog behind the main window's "Config." action: the serial port on
// which the instrument is searched first, and the variant whose lowest wavelength bounds
// the range until a connected instrument reports its model.
//
// Use: Active() before showing (fills the port list), then Valide() once it is accepted.

#include "instrument/cfgspect.h"
#include "platform/accesport.h"

#include <QDialog>
#include <QList>
#include <functional>

class QButtonGroup;
class QFileSystemWatcher;
class QLabel;
class QTimer;
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

    // Replaces the port probe and the device naming (tests, other platforms).
    void SetSonde(TPortExiste existe, TCheminPort chemin);
    // Replaces how a present port's access is told (free, busy, refused).
    using TAccesSonde = std::function<TAccesPort(qint32 n)>;
    void SetAcces(TAccesSonde acces);

    // Refills the port list from the present ports and selects the stored port and variant.
    void Active();
    // Stores the chosen port (kept when the list is empty) and variant in Tspectro.
    void Valide();

    QGroupBox* Comports = nullptr;
    QGroupBox* KelvorRG = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    // What to do when no port is present, the stored port is missing or access is refused.
    QLabel* NoteLabel = nullptr;
    // Port number of each item of Comports, by position.
    QList<quint8> numero;

    // Items of Comports in order, and the variant buttons in the order of TKelvor.
    QList<QRadioButton*> ItemsPorts() const;
    QRadioButton* ItemKelvor(TKelvor k) const;

    // While shown: the port list again, keeping the choices made in the dialog (a USB
    // adapter was plugged in or removed).
    void Reliste();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void ConstruitNote();
    // Each port's device and access beside it, and the note under the list.
    void MontreAcces();
    // The folders that hold the ports' devices, watched while the dialog is shown.
    void SurveillePeripheriques(bool actif);

    TPortExiste existe_;
    TCheminPort chemin_;
    QGridLayout* grillePorts_ = nullptr;
    QButtonGroup* groupePorts_ = nullptr;
    QButtonGroup* groupeKelvor_ = nullptr;
    TAccesSonde acces_;
    QFileSystemWatcher* surveillance_ = nullptr;
    QTimer* relisteDiffere_ = nullptr;
};

} // namespace kelvor
