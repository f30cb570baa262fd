// A full 198..1000 nm step-1 sample scan through the main window, shown offscreen, from
// the unthrottled simulator: scan lines handled per second and the share of time spent
// drawing the whole graph.

#include "principal.h"
#include "app/application.h"
#include "instrument/cfgspect.h"
#include "simulateur.h"
#include "util/dialogues.h"
#include "windows/specmain.h"
#include "windows/spinedit.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

using namespace kelvor;

namespace {

// Says OK to every prompt, beeps silently.
class TDialoguesOui : public TDialogues
{
public:
    void Message(const QString&) override {}
    bool Confirme(const QString&, TBoutons) override { return true; }
    bool Saisie(const QString&, const QString&, QString&) override { return false; }
    QString FichierSauve(const QString&, const QString&, const QString&, const QString&) override { return {}; }
    QString FichierOuvre(const QString&, const QString&, const QString&) override { return {}; }
    bool Execute(QDialog&) override { return false; }
    void Bip() override {}
};

void Attends(const std::function<bool()>& fini)
{
    QElapsedTimer t;
    t.start();
    while (!fini() && t.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
}

void BM_SpectreComplet(benchmark::State& state)
{
    TDialoguesOui dialogues;
    SetDialogues(&dialogues);
    TSimulateur sim;
    if (!sim.Demarre()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    for (int n = 2; n <= 50; ++n)
        qputenv(("KELVOR_COM" + QByteArray::number(n)).constData(), "");
    qputenv("KELVOR_COM1", sim.Peripherique().toLocal8Bit());
    sim.physique.bruit = false;
    NouveauSpectro();
    TFenetresProgramme fenetres;
    TSpectreMain& w = fenetres.Principale();
    w.resize(1000, 680);
    w.show();
    w.InitAppareil();
    w.PasSE->SetValue(1);
    w.FinSE->SetMaxValue(1000);
    w.FinSE->SetValue(1000);
    w.DebutSE->SetValue(198);
    w.BlancClick();
    Attends([&] { return w.lecture() == lNone; });
    sim.MetCuve(cuEchantillon);

    qint64 lignes = 0;
    double dessin = 0;
    double total = 0;
    for (auto _ : state) {
        w.SauvegardeAfaire = false;
        const double dessinAvant = w.DureeDessinMs();
        QElapsedTimer chrono;
        chrono.start();
        w.SpectreClick();
        Attends([&] { return w.etatSpectre() == esAttente; });
        w.PaintBox->Prepare();
        total += chrono.nsecsElapsed() / 1e6;
        dessin += w.DureeDessinMs() - dessinAvant;
        lignes += Spectro().FinLambda - Spectro().DebutLambda + 1;
    }
    state.counters["lignes_par_s"] = benchmark::Counter(double(lignes) / (total / 1000.0));
    state.counters["part_dessin_pct"] = 100.0 * dessin / total;
    SetDialogues(nullptr);
}

} // namespace

BENCHMARK(BM_SpectreComplet)->Iterations(5)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    return PrincipalBanc<QApplication>(argc, argv);
}
