// A kinetics run through the real serial link against the simulated instrument.

#include "banc.h"

#include "instrument/cfgspect.h"
#include "windows/kelvorcinet.h"

#include "support/dialoguesscript.h"
#include "support/horlogefactice.h"
#include "support/qtprint.h"

#include <QLineEdit>
#include <QTemporaryDir>
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

} // namespace
} // namespace kelvor
