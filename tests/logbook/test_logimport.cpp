// Logs from other logging programs: ADIF as ADI and ADX into log records,
// the records that do not fit named, and this program's own export back
// field for field.
#include "logbook/logexport.h"
#include "logbook/logimport.h"
#include "testkit.h"

#include <gtest/gtest.h>

using namespace logging2;

namespace {

Record rec(std::initializer_list<const char *> f)
{
    Record r;
    int k = 0;
    for (const char *s : f)
        r[k++] = QString::fromUtf8(s);
    return r;
}

// Records as the log file holds them (padded), so that a record that comes
// back equal writes the same LOG line.
QStringList logLines(const QList<Record> &rs)
{
    QStringList out;
    for (int i = 0; i < rs.size(); ++i)
        out << formatLine(i, rs.at(i));
    return out;
}

// Varied records: every field, empty ones, text the tags must survive, a
// language that is not the export's own pattern, a date and a frequency the
// dialog let through unchecked.
const QList<Record> &varied()
{
    static const QList<Record> r = {
        rec({"20261102", "0005", "0030", "06175", "45444", "E", "Radio Nordvik", "Skerrvik", "09635", "11820",
             "07390", "13750", "News, then folk music; clear ID at 0030", "1124", "pq r"}),
        rec({"20261103", "2359", "", "15120.500", "", "", "Voice <EOR> Tarsis", "", "", "", "", "", "",
             "", ""}),
        rec({"2026", "930", "", "00000", "3", "ARA", "", "Ardan", "", "", "", "", "quote \" and <b:3>x; Language XY",
             "", ""}),
        rec({"", "", "", "29999.999", "55555", "E F", "12345678901234567890", "", "", "", "", "",
             "1234567890123456789012345678901234567890", "0000", "zzzz"}),
    };
    return r;
}

} // namespace

TEST(LogImport, OwnExportComesBackFieldForField)
{
    const QStringList adi = logexport::adifLines(varied(), "20261208 120000");
    const QStringList adx = logexport::adxLines(varied(), "20261208 120000");
    for (const auto &[name, lines, isAdx] : {std::tuple{"ADI", adi, false}, std::tuple{"ADX", adx, true}}) {
        SCOPED_TRACE(name);
        const logimport::Result r = logimport::parse(lines.join("\r\n").toUtf8(), isAdx);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_TRUE(r.bad.isEmpty()) << logimport::problemsText(r, "x").toStdString();
        EXPECT_EQ(logLines(r.records).join('\n').toStdString(), logLines(varied()).join('\n').toStdString());
    }

    // The demo log: accented names come back whole from ADX, as ADI's ASCII
    // from ADI.
    LogBook demo;
    ASSERT_TRUE(demo.read(VOR_SOURCE_DIR "/data/demo/LOG/LOG_DEMO.TXT", 1001).ok);
    QList<Record> ascii = demo.records();
    for (Record &x : ascii)
        for (QString &f : x)
            f = logexport::adifText(f);
    const logimport::Result fromAdi =
        logimport::parse(logexport::adifLines(demo.records(), "20261208 120000").join("\n").toUtf8(), false);
    const logimport::Result fromAdx =
        logimport::parse(logexport::adxLines(demo.records(), "20261208 120000").join("\n").toUtf8(), true);
    EXPECT_EQ(fromAdi.total, demo.count());
    EXPECT_EQ(logLines(fromAdi.records).join('\n').toStdString(), logLines(ascii).join('\n').toStdString());
    EXPECT_EQ(logLines(fromAdx.records).join('\n').toStdString(), logLines(demo.records()).join('\n').toStdString());
}

// Files of other programs: their spellings, and the records that do not fit
// named by number, the others kept.
TEST(LogImport, OtherProgramsFilesAndTheRecordsThatDoNotFit)
{
    const QByteArray adi =
        "Log of another program <with a stray bracket\r\n<ADIF_VER:5>3.1.4<eoh>\r\n"
        "<call:9>Radio Ost <freq:6:N>9.5005<qso_date:8:D>20261201<time_on:6>233015<time_off:4>2350"
        "<rst_rcvd:5>45444<qth:7>Tromsø<notes:5>Notes<eor>\r\n"                           // 1 (UTF-8, bytes)
        "<STATION:4>BBC1<FREQ_RX:5>6.195<COMMENT:17>Fine; Language EN<EOR>\n"               // 2
        "<CALL:25>Radio Twenty Five Letters<FREQ:4>7.25<EOR>\n"                             // 3 too long
        "<CALL:3>ABC<FREQ:4>7.25<QSO_DATE:8>20261340<TIME_ON:4>2599<EOR>\n"                 // 4 date, time
        "<CALL:3>DEF<EOR>\n"                                                                // 5 no FREQ
        "<CALL:3>GHI<FREQ:3>abc<EOR>\n"                                                     // 6 not a number
        "<CALL:3>JKL<FREQ:4>5.95<COMMENT:99>cut";                                           // 7 runs past the end
    const logimport::Result r = logimport::parse(adi, false);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.total, 7);
    ASSERT_EQ(r.records.size(), 2);
    const Record &a = r.records[0];
    EXPECT_EQ(a[Organisation], "Radio Ost");
    EXPECT_EQ(a[Frequency], "09500.500");
    EXPECT_EQ(a[Date], "20261201");
    EXPECT_EQ(a[BeginTime], "2330");
    EXPECT_EQ(a[EndTime], "2350");
    EXPECT_EQ(a[Sinpo], "45444");
    EXPECT_EQ(a[TxLocation], QString::fromUtf8("Tromsø"));
    EXPECT_EQ(a[Remarks], "Notes");
    const Record &b = r.records[1];
    EXPECT_EQ(b[Organisation], "BBC1");
    EXPECT_EQ(b[Frequency], "06195");
    EXPECT_EQ(b[Remarks], "Fine");
    EXPECT_EQ(b[Language], "EN");

    const std::pair<int, const char *> why[] = {
        {3, "CALL \"Radio Twenty Five Letters\" is 25 characters long; BC Org. holds 20"},
        {4, "QSO_DATE \"20261340\" is not a date"},
        {4, "TIME_ON \"2599\" is not a time"},
        {5, "no frequency (FREQ)"},
        {6, "FREQ \"abc\" is not a frequency in MHz"},
        {7, "its field COMMENT says 99 characters, but the file ends after 3"},
    };
    const QString text = logimport::problemsText(r, "other.adi");
    EXPECT_TRUE(text.startsWith("other.adi: 5 of 7 records were not imported:")) << text.toStdString();
    for (const auto &[no, w] : why)
        EXPECT_TRUE(text.contains(QStringLiteral("record %1: ").arg(no)) && text.contains(QLatin1String(w)))
            << w << "\n" << text.toStdString();

    // ADX of another program: its own application fields pass by.
    const QByteArray adx = R"(<?xml version="1.0"?><ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER></HEADER><RECORDS>
        <RECORD><CALL>R Ost</CALL><FREQ>11.7</FREQ><QTH_INTL>Kénadou</QTH_INTL><QTH>Kenadou</QTH>
        <APP PROGRAMID="OTHER" FIELDNAME="LANGUAGE" TYPE="S">xx</APP><COMMENT_INTL>Très bien</COMMENT_INTL></RECORD>
        </RECORDS></ADX>)";
    const logimport::Result x = logimport::parse(adx, true);
    ASSERT_EQ(x.records.size(), 1);
    EXPECT_EQ(x.records[0][TxLocation], QString::fromUtf8("Kénadou"));
    EXPECT_EQ(x.records[0][Remarks], QString::fromUtf8("Très bien"));
    EXPECT_EQ(x.records[0][Frequency], "11700");
    EXPECT_TRUE(x.records[0][Language].isEmpty());
}

// Hostile input ends in a message or in named records, never in a crash or a
// record made up.
TEST(LogImport, HostileInputIsToldNotTrusted)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        bool adx;
        bool ok;
        int records;
        int bad;
    };
    const Case cases[] = {
        {"empty", "", false, true, 0, 0},
        {"no EOH", "just text <CALL:3>ABC<EOR>", false, false, 0, 0},
        {"length far beyond", "<CALL:99999999999999999999>x<FREQ:1>7<EOR>", false, true, 0, 1},
        {"tag never closed", "<CALL:3>ABC<FREQ:4>7.25<EOR><CALL:3", false, true, 1, 0},
        {"binary", QByteArray("<CALL:4>\x00\xff\xfe\x01<FREQ:1>7<EOR>", 26), false, true, 1, 0},
        {"Windows-1252", "<CALL:6>Bogot\xe1<FREQ:1>7<EOR>", false, true, 1, 0},
        {"broken XML", "<ADX><RECORDS><RECORD><CALL>x</RECORD>", true, false, 0, 0},
        {"XML not ADX", "<?xml version=\"1.0\"?><html><body/></html>", true, true, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const logimport::Result r = logimport::parse(c.bytes, c.adx);
        EXPECT_EQ(r.ok, c.ok) << r.error.toStdString();
        EXPECT_EQ(r.records.size(), c.records);
        EXPECT_EQ(r.bad.size(), c.bad);
        if (!c.ok)
            EXPECT_FALSE(r.error.isEmpty());
    }
    const logimport::Result latin = logimport::parse("<CALL:6>Bogot\xe1<FREQ:1>7<EOR>", false);
    EXPECT_EQ(latin.records.value(0)[Organisation], QString::fromUtf8("Bogotá"));
    EXPECT_EQ(logimport::partName("LOG_BIG.TXT", 1), "LOG_BIG.TXT");
    EXPECT_EQ(logimport::partName("LOG_BIG.TXT", 3), "LOG_BIG-3.TXT");
}
