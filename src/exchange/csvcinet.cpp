#include "exchange/csvcinet.h"

#include "exchange/textes.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

// A cell holding the separator, a quote or a line break is quoted, quotes doubled.
QString Cellule(const QString& texte)
{
    static const QString speciaux = QStringLiteral(";\"\r\n");
    if (std::none_of(texte.begin(), texte.end(), [](QChar c) { return speciaux.contains(c); }))
        return texte;
    return '"' + QString(texte).replace('"', QStringLiteral("\"\"")) + '"';
}

// Seven significant digits, the locale's separator; no value gives an empty cell.
QString Nombre(double v)
{
    return std::isnan(v) ? QString() : FormatGeneral(v, 7, 2, SeparateurDecimal());
}

QString Rangee(const QStringList& cellules)
{
    QStringList c;
    for (const QString& s : cellules)
        c << Cellule(s);
    return c.join(';');
}

void AjouteAnalyse(QStringList& lignes, const TAnalyseCinet& a)
{
    lignes << QString() << Rangee({QStringLiteral("Analyse cinétique"),
                                   a.options.AInfLibre ? QStringLiteral("A∞ ajusté")
                                                       : QStringLiteral("A∞ fixé à 0")});
    if (!a.valide) {
        lignes << Rangee({a.message});
    } else {
        lignes << Rangee({QStringLiteral("Début (s)"), Nombre(a.tDebut)})
               << Rangee({QStringLiteral("Fin (s)"), Nombre(a.tFin)})
               << Rangee({QStringLiteral("Points"), QString::number(a.nbrePoints)})
               << Rangee({QStringLiteral("Ordre"), QStringLiteral("k"), QStringLiteral("u(k)"),
                          QStringLiteral("Unité de k"), QStringLiteral("t½ (s)"), QStringLiteral("R²"),
                          QStringLiteral("s"), QStringLiteral("A0"), QStringLiteral("A∞")});
        for (const TAjustementCinet& f : a.ajustements) {
            if (!f.valide) {
                lignes << Rangee({QString::number(int(f.ordre)), QStringLiteral("ajustement impossible")});
                continue;
            }
            lignes << Rangee({QString::number(int(f.ordre)), Nombre(f.k), Nombre(f.uk), f.Unite(),
                              Nombre(f.demiVie), Nombre(f.R2), Nombre(f.s), Nombre(f.A0),
                              Nombre(f.AInf)});
        }
        lignes << Rangee({QStringLiteral("Verdict"), TexteVerdict(a)});
    }
    const TVitesseInitiale& v = a.vitesse;
    if (v.valide)
        lignes << Rangee({QStringLiteral("Vitesse initiale (A·s⁻¹)"), Nombre(v.pente), Nombre(v.uPente),
                          QStringLiteral("%1 points").arg(v.nbrePoints)});
    else
        lignes << Rangee({QStringLiteral("Vitesse initiale"), v.message});
}

} // namespace

const QString FiltreCsv = QStringLiteral("Tableur CSV (*.csv)|*.csv");

QString NomFichierCsv(const QString& nom)
{
    return QFileInfo(nom).suffix().isEmpty() ? nom + QStringLiteral(".csv") : nom;
}

QByteArray CsvCinetique(const TRunCinetique& run, const TAnalyseCinet* analyse)
{
    QStringList lignes;
    lignes << Rangee({QStringLiteral("Cinétique à %1 nm").arg(run.Lambda), DateHeureTexte(run.Debut)})
           << QString() << Rangee({QStringLiteral("t (s)"), QStringLiteral("A")});
    const qint32 n = std::clamp<qint32>(run.n, 0, MaxIndiceVecteur + 1);
    for (qint32 i = 0; i < n; ++i)
        lignes << Rangee({Nombre(run.x[i]), Nombre(run.y[i])});
    if (!run.Reperes.empty()) {
        lignes << QString() << QStringLiteral("Repères") << Rangee({QStringLiteral("t (s)"), QStringLiteral("Texte")});
        for (const Trepere& r : run.Reperes)
            lignes << Rangee({Nombre(r.Valeur), r.Text});
    }
    if (analyse)
        AjouteAnalyse(lignes, *analyse);
    return QByteArray("\xEF\xBB\xBF") + TexteBloc(lignes).toUtf8();
}

} // namespace kelvor
