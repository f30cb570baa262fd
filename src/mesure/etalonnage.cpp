#include "mesure/etalonnage.h"

#include "instrument/inifile.h"
#include "util/labutil.h"

#include <algorithm>
#include <cmath>

namespace kelvor {

const QString AvertMoinsDeTrois = QStringLiteral("moins de 3 étalons : étalonnage peu sûr");
const QString AvertOrigine =
    QStringLiteral("la droite ne passe pas par l'origine : vérifier le blanc");

namespace {

constexpr double Nan = TEtalonnage::Nan;
constexpr double ConcMinEtalon = 1e-9;
constexpr double AbsMinEtalon = 0.001;
// Residuals below this fraction of the largest absorbance are the rounding of the sums,
// not a misfit: an exactly linear series gets s = 0 and names no suspect.
constexpr double BruitRelatif = 1e-12;
// Lists of points in a warning stop after this many numbers.
constexpr int NumerosMax = 5;

const QString SectionBeer = QStringLiteral("Beer");
const QString CleAjustement = QStringLiteral("Ajustement");

QString AvecSeparateur(QString s)
{
    s.replace(QLatin1Char('.'), SeparateurDecimal());
    return s;
}

QString Fixe(double x, int decimales)
{
    return AvecSeparateur(QString::number(x, 'f', decimales));
}

QString Significatifs(double x, int chiffres)
{
    return FormatGeneral(x, chiffres, 1, SeparateurDecimal());
}

// "point 4", "points 2 et 4", "points 1, 2, 3, 4, 5 et 7 autres"; numbers are 1-based.
QString Designation(const QString& nom, const std::vector<qint32>& indices)
{
    const qsizetype total = qsizetype(indices.size());
    QString s = nom;
    if (total > 1)
        s += QLatin1Char('s');
    const qsizetype montres = total > NumerosMax ? NumerosMax : total;
    for (qsizetype k = 0; k < montres; ++k) {
        if (k > 0)
            s += k == total - 1 ? QStringLiteral(" et") : QStringLiteral(",");
        s += QLatin1Char(' ') + QString::number(indices[k] + 1);
    }
    if (total > montres)
        s += QStringLiteral(" et %1 autres").arg(total - montres);
    return s;
}

// Sums over the standards that take part.
struct TSommes
{
    qint32 n = 0;
    double sc = 0, sa = 0, scc = 0, sca = 0;
    double cMoy = 0, aMoy = 0, sxx = 0, sxy = 0, syy = 0;
    double aMax = 0;
};

TSommes Somme(const std::vector<double>& c, const std::vector<double>& a,
              const std::vector<qint32>& etalons)
{
    TSommes t;
    t.n = qint32(etalons.size());
    for (qint32 i : etalons) {
        t.sc += c[i];
        t.sa += a[i];
        t.scc += c[i] * c[i];
        t.sca += c[i] * a[i];
        t.aMax = std::max(t.aMax, a[i]);
    }
    if (t.n == 0)
        return t;
    // Centred sums in a second pass: the affine fit and R² need them without cancellation.
    t.cMoy = t.sc / t.n;
    t.aMoy = t.sa / t.n;
    for (qint32 i : etalons) {
        const double dc = c[i] - t.cMoy;
        const double da = a[i] - t.aMoy;
        t.sxx += dc * dc;
        t.sxy += dc * da;
        t.syy += da * da;
    }
    return t;
}

// Line (slope, intercept) of the chosen fit from the sums; slope NaN when none exists.
struct TDroite
{
    double pente = Nan;
    double ordonnee = 0;
};

TDroite Droite(TAjustement aj, const TSommes& t)
{
    TDroite d;
    switch (aj) {
    case ajRapportSommes:
        // Ratio of the sums, not a least-squares fit: every standard weighs by its size.
        if (t.n >= 1 && t.sc > 0)
            d.pente = t.sa / t.sc;
        break;
    case ajOrigine:
        if (t.n >= 1 && t.scc > 0)
            d.pente = t.sca / t.scc;
        break;
    case ajAffine:
        if (t.n >= 2 && t.sxx > 0) {
            d.pente = t.sxy / t.sxx;
            d.ordonnee = t.aMoy - d.pente * t.cMoy;
        }
        break;
    }
    return d;
}

// Fitted parameters: one through the origin, two for the affine line.
qint32 Parametres(TAjustement aj)
{
    return aj == ajAffine ? 2 : 1;
}

// Sums of one point removed, for the line the other standards give.
TSommes Sans(const TSommes& t, double c, double a)
{
    TSommes r;
    r.n = t.n - 1;
    r.sc = t.sc - c;
    r.sa = t.sa - a;
    r.scc = t.scc - c * c;
    r.sca = t.sca - c * a;
    r.cMoy = (t.sc - c) / r.n;
    r.aMoy = (t.sa - a) / r.n;
    const double f = double(t.n) / r.n;
    r.sxx = t.sxx - (c - t.cMoy) * (c - t.cMoy) * f;
    r.sxy = t.sxy - (c - t.cMoy) * (a - t.aMoy) * f;
    return r;
}

// Standards that lie more than 3 s from the line the other standards give, s being that
// line's own residual deviation. Judged against the s of all standards, the outlier
// inflates s so much that |r|/s never exceeds √(n − p): nothing below 11 standards could
// be named. Residual moments make the n refits cost O(n).
std::vector<qint32> Suspects(const TEtalonnage& e, const std::vector<qint32>& etalons,
                             const TSommes& t, double bruit)
{
    std::vector<qint32> suspects;
    const qint32 p = Parametres(e.ajustement);
    if (!e.valide || t.n < p + 2)
        return suspects;
    double R = 0, RC = 0, RR = 0;
    for (qint32 i : etalons) {
        const double r = e.abs[i] - e.Absorbance(e.conc[i]);
        R += r;
        RC += r * e.conc[i];
        RR += r * r;
    }
    for (qint32 i : etalons) {
        const double c = e.conc[i];
        const double a = e.abs[i];
        const TDroite d = Droite(e.ajustement, Sans(t, c, a));
        if (!std::isfinite(d.pente))
            continue;
        const double ecart = a - (d.pente * c + d.ordonnee);
        // Residuals of the other standards about the new line: r_j + dk·c_j + db.
        const double r = a - e.Absorbance(c);
        const double dk = e.pente - d.pente;
        const double db = e.ordonnee - d.ordonnee;
        const double ss = (RR - r * r) + 2 * dk * (RC - r * c) + 2 * db * (R - r)
                          + dk * dk * (t.scc - c * c) + 2 * dk * db * (t.sc - c)
                          + db * db * (t.n - 1);
        const double sAutres = std::sqrt(std::max(ss, 0.0) / (t.n - 1 - p));
        if (std::fabs(ecart) > 3 * sAutres && std::fabs(ecart) > bruit)
            suspects.push_back(i);
    }
    return suspects;
}

QStringList Avertissements(const TEtalonnage& e, const std::vector<qint32>& etalons,
                           const TSommes& t, double bruit)
{
    QStringList l;
    if (e.n < 3)
        l << AvertMoinsDeTrois;

    const std::vector<qint32> suspects = Suspects(e, etalons, t, bruit);
    if (!suspects.empty())
        l << Designation(QStringLiteral("point"), suspects)
                 + (suspects.size() > 1 ? QStringLiteral(" suspects") : QStringLiteral(" suspect"));

    if (e.ajustement == ajAffine && e.valide && std::fabs(e.ordonnee) > 2 * e.uOrdonnee)
        l << AvertOrigine;

    // Absorbances beyond the linear range, standards and unknowns alike.
    const auto auDessus = [&](double seuil, double plafond) {
        std::vector<qint32> points, inconnus;
        for (qint32 i : etalons)
            if (e.abs[i] > seuil && !(e.abs[i] > plafond))
                points.push_back(i);
        for (qint32 j = 0; j < qint32(e.absInconnus.size()); ++j)
            if (e.absInconnus[j] > seuil && !(e.absInconnus[j] > plafond))
                inconnus.push_back(j);
        QStringList qui;
        if (!points.empty())
            qui << Designation(QStringLiteral("point"), points);
        if (!inconnus.empty())
            qui << Designation(QStringLiteral("inconnu"), inconnus);
        return qui.join(QStringLiteral(", "));
    };
    const QString auDela = auDessus(2, HUGE_VAL);
    if (!auDela.isEmpty())
        l << QStringLiteral("absorbance au-dessus de %1 (%2) : au-delà de ce que l'appareil "
                            "mesure bien").arg(Fixe(2, 1), auDela);
    const QString nonLineaire = auDessus(1, 2);
    if (!nonLineaire.isEmpty())
        l << QStringLiteral("absorbance au-dessus de %1 (%2) : linéarité douteuse")
                 .arg(Fixe(1, 1), nonLineaire);

    if (e.valide) {
        // An unknown read at a standard's absorbance must not fall out by a rounding.
        const double marge = 1e-9 * (e.cMax - e.cMin);
        std::vector<qint32> dehors;
        for (qint32 j = 0; j < qint32(e.concInconnus.size()); ++j) {
            const double c = e.concInconnus[j];
            if (c < e.cMin - marge || c > e.cMax + marge)
                dehors.push_back(j);
        }
        if (!dehors.empty())
            l << Designation(QStringLiteral("inconnu"), dehors)
                     + QStringLiteral(" hors gamme étalonnée");
    }
    return l;
}

} // namespace

QString NomAjustement(TAjustement a)
{
    switch (a) {
    case ajOrigine:
        return QStringLiteral("Moindres carrés par l'origine");
    case ajAffine:
        return QStringLiteral("Droite affine");
    case ajRapportSommes:
        break;
    }
    return QStringLiteral("Rapport des sommes (ΣA/Σc)");
}

TAjustement LitAjustement(const TIniFile& ini)
{
    const qint32 v = ini.ReadInteger(SectionBeer, CleAjustement, ajRapportSommes);
    return v >= ajRapportSommes && v <= ajAffine ? TAjustement(v) : ajRapportSommes;
}

void EcritAjustement(TIniFile& ini, TAjustement a)
{
    ini.WriteInteger(SectionBeer, CleAjustement, a);
}

bool EtalonQualifie(double c, double a)
{
    return c > ConcMinEtalon && a > AbsMinEtalon;
}

QString UnitePente(const QString& unite)
{
    const QString u = unite.trimmed();
    if (u.isEmpty())
        return {};
    const QStringList parts = u.split(QLatin1Char('/'));
    if (parts.size() == 2 && !parts[0].trimmed().isEmpty() && !parts[1].trimmed().isEmpty())
        return parts[1].trimmed() + QLatin1Char('/') + parts[0].trimmed();
    const bool mot = std::none_of(u.begin(), u.end(), [](QChar ch) {
        return ch.isSpace() || QStringLiteral("/.·*^()").contains(ch);
    });
    return mot ? QStringLiteral("1/") + u : QStringLiteral("1/(") + u + QLatin1Char(')');
}

TValeurArrondie ArrondiIncertitude(double x, double u)
{
    if (std::isnan(x))
        return {};
    if (std::isnan(u))
        return {Significatifs(x, 3), QStringLiteral("—")};
    if (u <= 0)
        return {Significatifs(x, 4), QStringLiteral("0")};
    const int e = int(std::floor(std::log10(u)));
    const bool deuxChiffres = u / std::pow(10.0, e) < 3;
    // Decimal place of the last digit kept; negative means tens, hundreds...
    const int d = (deuxChiffres ? 1 : 0) - e;
    const auto arrondi = [d](double v) {
        if (d >= 0)
            return Fixe(v, d);
        const double pas = std::pow(10.0, -d);
        return Fixe(std::nearbyint(v / pas) * pas, 0);
    };
    QString v = arrondi(x);
    // A value rounded to zero carries no sign.
    if (v.startsWith(QLatin1Char('-'))
        && std::none_of(v.begin(), v.end(), [](QChar ch) { return ch >= '1' && ch <= '9'; }))
        v.remove(0, 1);
    return {v, arrondi(u)};
}

QString TexteValeurIncertitude(double x, double u)
{
    const TValeurArrondie r = ArrondiIncertitude(x, u);
    if (r.valeur.isEmpty())
        return {};
    return r.valeur + QStringLiteral(" ± ") + r.incertitude;
}

double TEtalonnage::Absorbance(double c) const
{
    return pente * c + ordonnee;
}

double TEtalonnage::Concentration(double a) const
{
    return valide ? (a - ordonnee) / pente : Nan;
}

double TEtalonnage::Incertitude(double c) const
{
    if (!valide || std::isnan(s) || std::isnan(c))
        return Nan;
    if (ajustement == ajAffine)
        return s / pente * std::sqrt(1 + 1.0 / n + (c - moyenneC) * (c - moyenneC) / sxx);
    return s / pente * std::sqrt(1 + c * c / sommeC2);
}

QString TEtalonnage::Equation() const
{
    if (!valide)
        return QStringLiteral("Pas d'étalonnage");
    QString t = QStringLiteral("A = ") + Significatifs(pente, 4) + QStringLiteral("·")
                + grandeur.symbole;
    if (ajustement == ajAffine)
        t += (ordonnee < 0 ? QStringLiteral(" - ") : QStringLiteral(" + "))
             + Significatifs(std::fabs(ordonnee), 4);
    const QString unite = UnitePente(grandeur.unite);
    if (!unite.isEmpty())
        t += QStringLiteral(" (pente en ") + unite + QLatin1Char(')');
    return t;
}

QString TEtalonnage::TexteInconnu(qint32 j) const
{
    if (j < 0 || j >= qint32(concInconnus.size()))
        return {};
    return TexteValeurIncertitude(concInconnus[j], uInconnus[j]);
}

QString TEtalonnage::TextePanneau() const
{
    const QString rien = QStringLiteral("—");
    QStringList l;
    l << NomAjustement(ajustement) << Equation();
    if (valide)
        l << QStringLiteral("R² = ") + (std::isnan(r2) ? rien : Fixe(r2, 4));
    l << QStringLiteral("n = %1 étalon%2").arg(n).arg(n > 1 ? QStringLiteral("s") : QString());
    if (valide) {
        l << QStringLiteral("s = ") + (std::isnan(s) ? rien : Significatifs(s, 2));
        // The last unknown measured; the grid holds them all.
        for (qint32 j = qint32(concInconnus.size()) - 1; j >= 0; --j) {
            if (std::isnan(concInconnus[j]))
                continue;
            QString t = grandeur.symbole + QStringLiteral(" = ") + TexteInconnu(j);
            if (!grandeur.unite.isEmpty())
                t += QLatin1Char(' ') + grandeur.unite;
            l << t + QStringLiteral(" (dernier inconnu)");
            break;
        }
    }
    for (const QString& a : avertissements)
        l << QStringLiteral("Attention, ") + a;
    return l.join(QLatin1Char('\n'));
}

TEtalonnage Etalonne(std::span<const double> c, std::span<const double> a,
                     std::span<const double> aInconnus, TAjustement ajustement,
                     const TGrandeurEtalon& grandeur)
{
    TEtalonnage e;
    e.ajustement = ajustement;
    e.grandeur = grandeur;
    const std::size_t np = std::min(c.size(), a.size());
    e.conc.assign(c.begin(), c.begin() + np);
    e.abs.assign(a.begin(), a.begin() + np);
    e.absInconnus.assign(aInconnus.begin(), aInconnus.end());

    std::vector<qint32> etalons;
    for (std::size_t i = 0; i < np; ++i)
        if (EtalonQualifie(c[i], a[i]))
            etalons.push_back(qint32(i));
    const TSommes t = Somme(e.conc, e.abs, etalons);
    e.n = t.n;
    e.sommeC2 = t.scc;
    e.moyenneC = t.cMoy;
    e.sxx = t.sxx;
    if (!etalons.empty()) {
        const auto [mini, maxi] = std::minmax_element(
            etalons.begin(), etalons.end(), [&](qint32 i, qint32 j) { return c[i] < c[j]; });
        e.cMin = c[*mini];
        e.cMax = c[*maxi];
    }

    const double bruit = BruitRelatif * t.aMax;
    const TDroite d = Droite(ajustement, t);
    e.valide = d.pente > 0;
    if (e.valide) {
        e.pente = d.pente;
        e.ordonnee = std::fabs(d.ordonnee) > bruit ? d.ordonnee : 0;
        double ssRes = 0;
        for (qint32 i : etalons) {
            const double r = e.abs[i] - e.Absorbance(e.conc[i]);
            ssRes += r * r;
        }
        if (std::sqrt(ssRes / t.n) <= bruit)
            ssRes = 0;
        if (t.n >= 2 && t.syy > 0)
            e.r2 = 1 - ssRes / t.syy;
        const qint32 libres = t.n - Parametres(ajustement);
        if (libres >= 1)
            e.s = std::sqrt(ssRes / libres);
        if (ajustement == ajAffine)
            e.uOrdonnee = e.s * std::sqrt(1.0 / t.n + t.cMoy * t.cMoy / t.sxx);
    }

    e.concInconnus.reserve(e.absInconnus.size());
    e.uInconnus.reserve(e.absInconnus.size());
    for (double ai : e.absInconnus) {
        const double ci = std::isnan(ai) ? Nan : e.Concentration(ai);
        e.concInconnus.push_back(ci);
        e.uInconnus.push_back(e.Incertitude(ci));
    }
    e.avertissements = Avertissements(e, etalons, t, bruit);
    return e;
}

} // namespace kelvor
