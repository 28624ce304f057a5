// Fetch of all 200 memory channels through the core transfer, no window:
// the described per-channel fetch and the fast range read-out, against the
// simulated receiver in process (4800 baud, 480 characters per second) and
// against nrd535-sim on a pseudo-terminal, opened as a serial port. The
// receiver's memory is its demo (Arg -1) or a station in every channel but
// N empty ones (Arg N), spread over the memory.
//
// Floors. A stored channel's read-out is 17 characters ("L" ccc rec12 CR),
// an empty one's 6 ("L" ccc "V" CR). Described fetch, per channel: the 15 ms
// pause, the 8 request characters (7 + CR) and the reply at 480 cps, which
// is read to its CR. Fast fetch: the range command (8 characters) and every
// channel's reply in one stream (7.10 s when all are stored). Around either
// read-out come the hold (H1 twice, a refresh), the "X0" stop with its
// 100 ms pause and the release (H0 twice): "overhead_floor_ms". Counters:
// the read-out alone against its floor (readout_x_floor), the whole run
// against floor + overhead (total_x_floor; goals: fast <= 1.05, described
// <= 1.02), the commands the receiver got during the run and how many of
// them were read-outs.
//
// BM_KeyDuringFetch: while a described fetch runs, a key event is posted
// every 97 ms and the time to its handling (a window repaints from the same
// loop) is measured; counters are the median and the worst (goal < 50 ms).
#include "benchkit.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "link/serialport.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simradio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <vector>

#ifdef VOR_BINARY_DIR
#include "e2e/ui/simtool.h"
#endif

namespace {

using benchkit::YesPrompter;

constexpr double kCps = 480.0;
constexpr double kCharMs = 1000.0 / kCps;
// Hold: H1 H1 (50 ms pauses), refresh: H1 H1, U11 + 50 ms, J1199 + 50 ms,
// L199199 and its reply; X0 X0 + 100 ms; release: 50 + H0 + 50 + H0.
const double kOverheadFloor = 4 * 50 + 50 + 50 + (8 + 17) * kCharMs + 100 + 100;

// The read-out reply of each channel as the fetch found it, in characters.
std::vector<int> replyLengths(const mem2::MemTable &t)
{
    std::vector<int> len;
    for (int i = 0; i < mem2::kChannels; ++i)
        len.push_back(mem2::isEmptyChannel(t.rec[i]) ? 6 : 17);
    return len;
}

// The receiver on one of the two lines.
struct Line {
    App app;
    YesPrompter prompter;
    SystemClock clock;
    std::unique_ptr<SimRadio> radio;
    std::unique_ptr<Port> port;
#ifdef VOR_BINARY_DIR
    std::unique_ptr<SimTool> tool;
#endif
    std::unique_ptr<Receiver2> rx;
    QString error;

    // empty: -1 the demo memory, else that many empty channels.
    Line(bool pty, int empty)
    {
        app.prompter = &prompter;
        app.clock = &clock;
        app.settings = settingsfile::defaults();
        if (pty) {
#ifdef VOR_BINARY_DIR
            QStringList args;
            if (empty >= 0)
                args << "--empty-channels" << QString::number(empty);
            tool = std::make_unique<SimTool>(args);
            if (tool->device.isEmpty()) {
                error = "nrd535-sim did not start";
                return;
            }
            port = std::make_unique<SerialPort>(tool->device);
#else
            error = "built without the simulator's path";
            return;
#endif
        } else {
            radio = std::make_unique<SimRadio>(SimRadio::DemoMemory);
            if (empty >= 0)
                radio->fillAllBut(empty);
            port = std::make_unique<SimPort>(radio.get());
        }
        if (!port->open(&error))
            return;
        rx = std::make_unique<Receiver2>(app);
        rx->setPort(port.get());
    }
    ~Line()
    {
        if (rx)
            rx->setPort(nullptr);
    }
    // The commands the receiver got so far.
    QStringList commands()
    {
#ifdef VOR_BINARY_DIR
        if (tool)
            return tool->commands();
#endif
        QStringList out;
        for (const QByteArray &c : static_cast<SimPort *>(port.get())->commands())
            out << QString::fromLatin1(c);
        return out;
    }
};

struct Run {
    mem2::FetchResult result;
    mem2::MemTable table;
    double totalMs = 0, readoutMs = 0;
    QStringList commands; // what the receiver got during the run
};

// Runs one fetch to its end; the read-out's own time from the first
// read-out step to the last record.
Run runFetch(Line &line, bool fast)
{
    Run run;
    const qsizetype before = line.commands().size();
    mem2::MemTransfer x(line.app, run.table);
    x.fast = fast;
    QElapsedTimer clock;
    qint64 firstNs = -1, lastNs = 0;
    QObject::connect(&x, &mem2::MemTransfer::progress, [&](int, int, int) {
        if (firstNs < 0)
            firstNs = clock.nsecsElapsed();
    });
    QObject::connect(&x, &mem2::MemTransfer::channelRead, [&](int) { lastNs = clock.nsecsElapsed(); });
    QEventLoop loop;
    QObject::connect(&x, &mem2::MemTransfer::fetched, &loop, &QEventLoop::quit);
    clock.start();
    x.fetch();
    loop.exec();
    run.totalMs = clock.nsecsElapsed() / 1e6;
    run.readoutMs = (lastNs - std::max<qint64>(firstNs, 0)) / 1e6;
    run.result = x.lastFetch();
    // The last H0s still on their way (and in the tool's log).
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    run.commands = line.commands().mid(before);
    return run;
}

void fetchBench(benchmark::State &state, bool pty, bool fast)
{
    Line line(pty, int(state.range(0)));
    if (!line.rx) {
        state.SkipWithError(qPrintable(line.error));
        return;
    }
    double total = 0, readout = 0;
    Run last;
    for (auto _ : state) {
        last = runFetch(line, fast);
        if (last.result.outcome != mem2::Outcome::Done) {
            state.SkipWithError("the simulated receiver did not answer");
            return;
        }
        total += last.totalMs;
        readout += last.readoutMs;
    }
    const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    total /= n;
    readout /= n;
    const std::vector<int> len = replyLengths(last.table);
    double described = 0; // the described read-out, from the first pause
    int stream = 0;       // the range reply's characters
    for (int l : len) {
        described += 15.0 + (8 + l) * kCharMs;
        stream += l;
    }
    const double fastLine = 15.0 + (8 + stream) * kCharMs;
    // The stream is timed from its first record to its last.
    const double readoutFloor = fast ? (stream - len.front()) * kCharMs : described;
    const double totalFloor = (fast ? fastLine : described) + kOverheadFloor;
    int readouts = 0;
    for (const QString &c : last.commands)
        readouts += c.startsWith('L') && c != "L199199" ? 1 : 0;
    // Channel 199's own read-out (the described fetch, or a re-read).
    readouts += int(last.commands.count("L199199")) - 1;
    state.counters["empty_channels"] = double(std::count(len.begin(), len.end(), 6));
    state.counters["commands"] = double(last.commands.size());
    state.counters["readouts"] = readouts;
    state.counters["total_ms"] = total;
    state.counters["floor_ms"] = totalFloor;
    state.counters["total_x_floor"] = total / totalFloor;
    state.counters["readout_ms"] = readout;
    state.counters["readout_floor_ms"] = readoutFloor;
    state.counters["readout_x_floor"] = readout / readoutFloor;
    state.counters["unreadable"] = double(last.result.bad.size());
    if (fast) {
        state.counters["streamed"] = last.result.streamed;
        state.counters["refetched"] = double(last.result.refetched.size());
    }
}

void BM_FetchInProcess(benchmark::State &s) { fetchBench(s, false, false); }
void BM_FastFetchInProcess(benchmark::State &s) { fetchBench(s, false, true); }
void BM_FetchPty(benchmark::State &s) { fetchBench(s, true, false); }
void BM_FastFetchPty(benchmark::State &s) { fetchBench(s, true, true); }
BENCHMARK(BM_FetchInProcess)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FastFetchInProcess)->Arg(-1)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_FetchPty)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FastFetchPty)->Arg(0)->Arg(50)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

// A key press during a fetch: posted to an object of the window thread and
// timed until it is handled.
class KeySink : public QObject {
public:
    QElapsedTimer clock;
    qint64 postedNs = 0;
    std::vector<double> lagMs;
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::KeyPress) {
            lagMs.push_back((clock.nsecsElapsed() - postedNs) / 1e6);
            return true;
        }
        return QObject::event(e);
    }
};

void BM_KeyDuringFetch(benchmark::State &state)
{
    Line line(state.range(0) != 0, -1);
    if (!line.rx) {
        state.SkipWithError(qPrintable(line.error));
        return;
    }
    KeySink sink;
    sink.clock.start();
    QTimer keys;
    keys.setInterval(97);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        sink.postedNs = sink.clock.nsecsElapsed();
        QCoreApplication::postEvent(&sink, new QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier));
    });
    for (auto _ : state) {
        keys.start();
        runFetch(line, false);
        keys.stop();
    }
    if (!sink.lagMs.empty())
        state.counters["keys"] = double(sink.lagMs.size());
    benchkit::medianCounters(state, sink.lagMs, "lag_");
}
BENCHMARK(BM_KeyDuringFetch)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

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
