// The line's owner: jobs, their waits, held sessions and the line trace.
#include "link/app.h"
#include "link/captions.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "link/replies.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcLine, "vorantis.line", QtWarningMsg)


Receiver2::~Receiver2()
{
    // A suspended job's frame goes with the owner; its timers are children
    // of this object and go too.
    current_.reset();
    queue_.clear();
    if (port_)
        port_->tap = nullptr;
}

// ------------------------------------------------------------------ submitting

Receiver2::Ticket Receiver2::submit(Body body, bool withBracket, QObject *context)
{
    auto job = std::make_unique<Job>();
    job->ticket = ++nextTicket_;
    job->withBracket = withBracket;
    job->body = std::move(body);
    job->context = context;
    job->hadContext = context != nullptr;
    const Ticket t = job->ticket;
    if (seqDepth_ > 0 || !queue_.empty() || current_) {
        queue_.push_back(std::move(job));
        if (seqDepth_ == 0 && !drainScheduled_) {
            drainScheduled_ = true;
            QTimer::singleShot(0, this, &Receiver2::drainQueue);
        }
        return t;
    }
    startJob(std::move(job));
    return t;
}

void Receiver2::startJob(std::unique_ptr<Job> job)
{
    if (job->hadContext && !job->context)
        return; // its window went away while it waited
    current_ = std::move(job);
    current_->task = runJob(current_.get());
    current_->task.start();
}

rxjob::Task<> Receiver2::runJob(Job *job)
{
    ++seqDepth_;
    if (job->withBracket) {
        cmd_active_ = 1;
        co_await aRemoteOn();
    }
    if (seqDepth_ == 1) {
        jobStarting_ = true;
        emit sequenceStarting();
        jobStarting_ = false;
    }
    if (startDelayMs_ > 0) {
        // A stream reader stopped its text: its last characters come first.
        const int ms = std::exchange(startDelayMs_, 0);
        co_await pause(ms);
        const std::function<void()> then = std::move(startDelayThen_);
        startDelayThen_ = nullptr;
        if (startDelayContext_ && then)
            then();
    }
    co_await job->body();
    if (job->withBracket) {
        cmd_active_ = 0;
        co_await aRemoteOff();
    }
    endJob();
}

rxjob::Task<> Receiver2::finishDropped(bool withBracket)
{
    // The receiver is never left in remote control by a job that was cut
    // short: its bracket is closed as it would have been.
    if (withBracket) {
        cmd_active_ = 0;
        co_await aRemoteOff();
    }
    endJob();
}

void Receiver2::endJob()
{
    --seqDepth_;
    if (seqDepth_ == 0) {
        if (auto_report && port_ && !lost_) {
            port_->clear();
            term.clear();
        }
    }
    // The finished frame is destroyed outside itself, then the next runs.
    const Ticket finished = current_ ? current_->ticket : 0;
    QTimer::singleShot(0, this, [this, finished] {
        if (current_ && current_->ticket == finished)
            current_.reset();
        drainQueue();
    });
    if (seqDepth_ == 0)
        emit idle();
}

void Receiver2::wake(std::coroutine_handle<> h)
{
    --waitDepth_;
    if (current_ && current_->hadContext && !current_->context && !current_->dropped) {
        // The window this job worked for is gone: its frame is destroyed
        // here, not resumed, and its bracket closed.
        current_->dropped = true;
        const bool bracketOpen = current_->withBracket && cmd_active_ == 1;
        current_->task = finishDropped(bracketOpen);
        current_->task.start();
        return;
    }
    h.resume();
}

// ------------------------------------------------------------------ waits

void Receiver2::PauseAwaiter::await_suspend(std::coroutine_handle<> h)
{
    Receiver2 *self = rx;
    ++self->waitDepth_;
    self->delay_pending = true;
    // From when the last command has left: a pause behind a long command
    // is not eaten by its time on the line.
    const qint64 onLineNs = self->lineClock_.isValid() ? self->lineFreeNs_ - self->lineClock_.nsecsElapsed() : 0;
    const int wait = ms + int(std::max<qint64>(0, (onLineNs + 999'999) / 1'000'000));
    QTimer::singleShot(wait, Qt::PreciseTimer, self, [self, h] {
        self->delay_pending = false;
        self->wake(h);
    });
}

namespace {
// Watches the port until a job's condition holds or its bound expires.
class CharsWatch : public QObject {
public:
    CharsWatch(QObject *parent, Port *port, std::function<bool()> ready, int boundMs,
               std::function<void(bool)> done)
        : QObject(parent), ready_(std::move(ready)), done_(std::move(done))
    {
        connect(port, &Port::readyRead, this, &CharsWatch::check);
        connect(port, &Port::lost, this, [this] { finish(false); });
        connect(port, &QObject::destroyed, this, [this] { finish(false); });
        // Some ports buffer characters without announcing each piece.
        poll_.setInterval(20);
        connect(&poll_, &QTimer::timeout, this, &CharsWatch::check);
        poll_.start();
        bound_.setSingleShot(true);
        bound_.setTimerType(Qt::PreciseTimer);
        connect(&bound_, &QTimer::timeout, this, [this] { finish(ready_()); });
        bound_.start(boundMs);
    }

private:
    void check()
    {
        if (ready_())
            finish(true);
    }
    void finish(bool ok)
    {
        if (finished_)
            return;
        finished_ = true;
        poll_.stop();
        bound_.stop();
        disconnect();
        deleteLater();
        done_(ok);
    }
    std::function<bool()> ready_;
    std::function<void(bool)> done_;
    QTimer poll_, bound_;
    bool finished_ = false;
};
} // namespace

bool Receiver2::CharsAwaiter::await_ready()
{
    if (!rx->port_ || rx->lost_) {
        result = false;
        return true;
    }
    result = rx->port_->bytesAvailable() >= n;
    return result;
}

void Receiver2::CharsAwaiter::await_suspend(std::coroutine_handle<> h)
{
    Receiver2 *self = rx;
    ++self->waitDepth_;
    const int bound = timeoutMs < 0 ? self->app_.replyTimeoutMs : timeoutMs;
    const int want = n;
    Port *p = self->port_;
    bool *out = &result;
    new CharsWatch(
        self, p,
        [self, want] { return self->port_ && !self->lost_ && self->port_->bytesAvailable() >= want; },
        bound,
        [self, h, out](bool ok) {
            *out = ok;
            self->wake(h);
        });
}

// ------------------------------------------------------------------ line operations as job steps

rxjob::Task<> Receiver2::aRemoteOn()
{
    if ((cmd_active_ == 1 && lock_held_ == 0) || lock_held_ == 1) {
        send_cmd(cmd::remoteOn());
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOn());
        co_await pause(rxlimits::kBracketPauseMs);
    }
}

rxjob::Task<> Receiver2::aRemoteOff()
{
    if (lock_held_ == 0 && cmd_active_ == 0) {
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
    }
}

rxjob::Task<> Receiver2::aHold()
{
    lock_held_ = 1;
    co_await aRemoteOn();
    emit lockChanged(true);
}

rxjob::Task<> Receiver2::aRelease()
{
    lock_held_ = 0;
    co_await aRemoteOff();
    emit lockChanged(false);
}

rxjob::Task<bool> Receiver2::aWaitCr(int timeoutMs)
{
    if (timeoutMs < 0)
        timeoutMs = app_.replyTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    while (port_ && !lost_ && !got.contains('\r')) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        const bool some = co_await chars(1, int(left));
        if (!some)
            break;
        got += port_->readAll();
    }
    pending_ += got;
    co_return pending_.contains('\r');
}


rxjob::Task<bool> Receiver2::aTakeReplyPastReports(QByteArray *r, int replyLen, bool crEnded)
{
    // A dial report the receiver sent just before it went remote may arrive
    // ahead of the reply: a report of another length than the reply, or, for
    // a reply that ends in CR, any line that ends sooner, is dropped and the
    // reply read in full behind it.
    for (int stray = 0; stray < 4; ++stray) {
        const qsizetype cr = r->indexOf('\r');
        if (cr < 0)
            break;
        const QByteArrayView line = QByteArrayView(*r).first(cr + 1);
        const bool shorter = crEnded && cr + 1 < replyLen;
        if (!shorter && (cr + 1 == replyLen || !isDialReport(line)))
            break;
        r->remove(0, cr + 1);
        if (r->size() < replyLen) {
            const bool rest = co_await chars(int(replyLen - r->size()));
            if (!rest)
                co_return false;
        }
        *r += port_->readAll();
    }
    co_return true;
}

rxjob::Task<RxReply> Receiver2::aTransact(QString command, int replyLen, int timeoutMs)
{
    RxReply r;
    if (!port_ || lost_) {
        r.status = RxReply::Lost;
        co_return r;
    }
    port_->clear();
    pending_.clear();
    send_cmd(command);
    if (lost_) {
        r.status = RxReply::Lost;
        co_return r;
    }
    bool got = false;
    if (replyLen >= 0) {
        got = co_await chars(replyLen, timeoutMs);
        r.data = port_ ? port_->readAll() : QByteArray();
        if (got && auto_report)
            got = co_await aTakeReplyPastReports(&r.data, replyLen, false);
    } else {
        got = co_await aWaitCr(timeoutMs);
        r.data = pending_;
        pending_.clear();
        const int cr = int(r.data.indexOf('\r'));
        if (cr >= 0)
            r.data.truncate(cr + 1);
    }
    r.status = lost_ ? RxReply::Lost : (got ? RxReply::Ok : RxReply::NoAnswer);
    noteReply(r.ok() ? ReplyState::Read : ReplyState::Silent);
    co_return r;
}

rxjob::Task<bool> Receiver2::aReadLine(QByteArray *line, QByteArray *after, int maxLen, int timeoutMs)
{
    if (timeoutMs < 0)
        timeoutMs = app_.replyTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    QByteArray got;
    line->clear();
    after->clear();
    while (port_ && !lost_) {
        got += port_->readAll();
        const rxreply::Split s = rxreply::firstLine(got);
        if (s.complete || s.line.size() >= maxLen) {
            *line = s.line.toByteArray();
            *after = s.rest.toByteArray();
            co_return true;
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        const bool some = co_await chars(1, int(left));
        if (!some)
            break;
    }
    if (port_ && !lost_)
        got += port_->readAll();
    *line = rxreply::firstLine(got).line.toByteArray();
    co_return false;
}

void Receiver2::noteReply(ReplyState state, const QByteArray &bytes)
{
    replyState_ = state;
    lastReply_ = state == ReplyState::Unreadable ? bytes : QByteArray();
}

rxjob::Task<std::optional<QString>> Receiver2::aReadRxState()
{
    send_cmd(cmd::storeState());
    co_await pause(rxlimits::kBracketPauseMs);
    if (!port_ || lost_) {
        noteReply(ReplyState::Silent);
        co_return std::nullopt;
    }
    port_->clear();
    send_cmd(cmd::readout(rxlimits::kStateChannel, rxlimits::kStateChannel));
    QByteArray line, after;
    co_await aReadLine(&line, &after, rxreply::kStoredLen);
    // Channel 199 holds the working settings: never empty.
    const rxreply::Readout r = rxreply::readout(line, rxlimits::kStateChannel);
    if (r.kind != rxreply::Readout::Stored || !rxreply::onlyReportsAfter(after)) {
        noteReply(line.isEmpty() || lost_ ? ReplyState::Silent : ReplyState::Unreadable, line + after);
        co_return std::nullopt;
    }
    noteReply(ReplyState::Read);
    co_return QLatin1Char('X') + r.rec12;
}

rxjob::Task<bool> Receiver2::aRefresh(Tell tell)
{
    send_cmd(cmd::user(1, 1));
    co_await pause(rxlimits::kBracketPauseMs);
    const std::optional<QString> r = co_await aReadRxState();
    const bool unreadable = replyState_ == ReplyState::Unreadable;
    refreshAnswered_ = r || unreadable;
    if (!r) {
        if (unreadable) {
            // Nothing of it is believed; the panel says the frequency is
            // not known while none was.
            if (app_.rxs.hz < 0)
                emit frequencyChanged(-1, Origin::Receiver);
            if (tell != Tell::None)
                report_unreadable();
        } else if (tell == Tell::All && !lost_) {
            report_no_answer();
        }
        co_return false;
    }
    co_return apply_state(*r, tell != Tell::None);
}

void Receiver2::pauseReports()
{
    if (!auto_report)
        return;
    send_cmd(cmd::reportsOff());
    auto_report = false;
    reportsPaused_ = true;
}

void Receiver2::resumeReports()
{
    if (!std::exchange(reportsPaused_, false))
        return;
    if (reportUsers_ > 0 && !streamOwner_) {
        send_cmd(cmd::reportsOn());
        auto_report = true;
    }
}

// ------------------------------------------------------------------ set jobs

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetMode(int code, int bwCode)
{
    if (!rxlimits::kMode.contains(code) || (bwCode >= 0 && !rxlimits::kBw.contains(bwCode)))
        co_return SetOutcome::OutOfRange;
    if ((code >= rxlimits::kFirstEcssMode && !app_.settings.ecssFitted()) ||
        (bwCode == rxlimits::kBwNarrow && !app_.settings.narrowFitted()))
        co_return SetOutcome::NotFitted;
    if (!port_ || lost_)
        co_return SetOutcome::Lost;
    send_cmd(cmd::mode(code));
    app_.rxs.mode = int16_t(code);
    emit labelChanged(PanelView::MD, Captions::text(app_.cap.mode, code));
    if (bwCode >= 0 && code != rxlimits::kModeFm) {
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::bw(bwCode));
        app_.rxs.bw = int16_t(bwCode);
        emit labelChanged(PanelView::BW, Captions::text(app_.cap.bw, bwCode));
    }
    emit stateChanged();
    co_return lost_ ? SetOutcome::Lost : SetOutcome::Sent;
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetAtt(int code)
{
    if (!rxlimits::kAtt.contains(code))
        co_return SetOutcome::OutOfRange;
    if (!port_ || lost_)
        co_return SetOutcome::Lost;
    send_cmd(cmd::att(code));
    app_.rxs.att = int16_t(code);
    emit labelChanged(PanelView::HF, Captions::text(app_.cap.att, code));
    emit stateChanged();
    co_return lost_ ? SetOutcome::Lost : SetOutcome::Sent;
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetAgc(int code)
{
    if (!rxlimits::kAgc.contains(code))
        co_return SetOutcome::OutOfRange;
    if (app_.rxs.mode == rxlimits::kModeFm)
        co_return SetOutcome::NotFitted;
    if (!port_ || lost_)
        co_return SetOutcome::Lost;
    send_cmd(cmd::agc(code));
    app_.rxs.agc = int16_t(code);
    emit labelChanged(PanelView::AGC, Captions::text(app_.cap.agc, code));
    emit stateChanged();
    co_return lost_ ? SetOutcome::Lost : SetOutcome::Sent;
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aConfirm()
{
    const RxReply m = co_await aTransact(cmd::signal(), 5);
    if (m.ok())
        co_return SetOutcome::Sent;
    co_return m.status == RxReply::Lost ? SetOutcome::Lost : SetOutcome::Silent;
}

// ------------------------------------------------------------------ facade calls that do not wait

Receiver2::Ticket Receiver2::submitCmd(const QString &text, QObject *context)
{
    return submit(
        [this, text]() -> rxjob::Task<> {
            send_cmd(text);
            co_return;
        },
        true, context);
}

rxjob::Task<> Receiver2::aBracketOn()
{
    cmd_active_ = 1;
    co_await aRemoteOn();
}

rxjob::Task<> Receiver2::aBracketOff()
{
    cmd_active_ = 0;
    co_await aRemoteOff();
}

rxjob::Task<bool> Receiver2::aRefreshPanel(Tell tell)
{
    co_await aBracketOn();
    const bool ok = co_await aRefresh(tell);
    co_await aBracketOff();
    co_return ok;
}

void Receiver2::releaseNow()
{
    lock_held_ = 0;
    if (cmd_active_ == 0) {
        QThread::msleep(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
        QThread::msleep(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
    }
    emit lockChanged(false);
}

void Receiver2::delayStart(int ms, QObject *context, std::function<void()> then)
{
    // Asked from sequenceStarting: the starting job waits first.
    startDelayMs_ = ms;
    startDelayContext_ = context;
    startDelayThen_ = std::move(then);
}

void Receiver2::readFrequency(QObject *context, std::function<void(qint64 hz)> then)
{
    submit(
        [this, then]() -> rxjob::Task<> {
            const std::optional<QString> r = co_await aReadRxState();
            if (!r) {
                if (!lost_)
                    report_no_answer();
                co_return;
            }
            if (const std::optional<qint64> hz = stateHz(*r)) {
                knowHz(*hz); // what a record takes
                then(*hz);
            }
        },
        true, context);
}

// ------------------------------------------------------------------ sessions

bool Receiver2::beginSession(const QObject *owner, const QString &name)
{
    if (sessionOwner_ && sessionOwner_ != owner) {
        const QString text = QStringLiteral("%1 is using the receiver.\nStop it first.").arg(sessionName_);
        if (app_.prompter)
            app_.prompter->notice(text, QStringLiteral("Receiver"), Prompter::Information);
        emit refused(text);
        return false;
    }
    const bool changed = sessionOwner_ != owner;
    sessionOwner_ = owner;
    sessionName_ = name;
    if (changed) {
        // A session whose owner goes away without ending it ends with it.
        connect(owner, &QObject::destroyed, this, [this] {
            if (sessionOwner_.isNull()) {
                sessionName_.clear();
                emit sessionChanged(QString());
            }
        });
        emit sessionChanged(name);
    }
    return true;
}

void Receiver2::endSession(const QObject *owner)
{
    if (sessionOwner_ != owner)
        return;
    sessionOwner_ = nullptr;
    sessionName_.clear();
    emit sessionChanged(QString());
}

// ------------------------------------------------------------------ trace

bool Receiver2::setTraceFile(const QString &path, QString *error)
{
    traceFile_.reset();
    if (!path.isEmpty()) {
        auto f = std::make_unique<QFile>(path);
        if (!f->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            if (error)
                *error = QStringLiteral("%1: %2").arg(path, f->errorString());
            return false;
        }
        traceFile_ = std::move(f);
    }
    return true;
}

void Receiver2::trace(char direction, const QByteArray &bytes)
{
    const bool toLog = lcLine().isDebugEnabled();
    if (!traceFile_ && !toLog)
        return;
    QString shown;
    for (char c : bytes) {
        if (c == '\r')
            shown += QStringLiteral("<CR>");
        else if (c == '\n')
            shown += QStringLiteral("<LF>");
        else if (uchar(c) < 0x20 || uchar(c) > 0x7e)
            shown += QStringLiteral("<%1>").arg(uchar(c), 2, 16, QLatin1Char('0'));
        else
            shown += QLatin1Char(c);
    }
    const QString line = QStringLiteral("%1 %2 %3")
                             .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm:ss.zzz")))
                             .arg(direction == '>' ? QStringLiteral("->") : QStringLiteral("<-"))
                             .arg(shown);
    if (toLog)
        qCDebug(lcLine).noquote() << line;
    if (traceFile_) {
        traceFile_->write(line.toUtf8() + '\n');
        traceFile_->flush();
    }
}
