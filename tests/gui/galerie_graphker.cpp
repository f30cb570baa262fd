// Renders the three kinds of graph at three window sizes into PNG files for a person to
// look at; not run by default.

#include "graph/graphker.h"
#include "instrument/cfgspect.h"
#include "support/localefixe.h"

#include <QDir>
#include <QImage>
#include <QLocale>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace kelvor;

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct Taille
{
    int l, h;
};
constexpr Taille Tailles[] = {{400, 300}, {800, 600}, {1600, 900}};

class Galerie : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};

    void SetUp() override
    {
        NouveauSpectro();
        ASSERT_TRUE(QDir().mkpath(dossier));
    }
    void TearDown() override
    {
        NouveauSpectro();
    }

    // Draws twice on the same surface, as a window repaints, so what one painting leaves
    // in the pen or brush shows in the picture; lets the caller add what it draws without
    // repainting; saves.
    template<typename F>
    void Rend(Tgraphe& g, const char* nom, F ensuite)
    {
        for (const Taille t : Tailles) {
            QImage image(t.l, t.h, QImage::Format_RGB32);
            TCanevasQt canvas(&image);
            g.Draw({canvas, {0, 0, t.l, t.h}});
            g.Draw({canvas, {0, 0, t.l, t.h}});
            ensuite(g, canvas);
            canvas.Detache();
            const QString chemin = QStringLiteral("%1/%2-%3x%4.png").arg(dossier, nom).arg(t.l).arg(t.h);
            EXPECT_TRUE(image.save(chemin)) << chemin.toStdString();
        }
    }

    QString dossier = QStringLiteral(KELVOR_GALERIE);
};

TEST_F(Galerie, Spectre)
{
    Spectro().DebutLambda = 320;
    Spectro().FinLambda = 1000;
    Tgraphe g;
    g.Trace = tSpectre;
    g.SetMonde(320, 0, 1000, 2.5);
    g.mondeX.nom = "Lambda";
    g.mondeX.unite = "nm";
    g.mondeY.nom = "A";
    g.valeurY.fill(NaN);
    for (int l = 320; l <= 1000; ++l)
        g.valeurY[l] = 0.15 + 1.6 * std::exp(-std::pow((l - 520) / 45.0, 2))
                       + 0.7 * std::exp(-std::pow((l - 660) / 30.0, 2)) + 0.4 * std::exp(-(l - 320) / 25.0);
    for (int l = 500; l <= 510; ++l)
        g.valeurY[l] = NaN;
    Rend(g, "spectre", [](Tgraphe&, TCanevas&) {});
}

TEST_F(Galerie, Cinetique)
{
    Tgraphe g;
    g.Trace = tCinet;
    g.mondeX.nom = "t";
    g.mondeX.unite = "s";
    g.mondeY.nom = "A";
    g.NbrePoints = 61;
    for (int i = 0; i < g.NbrePoints; ++i) {
        g.valeurX[i] = 10.0 * i;
        g.valeurY[i] = 1.8 * std::exp(-i / 20.0) + 0.1;
    }
    g.SetMonde(0, 0, 600, g.MaxiY());
    g.ListeRepere.push_back({0, "début"});
    g.ListeRepere.push_back({200, "ajout"});
    g.ListeRepere.push_back({410, "agitation"});
    Rend(g, "cinetique", [](Tgraphe&, TCanevas&) {});
}

TEST_F(Galerie, BeerLambert)
{
    Tgraphe g;
    g.Trace = tCinet;
    g.mondeX.nom = "C";
    g.mondeX.unite = "mmol/L";
    g.mondeY.nom = "A";
    const double c[] = {0, 0.5, 1, 2, 3, 4};
    g.NbrePoints = 6;
    for (int i = 0; i < 6; ++i) {
        g.valeurX[i] = c[i];
        g.valeurY[i] = 0.42 * c[i] + (i % 2 ? 0.02 : -0.015);
    }
    g.SetMonde(0, 0, g.MaxiX() * 1.1, g.MaxiY());
    Rend(g, "beer", [](Tgraphe& gr, TCanevas& c) {
        gr.TracePointCalc(c, 1.6, 0.42 * 1.6);
        gr.TracePointCalc(c, 3.4, 0.42 * 3.4);
    });
}

} // namespace
