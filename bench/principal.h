#pragma once
// main() of a benchmark that needs a Qt application object (offscreen unless the
// environment names a platform).

#include <QByteArray>
#include <QtGlobal>
#include <benchmark/benchmark.h>

template <class Application>
int PrincipalBanc(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
