#pragma once
// Several spectra on the same axes: the current one (the last scan, or a file opened in
// its place), drawn in the colours of its wavelengths, and up to seven others kept from
// earlier scans or added from files, each in its own colour and dash. Any of them can be
// hidden or removed; the legend lists them.

#include "util/labutil.h"

#include <QColor>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>

namespace kelvor {

struct TCourbeSpectre
{
    QString nom;
    Vecteur y{};                // by wavelength, NaN where there is no value
    qint32 debut = 0;
    qint32 fin = 0;
    bool courant = false;       // drawn in the wavelength colours, solid
    QColor couleur;             // kept or added spectra: from the palette
    Qt::PenStyle tirets = Qt::SolidLine;
    bool visible = true;
};

// "Spectre 14:03:27", the time with the locale's separator.
QString NomSpectreHeure(const QTime& heure);

class TSuperposition
{
public:
    static constexpr qsizetype NbreMaxi = 8;    // the current spectrum included

    const QList<TCourbeSpectre>& Courbes() const { return courbes_; }

    // Sets or replaces the current spectrum; it is always entry 0 and is never refused,
    // since its place is kept free.
    void DefinitCourant(const QString& nom, const Vecteur& y, qint32 debut, qint32 fin);
    // Copies the current spectrum beside the others ("Garder"). False with a French
    // message when there is none, it was kept already, or the graph is full.
    bool Garde(QString* erreur = nullptr);
    // The current spectrum is there and can still be kept.
    bool Gardable() const { return AvecCourant() && !courantGarde_ && Place(nullptr); }
    // Adds a spectrum beside the others (opened from a file). False with a French
    // message when the graph is full.
    bool Ajoute(const QString& nom, const Vecteur& y, qint32 debut, qint32 fin,
                QString* erreur = nullptr);
    // Entry i; an index outside the list changes nothing.
    void DefinitVisible(qsizetype i, bool visible);
    void Retire(qsizetype i);

    // One line per spectrum in the list's order, " (masqué)" after a hidden one.
    QString TexteLegende() const;
    // The spectra shown, in the list's order (the spreadsheet export takes these).
    QList<TCourbeSpectre> Visibles() const;

private:
    bool AvecCourant() const;
    bool Place(QString* erreur) const;
    void AjouteAutre(TCourbeSpectre c);

    QList<TCourbeSpectre> courbes_;
    bool courantGarde_ = false;
};

} // namespace kelvor
