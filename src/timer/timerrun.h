// The run of the fixed events: a state machine driven by tick() and the
// program's clock. The run holds the receiver, sends "T0" and waits; shortly
// before each event it sends "T1", tunes the receiver ("S199", "P", "W"),
// closes the output ("O1") 50 s later, opens it again ("O0") after the
// event's duration, and after the last event sends "T1" and lets the
// receiver go.
//
// An event marked "Rec" is recorded from its "O1" to its "O0" (app.rec);
// Timer Off and the end of the run close the file. A recording that cannot
// start or ends early is a note; the run goes on.
//
// Every pause (the 5 s, 500 ms and 100 ms of the preparation, the 50 s
// settling, the 10 s duration count, the 5 s start test) is a deadline on
// the run's own elapsed time, which follows the clock but ignores a jump of
// the PC clock (suspend, manual change): the start test reads the clock
// itself, so an event whose start was jumped over runs late, and one whose
// whole time was jumped over is skipped; either gets a note, and no event
// runs twice.
#pragma once
#include "timer/eventtab.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <memory>

struct App;
namespace rxjob {
template <class T> class Task;
}

class TimerRun : public QObject {
    Q_OBJECT
public:
    enum class Phase {
        Idle,      // programming: no run
        Starting,  // Timer On: hold the receiver, "T0"
        Waiting,   // the start test every 5 s (tmr_Test)
        Preparing, // PrepareRx
        Settling,  // 50 s to "O1" (tmr_delrel)
        OnAir,     // the duration count every 10 s (tmr_dur)
        Between,   // 500 ms after "O0", then "T0"
    };

    // A step of the clock larger than this (either way) is a jump.
    static constexpr qint64 kJumpMs = 60000;
    static constexpr qint64 kTestMs = 5000;
    static constexpr qint64 kSettleMs = 50000;
    static constexpr qint64 kDurTickMs = 10000;
    static constexpr qint64 kT1WaitMs = 5000;
    static constexpr qint64 kTuneWaitMs = 500;
    static constexpr qint64 kSetWaitMs = 100;
    static constexpr qint64 kT0WaitMs = 500;

    TimerRun(App &app, const timertab::EventTable &table, QObject *parent = nullptr);
    // A run still on sends "O0" and "T1" and lets the receiver go at once.
    ~TimerRun() override;

    // Timer On (after the start check): run the fixed events.
    void start();
    // Timer Off (answered Yes): "O0", then the end of the run.
    void stop();
    // The window closes: "O0", "T1" and the release, without the panel
    // refresh.
    void shutdown();
    // Drives the run; call it often (the window does every 100 ms).
    void tick();

    bool running() const { return phase_ != Phase::Idle; }
    Phase phase() const { return phase_; }
    // Milliseconds of run time until the next step is due (0 when due).
    qint64 msToNext() const;

    int run_count = 0;
    int run_index = 0;
    int dur_ticks = 0;
    int banner_phase = 0;

    static QString bannerText(int phase);
    static QString onCaption() { return QStringLiteral("  Timer is ON          "); }

signals:
    // The window caption while the run waits.
    void captionChanged(const QString &caption);
    // Event k went on air (true) or off (false): its duration label and
    // lbl_UTC change colour.
    void onAir(int k, bool on);
    // The run is over (or stopped): the window returns to programming.
    void finished();
    // Something the user should see in the window (late, skipped, silent
    // receiver, clock jump).
    void note(const QString &text);
    void phaseChanged(TimerRun::Phase phase);

private:
    void advance();
    // The steps that are due, as one job on the line.
    rxjob::Task<void> aSteps();
    rxjob::Task<void> aRunStep();
    rxjob::Task<void> aStepWaiting();
    rxjob::Task<void> aStepPreparing();
    rxjob::Task<void> aStepOnAir();
    // The end of the run: "O0" first when interrupted, then "T1", the
    // panel refresh and the release.
    rxjob::Task<void> aFinish(bool interrupted);
    void setPhase(Phase p, qint64 dueInMs);
    void send(const QString &cmd);
    // The panel refresh in the held run; a missed reply is noted.
    rxjob::Task<void> aRefresh();
    void startRecording();
    void stopRecording();
    void recStopped(const QString &path, const QString &reason);
    bool test_tp() const;
    void setPanelEnabled(bool on);
    const timertab::TimerEvent &event() const;
    QDateTime utcNow() const;

    App &app_;
    const timertab::EventTable &table_;
    Phase phase_ = Phase::Idle;
    int prepStep_ = 0;
    qint64 runMs_ = 0;   // run time: the clock's steps, jumps left out
    qint64 due_ = 0;     // run time of the next step
    qint64 testDue_ = 0; // first start test after an event
    QDateTime last_;
    bool inStep_ = false;
    bool stopRequested_ = false;
    bool silentReported_ = false;
    int missed_ = 0;
    std::unique_ptr<rxjob::Task<void>> local_; // the steps when there is no receiver
    bool onAir_ = false;
    bool recording_ = false; // the run started the running recording
};
