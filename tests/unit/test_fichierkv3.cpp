#include "exchange/fichierkv3.h"

#include "support/localefixe.h"
#include "support/dialoguesscript.h"
#include "util/cp1252.h"

#include <QLocale>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

const QLocale Francais(QLocale::French, QLocale::France);

struct Serie
{
    Vecteur x{};
    Vecteur y{};
    qint32 n = 0;
};

// 42 readings 5 s apart, all at 0.4567.
Serie Run42()
{
    Serie r;
    for (r.n = 0; r.n < 42; ++r.n) {
        r.x[r.n] = 5 * r.n;
        r.y[r.n] = 0.4567;
    }
    return r;
}

QStringList Kv3Cinetique(const TValeursConstante& c, const Serie& r, const ListeReperes& reperes)
{
    return EnteteKV3Cinetique("C:/Kelvor/kelvor.exe", c)
           + PageKV3Cinetique(c, "Kelvor 5100", "05/03/2026 14:07:09", r.x, r.y, r.n, reperes);
}

} // namespace

TEST(Kv3Cinetique, FortyTwoPointsNoParameterGiveFiftySevenLines)
{
    LocaleFixe l(Francais);
    const QStringList lignes = Kv3Cinetique({}, Run42(), {});
    ASSERT_EQ(lignes.size(), 57);
    EXPECT_EQ(OctetsFichier(lignes.mid(0, 16)),
              QByteArray("MERIDANE KURVALIS WINDOWS 1.0\r\n"
                         "\xA3" "2 NOM VAR\r\nt\r\nA\r\n"
                         "\xA3" "2 UNITE VAR\r\ns\r\n\r\n"
                         "\xA3" "2 SIGNIF VAR\r\ndur\xE9" "e\r\nAbsorbance\r\n"
                         "\xA3" "1 ACQUISITION\r\nC:/Kelvor/kelvor.exe\r\n"
                         "\xA3" "1 PAGE COMMENT\r\n"
                         "Suivi de cin\xE9tique par spectro Kelvor 510005/03/2026 14:07:09\r\n"
                         "&42 VALEUR VAR\r\n"
                         "0 0,4567\r\n"));
    for (int i = 0; i < 42; ++i)
        EXPECT_EQ(lignes[15 + i], QString::number(5 * i) + " 0,4567");
}

TEST(Kv3Cinetique, ParameterAndTwoMarkersGiveSixtyEightLines)
{
    LocaleFixe l(Francais);
    TValeursConstante c;
    c.avecConstante = true;
    c.NomConst = "pH";
    c.UniteConst = "";
    c.SignifConst = "acidité";
    c.ValeurConst = "4.5 env.";
    c.Commentaire = "  ";   // blanks are a comment
    const QStringList lignes = Kv3Cinetique(c, Run42(), {{30, "ajout"}, {120, ""}});
    ASSERT_EQ(lignes.size(), 68);
    EXPECT_EQ(lignes.mid(9, 10),
              QStringList({"Absorbance", "£1 NOM CONST", "pH", "£1 UNITE CONST", "",
                           "£1 SIGNIF CONST", "acidité", "£1 ACQUISITION",
                           "C:/Kelvor/kelvor.exe", "£1 PAGE COMMENT"}));
    EXPECT_EQ(lignes[19], "  ");
    EXPECT_EQ(lignes[20], "&42 VALEUR VAR");
    EXPECT_EQ(OctetsFichier(lignes.mid(62)),
              QByteArray("205 0,4567\r\n&1 VALEUR CONST\r\n4.5 env.\r\n&2 REPERE\r\n"
                         "30\tajout\r\n120\t\r\n"));
}

TEST(Kv3Cinetique, NumbersUseTheLocaleSeparatorAndTheGeneralFormat)
{
    LocaleFixe l(Francais);
    Serie r;
    r.n = 3;
    r.x = {12, 86399, 3};
    r.y = {0.4567, 1.2345678, 0.00001};
    const QStringList page = PageKV3Cinetique({}, "K", "d", r.x, r.y, r.n, {});
    EXPECT_EQ(page.mid(3), QStringList({"12 0,4567", "86399 1,234568", "3 1E-05"}));
}

// Under a full-stop locale the kinetics numbers take the full stop too.
TEST(Kv3Cinetique, NumbersFollowAFullStopLocaleAsWell)
{
    LocaleFixe l(QLocale(QLocale::English, QLocale::UnitedStates));
    Serie r;
    r.n = 2;
    r.x = {12, 86399};
    r.y = {0.4567, 1.2345678};
    EXPECT_EQ(PageKV3Cinetique({}, "K", "d", r.x, r.y, r.n, {{30, "a"}}).mid(3),
              QStringList({"12 0.4567", "86399 1.234568", "&1 REPERE", "30\ta"}));
}

TEST(Kv3Beer, NoPointEndsWithTheValueMarker)
{
    LocaleFixe l(Francais);
    Vecteur v{};
    EXPECT_EQ(OctetsFichier(FichierKV3Beer("/usr/bin/kelvor", "05/03/2026 14:07:09",
                                           {"C", "mmol/L", "concentration"},
                                           {"A", "", "absorbance"}, v, v, 0)),
              QByteArray("MERIDANE KURVALIS WINDOWS 1.0\r\n"
                         "\xA3" "2 NOM VAR\r\nC\r\nA\r\n"
                         "\xA3" "2 UNITE VAR\r\nmmol/L\r\n\r\n"
                         "\xA3" "2 SIGNIF VAR\r\nconcentration\r\nabsorbance\r\n"
                         "\xA3" "1 ACQUISITION\r\n/usr/bin/kelvor\r\n"
                         "\xA3" "1 PAGE COMMENT\r\nLoi de Beer-Lambert 05/03/2026 14:07:09\r\n"
                         "&0 VALEUR VAR\r\n"));
}

TEST(Kv3Beer, PointsAlwaysWithAFullStop)
{
    LocaleFixe l(Francais);
    Vecteur x{}, y{};
    x[0] = 0.002;
    y[0] = 0.4567;
    const QStringList lignes = FichierKV3Beer("k", "d", {}, {}, x, y, 1);
    EXPECT_EQ(lignes.mid(lignes.size() - 2), QStringList({"&1 VALEUR VAR", "0.002 0.4567"}));
}

TEST(Kv3Nom, ExtensionChoosesTheLayout)
{
    struct Cas
    {
        const char* nom;
        bool kv3;
    };
    const Cas cas[] = {{"run.KV3", true},  {"run.kv3", true},     {"/a/b/run.Kv3", true},
                       {"run.txt", false}, {"run", false},        {"runkv3", false},
                       {"run.kv3.txt", false}, {"run.kv", false}};
    for (const Cas& c : cas)
        EXPECT_EQ(EstNomKV3(c.nom), c.kv3) << c.nom;
}

TEST(Kv3Dialogue, SharedSaveDialogAsksWithTitleFilterAndExtension)
{
    struct Enregistreur : TDialoguesScript
    {
        QString filtre, extension;
        QString FichierSauve(const QString& titre, const QString& f, const QString& e,
                             const QString& nom) override
        {
            filtre = f;
            extension = e;
            return TDialoguesScript::FichierSauve(titre, f, e, nom);
        }
    } d;
    d.Repond(true, "/tmp/x.kv3");
    d.Repond(false);
    EXPECT_EQ(ChoisitFichierDonnees(), "/tmp/x.kv3");
    EXPECT_EQ(ChoisitFichierDonnees(), "");
    EXPECT_EQ(d.questions, QStringList({"Sauvegarde données", "Sauvegarde données"}));
    EXPECT_EQ(d.filtre, "Kurvalis (*.kv3)|*.kv3|Tableur ASCII (*.txt)|*.txt");
    EXPECT_EQ(d.extension, "KV3");
}

// Pasted line breaks and tabs would add lines under a block whose count says one.
TEST(Kv3TextesUtilisateur, LineBreaksAndTabsBecomeSpaces)
{
    LocaleFixe l(Francais);
    TValeursConstante c;
    c.avecConstante = true;
    c.NomConst = "p\tH";
    c.UniteConst = "u\r";
    c.SignifConst = "aci\ndité";
    c.ValeurConst = "4\r\n5";
    c.Commentaire = "essai\r\nsuite";
    Serie r;
    r.n = 1;
    r.y[0] = 0.5;
    const QStringList cinetique = Kv3Cinetique(c, r, {{3, "a\r\nb\tc"}});
    EXPECT_EQ(OctetsFichier(cinetique.mid(10)),
              EncodeCp1252(QStringLiteral(
                  "£1 NOM CONST\r\np H\r\n£1 UNITE CONST\r\nu \r\n£1 SIGNIF CONST\r\naci dité\r\n"
                  "£1 ACQUISITION\r\nC:/Kelvor/kelvor.exe\r\n£1 PAGE COMMENT\r\nessai  suite\r\n"
                  "&1 VALEUR VAR\r\n0 0,5\r\n&1 VALEUR CONST\r\n4  5\r\n&1 REPERE\r\n3\ta  b c\r\n")));

    const QStringList beer = FichierKV3Beer("exe", "d", {"c\r\n", "mol\t/L", "con\nc"},
                                            {"A", "", "Absorbance"}, r.x, r.y, r.n);
    EXPECT_EQ(OctetsFichier(beer.mid(1, 9)),
              QByteArray("\xa3" "2 NOM VAR\r\nc  \r\nA\r\n\xa3" "2 UNITE VAR\r\nmol /L\r\n\r\n"
                         "\xa3" "2 SIGNIF VAR\r\ncon c\r\nAbsorbance\r\n"));
}
