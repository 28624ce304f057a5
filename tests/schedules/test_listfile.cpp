#include "schedules/listfile.h"
#include "common/filebytes.h"
#include "testkit.h"

#include <gtest/gtest.h>

using namespace schedlist;

namespace {

// A BDXC line from its fields, in the file's columns.
QString bdxLine(const QString &f1, const QString &f2, const QString &time, const QString &freqs)
{
    return f1.leftJustified(17, ' ', true) + f2.leftJustified(18, ' ', true) +
           time.leftJustified(9, ' ', true) + "    " + freqs;
}

std::shared_ptr<const LineTable> readBdx(const QString &path, int cap = 1000,
                                         ReadResult *res = nullptr)
{
    std::shared_ptr<const LineTable> t;
    const ReadResult r = bdx2::read(path, cap, &t);
    if (res)
        *res = r;
    return t;
}

} // namespace

TEST(ListLine, NormalisedTo100Characters)
{
    EXPECT_EQ(normalizeLine(u"abc").size(), 100);
    EXPECT_EQ(normalizeLine(QString(150, 'x')), QString(100, 'x'));
    // A tab is one character (one blank), as in every reader of the program:
    // the columns after it stay where the file has them.
    const QString t = normalizeLine(u"Radio\tX\t\tY");
    EXPECT_EQ(t.left(11), "Radio X  Y ");
    // Control characters become one blank each.
    const char16_t raw[] = {u'a', 0, u'b', 7, u'c'};
    EXPECT_EQ(normalizeLine(QStringView(raw, 5)).left(5), "a b c");
}

TEST(ListFile, DittoLinesFirstLineDittoAsIsCapacityEmptyAndMissing)
{
    TestApp t;
    const QString p = t.base() + "BDXC/BDX01TOE.TXT";
    writeBytes(p, (bdxLine(".", ".", "0600-0700", "6175") + "\r\n" +
                   bdxLine("Kestrel", "English", "0700-0800", "7385") + "\n" +
                   bdxLine(".", "Spanish", "0800-0900", "9395") + "\r\n" +
                   bdxLine(".", ".", "0900-1000", "11710"))
                      .toLatin1());
    ReadResult r;
    auto tab = readBdx(p, 1000, &r);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    ASSERT_EQ(tab->count(), 4);
    EXPECT_EQ(tab->line(1).left(1), ".");
    EXPECT_EQ(tab->line(1).mid(17, 1), ".");
    EXPECT_EQ(tab->line(3).left(17).trimmed(), "Kestrel");
    EXPECT_EQ(tab->line(3).mid(17, 18).trimmed(), "Spanish");
    // Line 4 repeats line 3 as resolved (the ditto chain).
    EXPECT_EQ(tab->line(4).left(35), tab->line(3).left(35));
    EXPECT_EQ(tab->line(4).mid(35, 9), "0900-1000");
    // A blank is no ditto mark.
    const QString blank = normalizeLine(bdxLine(" x", " y", "0100-0200", ""));
    EXPECT_EQ(resolveDitto(blank, tab->line(4)), blank);

    // Own lists have no ditto lines.
    std::shared_ptr<const LineTable> o;
    ASSERT_TRUE(own2::read(p, 1000, &o).ok);
    EXPECT_EQ(o->line(4).left(1), ".");

    // The capacity, an empty file and a missing one.
    QByteArray many;
    for (int i = 0; i < 1005; ++i)
        many += bdxLine(QString("S%1").arg(i), "x", "0000-0100", "6175").toLatin1() + "\r\n";
    writeBytes(p, many);
    tab = readBdx(p, 1000, &r);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.truncated);
    EXPECT_EQ(r.linesRead, 1000);
    EXPECT_EQ(tab->count(), 1000);
    EXPECT_EQ(tab->line(1000).left(4), "S999");

    writeBytes(p, "");
    tab = readBdx(p, 1000, &r);
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.truncated);
    EXPECT_EQ(tab->count(), 0);
    EXPECT_TRUE(selectAll(*tab).isEmpty());

    std::shared_ptr<const LineTable> keep = tab;
    r = bdx2::read(t.base() + "BDXC/NONE.TXT", 1000, &tab);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.contains("NONE.TXT"));
    EXPECT_EQ(tab, keep); // untouched
    // (Random bytes: the lists' fuzz target.)
}

TEST(FreqFields, SlotsOfAFrequencyPart)
{
    // Slots 1 to 8 as "|"-joined cells.
    const struct {
        const char16_t *part;
        const char *cells;
    } cases[] = {
        // The documented example: five blanks for "9.5", the rest empty.
        {u"6175, 9.5,  15120*", " 6175|     |15120|||||"},
        // A trailing comma adds one more field of five blanks.
        {u"6175, 9635,", " 6175| 9635|     |||||"},
        // 30000 is shown; 10 and below-10 limits.
        {u"30000,30001,10,9.99", "30000|     |   10|     ||||"},
        // More than seven: the first seven, and the last in slot 8.
        {u"1001,1002,1003,1004,1005,1006,1007,1008,1009,1010", " 1001| 1002| 1003| 1004| 1005| 1006| 1007| 1010"},
    };
    for (const auto &c : cases) {
        const FreqSlots f = freqFields(c.part);
        EXPECT_EQ(QStringList(f.begin() + 1, f.begin() + 9).join('|'), c.cells) << QString::fromUtf16(c.part).toStdString();
        EXPECT_EQ(f[9], "");
    }

    // Rows: BDXC station, two fields, time, F1..F7, code; own: station, two
    // short fields, time, F1..F8, empty, code.
    const QList<QString> row = rowOf(Kind::Bdx, normalizeLine(bdxLine("R", "x", "0700-0730", "6175, 9.5,  15120*")));
    ASSERT_EQ(row.size(), 11);
    EXPECT_EQ(QStringList({row[0], row[2], row[3], row[5], row[9], row[10]}).join('|'),
              "R               |0700-0730| 6175|15120||0041");
    const QString own = normalizeLine(QString("Harbour Volmet      E   Eu  0000-2400 0120        ") +
                                      "5505, 8957, 13264");
    const QList<QString> orow = rowOf(Kind::Own, own);
    ASSERT_EQ(orow.size(), 14);
    EXPECT_EQ(QStringList({orow[0].trimmed(), orow[1], orow[2], orow[3], orow[4], orow[6], orow[12], orow[13]}).join('|'),
              "Harbour Volmet|E  |Eu |0000-2400| 5505|13264||0120");
}

TEST(TimeSelection, ComparedAsText)
{
    for (const char *t : {"1200", "2400", "0000", "2401", "120", ""})
        EXPECT_EQ(isSelectionTime(t), QByteArray(t) == "1200" || QByteArray(t) == "2400") << t;
    for (const char *a : {"ALL", "All", "al"})
        EXPECT_EQ(isSelectionAll(a), QByteArray(a) != "al") << a;

    const QString l = normalizeLine(bdxLine("R", "x", "0600-0700", "6175"));
    EXPECT_TRUE(onAirAt(l, "0600"));  // T = start matches
    EXPECT_TRUE(onAirAt(l, "0659"));
    EXPECT_FALSE(onAirAt(l, "0700")); // T = end does not
    EXPECT_FALSE(onAirAt(l, "0559"));

    // Past midnight never matches; "all" still lists it.
    LineTable t(10);
    t.append(normalizeLine(bdxLine("Late", "x", "2300-0100", "5920")));
    t.append(l);
    for (const char *tt : {"2300", "2330", "0000", "0030", "2400"})
        EXPECT_FALSE(onAirAt(t.line(1), tt)) << tt;
    EXPECT_EQ(selectTime(t, "0630"), QList<int>({2}));
    EXPECT_EQ(selectAll(t), QList<int>({1, 2}));
}

TEST(ListFile, DemoListsHaveTheirColumns)
{
    // ADX26TOW.TXT is Windows-1252: its accents stay in their columns.
    for (const char *name : {"BDX26TOE.TXT", "ADX26TOW.TXT"}) {
        ReadResult r;
        auto tab = readBdx(sourcePath(QString("data/demo/BDXC/") + name), 1000, &r);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        ASSERT_GE(tab->count(), 3);
        for (int i = 1; i <= tab->count(); ++i) {
            const QString l = tab->line(i);
            EXPECT_TRUE(l.at(35).isDigit() && l.at(39) == '-' && l.at(40).isDigit()) << name << i;
            EXPECT_NE(l.at(0), '.') << name << i; // ditto lines resolved
            EXPECT_NE(l.at(17), '.') << name << i;
        }
        if (QByteArray(name) == "ADX26TOW.TXT") {
            EXPECT_EQ(cellOf(Kind::Bdx, tab->line(1), 0).trimmed(), QString::fromUtf8("Rádio Açores Sul"));
            EXPECT_EQ(cellOf(Kind::Bdx, tab->line(1), 1).trimmed(), QString::fromUtf8("Português Af"));
            EXPECT_EQ(cellOf(Kind::Bdx, tab->line(2), 0).trimmed(), QString::fromUtf8("Rádio Açores Sul"));
        }
    }
    std::shared_ptr<const LineTable> o;
    ASSERT_TRUE(own2::read(sourcePath("data/demo/OWN/OWN_DEMO.TXT"), 1000, &o).ok);
    for (int i = 1; i <= o->count(); ++i)
        EXPECT_EQ(o->line(i).mid(32, 1), "-") << i;
}
