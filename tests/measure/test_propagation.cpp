// The propagation impression's bookkeeping: bars of the three time bases,
// the quarter and period closes, the PAN minute record, PAN files. The
// propagation history's counts: bins, the rolling histogram of one reading
// per second, the minute close and the extremes.
#include "measure/history.h"
#include "measure/propagation.h"

#include <gtest/gtest.h>

using namespace propagation;

namespace {

TEST(Propagation, MinuteBarsAndOneQuarterCloseASecond)
{
    Impression imp;
    TickOut t = imp.tick(12, 0, 59, 9, false);
    EXPECT_EQ(t.minute.x, 552);
    EXPECT_EQ(t.minute.y2, 149 - 36);
    EXPECT_TRUE(t.eraseMinuteFirst);
    EXPECT_FALSE(t.quarter);

    t = imp.tick(12, 1, 16, 5, false);
    ASSERT_TRUE(t.quarter);
    EXPECT_EQ(t.quarter->x, 80 + 8 + 2);
    EXPECT_EQ(t.quarter->eraseX, 82 + 8 + 2);
    EXPECT_EQ(t.quarter->y1, 279 - 20); // lowest 5
    EXPECT_EQ(t.quarter->y2, 279 - 36); // highest 9 (from 12:00:59)
    t = imp.tick(12, 1, 16, 7, false);   // the same second: no second close
    EXPECT_FALSE(t.quarter);
    t = imp.tick(12, 1, 31, 7, false);
    ASSERT_TRUE(t.quarter);
    EXPECT_EQ(t.quarter->y1, t.quarter->y2); // a single reading is a point

    t = imp.tick(12, 59, 46, 7, false);
    EXPECT_TRUE(t.eraseHourFirst);
    t = imp.tick(13, 7, 2, 4, false); // 6-minute period close
    ASSERT_TRUE(t.period);
    EXPECT_EQ(t.period->x, 80 + 260 + 2);
    EXPECT_EQ(t.period->y2, 409 - 36); // highest since the start
    EXPECT_EQ(t.period->y1, 409 - 16);
    EXPECT_TRUE(imp.tick(23, 55, 2, 4, false).period);
}

TEST(Propagation, RecordingWritesWholeMinutesOnlyAndPanFilesReadBack)
{
    Impression imp;
    QStringList written;
    // Recording starts at 12:00:20: the minute 12:00 lacks its first quarter.
    for (int s = 20; s < 60 + 60; ++s) {
        const TickOut t = imp.tick(12, s / 60, s % 60, 1.0 + (s % 60 == 40 ? 1.5 : 0), true);
        if (t.panLine)
            written << *t.panLine;
    }
    ASSERT_EQ(written.size(), 1);
    EXPECT_EQ(written[0], "12:01 010 010 010 010 010 010 010 025"); // 2.5 at :40 closes at :46
    EXPECT_EQ(written[0].size(), 37);

    const PanMinute m = parsePanLine("12:01 010 010 010 010 010 025 010 010");
    EXPECT_EQ(m.hh, 12);
    EXPECT_EQ(m.mm, 1);
    EXPECT_DOUBLE_EQ(m.hi[2], 2.5);
    const PanMinute s = parsePanLine("12:02 010"); // short: the rest reads as 0
    EXPECT_DOUBLE_EQ(s.lo[0], 1.0);
    EXPECT_DOUBLE_EQ(s.hi[3], 0);

    const PanFile good = readPan({"5 Dec 2026  11:00 UTC", "9500.000", "Radio",
                                  "12:01 010 010 010 010 010 025 010 010"});
    EXPECT_TRUE(good.problems.isEmpty());
    EXPECT_EQ(panCsv(good).mid(0, 4),
              (QStringList{"time,lowest,highest", "12:01:01,1.0,1.0", "12:01:16,1.0,1.0",
                           "12:01:31,1.0,2.5"}));

    const PanFile bad = readPan({"d", "f", "s", "garbage", "99:99 010", "12:03 990 -10",
                                 "12:04 010"});
    EXPECT_EQ(bad.minutes.size(), 2);
    EXPECT_FALSE(bad.problems.isEmpty());
    for (const PanMinute &p : bad.minutes)
        for (int q = 0; q < 4; ++q) {
            EXPECT_LE(p.lo[size_t(q)], 21.34);
            EXPECT_GE(p.lo[size_t(q)], 0);
        }
    EXPECT_FALSE(readPan({"only a date"}).problems.isEmpty());
}

TEST(History, BinsRollingMinutesHalfMinuteClosesAndExtremes)
{
    const struct { double v; int bin; } cases[] = {
        {4.5, 5}, {0.4, 0}, {0.5, 1}, {1.49, 1}, {20.99, 21}, {21.5, 0}, {9, 9},
    };
    for (const auto &c : cases)
        EXPECT_EQ(history::binOf(c.v), c.bin) << c.v;

    history::History h;
    for (int s = 0; s < 60; ++s)
        h.tick(0, s, 4.5);
    EXPECT_EQ(h.rolling(5), 60);
    h.tick(1, 0, 9); // replaces second 0
    h.tick(1, 0, 9); // the same second again: still one entry
    EXPECT_EQ(h.rolling(5), 59);
    EXPECT_EQ(h.rolling(9), 1);
    EXPECT_EQ(h.cumulative(5), 60); // counted at the first minute close
    history::TickOut t;
    for (int s = 1; s < 60; ++s)
        t = h.tick(1, s, 2);
    EXPECT_TRUE(t.minuteClose);
    EXPECT_EQ(t.maxCumulative, 60);
    EXPECT_EQ(h.cumulative(2), 59);
    EXPECT_EQ(h.cumulative(9), 2);
    EXPECT_EQ(h.highest(), 9);
    EXPECT_EQ(h.lowest(), 2);

    h = history::History();
    t = h.tick(0, 10, 6);
    EXPECT_EQ(t.previous, 9);
    ASSERT_TRUE(t.oldHighest);
    EXPECT_EQ(*t.oldHighest, 0);
    ASSERT_TRUE(t.oldLowest);
    EXPECT_EQ(*t.oldLowest, 21);
    h.tick(0, 12, 3);
    t = h.tick(0, 16, 4);
    EXPECT_TRUE(t.halfClose);
    EXPECT_EQ(t.halfLo, 3);
    EXPECT_EQ(t.halfHi, 6);
    EXPECT_FALSE(t.oldHighest);
    t = h.tick(0, 46, 5);
    EXPECT_EQ(t.halfLo, 5); // reset after the close
    EXPECT_TRUE(h.tick(59, 51, 5).clearHourFirst);
}

} // namespace
