#pragma once
// Small routines every window relies on: numbers typed by users, numbers written for
// display and for files, durations and times of day, round values, the data folder.

#include <QString>
#include <QtGlobal>
#include <array>
#include <limits>
#include <stdexcept>

namespace kelvor {

using IndiceVecteur = quint16;                  // 0..2048
constexpr IndiceVecteur MaxIndiceVecteur = 2048;
using Vecteur = std::array<double, 2049>;       // indexed 0..2048
using VecteurInt = std::array<qint32, 2049>;

// Conversion failure carrying its French message.
struct EConvertError : std::runtime_error
{
    explicit EConvertError(const QString& msg);
    QString message;
};

// The "no value" NaN (sign and top mantissa bit set); recognise it with std::isnan.
double PasDeValeur();

// General number format: precision p significant digits, exponent at least
// largeurExposant digits, the given decimal separator.
QString FormatGeneral(double x, int precision, int largeurExposant, QChar separateur);
// Decimal separator of the current locale, read at each call.
QChar SeparateurDecimal();
// Separator between hours and minutes in the current locale's long time format, read at
// each call; ":" when the format shows none.
QChar SeparateurHeureLocale();
// A count of seconds as hours, minutes and seconds, two digits each at least, joined by
// the locale's time separator ("01:02:03"); hours are not folded into days.
QString TexteHeures(qint64 secondes);

double StrToReel(const QString& s);             // NaN on failure, never throws
QString ReelToStrPoint(double x);               // 7 digits, always "."
QString ReelToStr3(double x);                   // 3 digits, locale separator
double SecondesToTemps(qint32 s);               // throws EConvertError outside 0..86399
qint32 SecondesDepuis(double instantDuJour);    // through the clock seam
void MinMaxVecteur(const Vecteur& v, quint16 n, double& mini, double& maxi);
void Ordonne(double& a, double& b);
qint32 PosApres(const QString& sub, const QString& texte, qint32 n);
void SupprimeBlancs(QString& s);
qint32 DureeToSecondes(const QString& s);
qint32 ValeurRonde(double x);
// Rounds to the nearest whole number, halves to the even neighbour.
qint64 ArrondiPair(double x);
QString AjouteAntislash(const QString& s);
// Path of a shell special folder (only CSIDL_PERSONAL = 5 is known here), ending with
// a separator; empty when the lookup fails.
QString DossierSpecial(qint32 csidl);

extern QString DossierDonnees;                  // data folder path, set by the start-up step
void InitDossierDonnees();                      // start-up step: computes and creates it
void LibereDossierDonnees();                    // exit step: clears it

} // namespace kelvor
