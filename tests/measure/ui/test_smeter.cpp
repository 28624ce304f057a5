// The S-meter window: scale, needle and histogram pixels, the recording
// cycle on the line, a silent receiver, Cls and Save as PNG.
#include "common/ui/canvas.h"
#include "measure/ui/smeter.h"
#include "testkit.h"

#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace {

const QColor kBg(255, 239, 223), kDark(127, 0, 0), kGreen(0, 255, 0), kGrey(128, 128, 128);

struct SmeterWin : ::testing::Test {
    TestApp t;
    FakePanel panel;
    QPointer<Smeter> w;
    QByteArray level = "M134\r";

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
        w = new Smeter(t.app);
        w->askPath = [this](QWidget *, const QString &dir, const QString &name, const QString &) {
            askedDir = dir;
            return QDir(t.dir.path()).filePath(name);
        };
        w->show();
    }
    void TearDown() override { delete w; }
    QString askedDir;
};

TEST_F(SmeterWin, ScaleIsDrawnAtItsPixels)
{
    const Canvas *s = w->scale;
    EXPECT_EQ(s->pixel(0, 0), kBg);
    EXPECT_EQ(s->pixel(100, 104), QColor(Qt::black)); // base line
    EXPECT_EQ(s->pixel(26, 98), QColor(Qt::black));   // minor mark, lower row
    EXPECT_EQ(s->pixel(26, 73), QColor(Qt::black));   // minor mark, upper row
    EXPECT_EQ(s->pixel(56, 110), QColor(Qt::black));  // major mark S5
    EXPECT_EQ(s->pixel(26, 110), kBg);                // no major mark there
    EXPECT_EQ(s->pixel(20, 140), kDark);              // SINPO segment 1
    EXPECT_EQ(s->pixel(50, 140), kBg);                // gap 2
    EXPECT_EQ(s->pixel(120, 140), kBg);               // gap 4
    EXPECT_EQ(s->pixel(200, 140), kDark);             // segment 5
    EXPECT_EQ(s->pixel(100, 130), QColor(Qt::black)); // outline
    EXPECT_EQ(w->lbl_s[3]->text(), "+24");
    EXPECT_EQ(w->windowTitle(), "S-meter (Antenna input)");
}

TEST_F(SmeterWin, RecordingDrawsNeedleAndBars)
{
    w->cmd_start->click();
    t.settle();
    EXPECT_TRUE(w->tmr_Smeter->isActive());
    EXPECT_EQ(panel.lockOn, 1);
    EXPECT_FALSE(w->cmd_exit->isEnabled());
    t.port.clearWrites();

    w->on_tick();
    t.settle(); // 1 unit: needle at 0, bin 1 one pixel high
    EXPECT_EQ(t.port.trace(), "M");
    const Canvas *m = w->pic_Smeter, *h = w->pic_histo;
    EXPECT_EQ(m->pixel(0, 2), kGreen);
    EXPECT_EQ(m->pixel(1, 12), kGreen);
    EXPECT_EQ(m->pixel(99, 5), kDark); // the start position erased
    EXPECT_EQ(h->pixel(3, 63), kGreen);
    EXPECT_EQ(h->pixel(7, 62), kGreen);
    EXPECT_EQ(h->pixel(5, 61), kDark);

    level = "M066\r"; // clamped to 18 units
    w->on_tick();
    t.settle();
    w->on_tick();
    t.settle();
    EXPECT_EQ(m->pixel(170, 7), kGreen);
    EXPECT_EQ(m->pixel(0, 7), kDark);
    EXPECT_EQ(h->pixel(10 * 18 - 5, 62), kGreen);
    EXPECT_EQ(h->pixel(10 * 18 - 5, 61), kGreen);
    EXPECT_EQ(h->pixel(10 * 18 - 5, 60), kDark);

    w->cmd_stop->click();
    t.settle();
    EXPECT_FALSE(w->tmr_Smeter->isActive());
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_TRUE(w->cmd_exit->isEnabled());
    EXPECT_TRUE(t.port.trace().endsWith("H0|H0"));

    w->cmd_cls->click();
    EXPECT_EQ(h->pixel(10 * 18 - 5, 62), kDark);
    EXPECT_EQ(m->pixel(170, 7), kDark);
    EXPECT_EQ(w->recorder().bin(18), 0);
}

TEST_F(SmeterWin, SilentReceiverSkipsTheTickAndSaysSoOnce)
{
    w->cmd_start->click();
    t.settle();
    w->on_tick();
    t.settle();
    level.clear();
    w->on_tick();
    t.settle();
    w->on_tick();
    t.settle();
    EXPECT_TRUE(w->stale());
    EXPECT_EQ(w->pic_Smeter->pixel(0, 7), kGrey); // the needle holds, greyed
    EXPECT_EQ(w->recorder().bin(1), 1);          // nothing recorded
    EXPECT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().startsWith("The receiver did not answer."));
    EXPECT_TRUE(w->tmr_Smeter->isActive());

    level = "Mabc\r"; // garbage reads as level 0 (the clamp), no message
    w->on_tick();
    t.settle();
    EXPECT_FALSE(w->stale());
    EXPECT_EQ(w->recorder().bin(18), 1);
    EXPECT_EQ(t.prompter.asked.size(), 1);
    w->cmd_stop->click();
    t.settle();
}

TEST_F(SmeterWin, NoRxDisablesStartAndClosingWhileRecordingReleases)
{
    delete w;
    t.app.settings.v[5] = 1;
    w = new Smeter(t.app);
    EXPECT_FALSE(w->cmd_start->isEnabled());
    delete w;
    t.app.settings.v[5] = 0;
    w = new Smeter(t.app);
    w->show();
    w->cmd_start->click();
    t.settle();
    w->close();
    t.settle();
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_FALSE(t.rx->held());
}

TEST_F(SmeterWin, SavesThePictureAsPng)
{
    w->cmd_start->click();
    t.settle();
    for (int n = 0; n < 45; ++n) { // a fading signal around S8
        level = "M" + QByteArray::number(106 + int(5 * std::sin(n / 7.0) + 2 * std::sin(n / 2.3))) + "\r";
        w->on_tick();
        t.settle();
    }
    w->cmd_stop->click();
    t.settle();
    w->cmd_savepng->click();
    EXPECT_EQ(askedDir, t.base() + "SAN");
    const QImage img(QDir(t.dir.path()).filePath("Smeter.png"));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.size(), w->scale->size());
    if (!qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
        w->grab().save(qEnvironmentVariable("VOR_SCREENSHOT") + "/smeter.png");
}

} // namespace
