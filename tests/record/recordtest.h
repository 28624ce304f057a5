// What a recording holds, read back through libsndfile, and a sound server
// of its own, for the record tests.
#pragma once
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>
#include <cmath>
#include <sndfile.h>
#include <vector>

struct Heard {
    bool ok = false;
    long long frames = 0;
    int rate = 0, channels = 0;
    double peak = 0, rms = 0;
    double hz = 0; // from the upward zero crossings
    double seconds() const { return rate ? double(frames) / rate : 0; }
};

inline Heard hear(const QString &path, long long skipFrames = 0)
{
    Heard h;
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_READ, &info);
    if (!f)
        return h;
    h.rate = info.samplerate;
    h.channels = info.channels;
    std::vector<float> buf(4096 * size_t(info.channels)), mono;
    for (sf_count_t n; (n = sf_readf_float(f, buf.data(), 4096)) > 0;)
        for (sf_count_t i = 0; i < n; ++i)
            mono.push_back(buf[size_t(i) * info.channels]);
    sf_close(f);
    h.frames = (long long)mono.size();
    h.ok = true;
    long long ups = 0, first = -1, last = -1;
    double sq = 0;
    for (size_t i = size_t(skipFrames); i < mono.size(); ++i) {
        h.peak = std::max(h.peak, double(std::fabs(mono[i])));
        sq += double(mono[i]) * mono[i];
        if (i > 0 && mono[i - 1] < 0 && mono[i] >= 0) {
            first = first < 0 ? (long long)i : first;
            last = (long long)i;
            ++ups;
        }
    }
    if (mono.size() > size_t(skipFrames))
        h.rms = std::sqrt(sq / double(mono.size() - size_t(skipFrames)));
    h.hz = ups > 1 && last > first ? double(ups - 1) * h.rate / double(last - first) : 0;
    return h;
}

// A sound server of its own for one test: a private daemon (its own runtime
// folder and home) with a 1 kHz sine as its only input, reached through
// PULSE_SERVER while it lives. ok() false with why() when there is none.
class PrivateSoundServer {
public:
    PrivateSoundServer()
    {
        const QString exe = QStandardPaths::findExecutable(QStringLiteral("pulseaudio"));
        if (exe.isEmpty()) {
            why_ = QStringLiteral("pulseaudio is not installed (scripts/deps.sh installs it)");
            return;
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir_.path());
        env.insert(QStringLiteral("HOME"), dir_.path());
        env.remove(QStringLiteral("PULSE_SERVER"));
        proc_.setProcessEnvironment(env);
        proc_.setProcessChannelMode(QProcess::MergedChannels);
        // Root (CI) is warned about but allowed with a private runtime folder.
        proc_.start(exe, {"-n", "--daemonize=no", "--exit-idle-time=-1", "--disallow-exit", "--log-target=stderr",
                          "-L", "module-native-protocol-unix auth-anonymous=1", "-L",
                          "module-sine-source frequency=1000"});
        const QString socket = dir_.filePath(QStringLiteral("pulse/native"));
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(socket) && proc_.state() != QProcess::NotRunning &&
               t.elapsed() < 30000)
            QThread::msleep(50);
        ok_ = QFileInfo::exists(socket);
        if (ok_)
            qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        else
            why_ = "the private pulseaudio did not start: " + QString::fromLocal8Bit(proc_.readAll()).right(600);
    }
    ~PrivateSoundServer()
    {
        if (proc_.state() != QProcess::NotRunning) {
            proc_.kill();
            proc_.waitForFinished(10000);
        }
        qunsetenv("PULSE_SERVER");
    }
    // Takes the sine input away, as a USB sound card pulled out: its module
    // is unloaded. False with *why when that could not be done.
    bool unloadSine(QString *why)
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {"unload-module", "module-sine-source"});
        if (pactl.waitForFinished(20000) && pactl.exitCode() == 0)
            return true;
        *why = QStringLiteral("pactl: ") + QString::fromLocal8Bit(pactl.readAllStandardError());
        return false;
    }
    bool ok() const { return ok_; }
    QString why() const { return why_; }

private:
    QTemporaryDir dir_;
    QProcess proc_;
    bool ok_ = false;
    QString why_;
};
