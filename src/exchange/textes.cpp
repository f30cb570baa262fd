#include "exchange/textes.h"

#include "instrument/cfgspect.h"
#include "util/cp1252.h"

#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

// Callers hand over graph counts and scan ranges; keep them inside the arrays.
qint32 Borne(qint32 n)
{
    return std::clamp<qint32>(n, 0, MaxIndiceVecteur + 1);
}

qint32 BorneLambda(qint32 lambda)
{
    return std::clamp<qint32>(lambda, 0, MaxIndiceVecteur);
}

QString LigneMarque(const TRepereTexte& r)
{
    return ReelToStrPoint(r.Valeur) + '\t' + UneLigne(r.Text);
}

// Two columns of user texts on one line.
QString Colonnes(const QString& a, const QString& b)
{
    return UneLigne(a) + '\t' + UneLigne(b);
}

void LignesConst(QStringList& donnees, const TValeursConstante& c)
{
    donnees << QString() << UneLigne(c.NomConst) << UneLigne(c.UniteConst)
            << UneLigne(c.ValeurConst);
}

} // namespace

QString DateHeureTexte(const QDateTime& instant)
{
    const QLocale locale;
    const QString heure = TexteHeures(instant.time().msecsSinceStartOfDay() / 1000);
    return locale.toString(instant.date(), QLocale::ShortFormat) + ' ' + heure;
}

QString DateHeureCourante()
{
    return DateHeureTexte(QDateTime::currentDateTime());
}

QString AbsSpectre(double a)
{
    // The instrument's own absorbance form; it only depends on the locale.
    static const Tspectro formes;
    return formes.StrAbs(a);
}

QString UneLigne(QString texte)
{
    for (QChar& c : texte)
        if (c == u'\r' || c == u'\n' || c == u'\t')
            c = u' ';
    return texte;
}

QString TexteBloc(const QStringList& lignes)
{
    QString texte;
    for (const QString& l : lignes)
        texte += l + QStringLiteral("\r\n");
    return texte;
}

QByteArray OctetsFichier(const QStringList& lignes)
{
    QByteArray octets;
    for (const QString& l : lignes)
        octets += EncodeCp1252(l) + "\r\n";
    return octets;
}

bool EcritFichierLignes(const QString& nom, const QStringList& lignes, QString* erreur)
{
    return EcritFichierOctets(nom, OctetsFichier(lignes), erreur);
}

bool EcritFichierOctets(const QString& nom, const QByteArray& octets, QString* erreur)
{
    QSaveFile fichier(nom);
    // Folders where no temporary file can be made still get their file.
    fichier.setDirectWriteFallback(true);
    if (!fichier.open(QIODevice::WriteOnly) || fichier.write(octets) != octets.size()
        || !fichier.commit()) {
        if (erreur)
            *erreur = fichier.errorString();
        fichier.cancelWriting();
        return false;
    }
    return true;
}

void AjouteConst(QStringList& donnees, const TValeursConstante& c)
{
    if (c.avecConstante)
        LignesConst(donnees, c);
}

QStringList BlocCinetique(const QString& executable, const QString& dateHeure,
                          const TValeursConstante& c, const Vecteur& x, const Vecteur& y,
                          qint32 n, const ListeReperes& reperes)
{
    QStringList l;
    l << executable << QStringLiteral("Cinétique  ") + dateHeure << UneLigne(c.Commentaire)
      << QStringLiteral("t\tA") << QStringLiteral("s\t");
    for (qint32 i = 0; i < Borne(n); ++i)
        l << ReelToStrPoint(x[i]) + '\t' + ReelToStrPoint(y[i]);
    AjouteConst(l, c);
    if (!reperes.isEmpty()) {
        l << QStringLiteral("&%1 REPERE").arg(reperes.size());
        for (const TRepereTexte& r : reperes)
            l << LigneMarque(r);
    }
    return l;
}

QStringList BlocSpectre(const QString& executable, const QString& dateHeure,
                        const TValeursConstante& c, const Vecteur& y, qint32 debut, qint32 fin)
{
    QStringList l;
    l << executable << UneLigne(c.Commentaire) + QStringLiteral(" spectre ") + dateHeure
      << QStringLiteral("lambda\tA") << QStringLiteral("nm\t");
    for (qint32 lambda = BorneLambda(debut); lambda <= BorneLambda(fin); ++lambda)
        if (!std::isnan(y[lambda]))
            l << QString::number(lambda) + '\t' + AbsSpectre(y[lambda]);
    // The spectrum follows the symbol typed now, not the flag of the last confirmation.
    if (!c.NomConst.isEmpty())
        LignesConst(l, c);
    return l;
}

QStringList BlocColonne(qint32 numero, const QString& commentaire, const Vecteur& y,
                        qint32 debut, qint32 fin)
{
    QStringList l;
    l << QString() << QStringLiteral("A%1\t").arg(numero) << QStringLiteral("\t")
      << UneLigne(commentaire) + '\t';
    for (qint32 lambda = BorneLambda(debut); lambda <= BorneLambda(fin); ++lambda)
        if (!std::isnan(y[lambda]))
            l << AbsSpectre(y[lambda]);
    return l;
}

QStringList EnteteTexteCinetique(const QString& instrument)
{
    return {QStringLiteral("Cinétique avec ") + instrument, QStringLiteral("t\tA"),
            QStringLiteral("s\t")};
}

QStringList PageTexteCinetique(const TValeursConstante& c, const Vecteur& x, const Vecteur& y,
                               qint32 n, const ListeReperes& reperes)
{
    QStringList l;
    for (qint32 i = 0; i < Borne(n); ++i)
        l << ReelToStrPoint(x[i]) + '\t' + ReelToStrPoint(y[i]);
    if (!reperes.isEmpty()) {
        l << QString() << QStringLiteral("REPERE");
        for (const TRepereTexte& r : reperes)
            l << LigneMarque(r);
    }
    if (c.avecConstante)
        l << QStringLiteral("&1 VALEUR CONST") << UneLigne(c.ValeurConst);
    return l;
}

QStringList TexteBeer(const QString& dateHeure, const TVariable& abscisse,
                      const TVariable& ordonnee, const Vecteur& x, const Vecteur& y, qint32 n)
{
    QStringList l;
    l << QStringLiteral("Loi de Beer-Lambert ") + dateHeure
      << Colonnes(abscisse.nom, ordonnee.nom) << Colonnes(abscisse.unite, ordonnee.unite)
      << Colonnes(abscisse.signif, ordonnee.signif);
    for (qint32 i = 0; i < Borne(n); ++i)
        l << ReelToStrPoint(x[i]) + '\t' + ReelToStrPoint(y[i]);
    return l;
}

} // namespace kelvor
