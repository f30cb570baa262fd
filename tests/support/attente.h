#pragma once
// Waits on a condition with the event loop running, never on the clock alone.

#include <QDeadlineTimer>
#include <QTest>

#include <functional>

// True as soon as the condition holds; false when the deadline passes first.
inline bool Attends(const std::function<bool()>& condition, int ms = 5000)
{
    return QTest::qWaitFor(condition, ms);
}

// For things that must NOT happen (a late line, a second box, a stray command): the
// condition is checked while events run for ms; false as soon as it breaks.
inline bool ResteVrai(const std::function<bool()>& condition, int ms)
{
    const QDeadlineTimer fin(ms);
    do {
        if (!condition())
            return false;
        QTest::qWait(5);
    } while (!fin.hasExpired());
    return condition();
}

// The awaited thing happens, and nothing after it within ms.
inline bool AttendsStable(const std::function<bool()>& condition, int ms, int delai = 5000)
{
    return Attends(condition, delai) && ResteVrai(condition, ms);
}
