// Waiting helpers for the simulated receiver's tests.
#pragma once
#include <QTest>

// Runs the event loop until pred() holds; false when it did not within
// timeoutMs (generous: these tests must pass on a slow, busy machine).
template <class Pred> bool waitUntil(Pred pred, int timeoutMs = 10000)
{
    return QTest::qWaitFor(pred, timeoutMs);
}
