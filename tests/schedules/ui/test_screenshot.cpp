// Pictures of the list windows for a look by eye: run with
// VOR_SCREENSHOT=/tmp (under Xvfb or offscreen) to write bdxc.png and own.png.
#include "schedules/ui/bdxc.h"
#include "schedules/ui/own.h"
#include "testkit.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

TEST(Screenshot, ListWindows)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    TestApp t;
    t.app.settings[5] = 1;
    t.app.times.utc_text = "5 Dec 2026  13:10";
    QFile::copy(sourcePath("data/demo/BDXC/BDX26TOE.TXT"), t.base() + "BDXC/BDX26TOE.TXT");
    QFile::copy(sourcePath("data/demo/OWN/OWN_DEMO.TXT"), t.base() + "OWN/OWN_DEMO.TXT");
    bdxc w(t.app);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    t.app.files.bdxc = "BDX26TOE.TXT";
    t.prompter.inputs.push_back(QString("1310"));
    w.read_list();
    w.lbl_arf->setText("9870.000");
    w.on_tick();
    QTest::qWait(100);
    EXPECT_TRUE(w.grab().save(out + "/bdxc.png"));
    t.prompter.inputs.push_back(QString("all"));
    w.read_list();
    QTest::qWait(100);
    EXPECT_TRUE(w.grab().save(out + "/bdxc_all.png"));

    own o(t.app);
    o.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&o));
    t.app.files.own = "OWN_DEMO.TXT";
    o.read_list();
    QTest::qWait(100);
    EXPECT_TRUE(o.grab().save(out + "/own.png"));
}
