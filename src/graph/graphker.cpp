#include "graph/graphker.h"

#include "graph/imprimante.h"
#include "instrument/cfgspect.h"
#include "util/chromato.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

// The steps as 64-bit reals: 0.1 and 0.2 lie a little above their decimal values, which
// the extended-precision quotient below can see.
constexpr double PasCandidats[] = {0.1, 0.2, 0.5, 1, 2, 5};

long double PuissanceDix(int e)
{
    long double p = 1;
    for (int k = 0; k < std::abs(e); ++k)
        p *= 10;
    return e < 0 ? 1 / p : p;
}

QString TitreAxe(const Tmonde& m)
{
    return m.unite.isEmpty() ? m.nom : m.nom + '(' + m.unite + ')';
}

// Next tick in single precision, as the graduation has always accumulated it.
float TickSuivant(float tick, double delta)
{
    return static_cast<float>(static_cast<double>(tick) + delta);
}

} // namespace

// ---------------------------------------------------------------------------------- Tmonde

void Tmonde::setDelta()
{
    const double r = maxi - mini;
    if (!(r > 0) || !std::isfinite(r))
        throw EErreurCalcul("Intervalle d'axe incorrect");
    const int e = static_cast<int>(std::floor(std::log10(r)));
    // Dividing by an exact power of ten keeps n = 1 for r = 100 (multiplying by 0.01 would
    // not); beyond 1e27 the power is inexact but n stays within [1, 10) all the same.
    const double n = e >= 0 ? static_cast<double>(r / PuissanceDix(e))
                            : static_cast<double>(r * PuissanceDix(-e));
    const long double seuil = grandAxe ? 10 : 5;
    std::size_t k = 0;
    constexpr std::size_t dernier = std::size(PasCandidats) - 1;
    while (k < dernier
           && static_cast<long double>(n) / static_cast<long double>(PasCandidats[k]) >= seuil)
        ++k;
    deltaAxe = static_cast<double>(PuissanceDix(e) * static_cast<long double>(PasCandidats[k]));
    pointDebut = std::ceil(mini / deltaAxe) * deltaAxe;
    if (pointDebut == 0)
        pointDebut = 0; // no "-0" label
}

void Tmonde::setDeltaDateTime()
{
    isDate = unite == QLatin1String("s") && maxi > 120;
    if (!isDate)
        return;
    formatDuree = QStringLiteral("hh:mm:ss");
    if (maxi > 3600) {
        deltaAxe = std::ceil(maxi / 6 / 900) * 900;
        arrondi = 60;
    } else if (maxi > 900) {
        deltaAxe = std::ceil(maxi / 6 / 60) * 60;
        arrondi = 10;
    } else {
        deltaAxe = std::ceil(maxi / 60) * 10;
        arrondi = 1;
    }
    pointDebut = 0;
}

void Tmonde::affecteEntier(double r, qint32& i) const
{
    if (std::isnan(r)) {
        i = -1;
        return;
    }
    const double v = std::nearbyint(r * a + b); // the default rounding: halves to even
    // The 64-bit range is [-2^63, 2^63); its upper bound is exactly representable.
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0))
        throw EErreurCalcul("Position hors limites");
    i = static_cast<qint32>(static_cast<quint32>(static_cast<quint64>(static_cast<qint64>(v))));
}

QString Tmonde::FormatAxe(double x) const
{
    if (!isDate)
        return FormatGeneral(x, 3, 1, SeparateurDecimal());
    const double pas = arrondi > 0 ? arrondi : 1;
    const qint64 secondes = ArrondiPair(ArrondiPair(x / pas) * pas);
    const qint64 jour = ((secondes % 86400) + 86400) % 86400;
    return TexteHeures(jour);
}

void EntiersDans(double mini, double maxi, qint32& debut, qint32& fin)
{
    // Far beyond any wavelength: keeps the conversions defined for any axis.
    constexpr double Borne = 1e9;
    if (!(mini <= maxi)) {
        fin = debut - 1;
        return;
    }
    debut = std::max(debut, static_cast<qint32>(std::ceil(std::clamp(mini, -Borne, Borne))));
    fin = std::min(fin, static_cast<qint32>(std::floor(std::clamp(maxi, -Borne, Borne))));
}

// --------------------------------------------------------------------------------- Tgraphe

Tgraphe::Tgraphe() = default;

void Tgraphe::WindowXY(double xr, double yr, qint32& xi, qint32& yi) const
{
    try {
        mondeX.affecteEntier(xr, xi);
        mondeY.affecteEntier(yr, yi);
    } catch (const EErreurCalcul&) {
        xi = -1;
        yi = -1;
    }
}

void Tgraphe::MondeXY(qint32 xi, qint32 yi, double& xr, double& yr) const
{
    xr = (xi - mondeX.b) / mondeX.a;
    yr = (yi - mondeY.b) / mondeY.a;
}

void Tgraphe::SetMonde(double minX, double minY, double maxX, double maxY)
{
    mondeX.mini = minX;
    mondeY.mini = minY;
    mondeX.maxi = maxX;
    mondeY.maxi = maxY;
}

void Tgraphe::penDefault(TCanevas& c)
{
    c.Pen.Mode = pmCopy;
    c.Pen.Color = clBlack;
    c.Pen.Width = 1;
    c.Brush.Style = bsClear;
}

void Tgraphe::SetHauteurFonte(TCanevas& c, qint32 H)
{
    qint32 p = H * 72 / c.PixelsPerInch();
    p = p / 2 * 2;
    p = std::clamp<qint32>(p, 10, 18);
    c.Font.Size = p;
    // Measured before the name changes, as the cell always has been.
    HautCarac = c.TextHeight(QStringLiteral("A"));
    Marge = HautCarac / 3;
    LargCarac = c.TextWidth(QStringLiteral("A"));
    c.Font.Name = QStringLiteral("Calibri");
}

void Tgraphe::Draw(const TSurface& surface)
{
    TCanevas& c = surface.canevas;
    const TRectangle& fenetre = surface.fenetre;
    // Checked first so a bad range leaves no half-drawn picture behind.
    if (!(mondeX.maxi > mondeX.mini) || !(mondeY.maxi > mondeY.mini))
        throw EErreurCalcul("Intervalle d'axe incorrect");
    c.Brush.Style = bsSolid;
    c.Brush.Color = clWhite;
    c.FillRect(fenetre);
    penDefault(c);
    c.Font.Color = clBlack;
    SetHauteurFonte(c, (fenetre.Bottom - fenetre.Top) / 30);

    const qint32 W = fenetre.Right - fenetre.Left;
    const qint32 H = fenetre.Bottom - fenetre.Top;
    mondeY.avecAxe = H > (25 * HautCarac) / 4;
    mondeX.avecAxe = W > 20 * LargCarac;
    mondeY.grandAxe = H > (50 * HautCarac) / 4;
    mondeX.grandAxe = W > 40 * LargCarac;

    LimiteCourbe = {fenetre.Left + Marge, fenetre.Top + Marge,
                    fenetre.Right - Marge, fenetre.Bottom - Marge};
    if (mondeY.avecAxe)
        LimiteCourbe.Left += 4 * LargCarac;
    if (mondeX.avecAxe)
        LimiteCourbe.Bottom -= HautCarac;

    mondeX.a = (LimiteCourbe.Right - LimiteCourbe.Left) / (mondeX.maxi - mondeX.mini);
    mondeX.b = LimiteCourbe.Left - mondeX.mini * mondeX.a;
    mondeX.setDelta();
    mondeX.setDeltaDateTime();

    mondeY.a = (LimiteCourbe.Top - LimiteCourbe.Bottom) / (mondeY.maxi - mondeY.mini);
    mondeY.b = LimiteCourbe.Bottom - mondeY.mini * mondeY.a;
    mondeY.setDelta();
    mondeY.isDate = false;

    DrawAxis(surface);
    if (Trace == tCinet)
        DrawPoints(c);
    else
        DrawSpectre(c);
    for (const Trepere& r : ListeRepere)
        TraceRepere(c, r);
    if (Trace == tSpectre) {
        // The cross rests at 600 nm, or in the middle of a view zoomed away from it.
        const double repos = mondeX.mini <= 600 && 600 <= mondeX.maxi ? 600 : (mondeX.mini + mondeX.maxi) / 2;
        WindowXY(repos, 0, Xcroix, Ycroix);
        TraceCroix(c);
    }
}

void Tgraphe::DrawAxis(const TSurface& surface)
{
    surface.canevas.Font.Color = clBlack;
    DrawAxeX(surface);
    DrawAxeY(surface);
}

void Tgraphe::DrawAxeX(const TSurface& surface)
{
    TCanevas& c = surface.canevas;
    const TRectangle& fenetre = surface.fenetre;
    const qint32 M = Marge;
    const qint32 bas = LimiteCourbe.Bottom;
    qint32 xi, yi;
    WindowXY(0, 0, xi, yi);
    const bool zeroVisible = LimiteCourbe.Left < xi && xi < LimiteCourbe.Right;
    if (!mondeX.avecAxe) {
        if (zeroVisible) {
            c.MoveTo(xi, bas);
            c.LineTo(xi, LimiteCourbe.Top);
        }
        return;
    }
    float tick = static_cast<float>(mondeX.pointDebut);
    if (zeroVisible) {
        c.Pen.Style = psDot;
        c.MoveTo(xi, bas);
        c.LineTo(xi, LimiteCourbe.Top);
        c.Pen.Style = psSolid;
    }
    const QString titre = TitreAxe(mondeX);
    const qint32 x0 = fenetre.Right - c.TextWidth(titre);
    c.TextOut(x0, bas + M, titre);
    const qint32 limite = std::min(x0, fenetre.Right - 2 * LargCarac);

    c.MoveTo(fenetre.Left, bas);
    c.LineTo(LimiteCourbe.Right, bas);
    c.MoveTo(LimiteCourbe.Right - 3 * M, bas + M);
    c.LineTo(LimiteCourbe.Right, bas);
    c.MoveTo(LimiteCourbe.Right - 3 * M, bas - M);
    c.LineTo(LimiteCourbe.Right, bas);

    if (quadrillage)
        c.Pen.Style = psDot;
    const double proche = (mondeX.maxi - mondeX.mini) / 100;
    do {
        WindowXY(tick, mondeY.mini, xi, yi);
        if (LimiteCourbe.Left < xi && xi < LimiteCourbe.Right) {
            if (quadrillage) {
                c.MoveTo(xi, LimiteCourbe.Top);
                c.LineTo(xi, LimiteCourbe.Bottom);
            } else {
                c.MoveTo(xi, bas);
                c.LineTo(xi, bas + M);
            }
            if (LimiteCourbe.Left + M < xi && xi < limite) {
                // Restarting from an exact zero also drops the error the sum has gathered.
                if (std::fabs(tick) < proche)
                    tick = 0;
                // The whole label, not only its start, stays clear of the title.
                const QString texte = mondeX.FormatAxe(tick);
                if (xi + c.TextWidth(texte) < limite)
                    c.TextOut(xi, bas + M, texte);
            }
        }
        const float suivant = TickSuivant(tick, mondeX.deltaAxe);
        if (!(suivant > tick))
            break; // the step is lost in single precision: no further tick can be reached
        tick = suivant;
    } while (tick < mondeX.maxi);
    c.Pen.Style = psSolid;
}

void Tgraphe::DrawAxeY(const TSurface& surface)
{
    TCanevas& c = surface.canevas;
    const TRectangle& fenetre = surface.fenetre;
    const qint32 M = Marge;
    const qint32 gauche = LimiteCourbe.Left;
    const qint32 bas = LimiteCourbe.Bottom;
    qint32 xi, yi;
    WindowXY(0, 0, xi, yi);
    const bool zeroVisible = LimiteCourbe.Top < yi && yi < LimiteCourbe.Bottom;
    if (!mondeY.avecAxe) {
        if (zeroVisible) {
            c.MoveTo(LimiteCourbe.Left, yi);
            c.LineTo(LimiteCourbe.Right, yi);
        }
        return;
    }
    float tick = static_cast<float>(mondeY.pointDebut);
    if (zeroVisible) {
        c.Pen.Style = psDot;
        c.MoveTo(LimiteCourbe.Left, yi);
        c.LineTo(LimiteCourbe.Right, yi);
        c.Pen.Style = psSolid;
    }
    c.MoveTo(gauche, bas);
    c.LineTo(gauche, LimiteCourbe.Top - M);
    c.MoveTo(gauche - M, LimiteCourbe.Top + 2 * M);
    c.LineTo(gauche, LimiteCourbe.Top - M);
    c.MoveTo(gauche + M, LimiteCourbe.Top + 2 * M);
    c.LineTo(gauche, LimiteCourbe.Top - M);
    c.TextOut(fenetre.Left + M, fenetre.Top, TitreAxe(mondeY));

    if (quadrillage)
        c.Pen.Style = psDot;
    const double proche = (mondeY.maxi - mondeY.mini) / 1000;
    do {
        WindowXY(mondeX.mini, tick, xi, yi);
        if (LimiteCourbe.Top < yi && yi < LimiteCourbe.Bottom) {
            if (quadrillage) {
                c.MoveTo(LimiteCourbe.Left, yi);
                c.LineTo(LimiteCourbe.Right, yi);
            } else {
                c.MoveTo(gauche, yi);
                c.LineTo(gauche + M, yi);
            }
            if (LimiteCourbe.Top + M < yi && yi < LimiteCourbe.Bottom - M) {
                if (std::fabs(tick) < proche)
                    tick = 0;
                // A label would overwrite the title written in the same column above it.
                const qint32 haut = yi - HautCarac / 2;
                if (haut >= fenetre.Top + HautCarac)
                    c.TextOut(fenetre.Left + M, haut, mondeY.FormatAxe(tick));
            }
        }
        const float suivant = TickSuivant(tick, mondeY.deltaAxe);
        if (!(suivant > tick))
            break;
        tick = suivant;
    } while (tick < mondeY.maxi);
    c.Pen.Style = psSolid;
}

void Tgraphe::DrawPoints(TCanevas& c) const
{
    c.Brush.Style = bsSolid;
    c.Brush.Color = c.Pen.Color;
    const qint32 n = std::min<qint32>(NbrePoints, MaxIndiceVecteur + 1);
    for (qint32 i = 0; i < n; ++i) {
        qint32 xi, yi;
        WindowXY(valeurX[i], valeurY[i], xi, yi);
        if (xi != -1 && yi != -1)
            c.Rectangle(xi - 2, yi - 2, xi + 2, yi + 2);
    }
    c.Brush.Style = bsClear;
}

void Tgraphe::DrawSpectre(TCanevas& c) const
{
    const Tspectro& spectro = Spectro();
    // The range comes from the instrument model; stay inside the arrays whatever it holds,
    // and inside the wavelengths the axis shows.
    qint32 debut = std::max<qint32>(spectro.DebutLambda, 0);
    qint32 fin = std::min<qint32>(spectro.FinLambda, MaxIndiceVecteur);
    EntiersDans(mondeX.mini, mondeX.maxi, debut, fin);
    c.Pen.Width = 2;
    qint32 lambda = debut;
    qint32 xi = -1, yi = -1;
    for (; lambda <= fin; ++lambda) {
        WindowXY(lambda, valeurY[lambda], xi, yi);
        if (yi != -1)
            break;
    }
    if (lambda <= fin) {
        c.MoveTo(xi, yi);
        for (++lambda; lambda <= fin; ++lambda) {
            WindowXY(lambda, valeurY[lambda], xi, yi);
            if (yi != -1) {
                c.Pen.Color = CouleurLambda(lambda);
                c.LineTo(xi, yi);
            }
        }
    }
    penDefault(c);
}

void Tgraphe::TracePointCinet(TCanevas& c, IndiceVecteur i) const
{
    if (i > MaxIndiceVecteur)
        return;
    c.Brush.Style = bsSolid;
    c.Brush.Color = c.Pen.Color;
    qint32 xi, yi;
    WindowXY(valeurX[i], valeurY[i], xi, yi);
    if (xi != -1 && yi != -1)
        c.Rectangle(xi - 2, yi - 2, xi + 2, yi + 2);
    c.Brush.Style = bsClear;
}

void Tgraphe::TracePointCalc(TCanevas& c, double x, double y) const
{
    c.Pen.Color = clRed;
    c.Brush.Color = clRed;
    c.Brush.Style = bsSolid;
    qint32 xi, yi;
    WindowXY(x, y, xi, yi);
    if (xi != -1 && yi != -1)
        c.FillRect({xi - 4, yi - 4, xi + 4, yi + 4});
    penDefault(c);
}

double Tgraphe::MaxiY() const
{
    const Tspectro& spectro = Spectro();
    double m = spectro.MiniAbs;
    for (const double v : valeurY)
        if (!std::isnan(v) && v > m)
            m = v;
    const double r = m * 1.1;
    if (r < 1)
        return 1;
    if (r > spectro.MaxiAbs)
        return spectro.MaxiAbs;
    return r;
}

double Tgraphe::MaxiX() const
{
    double m = 0;
    const qint32 n = std::min<qint32>(NbrePoints, MaxIndiceVecteur + 1);
    for (qint32 i = 0; i < n; ++i)
        if (!std::isnan(valeurX[i]) && valeurX[i] > m)
            m = valeurX[i];
    return m < 1 ? 1 : m;
}

void Tgraphe::TraceCroix(TCanevas& c) const
{
    c.Pen.Mode = pmNot;
    c.MoveTo(Xcroix - 5, Ycroix);
    c.LineTo(Xcroix + 5, Ycroix);
    c.MoveTo(Xcroix, Ycroix - 5);
    c.LineTo(Xcroix, Ycroix + 5);
    penDefault(c);
}

void Tgraphe::AfficheCroix(TCanevas& c, double x, double y)
{
    TraceCroix(c);
    WindowXY(x, y, Xcroix, Ycroix);
    TraceCroix(c);
}

void Tgraphe::TraceRepere(TCanevas& c, const Trepere& repere) const
{
    c.Pen.Color = clRed;
    c.Pen.Style = psDash;
    qint32 xi, yi;
    WindowXY(repere.Valeur, 0, xi, yi);
    c.MoveTo(xi, LimiteCourbe.Top);
    c.LineTo(xi, LimiteCourbe.Bottom);
    // The label at the top of its line, on the side that keeps it inside the area.
    if (!repere.Text.isEmpty()) {
        c.Font.Color = clRed;
        c.Brush.Style = bsClear;
        const qint32 largeur = c.TextWidth(repere.Text);
        const qint32 x = xi + Marge + largeur <= LimiteCourbe.Right ? xi + Marge : xi - Marge - largeur;
        c.TextOut(x, LimiteCourbe.Top, repere.Text);
        c.Font.Color = clBlack;
    }
    penDefault(c);
    // penDefault keeps the style: a dash left behind would draw the next repaint's axis
    // line (drawn before any grid resets the style) and the next points dashed.
    c.Pen.Style = psSolid;
}

void Tgraphe::AjouteRepere(double V, const QString& T)
{
    ListeRepere.push_back({V, T});
}

void Tgraphe::Reset()
{
    NbrePoints = 0;
    ListeRepere.clear();
    NbreCourbe = 1;
}

void Tgraphe::Imprime()
{
    // A copy takes the page's layout, so the screen's mapping stays as it is.
    ImprimeDessin([this](TCanevas& page, const TRectangle& rect) {
        Tgraphe copie = *this;
        copie.Draw({page, rect});
    });
}

} // namespace kelvor
