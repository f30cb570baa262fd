// Typed numbers and durations: whatever is typed, StrToReel and DureeToSecondes answer
// without fault, and what the program writes reads back.

#include "commun.h"
#include "util/cp1252.h"
#include "util/labutil.h"

#include <cmath>
#include <cstring>

using namespace kelvor;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzz();
    return 0;
}

namespace {

// A written real reads back within the precision it was written with.
void VerifieAllerRetour(double x)
{
    // Rounded to three digits, the largest doubles would go past the largest double.
    if (!(std::fabs(x) <= 1e300))
        return;
    const double point = StrToReel(ReelToStrPoint(x));
    VERIFIE_FUZZ(std::fabs(point - x) <= std::fabs(x) * 1e-6 + 1e-300);
    const double trois = StrToReel(ReelToStr3(x));
    VERIFIE_FUZZ(std::fabs(trois - x) <= std::fabs(x) * 1e-2 + 1e-300);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    LocaleFuzz(data[0]);
    const QByteArray octets(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    const QString texte = DecodeCp1252(octets);

    const double x = StrToReel(texte);
    VerifieAllerRetour(x);
    const qint32 duree = DureeToSecondes(texte);
    VERIFIE_FUZZ(duree >= 1);
    ValeurRonde(x);

    // The first bytes as a raw double and a count of seconds.
    if (octets.size() >= qsizetype(sizeof(double))) {
        double brut;
        std::memcpy(&brut, octets.constData(), sizeof brut);
        VerifieAllerRetour(brut);
        const qint32 r = ValeurRonde(brut);
        VERIFIE_FUZZ(r == 0 || std::isfinite(brut));
        qint32 secondes;
        std::memcpy(&secondes, octets.constData(), sizeof secondes);
        secondes = qint32(quint32(secondes) % 86400u);
        // A duration written as hh:mm:ss reads back the same count.
        if (secondes >= 1)
            VERIFIE_FUZZ(DureeToSecondes(TexteHeures(secondes)) == secondes);
        VERIFIE_FUZZ(std::isfinite(SecondesToTemps(secondes)));
    }
    return 0;
}
