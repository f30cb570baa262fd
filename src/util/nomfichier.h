#pragma once

#include <QString>

namespace kelvor {

// The name chosen in a save dialog, with "." + extension added when it has none.
QString AvecExtension(const QString& nom, const QString& extension);

} // namespace kelvor
