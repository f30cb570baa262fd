// What opening a file that is no spectrum costs: time and peak memory to refuse a 100 MB
// spectrum-like file and a binary file, to read a 50 MB settings file at start-up, and,
// for comparison, to read and analyse the whole 100 MB file as an unbounded reader would.
// Peak memory is the rise of the process's resident high-water mark (VmHWM) during one
// pass, after resetting it through /proc/self/clear_refs.

#include "exchange/fichierspectre.h"
#include "instrument/inifile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <functional>

using namespace kelvor;

namespace {

QTemporaryDir& Dossier()
{
    static QTemporaryDir dossier;
    return dossier;
}

// Writes size bytes made of the repeated motif once per run of the program.
QString Fichier(const QString& nom, qint64 taille, const std::function<QByteArray()>& motif)
{
    const QString chemin = Dossier().filePath(nom);
    if (QFile::exists(chemin))
        return chemin;
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    for (qint64 ecrit = 0; ecrit < taille;) {
        const QByteArray bloc = motif();
        ecrit += f.write(bloc.left(taille - ecrit));
    }
    return chemin;
}

QString GrosSpectre()
{
    return Fichier("gros.txt", 100LL << 20, [] {
        QByteArray b = "Spectre  01/01/2024\r\nLambda\tA\r\nnm\t\r\n";
        while (b.size() < (1 << 20))
            b += "500\t0.123\r\n";
        return b;
    });
}

QString Binaire()
{
    return Fichier("binaire.bin", 100LL << 20, [] {
        QByteArray b(1 << 20, Qt::Uninitialized);
        QRandomGenerator gen(51);
        gen.fillRange(reinterpret_cast<quint32*>(b.data()), b.size() / 4);
        return b;
    });
}

QString GrossesReglages()
{
    return Fichier("Kealvor5100.ini", 50LL << 20, [] {
        QByteArray b = "[LigneBase]\r\n";
        while (b.size() < (1 << 20))
            b += "500=31000\r\n";
        return b;
    });
}

qint64 ChampStatusKo(const char* champ)
{
    QFile f("/proc/self/status");
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& ligne : f.readAll().split('\n'))
        if (ligne.startsWith(champ))
            return ligne.mid(qstrlen(champ)).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

// Time per pass and the peak memory of the last pass, in MB.
void Mesure(benchmark::State& state, const std::function<void()>& passe)
{
    double pic = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QFile raz("/proc/self/clear_refs");
        if (raz.open(QIODevice::WriteOnly))
            raz.write("5");
        raz.close();
        const qint64 avant = ChampStatusKo("VmRSS:");
        state.ResumeTiming();
        passe();
        state.PauseTiming();
        pic = (ChampStatusKo("VmHWM:") - avant) / 1024.0;
        state.ResumeTiming();
    }
    state.counters["pic_Mo"] = pic;
}

Vecteur Vide()
{
    Vecteur y;
    y.fill(PasDeValeur());
    return y;
}

} // namespace

static void BM_Refuse100MoSpectre(benchmark::State& state)
{
    const QString nom = GrosSpectre();
    const Vecteur y = Vide();
    Mesure(state, [&] {
        TSpectreLu lu;
        QString erreur;
        if (LitSpectre(nom, y, 320, 1000, lu, &erreur))
            state.SkipWithError("a 100 MB file was accepted");
    });
}
BENCHMARK(BM_Refuse100MoSpectre)->Unit(benchmark::kMillisecond);

static void BM_RefuseBinaire100Mo(benchmark::State& state)
{
    const QString nom = Binaire();
    const Vecteur y = Vide();
    Mesure(state, [&] {
        TSpectreLu lu;
        QString erreur;
        if (LitSpectre(nom, y, 320, 1000, lu, &erreur))
            state.SkipWithError("a binary file was accepted");
    });
}
BENCHMARK(BM_RefuseBinaire100Mo)->Unit(benchmark::kMillisecond);

// The unbounded reading the limit replaces: the whole file in memory, then analysed.
static void BM_LectureSansLimite100Mo(benchmark::State& state)
{
    const QString nom = GrosSpectre();
    const Vecteur y = Vide();
    Mesure(state, [&] {
        QFile f(nom);
        if (!f.open(QIODevice::ReadOnly))
            return;
        const TSpectreLu lu = AnalyseSpectre(f.readAll(), y, 320, 1000);
        benchmark::DoNotOptimize(lu.debut);
    });
}
BENCHMARK(BM_LectureSansLimite100Mo)->Unit(benchmark::kMillisecond)->Iterations(2);

static void BM_Reglages50Mo(benchmark::State& state)
{
    const QString nom = GrossesReglages();
    Mesure(state, [&] {
        const TIniFile ini(nom);
        benchmark::DoNotOptimize(ini.ReadInteger("LigneBase", "500", 0));
    });
}
BENCHMARK(BM_Reglages50Mo)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
