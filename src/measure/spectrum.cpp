#include "measure/spectrum.h"

#include "common/fmt.h"
#include "link/limits.h"
#include "measure/meter.h"

#include <algorithm>
#include <cmath>

namespace spectrum {

int Limits::points() const
{
    if (step <= 0)
        return -1;
    const double p = (upper - lower) / step;
    return p > kMaxPoints + 5 ? kMaxPoints + 5 : int(p);
}

int Limits::delayMs() const
{
    float d = delay;
    if (d <= 0.5f)
        d = 0.5f;
    if (d >= 5.0f)
        d = 5.0f;
    return int(std::lround(double(d) * 1000.0));
}

std::optional<Limits> parseLimits(const QStringList &texts, bool loop, bool keepHighest)
{
    Limits l;
    QStringList t = texts;
    while (t.size() < 4)
        t << QString();
    for (QString &s : t)
        s.replace(QLatin1Char(','), QLatin1Char('.'));
    l.lowerText = t[0];
    l.upperText = t[1];
    l.stepText = t[2];
    l.delayText = t[3];
    l.lower = fmt::val(t[0]);
    l.upper = fmt::val(t[1]);
    l.step = fmt::val(t[2]);
    l.delay = float(fmt::val(t[3]));
    l.loop = loop;
    l.keepHighest = keepHighest;
    if (!(l.step > 0 && l.lower >= rxlimits::kMinKhz && l.upper > l.lower
          && l.upper <= rxlimits::kMaxKhz))
        return std::nullopt;
    if ((l.upper - l.lower) / l.step > kMaxPoints)
        return std::nullopt;
    return l;
}

float Scan::store(double v)
{
    if (index < 0 || index >= kData)
        return 0;
    float &d = data[size_t(index)];
    if (!lim.keepHighest || float(v) > d)
        d = float(v);
    return d;
}

bool Scan::advance()
{
    ++index;
    if (over() && lim.loop) {
        index = 0;
        return true;
    }
    return false;
}

bool Scan::canContinue() const
{
    return lim.step > 0 && (lim.upper - lim.lower) / lim.step - 2 > index;
}

int Scan::xOf(double khz) const
{
    const double span = lim.upper - lim.lower;
    if (span <= 0)
        return kLeft;
    // Limits read from a damaged file may put a point far outside the
    // picture: one pixel beyond either edge says "outside" just as well.
    const double x = std::floor((khz - lim.lower) * (kRight - kLeft) / span + kLeft + 1e-9);
    return int(std::clamp(x, double(kLeft - 1), double(kRight + 1)));
}

double Scan::freqAtClick(int x) const
{
    if (lim.step <= 0)
        return lim.lower;
    return std::floor((lim.upper - lim.lower) / lim.step * (x - kLeft) / (kRight - kLeft)) * lim.step
           + lim.lower;
}

double Scan::freqUnderPointer(int x) const
{
    if (lim.step <= 0)
        return lim.lower;
    return std::floor(double(x - kLeft) / (kRight - kLeft) * (lim.upper - lim.lower) / lim.step)
               * lim.step
           + lim.lower;
}

QString numText(double v)
{
    return fmt::blankNum(v);
}

QStringList sanLines(const QString &dateText, const Scan &s)
{
    QStringList out{dateText, s.lim.lowerText, s.lim.upperText, s.lim.stepText,
                    fmt::blankNum(s.index) + QLatin1Char(' ')};
    const int last = std::min(s.index, kData - 1);
    for (int i = 0; i <= last; ++i)
        out << fmt::zeros(std::floor(double(s.data[size_t(i)]) * 10.0 + 1e-6), 3);
    return out;
}

bool SanData::valid() const
{
    return step > 0 && lower >= rxlimits::kMinKhz && upper > lower && upper < 32016
           && (upper - lower) / step <= kMaxPoints;
}

SanData readSan(const QStringList &lines)
{
    SanData d;
    auto line = [&](int i) { return i < lines.size() ? lines.at(i) : QString(); };
    if (lines.size() < 5)
        d.problems << QStringLiteral("the file ends before its values");
    d.date = line(0);
    d.lower = fmt::val(line(1));
    d.upper = fmt::val(line(2));
    d.step = fmt::val(line(3));
    const double idx = fmt::val(line(4));
    if (idx < 0 || idx >= kData || idx != std::floor(idx)) {
        d.problems << QStringLiteral("the number of values is out of range");
        d.index = idx < 0 ? 0 : (idx >= kData ? kData - 1 : int(idx));
    } else {
        d.index = int(idx);
    }
    const int have = std::max(0, int(lines.size()) - 5);
    if (have < d.index + 1) {
        d.problems << QStringLiteral("values are missing");
        d.index = have - 1;
    }
    int bad = 0;
    for (int i = 0; i <= d.index; ++i) {
        double v = fmt::val(lines.at(5 + i)) / 10.0;
        // No reading is above the attenuator's clamp.
        const double top = 3.333 + 18.0;
        if (!(v >= 0 && v <= top)) {
            ++bad;
            v = v < 0 || std::isnan(v) ? 0 : top;
        }
        d.data[size_t(i)] = float(v);
    }
    if (bad)
        d.problems << QStringLiteral("%1 values out of range").arg(bad);
    if (d.index < 0)
        d.index = -1;
    return d;
}

QStringList csvLines(const Scan &s, int lastIndex)
{
    QStringList out{QStringLiteral("kHz,units")};
    const int last = std::min(lastIndex, kData - 1);
    for (int i = 0; i <= last; ++i)
        out << fmt::fixed(s.freqAt(i), 3) + QLatin1Char(',') + fmt::fixed(s.data[size_t(i)], 2);
    return out;
}

} // namespace spectrum

QString spectrum::Scan::pointerText(int x, int y) const
{
    if (lim.step <= 0 || lim.upper <= lim.lower || x < kLeft || x > kRight || y < kTop || y > kBottom)
        return QString();
    const double khz = lim.lower + (lim.upper - lim.lower) * (x - kLeft) / double(kRight - kLeft);
    const double units = double(kBottom - y) / kPixelsPerUnit;
    return QStringLiteral("%1 kHz  %2").arg(khz, 0, 'f', 3).arg(meter::sText(units));
}
