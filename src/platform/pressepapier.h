#pragma once

#include <QString>

namespace kelvor {

// Puts plain text on the system clipboard.
void CopiePressePapier(const QString& texte);
// The clipboard's plain text.
QString LitPressePapier();

} // namespace kelvor
