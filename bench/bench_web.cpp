// The web remote against the simulated receiver, in this process, with
// WebSocket clients standing in for the pages:
// - a tune from a page to its command on the line, against the same tune
//   asked by a window (the line's own floor: the remote bracket's pauses and
//   the characters); goal: under 20 ms more;
// - 8 listeners at once on a generated tone at real-time pace: the sound
//   each one gets (goal < 40 kbit/s), the program's CPU per listener (goal
//   < 2 % of one core), and how long an event the panel would handle (a key)
//   waits meanwhile (goal < 50 ms);
// - the sound's delay from the onset of the tone to the client's decoded
//   samples (Opus decoded with libopus as the page decodes it; goal: under
//   400 ms median), and the same to the samples decoded by the page in
//   headless Chromium (bench/web_delay.py).
#include "benchkit.h"
#include "record/audiosource.h"
#include "web/webremote.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QProcess>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWebSocket>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cmath>
#include <opus.h>
#include <thread>
#include <vector>

namespace {
using Rig = benchkit::SimRig<benchkit::YesPrompter>;

void spin(int ms)
{
    QEventLoop l;
    QTimer::singleShot(ms, &l, &QEventLoop::quit);
    l.exec();
}

template <class Pred> bool until(Pred p, int ms = 10000)
{
    QElapsedTimer t;
    t.start();
    while (!p() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return p();
}

// A page's connection: the session cookie from the page, then the socket.
struct Page {
    QWebSocket ws;
    std::vector<QByteArray> packets;
    qint64 bytes = 0;
    bool open(quint16 port)
    {
        QNetworkAccessManager nam;
        QNetworkReply *r = nam.get(QNetworkRequest(QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port))));
        until([&] { return r->isFinished(); });
        const QByteArray cookie = r->rawHeader("Set-Cookie").split(';').first();
        r->deleteLater();
        QNetworkRequest req(QUrl(QStringLiteral("ws://127.0.0.1:%1/ws").arg(port)));
        req.setRawHeader("Cookie", cookie);
        req.setRawHeader("Origin", QStringLiteral("http://127.0.0.1:%1").arg(port).toUtf8());
        QObject::connect(&ws, &QWebSocket::binaryMessageReceived, [this](const QByteArray &b) {
            bytes += b.size();
            packets.push_back(b);
        });
        ws.open(req);
        return until([&] { return ws.state() == QAbstractSocket::ConnectedState; });
    }
    void ask(const QJsonObject &o) { ws.sendTextMessage(QString::fromUtf8(QJsonDocument(o).toJson())); }
};

struct WebRig : Rig {
    LoopbackAccess access;
    WebRemote web{app, access};
    WebRig()
    {
        app.rx = &rx;
        QString err;
        web.listen(QHostAddress::LocalHost, 0, &err);
    }
};

void BM_WebTune(benchmark::State &state)
{
    WebRig rig;
    Page page;
    if (!page.open(rig.web.port())) {
        state.SkipWithError("no connection");
        return;
    }
    page.ask({{"t", "control"}});
    spin(300);
    std::vector<double> web, floor;
    int i = 0;
    for (auto _ : state) {
        for (int pass = 0; pass < 2; ++pass) {
            const qint64 hz = 6000000 + (i++ % 400) * 5000;
            QElapsedTimer t;
            t.start();
            if (pass == 0)
                page.ask({{"t", "tune"}, {"hz", double(hz)}});
            else
                rig.rx.tune(hz, Origin::Panel);
            if (!until([&] { return rig.radio.working().hz == hz; })) {
                state.SkipWithError("the tune did not arrive");
                return;
            }
            (pass == 0 ? web : floor).push_back(t.nsecsElapsed() / 1e6);
            spin(120); // the bracket's H0s leave the line
        }
        state.SetIterationTime(web.back() / 1000.0);
    }
    state.counters["extra_ms"] =
        benchkit::medianCounters(state, web, "web_") - benchkit::medianCounters(state, floor, "floor_");
}
BENCHMARK(BM_WebTune)->Unit(benchmark::kMillisecond)->Iterations(20)->UseManualTime();

// A tone that starts when told, at real-time pace.
class GatedTone : public AudioSource {
public:
    std::atomic<bool> on{false};
    std::atomic<qint64> onsetNs{0};
    bool open(int rate, int, QString *) override
    {
        rate_ = rate;
        clock_.start();
        return true;
    }
    bool read(float *buf, int frames, QString *) override
    {
        for (int i = 0; i < frames; ++i) {
            buf[i] = on ? float(0.5 * std::sin(phase_)) : 0.0f;
            phase_ += 2 * M_PI * 1000 / rate_;
        }
        done_ += frames;
        const qint64 due = done_ * 1000000000LL / rate_;
        const qint64 now = clock_.nsecsElapsed();
        if (due > now)
            std::this_thread::sleep_for(std::chrono::nanoseconds(due - now));
        return true;
    }
    QString name() const override { return QStringLiteral("gated tone"); }

private:
    int rate_ = 48000;
    double phase_ = 0;
    qint64 done_ = 0;
    QElapsedTimer clock_;
};

void BM_WebAudioDelay(benchmark::State &state)
{
    WebRig rig;
    GatedTone *tone = nullptr;
    rig.web.setAudioSource([&tone] {
        auto t = std::make_unique<GatedTone>();
        tone = t.get();
        return t;
    });
    Page page;
    if (!page.open(rig.web.port())) {
        state.SkipWithError("no connection");
        return;
    }
    page.ask({{"t", "listen"}, {"on", true}, {"codec", "opus"}});
    if (!until([&] { return !page.packets.empty(); })) {
        state.SkipWithError("no sound");
        return;
    }
    int err = 0;
    OpusDecoder *dec = opus_decoder_create(48000, 1, &err);
    std::vector<float> pcm(5760);
    std::vector<double> ms;
    for (auto _ : state) {
        tone->on = false;
        spin(300);
        page.packets.clear();
        QElapsedTimer t;
        t.start();
        tone->on = true;
        bool heard = false;
        until([&] {
            for (const QByteArray &p : page.packets) {
                const int n = opus_decode_float(dec, reinterpret_cast<const unsigned char *>(p.constData()) + 5,
                                                int(p.size()) - 5, pcm.data(), int(pcm.size()), 0);
                for (int i = 0; i < n && !heard; ++i)
                    heard = std::fabs(pcm[size_t(i)]) > 0.1f;
            }
            page.packets.clear();
            return heard;
        });
        ms.push_back(t.nsecsElapsed() / 1e6);
        state.SetIterationTime(ms.back() / 1000.0);
    }
    opus_decoder_destroy(dec);
    benchkit::medianCounters(state, ms);
}
BENCHMARK(BM_WebAudioDelay)->Unit(benchmark::kMillisecond)->Iterations(15)->UseManualTime();

// The same onset, decoded by the page in headless Chromium (WebCodecs),
// when Chromium, its driver and python3-selenium are there.
void BM_WebPageAudioDelay(benchmark::State &state)
{
    WebRig rig;
    GatedTone *tone = nullptr;
    rig.web.setAudioSource([&tone] {
        auto t = std::make_unique<GatedTone>();
        tone = t.get();
        return t;
    });
    QProcess page;
    page.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    page.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(VOR_SOURCE_DIR "/bench/web_delay.py"),
                                                   QStringLiteral("http://127.0.0.1:%1/").arg(rig.web.port())});
    auto reply = [&](const char *head) {
        QByteArray line;
        until([&] {
            if (page.canReadLine())
                line = page.readLine();
            return line.startsWith(head) || page.state() == QProcess::NotRunning;
        }, 60000);
        return line;
    };
    if (!reply("READY").startsWith("READY") || !until([&] { return tone != nullptr; })) {
        state.SkipWithError("no browser (chromium, chromedriver, python3-selenium)");
        return;
    }
    std::vector<double> ms;
    for (auto _ : state) {
        tone->on = false;
        spin(400);
        page.write("ARM\n");
        reply("ARMED");
        const qint64 t0 = QDateTime::currentMSecsSinceEpoch();
        tone->on = true;
        const QList<QByteArray> got = reply("DECODED").trimmed().split(' ');
        const double took = got.size() == 2 ? got[1].toDouble() - double(t0) : -1;
        if (took < 0) {
            state.SkipWithError("the page decoded nothing");
            break;
        }
        ms.push_back(took);
        state.SetIterationTime(took / 1000.0);
    }
    page.closeWriteChannel();
    page.waitForFinished(20000);
    benchkit::medianCounters(state, ms);
}
BENCHMARK(BM_WebPageAudioDelay)->Unit(benchmark::kMillisecond)->Iterations(15)->UseManualTime();

void BM_WebEightListeners(benchmark::State &state)
{
    WebRig rig;
    rig.web.setAudioSource([] { return std::make_unique<ToneSource>(1000, 0.5, true); });
    std::vector<std::unique_ptr<Page>> pages;
    for (int i = 0; i < 8; ++i) {
        pages.push_back(std::make_unique<Page>());
        if (!pages.back()->open(rig.web.port())) {
            state.SkipWithError("no connection");
            return;
        }
        pages.back()->ask({{"t", "listen"}, {"on", true}, {"codec", "opus"}});
    }
    spin(1000);
    for (auto &p : pages)
        p->bytes = 0;
    std::vector<double> waits;
    const double cpu0 = benchkit::cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    for (auto _ : state) {
        // What a key press on the panel waits for: an event posted now.
        QElapsedTimer t;
        t.start();
        bool ran = false;
        QTimer::singleShot(0, [&] { ran = true; });
        until([&] { return ran; });
        waits.push_back(t.nsecsElapsed() / 1e6);
        spin(50);
    }
    const double secs = wall.nsecsElapsed() / 1e9;
    const double cpu = benchkit::cpuSeconds() - cpu0;
    qint64 bytes = 0;
    for (auto &p : pages)
        bytes += p->bytes;
    benchkit::medianCounters(state, waits, "key_wait_");
    state.counters["kbit_s_per_listener"] = bytes * 8.0 / 1000.0 / secs / 8;
    // The clients' own decoding is not done here: their share is the
    // socket reads, counted in with the program's.
    state.counters["cpu_pct_per_listener"] = 100.0 * cpu / secs / 8;
}
BENCHMARK(BM_WebEightListeners)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
