#include "util/cp1252.h"
#include "util/labutil.h"

#include "support/horlogefactice.h"
#include "support/localefixe.h"
#include "support/qtprint.h"

#include <QDir>
#include <QLocale>
#include <QTemporaryDir>
#include <QTime>
#include <bit>
#include <cmath>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

struct CasFormat
{
    double x;
    const char* point7;  // ReelToStrPoint
    const char* trois;   // ReelToStr3 under a full-stop locale
};

} // namespace

TEST(FormatGeneral, WritesBothPrecisionsAsSpecifiedExamples)
{
    LocaleFixe c(QLocale::C, QLocale::AnyTerritory);
    const CasFormat cas[] = {
        {1234567, "1234567", "1.23E6"},
        {12345678, "1.234568E07", "1.23E7"},
        {0.0001, "0.0001", "0.0001"},
        {0.00001, "1E-05", "1E-5"},
        {2.5, "2.5", "2.5"},
        {1234, "1234", "1.23E3"},
        {999.6, "999.6", "1E3"},
        {0.0001234, "0.0001234", "0.000123"},
        {0.00001234, "1.234E-05", "1.23E-5"},
        {0.5, "0.5", "0.5"},
        {1e10, "1E10", "1E10"},
        {-0.00001234567, "-1.234567E-05", "-1.23E-5"},
        {0.12345, "0.12345", "0.123"},
        {12345, "12345", "1.23E4"},
        {100, "100", "100"},
        {0, "0", "0"},
        {-0.0, "0", "0"},
        {12.25, "12.25", "12.3"},     // a dropped half rounds away from zero
        {-12.25, "-12.25", "-12.3"},
        {9.9999999, "10", "10"},
        {std::nan(""), "NAN", "NAN"},
        {-std::nan(""), "NAN", "NAN"},
        {INFINITY, "INF", "INF"},
        {-INFINITY, "-INF", "-INF"},
    };
    for (const auto& k : cas) {
        EXPECT_EQ(ReelToStrPoint(k.x), k.point7) << k.x;
        EXPECT_EQ(ReelToStr3(k.x), k.trois) << k.x;
    }
}

TEST(FormatGeneral, DisplayUsesLocaleSeparatorButFilesNever)
{
    LocaleFixe fr(QLocale::French, QLocale::France);
    EXPECT_EQ(ReelToStr3(0.12345), "0,123");
    EXPECT_EQ(ReelToStr3(1.5e-7), "1,5E-7");
    EXPECT_EQ(ReelToStrPoint(0.5), "0.5");
    EXPECT_EQ(ReelToStrPoint(-0.00001234567), "-1.234567E-05");
}

TEST(StrToReel, ReadsBothSeparatorsUnderCommaLocale)
{
    LocaleFixe fr(QLocale::French, QLocale::France);
    const struct { const char* texte; double attendu; } cas[] = {
        {"1.5", 1.5}, {"1,5", 1.5}, {" 1,5 ", 1.5}, {"1e3", 1000}, {"1E3", 1000},
        {"-2,5e-1", -0.25}, {"+4", 4}, {".", 0}, {",", 0}, {",5", 0.5}, {"3.", 3},
    };
    for (const auto& k : cas)
        EXPECT_DOUBLE_EQ(StrToReel(k.texte), k.attendu) << k.texte;
    for (const char* faux : {"1,234.5", "", "-", "+", "abc", "1e", "INF", "NAN", "1 000",
                             "1e999", "e5", "1,5x", "\t1"})
        EXPECT_TRUE(std::isnan(StrToReel(faux))) << faux;
}

TEST(StrToReel, ReadsCommaUnderFullStopLocaleAndFailsWithTheNoValuePattern)
{
    LocaleFixe c(QLocale::C, QLocale::AnyTerritory);
    EXPECT_DOUBLE_EQ(StrToReel("1,5"), 1.5);
    EXPECT_DOUBLE_EQ(StrToReel("1.5"), 1.5);
    const double rate = StrToReel("1.234,5");
    EXPECT_TRUE(std::isnan(rate));
    EXPECT_EQ(std::bit_cast<quint64>(rate), 0xFFF8000000000000ULL);
}

TEST(Temps, SecondsToTimeValueAndItsLimits)
{
    EXPECT_DOUBLE_EQ(SecondesToTemps(90), 90.0 / 86400);
    EXPECT_EQ(QTime(0, 0).addMSecs(qRound(SecondesToTemps(90) * 86400000)).toString("hh:mm:ss"),
              "00:01:30");
    EXPECT_DOUBLE_EQ(SecondesToTemps(86399), 86399.0 / 86400);
    for (qint32 faux : {-1, 86400}) {
        try {
            SecondesToTemps(faux);
            ADD_FAILURE() << faux;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message, "Argument incorrect pour le codage de l'heure");
            EXPECT_STREQ(e.what(), "Argument incorrect pour le codage de l'heure");
        }
    }
}

TEST(Temps, SecondsSinceDropsTheFractionAndFoldsAcrossMidnight)
{
    THorlogeFactice horloge;
    horloge.heure = 0.5;
    EXPECT_EQ(SecondesDepuis(0.5 - 2.6 / 86400), 2);
    horloge.heure = 10.0 / 86400;                 // 00:00:10, start was 23:59:50
    EXPECT_EQ(SecondesDepuis(1 - 10.0 / 86400), 86380);
}

TEST(Vecteurs, MinMaxFollowsItsComparisonOrder)
{
    Vecteur v{};
    double mini, maxi;
    auto remplit = [&v](std::initializer_list<double> valeurs) {
        std::copy(valeurs.begin(), valeurs.end(), v.begin());
        return static_cast<quint16>(valeurs.size());
    };
    MinMaxVecteur(v, remplit({3, 1, 4, 1, 5}), mini, maxi);
    EXPECT_EQ(mini, 1);
    EXPECT_EQ(maxi, 5);
    MinMaxVecteur(v, remplit({2}), mini, maxi);
    EXPECT_EQ(mini, 2);
    EXPECT_EQ(maxi, 2);
    MinMaxVecteur(v, remplit({1, NAN}), mini, maxi);
    EXPECT_TRUE(std::isnan(mini));
    EXPECT_EQ(maxi, 1);
    MinMaxVecteur(v, remplit({1, NAN, 0.5}), mini, maxi);
    EXPECT_EQ(mini, 0.5);
}

TEST(Vecteurs, OrdonneSwapsUnorderedAndNanPairs)
{
    double a = 2, b = 1;
    Ordonne(a, b);
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    a = NAN;
    b = 3;
    Ordonne(a, b);
    EXPECT_EQ(a, 3);
    EXPECT_TRUE(std::isnan(b));
}

TEST(Textes, PosApresSupprimeBlancsAjouteAntislash)
{
    EXPECT_EQ(PosApres(":", "0:02:00", 2), 5);
    EXPECT_EQ(PosApres(":", "2:00", 2), 0);
    EXPECT_EQ(PosApres(":", "2:00", 0), 2);
    EXPECT_EQ(PosApres("x", "ab", 5), 0);

    QString s = " a\tb\r\nc\x01 ";
    SupprimeBlancs(s);
    EXPECT_EQ(s, "abc");

    const struct { const char* avant; const char* apres; } cas[] = {
        {"C:\\Data", "C:\\Data\\"}, {"C:\\Data\\", "C:\\Data\\"}, {"C:", "C:"}, {"", ""},
        {"\"C:\\Data\"", "\"C:\\Data\\\""},
    };
    for (const auto& k : cas)
        EXPECT_EQ(AjouteAntislash(k.avant), k.apres) << k.avant;
}

TEST(Durees, TypedDurationsBecomeSeconds)
{
    LocaleFixe fr(QLocale::French, QLocale::France);
    const struct { const char* texte; qint32 secondes; } cas[] = {
        {"0:02:00", 120}, {"2:00", 120}, {"2min", 120}, {"2 min 0 s", 120},
        {"1,5 min", 90}, {"1h", 3600}, {"1h30", 3630}, {"90", 90}, {"12:30", 45000},
        {"0", 1}, {"abc", 1}, {"  2 min  ", 120}, {"1.5h", 1}, {"0:00:00", 1},
        {"45s", 45}, {"2,5", 2}, {"3,5", 4}, {"-5", 1}, {"99999999h", INT32_MAX},
        // Absurd parts saturate or do not read; they never overflow the sum.
        {"1e300min1e300", INT32_MAX}, {"9000000000000000000h", 1},
    };
    for (const auto& k : cas)
        EXPECT_EQ(DureeToSecondes(k.texte), k.secondes) << k.texte;
}

TEST(Arrondis, ValeurRondeAndHalfToEven)
{
    const struct { double x; qint32 r; } cas[] = {
        {1, 1}, {2.4, 2}, {3, 5}, {7, 10}, {150, 200}, {260, 500}, {0.3, 0},
        {0.0000005, 0}, {-7, 10}, {0, 0}, {NAN, 0}, {0.7, 1},
    };
    for (const auto& k : cas)
        EXPECT_EQ(ValeurRonde(k.x), k.r) << k.x;
    EXPECT_EQ(ArrondiPair(2.5), 2);
    EXPECT_EQ(ArrondiPair(3.5), 4);
    EXPECT_EQ(ArrondiPair(-2.5), -2);
}

TEST(DossierDonnees, LivesInTheDocumentsFolderAndIsCreated)
{
    QTemporaryDir home;
    const QByteArray ancienHome = qgetenv("HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DOCUMENTS_DIR", (home.path() + "/Documents").toUtf8());
    QDir(home.path()).mkdir("Documents");

    InitDossierDonnees();
    EXPECT_EQ(DossierDonnees, home.path() + "/Documents/Kurvalis/");
    EXPECT_TRUE(QFileInfo(DossierDonnees).isDir());
    LibereDossierDonnees();
    EXPECT_TRUE(DossierDonnees.isEmpty());

    qputenv("HOME", ancienHome);
    qunsetenv("XDG_DOCUMENTS_DIR");
}

TEST(Cp1252, EncodesEuropeanTextAndMarksTheRest)
{
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("£é€œ…")), QByteArray("\xA3\xE9\x80\x9C\x85"));
    EXPECT_EQ(EncodeCp1252(QString::fromUtf8("λ=5µ😀")), QByteArray("?=5\xB5?"));
    QByteArray tous;
    for (int b = 0; b < 256; ++b)
        tous.append(char(b));
    EXPECT_EQ(EncodeCp1252(DecodeCp1252(tous)), tous);
    EXPECT_EQ(DecodeCp1252("\x80\x92\xE9"), QString::fromUtf8("€’é"));
}
