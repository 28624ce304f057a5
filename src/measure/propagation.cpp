#include "measure/propagation.h"

#include "common/fmt.h"

#include <algorithm>
#include <cmath>

namespace propagation {

namespace {
// Quarter and period values are clamped into the panels: nothing is drawn
// above the top of a panel.
double clampUnits(double v)
{
    return std::clamp(v, 0.0, double(kPanelHeight) / kPerUnit);
}
} // namespace

void Impression::reset()
{
    qLo_ = 21;
    qHi_ = 0;
    pLo_ = 21;
    pHi_ = 0;
    record_.clear();
    lastQuarter_ = lastPeriod_ = -1;
}

TickOut Impression::tick(int hh, int mm, int ss, double v, bool recording)
{
    TickOut out;
    const float f = float(v);
    qLo_ = std::min(qLo_, f);
    qHi_ = std::max(qHi_, f);
    pLo_ = std::min(pLo_, f);
    pHi_ = std::max(pHi_, f);

    out.minute.x = kLeft + 8 * ss;
    out.minute.eraseX = 88 + 8 * ss;
    out.minute.y1 = kMinuteBottom;
    out.minute.y2 = yOf(kMinuteBottom, clampUnits(v));
    out.eraseMinuteFirst = ss == 59;

    const int second = hh * 3600 + mm * 60 + ss;
    if ((ss == 1 || ss == 16 || ss == 31 || ss == 46) && lastQuarter_ != second) {
        lastQuarter_ = second;
        Column c;
        const int dx = int(std::floor(ss / 7.5));
        c.x = kLeft + 8 * mm + dx;
        c.eraseX = 82 + 8 * mm + dx;
        c.y1 = yOf(kHourBottom, clampUnits(qLo_));
        c.y2 = yOf(kHourBottom, clampUnits(qHi_));
        out.quarter = c;
        if (recording) {
            if (ss == 1)
                record_ = QStringLiteral("%1:%2").arg(hh, 2, 10, QLatin1Char('0')).arg(mm, 2, 10, QLatin1Char('0'));
            record_ += QLatin1Char(' ') + fmt::zeros(std::floor(double(qLo_) * 10 + 1e-6), 3);
            record_ += QLatin1Char(' ') + fmt::zeros(std::floor(double(qHi_) * 10 + 1e-6), 3);
            if (ss == 46) {
                if (record_.size() > 34)
                    out.panLine = record_;
                record_.clear();
            }
        }
        qLo_ = 21;
        qHi_ = 0;
        out.eraseHourFirst = mm == 59 && ss == 46;
    }
    if (mm % 6 == 1 && ss == 2 && lastPeriod_ != second) {
        lastPeriod_ = second;
        Column c;
        const int dx = mm / 3;
        c.x = kLeft + 20 * hh + dx;
        c.eraseX = 82 + 20 * hh + dx;
        c.y1 = yOf(kDayBottom, clampUnits(pLo_));
        c.y2 = yOf(kDayBottom, clampUnits(pHi_));
        out.period = c;
        pLo_ = 21;
        pHi_ = 0;
        out.eraseDayFirst = hh == 23 && mm == 55;
    }
    return out;
}

QStringList panHeader(const QString &dateText, const QString &freqText, const QString &station)
{
    return {dateText, freqText, station};
}

PanMinute parsePanLine(const QString &line)
{
    PanMinute m;
    auto num = [&](int pos1, int len) { return fmt::val(line.mid(pos1 - 1, len)); };
    m.hh = int(num(1, 2));
    m.mm = int(num(4, 2));
    for (int i = 0; i < 4; ++i) {
        m.lo[size_t(i)] = num(8 * i + 7, 3) / 10.0;
        m.hi[size_t(i)] = num(8 * i + 11, 3) / 10.0;
    }
    return m;
}

PanFile readPan(const QStringList &lines)
{
    PanFile f;
    if (lines.size() < 3)
        f.problems << QStringLiteral("the file ends inside its header");
    f.date = lines.value(0);
    f.freq = lines.value(1);
    f.station = lines.value(2);
    int bad = 0, range = 0;
    for (int i = 3; i < lines.size(); ++i) {
        const QString &l = lines.at(i);
        const bool timeOk = l.size() >= 5 && l.at(0).isDigit() && l.at(1).isDigit()
                            && l.at(2) == QLatin1Char(':') && l.at(3).isDigit() && l.at(4).isDigit();
        PanMinute m = parsePanLine(l);
        if (!timeOk || m.hh > 23 || m.mm > 59) {
            ++bad;
            continue;
        }
        for (int q = 0; q < 4; ++q) {
            for (double *v : {&m.lo[size_t(q)], &m.hi[size_t(q)]}) {
                if (*v < 0 || *v > 21.34) {
                    ++range;
                    *v = std::clamp(*v, 0.0, 21.333);
                }
            }
        }
        if (l.size() < 37)
            ++bad; // short: the missing values read as 0
        f.minutes << m;
    }
    if (bad)
        f.problems << QStringLiteral("%1 minute lines are short or not minute lines").arg(bad);
    if (range)
        f.problems << QStringLiteral("%1 values out of range").arg(range);
    return f;
}

QStringList panCsv(const PanFile &f)
{
    static const int secs[4] = {1, 16, 31, 46};
    QStringList out{QStringLiteral("time,lowest,highest")};
    for (const PanMinute &m : f.minutes)
        for (int q = 0; q < 4; ++q)
            out << QStringLiteral("%1:%2:%3,%4,%5")
                       .arg(m.hh, 2, 10, QLatin1Char('0'))
                       .arg(m.mm, 2, 10, QLatin1Char('0'))
                       .arg(secs[q], 2, 10, QLatin1Char('0'))
                       .arg(fmt::fixed(m.lo[size_t(q)], 1), fmt::fixed(m.hi[size_t(q)], 1));
    return out;
}

} // namespace propagation
