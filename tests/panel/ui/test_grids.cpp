// Control panel: load step, refresh decoding, grid clicks, scroll bars, GO.
#include "panelfixture.h"

#include <QTimer>

TEST_F(PanelTest, LoadFillsGridsLabelsAndStep)
{
    make();
    // Without the options: empty Narr, AM-U and AM-L cells.
    // The step cells' values: the entry rules' test.
    const std::pair<const char *, const char *> grids[] = {
        {"grd_lock", " Off| On"}, {"grd_HF", " Off| On"}, {"grd_vbt", " Off| On"},
        {"grd_agc", " Off|Fast|Slow"}, {"grd_nb", "Off|NB1|NB2"}, {"grd_bw", "| Inter| Wide| Aux"},
        {"grd_md", "  AM ||/ USB| LSB|  CW/RTTY| FAX| NFM"},
        {"grd_CS", "0.001|0.1|2|10/0.01|0.2|3|12.5/0.02|0.5|5|25/0.05|1|9|50"}};
    for (const auto &[g, want] : grids)
        EXPECT_EQ(cells(g), want) << g;
    EXPECT_EQ(label("lbl_nb"), "Off");
    EXPECT_EQ(label("lbl_lock"), "Off");
    EXPECT_EQ(colour("lbl_lock"), QColor(255, 224, 192));
    EXPECT_EQ(w->tuningStepHz(), 5000);
    EXPECT_EQ(w->spinDir(), 1);
    EXPECT_EQ(get<QGroupBox>("fra_freq")->title(), "Frequency/Step=5");
    EXPECT_FALSE(get<QScrollBar>("vsc_bwc")->isEnabled());
    EXPECT_FALSE(get<QScrollBar>("vsc_pbs")->isEnabled());
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(PanelTest, WithTheOptionsRefreshDecodesTheReplyAndModeClicksRefresh)
{
    t.app.settings.v[13] = 1;
    t.app.settings.v[14] = 1;
    make();
    EXPECT_EQ(cells("grd_bw"), " Narr| Inter| Wide| Aux");
    EXPECT_EQ(cells("grd_md"), "  AM |AM-U|AM-L/ USB| LSB|  CW/RTTY| FAX| NFM");
    t.answerState("024095000001");
    trigger("mnu_update");
    EXPECT_EQ(trace(), kRefresh);
    EXPECT_EQ(freq()->text(), "9500.000");
    EXPECT_EQ(labels(), "Narr|AM|Fast| Off| On");
    EXPECT_EQ(colour("lbl_vbt"), QColor(255, 224, 192));
    // The grids mark the values shown.
    EXPECT_EQ(grid("grd_md")->row() + grid("grd_md")->col() + grid("grd_bw")->col(), 0);
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    // A malformed reply keeps what is shown.
    clear();
    t.answerState("9X9ABCDEFGHZ");
    trigger("mnu_update");
    EXPECT_EQ(freq()->text(), "9500.000");
    EXPECT_EQ(labels(), "Narr|AM|Fast| Off| On");

    // A silent receiver: the receiver message, the link released.
    clear();
    t.port.responder = nullptr;
    trigger("mnu_update");
    EXPECT_EQ(trace(), kRefresh);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_EQ(freq()->text(), "9500.000");

    clear();
    t.answerState("007095000001");
    click("grd_md", 0, 1);
    EXPECT_EQ(trace(), br("D7") + "|" + kRefresh);
    EXPECT_EQ(label("lbl_md"), "AM-U");
    EXPECT_TRUE(t.prompter.asked.isEmpty());
}

TEST_F(PanelTest, NarrWithoutTheFilterShowsEmptyAndNfmDisables)
{
    make();
    t.answerState("024095000001");
    trigger("mnu_update");
    EXPECT_EQ(label("lbl_bw"), "");
    t.answerState("035000100009"); // NFM, AGC digit not even valid
    trigger("mnu_update");
    EXPECT_FALSE(grid("grd_agc")->isEnabled());
    EXPECT_FALSE(get<QGroupBox>("fra_bw")->isEnabled());
    EXPECT_FALSE(grid("grd_bw")->isEnabled());
    EXPECT_TRUE(labels().startsWith("|NFM||")) << labels().toStdString();
    EXPECT_EQ(freq()->text(), "10.000");
    // Back to AM: enabled again.
    t.answerState("004299999990");
    trigger("mnu_update");
    EXPECT_TRUE(grid("grd_agc")->isEnabled());
    EXPECT_TRUE(get<QGroupBox>("fra_bw")->isEnabled());
    EXPECT_EQ(label("lbl_agc"), "Slow");
    EXPECT_EQ(freq()->text(), "29999.999");
}

TEST_F(PanelTest, SimpleGridsSendTheirCommands)
{
    make();
    const struct {
        const char *grid;
        int col;
        const char *cmd, *label, *shown;
    } clicks[] = {{"grd_HF", 1, "A1", "lbl_HF", " On"},   {"grd_agc", 0, "G2", "lbl_agc", nullptr},
                  {"grd_agc", 2, "G0", "lbl_agc", "Slow"}, {"grd_nb", 2, "N2", "lbl_nb", "NB2"},
                  {"grd_vbt", 0, "U10", "lbl_vbt", "Off"}, {"grd_vbt", 1, "U11", "lbl_vbt", " On"}};
    for (const auto &c : clicks) {
        clear();
        click(c.grid, 0, c.col);
        EXPECT_EQ(trace(), br(c.cmd)) << c.grid << c.col;
        if (c.shown)
            EXPECT_EQ(label(c.label), c.shown) << c.grid << c.col;
        if (QLatin1String(c.grid) == "grd_vbt")
            EXPECT_EQ(colour("lbl_vbt"), c.col ? QColor(255, 224, 192) : QColor(255, 128, 0));
        if (QLatin1String(c.cmd) == "U10")
            EXPECT_EQ(w->vbtChoice(), 0);
    }
    EXPECT_EQ(t.app.rxs.att, 1);
    EXPECT_EQ(t.app.rxs.agc, 0);
    clear();
    // A double-click is one click and does not refresh the panel.
    TextGrid *nb = grid("grd_nb");
    QTest::mouseClick(nb, Qt::LeftButton, {}, nb->cellCenter(0, 0));
    QTest::mouseDClick(nb, Qt::LeftButton, {}, nb->cellCenter(0, 0));
    EXPECT_EQ(trace(), br("N0"));
    clear();
    // Keyboard: Space on the current cell clicks it.
    grid("grd_nb")->setFocus();
    QTest::keyClick(grid("grd_nb"), Qt::Key_Right);
    QTest::keyClick(grid("grd_nb"), Qt::Key_Space);
    EXPECT_EQ(trace(), br("N1"));
}

TEST_F(PanelTest, OptionRefusalsSendNothingAndKeepTheLabel)
{
    make();
    t.answerState("004095000001");
    trigger("mnu_update");
    clear();
    click("grd_md", 0, 1); // AM-U without the ECSS unit
    ASSERT_GE(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.asked.first().text, "Reserved for ECSS mode\nwith optional unit CMF-78 ");
    EXPECT_EQ(t.prompter.asked.first().title, "Mode");
    EXPECT_EQ(t.prompter.asked.first().icon, Prompter::Information);
    EXPECT_EQ(trace(), kRefresh); // no D command; the refresh shows the real mode
    EXPECT_EQ(label("lbl_md"), "AM");
    EXPECT_EQ(t.app.rxs.mode, 4);

    clear();
    click("grd_bw", 0, 0); // Narr without the filter
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastText(), "Reserved for Narrow filter\nwith optional unit CFL-23x ");
    EXPECT_EQ(t.prompter.lastTitle(), "Mode");
    EXPECT_TRUE(t.port.commands().isEmpty());
    EXPECT_EQ(label("lbl_bw"), "Wide");
    EXPECT_EQ(grid("grd_bw")->col(), 0); // the selection stays visible
}

TEST_F(PanelTest, WideWithBandwidthControlAndLock)
{
    t.app.settings.v[12] = 1;
    make();
    click("grd_bw", 0, 2); // Wide, lock off
    EXPECT_EQ(trace(), br("B0"));
    EXPECT_FALSE(get<QScrollBar>("vsc_bwc")->isEnabled());
    EXPECT_EQ(label("lbl_bwc"), "");

    clear();
    t.answerState("004095000001");
    click("grd_lock", 0, 1);
    // H1 twice for the lock, the refresh without H0, its W (the scroll bar's
    // change and the refresh's own) and P commands.
    EXPECT_EQ(trace(), "H1|H1|H1|H1|U11|J1199|L199199|W5500|W5500|P0000");
    EXPECT_TRUE(t.rx->held());
    EXPECT_EQ(label("lbl_lock"), " On");
    EXPECT_EQ(colour("lbl_lock"), QColor(255, 128, 0));
    auto *bwc = get<QScrollBar>("vsc_bwc");
    EXPECT_TRUE(bwc->isEnabled());
    EXPECT_EQ(bwc->value(), 5500);
    EXPECT_EQ(label("lbl_bwc"), "5500");
    EXPECT_EQ(label("lbl_pbs"), "0000");
    EXPECT_TRUE(get<QScrollBar>("vsc_pbs")->isEnabled());

    clear();
    click("grd_bw", 0, 2); // Wide again: value unchanged, no W
    EXPECT_EQ(trace(), "H1|H1|B0");
    clear();
    click("grd_bw", 0, 1); // Inter
    EXPECT_EQ(trace(), "H1|H1|B1|W2200");
    EXPECT_EQ(bwc->value(), 2200);
    EXPECT_EQ(bwc->minimum(), 500);
    EXPECT_EQ(bwc->maximum(), 2200);
    EXPECT_EQ(label("lbl_bwc"), "2200");
    clear();
    bwc->setValue(1500);
    EXPECT_EQ(trace(), "W1500");
    EXPECT_EQ(label("lbl_bwc"), "1500");
    clear();
    click("grd_bw", 0, 3); // Aux
    EXPECT_EQ(trace(), "H1|H1|B3");
    EXPECT_FALSE(bwc->isEnabled());
    EXPECT_EQ(label("lbl_bwc"), "");

    clear();
    click("grd_lock", 0, 0);
    EXPECT_EQ(trace(), "H0|H0");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(label("lbl_lock"), " Off");
    EXPECT_EQ(colour("lbl_lock"), QColor(255, 224, 192));
    EXPECT_FALSE(get<QScrollBar>("vsc_pbs")->isEnabled());
    EXPECT_EQ(label("lbl_pbs"), "");
}

TEST_F(PanelTest, WideAfterANarrowBandwidthControlSendsOnlyW5500)
{
    // Inter at 1500 Hz, then Wide: the new range would clamp 1500 to 2000 on
    // the way to 5500; the receiver must not be sent that passing value.
    t.app.settings.v[12] = 1;
    make();
    t.answerState("014095000001"); // Inter
    click("grd_lock", 0, 1);
    get<QScrollBar>("vsc_bwc")->setValue(1500);
    clear();
    click("grd_bw", 0, 2); // Wide
    EXPECT_EQ(trace(), "H1|H1|B0|W5500");
    EXPECT_EQ(label("lbl_bwc"), "5500");
}

TEST_F(PanelTest, PassbandShiftOnlyWhileLocked)
{
    make();
    auto *pbs = get<QScrollBar>("vsc_pbs");
    pbs->setValue(100);
    EXPECT_TRUE(t.port.commands().isEmpty());
    pbs->setValue(0);
    t.answerState("004095000001");
    click("grd_lock", 0, 1);
    clear();
    pbs->setValue(-25);
    EXPECT_EQ(trace(), "P-0025");
    EXPECT_EQ(label("lbl_pbs"), "-0025");
    pbs->setValue(0);
    EXPECT_EQ(trace(), "P-0025|P+0000");
    EXPECT_EQ(label("lbl_pbs"), "+0000");
    pbs->setValue(2000);
    EXPECT_EQ(label("lbl_pbs"), "+2000");
}

TEST_F(PanelTest, LockOnWithASilentReceiverLetsGo)
{
    make();
    click("grd_lock", 0, 1);
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(label("lbl_lock"), " Off");
    EXPECT_TRUE(trace().endsWith("H0|H0"));
}

TEST_F(PanelTest, StepGrid)
{
    make();
    click("grd_CS", 1, 3);
    EXPECT_EQ(w->tuningStepHz(), 12500);
    EXPECT_EQ(get<QGroupBox>("fra_freq")->title(), "Frequency/Step=12.5");
    click("grd_CS", 0, 0);
    EXPECT_EQ(w->tuningStepHz(), 1);
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(PanelTest, GoStepsDownToTenKilohertzAndNoReleasesTheLock)
{
    make();
    t.answerState("004000120001"); // 12 kHz
    click("grd_lock", 0, 1);
    press("spn_Freq_down"); // direction down
    EXPECT_EQ(w->spinDir(), -1);
    clear();
    int fired = 0;
    std::function<void()> stopLater = [&] {
        if (w->goRunning() && t.port.commands().count("F00010000") >= 3) {
            ++fired;
            press("cmd_gono");
        } else {
            QTimer::singleShot(50, stopLater);
        }
    };
    QTimer::singleShot(50, stopLater);
    press("cmd_gono");
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(w->goRunning());
    const QStringList cmds = t.port.commands();
    EXPECT_EQ(cmds.mid(0, 7).join('|'), "H1|H1|H1|H1|U11|J1199|L199199");
    EXPECT_GE(cmds.count("F00010000"), 3);
    for (const QString &c : cmds)
        if (c.startsWith('F'))
            EXPECT_EQ(c, "F00010000");
    EXPECT_EQ(cmds.mid(cmds.size() - 2).join('|'), "H0|H0");
    EXPECT_EQ(freq()->text(), "10.000");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(label("lbl_lock"), " Off");
    EXPECT_EQ(get<QPushButton>("cmd_gono")->text(), "GO");
    EXPECT_FALSE(get<QScrollBar>("vsc_pbs")->isEnabled());
}

TEST_F(PanelTest, ClickDuringATransactionIsSafe)
{
    make();
    t.answerState("004095000001");
    t.port.replyDelayMs = 150;
    QTimer::singleShot(30, [&] { click("grd_nb", 0, 1); });
    QTimer::singleShot(60, [&] { click("grd_md", 2, 0); });
    trigger("mnu_update");
    QTest::qWait(800);
    EXPECT_TRUE(t.port.commands().contains("N1"));
    EXPECT_TRUE(t.port.commands().contains("D0"));
    EXPECT_EQ(label("lbl_nb"), "NB1");
    EXPECT_EQ(freq()->text(), "9500.000");
}
