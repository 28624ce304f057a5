#include "schedules/tracking.h"

#include "common/fmt.h"
#include "schedules/ftlfile.h"

#include <cmath>

namespace track {

int lookup(const QStringList &lines, double khz)
{
    const int count = int(lines.size());
    if (count < 2)
        return 0;
    int lo = 1, hi = count;
    do {
        const int mid = int(fmt::roundHalfEven((lo + hi) / 2.0));
        const double f = ftl::freqOf(lines.at(mid - 1));
        if (f > khz)
            hi = mid;
        else
            lo = mid;
    } while (lo + 1 < hi);
    return lo;
}

Result build(const QStringList &lines, int p, double khz, double catchRange, bool hits, int t)
{
    Result res;
    const int count = int(lines.size());
    bool separator = false;
    int n = 0;
    for (int i = -250; i <= 250; ++i) {
        const int r = p + i;
        if (r < 1 || r > count)
            continue;
        const QString &line = lines.at(r - 1);
        const double f = ftl::freqOf(line);
        if (!(std::fabs(f - khz) < catchRange))
            continue;
        if (hits && !ftl::onAir(line, t))
            continue;
        if (!separator && f > khz) {
            separator = true;
            ++n;
            if (n <= MaxEntries)
                res.entries.append(QString::fromLatin1(Separator));
        }
        ++n;
        if (n > MaxEntries)
            n = MaxEntries;
        else
            res.entries.append(line);
    }
    return res;
}

QString entryAt(const Result &res, int page, int row)
{
    return res.entries.value(page * PageStep + row);
}

std::optional<double> positionValue(const QString &text)
{
    const QString s = text.trimmed();
    if (s.size() < 3)
        return std::nullopt;
    const QChar letter = s.at(s.size() - 1).toUpper();
    const double sign = (letter == QLatin1Char('S') || letter == QLatin1Char('W')) ? -1 : 1;
    const QString body = s.left(s.size() - 1);
    const double minutes = fmt::val(body.right(2));
    const double degrees = fmt::val(body.left(body.size() - 2));
    return (degrees + minutes / 60.0) * sign;
}

QString distanceText(const QString &rxLat, const QString &rxLon, const QString &txLat,
                     const QString &txLon)
{
    const auto p1 = positionValue(rxLat), l1 = positionValue(rxLon);
    const auto p2 = positionValue(txLat), l2 = positionValue(txLon);
    if (!p1 || !l1 || !p2 || !l2)
        return QString(12, QLatin1Char(' '));
    const double k = 0.0174533;
    double h = (*l2 - *l1) * k / 2;
    double d = (*p2 - *p1) * k / 2;
    const double m = (*p1 + *p2) * k / 2;
    if (d == 0)
        d = 0.00000001;
    if (h == 0)
        h = 0.00000001;
    const double a1 = std::atan(std::sin(d) / (std::tan(h) * std::cos(m)));
    const double a2 = std::atan(std::cos(d) / (std::tan(h) * std::sin(m)));
    const double c = 2 * std::atan(std::sin(a2) / std::sin(a1) * std::tan(d));
    const double km = c * (60 / k) * 1.854;
    double bearing = (a2 - a1) / k;
    if (bearing < 0)
        bearing += 360;
    return fmt::zeros(km, 5) + QStringLiteral(" km ") + fmt::zeros(bearing, 3);
}

Row rowOf(const QString &entry, Column col, bool hits, int t, const QString &rxLat,
          const QString &rxLon, const QString &areaCode, int areaIndex)
{
    Row row;
    row.text = entry;
    if (entry.isEmpty())
        return row;
    if (!entry.startsWith(QLatin1Char('='))) {
        QString line = entry.leftJustified(112, QLatin1Char(' '));
        if (col == Column::DisDir)
            line.replace(77, 12, distanceText(rxLat, rxLon, line.mid(77, 5), line.mid(83, 6)));
        else if (col == Column::Country)
            line.replace(77, 12, line.mid(100, 12));
        if (col != Column::LatLon)
            row.text = line;
    }
    if (ftl::freqOf(entry) > 10 && (hits || ftl::onAir(entry, t)))
        row.mark = Mark::Station;
    bool target = false;
    if (areaCode.size() == 2)
        for (int i = 0; i < 7 && !target; ++i)
            target = entry.mid(42 + i, 2) == areaCode;
    if (!target && areaIndex >= 0 && areaIndex < 9)
        target = entry.mid(90 + areaIndex, 1) == QLatin1String("1");
    if (target)
        row.mark = Mark::Target;
    return row;
}

} // namespace track
