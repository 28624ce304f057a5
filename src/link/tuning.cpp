// The line's owner: the receiver's frequency and the one tune path.
#include "common/fmt.h"
#include "link/app.h"
#include "link/captions.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/receiver2.h"

namespace {
// A row's four code digits (an empty code takes the default); a character
// that is not a digit counts as 0, in the labels and in the record sent, so
// no letter ever reaches the receiver.
QString codeOf(const TuneRequest &r)
{
    const QString code = r.code->trimmed().isEmpty() ? r.defaultCode : *r.code;
    QString c = code.left(4).leftJustified(4, QLatin1Char('0'));
    for (QChar &ch : c)
        if (ch < QLatin1Char('0') || ch > QLatin1Char('9'))
            ch = QLatin1Char('0');
    return c;
}
} // namespace

QString freqShown(qint64 hz)
{
    return hz < 0 ? kUnknownFreq : fmt::freqText(hz / 1000.0);
}

std::optional<qint64> Receiver2::knownHz() const
{
    if (!rxlimits::inRangeHz(app_.rxs.hz))
        return std::nullopt;
    return app_.rxs.hz;
}

void Receiver2::knowHz(qint64 hz)
{
    app_.rxs.hz = rxlimits::inRangeHz(hz) ? hz : -1;
    if (app_.rxs.hz != rowHz_) {
        rowStation_.clear();
        rowHz_ = -1;
    }
}

void Receiver2::noteFrequency(qint64 hz, Origin origin)
{
    knowHz(hz);
    emit frequencyChanged(app_.rxs.hz, origin);
}

QString Receiver2::stationAt(qint64 hz) const
{
    return hz >= 0 && hz == rowHz_ && app_.rxs.hz == hz ? rowStation_ : QString();
}

Receiver2::SetOutcome Receiver2::startTune(const TuneRequest &r)
{
    if (!rxlimits::inRangeHz(r.hz))
        return SetOutcome::OutOfRange;
    if (lost_)
        return SetOutcome::Lost;
    if (!r.code) {
        noteFrequency(r.hz, r.origin);
        return SetOutcome::Sent;
    }
    // A row's tune: the receiver takes the code's settings with the record,
    // and the state (what a log record's settings are read from) follows,
    // as the labels do.
    rowHz_ = r.hz;
    rowStation_ = r.station.simplified();
    noteFrequency(r.hz, r.origin);
    const QString c = codeOf(r);
    const QStringList *tables[4] = {&app_.cap.att, &app_.cap.bw, &app_.cap.mode, &app_.cap.agc};
    const PanelView::Label labels[4] = {PanelView::HF, PanelView::BW, PanelView::MD, PanelView::AGC};
    int16_t *fields[4] = {&app_.rxs.att, &app_.rxs.bw, &app_.rxs.mode, &app_.rxs.agc};
    for (int i = 0; i < 4; ++i) {
        const int digit = fmt::digitValue(c.at(i));
        bool ok = false;
        const QString t = Captions::text(*tables[i], digit, &ok);
        if (ok) {
            *fields[i] = int16_t(digit);
            emit labelChanged(labels[i], t);
        }
    }
    emit stateChanged();
    return SetOutcome::Sent;
}

void Receiver2::sendTune(const TuneRequest &r)
{
    if (r.code)
        send_cmd(cmd::setRecord(cmd::rec12FromCode(codeOf(r), r.hz / 1000.0)));
    else
        send_cmd(cmd::freqHz(r.hz));
}

bool Receiver2::tune(const TuneRequest &r)
{
    switch (startTune(r)) {
    case SetOutcome::OutOfRange:
        return false;
    case SetOutcome::Lost:
        tellLost();
        return true;
    default:
        break;
    }
    submit([this, r]() -> rxjob::Task<> {
        sendTune(r);
        co_return;
    });
    return true;
}

rxjob::Task<Receiver2::SetOutcome> Receiver2::aTune(TuneRequest r)
{
    // A client is answered Lost without a port, where a window's tune is
    // shown all the same.
    if (!port_ && rxlimits::inRangeHz(r.hz))
        co_return SetOutcome::Lost;
    const SetOutcome o = startTune(r);
    if (o != SetOutcome::Sent)
        co_return o;
    sendTune(r);
    co_return lost_ ? SetOutcome::Lost : SetOutcome::Sent;
}
