#pragma once
// The plotting engine of the three measurement windows: two axes with automatic
// graduation, the mapping from world values to pixels, the points or the
// wavelength-coloured spectrum, time markers, a cross cursor moved by inversion, printing.

#include "graph/canevas.h"
#include "util/labutil.h"

#include <QString>

#include <stdexcept>
#include <vector>

namespace kelvor {

// A value that cannot be mapped or graduated (infinite, out of range, empty axis range).
struct EErreurCalcul : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// One axis: world range, map to pixels, tick spacing and tick labels.
class Tmonde
{
public:
    double mini = 0;
    double maxi = 255;
    double a = 1;            // pixels per world unit, negative on the vertical axis
    double b = 0;
    bool zeroInclus = true;
    bool avecAxe = false;
    bool grandAxe = false;   // room for up to 10 intervals instead of 5
    QString nom;
    QString unite;
    QString formatDuree;
    double arrondi = 0;      // seconds, granularity of duration labels
    bool isDate = false;     // labels are durations hh:mm:ss
    double deltaAxe = 0;
    double pointDebut = 0;
    QString signif;

    // Throws EErreurCalcul when maxi <= mini.
    void setDelta();
    void setDeltaDateTime();
    // NaN gives -1 (not to be drawn); throws EErreurCalcul when the pixel does not fit.
    void affecteEntier(double r, qint32& i) const;
    QString FormatAxe(double x) const;
};

// Narrows debut..fin to the whole values that lie within mini..maxi (the wavelengths a
// zoomed axis shows); debut > fin when none does.
void EntiersDans(double mini, double maxi, qint32& debut, qint32& fin);

enum Ttrace { tLigne, tSpectre, tPoint, tCinet };

// Where a graph is drawn: a canvas and the window rectangle on it.
struct TSurface
{
    TCanevas& canevas;
    TRectangle fenetre;
};

class Trepere
{
public:
    double Valeur = 0;
    QString Text; // written at the top of the marker's line and by the file writers
};

class Tgraphe
{
public:
    Tgraphe();

    Vecteur valeurY{};
    Vecteur valeurX{};
    Ttrace Trace = tSpectre;
    qint32 NbrePoints = 0;
    qint32 NbreCourbe = 0;
    Tmonde mondeX;
    Tmonde mondeY;
    TRectangle LimiteCourbe;   // plot area of the last Draw
    qint32 LargCarac = 0;
    qint32 HautCarac = 0;
    qint32 Marge = 0;
    bool quadrillage = true;
    qint32 Xcroix = 0;
    qint32 Ycroix = 0;
    std::vector<Trepere> ListeRepere;

    // Repaints everything in the surface's window and lays the axes out for it (the
    // mapping WindowXY uses); throws EErreurCalcul when an axis has maxi <= mini.
    void Draw(const TSurface& surface);
    void WindowXY(double xr, double yr, qint32& xi, qint32& yi) const;
    void MondeXY(qint32 xi, qint32 yi, double& xr, double& yr) const;
    void SetMonde(double minX, double minY, double maxX, double maxY);
    void TracePointCinet(TCanevas& c, IndiceVecteur i) const;
    void TracePointCalc(TCanevas& c, double x, double y) const;
    // Font size for a character cell of H pixels; sets the cell measures.
    void SetHauteurFonte(TCanevas& c, qint32 H);
    double MaxiY() const;
    double MaxiX() const;
    // The cross at (Xcroix, Ycroix), drawn by inversion: twice leaves no trace.
    void TraceCroix(TCanevas& c) const;
    void AfficheCroix(TCanevas& c, double x, double y);
    void TraceRepere(TCanevas& c, const Trepere& repere) const;
    // Adds a marker to the list (drawn by the next Draw, or now with TraceRepere).
    void AjouteRepere(double V, const QString& T);
    void Reset();
    // Asks "Impression ?" and prints on one landscape page of the installed printer.
    void Imprime();
    static void penDefault(TCanevas& c);

private:
    void DrawAxis(const TSurface& surface);
    void DrawAxeX(const TSurface& surface);
    void DrawAxeY(const TSurface& surface);
    void DrawPoints(TCanevas& c) const;
    void DrawSpectre(TCanevas& c) const;
};

} // namespace kelvor
