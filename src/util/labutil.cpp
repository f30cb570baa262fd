#include "util/labutil.h"

#include "util/horloge.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <QTime>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kelvor {

QString DossierDonnees;

EConvertError::EConvertError(const QString& msg)
    : std::runtime_error(msg.toStdString()), message(msg)
{
}

double PasDeValeur()
{
    return std::bit_cast<double>(0xFFF8000000000000ULL);
}

QChar SeparateurDecimal()
{
    const QString s = QLocale().decimalPoint();
    return s.isEmpty() ? QChar('.') : s.front();
}

QChar SeparateurHeureLocale()
{
    const QString f = QLocale().timeFormat(QLocale::LongFormat);
    qsizetype i = 0;
    while (i < f.size() && f[i] != 'h' && f[i] != 'H')
        ++i;
    while (i < f.size() && (f[i] == 'h' || f[i] == 'H'))
        ++i;
    // A blank, a letter or a quoted literal ("H 'h' mm") is no separator to read or write.
    if (i < f.size() && f[i] != ' ' && !f[i].isLetter() && f[i] != '\'')
        return f[i];
    return QChar(':');
}

QString TexteHeures(qint64 secondes)
{
    const QChar sep = SeparateurHeureLocale();
    const auto deux = [](qint64 v) { return QString::number(v).rightJustified(2, '0'); };
    return deux(secondes / 3600) + sep + deux(secondes / 60 % 60) + sep + deux(secondes % 60);
}

namespace {

// Significant digits of |x| rounded to `precision` digits, a dropped half going away
// from zero, trailing zeros removed; exposant is E in 0.d1d2... x 10^E.
QString ChiffresSignificatifs(double a, int precision, int& exposant)
{
    // 30 digits show far more than a double holds, so deciding the rounding on the
    // first dropped digit is exact for "half away from zero".
    char tampon[64];
    std::snprintf(tampon, sizeof tampon, "%.30e", a);
    QString chiffres;
    const char* p = tampon;
    for (; *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            chiffres.append(QChar(*p));
    exposant = std::atoi(p + 1) + 1;

    const bool arrondiHaut = chiffres[precision] >= '5';
    chiffres.truncate(precision);
    if (arrondiHaut) {
        int i = precision - 1;
        while (i >= 0 && chiffres[i] == '9')
            chiffres[i--] = '0';
        if (i < 0) {
            chiffres.prepend('1');
            chiffres.truncate(precision);
            ++exposant;
        } else {
            chiffres[i] = QChar(chiffres[i].unicode() + 1);
        }
    }
    while (chiffres.size() > 1 && chiffres.endsWith('0'))
        chiffres.chop(1);
    return chiffres;
}

} // namespace

QString FormatGeneral(double x, int precision, int largeurExposant, QChar separateur)
{
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (x == 0)
        return QStringLiteral("0");

    int e = 0;
    const QString d = ChiffresSignificatifs(std::fabs(x), precision, e);
    const int n = d.size();
    QString s = x < 0 ? QStringLiteral("-") : QString();

    if (e >= -3 && e <= precision) {
        if (e <= 0) {
            s += '0';
            s += separateur;
            s += QString(-e, '0');
            s += d;
        } else if (n <= e) {
            s += d;
            s += QString(e - n, '0');
        } else {
            s += d.left(e);
            s += separateur;
            s += d.mid(e);
        }
        return s;
    }

    s += d[0];
    if (n > 1) {
        s += separateur;
        s += d.mid(1);
    }
    s += 'E';
    if (e - 1 < 0)
        s += '-';
    s += QString::number(std::abs(e - 1)).rightJustified(largeurExposant, '0');
    return s;
}

double StrToReel(const QString& texte)
{
    const QChar sep = SeparateurDecimal();
    QString s = texte;
    const QChar remplace = sep == ',' ? QChar('.') : QChar(',');
    const qsizetype premier = s.indexOf(remplace);
    if (premier >= 0)
        s[premier] = sep;

    // Grammar: spaces, sign, digits, separator digits, exponent, spaces, end.
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && s[i] == ' ')
        ++i;
    bool negatif = false;
    if (i < n && (s[i] == '+' || s[i] == '-'))
        negatif = s[i++] == '-';

    std::string nombre = "0";
    bool mantisse = false;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) {
        nombre += char(s[i++].unicode());
        mantisse = true;
    }
    if (i < n && s[i] == sep) {
        ++i;
        mantisse = true;
        nombre += '.';
        while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9')
            nombre += char(s[i++].unicode());
    }
    if (!mantisse)
        return PasDeValeur();
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        nombre += 'e';
        if (i < n && (s[i] == '+' || s[i] == '-'))
            nombre += char(s[i++].unicode());
        bool chiffres = false;
        while (i < n && s[i].unicode() >= '0' && s[i].unicode() <= '9') {
            nombre += char(s[i++].unicode());
            chiffres = true;
        }
        if (!chiffres)
            return PasDeValeur();
    }
    while (i < n && s[i] == ' ')
        ++i;
    if (i != n)
        return PasDeValeur();

    double valeur = 0;
    const auto [fin, erreur] = std::from_chars(nombre.data(), nombre.data() + nombre.size(), valeur);
    if (erreur != std::errc() || fin != nombre.data() + nombre.size())
        return PasDeValeur();
    return negatif ? -valeur : valeur;
}

QString ReelToStrPoint(double x)
{
    return FormatGeneral(x, 7, 2, QChar('.'));
}

QString ReelToStr3(double x)
{
    return FormatGeneral(x, 3, 1, SeparateurDecimal());
}

double SecondesToTemps(qint32 s)
{
    if (s < 0 || s > 86399)
        throw EConvertError(QStringLiteral("Argument incorrect pour le codage de l'heure"));
    const qint32 h = s / 3600;
    const qint32 m = (s - 3600 * h) / 60;
    const qint32 r = s - 3600 * h - 60 * m;
    return (3600.0 * h + 60.0 * m + r) / 86400.0;
}

qint32 SecondesDepuis(double instantDuJour)
{
    constexpr qint64 msParJour = 86400000;
    const double d = Horloge().HeureDuJour() - instantDuJour;
    const qint64 ms = std::llabs(std::llround(d * msParJour)) % msParJour;
    return static_cast<qint32>(ms / 1000);
}

void MinMaxVecteur(const Vecteur& v, quint16 n, double& mini, double& maxi)
{
    mini = v[0];
    maxi = v[0];
    for (quint16 i = 1; i < n && i < v.size(); ++i) {
        if (v[i] > maxi)
            maxi = v[i];
        else if (!(v[i] >= mini))
            mini = v[i];
    }
}

void Ordonne(double& a, double& b)
{
    if (!(b >= a))
        std::swap(a, b);
}

qint32 PosApres(const QString& sub, const QString& texte, qint32 n)
{
    const qsizetype p = texte.indexOf(sub, std::max(n, 0));
    return p < 0 ? 0 : static_cast<qint32>(p + 1);
}

void SupprimeBlancs(QString& s)
{
    s.removeIf([](QChar c) { return c.unicode() <= 32; });
}

qint64 ArrondiPair(double x)
{
    constexpr double limite = 9.2e18;
    if (std::isnan(x))
        return 0;
    return static_cast<qint64>(std::nearbyint(std::clamp(x, -limite, limite)));
}

namespace {

// Hours, minutes and optional seconds of a time of day; -1 when it does not read.
qint64 LitHeureDuJour(const QString& texte)
{
    const QStringList champs = texte.split(SeparateurHeureLocale());
    if (champs.size() < 2 || champs.size() > 3)
        return -1;
    const int limites[3] = {23, 59, 59};
    qint64 total = 0;
    for (int i = 0; i < 3; ++i) {
        int v = 0;
        if (i < champs.size()) {
            bool ok = false;
            v = champs[i].toInt(&ok);
            if (!ok || v < 0 || v > limites[i])
                return -1;
        }
        total = total * 60 + v;
    }
    return total;
}

} // namespace

qint32 DureeToSecondes(const QString& texte)
{
    QString s = texte;
    SupprimeBlancs(s);
    // Summed as a real: absurd parts ("1e300min") saturate instead of overflowing.
    double resultat = 0;

    // The clock form uses the locale's separator, as the duration field shows it.
    if (const QString sep = SeparateurHeureLocale(); s.contains(sep)) {
        const QString heure = PosApres(sep, s, 2) == 0 ? "0" + sep + s : s;
        const qint64 secondes = LitHeureDuJour(heure);
        if (secondes >= 0)
            resultat += secondes;
    }
    if (const qsizetype p = s.indexOf('h'); p >= 0) {
        if (p > 0) {
            bool ok = false;
            const qint32 heures = s.left(p).toInt(&ok);
            if (ok)
                resultat += heures * 3600.0;
        }
        s.remove(0, p + 1);
    }
    if (const qsizetype p = s.indexOf(QStringLiteral("min")); p >= 0) {
        if (p > 0) {
            const double minutes = StrToReel(s.left(p));
            if (!std::isnan(minutes))
                resultat += double(ArrondiPair(minutes * 60));
        }
        s.remove(0, p + 3);
    }
    if (const qsizetype p = s.indexOf('s'); p >= 0)
        s.remove(p, 1);
    if (!s.isEmpty()) {
        const double reste = StrToReel(s);
        if (!std::isnan(reste))
            resultat += double(ArrondiPair(reste));
    }
    // A duration is at least one second and fits the 32-bit count.
    return static_cast<qint32>(std::clamp<double>(resultat, 1, INT32_MAX));
}

qint32 ValeurRonde(double x)
{
    const double a = std::fabs(x);
    if (!(a >= 0.000001))
        return 0;
    const double c = std::pow(10.0, std::floor(std::log10(a)));
    double d = static_cast<double>(ArrondiPair(a / c));
    if (d > 2)
        d = d <= 5 ? 5 : 10;
    return static_cast<qint32>(std::clamp<qint64>(ArrondiPair(c * d), INT32_MIN, INT32_MAX));
}

QString AjouteAntislash(const QString& s)
{
    if (s.isEmpty())
        return s;
    QString chemin = s;
    const bool guillemet = chemin.endsWith('"');
    if (guillemet)
        chemin.chop(1);
    if (chemin.isEmpty() || (chemin.back() != '\\' && chemin.back() != ':' && chemin.back() != QChar(0)))
        chemin += '\\';
    if (guillemet)
        chemin += '"';
    return chemin;
}

namespace {

constexpr qint32 CSIDL_PERSONAL = 5;

// Appends the platform's folder separator unless the path already ends with one.
QString AjouteSeparateur(const QString& chemin)
{
#ifdef Q_OS_WIN
    return AjouteAntislash(chemin);
#else
    return chemin.isEmpty() || chemin.endsWith('/') ? chemin : chemin + '/';
#endif
}

} // namespace

QString DossierSpecial(qint32 csidl)
{
    if (csidl != CSIDL_PERSONAL)
        return {};
    const QString dossier = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return dossier.isEmpty() ? QString() : AjouteSeparateur(QDir::toNativeSeparators(dossier));
}

void InitDossierDonnees()
{
    DossierDonnees = DossierSpecial(CSIDL_PERSONAL) + QStringLiteral("Kurvalis");
    // With its parents: a missing Documents folder must not leave the settings unsaved.
    if (!QFileInfo::exists(DossierDonnees))
        QDir().mkpath(DossierDonnees);
    DossierDonnees = AjouteSeparateur(DossierDonnees);
}

void LibereDossierDonnees()
{
    DossierDonnees.clear();
}

} // namespace kelvor
