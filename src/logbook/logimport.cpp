#include "logbook/logimport.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <algorithm>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <cmath>

namespace logimport {

using logging2::Record;

namespace {

const char *const kAppNames[logging2::kFields] = {
    "DATE",       "TIME_ON",    "TIME_OFF",   "FREQ",       "SINPO",   "LANGUAGE",
    "BC_ORG",     "TX_LOCATION", "PAR_FREQ_1", "PAR_FREQ_2", "PAR_FREQ_3", "PAR_FREQ_4",
    "REMARKS",    "SETTINGS_ABMG", "SETTINGS_PQRS"};

// Longest tag name looked at ("<" name ":" length ":" type ">").
constexpr int kMaxTag = 128;

QString clean(const QString &v)
{
    return textfile::cleanLine(v).trimmed();
}

bool isDigits(const QString &s)
{
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return !s.isEmpty();
}

// "hhmm" of an ADIF time (hhmm or hhmmss), empty when it is not one.
QString timeOf(const QString &t)
{
    if (!isDigits(t) || (t.size() != 4 && t.size() != 6))
        return {};
    if (t.left(2).toInt() > 23 || t.mid(2, 2).toInt() > 59 || (t.size() == 6 && t.mid(4).toInt() > 59))
        return {};
    return t.left(4);
}

} // namespace

QString appFieldName(int field)
{
    return field >= 0 && field < logging2::kFields ? QLatin1String(kAppNames[field]) : QString();
}

bool parseAdi(const QByteArray &b, QList<RawRecord> *out, QString *error)
{
    out->clear();
    qsizetype pos = 0;
    while (pos < b.size() && (b.at(pos) == ' ' || b.at(pos) == '\r' || b.at(pos) == '\n' || b.at(pos) == '\t'))
        ++pos;
    if (pos < b.size() && b.at(pos) != '<') {
        // A header: free text up to <EOH>.
        const qsizetype eoh = b.toLower().indexOf("<eoh>");
        if (eoh < 0) {
            *error = QStringLiteral("it has no end of header (<EOH>) and does not begin with a field");
            return false;
        }
        pos = eoh + 5;
    }
    RawRecord cur;
    int no = 0;
    bool any = false;
    auto close = [&](const QString &problem) {
        cur.no = ++no;
        cur.problem = problem;
        out->append(cur);
        cur = RawRecord();
        any = false;
    };
    while (pos < b.size()) {
        const qsizetype lt = b.indexOf('<', pos);
        if (lt < 0)
            break;
        // The tag: name, optional length and type.
        qsizetype gt = -1;
        for (qsizetype i = lt + 1; i < b.size() && i <= lt + kMaxTag; ++i)
            if (b.at(i) == '>' || b.at(i) == '<') {
                gt = b.at(i) == '>' ? i : -1;
                break;
            }
        if (gt < 0) { // not a tag: a "<" in free text
            pos = lt + 1;
            continue;
        }
        const QByteArray tag = b.mid(lt + 1, gt - lt - 1);
        const QList<QByteArray> parts = tag.split(':');
        const QString name = QString::fromLatin1(parts.at(0).trimmed()).toUpper();
        pos = gt + 1;
        if (parts.size() == 1) {
            if (name == QLatin1String("EOR"))
                close(QString());
            else if (name == QLatin1String("EOH")) {
                // a second header end: what came before was no record
                cur = RawRecord();
                any = false;
            }
            continue;
        }
        const QByteArray lenText = parts.at(1).trimmed();
        qint64 len = 0;
        bool digits = !lenText.isEmpty();
        for (char c : lenText) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            len = std::min<qint64>(len * 10 + (c - '0'), qint64(1) << 40);
        }
        if (!digits || name.isEmpty())
            continue; // not a field
        const qint64 left = b.size() - pos;
        if (len > left) {
            cur.fields.insert(name, clean(textfile::decode(b.mid(pos))));
            any = true;
            pos = b.size();
            close(QStringLiteral("its field %1 says %2 characters, but the file ends after %3")
                      .arg(name)
                      .arg(len)
                      .arg(left));
            break;
        }
        cur.fields.insert(name, clean(textfile::decode(b.mid(pos, qsizetype(len)))));
        any = true;
        pos += qsizetype(len);
    }
    if (any)
        close(QStringLiteral("the file ends inside it (no <EOR>)"));
    return true;
}

bool parseAdx(const QByteArray &bytes, QList<RawRecord> *out, QString *error)
{
    out->clear();
    QXmlStreamReader x(bytes);
    int no = 0;
    int depth = 0;
    bool inRecords = false;
    RawRecord cur;
    bool inRecord = false;
    while (!x.atEnd()) {
        const QXmlStreamReader::TokenType t = x.readNext();
        if (t == QXmlStreamReader::StartElement) {
            ++depth;
            const QString name = x.name().toString().toUpper();
            if (!inRecord && name == QLatin1String("RECORDS")) {
                inRecords = true;
            } else if (inRecords && !inRecord && name == QLatin1String("RECORD")) {
                inRecord = true;
                cur = RawRecord();
            } else if (inRecord) {
                QString key = name;
                if (name == QLatin1String("APP"))
                    key = QStringLiteral("APP_%1_%2")
                              .arg(x.attributes().value(QLatin1String("PROGRAMID")).toString().toUpper(),
                                   x.attributes().value(QLatin1String("FIELDNAME")).toString().toUpper());
                else if (name == QLatin1String("USERDEF"))
                    key = QStringLiteral("USERDEF_") +
                          x.attributes().value(QLatin1String("FIELDNAME")).toString().toUpper();
                const QString v = x.readElementText(QXmlStreamReader::IncludeChildElements);
                --depth;
                if (x.hasError())
                    break;
                cur.fields.insert(key, clean(v));
            }
        } else if (t == QXmlStreamReader::EndElement) {
            --depth;
            const QString name = x.name().toString().toUpper();
            if (inRecord && name == QLatin1String("RECORD")) {
                cur.no = ++no;
                out->append(cur);
                inRecord = false;
            } else if (name == QLatin1String("RECORDS")) {
                inRecords = false;
            }
        }
    }
    if (x.hasError()) {
        *error = QStringLiteral("its XML is broken at line %1 (%2)").arg(x.lineNumber()).arg(x.errorString());
        return false;
    }
    return true;
}

QString toRecord(const QMap<QString, QString> &f, Record *r)
{
    *r = Record();
    QStringList why;
    // The value of the first field present, and its name.
    auto pick = [&f](std::initializer_list<const char *> names, QString *from) -> QString {
        for (const char *n : names) {
            const auto it = f.constFind(QLatin1String(n));
            if (it != f.constEnd() && !it->isEmpty()) {
                if (from)
                    *from = QLatin1String(n);
                return *it;
            }
        }
        return {};
    };
    auto app = [&f](int k, QString *v) {
        const auto it = f.constFind(QLatin1String(kAppPrefix) + appFieldName(k));
        if (it == f.constEnd())
            return false;
        *v = *it;
        return true;
    };
    QString from[logging2::kFields];
    for (int k = 0; k < logging2::kFields; ++k)
        from[k] = QLatin1String(kAppPrefix) + appFieldName(k);
    QString v;

    if (app(logging2::Date, &v)) {
        (*r)[logging2::Date] = v;
    } else if (const QString d = pick({"QSO_DATE"}, &from[logging2::Date]); !d.isEmpty()) {
        if (d.size() == 8 && isDigits(d) && QDate::fromString(d, QStringLiteral("yyyyMMdd")).isValid())
            (*r)[logging2::Date] = d;
        else
            why << QStringLiteral("QSO_DATE \"%1\" is not a date (yyyymmdd)").arg(d);
    }
    const std::pair<int, const char *> times[] = {{logging2::BeginTime, "TIME_ON"},
                                                  {logging2::EndTime, "TIME_OFF"}};
    for (const auto &[k, name] : times) {
        if (app(k, &v)) {
            (*r)[k] = v;
        } else if (const QString t = pick({name}, &from[k]); !t.isEmpty()) {
            const QString hhmm = timeOf(t);
            if (hhmm.isEmpty())
                why << QStringLiteral("%1 \"%2\" is not a time (hhmm)").arg(QLatin1String(name), t);
            (*r)[k] = hhmm;
        }
    }
    if (app(logging2::Frequency, &v)) {
        (*r)[logging2::Frequency] = v;
    } else {
        const QString mhzT = pick({"FREQ", "FREQ_RX"}, &from[logging2::Frequency]);
        bool ok = false;
        const double mhz = mhzT.toDouble(&ok);
        if (mhzT.isEmpty())
            why << QStringLiteral("no frequency (FREQ)");
        else if (!ok || !std::isfinite(mhz) || mhz <= 0 || mhz >= 1e5)
            why << QStringLiteral("%1 \"%2\" is not a frequency in MHz").arg(from[logging2::Frequency], mhzT);
        else
            (*r)[logging2::Frequency] = logging2::storeFrequency(
                QString::number(std::llround(mhz * 1e6) / 1000.0, 'f', 3));
    }
    if (!app(logging2::Sinpo, &(*r)[logging2::Sinpo]))
        (*r)[logging2::Sinpo] = pick({"RST_RCVD"}, &from[logging2::Sinpo]);
    if (!app(logging2::Organisation, &(*r)[logging2::Organisation]))
        (*r)[logging2::Organisation] =
            pick({"APP_VORANTIS_BROADCASTER", "CALL", "STATION"}, &from[logging2::Organisation]);
    if (!app(logging2::TxLocation, &(*r)[logging2::TxLocation]))
        (*r)[logging2::TxLocation] = pick({"QTH_INTL", "QTH"}, &from[logging2::TxLocation]);
    QString remarks, lang;
    QString remFrom;
    const QString comment = pick({"COMMENT_INTL", "COMMENT"}, &remFrom);
    if (!comment.isEmpty()) {
        static const QRegularExpression langAtEnd(QStringLiteral("(?:^|; )Language (\\S{1,3})$"));
        const QRegularExpressionMatch m = langAtEnd.match(comment);
        if (m.hasMatch()) {
            lang = m.captured(1);
            remarks = comment.left(m.capturedStart());
        } else {
            remarks = comment;
        }
    } else {
        remarks = pick({"NOTES_INTL", "NOTES"}, &remFrom);
    }
    if (!app(logging2::Remarks, &(*r)[logging2::Remarks])) {
        (*r)[logging2::Remarks] = remarks;
        from[logging2::Remarks] = remFrom;
    }
    if (!app(logging2::Language, &(*r)[logging2::Language])) {
        (*r)[logging2::Language] = lang;
        from[logging2::Language] = remFrom;
    }
    for (int k : {int(logging2::Par1), int(logging2::Par2), int(logging2::Par3), int(logging2::Par4),
                  int(logging2::Abmg), int(logging2::Pqrs)})
        app(k, &(*r)[k]);

    for (int k = 0; k < logging2::kFields; ++k) {
        (*r)[k] = clean((*r)[k]);
        const int w = logging2::kWidth[k];
        if ((*r)[k].size() > w)
            why << QStringLiteral("%1 \"%2\" is %3 characters long; %4 holds %5")
                       .arg(from[k], (*r)[k])
                       .arg((*r)[k].size())
                       .arg(logging2::fieldCaptions().at(k))
                       .arg(w);
    }
    return why.join(QStringLiteral("; "));
}

Result parse(const QByteArray &bytes, bool adx)
{
    Result res;
    res.adx = adx;
    QList<RawRecord> raw;
    QString error;
    if (!(adx ? parseAdx(bytes, &raw, &error) : parseAdi(bytes, &raw, &error))) {
        res.error = error;
        return res;
    }
    res.ok = true;
    res.total = int(raw.size());
    for (const RawRecord &rr : raw) {
        Record r;
        QString why = toRecord(rr.fields, &r);
        if (!rr.problem.isEmpty())
            why = why.isEmpty() ? rr.problem : rr.problem + QStringLiteral("; ") + why;
        if (why.isEmpty())
            res.records << r;
        else
            res.bad.append({rr.no, why});
    }
    return res;
}

Result read(const QString &path)
{
    Result res;
    if (const QString why = textfile::notRegularReason(path); !why.isEmpty()) {
        res.error = QStringLiteral("%1 cannot be read: %2").arg(path, why);
        return res;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        res.error = QStringLiteral("%1 cannot be read: %2").arg(path, f.errorString());
        return res;
    }
    if (f.size() > kMaxFileBytes) {
        res.error = QStringLiteral("%1 is %2 MB; a log read here is at most %3 MB")
                        .arg(path)
                        .arg(f.size() / (1024 * 1024))
                        .arg(kMaxFileBytes / (1024 * 1024));
        return res;
    }
    const QByteArray bytes = f.read(kMaxFileBytes + 1);
    if (f.error() != QFileDevice::NoError) {
        res.error = QStringLiteral("%1 cannot be read: %2").arg(path, f.errorString());
        return res;
    }
    QByteArray start = bytes.left(64).trimmed();
    if (start.startsWith("\xEF\xBB\xBF"))
        start = start.mid(3);
    const bool adx = path.endsWith(QLatin1String(".adx"), Qt::CaseInsensitive) || start.startsWith("<?xml");
    res = parse(bytes, adx);
    if (!res.ok)
        res.error = QStringLiteral("%1 is not an %2 file: %3").arg(path, adx ? QStringLiteral("ADX") : QStringLiteral("ADIF"), res.error);
    return res;
}

QString problemsText(const Result &r, const QString &file)
{
    if (r.bad.isEmpty())
        return {};
    constexpr int kShown = 20;
    QStringList out;
    out << QStringLiteral("%1: %2 of %3 records were not imported:").arg(file).arg(r.bad.size()).arg(r.total);
    for (int i = 0; i < r.bad.size() && i < kShown; ++i)
        out << QStringLiteral("record %1: %2").arg(r.bad.at(i).record).arg(r.bad.at(i).why);
    if (r.bad.size() > kShown)
        out << QStringLiteral("and %1 more").arg(r.bad.size() - kShown);
    return out.join(QLatin1Char('\n'));
}

QString partName(const QString &fileName, int part)
{
    if (part <= 1)
        return fileName;
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? fileName : fileName.left(dot);
    const QString ext = dot < 0 ? QString() : fileName.mid(dot);
    return base + QLatin1Char('-') + QString::number(part) + ext;
}

bool savePart(const QList<logging2::Record> &records, int from, int capacity, const QString &path,
              int *written, QString *error)
{
    logging2::LogBook book;
    book.create(capacity);
    const int n = std::max(0, std::min<int>(capacity, int(records.size()) - from));
    for (int i = 0; i < n; ++i)
        book.append(records.at(from + i));
    if (!book.save(path, error))
        return false;
    *written = n;
    return true;
}

} // namespace logimport
