// The rig-control server at start and after the set-up: a port that is
// taken, live start, move and stop.
#include "app/startup.h"
#include "net/rigserver.h"
#include "web/webremote.h"
#include "sim/simport.h"
#include "uikit.h"

#include <QFile>
#include <QTcpServer>
#include <gtest/gtest.h>

struct RigctlStart : ::testing::Test, ProgramKit {};

TEST_F(RigctlStart, PortInUse)
{
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    auto start = [&](const QStringList &more) {
        auto p = make(QStringList{"vorantis", "--port", "sim"} + more);
        EXPECT_TRUE(goAndWait(*p));
        return p;
    };
    auto p = start({"--rigctl-port", QString::number(taken.serverPort())});
    EXPECT_EQ(p->rigServer(), nullptr);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastTitle(), "Rig-control server");
    EXPECT_TRUE(prompter.lastText().contains(QString::number(taken.serverPort())));

    // From the set-up's choice when the command line says nothing.
    auto q = start({});
    EXPECT_EQ(q->rigServer(), nullptr);

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
        q->app().settings.rigctl_port = st.port;
        q->applySettings();
        EXPECT_EQ(q->rigServer() != nullptr, st.listening) << st.port;
        if (st.listening)
            EXPECT_EQ(q->rigServer()->port(), st.port);
        EXPECT_EQ(prompter.asked.size() > before, !st.listening && st.port > 0) << st.port;
    }
    EXPECT_TRUE(prompter.lastText().contains("in use")) << prompter.lastText().toStdString();
}

// Beyond loopback only with a password: without one the program says why
// (without stopping) and goes on without the server.
TEST_F(RigctlStart, BeyondLoopbackOnlyWithAPassword)
{
    ProgramKit &kit = *this;
    QTcpServer probe, probe2;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    ASSERT_TRUE(probe2.listen(QHostAddress::LocalHost, 0));
    const QString port = QString::number(probe.serverPort()), webPort = QString::number(probe2.serverPort());
    probe.close();
    probe2.close();
    QFile pw(kit.dir.filePath("pw"));
    ASSERT_TRUE(pw.open(QIODevice::WriteOnly));
    pw.write("s3cret\n");
    pw.close();
    // The web remote follows the same rules.
    for (bool password : {false, true}) {
        kit.prompter.asked.clear();
        QStringList args{"vorantis", "--port", "sim", "--rigctl-port", port, "--rigctl-listen", "0.0.0.0",
                         "--web-port", webPort, "--web-listen", "0.0.0.0"};
        if (password)
            args << "--rigctl-password-file" << pw.fileName();
        auto p = kit.make(args);
        ASSERT_TRUE(goAndWait(*p));
        EXPECT_EQ(p->rigServer() != nullptr, password);
        EXPECT_EQ(p->webRemote() != nullptr, password);
        ASSERT_EQ(kit.prompter.asked.size(), password ? 0 : 2);
        for (const auto &a : kit.prompter.asked) {
            EXPECT_TRUE(a.notice);
            EXPECT_TRUE(a.text.contains("0.0.0.0")) << a.text.toStdString();
        }
        if (!password) {
            EXPECT_TRUE(kit.prompter.asked.first().text.contains("0.0.0.0 without a password"));
            EXPECT_TRUE(kit.prompter.lastText().startsWith("The web remote does not listen on 0.0.0.0"));
        }
    }
}
