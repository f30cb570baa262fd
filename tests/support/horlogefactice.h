#pragma once
// A clock that only moves when a test moves it.

#include "util/horloge.h"

namespace kelvor {

class THorlogeFactice : public THorloge
{
public:
    THorlogeFactice() { SetHorloge(this); }
    ~THorlogeFactice() override { SetHorloge(nullptr); }

    double heure = 0.5;     // time of day, days
    qint64 ms = 0;          // monotonic

    double HeureDuJour() const override { return heure; }
    qint64 Millisecondes() const override { return ms; }
    void Avance(qint64 millisecondes)
    {
        ms += millisecondes;
        heure += millisecondes / 86400000.0;
        if (heure >= 1.0)
            heure -= 1.0;
    }
};

} // namespace kelvor
