// The propagation windows. The impression: bars at their clock positions, a
// PAN recording from SaveAs to Stop, loading PAN files (the next-hour
// question, damaged files) and the CSV export. The history: the second bars,
// markers and both histograms at their pixels, the half-minute bars.
#include "measure/ui/prophist.h"
#include "measure/ui/proptime.h"
#include "measure/ui/spectrum.h"
#include "measurewin.h"
#include "common/filebytes.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>

namespace {

const QColor kLight(255, 240, 192), kPanel(128, 0, 0);

using PropWin = MeasureWin<Proptime>;

// The picture for the user guide: twenty minutes of a fading signal with a
// loaded recording of the hour before. First of the window's tests, so that
// the recording gets the first overlay colour.
TEST_F(PropWin, Picture)
{
    if (qEnvironmentVariableIsEmpty("VOR_SCREENSHOT"))
        GTEST_SKIP() << "only with VOR_SCREENSHOT";
    const QString pan = t.base() + "PAN/PAN_AURORA.TXT";
    QByteArray bytes = "5 Dec 2026  10:00 UTC\r\n9500.000\r\nRadio Aurora\r\n";
    for (int m = 0; m < 60; ++m) { // a band 1.6 units wide, rising and falling
        const int lo = 52 + int(25 * std::sin(m / 7.5));
        bytes += QString("11:%1").arg(m, 2, 10, QChar('0')).toLatin1() +
                 QString(" %1 %2").arg(lo, 3, 10, QChar('0')).arg(lo + 16, 3, 10, QChar('0')).repeated(4).toLatin1() + "\r\n";
    }
    writeBytes(pan, bytes);
    t.prompter.answers = {Prompter::AnsYes};
    click(w->cmd_start);
    w->txt_station->setText("Radio Aurora");
    for (int n = 0; n < 20 * 60; ++n) {
        level = fading(n);
        tickAt(12, n / 60, n % 60);
    }
    click(w->cmd_stop);
    w->loadpan(pan);
    shot("proptime.png");
}

TEST_F(PropWin, BarsStandAtTheirClockPositions)
{
    EXPECT_EQ(w->pic->pixel(300, 100), kPanel);
    EXPECT_EQ(w->pic->pixel(84, 82), kLight); // guide point
    click(w->cmd_start);
    EXPECT_TRUE(w->running());
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(w->lbl_freq->text(), "9500.000");
    tickAt(12, 0, 5);
    EXPECT_EQ(w->pic->pixel(120, 149), kLight);
    EXPECT_EQ(w->pic->pixel(120, 149 - 36), kLight);
    EXPECT_EQ(w->pic->pixel(120, 149 - 37), kPanel);
    tickAt(12, 0, 59); // bar at 552, the column at 80 erased
    EXPECT_EQ(w->pic->pixel(552, 140), kLight);
    EXPECT_EQ(w->pic->pixel(80, 140), kPanel);
    tickAt(12, 1, 1); // quarter close on the hour panel at x = 88
    EXPECT_EQ(w->pic->pixel(88, 279 - 36), kLight);
    click(w->cmd_stop);
}

TEST_F(PropWin, RecordsWholeMinutesToThePanFile)
{
    t.app.files.pan = "PAN_TEST.TXT";
    w->txt_station->setText("Radio Aurora");
    w->openpan();
    t.settle();
    ASSERT_TRUE(w->recording());
    EXPECT_EQ(w->lbl_savez->text(), "TEST");
    click(w->cmd_start);
    for (int s = 50; s < 60 + 47; ++s)
        tickAt(12, s / 60, s % 60);
    click(w->cmd_stop);
    EXPECT_EQ(t.prompter.lastText(), "The Propagation data is now\nsaved to the file PAN_TEST.TXT");
    EXPECT_EQ(QString::fromLatin1(readBytes(t.base() + "PAN/PAN_TEST.TXT")).section("\r\n", 1),
              "9500.000\r\nRadio Aurora\r\n12:01 090 090 090 090 090 090 090 090\r\n");
    w->cmd_exportcsv->click();
    EXPECT_TRUE(readBytes(QDir(t.dir.path()).filePath("PAN_TEST.csv"))
                    .startsWith("time,lowest,highest\r\n12:01:01,9.0,9.0\r\n"));

    // A PAN file that can no longer be written: said, and the watch goes on.
    t.app.files.pan = "PAN_GONE.TXT";
    w->openpan();
    t.settle();
    click(w->cmd_start);
    const QString gone = t.base() + "PAN/PAN_GONE.TXT";
    ASSERT_TRUE(QFile::remove(gone) && QDir().mkdir(gone));
    for (int s = 0; s < 120; ++s)
        tickAt(13, s / 60, s % 60);
    EXPECT_TRUE(t.prompter.lastText().endsWith("Recording stopped; what was written stays."));
    EXPECT_FALSE(w->recording());
    EXPECT_TRUE(w->running());
    click(w->cmd_stop);
}

TEST_F(PropWin, LoadingAsksAtTheEndOfAnHourAndSurvivesDamage)
{
    const QString hour = t.base() + "PAN/PAN_HOUR.TXT";
    writeBytes(hour, "5 Dec 2026  11:00 UTC\r\n9500.000\r\nRadio\r\n"
                     "12:58 090 090 090 090 090 090 090 090\r\n"
                     "12:59 090 090 090 090 090 090 090 090\r\n"
                     "13:00 050 050 050 050 050 050 050 050\r\n");
    t.prompter.answers = {Prompter::AnsCancel};
    w->loadpan(hour);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastTitle(), "Next hour");
    // The curve up to minute 59 in the first colour; nothing of 13:00.
    QColor c; // the colour of the label that names the file
    for (int i = 0; i < 4; ++i)
        if (w->lbl_fn[i]->text() == "HOUR")
            c = SpectrumWindow::curveColour(i + 1);
    EXPECT_EQ(w->pic->pixel(80 + 8 * 59 + 2, 279 - 36), c);
    EXPECT_EQ(w->pic->pixel(80, 279 - 20), kPanel);
    EXPECT_EQ(w->lbl_freq->text(), "9500.000");

    writeBytes(t.base() + "PAN/PAN_BAD.TXT", "x\r\n\r\n\r\nzz\r\n12:3\r\n12:30 999 -50\r\n");
    t.prompter.asked.clear();
    w->loadpan(t.base() + "PAN/PAN_BAD.TXT");
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().startsWith("The file PAN_BAD.TXT is damaged:"));
}

// The history window.
const QColor kBar(255, 255, 0), kGreen(0, 255, 0), kRed(255, 0, 0);
constexpr int T = prophist::T;

using HistWin = MeasureWin<prophist>;

TEST_F(HistWin, BarsMarkersAndHistograms)
{
    const Canvas *p = w->pic;
    EXPECT_EQ(p->pixel(300, T + 100), kPanel);
    EXPECT_EQ(p->pixel(32, T + 100), QColor(0, 0, 0)); // separator
    click(w->cmd_start);
    for (int s = 0; s < 60; ++s)
        tickAt(12, 0, s);
    // Second bar at 12:00:10: x = 110, up to T + 186 - 72.
    EXPECT_EQ(p->pixel(110, T + 186 - 72), kBar);
    EXPECT_EQ(p->pixel(110, T + 186 - 73), kPanel);
    // Markers at level 9 in both strips.
    EXPECT_EQ(p->pixel(48, T + 186 - 72), kRed);
    EXPECT_EQ(p->pixel(590, T + 186 - 72), kRed);
    // Rolling histogram: 60 readings in bin 9, 240 pixels left of 568.
    EXPECT_EQ(p->pixel(568 - 239, T + 186 - 72), kGreen);
    EXPECT_EQ(p->pixel(568 - 241, T + 186 - 72), kPanel);
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
