// The line's owner: jobs, their waits, held sessions, the line trace and
// the port. Nothing here knows a receiver command.
#include "link/lineowner.h"

#include "link/app.h"
#include "link/limits.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcLine, "vorantis.line", QtWarningMsg)

LineOwner::LineOwner(App &app, QObject *parent) : QObject(parent), app_(app) {}

LineOwner::~LineOwner()
{
    dropJobs();
    if (port_)
        port_->tap = nullptr;
}

void LineOwner::dropJobs()
{
    // A suspended job's frame goes with the owner; its timers are children
    // of this object and go too.
    current_.reset();
    queue_.clear();
}

void LineOwner::setPort(Port *port)
{
    if (port_) {
        disconnect(port_, nullptr, this, nullptr);
        port_->tap = nullptr;
    }
    port_ = port;
    app_.port = port;
    lost_ = false;
    lostReported_ = false;
    if (port_) {
        connect(port_, &Port::readyRead, this, &LineOwner::on_ready_read);
        connect(port_, &Port::lost, this, &LineOwner::on_lost);
        port_->tap = [this](char direction, const QByteArray &bytes) { trace(direction, bytes); };
    }
}

// ------------------------------------------------------------------ line

void LineOwner::send_cmd(const QString &text)
{
    send_raw(text.toLatin1() + '\r');
}

void LineOwner::send_raw(const QByteArray &bytes)
{
    if (!port_ || lost_)
        return;
    if (!lineClock_.isValid())
        lineClock_.start();
    // Ten bits a character: start, eight data, stop.
    const qint64 nsPerChar = 10'000'000'000LL / rxlimits::kBaud;
    lineFreeNs_ = std::max(lineFreeNs_, lineClock_.nsecsElapsed()) + bytes.size() * nsPerChar;
    if (!port_->write(bytes))
        on_lost(QStringLiteral("write failed"));
}

// ------------------------------------------------------------------ submitting

LineOwner::Ticket LineOwner::submit(Body body, bool withBracket, QObject *context)
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
            QTimer::singleShot(0, this, &LineOwner::drainQueue);
        }
        return t;
    }
    startJob(std::move(job));
    return t;
}

void LineOwner::startJob(std::unique_ptr<Job> job)
{
    if (job->hadContext && !job->context)
        return; // its window went away while it waited
    current_ = std::move(job);
    current_->task = runJob(current_.get());
    current_->task.start();
}

rxjob::Task<> LineOwner::runJob(Job *job)
{
    ++seqDepth_;
    if (job->withBracket)
        co_await jobBracket(true);
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
    if (job->withBracket)
        co_await jobBracket(false);
    endJob();
}

rxjob::Task<> LineOwner::finishDropped(bool withBracket)
{
    // The receiver is never left in remote control by a job that was cut
    // short: its bracket is closed as it would have been.
    if (withBracket)
        co_await jobBracket(false);
    endJob();
}

void LineOwner::endJob()
{
    --seqDepth_;
    if (seqDepth_ == 0)
        jobsEnded();
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

void LineOwner::wake(std::coroutine_handle<> h)
{
    --waitDepth_;
    if (current_ && current_->hadContext && !current_->context && !current_->dropped) {
        // The window this job worked for is gone: its frame is destroyed
        // here, not resumed, and a bracket it had open is closed (its own,
        // or one its steps opened).
        current_->dropped = true;
        current_->task = finishDropped(jobBracketOpen());
        current_->task.start();
        return;
    }
    h.resume();
}

// ------------------------------------------------------------------ waits

void LineOwner::PauseAwaiter::await_suspend(std::coroutine_handle<> h)
{
    LineOwner *self = rx;
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

bool LineOwner::CharsAwaiter::await_ready()
{
    if (!rx->port_ || rx->lost_) {
        result = false;
        return true;
    }
    result = rx->port_->bytesAvailable() >= n;
    return result;
}

void LineOwner::CharsAwaiter::await_suspend(std::coroutine_handle<> h)
{
    LineOwner *self = rx;
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

void LineOwner::drainQueue()
{
    drainScheduled_ = false;
    while (!queue_.empty() && seqDepth_ == 0 && !(current_ && !current_->task.done())) {
        std::unique_ptr<Job> next = std::move(queue_.front());
        queue_.pop_front();
        // A job dropped before it started leaves the line free for the next.
        startJob(std::move(next));
    }
}

bool LineOwner::cancel(Ticket ticket)
{
    if (ticket == 0)
        return false;
    for (auto it = queue_.begin(); it != queue_.end(); ++it) {
        if ((*it)->ticket == ticket) {
            queue_.erase(it);
            return true;
        }
    }
    return false;
}

void LineOwner::delayStart(int ms, QObject *context, std::function<void()> then)
{
    // Asked from sequenceStarting: the starting job waits first.
    startDelayMs_ = ms;
    startDelayContext_ = context;
    startDelayThen_ = std::move(then);
}

// ------------------------------------------------------------------ sessions

bool LineOwner::beginSession(const QObject *owner, const QString &name)
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

void LineOwner::endSession(const QObject *owner)
{
    if (sessionOwner_ != owner)
        return;
    sessionOwner_ = nullptr;
    sessionName_.clear();
    emit sessionChanged(QString());
}

// ------------------------------------------------------------------ trace

bool LineOwner::setTraceFile(const QString &path, QString *error)
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

void LineOwner::traceNote(const QString &text) { traceLine(QStringLiteral("--"), text); }

void LineOwner::traceLine(const QString &direction, const QString &shown)
{
    if (!traceFile_ && !lcLine().isDebugEnabled())
        return;
    const QString line =
        QStringLiteral("%1 %2 %3")
            .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("HH:mm:ss.zzz")),
                 direction, shown);
    if (lcLine().isDebugEnabled())
        qCDebug(lcLine).noquote() << line;
    if (traceFile_) {
        traceFile_->write(line.toUtf8() + '\n');
        traceFile_->flush();
    }
}

void LineOwner::trace(char direction, const QByteArray &bytes)
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
    traceLine(direction == '>' ? QStringLiteral("->") : QStringLiteral("<-"), shown);
}

void LineOwner::on_lost(const QString &reason)
{
    lost_ = true;
    if (lostReported_ || lossMuted_)
        return;
    lostReported_ = true;
    emit lineLost(reason);
    tellLineLost();
}

bool LineOwner::reopen(QString *error)
{
    if (!port_)
        return false;
    port_->close();
    if (!port_->open(error))
        return false;
    lost_ = false;
    lostReported_ = false;
    return true;
}
