// Reply lines from the instrument: bytes assembled into lines by the link, then routed to
// the reply parsers and, during scans, to the scan-point parser the windows use. No bytes
// may fault, a line never outgrows its bound, and every parsed point can index the arrays.

#include "commun.h"
#include "instrument/cfgspect.h"
#include "instrument/liaison.h"
#include "instrument/port.h"

#include <cmath>
#include <cstring>

using namespace kelvor;

namespace {

// Hands the input over as the serial port would: in chunks, each line end announced
// before its line is complete.
class TPortFuzz : public TPort
{
public:
    QByteArray recu;
    qsizetype lu = 0;

    void Ouvre(quint16) override {}
    void Ferme() override {}
    bool EstOuvert() const override { return true; }
    void Ecrit(const QByteArray&) override {}
    void Purge() override { lu = recu.size(); }
    qint32 AjouteTrigger(char) override { return 1; }
    void SupprimeTrigger(qint32) override {}
    bool LitOctet(char& octet) override
    {
        if (lu >= recu.size())
            return false;
        octet = recu[lu++];
        return true;
    }
    void TraiteActivite() override {}
    bool PortExiste(quint16) const override { return false; }
    QString NomPort(quint16) const override { return {}; }
};

bool AbsAdmise(const Tspectro& s)
{
    return std::isnan(s.AbsCourante) || (s.AbsCourante >= s.MiniAbs && s.AbsCourante <= s.MaxiAbs);
}

// The windows' scan handlers in core terms: they index their arrays by the point's λ.
class TVueFuzz : public TVueLiaison
{
public:
    explicit TVueFuzz(Tspectro& s) : spectro(s) {}
    Tspectro& spectro;
    Vecteur y{};

    void Sablier(bool) override {}
    void ActionsEchange(bool) override {}
    void MajActions() override {}
    void Etiquette(const QString&) override {}
    void Statut(const QString&) override {}
    void Titre(const QString&) override {}
    void EffaceAffichages() override {}
    void Erreur(const QString&) override {}
    void LigneBlanc(const QByteArray& ligne) override
    {
        spectro.SetAbsLambdaInt(ligne);
        VERIFIE_FUZZ(spectro.LambdaCourante >= 0 && spectro.LambdaCourante <= MaxIndiceVecteur);
        spectro.AbsBlanc[spectro.LambdaCourante] = spectro.AbsIntCourante;
    }
    void LigneSpectre(const QByteArray& ligne) override
    {
        spectro.SetAbsLambdaInt(ligne);
        spectro.SetAbsLambda();
        VERIFIE_FUZZ(spectro.LambdaCourante >= 0 && spectro.LambdaCourante <= MaxIndiceVecteur);
        VERIFIE_FUZZ(AbsAdmise(spectro));
        y[spectro.LambdaCourante] = spectro.AbsCourante;
    }
    void ReinitEnvoi() override {}
    void OuvreFenetre(Tmode) override {}
};

// Integers the instrument sends read back as sent; so does a scan point in range.
void VerifieAllerRetour(const uint8_t* data, size_t size)
{
    if (size < 8)
        return;
    qint32 a, b;
    std::memcpy(&a, data, 4);
    std::memcpy(&b, data + 4, 4);
    VERIFIE_FUZZ(EntierInstrument(QByteArray::number(a)) == a);
    Tspectro s;
    const qint32 lambda = qint32(quint32(a) % (MaxIndiceVecteur + 1));
    s.SetAbsLambdaInt(QByteArray::number(lambda) + ':' + QByteArray::number(b));
    VERIFIE_FUZZ(s.LambdaCourante == lambda && s.AbsIntCourante == b);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    InitFuzz();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    VerifieAllerRetour(data, size);
    // First byte: chunk size and dark level; second: what each line is expected to be,
    // the same for every line or a new one for each.
    const qsizetype morceau = 1 + (data[0] & 15);
    const bool tourne = data[1] & 0x80;
    const int premiere = data[1] % (lNone + 1);

    TPortFuzz port;
    Tspectro spectro;
    spectro.CourantObscurite = data[0] & 0x10 ? 120 : 0;
    spectro.CourantBlanc = data[0] & 0x20 ? 30000 : 0;
    if (data[0] & 0x40)
        spectro.modelNumber = "5105";
    TVueFuzz vue(spectro);
    TLiaison liaison(port, spectro, vue);

    port.recu = QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    int ligne = 0;
    liaison.Attend(Tlecture(premiere));
    qsizetype annonce = 0;
    while (annonce < port.recu.size()) {
        const qsizetype cr = port.recu.indexOf('\r', annonce);
        const qsizetype fin = std::min(annonce + morceau, cr < 0 ? port.recu.size() : cr + 1);
        liaison.OctetsDisponibles(fin - annonce);
        annonce = fin;
        VERIFIE_FUZZ(liaison.chaineLue().size() <= TLiaison::TailleMaxLigne);
        for (char c : liaison.chaineLue())
            VERIFIE_FUZZ(quint8(c) >= 0x20);
        if (port.recu[fin - 1] != '\r')
            continue;
        liaison.LigneComplete();
        VERIFIE_FUZZ(liaison.chaineLue().isEmpty());
        VERIFIE_FUZZ(AbsAdmise(spectro));
        ++ligne;
        liaison.Attend(Tlecture(tourne ? (premiere + ligne) % (lNone + 1) : premiere));
    }
    // Failures are reported from the event loop.
    QCoreApplication::sendPostedEvents();
    return 0;
}
