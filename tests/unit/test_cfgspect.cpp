#include "instrument/cfgspect.h"
#include "instrument/inifile.h"

#include "support/dialoguesscript.h"
#include "support/localefixe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryDir>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

QByteArray LitFichier(const QString& chemin)
{
    QFile f(chemin);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void EcritFichier(const QString& chemin, const QByteArray& octets)
{
    QFile f(chemin);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(octets);
}

} // namespace

TEST(Commandes, TextesExacts)
{
    Tspectro s;
    const struct { QByteArray obtenu; const char* attendu; } cas[] = {
        {s.getBlanc(), "MEASURE WITH LAMP"},
        {s.getAbs(), "MEASURE WITH LAMP"},
        {s.getObscurite(), "MEASURE NO LAMP"},
        {s.GotoLambda(500), "GOTO500"},
        {s.GotoLambda(198), "GOTO198"},
        {s.SetNumberReadings(mSpectre), "NO OF READINGS 22"},
        {s.SetNumberReadings(mCinetique), "NO OF READINGS 10"},
        {s.SetNumberReadings(mBeer), "NO OF READINGS 200"},
    };
    for (const auto& c : cas)
        EXPECT_EQ(c.obtenu, QByteArray(c.attendu));
}

TEST(Commandes, ScanDemandeUnPasDePlusEtRameneLaFin)
{
    const struct { qint32 debut, fin, pas; const char* commande; qint32 finApres; } cas[] = {
        {400, 700, 2, "SCAN:400:702:2", 700},
        {400, 999, 2, "SCAN:400:1000:2", 998},      // capped at 1000, end pulled onto a step
        {400, 998, 2, "SCAN:400:1000:2", 998},      // exactly reaching 1000 keeps the end
        {198, 1000, 5, "SCAN:198:1000:5", 995},
        {320, 500, 1, "SCAN:320:501:1", 500},
    };
    for (const auto& c : cas) {
        Tspectro s;
        s.DebutLambda = c.debut;
        s.FinLambda = c.fin;
        s.pasLambda = c.pas;
        EXPECT_EQ(s.Scan(), QByteArray(c.commande)) << c.commande;
        EXPECT_EQ(s.FinLambda, c.finApres) << c.commande;
    }
}

// Integer replies: a good line sets the field, a bad one raises the French message and
// leaves the field as it was.
struct ParseurEntier
{
    const char* nom;
    std::function<void(Tspectro&, const QByteArray&)> analyse;
    qint32 Tspectro::*champ;
};

class RepliesEntieres : public ::testing::TestWithParam<ParseurEntier> {};

TEST_P(RepliesEntieres, ConvertitOuLeveSansToucherAuChamp)
{
    const ParseurEntier& p = GetParam();
    const struct { const char* ligne; qint32 valeur; } bonnes[] = {
        {"1234", 1234}, {"  -12", -12}, {"+7", 7}, {"0", 0},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
    };
    for (const auto& c : bonnes) {
        Tspectro s;
        p.analyse(s, c.ligne);
        EXPECT_EQ(s.*p.champ, c.valeur) << c.ligne;
    }
    const struct { QByteArray ligne; const char* message; } mauvaises[] = {
        {"", "'' n'est pas une valeur entière correcte"},
        {"12 ", "'12 ' n'est pas une valeur entière correcte"},
        {"12a", "'12a' n'est pas une valeur entière correcte"},
        {"1 2", "'1 2' n'est pas une valeur entière correcte"},
        {"-", "'-' n'est pas une valeur entière correcte"},
        {"0x10", "'0x10' n'est pas une valeur entière correcte"},
        {"2147483648", "'2147483648' n'est pas une valeur entière correcte"},
        {"\xE9t\xE9", "'été' n'est pas une valeur entière correcte"},
    };
    for (const auto& c : mauvaises) {
        Tspectro s;
        s.*p.champ = 77;
        try {
            p.analyse(s, c.ligne);
            ADD_FAILURE() << "no error for " << c.ligne.constData();
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message, QString::fromUtf8(c.message));
            EXPECT_EQ(QString::fromUtf8(e.what()), QString::fromUtf8(c.message));
        }
        EXPECT_EQ(s.*p.champ, 77) << c.ligne.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Parseurs, RepliesEntieres,
    ::testing::Values(
        ParseurEntier{"SetBlanc", [](Tspectro& s, const QByteArray& l) { s.SetBlanc(l); },
                      &Tspectro::CourantBlanc},
        ParseurEntier{"SetObscurite",
                      [](Tspectro& s, const QByteArray& l) { s.SetObscurite(l); },
                      &Tspectro::CourantObscurite},
        ParseurEntier{"SetNoReading",
                      [](Tspectro& s, const QByteArray& l) { s.SetNoReading(l); },
                      &Tspectro::NoReading},
        ParseurEntier{"SetLambda", [](Tspectro& s, const QByteArray& l) { s.SetLambda(l); },
                      &Tspectro::LambdaCourante}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST(SetLambda, IgnoreLaPartieDecimaleMaisPasLaVirgule)
{
    Tspectro s;
    s.SetLambda("500.0");
    EXPECT_EQ(s.LambdaCourante, 500);
    s.SetLambda("654.98");
    EXPECT_EQ(s.LambdaCourante, 654);
    try {
        s.SetLambda("500,0");
        ADD_FAILURE() << "500,0 accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message, QString::fromUtf8("'500,0' n'est pas une valeur entière correcte"));
    }
    EXPECT_EQ(s.LambdaCourante, 654);
}

TEST(SetAbsorbance, ExemplesAvecObscurite100EtBlanc10100)
{
    const struct { const char* ligne; double absorbance; qint32 intensite; } cas[] = {
        {"1100", 1.0, 1100},
        {"10100", 0.0, 10100},
        {"30000", -0.3, 30000},     // -0.476 raised to the floor
        {"110", 2.5, 110},          // 3.0 lowered to the ceiling
        {"100", NAN, 100},          // zero ratio
        {"50", NAN, 50},            // negative ratio
        {"0", NAN, 0},              // no reading
        {"abc", NAN, 4242},         // unreadable line keeps the last intensity
        {"", NAN, 4242},
    };
    for (const auto& c : cas) {
        Tspectro s;
        s.CourantObscurite = 100;
        s.CourantBlanc = 10100;
        s.AbsIntCourante = 4242;
        s.AbsCourante = 0.5;
        EXPECT_NO_THROW(s.SetAbsorbance(c.ligne));
        EXPECT_EQ(s.AbsIntCourante, c.intensite) << c.ligne;
        if (std::isnan(c.absorbance)) {
            EXPECT_TRUE(std::isnan(s.AbsCourante)) << c.ligne;
        } else {
            EXPECT_DOUBLE_EQ(s.AbsCourante, c.absorbance) << c.ligne;
            EXPECT_FALSE(std::signbit(s.AbsCourante) && s.AbsCourante == 0) << c.ligne;
        }
    }
}

TEST(SetAbsorbance, SansValeurQuandBlancEgalObscuriteOuIntensiteNulle)
{
    for (const char* ligne : {"1", "500", "100000"}) {
        Tspectro s;
        s.CourantObscurite = 300;
        s.CourantBlanc = 300;
        s.SetAbsorbance(ligne);
        EXPECT_TRUE(std::isnan(s.AbsCourante)) << ligne;
    }
    Tspectro s;     // intensity 0 is no reading even with no dark and no blank
    s.SetAbsorbance("0");
    EXPECT_TRUE(std::isnan(s.AbsCourante));
}

TEST(SetAbsLambdaInt, PointsDeBalayage)
{
    const struct { const char* ligne; qint32 lambda, intensite; } cas[] = {
        {"400:12345", 400, 12345},
        {"400:12345:7", 400, 12345},
        {"400:12345:7:9", 400, 12345},
        {" 402: -3", 402, -3},
        {"12345", 500, 0},          // no ":" means an empty wavelength
        {"400:", 500, 0},
        {":12", 500, 0},
        {"abc:1", 500, 0},
        {"400:12a", 500, 0},
        {"400:1 :2", 500, 0},
        {"5000:100", 500, 0},       // would index past the baseline
        {"-1:100", 500, 0},
    };
    for (const auto& c : cas) {
        Tspectro s;
        s.LambdaCourante = 321;
        s.AbsIntCourante = 999;
        EXPECT_NO_THROW(s.SetAbsLambdaInt(c.ligne));
        EXPECT_EQ(s.LambdaCourante, c.lambda) << c.ligne;
        EXPECT_EQ(s.AbsIntCourante, c.intensite) << c.ligne;
    }
}

TEST(InterpoleBlanc, RemplitLeTrouAvecUnePenteEntiere)
{
    const struct { qint32 bas, haut, lambda; std::array<qint32, 3> rempli; qint32 retour; } cas[] = {
        {1000, 1010, 402, {1002, 1004, 1006}, 1004},    // slope 2, not 2.5
        {1010, 1000, 402, {1008, 1006, 1004}, 1006},    // slope -2 truncated toward zero
        {1000, 1010, 401, {1002, 1004, 1006}, 1002},
        {1000, 1003, 403, {1000, 1000, 1000}, 1000},    // slope 0.75 truncates to 0
    };
    for (const auto& c : cas) {
        Tspectro s;
        s.AbsBlanc[400] = c.bas;
        s.AbsBlanc[404] = c.haut;
        s.LambdaCourante = c.lambda;
        EXPECT_EQ(s.InterpoleBlanc(), c.retour);
        EXPECT_EQ((std::array<qint32, 3>{s.AbsBlanc[401], s.AbsBlanc[402], s.AbsBlanc[403]}),
                  c.rempli);
        EXPECT_EQ(s.AbsBlanc[400], c.bas);
        EXPECT_EQ(s.AbsBlanc[404], c.haut);
    }
}

TEST(InterpoleBlanc, ZeroSansAncreOuHorsDomaine)
{
    Tspectro s;
    s.AbsBlanc[400] = 1000;
    s.LambdaCourante = 400;
    EXPECT_EQ(s.InterpoleBlanc(), 1000);    // known at L itself
    s.LambdaCourante = 450;                 // nothing above
    EXPECT_EQ(s.InterpoleBlanc(), 0);
    EXPECT_EQ(s.AbsBlanc[449], 0);
    s.LambdaCourante = 350;                 // nothing below
    EXPECT_EQ(s.InterpoleBlanc(), 0);

    // Outside the variant's range, even with values lying around there.
    Tspectro t;
    t.AbsBlanc[250] = 900;
    t.AbsBlanc[330] = 1000;
    t.AbsBlanc[1000] = 700;
    for (qint32 l : {300, 1001, 2048, -5, 3000}) {
        t.LambdaCourante = l;
        EXPECT_EQ(t.InterpoleBlanc(), 0) << l;
    }
    EXPECT_EQ(t.AbsBlanc[290], 0);
}

TEST(SetAbsLambda, AbsorbanceContreLaLigneDeBaseInterpolee)
{
    Tspectro s;
    s.CourantObscurite = 0;
    s.AbsBlanc[400] = 1000;
    s.AbsBlanc[404] = 1010;
    s.LambdaCourante = 402;
    s.AbsIntCourante = 502;                 // half of the interpolated 1004
    s.SetAbsLambda();
    EXPECT_EQ(s.CourantBlanc, 1004);
    EXPECT_NEAR(s.AbsCourante, std::log10(2.0), 1e-12);
    EXPECT_EQ(s.AbsBlanc[403], 1006);

    s.AbsIntCourante = 0;                   // no reading: nothing is computed
    s.CourantBlanc = 55;
    s.SetAbsLambda();
    EXPECT_TRUE(std::isnan(s.AbsCourante));
    EXPECT_EQ(s.CourantBlanc, 55);

    s.AbsIntCourante = 700;                 // no baseline above 404
    s.LambdaCourante = 600;
    s.SetAbsLambda();
    EXPECT_TRUE(std::isnan(s.AbsCourante));
    EXPECT_EQ(s.CourantBlanc, 0);
}

TEST(MiniLambda, LeModeleConnecteDecideDeLaVariante)
{
    const struct { TKelvor stockee; const char* modele; TKelvor apres; qint32 mini; } cas[] = {
        {k5100, "", k5100, 320},
        {k5105, "", k5105, 198},
        {k5100, "5105", k5105, 198},
        {k5105, "5100", k5100, 320},
        {k5100, "5105 ", k5100, 320},       // not exactly a model number
        {k5105, "KELVOR 5100", k5105, 198},
    };
    for (const auto& c : cas) {
        Tspectro s;
        s.Kelvor = c.stockee;
        s.modelNumber = c.modele;
        EXPECT_EQ(s.MiniLambda(), c.mini) << c.modele;
        EXPECT_EQ(s.Kelvor, c.apres) << c.modele;
    }
}

TEST(Tspectro, NombreDeLecturesEtNomDuConstructeur)
{
    Tspectro s;
    s.NoReading = 10;
    EXPECT_TRUE(s.IsNumberReadingsOK(mCinetique));
    EXPECT_FALSE(s.IsNumberReadingsOK(mSpectre));
    EXPECT_FALSE(s.IsNumberReadingsOK(mBeer));
    s.modelNumber = "5105";
    EXPECT_EQ(s.NomConstructeur(), QStringLiteral("Kelvor 5105"));
}

TEST(StrAbs, TroisDecimalesAuSeparateurDuPoste)
{
    const struct { double valeur; const char* c; const char* fr; } cas[] = {
        {NAN, "0", "0"},
        {1.2, "1.200", "1,200"},
        {-0.3, "-0.300", "-0,300"},
        {0.0, "0.000", "0,000"},
        {-0.0, "0.000", "0,000"},
        {-0.0004, "0.000", "0,000"},
        {2.5, "2.500", "2,500"},
        {0.12345, "0.123", "0,123"},
        {0.0005, "0.001", "0,001"},
        // One rounding of the value itself: no detour through five significant digits.
        {0.0634998, "0.063", "0,063"},
        {-0.2004996, "-0.200", "-0,200"},
        {1.0004999, "1.000", "1,000"},
        {0.0015001, "0.002", "0,002"},
        {123.4567, "123.457", "123,457"},
    };
    for (const auto& c : cas) {
        Tspectro s;
        EXPECT_EQ(s.StrAbs(c.valeur), QString::fromLatin1(c.c)) << c.valeur;
        LocaleFixe francais(QLocale::French, QLocale::France);
        EXPECT_EQ(s.StrAbs(c.valeur), QString::fromLatin1(c.fr)) << c.valeur;
    }
}

// lit/ecrit against a settings file in a temporary data folder.
class Reglages : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dossier.isValid());
        ancienDossier = DossierDonnees;
        DossierDonnees = dossier.path() + '/';
        chemin = CheminReglages();
    }
    void TearDown() override
    {
        DossierDonnees = ancienDossier;
        NouveauSpectro();
    }

    QTemporaryDir dossier;
    QString ancienDossier;
    QString chemin;
};

TEST_F(Reglages, SansFichierLesValeursInitiales)
{
    Tspectro s;
    s.AbsBlanc[500] = 3;    // lit clears the range it reads
    s.lit();
    EXPECT_EQ(s.ComNumberS, 1);
    EXPECT_EQ(s.Kelvor, k5100);
    EXPECT_EQ(s.pasLambda, 2);
    EXPECT_EQ(s.DebutLambda, 0);
    EXPECT_EQ(s.FinLambda, 0);
    EXPECT_EQ(s.AbsBlanc, VecteurInt{});
}

TEST_F(Reglages, EcritPuisLitRestitueToutEtLesOctetsSontExacts)
{
    Tspectro s;
    s.ComNumberS = 3;
    s.pasLambda = 5;
    s.DebutLambda = 400;
    s.FinLambda = 700;
    s.Kelvor = k5105;
    for (qint32 l = 198; l <= 1000; ++l)
        s.AbsBlanc[l] = 20000 + l;
    s.AbsBlanc[600] = 0;
    s.ecrit();

    const QByteArray octets = LitFichier(chemin);
    EXPECT_TRUE(octets.startsWith("[IC5100]\r\nCom=3\r\nPasLambda=5\r\nDebut=400\r\n51xx=1\r\n"
                                  "Fin=700\r\n\r\n[LigneBase]\r\n198=20198\r\n199=20199\r\n"));
    EXPECT_TRUE(octets.contains("\r\n600=0\r\n"));
    EXPECT_FALSE(octets.contains("\r\n197="));
    EXPECT_TRUE(octets.endsWith("\r\n1000=21000\r\n"));

    Tspectro t;
    t.lit();
    EXPECT_EQ(t.ComNumberS, 3);
    EXPECT_EQ(t.pasLambda, 5);
    EXPECT_EQ(t.DebutLambda, 400);
    EXPECT_EQ(t.FinLambda, 700);
    EXPECT_EQ(t.Kelvor, k5105);
    EXPECT_EQ(t.AbsBlanc, s.AbsBlanc);
}

TEST_F(Reglages, LaVarianteLueFixeLaPlageDeLaLigneDeBase)
{
    QByteArray base = "[LigneBase]\r\n";
    for (qint32 l = 190; l <= 1000; ++l)
        base += QByteArray::number(l) + '=' + QByteArray::number(l) + "\r\n";
    const struct { const char* variante; TKelvor kelvor; qint32 premier; } cas[] = {
        {"1", k5105, 198},
        {"0", k5100, 320},
        {"7", k5100, 320},      // unknown ordinal: default variant, never past the table
        {"x", k5100, 320},
    };
    for (const auto& c : cas) {
        EcritFichier(chemin, QByteArray("[IC5100]\r\n51xx=") + c.variante + "\r\n" + base);
        Tspectro s;
        s.lit();
        EXPECT_EQ(s.Kelvor, c.kelvor) << c.variante;
        EXPECT_EQ(s.AbsBlanc[c.premier - 1], 0) << c.variante;
        EXPECT_EQ(s.AbsBlanc[c.premier], c.premier) << c.variante;
        EXPECT_EQ(s.AbsBlanc[1000], 1000) << c.variante;
    }
}

TEST_F(Reglages, ValeursIllisiblesDonnentLesDefauts)
{
    EcritFichier(chemin, "[ic5100]\r\ncom = 0x10\r\nPASLAMBDA=2,5\r\nDebut=abc\r\nFin=2.0\r\n");
    Tspectro s;
    s.lit();
    EXPECT_EQ(s.ComNumberS, 16);
    EXPECT_EQ(s.pasLambda, 2);
    EXPECT_EQ(s.DebutLambda, 0);
    EXPECT_EQ(s.FinLambda, 0);
}

// Whatever the file holds, the model comes out with values the windows can show.
TEST_F(Reglages, ValeursHorsPlageRameneesALaLecture)
{
    const struct { const char* nom; QByteArray ic; quint16 com; qint32 pas, debut, fin; } cas[] = {
        {"step 0", "PasLambda=0\r\nDebut=400\r\nFin=700", 1, 2, 400, 700},
        {"negative step", "PasLambda=-2\r\nDebut=400\r\nFin=698", 1, 2, 400, 698},
        {"huge step", "PasLambda=99999999999\r\n", 1, 2, 0, 0},
        {"step 11", "PasLambda=11\r\n", 1, 2, 0, 0},
        {"step 10 kept", "PasLambda=10\r\n", 1, 10, 0, 0},
        {"port 0", "Com=0", 1, 2, 0, 0},
        {"port 51", "Com=51", 1, 2, 0, 0},
        {"port 50 kept", "Com=50", 50, 2, 0, 0},
        {"start below the variant", "Debut=5\r\nFin=700", 1, 2, 320, 700},
        {"end beyond the top", "Debut=400\r\nFin=5000", 1, 2, 400, 1000},
        {"end before start", "Debut=600\r\nFin=400", 1, 2, 600, 630},
        {"both beyond the top", "Debut=2000\r\nFin=3000", 1, 2, 970, 1000},
        {"negative range", "Debut=-400\r\nFin=-300", 1, 2, 320, 350},
    };
    for (const auto& c : cas) {
        EcritFichier(chemin, "[IC5100]\r\n" + c.ic + "\r\n");
        Tspectro s;
        s.lit();
        EXPECT_EQ(s.ComNumberS, c.com) << c.nom;
        EXPECT_EQ(s.pasLambda, c.pas) << c.nom;
        EXPECT_EQ(s.DebutLambda, c.debut) << c.nom;
        EXPECT_EQ(s.FinLambda, c.fin) << c.nom;
    }
}

// A file that exists but cannot be read is never replaced (its other sections would be
// lost), and a save that fails says so.
TEST_F(Reglages, SauvegardeImpossibleSignaleeEtFichierIlisibleJamaisRemplace)
{
    TDialoguesScript dialogues;
    ASSERT_TRUE(QDir(dossier.path()).mkdir(NomFichierReglages));   // exists, cannot be read
    Tspectro s;
    s.lit();
    EXPECT_EQ(s.pasLambda, 2);
    s.ecrit();
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_EQ(dialogues.messages[0], QStringLiteral("Le fichier de réglages %1 existe mais ne peut pas être "
                                                    "lu : il n'est pas remplacé.")
                                         .arg(QDir::toNativeSeparators(chemin)));
    EXPECT_TRUE(QFileInfo(chemin).isDir());

    // The data folder vanished: the write fails and is reported.
    DossierDonnees = dossier.path() + "/absent/";
    s.ecrit();
    ASSERT_EQ(dialogues.messages.size(), 2);
    EXPECT_TRUE(dialogues.messages[1].startsWith(
        QStringLiteral("Les réglages n'ont pas pu être enregistrés dans %1 : ")
            .arg(QDir::toNativeSeparators(dossier.path() + "/absent/Kealvor5100.ini"))))
        << dialogues.messages[1].toStdString();
}

TEST_F(Reglages, EcritGardeLesAutresSectionsEtRemplaceSansDoublon)
{
    EcritFichier(chemin, "; notes\r\n[Cinetique]\r\nLambda=610\r\n\r\n[ic5100]\r\ncom=9\r\n"
                         "Autre=x\r\n\r\n[Beer]\r\nNom=c\r\n");
    Tspectro s;
    s.ComNumberS = 4;
    s.ecrit();
    const QByteArray octets = LitFichier(chemin);
    EXPECT_TRUE(octets.startsWith("; notes\r\n[Cinetique]\r\nLambda=610\r\n\r\n[ic5100]\r\ncom=4\r\n"
                                  "Autre=x\r\nPasLambda=2\r\nDebut=0\r\n51xx=0\r\nFin=0\r\n\r\n"
                                  "[Beer]\r\nNom=c\r\n\r\n[LigneBase]\r\n320=0\r\n"))
        << octets.left(200).constData();
}

TEST_F(Reglages, EcritStockeLaVarianteDuSpectroConnecte)
{
    Tspectro s;
    s.Kelvor = k5100;
    s.modelNumber = "5105";
    s.ecrit();
    Tspectro t;
    t.lit();
    EXPECT_EQ(t.Kelvor, k5105);
    EXPECT_TRUE(LitFichier(chemin).contains("\r\n198=0\r\n"));
}

TEST_F(Reglages, DemarrageEtSortieDeLInstanceGlobale)
{
    NouveauSpectro().ComNumberS = 7;
    Spectro().AbsBlanc[777] = 4321;
    LibereSpectro();
    EXPECT_TRUE(LitFichier(chemin).contains("\r\nCom=7\r\n"));

    NouveauSpectro();
    EXPECT_EQ(Spectro().ComNumberS, 1);
    InitSpectro();
    EXPECT_EQ(Spectro().ComNumberS, 7);
    EXPECT_EQ(Spectro().AbsBlanc[777], 4321);
}

TEST_F(Reglages, SansDossierDeDonneesRienNEstEcrit)
{
    DossierDonnees.clear();
    Tspectro s;
    s.ecrit();
    s.lit();
    EXPECT_EQ(QDir(dossier.path()).entryList(QDir::Files), QStringList());
    EXPECT_FALSE(QFile::exists(QStringLiteral("Kealvor5100.ini")));
}
