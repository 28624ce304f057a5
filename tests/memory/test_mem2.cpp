// The memory table core: row texts, the memory file, sort, print lines,
// ranges and the scan walk.
#include "link/captions.h"
#include "common/filebytes.h"
#include "memory/mem2.h"
#include "testkit.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace mem2;

namespace {

const Captions cap = Captions::build(false, false);

QString rec(int ch, const char *rec12)
{
    return QLatin1Char('L') + ch3(ch) + QString::fromLatin1(rec12);
}

} // namespace

TEST(Mem2Rows, DataEmptyNeverFilledAndCodesOutsideTheirTables)
{
    EXPECT_EQ(rowText(cap, 5, rec(5, "004095000000"), "ABC", true),
              "005\t 9500\t Off\tWide\tAM\tSlow\tABC");
    EXPECT_EQ(rowText(cap, 7, rec(7, "112151105001"), QString(), false),
              "007\t 15110.5\t On\tInter\tUSB\tFast");
    EXPECT_EQ(rowText(cap, 5, "L005V", "tag", true), "005\tno data");
    // A never-filled record: the data form from code 0 of every table.
    EXPECT_EQ(rowText(cap, 12, QString(), QString(), true), "012\t 0\t Off\tWide\tRTTY\tSlow\t");
    // Short reply: the missing fields read as 0.
    EXPECT_EQ(rowCells(cap, 3, "L0030040950", QString(), false).at(ColAgc), "Slow");
    EXPECT_EQ(freqCell(rec(1, "000000100000")), " 10");
    EXPECT_EQ(freqCell(rec(1, "000299999990")), " 29999.999");
    EXPECT_EQ(selFreqText(rec(1, "004095005000")), "09500.500");
    EXPECT_EQ(selFreqText(QString()), "00000.000");

    // ATT 9, BW 7, mode "x", AGC 5: every cell empty, nothing read past a table.
    const QStringList c = rowCells(cap, 0, "L0009#x095000005", QString(), false);
    EXPECT_EQ(c.mid(ColAtt), (QStringList{"", "", "", ""}));
    // The accepted-but-empty codes: ATT 2, BW 4, AGC 3 and 4; Narr and the
    // ECSS modes only with their options.
    EXPECT_EQ(attText(cap, "L0002"), "");
    EXPECT_EQ(bwText(cap, "L00002"), "");
    EXPECT_EQ(modeText(cap, "L000007"), "");
    EXPECT_EQ(modeText(Captions::build(true, true), "L000007"), "AM-U");
    EXPECT_EQ(bwText(Captions::build(true, true), "L00002"), "Narr");
    EXPECT_EQ(agcText(cap, "L000000095000004"), "");
    // Garbage in the frequency digits ends the number.
    EXPECT_EQ(freqCell("L000000095x00000"), " 0.095");
    EXPECT_EQ(recordHz(QStringLiteral("L000000\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e9\u00e90")), 0);
}

struct Mem2File : ::testing::Test {
    TestApp t;
    QString dir() const { return memDir(t.app.settings); }
};

TEST_F(Mem2File, WritesTheDocumentedLayoutReadsItBackAndFailsByName)
{
    MemTable m;
    m.rec[0] = rec(0, "004095000000");
    m.tag[0] = "R. Vanguard, \"Evening\" news";
    m.rec[5] = "L005V";
    m.tag[5] = "dropped on save";
    m.rec[6] = rec(6, "013071505001");
    m.tag[199] = "never filled";
    QString err;
    ASSERT_EQ(dir(), t.base() + "MEM/");
    ASSERT_TRUE(writeMemFile(dir() + "MEM_T.TXT", m, &err)) << err.toStdString();

    const QList<QByteArray> lines = readBytes(dir() + "MEM_T.TXT").split('\n');
    ASSERT_EQ(lines.size(), 201); // 200 lines + the empty text after the last LF
    EXPECT_EQ(lines[0], "L000004095000000 R. Vanguard, \"Evening\" news\r");
    EXPECT_EQ(lines[5] + '|' + lines[6] + '|' + lines[7] + '|' + lines[199], "L005V \r|L006013071505001 \r| \r| \r");
    EXPECT_TRUE(m.tag[5].isEmpty());

    MemTable back;
    back.rec[100] = "stale";
    int n = 0;
    ASSERT_TRUE(readMemFile(dir() + "MEM_T.TXT", back, &n, &err));
    EXPECT_EQ(n, 200);
    for (int i = 0; i < kChannels; ++i) {
        EXPECT_EQ(back.rec[i], m.rec[i]) << i;
        EXPECT_EQ(back.tag[i], m.tag[i]) << i;
    }
    // A failed read names the file and keeps the table; so does a write to a
    // name a folder has taken.
    EXPECT_FALSE(readMemFile(dir() + "MEM_NONE.TXT", back, nullptr, &err));
    EXPECT_TRUE(err.contains("MEM_NONE.TXT")) << err.toStdString();
    EXPECT_EQ(back.rec[0], m.rec[0]);
    QDir().mkpath(dir() + "MEM_DIR.TXT");
    EXPECT_FALSE(writeMemFile(dir() + "MEM_DIR.TXT", m, &err));
    EXPECT_TRUE(err.contains("MEM_DIR.TXT")) << err.toStdString();
    EXPECT_TRUE(QFileInfo(dir() + "MEM_DIR.TXT").isDir());
    // Lines the fuzzer found that did not save and reload the same are its
    // seeds (fuzz/corpus/fuzz_memfile/found-*), checked on every fuzz run.
}

TEST_F(Mem2File, EdgeCasesAndBadRecordsLoadWithoutLosingAnything)
{
    const QString p = dir() + "MEM_EDGE.TXT";
    QByteArray bytes;
    bytes += "L000004095000000 " + QByteArray(70, 'x') + "\r\n"; // long tag: cut to 50
    bytes += "L001V \r\n";                                        // empty channel
    bytes += " \r\n";                                             // never filled
    bytes += "L003004\n";                                         // short record, LF only
    bytes += "   L004004095000000 Caf\xe9 Mus\xe9\x65  \r\n";     // Windows-1252, blanks around
    bytes += "L005004095000000\tafter tab\r\n";                 // no space at 17
    writeBytes(p, bytes);
    MemTable m;
    int n = 0;
    QString err;
    ASSERT_TRUE(readMemFile(p, m, &n, &err));
    EXPECT_EQ(n, 6);
    EXPECT_EQ(m.tag[0], QString(50, 'x'));
    EXPECT_EQ(rowText(cap, 1, m.rec[1], m.tag[1], true), "001\tno data");
    EXPECT_EQ(QStringList({m.rec[1], m.rec[2], m.rec[3], m.tag[4], m.tag[5], m.rec[6]}).join('|'),
              QString::fromUtf8("L001V||L003004|Caf\u00e9 Mus\u00e9e|after tab|"));

    // More than 200 lines: the first 200 count, the rest are counted.
    QByteArray many;
    for (int i = 0; i < 260; ++i)
        many += "L" + QByteArray::number(1000 + i % 200).right(3) + "004095000000 n" +
                QByteArray::number(i) + "\r\n";
    writeBytes(p, many);
    int extra = 0;
    ASSERT_TRUE(readMemFile(p, m, &n, &err, nullptr, &extra));
    EXPECT_EQ(n, 200);
    EXPECT_EQ(extra, 60);
    EXPECT_EQ(m.tag[199], "n199");

    // Records that do not fit the layout are kept, unknown, and named in one
    // message.
    writeBytes(p, "L000004095000000 good\r\nL001V my note\r\nL002V \r\nL007abc\r\nl009v\r\n \r\n");
    QList<int> bad;
    ASSERT_TRUE(readMemFile(p, m, &n, nullptr, &bad));
    EXPECT_EQ(n, 6);
    EXPECT_EQ(bad, (QList<int>{1, 3, 4}));
    EXPECT_EQ(m.unknownChannels(), bad);
    EXPECT_EQ(m.rec[3], "L007abc"); // nothing thrown away
    EXPECT_FALSE(m.unknown[0] || m.unknown[2] || m.unknown[5]);
    const QString msg = badRecordsText(m, bad);
    EXPECT_TRUE(msg.startsWith("3 channels hold records that do not fit")) << msg.toStdString();
    for (const char *s : {"001  \"L001V my note\"", "003  \"L007abc\"", "004  \"l009v\""})
        EXPECT_TRUE(msg.contains(s)) << s;
}

// A table of empty channels; after a sort, channels from `first` on must be
// empty again, with no tag and not unknown.
static MemTable emptyTable()
{
    MemTable m;
    for (int i = 0; i < kChannels; ++i)
        m.rec[i] = emptyRecord(i);
    return m;
}
static void expectEmptyFrom(const MemTable &m, int first)
{
    for (int i = first; i < kChannels; ++i)
        EXPECT_TRUE(m.rec[i] == emptyRecord(i) && m.tag[i].isEmpty() && !m.unknown[i]) << i;
}

TEST(Mem2Sort, AscendingWithEmptiesMovedToTheEndAndShortRecordsFirst)
{
    MemTable m = emptyTable();
    m.rec[0] = rec(0, "004150000000");
    m.tag[0] = "fifteen";
    m.rec[10] = rec(10, "004060000001");
    m.tag[10] = "six";
    m.rec[20] = rec(20, "004060000000");
    m.rec[30] = QString();            // never filled: short, goes to the end
    m.rec[40] = rec(40, "0040095");   // short record but longer than 5: sorts by its text
    m.tag[41] = "tag of an empty channel";
    sortByFreq(m);
    EXPECT_EQ(QStringList({m.rec[0], m.rec[1], m.rec[2] + ' ' + m.tag[2], m.rec[3] + ' ' + m.tag[3]}),
              QStringList({rec(40, "0040095"), rec(20, "004060000000"), rec(10, "004060000001") + " six",
                           rec(0, "004150000000") + " fifteen"}));
    expectEmptyFrom(m, 4);

    m = emptyTable();
    m.rec[6] = "L006004";       // empty sort text, yet not an empty channel
    m.rec[150] = rec(150, "004095000000");
    m.rec[151] = rec(151, "004060000000");
    m.unknown[160] = true;      // not read: stays unknown, after the data
    m.rec[160].clear();
    sortByFreq(m);
    EXPECT_EQ(QStringList({m.rec[0], m.rec[1], m.rec[2], m.rec[3]}),
              QStringList({"L006004", rec(151, "004060000000"), rec(150, "004095000000"), ""}));
    EXPECT_TRUE(m.unknown[3]);
    expectEmptyFrom(m, 4);
}

TEST(Mem2Print, LineLayoutAndWrappedRange)
{
    const QString five = "     ";
    EXPECT_EQ(printLine(cap, 5, rec(5, "004071505000"), "Radio X"),
              "005" + five + " 7150 " + ".5  " + " Off" + "  Wide" + "   AM" + " Slow" + "  Radio X");
    EXPECT_EQ(printLine(cap, 6, rec(6, "112099000001"), QString()),
              "006" + five + " 9900 " + "    " + "  On" + " Inter" + "  USB" + " Fast" + "  ");
    EXPECT_EQ(printLine(cap, 7, rec(7, "004151101251"), "t"),
              "007" + five + " 15110" + ".125" + " Off" + "  Wide" + "   AM" + " Fast" + "  t");
    EXPECT_EQ(printLine(cap, 8, "L008V", QString()), "008" + five + " no data");
    EXPECT_EQ(printLine(cap, 9, QString(), QString()), "009" + five + " no data");
    // The channel digits come from the record (a sorted record keeps its own).
    EXPECT_EQ(printLine(cap, 0, rec(42, "004000005000"), QString()), "042" + five + " no data");

    MemTable m;
    m.rec[195] = rec(195, "004095000000");
    const QStringList lines = printLines(cap, m, "mem_test.txt", 190, 5);
    ASSERT_EQ(lines.size(), 5 + 16);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[2], "MEM_TEST.TXT     ");
    EXPECT_TRUE(lines[5].startsWith("190"));
    EXPECT_TRUE(lines[14].startsWith("199"));
    EXPECT_TRUE(lines[15].startsWith("000"));
    EXPECT_TRUE(lines[20].startsWith("005"));
    EXPECT_EQ(lines[10], "195" + QString(5, ' ') + " 9500 " + "    " + " Off" + "  Wide" + "   AM" + " Slow" + "  ");
}

TEST(Mem2Range, FromToDelayAndTheScanWalkThatWraps)
{
    int a = -1, b = -1;
    EXPECT_TRUE(readRange("150", "20", &a, &b));
    EXPECT_EQ(QString("%1 %2").arg(a).arg(b), "150 20");
    EXPECT_TRUE(readRange(" 2,5", "199", &a, &b)); // halves to even
    EXPECT_EQ(a, 2);
    for (const auto &[from, to] : {std::pair{"199", "199"}, {"0", "200"}, {"-1", "5"}})
        EXPECT_FALSE(readRange(from, to, &a, &b)) << from;
    EXPECT_TRUE(readRange("abc", "", &a, &b)); // nothing numeric reads as 0
    double d = 0;
    for (const char *text : {"0,1", "10", "0.05", "11"})
        EXPECT_EQ(readDelay(text, &d), QByteArray(text) == "0,1" || QByteArray(text) == "10") << text;

    ScanRange s;
    const auto walk = [&](int first, int last, int n) {
        s.start(first, last);
        QList<int> seen;
        while (seen.size() < n)
            seen << s.next();
        return seen;
    };
    const QList<int> round = printRange(190, 5); // 190..199, 000..005
    EXPECT_EQ(walk(190, 5, 33), round + round + QList<int>{190});
    EXPECT_TRUE(s.wrap);
    EXPECT_EQ(walk(3, 5, 7), (QList<int>{3, 4, 5, 3, 4, 5, 3}));
    EXPECT_FALSE(s.wrap);
    EXPECT_EQ(walk(7, 7, 2), (QList<int>{7, 7}));
}

TEST(Mem2Check, RecordsAgainstTheirLayout)
{
    const struct {
        const char *rec;
        RecKind kind;
    } cases[] = {
        {"", RecKind::NeverFilled},
        {"V", RecKind::Empty}, // a never-filled record deleted in the cell editor
        {"L005V", RecKind::Empty},
        {"L000004095000000", RecKind::Data},
        {"L199242299999994", RecKind::Data}, // ATT 2, BW 4, AGC 4: no caption, accepted
        {"L001V my note", RecKind::Bad},
        {"L007abc", RecKind::Bad},
        {"l009v", RecKind::Bad},
        {"L003004", RecKind::Bad},
        {"LO0O0O4O9S0O0O0O", RecKind::Bad},
        {"L0009#x095000005", RecKind::Bad},
        {"L200004095000000", RecKind::Bad},  // no channel 200
        {"L000304095000000", RecKind::Bad},  // ATT 3
        {"L000054095000000", RecKind::Bad},  // BW 5
        {"L000004095000005", RecKind::Bad},  // AGC 5
        {"L00000409500000", RecKind::Bad},   // 15 characters
        {"L0000040950000001", RecKind::Bad}, // 17 characters
    };
    for (const auto &c : cases)
        EXPECT_EQ(recordKind(QString::fromLatin1(c.rec)), c.kind) << c.rec;
    EXPECT_EQ(channelList({3, 10, 11, 12, 50}), "003, 010-012, 050");
}
