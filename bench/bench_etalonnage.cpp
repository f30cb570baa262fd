// Cost of recomputing the calibration panel on the largest series the arrays allow:
// 2049 standards and 2049 unknowns.
#include "mesure/etalonnage.h"
#include "util/labutil.h"

#include <QLocale>
#include <benchmark/benchmark.h>

#include <cmath>

using namespace kelvor;

namespace {

// A slightly noisy line; unknowns run past the standards and beyond A = 1 and 2, so every
// kind of warning is built.
struct TSeriePleine
{
    Vecteur c, a, inconnus;
    TSeriePleine()
    {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        for (int i = 0; i <= MaxIndiceVecteur; ++i) {
            c[i] = 1e-4 * (i + 1);
            a[i] = 10 * c[i] + 0.002 * std::sin(i);
            inconnus[i] = 0.001 * (i % 2100) + 0.0005;
        }
    }
};

void BM_PanneauEtalonnage(benchmark::State& state)
{
    const TSeriePleine s;
    const auto ajustement = TAjustement(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(Etalonne(s.c, s.a, s.inconnus, ajustement).TextePanneau());
}
BENCHMARK(BM_PanneauEtalonnage)
    ->Arg(ajRapportSommes)->Arg(ajOrigine)->Arg(ajAffine)->Unit(benchmark::kMicrosecond);

// The panel and the "c ± u" column of every row of the unknowns grid.
void BM_PanneauEtGrille(benchmark::State& state)
{
    const TSeriePleine s;
    for (auto _ : state) {
        const TEtalonnage e = Etalonne(s.c, s.a, s.inconnus, ajAffine);
        benchmark::DoNotOptimize(e.TextePanneau());
        for (qint32 j = 0; j <= MaxIndiceVecteur; ++j)
            benchmark::DoNotOptimize(e.TexteInconnu(j));
    }
}
BENCHMARK(BM_PanneauEtGrille)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
