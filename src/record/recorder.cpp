#include "record/recorder.h"

#include <QDir>
#include <QFile>
#include <sndfile.h>

#include <chrono>
#include <cmath>
#include <vector>

Recorder::Recorder(QObject *parent) : QObject(parent) {}

Recorder::~Recorder()
{
    stopFlag_ = true;
    if (thread_.joinable())
        thread_.join();
}

QString Recorder::failure() const
{
    std::lock_guard<std::mutex> g(mutex_);
    return failure_;
}

bool Recorder::openFile(QString *error)
{
    SF_INFO info{};
    info.samplerate = opt_.rate;
    info.channels = opt_.channels;
    switch (opt_.format) {
    case recfiles::Format::Flac:
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        break;
    case recfiles::Format::Opus:
        info.format = SF_FORMAT_OGG | SF_FORMAT_OPUS;
        break;
    case recfiles::Format::Wav:
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        break;
    }
    if (!sf_format_check(&info)) {
        if (error)
            *error = QStringLiteral("%1 cannot be written: %2 at %3 Hz is not supported.")
                         .arg(QDir::toNativeSeparators(opt_.path),
                              recfiles::formatKey(opt_.format).toUpper())
                         .arg(opt_.rate);
        return false;
    }
    sf_ = sf_open(QFile::encodeName(opt_.path).constData(), SFM_WRITE, &info);
    if (!sf_) {
        if (error)
            *error = QStringLiteral("The recording %1 could not be created: %2")
                         .arg(QDir::toNativeSeparators(opt_.path),
                              QString::fromUtf8(sf_strerror(nullptr)));
        QFile::remove(opt_.path);
        return false;
    }
    // Loud input is clipped, never wrapped round.
    sf_command(sf_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    return true;
}

void Recorder::closeFile()
{
    if (sf_)
        sf_close(sf_);
    sf_ = nullptr;
}

bool Recorder::start(std::unique_ptr<AudioSource> source, const Options &opt, QString *error)
{
    if (running_ || thread_.joinable()) {
        if (error)
            *error = QStringLiteral("A recording is already running.");
        return false;
    }
    opt_ = opt;
    opt_.channels = qBound(1, opt_.channels, 2);
    if (!source || !source->open(opt_.rate, opt_.channels, error))
        return false;
    if (!openFile(error))
        return false;
    source_ = std::move(source);
    {
        std::lock_guard<std::mutex> g(mutex_);
        failure_.clear();
    }
    frames_ = 0;
    level_ = 0;
    stopFlag_ = false;
    threadDone_ = false;
    running_ = true;
    thread_ = std::thread([this] { run(); });
    return true;
}

void Recorder::run()
{
    const int block = blockFrames();
    std::vector<float> buf(size_t(block) * opt_.channels);
    const QString file = QDir::toNativeSeparators(opt_.path);
    QString fail;
    int blocks = 0;
    while (!stopFlag_) {
        int want = block;
        if (opt_.maxFrames > 0) {
            const long long left = opt_.maxFrames - frames_;
            if (left <= 0)
                break;
            want = int(std::min<long long>(left, block));
        }
        QString why;
        if (!source_->read(buf.data(), want, &why)) {
            fail = QStringLiteral("Recording stopped: %1.\n%2 is closed and plays up to that moment.")
                       .arg(why, file);
            break;
        }
        float peak = 0;
        for (size_t i = 0; i < size_t(want) * opt_.channels; ++i)
            peak = std::max(peak, std::fabs(buf[i]));
        level_ = std::min(peak, 1.0f);
        const sf_count_t n = sf_writef_float(sf_, buf.data(), want);
        if (n > 0)
            frames_ += n;
        if (n != want) {
            fail = QStringLiteral("Recording stopped: %1 could not be written (%2).\n"
                                  "The file plays up to the last block written.")
                       .arg(file, QString::fromUtf8(sf_strerror(sf_)).trimmed());
            break;
        }
        // A WAV header that says how long the file is, every second, so that
        // a killed program leaves a file that plays to the last second.
        if (++blocks % 10 == 0 && opt_.format == recfiles::Format::Wav)
            sf_command(sf_, SFC_UPDATE_HEADER_NOW, nullptr, 0);
    }
    closeFile();
    source_.reset();
    level_ = 0;
    {
        std::lock_guard<std::mutex> g(mutex_);
        failure_ = fail;
    }
    running_ = false;
    threadDone_ = true;
    // The end is told on the thread that made the recorder, unless stop()
    // has joined (and told it) by then.
    QMetaObject::invokeMethod(this, [this] { join(); }, Qt::QueuedConnection);
}

void Recorder::join()
{
    if (!thread_.joinable())
        return;
    thread_.join();
    emit ended(failure());
}

void Recorder::stop()
{
    stopFlag_ = true;
    join();
}

bool Recorder::waitEnded(int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!threadDone_ && thread_.joinable()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
