// The receiver's sound for the web remote's listeners: the recording input
// read on a thread of its own, in 20 ms blocks at 48 kHz mono, each block
// Opus-encoded (and, while a listener asks for it, also as plain 16-bit PCM
// at 8 kHz for a browser that cannot decode Opus). Packets are handed to
// the program's thread as they are made.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class AudioSource;

class WebAudio : public QObject {
    Q_OBJECT
public:
    static constexpr int kRate = 48000;
    static constexpr int kFrameMs = 20;
    static constexpr int kFrames = kRate * kFrameMs / 1000;
    static constexpr int kPcmRate = 8000;
    static constexpr int kBitrate = 24000;
    // The first byte of a packet on the WebSocket.
    enum Kind : char { Opus = 1, Pcm = 2 };

    using SourceFactory = std::function<std::unique_ptr<AudioSource>()>;
    explicit WebAudio(SourceFactory factory, QObject *parent = nullptr);
    ~WebAudio() override;

    // Starts reading (false with *error when the input cannot be opened or
    // the encoder cannot be made); stop() ends it and waits for the thread.
    bool start(QString *error);
    void stop();
    bool running() const { return thread_.joinable(); }
    // PCM packets are made too while on.
    void wantPcm(bool on) { pcm_ = on; }

    // Packet layout: kind (1 byte), block number (4 bytes, little-endian),
    // then the Opus packet or the PCM samples (16-bit little-endian).
    static QByteArray packet(Kind kind, quint32 block, const QByteArray &payload);

signals:
    void packetReady(char kind, const QByteArray &packet);
    // The input went away while read (the reason).
    void failed(const QString &reason);

private:
    void run(std::unique_ptr<AudioSource> source, struct OpusEncoder *enc);
    SourceFactory factory_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> pcm_{false};
};
