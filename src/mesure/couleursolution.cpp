#include "mesure/couleursolution.h"

#include "mesure/pointsspectre.h"
#include "util/tablescie.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kelvor {

namespace {

// Below this spread over the visible range the spectrum has no band to name.
constexpr double EcartBandeMini = 0.02;

// The absorbance on the 5 nm grid, or false when the points do not cover it gap-free.
bool AbsorbancesGrille(const TPointsSpectre& p, std::array<double, NbreCie>& a)
{
    // Last point at or before 380 nm and first at or after 780 nm.
    const auto apres = std::find_if(p.begin(), p.end(),
                                    [](const TPointSpectre& q) { return q.lambda > LambdaDebutCie; });
    const auto fin = std::find_if(p.begin(), p.end(),
                                  [](const TPointSpectre& q) { return q.lambda >= LambdaFinCie; });
    if (apres == p.begin() || fin == p.end())
        return false;
    const auto debut = apres - 1;

    const TEcarts e = Ecarts(debut, fin);
    if (e.maxi > e.mini)
        return false;

    auto q = debut;
    for (int i = 0; i < NbreCie; ++i) {
        const qint32 l = LambdaDebutCie + PasCie * i;
        while (q != fin && (q + 1)->lambda <= l)
            ++q;
        if (q->lambda == l) {
            a[i] = q->A;
        } else {
            const TPointSpectre& d = *(q + 1);
            a[i] = q->A + (d.A - q->A) * (l - q->lambda) / (d.lambda - q->lambda);
        }
    }
    return true;
}

double Transfert(double lineaire)
{
    const double v = std::clamp(lineaire, 0.0, 1.0);
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

int Octet(double v)
{
    return static_cast<int>(ArrondiPair(255 * v));
}

QString TexteAbsorption(const std::array<double, NbreCie>& a, const TCouleurSolution& c)
{
    const auto [bas, haut] = std::minmax_element(a.begin(), a.end());
    const QString parait = QStringLiteral(" → paraît ") + c.nom;
    if (*haut - *bas < EcartBandeMini)
        return (*haut < EcartBandeMini ? QStringLiteral("n'absorbe pas dans le visible")
                                       : QStringLiteral("absorbe tout le visible également"))
               + parait;
    return QStringLiteral("absorbe surtout vers %1 nm (%2)")
               .arg(c.lambdaAbsorbee)
               .arg(BandeSpectrale(c.lambdaAbsorbee))
           + parait;
}

} // namespace

TCouleurSolution CouleurSolution(const Vecteur& y, qint32 debut, qint32 fin)
{
    TCouleurSolution c;
    std::array<double, NbreCie> a{};
    if (!AbsorbancesGrille(PointsSpectre(y, debut, fin), a)) {
        c.texte = QStringLiteral("plage visible incomplète");
        return c;
    }

    double norme = 0;
    for (int i = 0; i < NbreCie; ++i) {
        const double st = D65Cie[i] * std::pow(10.0, -a[i]);
        c.X += st * XbarCie[i];
        c.Y += st * YbarCie[i];
        c.Z += st * ZbarCie[i];
        norme += D65Cie[i] * YbarCie[i];
    }
    const double k = 100 / norme;
    c.X *= k;
    c.Y *= k;
    c.Z *= k;

    // IEC 61966-2-1 matrix, XYZ scaled to 0..1.
    const double x = c.X / 100, yy = c.Y / 100, z = c.Z / 100;
    const double r = 3.2406 * x - 1.5372 * yy - 0.4986 * z;
    const double g = -0.9689 * x + 1.8758 * yy + 0.0415 * z;
    const double b = 0.0557 * x - 0.2040 * yy + 1.0570 * z;
    c.rgb = qRgb(Octet(Transfert(r)), Octet(Transfert(g)), Octet(Transfert(b)));
    c.hex = QString::asprintf("#%02X%02X%02X", qRed(c.rgb), qGreen(c.rgb), qBlue(c.rgb));
    c.nom = NomCouleur(c.rgb);
    c.lambdaAbsorbee = LambdaDebutCie + PasCie * static_cast<qint32>(std::max_element(a.begin(), a.end()) - a.begin());
    c.texte = TexteAbsorption(a, c);
    c.valide = true;
    return c;
}

QString NomCouleur(QRgb rgb)
{
    const double r = qRed(rgb) / 255.0, g = qGreen(rgb) / 255.0, b = qBlue(rgb) / 255.0;
    const double v = std::max({r, g, b});
    const double c = v - std::min({r, g, b});
    if (c < 0.08)
        return v >= 0.9 ? QStringLiteral("incolore") : v >= 0.25 ? QStringLiteral("gris") : QStringLiteral("noir");
    if (v < 0.2)
        return QStringLiteral("noir");

    double teinte = v == r ? 60 * (g - b) / c : v == g ? 60 * ((b - r) / c + 2) : 60 * ((r - g) / c + 4);
    if (teinte < 0)
        teinte += 360;
    struct TNom { double jusqua; const char16_t* nom; };
    static const TNom noms[] = {{15, u"rouge"},     {45, u"orangé"}, {70, u"jaune"},
                                {160, u"vert"},     {195, u"bleu-vert"}, {250, u"bleu"},
                                {280, u"violet"},   {335, u"pourpre"}, {361, u"rouge"}};
    for (const TNom& n : noms)
        if (teinte < n.jusqua)
            return QString::fromUtf16(n.nom);
    return QStringLiteral("rouge");
}

QString BandeSpectrale(qint32 lambda)
{
    struct TBande { qint32 jusqua; const char16_t* nom; };
    static const TBande bandes[] = {{430, u"violet"}, {480, u"bleu"},  {500, u"bleu-vert"},
                                    {560, u"vert"},   {580, u"jaune-vert"}, {595, u"jaune"},
                                    {620, u"orangé"}};
    for (const TBande& b : bandes)
        if (lambda < b.jusqua)
            return QString::fromUtf16(b.nom);
    return QStringLiteral("rouge");
}

} // namespace kelvor
