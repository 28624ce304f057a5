// One recording: a source read on the recording's own thread and written
// through libsndfile (FLAC, Ogg Opus or WAV). The thread never touches the
// receiver line or the windows; what they need (level, length, the end and
// its reason) they read here or learn by the ended() signal, which comes on
// the thread that made the Recorder.
//
// The file stays usable whatever happens: FLAC and Ogg frames go to disk as
// they are encoded, a WAV header is brought up to date every second, a write
// that fails (disk full) or an input that goes away ends the recording with
// the file closed and a message naming it and the reason.
#pragma once
#include "record/audiosource.h"
#include "record/recfiles.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>

class Recorder : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString path;
        recfiles::Format format = recfiles::Format::Flac;
        int rate = 48000;
        int channels = 1;
        // Ends by itself after this many frames (0: runs until stop()).
        long long maxFrames = 0;
    };

    explicit Recorder(QObject *parent = nullptr);
    // A recording still running is stopped and its file closed.
    ~Recorder() override;

    // Opens the source and creates the file; false with *error (naming the
    // file or the input and the reason) when either fails: nothing is left
    // behind then.
    bool start(std::unique_ptr<AudioSource> source, const Options &opt, QString *error);
    // Ends the recording and closes the file; returns once it is closed.
    // Nothing happens when none runs. ended("") follows.
    void stop();
    // Asks the recording to end and returns at once: the file is closed on
    // the recording's thread when the block being read is in (a live input
    // may hold it a moment); ended("") follows through the event loop.
    void requestStop() { stopFlag_ = true; }
    bool stopRequested() const { return stopFlag_.load(); }
    // Blocks until the recording ends by itself (its length, a fault) or ms pass;
    // true when it has ended.
    bool waitEnded(int ms);

    bool running() const { return running_.load(); }
    // Peak level of the last block, 0 to 1.
    float level() const { return level_.load(); }
    long long frames() const { return frames_.load(); }
    double seconds() const { return double(frames_.load()) / opt_.rate; }
    const Options &options() const { return opt_; }
    // Why the last recording ended early; empty after a plain stop.
    QString failure() const;

    // Frames per block: a tenth of a second.
    int blockFrames() const { return opt_.rate / 10; }

signals:
    // The file is closed. reason: empty after stop(), otherwise the message.
    void ended(const QString &reason);

private:
    void run();
    void join();
    bool openFile(QString *error);
    void closeFile();

    Options opt_;
    std::unique_ptr<AudioSource> source_;
    struct sf_private_tag *sf_ = nullptr; // libsndfile's SNDFILE
    std::thread thread_;
    std::atomic<bool> running_{false}, stopFlag_{false}, threadDone_{false};
    std::atomic<float> level_{0};
    std::atomic<long long> frames_{0};
    mutable std::mutex mutex_;
    QString failure_;
};
