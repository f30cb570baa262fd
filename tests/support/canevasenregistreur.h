#pragma once
// A drawing surface that records what is drawn, with a fixed character cell, so a test
// can check the graph's layout and its segments without rasterising anything.

#include "graph/canevas.h"

#include <QList>
#include <QString>

namespace kelvor {

class TCanevasEnregistreur : public TCanevas
{
public:
    enum TOperation { oFillRect, oRectangle, oLigne, oTexte };
    struct Trace
    {
        TOperation op;
        qint32 x1, y1, x2, y2;
        QString texte;
        TPen pen;
        TBrush brush;
        qint32 tailleFonte;
    };

    TCanevasEnregistreur(qint32 largeurCarac = 7, qint32 hauteurCarac = 15, qint32 ppp = 96)
        : largeur(largeurCarac), hauteur(hauteurCarac), ppp(ppp)
    {}

    qint32 largeur, hauteur, ppp;
    TRectangle clip;
    QList<Trace> traces;

    void FillRect(const TRectangle& r) override { Ajoute(oFillRect, r.Left, r.Top, r.Right, r.Bottom); }
    void Rectangle(qint32 x1, qint32 y1, qint32 x2, qint32 y2) override { Ajoute(oRectangle, x1, y1, x2, y2); }
    void LineTo(qint32 x, qint32 y) override
    {
        Ajoute(oLigne, PenPos.x(), PenPos.y(), x, y);
        PenPos = QPoint(x, y);
    }
    void TextOut(qint32 x, qint32 y, const QString& texte) override
    {
        Ajoute(oTexte, x, y, x + TextWidth(texte), y + hauteur, texte);
    }
    qint32 TextWidth(const QString& texte) override { return largeur * qint32(texte.size()); }
    qint32 TextHeight(const QString&) override { return hauteur; }
    qint32 PixelsPerInch() override { return ppp; }
    TRectangle ClipRect() override { return clip; }

    QList<Trace> De(TOperation op) const
    {
        QList<Trace> r;
        for (const Trace& t : traces)
            if (t.op == op)
                r << t;
        return r;
    }
    QStringList Textes() const
    {
        QStringList r;
        for (const Trace& t : De(oTexte))
            r << t.texte;
        return r;
    }

private:
    void Ajoute(TOperation op, qint32 x1, qint32 y1, qint32 x2, qint32 y2, const QString& t = {})
    {
        traces.append({op, x1, y1, x2, y2, t, Pen, Brush, Font.Size});
    }
};

} // namespace kelvor
