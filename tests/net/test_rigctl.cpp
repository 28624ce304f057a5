// The rig-control protocol: parsing and answers, and the server against the
// simulated receiver with real TCP clients.
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "net/rigctl.h"
#include "net/rigserver.h"
#include "record/recfiles.h"
#include "record/recsession.h"
#include "sim/simport.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTest>
#include <algorithm>
#include <sys/socket.h>
#include <gtest/gtest.h>

using namespace rigctl;

namespace {
// A line's requests as text: "+name[vfo] args" joined by " | ", "!" for an
// unknown command.
QString parsed(const QByteArray &line, int max = 64)
{
    QStringList out;
    for (const Request &r : parseLine(line, max)) {
        QString t = (r.ok ? QString() : QStringLiteral("!")) + (r.extended ? QString(QChar(r.sep == '\n' ? '+' : r.sep)) : QString()) + r.name;
        if (!r.vfo.isEmpty())
            t += '[' + r.vfo + ']';
        for (const QString &a : r.args)
            t += ' ' + a;
        out << t;
    }
    return out.join(QStringLiteral(" | "));
}
} // namespace

TEST(RigctlParse, OneLineHoldsRequestsInOrder)
{
    const QList<std::pair<QByteArray, QString>> cases = {
        {"f", "get_freq"},
        {"F7100000\r", "set_freq 7100000"},
        {"\\set_mode  USB   2400", "set_mode USB 2400"},
        {"+f +m +v", "+get_freq | +get_mode | +get_vfo"},
        {"fmv", "get_freq | get_mode | get_vfo"},
        {";\\get_powerstat |f ,v", ";get_powerstat | |get_freq | ,get_vfo"},
        {"F 7100000 f", "set_freq 7100000 | get_freq"},
        {"l STRENGTH f", "get_level STRENGTH | get_freq"},
        {"F VFOA 9580000 f currVFO", "set_freq[VFOA] 9580000 | get_freq[currVFO]"},
        {"M Main USB 2400", "set_mode[Main] USB 2400"},
        {"\\get_vfo_info VFOA", "get_vfo_info[VFOA]"},
        {"v VFOA", "get_vfo | set_vfo FOA"}, // get_vfo takes no VFO
        {"AOS", "AOS"},
        {"b CQ  DE X", "send_morse CQ DE X"},
        {"F", "set_freq"},
        {"f #m", "get_freq"},
        {"f Y f", "get_freq | !Y"},
        {"\\frobnicate 1", "!frobnicate"},
        {"\x01\x02", "!\x01"},
        {"   ", ""},
    };
    for (const auto &[line, want] : cases)
        EXPECT_EQ(parsed(line), want) << line.constData();
    EXPECT_EQ(parsed("fff", 2), "get_freq | get_freq | !");
    EXPECT_TRUE(isSet(parseLine("F 7100000").first()));
    EXPECT_TRUE(isSet(parseLine("AOS").first()));
    EXPECT_FALSE(isSet(parseLine("\\vfo_op ?").first()));
    EXPECT_FALSE(isSet(parseLine("\\set_vfo_opt 1").first()));
    EXPECT_FALSE(isSet(parseLine("f").first()));
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
    c.take();
    c.send("+m\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    EXPECT_EQ(c.take(), "get_mode:\nMode: USB\nPassband: 2000\nRPRT 0\n");
    c.send("l STRENGTH\n");
    ASSERT_TRUE(c.waitFor("\n"));
    bool ok = false;
    c.take().trimmed().toInt(&ok);
    EXPECT_TRUE(ok);
    // What clients ask around their own commands (a set of the mode waits
    // for the lock mode): answered without the receiver.
    c.send("t\nT 1\n\\get_powerstat\n\\chk_vfo\nv\ns\n\\get_lock_mode\nq\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    EXPECT_EQ(c.take(), "0\nRPRT -11\n1\n0\nVFOA\n0\nNone\n0\nRPRT 0\nRPRT 0\n");
    // Every command went out inside the remote bracket.
    t.settle();
    const auto cmds = sim.commands();
    EXPECT_EQ(cmds.first(), "H1");
    EXPECT_EQ(cmds.last(), "H0");
}

// What real clients send on connect and while polling, in each form, with
// what the protocol's own daemon answers for this receiver; "%d" stands for
// a signal level. Beyond it: the one VFO (VFOA), PTT 0, power on while the
// receiver answers, the VFO and rig info, VFO arguments.
TEST_F(RigServerTest, ClientLinesAnsweredAsTheProtocolsDaemonAnswersThem)
{
    Client c(srv->port());
    c.send("F 7100000\nM USB 2400\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\nRPRT 0\n"));
    c.take();
    const QList<std::pair<QByteArray, QByteArray>> cases = {
        {"\\chk_vfo", "0\n"},
        {"+\\chk_vfo", "ChkVFO: 0\n"},
        {";\\chk_vfo", "ChkVFO: 0\n\n"},
        {"\\get_powerstat", "1\n"},
        {";\\get_powerstat", "get_powerstat:;Power Status: 1;RPRT 0\n"},
        {"v", "VFOA\n"},
        {",v", "get_vfo:,VFO: VFOA,RPRT 0\n"},
        {"m", "USB\n2000\n"},
        {"|m", "get_mode:|Mode: USB|Passband: 2000|RPRT 0\n"},
        {"|f", "get_freq:|Frequency: 7100000|RPRT 0\n"},
        {"s", "0\nNone\n"},
        {"+s", "get_split_vfo:\nSplit: 0\nTX VFO: None\nRPRT 0\n"},
        {"+f +m +v", "get_freq:\nFrequency: 7100000\nRPRT 0\nget_mode:\nMode: USB\nPassband: 2000\nRPRT 0\n"
                     "get_vfo:\nVFO: VFOA\nRPRT 0\n"},
        {"fmv", "7100000\nUSB\n2000\nVFOA\n"},
        {"+\\set_freq 7150000", "set_freq: 7150000\nRPRT 0\n"},
        {"+\\set_mode AM 6000", "set_mode: AM 6000\nRPRT 0\n"},
        {"+\\set_vfo VFOA", "set_vfo: VFOA\nRPRT 0\n"},
        {"\\set_vfo_opt 1", "RPRT 0\n"},
        {"+\\chk_vfo", "ChkVFO: 1\n"},
        {"F VFOA 9580000", "RPRT 0\n"},
        {"f VFOA", "9580000\n"},
        {"+f currVFO", "get_freq: currVFO\nFrequency: 9580000\nRPRT 0\n"},
        {"m Main", "AM\n6000\n"},
        {"\\set_vfo_opt 0", "RPRT 0\n"},
        {"t", "0\n"},
        {"+t", "get_ptt:\nPTT: 0\nRPRT 0\n"},
        {"\\get_rig_info", rigInfo(9580000, 4, 0) + "\n"},
        {"\\get_vfo_info VFOA", "9580000\nAM\n6000\n0\n0\n"},
        {"+\\get_vfo_info VFOA", "get_vfo_info: VFOA\nFreq: 9580000\nMode: AM\nWidth: 6000\nSplit: 0\nSatMode: 0\nRPRT 0\n"},
        {"\\get_vfo_list", "VFOA \n"},
        {"\\get_trn", "RPRT -18\n"},
        {"\\get_func ?", "FAGC \n"},
        {"|\\get_func ?", "get_func: ?|FAGC \nRPRT 0\n"},
        {"\\vfo_op ?", "\nRPRT 0\n"},
        {"l STRENGTH", "%d\n"},
        {",l RAWSTR", "get_level: RAWSTR,%d,RPRT 0\n"},
        {"l ATT", "0\n"},
        {"+l AGC", "get_level: AGC\n%d\nRPRT 0\n"},
        {"\\get_info", "None\n"},
        {"+\\dump_state", "dump_state:\n" + dumpState({}) + "RPRT 0\n"},
        {"T 1", "RPRT -11\n"},
        {"+T 1", "set_ptt: 1\nRPRT -11\n"},
        {"I 7100000", "RPRT -11\n"},
        {"\\frobnicate", "RPRT -4\n"},
        {"f Y f", "9580000\nRPRT -4\n"},
    };
    for (const auto &[line, want] : cases) {
        c.send(line + '\n');
        const QRegularExpression re('^' + QRegularExpression::escape(QString::fromLatin1(want)).replace("%d", "-?\\d+") + '$');
        EXPECT_TRUE(waitUntil([&] { return re.match(QString::fromLatin1(c.got)).hasMatch(); }, 15000))
            << line.constData() << " -> " << c.got.constData();
        c.take();
    }
    // The capabilities a logbook reads, ending as the daemon's do.
    c.send("+\\dump_caps\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    for (const char *l : {"dump_caps:\nCaps dump for model: 6006\nHamlib version:\t", "\nCan get VFO:\tY\n"})
        EXPECT_TRUE(c.got.contains(l)) << l;
    // A frequency the receiver cannot take sends nothing.
    t.settle();
    const auto before = sim.commands().size();
    c.take();
    c.send("F 30000000\n");
    ASSERT_TRUE(c.waitFor("RPRT -1\n"));
    EXPECT_EQ(sim.commands().size(), before);
}

// A satellite pass: AOS starts a recording like any other, noted as the
// client's; LOS stops it. One the user started goes on.
TEST_F(RigServerTest, PassStartsAndStopsARecording)
{
    RecSession rec(t.app);
    rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(); });
    Client c(srv->port());
    c.send("AOS\n"); // recording is not offered
    ASSERT_TRUE(c.waitFor("RPRT -11\n"));
    t.app.rec = &rec;
    c.take();
    c.send("AOS\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\n"));
    ASSERT_TRUE(rec.running());
    const QString path = rec.path();
    c.send("+LOS\n");
    ASSERT_TRUE(c.waitFor("LOS:\nRPRT 0\n"));
    EXPECT_FALSE(rec.running());
    QFile info(recfiles::infoPath(path));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Started by: network client 127.0.0.1")) << path.toStdString();
    RecSession::Request own;
    own.startedBy = QStringLiteral("Rec button");
    QString err;
    ASSERT_TRUE(rec.start(own, &err)) << err.toStdString();
    c.take();
    c.send("AOS\nLOS\n");
    ASSERT_TRUE(c.waitFor("RPRT 0\nRPRT 0\n"));
    EXPECT_TRUE(rec.running());
    EXPECT_EQ(rec.startedBy(), "Rec button");
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
