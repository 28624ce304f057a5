// The receiver clock helpers: clock texts, timer times, the clock reply and
// the bracketed read.
#include "link/receiver2.h"
#include "testkit.h"
#include "utilities/rxclocks.h"

#include <gtest/gtest.h>

namespace {

TEST(RxClocks, UtcTextFollowsTheLtUtcDifference)
{
    const QDateTime lt(QDate(2026, 12, 5), QTime(12, 30, 15));
    const struct { double diff; const char *utc; } cases[] = {
        {1, "11:30:15"}, {5.5, "07:00:15"}, {0, "12:30:15"}, {-3, "15:30:15"}, {13, "23:30:15"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rxclocks::utcText(lt, c.diff), c.utc) << c.diff;
    EXPECT_EQ(rxclocks::ltText(lt), "12:30:15");
    EXPECT_EQ(rxclocks::hhmmss("07:00:15"), "070015");
}

TEST(RxClocks, TimerTimes)
{
    for (const char *good : {"0000", "2359", "1230", "0059"})
        EXPECT_TRUE(rxclocks::validTimerText(good)) << good;
    for (const char *bad : {"2400", "0960", "930", "", "12345", "ab12", "12:3", " 930"})
        EXPECT_FALSE(rxclocks::validTimerText(bad)) << bad;
    EXPECT_EQ(rxclocks::timerInputError(true), "RX Timer-On input error\nUse hhmm from 0000 to 2359");
}

TEST(RxClocks, ClockReply)
{
    EXPECT_EQ(rxclocks::clockFromReply("R123456\r"), QString("12:34"));
    EXPECT_EQ(rxclocks::clockFromReply("R000000\r"), QString("00:00"));
    for (const QByteArray &bad : {QByteArray("R2a3456\r"), QByteArray("R256000\r"),
                                 QByteArray("R126000\r"), QByteArray("R12")})
        EXPECT_FALSE(rxclocks::clockFromReply(bad)) << bad.constData();
}

TEST(RxClocks, ReadClockInsideTheBracket)
{
    TestApp t;
    QByteArray reply = "R214500\r";
    t.port.responder = [&](const QByteArray &c) { return c == "R0" ? reply : QByteArray(); };
    auto readClock = [&] {
        std::optional<QString> out;
        t.rx->submit([&]() -> rxjob::Task<> { out = co_await rxclocks::aReadClock(t.app); });
        t.settle();
        return out;
    };
    EXPECT_EQ(readClock(), QString("21:45"));
    EXPECT_EQ(t.port.trace(), "H1|H1|R0|H0|H0");
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    reply = "R9x4500\r"; // malformed: refused with a message
    EXPECT_FALSE(readClock());
    EXPECT_EQ(t.prompter.lastText(), rxclocks::badClockReplyText());

    reply.clear(); // silent: the receiver message, within the bound
    EXPECT_FALSE(readClock());
    EXPECT_TRUE(t.prompter.lastText().startsWith("The receiver did not answer."));
    EXPECT_EQ(t.prompter.asked.size(), 2);
}

} // namespace
