#include "schedules/onair.h"

#include "schedules/ftlfile.h"

#include <algorithm>
#include <cmath>

namespace onair {
namespace {
struct Shelf {
    QStringList lines;
    QString name;
};
Shelf &shelf()
{
    static Shelf s;
    return s;
}
} // namespace

const QStringList &loadedLines() { return shelf().lines; }
QString loadedName() { return shelf().name; }
void setLoaded(const QStringList &lines, const QString &name)
{
    shelf().lines = lines;
    shelf().name = name;
}

QList<Entry> at(const QStringList &lines, double khz, int hhmm, double catchKhz, int max)
{
    QList<Entry> out;
    // The list is in rising frequency: start at the first line in the range.
    const auto first = std::lower_bound(lines.begin(), lines.end(), khz - catchKhz,
                                        [](const QString &l, double f) { return ftl::freqOf(l) < f; });
    for (auto it = first; it != lines.end(); ++it) {
        const double f = ftl::freqOf(*it);
        if (f > khz + catchKhz)
            break;
        if (!ftl::onAir(*it, hhmm))
            continue;
        out.append({f, it->mid(19, 22).simplified(), it->mid(51, 17).simplified(),
                    it->mid(42, 8).simplified(), it->mid(9, 9).simplified()});
    }
    std::stable_sort(out.begin(), out.end(), [khz](const Entry &a, const Entry &b) {
        return std::fabs(a.khz - khz) < std::fabs(b.khz - khz);
    });
    if (out.size() > max)
        out.resize(max);
    return out;
}

} // namespace onair
