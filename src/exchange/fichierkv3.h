#pragma once
// The companion program's own data file (.kv3): header and definition blocks, then
// one page of values. Written only, never read back. Lines go out through
// OctetsFichier / EcritFichierLignes (Windows-1252, CR LF after every line).

#include "exchange/textes.h"

namespace kelvor {

// The save dialog shared by the kinetics and Beer-Lambert windows.
extern const QString TitreSauvegardeDonnees;    // "Sauvegarde données"
extern const QString FiltreSauvegardeDonnees;   // .kv3 first, then .txt
extern const QString ExtensionKV3;              // "KV3", added to a bare name

// Asks for the file through the dialogue seam; empty when cancelled.
QString ChoisitFichierDonnees(const QString& nomPropose = {});
// True when the name ends in .kv3 in any letter case: the companion layout.
// Any other name gets the tab-separated text layout.
bool EstNomKV3(const QString& nom);

// Number of a kinetics file: 7 digits, exponent of two digits at least, locale separator.
QString NombreKV3(double x);

// Kinetics file: head (header, variables, parameter definitions, acquiring program)...
QStringList EnteteKV3Cinetique(const QString& executable, const TValeursConstante& c);
// ...then the page (comment, values, parameter value, markers). An empty comment is
// replaced by one naming the instrument and the date.
QStringList PageKV3Cinetique(const TValeursConstante& c, const QString& instrument,
                             const QString& dateHeure, const Vecteur& x, const Vecteur& y,
                             qint32 n, const ListeReperes& reperes);

// Beer-Lambert file, numbers always with a full stop.
QStringList FichierKV3Beer(const QString& executable, const QString& dateHeure,
                           const TVariable& abscisse, const TVariable& ordonnee,
                           const Vecteur& x, const Vecteur& y, qint32 n);

} // namespace kelvor
