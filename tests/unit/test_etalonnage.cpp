// Calibration of a Beer-Lambert series against reference figures computed independently
// in exact rational arithmetic (leave-one-out refits done by brute force): the three fits,
// R², s, u(c), the warnings, the texts and the CSV report byte for byte.

#include "mesure/etalonnage.h"
#include "mesure/rapportetalonnage.h"

#include "instrument/inifile.h"
#include "mesure/beer.h"
#include "support/appareilscript.h"
#include "support/localefixe.h"
#include "support/qtprint.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

constexpr double Nan = TEtalonnage::Nan;

struct Serie
{
    std::vector<double> c, a, inconnus;
};

// Exactly A = 10·c.
const Serie Lineaire{{0.01, 0.02, 0.03, 0.04}, {0.1, 0.2, 0.3, 0.4}, {0.25}};
// About A = 10·c + 0,05 with noise of a few thousandths; the second unknown lies above.
const Serie Decalee{{0.01, 0.02, 0.03, 0.04, 0.05}, {0.152, 0.247, 0.353, 0.449, 0.551},
                    {0.30, 0.60}};
// About A = 10·c, point 4 read 0,06 too high.
const Serie Aberrante{{0.01, 0.02, 0.03, 0.04, 0.05, 0.06},
                      {0.101, 0.199, 0.302, 0.46, 0.498, 0.601}, {0.35}};
const Serie Deux{{0.01, 0.03}, {0.12, 0.33}, {0.2}};

TEtalonnage Calcule(const Serie& s, TAjustement aj, const TGrandeurEtalon& g = {})
{
    return Etalonne(s.c, s.a, s.inconnus, aj, g);
}

void ExpectProche(double attendu, double obtenu, const char* quoi)
{
    if (std::isnan(attendu))
        EXPECT_TRUE(std::isnan(obtenu)) << quoi << " = " << obtenu;
    else
        EXPECT_NEAR(obtenu, attendu, 1e-9 * std::max(1.0, std::fabs(attendu))) << quoi;
}

class EtalonnageTest : public ::testing::Test
{
protected:
    LocaleFixe locale{QLocale::French, QLocale::France};
};

struct CasReference
{
    const char* nom;
    const Serie* serie;
    TAjustement aj;
    double pente, ordonnee, r2, s, uOrdonnee;
    std::vector<double> conc, u;
};

TEST_F(EtalonnageTest, FiguresOfTheThreeFitsOnReferenceSeries)
{
    const CasReference cas[] = {
        {"linéaire, rapport", &Lineaire, ajRapportSommes, 10, 0, 1, 0, Nan, {0.025}, {0}},
        {"linéaire, origine", &Lineaire, ajOrigine, 10, 0, 1, 0, Nan, {0.025}, {0}},
        {"linéaire, affine", &Lineaire, ajAffine, 10, 0, 1, 0, 0, {0.025}, {0}},
        {"décalée, rapport", &Decalee, ajRapportSommes, 11.68, 0, 0.971550600260739,
         0.0266720827833148, Nan, {0.0256849315068493, 0.0513698630136986},
         {0.00241664621815102, 0.00277788720452627}},
        {"décalée, origine", &Decalee, ajOrigine, 11.3745454545455, 0, 0.976681046360881,
         0.02414765187154, Nan, {0.0263746803069054, 0.0527493606138107},
         {0.00225321186348762, 0.00260519420357316}},
        {"décalée, affine", &Decalee, ajAffine, 10, 0.0504, 0.999768053811516,
         0.00278088714861523, 0.00291661904723031, {0.02496, 0.05496},
         {0.000307838253633300, 0.000375471424212283}},
        {"aberrante, rapport", &Aberrante, ajRapportSommes, 10.2904761904762, 0,
         0.983766327153145, 0.0244079092047236, Nan, {0.0340120314669135},
         {0.00251814504299020}},
        {"aberrante, origine", &Aberrante, ajOrigine, 10.2648351648352, 0, 0.983798933174243,
         0.0243833847229922, Nan, {0.0340969917567712}, {0.00252261003287767}},
        {"aberrante, affine", &Aberrante, ajAffine, 10.1571428571429, 0.00466666666666667,
         0.983935878462853, 0.0271459897941623, 0.0252715411807589, {0.0339990623534927},
         {0.00288744716926987}},
        {"deux, rapport", &Deux, ajRapportSommes, 11.25, 0, 0.994897959183674,
         0.0106066017177982, Nan, {0.0177777777777778}, {0.00108158294805594}},
        {"deux, origine", &Deux, ajOrigine, 11.1, 0, 0.995918367346939, 0.00948683298050514,
         Nan, {0.018018018018018}, {0.000983668308227855}},
        // Two points fix the affine line and leave no degree of freedom.
        {"deux, affine", &Deux, ajAffine, 10.5, 0.015, 1, Nan, Nan, {0.0176190476190476}, {Nan}},
    };
    for (const CasReference& c : cas) {
        SCOPED_TRACE(c.nom);
        const TEtalonnage e = Calcule(*c.serie, c.aj);
        ASSERT_TRUE(e.valide);
        EXPECT_EQ(e.n, qint32(c.serie->c.size()));
        ExpectProche(c.pente, e.pente, "pente");
        ExpectProche(c.ordonnee, e.ordonnee, "ordonnée");
        ExpectProche(c.r2, e.r2, "R²");
        ExpectProche(c.s, e.s, "s");
        ExpectProche(c.uOrdonnee, e.uOrdonnee, "u(b)");
        ASSERT_EQ(e.concInconnus.size(), c.conc.size());
        for (std::size_t j = 0; j < c.conc.size(); ++j) {
            ExpectProche(c.conc[j], e.concInconnus[j], "c");
            ExpectProche(c.u[j], e.uInconnus[j], "u(c)");
        }
    }
}

// The window's own slope stays the meaning of the default fit, including which points
// take part.
TEST_F(EtalonnageTest, RatioOfSumsIsTheSlopeTheSeriesComputes)
{
    const std::vector<std::vector<std::pair<double, double>>> series = {
        {{0.01, 0.12}, {0.02, 0.25}, {0.04, 0.49}},
        {{0, 0.002}, {0.01, 0.1}, {0.02, 0.2}},
        {{0.01, 0.1}, {0.02, 0.001}, {0.03, 0.3}},
        {{0.01, 0.1}, {0.02, 0.0011}, {0.03, 0.3}},
        {{0.01, 0.1}, {0.02, -0.05}, {0.03, 0.3}, {0.05, Nan}},
        {{0, 0.1}, {0.01, 0.0005}, {0.02, 0}},
    };
    TAppareilScript appareil;
    TSerieBeer serie(appareil);
    for (const auto& points : series) {
        std::vector<double> c, a;
        serie.NbrePoints = 0;
        for (auto [x, y] : points) {
            c.push_back(x);
            a.push_back(y);
            serie.valeurX[serie.NbrePoints] = x;
            serie.valeurY[serie.NbrePoints++] = y;
        }
        const bool calibre = serie.Recalibre();
        const TEtalonnage e = Etalonne(c, a, {}, ajRapportSommes);
        EXPECT_EQ(e.valide, calibre);
        if (calibre) {
            EXPECT_DOUBLE_EQ(e.pente, serie.pente);
        }
    }
    // The example of the window: c = 0,0244 for A = 0,30.
    const double c[] = {0.01, 0.02, 0.04};
    const double a[] = {0.12, 0.25, 0.49};
    const double inconnu[] = {0.30};
    EXPECT_EQ(Etalonne(c, a, inconnu, ajRapportSommes).TexteInconnu(0), "0,0244 ± 0,0003");
}

struct CasAvertissement
{
    const char* nom;
    Serie serie;
    TAjustement aj;
    QStringList attendus;
};

TEST_F(EtalonnageTest, Warnings)
{
    const QString horsGamme2 = QStringLiteral("inconnu 2 hors gamme étalonnée");
    const CasAvertissement cas[] = {
        {"exactly linear, unknowns on both ends of the range",
         {Lineaire.c, Lineaire.a, {0.1, 0.4}}, ajAffine, {}},
        {"an unknown below and one above the range",
         {Lineaire.c, Lineaire.a, {0.05, 0.25, 0.45}}, ajOrigine,
         {"inconnus 1 et 3 hors gamme étalonnée"}},
        {"seven unknowns out of range",
         {Lineaire.c, Lineaire.a, {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}}, ajRapportSommes,
         {"inconnus 1, 2, 3, 4, 5 et 2 autres hors gamme étalonnée"}},
        {"offset, ratio of sums", Decalee, ajRapportSommes, {horsGamme2}},
        {"offset, affine", Decalee, ajAffine, {AvertOrigine, horsGamme2}},
        {"outlier, ratio of sums", Aberrante, ajRapportSommes, {"point 4 suspect"}},
        {"outlier, through the origin", Aberrante, ajOrigine, {"point 4 suspect"}},
        {"outlier, affine", Aberrante, ajAffine, {"point 4 suspect"}},
        {"two standards, through the origin", Deux, ajOrigine, {AvertMoinsDeTrois}},
        {"two standards, affine", Deux, ajAffine, {AvertMoinsDeTrois}},
        {"no standard at all", {{0, 0.02}, {0.001, 0.0}, {0.3}}, ajRapportSommes,
         {AvertMoinsDeTrois}},
        {"absorbances above 1 and 2; 1 itself is no warning",
         {{0.1, 0.2, 0.3, 0.4}, {0.5, 1.0, 1.5, 2.0}, {2.5, 1.2, 0.7}}, ajRapportSommes,
         {"absorbance au-dessus de 2,0 (inconnu 1) : au-delà de ce que l'appareil mesure bien",
          "absorbance au-dessus de 1,0 (points 3 et 4, inconnu 2) : linéarité douteuse",
          "inconnu 1 hors gamme étalonnée"}},
    };
    for (const CasAvertissement& c : cas) {
        SCOPED_TRACE(c.nom);
        EXPECT_EQ(Calcule(c.serie, c.aj).avertissements, c.attendus);
    }
}

TEST_F(EtalonnageTest, ValueWithUncertainty)
{
    const struct
    {
        double x, u;
        const char* texte;
    } cas[] = {
        {0.0244186, 0.000348596, "0,0244 ± 0,0003"},
        {0.0256849, 0.00241665, "0,0257 ± 0,0024"},     // first digit 2: two digits
        {0.02496, 0.00030784, "0,0250 ± 0,0003"},       // value padded to the same place
        {0.05, 0.00096, "0,0500 ± 0,0010"},             // rounding up to a new power of ten
        {1234.56, 23, "1235 ± 23"},
        {12345, 340, "12300 ± 300"},
        {-0.00002, 0.0006, "0,0000 ± 0,0006"},          // no sign on a rounded zero
        {0.025, 0, "0,025 ± 0"},
        {0.0176190476, Nan, "0,0176 ± —"},
        {Nan, 0.001, ""},
    };
    for (const auto& c : cas)
        EXPECT_EQ(TexteValeurIncertitude(c.x, c.u), c.texte) << c.x << " " << c.u;
    LocaleFixe anglais(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(TexteValeurIncertitude(0.0244186, 0.000348596), "0.0244 ± 0.0003");
}

TEST_F(EtalonnageTest, SlopeUnitAndEquation)
{
    const struct
    {
        const char* unite;
        const char* pente;
    } unites[] = {
        {"mol/L", "L/mol"}, {"g/100 mL", "100 mL/g"}, {"M", "1/M"}, {"", ""},
        {"mol.L-1", "1/(mol.L-1)"}, {"mol/L/s", "1/(mol/L/s)"},
    };
    for (const auto& u : unites)
        EXPECT_EQ(UnitePente(u.unite), u.pente) << u.unite;

    EXPECT_EQ(Calcule(Decalee, ajRapportSommes).Equation(), "A = 11,68·c (pente en L/mol)");
    EXPECT_EQ(Calcule(Decalee, ajOrigine).Equation(), "A = 11,37·c (pente en L/mol)");
    EXPECT_EQ(Calcule(Decalee, ajAffine).Equation(), "A = 10·c + 0,0504 (pente en L/mol)");
    const Serie negative{{0.01, 0.02, 0.03}, {0.05, 0.15, 0.25}, {}};
    EXPECT_EQ(Calcule(negative, ajAffine, {"C", ""}).Equation(), "A = 10·C - 0,05");
    EXPECT_EQ(Calcule(Lineaire, ajAffine).Equation(), "A = 10·c + 0 (pente en L/mol)")
        << "an intercept at the rounding noise is shown as 0";
}

TEST_F(EtalonnageTest, PanelText)
{
    EXPECT_EQ(Calcule(Decalee, ajAffine).TextePanneau(),
              "Droite affine\n"
              "A = 10·c + 0,0504 (pente en L/mol)\n"
              "R² = 0,9998\n"
              "n = 5 étalons\n"
              "s = 0,0028\n"
              "c = 0,0550 ± 0,0004 mol/L (dernier inconnu)\n"
              "Attention, la droite ne passe pas par l'origine : vérifier le blanc\n"
              "Attention, inconnu 2 hors gamme étalonnée");
    EXPECT_EQ(Calcule(Deux, ajAffine).TextePanneau(),
              "Droite affine\n"
              "A = 10,5·c + 0,015 (pente en L/mol)\n"
              "R² = 1,0000\n"
              "n = 2 étalons\n"
              "s = —\n"
              "c = 0,0176 ± — mol/L (dernier inconnu)\n"
              "Attention, moins de 3 étalons : étalonnage peu sûr");
    const TEtalonnage vide = Etalonne({}, {}, {}, ajOrigine);
    EXPECT_FALSE(vide.valide);
    EXPECT_EQ(vide.TextePanneau(),
              "Moindres carrés par l'origine\n"
              "Pas d'étalonnage\n"
              "n = 0 étalon\n"
              "Attention, moins de 3 étalons : étalonnage peu sûr");
}

TEST_F(EtalonnageTest, FitChoiceInTheSettingsFile)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath("Kealvor5100.ini");
    {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[Beer]\r\nMode=1\r\n");
    }
    EXPECT_EQ(LitAjustement(TIniFile(chemin)), ajRapportSommes) << "file without the key";
    for (TAjustement aj : {ajAffine, ajOrigine, ajRapportSommes}) {
        TIniFile ini(chemin);
        EcritAjustement(ini, aj);
        ASSERT_TRUE(ini.UpdateFile());
        EXPECT_EQ(LitAjustement(TIniFile(chemin)), aj);
    }
    TIniFile ini(chemin);
    EcritAjustement(ini, ajAffine);
    EXPECT_TRUE(ini.Contenu().contains("[Beer]\r\nMode=1\r\nAjustement=2\r\n"));
    for (const char* faux : {"3", "-1", "affine"}) {
        ini.WriteString("Beer", "Ajustement", faux);
        EXPECT_EQ(LitAjustement(ini), ajRapportSommes) << faux;
    }
}

// Blank, three standards, one unknown inside the range and one above.
TEtalonnage SerieRapport(const TGrandeurEtalon& g = {})
{
    const double c[] = {0, 0.01, 0.02, 0.04};
    const double a[] = {0.002, 0.12, 0.25, 0.49};
    const double inconnus[] = {0.30, 0.55};
    return Etalonne(c, a, inconnus, ajRapportSommes, g);
}

TEST_F(EtalonnageTest, CsvReportBytes)
{
    const QByteArray francais =
        "\xEF\xBB\xBF"
        "Étalonnage Beer-Lambert\r\n"
        "Ajustement;Rapport des sommes (ΣA/Σc)\r\n"
        "Équation;A = 12,29·c (pente en L/mol)\r\n"
        "Pente (L/mol);12,2857142857143\r\n"
        "R²;0,999594539802676\r\n"
        "n;3\r\n"
        // Exactly 0,003779644730092272...; the last of 15 digits is that of the double.
        "s;0,00377964473009228\r\n"
        "\r\n"
        "Étalons\r\n"
        "c (mol/L);A;Pris en compte\r\n"
        "0;0,002;non\r\n"
        "0,01;0,12;oui\r\n"
        "0,02;0,25;oui\r\n"
        "0,04;0,49;oui\r\n"
        "\r\n"
        "Inconnus\r\n"
        "A;c (mol/L);u(c) (mol/L)\r\n"
        "0,3;0,0244;0,0003\r\n"
        "0,55;0,0448;0,0004\r\n"
        "\r\n"
        "Avertissements\r\n"
        "inconnu 2 hors gamme étalonnée\r\n";
    EXPECT_EQ(RapportCsv(SerieRapport()), francais);

    LocaleFixe anglais(QLocale::English, QLocale::UnitedStates);
    QByteArray point = francais;
    for (const char* nombre : {"12,29", "12,2857142857143", "0,999594539802676",
                               "0,00377964473009228", "0,002", "0,01", "0,12", "0,02", "0,25",
                               "0,04", "0,49", "0,3", "0,0244", "0,0003", "0,55", "0,0448",
                               "0,0004"})
        point.replace(QByteArray(nombre), QByteArray(nombre).replace(',', '.'));
    EXPECT_EQ(RapportCsv(SerieRapport()), point);
}

TEST_F(EtalonnageTest, CsvReportOfAnAffineFitAndUserTexts)
{
    const QByteArray r = RapportCsv(Calcule(Deux, ajAffine, {"x", "g;L"}));
    EXPECT_TRUE(r.contains("Ordonnée à l'origine;0,015\r\nu(ordonnée);\r\n")) << r.toStdString();
    EXPECT_TRUE(r.contains("s;\r\n")) << "no value, empty cell";
    EXPECT_TRUE(r.contains("\r\n\"x (g;L)\";A;Pris en compte\r\n")) << "a ';' is quoted";
    // No uncertainty: the concentration at full precision and an empty cell.
    EXPECT_TRUE(r.contains("\r\n0,2;0,0176190476190476;\r\n")) << r.toStdString();
}

} // namespace
