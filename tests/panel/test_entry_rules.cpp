// The panel's entry rules without a window: keypad, typed values, channels,
// spin steps and their clamps, step cells.
#include "panel/entry.h"

#include <gtest/gtest.h>

using namespace panelentry;

TEST(EntryRules, KeypadAppendsAndBacksUp)
{
    QString d;
    for (const char *k : {"9", ".", "5", ".", "back"})
        d = keypadPress(d, QString::fromLatin1(k));
    EXPECT_EQ(d, "9.5");
    EXPECT_EQ(keypadPress(QString(), "back"), "");
}

TEST(EntryRules, FrequencyLimitsAndLenientText)
{
    struct Case {
        const char *text;
        double khz;
        bool accepted;
    } cases[] = {
        {"9500", 9500, true},       {"9.5", 9.5, false},       {"10", 10, true},
        {"29999.999", 29999.999, true}, {"29999.9999", 29999.9999, false},
        {"7,1", 7.1, false},        {"7100,5", 7100.5, true},  {"", 0, false},
        {"5f", 5, false},           {"-----.---", 0, false},
    };
    for (const Case &c : cases) {
        EXPECT_DOUBLE_EQ(khzOf(QString::fromLatin1(c.text)), c.khz) << c.text;
        EXPECT_EQ(frequencyAccepted(khzOf(QString::fromLatin1(c.text))), c.accepted) << c.text;
    }
}

TEST(EntryRules, Channels)
{
    const std::pair<const char *, std::optional<int>> cases[] = {
        {"199", 199}, {"0", 0}, {"7", 7}, {"", {}}, {"200", {}}, {"-1", {}}, {"199.5", {}}};
    for (const auto &[text, channel] : cases)
        EXPECT_EQ(channelOf(QString::fromLatin1(text)), channel) << text;
}

TEST(EntryRules, SpinStepsClampOnlyAtTheirOwnEnd)
{
    struct Case {
        const char *field;
        int step, dir;
        long long hz;
    } cases[] = {
        {"29999.000", 5000, 1, 29999999}, // top clamp
        {"12.000", 5000, -1, 10000},      // bottom clamp
        {"", 5000, 1, 5000},              // an up step has no bottom clamp
        {"40000", 5000, -1, 39995000},    // a down step has no top clamp
        {"7100,5", 1, 1, 7100501},
        {"9500.000", 12500, -1, 9487500},
        {"1e300", 5000, 1, 29999999},     // no overflow
        {"-1e300", 5000, -1, 10000},
    };
    for (const Case &c : cases)
        EXPECT_EQ(spinTargetHz(QString::fromLatin1(c.field), c.step, c.dir), c.hz) << c.field;
}

TEST(EntryRules, StepCells)
{
    const std::pair<const char *, int> cells[] = {{"0.001", 1}, {"0.02", 20}, {"0.5", 500}, {"9", 9000},
                                                  {"12.5", 12500}, {"50", 50000}, {"", 0}};
    for (const auto &[cell, hz] : cells)
        EXPECT_EQ(stepHzOf(QString::fromLatin1(cell)), hz) << cell;
}
