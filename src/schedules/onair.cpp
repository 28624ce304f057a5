#include "schedules/onair.h"

#include "schedules/ftlfile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

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

constexpr int kDay = 1440, kWeek = 7 * kDay;

// hhmm as minutes of the day; an end of 2400 is the day's last minute, as
// the clock never shows 2400.
int minutesOf(int hhmm)
{
    hhmm = std::clamp(hhmm, 0, 2359);
    return hhmm / 100 * 60 + std::min(59, hhmm % 100);
}

// A day name of the schedule's day field: 0 Monday .. 6 Sunday, -1 none.
int dayNamed(QStringView s)
{
    static const char *const names[7] = {"mo", "tu", "we", "th", "fr", "sa", "su"};
    for (int d = 0; d < 7; ++d)
        if (s.compare(QLatin1String(names[d]), Qt::CaseInsensitive) == 0)
            return d;
    return -1;
}

// A day of a token: a name or one digit 1-7.
int dayOfToken(QStringView s)
{
    if (s.size() == 1 && s.at(0) >= u'1' && s.at(0) <= u'7')
        return s.at(0).unicode() - u'1';
    return dayNamed(s);
}

Entry entryOf(const QString &l, double f)
{
    return {f, l.mid(19, 22).simplified(), l.mid(51, 17).simplified(), l.mid(42, 8).simplified(),
            l.mid(9, 9).simplified()};
}

template <class OnAir>
QList<Entry> near(const QStringList &lines, double khz, double catchKhz, int max, OnAir onAir)
{
    QList<Entry> out;
    // The list is in rising frequency: start at the first line in the range.
    const auto first = std::lower_bound(lines.begin(), lines.end(), khz - catchKhz,
                                        [](const QString &l, double f) { return ftl::freqOf(l) < f; });
    for (auto it = first; it != lines.end(); ++it) {
        const double f = ftl::freqOf(*it);
        if (f > khz + catchKhz)
            break;
        if (onAir(*it))
            out.append(entryOf(*it, f));
    }
    std::stable_sort(out.begin(), out.end(), [khz](const Entry &a, const Entry &b) {
        return std::fabs(a.khz - khz) < std::fabs(b.khz - khz);
    });
    if (out.size() > max)
        out.resize(max);
    return out;
}
} // namespace

const QStringList &loadedLines() { return shelf().lines; }
QString loadedName() { return shelf().name; }
void setLoaded(const QStringList &lines, const QString &name)
{
    shelf().lines = lines;
    shelf().name = name;
}

Moment momentOf(const QDateTime &utc)
{
    const QTime t = utc.time();
    return {std::clamp(utc.date().dayOfWeek() - 1, 0, 6), t.hour() * 60 + t.minute()};
}

int daysOf(const QString &line)
{
    int days = 0;
    const int end = std::min<int>(int(line.size()), DaysColumn - 1 + DaysWidth);
    for (int i = DaysColumn - 1; i < end; ++i) {
        const char16_t c = line.at(i).unicode();
        if (c >= u'1' && c <= u'7')
            days |= 1 << (c - u'1');
    }
    return days;
}

QString dayDigits(const QString &field)
{
    int days = 0;
    static const QRegularExpression sep(QStringLiteral("[,/ ]+"));
    const QStringList tokens = field.split(sep, Qt::SkipEmptyParts);
    for (const QString &tok : tokens) {
        const QStringView t(tok);
        if (const qsizetype dash = t.indexOf(u'-'); dash > 0) {
            const int a = dayOfToken(t.left(dash)), b = dayOfToken(t.mid(dash + 1));
            if (a < 0 || b < 0)
                return QString();
            for (int d = a;; d = (d + 1) % 7) { // "Sa-Mo" runs over the week's end
                days |= 1 << d;
                if (d == b)
                    break;
            }
        } else if (const int d = dayNamed(t); d >= 0) {
            days |= 1 << d;
        } else if (std::all_of(t.begin(), t.end(), [](QChar c) { return c >= u'1' && c <= u'7'; })) {
            for (QChar c : t)
                days |= 1 << (c.unicode() - u'1');
        } else {
            return QString(); // "daily", "irr", "alt": no days read
        }
    }
    if (days == 0x7f)
        return QString();
    QString out;
    for (int d = 0; d < 7; ++d)
        if (days & (1 << d))
            out += QChar(u'1' + d);
    return out;
}

bool onAirWithin(int start, int end, int days, Moment m, int minutes)
{
    if (start == end)
        return false;
    const int s = minutesOf(start), e = minutesOf(end);
    const int len = start > end ? e + kDay - s : e - s;
    if (len < 0)
        return false;
    const int q0 = m.day * kDay + m.minute, q1 = q0 + std::max(0, minutes - 1);
    for (int d = 0; d < 7; ++d) {
        if (days && !(days & (1 << d)))
            continue;
        // The day's broadcast, and the same a week before and after (a
        // window over Sunday midnight meets Monday's).
        for (int k = -1; k <= 1; ++k) {
            const int a = d * kDay + s + k * kWeek;
            if (a <= q1 && a + len >= q0)
                return true;
        }
    }
    return false;
}

bool onAirWithin(const QString &line, Moment m, int minutes)
{
    return onAirWithin(ftl::startOf(line), ftl::endOf(line), daysOf(line), m, minutes);
}

QString whenCaption(When w)
{
    switch (w) {
    case When::Any: return QStringLiteral("Any time");
    case When::Now: return QStringLiteral("On air now");
    case When::Next1h: return QStringLiteral("Next 1 h");
    case When::Next3h: return QStringLiteral("Next 3 h");
    case When::Next6h: return QStringLiteral("Next 6 h");
    }
    return QString();
}

int whenMinutes(When w)
{
    switch (w) {
    case When::Next1h: return 60;
    case When::Next3h: return 180;
    case When::Next6h: return 360;
    default: return 0;
    }
}

bool passes(const QString &line, When w, Moment m)
{
    return w == When::Any || onAirWithin(line, m, whenMinutes(w));
}

QList<Entry> at(const QStringList &lines, double khz, int hhmm, double catchKhz, int max)
{
    return near(lines, khz, catchKhz, max, [hhmm](const QString &l) { return ftl::onAir(l, hhmm); });
}

QList<Entry> at(const QStringList &lines, double khz, Moment m, double catchKhz, int max)
{
    return near(lines, khz, catchKhz, max, [m](const QString &l) { return onAirWithin(l, m, 0); });
}

namespace {
QString khzText(double khz)
{
    QString t = QString::number(khz, 'f', 2);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t;
}
} // namespace

QString statusText(const QList<Entry> &now)
{
    if (now.isEmpty())
        return QString();
    const Entry &e = now.first();
    QStringList parts{e.station};
    if (!e.language.isEmpty())
        parts << e.language;
    if (!e.target.isEmpty())
        parts << QStringLiteral("to ") + e.target;
    parts << e.time;
    QString s = khzText(e.khz) + QStringLiteral(" kHz now: ") + parts.join(QStringLiteral(", "));
    if (now.size() > 1)
        s += QStringLiteral(" (%1 more)").arg(now.size() - 1);
    return s;
}

bool Lists::refresh(const QString &dir, int capacity)
{
    bool changed = false;
    if (dir != dir_) {
        files_.clear();
        dir_ = dir;
        changed = true;
    }
    const QFileInfoList found =
        QDir(dir).entryInfoList({QStringLiteral("*.ftl")}, QDir::Files | QDir::Readable, QDir::Name);
    QSet<QString> seen;
    for (const QFileInfo &fi : found) {
        const QString key = fi.fileName();
        seen.insert(key);
        File &f = files_[key];
        if (f.size == fi.size() && f.modified == fi.lastModified())
            continue;
        ftl::Table t;
        const ftl::LoadResult r = ftl::load(fi.filePath(), capacity, &t);
        ++reads_;
        f.lines = r.ok ? t.lines : QStringList();
        f.size = fi.size();
        f.modified = fi.lastModified();
        changed = true;
    }
    for (auto it = files_.begin(); it != files_.end();) {
        if (seen.contains(it.key())) {
            ++it;
        } else {
            it = files_.erase(it);
            changed = true;
        }
    }
    return changed;
}

QList<Entry> Lists::at(double khz, Moment m, double catchKhz, int max) const
{
    QList<Entry> all;
    QSet<QString> keys;
    for (auto it = files_.cbegin(); it != files_.cend(); ++it)
        for (const Entry &e : onair::at(it->lines, khz, m, catchKhz, max)) {
            const QString key = QString::number(e.khz, 'f', 2) + e.time + e.station;
            if (!keys.contains(key)) {
                keys.insert(key);
                all.append(e);
            }
        }
    std::stable_sort(all.begin(), all.end(), [khz](const Entry &a, const Entry &b) {
        return std::fabs(a.khz - khz) < std::fabs(b.khz - khz);
    });
    if (all.size() > max)
        all.resize(max);
    return all;
}

} // namespace onair
