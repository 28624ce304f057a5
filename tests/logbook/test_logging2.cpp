#include "logbook/logging2.h"
#include "common/filebytes.h"
#include "testkit.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace logging2;

namespace {

Record rec(std::initializer_list<QString> fields)
{
    Record r;
    int k = 0;
    for (const QString &f : fields)
        r[k++] = f;
    return r;
}

const Record kNordvik = rec({"20261102", "0005", "0030", "06175", "45444", "E", "Radio Nordvik", "Skerrvik",
                             "09635", "11820", "", "", "News, then folk music", "0041", "pq"});

} // namespace

TEST(LogFile, LineHasTheDescribedColumnsEvenWhenDamaged)
{
    const QString l = formatLine(7, kNordvik);
    ASSERT_EQ(l.size(), kLineLength);
    EXPECT_EQ(l.left(4), "007 ");
    // Field starts (1-based columns) and the blanks between them.
    const int starts[kFields] = {5, 14, 19, 24, 34, 40, 44, 65, 86, 92, 98, 104, 110, 151, 156};
    for (int k = 0; k < kFields; ++k) {
        EXPECT_EQ(columnOf(k), starts[k]);
        EXPECT_EQ(l.mid(starts[k] - 1, kWidth[k]).trimmed(), kNordvik[k].trimmed()) << k;
        EXPECT_EQ(l.at(starts[k] - 1 + kWidth[k]), QLatin1Char(' ')) << k;
    }
    // Read back: every field keeps its width (trailing blanks).
    const Record back = parseLine(l);
    for (int k = 0; k < kFields; ++k)
        EXPECT_EQ(back[k], kNordvik[k].leftJustified(kWidth[k])) << k;
    // The record number wraps after 999.
    EXPECT_EQ(recordNumber(0), "000");
    EXPECT_EQ(recordNumber(999), "999");
    EXPECT_EQ(recordNumber(1000), "000");
    EXPECT_EQ(formatLine(1000, kNordvik).left(3), "000");

    // Damaged lines load without moving the columns.
    struct Case {
        const char *name;
        QString line;
        int field;
        QString expect;
    };
    const QString good = formatLine(0, kNordvik);
    QString tabbed = good;
    tabbed[43] = QLatin1Char('\t'); // first character of BC Org.
    QString garbage = good;
    garbage[44] = QChar(0);
    garbage[45] = QChar(0x07);
    const Case cases[] = {
        {"short line: short fields", good.left(50), Organisation, "Radio N"},
        {"short line: missing fields empty", good.left(50), Remarks, ""},
        {"long line cut at 160", good + "EXTRA TEXT", Pqrs, "pq  "},
        {"tab is one character, a blank", tabbed, Organisation, " adio Nordvik       "},
        {"tab does not shift the next field", tabbed, TxLocation, "Skerrvik            "},
        {"control characters become blanks", garbage, Organisation, "R  io Nordvik       "},
        {"a field over its width stays in its columns", QString("000 2026110200000 0030"), Date,
         "20261102"},
        {"  ... and the rest goes to the next field", QString("000 2026110200000 0030"), BeginTime, "0000"},
        {"empty line", QString(), Date, ""},
    };
    for (const Case &c : cases) {
        const Record r = parseLine(c.line);
        EXPECT_EQ(r[c.field], c.expect) << c.name;
        for (const QString &f : r)
            for (QChar ch : f)
                EXPECT_GE(ch.unicode(), 0x20) << c.name;
    }
}

TEST(LogFile, ReadsFilesOfEveryShapeAndNeverWritesOverAPartlyLoadedOne)
{
    TestApp t;
    const QString dir = t.base() + "LOG/";
    const QByteArray good = formatLine(0, kNordvik).toUtf8();
    struct Case {
        const char *name;
        QByteArray bytes;
        int capacity;
        int records;
        int unread; // lines not loaded
    };
    QByteArray many;
    for (int i = 0; i < 30; ++i)
        many += good + "\r\n";
    const Case cases[] = {
        {"empty file", "", 10, 0, 0},
        {"LF only, no final break", good + "\n" + good, 10, 2, 0},
        {"more lines than the table", many, 21, 21, 9},
        {"exactly the table", many, 30, 30, 0},
        // (Random bytes: the log's fuzz target, with these same checks.)
    };
    for (const Case &c : cases) {
        writeBytes(dir + "LOG_X.TXT", c.bytes);
        LogBook b;
        const LogBook::ReadResult r = b.read(dir + "LOG_X.TXT", c.capacity);
        ASSERT_TRUE(r.ok) << c.name;
        EXPECT_EQ(b.count(), c.records) << c.name;
        EXPECT_EQ(r.read, b.count()) << c.name;
        EXPECT_EQ(r.unread, c.unread) << c.name;
        EXPECT_EQ(r.truncated, c.unread > 0) << c.name;
        EXPECT_TRUE(b.notSaved) << c.name;
        EXPECT_EQ(b.last(), b.count() - 1) << c.name;
        // Whatever was read is written back in its columns.
        for (const QString &l : b.lines())
            EXPECT_EQ(l.size(), kLineLength) << c.name;
    }

    // Windows-1252 accents keep one character each; the file is written back
    // as UTF-8.
    QByteArray cp = good;
    cp.replace("Skerrvik", "Gavil\xE1n ");
    cp.replace("Radio Nordvik", "Radio Br\xEAmhav");
    writeBytes(dir + "LOG_X.TXT", cp + "\r\n");
    LogBook b;
    ASSERT_TRUE(b.read(dir + "LOG_X.TXT", 5).ok);
    EXPECT_EQ(b.record(0)[TxLocation], QString::fromUtf8("Gavilán             "));
    EXPECT_EQ(b.record(0)[Organisation], QString::fromUtf8("Radio Brêmhav       "));
    EXPECT_EQ(b.record(0)[Par1], "09635");
    QString err;
    ASSERT_TRUE(b.save(dir + "LOG_X.TXT", &err)) << qPrintable(err);
    EXPECT_FALSE(b.notSaved);
    const QByteArray out = readBytes(dir + "LOG_X.TXT");
    EXPECT_TRUE(out.endsWith("\r\n"));
    EXPECT_TRUE(out.contains(QString::fromUtf8("Gavilán").toUtf8()));
    EXPECT_EQ(QString::fromUtf8(out).size(), kLineLength + 2);

    // A file that is not there: a message naming it, the old log untouched.
    const LogBook::ReadResult missing = b.read(dir + "LOG_NONE.TXT", 5);
    EXPECT_FALSE(missing.ok);
    EXPECT_TRUE(missing.error.contains("LOG_NONE.TXT"));
    EXPECT_EQ(b.count(), 1);
    // (A save that fails: the log window's way-out test; a read-only folder
    // and a full disk: the data-safety test.)

    // A partly loaded file is never written over, under any spelling of its
    // name: refused, saying how many and what to do.
    writeBytes(dir + "LOG_BIG.TXT", many);
    ASSERT_EQ(b.read(dir + "LOG_BIG.TXT", 21).unread, 9);
    for (const QString &name : {dir + "LOG_BIG.TXT", dir + "../LOG/./LOG_BIG.TXT"}) {
        EXPECT_TRUE(b.partlyLoaded(name)) << qPrintable(name);
        EXPECT_FALSE(b.save(name, &err)) << qPrintable(name);
        EXPECT_TRUE(err.contains("LOG_BIG.TXT") && err.contains(" 9 ") && err.contains("SaveAs"))
            << qPrintable(err);
        EXPECT_EQ(readBytes(dir + "LOG_BIG.TXT"), many);
        EXPECT_TRUE(b.notSaved);
    }
    // Under a new name it saves; the partly loaded file stays protected.
    ASSERT_TRUE(b.save(dir + "LOG_PART.TXT", &err)) << qPrintable(err);
    EXPECT_FALSE(b.save(dir + "LOG_BIG.TXT", &err));
    EXPECT_EQ(readBytes(dir + "LOG_BIG.TXT"), many);
    // Loaded whole, it saves over itself again.
    ASSERT_EQ(b.read(dir + "LOG_BIG.TXT", 30).unread, 0);
    EXPECT_FALSE(b.partlyLoaded(dir + "LOG_BIG.TXT"));
    EXPECT_TRUE(b.save(dir + "LOG_BIG.TXT", &err)) << qPrintable(err);
}

TEST(LogSort, FiveOrdersAndTheSaveByDate)
{
    // Keys: the fields in the choice's order, upper case, as stored.
    EXPECT_EQ(sortKey(rec({"20261102", "0005", "", "06175", "", "e", "radio x"}), 3),
              "RADIO X20261102000506175E");

    // Two records stay as they are; three or more are sorted.
    LogBook two;
    two.create(10);
    two.append(rec({"20261105"}));
    two.append(rec({"20261101"}));
    two.sort();
    EXPECT_EQ(two.record(0)[Date], "20261105");

    // Random logs of several sizes come out in key order for every choice.
    QRandomGenerator rng(535);
    const char *orgs[] = {"Radio Nordvik", "radio nordvik", "Kestrel Intl", "Voice of Tarsis", "R. Halvard"};
    for (int n : {3, 4, 6, 7, 50, 257}) {
        for (int choice = 0; choice < 5; ++choice) {
            LogBook b;
            b.create(1000);
            for (int i = 0; i < n; ++i)
                b.append(rec({QString("202611%1").arg(1 + rng.bounded(28), 2, 10, QChar('0')),
                              QString("%1").arg(rng.bounded(2400), 4, 10, QChar('0')), "",
                              QString("%1").arg(3000 + rng.bounded(20000), 5, 10, QChar('0')), "",
                              QString("EGFS").mid(rng.bounded(4), 1), orgs[rng.bounded(5)]}));
            b.sortChoice = choice;
            b.sort();
            for (int i = 1; i < n; ++i)
                ASSERT_LE(sortKey(b.record(i - 1), choice), sortKey(b.record(i), choice))
                    << "n=" << n << " choice=" << choice << " at " << i;
        }
    }

    // A save sorts by date first.
    TestApp t;
    LogBook b;
    b.create(10);
    b.append(rec({"20261103", "", "", "", "", "A"}));
    b.append(rec({"20261101", "", "", "", "", "C"}));
    b.append(rec({"20261102", "", "", "", "", "B"}));
    b.sortChoice = 4;
    b.sort();
    EXPECT_EQ(b.record(0)[Date], "20261103");
    QString err;
    ASSERT_TRUE(b.save(t.base() + "LOG/LOG_S.TXT", &err));
    EXPECT_EQ(b.sortChoice, 0);
    EXPECT_EQ(b.record(0)[Date], "20261101");
    EXPECT_TRUE(readBytes(t.base() + "LOG/LOG_S.TXT").startsWith("000 20261101"));
}

TEST(LogFormat, LengthWidthsStoredValuesAndTheInputCheck)
{
    EXPECT_EQ(formatLength(kDefaultFormat), "067");
    EXPECT_EQ(formatLength("000000000000000"), "000");
    EXPECT_EQ(formatLength("111111111111111"), "156");
    EXPECT_EQ(shownFields(kDefaultFormat), (QList<int>{0, 1, 3, 4, 5, 6, 8, 9}));

    const struct {
        QString typed, freq, time;
    } cases[] = {
        {"6175", "06175", "6175"}, {"6175,5", "06175.500", "6176"}, {"", "00000", ""},
        {"930", "00930", "0930"},  {"15120.25", "15120.250", "15120"}, {"abc", "00000", "0000"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(storeFrequency(c.typed), c.freq) << qPrintable(c.typed);
        EXPECT_EQ(storeTime(c.typed), c.time) << qPrintable(c.typed);
    }
    EXPECT_EQ(tuningCode(rec({})), "0041");
    EXPECT_EQ(tuningCode(rec({"", "", "", "", "", "", "", "", "", "", "", "", "", "0120"})), "0120");

    // The optional input check names the field.
    const struct {
        Record r;
        int bad;
    } checks[] = {
        {rec({}), -1},
        {rec({"20261205", "0930", "1000", "6175,5"}), -1},
        {rec({"20261345"}), Date},
        {rec({"2026120"}), Date},
        {rec({"20261205", "2460"}), BeginTime},
        {rec({"20261205", "0930", "12:3"}), EndTime},
        {rec({"", "", "", "9"}), Frequency},
        {rec({"", "", "", "30000"}), Frequency},
        {rec({"", "", "", "61x5"}), Frequency},
        {rec({"", "", "", "29999.999"}), -1},
    };
    for (const auto &c : checks) {
        QString why;
        EXPECT_EQ(checkRecord(c.r, &why), c.bad) << qPrintable(why);
        EXPECT_EQ(why.isEmpty(), c.bad < 0);
    }
}
