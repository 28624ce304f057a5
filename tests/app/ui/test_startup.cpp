#include "app/startup.h"
#include "common/endsignals.h"
#include "logbook/ui/logwin.h"
#include "link/scriptedport.h"
#include "link/serialport.h"
#include "panel/ui/rxctrl2.h"
#include "a11y.h"
#include "sim/simwait.h"
#include "uikit.h"
#include "common/filebytes.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QDir>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct Start : ::testing::Test, ProgramKit {
    ScriptedPort *port = nullptr;
    std::unique_ptr<Program> make(const QStringList &args = {"vorantis"})
    {
        auto p = ProgramKit::make(args);
        p->portFactory = [this] { return port = new ScriptedPort(); };
        p->app().replyTimeoutMs = 300;
        return p;
    }
};

} // namespace

TEST(Options, CommandLine)
{
    const Options d = Options::parse({"vorantis", "--demo"});
    EXPECT_TRUE(d.demo && !d.reset && d.port == "sim" && d.rigctlPort == 0 && !d.rigctlListen &&
                !d.rigctlTrust);
    const Options o = Options::parse({"vorantis", "--port", "/dev/ttyUSB0", "--rigctl-port", "4532",
                                      "--rigctl-listen", "0.0.0.0"});
    EXPECT_TRUE(o.error.isEmpty() && !o.demo && o.port == "/dev/ttyUSB0" && o.rigctlPort == 4532 &&
                o.rigctlListen == "0.0.0.0");
    for (const QStringList &bad : {QStringList{"--port"}, {"--bogus"}, {"--reset"} /* without --demo */,
                                   {"--rigctl-port", "0"}, {"--rigctl-port", "x"}, {"--rigctl-port"},
                                   {"--rigctl-listen", "nowhere"}, {"--rigctl-trust", "10.0.0.300"},
                                   {"--rigctl-password-file", "/nonexistent/pw"},
                                   {"--rigctl-allow"}})
        EXPECT_FALSE(Options::parse(QStringList{"vorantis"} + bad).error.isEmpty()) << bad.join(' ').toStdString();
}

TEST_F(Start, ThePortChosenInSetUpOpensAndItsFailureIsExplained)
{
    auto p = make();
    EXPECT_EQ(p->portDevice(), SerialPort::deviceForNumber(1));
    p->app().settings.port_device = dir.path() + "/ttyNONE";
    EXPECT_EQ(p->portDevice(), dir.path() + "/ttyNONE");
    EXPECT_EQ(make({"vorantis", "--port", "/dev/ttyACM3"})->portDevice(), "/dev/ttyACM3");

    p->portFactory = nullptr; // the real serial port
    EXPECT_FALSE(goAndWait(*p));
    EXPECT_EQ(quitCode, 1);
    ASSERT_EQ(prompter.asked.size(), 1);
    EXPECT_EQ(prompter.lastTitle() + ": " + prompter.lastText(), "RS232 Communication Error: " + kCommError);
    EXPECT_EQ(prompter.asked.last().icon, Prompter::NoIcon);
    const QString details = prompter.asked.last().details;
    EXPECT_TRUE(details.contains(dir.path() + "/ttyNONE") && details.contains("is missing")) << qPrintable(details);
}

TEST_F(Start, OutOfRangeSettingsAreNamedAtStart)
{
    writeBytes(dir.filePath("VRTSV6.INI"), QString("%1/\r\n5205N\r\n0445E\r\n 1\r\n 1e30\r\n 0\r\n 0\r\n 0\r\n 0\r\n"
                                                   " 3\r\n 3000000\r\n 1\r\n 1\r\n 1\r\n")
                                               .arg(dir.path())
                                               .toUtf8());
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    auto p = make();
    QString err;
    const bool ok = p->loadSettings(&err);
    QDir::setCurrent(cwd);
    ASSERT_TRUE(ok) << qPrintable(err);
    ASSERT_EQ(prompter.asked.size(), 1); // the values' own messages: the settings file's tests
    EXPECT_EQ(prompter.lastTitle(), "VRTSV6.INI");
    EXPECT_TRUE(prompter.lastText().contains("DIM BDX 3000000")) << qPrintable(prompter.lastText());
}

// The demo keeps its folder between runs; --reset makes it afresh and keeps
// the old one beside it. The start window says where it is.
TEST_F(Start, DemoFolderIsKeptAndResetKeepsTheOldOne)
{
    const QString demo = dir.filePath("demo");
    qputenv("VORANTIS_DEMO_DIR", demo.toLocal8Bit());
    auto run = [&](const QStringList &args, const QString &status) {
        auto p = std::make_unique<Program>(Options::parse(args), &clock, &prompter, &launcher);
        QString err;
        EXPECT_TRUE(p->loadSettings(&err)) << err.toStdString();
        EXPECT_EQ(p->app().settings.base_dir, demo + '/');
        EXPECT_FALSE(p->app().settings.noRx());
        p->showWelcome();
        EXPECT_EQ(p->welcome()->status(), "Demo folder: " + demo + status);
        for (const QString &s : settingsfile::dataSubdirs())
            EXPECT_TRUE(QDir(demo + '/' + s).exists()) << s.toStdString();
        return QFile::exists(demo + "/LOG/LOG_MINE.TXT");
    };
    EXPECT_FALSE(run({"vorantis", "--demo"}, "\nMade from the demo data."));
    writeBytes(demo + "/LOG/LOG_MINE.TXT", "x\r\n");
    EXPECT_TRUE(run({"vorantis", "--demo"}, ""));
    const QString old = demo + "-20261205-120000";
    EXPECT_FALSE(run({"vorantis", "--demo", "--reset"},
                     "\nMade afresh from the demo data; the old one is kept as " + old + "."));
    EXPECT_TRUE(QFile::exists(old + "/LOG/LOG_MINE.TXT") && QFile::exists(demo + "/LOG/LOG_DEMO.TXT"));
    qunsetenv("VORANTIS_DEMO_DIR");
}

TEST_F(Start, NoRxOpensThePortSendsNothingAndMenusOpenTheirWindowsOnce)
{
    auto p = make();
    p->app().settings.setNoRx(true); // no receiver: nothing to answer
    ASSERT_TRUE(goAndWait(*p));
    EXPECT_TRUE(port->isOpen());
    EXPECT_TRUE(port->commands().isEmpty()); // the panel's test: Update is off
    const struct {
        const char *item, *window;
        bool follows; // shows the receiver's frequency in lbl_arf
        bool modal = false;
    } items[] = {{"mnu_memman", "MemMan", false}, {"mnu_bdxc", "bdxc", true},
                 {"mnu_own", "own", true},        {"mnu_logging", "log", true},
                 {"mnu_timer", "RxTimer", false}, {"mnu_rxclock", "RxClocks", false, true}};
    for (const auto &i : items) {
        QAction *a = p->panel()->menuAction(i.item);
        ASSERT_TRUE(a) << i.item;
        EXPECT_TRUE(a->isEnabled()) << i.item;
        a->trigger();
        a->trigger(); // a second pick brings the same window to the front
    }
    QCoreApplication::processEvents();
    p->app().rx->noteFrequency(7000000, Origin::Receiver);
    for (const auto &i : items) {
        int shown = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->isVisible() && w->objectName() == i.window) {
                ++shown;
                EXPECT_EQ(w->isModal(), i.modal) << i.window;
                // Value labels are read out as their values.
                EXPECT_EQ(a11y::hiddenLabels(w), QStringList()) << i.window;
                if (i.follows) {
                    auto *l = w->findChild<QLabel *>("lbl_arf");
                    ASSERT_TRUE(l) << i.window;
                    EXPECT_EQ(l->text(), "7000.000") << i.window;
                }
            }
        EXPECT_EQ(shown, 1) << i.window;
    }
    EXPECT_EQ(a11y::hiddenLabels(p->panel()), QStringList());
    // A kind registered with a new item gets it at the end of its menu;
    // the windows go with the program.
    p->windows()->add({"mnu_extra"}, [](App &, QWidget *) { return new QWidget; },
                      {.menu = "mnu_timers", .caption = "E&xtra . . ."});
    p->panel()->findChild<QMenu *>("mnu_timers")->actions().last()->trigger();
    QPointer<QWidget> made = p->windows()->open("mnu_extra"), log = p->windows()->find<LogWindow>();
    ASSERT_TRUE(made && made->isVisible() && log);
    p.reset();
    EXPECT_FALSE(made || log);
}

// The first contact is the refresh sequence; a second GO meanwhile is ignored.
TEST_F(Start, ASecondGoWhileTheFirstContactWaitsIsIgnored)
{
    auto p = make();
    int ports = 0;
    p->portFactory = [this, &ports] {
        ++ports;
        port = new ScriptedPort();
        port->replyDelayMs = 120;
        port->responder = [](const QByteArray &c) -> QByteArray {
            return c == "L199199" ? "L199004095000001\r" : QByteArray();
        };
        return port;
    };
    p->showWelcome();
    emit p->welcome()->goRequested();
    rxctrl2 *during = p->panel();
    EXPECT_EQ(p->goState(), Program::GoState::Contacting);
    emit p->welcome()->goRequested(); // Enter pressed again while the receiver is asked
    EXPECT_FALSE(p->go());
    ASSERT_TRUE(waitUntil([&] { return p->goState() != Program::GoState::Contacting && p->app().rx->lineFree(); }));
    EXPECT_EQ(ports, 1);
    ASSERT_TRUE(p->panel() && p->panel() == during);
    EXPECT_EQ(port->trace(), "H1|H1|U11|J1199|L199199|H0|H0");
    EXPECT_TRUE(p->panel()->isVisible());
    EXPECT_TRUE(prompter.asked.isEmpty());
}

TEST_F(Start, EndingWithAnUnsavedLogAsksFirst)
{
    auto p = make();
    p->app().settings.setNoRx(true);
    ASSERT_TRUE(goAndWait(*p));
    p->panel()->menuAction("mnu_logging")->trigger();
    LogWindow *log = shownWindow<LogWindow>();
    ASSERT_TRUE(log);
    log->book.notSaved = true;
    // Cancel keeps the program running, by the close box and by Exit alike.
    prompter.answers = {Prompter::AnsCancel, Prompter::AnsCancel};
    p->panel()->close();
    p->panel()->menuAction("mnu_exit")->trigger();
    EXPECT_EQ(quitCode, -1);
    EXPECT_EQ(prompter.lastText(), "Log file is not saved\nDo you want to save it ?");
    // A signal (the terminal closed) ends it with nobody to ask: the log is
    // kept in a file of its own.
    ASSERT_TRUE(endsignals::install(p.get(), [&](int s) { p->endBySignal(s); }));
    ::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return quitCode == 0; })); // after the release on the line
    endsignals::uninstall();
    EXPECT_TRUE(prompter.asked.size() == 2 && QFile::exists(dir.filePath("LOG/LOG_261205-1200.TXT")));
}
