// Cost of the rate-law analysis on the largest run the tables hold (2049 points), and
// of one reading appended to the recovery journal, forced to the disk.
#include "mesure/analysecinet.h"
#include "mesure/journalcinet.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

using namespace kelvor;

namespace {

// 2049 readings 3 s apart of a first-, second- or zero-order fading, with noise.
void Run2049(int ordre, std::vector<double>& t, std::vector<double>& a)
{
    std::mt19937 gen(5100);
    std::normal_distribution<double> bruit(0.0, 0.003);
    t.clear();
    a.clear();
    for (int i = 0; i <= MaxIndiceVecteur; ++i) {
        const double s = 3.0 * i;
        const double loi = ordre == 0 ? 1.2 - 1.5e-4 * s
                           : ordre == 1 ? 0.1 + 0.9 * std::exp(-7e-4 * s)
                                        : 0.1 + 0.9 / (1 + 0.9 * 2e-3 * s);
        t.push_back(s);
        a.push_back(loi + bruit(gen));
    }
}

void BM_AnalyseTroisOrdres2049Points(benchmark::State& state)
{
    std::vector<double> t, a;
    Run2049(int(state.range(0)), t, a);
    for (auto _ : state)
        benchmark::DoNotOptimize(AnalyseCinetique(t, a));
}
BENCHMARK(BM_AnalyseTroisOrdres2049Points)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Argument 0: the journal sits in the working directory, on the disk the data folder
// would use. Argument 1: in /dev/shm, where fsync costs nothing, which leaves the
// program's own share of the cost.
void BM_JournalPointAvecFsync(benchmark::State& state)
{
    const QString racine = state.range(0) == 0 ? QDir::currentPath() : QStringLiteral("/dev/shm");
    QTemporaryDir dossier(racine + "/journal-XXXXXX");
    TJournalCinet journal(dossier.filePath("CinetiqueEnCours.journal"));
    journal.Commence(QDateTime::currentDateTime(), 530, 3, 65535);
    qint32 i = 0;
    for (auto _ : state) {
        // Stay inside the tables' 2049 points, as a run does.
        if (i > MaxIndiceVecteur) {
            state.PauseTiming();
            journal.Commence(QDateTime::currentDateTime(), 530, 3, 65535);
            i = 0;
            state.ResumeTiming();
        }
        benchmark::DoNotOptimize(journal.AjoutePoint(i, 3.0 * i, 0.5123456));
        ++i;
    }
}
BENCHMARK(BM_JournalPointAvecFsync)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
