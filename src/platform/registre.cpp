#include "platform/registre.h"

#include <QSettings>

namespace kelvor {

QString LitRegistreKurvalis(const QString& sousCle, const QString& nom)
{
#ifdef Q_OS_WIN
    // An organisation-only QSettings would read ...\Kurvalis\OrganizationDefaults.
    QSettings reglages(QStringLiteral("HKEY_CURRENT_USER\\Software\\Kurvalis"),
                       QSettings::NativeFormat);
#else
    QSettings reglages(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kurvalis"));
#endif
    const QString cle = sousCle.isEmpty() ? nom : sousCle + '/' + nom;
    return reglages.value(cle).toString();
}

} // namespace kelvor
