// The guide's pictures of the schedule windows: run with VOR_SCREENSHOT=/tmp
// (under Xvfb or offscreen) to write bdxc.png, db2rx.png, db2rx-eibi.png,
// tracking.png and tracking-hc.png.
#include "schedules/ui/bdxc.h"
#include "schedules/ui/db2rx.h"
#include "schedules/ui/trackwindow.h"
#include "testkit.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <QTest>
#include <gtest/gtest.h>

TEST(Screenshot, IlgWindows)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    TestApp t;
    t.app.settings.setNoRx(true);
    t.app.settings.rx_lat = "5205N";
    t.app.settings.rx_long = "00445E";
    t.app.times.utc_text = "5 Dec 2026  13:10";
    t.app.cap = Captions::build(t.app.settings);
    QFile::copy(sourcePath("data/demo/Rx2Db/ILGSDATA.ftl"), t.base() + "Rx2Db/ILGSDATA.ftl");

    ILG2Rx d(t.app);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    t.app.files.converted = "ILGSDATA.ftl";
    d.read_file();
    d.txt_arf->setText("9500.000");
    QTest::qWait(50);
    EXPECT_TRUE(d.grab().save(out + "/db2rx.png"));
    ILG2Rx e(t.app);
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    e.chooseScheduleFile = [](const QString &) { return sourcePath("data/demo/EIBI/sked-demo.csv"); };
    e.cmd_eibi->click();
    e.txt_arf->setText("9500.000");
    e.lst_ilg->setCurrentIndex(e.model->index(40));
    QTest::qWait(50);
    EXPECT_TRUE(e.grab().save(out + "/db2rx-eibi.png"));
    e.close();

    tracking w(t.app);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    t.app.rxs.freq_khz = 9500;
    t.app.files.tracking = "ILGSDATA.ftl";
    w.load_file();
    w.txt_cr->setText("60");
    w.opt_hial[1]->click();
    w.on_tick();
    QTest::qWait(50);
    EXPECT_TRUE(w.grab().save(out + "/tracking.png"));

    // The same list in the high-contrast look.
    t.app.settings.high_contrast = true;
    tracking hc(t.app);
    hc.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&hc));
    hc.load_file();
    hc.txt_cr->setText("60");
    hc.opt_hial[1]->click();
    hc.on_tick();
    QTest::qWait(50);
    EXPECT_TRUE(hc.grab().save(out + "/tracking-hc.png"));
}

TEST(Screenshot, ListWindows)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    TestApp t;
    t.app.settings.setNoRx(true);
    t.app.times.utc_text = "5 Dec 2026  13:10";
    QFile::copy(sourcePath("data/demo/BDXC/BDX26TOE.TXT"), t.base() + "BDXC/BDX26TOE.TXT");
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
}
