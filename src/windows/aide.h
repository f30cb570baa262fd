#pragma once
// The user guide: where its pages are, and the "Aide" action (F1) of each window, which
// opens the window's own page through the desktop shell.

#include <QString>

class QAction;
class QWidget;

namespace kelvor {

// Folder of the guide's HTML pages: the installed copy beside the program, else the one
// built with it; empty when neither exists.
QString DossierGuide();
// Address of a page of the guide ("cinetique" names cinetique.html); empty when the
// page cannot be found.
QString PageGuide(const QString& page);
// Opens the page in the browser; says so in a box when it is missing or cannot be opened.
void OuvreGuide(const QString& page);
// Adds to the window an "Aide" action on F1 that opens the page; returns it so that a
// tool bar can show it too.
QAction* AjouteAide(QWidget* fenetre, const QString& page);

} // namespace kelvor
