// The spectrum window: the limits dialog, a short scan on the line with its
// bars, the simulated band with its stations, a missed step and Continue,
// tune mode, SAN save and overlay (also of damaged files), the exports.
#include "measure/ui/spectrum.h"
#include "sim/simradio.h"
#include "sim/simwait.h"
#include "measurewin.h"
#include "common/filebytes.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

namespace {

const QColor kLight(255, 240, 192), kArea(128, 0, 0), kYellow(255, 255, 0);

struct SpectrumWin : MeasureWin<SpectrumWindow> {
    void SetUp() override
    {
        MeasureWin::SetUp();
        level = "M134\r"; // S1, and a station at 9410 kHz: S9
        levels["F09410000"] = "M102\r";
    }
    void limitsOk(const QStringList &texts)
    {
        w->cmd_start->click();
        limits *d = w->limitsDialog();
        ASSERT_TRUE(d);
        for (int i = 0; i < 4; ++i)
            d->txt_in[i]->setText(texts[i]);
        d->cmd_OK->click();
        t.settle();
    }
    void runToEnd()
    {
        for (int i = 0; i < 200 && w->scanning(); ++i)
            tick();
    }
};

TEST_F(SpectrumWin, RefusedLimitsKeepTheDialogOpen)
{
    EXPECT_EQ(w->pic->pixel(300, 300), kArea);
    EXPECT_EQ(w->pic->pixel(571, 200), kLight); // the right axis
    EXPECT_FALSE(w->cmd_stop->isEnabled() || w->cmd_cont->isEnabled());
    limitsOk({"10", "511", "1", "1"});
    limits *d = w->limitsDialog();
    ASSERT_TRUE(d);
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(), "Error: Input ERROR");
    EXPECT_EQ(d->txt_in[0]->text() + d->txt_in[3]->text(), "");
    EXPECT_TRUE(t.port.commands().isEmpty());
    EXPECT_FALSE(d->chk_show->isVisibleTo(d));
    d->chk_loop->setChecked(true);
    EXPECT_TRUE(d->chk_show->isVisibleTo(d));

    // Enter in a field is OK: the dialog goes (after its key handling) and the scan starts.
    for (int i = 0; i < 4; ++i)
        d->txt_in[i]->setText(QStringList{"9400", "9420", "5", "1"}[i]);
    QTest::keyClick(d->txt_in[2], Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return w->scanning(); }));
    EXPECT_FALSE(w->limitsDialog());
    click(w->cmd_stop);
}

TEST_F(SpectrumWin, ASingleRunDrawsOneBarPerStepLetsGoAndExports)
{
    limitsOk({"9400", "9420", "5", "0,2"});
    ASSERT_TRUE(w->scanning());
    EXPECT_EQ(w->tmr_scan->interval(), 500);
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(t.sends([&] { runToEnd(); }), "M|F09405000|M|F09410000|M|F09415000|M|F09420000|M|H0|H0");
    EXPECT_EQ(w->scan().index, 5);
    EXPECT_EQ(panel.freq, "9420.000");
    EXPECT_TRUE(panel.enabled);
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_FALSE(w->cmd_exit->isEnabled()); // until Stop
    EXPECT_FALSE(w->cmd_cont->isEnabled());

    const Canvas *p = w->pic;
    // 9410 kHz (S9) at x = 70 + 10 x 500 / 20 = 320, up to y = 400 - 108.
    EXPECT_EQ(p->pixel(320, 292), kLight);
    EXPECT_EQ(p->pixel(320, 291), kArea);
    EXPECT_EQ(p->pixel(195, 388), kLight); // S1 at 9405 kHz
    EXPECT_EQ(p->pixel(195, 387), kArea);
    EXPECT_EQ(p->pixel(570, 130), kYellow); // the cursor on the last step
    EXPECT_EQ(p->pixel(300, 130), kArea);
    w->cmd_stop->click();
    EXPECT_TRUE(w->cmd_exit->isEnabled());

    // Export: frequency and meter units of each measured step.
    w->cmd_exportcsv->click();
    EXPECT_EQ(readBytes(QDir(t.dir.path()).filePath("spectrum.csv")),
              "kHz,units\r\n9400.000,1.00\r\n9405.000,1.00\r\n9410.000,9.00\r\n9415.000,1.00\r\n9420.000,1.00\r\n");

    // Exports to a place that cannot be written say why.
    w->askPath = [](QWidget *, const QString &, const QString &name, const QString &) {
        return "/nonexistent/folder/" + name;
    };
    for (QPushButton *b : {w->cmd_savepng, w->cmd_exportcsv}) {
        t.prompter.asked.clear();
        b->setEnabled(true);
        b->click();
        ASSERT_EQ(t.prompter.asked.size(), 1) << b->objectName().toStdString();
        EXPECT_EQ(t.prompter.asked[0].icon, Prompter::Exclamation);
        EXPECT_TRUE(t.prompter.lastText().contains(b == w->cmd_savepng ? "spectrum.png" : "spectrum.csv"))
            << t.prompter.lastText().toStdString();
    }
}

TEST_F(SpectrumWin, TheSimulatedBandShowsItsStations)
{
    SimRadio radio;
    t.port.responder = [&radio](const QByteArray &c) { return radio.execute(c); };
    limitsOk({"9400", "9900", "5", "0.5"});
    runToEnd();
    w->cmd_stop->click();
    ASSERT_EQ(w->scan().index, 101);
    // Each station of the band is a peak near its own strength; every other
    // step stays well below the weakest one.
    QMap<int, double> stations; // step -> S-units
    for (const SimStation &st : radio.band().stations())
        if (st.hz >= 9400000 && st.hz <= 9900000)
            stations[int(st.hz / 1000 - 9400) / 5] = st.sUnits;
    ASSERT_GE(stations.size(), 5);
    for (int i = 0; i <= 100; ++i) {
        const double v = w->scan().data[size_t(i)];
        if (stations.contains(i))
            EXPECT_NEAR(v, stations[i], 1.0) << 9400 + 5 * i;
        else
            EXPECT_LT(v, 4.2) << 9400 + 5 * i;
    }
    for (auto it = stations.cbegin(); it != stations.cend(); ++it) // each bar's top
        EXPECT_EQ(w->pic->pixel(70 + 5 * it.key(), 400 - int(12 * w->scan().data[size_t(it.key())])), kLight);
    shot("spectrum.png");
}

TEST_F(SpectrumWin, AMissedStepIsLeftOutAndContinueResumesWhereTheScanStopped)
{
    limitsOk({"9400", "9900", "5", "1"});
    tick();
    tick();
    level.clear();
    levels.clear();
    // The station at 9410 kHz missed, the next step tuned.
    EXPECT_EQ(t.sends([&] { w->on_tick(); }), "M|F09415000");
    EXPECT_EQ(w->scan().data[2], 0.0f);
    level = "M134\r";
    EXPECT_EQ(t.sends([&] { tick(); w->cmd_stop->click(); }), "M|F09420000|H0|H0");
    EXPECT_EQ(w->scan().data[3], 1.0f);
    EXPECT_TRUE(w->cmd_cont->isEnabled());
    EXPECT_TRUE(t.sends([&] { w->cmd_cont->click(); }).startsWith("H1|H1|F09420000|"));
    EXPECT_TRUE(w->scanning());
    click(w->cmd_stop);

    // Silent from the start: no scan of made-up levels.
    silent = true;
    t.prompter.asked.clear();
    click(w->cmd_cont);
    EXPECT_FALSE(w->scanning());
    EXPECT_FALSE(t.rx->held());
    EXPECT_TRUE(panel.enabled);
    EXPECT_EQ(t.prompter.asked.size(), 1);
}

TEST_F(SpectrumWin, TuneModeTunesToTheClickedStep)
{
    limitsOk({"9400", "9900", "5", "1"});
    click(w->cmd_stop);
    click(w->cmd_setfre);
    EXPECT_TRUE(w->tuneMode());
    EXPECT_FALSE(w->cmd_exit->isEnabled());
    EXPECT_EQ(t.sends([&] { emit w->pic->clicked(QPoint(320, 200)); }), "F09650000"); // the middle
    EXPECT_EQ(panel.freq, "9650.000");
    EXPECT_EQ(w->pic->pixel(320, 418), kYellow);
    EXPECT_EQ(t.sends([&] {
        emit w->pic->clicked(QPoint(320, 450)); // outside the area
        emit w->pic->clicked(QPoint(320, 200)); // the same step again
    }), "");
    emit w->pic->moved(QPoint(71, 200));
    EXPECT_EQ(w->lbl_fre1->text(), " 9400");
    click(w->cmd_stop);
    EXPECT_FALSE(w->tuneMode());
    EXPECT_FALSE(t.rx->held());
}

TEST_F(SpectrumWin, SavedScansLoadAsColouredOverlays)
{
    limitsOk({"9400", "9420", "5", "1"});
    runToEnd();
    w->cmd_stop->click();
    t.app.files.san = "SAN_BAND.TXT";
    w->savespectrum();
    EXPECT_EQ(t.prompter.lastText(), "The spectrum scan data \nis now saved to the file SAN_BAND.TXT");
    const QString path = t.base() + "SAN/SAN_BAND.TXT";
    const QByteArray saved = readBytes(path);
    ASSERT_FALSE(saved.isEmpty());
    t.prompter.answers = {Prompter::AnsNo}; // saving again asks first; No keeps the file
    w->savespectrum();
    EXPECT_EQ(t.prompter.lastText(), "File save action aborted");

    w->cmd_cls->click();
    w->loadspectrum(path);
    w->loadspectrum(path); // the next colour (the counter lives as long as the program)
    int second = -1;
    for (int i = 0; i < 4; ++i)
        if (w->lbl_fn[i]->text().startsWith("BAND  ") && w->lbl_fn[(i + 3) % 4]->text().startsWith("BAND  "))
            second = i;
    ASSERT_GE(second, 0);
    const QColor c = SpectrumWindow::curveColour(second + 1);
    // The curve rises from (195, 388) to (320, 292) and falls again.
    EXPECT_EQ(w->pic->pixel(320, 292), c);
    EXPECT_EQ(w->pic->pixel(195, 388), c);

    // A damaged file: a message, what could be read drawn inside the area.
    const QString bad = t.base() + "SAN/SAN_BAD.TXT";
    writeBytes(bad, "x\r\n9400\r\n9420\r\n5\r\n 9999 \r\n990\r\nzz\r\n");
    t.prompter.asked.clear();
    w->loadspectrum(bad);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.prompter.lastText().startsWith("The file SAN_BAD.TXT is damaged:"));
    for (int y = 0; y < 130; ++y) // nothing above the plotting area
        EXPECT_NE(w->pic->pixel(70, y), QColor(255, 0, 0)) << y;
    writeBytes(bad, "x\r\n0\r\n1e-300\r\n1\r\n 3 \r\n010\r\n020\r\n030\r\n040\r\n"); // every point far off
    w->loadspectrum(bad);

    // Unusual characters in a name; a folder that cannot be written: the
    // old file stays, the message names the file.
    t.app.files.san = "SAN_B\u00e4nd #2 (\u00fc).TXT";
    w->savespectrum();
    EXPECT_TRUE(QFile::exists(t.base() + "SAN/" + t.app.files.san));
    t.app.files.san = "SAN_BAND.TXT";
    QFile::setPermissions(t.base() + "SAN", QFile::ReadOwner | QFile::ExeOwner);
    if (!QFileInfo(t.base() + "SAN").isWritable()) { // not as root
        w->savespectrum();
        EXPECT_EQ(t.prompter.lastTitle(), "Save File");
        EXPECT_TRUE(t.prompter.lastText().contains("SAN_BAND.TXT")) << t.prompter.lastText().toStdString();
    }
    QFile::setPermissions(t.base() + "SAN", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readBytes(path), saved);
}

} // namespace
