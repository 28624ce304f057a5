#include "schedules/listfile.h"

#include "common/fmt.h"
#include "common/textfile.h"

namespace schedlist {

bool LineTable::append(const QString &line100)
{
    if (count() >= capacity_)
        return false;
    lines_.append(line100);
    return true;
}

QString normalizeLine(QStringView raw)
{
    QString out = textfile::cleanLine(raw.left(LineWidth));
    if (out.size() < LineWidth)
        out.append(QString(LineWidth - out.size(), QLatin1Char(' ')));
    return out;
}

QString resolveDitto(const QString &line, const QString &above)
{
    QString l = line;
    if (l.at(0) == QLatin1Char('.'))
        l = above.left(17) + l.mid(17);
    if (l.at(17) == QLatin1Char('.'))
        l = l.left(17) + above.mid(17, 18) + l.mid(35);
    return l;
}

FreqSlots freqFields(QStringView part)
{
    FreqSlots out;
    int n = 0;
    QString current;
    auto take = [&](QChar c) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('.')) {
            current.append(c);
        } else if (c == QLatin1Char(',')) {
            ++n;
            const double v = fmt::val(current);
            QString field = (v >= 10 && v <= 30000) ? current : QString();
            if (field.size() < 5)
                field = field.rightJustified(5, QLatin1Char(' '));
            out[n] = field;
            current.clear();
        }
        if (n > 7)
            n = 7;
    };
    for (QChar c : part)
        take(c);
    take(QLatin1Char(','));
    return out;
}

bool isSelectionTime(const QString &answer)
{
    if (answer.isEmpty() || answer.size() != 4)
        return false;
    const double v = fmt::val(answer);
    return v > 0 && v <= 2400;
}

bool isSelectionAll(const QString &answer)
{
    return answer.toLower() == QLatin1String("all");
}

bool onAirAt(const QString &line, const QString &t)
{
    const QStringView l(line);
    const QStringView start = l.mid(35, 4);
    const QStringView end = l.mid(40, 4);
    return start.compare(t) <= 0 && QStringView(t).compare(end) < 0;
}

const GridLayout &layoutOf(Kind k)
{
    static const GridLayout bdx = {
        11, 10, 3, 9, QStringLiteral("0041"),
        {1400, 1800, 1120, 620, 620, 620, 620, 620, 620, 620, 1},
        {16, 17, 9, 5, 5, 5, 5, 5, 5, 5, 0},
        // Columns 1-17 and 18-35 of the file: the station and the language
        // with its target area.
        {QStringLiteral("Station"), QStringLiteral("Language  Target"), QStringLiteral("UTC"),
         QStringLiteral("kHz"), QString(), QString(), QString(), QString(), QString(), QString(),
         QStringLiteral("Code")}};
    static const GridLayout own = {
        14, 13, 4, 10, QStringLiteral("0120"),
        {2200, 550, 550, 1000, 620, 620, 620, 620, 620, 620, 620, 1, 1, 1},
        {19, 3, 3, 9, 7, 7, 7, 7, 7, 7, 7, 0, 0, 0},
        {QStringLiteral("Station"), QStringLiteral("Lng"), QStringLiteral("Tgt"),
         QStringLiteral("UTC"), QStringLiteral("kHz"), QString(), QString(), QString(), QString(),
         QString(), QString(), QString(), QString(), QStringLiteral("Code")}};
    return k == Kind::Bdx ? bdx : own;
}

QString cellOf(Kind k, const QString &line, int column)
{
    if (k == Kind::Bdx) {
        switch (column) {
        case 0: return line.mid(0, 16);
        case 1: return line.mid(17, 17);
        case 2: return line.mid(35, 9);
        case 10: return QStringLiteral("0041");
        default:
            if (column >= 3 && column <= 9)
                return freqFields(QStringView(line).mid(48))[column - 2];
            return QString();
        }
    }
    switch (column) {
    case 0: return line.mid(0, 19);
    case 1: return line.mid(20, 3);
    case 2: return line.mid(24, 3);
    case 3: return line.mid(28, 9);
    case 12: return QString();
    case 13: return line.mid(38, 4);
    default:
        if (column >= 4 && column <= 11)
            return freqFields(QStringView(line).mid(50))[column - 3];
        return QString();
    }
}

QList<QString> rowOf(Kind k, const QString &line)
{
    const GridLayout &g = layoutOf(k);
    const FreqSlots f = freqFields(QStringView(line).mid(k == Kind::Bdx ? 48 : 50));
    QList<QString> cells;
    cells.reserve(g.columns);
    for (int c = 0; c < g.columns; ++c) {
        if (c >= g.firstFreq && c < g.firstFreq + (k == Kind::Bdx ? 7 : 8))
            cells.append(f[c - g.firstFreq + 1]);
        else
            cells.append(cellOf(k, line, c));
    }
    return cells;
}

QList<int> selectAll(const LineTable &t)
{
    QList<int> rows;
    rows.reserve(t.count());
    for (int i = 1; i <= t.count(); ++i)
        rows.append(i);
    return rows;
}

QList<int> selectTime(const LineTable &t, const QString &time)
{
    QList<int> rows;
    for (int i = 1; i <= t.count(); ++i)
        if (onAirAt(t.line(i), time))
            rows.append(i);
    return rows;
}

namespace {

ReadResult readInto(const QString &path, int capacity, bool ditto,
                    std::shared_ptr<const LineTable> *out)
{
    ReadResult r;
    if (capacity < 0)
        capacity = 0;
    auto table = std::make_shared<LineTable>(capacity);
    // Line by line: only the lines that fit are ever held, each cut to the
    // table's width as it is read.
    bool more = false;
    const bool ok = textfile::readEach(
        path, capacity,
        [&](const QString &text) {
            QString l = normalizeLine(text);
            // A ditto mark on the very first line has no line above: taken as is.
            if (ditto && table->count() > 0)
                l = resolveDitto(l, table->line(table->count()));
            return table->append(l);
        },
        &more, &r.error, LineWidth);
    if (!ok)
        return r;
    r.ok = true;
    r.linesRead = table->count();
    r.truncated = more;
    *out = std::move(table);
    return r;
}

} // namespace

} // namespace schedlist

namespace bdx2 {
schedlist::ReadResult read(const QString &path, int capacity,
                           std::shared_ptr<const schedlist::LineTable> *out)
{
    return schedlist::readInto(path, capacity, true, out);
}
} // namespace bdx2

namespace own2 {
schedlist::ReadResult read(const QString &path, int capacity,
                           std::shared_ptr<const schedlist::LineTable> *out)
{
    return schedlist::readInto(path, capacity, false, out);
}
} // namespace own2
