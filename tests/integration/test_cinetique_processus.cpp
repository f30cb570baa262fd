// A run killed with SIGKILL mid-way, in a process of its own: the real window on the real
// link to the simulated instrument. The recovery journal must give back exactly the
// readings the instrument answered before the kill.

#include "banc.h"

#include "instrument/cfgspect.h"
#include "mesure/journalcinet.h"
#include "windows/kelvorcinet.h"

#include "support/dialoguesscript.h"
#include "support/ports.h"

#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>

namespace kelvor {
namespace {

const char* const VarPort = "KELVOR_ENFANT_PORT";
const char* const VarDossier = "KELVOR_ENFANT_DOSSIER";

// The child: measures every second until it is killed. Skipped unless the parent runs it.
TEST(ChildProcess, MeasuresUntilKilled)
{
    if (qEnvironmentVariableIsEmpty(VarPort))
        GTEST_SKIP() << "started by KilledRun only";
    CacheLesPorts();
    qputenv("KELVOR_COM3", qgetenv(VarPort));
    DossierDonnees = qEnvironmentVariable(VarDossier) + '/';
    NouveauSpectro();
    TDialoguesScript dialogues;
    TVueEnregistreuse vue;
    Tspectro spectro;
    spectro.ComNumberS = 3;
    TPortSerie port;
    TLiaison liaison(port, spectro, vue);
    liaison.InitAppareil();
    ASSERT_EQ(liaison.etatSpectre(), esAttente);
    TCinetiqueForm form(liaison);
    form.LambdaBtnClick();
    form.ZeroBtnClick();
    ASSERT_EQ(form.EtatAcq(), eaAttente);
    form.Cinetique.DeltatMesure = 1;    // below what the controls offer, to keep it short
    form.StartBtnClick();
    AttendsQue([] { return false; }, 60000);
    ADD_FAILURE() << "never killed";
}

TEST(KilledRun, ComesBackWithExactlyTheReadingsTheInstrumentAnswered)
{
    constexpr int Reponses = 6;     // readings answered before the kill
    QTemporaryDir dossier;
    TSimulateur sim;
    QString erreur;
    ASSERT_TRUE(sim.Demarre(&erreur)) << erreur.toStdString();
    sim.physique.bruit = false;
    sim.physique.constanteVitesse = 0.05;
    double temps = 0;
    sim.horloge = [&] { return temps; };

    QProcess enfant;
    int mesures = 0;    // "MEASURE WITH LAMP" since the wavelength was set: the blank, then the run
    bool tue = false;
    QObject::connect(&sim, &TSimulateur::CommandeRecue, [&](const QByteArray& c) {
        if (c.startsWith("GOTO"))
            mesures = 0;
        if (c != "MEASURE WITH LAMP" || tue)
            return;
        const int i = mesures++ - 1;    // reading i of the run; -1 is the blank
        if (i == 0) {
            sim.MetCuve(cuReaction);
            sim.physique.debutReaction = 0;
        }
        if (i == Reponses) {
            // Asked for the next reading: every earlier one has been stored. Killed before
            // this one is answered.
            ::kill(pid_t(enfant.processId()), SIGKILL);
            tue = true;
            sim.pannes.ignoreProchaines = 1;
            return;
        }
        temps = 5.0 * std::max(i, 0);
    });

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(VarPort, sim.Peripherique());
    env.insert(VarDossier, dossier.path());
    enfant.setProcessEnvironment(env);
    enfant.setProcessChannelMode(QProcess::MergedChannels);
    enfant.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=ChildProcess.*"});
    ASSERT_TRUE(enfant.waitForStarted());
    const bool atteint = AttendsQue([&] { return tue || enfant.state() == QProcess::NotRunning; }, 60000);
    ASSERT_TRUE(atteint && tue) << enfant.readAll().toStdString();
    ASSERT_TRUE(enfant.waitForFinished(10000));
    EXPECT_EQ(enfant.exitStatus(), QProcess::CrashExit);

    TPhysique solvant = sim.physique;
    solvant.cuve = cuSolvant;
    const double obscurite = sim.physique.Obscurite();
    const double blanc = solvant.Intensite(600, 0);
    const auto attendue = [&](int i) {
        const double intensite = sim.physique.Intensite(600, 5.0 * i);
        return std::clamp(-std::log10((intensite - obscurite) / (blanc - obscurite)), -0.3, 2.5);
    };

    DossierDonnees = dossier.path() + '/';
    const std::optional<TRunCinetique> run = TJournalCinet().Recuperable();
    ASSERT_TRUE(run);
    ASSERT_EQ(run->n, Reponses);
    EXPECT_EQ(run->Lambda, 600);
    EXPECT_EQ(run->x[0], 0);
    for (int i = 0; i < Reponses; ++i) {
        EXPECT_NEAR(run->y[i], attendue(i), 1e-12) << "reading " << i;
        if (i > 0) {
            EXPECT_GT(run->x[i], run->x[i - 1]);
        }
    }

    // The window of the next session takes it back as a finished run.
    NouveauSpectro();
    TDialoguesScript dialogues;
    dialogues.Repond(true);
    TVueEnregistreuse vue;
    Tspectro spectro;
    TPortSerie port;
    TLiaison liaison(port, spectro, vue);
    TCinetiqueForm form(liaison);
    form.show();
    ASSERT_TRUE(AttendsQue([&] { return form.EtatAcq() == eaTerminee; }));
    ASSERT_EQ(form.Graphe.NbrePoints, Reponses);
    for (int i = 0; i < Reponses; ++i) {
        EXPECT_EQ(form.Graphe.valeurX[i], run->x[i]);
        EXPECT_EQ(form.Graphe.valeurY[i], run->y[i]);
    }
    EXPECT_EQ(dialogues.questions.size(), 1);
    DossierDonnees.clear();
}

} // namespace
} // namespace kelvor
