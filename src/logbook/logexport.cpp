#include "logbook/logexport.h"

#include "common/fmt.h"
#include "common/textfile.h"

#include <QDate>
#include <cmath>

namespace logexport {

using logging2::Record;

QString adifMode(const QString &code4, QString *submode)
{
    if (submode)
        submode->clear();
    const QString c = code4.trimmed().isEmpty() ? QString::fromLatin1(logging2::kDefaultCode) : code4.trimmed();
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

QString adifText(const QString &text)
{
    const QString d = text.trimmed().normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(d.size());
    for (QChar c : d) {
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            out += c;
        else if (c.category() == QChar::Mark_NonSpacing)
            continue; // the accent of a decomposed letter
        else if (c.unicode() < 0x20)
            out += QLatin1Char(' ');
        else
            out += QLatin1Char('?');
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
        const QString date = r[logging2::Date].trimmed();
        if (QDate::fromString(date, QStringLiteral("yyyyMMdd")).isValid())
            line += adifField(QStringLiteral("QSO_DATE"), date);
        auto time = [](const QString &t) {
            const QString s = t.trimmed();
            if (s.size() != 4)
                return QString();
            for (QChar c : s)
                if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                    return QString();
            return (s.left(2).toInt() < 24 && s.mid(2).toInt() < 60) ? s : QString();
        };
        line += adifField(QStringLiteral("TIME_ON"), time(r[logging2::BeginTime]));
        line += adifField(QStringLiteral("TIME_OFF"), time(r[logging2::EndTime]));
        line += adifField(QStringLiteral("FREQ"), adifFreqMhz(r[logging2::Frequency]));
        QString sub;
        line += adifField(QStringLiteral("MODE"), adifMode(r[logging2::Abmg], &sub));
        line += adifField(QStringLiteral("SUBMODE"), sub);
        line += adifField(QStringLiteral("SWL"), QStringLiteral("Y"));
        line += adifField(QStringLiteral("NAME"), adifText(r[logging2::Organisation]));
        line += adifField(QStringLiteral("QTH"), adifText(r[logging2::TxLocation]));
        QStringList comment;
        if (!r[logging2::Remarks].trimmed().isEmpty())
            comment << r[logging2::Remarks].trimmed();
        if (!r[logging2::Sinpo].trimmed().isEmpty())
            comment << QStringLiteral("SINPO ") + r[logging2::Sinpo].trimmed();
        if (!r[logging2::Language].trimmed().isEmpty())
            comment << QStringLiteral("Language ") + r[logging2::Language].trimmed();
        line += adifField(QStringLiteral("COMMENT"), adifText(comment.join(QStringLiteral("; "))));
        line += QStringLiteral("<EOR>");
        out << line;
    }
    return out;
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
