// The signal-strength reading, the meter scale and the S-meter recorder's
// bookkeeping, without a window.
#include "measure/meter.h"
#include "measure/session.h"
#include "testkit.h"

#include <gtest/gtest.h>

namespace {

struct LevelCase {
    QByteArray reply;
    int att;
    int level;
    double units, scanUnits;
    const char *sText; // the panel meter's text of units
};

TEST(Meter, RepliesConvertToMeterUnitsInOneUnbracketedTransaction)
{
    const LevelCase cases[] = {
        {"M138\r", 0, 138, 0.0, 0.0, "S0"},         // no signal
        {"M134\r", 0, 134, 1.0, 1.0, "S1"},         // S1
        {"M102\r", 0, 102, 9.0, 9.0, "S9"},         // S9
        {"M066\r", 0, 66, 18.0, 17.5, "S9+54"},     // the clamp; the scan floor is 68
        {"M000\r", 1, 0, 21.333, 20.833, "S9+72"},  // attenuator on: clamp 21.333
        {"M200\r", 0, 200, 0.0, 0.0, "S0"},         // below zero units
        {"Mxyz\r", 0, 0, 18.0, 17.5, "S9+54"},      // not digits: level 0
        {"X12a\r", 0, 12, 18.0, 17.5, "S9+54"},     // first character not examined
        {"M 99\r", 0, 99, 9.75, 9.75, "S9+6"},      // leading blank; whole units
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        const int level = meter::rawLevel(c.reply);
        EXPECT_EQ(level, c.level);
        EXPECT_NEAR(meter::units(level, c.att), c.units, 1e-9);
        EXPECT_NEAR(meter::scanUnits(level, c.att), c.scanUnits, 1e-9);
        EXPECT_EQ(meter::sText(meter::units(level, c.att)), c.sText);
    }

    TestApp t;
    QByteArray answer = "M134\r";
    t.port.responder = [&](const QByteArray &c) { return c == "M" ? answer : QByteArray(); };
    auto read = [&] { return t.run([&] { return MeasureSession::aGetsmeter(t.app, false); }); };
    meter::Reading r = read();
    ASSERT_TRUE(r.ok());
    EXPECT_DOUBLE_EQ(r.v, 1.0);
    EXPECT_EQ(t.port.trace(), "M");

    t.app.rxs.att = 1; // the attenuator state last read
    EXPECT_NEAR(read().v, 4.333, 1e-9);

    // Short and missing replies are no reading, within the bound.
    for (const QByteArray &bad : {QByteArray("M1"), QByteArray()}) {
        answer = bad;
        EXPECT_EQ(read().status, meter::Reading::NoAnswer);
    }
    t.port.pull();
    EXPECT_EQ(read().status, meter::Reading::Lost);
}

TEST(Meter, RecorderNeedleBinsAndTheRingOfSixtyTicks)
{
    struct NeedleCase { double v; float needle; int bin; };
    const NeedleCase cases[] = {
        {0.0, 0, 0}, {1.0, 0, 1}, {1.99, 9.9f, 1}, {9.0, 80, 9}, {18.0, 170, 18},
        {20.99, 198, 20}, {21.0, 198, 0}, {21.333, 198, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.v);
        EXPECT_NEAR(meter::Recorder::needleOf(c.v), c.needle, 1e-4);
        EXPECT_EQ(meter::Recorder::binOf(c.v), c.bin);
    }

    meter::Recorder r;
    EXPECT_EQ(r.needle(), 99);
    for (int i = 0; i < 60; ++i)
        r.add(i % 2 ? 5.5 : 0.2); // 30 in bin 5, 30 in no bin
    EXPECT_EQ(r.bin(5), 30);
    EXPECT_EQ(r.cursor(), 60);

    meter::Recorder::Tick t = r.add(7.0); // replaces the first 0.2
    EXPECT_EQ(r.cursor(), 1);
    EXPECT_EQ(t.binOut, 0);
    EXPECT_EQ(t.binIn, 7);
    t = r.add(7.0); // replaces a 5.5
    EXPECT_EQ(t.binOut, 5);
    EXPECT_EQ(r.bin(5), 29);
    EXPECT_EQ(r.bin(7), 2);
    float sum = 0;
    for (int i = 1; i <= 20; ++i)
        sum += r.bin(i);
    EXPECT_EQ(sum, 31);

    r.clear();
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(r.bin(i), 0);
    EXPECT_EQ(r.cursor(), 2); // the cursor and needle stay
    EXPECT_EQ(r.needle(), 60);
}

} // namespace
