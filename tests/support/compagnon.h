#pragma once
// A stand-in companion program for tests: it serves the service KURVALIS on the topic
// "ServeurDDE" and records every macro with the clipboard text at that moment.
// It lives in the test process because the clipboard is per process off screen.

#include "platform/ddelocal.h"
#include "platform/pressepapier.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QList>

namespace kelvor {

class TCompagnon
{
public:
    struct Recu
    {
        QByteArray macro;
        QString pressePapier;
    };

    explicit TCompagnon(const QString& service = QStringLiteral("KURVALIS"))
    {
        QObject::connect(&serveur, &TServeurDDE::MacroRecue, &serveur,
                         [this](const QStringList&, const QByteArray& brut) {
                             recus.push_back({brut, LitPressePapier()});
                         });
        ecoute = serveur.Ecoute(service, QStringLiteral("ServeurDDE"));
    }

    // Lets the event loop deliver until n macros arrived or the deadline passed.
    bool Attend(qsizetype n, int ms = 3000)
    {
        QDeadlineTimer fin(ms);
        while (recus.size() < n && !fin.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return recus.size() >= n;
    }

    QList<QByteArray> Macros() const
    {
        QList<QByteArray> l;
        for (const Recu& r : recus)
            l << r.macro;
        return l;
    }

    TServeurDDE serveur;
    bool ecoute = false;
    QList<Recu> recus;
};

} // namespace kelvor
