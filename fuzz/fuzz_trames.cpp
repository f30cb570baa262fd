// Frames of the local-socket exchange: any bytes received are cut into requests without
// fault or overreach, and requests written by the client are read back whole.

#include "commun.h"
#include "exchange/kurvalis.h"
#include "platform/ddelocal.h"

using namespace kelvor;

namespace {

// Cuts the received bytes as the server does, starting again after each request.
QList<QByteArray> Decoupe(const QByteArray& recu, bool& refuse)
{
    QList<QByteArray> macros;
    qsizetype pos = 0;
    refuse = false;
    for (;;) {
        const qsizetype disponibles = recu.size() - pos;
        const TTrameDDE t = AnalyseTrame(recu.mid(pos, EnteteDDEMax), disponibles);
        if (t.etat == etRefusee) {
            refuse = true;
            return macros;
        }
        if (t.etat == etIncomplete)
            return macros;
        VERIFIE_FUZZ(t.entete > 0 && t.entete <= EnteteDDEMax);
        VERIFIE_FUZZ(t.macro >= 0 && t.macro <= MacroDDEMax);
        VERIFIE_FUZZ(t.entete + t.macro <= disponibles);
        macros << recu.mid(pos + t.entete, t.macro);
        LignesMacro(macros.back());
        pos += t.entete + t.macro;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzz();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray octets(reinterpret_cast<const char*>(data), qsizetype(size));
    bool refuse = false;
    Decoupe(octets, refuse);

    // The same bytes as macros cut at each 0xFF, written by the client, then read back.
    const QList<QByteArray> envoyees = octets.split('\xff');
    QByteArray flux;
    for (const QByteArray& m : envoyees)
        flux += TrameExecute(m);
    const QList<QByteArray> recues = Decoupe(flux, refuse);
    VERIFIE_FUZZ(!refuse && recues == envoyees);
    // A request cut short is only waited for, never taken.
    if (!flux.isEmpty()) {
        flux.chop(1);
        const QList<QByteArray> partielles = Decoupe(flux, refuse);
        VERIFIE_FUZZ(!refuse && partielles == envoyees.mid(0, envoyees.size() - 1));
    }
    return 0;
}
