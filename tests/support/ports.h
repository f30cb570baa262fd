#pragma once
// The program looks for the instrument on port numbers 1..50, each a device named by
// KELVOR_COM<n> (an empty value hides the port). Tests hide them all, then show the
// devices they mean to offer, so that a search never waits on real devices.

#include <QByteArray>
#include <QString>

inline void MontrePort(int n, const QString& peripherique)
{
    qputenv(("KELVOR_COM" + QByteArray::number(n)).constData(), peripherique.toLocal8Bit());
}

inline void CacheLesPorts()
{
    for (int n = 1; n <= 50; ++n)
        MontrePort(n, QString());
}
