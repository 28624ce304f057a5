// The receiver facade: the one way from the program to the receiver.
//
// The job engine (submit, pause/chars, cancellation, sessions, the trace,
// the port) is LineOwner's (lineowner.h); this class adds the receiver's
// protocol steps on top of it:
// - aBracket(): the remote bracket, the one way to open it; aHold() and
//   aRelease() are the same step for the lock (the receiver stays in
//   remote control); lockChanged tells the windows.
// - wantReports()/claimStream(): the receiver's own frequency reports and
//   other text it streams by itself, one reader at a time.
// - aTransact(): discard input, write, collect the reply up to CR or a
//   length, with a bounded wait.
// - tune()/set_mode()/...: what the windows ask for; they show it at once
//   and submit its command as a job. aTune() is the same tune as a job step.
// - The receiver's frequency is kept in Hz (RxState::hz); text is made only
//   where a window shows it (freqShown).
// - Signals instead of window lists: frequency (in Hz, with its origin), the
//   panel's labels and controls, state, lock, refusal, line lost. The link
//   names no window; each window connects what it shows.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

#include "link/fanout.h"
#include "link/lineowner.h"
#include "link/linetask.h"
#include "link/panelview.h"

struct App;

// A tune: the frequency, where it was asked, and for a tune from a list or
// log row its four-digit tuning code (attenuator, bandwidth, mode, AGC; an
// empty one takes defaultCode) and its station.
struct TuneRequest {
    qint64 hz = -1;
    Origin origin = Origin::Panel;
    // Set: the row's record ("S199" + the code's settings and the frequency)
    // is sent instead of "F" + eight digits, and RxState takes its settings.
    std::optional<QString> code;
    QString defaultCode;
    // Remembered with the frequency (stationAt) until the receiver shows
    // another one.
    QString station;
};

// The reply of one transaction.
struct RxReply {
    enum Status { Ok, NoAnswer, Busy, Lost };
    Status status = NoAnswer;
    QByteArray data; // what arrived (also when short)
    bool ok() const { return status == Ok; }
};

class Receiver2 : public LineOwner {
    Q_OBJECT
public:
    explicit Receiver2(App &app, QObject *parent = nullptr);
    ~Receiver2() override;

    // The receiver sends its frequency reports ("I1") and they are decoded.
    bool reportsOn() const { return auto_report; }

    // --- the remote bracket and the lock --------------------------------------
    // One step opens and closes the remote bracket: open, H1, 50 ms, H1,
    // 50 ms (also while held: the H1s go out again); closed, 50 ms, H0,
    // 50 ms, H0, left out while the receiver is held or another bracket is
    // open. Bracket::Hold is the lock: aHold() takes the receiver into
    // remote control and keeps it there, aRelease() lets it go (the H0s go
    // out unless a job's bracket is still open) and the windows clear their
    // bwc and pbs controls.
    enum class Bracket { Job, Hold };
    rxjob::Task<> aBracket(bool open, Bracket kind = Bracket::Job);
    rxjob::Task<> aHold() { return aBracket(true, Bracket::Hold); }
    rxjob::Task<> aRelease() { return aBracket(false, Bracket::Hold); }
    bool held() const { return lock_held_ == 1; }

    // --- protocol steps, inside a job ----------------------------------------
    // How a failed state read is told: once for either failure (All), for
    // neither (None), or only for a reply that could not be read, silence
    // being the caller's to tell (Unreadable).
    enum class Tell { All, None, Unreadable };
    // Discards input, writes command, collects the reply up to its CR or
    // replyLen characters, bounded by the reply time-out.
    rxjob::Task<RxReply> aTransact(QString command, int replyLen = -1, int timeoutMs = -1);
    // Inside a job: the next reply line as it arrives, dial reports in front
    // of it dropped. It ends at its CR (true), after maxLen characters
    // without one (true: a CR not at its place), or when the bound expires
    // or the line is lost (false; *line holds what came, perhaps nothing).
    // *after gets what followed the CR in the same read.
    rxjob::Task<bool> aReadLine(QByteArray *line, QByteArray *after, int maxLen, int timeoutMs = -1);
    // Discards input, writes command, then reads its reply line as
    // aReadLine does; false also when the line is lost or gone.
    rxjob::Task<bool> aAskLine(QString command, QByteArray *line, QByteArray *after, int maxLen);
    // A streamed read-out: discards input, writes command, then hands what
    // arrives to take, piece by piece, while take wants more (true) and
    // characters keep coming within the reply time-out each. False when the
    // line was lost or gone before the command went out.
    rxjob::Task<bool> aStream(QString command, std::function<bool(const QByteArray &)> take);
    // The working settings: "J1199", then the read-out of channel 199, whose
    // whole layout is checked (rxreply::readout). "X" + the record; nothing
    // when no reply came or it could not be read (lastReplyState() tells
    // which).
    rxjob::Task<std::optional<QString>> aReadRxState();
    // How the last reply wait ended: read, nothing came, or what came could
    // not be read (lastReply() holds it, for messages).
    enum class ReplyState { Read, Silent, Unreadable };
    ReplyState lastReplyState() const { return replyState_; }
    const QByteArray &lastReply() const { return lastReply_; }
    // A reader of its own (the memory read-out) tells how its reply ended.
    void noteReply(ReplyState state, const QByteArray &bytes = {});
    // Inside a held read-out: the receiver's own reports, when the program
    // has them on, are switched off ("I0") so that none runs into the
    // read-out; resumeReports() switches them on again ("I1") when they are
    // still wanted. Both send in place (the receiver must be held).
    void pauseReports();
    void resumeReports();
    // Reads the working settings ("U11", then the state read) and shows
    // them; false when the receiver did not answer or its reply could not
    // be read, each told as tell says. lastRefreshAnswered() tells the two
    // failures apart.
    rxjob::Task<bool> aRefresh(Tell tell);
    bool lastRefreshAnswered() const { return refreshAnswered_; }

    // --- set jobs: what a client asked for, and what happened ---------------
    // The job forms of tune/set_mode/set_att/set_agc for callers that answer
    // someone (the network server, the command-line tool): nothing is sent
    // for a value the receiver cannot take, and the result says what
    // happened. The windows are told as for the program's own settings.
    enum class SetOutcome { Sent, OutOfRange, NotFitted, Silent, Lost };
    // The tune (see TuneRequest) as a job step: OutOfRange outside 10 to
    // 29999.999 kHz, Lost without a line; otherwise RxState and the windows
    // take the frequency and its command goes out in place.
    rxjob::Task<SetOutcome> aTune(TuneRequest r);
    // Mode code, then after the line's pause the bandwidth code (-1: keep
    // it; never for NFM). NotFitted: the ECSS unit or the narrow filter is
    // missing.
    rxjob::Task<SetOutcome> aSetMode(int code, int bwCode = -1);
    rxjob::Task<SetOutcome> aSetAtt(int code);
    // The bandwidth alone; NotFitted in NFM (none to set) and for the
    // narrow filter when it is missing.
    rxjob::Task<SetOutcome> aSetBw(int code);
    // NotFitted in NFM, which has no AGC.
    rxjob::Task<SetOutcome> aSetAgc(int code);
    // Whether the receiver answers now (one signal-level read): Sent when
    // it does, else Silent or Lost.
    rxjob::Task<SetOutcome> aConfirm();
    // Inside a job: the signal level read ("M", a reply of 5 characters).
    rxjob::Task<RxReply> aReadSignal();
    // The receiver's frequency as last learned (its reports, a state read, a
    // tune), in Hz; nullopt while none is known.
    std::optional<qint64> knownHz() const;
    // The receiver's dial is followed: its reports are on and decoded, so
    // knownHz() follows the dial without a read.
    bool dialFollowed() const { return auto_report && reportUsers_ > 0 && streamOwner_.isNull(); }
    // --- facade calls that do not wait ----------------------------------------
    // One command in the remote bracket, as a job: the caller goes on at once.
    Ticket submitCmd(const QString &text, QObject *context = nullptr);
    // aRefresh inside a job, in a bracket of its own.
    rxjob::Task<bool> aRefreshPanel(Tell tell);
    // For an owner that goes away with the program, when no job can run any
    // more: the release at once, its pauses slept (no events are run).
    void releaseNow();

    // --- the panel's controls ---------------------------------------------------
    // The bandwidth control (bwc, Hz) and the passband shift (pbs, Hz), sent
    // at once ("W" + four digits, "P" + sign and four digits) while the
    // receiver is held, as a move of the panel's scroll bars asks; false
    // (nothing sent) when it is not held, the bwc unit is not fitted, or
    // the value is outside the control's range.
    bool setBwc(int hz);
    bool setPbs(int hz);
    // What the panel's pbs label shows for hz ("+0150").
    static QString pbsText(int hz);
    // A run that drives the receiver by itself (the event timer) tells the
    // panel: its controls off while the run holds the receiver, and the
    // pbs and bwc values it has set (the panel's controls take them as a
    // user's move would). bw: the bandwidth code whose bwc range applies.
    void setPanelEnabled(bool on) { emit panelEnabledChanged(on); }
    void showPbs(int hz);
    void showBwc(int bw, int hz);

    // --- tracking in Dial mode ---------------------------------------------------
    // Inside a job: holds the receiver, reads its state, switches its
    // reports on and lets its own dial turn (H0 once: the program keeps the
    // hold, the reports follow the dial).
    rxjob::Task<> aFollowDial();
    // Inside a job: switches the reports off ("I0") unless a user still
    // wants them.
    void reportsOffUnlessWanted();

    // The frequency of an aReadRxState result in Hz: nothing when its eight
    // digits are not a frequency of the receiver's range.
    static std::optional<qint64> stateHz(const QString &x13);
    // The receiver's frequency for a window that shows it, as a job in its
    // own bracket. When the reply came and is a frequency of the receiver's
    // range, RxState takes it, frequencyChanged(hz, Receiver) tells every
    // window, and then(hz) (if any) runs while context lives. A silent
    // receiver is told once (not after a lost line).
    void readFrequency(QObject *context, std::function<void(qint64 hz)> then);

    // Applies an aReadRxState result (13 characters) to RxState and tells the
    // windows. A field that is not a code of its table, or a frequency that
    // is not 10 to 29999.999 kHz, is left as it was (shown as kUnknownFreq
    // while no frequency is known); then the result is false and the
    // receiver message shows when report.
    bool apply_state(const QString &x13, bool report = true);

    void set_att(int16_t &n);
    void set_bw(int16_t &n);
    void set_mode(int16_t &n);
    void set_agc(int16_t &n);
    // The panel's other switches, each one command in the remote bracket:
    // the noise blanker (0 Off, 1 On, 2 Wide), the vbt function (U1 0/1),
    // and a memory channel's recall (0 to 199). Out of range: nothing sent.
    void set_nb(int code);
    void set_vbt(bool on);
    void recall(int channel, QObject *context = nullptr);

    // --- tuning -------------------------------------------------------------
    // The tune for a window: the frequency is shown at once (RxState,
    // frequencyChanged, for a row its settings) and its command goes out as
    // a job, as aTune sends it. False (nothing sent) outside the receiver's
    // range. With the line known to be lost the receiver message shows at
    // once and nothing changes.
    bool tune(const TuneRequest &r);
    bool tune(qint64 hz, Origin origin) { return tune(TuneRequest{hz, origin, {}, {}, {}}); }
    // The station of the row last tuned from, when hz is its frequency and
    // the receiver has shown no other since; empty otherwise.
    QString stationAt(qint64 hz) const;
    // The receiver's frequency is now hz (-1: not known), learned without a
    // tune of its own (a window that keeps a frequency while there is no
    // receiver): RxState takes it, a row's station is forgotten when it is
    // another frequency, and frequencyChanged tells the windows.
    void noteFrequency(qint64 hz, Origin origin);

    // Receive handler (port event).
    void on_ready_read() override;

    // The message shown when a reply wait failed: "The receiver did not
    // answer." (also when the line is lost), or, when the last reply came
    // but could not be read, report_unreadable's message.
    void report_no_answer();
    // The receiver answered, but its reply (or report) could not be read.
    void report_unreadable();

    // getfreq: decodes spontaneous reports (auto_report on).
    void getfreq(const QString &text);

    // --- the receiver's own reports and other streamed text -----------------
    // The frequency reports ("I1") are shared by their users (the tracking
    // window's Dial mode, the panel's follow-the-dial option): the first
    // user switches them on, the last one off ("I0"). Asked by a running
    // job's own code, the command goes out in place, otherwise as a job in
    // a bracket of its own. The reports are decoded only while no job runs: a transaction's reply
    // is never taken for a report, and what arrived during one is dropped
    // when it ends. The decoded dial is told as Origin::Dial (the windows
    // that follow the dial), or, while a user asked for fanout, as
    // Origin::Receiver, which every window that shows the frequency follows.
    void wantReports(bool on, bool fanout = false);
    bool reportsWanted() const { return reportUsers_ > 0; }
    // A reader that streams text on the line (the RTTY page) takes the line's
    // spontaneous text for itself: the reports are switched off ("I0") until
    // it gives it back, when they are switched on again. Only one stream
    // reader at a time; false when another one has it.
    bool claimStream(const QObject *reader);
    void releaseStream(const QObject *reader);
    bool streamClaimed() const { return !streamOwner_.isNull(); }
    // Receive buffer for partial reports.
    QString term;

signals:
    // The receiver's frequency changed: hz (-1 while not known, shown as
    // kUnknownFreq) and where the change came from. A window skips its own
    // tunes as it likes; Origin::Dial is for the windows that follow the dial.
    void frequencyChanged(qint64 hz, Origin origin);
    // The panel's labels and controls.
    void labelChanged(PanelView::Label which, const QString &text);
    void vbtChanged(bool on);
    void bwcEnabled(int minEnd, int maxEnd, int value);
    void pbsEnabled(int value, const QString &labelText);
    void bwcCleared();
    void pbsCleared();
    void agcEnabledChanged(bool on);
    void bwFrameEnabledChanged(bool on);
    // RxState was updated from the receiver.
    void stateChanged();
    // The lock was taken or given.
    void lockChanged(bool held);
    // The panel's controls on or off (a run that drives the receiver).
    void panelEnabledChanged(bool on);

protected:
    rxjob::Task<> jobBracket(bool open) override { return aBracket(open); }
    bool jobBracketOpen() const override { return cmd_active_ == 1; }
    void jobsEnded() override;
    void tellLineLost() override { report_silence(); }

private:
    // Reads what arrives into *got until done(*got) holds (true), the bound
    // expires or the line is lost (false). The one bounded wait under the
    // reply steps.
    rxjob::Task<bool> aReadUntil(QByteArray *got, int timeoutMs,
                                 std::function<bool(const QByteArray &)> done);
    // Drops dial reports in front of a reply of replyLen characters (with
    // crEnded, its last is CR) and waits for the rest; false when the rest
    // does not come.
    rxjob::Task<bool> aTakeReplyPastReports(QByteArray *r, int replyLen, bool crEnded);
    // The spontaneous frequency reports ("I1") are decoded while this is set.
    bool auto_report = false;
    // The tests' program context sets it without a command (tests/testkit.h).
    friend struct TestApp;
    void refuse(const QString &text, const QString &title);
    // The line is known to be lost: says so (true).
    bool tellLost();
    // The receiver's frequency is now hz (-1: not known); a row's station is
    // forgotten when it is another one. Nothing is told.
    void knowHz(qint64 hz);
    // The one tune path, shared by tune() and aTune(): the range rule, the
    // lost line, and what the windows are told before the command
    // (startTune: Sent when it may go out); sendTune writes the command.
    SetOutcome startTune(const TuneRequest &r);
    void sendTune(const TuneRequest &r);

    bool garbledReported_ = false;
    ReplyState replyState_ = ReplyState::Read;
    QByteArray lastReply_;
    bool reportsPaused_ = false;
    void report_silence();
    bool refreshAnswered_ = false;
    int16_t cmd_active_ = 0;
    int16_t lock_held_ = 0;
    void setReports(bool on);
    int reportUsers_ = 0;
    int fanoutUsers_ = 0;
    QPointer<const QObject> streamOwner_;
    QString rowStation_; // of the row last tuned from, while on rowHz_
    qint64 rowHz_ = -1;
};

// What the windows show while the receiver's frequency is not known.
inline const QString kUnknownFreq = QStringLiteral("-----.---");
// The text a window shows for a frequency in Hz: "####0.000" kHz, or
// kUnknownFreq for -1 (not known).
QString freqShown(qint64 hz);

// A line that ends in a frequency report's eight digits, one character and
// CR (what the receiver sends by itself while reports are on).
bool isDialReport(QByteArrayView line);

// getfreq: appends text to term; when term ends in CR, returns the frequency
// in Hz decoded from its last 10 characters and empties term (nothing while
// no CR came). A report whose 8 frequency characters are not digits within
// the receiver's range gives -1.
std::optional<qint64> getfreq_decode(QString &term, const QString &text);
