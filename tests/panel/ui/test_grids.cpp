// Control panel: load step, refresh decoding, grid clicks, scroll bars, GO.
#include "panelfixture.h"

#include <QTimer>

TEST_F(PanelTest, LoadFillsGridsAndTheStepGridSetsTheStep)
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
    EXPECT_EQ(label("lbl_nb") + label("lbl_lock"), "OffOff");
    EXPECT_FALSE(get<QScrollBar>("vsc_bwc")->isEnabled() || get<QScrollBar>("vsc_pbs")->isEnabled());
    // The step: 5 kHz first, then as clicked.
    for (const auto &[r, c, hz, title] :
         {std::tuple{-1, -1, 5000, "5"}, {1, 3, 12500, "12.5"}, {0, 0, 1, "0.001"}}) {
        if (r >= 0)
            click("grd_CS", r, c);
        EXPECT_EQ(w->tuningStepHz(), hz);
        EXPECT_EQ(get<QGroupBox>("fra_freq")->title(), QString("Frequency/Step=") + title);
    }
    EXPECT_TRUE(t.port.commands().isEmpty());
}

// (Decoding the reply, a malformed or missing one: the line's tests.)
TEST_F(PanelTest, WithTheOptionsRefreshShowsTheReplyAndModeClicksRefresh)
{
    t.app.settings.setNarrowFitted(true);
    t.app.settings.setEcssFitted(true);
    make();
    EXPECT_EQ(cells("grd_bw"), " Narr| Inter| Wide| Aux");
    EXPECT_EQ(cells("grd_md"), "  AM |AM-U|AM-L/ USB| LSB|  CW/RTTY| FAX| NFM");
    t.answerState("024095000001");
    trigger("mnu_update");
    EXPECT_EQ(trace(), kRefresh);
    EXPECT_EQ(freq()->text(), "9500.000");
    EXPECT_EQ(QStringList({label("lbl_bw"), label("lbl_md"), label("lbl_agc"), label("lbl_HF"), label("lbl_vbt")}),
              QStringList({"Narr", "AM", "Fast", " Off", " On"}));
    EXPECT_EQ(colour("lbl_vbt"), QColor(255, 224, 192));
    // The grids mark the values shown.
    EXPECT_EQ(grid("grd_md")->row() + grid("grd_md")->col() + grid("grd_bw")->col(), 0);

    clear();
    t.answerState("007095000001");
    click("grd_md", 0, 1);
    EXPECT_EQ(trace(), br("D7") + "|" + kRefresh);
    EXPECT_EQ(label("lbl_md"), "AM-U");
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    // NFM disables the AGC and bandwidth grids; AM enables them again.
    for (const auto &[rec, on] : {std::pair{"035000100009", false}, {"004299999990", true}}) {
        t.answerState(rec);
        trigger("mnu_update");
        EXPECT_EQ(grid("grd_agc")->isEnabled(), on);
        EXPECT_EQ(get<QGroupBox>("fra_bw")->isEnabled(), on);
        EXPECT_EQ(grid("grd_bw")->isEnabled(), on);
    }
    EXPECT_EQ(label("lbl_agc"), "Slow");
}

// A click sends its command and shows its value; an option that is not
// fitted is refused with a message, nothing sent and the label kept.
TEST_F(PanelTest, GridClicksSendTheirCommandsOrRefuseAMissingOption)
{
    make();
    t.answerState("004095000001");
    trigger("mnu_update");
    const struct {
        const char *grid;
        int col;
        QString sent;
        const char *label, *shown, *said;
    } clicks[] = {
        // AM-U without the ECSS unit: no D command; the refresh shows the real mode.
        {"grd_md", 1, kRefresh, "lbl_md", "AM", "Mode: Reserved for ECSS mode\nwith optional unit CMF-78 "},
        {"grd_bw", 0, "", "lbl_bw", "Wide", "Mode: Reserved for Narrow filter\nwith optional unit CFL-23x "},
        {"grd_HF", 1, br("A1"), "lbl_HF", " On", ""},
        {"grd_agc", 0, br("G2"), "lbl_agc", nullptr, ""},
        {"grd_agc", 2, br("G0"), "lbl_agc", "Slow", ""},
        {"grd_nb", 2, br("N2"), "lbl_nb", "NB2", ""},
        {"grd_vbt", 0, br("U10"), "lbl_vbt", "Off", ""},
        {"grd_vbt", 1, br("U11"), "lbl_vbt", " On", ""},
    };
    for (const auto &c : clicks) {
        SCOPED_TRACE(std::string(c.grid) + " " + std::to_string(c.col));
        clear();
        click(c.grid, 0, c.col);
        EXPECT_EQ(trace(), c.sent);
        if (c.shown)
            EXPECT_EQ(label(c.label), c.shown);
        const auto &asked = t.prompter.asked;
        EXPECT_EQ(asked.isEmpty() ? "" : asked.first().title + ": " + asked.first().text, c.said);
        EXPECT_EQ(asked.isEmpty() ? Prompter::Information : asked.first().icon, Prompter::Information);
        if (QLatin1String(c.grid) == "grd_vbt")
            EXPECT_EQ(colour("lbl_vbt"), c.col ? QColor(255, 224, 192) : QColor(255, 128, 0));
        if (QLatin1String(c.grid) == "grd_bw")
            EXPECT_EQ(grid("grd_bw")->col(), 0); // the selection stays visible
    }
    EXPECT_EQ(QString("%1%2%3").arg(t.app.rxs.att).arg(t.app.rxs.agc).arg(t.app.rxs.mode), "104");
    clear();
    // A double-click is one click and does not refresh the panel.
    TextGrid *nb = grid("grd_nb");
    QTest::mouseClick(nb, Qt::LeftButton, {}, nb->cellCenter(0, 0));
    QTest::mouseDClick(nb, Qt::LeftButton, {}, nb->cellCenter(0, 0));
    EXPECT_EQ(trace(), br("N0"));
    clear();
    // Keyboard: Space on the current cell clicks it.
    nb->setFocus();
    QTest::keyClick(nb, Qt::Key_Right);
    QTest::keyClick(nb, Qt::Key_Space);
    EXPECT_EQ(trace(), br("N1"));
}

TEST_F(PanelTest, BandwidthControlAndShiftFollowTheLockAndASilentReceiverLetsGo)
{
    t.app.settings.setBwcFitted(true);
    make();
    auto *bwc = get<QScrollBar>("vsc_bwc");
    auto *pbs = get<QScrollBar>("vsc_pbs");
    // Lock Off: the bandwidth goes alone, a scroll bar sends nothing.
    click("grd_bw", 0, 2);
    pbs->setValue(100);
    pbs->setValue(0);
    EXPECT_EQ(trace(), br("B0"));
    // Lock On with a silent receiver lets go.
    clear();
    click("grd_lock", 0, 1);
    EXPECT_EQ(t.prompter.lastTitle(), "Receiver");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(label("lbl_lock"), " Off");
    EXPECT_TRUE(trace().endsWith("H0|H0"));
    t.answerState("004095000001");
    const struct {
        const char *what;
        std::function<void()> act;
        const char *sent, *bwcShown, *pbsShown; // "": disabled
    } steps[] = {
        // H1 twice for the lock, the refresh without H0, its W (the scroll
        // bar's change and the refresh's own) and P commands.
        {"Lock On", [&] { click("grd_lock", 0, 1); }, "H1|H1|H1|H1|U11|J1199|L199199|W5500|W5500|P0000",
         "5500", "0000"},
        {"Wide again: no W", [&] { click("grd_bw", 0, 2); }, "H1|H1|B0", "5500", "0000"},
        {"Inter", [&] { click("grd_bw", 0, 1); }, "H1|H1|B1|W2200", "2200", "0000"},
        {"1500 Hz", [&] { bwc->setValue(1500); }, "W1500", "1500", "0000"},
        // The new range would clamp 1500 to 2000 on the way to 5500: that
        // passing value must not be sent.
        {"Wide from 1500", [&] { click("grd_bw", 0, 2); }, "H1|H1|B0|W5500", "5500", "0000"},
        {"shift -25", [&] { pbs->setValue(-25); }, "P-0025", "5500", "-0025"},
        {"shift 0", [&] { pbs->setValue(0); }, "P+0000", "5500", "+0000"},
        {"Aux", [&] { click("grd_bw", 0, 3); }, "H1|H1|B3", "", "+0000"},
        {"Lock Off", [&] { click("grd_lock", 0, 0); }, "H0|H0", "", ""},
    };
    for (const auto &s : steps) {
        SCOPED_TRACE(s.what);
        clear();
        s.act();
        EXPECT_EQ(trace(), s.sent);
        EXPECT_EQ(label("lbl_bwc") + "|" + label("lbl_pbs"), QString(s.bwcShown) + "|" + s.pbsShown);
        EXPECT_EQ(bwc->isEnabled(), *s.bwcShown != 0);
        const bool locked = *s.pbsShown != 0;
        EXPECT_EQ(pbs->isEnabled() + 2 * t.rx->held(), 3 * locked);
        EXPECT_EQ(label("lbl_lock") + colour("lbl_lock").name(), locked ? " On#ff8000" : " Off#ffe0c0");
    }
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
    for (const QString &c : cmds)
        if (c.startsWith('F'))
            EXPECT_EQ(c, "F00010000");
    EXPECT_EQ(cmds.mid(cmds.size() - 2).join('|'), "H0|H0");
    EXPECT_EQ(freq()->text(), "10.000");
    EXPECT_FALSE(t.rx->held());
    EXPECT_EQ(label("lbl_lock") + get<QPushButton>("cmd_gono")->text(), " OffGO");
}

// Clicks while a refresh waits for its reply are queued after it, not dropped.
TEST_F(PanelTest, ClickDuringATransactionIsSafe)
{
    make();
    t.answerState("004095000001");
    t.port.replyDelayMs = 150;
    w->menuAction("mnu_update")->trigger(); // not settled: the refresh waits for its reply
    ASSERT_FALSE(t.rx->lineFree());
    for (const auto &[g, r, c] : {std::tuple{"grd_nb", 0, 1}, {"grd_md", 2, 0}})
        QTest::mouseClick(grid(g), Qt::LeftButton, {}, grid(g)->cellCenter(r, c));
    EXPECT_TRUE(trace().startsWith(QString(kRefresh) + "|" + br("N1") + "|" + br("D0"))) << qPrintable(t.port.trace());
    EXPECT_EQ(label("lbl_nb") + " " + freq()->text(), "NB1 9500.000");
}

// VOR_SCREENSHOT=/some/dir saves the user guide's panel.png there: all
// options, after a first refresh.
TEST_F(PanelTest, Screenshot)
{
    const QString dir = qEnvironmentVariable("VOR_SCREENSHOT");
    if (dir.isEmpty())
        GTEST_SKIP();
    for (int unit : {0, 1, 2})
        t.app.settings.setUnitFitted(unit, true);
    t.answerState("024095000001");
    make();
    t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); });
    QTest::qWait(50);
    EXPECT_TRUE(w->grab().save(dir + "/panel.png"));
}
