#include "mesure/analysecinet.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kelvor {

namespace {

constexpr double Infini = std::numeric_limits<double>::infinity();
constexpr double Nan = std::numeric_limits<double>::quiet_NaN();

// The usable points of a span, times taken from the first one.
struct TPoints
{
    double t0 = 0;
    std::vector<double> tau;
    std::vector<double> a;
    std::size_t n() const { return a.size(); }
};

TPoints PointsValides(std::span<const double> t, std::span<const double> a, std::size_t maxi)
{
    TPoints p;
    const std::size_t n = std::min(t.size(), a.size());
    for (std::size_t i = 0; i < n && p.n() < maxi; ++i) {
        if (!std::isfinite(t[i]) || !std::isfinite(a[i]))
            continue;
        if (p.tau.empty())
            p.t0 = t[i];
        p.tau.push_back(t[i] - p.t0);
        p.a.push_back(a[i]);
    }
    return p;
}

double Etendue(const std::vector<double>& v)
{
    const auto [mini, maxi] = std::minmax_element(v.begin(), v.end());
    return v.empty() ? 0.0 : *maxi - *mini;
}

double SommeCarresEcarts(const std::vector<double>& v)
{
    double m = 0;
    for (double x : v)
        m += x;
    m /= double(v.size());
    double s = 0;
    for (double x : v)
        s += (x - m) * (x - m);
    return s;
}

// Least-squares line a = b0 + b1·τ with the standard uncertainties of its coefficients.
struct TDroite
{
    bool valide = false;
    double b0 = 0, b1 = 0, ub1 = 0, sce = 0, s = 0;
    qint32 ddl = 0;
};

TDroite Droite(const TPoints& p)
{
    TDroite d;
    const std::size_t n = p.n();
    if (n < 2)
        return d;
    double mt = 0, ma = 0;
    for (std::size_t i = 0; i < n; ++i) {
        mt += p.tau[i];
        ma += p.a[i];
    }
    mt /= double(n);
    ma /= double(n);
    double stt = 0, sta = 0;
    for (std::size_t i = 0; i < n; ++i) {
        stt += (p.tau[i] - mt) * (p.tau[i] - mt);
        sta += (p.tau[i] - mt) * (p.a[i] - ma);
    }
    if (!(stt > 0))
        return d;
    d.b1 = sta / stt;
    d.b0 = ma - d.b1 * mt;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = p.a[i] - d.b0 - d.b1 * p.tau[i];
        d.sce += r * r;
    }
    d.ddl = qint32(n) - 2;
    d.s = d.ddl > 0 ? std::sqrt(d.sce / d.ddl) : Nan;
    d.ub1 = d.s / std::sqrt(stt);
    d.valide = true;
    return d;
}

// Orders 1 and 2 share the form A = A∞ + D·g(τ, c): g = e^(−cτ) for order 1 and
// 1/(1 + cτ) for order 2, where c = |D|·k′. Parameters: D, c, then A∞ when fitted.
double Forme(TOrdreCinet o, double tau, double c, double& dgdc)
{
    if (o == oc1) {
        const double e = std::exp(-c * tau);
        dgdc = -tau * e;
        return e;
    }
    const double g = 1.0 / (1.0 + c * tau);
    dgdc = -tau * g * g;
    return g;
}

using TParam = std::array<double, 3>;
using TMatrice = std::array<std::array<double, 3>, 3>;

struct TModeleNonLineaire
{
    TOrdreCinet ordre;
    const TPoints& pts;
    int m;  // 2 with A∞ held at 0, 3 with it fitted
    // Below this rate the curve is a straight line over the span: with A∞ free the fit
    // would chase c → 0 and A∞ → ∞ for ever, so the search stops at this bound.
    double cMini;
    mutable std::vector<double> formes;  // scratch for the scan

    double Valeur(const TParam& p, double tau, double& dgdc, double& g) const
    {
        g = Forme(ordre, tau, p[1], dgdc);
        return (m == 3 ? p[2] : 0.0) + p[0] * g;
    }

    // Residual sum of squares; infinite where the form has no value (1 + cτ ≤ 0).
    double Sce(const TParam& p) const
    {
        if (!(p[1] >= cMini))
            return Infini;
        double sce = 0, dg, g;
        for (std::size_t i = 0; i < pts.n(); ++i) {
            if (ordre == oc2 && 1.0 + p[1] * pts.tau[i] <= 0)
                return Infini;
            const double r = pts.a[i] - Valeur(p, pts.tau[i], dg, g);
            sce += r * r;
        }
        return std::isfinite(sce) ? sce : Infini;
    }

    // JᵀJ and Jᵀr of the residuals.
    void Normales(const TParam& p, TMatrice& h, TParam& b) const
    {
        h = {};
        b = {};
        double dg, g;
        for (std::size_t i = 0; i < pts.n(); ++i) {
            const double r = pts.a[i] - Valeur(p, pts.tau[i], dg, g);
            const double j[3] = {g, p[0] * dg, 1.0};
            for (int u = 0; u < m; ++u) {
                b[u] += j[u] * r;
                for (int v = 0; v < m; ++v)
                    h[u][v] += j[u] * j[v];
            }
        }
    }
};

// Inverse of a small symmetric positive matrix by Gauss-Jordan on its scaled form;
// false when it is singular for the precision at hand.
bool Inverse(const TMatrice& h, int m, TMatrice& inv)
{
    TParam echelle{};
    for (int i = 0; i < m; ++i) {
        if (!(h[i][i] > 0) || !std::isfinite(h[i][i]))
            return false;
        echelle[i] = 1.0 / std::sqrt(h[i][i]);
    }
    double a[3][6] = {};
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) {
            a[i][j] = h[i][j] * echelle[i] * echelle[j];
            a[i][m + j] = i == j ? 1.0 : 0.0;
        }
    for (int c = 0; c < m; ++c) {
        int pivot = c;
        for (int i = c + 1; i < m; ++i)
            if (std::abs(a[i][c]) > std::abs(a[pivot][c]))
                pivot = i;
        if (std::abs(a[pivot][c]) < 1e-13)
            return false;
        std::swap(a[c], a[pivot]);
        const double d = a[c][c];
        for (int j = 0; j < 2 * m; ++j)
            a[c][j] /= d;
        for (int i = 0; i < m; ++i) {
            if (i == c)
                continue;
            const double f = a[i][c];
            for (int j = 0; j < 2 * m; ++j)
                a[i][j] -= f * a[c][j];
        }
    }
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            inv[i][j] = a[i][m + j] * echelle[i] * echelle[j];
    return true;
}

// For a given rate c the form is linear in D and A∞: both come from a straight-line
// fit of A on g, which makes a robust scan of c (variable projection).
double SceProjetee(const TModeleNonLineaire& mod, double c, TParam& p)
{
    // Sums about the means: for a small c every g is close to 1 and the raw sums
    // would cancel.
    const std::size_t n = mod.pts.n();
    std::vector<double>& g = mod.formes;
    g.resize(n);
    double mg = 0, ma = 0, dg;
    for (std::size_t i = 0; i < n; ++i) {
        if (mod.ordre == oc2 && 1.0 + c * mod.pts.tau[i] <= 0)
            return Infini;
        g[i] = Forme(mod.ordre, mod.pts.tau[i], c, dg);
        mg += g[i];
        ma += mod.pts.a[i];
    }
    mg = mod.m == 3 ? mg / double(n) : 0.0;
    ma = mod.m == 3 ? ma / double(n) : 0.0;
    double sgg = 0, sga = 0, saa = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double u = g[i] - mg, v = mod.pts.a[i] - ma;
        sgg += u * u;
        sga += u * v;
        saa += v * v;
    }
    if (!(sgg > 0))
        return Infini;
    p[0] = sga / sgg;
    p[1] = c;
    p[2] = ma - p[0] * mg;
    return std::max(0.0, saa - p[0] * sga);
}

// Starting values: a logarithmic scan of c·(time span) from 0.02 to 100, then a
// golden-section search of ln c around the best step. With D and A∞ solved for each c
// this is the least-squares optimum itself; a curve with no curvature over the span
// ends on the lower bound instead of drifting towards c → 0, A∞ → ∞.
TParam Depart(const TModeleNonLineaire& mod)
{
    constexpr int pas = 40;
    const double cBas = 0.02 / Etendue(mod.pts.tau);
    const double raison = std::log(5000.0) / (pas - 1);
    TParam p{};
    int meilleur = 0;
    double sceMini = Infini;
    for (int j = 0; j < pas; ++j) {
        const double sce = SceProjetee(mod, cBas * std::exp(raison * j), p);
        if (sce < sceMini) {
            sceMini = sce;
            meilleur = j;
        }
    }
    const auto sceLn = [&](double u) { return SceProjetee(mod, std::exp(u), p); };
    double a = std::max(std::log(mod.cMini), std::log(cBas) + raison * (meilleur - 1));
    double b = std::log(cBas) + raison * (meilleur + 1);
    const double r = (std::sqrt(5.0) - 1) / 2;
    double u1 = b - r * (b - a), u2 = a + r * (b - a);
    double s1 = sceLn(u1), s2 = sceLn(u2);
    while (b - a > 1e-9) {
        if (s1 <= s2) {
            b = u2;
            u2 = u1;
            s2 = s1;
            u1 = b - r * (b - a);
            s1 = sceLn(u1);
        } else {
            a = u1;
            u1 = u2;
            s1 = s2;
            u2 = a + r * (b - a);
            s2 = sceLn(u2);
        }
    }
    SceProjetee(mod, std::exp((a + b) / 2), p);
    return p;
}

// Levenberg-Marquardt polish from the search's best point (a few steps at most: it starts
// at the optimum); the covariance is s²·(JᵀJ)⁻¹ at the end.
bool Marquardt(const TModeleNonLineaire& mod, TParam& p, TMatrice& cov, double& sce)
{
    const int m = mod.m;
    sce = mod.Sce(p);
    if (!std::isfinite(sce))
        return false;
    double lambda = 1e-3;
    TMatrice h;
    TParam b;
    for (int iteration = 0; iteration < 20; ++iteration) {
        mod.Normales(p, h, b);
        bool accepte = false;
        double sceNouvelle = sce;
        while (lambda < 1e12) {
            TMatrice amortie = h;
            for (int i = 0; i < m; ++i)
                amortie[i][i] *= 1.0 + lambda;
            TMatrice inv;
            if (Inverse(amortie, m, inv)) {
                TParam essai = p;
                for (int i = 0; i < m; ++i)
                    for (int j = 0; j < m; ++j)
                        essai[i] += inv[i][j] * b[j];
                sceNouvelle = mod.Sce(essai);
                if (sceNouvelle <= sce) {
                    p = essai;
                    accepte = true;
                    lambda = std::max(lambda / 10, 1e-12);
                    break;
                }
            }
            lambda *= 10;
        }
        const double gain = sce - sceNouvelle;
        if (accepte)
            sce = sceNouvelle;
        if (!accepte || gain <= 1e-10 * sce || sce <= 1e-300)
            break;
    }
    mod.Normales(p, h, b);
    TMatrice inv;
    if (!Inverse(h, m, inv))
        return false;
    const double s2 = sce / double(qint64(mod.pts.n()) - m);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j)
            cov[i][j] = s2 * inv[i][j];
    return true;
}

void Qualite(TAjustementCinet& f, double sce, double sct, qint64 n, int nbreParametres)
{
    f.ddl = qint32(n - nbreParametres);
    f.s = std::sqrt(sce / f.ddl);
    f.R2 = 1.0 - sce / sct;
}

double DemiVieValide(double x)
{
    return std::isfinite(x) && x > 0 ? x : Nan;
}

TAjustementCinet AjusteOrdre0(const TPoints& pts, double sct)
{
    TAjustementCinet f;
    f.ordre = oc0;
    f.t0 = pts.t0;
    const TDroite d = Droite(pts);
    if (!d.valide)
        return f;
    f.A0 = d.b0;
    f.k = -d.b1;
    f.uk = d.ub1;
    Qualite(f, d.sce, sct, qint64(pts.n()), 2);
    f.valide = true;
    return f;
}

TAjustementCinet AjusteCourbe(TOrdreCinet ordre, const TPoints& pts, double sct, bool libre)
{
    TAjustementCinet f;
    f.ordre = ordre;
    f.t0 = pts.t0;
    const TModeleNonLineaire mod{ordre, pts, libre ? 3 : 2, 0.002 / Etendue(pts.tau), {}};
    TParam p = Depart(mod);
    TMatrice cov{};
    double sce = 0;
    if (!Marquardt(mod, p, cov, sce))
        return f;
    const double d = p[0], c = p[1];
    f.AInf = libre ? p[2] : 0.0;
    f.A0 = f.AInf + d;
    if (ordre == oc1) {
        f.k = c;
        f.uk = std::sqrt(cov[1][1]);
        f.demiVie = DemiVieValide(std::log(2.0) / c);
    } else {
        // k′ = c/|D|: its variance follows from the covariance of D and c.
        const double absD = std::abs(d);
        f.k = c / absD;
        const double gD = -c * (d < 0 ? -1.0 : 1.0) / (d * d), gc = 1.0 / absD;
        f.uk = std::sqrt(std::max(0.0, gD * gD * cov[0][0] + 2 * gD * gc * cov[0][1]
                                           + gc * gc * cov[1][1]));
        f.demiVie = DemiVieValide(1.0 / c);
    }
    Qualite(f, sce, sct, qint64(pts.n()), mod.m);
    f.valide = std::isfinite(f.k) && std::isfinite(f.uk) && std::isfinite(f.s);
    return f;
}

QList<TOrdreCinet> Probables(const std::array<TAjustementCinet, NbreOrdresCinet>& f)
{
    QList<TOrdreCinet> ordres;
    for (const TAjustementCinet& a : f)
        if (a.valide)
            ordres.append(a.ordre);
    std::stable_sort(ordres.begin(), ordres.end(),
                     [&](TOrdreCinet x, TOrdreCinet y) { return f[x].s < f[y].s; });
    if (ordres.isEmpty())
        return ordres;
    const double s2Mini = f[ordres.first()].s * f[ordres.first()].s;
    ordres.removeIf([&](TOrdreCinet o) { return f[o].s * f[o].s > RapportIndecision * s2Mini; });
    return ordres;
}

QString Fixe(double v, int decimales)
{
    return QString::number(v, 'f', std::clamp(decimales, 0, 15)).replace('.', SeparateurDecimal());
}

// p significant digits in fixed notation.
QString Chiffres(double v, int p)
{
    if (!std::isfinite(v))
        return QStringLiteral("indéfini");
    if (v == 0)
        return QStringLiteral("0");
    return Fixe(v, p - 1 - int(std::floor(std::log10(std::abs(v)))));
}

QString TexteOrdres(QList<TOrdreCinet> ordres)
{
    std::sort(ordres.begin(), ordres.end());
    QString texte;
    for (qsizetype i = 0; i < ordres.size(); ++i) {
        if (i > 0)
            texte += i == ordres.size() - 1 ? QStringLiteral(" et ") : QStringLiteral(", ");
        texte += QString::number(int(ordres[i]));
    }
    return texte;
}

QString LigneAjustement(const TAjustementCinet& f, bool libre)
{
    QString ligne = QStringLiteral("Ordre %1 : ").arg(int(f.ordre));
    if (!f.valide)
        return ligne + QStringLiteral("ajustement impossible");
    ligne += QStringLiteral("k = ") + TexteIncertitude(f.k, f.uk) + ' ' + f.Unite();
    ligne += QStringLiteral(" ; t½ = ")
             + (std::isnan(f.demiVie) ? QStringLiteral("indéfini") : Chiffres(f.demiVie, 3) + " s");
    ligne += QStringLiteral(" ; R² = ") + Fixe(f.R2, 5);
    ligne += QStringLiteral(" ; s = ") + Chiffres(f.s, 3);
    if (libre && f.ordre != oc0)
        ligne += QStringLiteral(" ; A∞ = ") + Chiffres(f.AInf, 3);
    return ligne;
}

} // namespace

TPlage PlageTemps(const Vecteur& x, qint32 n, double t1, double t2)
{
    Ordonne(t1, t2);
    n = std::clamp<qint32>(n, 0, MaxIndiceVecteur + 1);
    TPlage p{n, n};
    for (qint32 i = 0; i < n; ++i)
        if (x[i] >= t1 && x[i] <= t2) {
            p.debut = std::min(p.debut, i);
            p.fin = i + 1;
        }
    if (p.fin <= p.debut)
        p = {0, 0};
    return p;
}

double TAjustementCinet::Modele(double t) const
{
    const double tau = t - t0;
    const double d = A0 - AInf;
    switch (ordre) {
    case oc0: return A0 - k * tau;
    case oc1: return AInf + d * std::exp(-k * tau);
    case oc2: return AInf + d / (1.0 + std::abs(d) * k * tau);
    }
    return Nan;
}

QString TAjustementCinet::Unite() const
{
    switch (ordre) {
    case oc0: return QStringLiteral("A·s⁻¹");
    case oc1: return QStringLiteral("s⁻¹");
    case oc2: return QStringLiteral("A⁻¹·s⁻¹");
    }
    return {};
}

const TAjustementCinet* TAnalyseCinet::Meilleur() const
{
    return probables.isEmpty() ? nullptr : &ajustements[probables.first()];
}

TAnalyseCinet AnalyseCinetique(std::span<const double> t, std::span<const double> a,
                               const TOptionsAnalyse& options)
{
    TAnalyseCinet r;
    r.options = options;
    const TPoints pts = PointsValides(t, a, std::numeric_limits<std::size_t>::max());
    r.nbrePoints = qint32(pts.n());
    r.vitesse = VitesseInitiale(t, a, options.NbrePointsVitesse);
    if (pts.n() < std::size_t(NbrePointsMiniAnalyse)) {
        r.message = QStringLiteral("Trop peu de points pour ajuster une loi de vitesse : "
                                   "%1 dans la plage, il en faut au moins %2.")
                        .arg(pts.n())
                        .arg(NbrePointsMiniAnalyse);
        return r;
    }
    r.tDebut = pts.t0 + *std::min_element(pts.tau.begin(), pts.tau.end());
    r.tFin = pts.t0 + *std::max_element(pts.tau.begin(), pts.tau.end());
    if (!(r.tFin > r.tDebut)) {
        r.message = QStringLiteral("Les points de la plage sont tous au même instant : "
                                   "aucune loi de vitesse ne peut être ajustée.");
        return r;
    }
    const double sct = SommeCarresEcarts(pts.a);
    if (!(sct > 0)) {
        r.message = QStringLiteral("L'absorbance ne varie pas sur la plage : "
                                   "aucune loi de vitesse ne peut être ajustée.");
        return r;
    }
    r.ajustements[oc1] = AjusteCourbe(oc1, pts, sct, options.AInfLibre);
    r.ajustements[oc2] = AjusteCourbe(oc2, pts, sct, options.AInfLibre);
    r.ajustements[oc0] = AjusteOrdre0(pts, sct);
    // A straight line has no end value: its half-life runs to the one the exponential finds.
    TAjustementCinet& f0 = r.ajustements[oc0];
    f0.AInf = !options.AInfLibre ? 0.0 : r.ajustements[oc1].valide ? r.ajustements[oc1].AInf : Nan;
    f0.demiVie = DemiVieValide((f0.A0 - f0.AInf) / (2 * f0.k));
    r.probables = Probables(r.ajustements);
    r.valide = !r.probables.isEmpty();
    if (!r.valide)
        r.message = QStringLiteral("Aucune loi de vitesse n'a pu être ajustée sur la plage.");
    return r;
}

TVitesseInitiale VitesseInitiale(std::span<const double> t, std::span<const double> a,
                                 qint32 nbrePoints)
{
    TVitesseInitiale v;
    if (nbrePoints < 3) {
        v.message = QStringLiteral("La vitesse initiale demande au moins 3 points.");
        return v;
    }
    const TPoints pts = PointsValides(t, a, std::size_t(nbrePoints));
    v.nbrePoints = qint32(pts.n());
    if (pts.n() < 3) {
        v.message = QStringLiteral("Trop peu de points pour la vitesse initiale : "
                                   "%1 dans la plage, il en faut au moins 3.")
                        .arg(pts.n());
        return v;
    }
    const TDroite d = Droite(pts);
    if (!d.valide) {
        v.message = QStringLiteral("Les premiers points sont tous au même instant : "
                                   "pas de vitesse initiale.");
        return v;
    }
    v.pente = d.b1;
    v.uPente = d.ub1;
    v.valide = true;
    return v;
}

TSerieLineaire SerieLineaire(const TAnalyseCinet& analyse, TOrdreCinet ordre,
                             std::span<const double> t, std::span<const double> a)
{
    const TAjustementCinet& f = analyse.Ajustement(ordre);
    const double d = f.A0 - f.AInf;
    const double signe = d < 0 ? -1.0 : 1.0;
    TSerieLineaire s;
    switch (ordre) {
    case oc0:
        s.nomY = QStringLiteral("A");
        s.ordonnee = f.A0;
        s.pente = -f.k;
        break;
    case oc1:
        s.nomY = d < 0 ? QStringLiteral("ln(A∞ − A)") : QStringLiteral("ln(A − A∞)");
        s.ordonnee = std::log(std::abs(d));
        s.pente = -f.k;
        break;
    case oc2:
        s.nomY = QStringLiteral("1/(A − A∞)");
        s.ordonnee = 1.0 / d;
        s.pente = signe * f.k;
        break;
    }
    if (!f.valide)
        return s;
    const std::size_t n = std::min(t.size(), a.size());
    for (std::size_t i = 0; i < n; ++i) {
        const double e = a[i] - f.AInf;
        double y = Nan;
        switch (ordre) {
        case oc0: y = a[i]; break;
        case oc1: y = signe * e > 0 ? std::log(signe * e) : Nan; break;
        case oc2: y = e != 0 ? 1.0 / e : Nan; break;
        }
        if (std::isfinite(t[i]) && std::isfinite(y))
            s.points.append(QPointF(t[i], y));
    }
    return s;
}

QString TexteVerdict(const TAnalyseCinet& analyse)
{
    const auto& p = analyse.probables;
    if (p.isEmpty())
        return {};
    if (p.size() == 1)
        return QStringLiteral("ordre %1 le plus probable").arg(int(p.first()));
    return QStringLiteral("ordres %1 trop proches pour trancher").arg(TexteOrdres(p));
}

QStringList LignesAnalyseCinet(const TAnalyseCinet& analyse)
{
    QStringList lignes;
    if (analyse.valide) {
        lignes << QStringLiteral("Plage : %1 s à %2 s, %3 points ; %4")
                      .arg(FormatGeneral(analyse.tDebut, 6, 1, SeparateurDecimal()),
                           FormatGeneral(analyse.tFin, 6, 1, SeparateurDecimal()))
                      .arg(analyse.nbrePoints)
                      .arg(analyse.options.AInfLibre ? QStringLiteral("A∞ ajusté")
                                                     : QStringLiteral("A∞ fixé à 0"));
        for (const TAjustementCinet& f : analyse.ajustements)
            lignes << LigneAjustement(f, analyse.options.AInfLibre);
        lignes << QStringLiteral("Verdict : ") + TexteVerdict(analyse);
    } else {
        lignes << analyse.message;
    }
    const TVitesseInitiale& v = analyse.vitesse;
    if (v.valide)
        lignes << QStringLiteral("Vitesse initiale (%1 points) : dA/dt = %2 A·s⁻¹")
                      .arg(v.nbrePoints)
                      .arg(TexteIncertitude(v.pente, v.uPente));
    else
        lignes << QStringLiteral("Vitesse initiale : ") + v.message;
    return lignes;
}

QString TexteIncertitude(double valeur, double incertitude)
{
    if (!std::isfinite(valeur))
        return QStringLiteral("indéfini");
    if (!std::isfinite(incertitude) || incertitude <= 0)
        return Chiffres(valeur, 4);
    const int decimales = 1 - int(std::floor(std::log10(incertitude)));
    return Fixe(valeur, decimales) + QStringLiteral(" ± ") + Fixe(incertitude, decimales);
}

} // namespace kelvor
