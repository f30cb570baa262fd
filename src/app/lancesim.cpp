#include "app/lancesim.h"

#include "app/options.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/prctl.h>
#endif

namespace kelvor {

QString CheminSimulateur()
{
    const QString voisin = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kelvor-sim"));
    if (QFileInfo(voisin).isExecutable())
        return voisin;
    return QStringLiteral(KELVOR_SIM_CONSTRUIT);
}

TLanceurSimulateur::~TLanceurSimulateur()
{
    Arrete();
}

QString TLanceurSimulateur::Peripherique() const
{
    return dossier.filePath(QStringLiteral("kelvor-sim"));
}

bool TLanceurSimulateur::Demarre(QString& erreur, const QString& programme)
{
    if (!dossier.isValid()) {
        erreur = QStringLiteral("Impossible de créer un dossier temporaire pour l'instrument simulé.");
        return false;
    }
    // Its messages would only clutter the terminal the program was started from.
    processus.setStandardOutputFile(QProcess::nullDevice());
#ifdef Q_OS_LINUX
    // A program that is killed or crashes takes its simulator with it.
    processus.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    processus.start(programme, {QStringLiteral("--link"), Peripherique()});
    if (!processus.waitForStarted(5000)) {
        erreur = QStringLiteral("Impossible de démarrer l'instrument simulé (%1) : %2")
                     .arg(programme, processus.errorString());
        return false;
    }
    const QDeadlineTimer delai(10000);
    while (!QFileInfo::exists(Peripherique())) {
        if (processus.state() != QProcess::Running || delai.hasExpired()) {
            erreur = QStringLiteral("L'instrument simulé (%1) n'a pas créé son périphérique.\n%2")
                         .arg(programme, QString::fromLocal8Bit(processus.readAllStandardError()).trimmed());
            Arrete();
            return false;
        }
        processus.waitForFinished(20);
    }
    return true;
}

void TLanceurSimulateur::Arrete()
{
    if (processus.state() == QProcess::NotRunning)
        return;
    // SIGTERM lets it remove its link.
    processus.terminate();
    if (!processus.waitForFinished(3000)) {
        processus.kill();
        processus.waitForFinished(1000);
    }
}

quint16 DemarreSimulateur(TLanceurSimulateur& lanceur, const TOptions& options, QString& erreur)
{
    quint16 n = 1;
    while (std::any_of(options.ports.cbegin(), options.ports.cend(),
                       [n](const auto& p) { return p.first == n; }))
        ++n;
    if (!lanceur.Demarre(erreur))
        return 0;
    qputenv(("KELVOR_COM" + QByteArray::number(n)).constData(), lanceur.Peripherique().toLocal8Bit());
    return n;
}

} // namespace kelvor
