#include "schedules/ilgconvert.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <QDir>
#include <QSaveFile>

#include <cmath>

namespace ilg {

namespace {

const char *const kTextFields[] = {"STATION", "TARGET", "LANGUAGE", "POWER",
                                   "LATI",    "LONGI",  "COUNTRY"};

QString nullAsBlanks(const std::optional<QString> &v)
{
    return v ? *v : QStringLiteral("  ");
}

// Cut to width and pad with blanks.
QString fit(const QString &s, int width)
{
    return s.left(width).leftJustified(width, QLatin1Char(' '));
}

} // namespace

QStringList requiredFields(const QStringList &regionCodes)
{
    QStringList f{QStringLiteral("UTC"), QStringLiteral("FREQ")};
    for (const char *n : kTextFields)
        f << QString::fromLatin1(n);
    f << regionCodes;
    return f;
}

QStringList missingFields(const TableReader &t, const QStringList &regionCodes)
{
    QStringList missing;
    for (const QString &f : requiredFields(regionCodes))
        if (t.fieldIndex(f) < 0)
            missing << f;
    return missing;
}

Record readRecord(TableReader &t, int record, const QStringList &regionCodes)
{
    Record r;
    // Whatever the reader, a value holds no control character: a CR LF
    // would split the record into two lines of the list.
    auto read = [&](int field) {
        std::optional<QString> v = t.value(record, field);
        if (!t.error().isEmpty())
            r.readError = t.error();
        if (v)
            v = textfile::cleanLine(*v);
        return v;
    };
    auto get = [&](const char *name) { return read(t.fieldIndex(QLatin1String(name))); };
    r.utc = get("UTC");
    r.freq = get("FREQ");
    r.station = nullAsBlanks(get("STATION"));
    r.target = nullAsBlanks(get("TARGET"));
    r.language = nullAsBlanks(get("LANGUAGE"));
    r.power = nullAsBlanks(get("POWER"));
    r.lati = nullAsBlanks(get("LATI"));
    r.longi = nullAsBlanks(get("LONGI"));
    r.country = nullAsBlanks(get("COUNTRY"));
    for (const QString &code : regionCodes)
        r.areas << nullAsBlanks(read(t.fieldIndex(code)));
    return r;
}

bool usableUtc(const std::optional<QString> &utc)
{
    return utc && !utc->isEmpty() && utc->at(0) >= QLatin1Char('0') &&
           utc->at(0) <= QLatin1Char('9');
}

std::optional<double> freqOf(const std::optional<QString> &freq)
{
    if (!freq)
        return std::nullopt;
    QString s = freq->trimmed();
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v >= 100000)
        return std::nullopt;
    return v;
}

QString ftlLine(const Record &r, double khz, const QStringList &regionCodes)
{
    QString line;
    line.reserve(FtlWidth);
    line += fmt::zeroFixed(khz, 5, 2);
    line += QLatin1Char(' ');
    line += fit(r.utc.value_or(QString()), 9);
    const std::pair<const QString *, int> fields[] = {
        {&r.station, 22}, {&r.target, 8}, {&r.language, 17}, {&r.power, 7},
        {&r.lati, 5},     {&r.longi, 6}};
    for (const auto &[text, width] : fields) {
        line += QLatin1Char(' ');
        line += fit(*text, width);
    }
    QString flags(9, QLatin1Char('0'));
    for (int k = 0; k < regionCodes.size() && k < 9; ++k)
        if (r.areas.value(k).trimmed() == regionCodes.at(k))
            flags[k] = QLatin1Char('1');
    line += QLatin1Char(' ');
    line += flags;
    line += QLatin1Char(' ');
    line += fit(r.country, 12);
    return line;
}

QString ftlName(const QString &table)
{
    return table + QStringLiteral(".ftl");
}

QString tableFile(const QString &dir, const QString &table)
{
    const QString want = table + QStringLiteral(".dbf");
    const QStringList files = QDir(dir).entryList(QDir::Files);
    for (const QString &f : files)
        if (f.compare(want, Qt::CaseInsensitive) == 0)
            return QDir(dir).filePath(f);
    return QString();
}

std::unique_ptr<DbfTable> openTable(const QString &dir, const QString &table,
                                    const QStringList &regionCodes, QString *reason)
{
    const QString file = tableFile(dir, table);
    if (file.isEmpty()) {
        *reason = QStringLiteral("%1 holds no %2.dbf.").arg(QDir::toNativeSeparators(dir), table);
        return nullptr;
    }
    std::unique_ptr<DbfTable> t = DbfTable::open(file, reason);
    if (!t)
        return nullptr;
    const QStringList missing = missingFields(*t, regionCodes);
    if (!missing.isEmpty()) {
        *reason = QStringLiteral("%1 lacks the field(s) %2.")
                      .arg(QDir::toNativeSeparators(file), missing.join(QStringLiteral(", ")));
        return nullptr;
    }
    return t;
}

Result convert(TableReader &t, const QString &tableName, const QString &outPath,
               const QStringList &regionCodes, const Progress &progress)
{
    Result res;
    const QString shownOut = QDir::toNativeSeparators(outPath);
    const QStringList missing = missingFields(t, regionCodes);
    if (!missing.isEmpty()) {
        res.error = QStringLiteral("%1 cannot be converted: it has no field %2.")
                        .arg(tableName, missing.join(QStringLiteral(", ")));
        return res;
    }
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly)) {
        res.error = QStringLiteral("%1 could not be written: %2").arg(shownOut, out.errorString());
        return res;
    }
    QList<int> unreadable;
    const int n = t.recordCount();
    for (int i = 0; i < n; ++i) {
        QString line;
        if (!t.deleted(i)) {
            const Record r = readRecord(t, i, regionCodes);
            if (!r.readError.isEmpty()) {
                ++res.unreadable;
                if (unreadable.size() < 20)
                    unreadable << i + 1;
            } else if (usableUtc(r.utc)) {
                const std::optional<double> f = freqOf(r.freq);
                if (!f) {
                    ++res.badFreq;
                    if (res.badFreqRecords.size() < 20)
                        res.badFreqRecords << i + 1;
                } else {
                    line = ftlLine(r, *f, regionCodes);
                    ++res.converted;
                    out.write(line.toUtf8());
                    out.write("\r\n", 2);
                }
            }
        }
        if (progress && progress(res.converted, line)) {
            res.stopped = true;
            break;
        }
    }
    if (!out.commit()) {
        res.converted = 0;
        res.error = QStringLiteral("%1 could not be written: %2").arg(shownOut, out.errorString());
        return res;
    }
    res.ok = true;

    auto numbers = [](const QList<int> &l, int total) {
        QStringList s;
        for (int v : l)
            s << QString::number(v);
        return s.join(QStringLiteral(", ")) + (total > l.size() ? QStringLiteral(", ...") : QString());
    };
    QStringList w;
    if (res.badFreq > 0)
        w << QStringLiteral("%1 record(s) of %2 have no usable frequency (FREQ empty or not a "
                            "number) and were left out: record %3.")
                 .arg(res.badFreq)
                 .arg(tableName, numbers(res.badFreqRecords, res.badFreq));
    if (res.unreadable > 0)
        w << QStringLiteral("%1 record(s) of %2 could not be read and were left out: record %3.")
                 .arg(res.unreadable)
                 .arg(tableName, numbers(unreadable, res.unreadable));
    if (auto *dbf = dynamic_cast<DbfTable *>(&t); dbf && dbf->announced() > dbf->recordCount())
        w << QStringLiteral("%1 is damaged: its header announces %2 records but the file holds "
                            "only %3 complete ones. Those were converted.")
                 .arg(QDir::toNativeSeparators(dbf->path()))
                 .arg(dbf->announced())
                 .arg(dbf->recordCount());
    res.warning = w.join(QLatin1Char('\n'));
    return res;
}

} // namespace ilg
