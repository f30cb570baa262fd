#pragma once

#include "platform/portserie.h"

#include <QApplication>
#include <functional>
#include <memory>

namespace kelvor {

class TAboutBox;
class TChoixSpectroDlg;
class TConstanteDlg;
class TFormDDE;
class TSpectreMain;

// The program's permanent windows, made and wired in one place: the serial port, the
// main window and the dialogs and companion form it uses. Destroyed last-made first,
// without their close steps; the port outlives the main window, whose link talks to it
// until the end.
class TFenetresProgramme
{
public:
    TFenetresProgramme();
    ~TFenetresProgramme();
    TFenetresProgramme(const TFenetresProgramme&) = delete;
    TFenetresProgramme& operator=(const TFenetresProgramme&) = delete;

    TSpectreMain& Principale() { return *principale_; }

private:
    TPortSerie port_;
    std::unique_ptr<TSpectreMain> principale_;
    std::unique_ptr<TAboutBox> aPropos_;
    std::unique_ptr<TFormDDE> formDDE_;
    std::unique_ptr<TChoixSpectroDlg> choixSpectro_;
    std::unique_ptr<TConstanteDlg> constante_;
};

// The application object: the last resort for an exception that no handler took
// (ActionGardee stops them where user actions enter); reported in a box, after which
// the event loop goes on.
class TApplication : public QApplication
{
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// The program's title: its name for the desktop and the caption of its message boxes.
// Not a display name, which the platform would append to every window caption.
extern const QString TitreApplication;

// The life of the program once the application object and the dialogue boxes exist:
// the units' start-up steps, the title, the permanent windows in their order, the event
// loop until the main window closes, the windows destroyed last-created first without
// their close steps, then the units' exit steps (the settings are saved last).
// pret runs once the main window is shown, just before the loop.
int Programme(const std::function<void(TSpectreMain&)>& pret = {});

} // namespace kelvor
