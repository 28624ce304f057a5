// The spectrum scan without a window: limits, the walk with keep-highest,
// the graph geometry, SAN files (also damaged ones) and the CSV export.
#include "measure/spectrum.h"

#include <gtest/gtest.h>

using namespace spectrum;

namespace {

TEST(Spectrum, Limits)
{
    const struct { QStringList t; bool ok; int points; } cases[] = {
        {{"10", "510", "1", "1"}, true, 500},
        {{"10", "511", "1", "1"}, false, 0},
        {{"9.999", "100", "1", "1"}, false, 0},
        {{"100", "200", "0", "1"}, false, 0},
        {{"100", "200", "-5", "1"}, false, 0},
        {{"100", "100", "1", "1"}, false, 0},
        {{"200", "100", "1", "1"}, false, 0},
        {{"29500", "29999.999", "1", "1"}, true, 499},
        {{"29500", "30000", "1", "1"}, false, 0},
        {{"9400", "9900", "5", "1"}, true, 100},
        {{"9400", "9401", "1,5", "1"}, true, 0}, // a step wider than the band: one point
        {{"", "", "", ""}, false, 0},
        {{"abc", "9900", "5", "1"}, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.t.join(' ').toStdString());
        const auto l = parseLimits(c.t, false, false);
        EXPECT_EQ(bool(l), c.ok);
        if (l)
            EXPECT_EQ(l->points(), c.points);
    }
    EXPECT_EQ(parseLimits({"9400", "9401", "1,5", "1"}, false, false)->stepText, "1.5"); // a comma is a point
    const struct { const char *d; int ms; } delays[] = {
        {"0.2", 500}, {"0.5", 500}, {"1", 1000}, {"2,5", 2500}, {"9", 5000}, {"x", 500},
    };
    for (const auto &d : delays)
        EXPECT_EQ(parseLimits({"100", "200", "1", d.d}, false, false)->delayMs(), d.ms) << d.d;
}

TEST(Spectrum, SingleRunLoopWithKeepHighestGeometryAndContinue)
{
    Scan s;
    s.lim = *parseLimits({"9400", "9420", "5", "1"}, false, false);
    int steps = 0;
    while (!s.over()) {
        s.store(steps);
        EXPECT_FALSE(s.advance());
        ++steps;
    }
    EXPECT_EQ(steps, 5);
    EXPECT_EQ(s.index, 5); // points + 1
    EXPECT_DOUBLE_EQ(s.freqAt(4), 9420);

    s.lim.loop = true;
    s.lim.keepHighest = true;
    s.index = 4;
    EXPECT_TRUE(s.advance()); // a new sweep
    EXPECT_EQ(s.index, 0);
    s.store(10);
    s.store(3); // lower: the highest stays
    EXPECT_EQ(s.data[0], 10);
    s.lim.keepHighest = false;
    s.store(3);
    EXPECT_EQ(s.data[0], 3);
    s.index = kData + 3; // never past the data
    EXPECT_EQ(s.store(5), 0);

    s = Scan();
    s.lim = *parseLimits({"10", "510", "1", "1"}, false, false);
    EXPECT_EQ(s.xOf(10), 70);
    EXPECT_EQ(s.xOf(260), 320);
    EXPECT_EQ(s.xOf(510), 570);
    Scan far; // limits from a damaged file: far-off points lie just outside
    far.lim.upper = 1e-300;
    far.lim.step = 1;
    EXPECT_EQ(far.xOf(1), 571);
    EXPECT_EQ(far.xOf(-1), 69);
    EXPECT_EQ(Scan::yOf(0), 400);
    EXPECT_EQ(Scan::yOf(9), 292);
    EXPECT_DOUBLE_EQ(s.freqAtClick(320), 260);
    EXPECT_DOUBLE_EQ(s.freqUnderPointer(71), 11);
    // What the window shows under the pointer, inside the plotting area only.
    EXPECT_EQ(s.pointerText(320, 292), "260.000 kHz  S9");
    EXPECT_EQ(s.pointerText(70, 400), "10.000 kHz  S0");
    EXPECT_EQ(s.pointerText(570, 148), "510.000 kHz  S9+72");
    EXPECT_EQ(s.pointerText(69, 292), "");
    EXPECT_EQ(s.pointerText(320, 401), "");
    EXPECT_EQ(Scan().pointerText(320, 292), ""); // no limits yet
    s.index = 497;
    EXPECT_TRUE(s.canContinue());
    s.index = 498;
    EXPECT_FALSE(s.canContinue());
}

TEST(Spectrum, SanRoundTripCsvAndDamagedFilesReadWithinTheData)
{
    Scan s;
    s.lim = *parseLimits({"9400", "9410", "5", "1"}, false, false);
    s.data[0] = 2.5f;
    s.data[1] = 12.26f;
    s.data[2] = 0;
    s.index = 3; // a completed single run
    const QStringList lines = sanLines("5 Dec 2026  11:00 UTC", s);
    EXPECT_EQ(lines, (QStringList{"5 Dec 2026  11:00 UTC", "9400", "9410", "5", " 3 ", "025",
                                  "122", "000", "000"}));
    const SanData d = readSan(lines);
    EXPECT_TRUE(d.problems.isEmpty());
    EXPECT_TRUE(d.valid());
    EXPECT_EQ(d.index, 3);
    EXPECT_FLOAT_EQ(d.data[1], 12.2f);
    EXPECT_EQ(csvLines(s, 2), (QStringList{"kHz,units", "9400.000,2.50", "9405.000,12.26",
                                           "9410.000,0.00"}));

    const struct { QStringList lines; int index; bool valid; } cases[] = {
        {{}, -1, false},                                                 // empty
        {{"date", "9400"}, -1, false},                                   // short
        {{"d", "9400", "9410", "5", " 9999 ", "010", "020"}, 1, true},   // index far too large
        {{"d", "9400", "9410", "5", " -4 ", "010"}, 0, true},            // negative index
        {{"d", "9400", "9410", "5", " 3 ", "010"}, 0, true},             // values missing
        {{"d", "x", "y", "z", "garbage", "zz"}, 0, false},               // garbage
        {{"d", "9400", "9410", "0", " 1 ", "010", "020"}, 1, false},     // step 0
        {{"d", "9400", "9410", "5", " 1 ", "-50", "9999"}, 1, true},     // values out of range
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.lines.join('|').toStdString());
        const SanData r = readSan(c.lines);
        EXPECT_EQ(r.index, c.index);
        EXPECT_EQ(r.valid(), c.valid);
        EXPECT_LT(r.index, kData);
        for (int i = 0; i <= r.index; ++i) {
            EXPECT_GE(r.data[size_t(i)], 0);
            EXPECT_LE(r.data[size_t(i)], 21.34);
        }
    }
    EXPECT_FALSE(readSan({"d", "9400", "9410", "5", " 1 ", "-50", "9999"}).problems.isEmpty());
}

} // namespace
