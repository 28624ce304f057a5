#include "common/timetext.h"

#include <algorithm>

#include <cmath>

namespace timetext {

QString dateTimeText(const QDateTime &t, const QLocale &locale)
{
    QString mon = locale.monthName(t.date().month(), QLocale::ShortFormat);
    if (mon.endsWith(QLatin1Char('.')))
        mon.chop(1);
    mon = mon.left(3);
    return QStringLiteral("%1 %2 %3  %4")
        .arg(t.date().day())
        .arg(mon)
        .arg(t.date().year(), 4, 10, QLatin1Char('0'))
        .arg(t.time().toString(QStringLiteral("HH:mm")));
}

TimeTexts compute(const QDateTime &local, double ltMinusUtcHours, const QLocale &locale)
{
    TimeTexts out;
    // Work on the wall-clock value at minute precision; no time zone rules apply.
    QDateTime lt(local.date(), QTime(local.time().hour(), local.time().minute()), Qt::UTC);
    out.lt_text = dateTimeText(lt, locale);
    // The difference is -13 to +13 hours; anything else (a damaged value)
    // must not overflow the minutes.
    if (!std::isfinite(ltMinusUtcHours))
        ltMinusUtcHours = 0;
    ltMinusUtcHours = std::clamp(ltMinusUtcHours, -13.0, 13.0);
    const qint64 minutes = static_cast<qint64>(std::llround(-60.0 * ltMinusUtcHours));
    const QDateTime utc = lt.addSecs(minutes * 60);
    out.utc_text = dateTimeText(utc, locale);
    out.utc_stamp = utc.toString(QStringLiteral("yyyyMMdd HHmm"));
    return out;
}

std::optional<double> ltUtcOf(int offsetSeconds)
{
    if (offsetSeconds % 1800 != 0 || offsetSeconds < -13 * 3600 || offsetSeconds > 13 * 3600)
        return std::nullopt;
    return offsetSeconds / 3600.0;
}

QString hoursText(double hours)
{
    return QString::number(hours, 'g', 4);
}

OffsetWatch::Say OffsetWatch::check(std::optional<int> systemOffsetSeconds, double ltMinusUtcHours,
                                    bool running)
{
    if (!systemOffsetSeconds)
        return Say::Nothing;
    if (systemOffsetSeconds != offset_) {
        offset_ = systemOffsetSeconds;
        noticed_ = asked_ = false;
    }
    const bool differs = std::llround(ltMinusUtcHours * 60.0) != *systemOffsetSeconds / 60;
    if (!differs || asked_)
        return Say::Nothing;
    if (running) {
        if (noticed_)
            return Say::Nothing;
        noticed_ = true;
        return Say::Notice;
    }
    asked_ = true;
    return Say::Ask;
}

QString hhmmOf(const QString &clockText)
{
    const QString t = clockText.right(5);
    if (t.size() < 5)
        return QString();
    return t.left(2) + t.mid(3, 2);
}

} // namespace timetext
