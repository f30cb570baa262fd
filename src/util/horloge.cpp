#include "util/horloge.h"

#include <QElapsedTimer>
#include <QTime>

namespace kelvor {

namespace {

class THorlogeSysteme : public THorloge
{
public:
    THorlogeSysteme() { depart.start(); }
    double HeureDuJour() const override
    {
        return QTime::currentTime().msecsSinceStartOfDay() / 86400000.0;
    }
    qint64 Millisecondes() const override { return depart.elapsed(); }

private:
    QElapsedTimer depart;
};

THorloge* horlogeInstallee = nullptr;

} // namespace

THorloge& Horloge()
{
    static THorlogeSysteme systeme;
    return horlogeInstallee ? *horlogeInstallee : systeme;
}

void SetHorloge(THorloge* horloge)
{
    horlogeInstallee = horloge;
}

} // namespace kelvor
