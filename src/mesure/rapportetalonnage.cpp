#include "mesure/rapportetalonnage.h"

#include "util/labutil.h"

#include <cmath>

namespace kelvor {

namespace {

QString Cellule(const QString& texte)
{
    if (!texte.contains(QLatin1Char(';')) && !texte.contains(QLatin1Char('"'))
        && !texte.contains(QLatin1Char('\r')) && !texte.contains(QLatin1Char('\n')))
        return texte;
    QString t = texte;
    t.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// Up to 15 significant digits, the locale's separator; empty for no value.
QString Nombre(double x)
{
    return std::isnan(x) ? QString() : FormatGeneral(x, 15, 0, SeparateurDecimal());
}

// "c (mol/L)", or the symbol alone without a unit.
QString AvecUnite(const QString& nom, const QString& unite)
{
    return unite.isEmpty() ? nom : nom + QStringLiteral(" (") + unite + QLatin1Char(')');
}

class TLignes
{
public:
    void Ajoute(std::initializer_list<QString> cellules)
    {
        QStringList l;
        for (const QString& c : cellules)
            l << Cellule(c);
        texte_ += l.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    }
    QByteArray Octets() const { return QByteArray("\xEF\xBB\xBF") + texte_.toUtf8(); }

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
              e.valide ? Nombre(e.pente) : QString()});
    if (e.ajustement == ajAffine) {
        l.Ajoute({QStringLiteral("Ordonnée à l'origine"), e.valide ? Nombre(e.ordonnee) : QString()});
        l.Ajoute({QStringLiteral("u(ordonnée)"), Nombre(e.uOrdonnee)});
    }
    l.Ajoute({QStringLiteral("R²"), Nombre(e.r2)});
    l.Ajoute({QStringLiteral("n"), QString::number(e.n)});
    l.Ajoute({QStringLiteral("s"), Nombre(e.s)});

    l.Ajoute({});
    l.Ajoute({QStringLiteral("Étalons")});
    l.Ajoute({AvecUnite(sym, unite), QStringLiteral("A"), QStringLiteral("Pris en compte")});
    for (std::size_t i = 0; i < e.conc.size(); ++i)
        l.Ajoute({Nombre(e.conc[i]), Nombre(e.abs[i]),
                  EtalonQualifie(e.conc[i], e.abs[i]) ? QStringLiteral("oui")
                                                      : QStringLiteral("non")});

    l.Ajoute({});
    l.Ajoute({QStringLiteral("Inconnus")});
    l.Ajoute({QStringLiteral("A"), AvecUnite(sym, unite),
              AvecUnite(QStringLiteral("u(") + sym + QLatin1Char(')'), unite)});
    for (std::size_t j = 0; j < e.absInconnus.size(); ++j) {
        const double u = e.uInconnus[j];
        // Rounded to its uncertainty when known; full precision otherwise.
        const TValeurArrondie r = std::isnan(u) ? TValeurArrondie{Nombre(e.concInconnus[j]), {}}
                                                : ArrondiIncertitude(e.concInconnus[j], u);
        l.Ajoute({Nombre(e.absInconnus[j]), r.valeur, r.incertitude});
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
