// Serial link figures over a real pty with the unthrottled simulator:
//  - exchange turnaround, from the reply's CR leaving the simulator to EnvoieCommande
//    returning (a loop polling every 100 ms would add up to 100 ms);
//  - scan throughput: lines per second through the pty, line assembly and dispatch.

#include "principal.h"
#include "instrument/cfgspect.h"
#include "instrument/liaison.h"
#include "platform/portserie.h"
#include "simulateur.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

using namespace kelvor;

namespace {

class TVueMuette : public TVueLiaison
{
public:
    explicit TVueMuette(Tspectro& s) : spectro(s) {}
    void Sablier(bool) override {}
    void ActionsEchange(bool) override {}
    void MajActions() override {}
    void Etiquette(const QString&) override {}
    void Statut(const QString&) override {}
    void Titre(const QString&) override {}
    void EffaceAffichages() override {}
    void Erreur(const QString&) override {}
    void LigneBlanc(const QByteArray&) override {}
    // What the spectrum window does with each point, minus the drawing.
    void LigneSpectre(const QByteArray& l) override
    {
        spectro.SetAbsLambdaInt(l);
        spectro.SetAbsLambda();
        ++lignes;
    }
    void ReinitEnvoi() override {}
    void OuvreFenetre(Tmode) override {}
    Tspectro& spectro;
    qint64 lignes = 0;
};

struct TBancMesure
{
    TBancMesure()
    {
        if (!sim.Demarre())
            throw std::runtime_error("no pty");
        qputenv("KELVOR_COM1", sim.Peripherique().toLocal8Bit());
        spectro.ComNumberS = 1;
        liaison.InitAppareil();
        if (liaison.etatSpectre() != esAttente)
            throw std::runtime_error("simulator not found");
        spectro.CourantObscurite = 300;
        spectro.AbsBlanc.fill(20000);
    }
    TSimulateur sim;
    Tspectro spectro;
    TVueMuette vue{spectro};
    TPortSerie port;
    TLiaison liaison{port, spectro, vue};
};

qint64 MaintenantNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void BM_TourDEchange(benchmark::State& state)
{
    TBancMesure banc;
    std::vector<double> us;
    qint32 lambda = 400;
    for (auto _ : state) {
        lambda = lambda == 400 ? 401 : 400;
        banc.liaison.EnvoieCommande(lLambda, 10, "Goto", banc.spectro.GotoLambda(lambda));
        us.push_back((MaintenantNs() - banc.sim.InstantDerniereEcriture()) / 1000.0);
        if (banc.liaison.lecture() != lNone)
            state.SkipWithError("no reply");
    }
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}
BENCHMARK(BM_TourDEchange)->Iterations(2000)->Unit(benchmark::kMicrosecond);

void BM_DebitBalayage(benchmark::State& state)
{
    TBancMesure banc;
    qint64 total = 0;
    constexpr qint64 parBalayage = 811;   // 190..1000 nm step 1
    for (auto _ : state) {
        banc.vue.lignes = 0;
        banc.liaison.Attend(lSpectre);
        banc.liaison.Envoie("SCAN:190:1000:1");
        QElapsedTimer garde;
        garde.start();
        while (banc.vue.lignes < parBalayage && garde.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (banc.vue.lignes != parBalayage)
            state.SkipWithError("scan incomplete");
        total += banc.vue.lignes;
    }
    state.counters["lignes_par_s"] = benchmark::Counter(double(total), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DebitBalayage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return PrincipalBanc<QCoreApplication>(argc, argv);
}
