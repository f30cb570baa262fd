// Settings file round trip with a full 198..1000 baseline, and the per-line cost of a
// scan point (parse, then absorbance against the interpolated baseline).

#include "instrument/cfgspect.h"
#include "instrument/inifile.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace kelvor;

static void BM_EcritPuisLit(benchmark::State& state)
{
    QTemporaryDir dossier;
    DossierDonnees = dossier.path() + '/';
    Tspectro s;
    s.Kelvor = k5105;
    s.DebutLambda = 198;
    s.FinLambda = 1000;
    for (qint32 l = 198; l <= 1000; ++l)
        s.AbsBlanc[l] = 30000 + 7 * l;
    s.ecrit();      // the file exists from the first timed pass on, as in real use
    for (auto _ : state) {
        s.ecrit();
        Tspectro t;
        t.lit();
        benchmark::DoNotOptimize(t.AbsBlanc[1000]);
    }
    DossierDonnees.clear();
}
BENCHMARK(BM_EcritPuisLit)->Unit(benchmark::kMillisecond);

static void BM_LigneDeBalayage(benchmark::State& state)
{
    Tspectro s;
    s.CourantObscurite = 120;
    // A sparse baseline so every line goes through the interpolation searches.
    for (qint32 l = 320; l <= 1000; l += 10)
        s.AbsBlanc[l] = 40000 + l;
    const Tspectro modele = s;

    QList<QByteArray> lignes;
    for (qint32 l = 320; l <= 1000; ++l)
        lignes << QByteArray::number(l) + ':' + QByteArray::number(20000 + 3 * l) + ":0";
    qsizetype i = 0;
    for (auto _ : state) {
        if (i == lignes.size()) {
            state.PauseTiming();
            s.AbsBlanc = modele.AbsBlanc;   // gaps back, so fills keep being measured
            i = 0;
            state.ResumeTiming();
        }
        s.SetAbsLambdaInt(lignes[i++]);
        s.SetAbsLambda();
        benchmark::DoNotOptimize(s.AbsCourante);
    }
}
BENCHMARK(BM_LigneDeBalayage)->Unit(benchmark::kNanosecond);

BENCHMARK_MAIN();
