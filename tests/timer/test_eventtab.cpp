#include "link/captions.h"
#include "testkit.h"
#include "timer/eventtab.h"

#include <gtest/gtest.h>

using namespace timertab;

namespace {

EventEdit editAt(int day, int month, int year, int hour, int minute, int duration = 10)
{
    EventEdit e;
    e.day = day, e.month = month, e.year = year, e.hour = hour, e.minute = minute;
    e.duration = duration;
    return e;
}

// "att bw mode agc hz pbs bwc"
std::string settings(const EventEdit &e)
{
    return QString("%1 %2 %3 %4 %5 %6 %7")
        .arg(e.att).arg(e.bw).arg(e.mode).arg(e.agc).arg(e.hz()).arg(e.pbs).arg(e.bwc)
        .toStdString();
}

// "day.month.year hh:mm duration | att bw mode agc pbs bwc"
std::string shown(const EventEdit &e)
{
    return QString("%1.%2.%3 %4:%5 %6 | %7 %8 %9 %10 %11 %12")
        .arg(e.day).arg(e.month).arg(e.year).arg(e.hour, 2, 10, QChar('0')).arg(e.minute, 2, 10, QChar('0'))
        .arg(e.duration).arg(e.att).arg(e.bw).arg(e.mode).arg(e.agc).arg(e.pbs).arg(e.bwc)
        .toStdString();
}

// Each step moves one spin; then the edit shows what the step says.
struct Step {
    EventEdit::Spin spin;
    int dir;
    const char *shows;
};
void play(EventEdit &e, std::initializer_list<Step> steps)
{
    for (const Step &s : steps) {
        e.step(s.spin, s.dir);
        EXPECT_EQ(shown(e), s.shows) << "spin " << s.spin << " by " << s.dir;
    }
}

QDateTime local(int y, int mo, int d, int h, int mi, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s));
}

} // namespace

// Leap years (2000, 2024; not 2100) and month ends: against the calendar.
TEST(EventMinute, MatchesTheCalendarForEveryMonthUpTo2099)
{
    const QDateTime epoch(QDate(1990, 1, 1), QTime(0, 0), Qt::UTC);
    for (int y = 1990; y <= 2101; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d : {1, monthLength(m, y)}) {
                const QDateTime t(QDate(y, m, d), QTime(23, 59), Qt::UTC);
                ASSERT_EQ(eventMinute(d, m, y, 23, 59), epoch.secsTo(t) / 60) << y << "-" << m << "-" << d;
            }
}

TEST(Checks, TooLateToFixOrToStartAndTheOrderOfEvents)
{
    RecordingPrompter p;
    // 12:00:40 local, UTC = local: 12:00 is too late, 12:01 passes.
    EXPECT_TRUE(too_late_to_fix(editAt(5, 12, 2026, 12, 0), local(2026, 12, 5, 12, 0, 40), 0, &p));
    EXPECT_EQ(p.lastTitle() + ": " + p.lastText(),
              "Conflict in Time: You are trying to program\na past or running event.\nSorry, you are too late ! !");
    EXPECT_EQ(p.asked.last().icon, Prompter::Exclamation);
    EXPECT_FALSE(too_late_to_fix(editAt(5, 12, 2026, 12, 1), local(2026, 12, 5, 12, 0, 40), 0, &p));
    // Offset +2 at 01:30 local on 1 January is 23:30 UTC on 31 December.
    EXPECT_TRUE(too_late_to_fix(editAt(31, 12, 2026, 23, 30), local(2027, 1, 1, 1, 30), 2, &p));
    EXPECT_FALSE(too_late_to_fix(editAt(31, 12, 2026, 23, 31), local(2027, 1, 1, 1, 30), 2, &p));
    EXPECT_EQ(p.asked.size(), 2);

    // The order of events across midnight, a month's and the year's end.
    EventTable t;
    // Event 1: 31 Jan 23:50 for 20 minutes ends at 1 Feb 00:10.
    t.fix(1, editAt(31, 1, 2027, 23, 50, 20).toEvent());
    EXPECT_TRUE(conflict(t, 2, editAt(1, 2, 2027, 0, 10), &p));
    EXPECT_EQ(p.lastTitle() + ": " + p.lastText(), "Conflict of events: New event starts before\nthe previous one ends");
    EXPECT_FALSE(conflict(t, 2, editAt(1, 2, 2027, 0, 11), &p));
    EXPECT_TRUE(conflict(t, 2, editAt(31, 1, 2027, 23, 55), &p));
    // Across the year end.
    t.fix(1, editAt(31, 12, 2026, 23, 59, 1).toEvent());
    EXPECT_TRUE(conflict(t, 2, editAt(1, 1, 2027, 0, 0), &p));
    EXPECT_FALSE(conflict(t, 2, editAt(1, 1, 2027, 0, 1), &p));
    EXPECT_EQ(p.asked.size(), 5);
    t.fix(1, editAt(5, 12, 2026, 12, 1).toEvent());
    EXPECT_FALSE(too_late_to_start(t, local(2026, 12, 5, 12, 0, 59), 0, &p));
    EXPECT_TRUE(too_late_to_start(t, local(2026, 12, 5, 12, 1), 0, &p));
    EXPECT_EQ(p.lastText(), "You are trying to start the timer for\na programmed event that already\n"
                            "has started or that already has past. \nSorry, you are too late ! !");
}

TEST(Spins, DatesWrapAndFollowTheMonthAndTheFrequencyStaysInRange)
{
    using S = EventEdit;
    EventEdit e = editAt(29, 2, 2024, 0, 0);
    play(e, {{S::Year, +1, "28.2.2025 00:00 10 | 0 0 4 0 0 0"}});
    e = editAt(31, 3, 2026, 0, 0);
    play(e, {{S::Month, -1, "28.2.2026 00:00 10 | 0 0 4 0 0 0"}, {S::Day, +1, "1.2.2026 00:00 10 | 0 0 4 0 0 0"}, {S::Day, -1, "28.2.2026 00:00 10 | 0 0 4 0 0 0"}});
    e = editAt(1, 12, kLastYear, 23, 59, 240);
    play(e, {{S::Year, +1, "1.12.2099 23:59 240 | 0 0 4 0 0 0"}, {S::Month, +1, "1.1.2099 23:59 240 | 0 0 4 0 0 0"}, {S::Hour, +1, "1.1.2099 00:59 240 | 0 0 4 0 0 0"}, {S::Minute, +1, "1.1.2099 00:00 240 | 0 0 4 0 0 0"},
             {S::Duration, +1, "1.1.2099 00:00 240 | 0 0 4 0 0 0"}});
    e.duration = 1;
    play(e, {{S::Duration, -1, "1.1.2099 00:00 1 | 0 0 4 0 0 0"}});
    // The present year comes from the clock even beyond the old tables.
    e.setUtc(local(2031, 2, 28, 7, 5));
    EXPECT_EQ(e.year, 2031);
    EXPECT_EQ(rowTexts(e.toEvent(), Captions::build(false, false)).date[2], "31");

    // The frequency stays in the receiver's range.
    const struct { qint64 from; int digit, dir; qint64 hz; } cases[] = {
        {9500000, 7, -1, 29999999}, // 10 MHz digit down from 0
        {10000, 4, -1, 10000},      // 10 kHz digit 1 -> 0 gives 0 Hz
        {29000000, 6, +1, 20000000}, // 29 -> 20 MHz: the digit wraps 9 -> 0
    };
    for (const auto &c : cases) {
        EventEdit e;
        e.setHz(c.from);
        e.stepDigit(c.digit, c.dir);
        EXPECT_EQ(e.hz(), c.hz) << c.from;
    }
}

TEST(Spins, SettingsOptionsTheModeFiveRuleAndFromTheReceiver)
{
    using S = EventEdit;
    EventEdit e; // no options: Narr needs the narrow filter, AM-U and AM-L the ECSS unit
    e.bw = 1;
    e.mode = 6;
    play(e, {{S::Bw, +1, "1.1.2000 00:00 10 | 0 3 6 0 0 0"}, {S::Bw, -1, "1.1.2000 00:00 10 | 0 1 6 0 0 0"}, {S::Mode, +1, "1.1.2000 00:00 10 | 0 1 0 0 0 0"}});
    e.opt.ecss = true;
    e.mode = 6;
    play(e, {{S::Mode, +1, "1.1.2000 00:00 10 | 0 1 7 0 0 0"}});

    // BWC ranges per bandwidth, with the unit; Aux has none.
    e = EventEdit();
    e.opt.bwcUnit = true;
    e.bw = 3;
    play(e, {{S::Bw, +1, "1.1.2000 00:00 10 | 0 0 4 0 0 5500"}, {S::Bwc, +1, "1.1.2000 00:00 10 | 0 0 4 0 0 2000"}, {S::Bwc, -1, "1.1.2000 00:00 10 | 0 0 4 0 0 5500"}, {S::Bw, +1, "1.1.2000 00:00 10 | 0 1 4 0 0 2200"},
             {S::Bwc, +1, "1.1.2000 00:00 10 | 0 1 4 0 0 500"}, {S::Bw, +1, "1.1.2000 00:00 10 | 0 3 4 0 0 0"}});
    EXPECT_FALSE(e.bwcActive());
    EXPECT_FALSE(bwcSet(e.toEvent().bwc()));

    // Mode 5 saves the bandwidth, sets Aux, clears PBS and BWC (its spin
    // does nothing); leaving it restores the bandwidth, PBS 0 and the
    // bandwidth's BWC.
    e.bw = 0;
    e.applyBwRule();
    e.pbs = 700;
    e.mode = 4;
    play(e, {{S::Mode, +1, "1.1.2000 00:00 10 | 0 3 5 0 9999 0"}});
    EXPECT_FALSE(pbsSet(e.toEvent().pbs()));
    EXPECT_FALSE(bwcSet(e.toEvent().bwc()));
    play(e, {{S::Pbs, +1, "1.1.2000 00:00 10 | 0 3 5 0 9999 0"}, {S::Mode, +1, "1.1.2000 00:00 10 | 0 0 6 0 0 5500"}});
    e.pbs = 2000;
    play(e, {{S::Pbs, +1, "1.1.2000 00:00 10 | 0 0 6 0 -2000 5500"}});
    e = EventEdit();
    e.opt.bwcUnit = true;
    e.pbs = 500;
    e.setFromRx("X111061750001"); // ATT on, Inter, CW, 6175 kHz, AGC fast
    EXPECT_EQ(settings(e), "1 1 1 1 6175000 0 2200");
    e.setFromRx("X0?5x9500000?"); // garbled fields keep their values; NFM: Aux
    EXPECT_EQ(settings(e).substr(0, 16), "0 3 5 1 6175000 ");
}

TEST(Rows, TextsAndTheFixedPrefix)
{
    EventEdit e = editAt(7, 3, 2027, 6, 5, 45);
    e.opt.bwcUnit = true;
    e.mode = 2;
    e.bw = 1;
    e.applyBwRule();
    e.pbs = -1200;
    e.setHz(15070000);
    const RowTexts r = rowTexts(e.toEvent(), Captions::build(false, false));
    EXPECT_EQ(QStringList({r.date[0], r.date[1], r.date[2], r.time[0], r.time[1], r.time[2]}),
              QStringList({"7", "Mar", "27", "06", "05", "45"}));
    EXPECT_EQ(QStringList({r.stat[0], r.stat[1], r.stat[2], r.stat[3], r.stat[4], r.stat[5]}),
              QStringList({" Off", "Inter", "USB", "Slow", "-1.2", "2.2"}));
    EXPECT_EQ(r.freq[7] + r.freq[6] + r.freq[5] + r.freq[4], "1507");
    EXPECT_EQ(pbsText(0), "+0.0");

    EventTable t; // (the buttons of an empty table: the window's opening test)
    t.fix(1, e.toEvent());
    t.fix(2, e.toEvent());
    const auto b = t.buttons();
    EXPECT_TRUE(b.fix[2] && b.clr[2] && b.fix[3] && b.timerOn && b.clearAll);
    EXPECT_FALSE(b.fix[1] || b.clr[1] || b.clr[3]);
    t.clear(2);
    EXPECT_EQ(t.fixedCount(), 1);
    EXPECT_TRUE(t.buttons().clr[1]);
}
