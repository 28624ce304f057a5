#include "panel/ui/rxctrl2.h"
#include "panel/ui/textgrid.h"
#include "testkit.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

// VOR_SCREENSHOT=/some/dir saves panel.png (after a first refresh) and
// panel-wide.png / panel-nfm.png there.
TEST(Panel, Screenshot)
{
    const QString dir = qEnvironmentVariable("VOR_SCREENSHOT");
    if (dir.isEmpty())
        GTEST_SKIP();
    const QByteArray path = (dir + "/panel.png").toLocal8Bit();
    TestApp t;
    t.app.settings.v[12] = 1;
    t.app.settings.v[13] = 1;
    t.app.settings.v[14] = 1;
    t.answerState("024095000001");
    rxctrl2 w(t.app);
    w.show();
    t.rx->refresh_panel();
    QTest::qWait(50);
    w.grab().save(QString::fromLocal8Bit(path));
}

TEST(Panel, ScreenshotLockedNfm)
{
    const QString dir = qEnvironmentVariable("VOR_SCREENSHOT");
    if (dir.isEmpty())
        GTEST_SKIP();
    const QByteArray path = (dir + "/panel.png").toLocal8Bit();
    TestApp t;
    t.app.settings.v[12] = 1;
    t.answerState("004095000001");
    rxctrl2 w(t.app);
    w.show();
    auto *lock = w.findChild<TextGrid *>("grd_lock");
    QTest::mouseClick(lock, Qt::LeftButton, {}, lock->cellCenter(0, 1));
    w.grab().save(QString::fromLocal8Bit(path).replace(".png", "-wide.png"));
    t.answerState("015095000001");
    t.rx->refresh_panel();
    w.grab().save(QString::fromLocal8Bit(path).replace(".png", "-nfm.png"));
}
