// One event for real: the program's serial-port code against nrd535-sim on
// a pseudo-terminal, the PC's clock and the window's own timers. It takes
// about four minutes, so it runs only with VOR_REAL_TIMER=1; the simulator's
// log is printed. With pulseaudio installed the event is also recorded from
// a private sound server's 1 kHz sine.
#include "app/startup.h"
#include "record/recordtest.h"
#include "testkit.h"
#include "timer/timerrun.h"
#include "timer/ui/rxtimer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <cstdio>
#include <gtest/gtest.h>

TEST(RealRun, OneEventAgainstTheSimulatorOnAPseudoTerminal)
{
    if (qEnvironmentVariableIsEmpty("VOR_REAL_TIMER"))
        GTEST_SKIP() << "set VOR_REAL_TIMER=1 (takes about four minutes)";
    const QString tool = QStringLiteral(VOR_BINARY_DIR "/nrd535-sim");
    if (!QFile::exists(tool))
        GTEST_SKIP() << "build nrd535-sim first";
    QProcess sim;
    sim.start(tool, {});
    ASSERT_TRUE(sim.waitForStarted(10000));
    QElapsedTimer t;
    t.start();
    while (!sim.canReadLine() && t.elapsed() < 10000)
        sim.waitForReadyRead(100);
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();
    ASSERT_FALSE(device.isEmpty());

    SystemClock clock;
    RecordingPrompter prompter;
    RecordingLauncher launcher;
    QTemporaryDir dir;
    PrivateSoundServer sound;
    if (!sound.ok())
        std::printf("not recorded: %s\n", qPrintable(sound.why()));
    {
        Program p(Options::parse({"vorantis", "--port", device}), &clock, &prompter, &launcher);
        p.quit = [](int) {};
        p.app().settings = settingsfile::defaults();
        p.app().settings.base_dir = dir.path() + '/';
        ASSERT_TRUE(goAndWait(p)) << prompter.lastText().toStdString();
        p.panel()->menuAction("mnu_timer")->trigger();
        QCoreApplication::processEvents();
        RxTimer *w = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->isVisible() && top->objectName() == "RxTimer")
                w = qobject_cast<RxTimer *>(top);
        ASSERT_TRUE(w);
        QTest::qWait(500);
        // Start two whole minutes ahead, one minute long.
        const QDateTime now = clock.now();
        const QDateTime start = now.addSecs(120 + 60 - now.time().second());
        w->edit().setUtc(timertab::utcOf(start, p.app().settings.ltMinusUtc()));
        w->edit().duration = 1;
        w->showEdit();
        if (sound.ok()) {
            p.app().settings.rec_source = "sine_input";
            w->findChild<QCheckBox *>("chk_Rec")->setChecked(true);
            w->findChild<QLineEdit *>("txt_Station")->setText("Radio Sine / 1 kHz");
        }
        QTest::mouseClick(w->findChild<QPushButton *>("cmd_FxCr1_0"), Qt::LeftButton);
        QTest::mouseClick(w->findChild<QPushButton *>("cmd_TimerOn"), Qt::LeftButton);
        ASSERT_TRUE(w->run()->running());
        std::printf("Timer On at %s, event 1 at %s for 1 min\n",
                    qPrintable(now.toString("HH:mm:ss")), qPrintable(start.toString("HH:mm:ss")));
        QPointer<RxTimer> guard(w);
        t.restart();
        while (guard && w->run()->running() && t.elapsed() < 6 * 60 * 1000)
            QTest::qWait(200);
        ASSERT_TRUE(guard);
        EXPECT_FALSE(w->run()->running());
        EXPECT_EQ(w->windowTitle(), "Timer Programming Ready");
        QTest::qWait(500);
    }
    sim.terminate();
    sim.waitForFinished(5000);
    const QString log = QString::fromLocal8Bit(sim.readAllStandardError());
    std::printf("--- nrd535-sim log ---\n%s", qPrintable(log));
    EXPECT_TRUE(log.contains("O1"));
    EXPECT_TRUE(log.contains("O0"));
    if (!sound.ok())
        return;
    // From "O1" to "O0", a minute; the sine source hands its sound over two
    // seconds at a time, so the last block may come up to that much later.
    const QStringList flac = QDir(dir.filePath("REC")).entryList({"*_AM_Radio_Sine_1_kHz.flac"}, QDir::Files);
    ASSERT_EQ(flac.size(), 1);
    const Heard h = hear(dir.filePath("REC/" + flac[0]), 4800);
    std::printf("--- %s: %.2f s, %.1f Hz ---\n", qPrintable(flac[0]), h.seconds(), h.hz);
    EXPECT_NEAR(h.seconds(), 60, 2.5);
    EXPECT_NEAR(h.hz, 1000, 20);
}
