// Memory channels as CSV: the rig-control tool's layout (a file its save
// wrote from the simulated receiver is in data/), the spreadsheet layout,
// the checks against the receiver's limits, and both round trips.
#include "memory/memcsv.h"
#include "sim/simradio.h"
#include "testkit.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace mem2;

namespace {

const QString kFixture = QStringLiteral(VOR_SOURCE_DIR "/tests/memory/data/rigmem_sim.csv");

// What the simulated receiver held when the fixture was saved: its demo
// memory with channels 0 to 4 written over (an Aux filter with the
// attenuator and AGC off, the two ends of the range, an empty channel).
QStringList carried(const SimRadio &r);
QStringList fixtureChannels()
{
    SimRadio r(SimRadio::DemoMemory);
    r.setChannel(0, SimRadio::Record{1, 3, 4, 9500000, 2});
    r.setChannel(1, SimRadio::Record{0, 3, 2, 7050000, 1});
    r.setChannel(2, SimRadio::Record{1, 0, 4, 10000, 0});
    r.setChannel(3, SimRadio::Record{0, 0, 5, 29999999, 1});
    r.setChannel(4, std::nullopt);
    r.setChannel(199, SimRadio::Record{0, 0, 4, 9500000, 0});
    return carried(r);
}

// Frequency, bandwidth and mode of every channel ("" for an empty one): what
// the tool's layout carries.
QStringList carried(const MemTable &t)
{
    QStringList out;
    for (int ch = 0; ch < kChannels; ++ch)
        out << (recordKind(t.rec[ch]) == RecKind::Data
                    ? QStringLiteral("%1 %2 %3").arg(recordHz(t.rec[ch])).arg(codeAt(t.rec[ch], 6)).arg(codeAt(t.rec[ch], 7))
                    : recordKind(t.rec[ch]) == RecKind::Empty ? QStringLiteral("empty") : QStringLiteral("?"));
    return out;
}
QStringList carried(const SimRadio &r)
{
    QStringList out;
    for (int ch = 0; ch < kChannels; ++ch) {
        const auto c = r.channel(ch);
        out << (c ? QStringLiteral("%1 %2 %3").arg(c->hz).arg(c->bw).arg(c->mode) : QStringLiteral("empty"));
    }
    return out;
}

MemTable variedTable()
{
    MemTable t;
    t.rec[0] = "L000004095000000";  t.tag[0] = "BBC, \"World\"; 24h";
    t.rec[1] = "L001112151105001";  t.tag[1] = "";
    t.rec[2] = "L002V";
    t.rec[5] = "L005027000100001";  t.tag[5] = " leading blank kept out";
    t.rec[7] = "L007038137100000";  t.tag[7] = "ECSS";
    t.rec[9] = "L009?garbled";      t.unknown[9] = true;
    t.rec[199] = "L199005270650001";
    return t;
}

} // namespace

TEST(MemCsv, TheToolsFileFromTheSimulatedReceiverGivesItsChannels)
{
    const memcsv::Parsed p = memcsv::read(kFixture);
    ASSERT_TRUE(p.ok) << p.error.toStdString();
    EXPECT_EQ(p.layout, memcsv::Layout::Rigmem);
    EXPECT_TRUE(p.bad.isEmpty()) << memcsv::problemsText(p, "f").toStdString();
    EXPECT_EQ(p.rows.size(), kChannels);
    MemTable t;
    EXPECT_EQ(memcsv::apply(p.rows, t), kChannels);
    EXPECT_EQ(carried(t), fixtureChannels());
    // Without attenuator and AGC in the file: off, and slow for AM, fast for CW.
    EXPECT_EQ(t.rec[0], "L000034095000000");
    EXPECT_EQ(t.rec[21], "L021021045830001");

    // The same table written in the tool's layout is the tool's file, byte
    // for byte.
    QFile f(kFixture);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(memcsv::rigmemLines(t).join('\n').toUtf8() + '\n', f.readAll());
}

TEST(MemCsv, BothLayoutsRoundTrip)
{
    const MemTable t = variedTable();
    QTemporaryDir dir;
    for (const memcsv::Layout layout : {memcsv::Layout::Sheet, memcsv::Layout::Rigmem}) {
        const bool sheet = layout == memcsv::Layout::Sheet;
        SCOPED_TRACE(sheet ? "sheet" : "rigmem");
        QList<int> left;
        const QStringList lines = sheet ? memcsv::sheetLines(t, &left) : memcsv::rigmemLines(t, &left);
        EXPECT_EQ(left.size(), kChannels - 6); // never filled, and the unknown channel 9
        EXPECT_TRUE(left.contains(9));
        const QString path = dir.path() + (sheet ? "/m.csv" : "/r.csv");
        QString err;
        ASSERT_TRUE(memcsv::write(path, lines, layout, &err)) << err.toStdString();
        const memcsv::Parsed p = memcsv::read(path);
        ASSERT_TRUE(p.ok) << p.error.toStdString();
        EXPECT_TRUE(p.bad.isEmpty()) << memcsv::problemsText(p, "f").toStdString();
        MemTable back;
        memcsv::apply(p.rows, back);
        EXPECT_EQ(carried(back), carried(t));
        if (sheet) {
            for (int ch : {0, 1, 2, 5, 7, 199}) {
                EXPECT_EQ(back.rec[ch], t.rec[ch]) << ch;
                EXPECT_EQ(back.tag[ch], t.tag[ch].trimmed()) << ch;
            }
        } else {
            // Read back over the table it came from, nothing changes.
            MemTable same = t;
            EXPECT_EQ(memcsv::apply(p.rows, same), 0);
            EXPECT_EQ(same.rec, t.rec);
            EXPECT_EQ(same.tag, t.tag);
        }
        EXPECT_TRUE(back.rec[9].isEmpty()); // left out, left alone
    }
}

TEST(MemCsv, EveryBadRowIsNamedWithItsReason)
{
    struct Case {
        const char *name;
        QStringList lines;
        QList<std::pair<int, const char *>> bad; // row, part of the reason
        int good;
    };
    const Case cases[] = {
        {"rigmem",
         {"num,freq,mode,width,funcs,", "0,9500000,AM,6000,0,", "200,9500000,AM,6000,0,", "x,1,AM,6000,0,",
          "0,6000000,AM,6000,0,", "3,5000,AM,6000,0,", "4,30000000,AM,6000,0,", "5,7000000,WFM,6000,0,",
          "6,7000000,CW,-1,0,", "7,0,AM,0,0,", "8,7000000,,0,0,", "", "9,0,,0,0,", "10,7000000,PKTUSB,3000,0,"},
         {{3, "channel \"200\" is not a number from 0 to 199"},
          {4, "channel \"x\""},
          {5, "channel 0 is also in row 2"},
          {6, "frequency 5000 Hz is outside 10.000 to 29999.999 kHz"},
          {7, "frequency 30000000 Hz"},
          {8, "mode \"WFM\" is not one of the receiver's"},
          {9, "width \"-1\""},
          {10, "frequency 0 Hz"},
          {11, "no mode"},
          {14, "mode \"PKTUSB\""}},
         2},
        {"sheet",
         {"Channel;Frequency (kHz);Mode;Bandwidth;AGC;Attenuator;Tag", "1;6175,5;am;inter;fast;on;\"two", "lines\"",
          "2;abc;AM;;;;", "3;7000;CW;Wide-ish;;;", "4;7000;CW;;Medium;;", "5;7000;CW;;;2;",
          "6;7000;CW;;;;" + QString(51, 'x'), "7;;;;;;ignored", "8;7000;;;;;"},
         {{4, "frequency \"abc\" is not a number of kHz"},
          {5, "bandwidth \"Wide-ish\""},
          {6, "AGC \"Medium\""},
          {7, "attenuator \"2\""},
          {8, "the tag is 51 characters long; a tag holds at most 50"},
          {10, "no mode"}},
         2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const memcsv::Parsed p = memcsv::parse(c.lines);
        ASSERT_TRUE(p.ok) << p.error.toStdString();
        EXPECT_EQ(p.rows.size(), c.good);
        const QString text = memcsv::problemsText(p, "in.csv");
        EXPECT_TRUE(text.startsWith(QStringLiteral("in.csv: %1 rows cannot be imported:").arg(c.bad.size())))
            << text.toStdString();
        ASSERT_EQ(p.bad.size(), c.bad.size()) << text.toStdString();
        for (int i = 0; i < c.bad.size(); ++i) {
            EXPECT_EQ(p.bad[i].line, c.bad[i].first) << p.bad[i].why.toStdString();
            EXPECT_TRUE(p.bad[i].why.contains(QLatin1String(c.bad[i].second))) << p.bad[i].why.toStdString();
        }
    }
    // The good sheet rows: a decimal comma, names in any letter case, a
    // quoted tag over two lines, a row without a frequency an empty channel.
    const memcsv::Parsed p = memcsv::parse(cases[1].lines);
    EXPECT_EQ(p.rows[0].rec, "L001114061755001");
    EXPECT_EQ(p.rows[0].tag, "two lines");
    EXPECT_EQ(p.rows[1].rec, "L007V");

    // Headers that are neither layout, or lack a column, stop the import.
    for (const QStringList &lines : {QStringList{}, QStringList{"freq,num,mode"}, QStringList{"num,freq,width,"},
                                     QStringList{"Channel,Frequency"}})
        EXPECT_FALSE(memcsv::parse(lines).ok) << lines.join('|').toStdString();
    EXPECT_EQ(memcsv::bwOfWidth(2400), 1);
    EXPECT_EQ(memcsv::bwOfWidth(500), 2);
    EXPECT_EQ(memcsv::bwOfWidth(0), 0);
    EXPECT_EQ(memcsv::bwOfWidth(15000), 3);
}
