// The broadcast database conversion, the converted-list reader, the filters
// and the tracking lookup.
#include "common/textfile.h"
#include "link/captions.h"
#include "schedules/dbftable.h"
#include "schedules/eibi.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"
#include "schedules/ilgfilter.h"
#include "schedules/tracking.h"
#include "testkit.h"
#include "common/filebytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList kAreas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};

QStringList fields()
{
    return ilg::requiredFields(kAreas);
}

using V = std::optional<QString>;

// A record: UTC, FREQ, STATION, TARGET, LANGUAGE, POWER, LATI, LONGI, COUNTRY, areas.
QList<V> rec(V utc, V freq, V station = QString("Radio Test"), QList<V> areas = {})
{
    QList<V> r{utc, freq, station, QString("EU"), QString("English"), QString("100 kW"),
               QString("5205N"), QString("00445E"), QString("Testland")};
    for (int i = 0; i < 9; ++i)
        r << areas.value(i, std::nullopt);
    return r;
}

// A .ftl line at a frequency with a time window.
QString line(double khz, const QString &utc = "0000-2400", const QString &target = "EU",
             const QString &flags = "000100000", const QString &lang = "English",
             const QString &lat = "5205N", const QString &lon = "00445E")
{
    ilg::Record r{utc, {}, "Radio Test", target, lang, "100", lat, lon, "Testland", {}, {}};
    for (int k = 0; k < 9; ++k)
        r.areas << (flags.at(k) == '1' ? kAreas.at(k) : QString("  "));
    return ftl::normalize(ilg::ftlLine(r, khz, kAreas));
}

} // namespace

TEST(IlgConvert, LineLayoutFieldsCutPaddedFlagsAndNulls)
{
    // A Null (blank) target, language, power, position and country.
    const ilg::Record r{QString("1200-1300"), {}, "A station name longer than twenty-two", "  ", "  ", "  ", "  ",
                        "  ", "  ", {"  ", "  ", "  ", "EU", "AF", "  ", "AS ", "EU", "  "}, {}};
    const QString cut = ilg::ftlLine(r, 6175, kAreas);
    EXPECT_EQ(cut.mid(19, 22), "A station name longer ");
    // EU and AF in their own columns; AS with padding still matches; "EU"
    // in the AU column does not.
    EXPECT_EQ(cut.mid(90, 9), "000110100");

    // The frequency as written in the list; a Null station is blank; a CR LF
    // or NUL inside a value is a blank and never splits or cuts the record.
    const struct {
        const char *freq;
        V station;
        const char *want, *shown;
    } cases[] = {{"6175", QString("Radio Test"), "06175.00", "Radio Test"},
                 {"153", QString("Radio Test"), "00153.00", "Radio Test"},
                 {"15120.5", QString("Radio Test"), "15120.50", "Radio Test"},
                 {" 9,5", QString("Radio Test"), "00009.50", "Radio Test"},
                 {"6175", std::nullopt, "06175.00", ""},
                 {"6180", QString("Radio\r\nTest") + QChar(0) + "X", "06180.00", "Radio  Test X"}};
    MemoryTable t(fields());
    for (const auto &c : cases)
        t.add(rec(QString("0600-0700"), QString(c.freq), c.station));
    QTemporaryDir d;
    const ilg::Result res = ilg::convert(t, "T", d.filePath("x.ftl"), kAreas);
    ASSERT_TRUE(res.ok) << res.error.toStdString();
    QStringList lines;
    ASSERT_TRUE(textfile::readLines(d.filePath("x.ftl"), &lines, nullptr));
    ASSERT_EQ(lines.size(), qsizetype(std::size(cases)));
    for (int i = 0; i < lines.size(); ++i) {
        const QString &l = lines[i];
        EXPECT_EQ(l.size(), ilg::FtlWidth) << i;
        EXPECT_EQ(l.left(8) + '|' + l.mid(19, 22), cases[i].want + ('|' + QString(cases[i].shown).leftJustified(22)));
        EXPECT_EQ(l.mid(9, 9) + '|' + l.mid(77, 5) + '|' + l.mid(83, 6) + '|' + l.mid(100, 12),
                  "0600-0700|5205N|00445E|Testland    ");
    }
}

TEST(DbfTable, TextByLanguageDriverControlCharactersAndDamagedFiles)
{
    // A one-field table (STATION, 16 characters) with the given language
    // driver byte and one record.
    auto table = [](const QString &path, int driver, const QByteArray &value) {
        QByteArray h(32, '\0');
        h[0] = 0x03;
        h[4] = 1;                 // one record
        h[8] = 32 + 32 + 1;       // header length
        h[10] = 1 + 16;           // record length
        h[29] = char(driver);
        QByteArray fd(32, '\0');
        fd.replace(0, 7, "STATION");
        fd[11] = 'C';
        fd[16] = 16;
        writeBytes(path, h + fd + "\r" + " " + value.leftJustified(16, ' ', true) + "\x1a");
    };
    const struct {
        int driver;
        QByteArray bytes;
        std::optional<QString> want;
    } cases[] = {
        {0x01, "Fran\x87" "aise", QString::fromUtf8("Française")},
        {0x02, "S\x9bren", QString::fromUtf8("Søren")},
        {0x03, "Fran\xe7" "aise", QString::fromUtf8("Française")},
        {0x57, "\x80 5", QString::fromUtf8("€ 5")},
        {0x64, "\x9d\xa2" "d\xab", QString::fromUtf8("Łódź")},
        {0x65, "\x8c\xae\xe1\xaa\xa2\xa0", QString::fromUtf8("Москва")},
        {0x00, "Fran\xe7" "aise", QString::fromUtf8("Française")},
        {0x00, "Fran\xc3\xa7" "aise", QString::fromUtf8("Française")}, // UTF-8
        {0x7e, "Fran\xe7" "aise", QString::fromUtf8("Française")},      // unknown
        {0x03, QByteArray("Ab\0cd\r\nef", 9), QString("Ab cd  ef")},
        {0x03, QByteArray("  Ab\0\0\0", 7), QString("  Ab")},
        {0x03, QByteArray("\0\0 ", 3), std::nullopt},
    };
    QTemporaryDir d;
    for (const auto &c : cases) {
        const QString path = d.filePath("t.dbf");
        table(path, c.driver, c.bytes);
        QString err;
        auto t = DbfTable::open(path, &err);
        ASSERT_TRUE(t) << err.toStdString();
        ASSERT_EQ(t->recordCount(), 1);
        EXPECT_EQ(t->value(0, t->fieldIndex("STATION")), c.want) << c.bytes.toHex().constData();
    }

    // Damaged files.
    const QByteArray all = readBytes(sourcePath("data/demo/ILG/ilgadata.dbf"));
    ASSERT_FALSE(all.isEmpty());
    auto write = [&](const QString &name, const QByteArray &bytes) {
        writeBytes(d.filePath(name), bytes);
        return d.filePath(name);
    };
    QString err;
    EXPECT_FALSE(DbfTable::open(write("empty.dbf", {}), &err));
    EXPECT_TRUE(err.contains("empty.dbf"));
    EXPECT_FALSE(DbfTable::open(write("head.dbf", all.left(100)), &err));
    EXPECT_TRUE(err.contains("damaged"));
    EXPECT_FALSE(DbfTable::open(write("text.dbf", QByteArray(4000, 'x')), &err));
    EXPECT_FALSE(DbfTable::open(d.filePath("missing.dbf"), &err));

    // Cut inside the records: the complete ones are read, the user is told.
    auto t = DbfTable::open(write("cut.dbf", all.left(all.size() * 2 / 3)), &err);
    ASSERT_TRUE(t) << err.toStdString();
    EXPECT_LT(t->recordCount(), t->announced());
    const ilg::Result r = ilg::convert(*t, "cut.dbf", d.filePath("cut.ftl"), kAreas);
    ASSERT_TRUE(r.ok);
    EXPECT_GT(r.converted, 10);
    EXPECT_TRUE(r.warning.contains("damaged")) << r.warning.toStdString();

    // Values: text read by name in any letter case, Null for blanks.
    auto full = DbfTable::open(write("ok.dbf", all), &err);
    ASSERT_TRUE(full);
    EXPECT_EQ(full->fieldIndex("freq"), full->fieldIndex("FREQ"));
    EXPECT_GE(full->fieldIndex("STATION"), 0);
    EXPECT_EQ(full->fieldIndex("NOPE"), -1);
    bool sawNull = false;
    for (int i = 0; i < full->recordCount() && !sawNull; ++i)
        sawNull = !full->value(i, full->fieldIndex("PA")).has_value();
    EXPECT_TRUE(sawNull);
}

// Unusable records skipped, bad frequencies reported; a missing field
// writes nothing; a stop keeps what was written so far.
TEST(IlgConvert, SkipsUnusableRecordsMissingFieldAndStop)
{
    MemoryTable t(fields());
    t.add(rec(QString("0600-0700"), QString("6175")));
    t.add(rec(QString(" 600-0700"), QString("6180"))); // blank first: skipped, not counted
    t.add(rec(QString("n/a"), QString("6185")));       // letter first
    t.add(rec(std::nullopt, QString("6190")));         // Null UTC
    t.add(rec(QString("0700-0800"), std::nullopt));    // Null FREQ
    t.add(rec(QString("0700-0800"), QString("abc")));  // non-numeric FREQ
    t.add(rec(QString("0800-0900"), QString("7200")));
    QTemporaryDir d;
    const QString out = d.filePath("x.ftl");
    const ilg::Result r = ilg::convert(t, "ILGSDATA.dbf", out, kAreas);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.converted, 2);
    EXPECT_EQ(r.badFreq, 2);
    EXPECT_EQ(r.badFreqRecords, (QList<int>{5, 6}));
    EXPECT_TRUE(r.warning.contains("ILGSDATA.dbf")) << r.warning.toStdString();
    EXPECT_TRUE(r.warning.contains("record 5, 6"));

    writeBytes(out, "old\r\n");

    QStringList f = fields();
    f.removeAll("LONGI");
    MemoryTable broken(f);
    const ilg::Result bad = ilg::convert(broken, "ILGADATA.dbf", out, kAreas);
    EXPECT_FALSE(bad.ok);
    EXPECT_TRUE(bad.error.contains("LONGI"));
    EXPECT_TRUE(bad.error.contains("ILGADATA.dbf"));
    EXPECT_EQ(readBytes(out), "old\r\n"); // the old file is untouched

    MemoryTable ten(fields());
    for (int i = 0; i < 10; ++i)
        ten.add(rec(QString("0600-0700"), QString::number(6000 + i * 5)));
    const ilg::Result stopped = ilg::convert(ten, "T", out, kAreas, [](int n, const QString &) { return n == 3; });
    EXPECT_TRUE(stopped.ok);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_EQ(readBytes(out).count('\n'), 3);
}

TEST(IlgConvert, DemoTablesGiveTheCommittedLists)
{
    // VOR_REGEN_DEMO=1 writes the lists into data/demo/Rx2Db instead.
    const bool regen = qEnvironmentVariableIsSet("VOR_REGEN_DEMO");
    for (const char *table : {ilg::SwTable, ilg::MwTable}) {
        const QString name = QString::fromLatin1(table);
        QString err;
        auto t = DbfTable::open(sourcePath("data/demo/ILG/" + name.toLower() + ".dbf"), &err);
        ASSERT_TRUE(t) << err.toStdString();
        QTemporaryDir d;
        const QString out = regen ? sourcePath("data/demo/Rx2Db/" + ilg::ftlName(name))
                                  : d.filePath(ilg::ftlName(name));
        const ilg::Result r = ilg::convert(*t, name + ".dbf", out, kAreas);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_GT(r.converted, 100);
        EXPECT_EQ(readBytes(out), readBytes(sourcePath("data/demo/Rx2Db/" + ilg::ftlName(name))))
            << name.toStdString();
    }
}

TEST(FtlFile, LoadPadsSortsAndLimitsAndOnAir)
{
    QTemporaryDir d;
    const QString p = d.filePath("x.ftl");
    textfile::writeLines(p, {line(9500), line(6175).left(40), line(7200), QString("\t06180.00 x")},
                         nullptr);
    ftl::Table t;
    const ftl::LoadResult r = ftl::load(p, 1000, &t);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.reordered);
    EXPECT_EQ(r.shortLines, 2);
    ASSERT_EQ(t.count(), 4);
    for (const QString &l : t.lines)
        EXPECT_EQ(l.size(), ftl::LineWidth);
    EXPECT_EQ(t.lines[0].left(8), "06175.00");
    EXPECT_EQ(ftl::freqOf(t.lines[1]), 6180); // a tab is a blank
    EXPECT_EQ(t.lines[2].left(8), "07200.00");
    EXPECT_EQ(t.lines[3].left(8), "09500.00");

    const ftl::LoadResult cut = ftl::load(p, 2, &t);
    EXPECT_TRUE(cut.truncated);
    EXPECT_EQ(t.count(), 2);
    EXPECT_FALSE(ftl::load(d.filePath("none.ftl"), 10, &t).ok);

    // On the air at t, past midnight too.
    struct Case {
        int start, end, t;
        bool on;
    } cases[] = {{2300, 100, 2330, true},  {2330, 2400, 2330, true}, {0, 100, 2330, false},
                 {600, 700, 700, true},    {600, 700, 559, false},   {600, 600, 600, false},
                 {2300, 100, 100, true},   {2300, 100, 101, false}};
    for (const Case &c : cases)
        EXPECT_EQ(ftl::onAir(c.start, c.end, c.t), c.on) << c.start << "-" << c.end << " " << c.t;
}

TEST(IlgFilter, IniSectionsAndTheDefaultFile)
{
    const ilgfilter::Choices c = ilgfilter::parse(
        {"stray", "=== comment", "*** from", "5.9", "=== skip", "*** to", "6.2", "*** lang",
         "ENG", "FRE", "*** st", "*** ctry", "*** area", "EU", "*** seventh", "ignored", "*** 8"});
    EXPECT_EQ(c.strayLines, 1);
    EXPECT_EQ(c.extraSections, 2);
    EXPECT_EQ(c.combo[0], QStringList{"5.9"});
    EXPECT_EQ(c.combo[2], (QStringList{"ENG", "FRE"}));
    EXPECT_TRUE(c.combo[3].isEmpty());
    EXPECT_EQ(c.combo[5], QStringList{"EU"});

    // The default file is made once, then read.
    QTemporaryDir d;
    const QString base = d.path() + "/";
    ilgfilter::Choices file;
    QString err;
    bool created = false;
    ASSERT_TRUE(ilgfilter::readOrCreate(base, &file, &err, &created));
    EXPECT_TRUE(created);
    EXPECT_TRUE(QFile::exists(base + "ilgfilter.ini"));
    EXPECT_TRUE(file.combo[5].contains("EU"));
    textfile::writeLines(base + "ilgfilter.ini", {"*** a", "1", "*** b", "2"}, &err);
    ASSERT_TRUE(ilgfilter::readOrCreate(base, &file, &err, &created));
    EXPECT_FALSE(created);
    EXPECT_EQ(file.combo[1], QStringList{"2"});
    // A folder that cannot take the file: a message, the lists still usable.
    EXPECT_FALSE(ilgfilter::readOrCreate(base + "missing/dir/", &file, &err));
    EXPECT_TRUE(err.contains("ilgfilter.ini"));
}

TEST(IlgFilter, Search)
{
    const QStringList lines{line(5895), line(5900), line(6100, "0600-0700", "EU", "000100000", "eng"),
                            line(6200.5, "2300-0100", "AF", "000010000", "ENG/FRE"),
                            line(6201, "0000-2400", "EU", "000100000", "Deng"), line(9500)};
    // The lines that pass one criterion switched on, with these texts, at t.
    auto run = [&](int on, std::initializer_list<std::pair<int, QString>> texts, int t = 630) {
        ilgfilter::Criteria c;
        if (on >= 0)
            c.on[on] = true;
        for (const auto &[k, text] : texts)
            c.text[k] = text;
        return ilgfilter::search(lines, c, t, kAreas);
    };
    EXPECT_EQ(run(-1, {}), (QList<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(run(0, {{0, "6,2"}, {1, "5.9"}}), (QList<int>{1, 2, 3})); // from > to: exchanged; comma a point
    EXPECT_EQ(run(1, {{2, "ENG"}}), (QList<int>{0, 1, 2, 3, 5}));
    EXPECT_EQ(run(5, {{5, "af"}}), (QList<int>{3}));
    EXPECT_TRUE(run(5, {{5, "XX"}}).isEmpty()); // no such area: nothing passes
    EXPECT_EQ(run(4, {}, 2330), (QList<int>{0, 1, 3, 4, 5}));

    EXPECT_EQ(ilgfilter::entryOf(lines[2]), lines[2].left(77) + lines[2].mid(100));
}

TEST(Tracking, LookupCatchRangePagesAndLimit)
{
    QStringList lines;
    for (double f : {6170.0, 6173.0, 6174.0, 6175.0, 6176.5, 6177.0, 6180.0})
        lines << line(f);
    EXPECT_EQ(track::lookup(lines, 6175), 4);
    EXPECT_EQ(track::lookup(lines, 100), 1);
    EXPECT_EQ(track::lookup(lines.mid(0, 1), 6175), 0);

    const track::Result r = track::build(lines, 4, 6175, 2, false, 1200);
    QStringList freqs;
    for (const QString &e : r.entries.mid(1))
        freqs << e.left(8);
    EXPECT_EQ(freqs, (QStringList{"06174.00", "06175.00", QString(track::Separator).left(8),
                                  "06176.50"}));

    QStringList timed{line(6175, "2300-0100"), line(6175, "2330-2400"), line(6175, "0000-0100")};
    EXPECT_EQ(track::build(timed, 1, 6175, 2, true, 2330).n(), 2);
    EXPECT_EQ(track::build(timed, 1, 6175, 2, false, 2330).n(), 3);

    // Pages and the limit.
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << line(6000 + i * 0.01);
    const track::Result full = track::build(many, 1, 6000, 5, false, 0);
    EXPECT_EQ(full.n(), track::MaxEntries);
    EXPECT_TRUE(full.pageEnabled(6));
    EXPECT_EQ(track::entryAt(full, 1, 0), full.entries.at(26));
    EXPECT_EQ(track::entryAt(full, 1, 26), full.entries.at(52));
    EXPECT_EQ(track::entryAt(full, 0, 0), QString());
    const track::Result few = track::build(many, 1, 6000, 0.1, false, 0);
    EXPECT_TRUE(few.pageEnabled(0));
    EXPECT_FALSE(few.pageEnabled(1));
}

TEST(Tracking, DistanceAndMarks)
{
    EXPECT_TRUE(track::distanceText("5205N", "00445E", "5205N", "00445E").startsWith("00000 km"));
    // Same meridian, 10 degrees south: about 1112 km, bearing 180.
    EXPECT_EQ(track::distanceText("5205N", "00445E", "4205N", "00445E"), "01112 km 180");
    EXPECT_EQ(track::distanceText("5205N", "00445E", "0119S", "03649E"), "06656 km 142");
    EXPECT_EQ(track::distanceText("5205N", "00445E", "", "00445E"), QString(12, ' '));

    const QString l = line(6175, "0600-0700", "NA/EU", "000000000");
    const track::Row dd = track::rowOf(l, track::Column::DisDir, false, 1200, "5205N", "00445E", "EU", 3);
    EXPECT_EQ(dd.text.mid(77, 8), "00000 km");
    EXPECT_EQ(dd.mark, track::Mark::Target); // "EU" in the target field
    const track::Row ct = track::rowOf(l, track::Column::Country, false, 1200, "", "", "AF", 4);
    EXPECT_EQ(ct.text.mid(77, 12), "Testland    ");
    EXPECT_EQ(ct.mark, track::Mark::None); // off the air at 1200, not aimed at AF
    EXPECT_EQ(track::rowOf(l, track::Column::LatLon, true, 1200, "", "", "AF", 4).mark,
              track::Mark::Station);
    EXPECT_EQ(track::rowOf(line(6175, "0600-0700", "AF", "000010000"), track::Column::LatLon, true,
                           1200, "", "", "ME", 4)
                  .mark,
              track::Mark::Target); // the area flag
}

TEST(EibiImport, LinesToFtlAndAFileSortedCountedOrRefused)
{
    using eibi::Bad;
    const struct {
        const char *in;
        Bad bad;
        bool ignored;
        const char *line; // the .ftl line, blanks at its end trimmed
    } cases[] = {
        // The days after the country (columns 114-120).
        {"6175;0000-0100;Mo-Fr;CAN;Maple Shore Radio;E;NAm;Cobalt Bay;1;;", Bad::None, false,
         "06175.00 0000-0100 Maple Shore Radio      NAm      E                                      100000000 Canada       12345"},
        // Site, P, Start and Stop may be missing; region and country targets
        // both set flags; an unknown ITU code is written as it stands.
        {"15120.5;2300-2400;;XYZ;A Station Name Longer Than 22;C,E;EAs/SEA+Eu/CHN", Bad::None, false,
         "15120.50 2300-2400 A Station Name Longer  EAs/SEA+ C,E                                    000100100 XYZ"},
        {"153 ; 0400-0500 ;;D;Aurelia LW;G;Oc;Site", Bad::None, false,
         "00153.00 0400-0500 Aurelia LW             Oc       G                                      000000011 Germany"},
        {"kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201", Bad::None, true, ""},
        {"   ", Bad::None, true, ""},
        {"6175;0000-0100;;CAN;Radio", Bad::Fields, false, ""},
        {"6175;0000-0100;;CAN; ;E;NAm", Bad::Fields, false, ""},
        {"61x5;0000-0100;;CAN;Radio;E;NAm", Bad::Frequency, false, ""},
        {"0;0000-0100;;CAN;Radio;E;NAm", Bad::Frequency, false, ""},
        {"123456;0000-0100;;CAN;Radio;E;NAm", Bad::Frequency, false, ""},
        {"6175;2500-0100;;CAN;Radio;E;NAm", Bad::Time, false, ""},
        {"6175;2400-2430;;CAN;Radio;E;NAm", Bad::Time, false, ""},
        {"6175;0060-0100;;CAN;Radio;E;NAm", Bad::Time, false, ""},
        {"6175;000-0100;;CAN;Radio;E;NAm", Bad::Time, false, ""},
        {"6175;0000/0100;;CAN;Radio;E;NAm", Bad::Time, false, ""},
    };
    for (const auto &c : cases) {
        const eibi::Parsed p = eibi::parseLine(QString::fromUtf8(c.in), kAreas);
        EXPECT_EQ(p.bad, c.bad) << c.in;
        EXPECT_EQ(p.ignored, c.ignored) << c.in;
        if (c.bad == Bad::None && !c.ignored) {
            EXPECT_EQ(p.line.size(), QString(c.line).size() > ilg::FtlWidth ? 120 : ilg::FtlWidth) << c.in;
            EXPECT_EQ(p.line.trimmed(), QString::fromUtf8(c.line)) << c.in;
        }
    }

    // A file: sorted, counted, and the old list kept on a failure.
    QTemporaryDir dir;
    const QString csv = dir.filePath("sked.csv"), out = dir.filePath("sked.ftl");
    QString err;
    ASSERT_TRUE(textfile::writeLines(csv,
                                     {"kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62",
                                      "9400;0100-0200;;G;Second at 9400;E;Eu", "7300;0000-0100;;G;B;E;Eu",
                                      "9400;0000-0100;;G;Third at 9400;E;Eu", "x;0000-0100;;G;C;E;Eu",
                                      "6000;0000-0100;;G", "5950;0000-0100;;G;A;E;Eu"},
                                     &err));
    // The first 9400 line stays before the second: a stable sort.
    eibi::Result r = eibi::import(csv, out, kAreas);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.records, 4);
    EXPECT_EQ(r.bad, 2);
    EXPECT_EQ(r.badLines, (QList<int>{5, 6}));
    EXPECT_TRUE(r.summary("x.ftl").contains("2 line(s) skipped")) << r.summary("x.ftl").toStdString();
    const QList<QByteArray> lines = readBytes(out).split('\n');
    ASSERT_EQ(lines.size(), 5);
    const char *order[] = {"05950.00", "07300.00", "09400.00 0100-0200", "09400.00 0000-0100"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(lines.at(i).startsWith(order[i])) << lines.at(i).constData();
        EXPECT_TRUE(lines.at(i).endsWith('\r'));
    }

    // A file without a single record, and one that cannot be read: the
    // converted list from before stays.
    ASSERT_TRUE(textfile::writeLines(csv, {"not;a;schedule"}, &err));
    for (const QString &in : {csv, dir.filePath("missing.csv")}) {
        r = eibi::import(in, out, kAreas);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.error.contains(QDir::toNativeSeparators(in))) << r.error.toStdString();
        EXPECT_EQ(QFileInfo(out).size(), 4 * 114);
    }
}
