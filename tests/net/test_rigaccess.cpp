// Who may use the rig-control server: address lists, password hashes and
// files, and the server's answers to untrusted, wrong, right, read-only and
// shut-out clients, with real TCP clients (127.0.0.1 untrusted, 127.0.0.2
// trusted) against the simulated receiver.
#include "common/filebytes.h"
#include "net/rigaccess.h"
#include "net/rigserver.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QFile>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace rigaccess;

TEST(RigAccess, ListsHashesAndPasswordFiles)
{
    const struct {
        const char *list, *address;
        bool in;
    } lists[] = {
        {kDefaultTrust, "127.0.0.1", true},       {kDefaultTrust, "::1", true},
        {kDefaultTrust, "::ffff:127.0.0.1", true}, {kDefaultTrust, "127.0.0.2", false},
        {"", "127.0.0.1", false},                 {"192.168.1.0/24 10.0.0.7", "192.168.1.77", true},
        {"192.168.1.0/24, 10.0.0.7", "10.0.0.8", false}, {"::ffff:10.0.0.0/104", "10.1.2.3", true},
    };
    for (const auto &c : lists)
        EXPECT_EQ(NetList::parse(c.list)->contains(QHostAddress(c.address)), c.in)
            << c.list << " " << c.address;
    QString why;
    for (const char *bad : {"10.0.0.300", "localhost", "10.0.0.0/40"})
        EXPECT_FALSE(NetList::parse(bad, &why)) << bad;
    EXPECT_TRUE(why.contains("10.0.0.0/40"));

    // A salted hash, never the password; the settings file holds only it.
    const QString h = hashPassword("s3cret");
    EXPECT_TRUE(isHash(h) && matches(h, "s3cret") && !matches(h, "s3creT") && !matches(h, ""));
    EXPECT_NE(hashPassword("s3cret"), h);
    EXPECT_FALSE(matches("", "s3cret") || matches("pbkdf2-sha256$1$AAAA$AAAA", "s3cret"));
    Settings s = settingsfile::defaults();
    s.rigctl_password = h;
    s.rigctl_trust = "";
    const QStringList lines = settingsfile::lines(&s);
    EXPECT_FALSE(lines.join('\n').contains("s3cret"));
    const Settings back = settingsfile::parse(lines.join('\n'));
    EXPECT_TRUE(back.rigctl_password == h && back.rigctl_trust == QString() && back.v == s.v);

    QTemporaryDir dir;
    const struct {
        QByteArray content;
        const char *password; // nullptr: refused
    } files[] = {
        {"s3cret\nsecond\n", "s3cret"}, {"  pw \r\n", "pw"}, {"", nullptr}, {"two words\n", nullptr}};
    for (const auto &f : files) {
        QFile out(dir.filePath("pw"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(f.content);
        out.close();
        QByteArray pw;
        EXPECT_EQ(readPasswordFile(out.fileName(), &pw, &why), f.password != nullptr)
            << f.content.constData();
        EXPECT_EQ(pw, f.password ? f.password : "");
    }
    EXPECT_FALSE(readPasswordFile(dir.filePath("missing"), nullptr, &why));
}

namespace {

struct Peer {
    QTcpSocket s;
    QByteArray got;
    Peer(quint16 port, const char *from)
    {
        QObject::connect(&s, &QTcpSocket::readyRead, [this] { got += s.readAll(); });
        s.bind(QHostAddress(QString::fromLatin1(from)));
        s.connectToHost(QHostAddress::LocalHost, port);
        s.waitForConnected(5000);
    }
    QByteArray ask(const QByteArray &line, qsizetype want)
    {
        got.clear();
        s.write(line);
        waitUntil([&] { return got.size() >= want || s.state() != QAbstractSocket::ConnectedState; });
        return got;
    }
    bool closed()
    {
        return waitUntil([&] { return s.state() == QAbstractSocket::UnconnectedState; });
    }
};

struct RigAccessTest : ::testing::Test {
    TestApp t;
    SimPort sim;
    std::unique_ptr<RigServer> srv;
    qint64 ms = 0;
    void SetUp() override
    {
        QString err;
        ASSERT_TRUE(sim.open(&err));
        t.rx->setPort(&sim);
        t.app.replyTimeoutMs = 1500;
        ASSERT_TRUE(t.rx->setTraceFile(t.dir.filePath("trace.txt")));
        srv = std::make_unique<RigServer>(t.app);
        srv->access.now = [this] { return ms; };
        srv->access.policy.trust = *NetList::parse("127.0.0.2");
        srv->access.policy.fullHash = hashPassword("full-pw");
        srv->access.policy.readHash = hashPassword("read-pw");
        ASSERT_TRUE(srv->listen(QHostAddress::LocalHost, 0, &err)) << err.toStdString();
    }
    void TearDown() override
    {
        srv.reset();
        t.rx->setPort(&t.port);
    }
};

} // namespace

// Each client: its lines with the answer each gets, and whether the
// receiver heard of any of them.
TEST_F(RigAccessTest, EachClientGetsWhatItsPasswordGives)
{
    using Steps = QList<std::pair<QByteArray, QByteArray>>;
    const struct {
        const char *who, *from;
        Steps steps;
        bool reachesReceiver;
    } cases[] = {
        {"untrusted", "127.0.0.1",
         {{"f\n", "RPRT -19\n"}, {"F 7100000\n", "RPRT -19\n"}, {"\\dump_state\n", "RPRT -19\n"},
          {"+f\n", "get_freq:\nRPRT -19\n"}, {"\\frobnicate\n", "RPRT -19\n"}, {"q\n", "RPRT 0\n"}},
         false},
        {"wrong", "127.0.0.1", {{"\\password full-PW\n", "RPRT -19\n"}, {"f\n", "RPRT -19\n"}},
         false},
        {"right", "127.0.0.1",
         {{"+\\password full-pw\n", "password:\nRPRT 0\n"}, {"F 7100000\n", "RPRT 0\n"},
          {"f\n", "7100000\n"}},
         true},
        {"read-only", "127.0.0.1",
         {{"\\password read-pw\n", "RPRT 0\n"}, {"F 7200000\n", "RPRT -19\n"},
          {"M USB 2400\n", "RPRT -19\n"}, {"L ATT 20\n", "RPRT -19\n"}, {"f\n", "7100000\n"},
          {"l ATT\n", "0\n"}},
         true},
        {"trusted", "127.0.0.2", {{"f\n", "7100000\n"}, {"\\password nope\n", "RPRT -19\n"}}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.who);
        t.settle();
        sim.clearLog();
        Peer p(srv->port(), c.from);
        for (const auto &[line, want] : c.steps)
            EXPECT_EQ(p.ask(line, want.size()), want) << line.constData();
        t.settle();
        EXPECT_EQ(!sim.commands().isEmpty(), c.reachesReceiver);
    }
    EXPECT_EQ(sim.radio()->working().hz, 7100000);
    const QByteArray trace = readBytes(t.dir.filePath("trace.txt"));
    for (const char *note :
         {"-- rig-control: 127.0.0.1 connected (needs a password)",
          "127.0.0.1 refused \"set_freq\": no password given", "127.0.0.1 gave a wrong password (1 of 5)",
          "127.0.0.1 logged in with the read-only password",
          "127.0.0.1 refused \"set_mode\": read-only access", "127.0.0.2 connected (trusted)"})
        EXPECT_TRUE(trace.contains(note)) << note;
}

TEST_F(RigAccessTest, FiveWrongPasswordsShutAnAddressOutForTenMinutes)
{
    Peer waiting(srv->port(), "127.0.0.1"), trusted(srv->port(), "127.0.0.2");
    // Four wrong ones, then ten minutes pass: they no longer count.
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Peer(srv->port(), "127.0.0.1").ask("\\password x\n", 9), "RPRT -19\n");
    ms += Gate::kFailureWindowMs + 1;
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Peer(srv->port(), "127.0.0.1").ask("\\password x\n", 9), "RPRT -19\n");
    // The fifth within ten minutes: closed, with every connection from
    // there that has no password; a new one is closed at once.
    Peer fifth(srv->port(), "127.0.0.1");
    EXPECT_EQ(fifth.ask("\\password x\n", 9), "RPRT -19\n");
    EXPECT_TRUE(fifth.closed() && waiting.closed());
    Peer again(srv->port(), "127.0.0.1");
    EXPECT_TRUE(again.closed());
    EXPECT_TRUE(again.got.isEmpty());
    EXPECT_EQ(trusted.ask("f\n", 8), "9500000\n"); // others are served on
    EXPECT_TRUE(readBytes(t.dir.filePath("trace.txt")).contains("127.0.0.1 shut out for ten"));
    ms += Gate::kLockMs - 1;
    EXPECT_TRUE(Peer(srv->port(), "127.0.0.1").closed());
    ms += 2;
    Peer back(srv->port(), "127.0.0.1");
    EXPECT_EQ(back.ask("\\password full-pw\nf\n", 15), "RPRT 0\n9500000\n");
}

TEST_F(RigAccessTest, AllowListAndNoListeningBeyondLoopbackWithoutAPassword)
{
    srv->access.policy.allow = *NetList::parse("10.0.0.0/8");
    Peer outside(srv->port(), "127.0.0.1"), trusted(srv->port(), "127.0.0.2");
    EXPECT_TRUE(outside.closed());
    EXPECT_EQ(trusted.ask("f\n", 8), "9500000\n"); // trusted ones may always connect

    const struct {
        const char *address;
        bool password, listens;
    } cases[] = {{"0.0.0.0", false, false}, {"::", false, false}, {"127.0.0.1", false, true},
                 {"::1", false, true},      {"0.0.0.0", true, true}};
    for (const auto &c : cases) {
        RigServer other(t.app);
        other.access.policy.fullHash = c.password ? hashPassword("pw") : QString();
        QString err;
        EXPECT_EQ(other.listen(QHostAddress(QString::fromLatin1(c.address)), 0, &err), c.listens)
            << c.address;
        EXPECT_EQ(err.contains("without a password"), !c.listens) << err.toStdString();
    }
    EXPECT_TRUE(readBytes(t.dir.filePath("trace.txt")).contains("not listening on 0.0.0.0: no pass"));
}
