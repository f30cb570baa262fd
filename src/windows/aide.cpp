#include "windows/aide.h"

#include "platform/shell.h"
#include "util/dialogues.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

namespace kelvor {

QString DossierGuide()
{
    const QStringList candidats = {
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(KELVOR_GUIDE_RELATIF)),
        QStringLiteral(KELVOR_GUIDE_CONSTRUIT),
    };
    for (const QString& dossier : candidats) {
        if (QFileInfo::exists(QDir(dossier).filePath(QStringLiteral("index.html"))))
            return QDir::cleanPath(dossier);
    }
    return {};
}

QString PageGuide(const QString& page)
{
    const QString dossier = DossierGuide();
    if (dossier.isEmpty())
        return {};
    const QString fichier = QDir(dossier).filePath(page + QStringLiteral(".html"));
    if (!QFileInfo::exists(fichier))
        return {};
    return QUrl::fromLocalFile(fichier).toString();
}

void OuvreGuide(const QString& page)
{
    const QString adresse = PageGuide(page);
    if (adresse.isEmpty()) {
        Dialogues().Message(QStringLiteral("Le guide d'utilisation n'est pas installé (page « %1 »).")
                                .arg(page));
        return;
    }
    if (!OuvrePage(adresse))
        Dialogues().Message(QStringLiteral("Impossible d'ouvrir le guide : ") + adresse);
}

QAction* AjouteAide(QWidget* fenetre, const QString& page)
{
    auto* aide = new QAction(QStringLiteral("&Aide"), fenetre);
    aide->setShortcut(QKeySequence::HelpContents);
    aide->setShortcutContext(Qt::WindowShortcut);
    aide->setToolTip(QStringLiteral("Aide (F1)"));
    aide->setStatusTip(QStringLiteral("Ouvre le guide d'utilisation de cette fenêtre"));
    QObject::connect(aide, &QAction::triggered, fenetre, [page] { OuvreGuide(page); });
    fenetre->addAction(aide);
    return aide;
}

} // namespace kelvor
