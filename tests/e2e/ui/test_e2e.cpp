// The whole program against nrd535-sim on a pseudo-terminal, through the
// real serial-port code.
#include "app/startup.h"
#include "panel/ui/rxctrl2.h"
#include "simtool.h"
#include "testkit.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct E2E : ::testing::Test {
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir;
    int quitCode = -1;

    std::unique_ptr<Program> make(const QString &device)
    {
        auto p = std::make_unique<Program>(Options::parse({"vorantis", "--port", device}), &clock,
                                           &prompter, &launcher);
        p->quit = [this](int c) { quitCode = c; };
        p->app().settings = settingsfile::defaults();
        p->app().settings.base_dir = dir.path() + '/';
        return p;
    }
};

} // namespace

TEST_F(E2E, FirstContactOverAPseudoTerminal)
{
    SimTool sim;
    ASSERT_FALSE(sim.device.isEmpty());
    auto p = make(sim.device);
    ASSERT_TRUE(goAndWait(*p)) << prompter.lastText().toStdString();
    EXPECT_EQ(quitCode, -1);
    // The demo memory's working frequency reaches the panel.
    auto *f = p->panel()->findChild<QLineEdit *>("txt_freqa");
    ASSERT_TRUE(f);
    EXPECT_FALSE(f->text().isEmpty());
    QElapsedTimer t;
    t.start();
    QStringList got;
    while (t.elapsed() < 5000) {
        got = sim.commands();
        if (got.size() >= 7)
            break;
        QTest::qWait(50);
    }
    EXPECT_EQ(got.mid(0, 7).join('|'), "H1|H1|U11|J1199|L199199|H0|H0");
}
