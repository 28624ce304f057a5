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

long long hzOf(const QString &text)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    return rxlimits::hzOf(fmt::val(t));
}

std::optional<int> channelOf(const QString &display)
{
    if (display.isEmpty())
        return std::nullopt;
    const double v = fmt::val(display);
    if (v < rxlimits::kFirstChannel || v > rxlimits::kLastChannel)
        return std::nullopt;
    return int(fmt::roundHalfAway(v));
}

long long spinTargetHz(std::optional<long long> fromHz, int stepHz, int dir)
{
    const long long hz = fromHz.value_or(rxlimits::kMinHz);
    return rxlimits::clampHz(dir < 0 ? hz - stepHz : hz + stepHz);
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
