// What a recording holds, read back through libsndfile, for the record tests.
#pragma once
#include <QFile>
#include <QString>
#include <sndfile.h>
#include <cmath>
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
    std::vector<float> buf(4096 * size_t(info.channels));
    std::vector<float> mono;
    sf_count_t n;
    while ((n = sf_readf_float(f, buf.data(), 4096)) > 0)
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
            if (first < 0)
                first = (long long)i;
            last = (long long)i;
            ++ups;
        }
    }
    if (mono.size() > size_t(skipFrames))
        h.rms = std::sqrt(sq / double(mono.size() - size_t(skipFrames)));
    if (ups > 1 && last > first)
        h.hz = double(ups - 1) * h.rate / double(last - first);
    return h;
}

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

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
        proc_.start(exe, {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
                          QStringLiteral("--exit-idle-time=-1"), QStringLiteral("--disallow-exit"),
                          QStringLiteral("--log-target=stderr"),
                          QStringLiteral("-L"), QStringLiteral("module-native-protocol-unix auth-anonymous=1"),
                          QStringLiteral("-L"), QStringLiteral("module-sine-source frequency=1000")});
        const QString socket = dir_.filePath(QStringLiteral("pulse/native"));
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(socket) && proc_.state() != QProcess::NotRunning &&
               t.elapsed() < 30000)
            QThread::msleep(50);
        if (!QFileInfo::exists(socket)) {
            why_ = QStringLiteral("the private pulseaudio did not start: ") +
                   QString::fromLocal8Bit(proc_.readAll()).right(600);
            return;
        }
        qputenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit());
        ok_ = true;
    }
    ~PrivateSoundServer()
    {
        stop();
        qunsetenv("PULSE_SERVER");
    }
    void stop()
    {
        if (proc_.state() == QProcess::NotRunning)
            return;
        proc_.kill();
        proc_.waitForFinished(10000);
    }
    // Takes the sine input away, as a USB sound card pulled out: its module
    // is unloaded (pactl). False with *why when that could not be done.
    bool unloadSine(QString *why)
    {
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("list"), QStringLiteral("short"),
                                              QStringLiteral("modules")});
        if (!pactl.waitForFinished(20000)) {
            *why = QStringLiteral("pactl did not run");
            return false;
        }
        QString index;
        for (const QString &l : QString::fromLocal8Bit(pactl.readAllStandardOutput()).split('\n'))
            if (l.contains(QLatin1String("module-sine-source")))
                index = l.section('\t', 0, 0);
        if (index.isEmpty()) {
            *why = QStringLiteral("no module-sine-source listed");
            return false;
        }
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("unload-module"), index});
        if (!pactl.waitForFinished(20000) || pactl.exitCode() != 0) {
            *why = QString::fromLocal8Bit(pactl.readAllStandardError());
            return false;
        }
        return true;
    }
    bool ok() const { return ok_; }
    QString why() const { return why_; }
    QString socket() const { return dir_.filePath(QStringLiteral("pulse/native")); }

private:
    QTemporaryDir dir_;
    QProcess proc_;
    bool ok_ = false;
    QString why_;
};
