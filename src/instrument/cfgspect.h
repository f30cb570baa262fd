#pragma once
// The instrument model: what is attached, the scan range, the latest raw readings, the
// baseline and the absorbance computed from them. It builds every command sent to the
// instrument and parses every reply; it does no serial input or output itself.

#include "util/labutil.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <array>

namespace kelvor {

class TIniFile;

// Instrument variant; stored in the settings file by ordinal.
enum TKelvor { k5100, k5105 };
// Measurement mode; also indexes the instrument's readings count.
enum Tmode { mSpectre, mCinetique, mBeer };
// What the serial link expects as the next reply line.
enum Tlecture { lBlanc, lObscurite, lLambda, lAbs, lConnect, lLigneBase, lSpectre, lNoReading, lNone };

// Lowest wavelength (nm) of each variant.
constexpr std::array<qint32, 2> LambdaMiniKelvor = {320, 198};
// Readings averaged per measurement ("Nombre de flash") in each mode.
constexpr std::array<qint32, 3> NombreLectures = {22, 10, 200};

// Valid scan steps (nm), port numbers, and the narrowest scan range (nm).
constexpr qint32 PasLambdaMini = 1;
constexpr qint32 PasLambdaMaxi = 10;
constexpr qint32 NumeroPortMaxi = 50;
constexpr qint32 EcartPlageMini = 30;

// Integer reply conversion: optional leading blanks, optional sign, decimal digits and
// nothing else, within 32 bits. Throws EConvertError with the French message otherwise.
qint32 EntierInstrument(const QByteArray& texte);

class Tspectro
{
public:
    double MiniAbs = -0.3;          // computed absorbances are raised to this
    double MaxiAbs = 2.5;           // ... and lowered to this
    qint32 MaxiLambda = 1000;       // nm, both variants
    qint32 DebutLambda = 0;         // nm, scan range start
    qint32 FinLambda = 0;           // nm, scan range end
    qint32 pasLambda = 2;           // nm, scan step
    quint16 ComNumberS = 1;         // serial port number
    TKelvor Kelvor = k5100;
    qint32 AbsIntCourante = 0;      // last raw sample intensity, 0 = none
    qint32 CourantBlanc = 0;        // blank intensity for the next absorbance, 0 = none
    qint32 CourantObscurite = 0;    // dark intensity, 0 = not measured yet
    qint32 LambdaCourante = 500;    // nm, last position reported
    double AbsCourante = 0;         // last absorbance, NaN = no value
    VecteurInt AbsBlanc{};          // baseline per nm, 0 = unknown
    qint32 NoReading = 0;           // readings count last confirmed
    QByteArray modelNumber;         // raw reply to "CONNECT", not persisted

    // Commands, without the carriage return the link appends.
    QByteArray getBlanc() const;
    QByteArray getAbs() const;
    QByteArray getObscurite() const;
    QByteArray GotoLambda(int lambda) const;
    QByteArray SetNumberReadings(Tmode mode) const;
    // Asks for one step beyond the range end and pulls FinLambda onto the last point.
    QByteArray Scan();

    // Integer replies: throw EConvertError and keep the field on a bad line.
    void SetBlanc(const QByteArray& chaineLue);
    void SetObscurite(const QByteArray& chaineLue);
    void SetNoReading(const QByteArray& chaineLue);
    void SetLambda(const QByteArray& chaineLue);
    // Never throw: a bad line yields no value (absorbance) or 500 nm / 0 (scan point).
    void SetAbsorbance(const QByteArray& chaineLue);
    void SetAbsLambdaInt(const QByteArray& chaineLue);

    // Absorbance of the current scan point against the baseline, filling baseline gaps.
    void SetAbsLambda();
    // Blank intensity at LambdaCourante; fills the gap around it linearly. 0 = unknown.
    qint32 InterpoleBlanc();
    // Lowest wavelength of the variant; a connected instrument's answer decides it.
    qint32 MiniLambda();
    bool IsNumberReadingsOK(Tmode mode) const;
    QString NomConstructeur() const;
    // Absorbance for display and files: three decimals, locale separator; "0" for no value.
    QString StrAbs(double valeur) const;

    // Settings file (section "IC5100" and the baseline). A file that cannot be read
    // gives the defaults; a save that fails (or would replace an unreadable file) is
    // reported through the dialogues, never silently lost.
    void lit();
    void ecrit();
    void lit(const TIniFile& ini);
    void ecrit(TIniFile& ini);
    // Brings a chosen range inside the variant's wavelengths, at least 30 nm wide.
    void BornePlage();

private:
    // -log10((I - dark) / (blank - dark)), clamped; NaN when undefined.
    void CalculeAbsorbance();
};

// The single instrument object. Created with the initial values on first use.
Tspectro& Spectro();
// Start-up step: a fresh instance loaded from the settings file.
void InitSpectro();
// Exit step: saves to the settings file and releases the instance.
void LibereSpectro();
// Replaces the instance by a fresh one without touching any file (tests).
Tspectro& NouveauSpectro();

} // namespace kelvor
