#pragma once
// The program's own spectrum file: three heading lines, then one line per measured
// wavelength (wavelength, tab, absorbance with three decimals and the locale
// separator). Windows-1252, CR LF.

#include "exchange/textes.h"

namespace kelvor {

// Lines of the file for the wavelengths debut..fin that hold a value.
QStringList LignesSpectre(const QString& dateHeure, const Vecteur& y, qint32 debut, qint32 fin);

// Writes the file; false with the system's message in erreur when it cannot be written
// (an existing file is then left as it was).
bool EcritSpectre(const QString& nom, const QString& dateHeure, const Vecteur& y, qint32 debut,
                  qint32 fin, QString* erreur = nullptr);

// A spectrum read back: the values by wavelength and the range from the first to the
// last measured wavelength within mini..maxi.
struct TSpectreLu
{
    Vecteur y;
    qint32 debut = 0;
    qint32 fin = 0;
};

// Reads the bytes of a spectrum file into a copy of y: mini..maxi start without value,
// the three heading lines are skipped whatever they hold, each "wavelength<tab>value"
// line stores its value (no value when it does not convert; "." and "," both read);
// lines without a tab, with a wavelength that is not an integer or lies outside
// 0..2048 are skipped.
TSpectreLu AnalyseSpectre(const QByteArray& contenu, const Vecteur& y, qint32 mini, qint32 maxi);

// A spectrum file holds at most 2049 short lines; past this size it is no spectrum file
// and is not read further.
inline constexpr qint64 TailleMaxFichierSpectre = 1024 * 1024;

// Text as the spectrum file is: no control byte but tab, line feed and carriage return.
bool EstTexte(const QByteArray& contenu);

// Reads a spectrum file. When it cannot be opened, is larger than TailleMaxFichierSpectre
// or is not text, returns false with a message (the system's when it cannot be opened)
// and leaves lu untouched; at most TailleMaxFichierSpectre + 1 bytes are read.
bool LitSpectre(const QString& nom, const Vecteur& y, qint32 mini, qint32 maxi, TSpectreLu& lu,
                QString* erreur = nullptr);

} // namespace kelvor
