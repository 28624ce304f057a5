// The line's owner: jobs run one at a time without a nested wait, in turn
// with the older sequences; a job whose window goes away closes its bracket;
// one held session at a time; the line trace.
#include "link/commands.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Owner : ::testing::Test {
    TestApp t;
    Receiver2 &rx = *t.rx;
};

TEST_F(Owner, JobsRunInTurnWithSequencesAndReturnTheirReplies)
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
    EXPECT_FALSE(rx.bracket_cmd("B1")); // an older-style caller is queued too
    t.settle();
    EXPECT_EQ(order, (QStringList{"first", "second"}));
    ASSERT_TRUE(state);
    EXPECT_EQ(*state, "X004095000001");
    EXPECT_EQ(t.port.trace(), "H1|H1|J1199|L199199|H0|H0|H1|H1|N1|H0|H0|H1|H1|B1|H0|H0");
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
    rx.submit([&]() -> rxjob::Task<> {
        const auto s = co_await rx.aReadRxState();
        (void)s;
    });
    t.settle();
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
