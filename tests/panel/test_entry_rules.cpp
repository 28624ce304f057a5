// The panel's entry rules without a window: keypad, typed values, channels,
// spin steps and their clamps, step cells.
#include "panel/entry.h"

#include <gtest/gtest.h>

using namespace panelentry;

// The keypad appending and backing up; typed frequencies in Hz, channels
// and step cells. (Which frequencies are tuned: the line's tests.)
TEST(EntryRules, KeypadTypedValuesAndStepCells)
{
    QString d;
    for (const char *k : {"9", ".", "5", ".", "back"})
        d = keypadPress(d, QString::fromLatin1(k));
    EXPECT_EQ(d, "9.5");
    EXPECT_EQ(keypadPress(QString(), "back"), "");
    const std::pair<const char *, long long> freqs[] = {
        {"9500", 9500000}, {"9.5", 9500},   {"29999.999", 29999999}, {"29999.9999", 30000000},
        {"7,1", 7100},     {"7100,5", 7100500}, {"", 0}, {"5f", 5000}, {"-----.---", 0}, {"-5", -1},
    };
    for (const auto &[text, hz] : freqs)
        EXPECT_EQ(hzOf(QString::fromLatin1(text)), hz) << text;
    const std::pair<const char *, std::optional<int>> channels[] = {
        {"199", 199}, {"0", 0}, {"7", 7}, {"", {}}, {"200", {}}, {"-1", {}}, {"199.5", {}}};
    for (const auto &[text, channel] : channels)
        EXPECT_EQ(channelOf(QString::fromLatin1(text)), channel) << text;
    const std::pair<const char *, int> cells[] = {{"0.001", 1}, {"0.02", 20}, {"0.5", 500}, {"9", 9000},
                                                  {"12.5", 12500}, {"50", 50000}, {"", 0}};
    for (const auto &[cell, hz] : cells)
        EXPECT_EQ(stepHzOf(QString::fromLatin1(cell)), hz) << cell;
}

TEST(EntryRules, SpinStepsFromTheReceiverStayInTheRange)
{
    struct Case {
        std::optional<long long> from;
        int step, dir;
        long long hz;
    } cases[] = {
        {29999000, 5000, 1, 29999999}, {12000, 5000, -1, 10000}, {7100500, 1, 1, 7100501},
        {9500000, 12500, -1, 9487500}, {std::nullopt, 5000, 1, 15000}, // not known: from the bottom
    };
    for (const Case &c : cases)
        EXPECT_EQ(spinTargetHz(c.from, c.step, c.dir), c.hz) << c.from.value_or(-1);
}
