#pragma once
// An instrument that answers from a script: queued absorbances, a journal of what was
// asked, and a switch that makes it look busy with an exchange.

#include "instrument/appareil.h"
#include "util/labutil.h"

#include <QList>
#include <QStringList>
#include <deque>
#include <gtest/gtest.h>

namespace kelvor {

class TAppareilScript : public TAppareil
{
public:
    std::deque<double> lectures;
    QStringList journal;
    QList<Tmode> modes;
    bool occupe = false;

    void GotoLambda(qint32 lambda) override { journal << QStringLiteral("GOTO %1").arg(lambda); }
    void SetBlancProc() override { journal << QStringLiteral("BLANC"); }
    double getAbsorbance() override
    {
        journal << QStringLiteral("ABS");
        if (lectures.empty()) {
            ADD_FAILURE() << "unexpected reading";
            return PasDeValeur();
        }
        const double a = lectures.front();
        lectures.pop_front();
        return a;
    }
    void SetMode(Tmode mode) override { modes << mode; }
    bool EchangeEnCours() const override { return occupe; }
};

} // namespace kelvor
