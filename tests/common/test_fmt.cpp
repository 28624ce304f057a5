#include "common/fmt.h"
#include "common/timetext.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(Fmt, LenientNumbers)
{
    const std::pair<const char *, double> cases[] = {
        {"  9500", 9500}, {"7100,5", 7100.5}, {"12.5kHz", 12.5}, {"-2", -2},   {"1a", 1},
        {"", 0},          {"abc", 0},         {".", 0},          {"1.2.3", 1.2}, {"5205N", 5205},
        {"1e3x", 1000},   {"1e999", 0} /* never infinite */};
    for (const auto &[text, v] : cases)
        EXPECT_DOUBLE_EQ(fmt::val(text), v) << text;
    EXPECT_EQ(fmt::valUnbounded(" -" + QString(400, '9')), -HUGE_VAL); // too large, not 0
}

TEST(Fmt, Patterns)
{
    const QStringList got = {fmt::freqText(9500), fmt::freqText(10), fmt::freqText(29999.999),
                             fmt::freqText(0.5), fmt::hz8(9500.5), fmt::hz8(10), fmt::zeros(7, 3),
                             fmt::zeros(-25, 4), fmt::zeros(0, 4), fmt::zeroFixed(9500, 5, 3),
                             fmt::zeroFixed(0, 5, 3), fmt::blankNum(1), fmt::blankNum(1.5),
                             fmt::blankNum(-2), fmt::blankNum(0)};
    EXPECT_EQ(got.join('|'), "9500.000|10.000|29999.999|0.500|09500500|00010000|007|-0025|0000|"
                             "09500.000|00000.000| 1| 1.5|-2| 0");
    EXPECT_EQ(fmt::lastDigit(12), QChar('2'));
    EXPECT_EQ(fmt::digitValue('7'), 7);
    EXPECT_EQ(fmt::digitValue('x'), 0);
    EXPECT_DOUBLE_EQ(fmt::roundHalfEven(2.5), 2);
    EXPECT_DOUBLE_EQ(fmt::roundHalfEven(3.5), 4);
    // A comma locale still shows and reads a point.
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(fmt::freqText(7100.5), "7100.500");
    EXPECT_DOUBLE_EQ(fmt::val("7100,5"), 7100.5);
    QLocale::setDefault(old);
}

TEST(TimeText, UtcAcrossMidnightAndHalfHours)
{
    const QLocale en(QLocale::English, QLocale::UnitedKingdom);
    TimeTexts t = timetext::compute(QDateTime(QDate(2001, 1, 1), QTime(1, 30)), 2, en);
    EXPECT_EQ(t.lt_text, "1 Jan 2001  01:30");
    EXPECT_EQ(t.utc_text, "31 Dec 2000  23:30");
    EXPECT_EQ(t.utc_stamp, "20001231 2330");
    t = timetext::compute(QDateTime(QDate(2001, 6, 1), QTime(10, 0)), -5.5, en);
    EXPECT_EQ(t.utc_text, "1 Jun 2001  15:30");
    EXPECT_EQ(timetext::hhmmOf(t.utc_text), "1530");
    // A damaged difference is held to its range, never overflowing the minutes.
    const QDateTime at(QDate(2001, 6, 1), QTime(10, 0));
    EXPECT_EQ(timetext::compute(at, 1e30, en).utc_text, timetext::compute(at, 13, en).utc_text);
}
