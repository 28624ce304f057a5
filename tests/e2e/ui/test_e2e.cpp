// The whole program against nrd535-sim on a pseudo-terminal, through the
// real serial-port code.
#include "app/startup.h"
#include "panel/ui/rxctrl2.h"
#include "testkit.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct SimTool {
    explicit SimTool(const QStringList &args = {})
    {
        proc.setProcessChannelMode(QProcess::SeparateChannels);
        proc.start(QStringLiteral(VOR_BINARY_DIR "/nrd535-sim"), args);
        if (!proc.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!proc.canReadLine() && t.elapsed() < 10000)
            proc.waitForReadyRead(100);
        device = QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    ~SimTool()
    {
        proc.terminate();
        if (!proc.waitForFinished(5000))
            proc.kill();
    }
    // Commands logged so far, in order.
    QStringList commands()
    {
        log += QString::fromLocal8Bit(proc.readAllStandardError());
        QStringList out;
        static const QRegularExpression re(QStringLiteral(R"(ms\s+\(\+?-?\d+\)\s+(\S+))"));
        for (const QString &line : log.split('\n')) {
            const auto m = re.match(line);
            if (m.hasMatch())
                out << m.captured(1);
        }
        return out;
    }
    QProcess proc;
    QString device;
    QString log;
};

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
    ASSERT_TRUE(p->go()) << prompter.lastText().toStdString();
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

TEST_F(E2E, SilentReceiverGivesTheErrorBox)
{
    SimTool sim({"--silent"});
    ASSERT_FALSE(sim.device.isEmpty());
    auto p = make(sim.device);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(p->go());
    EXPECT_LT(t.elapsed(), 30000); // bounded (the real bound is far shorter)
    EXPECT_EQ(prompter.lastTitle(), "RS232 Communication Error");
    EXPECT_EQ(quitCode, 1);
}

TEST_F(E2E, MissingDeviceGivesTheErrorBox)
{
    auto p = make("/dev/does-not-exist-vorantis");
    EXPECT_FALSE(p->go());
    EXPECT_EQ(prompter.lastTitle(), "RS232 Communication Error");
    EXPECT_EQ(quitCode, 1);
}
