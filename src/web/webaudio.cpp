#include "web/webaudio.h"

#include "record/audiosource.h"

#include <QMetaObject>
#include <opus.h>
#include <vector>

WebAudio::WebAudio(SourceFactory factory, QObject *parent) : QObject(parent), factory_(std::move(factory)) {}

WebAudio::~WebAudio() { stop(); }

QByteArray WebAudio::packet(Kind kind, quint32 block, const QByteArray &payload)
{
    QByteArray p;
    p.reserve(5 + payload.size());
    p.append(char(kind));
    for (int i = 0; i < 4; ++i)
        p.append(char((block >> (8 * i)) & 0xff));
    p.append(payload);
    return p;
}

bool WebAudio::start(QString *error)
{
    if (running())
        return true;
    std::unique_ptr<AudioSource> src = factory_ ? factory_() : nullptr;
    if (!src) {
        *error = QStringLiteral("No sound input is set up");
        return false;
    }
    if (!src->open(kRate, 1, error))
        return false;
    int err = 0;
    OpusEncoder *enc = opus_encoder_create(kRate, 1, OPUS_APPLICATION_AUDIO, &err);
    if (!enc || err != OPUS_OK) {
        *error = QStringLiteral("The Opus encoder cannot be made: %1").arg(QString::fromLatin1(opus_strerror(err)));
        return false;
    }
    opus_encoder_ctl(enc, OPUS_SET_BITRATE(kBitrate));
    opus_encoder_ctl(enc, OPUS_SET_VBR(1));
    opus_encoder_ctl(enc, OPUS_SET_COMPLEXITY(5));
    stop_ = false;
    thread_ = std::thread([this, s = std::move(src), enc]() mutable { run(std::move(s), enc); });
    return true;
}

void WebAudio::stop()
{
    if (!thread_.joinable())
        return;
    stop_ = true;
    thread_.join(); // at most one block's read
}

void WebAudio::run(std::unique_ptr<AudioSource> source, OpusEncoder *enc)
{
    std::vector<float> buf(kFrames);
    QByteArray out(4000, Qt::Uninitialized);
    constexpr int kStep = kRate / kPcmRate;
    quint32 block = 0;
    while (!stop_) {
        QString error;
        if (!source->read(buf.data(), kFrames, &error)) {
            QMetaObject::invokeMethod(this, [this, error] { emit failed(error); }, Qt::QueuedConnection);
            break;
        }
        const int n = opus_encode_float(enc, buf.data(), kFrames, reinterpret_cast<unsigned char *>(out.data()),
                                        int(out.size()));
        if (n > 0) {
            const QByteArray p = packet(Opus, block, out.left(n));
            QMetaObject::invokeMethod(this, [this, p] { emit packetReady(Opus, p); }, Qt::QueuedConnection);
        }
        if (pcm_) {
            // 48 to 8 kHz: the mean of each six samples (a plain low pass).
            QByteArray pcm(kFrames / kStep * 2, Qt::Uninitialized);
            for (int i = 0; i < kFrames / kStep; ++i) {
                float sum = 0;
                for (int k = 0; k < kStep; ++k)
                    sum += buf[size_t(i * kStep + k)];
                const int v = std::clamp(int(sum / kStep * 32767.0f), -32768, 32767);
                pcm[2 * i] = char(v & 0xff);
                pcm[2 * i + 1] = char((v >> 8) & 0xff);
            }
            const QByteArray p = packet(Pcm, block, pcm);
            QMetaObject::invokeMethod(this, [this, p] { emit packetReady(Pcm, p); }, Qt::QueuedConnection);
        }
        ++block;
    }
    opus_encoder_destroy(enc);
}
