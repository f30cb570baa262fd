// The spectrum without a window: range rules, baseline and sample scans fed line by line
// through the link, Stop, the end of a scan, the saved/unsaved state and spectrum files.

#include "mesure/spectre.h"

#include "exchange/fichierspectre.h"
#include "instrument/port.h"
#include "support/dialoguesscript.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

using namespace kelvor;

namespace {

// An open port that keeps what is written and replays the lines a test feeds it.
class TPortMemoire : public TPort
{
public:
    QByteArray ecrit;
    void Ouvre(quint16) override {}
    void Ferme() override {}
    bool EstOuvert() const override { return true; }
    void Ecrit(const QByteArray& octets) override { ecrit += octets; }
    void Purge() override { recu.clear(); }
    qint32 AjouteTrigger(char) override { return 1; }
    void SupprimeTrigger(qint32) override {}
    bool LitOctet(char& octet) override
    {
        if (recu.isEmpty())
            return false;
        octet = recu.front();
        recu.remove(0, 1);
        return true;
    }
    void TraiteActivite() override {}
    bool PortExiste(quint16) const override { return true; }
    QString NomPort(quint16 n) const override { return QStringLiteral("COM%1").arg(n); }
    // One reply line as the instrument sends it.
    void Ligne(const QByteArray& ligne)
    {
        recu += ligne + '\r';
        emit OctetsDisponibles(recu.size());
        emit LigneComplete();
    }

private:
    QByteArray recu;
};

// The window's side: routes scan lines to the spectrum and records what it is asked.
class TVueJournal : public TVueLiaison, public TVueSpectre
{
public:
    TSpectre* spectre = nullptr;
    QStringList appels;
    QStringList statuts;
    QStringList echecs;
    QList<qint32> avancement;

    void LigneBlanc(const QByteArray& l) override { spectre->LigneBlanc(l); }
    void LigneSpectre(const QByteArray& l) override { spectre->LigneSpectre(l); }
    void Redessine() override { appels << "R"; }
    void Affiche(const QString& lambda, const QString& abs) override { appels << lambda + " " + abs; }
    void MontreBornes(qint32 debut, qint32 fin) override { appels << QStringLiteral("B%1-%2").arg(debut).arg(fin); }
    void BalayageDemarre() override { appels << "Demarre"; }
    void Avancement(qint32 p) override { avancement << p; }
    void BalayageFini() override { appels << "Fini"; }
    void SpectreTermine() override { appels << "Termine"; }
    void MajActions() override {}
    void Statut(const QString& texte) override { statuts << texte; }
    void Echec(const QString& message) override { echecs << message; }
    void Sablier(bool) override {}
    void ActionsEchange(bool) override {}
    void Etiquette(const QString&) override {}
    void Titre(const QString&) override {}
    void EffaceAffichages() override {}
    void Erreur(const QString&) override {}
    void ReinitEnvoi() override {}
    void OuvreFenetre(Tmode) override {}
};

class Spectre : public ::testing::Test
{
protected:
    Spectre()
    {
        spectro.modelNumber = "5105";
        spectro.pasLambda = 2;
        vue.spectre = &spectre;
    }

    // Scan lines "lambda:intensity", each through the port.
    void Lignes(std::initializer_list<const char*> lignes)
    {
        for (const char* l : lignes)
            port.Ligne(l);
    }
    // A full baseline over debut..fin at intensity 100000.
    void Blanc(qint32 debut, qint32 fin)
    {
        spectre.DemarreBlanc(debut, fin);
        for (qint32 l = spectro.DebutLambda; l <= spectro.FinLambda; l += spectro.pasLambda)
            port.Ligne(QByteArray::number(l) + ":100000");
        ASSERT_EQ(liaison.lecture(), lNone);
    }

    TDialoguesScript dialogues;
    Tspectro spectro;
    TPortMemoire port;
    TVueJournal vue;
    TLiaison liaison{port, spectro, vue};
    TSpectre spectre{spectro, liaison, vue};
};

TEST_F(Spectre, RangeRules)
{
    spectro.DebutLambda = 400;
    spectro.FinLambda = 700;
    EXPECT_EQ(spectre.DebutMaxi(), 670);
    EXPECT_EQ(spectre.FinMini(), 430);
    EXPECT_EQ(spectre.FinMaxiPas(), 998);

    // A marker let go lands inside the instrument and at least 30 nm from the other one.
    struct { qint32 lambda, debut, fin; } lache[] = {
        {150, 198, 430}, {500, 500, 500}, {690, 670, 690}, {410, 410, 430}, {1200, 670, 1000},
    };
    for (const auto& c : lache) {
        EXPECT_EQ(spectre.DebutLache(c.lambda), c.debut) << c.lambda;
        EXPECT_EQ(spectre.FinLache(c.lambda), c.fin) << c.lambda;
    }
}

TEST_F(Spectre, BaselineRangeIsPulledOntoTheStepGridBeforeTheScanCommand)
{
    struct Cas { qint32 pas, debut, fin; const char* bornes; QByteArray commande; } cas[] = {
        {2, 401, 703, "B400-702", "SCAN:400:704:2\r"},
        {5, 403, 699, "B400-695", "SCAN:400:700:5\r"},
        {1, 150, 999, "B198-999", "SCAN:198:1000:1\r"},    // below the 5105's range
        {10, 500, 1015, "B500-990", "SCAN:500:1000:10\r"},  // beyond the top: one step below
    };
    for (const Cas& c : cas) {
        port.ecrit.clear();
        vue.appels.clear();
        spectro.pasLambda = c.pas;
        spectre.DemarreBlanc(c.debut, c.fin);
        EXPECT_EQ(port.ecrit, c.commande) << c.pas << " " << c.debut;
        EXPECT_EQ(vue.appels.value(0), c.bornes);
        EXPECT_TRUE(vue.appels.contains("Demarre"));
        EXPECT_EQ(liaison.lecture(), lLigneBase);
        EXPECT_EQ(liaison.etatSpectre(), esEnCours);
        spectre.Stop();
    }
}

TEST_F(Spectre, OldBaselineStaysUntilTheNewScanSendsItsFirstLine)
{
    Blanc(400, 700);
    ASSERT_TRUE(spectre.blancFait);
    EXPECT_EQ(spectro.AbsBlanc[500], 100000);
    EXPECT_EQ(dialogues.bips, 1);

    // A new baseline stopped before its first line changes nothing.
    spectre.DemarreBlanc(500, 600);
    spectre.Stop();
    EXPECT_EQ(spectro.AbsBlanc[500], 100000);
    EXPECT_EQ(spectre.blancDebut, 400);
    EXPECT_EQ(spectre.blancFin, 700);
    EXPECT_EQ(liaison.lecture(), lNone);
    EXPECT_EQ(liaison.etatSpectre(), esAttente);

    // Its first line clears the old values over its range only, then it is stopped.
    spectre.DemarreBlanc(500, 600);
    Lignes({"500:50000", "502:50000"});
    EXPECT_EQ(spectro.AbsBlanc[500], 50000);
    EXPECT_EQ(spectro.AbsBlanc[550], 0);
    EXPECT_EQ(spectro.AbsBlanc[450], 100000);
    spectre.Stop();
    EXPECT_EQ(spectre.blancDebut, 500);
    EXPECT_EQ(spectre.blancFin, 502);
    EXPECT_EQ(spectro.AbsBlanc[spectro.MaxiLambda], 50000);
    EXPECT_TRUE(spectre.BlancCouvre(500, 502));
    EXPECT_FALSE(spectre.BlancCouvre(500, 504));
}

TEST_F(Spectre, SampleScanKeepsOnlyPointsInSequence)
{
    Blanc(400, 500);
    vue.appels.clear();
    spectre.DemarreSpectre(400, 440);
    EXPECT_FALSE(spectre.dataOK);
    Lignes({"400:10000", "garbled", "402:10000",
            "410:99",       // out of sequence: counted, never stored
            "4x4:1",        // garbled where 404 should be: 406 may come next
            "406:10000", "406:20000",   // a repeat is not the next point
            "408:10000"});
    const Vecteur& y = spectre.Graphe.valeurY;
    for (qint32 l : {400, 402, 406, 408})
        EXPECT_FALSE(std::isnan(y[l])) << l;
    for (qint32 l : {404, 410})
        EXPECT_TRUE(std::isnan(y[l])) << l;
    EXPECT_DOUBLE_EQ(y[406], y[400]);
    EXPECT_EQ(spectre.SuiviBalayage.PointsRecus(), 4);
    EXPECT_EQ(spectre.SuiviBalayage.LignesIllisibles(), 4);
    EXPECT_EQ(vue.avancement.last(), 20);
    EXPECT_EQ(liaison.lecture(), lSpectre);
}

TEST_F(Spectre, EndOfRangeEndsTheScanAndMarksTheSpectrumUnsaved)
{
    Blanc(400, 500);
    vue.appels.clear();
    spectre.DemarreSpectre(400, 440);
    EXPECT_TRUE(port.ecrit.endsWith("\rSCAN:400:442:2\r")) << port.ecrit.constData();
    for (qint32 l = 400; l <= 440; l += 2)
        port.Ligne(QByteArray::number(l) + (l == 420 ? ":" : ":10000"));
    EXPECT_EQ(liaison.lecture(), lNone);
    EXPECT_EQ(liaison.etatSpectre(), esAttente);
    EXPECT_TRUE(spectre.dataOK);
    EXPECT_TRUE(spectre.SauvegardeAfaire);
    EXPECT_EQ(dialogues.bips, 2);
    EXPECT_EQ(vue.avancement.last(), 100);
    EXPECT_EQ(vue.appels.last(), "Fini");
    EXPECT_EQ(vue.statuts, QStringList({"Balayage terminé : 1 ligne illisible"}));
    EXPECT_DOUBLE_EQ(spectre.Graphe.mondeY.maxi, spectre.Graphe.MaxiY());

    // A line after the end belongs to no scan.
    port.Ligne("442:10000");
    EXPECT_TRUE(std::isnan(spectre.Graphe.valeurY[442]));

    // The cross: the pointer itself outside the range, the next measured point inside.
    const Vecteur& y = spectre.Graphe.valeurY;
    struct { qint32 pointeur, lambda; double a; } curseur[] = {
        {380, 380, 0.5}, {420, 422, y[422]}, {421, 422, y[422]}, {440, 440, y[440]}, {450, 450, 0.5},
    };
    for (const auto& c : curseur) {
        qint32 l = c.pointeur;
        double a = 0.5;
        EXPECT_TRUE(spectre.PointCurseur(l, a));
        EXPECT_EQ(l, c.lambda) << c.pointeur;
        EXPECT_DOUBLE_EQ(a, c.a) << c.pointeur;
    }
    spectre.DemarreSpectre(400, 440);
    qint32 l = 500;
    double a = 0.5;
    EXPECT_FALSE(spectre.PointCurseur(l, a)) << "no spectrum: no readout";
    EXPECT_EQ(l, 600);
}

TEST_F(Spectre, StopKeepsThePointsAndPullsTheEndBack)
{
    struct Cas { qint32 derniere; bool dataOK; } cas[] = {{420, true}, {414, false}};
    Blanc(400, 500);
    for (const Cas& c : cas) {
        vue.appels.clear();
        spectre.DemarreSpectre(400, 480);
        for (qint32 l = 400; l <= c.derniere; l += 2)
            port.Ligne(QByteArray::number(l) + ":10000");
        spectre.Stop();
        EXPECT_EQ(spectro.FinLambda, c.derniere);
        EXPECT_TRUE(vue.appels.contains(QStringLiteral("B400-%1").arg(c.derniere)));
        // More than 16 nm measured is a spectrum worth saving.
        EXPECT_EQ(spectre.dataOK, c.dataOK) << c.derniere;
        EXPECT_EQ(spectre.SauvegardeAfaire, c.dataOK) << c.derniere;
        EXPECT_EQ(liaison.lecture(), lNone);
        EXPECT_EQ(liaison.etatSpectre(), esAttente);
        EXPECT_EQ(vue.appels.last(), "Fini");
    }

    // Before any instrument, Stop leaves the state alone.
    TLiaison seule(port, spectro, vue);
    TSpectre sansAppareil(spectro, seule, vue);
    sansAppareil.Stop();
    EXPECT_EQ(seule.etatSpectre(), esInit);
}

TEST_F(Spectre, SavedStateAndOpeningAFile)
{
    QTemporaryDir dossier;
    const QString nom = dossier.filePath("s.spc");
    Blanc(400, 500);
    spectre.DemarreSpectre(400, 440);
    for (qint32 l = 400; l <= 440; l += 2)
        port.Ligne(QByteArray::number(l) + ":10000");
    ASSERT_TRUE(spectre.SauvegardeAfaire);
    const Vecteur mesure = spectre.Graphe.valeurY;

    // An unsaved spectrum asks before a file replaces it; "Non" keeps it.
    dialogues.Repond(false);
    EXPECT_FALSE(spectre.PeutOuvrir());
    EXPECT_EQ(dialogues.questions.last(), "Spectre non sauvé, on continue ?");

    ASSERT_TRUE(spectre.Sauve(nom, "10/12/2026 18:00:00"));
    EXPECT_FALSE(spectre.SauvegardeAfaire);
    EXPECT_TRUE(spectre.dataOK);
    EXPECT_TRUE(spectre.PeutOuvrir());

    // A new scan forgets the spectrum; opening the file brings it and its range back.
    spectre.DemarreSpectre(450, 490);
    EXPECT_FALSE(spectre.dataOK);
    EXPECT_TRUE(std::isnan(spectre.Graphe.valeurY[400]));
    EXPECT_FALSE(spectre.PeutOuvrir());
    EXPECT_EQ(dialogues.messages.last(), "Balayage en cours : l'arrêter avant d'ouvrir un fichier.");
    spectre.Stop();
    ASSERT_TRUE(spectre.Ouvre(nom));
    EXPECT_EQ(spectro.DebutLambda, 400);
    EXPECT_EQ(spectro.FinLambda, 440);
    for (qint32 l = 400; l <= 440; l += 2)
        EXPECT_NEAR(spectre.Graphe.valeurY[l], mesure[l], 1e-3) << l;

    // A file with no point, or no file at all, changes nothing.
    QFile vide(dossier.filePath("vide.spc"));
    ASSERT_TRUE(vide.open(QIODevice::WriteOnly));
    vide.write("rien\r\n");
    vide.close();
    const qsizetype messages = dialogues.messages.size();
    EXPECT_FALSE(spectre.Ouvre(vide.fileName()));
    EXPECT_FALSE(spectre.Ouvre(dossier.filePath("absent.spc")));
    EXPECT_EQ(dialogues.messages.size() + vue.echecs.size(), messages + 2);
    EXPECT_EQ(spectro.DebutLambda, 400);
    EXPECT_NEAR(spectre.Graphe.valeurY[420], mesure[420], 1e-3);
}

} // namespace
