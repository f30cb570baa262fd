#include "exchange/textes.h"

#include "support/localefixe.h"
#include "util/cp1252.h"

#include <QLocale>
#include <QTemporaryDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

const QLocale Francais(QLocale::French, QLocale::France);
const QLocale Anglais(QLocale::English, QLocale::UnitedStates);

struct Serie
{
    Vecteur x{};
    Vecteur y{};
    qint32 n = 0;
    void Ajoute(double vx, double vy)
    {
        x[n] = vx;
        y[n] = vy;
        ++n;
    }
};

Vecteur SpectreVide()
{
    Vecteur y;
    y.fill(PasDeValeur());
    return y;
}

TValeursConstante Parametre(bool avec)
{
    TValeursConstante c;
    c.avecConstante = avec;
    c.NomConst = "C";
    c.UniteConst = "mol/L";
    c.ValeurConst = "0,02";
    c.SignifConst = "concentration";
    c.Commentaire = "essai";
    return c;
}

} // namespace

TEST(BlocCinetique, ThreePointsNoParameterGiveEightLinesExactly)
{
    LocaleFixe l(Francais);
    Serie s;
    s.Ajoute(0, 0.4567);
    s.Ajoute(5, 0.5);
    s.Ajoute(10, 1.25e-5);
    TValeursConstante c;
    const QString texte = TexteBloc(BlocCinetique("/opt/kelvor/kelvor", "05/03/2026 14:07:09", c,
                                                  s.x, s.y, s.n, {}));
    EXPECT_EQ(texte.toStdString(),
              "/opt/kelvor/kelvor\r\n"
              "Cinétique  05/03/2026 14:07:09\r\n"
              "\r\n"
              "t\tA\r\n"
              "s\t\r\n"
              "0\t0.4567\r\n"
              "5\t0.5\r\n"
              "10\t1.25E-05\r\n");
}

TEST(BlocCinetique, ParameterThenMarkersCloseTheBlock)
{
    Serie s;
    s.Ajoute(0, 0.1);
    const ListeReperes reperes{{30, "ajout acide"}, {60, ""}};
    // The symbol alone does not add the parameter: the flag of the last OK decides.
    TValeursConstante sans = Parametre(false);
    EXPECT_EQ(BlocCinetique("k", "d", sans, s.x, s.y, s.n, reperes).mid(6),
              QStringList({"&2 REPERE", "30\tajout acide", "60\t"}));
    EXPECT_EQ(BlocCinetique("k", "d", Parametre(true), s.x, s.y, s.n, reperes).mid(2),
              QStringList({"essai", "t\tA", "s\t", "0\t0.1", "", "C", "mol/L", "0,02", "&2 REPERE",
                           "30\tajout acide", "60\t"}));
}

TEST(BlocSpectre, GapIsLeftOutOfBothBlocksAndAbsorbancesUseTheLocale)
{
    LocaleFixe l(Francais);
    Vecteur y = SpectreVide();
    for (int lambda = 400; lambda <= 700; ++lambda)
        y[lambda] = 0.4567;
    y[402] = PasDeValeur();
    y[399] = 1;   // outside the range: never written
    y[701] = 1;

    TValeursConstante c;
    c.Commentaire = "essai";
    const QStringList plein = BlocSpectre("k", "d", c, y, 400, 700);
    ASSERT_EQ(plein.size(), 4 + 300);
    EXPECT_EQ(plein.mid(0, 7), QStringList({"k", "essai spectre d", "lambda\tA", "nm\t",
                                            "400\t0,457", "401\t0,457", "403\t0,457"}));
    EXPECT_EQ(plein.last(), "700\t0,457");

    const QStringList colonne = BlocColonne(2, "second", y, 400, 700);
    ASSERT_EQ(colonne.size(), 4 + 300);
    EXPECT_EQ(colonne.mid(0, 5), QStringList({"", "A2\t", "\t", "second\t", "0,457"}));
    EXPECT_EQ(TexteBloc(colonne.mid(0, 4)), "\r\nA2\t\r\n\t\r\nsecond\t\r\n");
}

TEST(BlocSpectre, ParameterFollowsTheSymbolTypedNow)
{
    Vecteur y = SpectreVide();
    y[500] = 0.1;
    TValeursConstante c = Parametre(false);   // symbol typed, dialog cancelled
    EXPECT_EQ(BlocSpectre("k", "d", c, y, 500, 500).mid(5),
              QStringList({"", "C", "mol/L", "0,02"}));
    c.NomConst.clear();
    c.avecConstante = true;
    EXPECT_EQ(BlocSpectre("k", "d", c, y, 500, 500).size(), 5);
}

TEST(BlocSpectre, RangeBeyondTheArraysIsClamped)
{
    Vecteur y = SpectreVide();
    y[0] = 0.1;
    y[2048] = 0.2;
    EXPECT_EQ(BlocSpectre("k", "d", {}, y, -5, 5000).mid(4),
              QStringList({"0\t0.100", "2048\t0.200"}));
    Serie s;
    EXPECT_EQ(BlocCinetique("k", "d", {}, s.x, s.y, 99999, {}).size(), 5 + 2049);
}

// Kinetics numbers travel with a full stop; spectrum absorbances follow the locale.
struct CasLocale
{
    const char* nom;
    QLocale locale;
    const char* cinetique;
    const char* spectre;
    const char* colonne;
};

class FormesNombres : public ::testing::TestWithParam<CasLocale> {};

TEST_P(FormesNombres, KineticsWithFullStopSpectrumWithLocale)
{
    const CasLocale& cas = GetParam();
    LocaleFixe l(cas.locale);
    Serie s;
    s.Ajoute(12, 0.4567);
    Vecteur y = SpectreVide();
    y[512] = 0.4567;
    EXPECT_EQ(BlocCinetique("k", "d", {}, s.x, s.y, s.n, {})[5], cas.cinetique);
    EXPECT_EQ(PageTexteCinetique({}, s.x, s.y, s.n, {})[0], cas.cinetique);
    EXPECT_EQ(BlocSpectre("k", "d", {}, y, 500, 520)[4], cas.spectre);
    EXPECT_EQ(BlocColonne(2, "", y, 500, 520)[4], cas.colonne);
}

INSTANTIATE_TEST_SUITE_P(
    Locales, FormesNombres,
    ::testing::Values(CasLocale{"francais", Francais, "12\t0.4567", "512\t0,457", "0,457"},
                      CasLocale{"anglais", Anglais, "12\t0.4567", "512\t0.457", "0.457"}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(TexteCinetique, HeadMarkersAndParameterValue)
{
    Serie s;
    s.Ajoute(0, 0.25);
    s.Ajoute(30, 0.5);
    QStringList l = EnteteTexteCinetique("Kelvor 5100");
    l += PageTexteCinetique(Parametre(true), s.x, s.y, s.n, {{10, "a"}, {20, ""}});
    EXPECT_EQ(l, QStringList({"Cinétique avec Kelvor 5100", "t\tA", "s\t", "0\t0.25", "30\t0.5", "",
                              "REPERE", "10\ta", "20\t", "&1 VALEUR CONST", "0,02"}));
    EXPECT_EQ(PageTexteCinetique(Parametre(false), s.x, s.y, s.n, {}),
              QStringList({"0\t0.25", "30\t0.5"}));
}

TEST(TexteBeer, HeadThenPointsWithFullStop)
{
    LocaleFixe l(Francais);
    Serie s;
    s.Ajoute(0.002, 0.4567);
    s.Ajoute(0.004, 0.9);
    EXPECT_EQ(TexteBeer("05/03/2026 14:07:09", {"C", "mmol/L", "concentration"},
                        {"A", "", "absorbance"}, s.x, s.y, s.n),
              QStringList({"Loi de Beer-Lambert 05/03/2026 14:07:09", "C\tA", "mmol/L\t",
                           "concentration\tabsorbance", "0.002\t0.4567", "0.004\t0.9"}));
}

TEST(DateHeure, ShortDateThenTimeWithTheLocaleSeparators)
{
    const QDateTime instant(QDate(2026, 3, 5), QTime(14, 7, 9));
    struct Cas
    {
        QLocale locale;
        const char* attendu;
    };
    const Cas cas[] = {
        {Francais, "05/03/2026 14:07:09"},
        {QLocale(QLocale::Finnish, QLocale::Finland), "5.3.2026 14.07.09"},
        {QLocale(QLocale::German, QLocale::Germany), "05.03.26 14:07:09"},
    };
    for (const Cas& c : cas) {
        LocaleFixe l(c.locale);
        EXPECT_EQ(DateHeureTexte(instant).toStdString(), c.attendu) << c.locale.name().toStdString();
    }
}

TEST(OctetsFichier, Windows1252WithCrLfAfterEveryLineAndNoMark)
{
    EXPECT_EQ(OctetsFichier({"£2 SIGNIF VAR", "durée", "", "x\u20ACy\u03BB"}),
              QByteArray("\xA3" "2 SIGNIF VAR\r\ndur\xE9" "e\r\n\r\nx\x80y?\r\n"));
    EXPECT_EQ(OctetsFichier({}), QByteArray());
}

TEST(EcritFichierLignes, WritesBytesAndReportsAFolderThatDoesNotExist)
{
    QTemporaryDir dossier;
    const QString nom = dossier.filePath("a.txt");
    ASSERT_TRUE(EcritFichierLignes(nom, {"durée"}));
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("dur\xE9" "e\r\n"));

    QString erreur;
    EXPECT_FALSE(EcritFichierLignes(dossier.filePath("absent/a.txt"), {"x"}, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}

// A user text pasted with CR, LF or tab must neither split its line nor add a column:
// every writer keeps its line count and its columns, whatever was typed.
TEST(TextesUtilisateur, LineBreaksAndTabsBecomeSpacesInEveryBlockAndFile)
{
    LocaleFixe l(Anglais);
    EXPECT_EQ(UneLigne("essai\r\nsuite\tfin\n"), "essai  suite fin ");

    TValeursConstante c = Parametre(true);
    c.Commentaire = "essai\r\nsuite";
    c.NomConst = "C\t1";
    c.UniteConst = "mol\n/L";
    c.ValeurConst = "0,02\r";
    c.SignifConst = "con\r\ncentration";
    Serie s;
    s.Ajoute(0, 0.5);
    const ListeReperes reperes{{3, "ajout\r\nde\tsoude"}};
    Vecteur spectre = SpectreVide();
    spectre[500] = 0.25;
    const TVariable x{"c\t2", "mol\r\n/L", "conc\nentration"};
    const TVariable y{"A", "", "Absorbance"};

    const struct { const char* nom; QStringList lignes; QByteArray attendu; } cas[] = {
        {"kinetics block", BlocCinetique("exe", "d", c, s.x, s.y, s.n, reperes),
         "exe\r\nCinétique  d\r\nessai  suite\r\nt\tA\r\ns\t\r\n0\t0.5\r\n\r\nC 1\r\nmol /L\r\n"
         "0,02 \r\n&1 REPERE\r\n3\tajout  de soude\r\n"},
        {"spectrum block", BlocSpectre("exe", "d", c, spectre, 500, 500),
         "exe\r\nessai  suite spectre d\r\nlambda\tA\r\nnm\t\r\n500\t0.250\r\n\r\nC 1\r\n"
         "mol /L\r\n0,02 \r\n"},
        {"column block", BlocColonne(2, c.Commentaire, spectre, 500, 500),
         "\r\nA2\t\r\n\t\r\nessai  suite\t\r\n0.250\r\n"},
        {"kinetics text file", PageTexteCinetique(c, s.x, s.y, s.n, reperes),
         "0\t0.5\r\n\r\nREPERE\r\n3\tajout  de soude\r\n&1 VALEUR CONST\r\n0,02 \r\n"},
        {"Beer-Lambert text file", TexteBeer("d", x, y, s.x, s.y, s.n),
         "Loi de Beer-Lambert d\r\nc 2\tA\r\nmol  /L\t\r\nconc entration\tAbsorbance\r\n"
         "0\t0.5\r\n"},
    };
    for (const auto& k : cas)
        EXPECT_EQ(OctetsFichier(k.lignes), EncodeCp1252(QString::fromUtf8(k.attendu))) << k.nom;
}
