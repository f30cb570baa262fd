#pragma once
// The shell's "open": a program by path (or bare name, found on the search path), or a
// web page in the user's browser.

#include <QString>
#include <functional>

namespace kelvor {

// Starts the program detached; true when it was started.
bool OuvreProgramme(const QString& chemin);
// Opens the address in the default browser; true when the request was accepted.
bool OuvrePage(const QString& adresse);

// Replaces how OuvrePage opens an address (tests); an empty function restores the
// desktop's.
using TOuvreurPage = std::function<bool(const QString& adresse)>;
void SetOuvreurPage(TOuvreurPage ouvreur);

} // namespace kelvor
