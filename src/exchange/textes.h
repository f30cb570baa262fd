#pragma once
// Tab-separated text blocks and text files handed to the companion program or to the
// user, built as lists of lines from plain data so every layout is checked headless.
// A block becomes text with TexteBloc (clipboard) or OctetsFichier (file bytes).

#include "util/labutil.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace kelvor {

// A time marker as the writers need it (the graph's markers carry the same two fields).
struct TRepereTexte
{
    double Valeur = 0;  // seconds since the start of the run
    QString Text;
};
using ListeReperes = QList<TRepereTexte>;

// The parameter dialog's contents as the writers read them: the flag set on its last
// confirmation and the texts its edits hold now.
struct TValeursConstante
{
    bool avecConstante = false;
    QString NomConst;
    QString UniteConst;
    QString ValeurConst;
    QString SignifConst;
    QString Commentaire;
};

// One variable of a table: symbol, unit, meaning.
struct TVariable
{
    QString nom;
    QString unite;
    QString signif;
};

// Date (locale's short format), one blank, time as hours, minutes and seconds joined
// by the locale's time separator. Read from QLocale() at each call.
QString DateHeureTexte(const QDateTime& instant);
QString DateHeureCourante();

// Absorbance of a spectrum line, as Tspectro::StrAbs writes it (three decimals,
// locale separator).
QString AbsSpectre(double a);

// A text typed or pasted by the user as it may enter a line of a block or a file:
// CR, LF and tab each become a space, so it can neither split its line nor add a column.
QString UneLigne(QString texte);

// Lines joined with CR LF after each one, the last included.
QString TexteBloc(const QStringList& lignes);
// The same as Windows-1252 bytes, for files.
QByteArray OctetsFichier(const QStringList& lignes);
// Writes the lines as a file. The old file is only replaced once every byte is
// written, so a failed write loses nothing; erreur then holds the system's message.
bool EcritFichierLignes(const QString& nom, const QStringList& lignes, QString* erreur = nullptr);
// Writes bytes as they are, the same way.
bool EcritFichierOctets(const QString& nom, const QByteArray& octets, QString* erreur = nullptr);

// Empty line, symbol, unit, value: appended when the parameter goes with the data.
void AjouteConst(QStringList& donnees, const TValeursConstante& c);

// Kinetics clipboard block.
QStringList BlocCinetique(const QString& executable, const QString& dateHeure,
                          const TValeursConstante& c, const Vecteur& x, const Vecteur& y,
                          qint32 n, const ListeReperes& reperes);

// Full spectrum block: the wavelengths debut..fin that hold a value.
QStringList BlocSpectre(const QString& executable, const QString& dateHeure,
                        const TValeursConstante& c, const Vecteur& y, qint32 debut, qint32 fin);

// Column block added next to an earlier spectrum of the same grid; numero is the
// column's number (2 for the first column added).
QStringList BlocColonne(qint32 numero, const QString& commentaire, const Vecteur& y,
                        qint32 debut, qint32 fin);

// Kinetics text file, head then page.
QStringList EnteteTexteCinetique(const QString& instrument);
QStringList PageTexteCinetique(const TValeursConstante& c, const Vecteur& x, const Vecteur& y,
                               qint32 n, const ListeReperes& reperes);

// Beer-Lambert text file.
QStringList TexteBeer(const QString& dateHeure, const TVariable& abscisse,
                      const TVariable& ordonnee, const Vecteur& x, const Vecteur& y, qint32 n);

} // namespace kelvor
