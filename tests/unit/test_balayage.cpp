#include "instrument/balayage.h"

#include <QList>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

struct Cas
{
    const char* nom;
    qint32 debut, pas;
    QList<QByteArray> lignes;
    QList<qint32> acceptes;     // wavelengths accepted, in order
    qint32 illisibles;
};

} // namespace

TEST(SuiviBalayage, AccepteSeulementLePointSuivantDeLaGrille)
{
    const Cas cas[] = {
        {"clean scan", 400, 2, {"400:10", "402:11", "404:12"}, {400, 402, 404}, 0},
        {"extra fields and blanks", 400, 5, {"400:10:0.1", " 405: 11"}, {400, 405}, 0},
        {"garbled line after 500 changes nothing", 496, 2,
         {"496:1", "498:1", "500:1", "5#0:3x", "502:1"}, {496, 498, 500, 502}, 1},
        {"empty and colon-less lines", 400, 2, {"400:1", "", "12345", "402:1"}, {400, 402}, 2},
        {"out-of-sequence line in the middle", 456, 2,
         {"456:1", "458:1", "952:31000", "460:1"}, {456, 458, 460}, 1},
        {"garbled point: the next one lies one step on", 400, 2,
         {"400:1", "4#2:1", "404:1", "406:1"}, {400, 404, 406}, 1},
        {"two garbled points", 400, 2, {"400:1", "x", "y", "406:1"}, {400, 406}, 2},
        {"a point skipped without a line: two in sequence catch up", 400, 2,
         {"400:1", "404:1", "406:1", "408:1"}, {400, 406, 408}, 1},
        {"a far line is no start for catching up", 400, 2,
         {"400:1", "952:1", "402:1", "404:1"}, {400, 402, 404}, 1},
        {"garbage before the first point", 400, 2, {"#?!", "400:1", "402:1"}, {400, 402}, 1},
        {"first point garbled", 400, 2, {"4?0:1", "402:1"}, {402}, 1},
        {"repeated and backward points", 400, 2, {"400:1", "400:2", "398:1", "402:3"}, {400, 402}, 2},
        {"off the grid", 401, 2, {"401:1", "402:1", "403:1"}, {401, 403}, 1},
        {"beyond the arrays", 2046, 2, {"2046:1", "2048:1", "2050:1"}, {2046, 2048}, 1},
        {"far start is not the first point", 400, 2, {"952:31000", "400:1"}, {400}, 1},
    };
    for (const Cas& c : cas) {
        TSuiviBalayage suivi;
        suivi.Demarre(c.debut, c.pas);
        QList<qint32> acceptes;
        qint32 derniereIntensite = -1;
        for (const QByteArray& l : c.lignes) {
            qint32 lambda = -1;
            qint32 intensite = -1;
            if (suivi.Accepte(l, lambda, intensite)) {
                acceptes << lambda;
                derniereIntensite = intensite;
            } else {
                EXPECT_EQ(lambda, -1) << c.nom << ": a refused line sets nothing";
            }
        }
        EXPECT_EQ(acceptes, c.acceptes) << c.nom;
        EXPECT_EQ(suivi.LignesIllisibles(), c.illisibles) << c.nom;
        EXPECT_EQ(suivi.PointsRecus(), c.acceptes.size()) << c.nom;
        if (!c.acceptes.isEmpty()) {
            EXPECT_EQ(suivi.DernierLambda(), c.acceptes.last()) << c.nom;
            EXPECT_EQ(suivi.DerniereIntensite(), derniereIntensite) << c.nom;
        }
    }
}

TEST(SuiviBalayage, UnNouveauBalayageRepartDeZero)
{
    TSuiviBalayage suivi;
    suivi.Demarre(400, 2);
    qint32 l = 0, i = 0;
    EXPECT_FALSE(suivi.Accepte("junk", l, i));
    EXPECT_TRUE(suivi.Accepte("400:5", l, i));
    suivi.Demarre(600, 0);      // a step of 0 would divide by zero: read as 1
    EXPECT_EQ(suivi.PointsRecus(), 0);
    EXPECT_EQ(suivi.LignesIllisibles(), 0);
    EXPECT_FALSE(suivi.Accepte("402:5", l, i));
    EXPECT_TRUE(suivi.Accepte("601:5", l, i)) << "one unreadable line allows one lost point";
    EXPECT_TRUE(suivi.Accepte("602:5", l, i));
}

TEST(SuiviBalayage, TexteDuNombreDeLignesIllisibles)
{
    EXPECT_EQ(TexteLignesIllisibles(1), "1 ligne illisible");
    EXPECT_EQ(TexteLignesIllisibles(3), "3 lignes illisibles");
}
