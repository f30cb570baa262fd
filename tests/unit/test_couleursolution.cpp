#include "mesure/couleursolution.h"

#include "support/spectresynthetique.h"
#include "util/tablescie.h"

#include <QFile>
#include <QStringList>
#include <gtest/gtest.h>

using namespace kelvor;
using synth::Gauss;

namespace {

struct Lab
{
    double L, a, b;
};

// CIELAB of an 8-bit sRGB colour (inverse transfer curve, IEC 61966-2-1 matrix, D65
// white), written apart from the code under test.
Lab LabDepuisSrgb(QRgb c)
{
    const auto lin = [](int octet) {
        const double v = octet / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double r = lin(qRed(c)), g = lin(qGreen(c)), b = lin(qBlue(c));
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389 ? std::cbrt(t) : (24389.0 / 27 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

double DeltaE(QRgb u, QRgb v)
{
    const Lab p = LabDepuisSrgb(u), q = LabDepuisSrgb(v);
    return std::hypot(p.L - q.L, p.a - q.a, p.b - q.b);
}

// A green-absorbing dye (band at 520 nm) on a small even background.
double Pourpre(double l)
{
    return 0.2 + 1.0 * Gauss(l, 520, 20);
}

} // namespace

TEST(CouleurSolution, EmbeddedTablesAreTheRepositoryData)
{
    struct Fichier { const char* nom; QList<const std::array<double, NbreCie>*> colonnes; };
    const Fichier fichiers[] = {{"cie1931_2deg_5nm.csv", {&XbarCie, &YbarCie, &ZbarCie}},
                                {"d65_5nm.csv", {&D65Cie}}};
    for (const Fichier& f : fichiers) {
        SCOPED_TRACE(f.nom);
        QFile csv(QStringLiteral(KELVOR_DATA_DIR "/") + f.nom);
        ASSERT_TRUE(csv.open(QIODevice::ReadOnly | QIODevice::Text));
        const QStringList lignes = QString::fromUtf8(csv.readAll()).split('\n', Qt::SkipEmptyParts);
        ASSERT_EQ(lignes.size(), NbreCie + 1);
        for (int i = 0; i < NbreCie; ++i) {
            const QStringList champs = lignes[i + 1].split(',');
            ASSERT_EQ(champs.size(), f.colonnes.size() + 1);
            EXPECT_EQ(champs[0].toInt(), LambdaDebutCie + PasCie * i);
            for (qsizetype j = 0; j < f.colonnes.size(); ++j)
                EXPECT_EQ(champs[j + 1].toDouble(), (*f.colonnes[j])[i]) << champs[0].toStdString();
        }
    }
}

TEST(CouleurSolution, ClearCellIsWhite)
{
    const TCouleurSolution c = CouleurSolution(synth::Spectre([](double) { return 0.0; }, 350, 800), 350, 800);
    ASSERT_TRUE(c.valide);
    EXPECT_EQ(c.hex, QStringLiteral("#FFFFFF"));
    EXPECT_NEAR(c.Y, 100, 1e-9);
    EXPECT_NEAR(c.X, 95.04, 0.01);      // the illuminant's own white point
    EXPECT_NEAR(c.Z, 108.91, 0.01);
    EXPECT_EQ(c.nom, QStringLiteral("incolore"));
    EXPECT_EQ(c.texte, QStringLiteral("n'absorbe pas dans le visible → paraît incolore"));
}

TEST(CouleurSolution, GreenAbsorberLooksPurpleAtEveryStep)
{
    // Reference: a Python script written apart from this code read data/*.csv, took
    // A = 0.2 + exp(-((λ-520)/20)²) at 380, 385, ... 780 nm and applied the same
    // definition (D65, 2° observer, k = 100/ΣSȳ, IEC 61966-2-1 matrix and curve, clipped,
    // rounded): X = 56.799, Y = 45.240, Z = 65.173, sRGB #EA9AD0.
    const QRgb reference = qRgb(0xEA, 0x9A, 0xD0);
    struct Cas { int debut, pas; };
    for (const Cas c : {Cas{350, 1}, Cas{351, 2}, Cas{380, 5}, Cas{380, 10}}) {
        SCOPED_TRACE(c.pas);
        const TCouleurSolution s = CouleurSolution(synth::Spectre(Pourpre, c.debut, 800, c.pas), c.debut, 800);
        ASSERT_TRUE(s.valide);
        EXPECT_LT(DeltaE(s.rgb, reference), 2.0) << s.hex.toStdString();
        EXPECT_EQ(s.nom, QStringLiteral("pourpre"));
        EXPECT_EQ(s.texte, QStringLiteral("absorbe surtout vers 520 nm (vert) → paraît pourpre"));
    }
    // Sampled on the tables' own grid the sums are the reference's.
    const TCouleurSolution s = CouleurSolution(synth::Spectre(Pourpre, 350, 800), 350, 800);
    EXPECT_NEAR(s.X, 56.799, 0.001);
    EXPECT_NEAR(s.Y, 45.240, 0.001);
    EXPECT_NEAR(s.Z, 65.173, 0.001);
    EXPECT_EQ(s.hex, QStringLiteral("#EA9AD0"));
}

TEST(CouleurSolution, EvenAbsorptionIsGreyThenBlack)
{
    // Reference from the same script: A = 1 everywhere gives #595959.
    const TCouleurSolution gris = CouleurSolution(synth::Spectre([](double) { return 1.0; }, 380, 780), 380, 780);
    EXPECT_EQ(gris.hex, QStringLiteral("#595959"));
    EXPECT_EQ(gris.texte, QStringLiteral("absorbe tout le visible également → paraît gris"));
    EXPECT_EQ(CouleurSolution(synth::Spectre([](double) { return 2.5; }, 380, 780), 380, 780).nom,
              QStringLiteral("noir"));
}

TEST(CouleurSolution, IncompleteVisibleRangeGivesNoColour)
{
    Vecteur troue = synth::Spectre(Pourpre, 350, 800);
    troue[600] = PasDeValeur();
    Vecteur troueAuPas = synth::Spectre(Pourpre, 350, 800, 5);
    troueAuPas[700] = PasDeValeur();
    struct Cas { const char* nom; Vecteur y; int debut, fin; };
    const Cas cas[] = {
        {"starts at 400 nm", synth::Spectre(Pourpre, 400, 800), 400, 800},
        {"ends at 779 nm", synth::Spectre(Pourpre, 350, 779), 350, 779},
        {"markers inside the visible", synth::Spectre(Pourpre, 350, 800), 350, 700},
        {"a failed reading", troue, 350, 800},
        {"a failed reading at a 5 nm step", troueAuPas, 350, 800},
        {"nothing measured", synth::Spectre(Pourpre, 0, -1), 350, 800},
    };
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const TCouleurSolution s = CouleurSolution(c.y, c.debut, c.fin);
        EXPECT_FALSE(s.valide);
        EXPECT_TRUE(s.hex.isEmpty());
        EXPECT_EQ(s.texte, QStringLiteral("plage visible incomplète"));
    }
}

TEST(CouleurSolution, NamesFollowHueChromaAndValue)
{
    struct Cas { QRgb rgb; const char* nom; };
    const Cas cas[] = {
        {qRgb(255, 255, 255), "incolore"}, {qRgb(250, 245, 240), "incolore"},
        {qRgb(128, 128, 128), "gris"},     {qRgb(40, 40, 40), "noir"},
        {qRgb(40, 10, 10), "noir"},        {qRgb(230, 40, 40), "rouge"},
        {qRgb(240, 130, 40), "orangé"},    {qRgb(250, 230, 90), "jaune"},
        {qRgb(120, 220, 110), "vert"},     {qRgb(90, 220, 200), "bleu-vert"},
        {qRgb(80, 140, 240), "bleu"},      {qRgb(130, 60, 230), "violet"},
        {qRgb(200, 90, 200), "pourpre"},   {qRgb(230, 60, 120), "rouge"},
    };
    for (const Cas& c : cas)
        EXPECT_EQ(NomCouleur(c.rgb), QString::fromUtf8(c.nom)) << std::hex << c.rgb;

    struct Bande { int lambda; const char* nom; };
    const Bande bandes[] = {{380, "violet"}, {430, "bleu"}, {490, "bleu-vert"}, {520, "vert"},
                            {570, "jaune-vert"}, {590, "jaune"}, {600, "orangé"}, {650, "rouge"}};
    for (const Bande& b : bandes)
        EXPECT_EQ(BandeSpectrale(b.lambda), QString::fromUtf8(b.nom)) << b.lambda;
}
