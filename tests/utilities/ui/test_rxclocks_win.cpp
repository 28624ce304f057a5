// The receiver clocks window: R4/R7 on open and close, clock set and read,
// timer times and their errors, the clock labels.
#include "testkit.h"
#include "utilities/ui/rxclocks.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct ClocksWin : ::testing::Test {
    TestApp t;
    QPointer<RxClocks> w;
    void SetUp() override
    {
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 30, 15));
        t.app.settings.v[2] = 1;
        t.port.responder = [](const QByteArray &c) {
            return c == "R0" ? QByteArray("R113017\r") : QByteArray();
        };
        w = new RxClocks(t.app);
        w->show();
        t.settle();
        opened = t.port.trace();
        t.port.clearWrites();
    }
    void TearDown() override { delete w; }
    QString opened; // what opening sent
};

TEST_F(ClocksWin, OpenAndCloseEachInTheirOwnBracket)
{
    EXPECT_EQ(opened, "H1|H1|R4|H0|H0");
    w->cmd_exit->click();
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|R7|H0|H0");
}

TEST_F(ClocksWin, ClockLabelsSettingTheReceiverClockToUtcAndASilentReceiver)
{
    EXPECT_EQ(w->lbl_LT->text(), "12:30:15");
    EXPECT_EQ(w->lbl_UTC->text(), "11:30:15");

    w->cmd_SetRxUTC->click();
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|R1113015|H0|H0|H1|H1|R0|H0|H0");
    const auto &wr = t.port.writes();
    EXPECT_GE(wr[5].ms - wr[2].ms, 200); // the settle pause before the read
    EXPECT_EQ(w->lbl_getRxCl->text(), "11:30");

    // Silent: the label keeps what it showed.
    t.port.responder = {};
    w->cmd_GetRxCl->click();
    t.settle();
    EXPECT_EQ(w->lbl_getRxCl->text(), "11:30");
    EXPECT_TRUE(t.prompter.lastText().startsWith("The receiver did not answer."));
}

TEST_F(ClocksWin, TimerTimes)
{
    w->txt_ton->setText("2359");
    w->cmd_setton->click();
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|R22359|H0|H0|H1|H1|R5|H0|H0");
    EXPECT_EQ(w->txt_ton->text(), "NRD");

    // Which texts are refused: the clock helpers' test.
    t.port.clearWrites();
    w->txt_tof->setText("0960");
    w->cmd_settof->click();
    t.settle();
    EXPECT_EQ(t.port.trace(), "");
    EXPECT_EQ(t.prompter.lastTitle(), "Input Error");
    EXPECT_EQ(t.prompter.lastText(), "RX Timer-Off input error\nUse hhmm from 0000 to 2359");
    QTest::mouseDClick(w->txt_tof, Qt::LeftButton);
    EXPECT_EQ(w->txt_tof->text(), "");
    if (!qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
        w->grab().save(qEnvironmentVariable("VOR_SCREENSHOT") + "/rxclocks.png");
}

} // namespace
