#include "link/receiver2.h"

#include "link/app.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/port.h"

#include <QFile>
#include <memory>
#include <QTimer>
#include <algorithm>

DecodedState DecodedState::decode(const QString &x13)
{
    DecodedState d;
    auto digitAt = [&](int pos1) -> int {
        if (pos1 - 1 >= x13.size())
            return -1;
        const QChar c = x13.at(pos1 - 1);
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
    };
    d.att = digitAt(2);
    d.bw = digitAt(3);
    d.mode = digitAt(4);
    d.agc = digitAt(13);
    if (x13.size() >= 12) {
        const QString hz = x13.mid(4, 8);
        bool all = true;
        for (QChar c : hz)
            all = all && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (all) {
            d.freqValid = true;
            d.hz = hz.toLongLong();
            d.khz = d.hz / 1000.0;
        }
    }
    return d;
}

Receiver2::Receiver2(App &app, QObject *parent) : QObject(parent), app_(app)
{
    app_.rx = this;
}

void Receiver2::setPort(Port *port)
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
        connect(port_, &Port::readyRead, this, &Receiver2::on_ready_read);
        connect(port_, &Port::lost, this, &Receiver2::on_lost);
        port_->tap = [this](char direction, const QByteArray &bytes) { trace(direction, bytes); };
    }
}

// ------------------------------------------------------------------ line

void Receiver2::send_cmd(const QString &text)
{
    send_raw(text.toLatin1() + '\r');
}

void Receiver2::send_raw(const QByteArray &bytes)
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

void Receiver2::drainQueue()
{
    drainScheduled_ = false;
    while (!queue_.empty() && seqDepth_ == 0 && !(current_ && !current_->task.done())) {
        std::unique_ptr<Job> next = std::move(queue_.front());
        queue_.pop_front();
        // A job dropped before it started leaves the line free for the next.
        startJob(std::move(next));
    }
}

bool Receiver2::cancel(Ticket ticket)
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

void Receiver2::on_lost(const QString &reason)
{
    lost_ = true;
    if (lostReported_ || lossMuted_)
        return;
    lostReported_ = true;
    emit lineLost(reason);
    report_silence();
}

bool Receiver2::reopen(QString *error)
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
