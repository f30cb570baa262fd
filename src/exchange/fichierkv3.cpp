#include "exchange/fichierkv3.h"

#include "util/dialogues.h"

#include <algorithm>

namespace kelvor {

const QString TitreSauvegardeDonnees = QStringLiteral("Sauvegarde données");
const QString FiltreSauvegardeDonnees =
    QStringLiteral("Kurvalis (*.kv3)|*.kv3|Tableur ASCII (*.txt)|*.txt");
const QString ExtensionKV3 = QStringLiteral("KV3");

namespace {

const QString Entete = QStringLiteral("MERIDANE KURVALIS WINDOWS 1.0");

qint32 Borne(qint32 n)
{
    return std::clamp<qint32>(n, 0, MaxIndiceVecteur + 1);
}

void Variables(QStringList& l, const TVariable& a, const TVariable& b)
{
    l << QStringLiteral("£2 NOM VAR") << UneLigne(a.nom) << UneLigne(b.nom);
    l << QStringLiteral("£2 UNITE VAR") << UneLigne(a.unite) << UneLigne(b.unite);
    l << QStringLiteral("£2 SIGNIF VAR") << UneLigne(a.signif) << UneLigne(b.signif);
}

void Acquisition(QStringList& l, const QString& executable)
{
    l << QStringLiteral("£1 ACQUISITION") << executable;
}

} // namespace

QString ChoisitFichierDonnees(const QString& nomPropose)
{
    return Dialogues().FichierSauve(TitreSauvegardeDonnees, FiltreSauvegardeDonnees,
                                    ExtensionKV3, nomPropose);
}

bool EstNomKV3(const QString& nom)
{
    return nom.endsWith(QLatin1String(".KV3"), Qt::CaseInsensitive);
}

QString NombreKV3(double x)
{
    return FormatGeneral(x, 7, 2, SeparateurDecimal());
}

QStringList EnteteKV3Cinetique(const QString& executable, const TValeursConstante& c)
{
    QStringList l{Entete};
    Variables(l, {QStringLiteral("t"), QStringLiteral("s"), QStringLiteral("durée")},
              {QStringLiteral("A"), QString(), QStringLiteral("Absorbance")});
    if (c.avecConstante) {
        l << QStringLiteral("£1 NOM CONST") << UneLigne(c.NomConst);
        l << QStringLiteral("£1 UNITE CONST") << UneLigne(c.UniteConst);
        l << QStringLiteral("£1 SIGNIF CONST") << UneLigne(c.SignifConst);
    }
    Acquisition(l, executable);
    return l;
}

QStringList PageKV3Cinetique(const TValeursConstante& c, const QString& instrument,
                             const QString& dateHeure, const Vecteur& x, const Vecteur& y,
                             qint32 n, const ListeReperes& reperes)
{
    QStringList l;
    l << QStringLiteral("£1 PAGE COMMENT");
    l << (c.Commentaire.isEmpty()
              ? QStringLiteral("Suivi de cinétique par spectro ") + instrument + dateHeure
              : UneLigne(c.Commentaire));
    const qint32 nb = Borne(n);
    l << QStringLiteral("&%1 VALEUR VAR").arg(nb);
    for (qint32 i = 0; i < nb; ++i)
        l << NombreKV3(x[i]) + ' ' + NombreKV3(y[i]);
    if (c.avecConstante)
        l << QStringLiteral("&1 VALEUR CONST") << UneLigne(c.ValeurConst);
    if (!reperes.isEmpty()) {
        l << QStringLiteral("&%1 REPERE").arg(reperes.size());
        for (const TRepereTexte& r : reperes)
            l << NombreKV3(r.Valeur) + '\t' + UneLigne(r.Text);
    }
    return l;
}

QStringList FichierKV3Beer(const QString& executable, const QString& dateHeure,
                           const TVariable& abscisse, const TVariable& ordonnee,
                           const Vecteur& x, const Vecteur& y, qint32 n)
{
    QStringList l{Entete};
    Variables(l, abscisse, ordonnee);
    Acquisition(l, executable);
    l << QStringLiteral("£1 PAGE COMMENT") << QStringLiteral("Loi de Beer-Lambert ") + dateHeure;
    const qint32 nb = Borne(n);
    l << QStringLiteral("&%1 VALEUR VAR").arg(nb);
    for (qint32 i = 0; i < nb; ++i)
        l << ReelToStrPoint(x[i]) + ' ' + ReelToStrPoint(y[i]);
    return l;
}

} // namespace kelvor
