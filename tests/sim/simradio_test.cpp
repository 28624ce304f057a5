// The receiver model: command texts, reply layouts, local control, faults.
#include "sim/simradio.h"
#include "simwait.h"

#include <gtest/gtest.h>

namespace {

SimRadio::Record rec(int att, int bw, int mode, qint64 hz, int agc)
{
    SimRadio::Record r;
    r.att = att;
    r.bw = bw;
    r.mode = mode;
    r.hz = hz;
    r.agc = agc;
    return r;
}

// A receiver already in remote control.
struct Remote {
    explicit Remote(SimRadio::Memory m = SimRadio::EmptyMemory) : radio(m) { radio.execute("H1"); }
    QByteArray operator()(const QByteArray &cmd) { return radio.execute(cmd); }
    SimRadio radio;
};

bool allDigits(const QByteArray &s)
{
    for (char c : s)
        if (c < '0' || c > '9')
            return false;
    return !s.isEmpty();
}

// Frequency as the program's report decoder reads it: of the last ten
// characters, the first eight.
qint64 reportHz(const QByteArray &line)
{
    return line.right(10).left(8).toLongLong();
}

} // namespace

TEST(SimRadio, LocalControlIgnoresEverythingButH1)
{
    SimRadio radio(SimRadio::DemoMemory);
    const auto before = radio.working();
    EXPECT_FALSE(radio.remote());
    for (const char *c : {"F06175000", "L000000", "H0"})
        EXPECT_TRUE(radio.execute(c).isEmpty()) << c;
    EXPECT_EQ(radio.working(), before);
    EXPECT_EQ(radio.ignoredCount(), 3);

    radio.execute("H1");
    EXPECT_TRUE(radio.remote());
    radio.execute("F06175000");
    EXPECT_EQ(radio.working().hz, 6175000);

    radio.execute("H0");
    radio.execute("A1");
    EXPECT_EQ(radio.working().att, 0);
    EXPECT_EQ(radio.ignoredCount(), 4);
    EXPECT_EQ(radio.commandCount(), 7);
}

TEST(SimRadio, ReadOutsOfTheWorkingSettingsAndOfMemoryChannels)
{
    Remote rx;
    // Each command and the reply it gets ("": none), in turn.
    const std::pair<const char *, const char *> steps[] = {
        {"J1199", ""}, {"L199199", "L199004095000000\r"}, // at power-on: 9500 kHz AM
        {"A1", ""}, {"B2", ""}, {"D3", ""}, {"G1", ""}, {"F15120000", ""}, {"J1199", ""},
        {"L199199", "L199" "1" "2" "3" "15120000" "1" "\r"},
        // Channel 199 is overwritten each time.
        {"F00010000", ""}, {"A0", ""}, {"J1199", ""}, {"L199199", "L199023000100001\r"},
        // Empty channel: "V" in the attenuator place and the CR, 6 characters.
        {"L005005", "L005V\r"}, {"K005024095000001", ""}, {"L005005", "L005024095000001\r"},
        // A range: one line per channel, in order, empty ones as they come alone.
        {"K006114061750000", ""}, {"L004007", "L004V\rL005024095000001\rL006114061750000\rL007V\r"},
        {"U5005", ""}, {"L005005", "L005V\r"}, {"L006006", "L006114061750000\r"},
    };
    for (const auto &[cmd, reply] : steps)
        EXPECT_EQ(rx(cmd), QByteArray(reply)) << cmd;
    EXPECT_FALSE(rx.radio.channel(5).has_value());
    ASSERT_TRUE(rx.radio.channel(6).has_value());
    EXPECT_EQ(*rx.radio.channel(6), rec(1, 1, 4, 6175000, 0));
    EXPECT_EQ(rx.radio.malformedCount(), 0);
}

TEST(SimRadio, WholeMemoryReadOutsOfTheDemoAndAMixedMemory)
{
    // Every line is "L" ccc "V" CR or "L" ccc and a record the receiver holds.
    for (const int empty : {-1, 0, 50}) {
        Remote rx(SimRadio::DemoMemory);
        if (empty >= 0)
            rx.radio.fillAllBut(empty);
        const QList<QByteArray> lines = rx("L000199").split('\r');
        ASSERT_EQ(lines.size(), 201);
        EXPECT_TRUE(lines.last().isEmpty());
        int filled = 0;
        for (int ch = 0; ch < 200; ++ch) {
            const QByteArray &l = lines.at(ch);
            EXPECT_EQ(l.left(4), "L" + QByteArray::number(ch).rightJustified(3, '0'));
            if (l.size() == 5 && l.at(4) == 'V')
                continue;
            ++filled;
            ASSERT_EQ(l.size(), 16) << l.constData();
            EXPECT_TRUE(allDigits(l.mid(4)) && SimRadio::Record::fromRec12(l.mid(4))) << l.constData();
        }
        EXPECT_EQ(filled, empty < 0 ? 18 : 200 - empty);
    }
}

TEST(SimRadio, SetFromRecordAndRecall)
{
    Remote rx(SimRadio::DemoMemory);
    rx("S199024095000001");
    EXPECT_EQ(rx.radio.working(), rec(0, 2, 4, 9500000, 1));

    // Recall of a stored channel takes all its settings; an empty channel
    // leaves them as they were.
    for (const char *c : {"K007113061750002", "C007"})
        rx(c);
    EXPECT_EQ(rx.radio.working(), rec(1, 1, 3, 6175000, 2));
    for (const char *c : {"U5150", "C150"})
        rx(c);
    EXPECT_EQ(rx.radio.working(), rec(1, 1, 3, 6175000, 2));
    EXPECT_EQ(rx.radio.malformedCount(), 0);
}

TEST(SimRadio, MalformedCommandsChangeNothing)
{
    Remote rx(SimRadio::DemoMemory);
    rx("S199024095000001");
    const auto work = rx.radio.working();
    const QByteArray memory = rx("L000199");

    const QList<QByteArray> junk = {
        "", "F", "F123", "F0950000x", "F00009999", "F30000000", "F095000000",
        "C", "C7", "C200", "C0070", "Cabc",
        "L199198", "L200200", "L19919", "L1991999", "Lxxxyyy",
        "K005", "K0050240950000", "K00502409500000", "K005924095000001", "K200024095000001",
        "K005034095000009", "S199", "S19902409500000", "S198024095000001", "S199094095000001",
        "S199024000099991",
        "A2", "A", "A11", "B4", "D9", "G3", "N3", "Ax",
        "W", "W499", "W0499", "W5501", "P+2001", "P-2001", "P+01", "P++000", "Pabcd",
        "U", "U03", "U12", "U20800", "U3991", "U3501", "U3503", "U5200", "U5", "U7", "U9x",
        "J1198", "J1", "J11999", "I2", "X2", "T2", "O2", "M1", "H2", "H11",
        "R", "R8", "R1246000", "R1123", "R22400", "R31260", "R0x", "R44",
        "f09500000", "h1", QByteArray(300, 'F'), QByteArray("\x00\xff\r\n", 4), "Z", "?",
        " F09500000", "F09500000 ",
    };
    for (const QByteArray &c : junk)
        EXPECT_TRUE(rx(c).isEmpty()) << c.toHex().constData();
    EXPECT_EQ(rx.radio.malformedCount(), junk.size());
    EXPECT_EQ(rx.radio.working(), work);
    EXPECT_EQ(rx("L000199"), memory);
    EXPECT_TRUE(rx.radio.remote());
}

TEST(SimRadio, SettingCommandsTakeEffect)
{
    Remote rx;
    for (const char *c : {"N2", "U11", "P-0150", "W2200", "O1", "T0", "U36511", "U2+0750", "R22359", "R30600", "R5"})
        rx(c);
    const SimRadio &r = rx.radio;
    EXPECT_EQ(QStringList({QString::number(r.noiseBlanker()), QString::number(r.vbt()),
                           QString::number(r.passbandShift()), QString::number(r.bandwidthControl()),
                           QString::number(r.relay()), QString::number(r.timerSwitch()), r.userFunction(3),
                           r.userFunction(2), r.timerOn(), r.timerOff(), QString::number(r.clockDisplay())})
                  .join('|'),
              "2|1|-150|2200|1|0|6511|+0750|2359|0600|5");

    // A refresh sends the shift without a sign.
    rx("P0000");
    EXPECT_EQ(rx.radio.passbandShift(), 0);
    rx("U10");
    EXPECT_FALSE(rx.radio.vbt());
    EXPECT_EQ(rx.radio.malformedCount(), 0);
}

TEST(SimRadio, FrequencyReportsWhileI1IsOn)
{
    Remote rx;
    QList<QByteArray> reports;
    QObject::connect(&rx.radio, &SimRadio::spontaneous,
                     [&](const QByteArray &b) { reports.append(b); });

    rx.radio.turnDial(6180000);
    EXPECT_TRUE(reports.isEmpty());

    // "I1" is answered at once with the frequency set now (every time).
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(rx("I1"), "I004061800000\r");
    EXPECT_TRUE(reports.isEmpty());
    rx.radio.turnDial(6185000);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_TRUE(reports[0].endsWith('\r'));
    EXPECT_EQ(reportHz(reports[0]), 6185000);

    rx("F09500000");
    rx("K010003151200000");
    rx("C010");
    rx("S199024119999991");
    ASSERT_EQ(reports.size(), 4);
    EXPECT_EQ(reportHz(reports[1]), 9500000);
    EXPECT_EQ(reportHz(reports[2]), 15120000);
    EXPECT_EQ(reportHz(reports[3]), 11999999);

    // The tracking window hands control back with "H0": the dial still reports.
    rx("H0");
    rx.radio.turnDial(30000000);   // beyond the top: stays in range
    ASSERT_EQ(reports.size(), 5);
    EXPECT_EQ(reportHz(reports[4]), 29999999);

    rx("H1");
    rx("I0");
    rx.radio.turnDial(7000000);
    EXPECT_EQ(reports.size(), 5);
    EXPECT_EQ(rx.radio.working().hz, 7000000);
}

TEST(SimRadio, SignalStrengthReply)
{
    Remote rx;
    auto level = [&]() {
        const QByteArray r = rx("M");
        EXPECT_EQ(r.size(), 5);
        EXPECT_EQ(r.at(0), 'M');
        EXPECT_TRUE(r.endsWith('\r'));
        EXPECT_TRUE(allDigits(r.mid(1, 3))) << r.constData();
        return r.mid(1, 3).toInt();   // lower = stronger
    };
    const int noise = [&] { rx("F08000000"); return level(); }();
    const int station = [&] { rx("F09500000"); return level(); }();
    // Several S-units apart (4 raw steps per S-unit).
    EXPECT_LT(station, noise - 20);
    EXPECT_LE(station, 138);

    // A few kHz off the carrier with the narrow filter: much weaker.
    rx("B2");
    rx("F09504000");
    EXPECT_GT(level(), station + 20);

    // The attenuator weakens the reading by about 20 dB (13 raw steps).
    rx("B0");
    rx("F09500000");
    const int plain = level();
    rx("A1");
    const int att = level();
    EXPECT_GT(att, plain + 8);
    EXPECT_LT(att, plain + 18);
}

TEST(SimRadio, ClockReply)
{
    Remote rx;
    rx("R1123456");
    const QByteArray r = rx("R0");
    ASSERT_GE(r.size(), 8);
    EXPECT_TRUE(r.endsWith('\r'));
    EXPECT_TRUE(allDigits(r.mid(1, 6))) << r.constData();
    // Hours in characters 2-3, minutes in 4-5.
    EXPECT_EQ(r.mid(1, 2), "12");
    EXPECT_TRUE(r.mid(3, 2) == "34" || r.mid(3, 2) == "35") << r.constData();

    rx("R1235959");
    const QByteArray late = rx("R0").mid(1, 2);
    EXPECT_TRUE(late == "23" || late == "00") << late.constData();
}

TEST(SimRadio, SilentReceiverAndFallingSilent)
{
    Remote rx;
    QList<QByteArray> out;
    QObject::connect(&rx.radio, &SimRadio::spontaneous,
                     [&](const QByteArray &b) { out.append(b); });
    rx("I1");
    rx.radio.setSilent(true);
    for (const char *c : {"L199199", "M", "R0"})
        EXPECT_TRUE(rx(c).isEmpty()) << c;
    rx.radio.turnDial(6000000);
    EXPECT_TRUE(out.isEmpty());

    rx.radio.setSilent(false);
    EXPECT_EQ(rx("L199199"), "L199V\r");

    // Falling silent after a number of commands.
    rx.radio.silentAfter(3);
    EXPECT_EQ(rx("M").size(), 5);
    EXPECT_EQ(rx("J1199"), QByteArray());
    EXPECT_EQ(rx("L199199").size(), 17);
    EXPECT_TRUE(rx("L199199").isEmpty());
    EXPECT_TRUE(rx("M").isEmpty());
    EXPECT_TRUE(rx.radio.silent());
}

TEST(SimRadio, GarbledRepliesKeepTheirShape)
{
    Remote rx;
    rx("S199024095000001");
    rx("J1199");
    rx.radio.setGarbled(true);
    for (int i = 0; i < 4; ++i) {
        const QByteArray l = rx("L199199");
        ASSERT_EQ(l.size(), 17);
        EXPECT_TRUE(l.endsWith('\r'));
        EXPECT_FALSE(allDigits(l.mid(4, 12))) << l.constData();

        const QByteArray m = rx("M");
        ASSERT_EQ(m.size(), 5);
        EXPECT_FALSE(allDigits(m.mid(1, 3))) << m.constData();

        const QByteArray r = rx("R0");
        ASSERT_EQ(r.size(), 8);
        EXPECT_FALSE(allDigits(r.mid(1, 6))) << r.constData();
    }
    // The receiver itself is unharmed.
    rx.radio.setGarbled(false);
    EXPECT_EQ(rx("L199199"), QByteArray("L199024095000001\r"));
}

TEST(SimRadio, RttyTextWhileX1IsOn)
{
    Remote rx;
    QByteArray text;
    QObject::connect(&rx.radio, &SimRadio::spontaneous,
                     [&](const QByteArray &b) { text += b; });
    rx("X1");
    ASSERT_TRUE(waitUntil([&] { return text.size() >= 10; }));
    EXPECT_EQ(text, text.toUpper());
    rx("X0");
    const qsizetype stopped = text.size();
    QTest::qWait(400);
    EXPECT_EQ(text.size(), stopped);
}
