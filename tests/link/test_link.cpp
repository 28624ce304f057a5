#include "common/fmt.h"
#include "link/commands.h"
#include "link/panelview.h"
#include "link/replies.h"
#include "testkit.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Link : ::testing::Test {
    TestApp t;
    FakePanel panel;
    Receiver2 &rx = *t.rx;
    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(rx);
    }
};

} // namespace

TEST(Commands, Builders)
{
    const QStringList built = {cmd::freqHz(9500500), cmd::recall(7), cmd::pbs(0), cmd::pbs(-150), cmd::pbsRefresh(),
                               cmd::bwc(500), cmd::mode(14), cmd::readout(5, 5), cmd::write(12, "004095000001"),
                               cmd::clearChannel(3), cmd::user(1, 1), cmd::bfo(800),
                               cmd::setRecord(cmd::rec12FromCode("0041", 6175))};
    EXPECT_EQ(built.join('|'), "F09500500|C007|P+0000|P-0150|P0000|W0500|D4|L005005|K012004095000001|U5003|U11|"
                               "U2+0800|S199004061750001");
}

TEST_F(Link, BracketSendsH1TwiceAndH0TwiceWithPauses)
{
    rx.submitCmd("A1");
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|A1|H0|H0");
    const auto &w = t.port.writes();
    ASSERT_EQ(w.size(), 5);
    for (int i = 1; i < 5; ++i)
        EXPECT_GE(w[i].ms - w[i - 1].ms, 45) << i; // 50 ms pacing (timer slack allowed)
    EXPECT_EQ(w[2].bytes, QByteArray("A1\r"));
}

TEST_F(Link, FlagsDecideTheBracket)
{
    rx.submit([&] { return rx.aHold(); }, false);
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1");
    EXPECT_EQ(panel.lockOn, 1);
    t.port.clearWrites();
    rx.submitCmd("A0"); // held: no H0 after the command
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|A0");
    t.port.clearWrites();
    panel.bwc = panel.pbs = "set";
    rx.submit([&] { return rx.aRelease(); }, false);
    t.settle();
    EXPECT_EQ(t.port.trace(), "H0|H0");
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_EQ(panel.bwc, "");
    EXPECT_EQ(panel.pbs, "");
}

TEST(Replies, OnlyAWholeLayoutIsBelieved)
{
    using K = rxreply::Readout::Kind;
    const struct {
        QByteArray line;
        int want;
        K kind;
    } cases[] = {
        {"L199004061750000\r", 199, K::Stored},
        {"L000" "104" "00010000" "2" "\r", -1, K::Stored}, // att 1, 10 kHz, AGC 2
        {"L000" "038" "29999999" "0" "\r", -1, K::Stored}, // Aux, AM-L, 29999.999 kHz
        {"L000" "005" "09500000" "9" "\r", -1, K::Stored}, // NFM has no AGC: any digit
        {"L005V\r", 5, K::Empty},                          // as the receiver sends it
        {"L005V           \r", 5, K::Empty},               // the same in full length
        {"?199004061750000\r", 199, K::Unreadable},        // wrong letter
        {"Lxx9004061750000\r", 199, K::Unreadable},        // letters for the channel
        {"L199004061750000#9!\r", 199, K::Unreadable},     // extra characters
        {"L1990040955000000\r", 199, K::Unreadable},       // one digit more
        {"L199004061750000", 199, K::Unreadable},          // no CR
        {"L198004095500000\r", 199, K::Unreadable},        // not the channel asked
        {"L006V\r", 5, K::Unreadable},
        {"L200004095500000\r", -1, K::Unreadable},         // no channel 200
        {"L005VX          \r", 5, K::Unreadable},
        {"L005V0\r", 5, K::Unreadable},
        {"\r", -1, K::Unreadable},
        {"", -1, K::Unreadable},
    };
    for (const auto &c : cases) {
        const rxreply::Readout r = rxreply::readout(c.line, c.want);
        EXPECT_EQ(r.kind, c.kind) << c.line.constData();
        EXPECT_EQ(r.rec12.toLatin1(), r.kind == K::Stored ? c.line.mid(4, 12) : QByteArray());
    }
    // Att 2, bw 4, mode 9, AGC 3, 9.999 kHz, 30 MHz: not the receiver's.
    for (const char *rec12 : {"204095000000", "044095000000", "009095000000", "004095000003", "004000099990", "004300000000"})
        EXPECT_FALSE(rxreply::readout("L000" + QByteArray(rec12) + "\r").ok()) << rec12;
}

TEST_F(Link, StateReadBelievesOnlyAWholeReplyAndSaysWhichFailure)
{
    t.app.replyTimeoutMs = 100;
    const QString silence = "The receiver did not answer.\nCheck the cable and that the RX is switched-on.";
    const QString garbled = "The receiver's reply could not be read.\n"
                            "The line may be disturbed: check the cable and its plugs.";
    const struct {
        QByteArray reply;  // to L199199, after stale input
        const char *state; // what the read gives ("": nothing)
    } cases[] = {
        {"L199024095000001\r", "X024095000001"},
        // A dial report on its way comes first, and one may follow.
        {"I024071010002\rL199024095000001\rI0240", "X024095000001"},
        {"L1990040955000000\r", ""}, // one digit more
        {"L199004061750000", ""},    // missing CR
        {"L199024095000001\rEXTRA", ""},
        {"L1990240950\r", ""}, // cut short
        {"L199V\r", ""},       // the working settings are never empty
        {"\r", ""},
        {"", ""},
    };
    rx.apply_state("X014095000001");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply.constData());
        t.port.responder = [&](const QByteArray &cmd) -> QByteArray {
            if (cmd == "J1199")
                QTimer::singleShot(0, [&] { t.port.inject("garbage-from-before"); });
            return cmd == "L199199" ? c.reply : QByteArray();
        };
        EXPECT_EQ(t.run([&] { return rx.aReadRxState(); }).value_or(""), c.state);
        const bool ok = *c.state;
        const QString told = ok ? QString() : c.reply.isEmpty() ? silence : garbled;
        t.prompter.asked.clear();
        panel.labels.clear();
        EXPECT_EQ(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }), ok);
        EXPECT_EQ(t.prompter.lastText(), told);
        EXPECT_EQ(panel.labels.isEmpty(), !ok); // nothing of a bad one is shown
        EXPECT_EQ(panel.freq, "9500.000");
        EXPECT_EQ(rx.lastRefreshAnswered(), !c.reply.isEmpty());
        // Whoever tells the failure next says the same.
        t.prompter.asked.clear();
        rx.report_no_answer();
        EXPECT_EQ(t.prompter.lastText(), ok ? silence : told);
    }
    EXPECT_FALSE(rx.busy());

}

TEST_F(Link, RefreshDecodesTheReply)
{
    t.answerState("024095000001");
    ASSERT_TRUE(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }));
    EXPECT_EQ(t.port.trace(), "H1|H1|U11|J1199|L199199|H0|H0");
    EXPECT_EQ(panel.freq, "9500.000");
    // Narr shows nothing without the narrow filter.
    EXPECT_EQ(QStringList(panel.labels.values()).join('|'), " Off||AM|Fast");
    EXPECT_EQ(panel.vbtOn, 1);
    EXPECT_EQ(t.app.rxs.mode * 10 + t.app.rxs.bw, 42);

    t.app.settings.setNarrowFitted(true);
    t.app.cap = Captions::build(t.app.settings);
    rx.apply_state("X024095000001");
    EXPECT_EQ(panel.labels[PanelView::BW], "Narr");
}

TEST_F(Link, RefreshEdgesOfTheFrequencyRangeNfmAndTheLock)
{
    rx.apply_state("X004000100001");
    EXPECT_EQ(panel.freq, "10.000");
    rx.apply_state("X004299999991");
    EXPECT_EQ(panel.freq, "29999.999");
    panel.labels.clear();
    rx.apply_state("X005095000001");
    EXPECT_FALSE(panel.agcEnabled);
    EXPECT_FALSE(panel.bwEnabled);
    EXPECT_EQ(panel.labels[PanelView::AGC], "");
    EXPECT_TRUE(t.port.commands().isEmpty()); // no W or P without the lock

    t.app.settings.setBwcFitted(true);
    rx.submit([&] { return rx.aHold(); }, false);
    t.settle();
    t.port.clearWrites();
    rx.apply_state("X004095000001");
    EXPECT_EQ(t.port.trace(), "W5500|P0000");
    EXPECT_EQ(panel.bwc, "5500");
    EXPECT_EQ(panel.pbs, "0000");
    t.port.clearWrites();
    rx.apply_state("X014095000001");
    EXPECT_EQ(t.port.trace(), "W2200|P0000");
}

TEST_F(Link, ReportsSplitOverTwoPiecesDecodeOnce)
{
    int tracked = 0;
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](qint64 hz, Origin o) {
        tracked += hz == 9500000 && o == Origin::Dial;
    });
    t.setReportsOn(true);
    t.port.inject("I0950");
    EXPECT_EQ(tracked, 0);
    t.port.inject("00001\r");
    EXPECT_EQ(tracked, 1);
    EXPECT_EQ(panel.freq, "9500.000");
    EXPECT_EQ(rx.knownHz(), 9500000);
    EXPECT_TRUE(rx.term.isEmpty());

    t.setReportsOn(false); // characters stay buffered for synchronous readers
    t.port.inject("I0600000001\r");
    EXPECT_EQ(tracked, 1);
    EXPECT_EQ(t.port.bytesAvailable(), 12);
}

// The one tune path, as a window asks for it (tune: shown at once, its
// command a job in its bracket) and as a client's job step (aTune, with its
// outcome): one range rule, the same command, the state and the windows
// told once with the origin, a row's code setting the labels.
TEST_F(Link, OneTunePathForWindowsAndClients)
{
    using O = Receiver2::SetOutcome;
    const struct {
        const char *what;
        TuneRequest r;
        const char *sent; // "": nothing
        O outcome;
        const char *mdAgc; // the labels after it ("|": not set)
    } cases[] = {
        {"typed", {9500000, Origin::Panel, {}, {}, {}}, "F09500000", O::Sent, "|"},
        {"the lowest", {10000, Origin::Remote, {}, {}, {}}, "F00010000", O::Sent, "|"},
        {"the highest", {29999999, Origin::Tracking, {}, {}, {}}, "F29999999", O::Sent, "|"},
        {"below the range", {9999, Origin::Panel, {}, {}, {}}, "", O::OutOfRange, "|"},
        {"above the range", {30000000, Origin::Remote, {}, {}, {}}, "", O::OutOfRange, "|"},
        {"a row without a code", {6175000, Origin::Bdxc, "", "0041", {}}, "S199004061750001", O::Sent, "AM|Fast"},
        {"a digit beyond a table", {9500000, Origin::Own, "0091", "0041", {}}, "S199009095000001", O::Sent, "|Fast"},
        {"a letter counts as 0", {7205000, Origin::Log, "0x4", "0041", {}}, "S199004072050000", O::Sent, "AM|Slow"},
    };
    QList<QPair<qint64, Origin>> told;
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](qint64 hz, Origin o) { told.append({hz, o}); });
    for (const bool client : {false, true}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(std::string(c.what) + (client ? " (client)" : " (window)"));
            t.app.rxs.hz = 7000000;
            told.clear();
            panel.labels.clear();
            t.port.clearWrites();
            const bool sent = c.outcome == O::Sent;
            if (client)
                EXPECT_EQ(t.run([&] { return rx.aTune(c.r); }), c.outcome);
            else
                EXPECT_EQ(rx.tune(c.r), sent);
            EXPECT_EQ(rx.knownHz(), sent ? c.r.hz : 7000000); // at once
            EXPECT_EQ(told.size(), sent ? 1 : 0);
            if (sent)
                EXPECT_TRUE(told.first().first == c.r.hz && told.first().second == c.r.origin);
            if (sent)
                EXPECT_EQ(panel.freq, freqShown(c.r.hz));
            t.settle();
            EXPECT_EQ(t.port.trace(), !sent ? "" : client ? QString(c.sent) : "H1|H1|" + QString(c.sent) + "|H0|H0");
            EXPECT_EQ(panel.labels.value(PanelView::MD) + "|" + panel.labels.value(PanelView::AGC), c.mdAgc);
        }
    }
    // A lost line: the window is told at once, the client gets Lost; nothing
    // changes and nothing is sent.
    t.port.pull();
    rx.submitCmd("A1"); // the write finds the line gone
    t.settle();
    t.app.rxs.hz = 7000000;
    t.port.clearWrites();
    t.prompter.asked.clear();
    told.clear();
    EXPECT_TRUE(rx.tune({9500000, Origin::Panel, {}, {}, {}}));
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_EQ(t.run([&] { return rx.aTune({9500000, Origin::Remote, {}, {}, {}}); }), O::Lost);
    EXPECT_TRUE(told.isEmpty());
    EXPECT_EQ(rx.knownHz(), 7000000);
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(Link, LostPortIsReportedOnceAndReopens)
{
    t.port.pull();
    rx.submitCmd("A1");
    EXPECT_FALSE(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }));
    EXPECT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(rx.portLost());
    QString err;
    EXPECT_TRUE(rx.reopen(&err));
    rx.submitCmd("A1");
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|A1|H0|H0");
}
