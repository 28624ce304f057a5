// The propagation history window: the second bars, markers and both
// histograms at their pixels, the half-minute bars.
#include "measure/ui/prophist.h"
#include "measurewin.h"

namespace {

const QColor kErase(128, 0, 0), kBar(255, 255, 0), kGreen(0, 255, 0), kRed(255, 0, 0);
constexpr int T = prophist::T;

using HistWin = MeasureWin<prophist>;

TEST_F(HistWin, BarsMarkersAndHistograms)
{
    const Canvas *p = w->pic;
    EXPECT_EQ(p->pixel(300, T + 100), kErase);
    EXPECT_EQ(p->pixel(32, T + 100), QColor(0, 0, 0)); // separator
    click(w->cmd_start);
    for (int s = 0; s < 60; ++s)
        tickAt(12, 0, s);
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
    click(w->cmd_stop);
    EXPECT_TRUE(w->cmd_exit->isEnabled());
}

// The picture for the user guide: twenty minutes of a fading signal.
TEST_F(HistWin, Picture)
{
    if (qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
        GTEST_SKIP() << "only with VOR_SCREENSHOT";
    click(w->cmd_start);
    for (int n = 0; n < 20 * 60; ++n) {
        level = fading(n);
        tickAt(12, n / 60, n % 60);
    }
    shot("prophist.png");
    click(w->cmd_stop);
}

} // namespace
