// Cost of the layouts handed to the companion program on the largest tables the
// arrays allow (2049 points), and of reading a spectrum file back.
#include "exchange/fichierkv3.h"
#include "exchange/fichierspectre.h"
#include "exchange/textes.h"

#include <QLocale>
#include <benchmark/benchmark.h>

using namespace kelvor;

namespace {

Vecteur Spectre()
{
    Vecteur y;
    for (int i = 0; i <= MaxIndiceVecteur; ++i)
        y[i] = 0.001 * (i % 2500);
    return y;
}

void BM_BlocSpectrePlein(benchmark::State& state)
{
    const Vecteur y = Spectre();
    for (auto _ : state)
        benchmark::DoNotOptimize(TexteBloc(BlocSpectre("k", "d", {}, y, 0, MaxIndiceVecteur)));
}
BENCHMARK(BM_BlocSpectrePlein);

void BM_Kv3Cinetique2049Points(benchmark::State& state)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    const Vecteur y = Spectre();
    Vecteur x;
    for (int i = 0; i <= MaxIndiceVecteur; ++i)
        x[i] = 5 * i;
    for (auto _ : state)
        benchmark::DoNotOptimize(OctetsFichier(
            EnteteKV3Cinetique("k", {}) + PageKV3Cinetique({}, "K", "d", x, y, 2049, {})));
}
BENCHMARK(BM_Kv3Cinetique2049Points);

void BM_LectureSpectre(benchmark::State& state)
{
    const QByteArray contenu = OctetsFichier(LignesSpectre("d", Spectre(), 0, MaxIndiceVecteur));
    Vecteur vide;
    vide.fill(PasDeValeur());
    for (auto _ : state)
        benchmark::DoNotOptimize(AnalyseSpectre(contenu, vide, 198, 1000));
}
BENCHMARK(BM_LectureSpectre);

} // namespace

BENCHMARK_MAIN();
