// The simulated receiver behind the Port interface: pacing of both
// directions, partial replies, notifications, the command log.
#include "sim/simport.h"
#include "simwait.h"

#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

struct OpenPort {
    OpenPort() : radio(SimRadio::EmptyMemory), port(&radio)
    {
        QString err;
        EXPECT_TRUE(port.open(&err)) << err.toStdString();
    }
    // Sends each command with its CR and waits until the receiver has them all.
    void send(std::initializer_list<const char *> cmds)
    {
        const qsizetype want = port.commandLog().size() + qsizetype(cmds.size());
        for (const char *c : cmds)
            port.write(QByteArray(c) + '\r');
        EXPECT_TRUE(waitUntil([&] { return port.commandLog().size() >= want; }));
    }
    SimRadio radio;
    SimPort port;
};

} // namespace

TEST(SimPort, RepliesArriveCharacterByCharacter)
{
    OpenPort p;
    p.send({ "H1" });
    // 40 empty channels = 240 characters, half a second at 480 per second.
    const qint64 total = 40 * 6;
    p.port.write("L000039\r");
    EXPECT_LT(p.port.bytesAvailable(), total);

    // Somewhere on the way part of the reply is readable, without the event
    // loop having to run.
    QByteArray got;
    bool sawPart = false;
    ASSERT_TRUE(waitUntil([&] {
        got += p.port.readAll();
        if (!got.isEmpty() && got.size() < total)
            sawPart = true;
        return got.size() >= total;
    }, 30000));
    EXPECT_TRUE(sawPart);
    EXPECT_EQ(got.size(), total);
    EXPECT_TRUE(got.startsWith("L000V"));
    EXPECT_TRUE(got.endsWith("\r"));
    EXPECT_EQ(got.mid(39 * 6), "L039V\r");
}

TEST(SimPort, CommandsAreCarriedOutWhenTheirCrArrives)
{
    OpenPort p;
    p.send({ "H1" });
    // Split over writes, and several commands in one write.
    p.port.write("F061");
    p.port.write("75000");
    QTest::qWait(30);
    EXPECT_EQ(p.radio.working().hz, 9500000);
    p.port.write("\r");
    p.port.write("X0\rX0\r");
    ASSERT_TRUE(waitUntil([&] { return p.port.commandLog().size() >= 4; }));
    EXPECT_EQ(p.radio.working().hz, 6175000);
    EXPECT_EQ(p.port.commands(), (QList<QByteArray>{ "H1", "F06175000", "X0", "X0" }));
    // Logged in the order and at the times they arrived.
    const auto &log = p.port.commandLog();
    EXPECT_TRUE(std::is_sorted(log.begin(), log.end(), [](const auto &a, const auto &b) { return a.first < b.first; }));
    EXPECT_LE(log.last().first, p.port.elapsedMs());
}

TEST(SimPort, ReportsRaiseReadyRead)
{
    OpenPort p;
    QSignalSpy ready(&p.port, &Port::readyRead);
    p.send({ "H1", "I1", "H0" });
    p.radio.turnDial(6190000);
    p.radio.turnDial(6195000);
    // The reply to "I1" (the frequency then), then one report per change.
    EXPECT_TRUE(waitUntil([&] { return p.port.bytesAvailable() >= 42; })) << p.port.bytesAvailable();
    QByteArray r = p.port.readAll();
    ASSERT_EQ(r.size(), 42);
    EXPECT_EQ(r.left(14), "I004095000000\r");
    r = r.mid(14);
    EXPECT_EQ(r.left(14).right(10).left(8), "06190000");
    EXPECT_EQ(r.right(10).left(8), "06195000");
    EXPECT_TRUE(waitUntil([&] { return ready.count() > 0; }));
}

TEST(SimPort, ClearCloseAndFaults)
{
    OpenPort p;
    p.send({ "H1" });
    // clear() throws away what has arrived.
    p.port.write("M\r");
    EXPECT_TRUE(waitUntil([&] { return p.port.bytesAvailable() >= 5; }));
    p.port.clear();
    EXPECT_EQ(p.port.bytesAvailable(), 0);

    // Closing loses what is on the line; a closed port takes nothing.
    p.port.write("L000199\r");
    p.port.close();
    EXPECT_FALSE(p.port.isOpen());
    EXPECT_FALSE(p.port.write("M\r"));
    EXPECT_EQ(p.port.bytesAvailable(), 0);
    EXPECT_TRUE(p.port.readAll().isEmpty());

    QString err;
    p.port.setOpenError("Permission denied");
    EXPECT_FALSE(p.port.open(&err));
    EXPECT_EQ(err, "Permission denied");
    p.port.setOpenError({});
    ASSERT_TRUE(p.port.open(&err));
    QTest::qWait(50);
    EXPECT_EQ(p.port.bytesAvailable(), 0);

    QSignalSpy lost(&p.port, &Port::lost);
    p.port.simulateLoss();
    p.port.simulateLoss();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(p.port.isOpen());
}
