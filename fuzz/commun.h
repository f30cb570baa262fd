#pragma once
// What every fuzz target shares: one application object, the locale picked by the input,
// and a check that stops the run with a message libFuzzer keeps beside the input.

#include <QCoreApplication>
#include <QLocale>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace kelvor {

inline void InitFuzz()
{
    static int argc = 1;
    static char nom[] = "fuzz";
    static char* argv[] = {nom, nullptr};
    static QCoreApplication app(argc, argv);
}

// Decimal comma or point: both are the program's daily bread.
inline void LocaleFuzz(uint8_t choix)
{
    QLocale::setDefault(choix & 1 ? QLocale(QLocale::French, QLocale::France) : QLocale::c());
}

[[noreturn]] inline void EchecFuzz(const char* quoi)
{
    std::fprintf(stderr, "invariant broken: %s\n", quoi);
    std::abort();
}

} // namespace kelvor

#define VERIFIE_FUZZ(cond)                                                                         \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::kelvor::EchecFuzz(#cond);                                                            \
    } while (0)
