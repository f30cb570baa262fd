// kelvor-sim: a simulated Kelvor 51xx on a pseudo-terminal, for demos and manual tests.
// Prints the device to open, then takes control commands on standard input.

#include "simulateur.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

using namespace kelvor;

namespace {

const char* const aide =
    "Commandes :\n"
    "  help                     cette liste\n"
    "  cell solvent|sample|reaction   contenu de la cuve\n"
    "  conc X                   concentration (relative) de l'echantillon\n"
    "  rate K                   constante de vitesse de la reaction (1/s)\n"
    "  react                    la reaction commence maintenant\n"
    "  variant 5100|5105        numero de modele renvoye a CONNECT\n"
    "  noise on|off             bruit de mesure\n"
    "  mute on|off              plus aucune reponse\n"
    "  threewire on|off         ligne trois fils : CTS jamais leve, un port qui l'attend n'emet rien\n"
    "  garbage on|off           une ligne parasite avant chaque reponse\n"
    "  split N                  reponses ecrites par morceaux de N octets (0 = entieres)\n"
    "  crlf on|off              fin de ligne CR LF au lieu de CR\n"
    "  high on|off              octets 80..FF dans les reponses\n"
    "  late MS                  chaque reponse part MS ms en retard\n"
    "  longline N               N octets sans CR avant la prochaine reponse\n"
    "  cut N                    fermer la ligne apres N lignes du prochain balayage\n"
    "  deaf N                   ignorer les N prochaines commandes\n"
    "  swallow N                pas de reponse a la Nieme prochaine mesure avec lampe\n"
    "  send TEXTE               ecrire TEXTE suivi de CR sur la ligne\n"
    "  log                      commandes recues depuis le dernier 'clear'\n"
    "  clear                    vider le journal\n"
    "  close                    fermer la ligne (instrument debranche)\n"
    "  quit                     quitter\n";

// SIGINT/SIGTERM reach the event loop through a socket pair so the link gets removed.
int signalPaire[2] = {-1, -1};

void SurSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPaire[0], &c, 1);
}

bool Oui(const QString& s)
{
    return s == "on" || s == "1" || s == "oui" || s == "yes";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("kelvor-sim");
    QCommandLineParser options;
    options.setApplicationDescription("Spectrophotometre Kelvor 51xx simule sur un pseudo-terminal.");
    options.addHelpOption();
    QCommandLineOption variante("variant", "Modele annonce : 5100 ou 5105.", "modele", "5105");
    QCommandLineOption cadence("pace", "real (rythme de l'instrument) ou fast (sans attente).", "rythme", "real");
    QCommandLineOption graine("seed", "Graine du bruit de mesure.", "n", "5100");
    QCommandLineOption scenario("scenario", "demo (la cuve suit les fenetres) ou manual.", "nom", "demo");
    QCommandLineOption lien("link", "Cree aussi ce lien symbolique vers le peripherique.", "chemin");
    QCommandLineOption champs("fields", "Lignes de balayage avec un champ de plus (λ:I:A).");
    options.addOptions({variante, cadence, graine, scenario, lien, champs});
    options.process(app);

    TSimulateur sim;
    sim.modele = options.value(variante).toLatin1();
    sim.cadence = options.value(cadence) == "fast" ? TSimulateur::caLibre : TSimulateur::caReelle;
    sim.scenario = options.value(scenario) == "manual" ? TSimulateur::scManuel : TSimulateur::scDemo;
    sim.physique.Reinitialise(options.value(graine).toUInt());
    sim.champsEnPlus = options.isSet(champs);

    QTextStream sortie(stdout);
    QString erreur;
    if (!sim.Demarre(&erreur)) {
        QTextStream(stderr) << "kelvor-sim: " << erreur << Qt::endl;
        return 1;
    }
    QString chemin = sim.Peripherique();
    if (options.isSet(lien)) {
        const QString l = options.value(lien);
        QFile::remove(l);
        if (QFile::link(sim.Peripherique(), l))
            chemin = l;
        else
            QTextStream(stderr) << "kelvor-sim: lien impossible " << l << Qt::endl;
    }
    sortie << "Kelvor " << sim.modele << " simule sur " << chemin << Qt::endl;
    sortie << "Pour le programme : KELVOR_COM1=" << chemin << "  (help pour les commandes)" << Qt::endl;

    QObject::connect(&sim, &TSimulateur::LigneFermee, &app, [&] { sortie << "ligne fermee" << Qt::endl; });

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPaire) == 0) {
        std::signal(SIGINT, SurSignal);
        std::signal(SIGTERM, SurSignal);
    }
    QSocketNotifier arret(signalPaire[1], QSocketNotifier::Read);
    QObject::connect(&arret, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    QSocketNotifier clavier(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray saisie;
    QObject::connect(&clavier, &QSocketNotifier::activated, &app, [&] {
        char tampon[512];
        const ssize_t n = ::read(STDIN_FILENO, tampon, sizeof tampon);
        if (n <= 0) {
            clavier.setEnabled(false);   // end of input: keep simulating until killed
            return;
        }
        saisie.append(tampon, n);
        qsizetype fin;
        while ((fin = saisie.indexOf('\n')) >= 0) {
            const QString ligne = QString::fromUtf8(saisie.left(fin)).trimmed();
            saisie.remove(0, fin + 1);
            const QString mot = ligne.section(' ', 0, 0);
            const QString arg = ligne.section(' ', 1);
            auto& p = sim.pannes;
            if (mot.isEmpty())
                continue;
            if (mot == "help") sortie << aide;
            else if (mot == "cell") sim.MetCuve(arg == "sample" ? cuEchantillon : arg == "reaction" ? cuReaction : cuSolvant);
            else if (mot == "conc") sim.physique.concentration = arg.toDouble();
            else if (mot == "rate") sim.physique.constanteVitesse = arg.toDouble();
            else if (mot == "react") sim.DemarreReaction();
            else if (mot == "variant") sim.modele = arg.toLatin1();
            else if (mot == "noise") sim.physique.bruit = Oui(arg);
            else if (mot == "mute") p.muet = Oui(arg);
            else if (mot == "threewire") p.sansCts = Oui(arg);
            else if (mot == "garbage") p.dechets = Oui(arg);
            else if (mot == "split") p.decoupe = arg.toInt();
            else if (mot == "crlf") p.crlf = Oui(arg);
            else if (mot == "high") p.octetsHauts = Oui(arg);
            else if (mot == "late") p.retardMs = arg.toInt();
            else if (mot == "longline") p.ligneLongue = arg.toInt();
            else if (mot == "cut") p.coupureApres = arg.toInt();
            else if (mot == "deaf") p.ignoreProchaines = arg.toInt();
            else if (mot == "swallow") p.avaleLecture = arg.toInt();
            else if (mot == "send") sim.Emet(arg.toLatin1() + '\r');
            else if (mot == "log") {
                for (const QByteArray& c : sim.Commandes())
                    sortie << "  " << c << '\n';
            } else if (mot == "clear") sim.EffaceJournal();
            else if (mot == "close") sim.Ferme();
            else if (mot == "quit") app.quit();
            else { sortie << "commande inconnue (help)" << '\n'; }
            sortie.flush();
        }
    });

    const int code = app.exec();
    if (options.isSet(lien))
        QFile::remove(options.value(lien));
    return code;
}
