#include "simulateur.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace kelvor {

namespace {

// A command without terminator never exceeds this; anything longer is line noise.
constexpr qsizetype LongueurMaxCommande = 256;

qint64 MaintenantNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool Entier(const QByteArray& texte, qint32& valeur)
{
    bool ok = false;
    valeur = texte.toInt(&ok);
    return ok;
}

} // namespace

TSimulateur::TSimulateur(QObject* parent) : QObject(parent)
{
    depart.start();
    minuterie = new QTimer(this);
    minuterie->setSingleShot(true);
    connect(minuterie, &QTimer::timeout, this, [this] {
        pauseFaite = true;
        Suivant();
    });
}

TSimulateur::~TSimulateur()
{
    // Receivers may already be gone; going away is not the line being pulled.
    blockSignals(true);
    Ferme();
}

bool TSimulateur::Demarre(QString* erreur)
{
    auto echec = [&](const char* quoi) {
        if (erreur)
            *erreur = QStringLiteral("%1: %2").arg(quoi, QString::fromLocal8Bit(strerror(errno)));
        Ferme();
        return false;
    };
    maitre = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (maitre < 0)
        return echec("posix_openpt");
    if (grantpt(maitre) != 0 || unlockpt(maitre) != 0)
        return echec("grantpt/unlockpt");
    char nom[128];
    if (ptsname_r(maitre, nom, sizeof nom) != 0)
        return echec("ptsname");
    peripherique = QString::fromLocal8Bit(nom);
    esclave = ::open(nom, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (esclave < 0)
        return echec("open slave");
    // Raw from the start: no echo, no CR to LF mapping, before the program configures it.
    termios t{};
    if (tcgetattr(esclave, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(esclave, TCSANOW, &t);
    }
    lecture = new QSocketNotifier(maitre, QSocketNotifier::Read, this);
    connect(lecture, &QSocketNotifier::activated, this, &TSimulateur::Lit);
    ecriture = new QSocketNotifier(maitre, QSocketNotifier::Write, this);
    ecriture->setEnabled(false);
    connect(ecriture, &QSocketNotifier::activated, this, &TSimulateur::Vide);
    return true;
}

void TSimulateur::Ferme()
{
    const bool etaitOuvert = maitre >= 0;
    delete lecture;
    lecture = nullptr;
    delete ecriture;
    ecriture = nullptr;
    if (esclave >= 0)
        ::close(esclave);
    if (maitre >= 0)
        ::close(maitre);
    esclave = maitre = -1;
    enCoupure = false;
    file.clear();
    sortie.clear();
    minuterie->stop();
    if (etaitOuvert)
        emit LigneFermee();
}

bool TSimulateur::AttendCts() const
{
    termios t{};
    return esclave >= 0 && tcgetattr(esclave, &t) == 0 && (t.c_cflag & CRTSCTS) != 0;
}

void TSimulateur::Emet(const QByteArray& octets)
{
    Ecrit(octets);
}

void TSimulateur::DemarreReaction()
{
    physique.cuve = cuReaction;
    physique.debutReaction = Temps();
}

void TSimulateur::Lit()
{
    char tampon[4096];
    for (;;) {
        const ssize_t n = ::read(maitre, tampon, sizeof tampon);
        if (n <= 0) {
            // EIO cannot happen while the slave is held open; anything but "no more
            // data" means the line is gone.
            if (n < 0 && errno != EAGAIN && errno != EINTR)
                Ferme();
            return;
        }
        // On a three-wire line CTS never rises: a port that waits for it sends nothing.
        if (pannes.sansCts && AttendCts())
            continue;
        journal.append(tampon, n);
        for (ssize_t i = 0; i < n; ++i) {
            const char c = tampon[i];
            // LF also ends a command so that a person can type into a terminal.
            if (c == '\r' || c == '\n') {
                if (!entree.isEmpty()) {
                    const QByteArray commande = entree;
                    entree.clear();
                    Traite(commande);
                    if (maitre < 0)
                        return;
                }
            } else if (entree.size() < LongueurMaxCommande) {
                entree.append(c);
            }
        }
    }
}

void TSimulateur::Traite(const QByteArray& commande)
{
    commandes.append(commande);
    emit CommandeRecue(commande);
    InterromptBalayage();
    if (scenario == scDemo)
        CuveDemo(commande);
    if (pannes.ignoreProchaines > 0) {
        --pannes.ignoreProchaines;
        return;
    }
    const bool reel = cadence == caReelle;
    if (commande == "CONNECT") {
        Reponds(modele, reel ? 50 : 0, true);
    } else if (commande.startsWith("GOTO")) {
        qint32 cible = 0;
        if (!Entier(commande.mid(4), cible))
            return;
        const double atteinte = std::clamp(double(cible), MiniLambda(), 1000.0);
        const qint64 trajet = reel ? 100 + qint64(10 * std::abs(atteinte - position)) : 0;
        position = atteinte;
        Reponds(QByteArray::number(position, 'f', 1), trajet);
    } else if (commande == "MEASURE NO LAMP") {
        Reponds(QByteArray::number(physique.Obscurite()), reel ? 50 + 2 * nombreFlash : 0);
    } else if (commande == "MEASURE WITH LAMP") {
        if (pannes.avaleLecture > 0 && --pannes.avaleLecture == 0)
            return;
        Reponds(QByteArray::number(physique.Intensite(position, Temps())), reel ? 50 + 2 * nombreFlash : 0);
    } else if (commande.startsWith("NO OF READINGS ")) {
        qint32 n = 0;
        if (!Entier(commande.mid(15), n) || n <= 0)
            return;
        nombreFlash = n;
        Reponds(QByteArray::number(n), reel ? 20 : 0);
    } else if (commande.startsWith("SCAN:")) {
        const QList<QByteArray> champs = commande.split(':');
        qint32 debut = 0, fin = 0, pas = 0;
        if (champs.size() != 4 || !Entier(champs[1], debut) || !Entier(champs[2], fin)
            || !Entier(champs[3], pas) || pas <= 0 || debut > fin)
            return;
        Balayage(debut, fin, pas);
    }
    // "DISCONNECT" and unknown commands get no reply.
}

void TSimulateur::InterromptBalayage()
{
    // A command stops a scan still being streamed; replies already due still go out.
    if (file.empty())
        return;
    if (file.front().balayage) {
        minuterie->stop();
        pauseFaite = false;
    }
    std::erase_if(file, [](const TPaquet& p) { return p.balayage; });
    if (!minuterie->isActive())
        Suivant();
}

void TSimulateur::CuveDemo(const QByteArray& commande)
{
    static const double etalons[] = {0.25, 0.5, 0.75, 1.0, 1.25, 1.5};
    if (commande.startsWith("NO OF READINGS ")) {
        const int n = commande.mid(15).toInt();
        modeDemo = n == 10 ? dmCinetique : n == 200 ? dmBeer : dmSpectre;
        blancArme = true;
        etalon = 0;
    } else if (commande.startsWith("GOTO") || commande == "MEASURE NO LAMP") {
        blancArme = true;
    } else if (commande.startsWith("SCAN:")) {
        // The first scan of a run is the baseline; later ones see the sample.
        physique.cuve = balayagesFaits++ == 0 ? cuSolvant : cuEchantillon;
        physique.concentration = 1.0;
    } else if (commande == "MEASURE WITH LAMP") {
        if (blancArme || modeDemo == dmSpectre) {
            physique.cuve = cuSolvant;
            blancArme = false;
            reactionEnCours = false;
        } else if (modeDemo == dmCinetique) {
            if (!reactionEnCours) {
                physique.concentration = 1.5;
                DemarreReaction();
                reactionEnCours = true;
            }
        } else {
            physique.cuve = cuEchantillon;
            physique.concentration = etalons[etalon++ % std::size(etalons)];
        }
    }
}

QByteArray TSimulateur::Dechet()
{
    // Printable noise and high bytes but never a digit, so it can never pass for a reply.
    static const char alphabet[] = "#?!%&*~^ABCXYZqwz\xB0\xE9\xFF";
    QByteArray d;
    for (int i = 0; i < 7; ++i)
        d.append(alphabet[(compteurDechets++ * 7 + i) % (sizeof alphabet - 1)]);
    return d;
}

void TSimulateur::Reponds(const QByteArray& ligne, qint64 pauseMs, bool estConnect)
{
    if (pannes.muet)
        return;
    QByteArray octets;
    if (pannes.ligneLongue > 0) {
        octets.append(QByteArray(pannes.ligneLongue, 'Z'));
        pannes.ligneLongue = 0;
    }
    if (pannes.dechets)
        octets.append(Dechet() + FinDeLigne());
    if (injectionArmee) {
        octets.append(reponseInjectee);
        injectionArmee = false;
    } else {
        octets.append(ligne);
        if (estConnect && pannes.octetsHauts)
            octets.append(" \x80\xE9\xFF");
        octets.append(FinDeLigne());
    }
    Programme({pauseMs + pannes.retardMs, octets, false}, pannes.decoupe > 0);
}

qint64 TSimulateur::DureeLigne(qsizetype octets) const
{
    // 10 bits a byte at 9600 baud.
    return cadence == caReelle ? qint64(std::lround(octets * 10 * 1000.0 / 9600.0)) : 0;
}

void TSimulateur::Balayage(qint32 debut, qint32 fin, qint32 pas)
{
    if (pannes.muet)
        return;
    qint64 pause = pannes.retardMs + (cadence == caReelle ? 100 + 10 * qint64(std::abs(debut - position)) : 0);
    if (pannes.dechets) {
        Programme({pause, Dechet() + FinDeLigne(), false, true}, false);
        pause = 0;
    }
    const int coupure = pannes.coupureApres;
    pannes.coupureApres = -1;
    int n = 0;
    // One write per line in real time; in unthrottled mode the lines are gathered so the
    // pty is fed in large blocks.
    QByteArray bloc;
    for (qint32 lambda = debut; lambda <= fin; lambda += pas) {
        const double l = std::max(double(lambda), MiniLambda());
        const qint32 intensite = physique.Intensite(l, Temps());
        QByteArray ligne = QByteArray::number(lambda) + ':' + QByteArray::number(intensite);
        if (champsEnPlus)
            ligne += ':' + QByteArray::number(physique.Absorbance(l, Temps()), 'f', 3);
        if (pannes.octetsHauts)
            ligne += ":\x80\xA0\xFF";
        ligne += FinDeLigne();
        position = lambda;
        ++n;
        const bool coupe = n == coupure;
        if (cadence == caLibre && pannes.decoupe == 0) {
            bloc += ligne;
            if (coupe) {
                Programme({pause, bloc, true, true}, false);
                return;
            }
        } else {
            Programme({pause + DureeLigne(ligne.size()), ligne, coupe, true}, pannes.decoupe > 0);
            pause = 0;
            if (coupe)
                return;
        }
    }
    if (!bloc.isEmpty())
        Programme({pause, bloc, false, true}, false);
}

void TSimulateur::Programme(TPaquet paquet, bool decouper)
{
    if (enCoupure)
        return;
    if (decouper && paquet.octets.size() > pannes.decoupe) {
        const qsizetype taille = pannes.decoupe;
        for (qsizetype i = 0; i < paquet.octets.size(); i += taille) {
            const bool dernier = i + taille >= paquet.octets.size();
            file.push_back({i == 0 ? paquet.pauseMs : 2, paquet.octets.mid(i, taille),
                            dernier && paquet.fermeApres, paquet.balayage});
        }
    } else {
        file.push_back(std::move(paquet));
    }
    if (!minuterie->isActive())
        Suivant();
}

void TSimulateur::Suivant()
{
    while (!file.empty() && maitre >= 0) {
        TPaquet& p = file.front();
        if (p.pauseMs > 0 && !pauseFaite) {
            minuterie->start(int(p.pauseMs));
            return;
        }
        pauseFaite = false;
        const TPaquet paquet = std::move(p);
        file.pop_front();
        Ecrit(paquet.octets);
        if (paquet.fermeApres) {
            file.clear();
            enCoupure = true;
            // A moment for the kernel to hand the bytes to the slave side before counting.
            QTimer::singleShot(2, this, [this] { FermeQuandLu(1000); });
            return;
        }
    }
}

void TSimulateur::FermeQuandLu(int resteMs)
{
    // Closing the master discards what the slave has not read yet; the lines sent before
    // the cut must reach the program first. A program that never reads gets the cut anyway.
    if (maitre < 0)
        return;
    Vide();
    int nonLus = 0;
    const bool enAttente = !sortie.isEmpty() || (::ioctl(esclave, FIONREAD, &nonLus) == 0 && nonLus > 0);
    if (enAttente && resteMs > 0) {
        QTimer::singleShot(2, this, [this, resteMs] { FermeQuandLu(resteMs - 2); });
        return;
    }
    Ferme();
}

void TSimulateur::Ecrit(const QByteArray& octets)
{
    if (maitre < 0)
        return;
    sortie.append(octets);
    Vide();
}

void TSimulateur::Vide()
{
    while (!sortie.isEmpty() && maitre >= 0) {
        const ssize_t n = ::write(maitre, sortie.constData(), size_t(sortie.size()));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN)
                sortie.clear();
            break;
        }
        sortie.remove(0, n);
        octetsEmis += n;
    }
    if (sortie.isEmpty())
        instantEcriture = MaintenantNs();
    if (ecriture)
        ecriture->setEnabled(!sortie.isEmpty());
}

} // namespace kelvor
