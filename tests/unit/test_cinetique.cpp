#include "instrument/inifile.h"
#include "mesure/cinetique.h"

#include "support/horlogefactice.h"
#include "support/localefixe.h"
#include "support/qtprint.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

// A run over its own tables, on a clock that moves only when told.
struct Run : ::testing::Test
{
    THorlogeFactice horloge;
    Vecteur x{};
    Vecteur y{};
    qint32 n = 0;
    TCinetique c{x, y, n};
};

} // namespace

TEST(ControlesEtat, FollowTheStateTable)
{
    using C = TControlesCinetique;
    // LambdaBtn ZeroBtn StartBtn StopBtn ResetBtn SaveBtn ExitBtn ZeroBtnBis RepereBtn LambdaSE Panneaux Timer
    const struct { TEtatAcquisition etat; C c; } cas[] = {
        {eaReglageLambda, C{1, 0, 0, 0, 0, 0, 1, 1, 0, 1, 0, 0}},
        {eaReglageZero,   C{0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0}},
        {eaEnCours,       C{0, 0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 1}},
        {eaTerminee,      C{0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0}},
        {eaAttente,       C{0, 0, 1, 0, 0, 0, 1, 1, 0, 1, 0, 0}},
    };
    for (const auto& k : cas)
        EXPECT_EQ(ControlesEtat(k.etat), k.c) << "state " << k.etat;
}

TEST(CalculeNbreMax, RoundsDownAndRaisesShortDurations)
{
    const struct { quint16 duree, deltat; qint32 nbre; quint16 dureeApres; } cas[] = {
        {120, 3, 40, 120},
        {20, 3, 10, 30},        // under ten intervals: duration raised
        {1, 3, 10, 30},         // an unreadable typed duration
        {500, 3, 150, 500},     // 166 -> multiple of 30
        {6144, 3, 2040, 6144},  // 2048 -> multiple of 60
        {50000, 3, 2040, 50000},// capped at the table, then rounded
        {750, 3, 240, 750},     // 250
        {285, 3, 90, 285},      // 95
        {135, 3, 40, 135},      // 45
        {29, 1, 10, 30},        // an interval below the minimum counts as 3 s
        {100, 4, 25, 100},
        {65535, 6553, 10, 65535},
    };
    for (const auto& k : cas) {
        quint16 d = k.duree;
        EXPECT_EQ(CalculeNbreMax(d, k.deltat), k.nbre) << k.duree << " s / " << k.deltat;
        EXPECT_EQ(d, k.dureeApres) << k.duree << " s / " << k.deltat;
    }
}

TEST(Duree, SpinSequencesStayRoundAndWithin16Bits)
{
    const quint16 montee[] = {120, 500, 1000, 2000, 5000, 10000, 20000, 50000, 50000};
    for (size_t i = 0; i + 1 < std::size(montee); ++i)
        EXPECT_EQ(DureeSuivante(montee[i]), montee[i + 1]) << montee[i];
    EXPECT_EQ(DureeSuivante(40000), 40000);     // the next round value needs 17 bits

    const quint16 descente[] = {120, 100, 50, 30, 30};
    for (size_t i = 0; i + 1 < std::size(descente); ++i)
        EXPECT_EQ(DureePrecedente(descente[i]), descente[i + 1]) << descente[i];
    EXPECT_EQ(DureePrecedente(65535), 50000);
}

TEST(Bornes, IntervalAndDurationFromAnySource)
{
    const struct { qint64 v; quint16 deltat, duree; } cas[] = {
        {0, 3, 1}, {-5, 3, 1}, {2, 3, 2}, {3, 3, 3}, {7, 7, 7},
        {6553, 6553, 6553}, {6554, 6553, 6554}, {65535, 6553, 65535}, {100000, 6553, 65535},
    };
    for (const auto& k : cas) {
        EXPECT_EQ(BorneDeltat(k.v), k.deltat) << k.v;
        EXPECT_EQ(BorneDuree(k.v), k.duree) << k.v;
    }
}

TEST(RunAbandonne, ShortStoppedRunsOnly)
{
    const struct { qint32 n, nbreMax; bool jete; } cas[] = {
        {0, 40, true}, {6, 40, true}, {10, 40, true}, {11, 40, false},
        {6, 10, false}, {5, 10, true}, {10, 21, true}, {10, 19, false},
    };
    for (const auto& k : cas)
        EXPECT_EQ(RunAbandonne(k.n, k.nbreMax), k.jete) << k.n << " of " << k.nbreMax;
}

TEST(MaxiOrdonneeFin, LargestAbsorbanceFromThreePointsNeverBelowOne)
{
    Vecteur y{};
    const auto remplit = [&](std::initializer_list<double> v) {
        qint32 i = 0;
        for (double a : v)
            y[i++] = a;
        return i;
    };
    EXPECT_EQ(MaxiOrdonneeFin(y, remplit({0.1, 0.35, 0.2}), 2.5), 1.0);
    EXPECT_EQ(MaxiOrdonneeFin(y, remplit({0.3, 1.8, 1.2, 0.9}), 2.5), 1.8);
    EXPECT_EQ(MaxiOrdonneeFin(y, remplit({1.4, 1.9}), 2.5), 2.5);      // two points: MaxiAbs
    EXPECT_EQ(MaxiOrdonneeFin(y, remplit({-0.2, -0.1, -0.3}), 2.5), 1.0);
    y[0] = 3.0;     // an entry past the run's points is not looked at
    EXPECT_EQ(MaxiOrdonneeFin(y, 0, 2.5), 2.5);
}

TEST(DivisePoints, KeepsEvenPointsAndPointZero)
{
    Vecteur x{}, y{};
    for (int i = 0; i < 1100; ++i) {
        x[i] = 3 * i;
        y[i] = i / 1000.0;
    }
    EXPECT_EQ(DivisePoints(x, y, 1100), 550);
    for (int i : {0, 1, 2, 300, 549}) {
        EXPECT_EQ(x[i], 6 * i) << i;
        EXPECT_EQ(y[i], 2 * i / 1000.0) << i;
    }
}

TEST(TexteDuree, HoursMinutesSecondsWithTheLocaleSeparator)
{
    const LocaleFixe c(QLocale::c());
    EXPECT_EQ(TexteDuree(120), "00:02:00");
    EXPECT_EQ(TexteDuree(3725), "01:02:05");
    EXPECT_EQ(TexteDuree(65535), "18:12:15");
    EXPECT_EQ(TexteDuree(-4), "00:00:00");
    const LocaleFixe finnois(QLocale::Finnish, QLocale::Finland);
    EXPECT_EQ(TexteDuree(3725), "01.02.05");
}

TEST(TValidateurDuree, AcceptsWhatTheParserReadsAndRefusesTheRest)
{
    // Each accepted form reads as the duration meant once the field applies it.
    struct Cas { const char* texte; QValidator::State etat; const char* garde; qint32 secondes; };
    const Cas cas[] = {
        {"5:00", QValidator::Acceptable, "5:00", 300},
        {"1:30:00", QValidator::Acceptable, "1:30:00", 5400},
        {"00:02:00", QValidator::Acceptable, "00:02:00", 120},
        {"90", QValidator::Acceptable, "90", 90},
        {"90 s", QValidator::Acceptable, "90 s", 90},
        {"1h30", QValidator::Acceptable, "1h30", 3630},
        {"1h", QValidator::Acceptable, "1h", 3600},
        {"2 min", QValidator::Acceptable, "2 min", 120},
        {"0.5 min", QValidator::Acceptable, "0,5 min", 30},
        {"1h30min", QValidator::Acceptable, "1h30min", 5400},
        {"", QValidator::Intermediate, "", 0},
        {"1:", QValidator::Intermediate, "1:", 0},
        {"1:30:", QValidator::Intermediate, "1:30:", 0},
        {"2 m", QValidator::Intermediate, "2 m", 0},
        {"00:00:000500", QValidator::Invalid, nullptr, 0},
        {"5:75", QValidator::Invalid, nullptr, 0},
        {"24:00:00", QValidator::Invalid, nullptr, 0},
        {"1:2:3:4", QValidator::Invalid, nullptr, 0},
        {"1,5h", QValidator::Invalid, nullptr, 0},
        {"-5", QValidator::Invalid, nullptr, 0},
        {"abc", QValidator::Invalid, nullptr, 0},
        {"5x", QValidator::Invalid, nullptr, 0},
    };
    const LocaleFixe francais(QLocale(QLocale::French, QLocale::France));
    const TValidateurDuree v;
    for (const Cas& c : cas) {
        QString texte = QString::fromUtf8(c.texte);
        int pos = int(texte.size());
        EXPECT_EQ(v.validate(texte, pos), c.etat) << c.texte;
        if (c.garde) {
            EXPECT_EQ(texte, QString::fromUtf8(c.garde)) << c.texte;
        }
        if (c.etat == QValidator::Acceptable) {
            EXPECT_EQ(DureeToSecondes(texte), c.secondes) << c.texte;
        }
    }
}

TEST(TValidateurDuree, FollowsTheLocaleTimeSeparator)
{
    const LocaleFixe finnois(QLocale(QLocale::Finnish, QLocale::Finland));
    const TValidateurDuree v;
    QString texte = TexteDuree(3725);
    int pos = 0;
    EXPECT_EQ(v.validate(texte, pos), QValidator::Acceptable) << texte.toStdString();
    EXPECT_EQ(DureeToSecondes(texte), 3725);     // what the field shows reads back
    texte = QStringLiteral("1,5");
    EXPECT_EQ(v.validate(texte, pos), QValidator::Acceptable);
    EXPECT_EQ(DureeToSecondes(texte), 2);
}

TEST_F(Run, ReadingsEveryThreeSecondsForTwoMinutesGive42Points)
{
    c.Demarre();
    TCinetique::TAjout r = TCinetique::ajAjoute;
    int lectures = 0;
    while (r == TCinetique::ajAjoute || r == TCinetique::ajIgnore) {
        // every fifth reading fails and adds nothing
        r = c.AjoutePoint(lectures % 5 == 4 ? PasDeValeur() : 0.5, c.LectureDemandee());
        if (lectures % 5 != 4)
            horloge.Avance(3000);
        ++lectures;
        ASSERT_LT(lectures, 200);
    }
    EXPECT_EQ(r, TCinetique::ajTermine);
    EXPECT_EQ(n, 42);
    EXPECT_EQ(x[0], 0);
    EXPECT_EQ(x[41], 123);
    EXPECT_FALSE(std::isnan(y[41]));
}

TEST_F(Run, ElapsedTimesIgnoreMidnightAndDropTheFraction)
{
    horloge.heure = 86390.0 / 86400;    // 23:59:50
    c.Demarre();
    horloge.Avance(2999);
    EXPECT_EQ(c.AjoutePoint(0.1, c.LectureDemandee()), TCinetique::ajAjoute);
    horloge.Avance(20001);              // 00:00:13 the next day
    EXPECT_EQ(c.AjoutePoint(0.2, c.LectureDemandee()), TCinetique::ajAjoute);
    EXPECT_EQ(x[0], 2);
    EXPECT_EQ(x[1], 23);
    EXPECT_EQ(c.SecondesEcoulees(), 23);
}

TEST_F(Run, AFullTableEndsTheRunWithoutWritingPastIt)
{
    c.DureeMesure = 50000;
    c.MajNbreMax();
    c.Demarre();
    TCinetique::TAjout r = TCinetique::ajAjoute;
    for (int i = 0; i < NbrePointsMaxi && r == TCinetique::ajAjoute; ++i) {
        r = c.AjoutePoint(0.3, c.LectureDemandee());
        horloge.Avance(3000);
    }
    EXPECT_EQ(r, TCinetique::ajPlein);
    EXPECT_EQ(n, NbrePointsMaxi);
    EXPECT_EQ(x[2048], 3 * 2048);
    EXPECT_EQ(c.AjoutePoint(0.3, c.LectureDemandee()), TCinetique::ajIgnore);
    EXPECT_EQ(n, NbrePointsMaxi);
}

TEST_F(Run, DurationUpHalvesALongRunningRunOnly)
{
    c.DureeMesure = 20000;
    c.MajNbreMax();
    c.Demarre();
    for (int i = 0; i < 1100; ++i) {
        c.AjoutePoint(0.3, c.LectureDemandee());
        horloge.Avance(3000);
    }
    c.EtatAcq = eaTerminee;
    c.DureePlus();
    EXPECT_EQ(n, 1100);             // a finished run is left alone
    c.EtatAcq = eaEnCours;
    c.DureeMoins();
    EXPECT_EQ(n, 1100);
    c.DureePlus();
    EXPECT_EQ(n, 550);
    EXPECT_EQ(x[549], 3 * 1098);
    EXPECT_EQ(c.DureeMesure, 50000);
    EXPECT_EQ(c.NbreMax, 2040);
    c.DureePlus();                  // 550 points: no further halving
    EXPECT_EQ(n, 550);
    n = 1100;                       // at the top of the range the duration cannot grow:
    c.DureePlus();                  // the points are not halved for nothing
    EXPECT_EQ(n, 1100);
    EXPECT_EQ(c.DureeMesure, 50000);
}

TEST_F(Run, IntervalStaysWithinBounds)
{
    EXPECT_FALSE(c.DeltatMoins());
    EXPECT_EQ(c.DeltatMesure, 3);
    EXPECT_TRUE(c.DeltatPlus());
    EXPECT_EQ(c.DeltatMesure, 4);
    EXPECT_EQ(c.NbreMax, 30);
    c.DeltatMesure = DeltatMaxi;
    EXPECT_FALSE(c.DeltatPlus());
    c.DeltatMesure = DeltatMaxi - 1;
    EXPECT_TRUE(c.DeltatPlus());
    EXPECT_EQ(c.DureeMesure, 65530);
    EXPECT_EQ(c.NbreMax, 10);
}

TEST_F(Run, TypedDurationAppliesOnlyWhenChanged)
{
    EXPECT_FALSE(c.SetDuree(120));
    EXPECT_TRUE(c.SetDuree(DureeToSecondes("20")));
    EXPECT_EQ(c.DureeMesure, 30);
    EXPECT_EQ(c.NbreMax, 10);
    EXPECT_TRUE(c.SetDuree(1000000));
    EXPECT_EQ(c.DureeMesure, 65535);
    EXPECT_EQ(c.NbreMax, 2040);
}

TEST_F(Run, SettingsAreBoundedOnReadAndWrittenBack)
{
    QTemporaryDir dossier;
    const QString chemin = dossier.filePath("k.ini");
    const struct { const char* fichier; quint16 deltat, duree; qint32 nbre, lambda; bool kv, clip, file; } cas[] = {
        {"", 3, 120, 40, 600, true, false, false},
        {"[Cinetique]\r\nDeltat=0\r\nLambda=450\r\n[Save]\r\nKurvalis=0\r\nFile=1\r\n",
         3, 120, 40, 450, false, false, true},
        {"[Cinetique]\r\nDeltat=1\r\nDuree=20\r\n", 3, 20, 6, 600, true, false, false},
        {"[Cinetique]\r\nDeltat=99999\r\nDuree=-3\r\n", 6553, 1, 0, 600, true, false, false},
        {"[Cinetique]\r\nDeltat=5\r\nDuree=900000\r\n", 5, 65535, 13107, 600, true, false, false},
    };
    for (const auto& k : cas) {
        QFile f(chemin);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(k.fichier);
        f.close();
        TReglagesCinetique r;
        c.LitReglages(TIniFile(chemin), r);
        EXPECT_EQ(c.DeltatMesure, k.deltat) << k.fichier;
        EXPECT_EQ(c.DureeMesure, k.duree) << k.fichier;
        EXPECT_EQ(c.NbreMax, k.nbre) << k.fichier;
        EXPECT_EQ(r.Lambda, k.lambda) << k.fichier;
        EXPECT_EQ(r.Kurvalis, k.kv) << k.fichier;
        EXPECT_EQ(r.Clip, k.clip) << k.fichier;
        EXPECT_EQ(r.Fichier, k.file) << k.fichier;
    }

    TIniFile ini(chemin);
    c.DeltatMesure = 4;
    c.DureeMesure = 200;
    c.NbreMax = 50;
    c.EcritReglages(ini, TReglagesCinetique{false, true, false, 512});
    const QByteArray octets = ini.Contenu();
    for (const char* ligne : {"Kurvalis=0\r\n", "Clip=1\r\n", "File=0\r\n", "Lambda=512\r\n",
                              "Deltat=4\r\n", "Nombre=50\r\n"})
        EXPECT_TRUE(octets.contains(ligne)) << ligne << "\n" << octets.toStdString();
    EXPECT_TRUE(octets.contains("Duree=900000"));   // the duration is never written
}

// Due times lie on a fixed grid from the start: a late request neither shifts the grid
// nor borrows a grid time, and due times missed meanwhile are not caught up.
TEST_F(Run, ReadingsAreDueOnAFixedGridAndALateOneKeepsItsOwnTime)
{
    c.Demarre();
    EXPECT_EQ(c.MsAvantLecture(), 0);
    EXPECT_EQ(c.LectureDemandee(), 0);
    EXPECT_EQ(c.MsAvantLecture(), 3000);
    horloge.Avance(2990);
    EXPECT_EQ(c.MsAvantLecture(), 10) << "never early";
    horloge.Avance(15);                                 // 3.005 s
    EXPECT_EQ(c.LectureDemandee(), 3);
    EXPECT_EQ(c.MsAvantLecture(), 2995) << "from the grid, not from the late tick";
    horloge.Avance(4495);                               // 7.5 s: due time 6 passed long ago
    EXPECT_EQ(c.MsAvantLecture(), 0);
    EXPECT_EQ(c.LectureDemandee(), 7) << "stamped when it was asked for";
    EXPECT_EQ(c.MsAvantLecture(), 1500) << "next at 9 s";
    horloge.Avance(11000);                              // 18.5 s: 9, 12, 15 and 18 missed
    EXPECT_EQ(c.LectureDemandee(), 18);
    EXPECT_EQ(c.MsAvantLecture(), 2500) << "one request, then 21 s";

    // A new interval goes on from the last due time.
    horloge.Avance(2500);                               // 21 s
    EXPECT_EQ(c.LectureDemandee(), 21);
    EXPECT_TRUE(c.DeltatPlus());
    EXPECT_EQ(c.MsAvantLecture(), 4000) << "25 s";
    horloge.Avance(4000);
    EXPECT_EQ(c.LectureDemandee(), 25);
    EXPECT_EQ(c.MsAvantLecture(), 4000);
}

TEST(AnalyseRun, OrdinateGrowsInRoundStepsToHoldEachReading)
{
    const struct { double a, mini, maxi; bool change; } cas[] = {
        {0.5, 0, 1, false},   {1, 0, 1, false},        {1.05, 0, 1.5, true}, {2.5, 0, 3, true},
        {-0.05, -0.1, 1, true}, {-0.3, -0.4, 1, true}, {PasDeValeur(), 0, 1, false},
    };
    for (const auto& k : cas) {
        double mini = 0, maxi = 1;
        EXPECT_EQ(EtendOrdonnee(k.a, mini, maxi), k.change) << k.a;
        EXPECT_DOUBLE_EQ(mini, k.mini) << k.a;
        EXPECT_DOUBLE_EQ(maxi, k.maxi) << k.a;
    }
}

TEST(AnalyseRun, SpansRunFromEachMarkerInTimeOrderToTheNextOrToTheEnd)
{
    Vecteur x{};
    for (int i = 0; i < 10; ++i)
        x[i] = 10 * i;
    const std::vector<Trepere> reperes{{60, "b"}, {20, ""}};
    const QList<TPlageProposee> p = PlagesAnalyse(x, 10, reperes);
    ASSERT_EQ(p.size(), 3);
    EXPECT_EQ(p[0].nom, "Toute l'acquisition");
    EXPECT_EQ(std::make_pair(p[0].t1, p[0].t2), std::make_pair(0.0, 90.0));
    EXPECT_EQ(p[1].nom, "Du repère 1 au « b »");
    EXPECT_EQ(std::make_pair(p[1].t1, p[1].t2), std::make_pair(20.0, 60.0));
    EXPECT_EQ(p[2].nom, "Du « b » à la fin");
    EXPECT_EQ(std::make_pair(p[2].t1, p[2].t2), std::make_pair(60.0, 90.0));
    EXPECT_TRUE(PlagesAnalyse(x, 0, reperes).isEmpty());
}
