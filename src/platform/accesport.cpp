#include "platform/accesport.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace kelvor {

TAccesPort AccesPort(const QString& peripherique)
{
    if (peripherique.isEmpty())
        return apAbsent;
#ifdef Q_OS_UNIX
    const QByteArray chemin = QFile::encodeName(peripherique);
    const int fd = ::open(chemin.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        ::close(fd);
        return apLibre;
    }
    switch (errno) {
    case EACCES:
    case EPERM:
        return apRefuse;
    case EBUSY:
        return apOccupe;
    default:
        // ENOENT, and also ENODEV, ENXIO, EIO: a node without a device behind it.
        return apAbsent;
    }
#else
    return QFile::exists(peripherique) ? apLibre : apAbsent;
#endif
}

QString LibelleAcces(TAccesPort acces)
{
    switch (acces) {
    case apLibre:
        return QStringLiteral("libre");
    case apOccupe:
        return QStringLiteral("occupée");
    case apRefuse:
        return QStringLiteral("accès refusé");
    case apAbsent:
        break;
    }
    return QStringLiteral("absente");
}

QString MessageAcces(quint16 numero, const QString& peripherique, TAccesPort acces)
{
    const QString voie = QStringLiteral("La voie série COM%1 (%2)").arg(numero).arg(peripherique);
    switch (acces) {
    case apLibre:
        return {};
    case apAbsent:
        return voie + QStringLiteral(" n'existe pas : l'adaptateur USB-série est-il branché ?");
    case apOccupe:
        return voie + QStringLiteral(" est occupée par un autre programme : fermez-le puis "
                                     "cliquez à nouveau sur « Connection ».");
    case apRefuse:
        break;
    }
    return voie + QStringLiteral(" existe, mais votre compte n'a pas le droit de l'ouvrir.\n"
                                 "Il doit faire partie du groupe « dialout » : un administrateur "
                                 "tape la commande\n"
                                 "    sudo adduser %1 dialout\n"
                                 "puis fermez la session et reconnectez-vous (le nouveau groupe "
                                 "ne compte qu'à la connexion suivante).")
                      .arg(qEnvironmentVariable("USER", QStringLiteral("votre-nom")));
}

} // namespace kelvor
