// A 500-step spectrum scan of the simulated receiver (4800 baud, 480
// characters per second) through the spectrum window (offscreen), at the
// shortest scan delay, 0.5 s.
//
// Line time per step: the tune command "F" + 8 digits + CR (10 characters),
// the "M" request (2) and its reply "M" + 3 digits + CR (5): 17 characters,
// 35.4 ms. Floor per step = 500 ms delay + 35.4 ms = 535.4 ms. Around the
// steps come the hold (H1 twice, 50 ms after each), the first tune and the
// refresh (J1199, 50 ms, L199199 and its reply), the tick that ends the run
// and the release (50 ms, H0, 50 ms, H0); they are reported apart.
//
// The scan runs as the user runs it: the timer paces the steps. The delay
// counts from tick to tick, and a step's line time (the "M" exchange, then
// the tune command going out on its own) falls inside it, so a step takes
// the delay itself once nothing waits longer than the line. Counters: ms per
// step and its share of the floor (goal: within 110 %).
//
//   QT_QPA_PLATFORM=offscreen ./bench_scan
#include "benchkit.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "measure/ui/spectrum.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simradio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

class QuietPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons) override { return AnsOk; }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

using Rig = benchkit::SimRig<QuietPrompter>;

constexpr int kSteps = 500;
constexpr double kCharMs = 1000.0 / 480.0;
constexpr double kLineMs = 17 * kCharMs;
constexpr double kDelayMs = 500.0;

// 9400 to 9899 kHz in 1 kHz steps: steps 0 to 499.
const QStringList kLimits{QStringLiteral("9400"), QStringLiteral("9899"), QStringLiteral("1"),
                          QStringLiteral("0.5")};

void BM_ScanPaced(benchmark::State &state)
{
    Rig r;
    double stepsMs = 0, totalMs = 0;
    for (auto _ : state) {
        SpectrumWindow w(r.app);
        w.show();
        if (!w.limits_ok(kLimits, false, false)) {
            state.SkipWithError("limits refused");
            return;
        }
        // Every tick is a step (the last one ends the run): the time between
        // the first and the last tick over their count is one step.
        QElapsedTimer total;
        std::vector<qint64> ticks;
        QObject::connect(w.tmr_scan, &QTimer::timeout, &w,
                         [&] { ticks.push_back(total.nsecsElapsed()); });
        total.start();
        w.startscan();
        while (w.scanning())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        totalMs += total.nsecsElapsed() / 1e6;
        if (ticks.size() < 2) {
            state.SkipWithError("no steps");
            return;
        }
        stepsMs += (ticks.back() - ticks.front()) / 1e6 / double(ticks.size() - 1) * kSteps;
        if (w.scan().index != kSteps) {
            state.SkipWithError("the scan did not run to its end");
            return;
        }
    }
    const double n = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["ms_per_step"] = stepsMs / n / kSteps;
    state.counters["floor_ms_per_step"] = kDelayMs + kLineMs;
    state.counters["pct_of_floor"] = 100.0 * stepsMs / n / (kSteps * (kDelayMs + kLineMs));
    state.counters["around_steps_ms"] = (totalMs - stepsMs) / n;
}
BENCHMARK(BM_ScanPaced)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    QApplication a(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
