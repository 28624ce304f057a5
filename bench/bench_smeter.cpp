// S-meter tick: from the "M" reply being available to the repainted needle
// and histogram. The port answers on the next event-loop pass, so each
// sample is the reply's pickup, the conversion, the recorder's bookkeeping,
// the canvas fills and a synchronous repaint of the window. Goal: median
// under 2 ms, so the 1000 ms tick is never the bottleneck.
//
//   QT_QPA_PLATFORM=offscreen ./bench_smeter
#include "common/ui/canvas.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "link/scriptedport.h"
#include "measure/ui/smeter.h"
#include "settings/settings.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

class QuietPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons) override { return AnsOk; }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

void BM_SmeterTick(benchmark::State &state)
{
    App app;
    SystemClock clock;
    QuietPrompter prompter;
    app.clock = &clock;
    app.prompter = &prompter;
    app.settings = settingsfile::defaults();
    Receiver2 rx(app);
    ScriptedPort port;
    QString err;
    port.open(&err);
    int level = 60;
    port.responder = [&level](const QByteArray &c) {
        level = level >= 138 ? 60 : level + 3; // the needle and the bars move every tick
        return c == "M" ? "M" + QByteArray::number(level).rightJustified(3, '0') + "\r"
                        : QByteArray();
    };
    rx.setPort(&port);
    Smeter w(app);
    w.show();
    w.on_start();
    for (auto _ : state) {
        w.on_tick();
        w.repaint();
    }
    w.on_stop();
    rx.setPort(nullptr);
}
BENCHMARK(BM_SmeterTick)->Unit(benchmark::kMicrosecond)->UseRealTime()->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    QApplication a(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
