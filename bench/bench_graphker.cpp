// Costs of the graph's hot paths: a full repaint of a spectrum or of a long kinetics run
// on a large image, and a cross cursor move (done on every mouse move).

#include "principal.h"
#include "graph/graphker.h"
#include "instrument/cfgspect.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cmath>

using namespace kelvor;

namespace {

struct Scene
{
    explicit Scene(int l, int h) : image(l, h, QImage::Format_RGB32), canvas(&image), surface{canvas, {0, 0, l, h}}
    {
        g.mondeY.nom = "A";
    }
    QImage image;
    TCanevasQt canvas;
    TSurface surface;
    Tgraphe g;
};

void Spectre(Scene& s)
{
    Spectro().DebutLambda = 198;
    Spectro().FinLambda = 1000;
    s.g.Trace = tSpectre;
    s.g.SetMonde(198, 0, 1000, 2.5);
    s.g.mondeX.nom = "Lambda";
    s.g.mondeX.unite = "nm";
    for (int l = 198; l <= 1000; ++l)
        s.g.valeurY[l] = 1.2 + std::sin(l / 35.0);
}

void BM_DrawSpectre1600x900(benchmark::State& state)
{
    Scene s(1600, 900);
    Spectre(s);
    for (auto _ : state)
        s.g.Draw(s.surface);
}
BENCHMARK(BM_DrawSpectre1600x900)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_DrawCinetique2049Points1600x900(benchmark::State& state)
{
    Scene s(1600, 900);
    s.g.Trace = tCinet;
    s.g.mondeX.nom = "t";
    s.g.mondeX.unite = "s";
    s.g.NbrePoints = 2049;
    for (int i = 0; i < 2049; ++i) {
        s.g.valeurX[i] = i * 2.0;
        s.g.valeurY[i] = 2 * std::exp(-i / 600.0);
    }
    s.g.SetMonde(0, 0, 4096, 2.5);
    for (auto _ : state)
        s.g.Draw(s.surface);
}
BENCHMARK(BM_DrawCinetique2049Points1600x900)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_AfficheCroix(benchmark::State& state)
{
    Scene s(1600, 900);
    Spectre(s);
    s.g.Draw(s.surface);
    int l = 0;
    for (auto _ : state) {
        s.g.AfficheCroix(s.canvas, 300 + l, 1);
        l = (l + 1) % 600;
    }
}
BENCHMARK(BM_AfficheCroix)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv)
{
    return PrincipalBanc<QGuiApplication>(argc, argv);
}
