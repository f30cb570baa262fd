// A kinetics run through the real serial link against the simulated instrument.

#include "banc.h"

#include "instrument/cfgspect.h"
#include "windows/kelvorcinet.h"

#include "support/dialoguesscript.h"
#include "support/horlogefactice.h"
#include "support/qtprint.h"
#include "support/localefixe.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QEventLoop>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <QToolButton>
#include <cmath>

namespace kelvor {
namespace {

class CinetiqueSimulee : public TBanc
{
protected:
    QTemporaryDir dossier;
    THorlogeFactice horloge;
    TDialoguesScript dialogues;

    void SetUp() override
    {
        TBanc::SetUp();
        DossierDonnees = dossier.path() + '/';
        NouveauSpectro();
    }
    void TearDown() override { DossierDonnees.clear(); }
};

TEST_F(CinetiqueSimulee, StoredAbsorbancesAreThoseOfTheInstrumentsIntensities)
{
    TSimulateur& sim = Connecte();
    sim.horloge = [this] { return horloge.ms / 1000.0; };
    sim.physique.constanteVitesse = 0.05;
    TPhysique optique = sim.physique;   // the same optics, to recompute every count

    TCinetiqueForm form(*liaison);
    form.DureeEdit->setText("30");
    form.DureeEditExit();
    form.LambdaBtnClick();
    ASSERT_EQ(form.EtatAcq(), eaReglageZero);
    EXPECT_EQ(sim.Position(), 600.0);
    form.ZeroBtnClick();
    ASSERT_EQ(form.EtatAcq(), eaAttente);

    sim.MetCuve(cuReaction);
    sim.physique.debutReaction = horloge.ms / 1000.0;
    optique.cuve = cuReaction;
    optique.debutReaction = sim.physique.debutReaction;
    sim.EffaceJournal();

    form.StartBtnClick();
    for (int i = 0; i < 20 && form.EtatAcq() == eaEnCours; ++i) {
        horloge.Avance(3000);
        form.TimerTimer();
    }
    ASSERT_EQ(form.EtatAcq(), eaTerminee);
    ASSERT_EQ(form.Graphe.NbrePoints, 12);      // 0 .. 33 s
    EXPECT_EQ(sim.Commandes(), QList<QByteArray>(12, "MEASURE WITH LAMP"));

    TPhysique solvant = optique;
    solvant.cuve = cuSolvant;
    const double obscurite = optique.Obscurite();
    const double blanc = solvant.Intensite(600, 0);
    for (int i = 0; i < 12; ++i) {
        const double t = form.Graphe.valeurX[i];
        EXPECT_EQ(t, 3 * i);
        const double intensite = optique.Intensite(600, optique.debutReaction + t);
        const double attendue = std::clamp(-std::log10((intensite - obscurite) / (blanc - obscurite)),
                                           -0.3, 2.5);
        EXPECT_NEAR(form.Graphe.valeurY[i], attendue, 1e-12) << "point " << i;
    }
    EXPECT_GT(form.Graphe.valeurY[0], form.Graphe.valeurY[11]);  // the colour fades
    EXPECT_TRUE(dialogues.messages.isEmpty());
    EXPECT_TRUE(vue.erreurs.isEmpty());
}

// The instrument misses one reading: no point for it, and never the previous reading's
// absorbance stored again under a later time.
TEST_F(CinetiqueSimulee, AMissedReadingAddsNoPointAndTheRunGoesOn)
{
    TSimulateur& sim = Connecte();
    sim.horloge = [this] { return horloge.ms / 1000.0; };
    sim.physique.constanteVitesse = 0.05;
    TCinetiqueForm form(*liaison);
    form.LambdaBtnClick();
    form.ZeroBtnClick();
    sim.MetCuve(cuReaction);
    sim.physique.debutReaction = horloge.ms / 1000.0;
    TPhysique optique = sim.physique;

    sim.pannes.avaleLecture = 3;    // the one due at 6 s
    form.StartBtnClick();
    for (int i = 0; i < 3; ++i) {
        horloge.Avance(3000);
        form.TimerTimer();
    }
    ASSERT_EQ(form.EtatAcq(), eaEnCours);
    ASSERT_EQ(form.Graphe.NbrePoints, 3);
    EXPECT_EQ(form.Graphe.valeurX[1], 3);
    EXPECT_EQ(form.Graphe.valeurX[2], 9);
    TPhysique solvant = optique;
    solvant.cuve = cuSolvant;
    const double obscurite = optique.Obscurite();
    const double blanc = solvant.Intensite(600, 0);
    for (int i = 0; i < 3; ++i) {
        const double t = form.Graphe.valeurX[i];
        const double intensite = optique.Intensite(600, optique.debutReaction + t);
        EXPECT_NEAR(form.Graphe.valeurY[i], -std::log10((intensite - obscurite) / (blanc - obscurite)),
                    1e-12) << "point " << i;
    }
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

// The simulator's first-order reaction, with its noise: order 1 comes out best and k
// lies within 5 % of the simulator's constant.
TEST_F(CinetiqueSimulee, AnalysisOfASimulatedRunFindsTheSimulatorsRateConstant)
{
    TSimulateur& sim = Connecte();
    sim.horloge = [this] { return horloge.ms / 1000.0; };
    sim.physique.bruit = true;
    sim.physique.concentration = 1.5;   // as in the demonstration scenario
    TCinetiqueForm form(*liaison);
    form.resize(900, 560);
    form.show();
    form.LambdaBtnClick();
    form.ZeroBtnClick();
    sim.MetCuve(cuReaction);
    sim.physique.debutReaction = horloge.ms / 1000.0;
    form.StartBtnClick();
    for (int i = 0; i < 100 && form.EtatAcq() == eaEnCours; ++i) {
        horloge.Avance(3000);
        form.TimerTimer();
    }
    ASSERT_EQ(form.EtatAcq(), eaTerminee);
    ASSERT_EQ(form.Graphe.NbrePoints, 42);
    QLabel* resultats = nullptr;
    for (QLabel* l : form.findChildren<QLabel*>())
        if (l->accessibleName() == "Analyse cinétique")
            resultats = l;
    ASSERT_TRUE(resultats);
    EXPECT_TRUE(resultats->accessibleDescription().contains("ordre 1 le plus probable"))
        << resultats->accessibleDescription().toStdString();
    ASSERT_EQ(form.Analyse.probables, QList<TOrdreCinet>({oc1}));
    EXPECT_NEAR(form.Analyse.Ajustement(oc1).k, sim.physique.constanteVitesse,
                0.05 * sim.physique.constanteVitesse);
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

// Writes a picture of the window with its analysis when KELVOR_CAPTURE_DIR names a folder.
TEST_F(CinetiqueSimulee, CaptureOfTheAnalysis)
{
    const QString sortie = qEnvironmentVariable("KELVOR_CAPTURE_DIR");
    if (sortie.isEmpty())
        GTEST_SKIP() << "KELVOR_CAPTURE_DIR not set";
    const LocaleFixe francais(QLocale::French, QLocale::France);
    TSimulateur& sim = Connecte();
    sim.horloge = [this] { return horloge.ms / 1000.0; };
    sim.physique.bruit = true;
    sim.physique.concentration = 1.5;
    TCinetiqueForm form(*liaison);
    form.resize(1100, 600);
    form.show();
    form.DureeEdit->setText("180");
    form.DureeEditExit();
    form.LambdaBtnClick();
    form.ZeroBtnClick();
    form.StartBtnClick();
    for (int i = 1; i < 100 && form.EtatAcq() == eaEnCours; ++i) {
        horloge.Avance(3000);
        if (i == 5) {
            sim.MetCuve(cuReaction);
            sim.physique.debutReaction = horloge.ms / 1000.0;
            dialogues.Repond(true, "ajout du réactif");
            form.RepereBtnClick();
        }
        form.TimerTimer();
    }
    ASSERT_EQ(form.EtatAcq(), eaTerminee);
    form.PlageCB->setCurrentIndex(1);
    QTest::qWait(100);      // a picture for people: the layout settles
    EXPECT_TRUE(form.grab().save(sortie + "/kinetics-analysis.png"));
    form.TraceCB->setCurrentIndex(2);
    QTest::qWait(100);
    EXPECT_TRUE(form.grab().save(sortie + "/kinetics-analysis-linearised.png"));
}

// The real clock and timer: the window, the link and the simulator on one event loop.
class CinetiqueTempsReel : public TBanc
{
protected:
    QTemporaryDir dossier;
    TDialoguesScript dialogues;
    QList<qint64> demandes;     // ms from the start of the run at which each reading was asked
    QElapsedTimer depuisDebut;

    void SetUp() override
    {
        TBanc::SetUp();
        DossierDonnees = dossier.path() + '/';
        NouveauSpectro();
    }
    void TearDown() override { DossierDonnees.clear(); }

    // Ready to start at 1 s intervals (below what the controls offer, to keep the test short).
    std::unique_ptr<TCinetiqueForm> Fenetre(TSimulateur& sim)
    {
        auto form = std::make_unique<TCinetiqueForm>(*liaison);
        form->LambdaBtnClick();
        form->ZeroBtnClick();
        EXPECT_EQ(form->EtatAcq(), eaAttente);
        form->Cinetique.DeltatMesure = 1;
        QObject::connect(&sim, &TSimulateur::CommandeRecue, [this](const QByteArray& c) {
            if (c == "MEASURE WITH LAMP")
                demandes << depuisDebut.elapsed();
        });
        return form;
    }
    void Demarre(TCinetiqueForm& form)
    {
        demandes.clear();
        depuisDebut.start();
        form.StartBtnClick();
    }
};

TEST_F(CinetiqueTempsReel, StampsAreExactMultiplesOfTheIntervalWhateverThePhaseOfTheStart)
{
    TSimulateur& sim = Connecte();
    auto form = Fenetre(sim);
    for (int phase : {50, 600, 950}) {
        AttendsQue([&] { return std::abs(QTime::currentTime().msec() - phase) <= 5; }, 1100);
        Demarre(*form);
        ASSERT_TRUE(AttendsQue([&] { return form->Graphe.NbrePoints == 3; }, 2600)) << phase;
        form->StopBtnClick();
        form->ResetBtnClick();
        ASSERT_EQ(demandes.size(), 3) << phase;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(form->Graphe.valeurX[i], i) << "phase " << phase;
            // Two clocks each read in whole milliseconds: the test's may see a request
            // up to 1 ms before the program's own due time.
            EXPECT_GE(demandes[i], 1000 * i - 1) << "never early, phase " << phase;
            EXPECT_LT(demandes[i], 1000 * i + 400) << "phase " << phase;
        }
    }
    EXPECT_TRUE(dialogues.messages.isEmpty());
}

// A marker box held open for 8 s: the reading under way when "Repère" was clicked and
// every later one keep their schedule; the marker keeps the time of the click.
TEST_F(CinetiqueTempsReel, AnOpenMarkerBoxHoldsNoReadingBack)
{
    TSimulateur& sim = Connecte();
    auto form = Fenetre(sim);
    struct Boite : TDialoguesScript
    {
        int pendantLaSaisie = 0;
        QList<qint64>* demandes = nullptr;
        bool Saisie(const QString& t, const QString& i, QString& v) override
        {
            // As a modal box does: its own loop for 8 s.
            QEventLoop boucle;
            QTimer::singleShot(8000, &boucle, &QEventLoop::quit);
            const qsizetype avant = demandes->size();
            boucle.exec();
            pendantLaSaisie = int(demandes->size() - avant);
            return TDialoguesScript::Saisie(t, i, v);
        }
    } boite;
    boite.demandes = &demandes;
    boite.Repond(true, "ajout");
    // Clicked while the reading due at 1 s waits for its reply.
    sim.pannes.retardMs = 150;
    bool clique = false;
    QObject::connect(&sim, &TSimulateur::CommandeRecue, [&] {
        if (demandes.size() == 2 && !clique) {
            clique = true;
            EXPECT_TRUE(liaison->EchangeEnCours());
            form->RepereBtn->click();
        }
    });
    Demarre(*form);
    ASSERT_TRUE(AttendsQue([&] { return form->Graphe.ListeRepere.size() == 1; }, 10000));
    SetDialogues(&dialogues);

    EXPECT_GE(boite.pendantLaSaisie, 7) << "readings went on while the box was open";
    const qint32 n = form->Graphe.NbrePoints;
    ASSERT_GE(n, 9);
    for (qint32 i = 0; i < n; ++i) {
        EXPECT_EQ(form->Graphe.valeurX[i], i) << "point " << i;
        EXPECT_GE(demandes[i], 1000 * i - 1) << "request " << i;   // clocks truncate apart
        EXPECT_LT(demandes[i], 1000 * i + 400) << "request " << i;
    }
    EXPECT_EQ(form->Graphe.ListeRepere[0].Valeur, 1);
    EXPECT_EQ(form->Graphe.ListeRepere[0].Text, "ajout");
    form->StopBtnClick();
}

} // namespace
} // namespace kelvor
