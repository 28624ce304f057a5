#include "utilities/rxclocks.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/commands.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <cmath>

namespace rxclocks {

QString ltText(const QDateTime &local)
{
    return local.time().toString(QStringLiteral("hh:mm:ss"));
}

QString utcText(const QDateTime &local, double ltMinusUtcHours)
{
    const qint64 minutes = qint64(std::llround(-60.0 * ltMinusUtcHours));
    return local.addSecs(minutes * 60).time().toString(QStringLiteral("hh:mm:ss"));
}

QString hhmmss(const QString &clockText)
{
    return clockText.mid(0, 2) + clockText.mid(3, 2) + clockText.mid(6, 2);
}

namespace {
bool allDigits(const QString &s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}
} // namespace

bool validTimerText(const QString &t)
{
    // Only digits reach the receiver: a letter would read as 0 leniently.
    if (t.size() != 4 || !allDigits(t))
        return false;
    const double h = fmt::val(t.left(2)), m = fmt::val(t.right(2));
    return h >= 0 && h <= 23 && m >= 0 && m <= 59;
}

QString timerInputError(bool on)
{
    return (on ? QStringLiteral("RX Timer-On input error") : QStringLiteral("RX Timer-Off input error"))
           + QStringLiteral("\nUse hhmm from 0000 to 2359");
}

std::optional<QString> clockFromReply(const QByteArray &reply)
{
    if (reply.size() < 5)
        return std::nullopt;
    const QString hh = QString::fromLatin1(reply.mid(1, 2));
    const QString mm = QString::fromLatin1(reply.mid(3, 2));
    if (!allDigits(hh) || !allDigits(mm) || hh.toInt() > 23 || mm.toInt() > 59)
        return std::nullopt;
    return hh + QLatin1Char(':') + mm;
}

QString badClockReplyText()
{
    return QStringLiteral("The receiver's clock reply was not understood.\n"
                          "The clock shown is not changed.");
}

void submitClockMode(App &app, bool on)
{
    app.rx->submitCmd(on ? cmd::clockOpen() : cmd::clockClose());
}

void showTimer(App &app, bool on)
{
    app.rx->submitCmd(on ? cmd::showTimerOn() : cmd::showTimerOff());
}

rxjob::Task<> aShowTimer(App &app, bool on)
{
    app.rx->send_cmd(on ? cmd::showTimerOn() : cmd::showTimerOff());
    co_return;
}

rxjob::Task<> aSet(App &app, Setting what, QString value)
{
    Receiver2 *rx = app.rx;
    const QString command = what == Setting::Clock     ? cmd::clockSet(hhmmss(value))
                            : what == Setting::TimerOn ? cmd::timerOnTime(value)
                                                       : cmd::timerOffTime(value);
    co_await rx->aBracket(true);
    rx->send_cmd(command);
    co_await rx->aBracket(false);
    co_await rx->pause(kSettlePauseMs);
}

rxjob::Task<std::optional<QString>> aReadClock(App &app)
{
    const RxReply r = co_await app.rx->aTransact(cmd::clockRead(), 8);
    if (r.status == RxReply::NoAnswer) {
        app.rx->report_no_answer();
        co_return std::nullopt;
    }
    if (!r.ok())
        co_return std::nullopt;
    const auto t = clockFromReply(r.data);
    // Said without stopping the job that reads.
    if (!t && app.prompter)
        app.prompter->notice(badClockReplyText(), QStringLiteral("Receiver"), Prompter::Exclamation);
    co_return t;
}

} // namespace rxclocks
