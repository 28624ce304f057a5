#include "record/audiosource.h"

#include <pulse/pulseaudio.h>
#include <pulse/simple.h>

#include <chrono>
#include <cmath>
#include <numbers>
#include <thread>

namespace {
long long monoNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

// ---------------------------------------------------------------- tone

ToneSource::ToneSource(double hz, double peak, bool realTime, long long lossAfterFrames)
    : hz_(hz), peak_(peak), realTime_(realTime), lossAfter_(lossAfterFrames)
{
}

bool ToneSource::open(int rate, int channels, QString *)
{
    rate_ = rate;
    channels_ = channels;
    done_ = 0;
    phase_ = 0;
    startNs_ = monoNs();
    return true;
}

bool ToneSource::read(float *buf, int frames, QString *error)
{
    if (lossAfter_ > 0 && done_ >= lossAfter_) {
        if (error)
            *error = QStringLiteral("the input %1 is gone").arg(name());
        return false;
    }
    const double step = 2 * std::numbers::pi * hz_ / rate_;
    for (int i = 0; i < frames; ++i) {
        const float s = float(peak_ * std::sin(phase_));
        phase_ += step;
        if (phase_ > 2 * std::numbers::pi)
            phase_ -= 2 * std::numbers::pi;
        for (int c = 0; c < channels_; ++c)
            *buf++ = s;
    }
    done_ += frames;
    if (realTime_) {
        const long long due = startNs_ + done_ * 1000000000LL / rate_;
        const long long wait = due - monoNs();
        if (wait > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(wait));
    }
    return true;
}

QString ToneSource::name() const { return QStringLiteral("tone:%1").arg(hz_); }

// ---------------------------------------------------------------- sound server

PulseSource::PulseSource(const QString &sourceName) : source_(sourceName) {}

PulseSource::~PulseSource()
{
    if (pa_)
        pa_simple_free(pa_);
}

bool PulseSource::open(int rate, int channels, QString *error)
{
    pa_sample_spec ss;
    ss.format = PA_SAMPLE_FLOAT32NE;
    ss.rate = uint32_t(rate);
    ss.channels = uint8_t(channels);
    // Blocks of about 100 ms: few wake-ups, little latency.
    pa_buffer_attr attr;
    attr.maxlength = uint32_t(-1);
    attr.tlength = attr.prebuf = attr.minreq = uint32_t(-1);
    attr.fragsize = uint32_t(pa_usec_to_bytes(100000, &ss));
    const QByteArray dev = source_.toUtf8();
    const bool deflt = source_.isEmpty() || source_ == QLatin1String("default");
    int err = 0;
    pa_ = pa_simple_new(nullptr, "vorantis", PA_STREAM_RECORD, deflt ? nullptr : dev.constData(),
                        "recording", &ss, nullptr, &attr, &err);
    if (!pa_) {
        if (error)
            *error = QStringLiteral("The sound input %1 could not be opened: %2.")
                         .arg(name(), QString::fromUtf8(pa_strerror(err)));
        return false;
    }
    return true;
}

bool PulseSource::read(float *buf, int frames, QString *error)
{
    int err = 0;
    const size_t bytes = size_t(frames) * sizeof(float);
    if (pa_simple_read(pa_, buf, bytes, &err) < 0) {
        if (error)
            *error = QStringLiteral("the sound input %1 was lost (%2)")
                         .arg(name(), QString::fromUtf8(pa_strerror(err)));
        return false;
    }
    return true;
}

QString PulseSource::name() const
{
    return source_.isEmpty() ? QStringLiteral("default") : source_;
}

// ---------------------------------------------------------------- listing

namespace audioinput {

namespace {
struct ListState {
    std::vector<SourceInfo> found;
    bool done = false;
};

void onSource(pa_context *, const pa_source_info *i, int eol, void *user)
{
    auto *st = static_cast<ListState *>(user);
    if (eol) {
        st->done = true;
        return;
    }
    if (i)
        st->found.push_back({QString::fromUtf8(i->name), QString::fromUtf8(i->description)});
}
} // namespace

bool listSources(std::vector<SourceInfo> *out, QString *error, int timeoutMs)
{
    out->clear();
    pa_mainloop *ml = pa_mainloop_new();
    if (!ml) {
        if (error)
            *error = QStringLiteral("The sound server could not be reached (out of memory).");
        return false;
    }
    pa_context *ctx = pa_context_new(pa_mainloop_get_api(ml), "vorantis");
    ListState st;
    bool ok = false;
    QString why = QStringLiteral("no answer");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (ctx && pa_context_connect(ctx, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) >= 0) {
        pa_operation *op = nullptr;
        while (std::chrono::steady_clock::now() < deadline) {
            if (pa_mainloop_iterate(ml, 0, nullptr) < 0)
                break;
            const pa_context_state_t s = pa_context_get_state(ctx);
            if (s == PA_CONTEXT_FAILED || s == PA_CONTEXT_TERMINATED) {
                why = QString::fromUtf8(pa_strerror(pa_context_errno(ctx)));
                break;
            }
            if (s == PA_CONTEXT_READY && !op)
                op = pa_context_get_source_info_list(ctx, onSource, &st);
            if (st.done) {
                ok = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (op)
            pa_operation_unref(op);
        pa_context_disconnect(ctx);
    } else if (ctx) {
        why = QString::fromUtf8(pa_strerror(pa_context_errno(ctx)));
    }
    if (ctx)
        pa_context_unref(ctx);
    pa_mainloop_free(ml);
    if (!ok) {
        if (error)
            *error = QStringLiteral("No sound server answered: %1.").arg(why);
        return false;
    }
    out->push_back({QStringLiteral("default"), QStringLiteral("The sound server's default input")});
    out->insert(out->end(), st.found.begin(), st.found.end());
    return true;
}

std::unique_ptr<AudioSource> makeSource(const QString &name)
{
    if (name == QLatin1String("tone") || name.startsWith(QLatin1String("tone:"))) {
        const double hz = name.size() > 5 ? name.mid(5).toDouble() : 1000;
        return std::make_unique<ToneSource>(hz > 0 ? hz : 1000, 0.5, true);
    }
    return std::make_unique<PulseSource>(name);
}

} // namespace audioinput
