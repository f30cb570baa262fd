#include "mesure/spectre.h"

#include "exchange/fichierspectre.h"
#include "util/dialogues.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace kelvor {

namespace {

bool DansVecteur(qint32 l)
{
    return l >= 0 && l <= MaxIndiceVecteur;
}

bool ContientUnPoint(const Vecteur& y, qint32 mini, qint32 maxi)
{
    for (qint32 l = std::max(mini, 0); l <= maxi && DansVecteur(l); ++l)
        if (!std::isnan(y[l]))
            return true;
    return false;
}

} // namespace

TSpectre::TSpectre(Tspectro& spectro, TLiaison& liaison, TVueSpectre& vue)
    : spectro(spectro), liaison(liaison), vue(vue)
{
    Graphe.mondeX.nom = QStringLiteral("Lambda");
    Graphe.mondeX.unite = QStringLiteral("nm");
    Graphe.mondeY.nom = QStringLiteral("A");
    Graphe.mondeY.unite.clear();
    Graphe.SetMonde(spectro.MiniLambda(), 0, spectro.MaxiLambda, spectro.MaxiAbs);
}

// ---------------------------------------------------------------------------------------
// Range rules

qint32 TSpectre::DebutLache(qint32 lambda) const
{
    qint32 debut = lambda;
    if (debut < spectro.MiniLambda())
        debut = spectro.MiniLambda();
    if (debut > DebutMaxi())
        debut = DebutMaxi();
    return debut;
}

qint32 TSpectre::FinLache(qint32 lambda) const
{
    qint32 fin = lambda;
    if (fin > spectro.MaxiLambda)
        fin = spectro.MaxiLambda;
    if (fin < FinMini())
        fin = FinMini();
    return fin;
}

bool TSpectre::BlancCouvre(qint32 debut, qint32 fin) const
{
    return blancDebut <= debut && fin <= blancFin;
}

// ---------------------------------------------------------------------------------------
// Cursor

bool TSpectre::PointCurseur(qint32& lambda, double& a) const
{
    if (!dataOK) {
        lambda = 600;
        return false;
    }
    if (lambda < spectro.DebutLambda || lambda > spectro.FinLambda)
        return true;
    while (lambda < spectro.FinLambda && DansVecteur(lambda) && std::isnan(Graphe.valeurY[lambda]))
        ++lambda;
    a = DansVecteur(lambda) ? Graphe.valeurY[lambda] : PasDeValeur();
    return true;
}

// ---------------------------------------------------------------------------------------
// Scans

void TSpectre::DemarreBlanc(qint32 debut, qint32 fin)
{
    const qint32 pas = spectro.pasLambda;
    debut = std::max(pas * (debut / pas), spectro.MiniLambda());
    fin = pas * (fin / pas);
    if (fin > spectro.MaxiLambda)
        fin = spectro.MaxiLambda - pas;
    spectro.DebutLambda = debut;
    spectro.FinLambda = fin;
    // The fields bound the values: the range scanned is the one they then show.
    vue.MontreBornes(debut, fin);
    DemarreBalayage(lLigneBase);
    vue.MajActions();
    vue.Redessine();
}

void TSpectre::DemarreSpectre(qint32 debut, qint32 fin)
{
    SauvegardeAfaire = false;
    dataOK = false;
    for (qint32 l = spectro.MiniLambda(); l <= spectro.MaxiLambda && DansVecteur(l); ++l)
        Graphe.valeurY[l] = PasDeValeur();
    Graphe.mondeY.maxi = spectro.MaxiAbs;
    vue.Redessine();
    spectro.DebutLambda = debut;
    spectro.FinLambda = fin;
    DemarreBalayage(lSpectre);
    vue.MajActions();
}

void TSpectre::DemarreBalayage(Tlecture attendu)
{
    try {
        liaison.DemarreBalayage(attendu, spectro.Scan());
    } catch (...) {
        vue.MajActions();
        throw;
    }
    SuiviBalayage.Demarre(spectro.DebutLambda, spectro.pasLambda);
    vue.BalayageDemarre();
}

bool TSpectre::PointSuivant(const QByteArray& ligne)
{
    qint32 l = 0;
    qint32 intensite = 0;
    if (!SuiviBalayage.Accepte(ligne, l, intensite))
        return false;
    spectro.LambdaCourante = l;
    spectro.AbsIntCourante = intensite;
    return true;
}

qint32 TSpectre::Pourcentage(qint32 lambda) const
{
    const qint32 debut = spectro.DebutLambda;
    return std::clamp((lambda - debut) * 100 / std::max(spectro.FinLambda - debut, 1), 0, 100);
}

void TSpectre::PremierPointBlanc()
{
    for (qint32 l = std::max(spectro.DebutLambda, 0); l <= spectro.FinLambda && DansVecteur(l); ++l)
        spectro.AbsBlanc[l] = 0;
    // Anchor at the low end of the instrument's range.
    spectro.AbsBlanc[spectro.MiniLambda()] = spectro.AbsIntCourante;
}

void TSpectre::LigneBlanc(const QByteArray& ligne)
{
    if (!PointSuivant(ligne))
        return;
    if (SuiviBalayage.PointsRecus() == 1)
        PremierPointBlanc();
    const qint32 l = spectro.LambdaCourante;
    spectro.AbsBlanc[l] = spectro.AbsIntCourante;
    vue.Affiche(QStringLiteral("λ%1 nm").arg(l), QStringLiteral("A=0"));
    vue.Avancement(Pourcentage(l));
    if (l >= spectro.FinLambda) {
        Dialogues().Bip();
        spectro.AbsBlanc[spectro.MaxiLambda] = spectro.AbsIntCourante;
        NoteBlanc();
        liaison.FinBalayage();
        vue.MajActions();
        vue.Redessine();
        FinBalayage();
    }
}

void TSpectre::LigneSpectre(const QByteArray& ligne)
{
    if (!PointSuivant(ligne))
        return;
    spectro.SetAbsLambda();
    const qint32 l = spectro.LambdaCourante;
    Graphe.valeurY[l] = spectro.AbsCourante;
    vue.Affiche(QStringLiteral("λ%1 nm").arg(l), QStringLiteral("A=") + spectro.StrAbs(spectro.AbsCourante));
    vue.Avancement(Pourcentage(l));
    vue.Redessine();
    if (l >= spectro.FinLambda) {
        Dialogues().Bip();
        liaison.FinBalayage();
        FinSpectre();
        vue.BalayageFini();
        vue.MajActions();
        AnnonceIllisibles();
    }
}

void TSpectre::FinSpectre()
{
    const qint32 d = spectro.FinLambda - spectro.DebutLambda;
    dataOK = d > 16;
    SauvegardeAfaire = d > 16;
    if (d > 16) {
        Graphe.mondeY.maxi = Graphe.MaxiY();
        vue.SpectreTermine();
    }
    vue.Redessine();
}

void TSpectre::NoteBlanc()
{
    blancFait = true;
    blancDebut = spectro.DebutLambda;
    blancFin = spectro.FinLambda;
}

void TSpectre::FinBalayage()
{
    vue.BalayageFini();
    AnnonceIllisibles();
}

void TSpectre::AnnonceIllisibles()
{
    if (const qint32 n = SuiviBalayage.LignesIllisibles(); n > 0)
        vue.Statut(QStringLiteral("Balayage terminé : %1").arg(TexteLignesIllisibles(n)));
}

void TSpectre::Arrete(Tlecture l)
{
    // A scan stopped before its first point changes nothing: the previous baseline stays
    // whole and the range end is not moved to a wavelength never measured.
    const bool point = SuiviBalayage.PointsRecus() > 0;
    if (l == lSpectre && point) {
        spectro.FinLambda = SuiviBalayage.DernierLambda();
        vue.MontreBornes(spectro.DebutLambda, spectro.FinLambda);
        FinSpectre();
    } else if (l == lLigneBase && point) {
        spectro.FinLambda = SuiviBalayage.DernierLambda();
        spectro.AbsBlanc[spectro.MaxiLambda] = SuiviBalayage.DerniereIntensite();
        vue.MontreBornes(spectro.DebutLambda, spectro.FinLambda);
        NoteBlanc();
        vue.Redessine();
    }
    if (l == lSpectre || l == lLigneBase)
        FinBalayage();
    else
        vue.BalayageFini();
}

void TSpectre::Stop()
{
    const Tlecture l = liaison.lecture();
    Arrete(l);
    if (l != lConnect) {
        liaison.Stop();
        vue.MajActions();
    }
}

// ---------------------------------------------------------------------------------------
// Files

bool TSpectre::ContinueSansSauver() const
{
    return !SauvegardeAfaire
           || Dialogues().Confirme(QStringLiteral("Spectre non sauvé, on continue ?"), TDialogues::bOuiNon);
}

bool TSpectre::PeutOuvrir() const
{
    if (liaison.etatSpectre() == esEnCours) {
        // Reading a file now would mix it with the points still arriving.
        Dialogues().Message(QStringLiteral("Balayage en cours : l'arrêter avant d'ouvrir un fichier."));
        return false;
    }
    return ContinueSansSauver();
}

bool TSpectre::Ouvre(const QString& nom)
{
    TSpectreLu lu;
    QString erreur;
    if (!LitSpectre(nom, Graphe.valeurY, spectro.MiniLambda(), spectro.MaxiLambda, lu, &erreur)) {
        vue.Echec(erreur);
        return false;
    }
    if (!ContientUnPoint(lu.y, spectro.MiniLambda(), spectro.MaxiLambda)) {
        Dialogues().Message(QStringLiteral("Aucun point de spectre lisible dans le fichier %1.")
                                .arg(QDir::toNativeSeparators(nom)));
        return false;
    }
    Graphe.valeurY = lu.y;
    spectro.DebutLambda = lu.debut;
    spectro.FinLambda = lu.fin;
    vue.Redessine();
    return true;
}

bool TSpectre::Sauve(const QString& nom, const QString& dateHeure)
{
    QString erreur;
    if (!EcritSpectre(nom, dateHeure, Graphe.valeurY, spectro.DebutLambda, spectro.FinLambda, &erreur)) {
        vue.Echec(erreur);
        return false;
    }
    SauvegardeAfaire = false;
    return true;
}

} // namespace kelvor
