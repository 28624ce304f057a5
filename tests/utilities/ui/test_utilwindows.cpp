// The user definitions, RTTY and receiver clocks windows: the commands each
// control sends, Reset to Defaults, Save failures, the text from the
// simulated receiver, the clock set and read, the timer times; what a
// screen reader reads in them.
#include "panel/ui/textgrid.h"
#include "sim/simwait.h"
#include "testkit.h"
#include "a11y.h"
#include "utilities/ui/rttywin.h"
#include "utilities/ui/rxclocks.h"
#include "utilities/ui/userdef.h"
#include "utilities/userdefs.h"
#include "common/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void shoot(QWidget *w, const char *name)
{
    const QByteArray dir = qgetenv("VOR_SCREENSHOT");
    if (!dir.isEmpty())
        w->grab().save(QString::fromLocal8Bit(dir) + "/" + name + ".png");
}

} // namespace

// Every option sends its command in a bracket; the pitch, Reset to Defaults
// and the window without a receiver.
TEST(UserDefWindow, OptionsPitchResetAndNoRx)
{
    TestApp t;
    UserDef w(t.app);
    w.show();
    t.settle();
    EXPECT_EQ(t.port.trace(), "H1|H1|U40|H0|H0");
    EXPECT_TRUE(w.opt[0][0]->isChecked());

    const QStringList expected[6] = {
        {"U40", "U41"}, {"U70", "U71"}, {"U80", "U81"}, {"U60", "U61"}, {"U90", "U91"},
        {"U00", "U01", "U02"}};
    for (int g = 0; g < 6; ++g)
        for (int i = w.opt[g].size() - 1; i >= 0; --i) {
            const QString sent = t.sends([&] { w.opt[g][i]->click(); });
            if (g || i)
                EXPECT_EQ(sent, "H1|H1|" + expected[g][i] + "|H0|H0") << g << " " << i;
        }
    shoot(&w, "userdef");

    EXPECT_EQ(t.sends([&] { w.spn_Cpb->stepBy(1); }), ""); // nothing sent by the spin button
    EXPECT_EQ(w.lbl_Cbp->text(), "+0850");
    EXPECT_EQ(t.sends([&] { w.pan_OK->click(); }), "H1|H1|U2+0850|H0|H0");
    EXPECT_EQ(t.sends([&] { w.cmd_def->click(); }), "H1|H1|U00|U11|U2+0800|U41|U61|U71|U81|U91|H0|H0");
    const auto &wr = t.port.writes();
    for (int i = 3; i < 10; ++i)
        EXPECT_GE(wr[i].ms - wr[i - 1].ms, 195) << i;
    EXPECT_EQ(w.lbl_Cbp->text(), "+0800");
    for (int g = 0; g < 6; ++g) // the options of what was sent (the definitions' test)
        EXPECT_TRUE(w.opt[g][udefs::defaultSelection()[g]]->isChecked()) << g;
    // OK sends the pitch the label shows, not the +0850 sent before the reset.
    EXPECT_EQ(t.sends([&] { w.pan_OK->click(); }), "H1|H1|U2+0800|H0|H0");

    // With no receiver, opening sends nothing and only OK can be used.
    t.app.settings.setNoRx(true);
    UserDef off(t.app);
    EXPECT_EQ(t.sends([&] { off.show(); }), "");
    for (QGroupBox *b : off.fra_ud)
        EXPECT_FALSE(b->isEnabled());
    EXPECT_FALSE(off.cmd_def->isEnabled());
    EXPECT_TRUE(off.cmd_OK->isEnabled());
}

TEST(RttyWindowTest, ParametersButtonsAndExit)
{
    TestApp t;
    QPointer<RttyWindow> w;
    auto cell = [&](TextGrid *g, int c) {
        return t.sends([&] { QTest::mouseClick(g, Qt::LeftButton, {}, g->cellCenter(0, c)); });
    };
    auto press = [&](QPushButton *b) { return t.sends([&] { QTest::mouseClick(b, Qt::LeftButton); }); };
    EXPECT_EQ(t.sends([&] { (w = new RttyWindow(t.app))->show(); }), "H1|H1|U35010|H0|H0");
    EXPECT_TRUE(RttyWindow::isOpen());
    EXPECT_EQ(w->lbl_bd->text() + " " + w->lbl_tof->text(), "50 Off");
    EXPECT_EQ(cell(w->grd_bd, 0), "H1|H1|U36510|H0|H0");
    EXPECT_EQ(w->lbl_bd->text(), "45");
    EXPECT_EQ(cell(w->grd_pol, 1), "H1|H1|U36511|H0|H0");

    EXPECT_EQ(press(w->cmd_start), "H1|H1|X1|H0|H0");
    EXPECT_FALSE(w->cmd_start->isEnabled() || w->cmd_exit->isEnabled());
    EXPECT_TRUE(w->cmd_stop->isEnabled());
    t.port.inject("RYRY\x07 ");
    t.port.inject("\r");
    t.port.inject("CQ");
    ASSERT_TRUE(waitUntil([&] { return w->lbl_ry[18]->text() == "cq"; }));
    EXPECT_EQ(w->lbl_ry[17]->text(), "ryry ");
    EXPECT_EQ(press(w->cmd_stop), ""); // Stop sends nothing
    t.port.inject("LATE");
    QTest::qWait(250);
    EXPECT_EQ(w->lbl_ry[18]->text(), "cq");
    // Start again: the cut-off "cq" and the "late" that came while stopped
    // are gone, the completed lines stay.
    press(w->cmd_start);
    EXPECT_EQ(w->lbl_ry[18]->text(), "");
    EXPECT_EQ(w->lbl_ry[17]->text(), "ryry ");
    t.port.inject("DE\r");
    ASSERT_TRUE(waitUntil([&] { return w->lbl_ry[17]->text() == "de"; }));
    press(w->cmd_stop);
    press(w->cmd_cls);
    for (QLabel *l : w->lbl_ry)
        EXPECT_TRUE(l->text().isEmpty());
    EXPECT_EQ(press(w->cmd_exit), "H1|H1|X0|H0|H0");
    ASSERT_TRUE(waitUntil([&] { return w.isNull(); }));
    EXPECT_FALSE(RttyWindow::isOpen());
}

TEST(RttyWindowTest, SaveOffWhenTheFolderIsMissingOrReadOnly)
{
    for (const bool readOnly : {false, true}) {
        TestApp t;
        const QString news = t.base() + "NEWS";
        if (readOnly)
            QFile::setPermissions(news, QFile::ReadOwner | QFile::ExeOwner);
        else
            QDir(news).removeRecursively();
        if (readOnly && QFileInfo(news).isWritable())
            continue; // running as root: nothing is read-only
        RttyWindow w(t.app);
        w.show();
        t.sends([&] { QTest::mouseClick(w.grd_tof, Qt::LeftButton, {}, w.grd_tof->cellCenter(0, 1)); });
        ASSERT_EQ(t.prompter.asked.size(), 1) << readOnly;
        EXPECT_EQ(t.prompter.lastTitle(), "RTTY");
        EXPECT_TRUE(t.prompter.lastText().contains("NEW_RYWW.TXT"));
        EXPECT_EQ(w.lbl_tof->text(), "Off");
        EXPECT_FALSE(w.receiver().saving());
        t.sends([&] { w.cmd_start->click(); }); // the text is still shown
        t.port.inject("NEWS\r");
        ASSERT_TRUE(waitUntil([&] { return w.lbl_ry[17]->text() == "news"; }));
        EXPECT_EQ(t.prompter.asked.size(), 1);
        QFile::setPermissions(news, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

// The simulated receiver's text shown and saved.
TEST(RttyWindowTest, TextFromTheSimulatedReceiver)
{
    TestApp t;
    SimulatedLine sim(t);
    QPointer<RttyWindow> w = new RttyWindow(t.app);
    w->resize(w->sizeHint());
    w->show();
    t.settle();
    QTest::mouseClick(w->grd_bd, Qt::LeftButton, {}, w->grd_bd->cellCenter(0, 2)); // 75 Bd
    QTest::mouseClick(w->grd_tof, Qt::LeftButton, {}, w->grd_tof->cellCenter(0, 1));
    t.sends([&] { w->cmd_start->click(); });
    EXPECT_EQ(w->lbl_tof->text(), "On");
    ASSERT_TRUE(waitUntil([&] { return !w->lbl_ry[16]->text().isEmpty(); }, 30000));
    shoot(w, "rtty");
    t.sends([&] { w->cmd_stop->click(); });
    t.sends([&] { w->cmd_exit->click(); });
    ASSERT_TRUE(waitUntil([&] { return w.isNull(); }));
    EXPECT_FALSE(sim.radio()->rttyOn());
    QStringList saved;
    ASSERT_TRUE(textfile::readLines(ry::savePath(t.app), &saved, nullptr));
    ASSERT_GE(saved.size(), 2);
    EXPECT_EQ(saved.at(0), "ryryryryryryryryryryryryryryryryryry");
    EXPECT_EQ(saved.at(1), "zczc 0417 wx bulletin");
}

TEST(ClocksWindow, OpenReadableSetAndReadTheClockTimerTimesAndClose)
{
    TestApp t;
    t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 30, 15));
    t.app.settings.setLtMinusUtc(1);
    t.port.responder = [](const QByteArray &c) { return c == "R0" ? QByteArray("R113017\r") : QByteArray(); };
    QPointer<RxClocks> w = new RxClocks(t.app);
    EXPECT_EQ(t.sends([&] { w->show(); }), "H1|H1|R4|H0|H0");
    EXPECT_EQ(w->lbl_LT->text() + " " + w->lbl_UTC->text(), "12:30:15 11:30:15");
    // A screen reader reads each label that shows a value, or a line of text, as
    // that value; no label hides it behind a fixed name.
    UserDef u(t.app);
    u.show();
    auto *r = new RttyWindow(t.app);
    r->show();
    r->receiver().page().feed("CQ CQ DE");
    emit r->receiver().pageChanged();
    t.settle();
    const struct {
        QLabel *label;
        const char *what;
    } shown[] = {{u.lbl_Cbp, "pitch"},      {r->lbl_bd, "speed"},     {r->lbl_sh, "shift"},
                 {r->lbl_pol, "polarity"},  {r->lbl_tof, "save"},     {r->lbl_ry[18], "line received"},
                 {w->lbl_LT, "local time"}, {w->lbl_UTC, "UTC"}};
    for (const auto &s : shown) {
        EXPECT_FALSE(s.label->text().isEmpty()) << s.what;
        EXPECT_EQ(a11y::name(s.label), s.label->text()) << s.what;
        EXPECT_FALSE(s.label->accessibleDescription().isEmpty()) << s.what; // what it is
    }
    EXPECT_EQ(a11y::name(r->lbl_ry[18]), "cq cq de");
    for (QWidget *x : std::initializer_list<QWidget *>{&u, r, w.data()})
        EXPECT_EQ(a11y::hiddenLabels(x), QStringList()) << x->objectName().toStdString();
    EXPECT_EQ(t.sends([&] { w->cmd_SetRxUTC->click(); }), "H1|H1|R1113015|H0|H0|H1|H1|R0|H0|H0");
    EXPECT_GE(t.port.writes()[5].ms - t.port.writes()[2].ms, 200); // the settle pause before the read
    EXPECT_EQ(w->lbl_getRxCl->text(), "11:30");
    t.port.responder = {}; // silent: the label keeps what it showed
    t.sends([&] { w->cmd_GetRxCl->click(); });
    EXPECT_EQ(w->lbl_getRxCl->text(), "11:30");

    w->txt_ton->setText("2359");
    EXPECT_EQ(t.sends([&] { w->cmd_setton->click(); }), "H1|H1|R22359|H0|H0|H1|H1|R5|H0|H0");
    EXPECT_EQ(w->txt_ton->text(), "NRD");
    w->txt_tof->setText("0960"); // which texts are refused: the clock helpers' test
    EXPECT_EQ(t.sends([&] { w->cmd_settof->click(); }), "");
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
              "Input Error: RX Timer-Off input error\nUse hhmm from 0000 to 2359");
    QTest::mouseDClick(w->txt_tof, Qt::LeftButton);
    EXPECT_EQ(w->txt_tof->text(), "");
    shoot(w, "rxclocks");
    EXPECT_EQ(t.sends([&] { w->cmd_exit->click(); }), "H1|H1|R7|H0|H0");
    delete w;
    delete r;
}
