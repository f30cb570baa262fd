#include "mesure/tracespectres.h"

#include "support/canevasenregistreur.h"
#include "support/spectresynthetique.h"

#include <gtest/gtest.h>

using namespace kelvor;

namespace {

Vecteur Constant(double a, int debut, int fin, int pas = 1)
{
    return synth::Spectre([a](double) { return a; }, debut, fin, pas);
}

struct Scene
{
    TCanevasEnregistreur canevas;
    Tgraphe g;
    Scene()
    {
        g.LimiteCourbe = {40, 10, 790, 380};
        g.SetMonde(300, 0, 900, 2);
        g.mondeX.a = (790 - 40) / 600.0;
        g.mondeX.b = 40 - 300 * g.mondeX.a;
        g.mondeY.a = (10 - 380) / 2.0;
        g.mondeY.b = 380;
    }
};

} // namespace

TEST(TraceSpectres, OthersAreDrawnInTheirStyleAcrossGapsAndHiddenOnesNot)
{
    TSuperposition s;
    s.DefinitCourant("courant", Constant(1.0, 400, 700), 400, 700);
    ASSERT_TRUE(s.Ajoute("pas de 2", Constant(0.5, 400, 500, 2), 400, 500));
    ASSERT_TRUE(s.Ajoute("masqué", Constant(0.2, 400, 500), 400, 500));
    s.DefinitVisible(2, false);

    Scene sc;
    TraceAutresSpectres(sc.canevas, sc.g, s);
    const auto lignes = sc.canevas.De(TCanevasEnregistreur::oLigne);
    // One segment from each measured point to the next: the steps between are no gap.
    ASSERT_EQ(lignes.size(), 50);
    const TCourbeSpectre& autre = s.Courbes()[1];
    qint32 x = 0, y = 0;
    sc.g.WindowXY(500, 0.5, x, y);
    for (const auto& l : lignes) {
        EXPECT_EQ(l.pen.Color, autre.couleur.rgba());
        EXPECT_EQ(l.pen.Style, psDash);
        EXPECT_EQ(l.y1, y);
    }
    EXPECT_EQ(lignes.last().x2, x);
    EXPECT_EQ(sc.canevas.Pen.Style, psSolid) << "the next drawing starts with a plain pen";
    EXPECT_NEAR(MaxiAutresSpectres(s), 0.5, 1e-12) << "the hidden one does not count";
}

TEST(TraceSpectres, PeaksAreLabelledAboveTheirPointAndTheLegendNeedsTwoShown)
{
    Scene sc;
    TPics p;
    p.pics = {{455, 0.5, 0.4}, {615, 1.0, 0.9}};
    p.iMax = 1;
    TracePics(sc.canevas, sc.g, p);
    const auto textes = sc.canevas.De(TCanevasEnregistreur::oTexte);
    ASSERT_EQ(textes.size(), 2);
    EXPECT_EQ(textes[1].texte, "615");
    qint32 x = 0, y = 0;
    sc.g.WindowXY(615, 1.0, x, y);
    EXPECT_NEAR(textes[1].x1 + (textes[1].x2 - textes[1].x1) / 2, x, 1);
    EXPECT_LT(textes[1].y2, y);

    TSuperposition s;
    s.DefinitCourant("courant", Constant(1.0, 400, 700), 400, 700);
    Scene seul;
    TraceLegende(seul.canevas, seul.g, s);
    EXPECT_TRUE(seul.canevas.traces.isEmpty());
    ASSERT_TRUE(s.Ajoute("témoin", Constant(0.5, 400, 500), 400, 500));
    Scene deux;
    TraceLegende(deux.canevas, deux.g, s);
    EXPECT_EQ(deux.canevas.Textes(), (QStringList{"courant", "témoin"}));
    const auto cadre = deux.canevas.De(TCanevasEnregistreur::oRectangle);
    ASSERT_EQ(cadre.size(), 1);
    EXPECT_LE(cadre[0].x2, deux.g.LimiteCourbe.Right) << "inside the curves' area";
}
