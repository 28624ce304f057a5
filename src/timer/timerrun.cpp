#include "timer/timerrun.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/commands.h"
#include "link/linetask.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "record/recsession.h"

#include <cmath>

using namespace timertab;

namespace {
QString hhmm(const QDateTime &t) { return t.toString(QStringLiteral("HH:mm")); }
} // namespace

TimerRun::TimerRun(App &app, const EventTable &table, QObject *parent)
    : QObject(parent), app_(app), table_(table)
{
}

TimerRun::~TimerRun()
{
    if (phase_ == Phase::Idle)
        return;
    // Going away (the window, or the program with it): no job can follow,
    // so the last commands go out now.
    phase_ = Phase::Idle;
    setPanelEnabled(true);
    if (Receiver2 *rx = app_.rx) {
        rx->send_cmd(cmd::relayOff());
        rx->send_cmd(cmd::timerRelease());
        if (rx->held())
            rx->releaseNow();
        rx->endSession(this);
    }
}

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
    if (app_.rx)
        app_.rx->setPanelEnabled(on);
}

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
    // To the nearest minute: a clock set back an hour while a tick's time
    // passed is a step of -60 min, not -59.
    const qint64 minutes = std::llround(d / 60000.0);
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
    // One held run at a time, whatever the menus show.
    if (app_.rx && !app_.rx->beginSession(this, QStringLiteral("The timer run")))
        return;
    run_index = 1;
    dur_ticks = 0;
    banner_phase = 0;
    silentReported_ = false;
    missed_ = 0;
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
    inStep_ = true;
    if (!app_.rx) {
        // No receiver: nothing waits, the steps run now.
        local_ = std::make_unique<rxjob::Task<>>(aSteps());
        local_->start();
        return;
    }
    // The due steps run as one job on the line; its context is this run, so
    // a run that goes away mid-step is dropped at its next wait.
    app_.rx->submit([this]() -> rxjob::Task<> { co_await aSteps(); }, false, this);
}

rxjob::Task<> TimerRun::aSteps()
{
    for (int guard = 0; guard < 64; ++guard) {
        advance();
        if (stopRequested_) {
            stopRequested_ = false;
            co_await aFinish(true);
            break;
        }
        if (phase_ == Phase::Idle || runMs_ < due_)
            break;
        co_await aRunStep();
    }
    inStep_ = false;
}

rxjob::Task<> TimerRun::aRunStep()
{
    switch (phase_) {
    case Phase::Idle:
        co_return;
    case Phase::Starting:
        if (app_.rx)
            co_await app_.rx->aHold();
        co_await aRefresh();
        send(cmd::timerHold());
        setPanelEnabled(false);
        setPhase(Phase::Waiting, kTestMs);
        co_return;
    case Phase::Waiting:
        co_await aStepWaiting();
        co_return;
    case Phase::Preparing:
        co_await aStepPreparing();
        co_return;
    case Phase::Settling:
        send(cmd::relayOn());
        onAir_ = true;
        dur_ticks = 0;
        emit onAir(run_index, true);
        startRecording();
        setPhase(Phase::OnAir, kDurTickMs);
        co_return;
    case Phase::OnAir:
        co_await aStepOnAir();
        co_return;
    case Phase::Between:
        send(cmd::timerHold());
        phase_ = Phase::Waiting;
        due_ = testDue_;
        emit phaseChanged(phase_);
        co_return;
    }
}

rxjob::Task<> TimerRun::aStepWaiting()
{
    banner_phase = banner_phase ? 0 : 1;
    emit captionChanged(bannerText(banner_phase));
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
            if (run_index >= run_count) {
                co_await aFinish(false);
                co_return;
            }
            ++run_index;
            continue;
        }
        if (now >= e.startMinute()) {
            emit note(QStringLiteral("Event %1 started late (programmed for %2 UTC).")
                          .arg(run_index)
                          .arg(hhmm(start)));
        }
        prepStep_ = 0;
        setPhase(Phase::Preparing, 0);
        co_return;
    }
    due_ += kTestMs;
    if (due_ <= runMs_)
        due_ = runMs_ + kTestMs;
}

rxjob::Task<> TimerRun::aStepPreparing()
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
        co_await aRefresh();
        if (pbsSet(e.pbs())) {
            send(cmd::pbs(e.pbs()));
            due_ = runMs_ + kSetWaitMs;
        }
        break;
    }
    case 3:
        if (pbsSet(e.pbs()) && app_.rx)
            app_.rx->showPbs(e.pbs());
        if (bwcSet(e.bwc())) {
            send(cmd::bwc(e.bwc()));
            due_ = runMs_ + kSetWaitMs;
        }
        break;
    default:
        if (bwcSet(e.bwc()) && app_.rx)
            app_.rx->showBwc(e.bw(), e.bwc());
        setPanelEnabled(false);
        setPhase(Phase::Settling, kSettleMs);
        co_return;
    }
    ++prepStep_;
}

rxjob::Task<> TimerRun::aStepOnAir()
{
    ++dur_ticks;
    if (dur_ticks < event().duration() * 6) {
        due_ += kDurTickMs;
        co_return;
    }
    send(cmd::relayOff());
    onAir_ = false;
    stopRecording();
    emit onAir(run_index, false);
    if (run_index >= run_count) {
        co_await aFinish(false);
        co_return;
    }
    ++run_index;
    testDue_ = runMs_ + kTestMs;
    setPhase(Phase::Between, kT0WaitMs);
}

rxjob::Task<> TimerRun::aFinish(bool interrupted)
{
    const int k = run_index;
    const bool wasOnAir = onAir_;
    phase_ = Phase::Idle;
    onAir_ = false;
    emit finished();
    if (interrupted) {
        send(cmd::relayOff());
        if (wasOnAir)
            emit onAir(k, false);
    }
    stopRecording();
    setPanelEnabled(true);
    send(cmd::timerRelease());
    co_await aRefresh();
    if (app_.rx && app_.rx->held())
        co_await app_.rx->aRelease();
    if (app_.rx)
        app_.rx->endSession(this);
    emit phaseChanged(phase_);
}

void TimerRun::shutdown()
{
    if (phase_ == Phase::Idle)
        return;
    stopRequested_ = false;
    // The window closes: "O0", "T1" and the release, without the panel
    // refresh, as a job that needs nothing of this run (after a step on the line).
    phase_ = Phase::Idle;
    onAir_ = false;
    setPanelEnabled(true);
    Receiver2 *rx = app_.rx;
    if (!rx)
        return;
    rx->submit(
        [rx]() -> rxjob::Task<> {
            rx->send_cmd(cmd::relayOff());
            rx->send_cmd(cmd::timerRelease());
            if (rx->held())
                co_await rx->aRelease();
        },
        false, nullptr);
    rx->endSession(this);
}

rxjob::Task<> TimerRun::aRefresh()
{
    if (!app_.rx)
        co_return;
    const bool ok = co_await app_.rx->aRefreshPanel(Receiver2::Tell::None);
    if (ok || app_.rx->portLost())
        co_return;
    // A missed reply shows in the window and the run goes on; the receiver
    // message shows once per run and does not stop it.
    ++missed_;
    const QString when = utcNow().toString(QStringLiteral("HH:mm:ss"));
    emit note(QStringLiteral("no reply %1 UTC, %2 missed; the run goes on.").arg(when).arg(missed_));
    if (!silentReported_) {
        silentReported_ = true;
        app_.rx->report_no_answer();
    }
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
    r.station = e.station;
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
    // "O0" goes out now; the file closes when the input's block is in.
    app_.rec->requestStop();
}

void TimerRun::recStopped(const QString &, const QString &reason)
{
    if (!recording_)
        return;
    recording_ = false;
    if (!reason.isEmpty())
        emit note(QString(reason).replace(QLatin1Char('\n'), QLatin1Char(' ')));
}
