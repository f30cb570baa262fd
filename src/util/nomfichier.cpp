#include "util/nomfichier.h"

#include <QFileInfo>

namespace kelvor {

QString AvecExtension(const QString& nom, const QString& extension)
{
    return QFileInfo(nom).suffix().isEmpty() ? nom + '.' + extension : nom;
}

} // namespace kelvor
