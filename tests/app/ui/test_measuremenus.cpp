// The measuring windows' menu items: each open measuring window disables the
// others' items, the panel disabled and enabled again around a run (a scan)
// leaves them so, and closing the window gives them back.
#include "app/startup.h"
#include "link/scriptedport.h"
#include "measure/ui/measureui.h"
#include "panel/ui/rxctrl2.h"
#include "uikit.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

namespace {

struct MeasureMenus : ::testing::Test, ProgramKit {
    std::unique_ptr<Program> p;

    void SetUp() override
    {
        p = make();
        p->portFactory = [] { return new ScriptedPort(); };
        p->app().settings.setNoRx(true); // no receiver: nothing to answer
        ASSERT_TRUE(goAndWait(*p));
    }
    QAction *item(const char *name)
    {
        if (QAction *a = p->panel()->menuAction(name))
            return a;
        auto *m = p->panel()->findChild<QMenu *>(name);
        return m ? m->menuAction() : nullptr;
    }
};

// Which items each open measuring window turns off (the gate's table): the
// menu follows it, through a run too, and closing gives them back.
TEST_F(MeasureMenus, EachMeasuringWindowDisablesTheOthersUntilClosed)
{
    const char *items[] = {"mnu_Smeter", "mnu_spectrum", "mnu_prop", "mnu_proptime", "mnu_prophist"};
    auto enabled = [&] {
        QStringList on;
        for (const char *i : items)
            if (item(i)->isEnabled())
                on << i;
        return on.join(' ').toStdString();
    };
    const struct {
        const char *item, *window, *left;
    } cases[] = {
        {"mnu_Smeter", "Smeter", "mnu_Smeter mnu_proptime mnu_prophist"},
        {"mnu_spectrum", "spectrum", "mnu_spectrum mnu_proptime mnu_prophist"},
        {"mnu_proptime", "Proptime", "mnu_prop mnu_proptime"},
        {"mnu_prophist", "prophist", "mnu_prop mnu_prophist"},
    };
    for (const auto &c : cases) {
        ASSERT_EQ(enabled(), "mnu_Smeter mnu_spectrum mnu_prop mnu_proptime mnu_prophist") << c.item;
        item(c.item)->trigger();
        QWidget *w = p->windows()->open(c.item); // the same window again
        ASSERT_TRUE(w && w->isVisible() && w->objectName() == c.window) << c.window;
        EXPECT_EQ(enabled(), c.left) << c.item;
        // A run disables the panel and enables it again: the submenu's
        // item must not come back on with it.
        measureui::enablewindows(p->app(), false);
        measureui::enablewindows(p->app(), true);
        EXPECT_EQ(enabled(), c.left) << c.item << " after a run";
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(enabled(), "mnu_Smeter mnu_spectrum mnu_prop mnu_proptime mnu_prophist");
}

} // namespace
