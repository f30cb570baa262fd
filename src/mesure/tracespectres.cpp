#include "mesure/tracespectres.h"

#include "util/chromato.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelvor {

namespace {

// The canvas knows three strokes: dash-dot patterns fall back to the nearest one; the
// colour still tells those spectra apart.
TStylePen StyleTrait(Qt::PenStyle tirets)
{
    switch (tirets) {
    case Qt::DashLine:
    case Qt::DashDotLine:
        return psDash;
    case Qt::DotLine:
    case Qt::DashDotDotLine:
        return psDot;
    default:
        return psSolid;
    }
}

void TraceCourbe(TCanevas& canvas, Tgraphe& g, const TCourbeSpectre& c)
{
    canvas.Pen.Color = c.couleur.rgba();
    canvas.Pen.Width = 2;
    canvas.Pen.Style = StyleTrait(c.tirets);
    bool premier = true;
    qint32 debut = std::max(c.debut, 0);
    qint32 fin = std::min<qint32>(c.fin, MaxIndiceVecteur);
    EntiersDans(g.mondeX.mini, g.mondeX.maxi, debut, fin);
    for (qint32 l = debut; l <= fin; ++l) {
        qint32 xi = -1, yi = -1;
        g.WindowXY(l, c.y[l], xi, yi);
        if (yi == -1)
            continue;
        if (premier)
            canvas.MoveTo(xi, yi);
        else
            canvas.LineTo(xi, yi);
        premier = false;
    }
    canvas.Pen.Style = psSolid;
    Tgraphe::penDefault(canvas);
}

bool Autre(const TCourbeSpectre& c)
{
    return !c.courant && c.visible;
}

} // namespace

void TraceAutresSpectres(TCanevas& canvas, Tgraphe& g, const TSuperposition& s)
{
    for (const TCourbeSpectre& c : s.Courbes())
        if (Autre(c))
            TraceCourbe(canvas, g, c);
}

void TraceLegende(TCanevas& canvas, Tgraphe& g, const TSuperposition& s)
{
    const QList<TCourbeSpectre> visibles = s.Visibles();
    if (visibles.size() < 2)
        return;
    const qint32 marge = std::max(g.Marge, 2);
    const qint32 trait = 3 * std::max(g.LargCarac, 4);
    const qint32 ligne = canvas.TextHeight(QStringLiteral("Ag"));
    qint32 largeurTexte = 0;
    for (const TCourbeSpectre& c : visibles)
        largeurTexte = std::max(largeurTexte, canvas.TextWidth(c.nom));
    const qint32 droite = g.LimiteCourbe.Right - marge;
    const qint32 gauche = droite - (3 * marge + trait + largeurTexte);
    const qint32 haut = g.LimiteCourbe.Top + marge;
    Tgraphe::penDefault(canvas);
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = clWhite;
    canvas.Rectangle(gauche, haut, droite, haut + 2 * marge + ligne * qint32(visibles.size()));
    for (qsizetype i = 0; i < visibles.size(); ++i) {
        const TCourbeSpectre& c = visibles[i];
        const qint32 y = haut + marge + ligne * qint32(i) + ligne / 2;
        const qint32 x = gauche + marge;
        canvas.Pen.Width = 2;
        if (c.courant) {
            // The current spectrum wears the wavelength colours: three of them stand for it.
            for (qint32 k = 0; k < 3; ++k) {
                canvas.Pen.Color = CouleurLambda(450 + 100 * k);
                canvas.MoveTo(x + k * trait / 3, y);
                canvas.LineTo(x + (k + 1) * trait / 3, y);
            }
        } else {
            canvas.Pen.Color = c.couleur.rgba();
            canvas.Pen.Style = StyleTrait(c.tirets);
            canvas.MoveTo(x, y);
            canvas.LineTo(x + trait, y);
            canvas.Pen.Style = psSolid;
        }
        Tgraphe::penDefault(canvas);
        canvas.Font.Color = clBlack;
        canvas.TextOut(x + trait + marge, y - ligne / 2, c.nom);
    }
}

void TracePics(TCanevas& canvas, Tgraphe& g, const TPics& p)
{
    const qint32 trait = std::max(g.HautCarac / 2, 4);
    canvas.Font.Color = clBlack;
    canvas.Brush.Style = bsClear;
    for (const TPic& pic : p.pics) {
        if (pic.lambda < g.mondeX.mini || pic.lambda > g.mondeX.maxi)
            continue;   // zoomed out of view
        qint32 x = -1, y = -1;
        g.WindowXY(pic.lambda, pic.A, x, y);
        if (x == -1 || y == -1)
            continue;
        const qint32 haut = y - trait / 2;
        canvas.MoveTo(x, haut);
        canvas.LineTo(x, haut - trait);
        const QString texte = QString::number(pic.lambda);
        const qint32 yTexte = std::max(haut - trait - canvas.TextHeight(texte), g.LimiteCourbe.Top);
        canvas.TextOut(x - canvas.TextWidth(texte) / 2, yTexte, texte);
    }
    Tgraphe::penDefault(canvas);
}

double MaxiAutresSpectres(const TSuperposition& s)
{
    double maxi = std::numeric_limits<double>::quiet_NaN();
    for (const TCourbeSpectre& c : s.Courbes()) {
        if (!Autre(c))
            continue;
        const qint32 fin = std::min<qint32>(c.fin, MaxIndiceVecteur);
        for (qint32 l = std::max(c.debut, 0); l <= fin; ++l)
            if (std::isfinite(c.y[l]) && !(c.y[l] <= maxi))
                maxi = c.y[l];
    }
    return maxi;
}

} // namespace kelvor
