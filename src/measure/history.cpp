#include "measure/history.h"

#include <algorithm>

namespace history {

int binOf(double v)
{
    for (int i = 1; i <= kBins; ++i)
        if (i - 0.5 <= v && v < i + 0.5)
            return i;
    return 0;
}

void History::start()
{
    ring_.fill(0);
    rolling_.fill(0);
    minute_.fill(0);
    cumulative_.fill(0);
    previous_ = 9;
    halfLo_ = 21;
    halfHi_ = 0;
    lowest_ = 21;
    highest_ = 0;
}

TickOut History::tick(int mm, int ss, double v)
{
    TickOut out;
    const float f = float(v);
    out.previous = previous_;
    ss = std::clamp(ss, 0, 59);

    const float old = ring_[size_t(ss)];
    ring_[size_t(ss)] = f;
    const int bOut = binOf(old), bIn = binOf(f);
    if (bOut)
        rolling_[size_t(bOut)] -= 1;
    if (bIn)
        rolling_[size_t(bIn)] += 1;
    if (bOut && bOut != bIn)
        out.rollingChanged << bOut;
    if (bIn)
        out.rollingChanged << bIn;

    if (bIn)
        minute_[size_t(bIn)] += 1;
    if (ss == 59) {
        out.minuteClose = true;
        for (int i = 1; i <= kBins; ++i) {
            cumulative_[size_t(i)] += minute_[size_t(i)];
            out.maxCumulative = std::max(out.maxCumulative, cumulative_[size_t(i)]);
        }
        minute_.fill(0);
    }

    if (f > highest_) {
        out.oldHighest = highest_;
        highest_ = f;
    }
    if (f < lowest_) {
        out.oldLowest = lowest_;
        lowest_ = f;
    }
    halfLo_ = std::min(halfLo_, f);
    halfHi_ = std::max(halfHi_, f);
    if (ss == 16 || ss == 46) {
        out.halfClose = true;
        out.halfLo = halfLo_;
        out.halfHi = halfHi_;
        halfLo_ = 21;
        halfHi_ = 0;
    }
    out.clearHourFirst = mm == 59 && ss == 51;
    previous_ = f;
    return out;
}

} // namespace history
