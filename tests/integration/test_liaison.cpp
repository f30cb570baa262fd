// The serial link against simulated instruments over real pseudo-terminals.

#include "banc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>

namespace kelvor {
namespace {

using Liaison = TBanc;

TEST(LiaisonDelais, DeadlineInTicksAndPositioningWait)
{
    // S × 1675 / 92 ticks of 55 ms, integer arithmetic.
    EXPECT_EQ(TLiaison::DelaiMs(1), 18 * 55);
    EXPECT_EQ(TLiaison::DelaiMs(2), 36 * 55);
    EXPECT_EQ(TLiaison::DelaiMs(3), 54 * 55);
    EXPECT_EQ(TLiaison::DelaiMs(10), 182 * 55);

    struct { qint32 vers, depuis, secondes; } cas[] = {
        {500, 500, 1}, {520, 500, 1}, {600, 500, 3}, {1000, 500, 10}, {1000, 200, 10}, {436, 500, 2},
    };
    for (const auto& c : cas)
        EXPECT_EQ(TLiaison::AttenteGoto(c.vers, c.depuis), c.secondes) << c.depuis << " -> " << c.vers;
}

TEST_F(Liaison, ConnectionOnTheConfiguredPortShowsModelAndCaption)
{
    TSimulateur& sim = Simulateur(3);
    liaison->InitAppareil();

    EXPECT_EQ(sim.Journal(), QByteArray("CONNECT\r"));
    EXPECT_EQ(liaison->etatSpectre(), esAttente);
    EXPECT_EQ(liaison->lecture(), lNone);
    EXPECT_EQ(spectro.ComNumberS, 3);
    EXPECT_EQ(spectro.modelNumber, QByteArray("5105"));
    EXPECT_EQ(vue.statuts, QStringList({"Recherche du spectro sur COM3", "Kelvor51xx 5105trouvé sur COM3"}));
    EXPECT_EQ(vue.titres, QStringList({"Kelvor 5105 : tracé de spectre pour Kurvalis"}));
    EXPECT_EQ(vue.etiquettes, QStringList({"Connect", ""}));
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(vue.stopActif);
    EXPECT_EQ(vue.effacements, 1);
    EXPECT_GE(vue.majActions, 1);
    EXPECT_TRUE(port.EstOuvert());
}

struct CasConnexion
{
    const char* nom;
    QByteArray reponse;     // what the instrument answers, before its last CR
    QByteArray retenu;      // modelNumber afterwards
    bool acceptee;
};

class ReponseDeConnexion : public TBanc, public ::testing::WithParamInterface<CasConnexion>
{
};

TEST_P(ReponseDeConnexion, AcceptedWhenTheLineContains51)
{
    TSimulateur& sim = Simulateur(3);
    sim.modele = GetParam().reponse;
    sim.pannes.decoupe = 6;   // a first line arrives on its own, before the next one
    liaison->InitAppareil();

    EXPECT_EQ(spectro.modelNumber, GetParam().retenu);
    if (GetParam().acceptee) {
        EXPECT_EQ(liaison->etatSpectre(), esAttente);
        EXPECT_TRUE(port.EstOuvert());
    } else {
        EXPECT_EQ(liaison->etatSpectre(), esInit);
        EXPECT_EQ(liaison->lecture(), lConnect);
        EXPECT_FALSE(port.EstOuvert());
        EXPECT_EQ(liaison->Hcommande(), 0);
        EXPECT_EQ(vue.statuts.last(), "Cliquer sur le bouton config.");
    }
    EXPECT_EQ(vue.sabliers, 0);
}

INSTANTIATE_TEST_SUITE_P(, ReponseDeConnexion,
                         ::testing::Values(CasConnexion{"Model5105", "5105", "5105", true},
                                           CasConnexion{"NameAndModel", "KELVOR 5100", "KELVOR 5100", true},
                                           CasConnexion{"Only51Inside", "x51", "x51", true},
                                           CasConnexion{"HighBytesKept", "KELVOR 5105 \xE9\x80", "KELVOR 5105 \xE9\x80", true},
                                           CasConnexion{"DotBetweenDigits", "5.1", "5.1", false},
                                           CasConnexion{"OtherLineThenModel", "READY\r5105", "5105", true}),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Liaison, SearchTriesConfiguredPortFirstThenOneToFiftyWithoutIt)
{
    TSimulateur& com2 = Simulateur(2);
    TSimulateur& com1 = Simulateur(1);
    TSimulateur& com4 = Simulateur(4);
    com2.pannes.muet = true;
    com1.pannes.muet = true;
    com4.modele = "5100";
    spectro.ComNumberS = 2;

    liaison->InitAppareil();

    EXPECT_EQ(com2.Journal(), QByteArray("CONNECT\r"));   // once, not again in the sweep
    EXPECT_EQ(com1.Journal(), QByteArray("CONNECT\r"));
    EXPECT_EQ(com4.Journal(), QByteArray("CONNECT\r"));
    EXPECT_EQ(vue.statuts, QStringList({"Recherche du spectro sur COM2", "Cliquer sur le bouton config.",
                                        "Recherche du spectro sur COM1", "Cliquer sur le bouton config.",
                                        "Recherche du spectro sur COM4", "Kelvor51xx 5100trouvé sur COM4"}));
    EXPECT_EQ(spectro.ComNumberS, 4);
    EXPECT_EQ(liaison->etatSpectre(), esAttente);
}

TEST_F(Liaison, PortThatFailsToOpenIsReportedAndSkipped)
{
    // A plain file is no serial device: the open fails inside the attempt.
    const QString fichier = QDir::temp().filePath("kelvor-pas-un-port");
    QFile f(fichier);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    qputenv("KELVOR_COM5", fichier.toLocal8Bit());

    liaison->EssaiPort(5);

    EXPECT_EQ(vue.statuts, QStringList({"Cliquer sur le bouton \"Config.\""}));
    EXPECT_FALSE(port.EstOuvert());
    EXPECT_EQ(liaison->Hcommande(), 0);
    EXPECT_EQ(liaison->etatSpectre(), esInit);
    QFile::remove(fichier);
}

struct CasReponse
{
    const char* nom;
    Tlecture attente;
    QByteArray octets;                          // what the instrument sends back
    std::function<void(const Tspectro&)> verifie;
    const char* erreur;                         // general error report, or nullptr
};

class Dispatch : public TBanc, public ::testing::WithParamInterface<CasReponse>
{
};

TEST_P(Dispatch, ReplyLineUnderEachExpectation)
{
    TSimulateur& sim = Connecte();
    spectro.CourantObscurite = 100;
    spectro.CourantBlanc = 10100;
    const CasReponse& c = GetParam();
    sim.InjecteReponse(c.octets);

    QElapsedTimer t;
    t.start();
    liaison->EnvoieCommande(c.attente, 3, "T", "MEASURE WITH LAMP");
    const qint64 duree = t.elapsed();
    EXPECT_TRUE(AttendsStable([&] { return vue.erreurs.size() == (c.erreur ? 1 : 0); }, 30));

    c.verifie(spectro);
    EXPECT_LT(duree, 1000) << "the wait must end once the reply is handled";
    EXPECT_TRUE(liaison->chaineLue().isEmpty());
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(vue.stopActif);
    EXPECT_EQ(vue.etiquettes, QStringList({"T", ""}));
    if (c.erreur) {
        EXPECT_EQ(vue.erreurs, QStringList({QString::fromUtf8(c.erreur)}));
        EXPECT_EQ(liaison->lecture(), c.attente) << "a refused reply leaves the expectation";
    } else {
        EXPECT_TRUE(vue.erreurs.isEmpty()) << vue.erreurs.join('|').toStdString();
        EXPECT_EQ(liaison->lecture(), lNone);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , Dispatch,
    ::testing::Values(
        CasReponse{"Blank", lBlanc, "9876\r", [](const Tspectro& s) { EXPECT_EQ(s.CourantBlanc, 9876); }, nullptr},
        CasReponse{"BlankSkipsEmptyLine", lBlanc, "\r9876\r",
                   [](const Tspectro& s) { EXPECT_EQ(s.CourantBlanc, 9876); }, nullptr},
        CasReponse{"BlankNotInteger", lBlanc, "98x\r", [](const Tspectro& s) { EXPECT_EQ(s.CourantBlanc, 10100); },
                   "'98x' n'est pas une valeur entière correcte"},
        CasReponse{"DarkSkipsEmptyLine", lObscurite, "\r315\r",
                   [](const Tspectro& s) { EXPECT_EQ(s.CourantObscurite, 315); }, nullptr},
        CasReponse{"Position", lLambda, "520.0\r", [](const Tspectro& s) { EXPECT_EQ(s.LambdaCourante, 520); }, nullptr},
        CasReponse{"PositionEmptyLineFails", lLambda, "\r",
                   [](const Tspectro& s) { EXPECT_EQ(s.LambdaCourante, 500); },
                   "'' n'est pas une valeur entière correcte"},
        CasReponse{"PositionWithCommaFails", lLambda, "520,0\r",
                   [](const Tspectro& s) { EXPECT_EQ(s.LambdaCourante, 500); },
                   "'520,0' n'est pas une valeur entière correcte"},
        CasReponse{"AbsorbanceSkipsEmptyLine", lAbs, "\r1100\r",
                   [](const Tspectro& s) { EXPECT_NEAR(s.AbsCourante, 1.0, 1e-12); }, nullptr},
        CasReponse{"AbsorbanceGarbageIsNoValue", lAbs, "??\r",
                   [](const Tspectro& s) { EXPECT_TRUE(std::isnan(s.AbsCourante)); }, nullptr},
        CasReponse{"ReadingsCount", lNoReading, "200\r", [](const Tspectro& s) { EXPECT_EQ(s.NoReading, 200); }, nullptr},
        CasReponse{"ReadingsCountNotInteger", lNoReading, "2OO\r", [](const Tspectro& s) { EXPECT_EQ(s.NoReading, 0); },
                   "'2OO' n'est pas une valeur entière correcte"}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Liaison, ScanLinesGoToTheHandlerOfTheRunningScan)
{
    TSimulateur& sim = Connecte();
    sim.champsEnPlus = true;

    struct { Tlecture attente; QList<QByteArray>* recues; } cas[] = {
        {lSpectre, &vue.lignesSpectre}, {lLigneBase, &vue.lignesBlanc}, {lNone, nullptr}};
    for (const auto& c : cas) {
        vue = TVueEnregistreuse();
        liaison->Attend(c.attente);
        liaison->Envoie("SCAN:400:420:5");
        ASSERT_TRUE(AttendsQue([&] { return sim.Commandes().size() == 1 && annonces == sim.OctetsEmis(); }));
        sim.EffaceJournal();
        EXPECT_EQ(liaison->lecture(), c.attente) << "scan lines never clear the expectation";
        if (!c.recues) {
            EXPECT_TRUE(vue.lignesSpectre.isEmpty() && vue.lignesBlanc.isEmpty());
            continue;
        }
        ASSERT_EQ(c.recues->size(), 5);
        for (int i = 0; i < 5; ++i) {
            const QList<QByteArray> champs = c.recues->at(i).split(':');
            ASSERT_EQ(champs.size(), 3) << c.recues->at(i).toStdString();
            EXPECT_EQ(champs[0].toInt(), 400 + 5 * i);
            EXPECT_GT(champs[1].toInt(), 0);
        }
    }
}

struct CasTrame
{
    const char* nom;
    QList<QByteArray> morceaux;     // separate deliveries
    QList<QByteArray> lignes;
};

class Trames : public TBanc, public ::testing::WithParamInterface<CasTrame>
{
};

TEST_P(Trames, BytesBecomeLines)
{
    TSimulateur& sim = Connecte();
    liaison->Attend(lSpectre);
    for (const QByteArray& m : GetParam().morceaux)
        Emet(sim, m);
    EXPECT_EQ(vue.lignesSpectre, GetParam().lignes);
    EXPECT_TRUE(liaison->chaineLue().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    , Trames,
    ::testing::Values(CasTrame{"SplitOverThreeDeliveries", {"12", "34", "\r"}, {"1234"}},
                      CasTrame{"CrLfGivesOneLine", {"1234\r\n"}, {"1234"}},
                      CasTrame{"LfInItsOwnDelivery", {"1234\r", "\n", "56\r"}, {"1234", "56"}},
                      CasTrame{"HighBytesKept", {QByteArray("\x80\xE9\xFF:1\r")}, {QByteArray("\x80\xE9\xFF:1")}},
                      CasTrame{"TabAndControlsDropped", {QByteArray("12\t3\x01" "4\r")}, {"1234"}},
                      CasTrame{"TwoLinesInOneDelivery", {"1:2\r3:4\r"}, {"1:2", "3:4"}},
                      CasTrame{"LoneCrIsEmptyLine", {"\r\n\r\n"}, {"", ""}}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Liaison, EndlessLineIsCappedAndTheLinkRecovers)
{
    TSimulateur& sim = Connecte();
    Emet(sim, QByteArray(100000, 'x'));
    EXPECT_EQ(liaison->chaineLue(), QByteArray(TLiaison::TailleMaxLigne, 'x'));
    Emet(sim, "\r");
    EXPECT_TRUE(liaison->chaineLue().isEmpty());

    liaison->GotoLambda(530);
    EXPECT_EQ(spectro.LambdaCourante, 530);
    EXPECT_EQ(liaison->lecture(), lNone);
}

struct CasPanne
{
    const char* nom;
    std::function<void(TSimulateur::TPannes&)> arme;
    qint32 lambda;          // position afterwards
    bool erreur;            // a conversion failure reported
};

class Pannes : public TBanc, public ::testing::WithParamInterface<CasPanne>
{
};

TEST_P(Pannes, PositioningUnderAnInstrumentFault)
{
    TSimulateur& sim = Connecte();
    GetParam().arme(sim.pannes);
    liaison->GotoLambda(530);
    EXPECT_TRUE(AttendsStable([&] { return vue.erreurs.size() == (GetParam().erreur ? 1 : 0); }, 50));
    EXPECT_EQ(spectro.LambdaCourante, GetParam().lambda);
    EXPECT_EQ(vue.erreurs.size(), GetParam().erreur ? 1 : 0) << vue.erreurs.join('|').left(200).toStdString();
    EXPECT_EQ(liaison->lecture(), GetParam().lambda == 530 ? lNone : lLambda);
    EXPECT_TRUE(liaison->chaineLue().isEmpty());
    EXPECT_EQ(vue.sabliers, 0);
}

INSTANTIATE_TEST_SUITE_P(
    , Pannes,
    ::testing::Values(CasPanne{"SplitReply", [](auto& p) { p.decoupe = 2; }, 530, false},
                      CasPanne{"CrLf", [](auto& p) { p.crlf = true; }, 530, false},
                      CasPanne{"LateWithinTheWait", [](auto& p) { p.retardMs = 300; }, 530, false},
                      CasPanne{"GarbageLineThenReply", [](auto& p) { p.dechets = true; }, 530, true},
                      CasPanne{"LongLineSwallowsTheReply", [](auto& p) { p.ligneLongue = 10000; }, 500, true},
                      CasPanne{"Mute", [](auto& p) { p.muet = true; }, 500, false}),
    [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Liaison, SecondBlankSendsOnlyTheLampMeasurement)
{
    TSimulateur& sim = Connecte();
    liaison->SetBlancProc();
    EXPECT_EQ(sim.Journal(), QByteArray("MEASURE NO LAMP\rMEASURE WITH LAMP\r"));
    EXPECT_GT(spectro.CourantObscurite, 0);
    EXPECT_GT(spectro.CourantBlanc, spectro.CourantObscurite);
    EXPECT_EQ(vue.etiquettes, QStringList({"Obscurité", "", "Blanc", ""}));

    sim.EffaceJournal();
    liaison->SetBlancProc();
    EXPECT_EQ(sim.Journal(), QByteArray("MEASURE WITH LAMP\r"));
}

TEST_F(Liaison, OperationsSendTheirCommandsAndSetTheirFields)
{
    TSimulateur& sim = Connecte();
    liaison->GotoLambda(640);
    EXPECT_EQ(spectro.LambdaCourante, 640);
    liaison->SetMode(mCinetique);
    liaison->SetMode(mCinetique);   // count already confirmed: nothing sent
    spectro.CourantObscurite = 0;
    spectro.CourantBlanc = 0;
    liaison->SetBlancProc();
    const double a = liaison->getAbsorbance();

    EXPECT_EQ(sim.Journal(),
              QByteArray("GOTO640\rNO OF READINGS 10\rMEASURE NO LAMP\rMEASURE WITH LAMP\rMEASURE WITH LAMP\r"));
    EXPECT_EQ(vue.etiquettes.filter(QRegularExpression(".")),
              QStringList({"Goto 640", "Nombre de flash", "Obscurité", "Blanc", "Absorbance"}));
    EXPECT_EQ(spectro.NoReading, 10);
    EXPECT_EQ(sim.NombreFlash(), 10);
    EXPECT_EQ(liaison->AcquisitionEnCours(), mCinetique);
    EXPECT_EQ(vue.reinitEnvoi, 2);
    EXPECT_EQ(vue.fenetres, QList<Tmode>({mCinetique, mCinetique}));
    EXPECT_NEAR(a, 0.0, 1e-9);   // same solvent cell, no noise
    EXPECT_EQ(a, spectro.AbsCourante);
}

TEST_F(Liaison, WaitEndsAsSoonAsTheReplyIsHandled)
{
    Connecte();
    for (int i = 0; i < 10; ++i) {
        QElapsedTimer t;
        t.start();
        liaison->EnvoieCommande(lLambda, 10, "Goto", "GOTO" + QByteArray::number(400 + i));
        EXPECT_LT(t.elapsed(), 90) << "no fixed polling interval";
        EXPECT_EQ(spectro.LambdaCourante, 400 + i);
    }
}

TEST_F(Liaison, TimeoutKeepsTheExpectationAndALateReplyIsStillHandled)
{
    TSimulateur& sim = Connecte();
    sim.pannes.retardMs = 2000;
    spectro.AbsCourante = 0.25;

    QElapsedTimer t;
    t.start();
    liaison->EnvoieCommande(lBlanc, 1, "Blanc", "MEASURE WITH LAMP");
    EXPECT_GE(t.elapsed(), TLiaison::DelaiMs(1) - 5);
    EXPECT_LT(t.elapsed(), 1900);
    EXPECT_EQ(liaison->lecture(), lBlanc);
    EXPECT_EQ(spectro.CourantBlanc, 0);
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(vue.stopActif);

    EXPECT_TRUE(AttendsQue([&] { return liaison->lecture() == lNone; }, 3000));
    EXPECT_GT(spectro.CourantBlanc, 0);

    // A mute instrument: no value, never the previous absorbance.
    sim.pannes.muet = true;
    sim.pannes.retardMs = 0;
    EXPECT_TRUE(std::isnan(liaison->getAbsorbance()));
    EXPECT_EQ(liaison->lecture(), lAbs);
}

TEST_F(Liaison, AFailedReadingYieldsNoValueNeverThePreviousOne)
{
    const struct { const char* nom; std::function<void(TSimulateur&)> panne; } cas[] = {
        {"timeout", [](TSimulateur& s) { s.pannes.avaleLecture = 1; }},
        {"Stop", [this](TSimulateur& s) {
             s.pannes.avaleLecture = 1;
             QTimer::singleShot(30, [this] { liaison->Attend(lNone); });
         }},
        {"garbled reply", [](TSimulateur& s) { s.InjecteReponse("x12\r"); }},
        {"line lost", [](TSimulateur& s) {
             s.pannes.avaleLecture = 1;
             QTimer::singleShot(30, [&s] { s.Ferme(); });
         }},
    };
    for (const auto& k : cas) {
        TSimulateur& sim = Connecte();
        liaison->SetBlancProc();
        sim.MetCuve(cuEchantillon);
        const double avant = liaison->getAbsorbance();
        ASSERT_FALSE(std::isnan(avant)) << k.nom;
        k.panne(sim);
        QElapsedTimer t;
        t.start();
        EXPECT_TRUE(std::isnan(liaison->getAbsorbance())) << k.nom;
        EXPECT_LT(t.elapsed(), TLiaison::DelaiMs(3) + 500) << k.nom;
        EXPECT_EQ(vue.sabliers, 0) << k.nom;
        if (sim.EstOuvert()) {
            // The next reading is a true one again.
            liaison->Attend(lNone);
            EXPECT_NEAR(liaison->getAbsorbance(), avant, 1e-12) << k.nom;
        }
        liaison->Adieu();
        sims.clear();
    }
}

TEST_F(Liaison, StopAndNestedExchangeEndTheOuterWait)
{
    TSimulateur& sim = Connecte();
    // "Stop" during a wait: the window clears the expectation.
    sim.pannes.ignoreProchaines = 1;
    QTimer::singleShot(30, [&] { liaison->Attend(lNone); });
    QElapsedTimer t;
    t.start();
    liaison->EnvoieCommande(lBlanc, 10, "Blanc", "MEASURE WITH LAMP");
    EXPECT_LT(t.elapsed(), 500);

    // A timer tick starts a reading inside an unanswered exchange.
    liaison->SetBlancProc();
    vue = TVueEnregistreuse();
    sim.pannes.ignoreProchaines = 1;
    double interieure = -1;
    QTimer::singleShot(30, [&] {
        EXPECT_TRUE(liaison->EchangeEnCours());
        interieure = liaison->getAbsorbance();
    });
    t.restart();
    liaison->EnvoieCommande(lBlanc, 10, "Blanc", "MEASURE WITH LAMP");
    EXPECT_LT(t.elapsed(), 500);
    EXPECT_FALSE(std::isnan(interieure));
    EXPECT_NE(interieure, -1);
    EXPECT_EQ(liaison->lecture(), lNone);
    EXPECT_EQ(vue.etiquettes, QStringList({"Blanc", "Absorbance", "Blanc", ""}));
    EXPECT_EQ(vue.actionsEchange, QList<bool>({true, false})) << "actions stay in the exchange state until the outer end";
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(liaison->EchangeEnCours());
}

TEST_F(Liaison, ExchangeStartedFromALineHandlerGetsItsReply)
{
    // The port's own notification is still on the stack here, so the reply must reach
    // the wait without it being delivered a second time.
    TSimulateur& sim = Connecte();
    liaison->Attend(lSpectre);
    qint64 duree = -1;
    vue.pendantLigneSpectre = [&] {
        vue.pendantLigneSpectre = nullptr;
        QElapsedTimer t;
        t.start();
        liaison->GotoLambda(640);
        duree = t.elapsed();
    };
    sim.Emet("400:1234\r");
    ASSERT_TRUE(AttendsQue([&] { return duree >= 0; }, 3000));
    EXPECT_LT(duree, 500);
    EXPECT_EQ(spectro.LambdaCourante, 640);
    EXPECT_EQ(liaison->lecture(), lNone);
}

TEST_F(Liaison, InstrumentVanishingMidExchange)
{
    TSimulateur& sim = Connecte();
    sim.pannes.ignoreProchaines = 1;
    QTimer::singleShot(50, [&] { sim.Ferme(); });
    QElapsedTimer t;
    t.start();
    liaison->EnvoieCommande(lLambda, 10, "Goto", "GOTO600");
    EXPECT_LT(t.elapsed(), 2000) << "a closed line ends the wait";
    EXPECT_FALSE(port.EstOuvert());
    EXPECT_EQ(liaison->lecture(), lLambda);
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_TRUE(AttendsQue([&] { return !vue.erreurs.isEmpty(); }));
    EXPECT_EQ(vue.erreurs, QStringList({TexteLiaisonPerdue(3)})) << "French, without the system's texts";

    // Later actions are refused by the serial layer, and the window is left as it was.
    vue = TVueEnregistreuse();
    EXPECT_THROW(liaison->GotoLambda(700), EPortSerie);
    EXPECT_EQ(liaison->lecture(), lLambda);
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(vue.stopActif);
    EXPECT_NO_THROW(liaison->Adieu());
}

TEST_F(Liaison, InstrumentVanishingMidScan)
{
    TSimulateur& sim = Connecte();
    sim.pannes.coupureApres = 10;
    liaison->Attend(lSpectre);
    liaison->Envoie("SCAN:400:700:2");
    EXPECT_TRUE(AttendsQue([&] { return !port.EstOuvert(); }));
    EXPECT_TRUE(AttendsQue([&] { return !vue.erreurs.isEmpty(); }));
    EXPECT_EQ(vue.lignesSpectre.size(), 10) << "the lines sent before the cut are handled";
    EXPECT_EQ(vue.erreurs.size(), 1);
}

TEST_F(Liaison, SendingBeforeAnyConnectionIsRefused)
{
    try {
        liaison->getAbsorbance();
        ADD_FAILURE() << "no exception";
    } catch (const EPortSerie& e) {
        EXPECT_EQ(e.message, "Le port série n'est pas ouvert.");
    }
    EXPECT_EQ(liaison->lecture(), lNone);
    EXPECT_EQ(vue.sabliers, 0);
    EXPECT_FALSE(vue.stopActif);
    EXPECT_EQ(vue.etiquettes.last(), "");
}

TEST_F(Liaison, GoodbyeSendsDisconnectAndClosesThePort)
{
    TSimulateur& sim = Connecte();
    liaison->Adieu();
    EXPECT_TRUE(Attends([&] { return sim.Journal() == QByteArray("DISCONNECT\r"); }));
    EXPECT_FALSE(port.EstOuvert());
}

TEST_F(Liaison, DemoScenarioFollowsTheKineticsAndBeerWindows)
{
    TSimulateur& sim = Connecte();
    sim.scenario = TSimulateur::scDemo;
    double temps = 0;
    sim.horloge = [&] { return temps; };
    const double a530 = TPhysique::AbsorbanceSoluteUnitaire(530);

    liaison->SetMode(mCinetique);
    liaison->GotoLambda(530);
    liaison->SetBlancProc();
    const double a0 = liaison->getAbsorbance();
    temps = 30;
    const double a30 = liaison->getAbsorbance();
    EXPECT_NEAR(a0, 1.5 * a530, 0.002);
    EXPECT_NEAR(a30, 1.5 * a530 * std::exp(-0.02 * 30), 0.002);

    liaison->SetMode(mBeer);
    liaison->SetBlancProc();
    const double e1 = liaison->getAbsorbance();
    const double e2 = liaison->getAbsorbance();
    EXPECT_NEAR(e1, 0.25 * a530, 0.002);
    EXPECT_NEAR(e2, 0.5 * a530, 0.002);
}

} // namespace
} // namespace kelvor
