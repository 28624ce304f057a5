#include "testkit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>

#include <QDir>
#include <QFile>
#ifdef Q_OS_LINUX
#include <sys/mount.h>
#include <unistd.h>
#endif

Prompter::Answer RecordingPrompter::message(const QString &text, const QString &title,
                                            Icon icon, Buttons buttons)
{
    asked.append({text, title, icon, buttons, false, QString(), QString(), false});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Ok || buttons == OkCancel ? AnsOk : AnsYes;
}

Prompter::Answer RecordingPrompter::messageWithDetails(const QString &text, const QString &title,
                                                       Icon icon, const QString &details)
{
    const Answer a = message(text, title, icon, Ok);
    asked.last().details = details;
    return a;
}

void RecordingPrompter::notice(const QString &text, const QString &title, Icon icon)
{
    message(text, title, icon, Ok);
    asked.last().notice = true;
}

std::optional<QString> RecordingPrompter::input(const QString &prompt, const QString &title,
                                                const QString &defaultText)
{
    asked.append({prompt, title, NoIcon, OkCancel, true, defaultText, QString(), false});
    if (!inputs.empty()) {
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }
    return defaultText;
}

bool RecordingLauncher::openFile(const QString &path, QString *error)
{
    opened << path;
    if (fail && error)
        *error = QStringLiteral("cannot start");
    return !fail;
}

Launcher::Outcome RecordingLauncher::openDateTimeSettings(QString *text)
{
    ++dateTimeCalls;
    if (fail || noDateTimeTool) {
        if (text)
            *text = fail ? QStringLiteral("cannot start") : QStringLiteral("kept by network time");
        return fail ? Outcome::Failed : Outcome::NotInstalled;
    }
    return Outcome::Started;
}

TestApp::TestApp()
{
    app.clock = &clock;
    app.prompter = &prompter;
    app.launcher = &launcher;
    app.settings = settingsfile::defaults();
    app.settings.base_dir = dir.path() + QLatin1Char('/');
    for (const QString &s : settingsfile::dataSubdirs())
        QDir().mkpath(app.settings.base_dir + s);
    app.replyTimeoutMs = 300;
    rx = std::make_unique<Receiver2>(app);
    QString err;
    port.open(&err);
    rx->setPort(&port);
}

TestApp::~TestApp() { rx->setPort(nullptr); }

void TestApp::answerState(const QString &rec12)
{
    port.responder = [rec12](const QByteArray &c) -> QByteArray {
        if (c == "L199199")
            return "L199" + rec12.toLatin1() + "\r";
        return {};
    };
}

QString sourcePath(const QString &relative)
{
    return QStringLiteral(VOR_SOURCE_DIR "/") + relative;
}

void FakePanel::attach(Receiver2 &rx)
{
    QObject::connect(&rx, &Receiver2::labelChanged, &rx, [this](PanelView::Label w, const QString &t) { setLabel(w, t); });
    QObject::connect(&rx, &Receiver2::vbtChanged, &rx, [this](bool on) { showVbt(on); });
    QObject::connect(&rx, &Receiver2::bwcEnabled, &rx, [this](int a, int b, int v) { enableBwc(a, b, v); });
    QObject::connect(&rx, &Receiver2::pbsEnabled, &rx, [this](int v, const QString &t) { enablePbs(v, t); });
    QObject::connect(&rx, &Receiver2::bwcCleared, &rx, [this] { clearBwc(); });
    QObject::connect(&rx, &Receiver2::pbsCleared, &rx, [this] { clearPbs(); });
    QObject::connect(&rx, &Receiver2::agcEnabledChanged, &rx, [this](bool on) { setAgcEnabled(on); });
    QObject::connect(&rx, &Receiver2::bwFrameEnabledChanged, &rx, [this](bool on) { setBwFrameEnabled(on); });
    QObject::connect(&rx, &Receiver2::panelEnabledChanged, &rx, [this](bool on) { setPanelEnabled(on); });
    QObject::connect(&rx, &Receiver2::frequencyChanged, &rx, [this](qint64 hz) { setFreqText(freqShown(hz)); });
    QObject::connect(&rx, &Receiver2::lockChanged, &rx, [this](bool held) {
        showLock(held);
        if (!held) {
            clearBwc();
            clearPbs();
        }
    });
}

SmallTmpfs::SmallTmpfs(const QString &dir) : path(dir)
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0) {
        why_ = QStringLiteral("mounting a small tmpfs needs root");
        return;
    }
    QDir().mkpath(dir);
    mounted_ = ::mount("tmpfs", dir.toLocal8Bit().constData(), "tmpfs", 0, "size=64k") == 0;
    if (!mounted_)
        why_ = QStringLiteral("no tmpfs could be mounted here");
#else
    why_ = QStringLiteral("needs Linux tmpfs");
#endif
}

SmallTmpfs::~SmallTmpfs()
{
#ifdef Q_OS_LINUX
    if (mounted_)
        ::umount2(path.toLocal8Bit().constData(), MNT_DETACH);
#endif
}

void SmallTmpfs::fill(const QString &name) const
{
    QFile filler(path + QLatin1Char('/') + name);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray chunk(1024, 'x');
    while (filler.write(chunk) == chunk.size()) {
    }
}

void TestApp::settle()
{
    QElapsedTimer bound;
    bound.start();
    // Twice free in a row: a finished job hands over to the next one on
    // the following pass of the event loop.
    int freeRuns = 0;
    while (freeRuns < 3 && bound.elapsed() < 20000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        freeRuns = rx->lineFree() ? freeRuns + 1 : 0;
        if (freeRuns == 0)
            QThread::msleep(1);
    }
}
