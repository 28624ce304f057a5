// Where recorded sound comes from: the sound server's input (PulseAudio, or
// PipeWire through its PulseAudio service) or, for tests and benchmarks, a
// generated tone. A source is opened, read block by block on the recording
// thread, and closed there.
#pragma once
#include <QString>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class AudioSource {
public:
    virtual ~AudioSource() = default;
    // Opens the input at rate (Hz) with channels; false with *error when it
    // cannot be used.
    virtual bool open(int rate, int channels, QString *error) = 0;
    // Fills frames * channels interleaved samples (-1..1). Blocks until they
    // are there (a live input paces the recording). False when the input is
    // gone; *error says why.
    virtual bool read(float *buf, int frames, QString *error) = 0;
    // The name the recording's text file gives.
    virtual QString name() const = 0;
};

// A sine of the given frequency and peak level. realTime: reads take as long
// as the sound would (as a live input); otherwise they return at once.
// lossAfterFrames > 0: the source "disappears" after that many frames.
class ToneSource : public AudioSource {
public:
    explicit ToneSource(double hz = 1000, double peak = 0.5, bool realTime = false,
                        long long lossAfterFrames = 0);
    bool open(int rate, int channels, QString *error) override;
    bool read(float *buf, int frames, QString *error) override;
    QString name() const override;

private:
    double hz_, peak_;
    bool realTime_;
    long long lossAfter_;
    int rate_ = 48000, channels_ = 1;
    long long done_ = 0;
    double phase_ = 0;
    long long startNs_ = 0;
};

// The sound server's input through libpulse's simple API. sourceName:
// a source as listed by listSources(), or "default" / empty for the server's
// default input.
class PulseSource : public AudioSource {
public:
    explicit PulseSource(const QString &sourceName = QString());
    ~PulseSource() override;
    bool open(int rate, int channels, QString *error) override;
    bool read(float *buf, int frames, QString *error) override;
    QString name() const override;

private:
    QString source_;
    struct pa_simple *pa_ = nullptr;
};

namespace audioinput {

struct SourceInfo {
    QString name;        // what PulseSource takes
    QString description; // what the user reads
};

// The sound server's inputs, "default" first. False with *error when no
// server answers within timeoutMs. Never starts a server.
bool listSources(std::vector<SourceInfo> *out, QString *error, int timeoutMs = 3000);

// Makes a source by name: "tone" or "tone:HZ" a generated tone at real-time
// pace, anything else the sound server's input of that name.
std::unique_ptr<AudioSource> makeSource(const QString &name);

} // namespace audioinput
