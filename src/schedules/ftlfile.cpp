#include "schedules/ftlfile.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "common/timetext.h"

#include <algorithm>
#include <cmath>

namespace ftl {

QString normalize(const QString &raw)
{
    QString s = raw.left(LineWidth);
    for (QChar &c : s)
        if (c.unicode() < 32 || c.unicode() == 127)
            c = QLatin1Char(' ');
    return s.leftJustified(LineWidth, QLatin1Char(' '));
}

LoadResult load(const QString &path, int capacity, Table *out)
{
    LoadResult r;
    QStringList raw;
    bool more = false;
    if (!textfile::readLinesLimited(path, qMax(0, capacity), &raw, &more, &r.error))
        return r;
    Table t;
    t.lines.reserve(raw.size());
    double last = -1;
    for (const QString &l : raw) {
        if (l.size() < 112)
            ++r.shortLines;
        t.lines.append(normalize(l));
        const double f = freqOf(t.lines.last());
        if (f < last)
            r.reordered = true;
        last = f;
    }
    if (r.reordered)
        std::stable_sort(t.lines.begin(), t.lines.end(), [](const QString &a, const QString &b) {
            return freqOf(a) < freqOf(b);
        });
    r.truncated = more;
    r.ok = true;
    *out = std::move(t);
    return r;
}

double freqOf(const QString &line)
{
    return fmt::val(line.left(8));
}

namespace {
// Four characters as a number through the lenient parser; "1e30" and the
// like are held to what four characters can say.
int lenient4(const QString &text)
{
    const double v = fmt::val(text);
    return std::isfinite(v) ? int(std::clamp(v, -999.0, 9999.0)) : 0;
}

// Four digits at pos as a number (the usual case, read without the lenient
// number parser); anything else through it.
int hhmmAt(const QString &line, int pos)
{
    if (line.size() >= pos + 4) {
        int v = 0;
        for (int i = pos; i < pos + 4; ++i) {
            const char16_t c = line.at(i).unicode();
            if (c < u'0' || c > u'9')
                return lenient4(line.mid(pos, 4));
            v = v * 10 + (c - u'0');
        }
        return v;
    }
    return lenient4(line.mid(pos, 4));
}
} // namespace

int startOf(const QString &line)
{
    return hhmmAt(line, 9);
}

int endOf(const QString &line)
{
    return hhmmAt(line, 14);
}

bool onAir(int start, int end, int t)
{
    return (start < end && start <= t && t <= end) || (start > end && (t >= start || t <= end));
}

int hhmmNumber(const QString &clockText)
{
    return int(fmt::val(timetext::hhmmOf(clockText)));
}

QString countText(int n)
{
    return fmt::blankNum(n);
}

QString loadNotes(const LoadResult &r, int kept, int dimIlg, const QString &name, const QString &finder)
{
    QStringList notes;
    if (r.truncated)
        notes << QStringLiteral("Only the first %1 lines were read: the setting \"DIM ILG\" (%2) "
                                "limits a list to %1 lines.")
                     .arg(kept)
                     .arg(qMax(1, dimIlg));
    if (r.reordered)
        notes << QStringLiteral("The lines of %1 were not in order of rising frequency; they "
                                "have been sorted so that %2 finds them.")
                     .arg(name, finder);
    return notes.join(QLatin1Char('\n'));
}

} // namespace ftl

#include <QDir>

namespace ftl {
QString dataDir(const QString &baseDir)
{
    const QStringList subs = QDir(baseDir).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &s : subs)
        if (s.compare(QLatin1String("Rx2Db"), Qt::CaseInsensitive) == 0)
            return baseDir + s + QLatin1Char('/');
    return baseDir + QStringLiteral("Rx2Db/");
}
} // namespace ftl
