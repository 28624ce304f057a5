// What is on the air: the time choice of the Db2Rx filters by UTC and the
// days of the week, the day field of an imported schedule, and the folder's
// converted lists read once.
#include "common/textfile.h"
#include "schedules/ilgfilter.h"
#include "schedules/onair.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kAreas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};

// A converted line: frequency, time window, station, language, days.
QString line(double khz, const char *time, const char *station, const char *language = "English",
             const char *days = "")
{
    QString l = QString::number(khz, 'f', 2).rightJustified(8, '0') + ' ' + time + ' ' +
                QString(station).leftJustified(22) + ' ' + QString("EU").leftJustified(8) + ' ' +
                QString(language).leftJustified(17) + ' ' + QString(20, ' ') + ' ' + "000100000" + ' ' +
                QString("Aurelia").leftJustified(12);
    if (*days)
        l += ' ' + QString(days).leftJustified(7);
    return l.leftJustified(120);
}

enum Day { Mon, Tue, Wed, Thu, Fri, Sat, Sun };

} // namespace

TEST(OnAir, TimeChoiceByUtcDaysAndMidnight)
{
    using W = onair::When;
    const struct {
        const char *time, *days;
        W when;
        Day day;
        int hhmm;
        bool on;
    } cases[] = {
        // Now: start and end minute included.
        {"0800-0900", "", W::Now, Mon, 830, true},
        {"0800-0900", "", W::Now, Mon, 900, true},
        {"0800-0900", "", W::Now, Mon, 901, false},
        {"0800-0900", "", W::Now, Mon, 759, false},
        // Next hours: on the air at some minute of the window.
        {"0800-0900", "", W::Next1h, Mon, 701, true},
        {"0800-0900", "", W::Next1h, Mon, 700, false},
        {"0800-0900", "", W::Next1h, Mon, 845, true},
        {"0800-0900", "", W::Next3h, Mon, 501, true},
        {"0800-0900", "", W::Next6h, Mon, 159, false},
        // Over midnight: the night belongs to the day it starts.
        {"2300-0100", "", W::Now, Tue, 30, true},
        {"2300-0100", "6", W::Now, Sat, 2330, true},
        {"2300-0100", "6", W::Now, Sun, 30, true},
        {"2300-0100", "6", W::Now, Sat, 30, false},
        {"2300-0100", "6", W::Now, Mon, 30, false},
        // Days of the week, and a window over the day and the week's end.
        {"0600-0700", "12345", W::Now, Sat, 630, false},
        {"0600-0700", "12345", W::Now, Fri, 630, true},
        {"0600-0700", "12345", W::Next6h, Sun, 100, false},
        {"0600-0700", "12345", W::Next6h, Mon, 1, true},
        {"0100-0200", "1", W::Next3h, Sun, 2330, true},
        {"0100-0200", "1", W::Next1h, Sun, 2330, false},
        {"2200-2400", "7", W::Next1h, Mon, 0, false},
        // start = end is never on the air; Any passes everything.
        {"1200-1200", "", W::Next6h, Mon, 1100, false},
        {"1200-1200", "", W::Any, Mon, 1100, true},
        {"0800-0900", "6", W::Any, Mon, 1100, true},
    };
    for (const auto &c : cases) {
        const QString l = line(6175, c.time, "Radio Aurelia", "English", c.days);
        const onair::Moment m{c.day, c.hhmm / 100 * 60 + c.hhmm % 100};
        EXPECT_EQ(onair::passes(l, c.when, m), c.on)
            << c.time << " days " << c.days << " " << onair::whenCaption(c.when).toStdString() << " day "
            << c.day << " " << c.hhmm;
    }
    // Without days it answers as the described "on the air" rule, minute by minute.
    for (const char *time : {"0800-0900", "2300-0100", "2300-2400", "2200-0000"})
        for (int minute = 0; minute < 1440; minute += 5) {
            const QString l = line(6175, time, "X");
            const int t = minute / 60 * 100 + minute % 60;
            ASSERT_EQ(onair::passes(l, W::Now, {Wed, minute}), ftl::onAir(l, t)) << time << " " << t;
        }
    EXPECT_EQ(onair::momentOf(QDateTime(QDate(2026, 12, 6), QTime(23, 59), Qt::UTC)).day, Sun);

    // The choice with another filter (AND), and the status line's count.
    const QStringList lines{line(5950, "0800-0900", "A", "English"), line(6000, "0800-0900", "B", "French"),
                            line(6100, "0930-1030", "C", "English"), line(6200, "0800-0900", "D", "English", "7")};
    ilgfilter::Criteria c;
    c.on[1] = true;
    c.text[2] = "eng";
    c.when = W::Now;
    c.at = {Mon, 8 * 60 + 30};
    EXPECT_EQ(ilgfilter::search(lines, c, 0, kAreas), (QList<int>{0}));
    c.when = W::Next3h;
    EXPECT_EQ(ilgfilter::search(lines, c, 0, kAreas), (QList<int>{0, 2}));
    const QDateTime sat(QDate(2026, 12, 5), QTime(8, 5), Qt::UTC);
    EXPECT_EQ(ilgfilter::shownText(2, 4, W::Next3h, sat), "2 of 4 shown (Next 3 h from Sat 08:05 UTC)");
    EXPECT_EQ(ilgfilter::shownText(1, 4, W::Now, sat), "1 of 4 shown (On air now, Sat 08:05 UTC)");
    EXPECT_EQ(ilgfilter::shownText(4, 4), "4 of 4 shown");
}

TEST(OnAir, DayFieldsOfASchedule)
{
    const struct {
        const char *field, *digits;
    } cases[] = {{"Mo-Fr", "12345"}, {"Sa,Su", "67"},  {"1245", "1245"}, {"Sa-Mo", "167"},
                 {"tu/th", "24"},    {"Mo-Su", ""},    {"daily", ""},    {"irr", ""},
                 {"", ""},           {"Mo,xx", ""},    {"1280", ""}};
    for (const auto &c : cases)
        EXPECT_EQ(onair::dayDigits(c.field), c.digits) << c.field;
    EXPECT_EQ(onair::daysOf(line(6175, "0000-0100", "X", "E", "67")), (1 << Sat) | (1 << Sun));
    EXPECT_EQ(onair::daysOf(line(6175, "0000-0100", "X")), 0);
}

// The panel's lists: read once, again only when a file changed; a broadcast
// in two lists named once; the line of the status line.
TEST(OnAir, FolderListsReadOnceAndNamedNearestFirst)
{
    QTemporaryDir dir;
    const QString d = dir.path() + '/';
    QString err;
    const QString aurelia = line(9580, "0800-0900", "Radio Aurelia", "English");
    ASSERT_TRUE(textfile::writeLines(d + "a.ftl", {aurelia, line(9585, "0800-0900", "Far Away")}, &err));
    ASSERT_TRUE(textfile::writeLines(d + "b.FTL", {line(9579, "0830-0900", "Kestrel", ""), aurelia}, &err));
    onair::Lists lists;
    EXPECT_TRUE(lists.refresh(d, 1000));
    EXPECT_EQ(lists.reads(), 2);
    EXPECT_FALSE(lists.refresh(d, 1000));
    EXPECT_EQ(lists.reads(), 2);

    const onair::Moment m{Mon, 8 * 60 + 45};
    const QList<onair::Entry> now = lists.at(9580, m, 1.0);
    ASSERT_EQ(now.size(), 2);
    EXPECT_EQ(onair::statusText(now), "9580 kHz now: Radio Aurelia, English, to EU, 0800-0900 (1 more)");
    EXPECT_EQ(onair::statusText({now.at(1)}), "9579 kHz now: Kestrel, to EU, 0830-0900");
    EXPECT_EQ(onair::statusText(lists.at(9580, {Mon, 8 * 60 + 10}, 1.0)),
              "9580 kHz now: Radio Aurelia, English, to EU, 0800-0900");
    EXPECT_TRUE(lists.at(9580, {Mon, 10 * 60}, 1.0).isEmpty());

    // A changed file is read again, a removed one forgotten.
    ASSERT_TRUE(textfile::writeLines(d + "a.ftl", {line(9580, "1000-1100", "Later Radio")}, &err));
    QFile::remove(d + "b.FTL");
    EXPECT_TRUE(lists.refresh(d, 1000));
    EXPECT_EQ(lists.reads(), 3);
    EXPECT_EQ(lists.fileCount(), 1);
    EXPECT_TRUE(lists.at(9580, m, 1.0).isEmpty());
}
