// Time from the OK of the file selection to a populated, painted BDXC grid
// for a 30,000-line list: read (with ditto lines), selection, model rows,
// layout and paint of the view, for "all" and for a time selection. The list
// is generated into a temporary folder once per run.
//
//   QT_QPA_PLATFORM=offscreen ./bench_bdxc [--benchmark_repetitions=9]
#include "link/app.h"
#include "schedules/ui/bdxc.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <deque>
#include <memory>

namespace {

class AnswerPrompter : public Prompter {
public:
    std::deque<QString> answers;
    int messages = 0;
    Answer message(const QString &, const QString &, Icon, Buttons) override
    {
        ++messages;
        return AnsOk;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        if (answers.empty())
            return d;
        const QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A made-up BDXC list of n lines in the file's columns, with ditto lines.
bool generateList(const QString &path, int n)
{
    static const char *stations[] = {"Radio Nordvik", "Voice of Tarsis", "Kestrel Intl",
                                     "R. Halvard", "Sunda Broadcast", "Radio Meridian",
                                     "Pellucid Radio", "Skerry Radio", "Radio Caldera"};
    static const char *langs[] = {"English  Eu", "German   Eu", "Spanish  CAm", "French   WAf",
                                  "Arabic   ME", "English  NAm", "Chinese  EAs"};
    QRandomGenerator rng(2026);
    QByteArray out;
    out.reserve(n * 80);
    for (int i = 0; i < n; ++i) {
        QString f1 = (i % 5 == 1) ? QStringLiteral(".") : QString::fromLatin1(stations[rng.bounded(9)]);
        QString f2 = (i % 7 == 3) ? QStringLiteral(".") : QString::fromLatin1(langs[rng.bounded(7)]);
        const int start = rng.bounded(24) * 100 + (rng.bounded(2) ? 30 : 0);
        const int end = (start + 100 + rng.bounded(3) * 100) % 2400;
        QString time = QStringLiteral("%1-%2").arg(start, 4, 10, QLatin1Char('0')).arg(end, 4, 10, QLatin1Char('0'));
        QStringList freqs;
        const int nf = 1 + rng.bounded(8);
        for (int k = 0; k < nf; ++k)
            freqs << QString::number(2300 + rng.bounded(24000));
        const QString line = f1.leftJustified(17, QLatin1Char(' '), true) +
                             f2.leftJustified(18, QLatin1Char(' '), true) + time + QStringLiteral("    ") +
                             freqs.join(QStringLiteral(", "));
        out += line.toLatin1() + "\r\n";
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

// The window over its generated list, made once for all benchmarks.
struct BdxcBench {
    QTemporaryDir dir;
    App app;
    AnswerPrompter prompter;
    std::unique_ptr<bdxc> w;

    bool setUp()
    {
        app.prompter = &prompter;
        app.settings.base_dir = dir.path() + QLatin1Char('/');
        app.settings.setNoRx(true);
        app.settings.setDim(0, 30); // DIM BDX: 30,000 lines
        QDir().mkpath(app.settings.sub(QStringLiteral("BDXC")));
        app.times.utc_text = QStringLiteral("5 Dec 2026  13:10");
        if (!generateList(app.settings.sub(QStringLiteral("BDXC")) + QStringLiteral("BDX26TOE.TXT"),
                          30000))
            return false;
        app.files.bdxc = QStringLiteral("BDX26TOE.TXT");
        w = std::make_unique<bdxc>(app);
        w->show();
        QCoreApplication::processEvents();
        return true;
    }
};
BdxcBench *bench = nullptr;

// Reads the list with the given answer to the selection question, lays out
// and paints the populated grid.
void readAndPaint(benchmark::State &state, const QString &answer)
{
    bdxc &w = *bench->w;
    for (auto _ : state) {
        bench->prompter.answers.push_back(answer);
        w.read_list();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(w.grd_bdx->grab());
    }
    state.counters["lines"] = double(w.table()->count());
    state.counters["rows"] = double(w.model->rowCount());
    state.counters["messages"] = double(bench->prompter.messages);
}

void BM_BdxcAll(benchmark::State &state) { readAndPaint(state, QStringLiteral("all")); }
void BM_BdxcTimeSelection(benchmark::State &state) { readAndPaint(state, QStringLiteral("1310")); }

} // namespace

BENCHMARK(BM_BdxcAll)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);
BENCHMARK(BM_BdxcTimeSelection)->Unit(benchmark::kMillisecond)->MinWarmUpTime(0.5);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    benchmark::Initialize(&argc, argv);
    BdxcBench b;
    if (!b.setUp()) {
        std::fprintf(stderr, "cannot write the list\n");
        return 1;
    }
    bench = &b;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
