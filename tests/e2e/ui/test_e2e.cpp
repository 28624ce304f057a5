// The whole program against nrd535-sim on a pseudo-terminal, through the
// real serial-port code.
#include "app/startup.h"
#include "common/endsignals.h"
#include "memory/ui/memman.h"
#include "panel/ui/rxctrl2.h"
#include "simtool.h"
#include "testkit.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
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

// The first contact, then SIGTERM (a desktop logout) during a memory fetch:
// the fetch ends after its channel, the receiver is released, the program
// ends and its port's lock file goes.
TEST_F(E2E, FirstContactAndATermSignalMidFetchOverAPseudoTerminal)
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
    for (; got.size() < 7 && t.elapsed() < 5000; got = sim.commands())
        QTest::qWait(50);
    EXPECT_EQ(got.mid(0, 7).join('|'), "H1|H1|U11|J1199|L199199|H0|H0");

    ASSERT_TRUE(endsignals::install(p.get(), [&](int s) { p->endBySignal(s); }));
    p->panel()->menuAction("mnu_memman")->trigger();
    MemMan *mm = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        mm = qobject_cast<MemMan *>(w) ? qobject_cast<MemMan *>(w) : mm;
    ASSERT_TRUE(mm);
    mm->cmd_fetch->click();
    for (; !got.contains("L010010") && t.elapsed() < 60000; got = sim.commands())
        QTest::qWait(20);
    const QString lock = "/var/lock/LCK.." + sim.device.mid(5).replace('/', '_');
    EXPECT_TRUE(QFile::exists(lock)) << qPrintable(lock);
    ::raise(SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quitCode == 0; }, 60000));
    endsignals::uninstall();
    p.reset();
    EXPECT_FALSE(QFile::exists(lock));
    for (int i = 0; i < 100 && got.value(got.size() - 1) != "H0"; ++i, got = sim.commands())
        QTest::qWait(50);
    EXPECT_EQ(got.mid(got.size() - 2), QStringList({"H0", "H0"})) << qPrintable(got.join(' '));
    const QStringList reads = got.filter(QRegularExpression("^L0\\d\\d"));
    EXPECT_LT(reads.last(), "L020") << "the fetch went on after the signal";
}
