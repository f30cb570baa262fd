#include "mesure/csvcinet.h"

#include "exchange/csv.h"
#include "exchange/textes.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

// Seven significant digits, the locale's separator; no value gives an empty cell.
QString Nombre(double v)
{
    return std::isnan(v) ? QString() : FormatGeneral(v, 7, 2, SeparateurDecimal());
}

void AjouteAnalyse(QString& lignes, const TAnalyseCinet& a)
{
    lignes += LigneCsv({}) + LigneCsv({QStringLiteral("Analyse cinétique"),
                                       a.options.AInfLibre ? QStringLiteral("A∞ ajusté")
                                                           : QStringLiteral("A∞ fixé à 0")});
    if (!a.valide) {
        lignes += LigneCsv({a.message});
    } else {
        lignes +=
            LigneCsv({QStringLiteral("Début (s)"), Nombre(a.tDebut)}) +
            LigneCsv({QStringLiteral("Fin (s)"), Nombre(a.tFin)}) +
            LigneCsv({QStringLiteral("Points"), QString::number(a.nbrePoints)}) +
            LigneCsv({QStringLiteral("Ordre"), QStringLiteral("k"), QStringLiteral("u(k)"),
                      QStringLiteral("Unité de k"), QStringLiteral("t½ (s)"), QStringLiteral("R²"),
                      QStringLiteral("s"), QStringLiteral("A0"), QStringLiteral("A∞")});
        for (const TAjustementCinet& f : a.ajustements) {
            if (!f.valide) {
                lignes += LigneCsv(
                    {QString::number(int(f.ordre)), QStringLiteral("ajustement impossible")});
                continue;
            }
            lignes += LigneCsv({QString::number(int(f.ordre)), Nombre(f.k), Nombre(f.uk), f.Unite(),
                                Nombre(f.demiVie), Nombre(f.R2), Nombre(f.s), Nombre(f.A0),
                                Nombre(f.AInf)});
        }
        lignes += LigneCsv({QStringLiteral("Verdict"), TexteVerdict(a)});
    }
    const TVitesseInitiale& v = a.vitesse;
    if (v.valide)
        lignes += LigneCsv({QStringLiteral("Vitesse initiale (A·s⁻¹)"), Nombre(v.pente),
                            Nombre(v.uPente), QStringLiteral("%1 points").arg(v.nbrePoints)});
    else
        lignes += LigneCsv({QStringLiteral("Vitesse initiale"), v.message});
}

} // namespace

const QString FiltreCsv = QStringLiteral("Tableur CSV (*.csv)|*.csv");

QByteArray CsvCinetique(const TRunCinetique& run, const TAnalyseCinet* analyse)
{
    QString lignes =
        LigneCsv({QStringLiteral("Cinétique à %1 nm").arg(run.Lambda), DateHeureTexte(run.Debut)}) +
        LigneCsv({}) + LigneCsv({QStringLiteral("t (s)"), QStringLiteral("A")});
    const qint32 n = std::clamp<qint32>(run.n, 0, MaxIndiceVecteur + 1);
    for (qint32 i = 0; i < n; ++i)
        lignes += LigneCsv({Nombre(run.x[i]), Nombre(run.y[i])});
    if (!run.Reperes.empty()) {
        lignes += LigneCsv({}) + LigneCsv({QStringLiteral("Repères")}) +
                  LigneCsv({QStringLiteral("t (s)"), QStringLiteral("Texte")});
        for (const Trepere& r : run.Reperes)
            lignes += LigneCsv({Nombre(r.Valeur), r.Text});
    }
    if (analyse)
        AjouteAnalyse(lignes, *analyse);
    return OctetsCsv(lignes);
}

} // namespace kelvor
