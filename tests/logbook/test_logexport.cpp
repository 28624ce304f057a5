// The exports are read back by parsers written here from the formats'
// own rules (ADIF tags with character counts, RFC 4180 quoting), not by
// the code that wrote them.
#include "logbook/logexport.h"
#include "testkit.h"

#include <QFile>
#include <QMap>
#include <gtest/gtest.h>

using namespace logging2;

namespace {

// ADIF: optional header text up to <EOH>, then records of <NAME:len[:type]>data
// fields ending in <EOR>. Names are case-insensitive.
struct Adif {
    QMap<QString, QString> header;
    QList<QMap<QString, QString>> records;
    QString error;
};

Adif parseAdif(const QString &text)
{
    Adif out;
    QMap<QString, QString> cur;
    bool inHeader = !text.startsWith(QLatin1Char('<'));
    int i = 0;
    while (true) {
        const int lt = text.indexOf(QLatin1Char('<'), i);
        if (lt < 0)
            break;
        const int gt = text.indexOf(QLatin1Char('>'), lt);
        if (gt < 0) {
            out.error = "unterminated tag";
            break;
        }
        const QStringList spec = text.mid(lt + 1, gt - lt - 1).split(QLatin1Char(':'));
        const QString name = spec.at(0).toUpper();
        if (name == "EOH") {
            out.header = cur;
            cur.clear();
            inHeader = false;
            i = gt + 1;
            continue;
        }
        if (name == "EOR") {
            out.records << cur;
            cur.clear();
            i = gt + 1;
            continue;
        }
        bool ok = false;
        const int len = spec.value(1).toInt(&ok);
        if (!ok || len < 0) {
            out.error = "bad length in " + name;
            break;
        }
        if (cur.contains(name))
            out.error = "duplicate " + name;
        cur[name] = text.mid(gt + 1, len);
        i = gt + 1 + len;
    }
    if (inHeader)
        out.error = "no <EOH>";
    return out;
}

// RFC 4180: fields separated by ",", records by CRLF, a quoted field may hold
// commas, CRLF and doubled quotes.
QList<QStringList> parseCsv(const QByteArray &bytes, QString *error)
{
    const QString s = QString::fromUtf8(bytes);
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false, wasQuoted = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s.at(i);
        if (quoted) {
            if (c == '"' && i + 1 < s.size() && s.at(i + 1) == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            if (!field.isEmpty() || wasQuoted)
                *error = "quote inside an unquoted field";
            quoted = wasQuoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
            wasQuoted = false;
        } else if (c == '\r') {
            if (i + 1 >= s.size() || s.at(i + 1) != '\n')
                *error = "CR without LF";
            row << field;
            rows << row;
            row.clear();
            field.clear();
            wasQuoted = false;
            ++i;
        } else if (c == '\n') {
            *error = "LF without CR";
        } else {
            field += c;
        }
    }
    if (quoted)
        *error = "unterminated quote";
    if (!field.isEmpty() || !row.isEmpty())
        *error = "last record without CRLF";
    return rows;
}

QList<Record> demoLog()
{
    LogBook b;
    const LogBook::ReadResult r = b.read(sourcePath("data/demo/LOG/LOG_DEMO.TXT"), 1001);
    EXPECT_TRUE(r.ok);
    return b.records();
}

} // namespace

TEST(LogExport, AdifOfTheDemoLogReadsBack)
{
    const QList<Record> log = demoLog();
    ASSERT_GE(log.size(), 24);
    const QStringList lines = logexport::adifLines(log, "20261205 120000");
    const Adif a = parseAdif(lines.join("\r\n") + "\r\n");
    ASSERT_TRUE(a.error.isEmpty()) << qPrintable(a.error);
    EXPECT_EQ(a.header.value("ADIF_VER"), "3.1.4");
    EXPECT_EQ(a.header.value("PROGRAMID"), "VORANTIS");
    EXPECT_EQ(a.header.value("CREATED_TIMESTAMP"), "20261205 120000");
    ASSERT_EQ(a.records.size(), log.size());
    const QStringList modes = {"AM", "SSB", "FAX", "FM", "CW", "RTTY"};
    for (int i = 0; i < log.size(); ++i) {
        const auto &q = a.records.at(i);
        const Record &r = log.at(i);
        EXPECT_EQ(q.value("QSO_DATE"), r[Date].trimmed());
        EXPECT_EQ(q.value("TIME_ON"), r[BeginTime].trimmed());
        EXPECT_EQ(q.value("TIME_OFF"), r[EndTime].trimmed());
        EXPECT_NEAR(q.value("FREQ").toDouble() * 1000, r[Frequency].toDouble(), 1e-6);
        EXPECT_TRUE(modes.contains(q.value("MODE"))) << qPrintable(q.value("MODE"));
        EXPECT_EQ(q.value("SWL"), "Y");
        EXPECT_EQ(q.value("NAME").isEmpty(), r[Organisation].trimmed().isEmpty());
        if (!r[Sinpo].trimmed().isEmpty()) {
            EXPECT_TRUE(q.value("COMMENT").contains("SINPO " + r[Sinpo].trimmed()));
        }
        // ADI data is ASCII: the counts are characters and bytes alike.
        for (const QString &v : q)
            for (QChar c : v)
                EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() < 0x7F) << qPrintable(v);
    }
    // Record 0 in detail, and an accent dropped from its letter.
    EXPECT_EQ(a.records.at(0).value("FREQ"), "6.175");
    EXPECT_EQ(a.records.at(0).value("NAME"), "Radio Nordvik");
    EXPECT_EQ(a.records.at(0).value("QTH"), "Skerrvik");
    EXPECT_EQ(a.records.at(2).value("QTH"), "Punta Gavilan");
}

TEST(LogExport, AdifFieldsFromCodesAndText)
{
    const struct {
        const char *code, *mode, *sub;
    } modes[] = {{"0041", "AM", ""}, {"", "AM", ""},     {"0021", "SSB", "USB"}, {"0031", "SSB", "LSB"},
                 {"0160", "FAX", ""}, {"0050", "FM", ""}, {"0071", "AM", ""},    {"0091", "", ""},
                 {"00x1", "", ""}};
    for (const auto &m : modes) {
        QString sub;
        EXPECT_EQ(logexport::adifMode(m.code, &sub), m.mode) << m.code;
        EXPECT_EQ(sub, m.sub) << m.code;
    }
    EXPECT_EQ(logexport::adifFreqMhz("15120.500"), "15.1205");
    EXPECT_EQ(logexport::adifFreqMhz("00000"), "");
    EXPECT_EQ(logexport::adifText(QString::fromUtf8(" Kénadou € ")), "Kenadou ?");

    // A record without date, times or frequency still reads back.
    Record r;
    r[Organisation] = "Radio <X>:5";
    r[Remarks] = "tags <EOR> inside";
    const Adif a = parseAdif(logexport::adifLines({r}, "20261205 000000").join("\n"));
    ASSERT_TRUE(a.error.isEmpty()) << qPrintable(a.error);
    ASSERT_EQ(a.records.size(), 1);
    EXPECT_EQ(a.records.at(0).value("NAME"), "Radio <X>:5");
    EXPECT_EQ(a.records.at(0).value("COMMENT"), "tags <EOR> inside");
    EXPECT_FALSE(a.records.at(0).contains("QSO_DATE"));
}

TEST(LogExport, CsvReadsBack)
{
    TestApp t;
    QList<Record> log = demoLog();
    Record odd;
    odd[Organisation] = "Radio \"Q\", Inc";
    odd[Remarks] = QString::fromUtf8("  blank first; Brêmhaven, \"quoted\"");
    log << odd;
    const QString path = t.base() + "LOG/out.csv";
    QString err;
    ASSERT_TRUE(logexport::write(path, logexport::csvLines(log), &err)) << qPrintable(err);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    QString perr;
    const QList<QStringList> rows = parseCsv(bytes, &perr);
    ASSERT_TRUE(perr.isEmpty()) << qPrintable(perr);
    ASSERT_EQ(rows.size(), log.size() + 1);
    EXPECT_EQ(rows.at(0).size(), 16);
    EXPECT_EQ(rows.at(0).at(4), "Frequency (kHz)");
    for (int i = 0; i < log.size(); ++i) {
        ASSERT_EQ(rows.at(i + 1).size(), 16) << i;
        EXPECT_EQ(rows.at(i + 1).at(0), recordNumber(i));
        for (int k = 0; k < kFields; ++k) {
            QString want = log.at(i)[k];
            while (want.endsWith(' '))
                want.chop(1);
            EXPECT_EQ(rows.at(i + 1).at(k + 1), want) << i << "/" << k;
        }
    }
    EXPECT_EQ(rows.last().at(Organisation + 1), "Radio \"Q\", Inc");
    EXPECT_EQ(rows.at(3).at(TxLocation + 1), QString::fromUtf8("Punta Gavilán"));
}
