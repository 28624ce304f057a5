// No dropped samples: a recording from a sound server's 1 kHz sine input
// (a private pulseaudio, as the record tests start it) while the receiver
// line is busy with memory fetches and spectrum scans, in turn, against the
// simulated receiver in process (4800 baud). Goal: the recording holds the
// length asked for and its sound took that long to arrive (within 0.1 s over
// ten minutes), with no break in the sine.
//
//   QT_QPA_PLATFORM=offscreen ./bench_recline            (60 s)
//   VOR_REC_BENCH_SECONDS=600 QT_QPA_PLATFORM=offscreen ./bench_recline
//   (VOR_REC_BENCH_TRACE=1 prints the time and the frames recorded as they grow)
//
// Counters: audio_s (length of the file), wall_s (from the start of the
// recording to its last block), first_block_s (sound the input held when
// the stream started and handed over at once), drift_ms (between the
// arrivals of the input's bursts, from the second to the last, the wall
// time less the sound that came meanwhile: samples the input dropped show
// here), breaks (gaps in the
// sine: upward zero crossings not one period apart), cpu_pct_of_core (the
// whole process: recording, simulated receiver, line and scan window),
// rss_kb_growth (resident memory at the end against after the first tenth),
// fetches, scan_steps (line work done meanwhile).
#include "benchkit.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "measure/ui/spectrum.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"
#include "record/audiosource.h"
#include "record/recorder.h"
#include "record/recordtest.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simradio.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

using benchkit::cpuSeconds;
using benchkit::rssKb;
using Rig = benchkit::SimRig<benchkit::YesPrompter>;

// Upward zero crossings of a 1 kHz sine at 48 kHz come 48 frames apart; a
// lost or doubled block moves one.
long long sineBreaks(const QString &path)
{
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return -1;
    std::vector<float> buf(4096 * size_t(info.channels));
    long long pos = 0, last = -1, breaks = 0;
    float prev = 0;
    sf_count_t n;
    while ((n = sf_readf_float(f, buf.data(), 4096)) > 0) {
        for (sf_count_t i = 0; i < n; ++i, ++pos) {
            const float s = buf[size_t(i) * info.channels];
            if (prev < 0 && s >= 0) {
                if (last >= 0 && std::llabs(pos - last - 48) > 1)
                    ++breaks;
                last = pos;
            }
            prev = s;
        }
    }
    sf_close(f);
    return breaks;
}

// 9400 to 9459 kHz in 1 kHz steps at the shortest delay: about 32 s a scan.
const QStringList kLimits{QStringLiteral("9400"), QStringLiteral("9459"), QStringLiteral("1"),
                          QStringLiteral("0.5")};

void BM_RecordWhileLineBusy(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIntValue("VOR_REC_BENCH_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("VOR_REC_BENCH_SECONDS")
                            : 60;
    PrivateSoundServer server;
    if (!server.ok()) {
        state.SkipWithError(qPrintable(server.why()));
        return;
    }
    Rig rig;
    QTemporaryDir dir;
    for (auto _ : state) {
        Recorder r;
        Recorder::Options o;
        o.path = dir.filePath(QStringLiteral("line.flac"));
        o.maxFrames = (long long)seconds * o.rate;
        QString err;
        const double c0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        if (!r.start(std::make_unique<PulseSource>(QStringLiteral("sine_input")), o, &err)) {
            state.SkipWithError(qPrintable(err));
            return;
        }
        qint64 endNs = 0;
        QObject::connect(&r, &Recorder::ended, [&] { endNs = wall.nsecsElapsed(); });
        // The input hands over what it holds at once when the stream starts,
        // and then comes in bursts (the sine source renders two seconds at a
        // time). The drift is measured between burst arrivals: the wall time
        // between them against the sound that came in between.
        long rssTenth = -1;
        struct Burst {
            qint64 ns;
            long long framesBefore;
        };
        std::vector<Burst> bursts;
        long long startFrames = -1, lastF = 0;
        qint64 lastChangeNs = 0;
        QTimer watch;
        watch.setInterval(5);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const long long f = r.frames();
            const qint64 now = wall.nsecsElapsed();
            if (f == lastF)
                return;
            if (qEnvironmentVariableIsSet("VOR_REC_BENCH_TRACE"))
                fprintf(stderr, "%.3f %lld\n", now / 1e9, f);
            if (startFrames < 0)
                startFrames = f;
            else if (now - lastChangeNs > 500000000LL)
                bursts.push_back({now, lastF});
            lastF = f;
            lastChangeNs = now;
            if (rssTenth < 0 && f >= o.maxFrames / 10)
                rssTenth = rssKb();
        });
        watch.start();
        int fetches = 0, steps = 0;
        bool scanTurn = false;
        while (r.running()) {
            if (scanTurn) {
                SpectrumWindow w(rig.app);
                w.show();
                if (w.limits_ok(kLimits, false, false)) {
                    w.startscan();
                    while (w.scanning() && r.running())
                        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
                    steps += w.scan().index;
                }
            } else {
                mem2::MemTable t;
                mem2::MemTransfer x(rig.app, t);
                QEventLoop loop;
                QObject::connect(&x, &mem2::MemTransfer::fetched, &loop, &QEventLoop::quit);
                QObject::connect(&r, &Recorder::ended, &loop, &QEventLoop::quit);
                x.fetch();
                loop.exec();
                fetches += x.lastFetch().outcome == mem2::Outcome::Done;
            }
            scanTurn = !scanTurn;
        }
        // The end is told through the event loop.
        for (int i = 0; i < 100 && endNs == 0; ++i)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const long rssEnd = rssKb();
        const double cpu = cpuSeconds() - c0;
        watch.stop();
        const double wallS = endNs / 1e9;
        const Heard h = hear(o.path);
        state.counters["seconds_asked"] = seconds;
        state.counters["audio_s"] = h.seconds();
        state.counters["wall_s"] = wallS;
        state.counters["first_block_s"] = double(startFrames) / o.rate;
        // The first burst may hold part of a chunk: counted from the second.
        if (bursts.size() >= 3)
            state.counters["drift_ms"] = ((bursts.back().ns - bursts[1].ns) / 1e9 -
                                          double(bursts.back().framesBefore - bursts[1].framesBefore) /
                                              o.rate) *
                                         1000;
        state.counters["bursts"] = double(bursts.size());
        state.counters["breaks"] = double(sineBreaks(o.path));
        state.counters["hz"] = h.hz;
        state.counters["cpu_pct_of_core"] = cpu / wallS * 100;
        state.counters["rss_kb_growth"] = double(rssEnd - rssTenth);
        state.counters["fetches"] = fetches;
        state.counters["scan_steps"] = steps;
        if (!r.failure().isEmpty())
            state.SkipWithError(qPrintable(r.failure()));
    }
}
BENCHMARK(BM_RecordWhileLineBusy)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

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
