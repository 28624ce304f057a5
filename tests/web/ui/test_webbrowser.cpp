// The web remote in a real browser: the distribution's Chromium, headless,
// driven by tests/web/browser_check.py against the whole program on the
// simulated receiver, with a private sound server's 1 kHz sine as the
// receiver's sound. Skipped (with the reason) when Chromium, its driver or
// python3-selenium are missing.
#include "app/startup.h"
#include "link/receiver2.h"
#include "memory/mem2.h"
#include "schedules/ftlfile.h"
#include "schedules/onair.h"
#include "record/recordtest.h"
#include "sim/simradio.h"
#include "sim/simwait.h"
#include "uikit.h"
#include "web/webremote.h"

#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <gtest/gtest.h>

namespace {
// The python that has selenium (the system's first: another one on the
// path may lack the distribution's modules); empty with *why when none.
QString seleniumPython(QString *why)
{
    for (const char *exe : {"chromium", "chromedriver"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(exe)).isEmpty()) {
            *why = QStringLiteral("%1 is not installed (scripts/deps.sh --tests installs it)").arg(exe);
            return {};
        }
    for (const QString &py : {QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable("python3")}) {
        QProcess p;
        p.start(py, {"-c", "import selenium"});
        if (!py.isEmpty() && p.waitForFinished(30000) && p.exitCode() == 0)
            return py;
    }
    *why = QStringLiteral("python3-selenium is not installed (scripts/deps.sh --tests installs it)");
    return {};
}
} // namespace

TEST(WebBrowser, LogInTuneFollowListenAndRefusals)
{
    QString why;
    const QString python = seleniumPython(&why);
    if (python.isEmpty())
        GTEST_SKIP() << why.toStdString();
    PrivateSoundServer sound;
    if (!sound.ok())
        GTEST_SKIP() << sound.why().toStdString();

    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    ProgramKit kit;
    // The program's own rules, trusting nobody: the browser on this
    // computer logs in as one elsewhere would.
    QStringList args{"vorantis", "--port", "sim", "--web-port", QString::number(port), "--rigctl-trust", ""};
    for (const auto &[option, secret] : {std::pair{"--rigctl-password-file", "full-secret"},
                                         std::pair{"--rigctl-readonly-password-file", "read-secret"}}) {
        QFile f(kit.dir.filePath(QString::fromLatin1(secret)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(secret) + '\n');
        f.close();
        args << QString::fromLatin1(option) << f.fileName();
    }
    auto p = kit.make(args);
    ASSERT_TRUE(goAndWait(*p));
    ASSERT_TRUE(p->webRemote()) << kit.prompter.lastText().toStdString();
    SimRadio *radio = p->simRadio();
    ASSERT_TRUE(radio);
    // What the page lists: the demo's schedule and memory file.
    ftl::Table sched;
    ASSERT_TRUE(ftl::load(sourcePath("data/demo/Rx2Db/ILGSDATA.ftl"), 30000, &sched).ok);
    onair::setLoaded(sched.lines, "ILGSDATA.ftl");
    // The program's copy of the memory as a fetch leaves it.
    for (int ch = 0; ch < 13; ++ch)
        mem2::table().rec[size_t(ch)] = "L" + mem2::ch3(ch) + QString::fromLatin1(radio->channel(ch)->toRec12());
    mem2::table().tag[4] = "Voz del Altiplano";

    const QString shots = QStringLiteral(VOR_BINARY_DIR "/web-shots");
    QDir().mkpath(shots);
    QProcess browser;
    browser.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    browser.start(python,
                  {QStringLiteral(VOR_SOURCE_DIR "/tests/web/browser_check.py"),
                   QStringLiteral("http://127.0.0.1:%1/").arg(port), "full-secret", "read-secret", shots});
    ASSERT_TRUE(browser.waitForStarted(30000));
    QStringList seen;
    auto line = [&](const QString &head) {
        const bool got = waitUntil(
            [&] {
                while (browser.canReadLine())
                    seen << QString::fromUtf8(browser.readLine()).trimmed();
                return !seen.filter(QRegularExpression("^(" + head + "|FAILED)")).isEmpty() ||
                       browser.state() == QProcess::NotRunning;
            },
            240000);
        const QStringList hit = seen.filter(QRegularExpression("^" + head));
        EXPECT_TRUE(got && !hit.isEmpty()) << head.toStdString() << "\n" << seen.join('\n').toStdString();
        return hit.isEmpty() ? QString() : hit.first();
    };

    // Tuned from the page: it reached the receiver and the panel.
    line("TUNED");
    EXPECT_TRUE(waitUntil([&] { return radio->working().hz == 9580000; }));
    EXPECT_EQ(p->panel()->findChild<QLineEdit *>("txt_freqa")->text().trimmed(), "9580.000");
    // The receiver's own dial: the page follows, with what is on the air
    // there at 12:00 UTC. (A report that comes while a job runs is not
    // taken for one: the tune's bracket ends first.)
    EXPECT_TRUE(waitUntil([&] { return p->app().rx->lineFree(); }));
    radio->turnDial(7295000);
    browser.write("DIAL 7295000\n");
    EXPECT_TRUE(line("FOLLOWED").contains("on air: Radio Isla Verde, English, ME/AU, 1130-1330"));
    const QString audio = line("AUDIO");
    // The receiver held, as the panel's Lock holds it: the page's meter reads.
    Receiver2 *rx = p->app().rx;
    rx->submit([rx]() -> rxjob::Task<> { co_await rx->aHold(); }, false, p.get());
    ASSERT_TRUE(waitUntil([&] { return rx->held(); }));
    browser.write("HELD\n");
    // A memory channel recalled from the page: channel 4 holds 7275 kHz.
    line("RECALLED");
    EXPECT_EQ(radio->working().hz, 7275000);
    line("DONE");
    EXPECT_TRUE(waitUntil([&] { return browser.state() == QProcess::NotRunning; }, 60000));
    EXPECT_EQ(browser.exitCode(), 0);
    std::printf("%s\n", qPrintable(seen.join('\n')));

    EXPECT_TRUE(line("REFUSED no-cookie").endsWith("1006")); // never opened
    EXPECT_TRUE(line("REFUSED wrong-password").contains("Wrong password"));
    EXPECT_TRUE(line("REFUSED foreign-origin").endsWith("http 403"));
    EXPECT_TRUE(line("REFUSED read-only").contains("only listens"));
    EXPECT_TRUE(line("COOKIE").contains("httpOnly=True sameSite=Strict"));
    EXPECT_TRUE(line("METER").contains(QRegularExpression("role=meter text=\"S\\d.*freq=7295.000")));
    // Decoded in the page, strongest at 1 kHz.
    const QRegularExpressionMatch m = QRegularExpression("peak_hz=(\\d+)").match(audio);
    ASSERT_TRUE(m.hasMatch()) << audio.toStdString();
    EXPECT_NEAR(m.captured(1).toInt(), 1000, 20);
    EXPECT_TRUE(audio.contains("codec=opus"));
    // The read-only listener's tune never reached the receiver.
    EXPECT_EQ(radio->working().hz, 7275000);
    EXPECT_EQ(p->webRemote()->stats().refusedSockets, 2);
}
