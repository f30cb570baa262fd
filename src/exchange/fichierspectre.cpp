#include "exchange/fichierspectre.h"

#include "util/cp1252.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cmath>

namespace kelvor {

QStringList LignesSpectre(const QString& dateHeure, const Vecteur& y, qint32 debut, qint32 fin)
{
    QStringList l;
    l << QStringLiteral("Spectre  ") + dateHeure << QStringLiteral("Lambda\tA")
      << QStringLiteral("nm\t");
    for (qint32 lambda = std::max(debut, 0); lambda <= std::min<qint32>(fin, MaxIndiceVecteur);
         ++lambda)
        if (!std::isnan(y[lambda]))
            l << QString::number(lambda) + '\t' + AbsSpectre(y[lambda]);
    return l;
}

bool EcritSpectre(const QString& nom, const QString& dateHeure, const Vecteur& y, qint32 debut,
                  qint32 fin, QString* erreur)
{
    return EcritFichierLignes(nom, LignesSpectre(dateHeure, y, debut, fin), erreur);
}

TSpectreLu AnalyseSpectre(const QByteArray& contenu, const Vecteur& y, qint32 mini, qint32 maxi)
{
    TSpectreLu lu;
    lu.y = y;
    mini = std::clamp<qint32>(mini, 0, MaxIndiceVecteur);
    maxi = std::clamp<qint32>(maxi, mini, MaxIndiceVecteur);
    for (qint32 l = mini; l <= maxi; ++l)
        lu.y[l] = PasDeValeur();

    const QList<QByteArray> lignes = contenu.split('\n');
    // A final line break leaves an empty last piece, which has no tab and is skipped.
    for (qsizetype i = 3; i < lignes.size(); ++i) {
        QByteArray ligne = lignes[i];
        if (ligne.endsWith('\r'))
            ligne.chop(1);
        const qsizetype tab = ligne.indexOf('\t');
        if (tab < 0)
            continue;
        bool ok = false;
        const int lambda = DecodeCp1252(ligne.left(tab)).trimmed().toInt(&ok);
        if (!ok || lambda < 0 || lambda > MaxIndiceVecteur)
            continue;
        lu.y[lambda] = StrToReel(DecodeCp1252(ligne.mid(tab + 1)));
    }

    lu.debut = maxi;
    for (qint32 l = mini; l <= maxi; ++l)
        if (!std::isnan(lu.y[l])) {
            lu.debut = l;
            break;
        }
    lu.fin = lu.debut;
    for (qint32 l = maxi; l > lu.debut; --l)
        if (!std::isnan(lu.y[l])) {
            lu.fin = l;
            break;
        }
    return lu;
}

bool EstTexte(const QByteArray& contenu)
{
    return std::none_of(contenu.cbegin(), contenu.cend(), [](char c) {
        return quint8(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
}

bool LitSpectre(const QString& nom, const Vecteur& y, qint32 mini, qint32 maxi, TSpectreLu& lu,
                QString* erreur)
{
    const auto refus = [&](const QString& message) {
        if (erreur)
            *erreur = message;
        return false;
    };
    QFile fichier(nom);
    if (!fichier.open(QIODevice::ReadOnly))
        return refus(fichier.errorString());
    // A read error ends the reading as if the file had ended there.
    const QByteArray contenu = fichier.read(TailleMaxFichierSpectre + 1);
    const QString natif = QDir::toNativeSeparators(nom);
    if (contenu.size() > TailleMaxFichierSpectre)
        return refus(QStringLiteral("Le fichier %1 dépasse 1 Mo : ce n'est pas un fichier de spectre "
                                    "(2049 points au plus). Le spectre affiché est gardé.")
                         .arg(natif));
    if (!EstTexte(contenu))
        return refus(QStringLiteral("Le fichier %1 n'est pas un fichier texte : ce n'est pas un "
                                    "fichier de spectre. Le spectre affiché est gardé.")
                         .arg(natif));
    lu = AnalyseSpectre(contenu, y, mini, maxi);
    return true;
}

} // namespace kelvor
