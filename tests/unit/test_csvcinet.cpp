#include "mesure/csvcinet.h"

#include "support/localefixe.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

TRunCinetique RunCourt()
{
    TRunCinetique run;
    run.Debut = QDateTime(QDate(2026, 12, 10), QTime(14, 2, 37));
    run.Lambda = 530;
    const double a[] = {0.8, 0.75, 0.7051};
    for (int i = 0; i < 3; ++i) {
        run.x[i] = 3 * i;
        run.y[i] = a[i];
    }
    run.n = 3;
    return run;
}

TAnalyseCinet Analyse()
{
    TAnalyseCinet an;
    an.valide = true;
    an.nbrePoints = 3;
    an.tFin = 6;
    an.ajustements[oc0] = {oc0, true, 0, 0.8123, 0.0121, 0.004512, 0.000153, 88.68, 0.96512, 0.02134, 1};
    an.ajustements[oc1] = {oc1, true, 0, 0.8011, 0.0121, 0.020031, 0.000123, std::nan(""), 0.999871, 0.002113, 0};
    an.ajustements[oc2].ordre = oc2;
    an.probables = {oc1};
    an.vitesse = {true, {}, 5, -0.01234, 0.0004};
    return an;
}

// Expected bytes from LF-ended lines written with "," as decimal separator.
std::string Attendu(const char* lignes, char separateur)
{
    const QByteArray texte = QByteArray(lignes).replace(',', separateur).replace("\n", "\r\n");
    return ("\xEF\xBB\xBF" + texte).toStdString();
}

std::string Csv(const TRunCinetique& run, const TAnalyseCinet* an = nullptr)
{
    return CsvCinetique(run, an).toStdString();
}

TEST(CsvCinetique, PointsMarkersAndFitByteForByteUnderBothSeparators)
{
    TRunCinetique run = RunCourt();
    run.Reperes = {{4, QStringLiteral("soude; 2 \"gouttes\"")}, {5.5, QStringLiteral("ligne")}};
    const char* lignes = "Cinétique à 530 nm;10/12/2026 14:02:37\n"
                         "\n"
                         "t (s);A\n"
                         "0;0,8\n"
                         "3;0,75\n"
                         "6;0,7051\n"
                         "\n"
                         "Repères\n"
                         "t (s);Texte\n"
                         "4;\"soude; 2 \"\"gouttes\"\"\"\n"
                         "5,5;ligne\n"
                         "\n"
                         "Analyse cinétique;A∞ ajusté\n"
                         "Début (s);0\n"
                         "Fin (s);6\n"
                         "Points;3\n"
                         "Ordre;k;u(k);Unité de k;t½ (s);R²;s;A0;A∞\n"
                         "0;0,004512;0,000153;A·s⁻¹;88,68;0,96512;0,02134;0,8123;0,0121\n"
                         "1;0,020031;0,000123;s⁻¹;;0,999871;0,002113;0,8011;0,0121\n"
                         "2;ajustement impossible\n"
                         "Verdict;ordre 1 le plus probable\n"
                         "Vitesse initiale (A·s⁻¹);-0,01234;0,0004;5 points\n";
    const TAnalyseCinet an = Analyse();
    {
        const LocaleFixe fr(QLocale::French, QLocale::France);
        EXPECT_EQ(Csv(run, &an), Attendu(lignes, ','));
    }
    const LocaleFixe en(QLocale::English, QLocale::UnitedKingdom);
    EXPECT_EQ(Csv(run, &an), Attendu(lignes, '.'));
}

TEST(CsvCinetique, RunWithoutMarkersAndAFailedAnalysis)
{
    const LocaleFixe fr(QLocale::French, QLocale::France);
    const TRunCinetique run = RunCourt();
    EXPECT_EQ(Csv(run), Attendu("Cinétique à 530 nm;10/12/2026 14:02:37\n\nt (s);A\n"
                                         "0;0,8\n3;0,75\n6;0,7051\n",
                                         ','));
    const TAnalyseCinet an = AnalyseCinetique(std::span(run.x).first(3), std::span(run.y).first(3),
                                              TOptionsAnalyse{false, 5});
    EXPECT_EQ(Csv(run, &an),
              Attendu("Cinétique à 530 nm;10/12/2026 14:02:37\n\nt (s);A\n"
                      "0;0,8\n3;0,75\n6;0,7051\n"
                      "\n"
                      "Analyse cinétique;A∞ fixé à 0\n"
                      "Trop peu de points pour ajuster une loi de vitesse : 3 dans la plage, il en faut au moins 5.\n"
                      "Vitesse initiale (A·s⁻¹);-0,01581667;0,0004907477;3 points\n",
                      ','));
}

} // namespace
