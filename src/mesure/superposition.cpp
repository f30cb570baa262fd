#include "mesure/superposition.h"

#include <algorithm>
#include <array>

namespace kelvor {

namespace {

struct TStyle
{
    QRgb couleur;
    Qt::PenStyle tirets;
};

// Dark colours that stay apart from the wavelength colours of the current spectrum, each
// with its own dash so that a printout in grey still tells them apart.
constexpr std::array<TStyle, TSuperposition::NbreMaxi - 1> Palette = {{
    {0xFF000000, Qt::DashLine},
    {0xFF1F4E9C, Qt::DotLine},
    {0xFFB03A2E, Qt::DashDotLine},
    {0xFF117A65, Qt::DashDotDotLine},
    {0xFF7D3C98, Qt::DashLine},
    {0xFF935116, Qt::DotLine},
    {0xFF566573, Qt::DashDotLine},
}};

QString MessagePlein()
{
    return QStringLiteral("Le graphe montre déjà %1 spectres : retirez-en un avant d'en ajouter un autre.")
        .arg(TSuperposition::NbreMaxi);
}

} // namespace

QString NomSpectreHeure(const QTime& heure)
{
    return QStringLiteral("Spectre ") + TexteHeures(heure.msecsSinceStartOfDay() / 1000);
}

void TSuperposition::DefinitCourant(const QString& nom, const Vecteur& y, qint32 debut, qint32 fin)
{
    TCourbeSpectre c{nom, y, debut, fin, true, QColor(), Qt::SolidLine, true};
    if (AvecCourant())
        courbes_.front() = std::move(c);
    else
        courbes_.prepend(std::move(c));
    courantGarde_ = false;
}

bool TSuperposition::AvecCourant() const
{
    return !courbes_.isEmpty() && courbes_.front().courant;
}

bool TSuperposition::Place(QString* erreur) const
{
    // The current spectrum's place stays free even before the first scan.
    if (courbes_.size() - (AvecCourant() ? 1 : 0) < NbreMaxi - 1)
        return true;
    if (erreur)
        *erreur = MessagePlein();
    return false;
}

void TSuperposition::AjouteAutre(TCourbeSpectre c)
{
    // The first style no spectrum on the graph wears, so a removed one's style comes back.
    const auto libre = std::find_if(Palette.begin(), Palette.end(), [this](const TStyle& s) {
        return std::none_of(courbes_.begin(), courbes_.end(), [&s](const TCourbeSpectre& k) {
            return !k.courant && k.couleur.rgba() == s.couleur;
        });
    });
    c.courant = false;
    c.couleur = QColor::fromRgba(libre->couleur);
    c.tirets = libre->tirets;
    c.visible = true;
    courbes_.append(std::move(c));
}

bool TSuperposition::Garde(QString* erreur)
{
    if (!AvecCourant() || courantGarde_) {
        if (erreur)
            *erreur = AvecCourant() ? QStringLiteral("Ce spectre est déjà gardé.")
                                    : QStringLiteral("Aucun spectre à garder.");
        return false;
    }
    if (!Place(erreur))
        return false;
    AjouteAutre(courbes_.front());
    courantGarde_ = true;
    return true;
}

bool TSuperposition::Ajoute(const QString& nom, const Vecteur& y, qint32 debut, qint32 fin,
                            QString* erreur)
{
    if (!Place(erreur))
        return false;
    TCourbeSpectre c;
    c.nom = nom;
    c.y = y;
    c.debut = debut;
    c.fin = fin;
    AjouteAutre(std::move(c));
    return true;
}

void TSuperposition::DefinitVisible(qsizetype i, bool visible)
{
    if (i >= 0 && i < courbes_.size())
        courbes_[i].visible = visible;
}

void TSuperposition::Retire(qsizetype i)
{
    if (i < 0 || i >= courbes_.size())
        return;
    if (courbes_[i].courant)
        courantGarde_ = false;
    courbes_.removeAt(i);
}

QString TSuperposition::TexteLegende() const
{
    QStringList lignes;
    for (const TCourbeSpectre& c : courbes_)
        lignes << (c.visible ? c.nom : c.nom + QStringLiteral(" (masqué)"));
    return lignes.join('\n');
}

QList<TCourbeSpectre> TSuperposition::Visibles() const
{
    QList<TCourbeSpectre> v;
    for (const TCourbeSpectre& c : courbes_)
        if (c.visible)
            v << c;
    return v;
}

} // namespace kelvor
