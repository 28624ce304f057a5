// The receiver facade with more than one caller: sequences never interleave
// on the line, a second caller is queued behind the running sequence (also
// when it asks from inside that sequence's waits), and transactions are
// bounded whatever the receiver does.
#include "common/fmt.h"
#include "link/commands.h"
#include "sim/simport.h"
#include "sim/simradio.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Facade : ::testing::Test {
    TestApp t;
    FakePanel panel;
    Receiver2 &rx = *t.rx;
    void SetUp() override { panel.attach(rx); }
    // Lets queued work run.
    void settle()
    {
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents();
    }
};

} // namespace

TEST_F(Facade, ASecondCallerDuringAWaitIsQueuedBehindTheRunningSequence)
{
    // A timer of another window fires while the first sequence waits
    // between its commands; its command must not land in the middle.
    bool secondRan = false;
    QTimer::singleShot(10, [&] {
        EXPECT_TRUE(rx.wouldQueue());
        EXPECT_FALSE(rx.bracket_cmd("N1")); // queued
        secondRan = true;
    });
    const bool ranNow = rx.bracket([&] {
        rx.send_cmd("A1");
        rx.wait_ms(60);
        rx.send_cmd("A0");
    });
    EXPECT_TRUE(ranNow);
    EXPECT_TRUE(secondRan);
    EXPECT_EQ(t.port.trace(), "H1|H1|A1|A0|H0|H0");
    settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|A1|A0|H0|H0|H1|H1|N1|H0|H0");
    EXPECT_FALSE(rx.busy());
}

TEST_F(Facade, QueuedRequestsRunInOrderCanBeCancelledAndNestedCallsRunInPlace)
{
    QStringList order;
    Receiver2::Ticket kept = 0, dropped = 0;
    QTimer::singleShot(5, [&] {
        rx.bracket([&] { order << "second"; rx.send_cmd("B1"); }, &kept);
        rx.bracket([&] { order << "cancelled"; rx.send_cmd("N1"); }, &dropped);
        rx.sequence([&] { order << "third"; rx.send_cmd("C001"); });
    });
    // Cancelled while still queued: not even its bracket goes out.
    QTimer::singleShot(20, [&] { EXPECT_TRUE(rx.cancel(dropped)); });
    rx.sequence([&] {
        order << "first";
        rx.hold();
        rx.wait_ms(40);
        // Called by the sequence itself (not during a wait): runs in place.
        EXPECT_TRUE(rx.bracket_cmd("D4"));
        rx.release();
    });
    settle();
    EXPECT_EQ(order, (QStringList{"first", "second", "third"}));
    EXPECT_EQ(t.port.trace(), "H1|H1|H1|H1|D4|H0|H0|H1|H1|B1|H0|H0|C001");
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_NE(kept, dropped);
    EXPECT_FALSE(rx.cancel(kept)); // it ran
    EXPECT_FALSE(rx.cancel(dropped));
}

TEST_F(Facade, TransactionsCollectToCrOrLengthAndAreBounded)
{
    struct Case {
        const char *name;
        QByteArray reply;
        int len;
        RxReply::Status status;
        QByteArray data;
    };
    const Case cases[] = {
        {"to CR, stale input dropped", "M123\rrest", -1, RxReply::Ok, "M123\r"},
        {"fixed length", "L000004095000001\r", 17, RxReply::Ok, "L000004095000001\r"},
        {"silent", "", -1, RxReply::NoAnswer, ""},
        {"short, no CR", "M1", -1, RxReply::NoAnswer, "M1"},
        {"short of the length", "L000", 17, RxReply::NoAnswer, "L000"},
    };
    t.app.replyTimeoutMs = 80;
    for (const Case &c : cases) {
        t.port.inject("stale");
        t.port.responder = [&](const QByteArray &) { return c.reply; };
        const RxReply r = rx.transact("M", c.len);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.data, c.data) << c.name;
    }
    // Outside a sequence a transaction is a sequence of its own (no bracket).
    EXPECT_EQ(t.port.trace(), "M|M|M|M|M");
}

TEST_F(Facade, TransactionFromAnotherCallerDuringASequenceIsBusyAndALostLineSaysSo)
{
    RxReply during;
    QTimer::singleShot(5, [&] { during = rx.transact("M"); });
    rx.bracket([&] { rx.wait_ms(40); });
    EXPECT_EQ(during.status, RxReply::Busy);
    EXPECT_FALSE(t.port.trace().contains("M"));

    t.port.pull();
    EXPECT_EQ(rx.transact("M").status, RxReply::Lost);
    EXPECT_EQ(t.prompter.asked.size(), 1); // the lost line is reported once
}

TEST_F(Facade, TuneChecksTheRangeAndTellsTheWindows)
{
    QStringList shown, tracked;
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](const QString &s) { shown << s; });
    QObject::connect(&rx, &Receiver2::trackingFrequency, [&](const QString &s) { tracked << s; });
    EXPECT_TRUE(rx.tune(9500, FreqFanout::Panel));
    EXPECT_FALSE(rx.tune(9.999, FreqFanout::Panel));
    EXPECT_FALSE(rx.tune(30000, FreqFanout::Panel));
    EXPECT_EQ(t.port.trace(), "H1|H1|F09500000|H0|H0");
    EXPECT_EQ(shown, QStringList{"9500.000"});
    EXPECT_EQ(tracked, QStringList{"9500.000"});
    EXPECT_EQ(rx.freqText(), "9500.000");
    EXPECT_EQ(panel.freq, "9500.000");
}

TEST_F(Facade, FollowingTheDialAgainstTheSimulatorLeavesTransactionsAlone)
{
    SimPort sim;
    QString err;
    ASSERT_TRUE(sim.open(&err));
    rx.setPort(&sim);
    QStringList dial, shown;
    QObject::connect(&rx, &Receiver2::dialFrequency, [&](const QString &s) { dial << s; });
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](const QString &s) { shown << s; });
    rx.wantReports(true, true);
    ASSERT_TRUE(waitUntil([&] { return sim.radio()->reportsOn() && !rx.busy(); }));

    sim.radio()->turnDial(7100000);
    ASSERT_TRUE(waitUntil([&] { return dial.contains("7100.000"); }));
    EXPECT_EQ(panel.freq, "7100.000");
    EXPECT_TRUE(shown.contains("7100.000")); // the list windows too

    // The knob keeps turning (it is locked while the receiver is in remote
    // control); a transaction in between still gets its own reply.
    QTimer knob;
    qint64 hz = 7100000;
    QObject::connect(&knob, &QTimer::timeout, [&] {
        if (!sim.radio()->remote())
            sim.radio()->turnDial(hz += 1000);
    });
    knob.start(7);
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(rx.refresh_panel());
        EXPECT_EQ(t.app.rxs.mode, sim.radio()->working().mode);
    }
    knob.stop();
    EXPECT_TRUE(t.prompter.asked.isEmpty()) << t.prompter.lastText().toStdString();
    ASSERT_TRUE(waitUntil([&] { return panel.freq == fmt::freqText(hz / 1000.0); }))
        << panel.freq.toStdString();

    // The RTTY page takes the line's text for itself: no reports meanwhile.
    QObject reader;
    EXPECT_TRUE(rx.claimStream(&reader));
    EXPECT_FALSE(rx.claimStream(&knob)); // one stream reader at a time
    ASSERT_TRUE(waitUntil([&] { return !sim.radio()->reportsOn() && !rx.busy(); }));
    rx.releaseStream(&reader);
    ASSERT_TRUE(waitUntil([&] { return sim.radio()->reportsOn() && !rx.busy(); }));

    rx.wantReports(false, true);
    ASSERT_TRUE(waitUntil([&] { return !sim.radio()->reportsOn() && !rx.busy(); }));
    EXPECT_FALSE(rx.auto_report);
    rx.setPort(&t.port);
}
