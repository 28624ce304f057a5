// The rig-control server at start and after the set-up: the options, a
// port that is taken, live start, move and stop.
#include "app/startup.h"
#include "net/rigserver.h"
#include "sim/simport.h"
#include "testkit.h"

#include <QTcpServer>
#include <gtest/gtest.h>

TEST(RigctlStart, OptionsAndPortInUse)
{
    Options o = Options::parse({"vorantis", "--rigctl-port", "4532", "--rigctl-listen", "0.0.0.0"});
    EXPECT_TRUE(o.error.isEmpty());
    EXPECT_EQ(o.rigctlPort, 4532);
    EXPECT_EQ(o.rigctlListen, "0.0.0.0");
    EXPECT_EQ(Options::parse({"vorantis"}).rigctlPort, 0); // off by default
    EXPECT_EQ(Options::parse({"vorantis"}).rigctlListen, "127.0.0.1");
    for (const QStringList &bad : {QStringList{"vorantis", "--rigctl-port", "0"},
                                   QStringList{"vorantis", "--rigctl-port", "x"},
                                   QStringList{"vorantis", "--rigctl-port"},
                                   QStringList{"vorantis", "--rigctl-listen", "nowhere"}})
        EXPECT_FALSE(Options::parse(bad).error.isEmpty()) << bad.join(' ').toStdString();

    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    FixedClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir;
    Program p(Options::parse({"vorantis", "--port", "sim", "--rigctl-port",
                              QString::number(taken.serverPort())}),
              &clock, &prompter, &launcher);
    p.quit = [](int) {};
    p.app().settings = settingsfile::defaults();
    p.app().settings.base_dir = dir.path() + '/';
    ASSERT_TRUE(goAndWait(p));
    EXPECT_EQ(p.rigServer(), nullptr);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastTitle(), "Rig-control server");
    EXPECT_TRUE(prompter.lastText().contains(QString::number(taken.serverPort())));

    // From the set-up's choice when the command line says nothing.
    Program q(Options::parse({"vorantis", "--port", "sim"}), &clock, &prompter, &launcher);
    q.quit = [](int) {};
    q.app().settings = settingsfile::defaults();
    q.app().settings.base_dir = dir.path() + '/';
    q.app().settings.rigctl_port = 0;
    ASSERT_TRUE(goAndWait(q));
    EXPECT_EQ(q.rigServer(), nullptr);

    // Changed in the set-up: started, moved, refused on a taken port with
    // the reason, stopped; no restart needed.
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 free1 = probe.serverPort();
    probe.close();
    const struct {
        int port;
        bool listening;
    } steps[] = {{free1, true}, {taken.serverPort(), false}, {free1, true}, {0, false}};
    for (const auto &st : steps) {
        const qsizetype before = prompter.asked.size();
        q.app().settings.rigctl_port = st.port;
        q.applySettings();
        EXPECT_EQ(q.rigServer() != nullptr, st.listening) << st.port;
        if (st.listening)
            EXPECT_EQ(q.rigServer()->port(), st.port);
        EXPECT_EQ(prompter.asked.size() > before, !st.listening && st.port > 0) << st.port;
    }
    EXPECT_TRUE(prompter.lastText().contains("in use")) << prompter.lastText().toStdString();
}
