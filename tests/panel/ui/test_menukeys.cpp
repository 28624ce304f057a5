// The menu bar and the keyboard: after a tap of Alt or a menu closed with
// Escape, keypad keys still reach the keypad and a click on the panel gives
// the keys back; keyboard navigation moves over the menus only. Keys and
// clicks go through the window, as the user's do.
#include "panelfixture.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QWindow>

namespace {

struct MenuKeys : PanelTest {
    QWindow *win = nullptr;
    void open()
    {
        make();
        QApplication::setActiveWindow(w.get());
        win = w->windowHandle();
        ASSERT_TRUE(QTest::qWaitForWindowActive(win));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers m = {}) { QTest::keyClick(win, k, m); }
    QString active() const
    {
        QAction *a = w->menuBar()->activeAction();
        return a ? a->text() : QString();
    }
};

} // namespace

TEST_F(MenuKeys, KeypadKeysAndClicksGetTheKeysBackFromTheMenuBar)
{
    const struct {
        const char *how;
        std::function<void(MenuKeys &)> enter; // leaves the menu bar holding the keys
        bool click;                            // then a click on the panel, or a digit
    } cases[] = {
        {"tap of Alt, digit", [](MenuKeys &m) { m.key(Qt::Key_Alt, Qt::AltModifier); }, false},
        {"menu closed with Escape, digit",
         [](MenuKeys &m) {
             m.key(Qt::Key_D, Qt::AltModifier);
             EXPECT_TRUE(QApplication::activePopupWidget());
             m.key(Qt::Key_Escape);
         },
         false},
        {"tap of Alt, click", [](MenuKeys &m) { m.key(Qt::Key_Alt, Qt::AltModifier); }, true},
        {"menu closed with Escape, click",
         [](MenuKeys &m) {
             m.key(Qt::Key_T, Qt::AltModifier);
             m.key(Qt::Key_Escape);
         },
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        open();
        c.enter(*this);
        ASSERT_FALSE(QApplication::activePopupWidget());
        ASSERT_TRUE(w->menuBar()->hasFocus()); // the state the user was stuck in
        if (c.click) {
            QTest::mouseClick(win, Qt::LeftButton, {}, w->centralWidget()->mapTo(w.get(), QPoint(3, 3)));
            EXPECT_FALSE(w->menuBar()->hasFocus());
            EXPECT_EQ(active(), "");
        }
        key(Qt::Key_2);
        key(Qt::Key_5);
        EXPECT_FALSE(QApplication::activePopupWidget()); // Db2Rx stayed shut
        EXPECT_EQ(label("lbl_mfreq"), "25");
        EXPECT_FALSE(w->menuBar()->hasFocus());
        // The menus still open from the keyboard.
        key(Qt::Key_2, Qt::AltModifier);
        QWidget *popup = QApplication::activePopupWidget();
        ASSERT_TRUE(popup);
        EXPECT_EQ(popup->objectName(), "mnu_db2rx");
        key(Qt::Key_Escape);
        key(Qt::Key_Escape);
    }
}

TEST_F(MenuKeys, NavigationVisitsTheMenusOnly)
{
    open();
    const QStringList menus{"&Direct", "Db&2Rx", "&Rx2Db", "&MemMan", "&Signal An", "&Timers"};
    for (const bool withPopup : {false, true}) {
        SCOPED_TRACE(withPopup ? "menus open" : "titles only");
        if (withPopup)
            key(Qt::Key_D, Qt::AltModifier);
        else
            key(Qt::Key_Alt, Qt::AltModifier);
        QStringList seen;
        for (int i = 0; i < menus.size() + 3; ++i) {
            seen << active();
            QWidget *focus = QApplication::activePopupWidget();
            QTest::keyClick(focus ? focus->windowHandle() : win, Qt::Key_Right);
        }
        for (const QString &s : seen)
            EXPECT_TRUE(menus.contains(s)) << s.toStdString();
        for (const QString &m : menus)
            EXPECT_TRUE(seen.contains(m)) << m.toStdString();
        while (QApplication::activePopupWidget())
            key(Qt::Key_Escape);
        key(Qt::Key_Escape);
    }
    // The logo items and the notice keep their captions, for the mouse.
    const struct {
        const char *item, *caption;
    } corner[] = {{"mnu_spaties1", "                         "},
                  {"mnu_spaties2", "                         "},
                  {"mnu_JA", "(c) VORANTIS"}};
    for (const auto &c : corner) {
        auto *b = get<QToolButton>((std::string(c.item) + "_button").c_str());
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), c.caption);
        EXPECT_EQ(b->focusPolicy(), Qt::NoFocus);
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(b->defaultAction(), w->menuAction(c.item));
    }
}
