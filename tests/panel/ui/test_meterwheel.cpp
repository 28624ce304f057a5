// The control panel's additions: tuning with the wheel and Page Up/Down, the
// signal meter, the simulated-receiver badge.
#include "measure/session.h"
#include "panelfixture.h"

#include <QFrame>
#include <QProgressBar>
#include <QTimer>
#include <QWheelEvent>

namespace {

struct Meter : PanelTest {
    QByteArray level = "M106\r"; // (138 - 106) / 4 = 8 units
    void SetUp() override
    {
        t.port.responder = [this](const QByteArray &c) -> QByteArray {
            if (c == "M")
                return level;
            if (c == "L199199")
                return "L199004095000001\r";
            return {};
        };
    }
    // The panel with its meter ticked by the test alone.
    void makeQuiet()
    {
        make();
        w->findChild<QTimer *>("MeterTick")->stop();
    }
    void wheel(QWidget *at, int delta, Qt::KeyboardModifiers mods = {})
    {
        QWheelEvent e(QPointF(5, 5), at->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, mods, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(at, &e);
        t.settle();
    }
};

// A port that says it is the simulated receiver.
struct SimLikePort : ScriptedPort {
    bool simulated() const override { return true; }
};

} // namespace

TEST_F(Meter, WheelAndPageKeysTuneBySteps)
{
    make();
    // Step 5 kHz (the panel's first choice); every case starts with the
    // receiver at 9500 (the clamps at the range's ends: the entry rules).
    const struct {
        const char *what;
        std::function<void()> act;
        const char *sent;
    } cases[] = {
        {"a notch up", [&] { wheel(freq(), 120); }, "F09505000"},
        {"a notch down over the display", [&] { wheel(freq()->parentWidget(), -120); }, "F09495000"},
        {"Shift: ten steps", [&] { wheel(freq(), 120, Qt::ShiftModifier); }, "F09550000"},
        {"two notches at once", [&] { wheel(freq(), -240); }, "F09490000"},
        {"half notches add up", [&] { wheel(freq(), 60); wheel(freq(), 60); }, "F09505000"},
        {"Page Up", [&] { QTest::keyClick(grid("grd_md"), Qt::Key_PageUp); t.settle(); }, "F09505000"},
        {"Shift+Page Down in the field",
         [&] { QTest::keyClick(freq(), Qt::Key_PageDown, Qt::ShiftModifier); t.settle(); }, "F09450000"},
        {"the spin button", [&] { press("spn_Freq_up"); }, "F09505000"},
        {"a step from the receiver's frequency, not the field's text",
         [&] { freq()->setText("12"), press("spn_Freq_down"); }, "F09495000"},
    };
    for (const auto &c : cases) {
        at(9500000);
        clear();
        c.act();
        EXPECT_EQ(trace(), br(c.sent)) << c.what;
    }
}

TEST_F(Meter, ReadsOnlyWhileTheLockHoldsTheReceiverAndYieldsToOtherJobs)
{
    makeQuiet();
    const struct {
        const char *what;
        std::function<void()> before;
        const char *sent, *shown; // shown: nullptr when hidden
        int bar;
    } ticks[] = {
        {"off by default, even with the Lock On", [&] { click("grd_lock", 0, 1); }, "", nullptr, 0},
        {"chosen, the Lock Off: never takes the receiver itself",
         [&] { t.app.settings.panel_meter = true, click("grd_lock", 0, 0); }, "", "--", 0},
        {"Lock On: one reading a tick, inside the hold (no bracket)", [&] { click("grd_lock", 0, 1); }, "M",
         "S8", 80},
        {"another job on the line: left alone",
         [&] {
             t.rx->submit([rx = t.rx.get()]() -> rxjob::Task<> { co_await rx->pause(20); }, false, nullptr);
         },
         "", "S8", 80},
        {"the line free again", [&] { level = "M130\r"; }, "M", "S2", 20},
    };
    for (const auto &c : ticks) {
        SCOPED_TRACE(c.what);
        c.before();
        clear();
        w->meterTick();
        EXPECT_EQ(trace(), c.sent);
        EXPECT_EQ(get<QFrame>("meterDisplay")->isVisible(), c.shown != nullptr);
        if (c.shown)
            EXPECT_EQ(label("lbl_smeter") + " " + QString::number(get<QProgressBar>("bar_smeter")->value()),
                      QString(c.shown) + " " + QString::number(c.bar));
    }
}

TEST_F(Meter, ShowsTheReadingsOfARunningMeasurement)
{
    t.app.settings.panel_meter = true;
    makeQuiet();
    MeasureSession s(t.app, "The S-meter");
    ASSERT_TRUE(s.start(0));
    t.settle();
    clear();
    w->meterTick(); // the session holds the receiver: no reading of its own
    level = "M070\r";
    s.tickNow();
    EXPECT_EQ(trace(), "M");
    EXPECT_EQ(label("lbl_smeter"), "S9+48");
    s.stop();
    t.settle();
    EXPECT_EQ(label("lbl_smeter"), "--");
}

TEST_F(Meter, BadgeShowsWhileTheSimulatedReceiverAnswers)
{
    make();
    auto *badge = get<QLabel>("lbl_sim");
    EXPECT_FALSE(badge->isVisible());
    SimLikePort sim;
    t.app.port = &sim;
    w->showtime();
    EXPECT_TRUE(badge->isVisible());
    EXPECT_EQ(badge->text(), "SIMULATED");
    t.app.port = &t.port;
}
