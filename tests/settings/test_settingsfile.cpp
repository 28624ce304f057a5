// The settings file: reading damaged or odd files, writing, and the field rules.
#include "settings/settings.h"
#include "common/filebytes.h"
#include "settings/validate.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

using namespace settingsrules;

TEST(SettingsFile, ParsesLenientlyAndOddFilesLoadWithoutHarm)
{
    QString text = "C:\\VRTSV6\\\r\n5205N\r\n0445E\r\n";
    for (int i = 1; i <= 15; ++i)
        text += QString(" %1\r\n").arg(i + 100);
    Settings s = settingsfile::parse(text);
    EXPECT_EQ(s.base_dir + '|' + s.rx_lat + '|' + s.rx_long, "C:\\VRTSV6\\|5205N|0445E");
    EXPECT_EQ(s.v[1], 101);
    EXPECT_EQ(s.v[15], 115);
    for (int i = 16; i <= 20; ++i)
        EXPECT_EQ(s.v[i], 0) << i;

    text = "/d/\n1111N\n02222W\n";
    for (int i = 1; i <= 25; ++i)
        text += QString::number(i) + "\n";
    s = settingsfile::parse(text);
    EXPECT_EQ(s.v[20], 20);
    EXPECT_EQ(s.v.size(), 21u);

    // Letters where numbers belong, decimal comma, trailing text, no final
    // line break.
    s = settingsfile::parse("/d/\nx\ny\nabc\n-2,5\n 3 h\n\n1e1x");
    EXPECT_EQ(s.v[1], 0);
    EXPECT_FLOAT_EQ(s.v[2], -2.5f);
    EXPECT_EQ(s.v[3], 3);
    EXPECT_EQ(s.v[4], 0);
    EXPECT_EQ(s.v[5], 10);

    // Missing, empty, truncated and odd files load without harm.
    QTemporaryDir dir;
    const QString p = dir.filePath("VRTSV6.INI");
    // Missing: the message names the file, the values stay.
    s = settingsfile::defaults();
    QString error;
    EXPECT_FALSE(settingsfile::load(p, &s, &error));
    EXPECT_TRUE(error.contains(p) && error.contains("does not exist")) << error.toStdString();
    EXPECT_EQ(s.v, settingsfile::defaults().v);

    writeBytes(p, "");
    ASSERT_TRUE(settingsfile::load(p, &s, nullptr));
    EXPECT_TRUE(s.base_dir.isEmpty());
    EXPECT_EQ(s.v[1], 1); // no port 0: the first one

    writeBytes(p, "/data/radio/\r\n5205N");  // cut off after line 2
    ASSERT_TRUE(settingsfile::load(p, &s, nullptr));
    EXPECT_EQ(s.base_dir, "/data/radio/");
    EXPECT_EQ(s.rx_lat, "5205N");
    EXPECT_TRUE(s.rx_long.isEmpty());


    // Old Windows file: Windows-1252 text survives.
    writeBytes(p, "C:\\R\xE9SEAU\\\r\n5205N\r\n0445E\r\n 2\r\n");
    ASSERT_TRUE(settingsfile::load(p, &s, nullptr));
    EXPECT_EQ(s.base_dir, QString::fromUtf8("C:\\RéSEAU\\"));
    EXPECT_EQ(s.v[1], 2);

    // Numbers no int can hold: the port, area and list sizes are put right,
    // not left to an overflowing conversion.
    writeBytes(p, "/d/\r\n5205N\r\n0445E\r\n99999999999999999999\r\n0\r\n0\r\n0\r\n0\r\n0\r\n"
                "-99999999999999999999\r\n1e300\r\n");
    ASSERT_TRUE(settingsfile::load(p, &s, nullptr));
    EXPECT_EQ(s.portNumber(), 1);
    EXPECT_EQ(s.targetArea(), 3);
    EXPECT_EQ(s.dim(0), 30);
}

TEST(SettingsFile, OutOfRangeValuesArePutRightAndNamed)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("VRTSV6.INI");
    struct Case {
        int index;
        QString text;
        float used;
        const char *note; // empty: in range, nothing said
    } cases[] = {
        {1, " 7", 1, "CommPort 7 is out of range (1 to 4): 1 is used."},
        {1, " 2.5", 1, "CommPort 2.5"},
        {1, " 4", 4, ""},
        {2, " 1e30", 0, "LT-UTC (a number too large) is out of range (-13 to +13 h): 0 is used."},
        {2, "-14", 0, "LT-UTC -14"},
        {2, "-13", -13, ""},
        {7, " 9", 3, "RX Target Area 9"},
        {8, " 3000000", 30, "DIM BDX 3000000 is out of range (1 to 30): 30 is used."},
        {8, QString(5000, '9'), 30, "DIM BDX (a number too large) is out of range (1 to 30)"},
        {9, " 0", 1, "DIM OWN 0 is out of range (1 to 30): 1 is used."},
        {11, " 30", 30, ""},
    };
    for (const Case &c : cases) {
        Settings good = settingsfile::defaults();
        good.base_dir = "/d/";
        QStringList lines = settingsfile::lines(&good);
        lines[2 + c.index] = c.text;
        writeBytes(p, lines.join("\r\n").toUtf8());
        Settings s;
        QStringList notes;
        ASSERT_TRUE(settingsfile::load(p, &s, nullptr, &notes));
        EXPECT_EQ(s.v[c.index], c.used) << qPrintable(c.text);
        if (*c.note) {
            ASSERT_EQ(notes.size(), 1) << qPrintable(c.text);
            EXPECT_TRUE(notes.first().startsWith(c.note)) << qPrintable(notes.first());
        } else {
            EXPECT_TRUE(notes.isEmpty()) << qPrintable(c.text);
        }
    }
    // The accessors stay in range even for values set in memory.
    Settings s;
    s.v[2] = 1e30f;
    s.v[8] = 3e6f;
    EXPECT_EQ(s.ltMinusUtc(), 13);
    EXPECT_EQ(s.dim(0), 30);
}

// After the twenty values: the serial device, then a line for each setting
// away from its default, so older files read as before (defaults) and a
// reader that stops after the twentieth number sees the same values.
TEST(SettingsFile, LinesAfterTheTwentyValues)
{
    QTemporaryDir dir;
    Settings s = settingsfile::defaults();
    s.base_dir = dir.path() + '/';
    s.v[5] = 1;
    EXPECT_EQ(settingsfile::lines(&s).size(), 18); // all at their defaults: the usual 18 lines
    const Settings old = settingsfile::parse(settingsfile::lines(&s).join('\n'));
    s.port_device = "/dev/ttyUSB0";
    QString error;
    ASSERT_TRUE(settingsfile::save(&s, &error)) << qPrintable(error);
    const QList<QByteArray> file = readBytes(s.base_dir + "VRTSV6.INI").split('\n');
    ASSERT_EQ(file.size(), 25); // 24 lines and the final line break
    EXPECT_EQ(file[18], "\r");  // values 16-20 stay unwritten
    EXPECT_EQ(file[23], "/dev/ttyUSB0\r");
    Settings back;
    QStringList notes;
    ASSERT_TRUE(settingsfile::load(s.base_dir + "VRTSV6.INI", &back, &error, &notes));
    EXPECT_EQ(back.port_device, "/dev/ttyUSB0");
    EXPECT_EQ(back.v[16], 0);
    EXPECT_TRUE(notes.isEmpty()) << qPrintable(notes.join('\n'));
    s.port_device.clear();

    using Set = std::function<void(Settings &, bool)>;
    const std::pair<const char *, Set> extras[] = {
        {"rigctl_port=4532", [](Settings &x, bool on) { x.rigctl_port = on ? 4532 : 0; }},
        {"follow_dial=1", [](Settings &x, bool on) { x.follow_dial = on; }},
        {"rec_format=opus", [](Settings &x, bool on) {
             x.rec_source = on ? "alsa_input.usb-sound.mono" : "default";
             x.rec_format = on ? "opus" : "flac";
         }},
        {"fast_mem_read=1", [](Settings &x, bool on) { x.fast_mem_read = on; }},
        {"panel_meter=1", [](Settings &x, bool on) { x.panel_meter = on; }},
        {"high_contrast=1", [](Settings &x, bool on) { x.high_contrast = on; }},
        {"rigctl_listen=0.0.0.0",
         [](Settings &x, bool on) { x.rigctl_listen = on ? "0.0.0.0" : "127.0.0.1"; }},
        {"rigctl_allow=10.0.0.0/8",
         [](Settings &x, bool on) { x.rigctl_allow = on ? "10.0.0.0/8" : ""; }},
        {"sked_base=http://mirror.example/sked/", [](Settings &x, bool on) {
             x.sked_base = on ? "http://mirror.example/sked/" : Settings().sked_base;
         }},
        {"sked_weekly=1", [](Settings &x, bool on) { x.sked_weekly = on; }},
    };
    const auto same = [](Settings a, Settings b) { return settingsfile::lines(&a) == settingsfile::lines(&b); };
    Settings all = s;
    for (const auto &[line, set] : extras) {
        SCOPED_TRACE(line);
        Settings one = s;
        set(one, true);
        set(all, true);
        const QStringList l = settingsfile::lines(&one);
        ASSERT_EQ(l.size(), 25 + (QString(line).startsWith("rec_") ? 1 : 0));
        EXPECT_EQ(l[23], ""); // the (empty) serial device
        EXPECT_EQ(l.last(), line);
        EXPECT_TRUE(same(settingsfile::parse(l.join('\n')), one));
        EXPECT_EQ(settingsfile::parse(l.mid(0, 23).join('\n')).v, s.v);
        set(one, false);
        EXPECT_TRUE(same(old, one)); // older files: the default
    }
    EXPECT_TRUE(same(settingsfile::parse(settingsfile::lines(&all).join('\n')), all));
    EXPECT_EQ(settingsfile::lines(&all).mid(settingsfile::lines(&all).size() - 4),
              QStringList({"rigctl_listen=0.0.0.0", "rigctl_allow=10.0.0.0/8",
                           "sked_base=http://mirror.example/sked/", "sked_weekly=1"}));
    // Values that are no port or no known format read as the default.
    for (const char *bad : {"rigctl_port=0", "rigctl_port=70000", "rigctl_port=x", "junk"}) {
        QStringList b = settingsfile::lines(&all).mid(0, 25);
        b.last() = QString::fromLatin1(bad);
        EXPECT_EQ(settingsfile::parse(b.join('\n')).rigctl_port, 0) << bad;
    }
    EXPECT_EQ(settingsfile::parse("a\nb\nc\n" + QString("\n").repeated(20) + "rec_format=mp3").rec_format, "flac");
}

TEST(SettingsFile, SaveWritesFifteenValuesAndRaisesListSizes)
{
    QTemporaryDir dir;
    Settings s = settingsfile::defaults();
    s.base_dir = dir.path() + '/';
    // Each named value on its own line.
    s.setPortNumber(4);
    s.setLtMinusUtc(-2);
    s.setPowerOnAtStart(true);
    s.setEditorEnabled(true);
    s.setTargetArea(5);
    s.setDim(1, 0);   // DIM OWN below 1
    s.setDim(2, -4);  // DIM LOG below 1
    s.setDim(3, 2.3); // single precision, written as typed
    s.v[12] = 1.5f;
    s.v[13] = -0.0f;  // written " 0"
    s.setEcssFitted(true);
    s.v[16] = 7;      // never written
    QString error;
    ASSERT_TRUE(settingsfile::save(&s, &error)) << error.toStdString();
    EXPECT_EQ(s.v[9], 1);
    EXPECT_EQ(s.v[10], 1);

    const QByteArray expected = s.base_dir.toUtf8() + "\r\n5205N\r\n0445E\r\n"
                                " 4\r\n-2\r\n 1\r\n 0\r\n 0\r\n 1\r\n 5\r\n"
                                " 2\r\n 1\r\n 1\r\n 2.3\r\n 1.5\r\n 0\r\n 1\r\n 0\r\n";
    EXPECT_EQ(readBytes(s.base_dir + "VRTSV6.INI"), expected);

    // Round trip.
    Settings back;
    ASSERT_TRUE(settingsfile::load(s.base_dir + "VRTSV6.INI", &back, &error));
    EXPECT_EQ(back.base_dir, s.base_dir);
    for (int i = 1; i <= 15; ++i)
        EXPECT_EQ(back.v[i], s.v[i]) << i;
    EXPECT_EQ(back.v[16], 0);
}

// ---- field rules -----------------------------------------------------------

TEST(FieldRules, StoreFirstThenShowTheDefaultAndTheFirstRunDefaultsPass)
{
    const QString home = QDir::homePath() + "/VRTSV6/";
    using Check = std::function<FieldCheck(const QString &)>;
    const Check win = [](const QString &x) { return checkDir(x, PathStyle::Windows); };
    const Check posix = [](const QString &x) { return checkDir(x, PathStyle::Posix); };
    const struct {
        const char *field;
        Check check;
        QStringList good, bad;
        QString shown, message, sep; // sep: what a path gets at its end
    } fields[] = {
        {"lat", checkLat, {"5205N", "3330S", "8959N"},
         {"0000N", "9000N", "5205n", "520N", "05205N", "5205E", "", "ABCDN"},
         "5205N", "Invalid Latitude\nExample: 5205N", ""},
        {"long", checkLong, {"17959W", "0445E", "00001E"},
         {"18000E", "00000E", "0445e", "445E", "0445EE1", "0445N"},
         "0445E", "Invalid Longitude\nExample: 0445E", ""},
        {"windows", win, {"C:\\VRTSV6\\", "D:\\DATA\\"}, {"DATA\\", "", "\\\\server\\share"},
         "C:\\VRTSV6\\", "Invalid path\nExample C:\\VRTSV6\\", "\\"},
        {"posix", posix, {"/srv/radio/"}, {"radio/", "", "C:\\VRTSV6\\", "~/VRTSV6"},
         home, "Invalid path\nExample " + home, "/"},
    };
    for (const auto &f : fields) {
        for (const QString &g : f.good) {
            const FieldCheck c = f.check(g);
            EXPECT_TRUE(c.ok) << f.field << " " << qPrintable(g);
            EXPECT_EQ(c.stored, g) << f.field;
        }
        for (const QString &b : f.bad) {
            const FieldCheck c = f.check(b);
            EXPECT_FALSE(c.ok) << f.field << " " << qPrintable(b);
            // Stored before the check.
            EXPECT_EQ(c.stored, b.endsWith(f.sep) && !b.isEmpty() ? b : b + f.sep) << f.field;
            EXPECT_EQ(c.shown, f.shown) << f.field;
            EXPECT_EQ(c.message, f.message) << f.field;
            EXPECT_EQ(c.title, "Default") << f.field;
        }
    }
    // A path without its final separator gets one.
    EXPECT_EQ(checkDir("D:\\DATA", PathStyle::Windows).shown, "D:\\DATA\\");
    EXPECT_EQ(checkDir("/srv/radio", PathStyle::Posix).stored, "/srv/radio/");
    EXPECT_EQ(checkDir("radio", PathStyle::Posix).stored, "radio/");

    // The list sizes.
    const char *defs[4] = {"2", "1", "1", "15"};
    for (int i = 0; i < 4; ++i) {
        FieldCheck c = checkDim(i, "0");
        EXPECT_FALSE(c.ok);
        EXPECT_EQ(c.shown + '|' + c.message + '|' + c.title,
                  QString(defs[i]) + "|Range is between\n1 and 30 (x 1000)|Default");
    }
    EXPECT_TRUE(checkDim(0, " 1").ok);
    EXPECT_TRUE(checkDim(0, "30").ok);
    EXPECT_EQ(checkDim(0, "12,5").value, 12.5);
    const FieldCheck c = checkDim(2, "31");
    EXPECT_FALSE(c.ok);
    EXPECT_EQ(c.value, 31);  // stored before the check
    EXPECT_FALSE(checkDim(1, "abc").ok);

    // Time differences: good ones rounded up to the next half hour.
    const std::pair<const char *, double> good[] = {{"5.5", 5.5},   {"5.2", 5.5}, {"1.25", 1.5}, {"-1.25", -1.5},
                                                    {" -2", -2},    {"+13", 13},  {"-13", -13}};
    for (const auto &[text, v] : good) {
        EXPECT_TRUE(checkTd(text).ok) << text;
        EXPECT_EQ(checkTd(text).value, v) << text;
    }
    EXPECT_TRUE(checkTd("1:").ok);
    const std::pair<const char *, QStringList> bad[] = {{"Default 1", {"14", "-13.5", "13.1", ""}},
                                                        {"Default 2", {"1a", "2 ", "1,5", " 1 "}}};
    for (const auto &[title, texts] : bad)
        for (const QString &b : texts) {
            const FieldCheck c = checkTd(b);
            EXPECT_FALSE(c.ok) << qPrintable(b);
            EXPECT_EQ(c.title, title) << qPrintable(b);
            EXPECT_EQ(c.message, "Range is between\n+13 and -13 h");
            EXPECT_EQ(c.shown, "0");
        }
    EXPECT_EQ(checkTd("14").value, 14); // stored before the check

    // The first run's defaults, each passing its own rule.
    const Settings d = settingsfile::defaults();
    EXPECT_EQ(d.base_dir, QDir::homePath() + "/VRTSV6/");
    EXPECT_TRUE(checkDir(d.base_dir).ok);
    EXPECT_TRUE(checkLat(d.rx_lat).ok);
    EXPECT_TRUE(checkLong(d.rx_long).ok);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(checkDim(i, QString::number(d.dim(i))).ok);
}

