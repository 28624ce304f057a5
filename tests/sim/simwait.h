// Waiting helpers for the simulated receiver's tests, and a test program's
// line moved over to the simulated receiver.
#pragma once
#include "sim/simport.h"
#include "testkit.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

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

// The program's receiver talks to a simulated one (SimPort's radio and
// line speed, the program's reply bound) while this lives; then to the
// scripted port again.
struct SimulatedLine : SimPort {
    TestApp &t;
    explicit SimulatedLine(TestApp &app, SimRadio *radio = nullptr, int cps = PacedLine::kDefaultCps)
        : SimPort(radio, nullptr, cps), t(app)
    {
        EXPECT_TRUE(open(nullptr));
        t.rx->setPort(this);
        t.app.replyTimeoutMs = 1500;
    }
    ~SimulatedLine() override { t.rx->setPort(&t.port); }
};
