// Control panel: keypad, typed frequency, spin button, memory recall.
#include "panelfixture.h"

constexpr const char *kRange = "Freqyency outside range";
constexpr const char *kCell = "Memory cell outside range";

// The keypad's keys, F ending a frequency and C a memory channel (which
// values are taken: the entry rules' test).
TEST_F(PanelTest, KeypadEntersAFrequencyOrRecallsAChannel)
{
    make();
    t.answerState("024062500000");
    keys("9500");
    EXPECT_EQ(label("lbl_mfreq"), "9500");
    const struct {
        const char *keys;
        QString sent;
        const char *said, *shown;
    } cases[] = {
        {"F", br("F09500000"), "", "9500.000"},
        {"9.5F", "", kRange, "9500.000"},
        {"29999.9999F", "", kRange, "9500.000"},
        {"F", "", kRange, "9500.000"},
        {"29999.999F", br("F29999999"), "", "29999.999"},
        {"199C", br("C199") + "|" + kRefresh, "", "6250.000"},
        {"200C", "", kCell, "6250.000"},
        {"C", "", kCell, "6250.000"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.keys);
        clear();
        keys(c.keys);
        EXPECT_EQ(trace(), c.sent);
        EXPECT_EQ(t.prompter.asked.size(), *c.said ? 1 : 0);
        if (*c.said) {
            EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(), QString("Error: ") + c.said);
            EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Exclamation);
        }
        EXPECT_EQ(label("lbl_mfreq"), "");
        EXPECT_EQ(freq()->text(), c.shown);
    }
}

TEST_F(PanelTest, TypedFrequencyAcceptsACommaAndKeepsRefusedTextShownAsNotTuned)
{
    make();
    QLineEdit *f = freq();
    QLabel *status = get<QLabel>("lbl_tuned");
    f->setFocus();
    QTest::mouseDClick(f, Qt::LeftButton);
    EXPECT_EQ(f->text(), "");
    // Typed into the field, or (F at the end) on the keypad.
    const struct {
        QString typed, sent, shown, status;
    } cases[] = {
        {"7,1", "", "7,1", "Not tuned: the receiver's frequency is not known"},
        {"7100,5", "F07100500", "7100.500", ""}, // the user's edit ends the mark
        {"40000", "", "40000", "Not tuned: the receiver is at 7100.500 kHz"},
        {"9550F", "F09550000", "9550.000", ""}, // a tune replaces the refused value
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        clear();
        if (c.typed.endsWith('F')) {
            keys(c.typed);
        } else {
            f->selectAll();
            QTest::keyClicks(f, c.typed);
            EXPECT_FALSE(f->property("notTuned").toBool());
            QTest::keyClick(f, c.sent.isEmpty() ? Qt::Key_Return : Qt::Key_Enter);
        }
        EXPECT_EQ(trace(), c.sent.isEmpty() ? "" : br(c.sent));
        EXPECT_EQ(t.prompter.lastText(), c.sent.isEmpty() ? kRange : "");
        EXPECT_EQ(f->text(), c.shown);
        EXPECT_EQ(status->isVisibleTo(w.get()) ? status->text() : "", c.status);
        EXPECT_EQ(f->accessibleDescription() + f->property("notTuned").toString(),
                  c.status + (c.sent.isEmpty() ? "true" : "false"));
    }
    // Digits typed into the field are not keypad keys.
    EXPECT_EQ(label("lbl_mfreq"), "");
}

TEST_F(PanelTest, KeyboardWorksTheKeypadOutsideTextFields)
{
    make();
    auto *go = get<QPushButton>("cmd_gono");
    // Keys that a focused button or grid does not use reach the keypad.
    QTest::keyClicks(go, "95");
    QTest::keyClick(grid("grd_md"), Qt::Key_0);
    QTest::keyClick(go, Qt::Key_Period);
    QTest::keyClick(go, Qt::Key_5);
    QTest::keyClick(go, Qt::Key_Backspace);
    QTest::keyClick(go, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_EQ(label("lbl_mfreq"), "950.5");
    QTest::keyClick(go, Qt::Key_F);
    EXPECT_EQ(trace(), br("F00950500"));
    clear();
    QTest::keyClicks(w.get(), "12");
    QTest::keyClick(w.get(), Qt::Key_C);
    EXPECT_TRUE(trace().startsWith(br("C012")));
    // Inside the frequency field the same keys edit the field.
    clear();
    freq()->clear();
    QTest::keyClicks(freq(), "5f");
    EXPECT_EQ(freq()->text(), "5f");
    EXPECT_EQ(label("lbl_mfreq"), "");
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(PanelTest, DoubleClickOnTheBackgroundRefreshesExceptWithNoRx)
{
    make();
    t.answerState("004095000001");
    QTest::mouseDClick(w->centralWidget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(trace(), kRefresh);
    EXPECT_EQ(freq()->text(), "9500.000");

    // NO RX: never a refresh, yet the commands still go out.
    t.app.settings.setNoRx(true);
    make();
    clear();
    QTest::mouseDClick(w->centralWidget(), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_TRUE(t.port.commands().isEmpty());
    EXPECT_FALSE(w->menuAction("mnu_update")->isEnabled());
    click("grd_md", 1, 2);
    EXPECT_EQ(trace(), br("D1"));
    EXPECT_EQ(label("lbl_md"), "CW");
    EXPECT_TRUE(t.prompter.asked.isEmpty());
}
