#pragma once
// The companion program's registry values. Windows keeps them under
// HKEY_CURRENT_USER\Software\Kurvalis; elsewhere the same tree lives in the user's
// native settings of the organisation "Kurvalis" (~/.config/Kurvalis.conf on Linux).

#include <QString>

namespace kelvor {

// Value `nom` of the key Software\Kurvalis (sousCle empty) or of
// Software\Kurvalis\<sousCle>; the empty text when the key or value is absent.
QString LitRegistreKurvalis(const QString& sousCle, const QString& nom);

} // namespace kelvor
