#pragma once
// What is said to the companion program Kurvalis, decided without any window:
// the orders and their macros, the way a spectrum is sent, the items the parameter
// dialog offers, and the reading of macros the companion sends back.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace kelvor {

// How the next spectrum goes to the companion program.
enum TmodeKurvalis { kFichier, kColonne, kPage };

// Orders carried out by TFormDDE::Execute.
enum Tenvoi { eAdd, eLoad, eFocus, eAddCol };

// The macro text of an order, as sent (8-bit).
QByteArray MacroEnvoi(Tenvoi ordre);

// Companion executable as read from the two registry places (the first that is not
// empty), or the bare "kurvalis.exe" left to the shell's search rules.
QString ApplicationKurvalis(const QString& cheminCle, const QString& cheminSousCle);

// Service name of an executable: file name without folder and extension, upper case.
// Both "/" and "\" count as folder separators so a Windows path read on Linux works.
QString NomService(const QString& application);

// Items of the "Envoyer comme" group for a mode, once the column permission was
// narrowed by the mode (see PermisColonne).
QStringList ItemsEnvoi(TmodeKurvalis mode, bool addColPermis);
// A column is only ever offered while files (or columns) are being sent.
bool PermisColonne(TmodeKurvalis mode, bool addColPermis);
// Mode after confirming the dialog with the given item selected.
TmodeKurvalis ModeApresOK(TmodeKurvalis mode, int item);
// Order for a spectrum sent in the given mode; a column uses the column block.
Tenvoi OrdreSpectre(TmodeKurvalis mode);
// Order for a kinetics or Beer-Lambert table: the second item adds a page.
Tenvoi OrdreTable(int item);

// Part of a macro line before its first "(" (the whole line when there is none).
QString NomCommande(const QString& ligne);

enum TActionMacro { amAucune, amFocus };
// What the program does with a macro the companion sent: only one-line macros count,
// and only FOCUS and GETDATA (any case) do something.
TActionMacro AnalyseMacro(const QStringList& lignes);

// Lines of a received macro, split as a list of lines reads a text: a final line
// break does not make an empty last line.
QStringList LignesMacro(const QByteArray& macro);

} // namespace kelvor
