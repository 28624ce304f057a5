// The menu bar and the keyboard, with keys and clicks sent through the
// window as the user's are: after a tap of Alt or a menu closed with Escape,
// keypad keys reach the keypad and a click on the panel gives the keys back;
// Left and Right move over the six menus only.
#include "panelfixture.h"

#include <QApplication>
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
    void key(Qt::Key k, Qt::KeyboardModifiers m = {})
    {
        QWidget *popup = QApplication::activePopupWidget();
        QTest::keyClick(popup ? popup->windowHandle() : win, k, m);
    }
    QString active() const { return w->menuBar()->activeAction() ? w->menuBar()->activeAction()->text() : ""; }
};
} // namespace

TEST_F(MenuKeys, KeypadKeysAndClicksGetTheKeysBack)
{
    for (const bool viaMenu : {false, true})     // a tap of Alt, or Alt+T then Escape
        for (const bool click : {false, true}) { // then a click on the panel, or digits at once
            SCOPED_TRACE(std::string(viaMenu ? "menu closed" : "Alt tapped") + (click ? ", click" : ""));
            open();
            key(viaMenu ? Qt::Key_T : Qt::Key_Alt, Qt::AltModifier);
            if (viaMenu)
                key(Qt::Key_Escape);
            ASSERT_TRUE(w->menuBar()->hasFocus()); // where the keys were stuck
            if (click) {
                QTest::mouseClick(win, Qt::LeftButton, {}, w->centralWidget()->mapTo(w.get(), QPoint(3, 3)));
                EXPECT_EQ(active(), "");
            }
            key(Qt::Key_2);
            key(Qt::Key_5);
            EXPECT_FALSE(QApplication::activePopupWidget()); // Db2Rx stayed shut
            EXPECT_EQ(label("lbl_mfreq"), "25");
            EXPECT_FALSE(w->menuBar()->hasFocus());
            key(Qt::Key_2, Qt::AltModifier); // the menu still opens with Alt
            ASSERT_TRUE(QApplication::activePopupWidget());
            EXPECT_EQ(QApplication::activePopupWidget()->objectName(), "mnu_db2rx");
            key(Qt::Key_Escape);
        }
}

TEST_F(MenuKeys, NavigationVisitsTheMenusOnly)
{
    open();
    const QStringList menus{"&Direct", "Db&2Rx", "&Rx2Db", "&MemMan", "&Signal An", "&Timers"};
    for (const bool popups : {false, true}) {
        key(popups ? Qt::Key_D : Qt::Key_Alt, Qt::AltModifier);
        QStringList seen;
        for (int i = 0; i < menus.size() + 3; ++i, key(Qt::Key_Right))
            seen << active();
        EXPECT_EQ(QSet<QString>(seen.begin(), seen.end()), QSet<QString>(menus.begin(), menus.end())) << popups;
        while (w->menuBar()->hasFocus() || QApplication::activePopupWidget())
            key(Qt::Key_Escape);
    }
    // The logo items and the notice stay on the bar, for the mouse.
    for (const char *item : {"mnu_spaties1", "mnu_spaties2", "mnu_JA"}) {
        auto *b = get<QToolButton>((std::string(item) + "_button").c_str());
        ASSERT_TRUE(b && b->focusPolicy() == Qt::NoFocus);
        EXPECT_EQ(b->defaultAction(), w->menuAction(item));
    }
}
