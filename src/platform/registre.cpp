#include "platform/registre.h"

#include <QSettings>

namespace kelvor {

QString LitRegistreKurvalis(const QString& sousCle, const QString& nom)
{
    QSettings reglages(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Kurvalis"));
    const QString cle = sousCle.isEmpty() ? nom : sousCle + '/' + nom;
    return reglages.value(cle).toString();
}

} // namespace kelvor
