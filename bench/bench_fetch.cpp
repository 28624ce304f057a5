// Fetch of all 200 memory channels from the simulated receiver (4800 baud,
// 480 characters per second) through the core transfer, no window.
//
// Floor per channel: the 15 ms pause, the 8 request characters (7 + CR) and
// the 17 reply characters at 480 cps = 15 + 52.1 ms. Around the read-out come
// the hold (H1 twice, a refresh), the "X0" stop with its 100 ms pause and the
// release (H0 twice). The read-out ends on the 16th character; the final CR
// crosses the line during the next channel's pause, so the tighter floor
// counts 16. Counters: ms per channel, and the run as a share of each floor
// (goal: within 110 % of the floor).
#include "link/app.h"
#include "link/receiver2.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simradio.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <benchmark/benchmark.h>

namespace {

class YesPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons b) override
    {
        return b == Ok || b == OkCancel ? AnsOk : AnsYes;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

constexpr double kCps = 480.0;
const double kPerChannelFloor = 15.0 + (8 + 17) / kCps * 1000.0;
// Hold: H1 H1 (50 ms pauses), refresh: H1 H1, U11 + 50 ms, J1199 + 50 ms,
// L199199 and its reply; X0 X0 + 100 ms; release: 50 + H0 + 50 + H0.
const double kOverheadFloor = 4 * 50 + 50 + 50 + (8 + 17) / kCps * 1000.0 + 100 + 100;
const double kFloorMs = 200 * kPerChannelFloor + kOverheadFloor;
const double kTightFloorMs = 200 * (15.0 + (8 + 16) / kCps * 1000.0) + kOverheadFloor;

void BM_FetchSimulated(benchmark::State &state)
{
    App app;
    YesPrompter prompter;
    SystemClock clock;
    app.prompter = &prompter;
    app.clock = &clock;
    app.settings = settingsfile::defaults();
    SimRadio radio(SimRadio::DemoMemory);
    SimPort port(&radio);
    QString err;
    if (!port.open(&err)) {
        state.SkipWithError(qPrintable(err));
        return;
    }
    Receiver2 rx(app);
    rx.setPort(&port);

    double totalMs = 0;
    int filled = 0;
    for (auto _ : state) {
        mem2::MemTable t;
        mem2::MemTransfer x(app, t);
        QElapsedTimer timer;
        timer.start();
        const mem2::FetchResult r = x.fetch();
        totalMs += timer.nsecsElapsed() / 1e6;
        if (r.outcome != mem2::Outcome::Done) {
            state.SkipWithError("the simulated receiver did not answer");
            break;
        }
        filled = t.filledCount();
    }
    const double ms = totalMs / std::max<benchmark::IterationCount>(state.iterations(), 1);
    state.counters["ms_per_channel"] = ms / 200;
    state.counters["pct_of_floor"] = 100.0 * ms / kFloorMs;
    state.counters["pct_of_tight_floor"] = 100.0 * ms / kTightFloorMs;
    state.counters["floor_ms"] = kFloorMs;
    state.counters["channels"] = filled;
    rx.setPort(nullptr);
}
BENCHMARK(BM_FetchSimulated)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

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
