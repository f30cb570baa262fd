#pragma once
// Why a serial device can or cannot be used, told the way a user can act on it: a
// device that is missing, held by another program, or refused for lack of rights.

#include <QString>

namespace kelvor {

enum TAccesPort { apAbsent, apLibre, apOccupe, apRefuse };

// Opens the device for reading and writing, without making it the controlling
// terminal and without waiting for the carrier, then closes it again.
TAccesPort AccesPort(const QString& peripherique);

// The state as shown beside a port in the port dialog.
QString LibelleAcces(TAccesPort acces);

// What the user should do about port n on that device; empty for a free port.
QString MessageAcces(quint16 numero, const QString& peripherique, TAccesPort acces);

} // namespace kelvor
