// How the program is started and how it explains itself: the command line, the simulated
// instrument started with it, and the "Aide" action (F1) of each window opening its page
// of the guide through the shell.

#include "app/application.h"
#include "app/lancesim.h"
#include "app/options.h"
#include "instrument/cfgspect.h"
#include "platform/portserie.h"
#include "platform/shell.h"
#include "support/appareilscript.h"
#include "support/dialoguesscript.h"
#include "util/labutil.h"
#include "windows/aide.h"
#include "windows/kelvorbeer.h"
#include "windows/kelvorcinet.h"
#include "windows/specmain.h"

#include <QAction>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <gtest/gtest.h>

using namespace kelvor;

namespace {

struct CasOptions
{
    const char* nom;
    QStringList arguments;
    TOptions::TAction action;
    QList<QPair<quint16, QString>> ports;
    bool simulateur;
    QString erreur;
};

void PrintTo(const CasOptions& c, std::ostream* os) { *os << c.nom; }

class Options : public ::testing::TestWithParam<CasOptions>
{};

TEST_P(Options, ReadTheCommandLine)
{
    const CasOptions& c = GetParam();
    const TOptions o = AnalyseOptions(c.arguments);
    EXPECT_EQ(o.action, c.action);
    EXPECT_EQ(o.ports, c.ports);
    EXPECT_EQ(o.simulateur, c.simulateur);
    EXPECT_EQ(o.erreur, c.erreur);
}

const QString PortMalEcrit = QStringLiteral(
    "--port attend N=PERIPHERIQUE avec N de 1 à 50 (par exemple --port 1=/dev/ttyUSB0), pas « %1 ».");

INSTANTIATE_TEST_SUITE_P(
    Lancement, Options,
    ::testing::Values(
        CasOptions{"none", {}, TOptions::oaLance, {}, false, {}},
        CasOptions{"ports", {"--port", "1=/dev/ttyUSB0", "--port=12=/dev/ttyACM1"},
                   TOptions::oaLance, {{1, "/dev/ttyUSB0"}, {12, "/dev/ttyACM1"}}, false, {}},
        CasOptions{"simulator", {"--simulateur"}, TOptions::oaLance, {}, true, {}},
        CasOptions{"toolkit options left alone", {"-platform", "offscreen", "-reverse", "--simulateur"},
                   TOptions::oaLance, {}, true, {}},
        CasOptions{"help wins", {"--simulateur", "-h"}, TOptions::oaAide, {}, false, {}},
        CasOptions{"version", {"--version"}, TOptions::oaVersion, {}, false, {}},
        CasOptions{"port 0", {"--port", "0=/dev/ttyS0"}, TOptions::oaErreur, {}, false, PortMalEcrit.arg("0=/dev/ttyS0")},
        CasOptions{"port 51", {"--port=51=/dev/x"}, TOptions::oaErreur, {}, false, PortMalEcrit.arg("51=/dev/x")},
        CasOptions{"no device", {"--port", "3="}, TOptions::oaErreur, {}, false, PortMalEcrit.arg("3=")},
        CasOptions{"no value", {"--port"}, TOptions::oaErreur, {}, false, "--port attend N=PERIPHERIQUE."},
        CasOptions{"unknown option", {"--simulator"}, TOptions::oaErreur, {}, false, "argument inconnu « --simulator »."},
        CasOptions{"stray argument", {"spectre.txt"}, TOptions::oaErreur, {}, false, "argument inconnu « spectre.txt »."}),
    [](const auto& info) {
        QString n = QString::fromLatin1(info.param.nom);
        n.replace(' ', '_');
        return n.toStdString();
    });

void EffacePorts()
{
    for (int n = 1; n <= 50; ++n)
        qunsetenv(("KELVOR_COM" + QByteArray::number(n)).constData());
}

TEST(Lancement, PortOptionWinsOverTheEnvironmentAndTheSimulatorHidesOtherPorts)
{
    EffacePorts();
    qputenv("KELVOR_COM2", "/dev/ttyUSB9");
    TOptions o = AnalyseOptions({"--port", "2=/dev/ttyUSB0"});
    AppliquePorts(o);
    EXPECT_EQ(NomPort(2), "/dev/ttyUSB0");
    EXPECT_EQ(NomPort(3), "/dev/ttyS2") << "ports not named keep their usual device";

    o = AnalyseOptions({"--simulateur", "--port", "1=/dev/ttyACM0"});
    AppliquePorts(o);
    EXPECT_EQ(NomPort(1), "/dev/ttyACM0");
    EXPECT_EQ(NomPort(3), QString());
    EXPECT_FALSE(PortExiste(3));
    EffacePorts();
}

TEST(Lancement, SimulatorAnswersOnTheFirstPortLeftFreeAndGoesAwayWithTheProgram)
{
    EffacePorts();
    const TOptions o = AnalyseOptions({"--simulateur", "--port", "1=/dev/ttyACM0"});
    AppliquePorts(o);
    QString peripherique;
    {
        TLanceurSimulateur lanceur;
        QString erreur;
        ASSERT_EQ(DemarreSimulateur(lanceur, o, erreur), 2) << erreur.toStdString();
        peripherique = lanceur.Peripherique();
        EXPECT_EQ(NomPort(2), peripherique);

        TPortSerie port;
        port.Ouvre(2);
        QByteArray recu;
        QObject::connect(&port, &TPort::OctetsDisponibles, [&](qint64 n) {
            char c;
            for (qint64 i = 0; i < n && port.LitOctet(c); ++i)
                recu += c;
        });
        port.Ecrit("CONNECT\r");
        EXPECT_TRUE(QTest::qWaitFor([&] { return recu.contains('\r'); }, 5000));
        EXPECT_TRUE(recu.contains("51")) << recu.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(peripherique)) << "the simulator is stopped and its link removed";
    EffacePorts();
}

TEST(Lancement, MissingSimulatorIsReportedInFrench)
{
    TLanceurSimulateur lanceur;
    QString erreur;
    EXPECT_FALSE(lanceur.Demarre(erreur, "/nonexistent/kelvor-sim"));
    EXPECT_TRUE(erreur.startsWith("Impossible de démarrer l'instrument simulé (/nonexistent/kelvor-sim)"))
        << erreur.toStdString();
}

// The shell is replaced: every address it is asked to open is recorded.
class Aide : public ::testing::Test
{
protected:
    QStringList ouvertes;
    TDialoguesScript dialogues;
    QTemporaryDir dossier;
    void SetUp() override
    {
        DossierDonnees = dossier.path() + '/';
        NouveauSpectro();
        SetOuvreurPage([this](const QString& a) { ouvertes << a; return true; });
    }
    void TearDown() override
    {
        SetOuvreurPage({});
        DossierDonnees.clear();
    }

    static QAction* ActionAide(QWidget& fenetre)
    {
        for (QAction* a : fenetre.actions())
            if (a->shortcut() == QKeySequence(Qt::Key_F1))
                return a;
        return nullptr;
    }
};

TEST_F(Aide, EachWindowOpensItsOwnPage)
{
    ASSERT_FALSE(DossierGuide().isEmpty()) << "the guide is built with the program";
    TAppareilScript appareil;
    TFenetresProgramme fenetres;
    TSpectreMain& principale = fenetres.Principale();
    TCinetiqueForm cinetique(appareil);
    TBeerForm beer(appareil);
    const struct { QWidget* fenetre; const char* page; } cas[] = {
        {&principale, "spectre.html"}, {&cinetique, "cinetique.html"}, {&beer, "beer-lambert.html"}};
    for (const auto& c : cas) {
        ouvertes.clear();
        QAction* aide = ActionAide(*c.fenetre);
        ASSERT_NE(aide, nullptr) << c.page;
        EXPECT_EQ(aide->text(), "&Aide");
        aide->trigger();
        ASSERT_EQ(ouvertes.size(), 1) << c.page;
        const QUrl url(ouvertes.first());
        EXPECT_TRUE(url.isLocalFile());
        EXPECT_EQ(QFileInfo(url.toLocalFile()).fileName(), c.page);
        EXPECT_TRUE(QFileInfo::exists(url.toLocalFile())) << url.toLocalFile().toStdString();
    }
    EXPECT_TRUE(dialogues.messages.isEmpty());
    EXPECT_TRUE(principale.ToolBar->actions().contains(ActionAide(principale)))
        << "the main window shows Aide in its tool bar";
}

TEST_F(Aide, F1PressedInTheKineticsWindowOpensItsPage)
{
    TAppareilScript appareil;
    TCinetiqueForm cinetique(appareil);
    cinetique.show();
    cinetique.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&cinetique));
    QTest::keyClick(&cinetique, Qt::Key_F1);
    ASSERT_EQ(ouvertes.size(), 1);
    EXPECT_TRUE(ouvertes.first().endsWith("/cinetique.html"));
}

TEST_F(Aide, AMissingPageOrAShellFailureIsSaid)
{
    OuvreGuide("nulle-part");
    EXPECT_TRUE(ouvertes.isEmpty());
    EXPECT_EQ(dialogues.messages, QStringList{"Le guide d'utilisation n'est pas installé (page « nulle-part »)."});

    SetOuvreurPage([](const QString&) { return false; });
    dialogues.messages.clear();
    OuvreGuide("index");
    ASSERT_EQ(dialogues.messages.size(), 1);
    EXPECT_TRUE(dialogues.messages.first().startsWith("Impossible d'ouvrir le guide : file://"));
}

} // namespace
