// The window "Timer Programming": clicks on its spins and buttons, a run in
// simulated time, and the window or the program closing during a run.
#include "record/recsession.h"
#include "sim/simradio.h"
#include "timer/timerrun.h"
#include "timer/ui/rxtimer.h"
#include "uikit.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

struct Window : ::testing::Test {
    TestApp t;
    FakePanel panel;
    SimRadio radio{SimRadio::EmptyMemory};
    QStringList sent;
    QPointer<RxTimer> w;

    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        t.app.settings.setNoRx(false); // a receiver is there
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 0, 20));
        radio.setWorking({0, 1, 2, 7205000, 1}); // Inter, USB, 7205 kHz, Fast
        t.port.responder = [this](const QByteArray &c) {
            sent << QString::fromLatin1(c);
            return radio.execute(c);
        };
        w = new RxTimer(t.app);
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        QTest::qWait(50); // the receiver's settings are read after the load
        t.settle();
    }
    void TearDown() override { delete w; }

    QPushButton *button(const QString &name) { return w->findChild<QPushButton *>(name); }
    QLabel *label(const QString &name) { return w->findChild<QLabel *>(name); }
    void spin(const QString &name, int dir, int times = 1)
    {
        auto *s = w->findChild<SpinButton *>(name);
        ASSERT_TRUE(s) << name.toStdString();
        for (int i = 0; i < times; ++i)
            QTest::mouseClick(dir > 0 ? s->upButton() : s->downButton(), Qt::LeftButton);
    }
    QString rowDate(int n)
    {
        QStringList s;
        for (const char *kind : {"Date", "Time"})
            for (int i = 0; i < 3; ++i)
                s << label(QString("lbl_%1%2_%3").arg(kind).arg(n).arg(i))->text();
        return s.join(' ');
    }
    // The enabled buttons: Fix and Clr of the rows ("F1 C1 F2"), then Timer
    // On, Timer Off, Clear All and Exit.
    QString buttons()
    {
        QStringList s;
        for (int n = 1; n <= 5; ++n)
            for (int i = 0; i < 2; ++i)
                if (button(QString("cmd_FxCr%1_%2").arg(n).arg(i))->isEnabled())
                    s << QString(i ? "C%1" : "F%1").arg(n);
        for (const char *b : {"cmd_TimerOn", "cmd_TimerOff", "cmd_CrAll", "cmd_cancel"})
            if (button(b)->isEnabled())
                s << QString(b).mid(4);
        return s.join(' ');
    }
    void drive(const QDateTime &until)
    {
        while (w && w->run()->running() && t.clock.t < until) {
            t.clock.t = t.clock.t.addMSecs(qBound<qint64>(50, w->run()->msToNext(), qint64(5000)));
            w->run()->tick();
            w->tmr_lt_utc();
            t.settle();
        }
    }
    // Fixes event 1 at 12:02 for 2 minutes and event 2 at 12:06.
    void programTwo()
    {
        spin("spn_Time_1", +1, 2);
        spin("spn_Time_2", -1, 8);
        QTest::mouseClick(button("cmd_FxCr1_0"), Qt::LeftButton);
        spin("spn_Time_1", +1, 4);
        spin("spn_Time_2", -1, 1);
        QTest::mouseClick(button("cmd_FxCr2_0"), Qt::LeftButton);
    }
};

} // namespace

TEST_F(Window, LoadsWithThePresentUtcAndTheReceiversSettingsAndTakesKeys)
{
    QStringList edit;
    for (const char *n : {"lbl_Date_0", "lbl_Date_1", "lbl_Date_2", "lbl_Time_0", "lbl_Time_1", "lbl_Time_2",
                          "lbl_Stat_0", "lbl_Stat_1", "lbl_Stat_2", "lbl_Stat_3", "lbl_Stat_4", "lbl_Stat_5"})
        edit << label(n)->text();
    EXPECT_EQ(edit.join('|'), "5|Dec|26|12|00|10| Off|Inter|USB|Fast|+0.0|");
    QString freq;
    for (int d = 7; d >= 0; --d)
        freq += label(QString("lbl_freq_%1").arg(d))->text();
    EXPECT_EQ(freq, "07205000");
    EXPECT_TRUE(sent.contains("L199199"));
    EXPECT_EQ(buttons(), "F1 cancel");
    EXPECT_FALSE(w->findChild<SpinButton *>("spn_Stat_5")->isEnabled()); // no BWC unit
    EXPECT_EQ(label("lbl_UTC")->text(), "12:00:20");
    // The keyboard works the spins; Escape closes.
    auto *s = w->findChild<SpinButton *>("spn_Date_1");
    s->setFocus();
    QTest::keyClick(s, Qt::Key_Up);
    EXPECT_EQ(label("lbl_Date_1")->text(), "Jan");
    QTest::keyClick(s, Qt::Key_Down);
    QTest::keyClick(s, Qt::Key_Down);
    EXPECT_EQ(label("lbl_Date_1")->text(), "Nov");
    QTest::keyClick(w, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_TRUE(!w || !w->isVisible());
}

TEST_F(Window, FixAndClearInOrder)
{
    // The present minute is too late.
    QTest::mouseClick(button("cmd_FxCr1_0"), Qt::LeftButton);
    EXPECT_EQ(t.prompter.lastTitle(), "Conflict in Time");
    EXPECT_EQ(buttons(), "F1 cancel");
    spin("spn_Time_1", +1);
    QTest::mouseClick(button("cmd_FxCr1_0"), Qt::LeftButton);
    EXPECT_EQ(rowDate(1), "5 Dec 26 12 01 10");
    EXPECT_EQ(buttons(), "F1 C1 F2 TimerOn CrAll cancel");
    // Event 2 at 12:11, the minute event 1 ends: refused; 12:12 passes.
    spin("spn_Time_1", +1, 10);
    QTest::mouseClick(button("cmd_FxCr2_0"), Qt::LeftButton);
    EXPECT_EQ(t.prompter.lastTitle(), "Conflict of events");
    EXPECT_EQ(rowDate(2), "     ");
    spin("spn_Time_1", +1);
    QTest::mouseClick(button("cmd_FxCr2_0"), Qt::LeftButton);
    EXPECT_EQ(rowDate(2), "5 Dec 26 12 12 10");
    EXPECT_EQ(buttons(), "F2 C2 F3 TimerOn CrAll cancel");
    QTest::mouseClick(button("cmd_FxCr2_1"), Qt::LeftButton);
    EXPECT_EQ(rowDate(2), "     ");
    EXPECT_EQ(buttons(), "F1 C1 F2 TimerOn CrAll cancel");
    // Clear All: No keeps the events, Yes clears them.
    t.prompter.answers = {Prompter::AnsNo};
    QTest::mouseClick(button("cmd_CrAll"), Qt::LeftButton);
    EXPECT_EQ(t.prompter.lastText(), "You really want to clear/cancel\nall Timer Programming");
    EXPECT_EQ(buttons(), "F1 C1 F2 TimerOn CrAll cancel");
    // Exit with an event fixed asks the same; Cancel keeps the window.
    t.prompter.answers = {Prompter::AnsCancel};
    QTest::mouseClick(button("cmd_cancel"), Qt::LeftButton);
    QCoreApplication::processEvents();
    ASSERT_TRUE(w && w->isVisible());
    t.prompter.answers = {Prompter::AnsYes};
    QTest::mouseClick(button("cmd_CrAll"), Qt::LeftButton);
    EXPECT_EQ(rowDate(1), "     ");
    EXPECT_EQ(buttons(), "F1 cancel");
}

// "Rec": the edit panel's box goes into the event when it is fixed; a fixed
// row's box changes its event; clearing the row clears it. The station
// (for the recording's name) comes from the list row the receiver was
// tuned from when RX reads it, or as typed.
TEST_F(Window, RecBoxesFollowTheEvents)
{
    RecSession rec(t.app);
    t.app.rec = &rec;
    t.rx->tune({7205000, Origin::Bdxc, "0121", "0041", "Radio  Test"});
    QTest::mouseClick(button("cmd_Rx"), Qt::LeftButton);
    t.settle();
    auto *station = w->findChild<QLineEdit *>("txt_Station");
    EXPECT_EQ(station->text(), "Radio Test");
    auto box = [&](const QString &n) { return w->findChild<QCheckBox *>(n); };
    EXPECT_FALSE(box("chk_Rec1")->isEnabled());
    box("chk_Rec")->setChecked(true);
    programTwo();
    EXPECT_EQ(w->table().event_tab[1].station, "Radio Test");
    EXPECT_EQ(box("chk_Rec1")->toolTip(), "Record event 1 while the output is on (Radio Test)");
    station->clear();
    QTest::keyClicks(station, " Other ");
    EXPECT_EQ(w->edit().toEvent().station, "Other");
    t.app.rec = nullptr;
    EXPECT_TRUE(box("chk_Rec1")->isChecked() && box("chk_Rec2")->isChecked());
    EXPECT_TRUE(w->table().event_tab[2].rec);
    QTest::mouseClick(box("chk_Rec2"), Qt::LeftButton);
    EXPECT_FALSE(w->table().event_tab[2].rec);
    EXPECT_TRUE(w->table().event_tab[1].rec);
    EXPECT_FALSE(box("chk_Rec3")->isEnabled());
    QTest::mouseClick(button("cmd_FxCr2_1"), Qt::LeftButton);
    EXPECT_FALSE(box("chk_Rec2")->isChecked());
    EXPECT_FALSE(box("chk_Rec2")->isEnabled());
}

TEST_F(Window, RunWithBannerOnAirColoursAndTimerOff)
{
    programTwo();
    QTest::mouseClick(button("cmd_TimerOn"), Qt::LeftButton);
    t.settle();
    EXPECT_EQ(w->windowTitle(), "  Timer is ON          ");
    EXPECT_EQ(buttons(), "TimerOff");
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(panel.lockOn, 1);
    drive(t.clock.t.addSecs(5));
    EXPECT_TRUE(w->windowTitle().startsWith("  Timer is ON, be patient  <=<=<=")) << w->windowTitle().toStdString();
    if (const QString out = qEnvironmentVariable("VOR_SCREENSHOT"); !out.isEmpty()) {
        EXPECT_TRUE(w->grab().save(out + "/timer_waiting.png")); // the guide's picture
    }
    drive(QDateTime(QDate(2026, 12, 5), QTime(12, 2, 10)));
    ASSERT_EQ(w->run()->phase(), TimerRun::Phase::OnAir);
    EXPECT_EQ(label("lbl_Time1_2")->property("background").value<QColor>(), RxTimer::kYellow);
    EXPECT_EQ(label("lbl_UTC")->property("background").value<QColor>(), RxTimer::kYellow);
    // No: the run goes on. Yes: output off, timer line back, released.
    t.prompter.answers = {Prompter::AnsNo};
    QTest::mouseClick(button("cmd_TimerOff"), Qt::LeftButton);
    EXPECT_TRUE(w->run()->running());
    t.prompter.answers = {Prompter::AnsYes};
    QTest::mouseClick(button("cmd_TimerOff"), Qt::LeftButton);
    t.settle();
    EXPECT_EQ(t.prompter.lastText(), "You are sure you want to\ninterrupt timer programming");
    EXPECT_EQ(t.prompter.lastTitle(), "Timer programming");
    EXPECT_FALSE(w->run()->running()); // what the run sends then: the run's test
    EXPECT_EQ(w->windowTitle(), "Timer Programming Ready");
    EXPECT_EQ(buttons(), "F2 C2 F3 TimerOn CrAll cancel");
    EXPECT_EQ(label("lbl_UTC")->property("background").value<QColor>(), RxTimer::kLight);
    EXPECT_TRUE(panel.enabled);
    // Event 1 has begun: a new start is refused.
    QTest::mouseClick(button("cmd_TimerOn"), Qt::LeftButton);
    EXPECT_TRUE(t.prompter.lastText().startsWith("You are trying to start the timer for"));
    EXPECT_FALSE(w->run()->running());
}

TEST_F(Window, ClosingDuringARunGivesTheReceiverBack)
{
    programTwo();
    QTest::mouseClick(button("cmd_TimerOn"), Qt::LeftButton);
    drive(QDateTime(QDate(2026, 12, 5), QTime(12, 1, 30)));
    sent.clear();
    t.prompter.answers = {Prompter::AnsYes};
    w->close();
    t.settle();
    EXPECT_EQ(sent, QStringList({"O0", "T1", "H0", "H0"}));
    EXPECT_FALSE(t.rx->held());
    EXPECT_TRUE(panel.enabled);
}

TEST(TimerMenu, TheProgramsEndReleasesARun)
{
    ProgramKit kit;
    kit.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 0, 20));
    QStringList sent;
    {
        auto p = kit.make();
        p->portFactory = [&sent] {
            auto *port = new ScriptedPort();
            port->responder = [&sent](const QByteArray &c) {
                sent << QString::fromLatin1(c);
                return QByteArray();
            };
            return port;
        };
        p->app().settings.setNoRx(true);
        p->app().replyTimeoutMs = 100;
        ASSERT_TRUE(goAndWait(*p));
        p->panel()->menuAction("mnu_timer")->trigger(); // opening once: the start-up test
        QCoreApplication::processEvents();
        RxTimer *w = shownWindow<RxTimer>("RxTimer");
        ASSERT_TRUE(w);
        w->edit().minute += 2;
        w->cmd_FxCr(1, 0);
        w->cmd_TimerOn();
        ASSERT_TRUE(w->run()->running());
        sent.clear();
    }
    // The program ended with the run on: the receiver was switched back.
    EXPECT_EQ(sent.mid(0, 2), QStringList({"O0", "T1"}));
    EXPECT_TRUE(sent.contains("H0"));
}
