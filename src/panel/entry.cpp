#include "panel/entry.h"

#include "common/fmt.h"
#include "link/limits.h"

#include <algorithm>
#include <cmath>

namespace panelentry {

QString keypadPress(const QString &display, const QString &key)
{
    if (key == QLatin1String("back"))
        return display.isEmpty() ? display : display.chopped(1);
    return display + key;
}

double khzOf(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return fmt::val(t);
}

bool frequencyAccepted(double khz) { return rxlimits::inRange(khz); }

std::optional<int> channelOf(const QString &display)
{
    if (display.isEmpty())
        return std::nullopt;
    const double v = fmt::val(display);
    if (v < rxlimits::kFirstChannel || v > rxlimits::kLastChannel)
        return std::nullopt;
    return int(fmt::roundHalfAway(v));
}

long long spinTargetHz(const QString &fieldText, int stepHz, int dir)
{
    const double raw = std::clamp(khzOf(fieldText) * 1000 + 0.49, -1e15, 1e15);
    const long long hz = (long long)std::floor(raw);
    if (dir < 0)
        return std::max(hz - stepHz, rxlimits::kMinHz);
    return std::min(hz + stepHz, rxlimits::kMaxHz);
}

int stepHzOf(const QString &cellText)
{
    if (cellText.trimmed().isEmpty())
        return 0;
    // The step texts are exact decimals; the tiny bias keeps 0.001 x 1000
    // from coming out as 0.999...
    return int(fmt::val(cellText) * 1000 + 1e-7);
}

} // namespace panelentry
