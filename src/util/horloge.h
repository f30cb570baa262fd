#pragma once
// Clock seam: time of day and elapsed time, so timed tests need not wait.

#include <QtGlobal>

namespace kelvor {

class THorloge
{
public:
    virtual ~THorloge() = default;
    // Current local time of day as a time value (days, fraction only), millisecond resolution.
    virtual double HeureDuJour() const = 0;
    // Monotonic milliseconds from an arbitrary origin; never jumps with the wall clock.
    virtual qint64 Millisecondes() const = 0;
};

// The clock in use: the system clock unless a test installed another one.
THorloge& Horloge();
// Installs a clock (nullptr restores the system clock); the caller keeps ownership.
void SetHorloge(THorloge* horloge);

} // namespace kelvor
