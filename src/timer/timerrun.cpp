#include "timer/timerrun.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/panelview.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "record/recsession.h"

#include <QTimer>

using namespace timertab;

namespace {
QString hhmm(const QDateTime &t) { return t.toString(QStringLiteral("HH:mm")); }
} // namespace

TimerRun::TimerRun(App &app, const EventTable &table, QObject *parent)
    : QObject(parent), app_(app), table_(table)
{
}

TimerRun::~TimerRun() { shutdown(); }

QString TimerRun::bannerText(int phase)
{
    const QString arrows = phase == 1 ? QStringLiteral("<=") : QStringLiteral("=>");
    QString a;
    for (int i = 0; i < 30; ++i)
        a += arrows;
    return phase == 1 ? QStringLiteral("  Timer is ON, be patient  ") + a
                      : QStringLiteral("  ") + a + QStringLiteral("  Timer is ON, be patient");
}

const TimerEvent &TimerRun::event() const
{
    return table_.event_tab[qBound(1, run_index, kEvents)];
}

QDateTime TimerRun::utcNow() const
{
    return utcOf(app_.clock->now(), app_.settings.ltMinusUtc());
}

bool TimerRun::test_tp() const
{
    // The present UTC minute plus one has reached the event's start.
    return minuteOf(utcNow()) + 1 >= event().startMinute();
}

qint64 TimerRun::msToNext() const { return running() ? qMax<qint64>(0, due_ - runMs_) : 0; }

void TimerRun::setPhase(Phase p, qint64 dueInMs)
{
    phase_ = p;
    due_ = runMs_ + dueInMs;
    emit phaseChanged(p);
}

void TimerRun::send(const QString &cmd)
{
    if (app_.rx)
        app_.rx->send_cmd(cmd);
}

void TimerRun::setPanelEnabled(bool on)
{
    if (app_.panel)
        app_.panel->setPanelEnabled(on);
}

bool TimerRun::lineFree() const { return !app_.rx || !app_.rx->wouldQueue(); }

void TimerRun::advance()
{
    const QDateTime now = app_.clock->now();
    if (!last_.isValid()) {
        last_ = now;
        return;
    }
    const qint64 d = last_.msecsTo(now);
    last_ = now;
    if (d >= 0 && d <= kJumpMs) {
        runMs_ += d;
        return;
    }
    // Suspend or a changed clock: the pauses keep their length; the start
    // test reads the clock and sorts out what the jump passed.
    const qint64 minutes = d / 60000;
    emit note(QStringLiteral("The PC clock jumped by %1%2 min (now %3 UTC).")
                  .arg(d > 0 ? QStringLiteral("+") : QString())
                  .arg(minutes)
                  .arg(hhmm(utcNow())));
}

void TimerRun::start()
{
    if (running() || !app_.clock)
        return;
    run_count = table_.fixedCount();
    if (run_count == 0)
        return;
    run_index = 1;
    dur_ticks = 0;
    banner_phase = 0;
    silentReported_ = false;
    stopRequested_ = false;
    onAir_ = false;
    runMs_ = 0;
    last_ = QDateTime();
    advance();
    setPhase(Phase::Starting, 0);
    tick();
}

void TimerRun::stop()
{
    if (!running())
        return;
    stopRequested_ = true;
    tick();
}

void TimerRun::tick()
{
    if (inStep_ || phase_ == Phase::Idle)
        return;
    QPointer<TimerRun> self(this);
    inStep_ = true;
    for (int guard = 0; guard < 64; ++guard) {
        advance();
        if (!lineFree())
            break; // another caller's sequence waits: try on the next tick
        if (stopRequested_) {
            stopRequested_ = false;
            finish(true, true);
            if (!self)
                return;
            break;
        }
        if (phase_ == Phase::Idle || runMs_ < due_)
            break;
        if (app_.rx) {
            app_.rx->sequence([this, self] {
                if (self)
                    runStep();
            });
        } else {
            runStep();
        }
        if (!self)
            return;
    }
    inStep_ = false;
}

void TimerRun::runStep()
{
    QPointer<TimerRun> self(this);
    switch (phase_) {
    case Phase::Idle:
        return;
    case Phase::Starting:
        if (app_.rx)
            app_.rx->hold();
        if (!self)
            return;
        refresh();
        if (!self)
            return;
        send(cmd::timerHold());
        setPanelEnabled(false);
        setPhase(Phase::Waiting, kTestMs);
        return;
    case Phase::Waiting:
        stepWaiting();
        return;
    case Phase::Preparing:
        stepPreparing();
        return;
    case Phase::Settling:
        send(cmd::relayOn());
        onAir_ = true;
        dur_ticks = 0;
        emit onAir(run_index, true);
        if (self)
            startRecording();
        if (self)
            setPhase(Phase::OnAir, kDurTickMs);
        return;
    case Phase::OnAir:
        stepOnAir();
        return;
    case Phase::Between:
        send(cmd::timerHold());
        phase_ = Phase::Waiting;
        due_ = testDue_;
        emit phaseChanged(phase_);
        return;
    }
}

void TimerRun::stepWaiting()
{
    QPointer<TimerRun> self(this);
    banner_phase = banner_phase ? 0 : 1;
    emit captionChanged(bannerText(banner_phase));
    if (!self)
        return;
    while (test_tp()) {
        const TimerEvent &e = event();
        const long long now = minuteOf(utcNow());
        const QDateTime start = QDateTime(QDate(e.year(), e.month(), e.day()),
                                          QTime(e.hour(), e.minute()));
        if (now >= e.endMinute()) {
            // The whole event lies in the past (the clock jumped over it, or
            // the run was held up): never run it late in its entirety.
            emit note(QStringLiteral("Event %1 skipped: its time %2 to %3 UTC had passed.")
                          .arg(run_index)
                          .arg(hhmm(start))
                          .arg(hhmm(start.addSecs(e.duration() * 60))));
            if (!self)
                return;
            if (run_index >= run_count) {
                finish(false, true);
                return;
            }
            ++run_index;
            continue;
        }
        if (now >= e.startMinute()) {
            emit note(QStringLiteral("Event %1 started late (programmed for %2 UTC).")
                          .arg(run_index)
                          .arg(hhmm(start)));
            if (!self)
                return;
        }
        prepStep_ = 0;
        setPhase(Phase::Preparing, 0);
        return;
    }
    due_ += kTestMs;
    if (due_ <= runMs_)
        due_ = runMs_ + kTestMs;
}

void TimerRun::stepPreparing()
{
    const TimerEvent &e = event();
    switch (prepStep_) {
    case 0:
        setPanelEnabled(true);
        send(cmd::timerRelease());
        due_ = runMs_ + kT1WaitMs;
        break;
    case 1:
        send(cmd::setRecord(cmd::rec12(e.att(), e.bw(), e.mode(), e.hz(), e.agc())));
        due_ = runMs_ + kTuneWaitMs;
        break;
    case 2: {
        QPointer<TimerRun> self(this);
        refresh();
        if (!self)
            return;
        if (pbsSet(e.pbs())) {
            send(cmd::pbs(e.pbs()));
            due_ = runMs_ + kSetWaitMs;
        }
        break;
    }
    case 3:
        if (pbsSet(e.pbs()) && app_.panel)
            app_.panel->enablePbs(e.pbs(), cmd::pbs(e.pbs()).mid(1));
        if (bwcSet(e.bwc())) {
            send(cmd::bwc(e.bwc()));
            due_ = runMs_ + kSetWaitMs;
        }
        break;
    default:
        if (bwcSet(e.bwc()) && app_.panel) {
            if (const auto range = rxlimits::bwcRange(e.bw()))
                app_.panel->enableBwc(range->minEnd, range->maxEnd, e.bwc());
        }
        setPanelEnabled(false);
        setPhase(Phase::Settling, kSettleMs);
        return;
    }
    ++prepStep_;
}

void TimerRun::stepOnAir()
{
    ++dur_ticks;
    if (dur_ticks < event().duration() * 6) {
        due_ += kDurTickMs;
        return;
    }
    QPointer<TimerRun> self(this);
    send(cmd::relayOff());
    onAir_ = false;
    stopRecording();
    emit onAir(run_index, false);
    if (!self)
        return;
    if (run_index >= run_count) {
        finish(false, true);
        return;
    }
    ++run_index;
    testDue_ = runMs_ + kTestMs;
    setPhase(Phase::Between, kT0WaitMs);
}

void TimerRun::finish(bool interrupted, bool refreshPanel)
{
    QPointer<TimerRun> self(this);
    const int k = run_index;
    const bool wasOnAir = onAir_;
    phase_ = Phase::Idle;
    onAir_ = false;
    if (refreshPanel) {
        emit finished();
        if (!self)
            return;
    }
    if (interrupted) {
        send(cmd::relayOff());
        if (wasOnAir && refreshPanel)
            emit onAir(k, false);
    }
    stopRecording();
    if (!self)
        return;
    setPanelEnabled(true);
    send(cmd::timerRelease());
    if (refreshPanel) {
        refresh();
        if (!self)
            return;
    }
    if (app_.rx && app_.rx->held())
        app_.rx->release();
    if (self && refreshPanel)
        emit phaseChanged(phase_);
}

void TimerRun::shutdown()
{
    if (phase_ == Phase::Idle)
        return;
    stopRequested_ = false;
    finish(true, false);
}

void TimerRun::refresh()
{
    if (!app_.rx)
        return;
    QPointer<TimerRun> self(this);
    const bool ok = app_.rx->refresh_panel(false);
    if (!self || ok || app_.rx->portLost() || silentReported_)
        return;
    // Told once per run; the box comes up from the event loop so that the
    // run goes on while it is open.
    silentReported_ = true;
    emit note(QStringLiteral("The receiver did not answer; the run goes on."));
    QPointer<Receiver2> rx(app_.rx);
    QTimer::singleShot(0, app_.rx, [rx] {
        if (rx)
            rx->report_no_answer();
    });
}

void TimerRun::startRecording()
{
    const TimerEvent &e = event();
    if (!e.rec)
        return;
    if (!app_.rec) {
        emit note(QStringLiteral("Event %1 is not recorded: recording is not available.").arg(run_index));
        return;
    }
    connect(app_.rec, &RecSession::stopped, this, &TimerRun::recStopped, Qt::UniqueConnection);
    RecSession::Request r;
    r.khz = double(e.hz()) / 1000.0;
    r.mode = Captions::text(app_.cap.mode, e.mode());
    r.bandwidth = Captions::text(app_.cap.bw, e.bw());
    r.startedBy = QStringLiteral("Timer event %1").arg(run_index);
    QString err, warning;
    if (!app_.rec->start(r, &err, &warning)) {
        emit note(QStringLiteral("Event %1 is not recorded: %2")
                      .arg(run_index)
                      .arg(QString(err).replace(QLatin1Char('\n'), QLatin1Char(' '))));
        return;
    }
    recording_ = true;
    emit note(QStringLiteral("Recording event %1 into %2").arg(run_index).arg(app_.rec->path()) +
              (warning.isEmpty() ? QString() : QStringLiteral(" (") + warning + QStringLiteral(")")));
}

void TimerRun::stopRecording()
{
    if (!recording_ || !app_.rec)
        return;
    app_.rec->stop();
}

void TimerRun::recStopped(const QString &, const QString &reason)
{
    if (!recording_)
        return;
    recording_ = false;
    if (!reason.isEmpty())
        emit note(QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}
