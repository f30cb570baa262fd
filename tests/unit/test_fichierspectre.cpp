#include "exchange/fichierspectre.h"

#include "support/localefixe.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

const QLocale Francais(QLocale::French, QLocale::France);
const QLocale Anglais(QLocale::English, QLocale::UnitedStates);

Vecteur Vide()
{
    Vecteur y;
    y.fill(PasDeValeur());
    return y;
}

QByteArray Lit(const QString& nom)
{
    QFile f(nom);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(FichierSpectre, SavedEveryTwoNanometresGivesHeadingAndOneLinePerPoint)
{
    LocaleFixe l(Francais);
    Vecteur y = Vide();
    for (int lambda = 400; lambda <= 700; lambda += 2)
        y[lambda] = 0.734;
    QTemporaryDir dossier;
    const QString nom = dossier.filePath("spectre");
    ASSERT_TRUE(EcritSpectre(nom, "05/03/2026 14:07:09", y, 400, 700));
    const QByteArray octets = Lit(nom);
    EXPECT_TRUE(octets.startsWith("Spectre  05/03/2026 14:07:09\r\nLambda\tA\r\nnm\t\r\n"
                                  "400\t0,734\r\n402\t0,734\r\n"));
    EXPECT_TRUE(octets.endsWith("\r\n700\t0,734\r\n"));
    EXPECT_EQ(octets.count("\r\n"), 3 + 151);
    EXPECT_EQ(octets.count('\n'), 3 + 151);
}

TEST(FichierSpectre, SavedFileOpensBackToTheSamePointsAndRange)
{
    LocaleFixe l(Francais);
    Vecteur y = Vide();
    y[412] = 0.1;
    y[413] = -0.3;
    y[600] = 2.5;
    QTemporaryDir dossier;
    const QString nom = dossier.filePath("s.txt");
    ASSERT_TRUE(EcritSpectre(nom, "d", y, 400, 700));

    Vecteur ancien = Vide();
    ancien[500] = 1;   // a previous spectrum is replaced
    TSpectreLu lu;
    ASSERT_TRUE(LitSpectre(nom, ancien, 320, 1000, lu));
    EXPECT_EQ(lu.debut, 412);
    EXPECT_EQ(lu.fin, 600);
    for (int lambda = 0; lambda <= 2048; ++lambda) {
        if (std::isnan(y[lambda]))
            EXPECT_TRUE(std::isnan(lu.y[lambda])) << lambda;
        else
            EXPECT_DOUBLE_EQ(lu.y[lambda], y[lambda]) << lambda;
    }
}

struct CasLecture
{
    const char* nom;
    QLocale locale;
    QByteArray donnees;                      // lines after the three heading lines
    QList<QPair<int, double>> attendus;      // NaN = no value
    int debut;
    int fin;
};

class LectureTolerante : public ::testing::TestWithParam<CasLecture> {};

TEST_P(LectureTolerante, StoresWhatReadsAndSkipsTheRest)
{
    const CasLecture& cas = GetParam();
    LocaleFixe l(cas.locale);
    const TSpectreLu lu =
        AnalyseSpectre("une\r\ndeux\tx\r\n500\t9\r\n" + cas.donnees, Vide(), 320, 1000);
    for (const auto& [lambda, valeur] : cas.attendus) {
        if (std::isnan(valeur))
            EXPECT_TRUE(std::isnan(lu.y[lambda])) << lambda;
        else
            EXPECT_DOUBLE_EQ(lu.y[lambda], valeur) << lambda;
    }
    EXPECT_EQ(lu.debut, cas.debut);
    EXPECT_EQ(lu.fin, cas.fin);
}

const double NaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Cas, LectureTolerante,
    ::testing::Values(
        CasLecture{"pointSousLocaleFrancaise", Francais, "400\t0.734\r\n401\t0,5\r\n",
                   {{400, 0.734}, {401, 0.5}, {500, NaN}}, 400, 401},
        CasLecture{"virguleSousLocaleAnglaise", Anglais, "400\t0,734\n401\t0.5\n",
                   {{400, 0.734}, {401, 0.5}}, 400, 401},
        CasLecture{"lignesMalformees", Francais,
                   "sans tabulation\r\nabc\t0.5\r\n4.5\t0.5\r\n450\tpas un nombre\r\n"
                   "460\t0.25\r\n\r\n",
                   {{450, NaN}, {460, 0.25}}, 460, 460},
        CasLecture{"horsTableau", Francais, "-1\t0.5\r\n2049\t0.5\r\n99999\t0.5\r\n700\t0.5",
                   {{700, 0.5}}, 700, 700},
        CasLecture{"horsGammeDeLInstrument", Francais, "200\t0.5\r\n1500\t0.7\r\n",
                   {{200, 0.5}, {1500, 0.7}}, 1000, 1000},
        CasLecture{"troisLignesSeulement", Francais, "", {{500, NaN}, {320, NaN}}, 1000,
                   1000}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(FichierSpectre, UnreadableFileKeepsThePreviousSpectrumAndSaysWhy)
{
    QTemporaryDir dossier;
    TSpectreLu lu;
    lu.debut = 400;
    lu.fin = 700;
    QString erreur;
    EXPECT_FALSE(LitSpectre(dossier.filePath("absent"), Vide(), 320, 1000, lu, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
    EXPECT_EQ(lu.debut, 400);
    EXPECT_EQ(lu.fin, 700);

    Vecteur y = Vide();
    y[500] = 1;
    EXPECT_FALSE(EcritSpectre(dossier.filePath("absent/s"), "d", y, 400, 700, &erreur));
    EXPECT_FALSE(erreur.isEmpty());
}

// What cannot be a spectrum file is refused before any of it is analysed: the caller's
// spectrum stays as it was and the message says why.
TEST(FichierSpectre, HugeOrBinaryFileIsRefusedWithAMessage)
{
    const QByteArray entete = "Spectre  d\r\nLambda\tA\r\nnm\t\r\n";
    QByteArray enorme = entete + "500\t0.5\r\n";
    enorme += QByteArray(TailleMaxFichierSpectre - enorme.size() + 1, ' ');
    const struct { const char* nom; QByteArray contenu; const char* message; } cas[] = {
        {"one byte over 1 MB", enorme,
         "Le fichier %1 dépasse 1 Mo : ce n'est pas un fichier de spectre (2049 points au plus). "
         "Le spectre affiché est gardé."},
        {"NUL bytes", entete + "500\t0.5\r\n" + QByteArray(8, '\0'),
         "Le fichier %1 n'est pas un fichier texte : ce n'est pas un fichier de spectre. "
         "Le spectre affiché est gardé."},
        {"other control byte", entete + "500\t0.5\x01\r\n",
         "Le fichier %1 n'est pas un fichier texte : ce n'est pas un fichier de spectre. "
         "Le spectre affiché est gardé."},
    };
    QTemporaryDir dossier;
    for (const auto& c : cas) {
        const QString nom = dossier.filePath("f");
        QFile f(nom);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(c.contenu);
        f.close();
        TSpectreLu lu;
        lu.debut = 400;
        lu.fin = 700;
        QString erreur;
        EXPECT_FALSE(LitSpectre(nom, Vide(), 320, 1000, lu, &erreur)) << c.nom;
        EXPECT_EQ(erreur, QString::fromUtf8(c.message).arg(QDir::toNativeSeparators(nom))) << c.nom;
        EXPECT_EQ(lu.debut, 400) << c.nom;
        EXPECT_EQ(lu.fin, 700) << c.nom;
    }

    // Exactly 1 MB of text, tabs, CR, LF and high bytes included, is still read.
    QByteArray limite = entete + "500\t0,5\r\n\xE9\t\n";
    limite += QByteArray(TailleMaxFichierSpectre - limite.size(), ' ');
    const QString nom = dossier.filePath("limite");
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(limite);
    f.close();
    TSpectreLu lu;
    ASSERT_TRUE(LitSpectre(nom, Vide(), 320, 1000, lu));
    EXPECT_DOUBLE_EQ(lu.y[500], 0.5);
    EXPECT_EQ(lu.debut, 500);
}
