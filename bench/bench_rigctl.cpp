// Latency of a rig-control "F" request over TCP against the simulated
// receiver (4800 baud, 10 bits a character: 480 characters per second),
// against the floor of the commands it causes.
//
// The request runs as one job in the remote bracket: H1, 50 ms, H1, 50 ms,
// "F" + eight digits, then "M" to learn whether the receiver took it, and
// the answer leaves with the "M" reply (5 characters); the bracket's H0s
// follow. Two floors:
// - line floor: the two 50 ms pauses plus the 17 characters of the "F",
//   the "M" and its reply one after the other: 135.4 ms;
// - pause floor: the pauses alone, 100 ms.
//
// The other benchmarks measure the server's share of the line:
// - "f" with the receiver's dial followed (answered from its reports, no
//   line; goal < 5 ms) and without (one state read: H1, 50, H1, 50, "J1199",
//   50, "L199199" and its 17 reply characters: about 202 ms floor);
// - 20 clients sending "f" at once (goal: all answered within 1.5 s);
// - one client flooding 3,000 "f" without reading while another asks "f"
//   (goal: answered within 2 s);
// - a client pushing 8 MB of requests it never reads the answers of (goal:
//   the program grows < 40 MB);
// - the polling loop of the protocol's network clients ("v", "m", "f", "s"
//   in turn, one request each) against the simulator tool on its
//   pseudo-terminal: with the dial followed (goal: < 5 ms median), without
//   it, and the same loop through the distribution's daemon (rigctld, model
//   6006) on the same kind of line (goal: the server no slower).
// - a burst of 200 wrong-password connections while trusted clients ask
//   "f" (goal: each answered within 2 s, growth < 5 MB).
#include "benchkit.h"
#include "e2e/ui/simtool.h"
#include "link/app.h"
#include "link/serialport.h"
#include "link/receiver2.h"
#include "net/rigaccess.h"
#include "net/rigserver.h"
#include "settings/settings.h"
#include "sim/simport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <QTcpSocket>
#include <atomic>
#include <memory>
#include <thread>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {
class QuietPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons) override { return AnsOk; }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override { return d; }
};

constexpr double kCps = 480.0;
const double kLineFloorMs = 2 * 50 + 17 / kCps * 1000.0;
const double kPauseFloorMs = 2 * 50;

void BM_RigctlSetFreq(benchmark::State &state)
{
    benchkit::AppKit<QuietPrompter> kit;
    App &app = kit.app;
    SimPort port;
    QString err;
    if (!port.open(&err)) {
        state.SkipWithError(qPrintable(err));
        return;
    }
    Receiver2 rx(app);
    rx.setPort(&port);
    RigServer srv(app);
    if (!srv.listen(QHostAddress::LocalHost, 0, &err)) {
        state.SkipWithError(qPrintable(err));
        return;
    }
    QTcpSocket c;
    c.connectToHost(QHostAddress::LocalHost, srv.port());
    if (!c.waitForConnected(5000)) {
        state.SkipWithError("no connection");
        return;
    }
    std::vector<double> ms;
    int i = 0;
    for (auto _ : state) {
        QByteArray got;
        QEventLoop loop;
        QObject::connect(&c, &QTcpSocket::readyRead, &loop, [&] {
            got += c.readAll();
            if (got.endsWith('\n'))
                loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        c.write("F " + QByteArray::number(6000000 + (i++ % 100) * 5000) + "\n");
        loop.exec();
        const double took = t.nsecsElapsed() / 1e6;
        state.SetIterationTime(took / 1000.0);
        ms.push_back(took);
        QObject::disconnect(&c, &QTcpSocket::readyRead, &loop, nullptr);
        if (got != "RPRT 0\n") {
            state.SkipWithError("no answer");
            break;
        }
        // Let the bracket's last H0 leave the line before the next request.
        QEventLoop pause;
        QTimer::singleShot(100, &pause, &QEventLoop::quit);
        pause.exec();
    }
    if (ms.empty())
        return;
    const double median = benchkit::medianCounters(state, ms);
    state.counters["line_floor_ms"] = kLineFloorMs;
    state.counters["pause_floor_ms"] = kPauseFloorMs;
    state.counters["pct_of_pause_floor"] = 100.0 * median / kPauseFloorMs;
}
BENCHMARK(BM_RigctlSetFreq)->Unit(benchmark::kMillisecond)->Iterations(30)->UseManualTime();

// The program with the simulated receiver and the server, in this process.
struct Rig : benchkit::AppKit<QuietPrompter> {
    SimPort port;
    std::unique_ptr<Receiver2> rx;
    std::unique_ptr<RigServer> srv;
    QString err;
    bool up()
    {
        if (!port.open(&err))
            return false;
        rx = std::make_unique<Receiver2>(app);
        rx->setPort(&port);
        srv = std::make_unique<RigServer>(app);
        return srv->listen(QHostAddress::LocalHost, 0, &err);
    }
    ~Rig()
    {
        srv.reset();
        if (rx)
            rx->setPort(nullptr);
    }
};

template <class Pred>
bool spinUntil(Pred done, int ms)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

void spin(int ms)
{
    spinUntil([] { return false; }, ms);
}

struct Asker {
    QTcpSocket s;
    QByteArray got;
    bool connectTo(quint16 port)
    {
        QObject::connect(&s, &QTcpSocket::readyRead, [this] { got += s.readAll(); });
        s.connectToHost(QHostAddress::LocalHost, port);
        return s.waitForConnected(5000);
    }
};

void getFreq(benchmark::State &state, bool followed)
{
    Rig rig;
    Asker c;
    if (!rig.up() || !c.connectTo(rig.srv->port())) {
        state.SkipWithError("no server");
        return;
    }
    c.s.write("F 7100000\n");
    spinUntil([&] { return c.got.endsWith('\n'); }, 5000);
    if (followed)
        rig.rx->wantReports(true, true);
    spin(300);
    std::vector<double> ms;
    for (auto _ : state) {
        c.got.clear();
        QElapsedTimer t;
        t.start();
        c.s.write("f\n");
        const bool ok = spinUntil([&] { return c.got.endsWith('\n'); }, 10000);
        const double took = t.nsecsElapsed() / 1e6;
        state.SetIterationTime(took / 1000.0);
        ms.push_back(took);
        if (!ok || c.got != "7100000\n") {
            state.SkipWithError("no answer");
            break;
        }
        if (!followed)
            spin(120); // the bracket's H0s leave the line
    }
    benchkit::medianCounters(state, ms);
    state.counters["state_reads"] = rig.srv->stateReads();
}

void BM_RigctlGetFreqFollowed(benchmark::State &state) { getFreq(state, true); }
BENCHMARK(BM_RigctlGetFreqFollowed)->Unit(benchmark::kMillisecond)->Iterations(200)->UseManualTime();
void BM_RigctlGetFreqRead(benchmark::State &state) { getFreq(state, false); }
BENCHMARK(BM_RigctlGetFreqRead)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

// 20 clients ask "f" at once. range(0): the client limit (16 as shipped:
// four are closed at once; 20: all are served).
void BM_Rigctl20Clients(benchmark::State &state)
{
    for (auto _ : state) {
        Rig rig;
        if (!rig.up()) {
            state.SkipWithError("no server");
            return;
        }
        rig.srv->maxClients = int(state.range(0));
        std::vector<std::unique_ptr<Asker>> cs;
        for (int i = 0; i < 20; ++i) {
            cs.push_back(std::make_unique<Asker>());
            cs.back()->connectTo(rig.srv->port());
        }
        spin(200);
        QElapsedTimer t;
        t.start();
        for (auto &c : cs)
            c->s.write("f\n");
        auto answered = [&] {
            int n = 0;
            for (auto &c : cs)
                n += c->got.endsWith('\n');
            return n;
        };
        auto open = [&] {
            int n = 0;
            for (auto &c : cs)
                n += c->s.state() == QAbstractSocket::ConnectedState;
            return n;
        };
        spinUntil([&] { return answered() >= open(); }, 10000);
        const double took = t.nsecsElapsed() / 1e6;
        state.SetIterationTime(took / 1000.0);
        state.counters["all_answered_ms"] = took;
        state.counters["answered"] = answered();
        state.counters["refused"] = 20 - open();
        state.counters["state_reads"] = rig.srv->stateReads();
    }
}
BENCHMARK(BM_Rigctl20Clients)->Arg(16)->Arg(20)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// One client floods 3,000 "f" (and 40 tunes first, which cannot share a
// read) without reading; another's "f" meanwhile.
void BM_RigctlFloodAndOther(benchmark::State &state)
{
    for (auto _ : state) {
        Rig rig;
        QTcpSocket flood;
        Asker other;
        if (!rig.up()) {
            state.SkipWithError("no server");
            return;
        }
        flood.connectToHost(QHostAddress::LocalHost, rig.srv->port());
        flood.waitForConnected(5000);
        QByteArray lines;
        if (state.range(0))
            for (int i = 0; i < 40; ++i)
                lines += "F " + QByteArray::number(6000000 + i * 1000) + "\n";
        flood.write(lines + QByteArray("f\n").repeated(3000));
        spin(500);
        other.connectTo(rig.srv->port());
        QElapsedTimer t;
        t.start();
        other.s.write("f\n");
        const bool ok = spinUntil([&] { return other.got.endsWith('\n'); }, 20000);
        const double took = t.nsecsElapsed() / 1e6;
        state.SetIterationTime(took / 1000.0);
        state.counters["other_answered_ms"] = ok ? took : -1;
        state.counters["max_pending"] = rig.srv->maxPendingSeen();
    }
}
BENCHMARK(BM_RigctlFloodAndOther)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

long rssKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &l : f.readAll().split('\n'))
        if (l.startsWith("VmRSS:"))
            return l.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

// A client (another thread, plain blocking socket, so its own buffers are
// the kernel's) pushes 8 MB of requests whose answers are large
// ("\dump_caps", about 250 bytes for 11) and never reads.
void BM_RigctlPush8MB(benchmark::State &state)
{
    for (auto _ : state) {
        Rig rig;
        if (!rig.up()) {
            state.SkipWithError("no server");
            return;
        }
        const quint16 port = rig.srv->port();
        spin(100);
        const long before = rssKb();
        std::atomic<long long> sent{0};
        std::atomic<bool> finished{false};
        std::thread pusher([&] {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_port = htons(port);
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            timeval tv{3, 0}; // a write held back this long: TCP pushes back
            ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
            if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0) {
                const QByteArray chunk = QByteArray("\\dump_caps\n").repeated(6000);
                while (sent < 8LL * 1024 * 1024) {
                    const ssize_t n = ::send(fd, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
                    if (n <= 0)
                        break;
                    sent += n;
                }
            }
            finished = true;
            ::sleep(1);
            ::close(fd);
        });
        long peak = before;
        QElapsedTimer t;
        t.start();
        spinUntil([&] {
            peak = std::max(peak, rssKb());
            return finished.load();
        }, 60000);
        spin(500);
        peak = std::max(peak, rssKb());
        pusher.join();
        state.SetIterationTime(t.nsecsElapsed() / 1e9);
        state.counters["pushed_MB"] = sent / 1048576.0;
        state.counters["growth_MB"] = (peak - before) / 1024.0;
    }
}
BENCHMARK(BM_RigctlPush8MB)->Unit(benchmark::kMillisecond)->Iterations(1)->UseManualTime();

// The polling loop. range(0): 0 the server, dial not followed; 1 the
// server, dial followed; 2 the distribution's daemon.
void BM_RigctlPollLoop(benchmark::State &state)
{
    const int which = int(state.range(0));
    SimTool sim({"--empty"});
    if (!sim.device.startsWith("/dev/")) {
        state.SkipWithError("nrd535-sim not built");
        return;
    }
    benchkit::AppKit<QuietPrompter> kit;
    App &app = kit.app;
    SerialPort line(sim.device);
    std::unique_ptr<Receiver2> rx;
    std::unique_ptr<RigServer> srv;
    QProcess daemon;
    quint16 port = 0;
    QString err;
    if (which < 2) {
        if (!line.open(&err)) {
            state.SkipWithError(qPrintable(err));
            return;
        }
        rx = std::make_unique<Receiver2>(app);
        rx->setPort(&line);
        srv = std::make_unique<RigServer>(app);
        srv->listen(QHostAddress::LocalHost, 0, &err);
        port = srv->port();
    } else {
        const QString rigctld = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
        if (rigctld.isEmpty()) {
            state.SkipWithError("rigctld not installed");
            return;
        }
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
        probe.close();
        daemon.start(rigctld, {"-m", "6006", "-r", sim.device, "-s", "4800", "-T", "127.0.0.1", "-t",
                               QString::number(port)});
    }
    Asker c;
    QObject::connect(&c.s, &QTcpSocket::readyRead, [&c] { c.got += c.s.readAll(); });
    // The daemon listens once it has opened its line.
    for (int i = 0; i < 40 && c.s.state() != QAbstractSocket::ConnectedState; ++i) {
        c.s.abort();
        c.s.connectToHost(QHostAddress::LocalHost, port);
        if (!c.s.waitForConnected(500))
            QThread::msleep(250);
    }
    if (c.s.state() != QAbstractSocket::ConnectedState) {
        state.SkipWithError("no connection");
        return;
    }
    c.s.write("F 7150000\n");
    spinUntil([&] { return c.got.endsWith('\n'); }, 5000);
    if (which == 1)
        rx->wantReports(true, true);
    spin(500);
    // The lines of each answer: v, m, f, s (the daemon has no VFO: one line).
    const std::pair<const char *, int> polls[] = {{"v\n", 1}, {"m\n", 2}, {"f\n", 1}, {"s\n", 2}};
    std::vector<double> ms;
    int i = 0;
    for (auto _ : state) {
        const auto &[ask, lines] = polls[i++ % 4];
        c.got.clear();
        QElapsedTimer t;
        t.start();
        c.s.write(ask);
        const bool ok = spinUntil([&] { return c.got.count('\n') >= lines; }, 10000);
        const double took = t.nsecsElapsed() / 1e6;
        state.SetIterationTime(took / 1000.0);
        ms.push_back(took);
        if (!ok) {
            state.SkipWithError("no answer");
            break;
        }
    }
    benchkit::medianCounters(state, ms);
    double sum = 0;
    for (double x : ms)
        sum += x;
    state.counters["cycle_ms"] = ms.empty() ? 0 : 4 * sum / double(ms.size()); // v, m, f, s once each
    if (srv)
        state.counters["state_reads"] = srv->stateReads();
    c.s.abort();
    srv.reset();
    if (rx)
        rx->setPort(nullptr);
    daemon.terminate();
    daemon.waitForFinished(5000);
}
BENCHMARK(BM_RigctlPollLoop)->Arg(1)->Iterations(200)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_RigctlPollLoop)->Arg(0)->Arg(2)->Iterations(40)->Unit(benchmark::kMillisecond)->UseManualTime();
// 200 connections from an untrusted address (127.0.0.1; only 127.0.0.2 is
// trusted) each send a wrong password, in a burst from another thread,
// while a trusted client asks "f" over and over and a second trusted client
// connects in the middle of the burst (goal: every "f" within 2 s, growth
// < 5 MB). After five wrong passwords the address is shut out: the rest
// are closed at once.
void BM_RigctlWrongPasswordBurst(benchmark::State &state)
{
    for (auto _ : state) {
        Rig rig;
        if (!rig.up()) {
            state.SkipWithError("no server");
            return;
        }
        rig.srv->access.policy.trust = *rigaccess::NetList::parse(QStringLiteral("127.0.0.2"));
        rig.srv->access.policy.fullHash = rigaccess::hashPassword("right");
        const quint16 port = rig.srv->port();
        auto trustedAsker = [&](Asker &a) {
            QObject::connect(&a.s, &QTcpSocket::readyRead, [&a] { a.got += a.s.readAll(); });
            a.s.bind(QHostAddress(QStringLiteral("127.0.0.2")));
            a.s.connectToHost(QHostAddress::LocalHost, port);
            return a.s.waitForConnected(5000);
        };
        Asker trusted, late;
        if (!trustedAsker(trusted)) {
            state.SkipWithError("no connection");
            return;
        }
        auto askF = [&](Asker &a) {
            a.got.clear();
            QElapsedTimer t;
            t.start();
            a.s.write("f\n");
            return spinUntil([&] { return a.got.endsWith('\n'); }, 10000) ? t.nsecsElapsed() / 1e6
                                                                          : -1.0;
        };
        askF(trusted); // the first state read
        spin(200);
        const long before = rssKb();
        std::atomic<int> answeredWrong{0}, closedAtOnce{0}, connected{0};
        std::atomic<bool> finished{false};
        QElapsedTimer burstClock;
        burstClock.start();
        std::thread burst([&] {
            std::vector<int> fds;
            for (int i = 0; i < 200; ++i) {
                const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in a{};
                a.sin_family = AF_INET;
                a.sin_port = htons(port);
                a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                timeval tv{3, 0};
                ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
                if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
                    ::close(fd);
                    continue;
                }
                ++connected;
                ::send(fd, "\\password wrong\n", 16, MSG_NOSIGNAL);
                fds.push_back(fd);
            }
            for (int fd : fds) {
                char buf[64];
                const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
                if (n > 0 && QByteArray(buf, int(n)).startsWith("RPRT -19"))
                    ++answeredWrong;
                else
                    ++closedAtOnce;
                ::close(fd);
            }
            finished = true;
        });
        std::vector<double> ms;
        long peak = before;
        double lateMs = -1;
        while (!finished) {
            ms.push_back(askF(trusted));
            if (lateMs < 0 && connected >= 100) {
                lateMs = trustedAsker(late) ? askF(late) : -1;
                ms.push_back(lateMs);
            }
            peak = std::max(peak, rssKb());
        }
        burst.join();
        const double burstMs = burstClock.nsecsElapsed() / 1e6;
        spin(300);
        peak = std::max(peak, rssKb());
        ms.push_back(askF(trusted));
        state.SetIterationTime(burstMs / 1000.0);
        const bool allAnswered = std::none_of(ms.begin(), ms.end(), [](double x) { return x < 0; });
        benchkit::medianCounters(state, ms);
        state.counters["burst_ms"] = burstMs;
        state.counters["trusted_f_asked"] = double(ms.size());
        state.counters["trusted_all_answered"] = allAnswered;
        state.counters["late_trusted_f_ms"] = lateMs;
        state.counters["answered_wrong"] = answeredWrong.load();
        state.counters["closed_at_once"] = closedAtOnce.load();
        state.counters["growth_MB"] = (peak - before) / 1024.0;
    }
}
BENCHMARK(BM_RigctlWrongPasswordBurst)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->UseManualTime();

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
