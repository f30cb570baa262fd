#pragma once
// Where failures that a window lets out end, and the last question before quitting.

#include <QString>
#include <QStringList>
#include <functional>

namespace kelvor {

// Shows the message of an unhandled failure and undoes the wait appearance.
void RapporteErreur(const QString& message);

// Runs what a user action (a menu action, a button, a timer) asks for. A failure it
// lets out ends there: its message goes to rapport (RapporteErreur when none), so no
// exception ever unwinds through Qt's dispatch, which does not allow it.
void ActionGardee(const std::function<void()>& action,
                  const std::function<void(const QString&)>& rapport = {});

// Before the program ends with unsaved work (each named, e.g. "le spectre"): asks once,
// OK to quit, "Annuler" to stay. true when nothing is unsaved or the user confirms.
bool QuitterQuandMeme(const QStringList& nonSauves);

} // namespace kelvor
