// The line's owner: the job engine under the receiver link.
//
// It knows the line and its jobs, not the receiver's commands:
// - submit(): every exchange is a job (a coroutine), run one at a time in
//   the order submitted, never interleaved; nobody waits for the line.
// - pause()/chars(): the awaiters a job's steps wait with (a timer, or
//   characters on the port within a bound).
// - cancellation: a job whose context goes away is dropped, a queued one
//   never runs, a running one is not resumed and its bracket is closed.
// - held sessions: one long operation at a time.
// - the line trace, the port attach and the raw write.
//
// The bracket a job runs in is the protocol's (jobBracket); the receiver
// link (Receiver2) derives from this class and provides it.
#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <coroutine>
#include <deque>
#include <functional>
#include <memory>

#include "link/linetask.h"
#include "link/port.h"

struct App;

class LineOwner : public QObject {
    Q_OBJECT
public:
    explicit LineOwner(App &app, QObject *parent = nullptr);
    ~LineOwner() override;

    // A job is in one of its pauses.
    bool delay_pending = false;

    // Attach the port (not owned). Connects the receive handler.
    void setPort(Port *port);
    // Whether a port is attached (lost or not).
    bool lineOpen() const { return !port_.isNull(); }
    bool portLost() const { return lost_; }
    // Tries to open the port again after it was lost.
    bool reopen(QString *error);
    // While on, a lost line is not told here: the caller tells it (the
    // first contact's error box).
    void muteLossReport(bool on) { lossMuted_ = on; }

    // --- jobs ---------------------------------------------------------------
    // Every exchange is a job: a coroutine that sends its commands and
    // co_awaits its pauses and replies, so the window thread never waits.
    // Jobs run one at a time, in the order submitted, never interleaved. A
    // job submitted while the line is free starts at once (its first
    // command goes out before submit returns).
    //
    // withBracket: the job runs inside the remote bracket (jobBracket).
    // context: the object the job works for (a window, a session). When it
    // goes away, the job is dropped: a queued one never runs, a running one
    // is not resumed, and its bracket is closed. The job's code therefore
    // never checks whether its window still exists.
    using Ticket = quint64;
    using Body = std::function<rxjob::Task<>()>;
    Ticket submit(Body body, bool withBracket = true, QObject *context = nullptr);
    // Drops a queued job before it runs: nothing of it (not even its remote
    // bracket) reaches the receiver. False when it already runs or ran, or
    // was never queued.
    bool cancel(Ticket ticket);
    // A job runs.
    bool busy() const { return seqDepth_ > 0; }
    // A job submitted now starts at once.
    bool lineFree() const { return seqDepth_ == 0 && queue_.empty() && !current_; }

    // Inside a job: waits at least ms (the line's pacing), counted from
    // when the last command has left on the line.
    struct PauseAwaiter {
        LineOwner *rx;
        int ms;
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> h);
        void await_resume() const noexcept {}
    };
    PauseAwaiter pause(int ms) { return {this, ms}; }
    // Inside a job: waits until n characters are buffered (true) or the
    // bound expires or the line is lost (false).
    struct CharsAwaiter {
        LineOwner *rx;
        int n;
        int timeoutMs;
        bool result = false;
        bool await_ready();
        void await_suspend(std::coroutine_handle<> h);
        bool await_resume() const noexcept { return result; }
    };
    CharsAwaiter chars(int n, int timeoutMs = -1) { return {this, n, timeoutMs}; }

    // A reader of streamed text that stops its stream when a job starts
    // (sequenceStarting) asks it to wait ms before its commands, then runs
    // then (while context lives) ahead of them.
    void delayStart(int ms, QObject *context, std::function<void()> then);
    // The object the job now starting works for.
    const QObject *startingContext() const { return jobStarting_ && current_ ? current_->context.data() : nullptr; }

    // --- held sessions -------------------------------------------------------
    // A long operation that holds the receiver (a scan, the S-meter, a
    // propagation recording, a timer run, a memory transfer) is a session:
    // only one at a time, whatever the menus show. begin refuses a second
    // one with a message naming the one that runs.
    bool beginSession(const QObject *owner, const QString &name);
    void endSession(const QObject *owner);
    bool sessionActive() const { return !sessionOwner_.isNull(); }
    QString sessionName() const { return sessionOwner_.isNull() ? QString() : sessionName_; }

    // --- the line trace -------------------------------------------------------
    // Every command sent and every reply or report received, with a
    // millisecond time and its direction, to a file (and always to the
    // logging category vorantis.line). Empty path: no file.
    bool setTraceFile(const QString &path, QString *error = nullptr);
    // A line of what happened around the line (a network client connected,
    // refused ...), with the time and "--" for a direction.
    void traceNote(const QString &text);

    // --- the line, for job code in the core only ------------------------------
    // The owner's own steps, the memory transfers, the timer run and the
    // RTTY reader write and read here. Windows, the servers and the
    // command-line tool never do: they call the link's named operations.
    // Writes text + CR in one write.
    void send_cmd(const QString &text);
    // Writes raw bytes in one write (e.g. "X0\rX0\r").
    void send_raw(const QByteArray &bytes);
    // The attached port (its characters are the running job's).
    Port *port() const { return port_; }

    // Receive handler (port event); the link decodes what the receiver
    // sends by itself.
    virtual void on_ready_read() {}

signals:
    // A request was refused (the message shown to the user).
    void refused(const QString &message);
    // The line was lost (reported once).
    void lineLost(const QString &reason);
    // A job ended (queued ones run after it).
    void idle();
    // A job is about to run its commands (inside its remote bracket):
    // a reader that streams text on the line pauses it here.
    void sequenceStarting();
    // A session began or ended (name empty when none runs).
    void sessionChanged(const QString &name);

protected:
    // The protocol's bracket around a job submitted withBracket (open: before
    // its body; closed after it, and when a dropped job is cut short).
    virtual rxjob::Task<> jobBracket(bool open) = 0;
    // A job's bracket is open (a dropped job's is closed).
    virtual bool jobBracketOpen() const = 0;
    // The last job ended and the line is free of jobs.
    virtual void jobsEnded() {}
    // The line was lost and it is to be told (once, unless muted).
    virtual void tellLineLost() {}
    // Drops every job at once (the owner goes away).
    void dropJobs();

    App &app_;
    QPointer<Port> port_;
    bool lost_ = false;
    int seqDepth_ = 0;
    int waitDepth_ = 0;

private:
    void drainQueue();
    struct Job {
        Ticket ticket = 0;
        bool withBracket = true;
        Body body; // kept here, unmoved, while its coroutine runs
        QPointer<QObject> context;
        bool hadContext = false;
        bool dropped = false;
        rxjob::Task<> task;
    };
    void startJob(std::unique_ptr<Job> job);
    rxjob::Task<> runJob(Job *job);
    rxjob::Task<> finishDropped(bool withBracket);
    void endJob();
    // Every suspended job step wakes through here: a job whose context went
    // away is dropped instead of resumed.
    void wake(std::coroutine_handle<> h);
    void trace(char direction, const QByteArray &bytes);
    void traceLine(const QString &direction, const QString &shown);
    void on_lost(const QString &reason);

    bool lostReported_ = false;
    bool lossMuted_ = false;
    bool jobStarting_ = false; // runJob is telling sequenceStarting
    int startDelayMs_ = 0;
    QPointer<QObject> startDelayContext_;
    std::function<void()> startDelayThen_;
    bool drainScheduled_ = false;
    std::deque<std::unique_ptr<Job>> queue_;
    std::unique_ptr<Job> current_;
    QPointer<const QObject> sessionOwner_;
    QString sessionName_;
    std::unique_ptr<class QFile> traceFile_;
    Ticket nextTicket_ = 0;
    // When what was written has left on the line (ns of lineClock_): a
    // pause counts from then, not from the write.
    QElapsedTimer lineClock_;
    qint64 lineFreeNs_ = 0;
};
