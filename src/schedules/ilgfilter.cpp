#include "schedules/ilgfilter.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <QDir>
#include <QFileInfo>

namespace ilgfilter {

Choices parse(const QStringList &lines)
{
    Choices c;
    int section = -1;
    for (const QString &l : lines) {
        if (l.startsWith(QLatin1String("***"))) {
            ++section;
            if (section >= Sections)
                ++c.extraSections;
            continue;
        }
        if (l.startsWith(QLatin1String("===")))
            continue;
        if (section < 0) {
            ++c.strayLines;
            continue;
        }
        if (section < Sections)
            c.combo[section].append(l);
    }
    return c;
}

QStringList defaultLines()
{
    return {
        QStringLiteral("=== Choices of the Db2Rx filters, one per line."),
        QStringLiteral("=== A line starting with *** begins the next box, a line starting with === is a comment."),
        QStringLiteral("*** Frequency from (MHz)"),
        QStringLiteral("0.15"), QStringLiteral("0.53"), QStringLiteral("2.3"), QStringLiteral("3.2"),
        QStringLiteral("3.9"), QStringLiteral("4.75"), QStringLiteral("5.9"), QStringLiteral("7.2"),
        QStringLiteral("9.4"), QStringLiteral("11.6"), QStringLiteral("13.57"), QStringLiteral("15.1"),
        QStringLiteral("17.48"), QStringLiteral("21.45"), QStringLiteral("25.67"),
        QStringLiteral("*** Frequency to (MHz)"),
        QStringLiteral("0.3"), QStringLiteral("1.7"), QStringLiteral("2.5"), QStringLiteral("3.4"),
        QStringLiteral("4.0"), QStringLiteral("5.06"), QStringLiteral("6.2"), QStringLiteral("7.6"),
        QStringLiteral("9.9"), QStringLiteral("12.1"), QStringLiteral("13.87"), QStringLiteral("15.8"),
        QStringLiteral("17.9"), QStringLiteral("21.85"), QStringLiteral("26.1"),
        QStringLiteral("*** Language"),
        QStringLiteral("ARA"), QStringLiteral("CHI"), QStringLiteral("ENG"), QStringLiteral("FRE"),
        QStringLiteral("GER"), QStringLiteral("POR"), QStringLiteral("RUS"), QStringLiteral("SPA"),
        QStringLiteral("*** Station"),
        QStringLiteral("*** TX Country"),
        QStringLiteral("*** Target area"),
        QStringLiteral("NA"), QStringLiteral("CA"), QStringLiteral("SA"), QStringLiteral("EU"),
        QStringLiteral("AF"), QStringLiteral("ME"), QStringLiteral("AS"), QStringLiteral("AU"),
        QStringLiteral("PA"),
    };
}

bool readOrCreate(const QString &baseDir, Choices *out, QString *error, bool *created)
{
    *out = Choices();
    if (created)
        *created = false;
    const QString path = baseDir + QLatin1String(FileName);
    if (!QFileInfo::exists(path)) {
        QString werr;
        if (!textfile::writeLines(path, defaultLines(), &werr)) {
            *error = QStringLiteral("%1 does not exist and could not be created: %2\n"
                                    "The filter choices stay empty.")
                         .arg(QDir::toNativeSeparators(path), werr);
            *out = parse(defaultLines());
            return false;
        }
        if (created)
            *created = true;
    }
    QStringList lines;
    if (!textfile::readLines(path, &lines, error))
        return false;
    *out = parse(lines);
    return true;
}

bool prefixMatch(const QString &line, int col, const QString &text)
{
    return line.mid(col - 1, text.size()).toUpper() == text.toUpper();
}

QList<int> search(const QStringList &lines, const Criteria &c, int t,
                  const QStringList &regionCodes, const Progress &progress)
{
    QList<int> hits;
    const int n = int(lines.size());
    QString fromText = c.text[0], toText = c.text[1];
    if (!c.on[0] || fromText.isEmpty())
        fromText = QStringLiteral("0");
    if (!c.on[0] || toText.isEmpty())
        toText = QStringLiteral("32");
    double from = fmt::val(fromText), to = fmt::val(toText);
    if (from > to)
        std::swap(from, to);
    const double lo = from * 1000, hi = to * 1000;
    auto khz = [&](int i) { return fmt::val(lines.at(i).left(5)); };
    // Progress: the two walks share the first 20 %, the filtering the rest.
    auto tell = [&](int pct) {
        if (progress)
            progress(qBound(0, pct, 100));
    };

    int first = 0;
    while (first < n && khz(first) < lo) {
        if (first % 1000 == 0 && n > 0)
            tell(first * 10 / n);
        ++first;
    }
    int last = n - 1;
    while (last >= 0 && khz(last) > hi) {
        if ((n - 1 - last) % 1000 == 0 && n > 0)
            tell(10 + (n - 1 - last) * 10 / n);
        --last;
    }

    int area = -1;
    if (c.on[5])
        for (int k = 0; k < regionCodes.size() && k < 9; ++k)
            if (regionCodes.at(k).toUpper() == c.text[5].toUpper())
                area = k;

    const int span = qMax(1, last - first + 1);
    for (int i = first; i <= last; ++i) {
        if ((i - first) % 1000 == 0)
            tell(20 + (i - first) * 80 / span);
        const QString &l = lines.at(i);
        if (c.on[1] && !prefixMatch(l, 52, c.text[2]))
            continue;
        if (c.on[2] && !prefixMatch(l, 20, c.text[3]))
            continue;
        if (c.on[3] && !prefixMatch(l, 101, c.text[4]))
            continue;
        if (c.on[4] && !ftl::onAir(l, t))
            continue;
        if (c.on[5] && (area < 0 || l.mid(90 + area, 1) != QLatin1String("1")))
            continue;
        if (!onair::passes(l, c.when, c.at))
            continue;
        hits.append(i);
    }
    tell(100);
    return hits;
}

QString shownText(int shown, int total, onair::When when, const QDateTime &utc)
{
    QString s = QStringLiteral("%1 of %2 shown").arg(shown).arg(total);
    if (when != onair::When::Any)
        s += QStringLiteral(" (%1%2 %3 UTC)")
                 .arg(onair::whenCaption(when), when == onair::When::Now ? QStringLiteral(",") : QStringLiteral(" from"),
                      utc.toString(QStringLiteral("ddd HH:mm")));
    return s;
}

QString entryOf(const QString &line)
{
    return line.left(77) + line.mid(100);
}

} // namespace ilgfilter
