// The spectrum file reader: any bytes read without fault, the range found lies within
// the one asked for, and a spectrum written then read back keeps its values.

#include "commun.h"
#include "exchange/fichierspectre.h"

#include <cmath>

using namespace kelvor;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzz();
    return 0;
}

namespace {

void VerifiePlage(const TSpectreLu& lu, qint32 mini, qint32 maxi)
{
    VERIFIE_FUZZ(mini <= lu.debut && lu.debut <= lu.fin && lu.fin <= maxi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3)
        return 0;
    LocaleFuzz(data[0]);
    // The windows read between the instrument's lowest wavelength and 1000 nm.
    const qint32 mini = data[1] & 1 ? 198 : 320;
    const qint32 maxi = data[2] & 1 ? 1000 : MaxIndiceVecteur;
    const QByteArray contenu(reinterpret_cast<const char*>(data + 3), qsizetype(size - 3));

    Vecteur avant;
    avant.fill(0.25);
    const TSpectreLu lu = AnalyseSpectre(contenu, avant, mini, maxi);
    VerifiePlage(lu, mini, maxi);

    const QByteArray ecrit =
        OctetsFichier(LignesSpectre(QStringLiteral("01/02/2024 10:00:00"), lu.y, mini, maxi));
    const TSpectreLu relu = AnalyseSpectre(ecrit, avant, mini, maxi);
    VerifiePlage(relu, mini, maxi);
    for (qint32 l = mini; l <= maxi; ++l) {
        const double a = lu.y[l];
        const double b = relu.y[l];
        VERIFIE_FUZZ(std::isnan(a) == std::isnan(b));
        // Five significant digits at most, three decimals.
        if (!std::isnan(a) && std::isfinite(a))
            VERIFIE_FUZZ(std::fabs(a - b) <= 0.0005 + std::fabs(a) * 1e-4);
    }
    if (!std::isnan(lu.y[lu.debut]))
        VERIFIE_FUZZ(relu.debut == lu.debut && relu.fin == lu.fin);
    return 0;
}
