// The propagation history window: the second bars, markers and both
// histograms at their pixels, the half-minute bars, Start and Stop.
#include "common/ui/canvas.h"
#include "measure/ui/prophist.h"
#include "a11y.h"
#include "testkit.h"

#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QColor kErase(128, 0, 0), kBar(255, 255, 0), kGreen(0, 255, 0), kRed(255, 0, 0);
constexpr int T = prophist::T;

struct HistWin : ::testing::Test {
    TestApp t;
    FakePanel panel;
    QPointer<prophist> w;
    QByteArray level = "M102\r"; // S9

    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        t.port.responder = [this](const QByteArray &c) -> QByteArray {
            if (c == "M")
                return level;
            if (c == "L199199")
                return "L199004095000001\r";
            return {};
        };
        w = new prophist(t.app);
        w->show();
    }
    void TearDown() override { delete w; }
    void tickAt(int m, int s)
    {
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, m, s));
        w->on_tick();
        t.settle();
    }
    void click(QPushButton *b)
    {
        b->click();
        t.settle();
    }
};

TEST_F(HistWin, BarsMarkersAndHistograms)
{
    EXPECT_EQ(a11y::hiddenLabels(w), QStringList()); // values read as themselves
    const Canvas *p = w->pic;
    EXPECT_EQ(p->pixel(300, T + 100), kErase);
    EXPECT_EQ(p->pixel(32, T + 100), QColor(0, 0, 0)); // separator
    click(w->cmd_start);
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(panel.lockOn, 1);
    for (int s = 0; s < 60; ++s)
        tickAt(0, s);
    // Second bar at 12:00:10: x = 110, up to T + 186 - 72.
    EXPECT_EQ(p->pixel(110, T + 186 - 72), kBar);
    EXPECT_EQ(p->pixel(110, T + 186 - 73), kErase);
    // Markers at level 9 in both strips.
    EXPECT_EQ(p->pixel(48, T + 186 - 72), kRed);
    EXPECT_EQ(p->pixel(590, T + 186 - 72), kRed);
    // Rolling histogram: 60 readings in bin 9, 240 pixels left of 568.
    EXPECT_EQ(p->pixel(568 - 239, T + 186 - 72), kGreen);
    EXPECT_EQ(p->pixel(568 - 241, T + 186 - 72), kErase);
    // The minute close drew the cumulative histogram, largest bin 240 long.
    EXPECT_EQ(p->pixel(330, T + 385 - 72), kGreen);
    // Half-minute bars at 12:00:16 and :46: x = 71 and 73.
    EXPECT_EQ(p->pixel(71, T + 385 - 72), kBar);
    EXPECT_EQ(p->pixel(73, T + 385 - 72), kBar);

    level.clear(); // a silent receiver: skipped, shown, said once
    tickAt(1, 0);
    tickAt(1, 1);
    EXPECT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(w->lbl_status->text(), "no reply 12:01:01, 2 missed");
    EXPECT_TRUE(w->running());
    click(w->cmd_stop);
    EXPECT_TRUE(panel.enabled);
    EXPECT_FALSE(t.rx->held());
    EXPECT_TRUE(w->cmd_exit->isEnabled());
}

// The picture for the user guide: twenty minutes of a fading signal.
TEST_F(HistWin, Picture)
{
    if (qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
        GTEST_SKIP() << "only with VOR_SCREENSHOT";
    click(w->cmd_start);
    for (int n = 0; n < 20 * 60; ++n) {
        level = "M" + QByteArray::number(104 + int(8 * std::sin(n / 97.0) + 3 * std::sin(n / 2.3))) + "\r";
        tickAt(n / 60, n % 60);
    }
    w->grab().save(qEnvironmentVariable("VOR_SCREENSHOT") + "/prophist.png");
    click(w->cmd_stop);
}

} // namespace
