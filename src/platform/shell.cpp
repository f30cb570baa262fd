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

namespace {
TOuvreurPage ouvreurPage;
}

bool OuvrePage(const QString& adresse)
{
    if (ouvreurPage)
        return ouvreurPage(adresse);
    return QDesktopServices::openUrl(QUrl(adresse));
}

void SetOuvreurPage(TOuvreurPage ouvreur)
{
    ouvreurPage = std::move(ouvreur);
}

} // namespace kelvor
