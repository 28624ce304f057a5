#include "link/receiver2.h"

#include "link/app.h"
#include "link/captions.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/replies.h"

#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <utility>

Receiver2::Receiver2(App &app, QObject *parent) : LineOwner(app, parent)
{
    app_.rx = this;
}

Receiver2::~Receiver2()
{
    // A suspended job's frame may name this link: it goes first.
    dropJobs();
}

// A dial report: a line that ends in the frequency's eight digits, one
// further character and CR.
bool isDialReport(QByteArrayView line)
{
    const qsizetype n = line.size();
    if (n < 10 || line.at(n - 1) != '\r')
        return false;
    for (qsizetype i = n - 10; i < n - 2; ++i)
        if (line.at(i) < '0' || line.at(i) > '9')
            return false;
    return true;
}

std::optional<qint64> Receiver2::stateHz(const QString &x13)
{
    const DecodedState d = DecodedState::decode(x13);
    if (!d.freqValid || !rxlimits::inRangeHz(d.hz))
        return std::nullopt;
    return d.hz;
}

// ------------------------------------------------------------------ protocol steps

rxjob::Task<> Receiver2::aBracket(bool open, Bracket kind)
{
    (kind == Bracket::Hold ? lock_held_ : cmd_active_) = open ? 1 : 0;
    if (open) {
        send_cmd(cmd::remoteOn());
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOn());
        co_await pause(rxlimits::kBracketPauseMs);
    } else if (lock_held_ == 0 && cmd_active_ == 0) {
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
        co_await pause(rxlimits::kBracketPauseMs);
        send_cmd(cmd::remoteOff());
    }
    if (kind == Bracket::Hold)
        emit lockChanged(open);
}

void Receiver2::jobsEnded()
{
    // What arrived during the jobs is theirs, never a report.
    if (auto_report && port_ && !lost_) {
        port_->clear();
        term.clear();
    }
}

rxjob::Task<bool> Receiver2::aReadUntil(QByteArray *got, int timeoutMs,
                                        std::function<bool(const QByteArray &)> done)
{
    if (timeoutMs < 0)
        timeoutMs = app_.replyTimeoutMs;
    QElapsedTimer clock;
    clock.start();
    while (port_ && !lost_) {
        *got += port_->readAll();
        if (done(*got))
            co_return true;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        const bool some = co_await chars(1, int(left));
        if (!some)
            break;
    }
    if (port_ && !lost_)
        *got += port_->readAll();
    co_return false;
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
        got = co_await aReadUntil(&r.data, timeoutMs,
                                  [](const QByteArray &b) { return b.contains('\r'); });
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
    QByteArray got;
    const bool whole = co_await aReadUntil(&got, timeoutMs, [maxLen](const QByteArray &b) {
        const rxreply::Split s = rxreply::firstLine(b);
        return s.complete || s.line.size() >= maxLen;
    });
    const rxreply::Split s = rxreply::firstLine(got);
    *line = s.line.toByteArray();
    *after = whole ? s.rest.toByteArray() : QByteArray();
    co_return whole;
}

rxjob::Task<bool> Receiver2::aAskLine(QString command, QByteArray *line, QByteArray *after, int maxLen)
{
    line->clear();
    after->clear();
    if (!port_ || lost_)
        co_return false;
    port_->clear();
    send_cmd(command);
    const bool got = co_await aReadLine(line, after, maxLen);
    co_return got && !lost_;
}

rxjob::Task<bool> Receiver2::aStream(QString command, std::function<bool(const QByteArray &)> take)
{
    if (!port_ || lost_)
        co_return false;
    port_->clear();
    send_cmd(command);
    for (;;) {
        const bool some = co_await chars(1, app_.replyTimeoutMs);
        if (!some || !port_)
            break;
        if (!take(port_->readAll()))
            break;
    }
    co_return true;
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

namespace {
// One setting code sent in place, then RxState, its label and the state told.
Receiver2::SetOutcome sendCode(Receiver2 &rx, const QString &command, int16_t &field, int code,
                               PanelView::Label label, const QStringList &captions)
{
    if (!rx.lineOpen() || rx.portLost())
        return Receiver2::SetOutcome::Lost;
    rx.send_cmd(command);
    field = int16_t(code);
    emit rx.labelChanged(label, Captions::text(captions, code));
    emit rx.stateChanged();
    return rx.portLost() ? Receiver2::SetOutcome::Lost : Receiver2::SetOutcome::Sent;
}
} // namespace

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetAtt(int code)
{
    if (!rxlimits::kAtt.contains(code))
        co_return SetOutcome::OutOfRange;
    co_return sendCode(*this, cmd::att(code), app_.rxs.att, code, PanelView::HF, app_.cap.att);
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetBw(int code)
{
    if (!rxlimits::kBw.contains(code))
        co_return SetOutcome::OutOfRange;
    if (app_.rxs.mode == rxlimits::kModeFm || (code == rxlimits::kBwNarrow && !app_.settings.narrowFitted()))
        co_return SetOutcome::NotFitted;
    co_return sendCode(*this, cmd::bw(code), app_.rxs.bw, code, PanelView::BW, app_.cap.bw);
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aSetAgc(int code)
{
    if (!rxlimits::kAgc.contains(code))
        co_return SetOutcome::OutOfRange;
    if (app_.rxs.mode == rxlimits::kModeFm)
        co_return SetOutcome::NotFitted;
    co_return sendCode(*this, cmd::agc(code), app_.rxs.agc, code, PanelView::AGC, app_.cap.agc);
}

rxjob::Task<RxReply> Receiver2::aReadSignal()
{
    co_return co_await aTransact(cmd::signal(), 5);
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aConfirm()
{
    const RxReply m = co_await aReadSignal();
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

rxjob::Task<bool> Receiver2::aRefreshPanel(Tell tell)
{
    co_await aBracket(true);
    const bool ok = co_await aRefresh(tell);
    co_await aBracket(false);
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
                // What a record takes, and what every window shows.
                noteFrequency(*hz, Origin::Receiver);
                if (then)
                    then(*hz);
            }
        },
        true, context);
}

// ------------------------------------------------------------------ the panel

bool Receiver2::setBwc(int hz)
{
    // Within the widest of the bandwidths' bwc ranges.
    const int lo = std::min({rxlimits::kBwcWide.minEnd, rxlimits::kBwcWide.maxEnd, rxlimits::kBwcInter.minEnd,
                             rxlimits::kBwcInter.maxEnd});
    const int hi = std::max({rxlimits::kBwcWide.minEnd, rxlimits::kBwcWide.maxEnd, rxlimits::kBwcInter.minEnd,
                             rxlimits::kBwcInter.maxEnd});
    if (!app_.settings.bwcFitted() || !held() || hz < lo || hz > hi)
        return false;
    send_cmd(cmd::bwc(hz));
    return true;
}

bool Receiver2::setPbs(int hz)
{
    if (!held() || hz < rxlimits::kPbsMin || hz > rxlimits::kPbsMax)
        return false;
    send_cmd(cmd::pbs(hz));
    return true;
}

QString Receiver2::pbsText(int hz)
{
    return cmd::pbs(hz).mid(1);
}

void Receiver2::showPbs(int hz)
{
    emit pbsEnabled(hz, pbsText(hz));
}

void Receiver2::showBwc(int bw, int hz)
{
    if (const auto range = rxlimits::bwcRange(bw))
        emit bwcEnabled(range->minEnd, range->maxEnd, hz);
}

rxjob::Task<> Receiver2::aFollowDial()
{
    co_await aHold();
    co_await aRefreshPanel(Tell::All);
    co_await pause(rxlimits::kBracketPauseMs);
    wantReports(true);
    send_cmd(cmd::remoteOff());
}

void Receiver2::reportsOffUnlessWanted()
{
    if (reportUsers_ > 0)
        return;
    auto_report = false;
    send_cmd(cmd::reportsOff());
}

bool Receiver2::apply_state(const QString &x13, bool report)
{
    const Captions &cap = app_.cap;
    RxState &s = app_.rxs;
    const DecodedState d = DecodedState::decode(x13);

    emit vbtChanged(true);

    // A field whose character is not a digit of its table keeps its value
    // and its label.
    bool ok = false;
    QString t = Captions::text(cap.att, d.att, &ok);
    if (ok) {
        s.att = int16_t(d.att);
        emit labelChanged(PanelView::HF, t);
    }
    t = Captions::text(cap.bw, d.bw, &ok);
    if (ok) {
        s.bw = int16_t(d.bw);
        emit labelChanged(PanelView::BW, t);
    }
    t = Captions::text(cap.mode, d.mode, &ok);
    if (ok) {
        s.mode = int16_t(d.mode);
        emit labelChanged(PanelView::MD, t);
    }

    if (lock_held_ == 1 && rxlimits::kBw.contains(s.bw)) {
        if (const auto range = rxlimits::bwcRange(s.bw)) {
            if (app_.settings.bwcFitted() && s.mode != rxlimits::kModeFm) {
                emit bwcEnabled(range->minEnd, range->maxEnd, range->minEnd);
                send_cmd(cmd::bwc(range->minEnd));
            }
        } else {
            emit bwcCleared();
        }
    }

    if (s.mode == rxlimits::kModeFm) {
        emit agcEnabledChanged(false);
        emit labelChanged(PanelView::AGC, QString());
        emit bwcCleared();
        emit pbsCleared();
        emit bwFrameEnabledChanged(false);
        emit labelChanged(PanelView::BW, QString());
    } else {
        emit bwFrameEnabledChanged(true);
        if (lock_held_ == 1) {
            emit pbsEnabled(0, QStringLiteral("0000"));
            send_cmd(cmd::pbsRefresh());
        }
        t = Captions::text(cap.agc, d.agc, &ok);
        if (ok) {
            s.agc = int16_t(d.agc);
            emit labelChanged(PanelView::AGC, t);
        }
        emit agcEnabledChanged(true);
    }

    emit stateChanged();
    const bool freqOk = d.freqValid && rxlimits::inRangeHz(d.hz);
    if (freqOk)
        noteFrequency(d.hz, Origin::Receiver);
    else if (app_.rxs.hz < 0)
        emit frequencyChanged(-1, Origin::Receiver); // nothing known yet
    // An unusable reply is said, never shown as a made-up setting.
    const bool agcOk = s.mode == rxlimits::kModeFm || rxlimits::kAgc.contains(d.agc);
    const bool usable = freqOk && agcOk && rxlimits::kAtt.contains(d.att) &&
                        rxlimits::kBw.contains(d.bw) && rxlimits::kMode.contains(d.mode);
    if (!usable && report)
        report_unreadable();
    return usable;
}

void Receiver2::refuse(const QString &text, const QString &title)
{
    if (app_.prompter)
        app_.prompter->message(text, title, Prompter::Information);
    emit refused(text);
}

void Receiver2::set_bw(int16_t &n)
{
    if (n == rxlimits::kBwNarrow && !app_.settings.narrowFitted()) {
        refuse(QStringLiteral("Reserved for Narrow filter\nwith optional unit CFL-23x "),
               QStringLiteral("Mode"));
        return;
    }
    submitCmd(cmd::bw(n));
    emit labelChanged(PanelView::BW, Captions::text(app_.cap.bw, n));
    app_.rxs.bw = n;
}

void Receiver2::set_mode(int16_t &n)
{
    if (n >= rxlimits::kFirstEcssMode && !app_.settings.ecssFitted()) {
        refuse(QStringLiteral("Reserved for ECSS mode\nwith optional unit CMF-78 "),
               QStringLiteral("Mode"));
        return;
    }
    submitCmd(cmd::mode(n));
    emit labelChanged(PanelView::MD, Captions::text(app_.cap.mode, n));
    app_.rxs.mode = n;
}

void Receiver2::set_agc(int16_t &n)
{
    submitCmd(cmd::agc(n));
    emit labelChanged(PanelView::AGC, Captions::text(app_.cap.agc, n));
    app_.rxs.agc = n;
}

void Receiver2::set_att(int16_t &n)
{
    submitCmd(cmd::att(app_.rxs.att));
    emit labelChanged(PanelView::HF, Captions::text(app_.cap.att, n));
}

void Receiver2::set_nb(int code)
{
    if (code >= 0 && code <= 2)
        submitCmd(cmd::nb(code));
}

void Receiver2::set_vbt(bool on)
{
    submitCmd(cmd::user(1, on ? 1 : 0));
}

void Receiver2::recall(int channel, QObject *context)
{
    if (rxlimits::validChannel(channel))
        submitCmd(cmd::recall(channel), context);
}

std::optional<qint64> getfreq_decode(QString &term, const QString &text)
{
    term.append(text);
    if (!term.endsWith(QLatin1Char('\r')))
        return std::nullopt;
    const QString digits = term.right(10).left(8);
    term.clear();
    bool digitsOnly = digits.size() == 8;
    for (QChar c : digits)
        digitsOnly = digitsOnly && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const qint64 h = digitsOnly ? digits.toLongLong() : -1;
    return rxlimits::inRangeHz(h) ? h : -1; // -1: garbled
}

void Receiver2::on_ready_read()
{
    // While a job runs the characters are its reply; a stream reader takes
    // its own text.
    if (!auto_report || !port_ || seqDepth_ > 0 || streamOwner_)
        return;
    const QString t = QString::fromLatin1(port_->readAll());
    if (!t.isEmpty())
        getfreq(t);
}

void Receiver2::getfreq(const QString &text)
{
    const std::optional<qint64> hz = getfreq_decode(term, text);
    if (!hz)
        return;
    if (*hz < 0) {
        // A garbled report: the dial moved to a frequency that is not known.
        noteFrequency(-1, Origin::Receiver);
        if (!garbledReported_)
            report_unreadable();
        garbledReported_ = true;
        return;
    }
    garbledReported_ = false;
    // The windows that follow the dial follow it; with fanout, every window.
    noteFrequency(*hz, fanoutUsers_ > 0 ? Origin::Receiver : Origin::Dial);
}

void Receiver2::setReports(bool on)
{
    // Asked by the running job's own code (not during one of its waits):
    // the command goes out in place, inside its bracket.
    if (seqDepth_ > 0 && waitDepth_ == 0) {
        send_cmd(on ? cmd::reportsOn() : cmd::reportsOff());
        auto_report = on;
        return;
    }
    submit([this, on]() -> rxjob::Task<> {
        // Asked again meanwhile: the latest wish holds.
        if (on == (reportUsers_ > 0 && !streamOwner_)) {
            send_cmd(on ? cmd::reportsOn() : cmd::reportsOff());
            auto_report = on;
        }
        co_return;
    });
}

void Receiver2::wantReports(bool on, bool fanout)
{
    const int before = reportUsers_;
    reportUsers_ = std::max(0, reportUsers_ + (on ? 1 : -1));
    if (fanout)
        fanoutUsers_ = std::max(0, fanoutUsers_ + (on ? 1 : -1));
    if (streamOwner_)
        return; // switched on when the stream reader gives the line back
    // Every user that starts switches them on (the receiver may have been
    // told "I0" by hand); only the last one switches them off.
    if (on || (before > 0 && reportUsers_ == 0))
        setReports(on);
}

bool Receiver2::claimStream(const QObject *reader)
{
    if (streamOwner_ && streamOwner_ != reader)
        return false;
    if (streamOwner_ == reader)
        return true;
    streamOwner_ = reader;
    if (reportUsers_ > 0)
        setReports(false);
    return true;
}

void Receiver2::releaseStream(const QObject *reader)
{
    if (streamOwner_ != reader)
        return;
    streamOwner_ = nullptr;
    term.clear();
    // Later: the reader may be going away.
    QTimer::singleShot(0, this, [this] {
        if (reportUsers_ > 0 && !streamOwner_)
            setReports(true);
    });
}

void Receiver2::report_silence()
{
    // Shown without stopping anything: a run that goes on by itself, or a
    // job on the line, carries on while the box is open.
    if (app_.prompter)
        app_.prompter->notice(QStringLiteral("The receiver did not answer.\n"
                                             "Check the cable and that the RX is switched-on."),
                              QStringLiteral("Receiver"), Prompter::Exclamation);
}

void Receiver2::report_unreadable()
{
    if (app_.prompter)
        app_.prompter->notice(QStringLiteral("The receiver's reply could not be read.\n"
                                             "The line may be disturbed: check the cable and its plugs."),
                              QStringLiteral("Receiver"), Prompter::Exclamation);
}

void Receiver2::report_no_answer()
{
    if (replyState_ == ReplyState::Unreadable && !lost_)
        report_unreadable();
    else
        report_silence();
}

bool Receiver2::tellLost()
{
    if (!lost_)
        return false;
    report_silence();
    return true;
}
