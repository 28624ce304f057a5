// Fetch of all 200 memory channels through the core transfer, no window:
// the described per-channel fetch and the fast range read-out, against the
// simulated receiver in process (4800 baud, 480 characters per second) and
// against nrd535-sim on a pseudo-terminal, opened as a serial port.
//
// Floors. Described fetch, per channel: the 15 ms pause, the 8 request
// characters (7 + CR) and the 17 reply characters at 480 cps = 15 + 52.1 ms.
// The read-out ends on the 16th character; the final CR crosses the line
// during the next channel's pause, so the tighter floor counts 16. Fast
// fetch: the range command (8 characters) and 200 x 17 reply characters in
// one stream = 7.10 s. Around either read-out come the
// hold (H1 twice, a refresh), the "X0" stop with its 100 ms pause and the
// release (H0 twice): "overhead_floor_ms". Counters: the read-out alone
// against its floor (readout_x_floor) and the whole run against floor +
// overhead (total_x_floor; goals: fast <= 1.05, described <= 1.02).
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
const double kPerChannelFloor = 15.0 + (8 + 17) * kCharMs;
const double kTightPerChannel = 15.0 + (8 + 16) * kCharMs;
const double kFastLineFloor = 8 * kCharMs + 200 * 17 * kCharMs;
// Hold: H1 H1 (50 ms pauses), refresh: H1 H1, U11 + 50 ms, J1199 + 50 ms,
// L199199 and its reply; X0 X0 + 100 ms; release: 50 + H0 + 50 + H0.
const double kOverheadFloor = 4 * 50 + 50 + 50 + (8 + 17) * kCharMs + 100 + 100;

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

    explicit Line(bool pty)
    {
        app.prompter = &prompter;
        app.clock = &clock;
        app.settings = settingsfile::defaults();
        if (pty) {
#ifdef VOR_BINARY_DIR
            tool = std::make_unique<SimTool>();
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
};

// Runs one fetch to its end; the read-out's own time in *readoutMs (from
// the first read-out command to the last record).
mem2::FetchResult runFetch(Line &line, bool fast, double *totalMs, double *readoutMs)
{
    mem2::MemTable t;
    mem2::MemTransfer x(line.app, t);
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
    *totalMs = clock.nsecsElapsed() / 1e6;
    *readoutMs = (lastNs - std::max<qint64>(firstNs, 0)) / 1e6;
    return x.lastFetch();
}

void fetchBench(benchmark::State &state, bool pty, bool fast)
{
    Line line(pty);
    if (!line.rx) {
        state.SkipWithError(qPrintable(line.error));
        return;
    }
    double total = 0, readout = 0;
    int streamed = 0, refetched = 0;
    for (auto _ : state) {
        double t = 0, r = 0;
        const mem2::FetchResult res = runFetch(line, fast, &t, &r);
        if (res.outcome != mem2::Outcome::Done) {
            state.SkipWithError("the simulated receiver did not answer");
            return;
        }
        total += t;
        readout += r;
        streamed = res.streamed;
        refetched = int(res.refetched.size());
    }
    const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    total /= n;
    readout /= n;
    // The described read-out is timed from the pause before the first
    // command (the progress of channel 0), so its floor counts the pauses;
    // the stream from its first record to its last (199 records).
    const double readoutFloor = fast ? 199 * 17 * kCharMs : 200 * kTightPerChannel;
    state.counters["total_ms"] = total;
    state.counters["readout_ms"] = readout;
    state.counters["readout_floor_ms"] = readoutFloor;
    state.counters["readout_x_floor"] = readout / readoutFloor;
    state.counters["total_x_floor"] =
        total / ((fast ? 15.0 + kFastLineFloor : 200 * kPerChannelFloor) + kOverheadFloor);
    if (fast) {
        state.counters["streamed"] = streamed;
        state.counters["refetched"] = refetched;
    }
}

void BM_FetchInProcess(benchmark::State &s) { fetchBench(s, false, false); }
void BM_FastFetchInProcess(benchmark::State &s) { fetchBench(s, false, true); }
void BM_FetchPty(benchmark::State &s) { fetchBench(s, true, false); }
void BM_FastFetchPty(benchmark::State &s) { fetchBench(s, true, true); }
BENCHMARK(BM_FetchInProcess)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FastFetchInProcess)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();
BENCHMARK(BM_FetchPty)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();
BENCHMARK(BM_FastFetchPty)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

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
    Line line(state.range(0) != 0);
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
        double t = 0, r = 0;
        runFetch(line, false, &t, &r);
        keys.stop();
    }
    std::sort(sink.lagMs.begin(), sink.lagMs.end());
    if (!sink.lagMs.empty()) {
        state.counters["keys"] = double(sink.lagMs.size());
        state.counters["lag_median_ms"] = sink.lagMs[sink.lagMs.size() / 2];
        state.counters["lag_max_ms"] = sink.lagMs.back();
    }
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
