#include "exchange/kurvalis.h"

#include "util/cp1252.h"

namespace kelvor {

QByteArray MacroEnvoi(Tenvoi ordre)
{
    switch (ordre) {
    case eAdd: return "CLIP|ADD";
    case eLoad: return "CLIP|LOAD";
    case eFocus: return "FOCUS";
    case eAddCol: return "CLIP|ADDCOL";
    }
    return {};
}

QString ApplicationKurvalis(const QString& cheminCle, const QString& cheminSousCle)
{
    if (!cheminCle.isEmpty())
        return cheminCle;
    if (!cheminSousCle.isEmpty())
        return cheminSousCle;
    return QStringLiteral("kurvalis.exe");
}

QString NomService(const QString& application)
{
    QString nom = application;
    const qsizetype sep = std::max(nom.lastIndexOf('/'), nom.lastIndexOf('\\'));
    if (sep >= 0)
        nom = nom.mid(sep + 1);
    const qsizetype point = nom.lastIndexOf('.');
    if (point > 0)
        nom.truncate(point);
    return nom.toUpper();
}

bool PermisColonne(TmodeKurvalis mode, bool addColPermis)
{
    return addColPermis && (mode == kFichier || mode == kColonne);
}

QStringList ItemsEnvoi(TmodeKurvalis mode, bool addColPermis)
{
    const QString fichier = QStringLiteral("Nouveau &fichier");
    const QString page = QStringLiteral("Nouvelle &page");
    const QString colonne = QStringLiteral("Nouvelle &colonne");
    switch (mode) {
    case kFichier:
        return addColPermis ? QStringList{fichier, page, colonne} : QStringList{fichier, page};
    case kColonne: return {fichier, colonne};
    case kPage: return {fichier, page};
    }
    return {fichier, page};
}

TmodeKurvalis ModeApresOK(TmodeKurvalis mode, int item)
{
    switch (item) {
    case 0: return kFichier;
    case 1: return mode == kFichier ? kPage : mode;
    case 2: return kColonne;
    }
    return mode;
}

Tenvoi OrdreSpectre(TmodeKurvalis mode)
{
    switch (mode) {
    case kFichier: return eLoad;
    case kColonne: return eAddCol;
    case kPage: return eAdd;
    }
    return eLoad;
}

Tenvoi OrdreTable(int item)
{
    return item == 1 ? eAdd : eLoad;
}

QString NomCommande(const QString& ligne)
{
    const qsizetype p = ligne.indexOf('(');
    return p >= 0 ? ligne.left(p) : ligne;
}

TActionMacro AnalyseMacro(const QStringList& lignes)
{
    if (lignes.size() != 1)
        return amAucune;
    const QString commande = NomCommande(lignes.first());
    if (commande.compare(QLatin1String("FOCUS"), Qt::CaseInsensitive) == 0
        || commande.compare(QLatin1String("GETDATA"), Qt::CaseInsensitive) == 0)
        return amFocus;
    // CONFIG|LOAD and CONFIG|SAVE are accepted and, like anything else, do nothing.
    return amAucune;
}

QStringList LignesMacro(const QByteArray& macro)
{
    QStringList lignes;
    const QString texte = DecodeCp1252(macro);
    qsizetype debut = 0;
    const qsizetype n = texte.size();
    while (debut < n) {
        qsizetype fin = debut;
        while (fin < n && texte[fin] != '\r' && texte[fin] != '\n')
            ++fin;
        lignes << texte.mid(debut, fin - debut);
        if (fin < n && texte[fin] == '\r')
            ++fin;
        if (fin < n && texte[fin] == '\n')
            ++fin;
        debut = fin;
    }
    return lignes;
}

} // namespace kelvor
