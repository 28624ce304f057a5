// The guide's pictures of the schedule windows: run with VOR_SCREENSHOT=/tmp
// (under Xvfb or offscreen) to write bdxc.png, db2rx.png, db2rx-eibi.png,
// tracking.png and tracking-hc.png.
#include "schedules/ui/bdxc.h"
#include "schedules/ui/db2rx.h"
#include "schedules/ui/trackwindow.h"
#include "uikit.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStringListModel>
#include <gtest/gtest.h>

TEST(Screenshot, ScheduleWindows)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    auto shoot = [&](QWidget &w, const char *file, int waitMs = 50) {
        QTest::qWait(waitMs);
        EXPECT_TRUE(w.grab().save(out + "/" + file));
    };
    TestApp t;
    t.app.settings.setNoRx(true);
    t.app.settings.rx_lat = "5205N";
    t.app.settings.rx_long = "00445E";
    t.app.times.utc_text = "5 Dec 2026  13:10";
    t.app.cap = Captions::build(t.app.settings);
    copyDemo("data/demo/Rx2Db/ILGSDATA.ftl", t.base() + "Rx2Db/ILGSDATA.ftl");
    copyDemo("data/demo/BDXC/BDX26TOE.TXT", t.base() + "BDXC/BDX26TOE.TXT");

    bdxc b(t.app);
    b.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&b));
    t.app.files.bdxc = "BDX26TOE.TXT";
    t.prompter.inputs.push_back(QString("1310"));
    b.read_list();
    b.lbl_arf->setText("9870.000");
    b.on_tick();
    shoot(b, "bdxc.png", 100);
    b.close();

    ILG2Rx d(t.app);
    d.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
    t.app.files.converted = "ILGSDATA.ftl";
    d.read_file();
    d.txt_arf->setText("9500.000");
    shoot(d, "db2rx.png");
    ILG2Rx e(t.app);
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    e.chooseScheduleFile = [](const QString &) { return sourcePath("data/demo/EIBI/sked-demo.csv"); };
    e.cmd_eibi->click();
    e.txt_arf->setText("9500.000");
    e.lst_ilg->setCurrentIndex(e.model->index(40));
    shoot(e, "db2rx-eibi.png");
    e.close();

    // The tracking list, then the same in the high-contrast look.
    t.app.files.tracking = "ILGSDATA.ftl";
    for (const bool hc : {false, true}) {
        t.app.settings.high_contrast = hc;
        tracking w(t.app);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        t.rx->noteFrequency(9500000, Origin::Receiver);
        w.load_file();
        w.txt_cr->setText("60");
        w.opt_hial[1]->click();
        w.on_tick();
        shoot(w, hc ? "tracking-hc.png" : "tracking.png");
    }
}
