// The memory transfers without a window: fetch, fill, the scan's steps and
// the single-cell writes against the fake receiver memory.
#include "link/commands.h"
#include "memory/fakemem.h"
#include "memory/memtransfer.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>
#include <QTimer>
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
    QStringList writes() const
    {
        QStringList out;
        for (const QString &c : t.port.commands())
            if (c.startsWith('K') || c.startsWith("U5"))
                out << c;
        return out;
    }
    QString backup() const { return memDir(t.app.settings) + kBackupName; }
};

} // namespace

TEST_F(Transfer, FetchReadsEveryChannelAsOneSequenceAndKeepsABackup)
{
    MemTransfer x(t.app, tab);
    x.backupDir = memDir(t.app.settings);
    QList<int> seen, shown;
    x.progress = [&](int ch, int done, int total) {
        seen << ch;
        EXPECT_EQ(done, ch);
        EXPECT_EQ(total, 200);
    };
    x.channelRead = [&](int ch) { shown << ch; };
    const FetchResult r = x.fetch();
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
    EXPECT_EQ(tab.rec[1], "L001013071505001");
    EXPECT_EQ(tab.rec[2], "L002V");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(panel.lockOn, 0);

    // The backup holds the receiver's memory and is replaced at each fetch.
    ASSERT_EQ(r.backupPath, backup());
    MemTable b;
    ASSERT_TRUE(readMemFile(backup(), b, nullptr, nullptr));
    EXPECT_EQ(b.rec[40], "L040004060000001");
    fake.ch[40] = "112151100002";
    MemTransfer(t.app, tab).fetch(); // no backup dir: the file stays
    ASSERT_TRUE(readMemFile(backup(), b, nullptr, nullptr));
    EXPECT_EQ(b.rec[40], "L040004060000001");
    x.fetch();
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
    const FetchResult r = x.fetch();
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
    EXPECT_TRUE(fillNotes(p).contains("050-199"));

    fake.silentAfter = -1;
    t.port.clearWrites();
    const FillResult f = x.fill(0, 199);
    EXPECT_EQ(f.outcome, Outcome::Done);
    EXPECT_EQ(f.sent, 50);
    const QStringList w = writes();
    ASSERT_EQ(w.size(), 50);
    EXPECT_EQ(w.first(), "K000004095000000");
    EXPECT_EQ(w.last(), "U5049");
    EXPECT_TRUE(t.port.trace().startsWith("H1|H1|H1|H1|U11|J1199|L199199|"));
    EXPECT_TRUE(t.port.trace().endsWith("U5049|H0|H0"));
}

TEST_F(Transfer, MalformedRecordsAreNamedAndNeverSent)
{
    fake.ch[7] = "O0O4O9S0O0O0"; // a garbled reply
    fake.ch[8] = "9#x095000005";
    MemTransfer x(t.app, tab);
    x.backupDir = memDir(t.app.settings);
    const FetchResult r = x.fetch();
    EXPECT_EQ(r.outcome, Outcome::Done);
    EXPECT_EQ(r.bad, (QList<int>{7, 8}));
    EXPECT_EQ(tab.rec[7], "L007O0O4O9S0O0O0"); // kept as it came, but unknown
    EXPECT_TRUE(tab.unknown[7]);
    EXPECT_TRUE(r.backupPath.isEmpty()); // not a complete copy
    const QString msg = badRecordsText(tab, r.bad);
    EXPECT_TRUE(msg.startsWith("2 channels hold records")) << msg.toStdString();
    EXPECT_TRUE(msg.contains("007  \"L007O0O4O9S0O0O0\""));

    // Records put in the table some other way are checked when sent.
    tab.rec[9] = "L009V my note";
    tab.rec[10] = "l010v";
    t.port.clearWrites();
    x.fill(5, 12);
    EXPECT_EQ(writes(), (QStringList{"U5005", "U5006", "U5011", "U5012"}));
    const FillPlan p = planFill(tab, 5, 12);
    EXPECT_TRUE(p.unknown.isEmpty());
    EXPECT_EQ(p.bad, (QList<int>{7, 8, 9, 10}));
}

TEST_F(Transfer, CancelStopsAtTheNextChannelAndReleases)
{
    MemTransfer x(t.app, tab);
    x.progress = [&](int ch, int, int) {
        if (ch == 10)
            x.cancel();
    };
    const FetchResult r = x.fetch();
    EXPECT_EQ(r.outcome, Outcome::Cancelled);
    EXPECT_EQ(r.read, 10);
    EXPECT_TRUE(tab.unknown[10]);
    EXPECT_FALSE(tab.unknown[9]);
    EXPECT_TRUE(t.port.trace().endsWith("L009009|H0|H0")) << t.port.trace().toStdString();
    EXPECT_FALSE(t.rx->held());

    // Nothing came at all: the table is put back.
    fake.silentAfter = 0;
    tab.clear();
    tab.rec[0] = "L000004095000000";
    tab.tag[0] = "kept";
    const FetchResult s = MemTransfer(t.app, tab).fetch();
    EXPECT_EQ(s.outcome, Outcome::NoAnswer);
    EXPECT_TRUE(s.restored);
    EXPECT_EQ(tab.tag[0], "kept");
    EXPECT_FALSE(tab.unknown[5]);
}

TEST_F(Transfer, ASecondCallerWaitsUntilTheTransferEnds)
{
    // Another window's command arrives during the fetch's waits: it runs
    // after the release, never between the read-outs.
    QTimer::singleShot(150, t.rx.get(), [this] { t.rx->bracket_cmd(cmd::att(1)); });
    MemTransfer x(t.app, tab);
    EXPECT_EQ(x.fetch().outcome, Outcome::Done);
    QCoreApplication::processEvents();
    QTest::qWait(300);
    EXPECT_TRUE(t.port.trace().endsWith("L199199|H0|H0|H1|H1|A1|H0|H0")) << t.port.trace().toStdString();

    // A transfer asked for while another caller's sequence waits does not
    // start.
    t.port.clearWrites();
    Outcome o = Outcome::Done;
    t.rx->bracket([&] {
        QTimer::singleShot(0, t.rx.get(), [&] { o = MemTransfer(t.app, tab).fill(0, 10).outcome; });
        t.rx->wait_ms(50);
    });
    EXPECT_EQ(o, Outcome::Busy);
    EXPECT_EQ(t.port.trace(), "H1|H1|H0|H0");
}

TEST_F(Transfer, ScanStepsAndSingleCellWrites)
{
    MemTransfer x(t.app, tab);
    ASSERT_TRUE(x.scanHold());
    EXPECT_TRUE(t.rx->held());
    t.port.clearWrites();
    ASSERT_TRUE(x.scanStep(190));
    EXPECT_TRUE(t.port.trace().startsWith("C190|H1|H1|U11|J1199|L199199")) << t.port.trace().toStdString();
    EXPECT_FALSE(t.port.trace().contains("H0"));
    t.port.clearWrites();
    x.scanRelease();
    EXPECT_EQ(t.port.trace(), "H0|H0");
    EXPECT_FALSE(t.rx->held());

    t.port.clearWrites();
    EXPECT_TRUE(x.writeCell(9, "L009013071505001"));
    EXPECT_TRUE(x.clearCell(7));
    EXPECT_FALSE(x.writeCell(9, "L009013071505 01")); // a box left empty
    EXPECT_FALSE(x.writeCell(9, "L009V"));
    EXPECT_EQ(t.port.trace(), "H1|H1|K009013071505001|H0|H0|H1|H1|U5007|H0|H0");

    // A silent receiver: the hold reports it and still lets go.
    fake.silentAfter = 0;
    fake.readouts = 0;
    EXPECT_FALSE(x.scanHold());
    x.scanRelease();
    EXPECT_FALSE(t.rx->held());
}
