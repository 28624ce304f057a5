// The exports are read back by parsers written here from the formats'
// own rules (ADIF tags with character counts, ADX elements, RFC 4180
// quoting), not by the code that wrote them.
#include "logbook/logexport.h"
#include "common/filebytes.h"
#include "testkit.h"

#include <QMap>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>
#include <utility>

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
    static const QRegularExpression tag(QStringLiteral("<([^:>]*)(?::(\\d+))?(?::[^>]*)?>"));
    Adif out;
    QMap<QString, QString> cur;
    bool inHeader = !text.startsWith(QLatin1Char('<'));
    qsizetype at = 0;
    for (auto m = tag.match(text); m.hasMatch(); m = tag.match(text, at)) {
        const QString name = m.captured(1).toUpper();
        const int len = m.captured(2).toInt();
        at = m.capturedEnd();
        if (name == "EOH")
            out.header = std::exchange(cur, {}), inHeader = false;
        else if (name == "EOR")
            out.records << std::exchange(cur, {});
        else if (m.capturedStart(2) < 0 || cur.contains(name))
            return out.error = "no length, or twice: " + name, out;
        else
            cur[name] = text.mid(at, len), at += len;
    }
    if (text.indexOf(QLatin1Char('<'), at) >= 0 || inHeader)
        out.error = "unterminated tag, or no <EOH>";
    return out;
}

// ADX: <ADX><HEADER>fields</HEADER><RECORDS><RECORD>fields</RECORD>...;
// an application field is keyed APP_<PROGRAMID>_<FIELDNAME>.
Adif parseAdx(const QByteArray &bytes)
{
    Adif out;
    QXmlStreamReader x(bytes);
    auto fields = [&x] {
        QMap<QString, QString> m;
        while (x.readNextStartElement()) {
            const auto a = x.attributes();
            const QString name = x.name() == QLatin1String("APP")
                                     ? QString("APP_%1_%2").arg(a.value("PROGRAMID"), a.value("FIELDNAME"))
                                     : x.name().toString();
            m[name] = x.readElementText();
        }
        return m;
    };
    if (x.readNext() != QXmlStreamReader::StartDocument || x.documentEncoding() != QLatin1String("UTF-8"))
        out.error = "not declared UTF-8";
    else if (!x.readNextStartElement() || x.name() != QLatin1String("ADX"))
        out.error = "no <ADX>";
    while (out.error.isEmpty() && x.readNextStartElement()) {
        if (x.name() == QLatin1String("HEADER"))
            out.header = fields();
        else if (x.name() == QLatin1String("RECORDS"))
            while (x.readNextStartElement())
                out.records << fields();
        else
            x.skipCurrentElement();
    }
    if (x.hasError())
        out.error = x.errorString();
    return out;
}

// RFC 4180: fields separated by ",", every record ending in CRLF; a quoted
// field may hold commas, CRLF and doubled quotes, an unquoted one none of them.
QList<QStringList> parseCsv(const QByteArray &bytes, QString *error)
{
    static const QRegularExpression field(
        QStringLiteral("\\G(?:\"((?:[^\"]|\"\")*)\"|([^\",\\r\\n]*))(,|\\r\\n)"));
    const QString s = QString::fromUtf8(bytes);
    QList<QStringList> rows(1);
    for (qsizetype at = 0; at < s.size();) {
        const auto m = field.match(s, at);
        if (!m.hasMatch())
            return *error = "not RFC 4180 at " + QString::number(at), rows;
        rows.last() << (m.capturedStart(1) >= 0 ? m.captured(1).replace("\"\"", "\"") : m.captured(2));
        if (m.captured(3) == "\r\n")
            rows.append(QStringList());
        at = m.capturedEnd();
    }
    rows.removeLast();
    return rows;
}

} // namespace

// The demo log and a record with quotes, commas and a leading blank.
TEST(LogExport, AdiAdxAndCsvOfTheDemoLogReadBack)
{
    TestApp t;
    LogBook book;
    ASSERT_TRUE(book.read(sourcePath("data/demo/LOG/LOG_DEMO.TXT"), 1001).ok);
    QList<Record> log = book.records();
    ASSERT_GE(log.size(), 24);
    Record odd;
    odd[Organisation] = "Radio \"Q\", Inc";
    odd[Remarks] = QString::fromUtf8("  blank first; Brêmhaven, \"quoted\"");
    log << odd;
    const QString adi = t.base() + "LOG/out.adi", adx = t.base() + "LOG/out.adx";
    QString err;
    ASSERT_TRUE(logexport::write(adi, logexport::adifLines(log, "20261205 120000"), &err));
    ASSERT_TRUE(logexport::write(adx, logexport::adxLines(log, "20261205 120000"), &err));
    const QByteArray adiBytes = readBytes(adi);
    for (char c : adiBytes) // ADI is ASCII: the counts are characters and bytes alike
        ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 0x20 && c < 0x7F)) << int(c);

    const Adif parsed[] = {parseAdif(QString::fromLatin1(adiBytes)), parseAdx(readBytes(adx))};
    for (const Adif &a : parsed) {
        ASSERT_TRUE(a.error.isEmpty()) << qPrintable(a.error);
        EXPECT_EQ(a.header.value("ADIF_VER"), "3.1.4");
        EXPECT_EQ(a.header.value("PROGRAMID"), "VORANTIS");
        EXPECT_EQ(a.header.value("CREATED_TIMESTAMP"), "20261205 120000");
        ASSERT_EQ(a.records.size(), log.size());
        for (int i = 0; i < log.size(); ++i) {
            const auto &q = a.records.at(i);
            const Record &r = log.at(i);
            EXPECT_EQ(q.value("QSO_DATE"), r[Date].trimmed());
            EXPECT_EQ(q.value("TIME_ON"), r[BeginTime].trimmed());
            EXPECT_EQ(q.value("TIME_OFF"), r[EndTime].trimmed());
            EXPECT_NEAR(q.value("FREQ").toDouble() * 1000, r[Frequency].toDouble(), 1e-6);
            EXPECT_EQ(q.value("MODE"), logexport::adifMode(r[Abmg]));
            EXPECT_EQ(q.value("SWL"), "Y");
            EXPECT_EQ(q.value("RST_RCVD"), r[Sinpo].trimmed());
            EXPECT_EQ(q.value("CALL"), logexport::adifText(r[Organisation]));
            EXPECT_EQ(q.value("QTH"), logexport::adifText(r[TxLocation]));
            EXPECT_FALSE(q.contains("NAME")); // the operator's name: not known
        }
    }
    // An accent dropped in ADI, kept in ADX's _INTL field (not allowed in ADI).
    EXPECT_EQ(parsed[0].records.at(2).value("QTH"), "Punta Gavilan");
    EXPECT_EQ(parsed[1].records.at(2).value("QTH_INTL"), QString::fromUtf8("Punta Gavilán"));
    EXPECT_FALSE(parsed[0].records.at(2).contains("QTH_INTL"));

    const QString csv = t.base() + "LOG/out.csv";
    ASSERT_TRUE(logexport::write(csv, logexport::csvLines(log), &err)) << qPrintable(err);
    const QByteArray bytes = readBytes(csv);
    EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
    QString perr;
    const QList<QStringList> rows = parseCsv(bytes, &perr);
    ASSERT_TRUE(perr.isEmpty()) << qPrintable(perr);
    ASSERT_EQ(rows.size(), log.size() + 1);
    EXPECT_EQ(rows.at(0).value(4), "Frequency (kHz)");
    for (int i = 0; i < log.size(); ++i) {
        ASSERT_EQ(rows.at(i + 1).size(), 16) << i;
        EXPECT_EQ(rows.at(i + 1).at(0), recordNumber(i));
        for (int k = 0; k < kFields; ++k) // trailing blanks trimmed
            EXPECT_EQ(rows.at(i + 1).at(k + 1), QString(log.at(i)[k]).remove(QRegularExpression(" +$")))
                << i << "/" << k;
    }
}

TEST(LogExport, AdifFieldsFromCodesAndText)
{
    const struct {
        const char *code, *mode, *sub;
    } modes[] = {{"0041", "AM", ""},  {"", "", ""},       {"0021", "SSB", "USB"}, {"0031", "SSB", "LSB"},
                 {"0160", "FAX", ""}, {"0050", "FM", ""}, {"0071", "AM", ""},     {"0091", "", ""},
                 {"00x1", "", ""}};
    for (const auto &m : modes) {
        QString sub;
        EXPECT_EQ(logexport::adifMode(m.code, &sub), m.mode) << m.code;
        EXPECT_EQ(sub, m.sub) << m.code;
    }
    EXPECT_EQ(logexport::adifFreqMhz("15120.500"), "15.1205");
    EXPECT_EQ(logexport::adifFreqMhz("00000"), "");
    const struct {
        const char *in, *ascii;
    } texts[] = {{" Kénadou € ", "Kenadou ?"},      {"Straße", "Strasse"},
                 {"Ærøskøbing", "AEroskobing"},     {"Łódź Þór", "Lodz Thor"},
                 {"„Œuvre“ – ½", "\"OEuvre\" - 1/2"}, {"Tab\there\r\n", "Tab here"},
                 {"Радио", "?????"}};
    for (const auto &c : texts)
        EXPECT_EQ(logexport::adifText(QString::fromUtf8(c.in)), c.ascii) << c.in;

    // Tags and accents inside the text, a record without date, times,
    // frequency or settings code: both exports read back, and no mode is
    // made up.
    Record r;
    r[Organisation] = QString::fromUtf8("Radio <X>:5 Straße");
    r[TxLocation] = QString::fromUtf8("Gießen & Łódź");
    r[Remarks] = QString::fromUtf8("tags <EOR> inside, “quoted”");
    r[Language] = "G";
    const Adif adi = parseAdif(logexport::adifLines({r}, "20261205 000000").join("\n"));
    const Adif adx = parseAdx(logexport::adxLines({r}, "20261205 000000").join("\r\n").toUtf8());
    for (const Adif &a : {adi, adx}) {
        ASSERT_TRUE(a.error.isEmpty()) << qPrintable(a.error);
        ASSERT_EQ(a.records.size(), 1);
        const auto &q = a.records.at(0);
        EXPECT_EQ(q.value("CALL"), "Radio <X>:5 Strasse");
        EXPECT_EQ(q.value("QTH"), "Giessen & Lodz");
        EXPECT_EQ(q.value("COMMENT"), "tags <EOR> inside, \"quoted\"; Language G");
        for (const char *none : {"QSO_DATE", "FREQ", "MODE", "SUBMODE", "RST_RCVD"})
            EXPECT_FALSE(q.contains(none)) << none;
    }
    const auto &x = adx.records.at(0);
    EXPECT_EQ(x.value("APP_VORANTIS_BROADCASTER"), r[Organisation]);
    EXPECT_EQ(x.value("QTH_INTL"), r[TxLocation]);
    EXPECT_EQ(x.value("COMMENT_INTL"), r[Remarks] + "; Language G");
}
