#pragma once

#include <QApplication>
#include <functional>

namespace kelvor {

class TSpectreMain;

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
