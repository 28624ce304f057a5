// Pictures of the log window and its dialogs for a look by eye: run with
// VOR_SCREENSHOT=/tmp (under Xvfb or offscreen) to write log*.png.
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logmodel.h"
#include "logbook/ui/logwin.h"
#include "schedules/ui/listmodel.h"
#include "testkit.h"

#include <QFile>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

TEST(Screenshot, LogWindow)
{
    const QString out = qEnvironmentVariable("VOR_SCREENSHOT");
    if (out.isEmpty())
        GTEST_SKIP() << "set VOR_SCREENSHOT to a folder";
    TestApp t;
    t.app.settings[5] = 1;
    QFile::copy(sourcePath("data/demo/LOG/LOG_DEMO.TXT"), t.base() + "LOG/LOG_DEMO.TXT");
    logwin w(t.app);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    t.app.files.log = "LOG_DEMO.TXT";
    ASSERT_TRUE(w.read_log_file());
    w.lbl_arf->setText("9635.000");
    w.grd_log->setCurrentIndex(w.model->index(3, 3));
    QTest::qWait(100);
    EXPECT_TRUE(w.grab().save(out + "/log.png"));

    auto shot = [&](QDialog &d, const QString &name) {
        d.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        QTest::qWait(50);
        EXPECT_TRUE(d.grab().save(out + "/" + name));
        d.hide();
    };
    loginput in(t.app, w);
    in.load("Change record 003", w.book.record(3));
    shot(in, "loginput.png");
    selsort2 s(w);
    shot(s, "selsort2.png");
    logfmt2 f(w);
    shot(f, "logfmt2.png");
}
