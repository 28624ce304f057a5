// The link's named operations that replaced window commands, and the check
// that no window, server or tool writes or reads the line itself.
#include "testkit.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(Facade, PanelControlsAndDialModeAreNamedOperations)
{
    TestApp t;
    FakePanel panel;
    panel.attach(*t.rx);
    Receiver2 &rx = *t.rx;
    t.app.settings.setBwcFitted(true);
    // Not held: nothing; held: at once, within the controls' ranges.
    EXPECT_FALSE(rx.setBwc(2200) || rx.setPbs(150));
    rx.submit([&] { return rx.aHold(); }, false);
    t.settle();
    t.port.clearWrites();
    EXPECT_TRUE(rx.setBwc(2200) && rx.setPbs(-150) && rx.setPbs(0));
    EXPECT_FALSE(rx.setBwc(99999) || rx.setPbs(-2025) || rx.setPbs(2025));
    EXPECT_EQ(t.port.trace(), "W2200|P-0150|P+0000");
    EXPECT_EQ(Receiver2::pbsText(150), "+0150");
    t.app.settings.setBwcFitted(false);
    EXPECT_FALSE(rx.setBwc(2200));
    // The switches and a recall: one command each in a bracket of its own
    // (no H0 while held), nothing outside their ranges.
    EXPECT_EQ(t.sends([&] { rx.set_nb(2); rx.set_nb(3); rx.set_vbt(false); rx.recall(199); rx.recall(200); }).toStdString(),
              "H1|H1|N2|H1|H1|U10|H1|H1|C199");

    rx.setPanelEnabled(false);
    rx.showPbs(-150);
    rx.showBwc(1, 800);
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(panel.pbs + '|' + panel.bwc, "-0150|800");
    rx.setPanelEnabled(true);
    EXPECT_TRUE(panel.enabled);
    rx.submit([&] { return rx.aRelease(); }, false);
    t.settle();

    // Dial mode: hold, refresh, reports on, the dial let go; at the end the
    // reports go off only when nobody else wants them.
    t.answerState("004095000001");
    EXPECT_EQ(t.sends([&] { rx.submit([&] { return rx.aFollowDial(); }, false); }).toStdString(),
              "H1|H1|H1|H1|U11|J1199|L199199|P0000|I1|H0");
    EXPECT_TRUE(rx.reportsOn() && rx.held());
    EXPECT_EQ(t.sends([&] { rx.submit([&]() -> rxjob::Task<> { rx.reportsOffUnlessWanted(); co_return; }, false); }),
              "");
    rx.wantReports(false);
    t.settle();
    EXPECT_FALSE(rx.reportsOn());
}

TEST(Facade, NoWindowServerOrToolTouchesTheLine)
{
    // Windows, the server and the tools call named operations: no command
    // text, no raw write, no port, no report switch.
    const QRegularExpression door("\\b(send_cmd|send_raw|submitCmd)\\s*\\(|rx->port\\(\\)|\\bauto_report\\b|"
                                  "\\bcmd::|link/commands\\.h");
    QStringList found;
    int files = 0;
    for (const char *root : {"src", "tools"}) {
        QDirIterator it(sourcePath(root), {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (!path.contains("/ui/") && !path.contains("/src/net/") && !path.contains("/tools/"))
                continue;
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
            ++files;
            int n = 0;
            for (const QString &line : QString::fromUtf8(f.readAll()).split('\n')) {
                ++n;
                if (door.match(line).hasMatch())
                    found << path.section('/', -3) + ':' + QString::number(n) + ": " + line.trimmed();
            }
        }
    }
    EXPECT_GT(files, 40);
    EXPECT_EQ(found.join('\n').toStdString(), "");
}
