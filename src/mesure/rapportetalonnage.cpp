#include "mesure/rapportetalonnage.h"

#include "exchange/csv.h"

#include <cmath>

namespace kelvor {

namespace {

// "c (mol/L)", or the symbol alone without a unit.
QString AvecUnite(const QString& nom, const QString& unite)
{
    return unite.isEmpty() ? nom : nom + QStringLiteral(" (") + unite + QLatin1Char(')');
}

class TLignes
{
public:
    void Ajoute(const QStringList& cellules) { texte_ += LigneCsv(cellules); }
    QByteArray Octets() const { return OctetsCsv(texte_); }

private:
    QString texte_;
};

} // namespace

QByteArray RapportCsv(const TEtalonnage& e)
{
    const QString& sym = e.grandeur.symbole;
    const QString& unite = e.grandeur.unite;
    TLignes l;
    l.Ajoute({QStringLiteral("Étalonnage Beer-Lambert")});
    l.Ajoute({QStringLiteral("Ajustement"), NomAjustement(e.ajustement)});
    l.Ajoute({QStringLiteral("Équation"), e.Equation()});
    l.Ajoute({AvecUnite(QStringLiteral("Pente"), UnitePente(unite)),
              e.valide ? NombreCsv(e.pente) : QString()});
    if (e.ajustement == ajAffine) {
        l.Ajoute({QStringLiteral("Ordonnée à l'origine"),
                  e.valide ? NombreCsv(e.ordonnee) : QString()});
        l.Ajoute({QStringLiteral("u(ordonnée)"), NombreCsv(e.uOrdonnee)});
    }
    l.Ajoute({QStringLiteral("R²"), NombreCsv(e.r2)});
    l.Ajoute({QStringLiteral("n"), QString::number(e.n)});
    l.Ajoute({QStringLiteral("s"), NombreCsv(e.s)});

    l.Ajoute({});
    l.Ajoute({QStringLiteral("Étalons")});
    l.Ajoute({AvecUnite(sym, unite), QStringLiteral("A"), QStringLiteral("Pris en compte")});
    for (std::size_t i = 0; i < e.conc.size(); ++i)
        l.Ajoute({NombreCsv(e.conc[i]), NombreCsv(e.abs[i]),
                  EtalonQualifie(e.conc[i], e.abs[i]) ? QStringLiteral("oui")
                                                      : QStringLiteral("non")});

    l.Ajoute({});
    l.Ajoute({QStringLiteral("Inconnus")});
    l.Ajoute({QStringLiteral("A"), AvecUnite(sym, unite),
              AvecUnite(QStringLiteral("u(") + sym + QLatin1Char(')'), unite)});
    for (std::size_t j = 0; j < e.absInconnus.size(); ++j) {
        const double u = e.uInconnus[j];
        // Rounded to its uncertainty when known; full precision otherwise.
        const TValeurArrondie r = std::isnan(u) ? TValeurArrondie{NombreCsv(e.concInconnus[j]), {}}
                                                : ArrondiIncertitude(e.concInconnus[j], u);
        l.Ajoute({NombreCsv(e.absInconnus[j]), r.valeur, r.incertitude});
    }

    if (!e.avertissements.isEmpty()) {
        l.Ajoute({});
        l.Ajoute({QStringLiteral("Avertissements")});
        for (const QString& a : e.avertissements)
            l.Ajoute({a});
    }
    return l.Octets();
}

} // namespace kelvor
