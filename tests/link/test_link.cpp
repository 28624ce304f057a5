#include "common/fmt.h"
#include "link/commands.h"
#include "link/panelview.h"
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
    const QStringList built = {cmd::freq(9500.5), cmd::recall(7), cmd::pbs(0), cmd::pbs(-150), cmd::pbsRefresh(),
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

TEST_F(Link, ReadStateDiscardsStaleInputAndUsesPositions5To16)
{
    t.port.responder = [&](const QByteArray &c) -> QByteArray {
        if (c == "J1199")
            QTimer::singleShot(0, [&] { t.port.inject("garbage-from-before"); });
        if (c == "L199199")
            return "L199024095000001\rEXTRA";
        return {};
    };
    const auto readState = [&] { return t.run([&] { return rx.aReadRxState(); }); };
    const auto r = readState();
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(*r, "X024095000001");
    EXPECT_EQ(t.port.trace(), "J1199|L199199");

    // A dial report still on its way when the reply is asked for comes first.
    t.port.responder = [&](const QByteArray &c) -> QByteArray {
        return c == "L199199" ? "I024071010002\rL199024095000001\r" : QByteArray();
    };
    EXPECT_EQ(readState(), std::optional<QString>("X024095000001"));

    // So it does for a fixed-length reply while the dial is followed, and
    // only then: without reports the characters are the reply.
    t.port.responder = [&](const QByteArray &c) -> QByteArray {
        return c == "M" ? "I024071010002\rM123\r" : QByteArray();
    };
    const auto m = [&] { return t.run([&] { return rx.aTransact("M", 4); }).data.left(4); };
    EXPECT_EQ(m(), "I024");
    rx.auto_report = true;
    EXPECT_EQ(m(), "M123");
    rx.auto_report = false;
}

TEST_F(Link, SilentReceiverIsBounded)
{
    t.app.replyTimeoutMs = 100;
    EXPECT_FALSE(t.run([&] { return rx.aReadRxState(); }).has_value());
    EXPECT_FALSE(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }));
    ASSERT_FALSE(t.prompter.asked.isEmpty());
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_EQ(t.prompter.lastText(),
              "The receiver did not answer.\nCheck the cable and that the RX is switched-on.");
    EXPECT_FALSE(rx.busy());
}

TEST_F(Link, RefreshDecodesTheReply)
{
    t.answerState("024095000001");
    ASSERT_TRUE(t.run([&] { return rx.aRefreshPanel(Receiver2::Tell::All); }));
    EXPECT_EQ(t.port.trace(), "H1|H1|U11|J1199|L199199|H0|H0");
    EXPECT_EQ(panel.freq, "9500.000");
    EXPECT_EQ(panel.labels[PanelView::BW], ""); // Narr without the narrow filter
    EXPECT_EQ(panel.labels[PanelView::MD], "AM");
    EXPECT_EQ(panel.labels[PanelView::AGC], "Fast");
    EXPECT_EQ(panel.labels[PanelView::HF], " Off");
    EXPECT_EQ(panel.vbtOn, 1);
    EXPECT_EQ(t.app.rxs.mode, 4);
    EXPECT_EQ(t.app.rxs.bw, 2);

    t.app.settings.v[13] = 1;
    t.app.cap = Captions::build(t.app.settings);
    rx.apply_state("X024095000001");
    EXPECT_EQ(panel.labels[PanelView::BW], "Narr");
}

TEST_F(Link, RefreshEdgesOfTheFrequencyRangeAndNfm)
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
}

TEST_F(Link, RefreshWithLockSendsBandwidthControlAndShift)
{
    t.app.settings.v[12] = 1;
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

TEST_F(Link, MalformedReplyKeepsLastValidValues)
{
    rx.apply_state("X014095000001");
    panel.labels.clear();
    rx.apply_state("X9Z?09A00000Q");
    EXPECT_EQ(QString("%1%2%3%4").arg(t.app.rxs.att).arg(t.app.rxs.bw).arg(t.app.rxs.mode).arg(t.app.rxs.agc),
              "0141");
    EXPECT_FALSE(panel.labels.contains(PanelView::HF));
    EXPECT_FALSE(panel.labels.contains(PanelView::MD));
    EXPECT_EQ(panel.freq, "9500.000");
    rx.apply_state("X"); // truncated
    rx.apply_state("");
    EXPECT_EQ(t.app.rxs.mode, 4);
}

TEST_F(Link, ReadFrequencyTakesOnlyEightDigitsInRange)
{
    t.app.replyTimeoutMs = 100;
    const struct {
        const char *reply;
        std::optional<double> khz;
    } cases[] = {
        {"L199024095000001\r", 9500.0},
        {"L199024000100001\r", 10.0},
        {"L199024300000001\r", std::nullopt},  // above the range
        {"L19902409500A001\r", std::nullopt},  // a garbled digit
        {"L1990240950\r", std::nullopt},       // cut short: no answer
    };
    QObject window;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.reply);
        t.port.responder = [&](const QByteArray &cmd) -> QByteArray {
            return cmd == "L199199" ? QByteArray(c.reply) : QByteArray();
        };
        std::optional<double> got;
        rx.readFrequency(&window, [&](double khz) { got = khz; });
        t.settle();
        EXPECT_EQ(got, c.khz);
    }
    // Only the silent one tells the user.
    EXPECT_EQ(t.prompter.asked.size(), 1);
}

TEST_F(Link, ReportsSplitOverTwoPiecesDecodeOnce)
{
    int tracked = 0;
    QString seen;
    QObject::connect(&rx, &Receiver2::dialFrequency, [&](const QString &s) { ++tracked; seen = s; });
    rx.auto_report = true;
    t.port.inject("I0950");
    EXPECT_EQ(tracked, 0);
    t.port.inject("00001\r");
    EXPECT_EQ(tracked, 1);
    EXPECT_EQ(seen, "9500.000");
    EXPECT_EQ(panel.freq, "9500.000");
    EXPECT_DOUBLE_EQ(t.app.rxs.freq_khz, 9500.0);
    EXPECT_TRUE(rx.term.isEmpty());

    rx.auto_report = false; // characters stay buffered for synchronous readers
    t.port.inject("I0600000001\r");
    EXPECT_EQ(tracked, 1);
    EXPECT_EQ(t.port.bytesAvailable(), 12);
}

TEST_F(Link, TuneFromRowSendsTheRecordAndUpdatesOthers)
{
    QString shown, track;
    FreqFanout::Target from = FreqFanout::Count;
    QObject::connect(&rx, &Receiver2::frequencyChanged, [&](const QString &s, FreqFanout::Target o) {
        shown = s;
        from = o;
    });
    QObject::connect(&rx, &Receiver2::trackingFrequency, [&](const QString &s) { track = s; });
    EXPECT_TRUE(rx.tune_from_row(6175, "", "0041", FreqFanout::Bdxc));
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|S199004061750001|H0|H0");
    EXPECT_EQ(shown, "6175.000");
    EXPECT_EQ(from, FreqFanout::Bdxc);
    EXPECT_EQ(track, "6175.000");
    EXPECT_EQ(panel.freq, "6175.000");
    EXPECT_EQ(panel.labels[PanelView::MD], "AM");
    EXPECT_EQ(panel.labels[PanelView::AGC], "Fast");

    t.port.clearWrites();
    EXPECT_FALSE(rx.tune_from_row(30000, "", "0041", FreqFanout::Bdxc));
    EXPECT_FALSE(rx.tune_from_row(9.5, "", "0041", FreqFanout::Bdxc));
    EXPECT_TRUE(t.port.commands().isEmpty());

    // A code digit beyond a table leaves that label alone.
    panel.labels.clear();
    EXPECT_TRUE(rx.tune_from_row(9500, "0091", "0041", FreqFanout::Own));
    EXPECT_FALSE(panel.labels.contains(PanelView::MD));
    EXPECT_EQ(panel.labels[PanelView::AGC], "Fast");
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
