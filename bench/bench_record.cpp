// Recording: the cost of capturing and encoding 48 kHz mono FLAC, and the
// memory over a long recording. Goals: under 3 % of one core while
// recording in real time; memory flat over 10 minutes; every sample kept.
//
//   ./bench_record
// Counters: cpu_pct_of_core (CPU time of the whole process over the
// recording's wall time), rss_kb_start / rss_kb_end (resident memory after
// the first minute and at the end), frames_missing (against the length
// asked for).
#include "benchkit.h"
#include "record/audiosource.h"
#include "record/recorder.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <thread>

namespace {

using benchkit::cpuSeconds;
using benchkit::rssKb;

// Ten seconds of a tone at the pace of a live input, as the sound server
// delivers it: what recording costs while the program runs.
void BM_RecordFlacRealTime(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        Recorder r;
        Recorder::Options o;
        o.path = dir.filePath(QStringLiteral("rt.flac"));
        o.maxFrames = 10LL * o.rate;
        QString err;
        const double c0 = cpuSeconds();
        const auto w0 = std::chrono::steady_clock::now();
        if (!r.start(std::make_unique<ToneSource>(1000, 0.5, true), o, &err)) {
            state.SkipWithError(err.toUtf8().constData());
            return;
        }
        r.waitEnded(60000);
        r.stop();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - w0).count();
        state.counters["cpu_pct_of_core"] = (cpuSeconds() - c0) / wall * 100;
        state.counters["frames_missing"] = double(o.maxFrames - r.frames());
    }
}
BENCHMARK(BM_RecordFlacRealTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

// Ten minutes of audio encoded as fast as it comes: memory at the first
// minute and at the end, the CPU it would take at real time, the length.
void BM_RecordTenMinutesFlac(benchmark::State &state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        Recorder r;
        Recorder::Options o;
        o.path = dir.filePath(QStringLiteral("long.flac"));
        o.maxFrames = 600LL * o.rate;
        QString err;
        const double c0 = cpuSeconds();
        if (!r.start(std::make_unique<ToneSource>(1000, 0.5, false), o, &err)) {
            state.SkipWithError(err.toUtf8().constData());
            return;
        }
        long rssStart = -1;
        while (!r.waitEnded(5)) {
            if (rssStart < 0 && r.frames() >= 60LL * o.rate)
                rssStart = rssKb();
        }
        const long rssEnd = rssKb();
        r.stop();
        state.counters["rss_kb_start"] = double(rssStart);
        state.counters["rss_kb_end"] = double(rssEnd);
        state.counters["cpu_pct_of_core_at_real_time"] = (cpuSeconds() - c0) / 600.0 * 100;
        state.counters["frames_missing"] = double(o.maxFrames - r.frames());
        state.counters["file_kb"] = double(QFile(o.path).size() / 1024);
    }
}
BENCHMARK(BM_RecordTenMinutesFlac)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
