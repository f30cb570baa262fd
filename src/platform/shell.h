#pragma once
// The shell's "open": a program by path (or bare name, found on the search path), or a
// web page in the user's browser.

#include <QString>

namespace kelvor {

// Starts the program detached; true when it was started.
bool OuvreProgramme(const QString& chemin);
// Opens the address in the default browser; true when the request was accepted.
bool OuvrePage(const QString& adresse);

} // namespace kelvor
