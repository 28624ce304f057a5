// The propagation history's counts: bins, the rolling histogram of one
// reading per second, the minute close and the extremes.
#include "measure/history.h"

#include <gtest/gtest.h>

namespace {

TEST(History, Bins)
{
    const struct { double v; int bin; } cases[] = {
        {4.5, 5}, {0.4, 0}, {0.5, 1}, {1.49, 1}, {20.99, 21}, {21.5, 0}, {9, 9},
    };
    for (const auto &c : cases)
        EXPECT_EQ(history::binOf(c.v), c.bin) << c.v;
}

TEST(History, RollingHoldsOneReadingPerSecondAndMinutesAccumulate)
{
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
}

TEST(History, HalfMinuteClosesAndExtremes)
{
    history::History h;
    history::TickOut t = h.tick(0, 10, 6);
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
