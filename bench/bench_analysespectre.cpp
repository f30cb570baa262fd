// Cost of what is worked out from a finished spectrum: its peaks and its colour, on the
// widest scan (198..1000 nm every nanometre) of the simulator's purple dye with noise.
#include "mesure/couleursolution.h"
#include "mesure/pics.h"
#include "physique.h"

#include <benchmark/benchmark.h>
#include <random>

using namespace kelvor;

namespace {

constexpr qint32 Debut = 198;
constexpr qint32 Fin = 1000;

Vecteur SpectreBruite()
{
    TPhysique physique;
    physique.cuve = cuEchantillon;
    std::mt19937 generateur(5100);
    std::normal_distribution<double> bruit(0.0, 0.004);
    Vecteur y;
    y.fill(PasDeValeur());
    for (qint32 l = Debut; l <= Fin; ++l)
        y[l] = physique.Absorbance(l, 0) + bruit(generateur);
    return y;
}

void BM_Pics(benchmark::State& state)
{
    const Vecteur y = SpectreBruite();
    for (auto _ : state)
        benchmark::DoNotOptimize(CherchePics(y, Debut, Fin));
}
BENCHMARK(BM_Pics)->Unit(benchmark::kMicrosecond);

void BM_Couleur(benchmark::State& state)
{
    const Vecteur y = SpectreBruite();
    for (auto _ : state)
        benchmark::DoNotOptimize(CouleurSolution(y, Debut, Fin));
}
BENCHMARK(BM_Couleur)->Unit(benchmark::kMicrosecond);

// What the window does after each scan or marker move: both, with their texts.
void BM_PicsEtCouleur(benchmark::State& state)
{
    const Vecteur y = SpectreBruite();
    for (auto _ : state) {
        benchmark::DoNotOptimize(TexteLambdaMax(CherchePics(y, Debut, Fin)));
        benchmark::DoNotOptimize(CouleurSolution(y, Debut, Fin));
    }
}
BENCHMARK(BM_PicsEtCouleur)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
