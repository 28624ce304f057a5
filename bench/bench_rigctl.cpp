// Latency of a rig-control "F" request over TCP against the simulated
// receiver (4800 baud, 10 bits a character: 480 characters per second),
// against the floor of the commands it causes.
//
// The request runs as one bracket: H1, 50 ms, H1, 50 ms, "F" + eight digits,
// then 50 ms, H0, 50 ms, H0 and the answer. Two floors:
// - line floor: the four 50 ms pauses plus the 22 characters (3 + 3 + 10 +
//   3 + 3, each with its CR) one after the other: 245.8 ms;
// - pause floor: the pauses alone, 200 ms. A pause starts when its command
//   is written, so each command crosses the line during the pause after it,
//   and the answer leaves once the last H0 is written.
#include "link/app.h"
#include "link/receiver2.h"
#include "net/rigserver.h"
#include "settings/settings.h"
#include "sim/simport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
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
const double kLineFloorMs = 4 * 50 + 22 / kCps * 1000.0;
const double kPauseFloorMs = 4 * 50;

void BM_RigctlSetFreq(benchmark::State &state)
{
    App app;
    QuietPrompter prompter;
    SystemClock clock;
    app.prompter = &prompter;
    app.clock = &clock;
    app.settings = settingsfile::defaults();
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
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["min_ms"] = ms.front();
    state.counters["max_ms"] = ms.back();
    state.counters["line_floor_ms"] = kLineFloorMs;
    state.counters["pause_floor_ms"] = kPauseFloorMs;
    state.counters["pct_of_pause_floor"] = 100.0 * ms[ms.size() / 2] / kPauseFloorMs;
}
BENCHMARK(BM_RigctlSetFreq)->Unit(benchmark::kMillisecond)->Iterations(30)->UseManualTime();

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
