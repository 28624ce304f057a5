// Waiting helpers for the simulated receiver's tests.
#pragma once
#include <QElapsedTimer>
#include <QTest>

// Runs the event loop until pred() holds; false when it did not within
// timeoutMs (generous: these tests must pass on a slow, busy machine).
template <class Pred>
bool waitUntil(Pred pred, int timeoutMs = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(2);
    }
    return true;
}
