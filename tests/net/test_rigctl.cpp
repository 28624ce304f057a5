// The rig-control protocol: parsing and answers, and the server against the
// simulated receiver with real TCP clients.
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "net/rigctl.h"
#include "net/rigserver.h"
#include "record/recsession.h"
#include "sim/simport.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <sys/socket.h>
#include <gtest/gtest.h>

using namespace rigctl;

// A line's requests, in order: "+name[vfo] args", "!" an unknown one.
TEST(RigctlParse, OneLineHoldsRequestsInOrder)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {"F7100000\r", "set_freq 7100000"},
        {"+f +m +v", "+get_freq|+get_mode|+get_vfo"},
        {";\\get_powerstat |f ,v", ";get_powerstat||get_freq|,get_vfo"},
        {"F 7100000 f l STRENGTH", "set_freq 7100000|get_freq|get_level STRENGTH"},
        {"F VFOA 9580000 f currVFO", "set_freq[VFOA] 9580000|get_freq[currVFO]"},
        {"M Main USB 2400 \\get_vfo_info VFOA", "set_mode[Main] USB 2400|get_vfo_info[VFOA]"},
        {"v VFOA", "get_vfo|set_vfo FOA"}, // get_vfo takes no VFO
        {"AOS b CQ  DE X", "AOS|send_morse CQ DE X"},
        {"f #m", "get_freq"},
        {"f Y f", "get_freq|!Y"},
        {"   ", ""},
    };
    auto parsed = [](const QByteArray &line, int max) {
        QStringList out;
        for (const Request &r : parseLine(line, max))
            out << (r.ok ? "" : "!") + QString(r.extended ? QChar(r.sep == '\n' ? '+' : r.sep) : QChar()).remove(QChar()) +
                    r.name + (r.vfo.isEmpty() ? "" : '[' + r.vfo + ']') + (r.args.isEmpty() ? "" : ' ' + r.args.join(' '));
        return out.join('|');
    };
    for (const auto &[line, want] : cases)
        EXPECT_EQ(parsed(line, 64), want) << line.constData();
    EXPECT_EQ(parsed("fff", 2), "get_freq|get_freq|!");
    for (const char *set : {"F 7100000", "AOS", "L ATT 20"})
        EXPECT_TRUE(isSet(parseLine(set).first())) << set;
    for (const char *read : {"f", "\\vfo_op ?", "\\set_vfo_opt 1"})
        EXPECT_FALSE(isSet(parseLine(read).first())) << read;
}

TEST(RigctlParse, Mappings)
{
    for (int m = 0; m <= 8; ++m)
        EXPECT_EQ(modeCode(modeName(m)), m);
    EXPECT_EQ(modeCode("usb"), 2);
    EXPECT_EQ(modeCode("AMS"), 7);
    EXPECT_FALSE(modeCode("PKTUSB"));
    // Nearest passband, a tie to the narrower; 0: the mode's normal one.
    const struct {
        int hz, mode;
        bool narrow;
        int code;
    } bw[] = {{2400, 2, false, 1}, {1500, 1, true, 2}, {1600, 1, true, 1}, {500, 1, false, 1},
              {4000, 4, false, 1}, {4100, 4, false, 0}, {9000, 4, false, 0}, {9001, 4, false, 3},
              {0, 4, false, 0},    {0, 2, false, 1},    {0, 1, true, 2},    {0, 5, false, 3}};
    for (const auto &b : bw)
        EXPECT_EQ(bwCodeFor(b.hz, b.mode, b.narrow), b.code) << b.hz << ' ' << b.mode;
    // The protocol's scale for this receiver, as its daemon reads the meter.
    const std::pair<int, int> db[] = {{84, 25}, {90, 15}, {100, 0}, {110, -15}, {128, -32}, {141, -40}};
    for (const auto &[raw, want] : db)
        EXPECT_EQ(strengthDb(raw), want) << raw;
}

namespace {

struct Client {
    QTcpSocket s;
    QByteArray got;
    explicit Client(quint16 port)
    {
        QObject::connect(&s, &QTcpSocket::readyRead, [this] { got += s.readAll(); });
        s.connectToHost(QHostAddress::LocalHost, port);
        s.waitForConnected(5000);
    }
    void send(const QByteArray &b) { s.write(b); s.flush(); }
    bool waitFor(const QByteArray &tail, int ms = 15000)
    {
        return waitUntil([&] { return got.endsWith(tail); }, ms);
    }
    QByteArray take() { return std::exchange(got, {}); }
};

struct RigServerTest : ::testing::Test {
    TestApp t;
    SimPort sim;
    FakePanel panel;
    std::unique_ptr<RigServer> srv;
    void SetUp() override
    {
        QString err;
        ASSERT_TRUE(sim.open(&err));
        t.rx->setPort(&sim);
        t.app.replyTimeoutMs = 1500;
        t.app.panel = &panel;
        panel.attach(*t.rx);
        srv = std::make_unique<RigServer>(t.app);
        ASSERT_TRUE(srv->listen(QHostAddress::LocalHost, 0, &err)) << err.toStdString();
    }
    void TearDown() override
    {
        srv.reset();
        t.rx->setPort(&t.port);
    }
};

} // namespace

TEST_F(RigServerTest, FrequencyModeAndStrength)
{
    Client c(srv->port());
    c.send("F 7100000\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    EXPECT_EQ(sim.radio()->working().hz, 7100000);
    EXPECT_EQ(panel.freq, "7100.000"); // the windows follow
    c.take();
    c.send("f\n");
    ASSERT_TRUE(c.waitFor("\n"));
    EXPECT_EQ(c.take(), "7100000\n");
    // Out of range: refused, and nothing reaches the receiver.
    t.settle();
    const auto before = sim.commands().size();
    c.send("F 50000000\nF 9999\n");
    ASSERT_TRUE(c.waitFor("RPRT -1\nRPRT -1\n"));
    EXPECT_EQ(sim.radio()->working().hz, 7100000);
    EXPECT_EQ(sim.commands().size(), before);
    c.take();
    c.send("M USB 2400\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    EXPECT_EQ(sim.radio()->working().mode, 2);
    EXPECT_EQ(sim.radio()->working().bw, 1);
    // Every command went out inside the remote bracket.
    t.settle();
    const auto cmds = sim.commands();
    EXPECT_EQ(cmds.first(), "H1");
    EXPECT_EQ(cmds.last(), "H0");
}

// AOS and LOS without recording offered, and beside a recording the user
// started, which goes on (a pass recorded: test_rigclients).
TEST_F(RigServerTest, APassLeavesTheUsersRecordingAlone)
{
    Client c(srv->port());
    c.send("AOS\n");
    ASSERT_TRUE(c.waitFor("RPRT -11\n"));
    RecSession rec(t.app);
    rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(); });
    t.app.rec = &rec;
    QString err;
    ASSERT_TRUE(rec.start({0, "AM", "", "", "Rec button"}, &err)) << err.toStdString();
    c.send("AOS\nLOS\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\nRPRT 0\n"));
    EXPECT_TRUE(rec.running());
    rec.stop();
    t.app.rec = nullptr;
}

TEST_F(RigServerTest, ClientsInterleaveAndMalformedInputHarmsNobody)
{
    Client a(srv->port()), b(srv->port()), bad(srv->port());
    bad.send(QByteArray(1 << 20, 'x')); // a megabyte without a line end
    bad.send("\n\x01\x02garbage\n");
    for (int i = 0; i < 3; ++i) {
        a.send("F " + QByteArray::number(6000000 + i * 1000) + "\nf\n");
        b.send("f\n");
    }
    ASSERT_TRUE(a.waitFor("6002000\n", 30000));
    ASSERT_TRUE(b.waitFor("\n"));
    ASSERT_TRUE(waitUntil([&] { return b.got.count('\n') == 3; }, 30000));
    EXPECT_EQ(a.got.count("RPRT 0\n"), 3);
    for (const QByteArray &l : b.got.split('\n'))
        if (!l.isEmpty()) {
            EXPECT_TRUE(l.startsWith("600")) << l.constData();
        }
    ASSERT_TRUE(bad.waitFor("RPRT -4\n"));
    EXPECT_TRUE(bad.got.startsWith("RPRT -8\n")) << bad.got.left(40).constData();
    b.take();
    b.send("f\n");
    ASSERT_TRUE(b.waitFor("\n"));
    EXPECT_EQ(sim.radio()->malformedCount(), 0);
}

TEST_F(RigServerTest, DuringAFetchABusyOrVanishedRequestNeverReachesTheReceiver)
{
    srv->busyBoundMs = 600;
    Client c(srv->port()), gone(srv->port());
    mem2::MemTable table;
    mem2::MemTransfer fetch(t.app, table);
    bool ended = false, busyDuringFetch = false;
    QElapsedTimer sinceBusy; // from c's busy answer; the fetch goes on past gone's own bound
    // The hook runs before each channel, between the fetch's waits.
    QObject::connect(&fetch, &mem2::MemTransfer::progress, [&](int, int done, int) {
        if (done == 1) {
            c.send("f\n");
            gone.send("F 9000000\n"); // waits behind c's request
        }
        if (!sinceBusy.isValid() && c.got == "RPRT -14\n")
            sinceBusy.start();
        if (sinceBusy.isValid() && sinceBusy.elapsed() > 150 && gone.s.state() == QAbstractSocket::ConnectedState)
            gone.s.abort(); // its request now waits in the receiver's queue
        if (sinceBusy.isValid() && !busyDuringFetch && sinceBusy.elapsed() > srv->busyBoundMs + 300) {
            busyDuringFetch = true;
            fetch.cancel();
        }
    });
    QObject::connect(&fetch, &mem2::MemTransfer::fetched, [&] { ended = true; });
    QTimer::singleShot(0, [&] { fetch.fetch(); });
    ASSERT_TRUE(waitUntil([&] { return ended; }, 60000));
    EXPECT_TRUE(busyDuringFetch);
    // Nothing of either request is sent afterwards, not even a bracket: the
    // fetch's release is the last thing on the line.
    QTest::qWait(1500);
    const QList<QByteArray> cmds = sim.commands();
    qsizetype lastRead = cmds.size() - 1;
    while (lastRead > 0 && !cmds.at(lastRead).startsWith('L'))
        --lastRead;
    EXPECT_EQ(cmds.mid(lastRead + 1), (QList<QByteArray>{"H0", "H0"}));
    EXPECT_EQ(sim.radio()->working().hz, 9500000);

    // Afterwards the line is free again.
    c.take();
    c.send("f\n");
    ASSERT_TRUE(c.waitFor("\n"));
    EXPECT_EQ(c.take(), "9500000\n");
}

TEST_F(RigServerTest, ClientsAreServedInTurnAndAFloodIsHeldBack)
{
    // One client sends 40 tunes and 3000 reads and never reads an answer.
    QTcpSocket flood;
    flood.connectToHost(QHostAddress::LocalHost, srv->port());
    ASSERT_TRUE(flood.waitForConnected(5000));
    QByteArray lines;
    for (int i = 0; i < 40; ++i)
        lines += "F " + QByteArray::number(6000000 + i * 1000) + "\n";
    flood.write(lines + QByteArray("f\n").repeated(3000));
    auto tunes = [&] {
        const QList<QByteArray> cmds = sim.commands();
        return std::count_if(cmds.begin(), cmds.end(), [](const QByteArray &c) { return c.startsWith('F'); });
    };
    ASSERT_TRUE(waitUntil([&] { return tunes() >= 1; }));
    // Another client waits for one of them at most, not for all.
    Client b(srv->port());
    const auto atAsk = tunes();
    b.send("f\n");
    ASSERT_TRUE(b.waitFor("\n"));
    EXPECT_TRUE(b.got.startsWith("600")) << b.got.constData();
    EXPECT_LE(tunes(), atAsk + 1);
    EXPECT_LE(srv->maxPendingSeen(), RigServer::kMaxPending);
}

TEST_F(RigServerTest, ReadsShareOneStateReadAndTheFollowedDialNeedsNone)
{
    Client a(srv->port()), b(srv->port());
    a.send("F 7100000\nM USB 2400\n");
    ASSERT_TRUE(a.waitFor("RPRT 0\nRPRT 0\n"));
    a.take();
    const int reads = srv->stateReads();
    a.send("f\nf\nm\nf\n");
    b.send("f\nm\n");
    ASSERT_TRUE(a.waitFor("7100000\n7100000\nUSB\n2000\n7100000\n"));
    ASSERT_TRUE(b.waitFor("7100000\nUSB\n2000\n"));
    EXPECT_LE(srv->stateReads() - reads, 3);

    t.rx->wantReports(true, true);
    t.settle();
    sim.clearLog();
    a.take();
    a.send("f\n+m\n");
    ASSERT_TRUE(a.waitFor("RPRT 0\n"));
    EXPECT_EQ(a.take(), "7100000\nget_mode:\nMode: USB\nPassband: 2000\nRPRT 0\n");
    EXPECT_TRUE(sim.commands().isEmpty());
}

// However a client leaves, its slot is free once it is gone: one that closes
// its sending side (or asks to quit) gets every answer in order, the last
// line without a line end too, and is closed; one that closes or resets
// before its answers is dropped. Then the whole limit is there again.
TEST_F(RigServerTest, EveryClientGoneFreesItsSlotHalfClosedOnesAreAnsweredFirst)
{
    enum Leave { HalfClose, Quit, Idle, Close, Reset, Burst }; // Burst: 50 send random bytes, close
    const QList<std::tuple<Leave, QByteArray, QByteArray>> cases = {
        {HalfClose, "f\n", "9500000\n"}, {HalfClose, "\\chk_vfo\n", "0\n"}, {Idle, "", ""},
        {HalfClose, "\\get_vfo\n", "VFOA\n"}, {HalfClose, "\\dump_caps\n", dumpCaps({}) + "RPRT 0\n"},
        {HalfClose, "v\nf\n\\chk_vfo", "VFOA\n9500000\n0\n"}, {Close, "f\nF 7000000\n", ""},
        {Quit, "\\chk_vfo\nq\n", "0\nRPRT 0\n"}, {Reset, "f\nF 7000000\n", ""}, {Burst, "", ""},
    };
    auto allGone = [&](int n) {
        return waitUntil([&] { return srv->connectionsSeen() == n && !srv->clientCount(); }, 30000);
    };
    auto closed = [](const auto &c) { return c->s.state() == QAbstractSocket::UnconnectedState; };
    QRandomGenerator random(535);
    for (const auto &[leave, ask, want] : cases) {
        srv->idleTimeoutMs = leave == Idle ? 300 : 5 * 60 * 1000;
        std::vector<std::unique_ptr<Client>> cs;
        const int seen = srv->connectionsSeen(), n = leave == Burst ? 50 : RigServer::kMaxClients;
        for (int i = 0; i < n; ++i) {
            Client &c = *cs.emplace_back(std::make_unique<Client>(srv->port()));
            QByteArray junk(200, 0);
            std::generate(junk.begin(), junk.end(), [&] { return char(random.bounded(256)); });
            c.send(leave == Burst ? junk : ask);
            const int fd = int(c.s.socketDescriptor());
            const linger now{1, 0}; // closing sends a reset
            if (leave == Reset)
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &now, sizeof now);
            if (leave == HalfClose)
                ::shutdown(fd, SHUT_WR);
            else if (leave >= Close)
                c.s.abort();
        }
        ASSERT_TRUE(allGone(seen + n)) << ask.constData();
        for (const auto &c : cs) {
            ASSERT_TRUE(leave >= Close || waitUntil([&] { return closed(c); }));
            EXPECT_EQ(c->got, want) << ask.constData();
        }
    }
    // Then the whole limit is there for new clients, and no more.
    std::vector<std::unique_ptr<Client>> cs;
    for (int i = 0; i <= RigServer::kMaxClients; ++i)
        cs.emplace_back(std::make_unique<Client>(srv->port()))->send("\\chk_vfo\n");
    ASSERT_TRUE(waitUntil([&] { return closed(cs.back()); })); // one too many
    cs.pop_back();
    for (const auto &c : cs)
        ASSERT_TRUE(c->waitFor("0\n"));
    EXPECT_EQ(srv->clientCount(), RigServer::kMaxClients);
}

// Against a receiver that never answers, then a lost line: every request
// says so, and a frequency out of range sends nothing.
TEST(RigServerLine, AnswersSayWhatHappened)
{
    TestApp t;
    t.app.replyTimeoutMs = 150;
    RigServer srv(t.app);
    QString err;
    ASSERT_TRUE(srv.listen(QHostAddress::LocalHost, 0, &err));
    Client c(srv.port());
    struct Case {
        QByteArray ask, want;
        bool lost;
    };
    const QList<Case> cases = {
        {"F 7100000\n", "RPRT -5\n", false}, {"f\n", "RPRT -5\n", false},
        {"M USB 2400\n", "RPRT -5\n", false}, {"L ATT 20\n", "RPRT -5\n", false},
        {"l STRENGTH\n", "RPRT -5\n", false}, {"F 40000000\n", "RPRT -1\n", false},
        {"F 7100000\n", "RPRT -6\n", true},  {"f\n", "RPRT -6\n", true},
        {"+M AM 0\n", "set_mode: AM 0\nRPRT -6\n", true}, {"F 40000000\n", "RPRT -1\n", true},
    };
    for (const Case &k : cases) {
        if (k.lost && !t.rx->portLost())
            t.port.pull();
        t.settle();
        t.port.clearWrites();
        c.send(k.ask);
        ASSERT_TRUE(c.waitFor("\n")) << k.ask.constData();
        EXPECT_EQ(c.take(), k.want) << k.ask.constData();
        if (k.want == "RPRT -1\n" || k.lost) {
            EXPECT_TRUE(t.port.commands().isEmpty()) << k.ask.constData();
        }
    }
}
