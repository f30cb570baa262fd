// Cost of what is worked out from a finished spectrum: its peaks and its colour, on the
// widest scan (198..1000 nm every nanometre) of the simulator's purple dye with noise;
// and of drawing the graph full of spectra.
#include "principal.h"
#include "graph/graphker.h"
#include "instrument/cfgspect.h"
#include "mesure/couleursolution.h"
#include "mesure/pics.h"
#include "mesure/tracespectres.h"
#include "physique.h"

#include <QGuiApplication>
#include <QImage>

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

// The spectrum graph at 1600x900 with the most it holds: the current spectrum, seven
// others, the peaks and the legend, all over the widest range.
void BM_HuitSpectres1600x900(benchmark::State& state)
{
    Spectro().DebutLambda = Debut;
    Spectro().FinLambda = Fin;
    QImage image(1600, 900, QImage::Format_RGB32);
    TCanevasQt canevas(&image);
    Tgraphe g;
    g.SetMonde(Debut, 0, Fin, 2.5);
    g.valeurY = SpectreBruite();
    TSuperposition s;
    s.DefinitCourant(QStringLiteral("courant"), g.valeurY, Debut, Fin);
    for (int i = 1; i < TSuperposition::NbreMaxi; ++i) {
        Vecteur y = g.valeurY;
        for (double& a : y)
            a *= 1.0 - i / 10.0;
        s.Ajoute(QStringLiteral("Spectre %1").arg(i), y, Debut, Fin);
    }
    const TPics pics = CherchePics(g.valeurY, Debut, Fin);
    for (auto _ : state) {
        g.Draw({canevas, TRectangle{0, 0, 1600, 900}});
        TraceAutresSpectres(canevas, g, s);
        TracePics(canevas, g, pics);
        TraceLegende(canevas, g, s);
    }
}
BENCHMARK(BM_HuitSpectres1600x900)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv)
{
    return PrincipalBanc<QGuiApplication>(argc, argv);
}
