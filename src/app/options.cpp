#include "app/options.h"

#include <QSet>
#include <cstdio>

namespace kelvor {

namespace {

constexpr quint16 DernierPort = 50;

// Toolkit options that take a value as the next argument.
bool OptionToolkitAvecValeur(const QString& a)
{
    static const QSet<QString> noms = {
        "platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
        "qwindowicon", "qwindowtitle", "style", "stylesheet", "display", "geometry",
        "title", "name", "session"};
    return noms.contains(a.mid(1));
}

bool AnalysePort(const QString& valeur, TOptions& o)
{
    const qsizetype egal = valeur.indexOf('=');
    bool ok = false;
    const uint n = valeur.left(egal).toUInt(&ok);
    if (egal <= 0 || !ok || n < 1 || n > DernierPort || egal == valeur.size() - 1) {
        o.erreur = QStringLiteral("--port attend N=PERIPHERIQUE avec N de 1 à %1 "
                                  "(par exemple --port 1=/dev/ttyUSB0), pas « %2 ».")
                       .arg(DernierPort)
                       .arg(valeur);
        return false;
    }
    o.ports.append({quint16(n), valeur.mid(egal + 1)});
    return true;
}

TOptions Erreur(const QString& texte)
{
    TOptions o;
    o.action = TOptions::oaErreur;
    o.erreur = texte;
    return o;
}

} // namespace

TOptions AnalyseOptions(const QStringList& arguments)
{
    TOptions o;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == "--help" || a == "-h" || a == "--version") {
            TOptions seule;
            seule.action = a == "--version" ? TOptions::oaVersion : TOptions::oaAide;
            return seule;
        }
        if (a == "--simulateur") {
            o.simulateur = true;
        } else if (a == "--port" || a.startsWith("--port=")) {
            QString valeur;
            if (a == "--port") {
                if (++i >= arguments.size())
                    return Erreur(QStringLiteral("--port attend N=PERIPHERIQUE."));
                valeur = arguments[i];
            } else {
                valeur = a.mid(7);
            }
            if (!AnalysePort(valeur, o))
                return Erreur(o.erreur);
        } else if (a.startsWith("--") || !a.startsWith('-') || a == "-") {
            return Erreur(QStringLiteral("argument inconnu « %1 ».").arg(a));
        } else if (OptionToolkitAvecValeur(a)) {
            ++i;
        }
    }
    return o;
}

QString TexteVersion()
{
    return QStringLiteral("kelvor %1\n").arg(QStringLiteral(KELVOR_VERSION));
}

QString TexteAide()
{
    return QStringLiteral(
        "Usage : kelvor [--port N=PERIPHERIQUE]... [--simulateur]\n"
        "Acquisition de spectres, de cinétiques et de droites de Beer-Lambert avec un\n"
        "spectrophotomètre Kelvor 51xx.\n"
        "\n"
        "Options :\n"
        "  --port N=PERIPHERIQUE  la voie COM N (1 à 50) est ce périphérique, par exemple\n"
        "                         --port 1=/dev/ttyUSB0 ; l'emporte sur KELVOR_COMN\n"
        "  --simulateur           démarre l'instrument simulé sur COM1, cache les autres\n"
        "                         voies (sauf celles de --port) et s'y connecte\n"
        "  --version              affiche la version et quitte\n"
        "  -h, --help             affiche cette aide et quitte\n"
        "\n"
        "Sans option, cliquer sur « Config. » puis « Connection » pour trouver l'instrument.\n"
        "La touche F1 ouvre le guide d'utilisation ; voir aussi « man kelvor ».\n");
}

int SortieOptions(const TOptions& options)
{
    switch (options.action) {
    case TOptions::oaVersion:
        std::fputs(TexteVersion().toLocal8Bit().constData(), stdout);
        return 0;
    case TOptions::oaAide:
        std::fputs(TexteAide().toLocal8Bit().constData(), stdout);
        return 0;
    case TOptions::oaErreur:
        std::fputs(QStringLiteral("kelvor : %1\nEssayez « kelvor --help ».\n")
                       .arg(options.erreur)
                       .toLocal8Bit()
                       .constData(),
                   stderr);
        return 2;
    case TOptions::oaLance:
        break;
    }
    return 0;
}

void AppliquePorts(const TOptions& options)
{
    const auto variable = [](quint16 n) { return "KELVOR_COM" + QByteArray::number(n); };
    if (options.simulateur) {
        for (quint16 n = 1; n <= DernierPort; ++n)
            qputenv(variable(n).constData(), QByteArray());
    }
    for (const auto& [n, peripherique] : options.ports)
        qputenv(variable(n).constData(), peripherique.toLocal8Bit());
}

} // namespace kelvor
