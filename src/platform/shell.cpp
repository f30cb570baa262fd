#include "platform/shell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace kelvor {

bool OuvreProgramme(const QString& chemin)
{
    if (chemin.isEmpty())
        return false;
    return QProcess::startDetached(chemin, {});
}

bool OuvrePage(const QString& adresse)
{
    return QDesktopServices::openUrl(QUrl(adresse));
}

} // namespace kelvor
