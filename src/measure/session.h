// One measuring session: the receiver held for a run of readings.
//
// The S-meter, the propagation windows, the spectrum scan and the memory
// scan all do the same: take the receiver (hold and a refresh, for the
// attenuator state), read it on every tick, and give it back. The session
// does this through the line's owner, so no window waits for the receiver,
// two sessions never run at once, and a missed reply never stops the run:
// it is counted and told to the window, and the next tick reads again. The
// receiver message shows once per run and does not stop it.
#pragma once
#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "link/linetask.h"
#include "link/receiver2.h"
#include "measure/meter.h"

struct App;
class QTimer;

// The readings of whichever measuring session runs, for a read-out outside
// its window (the control panel's signal meter).
class MeasureFeed : public QObject {
    Q_OBJECT
public:
    static MeasureFeed *instance();
    // Sessions that run now.
    int running() const { return running_; }
    // The control panel's meter shows units (-1: no reading): the web
    // remote shows the same reading instead of reading again.
    void tellPanelMeter(double units) { emit panelMeter(units); }

signals:
    void reading(double units);
    void panelMeter(double units);
    // A session started (true) or the last one stopped (false).
    void runningChanged(bool on);

private:
    friend class MeasureSession;
    int running_ = 0;
};

class MeasureSession : public QObject {
    Q_OBJECT
public:
    // name: what the refusal message calls this run ("The S-meter").
    MeasureSession(App &app, const QString &name, QObject *parent = nullptr);
    ~MeasureSession() override;

    // Readings with the scanning windows' floor (levels below 68 count as 68).
    bool scanFloor = false;
    // What one tick does; by default one signal-strength reading. The
    // spectrum scan reads, draws and tunes to its next step.
    std::function<rxjob::Task<meter::Reading>()> step;
    // What the start does once the receiver is held, before its state is
    // read (the spectrum scan tunes to its first step).
    std::function<rxjob::Task<>()> afterHold;
    // What the start's state read tells when it fails (the receiver message).
    Receiver2::Tell startTell = Receiver2::Tell::None;
    // step and afterHold are plain functions that return a member
    // coroutine's task (never coroutine lambdas: they would be kept here).

    // Takes the receiver and starts ticking every intervalMs (0: no ticks;
    // the owner calls tickNow). False, with the refusal shown, when another
    // session runs.
    bool start(int intervalMs);
    // Gives the receiver back (after a reading in flight).
    void stop();
    bool running() const { return running_; }
    void setInterval(int ms);
    // Runs one tick now unless one is still in flight.
    void tickNow();
    QTimer *timer() const { return tick_; }
    int missedCount() const { return missed_; }
    // "no reply 13:36:12, 3 missed" for a window's status line; empty while
    // every reading came.
    QString missedText() const;

    // One reading of the receiver, as a job step.
    static rxjob::Task<meter::Reading> aGetsmeter(App &app, bool scanFloor);

signals:
    // The receiver is held and its state read (answered: it replied).
    void started(bool answered);
    void reading(const meter::Reading &r);
    // A tick had no usable reply; the run goes on.
    void missed(int count, const QDateTime &when);
    void stopped();

private:
    void onTick();
    App &app_;
    QString name_;
    QTimer *tick_;
    bool running_ = false;
    bool inFlight_ = false;
    bool told_ = false;
    bool ticking_ = false;
    int missed_ = 0;
    QDateTime lastMissed_;
};
