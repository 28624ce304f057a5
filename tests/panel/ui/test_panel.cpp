#include "panel/ui/rxctrl2.h"
#include "panel/ui/textgrid.h"
#include "testkit.h"

#include <QTest>
#include <gtest/gtest.h>

// VOR_SCREENSHOT=/some/dir saves panel.png (all options, after a first
// refresh), then panel-wide.png (locked, bandwidth control) and
// panel-nfm.png there.
TEST(Panel, Screenshots)
{
    const QString dir = qEnvironmentVariable("VOR_SCREENSHOT");
    if (dir.isEmpty())
        GTEST_SKIP();
    for (bool options : {true, false}) {
        TestApp t;
        t.app.settings.v[12] = 1;
        t.app.settings.v[13] = options;
        t.app.settings.v[14] = options;
        t.answerState(options ? "024095000001" : "004095000001");
        rxctrl2 w(t.app);
        w.show();
        if (options) {
            t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); });
            QTest::qWait(50);
            w.grab().save(dir + "/panel.png");
            continue;
        }
        auto *lock = w.findChild<TextGrid *>("grd_lock");
        QTest::mouseClick(lock, Qt::LeftButton, {}, lock->cellCenter(0, 1));
        w.grab().save(dir + "/panel-wide.png");
        t.answerState("015095000001");
        t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); });
        w.grab().save(dir + "/panel-nfm.png");
    }
}
