#pragma once
// What the measurement windows ask of the window that owns the instrument link.
// Each call is a blocking exchange that keeps the interface alive while it waits. A
// failure of the serial line is reported by the owner (a lost line once) and never
// thrown: the caller sees a reading that failed.

#include "instrument/cfgspect.h"

namespace kelvor {

class TAppareil
{
public:
    virtual ~TAppareil() = default;
    // Moves the monochromator; returns when the instrument answered or the wait gave up.
    virtual void GotoLambda(qint32 lambda) = 0;
    // Dark reading when none is stored yet, then a blank.
    virtual void SetBlancProc() = 0;
    // One absorbance, or the no-value NaN when the reading failed.
    virtual double getAbsorbance() = 0;
    // Enters a measurement mode (creates and shows its window when needed).
    virtual void SetMode(Tmode acq) = 0;
    // True while an exchange with the instrument is under way.
    virtual bool EchangeEnCours() const = 0;
};

} // namespace kelvor
