#include "instrument/liaison.h"

#include "instrument/port.h"
#include "util/cp1252.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QScopeGuard>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace kelvor {

TLiaison::TLiaison(TPort& port, Tspectro& spectro, TVueLiaison& vue, QObject* parent)
    : QObject(parent), port(port), spectro(spectro), vue(vue)
{
    connect(&port, &TPort::OctetsDisponibles, this, &TLiaison::OctetsDisponibles);
    connect(&port, &TPort::LigneComplete, this, &TLiaison::LigneComplete);
    connect(&port, &TPort::Erreur, this, &TLiaison::SurErreurPort);
    veille = new QTimer(this);
    veille->setSingleShot(true);
    connect(veille, &QTimer::timeout, this, &TLiaison::SurSilence);
}

qint32 TLiaison::DelaiMs(qint32 s)
{
    return s * 1675 / 92 * 55;
}

qint32 TLiaison::AttenteGoto(qint32 lambda, qint32 lambdaCourante)
{
    return std::clamp(std::abs(lambda - lambdaCourante) / 32, 1, 10);
}

void TLiaison::OctetsDisponibles(qint64 n)
{
    char octet;
    for (qint64 i = 0; i < n && port.LitOctet(octet); ++i) {
        // CR, LF and every other control byte are dropped; 20..FF are kept.
        if (quint8(octet) >= 0x20 && chaineLue_.size() < TailleMaxLigne)
            chaineLue_.append(octet);
    }
}

void TLiaison::LigneComplete()
{
    // Taken out before handling: a handler that starts an exchange must find the
    // buffer empty, and must not have its own reply wiped when we return.
    const QByteArray ligne = std::exchange(chaineLue_, QByteArray());
    try {
        switch (lecture_) {
        case lBlanc:
            if (!ligne.isEmpty()) {
                spectro.SetBlanc(ligne);
                lecture_ = lNone;
            }
            break;
        case lObscurite:
            if (!ligne.isEmpty()) {
                spectro.SetObscurite(ligne);
                lecture_ = lNone;
            }
            break;
        case lLambda:
            spectro.SetLambda(ligne);
            lecture_ = lNone;
            break;
        case lAbs:
            if (!ligne.isEmpty()) {
                spectro.SetAbsorbance(ligne);
                absRecue = true;
                lecture_ = lNone;
            }
            break;
        case lConnect:
            spectro.modelNumber = ligne;
            if (ligne.contains("51"))
                lecture_ = lNone;
            break;
        case lLigneBase:
            RelanceVeille();
            vue.LigneBlanc(ligne);
            break;
        case lSpectre:
            RelanceVeille();
            vue.LigneSpectre(ligne);
            break;
        case lNoReading:
            spectro.SetNoReading(ligne);
            lecture_ = lNone;
            break;
        case lNone:
            break;
        }
    } catch (const EConvertError& e) {
        // The expectation stays: a good line may still come. The wait ends now, though.
        repondu = true;
        Signale(e.message);
    } catch (const std::exception& e) {
        // Never let a failure unwind through the serial layer's notification.
        repondu = true;
        Signale(QString::fromUtf8(e.what()));
    }
}

void TLiaison::Signale(const QString& message)
{
    erreursEnAttente.append(message);
    if (profondeur == 0)
        QMetaObject::invokeMethod(this, &TLiaison::SignaleEnAttente, Qt::QueuedConnection);
}

void TLiaison::SignaleEnAttente()
{
    // A box opened inside a wait would pump the loop under the exchange's feet.
    if (profondeur > 0)
        return;
    const QStringList messages = std::exchange(erreursEnAttente, QStringList());
    for (const QString& m : messages)
        vue.Erreur(m);
}

void TLiaison::RapporteEchec(const QString& message)
{
    if (perteSignalee && !port.EstOuvert())
        return;
    Signale(message);
}

void TLiaison::SurErreurPort(const QString& message)
{
    perteSignalee = true;
    SupprimeTrigger();
    Deconnecte();
    vue.Statut(message);
    Signale(message);
}

void TLiaison::Deconnecte()
{
    // During a search the attempt under way sees the closed port and moves on.
    if (recherche)
        return;
    if (lecture_ == lLigneBase || lecture_ == lSpectre) {
        vue.LiaisonPerdue();
        lecture_ = lNone;
    }
    etatSpectre_ = esInit;
    // The instrument may come back restarted, with its own readings count.
    spectro.NoReading = 0;
    vue.MajActions();
}

void TLiaison::Envoie(const QByteArray& c)
{
    port.Ecrit(c + '\r');
}

void TLiaison::DemarreBalayage(Tlecture attendu, const QByteArray& commande)
{
    lecture_ = attendu;
    etatSpectre_ = esEnCours;
    chaineLue_.clear();
    try {
        Envoie(commande);
    } catch (...) {
        // Nothing went out: no line will ever end this scan.
        FinBalayage();
        throw;
    }
    intervalleLignes = 0;
    ligneRecue = false;
    derniereLigne.start();
    veille->start(int(DelaiSilenceMs()));
}

void TLiaison::FinBalayage()
{
    lecture_ = lNone;
    etatSpectre_ = esAttente;
}

void TLiaison::Stop()
{
    if (etatSpectre_ != esInit)
        etatSpectre_ = esAttente;
    lecture_ = lNone;
}

void TLiaison::Attend(Tlecture e)
{
    lecture_ = e;
}

qint64 TLiaison::DelaiSilenceMs() const
{
    qint64 delai = std::max(SilenceMiniMs, 3 * intervalleLignes);
    // The instrument first travels to the start of the range before its first line.
    if (!ligneRecue)
        delai += 1000 * AttenteGoto(spectro.DebutLambda, spectro.LambdaCourante);
    return delai;
}

void TLiaison::RelanceVeille()
{
    // The time to the first line includes the travel to the start: not a line time.
    const qint64 ecoule = derniereLigne.restart();
    if (ligneRecue)
        intervalleLignes = ecoule;
    ligneRecue = true;
    veille->start(int(DelaiSilenceMs()));
}

void TLiaison::SurSilence()
{
    if (!BalayageEnCours())
        return;
    const qint64 secondes = std::max<qint64>((DelaiSilenceMs() + 500) / 1000, 1);
    const QString quoi = ligneRecue ? QStringLiteral("n'envoie plus rien depuis %1 s : le balayage est arrêté, "
                                                     "les points reçus sont gardés.")
                                    : QStringLiteral("n'a rien envoyé en %1 s : le balayage est arrêté, "
                                                     "rien n'a changé.");
    vue.BalayageMuet();
    FinBalayage();
    vue.MajActions();
    Signale(QStringLiteral("Le spectrophotomètre ") + quoi.arg(secondes)
            + QStringLiteral("\nVérifier le câble, l'adaptateur et l'alimentation du spectrophotomètre."));
}

void TLiaison::EnvoieCommande(Tlecture e, qint32 s, const QString& t, const QByteArray& c)
{
    vue.Sablier(true);
    if (profondeur == 0)
        vue.ActionsEchange(true);
    ++profondeur;
    etiquettes.append(t);
    // Runs however the exchange ends, a refused write included: the window never stays
    // in the waiting appearance. A nested exchange hands the panel back to the outer one.
    const auto fin = qScopeGuard([this] {
        etiquettes.removeLast();
        --profondeur;
        vue.Sablier(false);
        if (profondeur > 0) {
            vue.Etiquette(etiquettes.last());
            return;
        }
        vue.Etiquette(QString());
        vue.ActionsEchange(false);
        vue.MajActions();
        if (!erreursEnAttente.isEmpty())
            QMetaObject::invokeMethod(this, &TLiaison::SignaleEnAttente, Qt::QueuedConnection);
    });

    port.Purge();
    chaineLue_.clear();
    const Tlecture avant = lecture_;
    lecture_ = e;
    const qint64 delai = DelaiMs(s);
    vue.Etiquette(t);
    try {
        port.Ecrit(c + '\r');
    } catch (...) {
        // Nothing went out, so nothing is expected.
        lecture_ = avant;
        throw;
    }
    Attends(delai);
}

void TLiaison::Attends(qint64 delaiMs)
{
    // Each batch of events is followed by a check, so the wait ends as soon as the
    // dispatch (or "Stop", or a nested exchange) clears the expectation.
    const QDeadlineTimer limite(delaiMs, Qt::PreciseTimer);
    QTimer reveil;
    reveil.setTimerType(Qt::PreciseTimer);
    reveil.setSingleShot(true);
    reveil.start(int(delaiMs));
    repondu = false;
    while (lecture_ != lNone && !repondu && port.EstOuvert() && !limite.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        port.TraiteActivite();
    }
    repondu = false;
}

void TLiaison::GotoLambda(qint32 lambda)
{
    EnvoieCommande(lLambda, AttenteGoto(lambda, spectro.LambdaCourante), "Goto " + QString::number(lambda),
                   spectro.GotoLambda(lambda));
}

void TLiaison::SetObscuriteProc()
{
    if (spectro.CourantObscurite == 0)
        EnvoieCommande(lObscurite, 10, QStringLiteral("Obscurité"), spectro.getObscurite());
}

void TLiaison::SetBlancProc()
{
    SetObscuriteProc();
    EnvoieCommande(lBlanc, 2, QStringLiteral("Blanc"), spectro.getBlanc());
}

double TLiaison::getAbsorbance()
{
    // Only a reply dispatched during this exchange is a reading: a timeout, "Stop", a
    // lost line or a refused write must not hand back the previous absorbance.
    spectro.AbsCourante = PasDeValeur();
    absRecue = false;
    EnvoieCommande(lAbs, 3, QStringLiteral("Absorbance"), spectro.getAbs());
    return absRecue ? spectro.AbsCourante : PasDeValeur();
}

void TLiaison::VerifieNombreFlash(Tmode mode)
{
    if (!spectro.IsNumberReadingsOK(mode))
        EnvoieCommande(lNoReading, 2, QStringLiteral("Nombre de flash"), spectro.SetNumberReadings(mode));
}

void TLiaison::SetMode(Tmode acq)
{
    vue.ReinitEnvoi();
    AcquisitionEnCours_ = acq;
    VerifieNombreFlash(acq);
    vue.OuvreFenetre(acq);
}

void TLiaison::SupprimeTrigger()
{
    if (Hcommande_ != 0)
        port.SupprimeTrigger(Hcommande_);
    Hcommande_ = 0;
}

void TLiaison::EssaiPort(quint16 n)
{
    try {
        port.Ouvre(n);
        Hcommande_ = port.AjouteTrigger('\r');
        vue.Statut(QStringLiteral("Recherche du spectro sur COM") + QString::number(n));
        EnvoieCommande(lConnect, 1, QStringLiteral("Connect"), "CONNECT");
        if (lecture_ == lConnect) {
            SupprimeTrigger();
            port.Ferme();
            vue.Statut(QStringLiteral("Cliquer sur le bouton config."));
        } else {
            spectro.ComNumberS = n;
            perteSignalee = false;
            vue.Statut(QStringLiteral("Kelvor51xx ") + DecodeCp1252(spectro.modelNumber)
                       + QStringLiteral("trouvé sur COM") + QString::number(n));
            etatSpectre_ = esAttente;
            vue.Titre(spectro.NomConstructeur() + QStringLiteral(" : tracé de spectre pour Kurvalis"));
        }
    } catch (const EPortSerie& e) {
        SupprimeTrigger();
        port.Ferme();
        vue.Statut(QStringLiteral("Cliquer sur le bouton \"Config.\""));
        NoteEchecRecherche(e.message);
    }
}

void TLiaison::NoteEchecRecherche(const QString& message)
{
    if (premierEchecRecherche.isEmpty())
        premierEchecRecherche = message;
}

void TLiaison::SignaleEchecRecherche()
{
    // The port tried first is the one the user chose: its failure says what to do.
    const QString message = std::exchange(premierEchecRecherche, QString());
    if (etatSpectre_ == esInit && !message.isEmpty())
        Signale(message);
}

void TLiaison::InitAppareil()
{
    if (recherche)
        return;
    recherche = true;
    etatSpectre_ = esInit;
    vue.Sablier(true);
    premierEchecRecherche.clear();
    const auto fin = qScopeGuard([this] {
        recherche = false;
        AcquisitionEnCours_ = mSpectre;
        vue.Sablier(false);
        vue.MajActions();
        SignaleEchecRecherche();
    });
    vue.EffaceAffichages();
    const quint16 configure = spectro.ComNumberS;
    if (port.PortExiste(configure))
        EssaiPort(configure);
    for (quint16 n = 1; n <= 50 && etatSpectre_ == esInit; ++n) {
        if (n != configure && port.PortExiste(n))
            EssaiPort(n);
    }
}

void TLiaison::Adieu()
{
    if (!port.EstOuvert())
        return;
    try {
        port.Ecrit("DISCONNECT\r");
    } catch (const EPortSerie&) {
        // Leaving anyway; the instrument is gone or deaf.
    }
    port.Ferme();
}

} // namespace kelvor
