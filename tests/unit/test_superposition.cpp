#include "mesure/csvspectres.h"
#include "mesure/superposition.h"

#include "support/localefixe.h"
#include "support/spectresynthetique.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

Vecteur Constant(double a, int debut, int fin, int pas = 1)
{
    return synth::Spectre([a](double) { return a; }, debut, fin, pas);
}

QStringList Noms(const TSuperposition& s)
{
    QStringList n;
    for (const TCourbeSpectre& c : s.Courbes())
        n << c.nom;
    return n;
}

} // namespace

TEST(Superposition, ScanNameIsTheTimeWithTheLocaleSeparator)
{
    LocaleFixe l(QLocale::French, QLocale::France);
    EXPECT_EQ(NomSpectreHeure(QTime(9, 3, 27)), QStringLiteral("Spectre 09:03:27"));
}

TEST(Superposition, CurrentStaysFirstKeptAndOpenedGetTheirOwnStyles)
{
    TSuperposition s;
    s.DefinitCourant("Spectre 10:00:00", Constant(0.1, 400, 700), 400, 700);
    ASSERT_TRUE(s.Garde());
    ASSERT_TRUE(s.Ajoute("essai.txt", Constant(0.3, 350, 800), 350, 800));
    s.DefinitCourant("Spectre 10:05:00", Constant(0.2, 400, 700), 400, 700);

    EXPECT_EQ(Noms(s), QStringList({"Spectre 10:05:00", "Spectre 10:00:00", "essai.txt"}));
    const QList<TCourbeSpectre>& c = s.Courbes();
    EXPECT_TRUE(c[0].courant);
    EXPECT_FALSE(c[0].couleur.isValid());       // drawn in the wavelength colours
    EXPECT_EQ(c[0].y[500], 0.2);
    EXPECT_FALSE(c[1].courant);
    EXPECT_EQ(c[1].y[500], 0.1);                // the kept copy does not follow the new scan
    EXPECT_EQ(c[1].debut, 400);
    EXPECT_NE(c[1].couleur, c[2].couleur);
    EXPECT_NE(c[1].tirets, c[2].tirets);
    EXPECT_NE(c[1].tirets, Qt::SolidLine);

    QString erreur;
    s.Garde();
    EXPECT_FALSE(s.Garde(&erreur));
    EXPECT_EQ(erreur, QStringLiteral("Ce spectre est déjà gardé."));
    TSuperposition vide;
    EXPECT_FALSE(vide.Garde(&erreur));
    EXPECT_EQ(erreur, QStringLiteral("Aucun spectre à garder."));
}

TEST(Superposition, EightAtMostHideAndRemove)
{
    TSuperposition s;
    s.DefinitCourant("courant", Constant(0.1, 400, 700), 400, 700);
    for (int i = 1; i <= 7; ++i)
        ASSERT_TRUE(s.Ajoute(QStringLiteral("f%1.txt").arg(i), Constant(0.1 * i, 400, 700), 400, 700));
    QSet<QRgb> couleurs;
    for (const TCourbeSpectre& c : s.Courbes())
        if (!c.courant)
            couleurs << c.couleur.rgba();
    EXPECT_EQ(couleurs.size(), 7);

    QString erreur;
    EXPECT_FALSE(s.Ajoute("f8.txt", Constant(0.8, 400, 700), 400, 700, &erreur));
    EXPECT_EQ(erreur, QStringLiteral("Le graphe montre déjà 8 spectres : retirez-en un avant d'en ajouter un autre."));
    EXPECT_FALSE(s.Garde(&erreur));
    EXPECT_EQ(s.Courbes().size(), 8);
    s.DefinitCourant("nouveau", Constant(0.2, 400, 700), 400, 700);    // a scan is never refused
    EXPECT_EQ(s.Courbes().size(), 8);

    s.DefinitVisible(2, false);
    s.DefinitVisible(99, false);
    EXPECT_EQ(s.TexteLegende(), QStringLiteral("nouveau\nf1.txt\nf2.txt (masqué)\nf3.txt\nf4.txt\nf5.txt\nf6.txt\nf7.txt"));
    EXPECT_EQ(s.Visibles().size(), 7);

    const TCourbeSpectre troisieme = s.Courbes()[3];
    s.Retire(3);
    s.Retire(-1);
    EXPECT_EQ(s.Courbes().size(), 7);
    ASSERT_TRUE(s.Ajoute("f8.txt", Constant(0.8, 400, 700), 400, 700));
    // The freed style goes to the newcomer, so no two spectra share one.
    EXPECT_EQ(s.Courbes().back().couleur, troisieme.couleur);
    EXPECT_EQ(s.Courbes().back().tirets, troisieme.tirets);

    s.Retire(0);    // the current one too
    EXPECT_FALSE(s.Courbes().front().courant);
    EXPECT_EQ(s.Courbes().size(), 7);
    EXPECT_FALSE(s.Ajoute("f9.txt", Constant(0.9, 400, 700), 400, 700));   // its place stays free
}

TEST(Superposition, SpreadsheetHoldsTheUnionOfTheGridsWithEmptyCells)
{
    TCourbeSpectre a;
    a.nom = "Spectre 10:00:00";
    a.y = Constant(0.5, 400, 404, 2);
    a.y[402] = PasDeValeur();   // a failed reading
    a.y[404] = 1.2346;
    a.debut = 400;
    a.fin = 404;
    TCourbeSpectre b;
    b.nom = "bleu; dilué.txt";
    b.y = Constant(0.25, 401, 403);
    b.y[398] = 9;               // outside its range: not shown, not exported
    b.debut = 401;
    b.fin = 403;

    const QByteArray bom("\xEF\xBB\xBF");
    {
        LocaleFixe l(QLocale::French, QLocale::France);
        EXPECT_EQ(CsvSpectres({a, b}),
                  bom + QStringLiteral("λ (nm);Spectre 10:00:00;\"bleu; dilué.txt\"\r\n"
                                       "400;0,500;\r\n"
                                       "401;;0,250\r\n"
                                       "402;;0,250\r\n"
                                       "403;;0,250\r\n"
                                       "404;1,235;\r\n").toUtf8());
    }
    {
        LocaleFixe l(QLocale::English, QLocale::UnitedStates);
        EXPECT_EQ(CsvSpectres({b}),
                  bom + QStringLiteral("λ (nm);\"bleu; dilué.txt\"\r\n"
                                       "401;0.250\r\n402;0.250\r\n403;0.250\r\n").toUtf8());
    }
    EXPECT_EQ(CsvSpectres({}), bom + QByteArray("\xCE\xBB (nm)\r\n"));
}
