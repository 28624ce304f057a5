// The measuring windows' menu items: each open measuring window disables the
// others' items, and closing it gives them back.
#include "app/startup.h"
#include "link/scriptedport.h"
#include "panel/ui/rxctrl2.h"
#include "testkit.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct MeasureMenus : ::testing::Test {
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir;
    std::unique_ptr<Program> p;

    void SetUp() override
    {
        p = std::make_unique<Program>(Options::parse({"vorantis"}), &clock, &prompter, &launcher);
        p->quit = [](int) {};
        p->portFactory = [] { return new ScriptedPort(); };
        p->app().settings = settingsfile::defaults();
        p->app().settings.base_dir = dir.path() + '/';
        p->app().settings.v[5] = 1; // no receiver: nothing to answer
        ASSERT_TRUE(p->go());
    }
    QAction *item(const char *name)
    {
        if (QAction *a = p->panel()->menuAction(name))
            return a;
        auto *m = p->panel()->findChild<QMenu *>(name);
        return m ? m->menuAction() : nullptr;
    }
    QWidget *window(const char *objectName)
    {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == objectName)
                return w;
        return nullptr;
    }
};

TEST_F(MeasureMenus, SmeterDisablesSpectrumAndPropagation)
{
    ASSERT_TRUE(item("mnu_Smeter")->isEnabled());
    ASSERT_TRUE(item("mnu_prop")->isEnabled());
    item("mnu_Smeter")->trigger();
    QWidget *w = window("Smeter");
    ASSERT_TRUE(w);
    EXPECT_FALSE(item("mnu_spectrum")->isEnabled());
    EXPECT_FALSE(item("mnu_prop")->isEnabled());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(item("mnu_prop")->isEnabled());
}

TEST_F(MeasureMenus, SpectrumDisablesSmeterAndPropagation)
{
    item("mnu_spectrum")->trigger();
    QWidget *w = window("spectrum");
    ASSERT_TRUE(w);
    EXPECT_FALSE(item("mnu_Smeter")->isEnabled());
    EXPECT_FALSE(item("mnu_prop")->isEnabled());
    EXPECT_TRUE(item("mnu_spectrum")->isEnabled());
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    EXPECT_TRUE(item("mnu_Smeter")->isEnabled());
}

TEST_F(MeasureMenus, RxClocksOpensOnce)
{
    item("mnu_rxclock")->trigger();
    item("mnu_rxclock")->trigger();
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->isVisible() && w->objectName() == "RxClocks";
    EXPECT_EQ(n, 1);
}

} // namespace

namespace {
TEST_F(MeasureMenus, PropagationWindowsDisableEachOther)
{
    item("mnu_proptime")->trigger();
    EXPECT_FALSE(item("mnu_prophist")->isEnabled());
    EXPECT_FALSE(item("mnu_Smeter")->isEnabled());
    EXPECT_FALSE(item("mnu_spectrum")->isEnabled());
    EXPECT_TRUE(item("mnu_proptime")->isEnabled());
    window("Proptime")->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    item("mnu_prophist")->trigger();
    ASSERT_TRUE(window("prophist"));
    EXPECT_FALSE(item("mnu_proptime")->isEnabled());
    EXPECT_TRUE(item("mnu_prophist")->isEnabled());
}
} // namespace
