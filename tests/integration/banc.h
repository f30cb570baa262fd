#pragma once
// Test bench for the serial link: simulated instruments on real pseudo-terminals, the
// real port, and a window stand-in that records what it is told to show.

#include "instrument/cfgspect.h"
#include "instrument/liaison.h"
#include "platform/portserie.h"
#include "simulateur.h"
#include "support/attente.h"
#include "support/ports.h"

#include <QCoreApplication>
#include <QList>
#include <QStringList>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace kelvor {

class TVueEnregistreuse : public TVueLiaison
{
public:
    int sabliers = 0;           // hourglass depth; 0 when everything is undone
    bool stopActif = false;
    QList<bool> actionsEchange;
    int majActions = 0;
    int effacements = 0;
    int reinitEnvoi = 0;
    QStringList statuts, titres, etiquettes, erreurs;
    QList<QByteArray> lignesBlanc, lignesSpectre;
    QList<Tmode> fenetres;
    std::function<void()> pendantLigneSpectre;   // runs inside the line dispatch

    void Sablier(bool actif) override { sabliers += actif ? 1 : -1; }
    void ActionsEchange(bool enCours) override
    {
        stopActif = enCours;
        actionsEchange << enCours;
    }
    void MajActions() override { ++majActions; }
    void Etiquette(const QString& texte) override { etiquettes << texte; }
    void Statut(const QString& texte) override { statuts << texte; }
    void Titre(const QString& texte) override { titres << texte; }
    void EffaceAffichages() override { ++effacements; }
    void Erreur(const QString& message) override { erreurs << message; }
    void LigneBlanc(const QByteArray& l) override { lignesBlanc << l; }
    void LigneSpectre(const QByteArray& l) override
    {
        lignesSpectre << l;
        if (pendantLigneSpectre)
            pendantLigneSpectre();
    }
    void ReinitEnvoi() override { ++reinitEnvoi; }
    void OuvreFenetre(Tmode acq) override { fenetres << acq; }
};

inline bool AttendsQue(const std::function<bool()>& condition, int ms = 2000)
{
    return Attends(condition, ms);
}

// Every port number hidden, then the given ones pointed at simulators.
class TBanc : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CacheLesPorts();
        spectro.ComNumberS = 3;
        liaison = std::make_unique<TLiaison>(port, spectro, vue);
        QObject::connect(&port, &TPort::OctetsDisponibles, [this](qint64 n) { annonces += n; });
    }

    // A quiet, unthrottled simulator answering on port n.
    TSimulateur& Simulateur(quint16 n)
    {
        auto sim = std::make_unique<TSimulateur>();
        QString erreur;
        if (!sim->Demarre(&erreur))
            ADD_FAILURE() << "pty: " << erreur.toStdString();
        sim->physique.bruit = false;
        MontrePort(n, sim->Peripherique());
        sims.push_back(std::move(sim));
        return *sims.back();
    }

    // Connects to a simulator on the configured port 3 and forgets the connection traffic.
    TSimulateur& Connecte()
    {
        TSimulateur& sim = Simulateur(3);
        liaison->InitAppareil();
        EXPECT_EQ(liaison->etatSpectre(), esAttente);
        sim.EffaceJournal();
        vue = TVueEnregistreuse();
        return sim;
    }

    // Writes raw bytes from the instrument side and waits until the port announced them.
    void Emet(TSimulateur& sim, const QByteArray& octets)
    {
        const qint64 attendu = annonces + octets.size();
        sim.Emet(octets);
        EXPECT_TRUE(AttendsQue([&] { return annonces >= attendu; })) << octets.toStdString();
    }

    TVueEnregistreuse vue;
    Tspectro spectro;
    TPortSerie port;
    std::unique_ptr<TLiaison> liaison;
    std::vector<std::unique_ptr<TSimulateur>> sims;
    qint64 annonces = 0;
};

} // namespace kelvor
