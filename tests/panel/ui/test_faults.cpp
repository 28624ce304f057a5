// Faults found when the panel was tried as a listener would: garbled
// replies and reports, a lost line, reversing GO, the scroll bars' ends,
// and giving the receiver back on Close and Exit.
#include "panelfixture.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>
#include <map>
#include <optional>
#include <set>
#include <utility>

// (Which replies and reports are taken: the line's tests.)
TEST_F(PanelTest, GarbledRepliesAndReportsNeverShowAMadeUpFrequency)
{
    make();
    // What the field shows and the program keeps after each reply or
    // report, and whether it is said (a run of bad reports once).
    const struct {
        const char *state, *report, *shown;
        qint64 kept; // -1: not known
        int said;
    } steps[] = {
        {"9X9ABCDEFGHZ", nullptr, "-----.---", -1, 1}, // a garbled first reply: not known
        {"004095000001", nullptr, "9500.000", 9500000, 0},
        {"004399999991", nullptr, "9500.000", 9500000, 1}, // beyond the range
        {"004095000009", nullptr, "9500.000", 9500000, 1}, // a bad code
        {nullptr, "I004-0099000X\r", "-----.---", -1, 1},
        {nullptr, "I0043999999X\r", "-----.---", -1, 0},
        {nullptr, "I0060000001\r", "6000.000", 6000000, 0},
    };
    for (const auto &c : steps) {
        SCOPED_TRACE(c.state ? c.state : c.report);
        t.prompter.asked.clear();
        t.setReportsOn(!c.state);
        if (c.state)
            t.answerState(QString::fromLatin1(c.state)), trigger("mnu_update");
        else
            t.port.inject(c.report);
        EXPECT_EQ(freq()->text(), c.shown);
        EXPECT_EQ(t.app.rxs.hz, c.kept);
        EXPECT_EQ(t.prompter.asked.size(), c.said);
        EXPECT_EQ(t.prompter.lastTitle(), c.said ? "Receiver" : "");
    }
}

TEST_F(PanelTest, GoIsReversedByTheSpinButtonAndKeysWhileItRuns)
{
    // Each action lands in a wait of a step (after its first H1), while the
    // step is on the line.
    const std::map<int, std::function<void()>> actions = {{3, [&] { press("spn_Freq_down"); }},
                                                          {6, [&] { QTest::keyClick(w.get(), Qt::Key_Plus); }},
                                                          {9, [&] { press("cmd_gono"); }}};
    std::set<int> done;
    go([&](const QByteArray &c, int steps) {
        if (c == "H1" && actions.count(steps) && done.insert(steps).second)
            QTimer::singleShot(0, actions.at(steps));
    });
    EXPECT_FALSE(w->goRunning());
    QStringList f;
    for (const QString &c : t.port.commands())
        if (c.startsWith('F'))
            f << QString::number(c.mid(1).toInt() / 1000);
    // Each action turns the steps after the one it interrupted.
    EXPECT_EQ(f.join(' '), "105 110 115 120 115 110 105 110 115 120");
    EXPECT_FALSE(t.rx->held());
}

namespace {
// A part of the scroll bar as drawn, with the thumb at pos (default: where it is).
QRect part(QScrollBar *b, QStyle::SubControl sc, std::optional<int> pos = std::nullopt)
{
    QStyleOptionSlider opt;
    opt.initFrom(b);
    opt.subControls = QStyle::SC_All;
    opt.orientation = b->orientation();
    opt.minimum = b->minimum();
    opt.maximum = b->maximum();
    opt.sliderPosition = pos.value_or(b->sliderPosition());
    opt.sliderValue = b->value();
    opt.singleStep = b->singleStep();
    opt.pageStep = b->pageStep();
    opt.upsideDown = b->invertedAppearance();
    return b->style()->subControlRect(QStyle::CC_ScrollBar, &opt, sc, b);
}
int thumbY(QScrollBar *b, std::optional<int> pos = std::nullopt)
{
    return part(b, QStyle::SC_ScrollBarSlider, pos).center().y();
}
// +1 when a larger value is drawn lower, -1 when higher.
int downward(QScrollBar *b)
{
    return thumbY(b, b->maximum()) > thumbY(b, b->minimum()) ? 1 : -1;
}
} // namespace

TEST_F(PanelTest, ScrollBarsAreReachedByTabAndEveryControlMovesTheThumbItsWay)
{
    t.app.settings.setBwcFitted(true); // bandwidth control fitted
    make();
    QApplication::setActiveWindow(w.get());
    t.answerState("004095000001"); // Wide
    click("grd_lock", 0, 1);       // the lock enables both scroll bars
    auto *bwc = get<QScrollBar>("vsc_bwc");
    auto *pbs = get<QScrollBar>("vsc_pbs");
    ASSERT_TRUE(bwc->isEnabled() && pbs->isEnabled());
    freq()->setFocus();
    for (int i = 0; i < 40 && QApplication::focusWidget() != pbs; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), pbs);
    // The ends: bwc 5500 at the top (Wide): the down arrow narrows; the pbs
    // up arrow lowers the shift towards -2000 at the top.
    EXPECT_EQ(bwc->value(), 5500);
    EXPECT_LT(thumbY(bwc), part(bwc, QStyle::SC_ScrollBarGroove).center().y());
    clear();
    QTest::mouseClick(bwc, Qt::LeftButton, {}, part(bwc, QStyle::SC_ScrollBarAddLine).center());
    QTest::mouseClick(pbs, Qt::LeftButton, {}, part(pbs, QStyle::SC_ScrollBarSubLine).center());
    EXPECT_EQ(trace(), "W5475|P-0025");

    for (QScrollBar *b : {bwc, pbs}) {
        SCOPED_TRACE(qPrintable(b->objectName()));
        b->setValue((b->minimum() + b->maximum()) / 2);
        for (int i = 0; i < 6; ++i) { // arrows, groove, keys: down, then up
            const bool down = i % 2 == 0;
            const int v = b->value();
            const QRect thumb = part(b, QStyle::SC_ScrollBarSlider);
            const auto arrow = down ? QStyle::SC_ScrollBarAddLine : QStyle::SC_ScrollBarSubLine;
            if (i < 2)
                QTest::mouseClick(b, Qt::LeftButton, {}, part(b, arrow).center());
            else if (i < 4)
                QTest::mouseClick(b, Qt::LeftButton, {},
                                  QPoint(thumb.center().x(), down ? thumb.bottom() + 4 : thumb.top() - 4));
            else
                QTest::keyClick(b, down ? Qt::Key_Down : Qt::Key_Up);
            // The value moved towards the end drawn on the side pointed at.
            const int moved = b->value() - v;
            EXPECT_TRUE(moved != 0 && (moved * downward(b) > 0) == down) << i << ": " << moved;
        }
    }
}

// The close box turns the vbt function on again unless it was last chosen
// On; Exit sends nothing; both give a held receiver back.
TEST_F(PanelTest, LeavingTurnsVbtOnAgainAndGivesTheReceiverBack)
{
    const auto lock = [&] {
        t.answerState("004095000001");
        click("grd_lock", 0, 1);
    };
    const struct {
        const char *what;
        std::function<void()> before;
        bool exitItem;
        QString sent;
    } ways[] = {
        {"close", [] {}, false, br("U11")},
        {"close after VBT On", [&] { click("grd_vbt", 0, 1); }, false, ""},
        {"close after VBT On, Off", [&] { click("grd_vbt", 0, 1), click("grd_vbt", 0, 0); }, false,
         br("U11")},
        {"close while locked", lock, false, "H1|H1|U11|H0|H0"},
        {"Exit", [] {}, true, ""},
        {"Exit while locked", lock, true, "H0|H0"},
    };
    for (const auto &c : ways) {
        SCOPED_TRACE(c.what);
        exitCode = -1;
        make();
        QSignalSpy closed(w.get(), &rxctrl2::closed);
        c.before();
        clear();
        c.exitItem ? trigger("mnu_exit") : void(w->close());
        EXPECT_EQ(trace(), c.sent);
        EXPECT_FALSE(t.rx->held());
        EXPECT_EQ(exitCode, 0);
        EXPECT_EQ(closed.count() + !w->loaded(), c.exitItem ? 0 : 2);
        if (!c.exitItem)
            EXPECT_EQ(t.app.panel, nullptr);
    }
}

TEST_F(PanelTest, CloseDuringAGoStepStopsThenReleases)
{
    bool sawNo = false;
    go([&](const QByteArray &c, int steps) {
        if (c.startsWith('F') && steps == 2)
            QTimer::singleShot(0, [&] {
                sawNo = get<QPushButton>("cmd_gono")->text() == "NO";
                w->close();
            });
    });
    EXPECT_TRUE(sawNo);
    EXPECT_FALSE(w->goRunning());
    EXPECT_FALSE(w->loaded());
    EXPECT_EQ(exitCode, 0);
    EXPECT_FALSE(t.rx->held());
    const QStringList c = t.port.commands();
    EXPECT_EQ(c.filter(QRegularExpression("^F")).join('|'), "F00105000|F00110000");
    EXPECT_EQ(c.mid(c.size() - 2).join('|'), "H0|H0");
    EXPECT_TRUE(c.contains("U11"));
}
