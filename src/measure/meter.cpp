#include "measure/meter.h"

#include "common/fmt.h"

#include <algorithm>
#include <cmath>

namespace meter {

int rawLevel(const QByteArray &reply)
{
    // Characters 2 to 4; a sign or point among them is not part of a level.
    const QString digits = QString::fromLatin1(reply.mid(1, 3));
    QString lead;
    int i = 0;
    while (i < digits.size() && digits.at(i) == QLatin1Char(' '))
        ++i;
    for (; i < digits.size() && digits.at(i).isDigit(); ++i)
        lead += digits.at(i);
    return lead.isEmpty() ? 0 : int(fmt::val(lead));
}

double units(int level, int att)
{
    const double r = att == 1 ? 1.0 : 0.0;
    double v = r * kAttUnits + (kZeroLevel - level) * 0.25;
    if (v < 0)
        v = 0;
    if (v > r * kAttUnits + kTop)
        v = r * kAttUnits + kTop;
    return v;
}

double scanUnits(int level, int att)
{
    return units(level < kScanFloorLevel ? kScanFloorLevel : level, att);
}

float Recorder::needleOf(double v)
{
    float p = float((v - 1) * 10);
    if (p < 0)
        p = 0;
    if (p > kNeedleMax)
        p = kNeedleMax;
    return p;
}

int Recorder::binOf(double v)
{
    for (int i = 1; i <= kBins; ++i)
        if (i <= v && v < i + 1)
            return i;
    return 0;
}

Recorder::Tick Recorder::add(double v)
{
    Tick t;
    prev_ = needle_;
    needle_ = needleOf(v);
    t.prevNeedle = prev_;
    t.needle = needle_;
    cursor_ = cursor_ >= kRing ? 1 : cursor_ + 1;
    t.old = ring_[size_t(cursor_)];
    ring_[size_t(cursor_)] = float(v);
    t.v = float(v);
    // The reading leaving the ring first, then the new one: the bars always
    // count what the ring holds.
    t.binOut = binOf(t.old);
    if (t.binOut)
        bins_[size_t(t.binOut)] -= 1;
    t.binIn = binOf(t.v);
    if (t.binIn)
        bins_[size_t(t.binIn)] += 1;
    return t;
}

void Recorder::clear()
{
    ring_.fill(0);
    bins_.fill(0);
}

} // namespace meter

QString meter::sText(double v)
{
    const int u = std::clamp(int(std::lround(v)), 0, 21);
    if (u <= 9)
        return QStringLiteral("S%1").arg(u);
    return QStringLiteral("S9+%1").arg((u - 9) * 6);
}
