#include "instrument/cfgspect.h"

#include "instrument/inifile.h"
#include "util/cp1252.h"
#include "util/dialogues.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

namespace kelvor {

namespace {

const QString SectionIC = QStringLiteral("IC5100");
const QString SectionLigneBase = QStringLiteral("LigneBase");

// Parses the integer grammar of instrument replies; false when the text does not fit it.
bool LitEntier(const char* debut, const char* fin, qint32& valeur)
{
    const char* p = debut;
    while (p < fin && *p == ' ')
        ++p;
    bool negatif = false;
    if (p < fin && (*p == '+' || *p == '-'))
        negatif = *p++ == '-';
    if (p == fin)
        return false;
    qint64 v = 0;
    for (; p < fin; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + (*p - '0');
        if (v > qint64(1) << 31)
            return false;
    }
    v = negatif ? -v : v;
    if (v > std::numeric_limits<qint32>::max())
        return false;
    valeur = qint32(v);
    return true;
}

[[noreturn]] void ErreurEntier(const QByteArray& texte)
{
    throw EConvertError(QStringLiteral("'%1' n'est pas une valeur entière correcte")
                            .arg(DecodeCp1252(texte)));
}

std::unique_ptr<Tspectro>& Instance()
{
    static std::unique_ptr<Tspectro> instance;
    return instance;
}

} // namespace

qint32 EntierInstrument(const QByteArray& texte)
{
    qint32 v = 0;
    if (!LitEntier(texte.constData(), texte.constData() + texte.size(), v))
        ErreurEntier(texte);
    return v;
}

QByteArray Tspectro::getBlanc() const
{
    return QByteArrayLiteral("MEASURE WITH LAMP");
}

QByteArray Tspectro::getAbs() const
{
    return QByteArrayLiteral("MEASURE WITH LAMP");
}

QByteArray Tspectro::getObscurite() const
{
    return QByteArrayLiteral("MEASURE NO LAMP");
}

QByteArray Tspectro::GotoLambda(int lambda) const
{
    return QByteArrayLiteral("GOTO") + QByteArray::number(lambda);
}

QByteArray Tspectro::SetNumberReadings(Tmode mode) const
{
    return QByteArrayLiteral("NO OF READINGS ") + QByteArray::number(NombreLectures[mode]);
}

QByteArray Tspectro::Scan()
{
    qint32 fin = FinLambda + pasLambda;
    if (fin > MaxiLambda)
        fin = MaxiLambda;
    FinLambda = fin - pasLambda;
    return QByteArrayLiteral("SCAN:") + QByteArray::number(DebutLambda) + ':'
           + QByteArray::number(fin) + ':' + QByteArray::number(pasLambda);
}

void Tspectro::SetBlanc(const QByteArray& chaineLue)
{
    CourantBlanc = EntierInstrument(chaineLue);
}

void Tspectro::SetObscurite(const QByteArray& chaineLue)
{
    CourantObscurite = EntierInstrument(chaineLue);
}

void Tspectro::SetNoReading(const QByteArray& chaineLue)
{
    NoReading = EntierInstrument(chaineLue);
}

void Tspectro::SetLambda(const QByteArray& chaineLue)
{
    const qsizetype point = chaineLue.indexOf('.');
    LambdaCourante = EntierInstrument(point < 0 ? chaineLue : chaineLue.left(point));
}

void Tspectro::SetAbsorbance(const QByteArray& chaineLue)
{
    qint32 intensite = 0;
    if (!LitEntier(chaineLue.constData(), chaineLue.constData() + chaineLue.size(), intensite)) {
        AbsCourante = PasDeValeur();
        return;
    }
    AbsIntCourante = intensite;
    if (AbsIntCourante == 0) {
        AbsCourante = PasDeValeur();
        return;
    }
    CalculeAbsorbance();
}

void Tspectro::SetAbsLambdaInt(const QByteArray& chaineLue)
{
    const char* texte = chaineLue.constData();
    const qsizetype n = chaineLue.size();
    const qsizetype deuxPoints = chaineLue.indexOf(':');
    qint32 lambda = 0;
    qint32 intensite = 0;
    bool ok = deuxPoints >= 0 && LitEntier(texte, texte + deuxPoints, lambda);
    if (ok) {
        qsizetype finIntensite = chaineLue.indexOf(':', deuxPoints + 1);
        if (finIntensite < 0)
            finIntensite = n;
        ok = LitEntier(texte + deuxPoints + 1, texte + finIntensite, intensite);
    }
    // The scan handlers index the baseline and the spectrum by this wavelength: one
    // outside the arrays is as unreadable as a garbled line.
    if (!ok || lambda < 0 || lambda > MaxIndiceVecteur) {
        LambdaCourante = 500;
        AbsIntCourante = 0;
        return;
    }
    LambdaCourante = lambda;
    AbsIntCourante = intensite;
}

void Tspectro::SetAbsLambda()
{
    if (AbsIntCourante == 0) {
        AbsCourante = PasDeValeur();
        return;
    }
    CourantBlanc = InterpoleBlanc();
    if (CourantBlanc == 0) {
        AbsCourante = PasDeValeur();
        return;
    }
    CalculeAbsorbance();
}

qint32 Tspectro::InterpoleBlanc()
{
    const qint32 mini = MiniLambda();
    const qint32 maxi = std::min<qint32>(MaxiLambda, MaxIndiceVecteur);
    const qint32 l = LambdaCourante;
    if (l < mini || l > maxi)
        return 0;
    VecteurInt& b = AbsBlanc;

    qint32 j = l;
    while (j < maxi && b[j] == 0)
        ++j;
    if (b[j] == 0)
        return 0;
    qint32 i = l;
    while (i > mini && b[i] == 0)
        --i;
    if (b[i] == 0)
        return 0;
    if (i == j)
        return b[l];

    // Integer slope, truncated toward zero, exactly as the filled values are stored.
    const qint64 pente = (qint64(b[j]) - b[i]) / (j - i);
    for (qint32 k = i + 1; k < j; ++k)
        b[k] = qint32(b[i] + (k - i) * pente);
    return b[l];
}

void Tspectro::CalculeAbsorbance()
{
    const long double diviseur = (long double)CourantBlanc - CourantObscurite;
    if (diviseur == 0) {
        AbsCourante = PasDeValeur();
        return;
    }
    const long double rapport = ((long double)AbsIntCourante - CourantObscurite) / diviseur;
    if (!(rapport > 0)) {
        AbsCourante = PasDeValeur();
        return;
    }
    long double a = -std::log10(rapport);
    if (a > MaxiAbs)
        a = MaxiAbs;
    if (a < MiniAbs)
        a = MiniAbs;
    AbsCourante = double(a) + 0.0;  // no negative zero for a ratio of exactly 1
}

qint32 Tspectro::MiniLambda()
{
    if (modelNumber == "5100")
        Kelvor = k5100;
    else if (modelNumber == "5105")
        Kelvor = k5105;
    return LambdaMiniKelvor[Kelvor];
}

bool Tspectro::IsNumberReadingsOK(Tmode mode) const
{
    return NoReading == NombreLectures[mode];
}

QString Tspectro::NomConstructeur() const
{
    return QStringLiteral("Kelvor ") + DecodeCp1252(modelNumber);
}

QString Tspectro::StrAbs(double valeur) const
{
    if (std::isnan(valeur))
        return QStringLiteral("0");
    // One rounding, of the value itself, at the third decimal.
    if (std::fabs(valeur) >= 1e5)
        return FormatGeneral(valeur, 5, 1, SeparateurDecimal());
    QString s = QString::number(valeur, 'f', 3);
    if (s == QLatin1String("-0.000"))
        s.remove(0, 1);
    const QChar sep = SeparateurDecimal();
    if (sep != '.')
        s.replace('.', sep);
    return s;
}

void Tspectro::lit(const TIniFile& ini)
{
    // Every value is brought inside what the windows can show, so the model and the
    // controls never disagree and no command is built from a value out of range.
    const qint32 com = ini.ReadInteger(SectionIC, QStringLiteral("Com"), 1);
    ComNumberS = com >= 1 && com <= NumeroPortMaxi ? quint16(com) : 1;
    const qint32 pas = ini.ReadInteger(SectionIC, QStringLiteral("PasLambda"), 2);
    pasLambda = pas >= PasLambdaMini && pas <= PasLambdaMaxi ? pas : 2;
    // An unknown ordinal would index past the variant table.
    const qint32 variante = ini.ReadInteger(SectionIC, QStringLiteral("51xx"), 0);
    Kelvor = variante == k5105 ? k5105 : k5100;
    DebutLambda = ini.ReadInteger(SectionIC, QStringLiteral("Debut"), DebutLambda);
    FinLambda = ini.ReadInteger(SectionIC, QStringLiteral("Fin"), 0);
    BornePlage();

    const qint32 maxi = std::min<qint32>(MaxiLambda, MaxIndiceVecteur);
    for (qint32 l = MiniLambda(); l <= maxi; ++l)
        AbsBlanc[l] = ini.ReadInteger(SectionLigneBase, QString::number(l), 0);
}

void Tspectro::BornePlage()
{
    // 0..0 is "no range chosen yet": the main window proposes one.
    if (DebutLambda == 0 && FinLambda == 0)
        return;
    const qint32 maxi = std::min<qint32>(MaxiLambda, MaxIndiceVecteur);
    DebutLambda = std::clamp(DebutLambda, MiniLambda(), maxi - EcartPlageMini);
    FinLambda = std::clamp(FinLambda, DebutLambda + EcartPlageMini, maxi);
}

void Tspectro::ecrit(TIniFile& ini)
{
    // The connected instrument decides the variant before it is stored, so the stored
    // variant and the baseline range written below always agree.
    const qint32 mini = MiniLambda();
    ini.WriteInteger(SectionIC, QStringLiteral("Com"), ComNumberS);
    ini.WriteFloat(SectionIC, QStringLiteral("PasLambda"), pasLambda);
    ini.WriteInteger(SectionIC, QStringLiteral("Debut"), DebutLambda);
    ini.WriteInteger(SectionIC, QStringLiteral("51xx"), Kelvor);
    ini.WriteInteger(SectionIC, QStringLiteral("Fin"), FinLambda);

    const qint32 maxi = std::min<qint32>(MaxiLambda, MaxIndiceVecteur);
    for (qint32 l = mini; l <= maxi; ++l)
        ini.WriteInteger(SectionLigneBase, QString::number(l), AbsBlanc[l]);
}

void Tspectro::lit()
{
    lit(TIniFile(CheminReglages()));
}

void Tspectro::ecrit()
{
    const QString chemin = CheminReglages();
    if (chemin.isEmpty())
        return;
    TIniFile ini(chemin);
    ecrit(ini);
    QString erreur;
    if (!ini.UpdateFile(&erreur))
        Dialogues().Message(erreur);
}

Tspectro& Spectro()
{
    auto& instance = Instance();
    if (!instance)
        instance = std::make_unique<Tspectro>();
    return *instance;
}

void InitSpectro()
{
    NouveauSpectro().lit();
}

void LibereSpectro()
{
    auto& instance = Instance();
    if (instance)
        instance->ecrit();
    instance.reset();
}

Tspectro& NouveauSpectro()
{
    Instance() = std::make_unique<Tspectro>();
    return *Instance();
}

} // namespace kelvor
