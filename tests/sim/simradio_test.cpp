// The receiver model: command texts, reply layouts, local control, faults.
#include "sim/simradio.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using Rec = SimRadio::Record; // att, bw, mode, hz, agc

// A receiver already in remote control.
struct Remote {
    explicit Remote(SimRadio::Memory m = SimRadio::EmptyMemory) : radio(m) { radio.execute("H1"); }
    QByteArray operator()(const QByteArray &cmd) { return radio.execute(cmd); }
    SimRadio radio;
};

} // namespace

TEST(SimRadio, LocalControlIgnoresEverythingButH1AndASilentReceiverAnswersNothing)
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

    // Silent in remote control: no reply and no report.
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

TEST(SimRadio, ReadOutsOfTheWorkingSettingsOfChannelsAndOfTheWholeMemory)
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
    EXPECT_EQ(rx.radio.channel(6), std::optional<Rec>(Rec{1, 1, 4, 6175000, 0}));
    EXPECT_EQ(rx.radio.malformedCount(), 0);

    // The whole memory of the demo and of a mixed one: every line is "L" ccc
    // "V" CR or "L" ccc and a record the receiver holds.
    for (const int empty : {-1, 0, 50}) {
        Remote demo(SimRadio::DemoMemory);
        if (empty >= 0)
            demo.radio.fillAllBut(empty);
        const QList<QByteArray> lines = demo("L000199").split('\r');
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
            EXPECT_TRUE(SimRadio::Record::fromRec12(l.mid(4))) << l.constData(); // digits in range
        }
        EXPECT_EQ(filled, empty < 0 ? 18 : 200 - empty);
    }
}

TEST(SimRadio, SetFromRecordRecallAndMalformedCommandsChangingNothing)
{
    Remote rx(SimRadio::DemoMemory);
    rx("S199024095000001");
    EXPECT_EQ(rx.radio.working(), (Rec{0, 2, 4, 9500000, 1}));

    // Recall of a stored channel takes all its settings; an empty channel
    // leaves them as they were.
    for (const char *c : {"K007113061750002", "C007"})
        rx(c);
    EXPECT_EQ(rx.radio.working(), (Rec{1, 1, 3, 6175000, 2}));
    for (const char *c : {"U5150", "C150"})
        rx(c);
    EXPECT_EQ(rx.radio.working(), (Rec{1, 1, 3, 6175000, 2}));
    EXPECT_EQ(rx.radio.malformedCount(), 0);

    // Malformed commands change nothing.
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

TEST(SimRadio, SettingCommandsTakeEffectAndTheClockRuns)
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

    // The clock: hours in characters 2-3 of the reply, minutes in 4-5.
    rx("R1123456");
    const QByteArray clock = rx("R0");
    EXPECT_EQ(clock.mid(1, 2), "12");
    EXPECT_TRUE(clock.mid(3, 2) == "34" || clock.mid(3, 2) == "35") << clock.constData();
    rx("R1235959");
    const QByteArray late = rx("R0").mid(1, 2);
    EXPECT_TRUE(late == "23" || late == "00") << late.constData();
}

TEST(SimRadio, FrequencyReportsWhileI1IsOn)
{
    Remote rx;
    // Each report's frequency as the program's decoder reads it: of the last
    // ten characters, the first eight (-1: a report without its CR).
    QList<qint64> reported;
    QObject::connect(&rx.radio, &SimRadio::spontaneous, [&](const QByteArray &b) {
        reported.append(b.endsWith('\r') ? b.right(10).left(8).toLongLong() : -1);
    });
    rx.radio.turnDial(6180000); // before I1: no report
    // "I1" is answered at once with the frequency set now (every time), not
    // as a report; then every change of frequency is one.
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(rx("I1"), "I004061800000\r");
    rx.radio.turnDial(6185000);
    for (const char *c : {"F09500000", "K010003151200000", "C010", "S199024119999991"})
        rx(c);
    // The tracking window hands control back with "H0": the dial still
    // reports, beyond the top staying in range; after "I0" it does not.
    rx("H0");
    rx.radio.turnDial(30000000);
    rx("H1");
    rx("I0");
    rx.radio.turnDial(7000000);
    EXPECT_EQ(reported, (QList<qint64>{6185000, 9500000, 15120000, 11999999, 29999999}));
    EXPECT_EQ(rx.radio.working().hz, 7000000);
}

TEST(SimRadio, SignalStrengthReply)
{
    Remote rx;
    auto level = [&] { return rx("M").mid(1, 3).toInt(); }; // lower = stronger
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

// The replies that carry a value: their length, the letter and the CR kept,
// digits where the value stands; garbled, something else there, and the
// receiver itself unharmed.
TEST(SimRadio, RepliesKeepTheirShapeGarbledOrNot)
{
    Remote rx;
    rx("S199024095000001");
    rx("J1199");
    const struct {
        const char *cmd;
        int size, from, digits;
    } shapes[] = {{"L199199", 17, 4, 12}, {"M", 5, 1, 3}, {"R0", 8, 1, 6}};
    const auto allDigits = [](const QByteArray &s) {
        return !s.isEmpty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    for (const bool garbled : {false, true, true, true, true}) {
        rx.radio.setGarbled(garbled);
        for (const auto &s : shapes) {
            const QByteArray r = rx(s.cmd);
            ASSERT_EQ(r.size(), s.size) << s.cmd << (garbled ? " garbled" : "");
            EXPECT_TRUE(r.endsWith('\r'));
            EXPECT_TRUE(garbled || r.startsWith(s.cmd[0])) << r.constData();
            EXPECT_EQ(allDigits(r.mid(s.from, s.digits)), !garbled) << r.constData();
        }
    }
    rx.radio.setGarbled(false);
    EXPECT_EQ(rx("L199199"), QByteArray("L199024095000001\r"));
}
