#include "logbook/logexport.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "logbook/logimport.h"

#include <QDate>
#include <QMap>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>

namespace logexport {

using logging2::Record;

QString adifMode(const QString &code4, QString *submode)
{
    if (submode)
        submode->clear();
    // A record without a code says nothing of the mode: none is made up.
    const QString c = code4.trimmed();
    if (c.size() < 3 || !c.at(2).isDigit())
        return QString();
    switch (c.at(2).unicode() - '0') {
    case 0: return QStringLiteral("RTTY");
    case 1: return QStringLiteral("CW");
    case 2:
        if (submode)
            *submode = QStringLiteral("USB");
        return QStringLiteral("SSB");
    case 3:
        if (submode)
            *submode = QStringLiteral("LSB");
        return QStringLiteral("SSB");
    case 4: return QStringLiteral("AM");
    case 5: return QStringLiteral("FM");
    case 6: return QStringLiteral("FAX");
    case 7: // AM received on its upper sideband (ECSS)
    case 8: return QStringLiteral("AM");
    default: return QString();
    }
}

QString adifFreqMhz(const QString &khzText)
{
    const double khz = fmt::val(khzText);
    if (!(khz > 0) || !std::isfinite(khz))
        return QString();
    QString s = QString::number(khz / 1000.0, 'f', 6);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    return s;
}

namespace {

// Letters and signs that no decomposition brings to ASCII.
const struct {
    char16_t from;
    const char *to;
} kTranslit[] = {
    {u'ß', "ss"}, {u'ẞ', "SS"}, {u'æ', "ae"}, {u'Æ', "AE"}, {u'œ', "oe"}, {u'Œ', "OE"},
    {u'ø', "o"},  {u'Ø', "O"},  {u'ł', "l"},  {u'Ł', "L"},  {u'đ', "d"},  {u'Đ', "D"},
    {u'ð', "d"},  {u'Ð', "D"},  {u'þ', "th"}, {u'Þ', "Th"}, {u'ı', "i"},  {u'ħ', "h"},
    {u'Ħ', "H"},  {u'ŧ', "t"},  {u'Ŧ', "T"},  {u'ŋ', "n"},  {u'Ŋ', "N"},  {u'‘', "'"},
    {u'’', "'"},  {u'‚', "'"},  {u'“', "\""}, {u'”', "\""}, {u'„', "\""}, {u'«', "\""},
    {u'»', "\""}, {u'‐', "-"},  {u'–', "-"},  {u'—', "-"},  {u'−', "-"},  {u'⁄', "/"},
    {u'•', "*"},  {u'×', "x"}};

// A text as the export's international fields hold it: control characters
// blank, blanks trimmed.
QString intlText(const QString &text)
{
    return textfile::cleanLine(text).trimmed();
}

// The remarks and the language, as COMMENT holds them (original text).
QString comment(const Record &r)
{
    QStringList c;
    if (!r[logging2::Remarks].trimmed().isEmpty())
        c << r[logging2::Remarks].trimmed();
    if (!r[logging2::Language].trimmed().isEmpty())
        c << QStringLiteral("Language ") + r[logging2::Language].trimmed();
    return c.join(QStringLiteral("; "));
}

// The fields of one record, in order, as ADIF names and ASCII data (empty
// data: the field is left out).
QList<std::pair<QString, QString>> adifRecord(const Record &r)
{
    QList<std::pair<QString, QString>> f;
    const QString date = r[logging2::Date].trimmed();
    f.append({QStringLiteral("QSO_DATE"),
              QDate::fromString(date, QStringLiteral("yyyyMMdd")).isValid() ? date : QString()});
    auto time = [](const QString &t) {
        const QString s = t.trimmed();
        if (s.size() != 4)
            return QString();
        for (QChar c : s)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return QString();
        return (s.left(2).toInt() < 24 && s.mid(2).toInt() < 60) ? s : QString();
    };
    f.append({QStringLiteral("TIME_ON"), time(r[logging2::BeginTime])});
    f.append({QStringLiteral("TIME_OFF"), time(r[logging2::EndTime])});
    f.append({QStringLiteral("CALL"), adifText(r[logging2::Organisation])});
    f.append({QStringLiteral("FREQ"), adifFreqMhz(r[logging2::Frequency])});
    QString sub;
    f.append({QStringLiteral("MODE"), adifMode(r[logging2::Abmg], &sub)});
    f.append({QStringLiteral("SUBMODE"), sub});
    f.append({QStringLiteral("RST_RCVD"), adifText(r[logging2::Sinpo])});
    f.append({QStringLiteral("SWL"), QStringLiteral("Y")});
    f.append({QStringLiteral("QTH"), adifText(r[logging2::TxLocation])});
    f.append({QStringLiteral("COMMENT"), adifText(comment(r))});
    return f;
}

// The fields an import would not give back as they are, as application
// fields: what the import makes of `fields` set against what the record
// holds (in ASCII for ADI, as it is for ADX). An empty value is written too:
// it says the field is empty.
QList<std::pair<QString, QString>> carried(const Record &r, const QList<std::pair<QString, QString>> &fields,
                                           bool ascii)
{
    QMap<QString, QString> m;
    for (const auto &[name, data] : fields)
        if (!data.isEmpty())
            m.insert(name, data);
    Record back;
    logimport::toRecord(m, &back);
    QList<std::pair<QString, QString>> out;
    for (int k = 0; k < logging2::kFields; ++k) {
        const QString want = ascii ? adifText(r[k]) : intlText(r[k]);
        if (back[k] != want)
            out.append({logimport::appFieldName(k), want});
    }
    return out;
}

} // namespace

QString adifText(const QString &text)
{
    const QString d = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(d.size());
    for (QChar c : d) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F) {
            out += c;
        } else if (c.category() == QChar::Mark_NonSpacing) {
            continue; // the accent of a decomposed letter
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += QLatin1Char(' ');
        } else {
            const auto *t = std::find_if(std::begin(kTranslit), std::end(kTranslit),
                                         [c](const auto &e) { return e.from == c.unicode(); });
            out += t != std::end(kTranslit) ? QString::fromLatin1(t->to) : QStringLiteral("?");
        }
    }
    return out.trimmed();
}

QString adifField(const QString &name, const QString &data)
{
    if (data.isEmpty())
        return QString();
    return QStringLiteral("<%1:%2>%3 ").arg(name).arg(data.size()).arg(data);
}

QStringList adifLines(const QList<Record> &records, const QString &createdUtc)
{
    QStringList out;
    out << QStringLiteral("Shortwave reception log exported by VORANTIS")
        << adifField(QStringLiteral("ADIF_VER"), QStringLiteral("3.1.4")) +
               adifField(QStringLiteral("PROGRAMID"), QStringLiteral("VORANTIS")) +
               adifField(QStringLiteral("PROGRAMVERSION"), QStringLiteral("6.0")) +
               adifField(QStringLiteral("CREATED_TIMESTAMP"), createdUtc)
        << QStringLiteral("<EOH>");
    for (const Record &r : records) {
        QString line;
        const QList<std::pair<QString, QString>> f = adifRecord(r);
        for (const auto &[name, data] : f)
            line += adifField(name, data);
        for (const auto &[name, data] : carried(r, f, true))
            line += QStringLiteral("<%1%2:%3>%4 ")
                        .arg(QLatin1String(logimport::kAppPrefix), name)
                        .arg(data.size())
                        .arg(data);
        line += QStringLiteral("<EOR>");
        out << line;
    }
    return out;
}

QStringList adxLines(const QList<Record> &records, const QString &createdUtc)
{
    QString xml;
    QXmlStreamWriter w(&xml);
    w.setAutoFormatting(true);
    w.setAutoFormattingIndent(2);
    w.writeStartElement(QStringLiteral("ADX"));
    w.writeStartElement(QStringLiteral("HEADER"));
    w.writeTextElement(QStringLiteral("ADIF_VER"), QStringLiteral("3.1.4"));
    w.writeTextElement(QStringLiteral("PROGRAMID"), QStringLiteral("VORANTIS"));
    w.writeTextElement(QStringLiteral("PROGRAMVERSION"), QStringLiteral("6.0"));
    w.writeTextElement(QStringLiteral("CREATED_TIMESTAMP"), createdUtc);
    w.writeEndElement();
    w.writeStartElement(QStringLiteral("RECORDS"));
    for (const Record &r : records) {
        w.writeStartElement(QStringLiteral("RECORD"));
        QList<std::pair<QString, QString>> f = adifRecord(r);
        for (const auto &[name, data] : f)
            if (!data.isEmpty())
                w.writeTextElement(name, data);
        const std::pair<const char *, QString> intl[] = {
            {"QTH_INTL", intlText(r[logging2::TxLocation])}, {"COMMENT_INTL", intlText(comment(r))}};
        for (const auto &[name, data] : intl)
            if (!data.isEmpty()) {
                w.writeTextElement(QLatin1String(name), data);
                f.append({QLatin1String(name), data});
            }
        auto app = [&w](const QString &field, const QString &data, const char *type) {
            w.writeStartElement(QStringLiteral("APP"));
            w.writeAttribute(QStringLiteral("PROGRAMID"), QStringLiteral("VORANTIS"));
            w.writeAttribute(QStringLiteral("FIELDNAME"), field);
            w.writeAttribute(QStringLiteral("TYPE"), QLatin1String(type));
            w.writeCharacters(data);
            w.writeEndElement();
        };
        if (const QString b = intlText(r[logging2::Organisation]); !b.isEmpty()) {
            app(QStringLiteral("BROADCASTER"), b, "I");
            f.append({QStringLiteral("APP_VORANTIS_BROADCASTER"), b});
        }
        for (const auto &[name, data] : carried(r, f, false))
            app(name, data, "I");
        w.writeEndElement();
    }
    w.writeEndElement();
    w.writeEndElement();
    return QStringList{QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")} +
           textfile::splitLines(xml.trimmed());
}

QString csvField(const QString &text)
{
    const bool quote = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"')) ||
                       text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
                       text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quote)
        return text;
    QString t = text;
    t.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

QStringList csvLines(const QList<Record> &records)
{
    QStringList out;
    QStringList head{QStringLiteral("No.")};
    const QStringList names = {
        QStringLiteral("Date"), QStringLiteral("Begin Time"), QStringLiteral("End Time"),
        QStringLiteral("Frequency (kHz)"), QStringLiteral("SINPO"), QStringLiteral("Language"),
        QStringLiteral("BC Org."), QStringLiteral("Tx Location"), QStringLiteral("// Freq 1"),
        QStringLiteral("// Freq 2"), QStringLiteral("// Freq 3"), QStringLiteral("// Freq 4"),
        QStringLiteral("Remarks"), QStringLiteral("Settings abmg"), QStringLiteral("Settings pqrs")};
    for (const QString &n : names)
        head << csvField(n);
    out << head.join(QLatin1Char(','));
    for (int i = 0; i < records.size(); ++i) {
        QStringList row{logging2::recordNumber(i)};
        for (const QString &f : records.at(i)) {
            QString t = f;
            while (t.endsWith(QLatin1Char(' ')))
                t.chop(1);
            row << csvField(t);
        }
        out << row.join(QLatin1Char(','));
    }
    return out;
}

bool write(const QString &path, const QStringList &lines, QString *error)
{
    return textfile::writeLines(path, lines, error);
}

} // namespace logexport
