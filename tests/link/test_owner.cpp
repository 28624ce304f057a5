// The line's owner: jobs run one at a time without a nested wait; a queued
// job can be cancelled; a job whose window goes away closes its bracket;
// transactions are bounded whatever the receiver does; one held session at
// a time; the line trace.
#include "common/fmt.h"
#include "link/commands.h"
#include "sim/simport.h"
#include "sim/simradio.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Owner : ::testing::Test {
    TestApp t;
    FakePanel panel;
    Receiver2 &rx = *t.rx;
    void SetUp() override { panel.attach(rx); }
};

TEST_F(Owner, JobsRunInTurnReturnTheirRepliesAndQueuedOnesCanBeCancelled)
{
    t.answerState("004095000001");
    std::optional<QString> state;
    QStringList order;
    rx.submit([&]() -> rxjob::Task<> {
        order << "first";
        state = co_await rx.aReadRxState();
    });
    // Submitted while the first waits: queued, so it never lands inside it.
    EXPECT_FALSE(rx.lineFree());
    rx.submit([&]() -> rxjob::Task<> {
        order << "second";
        rx.send_cmd("N1");
        co_return;
    });
    const Receiver2::Ticket dropped = rx.submit([&]() -> rxjob::Task<> {
        order << "cancelled";
        co_return;
    });
    const Receiver2::Ticket kept = rx.submitCmd("B1");
    EXPECT_TRUE(rx.cancel(dropped)); // nothing of it, not even its bracket, goes out
    t.settle();
    EXPECT_EQ(order, (QStringList{"first", "second"}));
    ASSERT_TRUE(state);
    EXPECT_EQ(*state, "X004095000001");
    EXPECT_EQ(t.port.trace(), "H1|H1|J1199|L199199|H0|H0|H1|H1|N1|H0|H0|H1|H1|B1|H0|H0");
    EXPECT_FALSE(rx.cancel(kept)); // it ran
    EXPECT_FALSE(rx.cancel(dropped));
}

TEST_F(Owner, AJobWhoseWindowGoesAwayStopsAndClosesItsBracket)
{
    auto *window = new QObject;
    bool resumed = false;
    rx.submit(
        [&]() -> rxjob::Task<> {
            rx.send_cmd("A1");
            co_await rx.pause(30);
            resumed = true;
            rx.send_cmd("A0");
        },
        true, window);
    auto *gone = new QObject;
    bool queuedRan = false;
    rx.submit([&]() -> rxjob::Task<> { queuedRan = true; co_return; }, false, gone);
    delete gone; // queued: never runs
    while (!t.port.commands().contains("A1"))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    delete window; // running, in its pause: not resumed
    t.settle();
    EXPECT_FALSE(resumed);
    EXPECT_FALSE(queuedRan);
    EXPECT_EQ(t.port.trace(), "H1|H1|A1|H0|H0");
    EXPECT_TRUE(rx.lineFree());

    // Outside the job bracket, a bracket its own steps opened is closed too.
    t.port.clearWrites();
    window = new QObject;
    rx.submit([&]() -> rxjob::Task<> { co_await rx.aBracket(true); resumed = true; }, false, window);
    delete window; // in the pause after the first H1
    t.settle();
    EXPECT_FALSE(resumed);
    EXPECT_EQ(t.port.trace(), "H1|H0|H0");
}

TEST_F(Owner, TransactionsCollectToCrOrLengthAndAreBounded)
{
    struct Case {
        const char *name;
        QByteArray reply;
        int len;
        RxReply::Status status;
        QByteArray data;
        bool dial = false; // a report in front is dropped only while the dial is followed
    };
    const Case cases[] = {
        {"to CR, stale input dropped", "M123\rrest", -1, RxReply::Ok, "M123\r"},
        {"fixed length", "L000004095000001\r", 17, RxReply::Ok, "L000004095000001\r"},
        {"silent", "", -1, RxReply::NoAnswer, ""},
        {"short, no CR", "M1", -1, RxReply::NoAnswer, "M1"},
        {"short of the length", "L000", 17, RxReply::NoAnswer, "L000"},
        {"report, not followed", "I024071010002\rM123\r", 4, RxReply::Ok, "I024071010002\rM123\r"},
        {"report, followed", "I024071010002\rM123\r", 4, RxReply::Ok, "M123\r", true},
    };
    t.app.replyTimeoutMs = 80;
    for (const Case &c : cases) {
        t.setReportsOn(c.dial);
        t.port.inject("stale");
        t.port.responder = [&](const QByteArray &) { return c.reply; };
        const RxReply r = t.run([&] { return rx.aTransact("M", c.len); });
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.data, c.data) << c.name;
    }
    t.setReportsOn(false);
    EXPECT_EQ(t.port.trace(), "M|M|M|M|M|M|M");

    t.port.pull();
    EXPECT_EQ(t.run([&] { return rx.aTransact("M"); }).status, RxReply::Lost);
    EXPECT_EQ(t.prompter.asked.size(), 1); // the lost line is reported once
}

TEST_F(Owner, FollowingTheDialAgainstTheSimulatorLeavesTransactionsAlone)
{
    SimPort sim;
    QString err;
    ASSERT_TRUE(sim.open(&err));
    rx.setPort(&sim);
    // With fanout the dial is told as the receiver's, which the list windows follow too.
    QList<qint64> shown;
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](qint64 hz, Origin o) {
        if (o == Origin::Receiver)
            shown << hz;
    });
    rx.wantReports(true, true);
    ASSERT_TRUE(waitUntil([&] { return sim.radio()->reportsOn() && rx.lineFree(); }));

    sim.radio()->turnDial(7100000);
    ASSERT_TRUE(waitUntil([&] { return shown.contains(7100000); }));
    EXPECT_EQ(panel.freq, "7100.000");

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
        ASSERT_TRUE(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }));
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
    ASSERT_TRUE(waitUntil([&] { return !sim.radio()->reportsOn() && rx.lineFree(); }));
    rx.releaseStream(&reader);
    ASSERT_TRUE(waitUntil([&] { return sim.radio()->reportsOn() && rx.lineFree(); }));

    rx.wantReports(false, true);
    ASSERT_TRUE(waitUntil([&] { return !sim.radio()->reportsOn() && rx.lineFree(); }));
    EXPECT_FALSE(rx.reportsOn());
    rx.setPort(&t.port);
}

TEST_F(Owner, OneHeldSessionAtATime)
{
    QObject first, second;
    EXPECT_TRUE(rx.beginSession(&first, "The S-meter"));
    EXPECT_FALSE(rx.beginSession(&second, "The spectrum scan"));
    EXPECT_EQ(t.prompter.lastText(), "The S-meter is using the receiver.\nStop it first.");
    rx.endSession(&second); // not its session: nothing changes
    EXPECT_EQ(rx.sessionName(), "The S-meter");
    rx.endSession(&first);
    EXPECT_TRUE(rx.beginSession(&second, "The spectrum scan"));
    {
        QObject third;
        rx.endSession(&second);
        EXPECT_TRUE(rx.beginSession(&third, "A timer run"));
    } // a session ends with its owner
    EXPECT_FALSE(rx.sessionActive());
}

TEST_F(Owner, TheTraceHasEveryCommandAndReplyWithTimeAndDirection)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.txt");
    ASSERT_TRUE(rx.setTraceFile(path));
    t.answerState("004095000001");
    t.run([&] { return rx.aReadRxState(); }, true);
    rx.setTraceFile(QString());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7);
    const QRegularExpression stamp("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d (->|<-) ");
    for (const QString &l : lines)
        EXPECT_TRUE(stamp.match(l).hasMatch()) << l.toStdString();
    EXPECT_TRUE(lines[0].endsWith("-> H1<CR>"));
    EXPECT_TRUE(lines[4].endsWith("<- L199004095000001<CR>"));
    QString error;
    EXPECT_FALSE(rx.setTraceFile(dir.filePath("no/such/folder/t.txt"), &error));
    EXPECT_TRUE(error.contains("t.txt"));
}

} // namespace
