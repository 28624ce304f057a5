// Test helpers: scripted seams and a ready-made program context.
#pragma once
#include "common/seams.h"
#include "link/app.h"
#include "link/panelview.h"
#include "link/receiver2.h"
#include "link/scriptedport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <memory>

class FixedClock : public Clock {
public:
    QDateTime t = QDateTime(QDate(2026, 12, 5), QTime(12, 0));
    std::optional<int> offset; // the system's offset from UTC (s); none: not known
    QDateTime now() const override { return t; }
    std::optional<int> utcOffsetSeconds() const override { return offset; }
};

// Records every message and answers from a queue (default: Yes / OK;
// input boxes give their default text).
class RecordingPrompter : public Prompter {
public:
    struct Asked {
        QString text, title;
        Icon icon;
        Buttons buttons;
        bool isInput = false;
        QString defaultText;
        QString details;
        bool notice = false; // shown without stopping the caller
    };
    QList<Asked> asked;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;

    Answer message(const QString &text, const QString &title, Icon icon,
                   Buttons buttons = Ok) override;
    Answer messageWithDetails(const QString &text, const QString &title, Icon icon,
                              const QString &details) override;
    void notice(const QString &text, const QString &title, Icon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
    QString lastText() const { return asked.isEmpty() ? QString() : asked.last().text; }
    QString lastTitle() const { return asked.isEmpty() ? QString() : asked.last().title; }
};

class RecordingLauncher : public Launcher {
public:
    QStringList opened;
    int dateTimeCalls = 0;
    bool fail = false;
    // No date and time settings program installed (when not failing).
    bool noDateTimeTool = false;
    bool openFile(const QString &path, QString *error) override;
    Outcome openDateTimeSettings(QString *text) override;
};

// Records what the receiver facade tells the control panel (labels,
// controls, frequency, lock), as the real panel would show it.
struct FakePanel : PanelView {
    QMap<int, QString> labels;
    QString freq;
    int vbtOn = -1, lockOn = -1;
    bool agcEnabled = true, bwEnabled = true, enabled = true;
    QString bwc = "unset", pbs = "unset";
    int fronts = 0, bwcCleared = 0, pbsCleared = 0;
    // Connects the facade's signals as the control panel does.
    void attach(Receiver2 &rx);
    void setLabel(Label w, const QString &t) override { labels[w] = t; }
    void showVbt(bool on) override { vbtOn = on; }
    void showLock(bool on) override { lockOn = on; }
    void enableBwc(int, int, int v) override { bwc = QString::number(v); }
    void enablePbs(int, const QString &t) override { pbs = t; }
    void clearBwc() override { bwc.clear(), ++bwcCleared; }
    void clearPbs() override { pbs.clear(), ++pbsCleared; }
    void setAgcEnabled(bool on) override { agcEnabled = on; }
    void setBwFrameEnabled(bool on) override { bwEnabled = on; }
    void setFreqText(const QString &s) override { freq = s; }
    void bringToFront() override { ++fronts; }
    void setPanelEnabled(bool on) override { enabled = on; }
};

// A complete program context over a scripted port, with a temporary base
// directory holding the data subdirectories.
struct TestApp {
    TestApp();
    ~TestApp();
    App app;
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    ScriptedPort port;
    QTemporaryDir dir;
    std::unique_ptr<Receiver2> rx;

    // A receiver that answers "J1199"/"L199199" with this state record.
    void answerState(const QString &rec12);
    QString base() const { return app.settings.base_dir; }
    // The receiver's reports taken as on (or off), with no command sent.
    void setReportsOn(bool on) { rx->auto_report = on; }
    // Lets the receiver's jobs run until the line is free (bounded).
    void settle();
    // What act sends on the line, as ScriptedPort::trace() gives it.
    template <class Act> QString sends(Act act)
    {
        port.clearWrites();
        act();
        settle();
        return port.trace();
    }
    // Runs one job step to its end and gives its result:
    //     const auto state = t.run([&] { return t.rx->aReadRxState(); });
    template <class Step> auto run(Step step, bool withBracket = false)
    {
        decltype(step().await_resume()) out{};
        rx->submit([&out, step]() -> rxjob::Task<> { out = co_await step(); }, withBracket);
        settle();
        return out;
    }
};

// Starts the program as GO does and waits for its first contact to end:
// true when the panel shows.
template <class P> bool goAndWait(P &p)
{
    if (!p.go())
        return false;
    QElapsedTimer bound;
    bound.start();
    while (p.goState() == P::GoState::Contacting && bound.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return p.goState() == P::GoState::Running;
}

// Path of a file under the source tree (data/demo/...).
QString sourcePath(const QString &relative);

// A 64 KiB tmpfs mounted at dir (made when missing) for full-disk tests, and
// unmounted when it goes. Only root on Linux can mount one: ok() is false
// otherwise, and why() says so.
class SmallTmpfs {
public:
    explicit SmallTmpfs(const QString &dir);
    ~SmallTmpfs();
    bool ok() const { return mounted_; }
    QString why() const { return why_; }
    // Fills what space is left with a file of that name.
    void fill(const QString &name = QStringLiteral("filler")) const;
    const QString path;

private:
    bool mounted_ = false;
    QString why_;
};
