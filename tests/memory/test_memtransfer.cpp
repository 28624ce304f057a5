// The memory transfers without a window: fetch, fill, the scan's steps and
// the single-cell writes against the fake receiver memory.
#include "link/receiver2.h"
#include "measure/session.h"
#include "memory/fakemem.h"
#include "memory/memtransfer.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QRegularExpression>
#include <QTimer>
#include <QFile>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>

using namespace mem2;

namespace {

struct Transfer : ::testing::Test {
    TestApp t;
    FakeMemory fake;
    FakePanel panel;
    MemTable tab;

    void SetUp() override
    {
        panel.attach(*t.rx);
        fake.ch[0] = "004095000000";
        fake.ch[1] = "013071505001";
        fake.ch[40] = "004060000001";
        fake.attach(t.port);
    }
    QStringList writes() const { return sentWith(t.port, {"K", "U5"}); }
    QString backup() const { return memDir(t.app.settings) + kBackupName; }
    // Runs a fetch or fill to its end.
    FetchResult fetch(MemTransfer &x)
    {
        EXPECT_TRUE(x.fetch());
        t.settle();
        return x.lastFetch();
    }
    FillResult fill(MemTransfer &x, int first, int last)
    {
        EXPECT_TRUE(x.fill(first, last));
        t.settle();
        return x.lastFill();
    }
};

} // namespace

TEST_F(Transfer, FetchReadsEveryChannelAsOneSequenceAndKeepsABackup)
{
    MemTransfer x(t.app, tab);
    x.backupDir = memDir(t.app.settings);
    QList<int> seen, shown;
    QObject::connect(&x, &MemTransfer::progress, [&](int ch, int done, int total) {
        seen << ch;
        EXPECT_EQ(done, ch);
        EXPECT_EQ(total, 200);
    });
    QObject::connect(&x, &MemTransfer::channelRead, [&](int ch) { shown << ch; });
    const FetchResult r = fetch(x);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.read, 200);
    EXPECT_EQ(seen.size(), 200);
    EXPECT_EQ(shown.size(), 200);
    EXPECT_TRUE(r.unknown.isEmpty());

    const QStringList c = t.port.commands();
    EXPECT_TRUE(t.port.trace().startsWith("H1|H1|H1|H1|U11|J1199|L199199|")) << t.port.trace().toStdString();
    const int x0 = c.indexOf("X0");
    ASSERT_GT(x0, 0);
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(c.at(x0 + 2 + i), "L" + ch3(i) + ch3(i));
    EXPECT_TRUE(t.port.trace().endsWith("L199199|H0|H0"));
    EXPECT_EQ(tab.rec[1] + '|' + tab.rec[2], "L001013071505001|L002V");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(panel.lockOn, 0);

    // The backup holds the receiver's memory and is replaced at each fetch.
    ASSERT_EQ(r.backupPath, backup());
    MemTable b;
    ASSERT_TRUE(readMemFile(backup(), b, nullptr, nullptr));
    EXPECT_EQ(b.rec[40], "L040004060000001");
    fake.ch[40] = "112151100002";
    MemTransfer y(t.app, tab);
    fetch(y); // no backup dir: the file stays
    ASSERT_TRUE(readMemFile(backup(), b, nullptr, nullptr));
    EXPECT_EQ(b.rec[40], "L040004060000001");
    fetch(x);
    ASSERT_TRUE(readMemFile(backup(), b, nullptr, nullptr));
    EXPECT_EQ(b.rec[40], "L040112151100002");
}

TEST_F(Transfer, ChannelsNotReadAreUnknownAndAFillLeavesThemAlone)
{
    // Silent after the refresh's read-out and channels 0-49; a backup of a
    // part is never written.
    fake.silentAfter = 1 + 50;
    MemTransfer x(t.app, tab);
    x.backupDir = memDir(t.app.settings);
    const FetchResult r = fetch(x);
    EXPECT_EQ(r.outcome, Outcome::NoAnswer);
    EXPECT_EQ(r.read, 50);
    EXPECT_EQ(r.unknown.size(), 150);
    EXPECT_EQ(channelList(r.unknown), "050-199");
    EXPECT_TRUE(r.backupPath.isEmpty());
    EXPECT_FALSE(QFile::exists(backup()));
    EXPECT_TRUE(t.port.trace().endsWith("L050050|H0|H0"));

    const FillPlan p = planFill(tab, 0, 199);
    EXPECT_EQ(p.writes, (QList<int>{0, 1, 40}));
    EXPECT_EQ(p.empties.size(), 47);
    EXPECT_EQ(p.unknown.size(), 150);
    EXPECT_TRUE(fillNotes(p).contains("47 of these channels hold no data"));
    EXPECT_TRUE(fillNotes(p).contains("Not read from the receiver, left as they are:\n050-199"));
    fake.silentAfter = -1;
    t.port.clearWrites();
    fill(x, 0, 199);
    EXPECT_EQ(writes().size(), 50);
    EXPECT_TRUE(t.port.trace().endsWith("U5049|H0|H0")) << t.port.trace().toStdString();
}

TEST_F(Transfer, UnreadableRepliesAreReadOnceMoreThenUnknownAndNothingOutOfLimitsIsSent)
{
    fake.ch[7] = "O0O4O9S0O0O0"; // garbled every time
    fake.garbled[8] = {"L0080040955000000\r"}; // one digit more, the first time
    fake.garbled[9] = {"L010004095000000\r", "?009004095000000\r"}; // another channel's, then ?
    fake.garbled[10] = {"L010V0\r"};
    fake.report = "I002095300000\r"; // the dial reported in front of each reply
    MemTransfer x(t.app, tab);
    x.backupDir = memDir(t.app.settings);
    const FetchResult r = fetch(x);
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.bad, (QList<int>{7, 9}));
    EXPECT_EQ(r.again, 4);
    // Kept as they came, marked: unknown, never data.
    EXPECT_EQ(tab.rec[7] + '|' + tab.rec[8] + '|' + tab.rec[9], "?L007O0O4O9S0O0O|L008V|??00900409500000");
    EXPECT_TRUE(tab.unknown[7] && tab.unknown[9] && !tab.unknown[8] && !tab.unknown[10]);
    EXPECT_EQ(recordKind(tab.rec[9]), RecKind::Bad); // in a file too
    EXPECT_TRUE(r.backupPath.isEmpty());                // not a complete copy
    const QString msg = unreadableText(tab, r.bad);
    EXPECT_TRUE(msg.startsWith("The replies for 2 channels could not be read, twice:\n007  \"L007O0O4O9S0O0O\"\n"))
        << msg.toStdString();
    EXPECT_TRUE(badRecordsText(tab, {9}).startsWith("1 channel holds a record that does not fit the memory layout"));

    // Records put in the table some other way are checked before anything
    // is sent: the layout, then the receiver's limits.
    tab.rec[10] = "l010v";
    tab.rec[11] = "L011004999999990"; // 99999.999 kHz
    tab.rec[12] = "L012004000000000"; // 0 Hz
    tab.rec[13] = "L013204095000000"; // a reserved attenuator code
    t.port.clearWrites();
    fill(x, 5, 13);
    EXPECT_EQ(writes(), (QStringList{"U5005", "U5006", "U5008"}));
    const FillPlan p = planFill(tab, 5, 13);
    EXPECT_EQ(p.bad, (QList<int>{7, 9, 10}));
    EXPECT_EQ(p.outside, (QList<int>{11, 12, 13}));
    EXPECT_TRUE(fillNotes(p).endsWith(
        "Records the receiver cannot hold, not sent (left as they are):\n"
        "011  frequency 99999.999 kHz is outside 10.000 to 29999.999 kHz\n"
        "012  frequency 0.000 kHz is outside 10.000 to 29999.999 kHz\n"
        "013  attenuator code 2 is not one of the receiver's (0 to 1)"))
        << fillNotes(p).toStdString();
    EXPECT_FALSE(MemTransfer::writeCell(t.app, tab, 11, tab.rec[11]));
}

TEST_F(Transfer, CancelStopsAtTheNextChannelAndReleases)
{
    MemTransfer x(t.app, tab);
    QObject::connect(&x, &MemTransfer::progress, [&](int ch, int, int) {
        if (ch == 10)
            x.cancel();
    });
    const FetchResult r = fetch(x);
    EXPECT_EQ(r.outcome, Outcome::Cancelled);
    EXPECT_EQ(r.read, 10);
    EXPECT_TRUE(tab.unknown[10]);
    EXPECT_FALSE(tab.unknown[9]);
    EXPECT_TRUE(t.port.trace().endsWith("L009009|H0|H0")) << t.port.trace().toStdString();
    EXPECT_FALSE(t.rx->held());
    // (Nothing came at all: the table is put back; the window's test.)
}

TEST_F(Transfer, ASecondSessionIsRefused)
{
    // (Other windows' commands wait for the line's owner: never between the
    // read-outs. That is the owner's test.) While one held session runs,
    // another is refused with a message and sends nothing, whatever asks.
    MemTransfer x(t.app, tab), y(t.app, tab);
    EXPECT_EQ(fetch(x).outcome, Outcome::Done);
    MeasureSession meter(t.app, "The S-meter");
    const struct {
        const char *what;
        std::function<bool()> start;
    } second[] = {{"fetch", [&] { return y.fetch(); }},
                  {"fill", [&] { return y.fill(0, 9); }},
                  {"scan", [&] { return meter.start(100); }}};
    ASSERT_TRUE(x.fill(0, 2));
    for (const auto &s : second) {
        t.prompter.asked.clear();
        EXPECT_FALSE(s.start()) << s.what;
        EXPECT_EQ(t.prompter.lastText(), "The memory fill is using the receiver.\nStop it first.") << s.what;
    }
    t.settle();
    EXPECT_EQ(writes(), (QStringList{"K000004095000000", "K001013071505001", "U5002"}));
    EXPECT_TRUE(t.port.trace().endsWith("U5002|H0|H0"));
    // Once it ended, the next one runs.
    EXPECT_EQ(fill(y, 3, 3).outcome, Outcome::Done);
    EXPECT_TRUE(t.port.trace().endsWith("U5003|H0|H0"));
}

TEST_F(Transfer, FastFetchTakesTheStreamAndReadsWhatDidNotComeWholeOneByOne)
{
    fake.ch[9] = "9#x095000005"; // malformed in the receiver itself
    const QByteArray report = "I002095300000\r";
    const struct {
        const char *name;
        QMap<int, QByteArray> inStream;
        int records;
        QList<int> again; // read again, one by one
    } cases[] = {
        {"whole", {}, 200, {}},
        {"short, garbled, missing, misnumbered, with reports",
         {{7, "L007004095\r"}, {20, "L020004O95000000\r"}, {33, ""}, {60, "L061004095000000\r"},
          {80, report + fake.reply(80) + report}},
         200,
         {7, 20, 33, 60, 61}},
        {"stops after 120", {}, 120, {}},
        {"range not answered", {}, 0, {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        fake.inStream = c.inStream;
        fake.streamRecords = c.records;
        t.port.clearWrites();
        tab.clear();
        MemTransfer x(t.app, tab);
        x.fast = true;
        const FetchResult r = fetch(x);
        // Channel 9 every time: its record never fits.
        QList<int> again = c.again;
        again << 9;
        for (int i = c.records; i < 200; ++i)
            again << i;
        std::sort(again.begin(), again.end());
        again.erase(std::unique(again.begin(), again.end()), again.end());
        EXPECT_EQ(r.outcome, Outcome::Done);
        EXPECT_EQ(r.refetched, again);
        EXPECT_EQ(r.streamed, 200 - again.size());
        EXPECT_EQ(r.bad, QList<int>{9});
        // The table is what the described fetch reads.
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(tab.rec[i] + "\r", i == 9 ? "?" + fake.reply(9).left(15) + "\r" : fake.reply(i)) << i;
        const QStringList sent = t.port.commands();
        QStringList readouts;
        for (qsizetype i = sent.lastIndexOf("X0"); i < sent.size(); ++i)
            if (sent.at(i).startsWith('L'))
                readouts << sent.at(i);
        QStringList expected{"L000199"};
        for (int ch : again)
            expected << "L" + ch3(ch) + ch3(ch);
        EXPECT_EQ(readouts.join(' ').toStdString(), expected.join(' ').toStdString());
        EXPECT_TRUE(t.port.trace().endsWith("|H0|H0"));
    }
}

TEST_F(Transfer, TheDialTurningDuringAFetchNeverGivesAFragment)
{
    SimRadio radio(SimRadio::DemoMemory);
    SimulatedLine sim(t, &radio, 4800); // a fast line: only the order counts here
    QTimer knob;
    QObject::connect(&knob, &QTimer::timeout, [&] { radio.turnDial(radio.working().hz + 1000); });
    knob.start(20);
    // Reports left on by someone else: taken out of the replies. Followed
    // by the program: switched off for the read-out, and on again after.
    for (const bool followed : {false, true}) {
        SCOPED_TRACE(followed);
        for (const char *c : {"H1", "I1", "H0"})
            radio.execute(c);
        if (followed)
            t.rx->wantReports(true);
        t.settle();
        sim.clearLog();
        MemTransfer x(t.app, tab);
        x.fast = followed;
        const FetchResult r = fetch(x);
        EXPECT_EQ(r.outcome, Outcome::Done);
        EXPECT_TRUE(r.bad.isEmpty() && r.refetched.isEmpty()) << channelList(r.bad).toStdString();
        for (int i = 0; i < 199; ++i)
            ASSERT_EQ(tab.rec[i], radio.channel(i) ? "L" + ch3(i) + radio.channel(i)->toRec12() : emptyRecord(i)) << i;
        const QString log = QString::fromLatin1(sim.commands().join(' '));
        EXPECT_EQ(log.contains(QRegularExpression("H1 H1 I0 H1 H1 U11 .* L\\d{6} I1 H0")), followed)
            << log.toStdString();
    }
    EXPECT_TRUE(radio.reportsOn() && t.rx->reportsOn());
}

TEST_F(Transfer, ScanStepsAndSingleCellWrites)
{
    auto take = [&] {
        t.rx->submit([&] { return t.rx->aHold(); }, false);
        return t.run([&] { return MemTransfer::aTakeForScan(t.app); });
    };
    auto release = [&] {
        t.rx->submit([&] { return t.rx->aRelease(); }, false);
        t.settle();
    };
    EXPECT_TRUE(take());
    EXPECT_TRUE(t.port.trace().startsWith("H1|H1|H1|H1|U11|J1199|L199199")) << t.port.trace().toStdString();
    EXPECT_TRUE(t.rx->held());
    t.port.clearWrites();
    EXPECT_TRUE(t.run([&] { return MemTransfer::aScanStep(t.app, 190); }));
    EXPECT_TRUE(t.port.trace().startsWith("C190|H1|H1|U11|J1199|L199199")) << t.port.trace().toStdString();
    EXPECT_FALSE(t.port.trace().contains("H0"));
    t.port.clearWrites();
    release();
    EXPECT_EQ(t.port.trace(), "H0|H0");
    EXPECT_FALSE(t.rx->held());

    t.port.clearWrites();
    EXPECT_TRUE(MemTransfer::writeCell(t.app, tab, 9, "L009013071505001"));
    EXPECT_TRUE(MemTransfer::clearCell(t.app, tab, 7));
    EXPECT_FALSE(MemTransfer::writeCell(t.app, tab, 9, "L009013071505 01")); // a box left empty
    EXPECT_FALSE(MemTransfer::writeCell(t.app, tab, 9, "L009V"));
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|K009013071505001|H0|H0|H1|H1|U5007|H0|H0");

    // A silent receiver: taking it says so and it is still let go.
    fake.silentAfter = 0;
    fake.readouts = 0;
    EXPECT_FALSE(take());
    release();
    EXPECT_FALSE(t.rx->held());
}
