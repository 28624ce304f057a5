// The S-meter window: scale, needle and histogram pixels, a missed reading
// greying the needle, Cls, closing while recording, Save as PNG.
#include "measure/ui/smeter.h"
#include "measurewin.h"

#include <QImage>
#include <QTimer>

namespace {

const QColor kBg(255, 239, 223), kDark(127, 0, 0), kGreen(0, 255, 0), kGrey(128, 128, 128);

using SmeterWin = MeasureWin<Smeter>;

TEST_F(SmeterWin, ScaleNeedleAndBars)
{
    const Canvas *s = w->scale;
    const struct { int x, y; QColor c; } px[] = {
        {0, 0, kBg}, {100, 104, Qt::black}, {26, 73, Qt::black}, {56, 110, Qt::black}, // base, minor, S5
        {26, 110, kBg}, {20, 140, kDark}, {50, 140, kBg}, {100, 130, Qt::black}}; // SINPO bar
    for (const auto &e : px)
        EXPECT_EQ(s->pixel(e.x, e.y), e.c) << e.x << "," << e.y;
    click(w->cmd_start);
    EXPECT_TRUE(w->tmr_Smeter->isActive());
    EXPECT_EQ(panel.lockOn, 1);
    EXPECT_FALSE(w->cmd_exit->isEnabled());
    level = "M134\r";
    tick(); // 1 unit: needle at 0, bin 1 one pixel high
    const Canvas *m = w->pic_Smeter, *h = w->pic_histo;
    EXPECT_EQ(m->pixel(0, 2), kGreen);
    EXPECT_EQ(m->pixel(99, 5), kDark); // the start position erased
    EXPECT_EQ(h->pixel(3, 63), kGreen);
    EXPECT_EQ(h->pixel(5, 61), kDark);
    level.clear(); // missed: the needle holds, greyed, nothing recorded
    tick();
    EXPECT_TRUE(w->stale());
    EXPECT_EQ(m->pixel(0, 7), kGrey);
    EXPECT_EQ(w->recorder().bin(1), 1);

    level = "M066\r"; // clamped to 18 units
    tick();
    tick();
    EXPECT_FALSE(w->stale());
    EXPECT_EQ(m->pixel(170, 7), kGreen);
    EXPECT_EQ(m->pixel(0, 7), kDark);
    EXPECT_EQ(h->pixel(10 * 18 - 5, 61), kGreen);
    EXPECT_EQ(h->pixel(10 * 18 - 5, 60), kDark);
    click(w->cmd_stop);
    EXPECT_FALSE(w->tmr_Smeter->isActive());
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_TRUE(w->cmd_exit->isEnabled());
    w->cmd_cls->click();
    EXPECT_EQ(h->pixel(10 * 18 - 5, 62), kDark);
    EXPECT_EQ(m->pixel(170, 7), kDark);
    EXPECT_EQ(w->recorder().bin(18), 0);
}

TEST_F(SmeterWin, NoRxDisablesStartSavesAsPngAndClosingWhileRecordingReleases)
{
    t.app.settings.setNoRx(true);
    EXPECT_FALSE(Smeter(t.app).cmd_start->isEnabled());
    t.app.settings.setNoRx(false);
    click(w->cmd_start);
    for (int n = 0; n < 45; ++n) {
        level = fading(n, 7);
        tick();
    }
    click(w->cmd_stop);
    w->cmd_savepng->click();
    const QImage img(QDir(t.dir.path()).filePath("Smeter.png"));
    EXPECT_EQ(img.size(), w->scale->size());
    shot("smeter.png");
    // Closing while recording gives the receiver back.
    click(w->cmd_start);
    w->close();
    t.settle();
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_FALSE(t.rx->held());
}

} // namespace
