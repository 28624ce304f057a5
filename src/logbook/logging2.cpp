#include "logbook/logging2.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "link/limits.h"
#include "settings/settings.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace logging2 {

namespace {

// First column (1-based) of each field in a LOG line.
constexpr std::array<int, kFields> kColumn = [] {
    std::array<int, kFields> c{};
    int col = 5;
    for (int k = 0; k < kFields; ++k) {
        c[k] = col;
        col += kWidth[k] + 1;
    }
    return c;
}();

const QString kOrders[5] = {QStringLiteral("01365"), QStringLiteral("10365"), QStringLiteral("30165"),
                            QStringLiteral("60135"), QStringLiteral("50136")};

QChar clean(QChar c)
{
    return (c.unicode() < 0x20 || c.unicode() == 0x7F) ? QLatin1Char(' ') : c;
}

// One spelling for one file, so that two names of it compare equal.
QString fileKey(const QString &path)
{
    const QFileInfo fi(path);
    const QString c = fi.canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(fi.absoluteFilePath()) : c;
}

bool isTime(const QString &t)
{
    if (t.size() != 4)
        return false;
    for (QChar c : t)
        if (!c.isDigit() || c.unicode() > '9')
            return false;
    return t.left(2).toInt() < 24 && t.mid(2).toInt() < 60;
}

} // namespace

const QStringList &fieldCaptions()
{
    static const QStringList c = {
        QStringLiteral("Date"), QStringLiteral("Begin Time"), QStringLiteral("End Time"),
        QStringLiteral("Frequency"), QStringLiteral("SINPO"), QStringLiteral("Language"),
        QStringLiteral("BC Org."), QStringLiteral("Tx Location"), QStringLiteral("// Freq 1"),
        QStringLiteral("// Freq 2"), QStringLiteral("// Freq 3"), QStringLiteral("// Freq 4"),
        QStringLiteral("Remarks"), QStringLiteral("abmg"), QStringLiteral("pqrs")};
    return c;
}

int columnOf(int field)
{
    return kColumn.at(field);
}

QString recordNumber(int index)
{
    return QString::number(1000 + index).right(3);
}

QString logFileName(const QString &typed)
{
    QString name = typed.trimmed();
    if (name.isEmpty())
        return name;
    if (!name.startsWith(QLatin1String("LOG_"), Qt::CaseInsensitive))
        name.prepend(QLatin1String("LOG_"));
    if (!name.endsWith(QLatin1String(".TXT"), Qt::CaseInsensitive))
        name.append(QLatin1String(".TXT"));
    return name;
}

QString logNameRule(const QString &typed)
{
    const QString name = typed.trimmed();
    return QStringLiteral("Log file names start with LOG_ and end with .TXT; both are added when "
                          "missing.\nBetween them go at most 12 characters, without / or \\.\n") +
           (name.isEmpty() ? QStringLiteral("Type a name for the log.")
                           : QStringLiteral("\"%1\" does not fit.").arg(name));
}

QString formatLine(int index, const Record &r)
{
    QString line;
    line.reserve(kLineLength);
    line += recordNumber(index);
    line += QLatin1Char(' ');
    for (int k = 0; k < kFields; ++k) {
        const QString &f = r[k];
        for (int i = 0; i < kWidth[k]; ++i)
            line += i < f.size() ? clean(f.at(i)) : QLatin1Char(' ');
        line += QLatin1Char(' ');
    }
    return line;
}

Record parseLine(QStringView line)
{
    Record r;
    for (int k = 0; k < kFields; ++k) {
        const int from = kColumn[k] - 1;
        if (from >= line.size())
            break;
        QString f = line.mid(from, std::min<qsizetype>(kWidth[k], line.size() - from)).toString();
        for (QChar &c : f)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                c = QLatin1Char(' ');
        r[k] = std::move(f);
    }
    return r;
}

const QString &sortOrder(int choice)
{
    return kOrders[std::clamp(choice, 0, 4)];
}

QString sortKey(const Record &r, int choice)
{
    QString key;
    for (QChar c : sortOrder(choice))
        key += r[c.unicode() - '0'];
    return key.toUpper();
}

QList<int> shownFields(const QString &format)
{
    QList<int> out;
    for (int k = 0; k < kFields && k < format.size(); ++k)
        if (format.at(k) == QLatin1Char('1'))
            out << k;
    return out;
}

QString formatLength(const QString &format)
{
    int sum = 0;
    for (int k : shownFields(format))
        sum += kWidth[k] + 1;
    return recordNumber(sum);
}

QString tuningCode(const Record &r)
{
    const QString c = r[Abmg].trimmed();
    return c.isEmpty() ? QString::fromLatin1(kDefaultCode) : c;
}

bool isTuneField(int field)
{
    if (field < 0 || field >= kFields)
        return false;
    const int tw = kTwips[field + 1];
    return tw == 1080 || tw == 600;
}

QString storeTime(const QString &typed)
{
    if (typed.isEmpty())
        return typed;
    double v = fmt::val(typed);
    if (!std::isfinite(v) || std::fabs(v) > 1e9)
        v = 0;
    return fmt::zeros(v, 4);
}

QString storeFrequency(const QString &typed)
{
    if (typed.isEmpty())
        return QStringLiteral("00000");
    QString t = typed;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    double x = fmt::val(t);
    if (!std::isfinite(x) || std::fabs(x) > 999999999.0)
        x = 0;
    if (x == std::floor(x))
        return fmt::zeros(x, 5);
    QString s = fmt::zeroFixed(x, 5, 3);
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    return s;
}

Record storeRecord(const Record &typed)
{
    Record r = typed;
    r[BeginTime] = storeTime(typed[BeginTime]);
    r[EndTime] = storeTime(typed[EndTime]);
    r[Frequency] = storeFrequency(typed[Frequency]);
    return r;
}

int checkRecord(const Record &typed, QString *why)
{
    auto fail = [&](int k, const QString &text) {
        if (why)
            *why = text;
        return k;
    };
    const QString date = typed[Date].trimmed();
    if (!date.isEmpty() && !(date.size() == 8 && QDate::fromString(date, QStringLiteral("yyyyMMdd")).isValid()))
        return fail(Date, QStringLiteral("\"%1\" is not a date (yyyymmdd).").arg(date));
    for (int k : {int(BeginTime), int(EndTime)}) {
        const QString t = typed[k].trimmed();
        if (!t.isEmpty() && !isTime(storeTime(t)))
            return fail(k, QStringLiteral("\"%1\" is not a time (hhmm).").arg(t));
        // "12:30" would be stored as 0012: only digits are a time.
        for (QChar c : t)
            if (!c.isDigit() || c.unicode() > '9')
                return fail(k, QStringLiteral("\"%1\" is not a time (hhmm).").arg(t));
    }
    const QString f = typed[Frequency].trimmed();
    if (!f.isEmpty()) {
        QString t = f;
        t.replace(QLatin1Char(','), QLatin1Char('.'));
        bool ok = false;
        const double x = t.toDouble(&ok);
        if (!ok || !rxlimits::inRange(x))
            return fail(Frequency,
                        QStringLiteral("\"%1\" is not a frequency from %2 to %3 kHz.")
                            .arg(f, fmt::blankNum(rxlimits::kMinKhz).trimmed(),
                                 fmt::fixed(rxlimits::kMaxKhz, 3)));
    }
    return -1;
}

// ---------------------------------------------------------------------------

int LogBook::capacityFor(const Settings &s)
{
    return std::max(1, s.dim(2)) * 1000 + 1;
}

void LogBook::create(int capacity)
{
    records_.clear();
    capacity_ = std::max(0, capacity);
    hasTable_ = true;
}

void LogBook::discard()
{
    records_.clear();
    records_.squeeze();
    partialPath_.clear();
    unread_ = 0;
    hasTable_ = false;
    capacity_ = 0;
    selected = -1;
    addMode = false;
    notSaved = false;
}

bool LogBook::append(const Record &r)
{
    if (!hasTable_ || full())
        return false;
    records_.append(r);
    return true;
}

void LogBook::remove(int i)
{
    if (i >= 0 && i < records_.size())
        records_.removeAt(i);
}

void LogBook::sort()
{
    // Fewer than three records stay as they are (last index below 2).
    if (last() < 2)
        return;
    // The keys are made once; positions are sorted by key and the records
    // put in their new order at the end. Records with equal keys keep the
    // order they had.
    std::vector<QString> keys(records_.size());
    for (int i = 0; i < records_.size(); ++i)
        keys[i] = sortKey(records_[i], sortChoice);
    std::vector<int> pos(records_.size());
    std::iota(pos.begin(), pos.end(), 0);
    std::stable_sort(pos.begin(), pos.end(), [&](int a, int b) {
        return QString::compare(keys[a], keys[b], Qt::CaseSensitive) < 0;
    });
    QList<Record> sorted;
    sorted.reserve(records_.size());
    for (int p : pos)
        sorted.append(std::move(records_[p]));
    records_ = std::move(sorted);
}

LogBook::ReadResult LogBook::read(const QString &path, int capacity)
{
    ReadResult r;
    QList<Record> recs;
    int extra = 0;
    capacity = std::max(0, capacity);
    // The lines past the table are counted (one at a time, none kept) so
    // that the user can be told, and a save cannot silently drop them.
    if (!textfile::readEach(
            path, -1,
            [&](const QString &l) {
                if (recs.size() < capacity)
                    recs.append(parseLine(l));
                else if (extra < INT_MAX)
                    ++extra;
                return true;
            },
            nullptr, &r.error))
        return r;
    create(capacity);
    records_ = std::move(recs);
    partialPath_ = extra > 0 ? fileKey(path) : QString();
    unread_ = extra;
    r.ok = true;
    r.read = count();
    r.truncated = extra > 0;
    r.unread = extra;
    selected = -1;
    addMode = false;
    notSaved = true;
    return r;
}

QStringList LogBook::lines() const
{
    QStringList out;
    out.reserve(records_.size());
    for (int i = 0; i < records_.size(); ++i)
        out << formatLine(i, records_[i]);
    return out;
}

bool LogBook::partlyLoaded(const QString &path) const
{
    return !partialPath_.isEmpty() && fileKey(path) == partialPath_;
}

QString LogBook::partlyLoadedMessage() const
{
    return QStringLiteral("%1 was loaded only in part: %2 of its records were not loaded "
                          "(the log holds at most %3).\n"
                          "Saving over it would delete them, so it was not replaced.\n"
                          "Use SaveAs to save the log under a new name, or raise \"DIM LOG\" "
                          "in the set-up and load the file again.")
        .arg(QDir::toNativeSeparators(partialPath_))
        .arg(unread_)
        .arg(capacity_);
}

bool LogBook::save(const QString &path, QString *error)
{
    if (partlyLoaded(path)) {
        if (error)
            *error = partlyLoadedMessage();
        return false;
    }
    if (sortChoice != 0) {
        sortChoice = 0;
        sort();
    }
    if (!textfile::writeLines(path, lines(), error))
        return false;
    notSaved = false;
    return true;
}

} // namespace logging2
