// Control panel: clock line, menu bar, closing.
#include "common/filebytes.h"
#include "common/ui/guideview.h"
#include "common/ui/uiseams.h"
#include "panelfixture.h"
#include "settings/ui/setup.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextBrowser>
#include <QTemporaryDir>
#include <QTimer>
#include <QScopeGuard>

TEST_F(PanelTest, ClockLine)
{
    const QLocale old;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    const auto restore = qScopeGuard([&] { QLocale::setDefault(old); });
    t.clock.t = QDateTime(QDate(2001, 1, 1), QTime(1, 30));
    t.app.settings.setLtMinusUtc(2);
    make();
    // Shown at load already (the texts themselves: the time text test).
    EXPECT_EQ(w->windowTitle(),
              "LT : 1 Jan 2001  01:30    VORANTIS V6    UTC : 31 Dec 2000  23:30");
    EXPECT_TRUE(w->findChild<QTimer *>("Showtime")->isActive());

    t.clock.t = QDateTime(QDate(2001, 6, 5), QTime(10, 0));
    t.app.settings.setLtMinusUtc(-5.5f);
    w->showtime();
    EXPECT_TRUE(w->windowTitle().endsWith("UTC : 5 Jun 2001  15:30"));
    EXPECT_EQ(t.app.times.utc_stamp, "20010605 1530");

    // The system's own offset against LT-UTC, on each tick: each offset told
    // once; asked while nothing runs by itself (Yes sets and saves LT-UTC),
    // a notice while something does and asked when it has ended.
    const std::tuple<std::optional<int>, bool, QString> steps[] = {
        {-19800, false, ""}, // UTC-5:30 is LT-UTC -5.5
        {3600, false, "Q: UTC+1, but LT-UTC in the set-up is -5.5 h:\nevery UTC time the program shows, the timer "
                      "events and the on-air lists are 6 h 30 min off.\nSet LT-UTC to 1 h and save it?"},
        {3600, false, ""},
        {7200, true, "N: You will be asked to set it when the run has ended."},
        {7200, true, ""},
        {7200, false, "Q: Set LT-UTC to 2 h"},
        {20700, false, "M: UTC+5:45, but LT-UTC in the set-up is 2 h"},
    };
    QObject run;
    for (const auto &[offset, running, said] : steps) {
        t.clock.offset = offset;
        running ? void(t.rx->beginSession(&run, "The timer run")) : t.rx->endSession(&run);
        t.prompter.asked.clear();
        t.prompter.answers = {offset == 7200 ? Prompter::AnsYes : Prompter::AnsNo};
        w->showtime();
        QString got;
        for (const RecordingPrompter::Asked &a : t.prompter.asked)
            got += QString(a.notice ? "N" : a.buttons == Prompter::YesNo ? "Q" : "M") + ": " + a.title + a.text;
        EXPECT_TRUE(said.isEmpty() ? got.isEmpty() : got.startsWith(said.left(3) + "LT-UTC") && got.contains(said.mid(3)))
            << got.toStdString();
    }
    EXPECT_FLOAT_EQ(t.app.settings.ltMinusUtcStored(), 2);
    EXPECT_EQ(QString::fromLatin1(readBytes(t.base() + "VRTSV6.INI")).split("\r\n").value(4), " 2");
    EXPECT_TRUE(w->windowTitle().endsWith("UTC : 5 Jun 2001  08:00"));
}

// The panel's own items work at once; the others wait for their window to
// be wired. About opens once from both its items; RTTY needs its unit.
TEST_F(PanelTest, MenuItemsAreOffUntilTheProgramWiresThem)
{
    make();
    for (const char *on : {"mnu_update", "mnu_setup", "mnu_about", "mnu_docgb", "mnu_RTTY", "mnu_exit",
                           "mnu_pcclock"})
        EXPECT_TRUE(w->menuAction(on)->isEnabled()) << on;
    for (const char *off : {"mnu_udefs", "mnu_docnl", "mnu_bdxc", "mnu_own", "mnu_ilg", "mnu_convert1",
                            "mnu_logging", "mnu_tracking", "mnu_convert2", "mnu_memman", "mnu_Smeter",
                            "mnu_spectrum", "mnu_proptime", "mnu_prophist", "mnu_rxclock", "mnu_timer",
                            "mnu_spaties1", "mnu_spaties2"})
        EXPECT_FALSE(w->menuAction(off)->isEnabled()) << off;
    EXPECT_FALSE(w->menuAction("mnu_spaties1")->toolTip().trimmed().isEmpty());
    // (A wired item on and opening its window: the start-up test.)
    int rtty = 0;
    w->setMenuAction("mnu_RTTY", [&] { ++rtty; });

    trigger("mnu_about");
    trigger("mnu_JA");
    const auto abouts = w->findChildren<QDialog *>();
    ASSERT_EQ(abouts.size(), 1);
    EXPECT_TRUE(abouts.first()->isVisible() && !abouts.first()->isModal());
    abouts.first()->close();

    trigger("mnu_RTTY");
    EXPECT_EQ(rtty, 0);
    ASSERT_EQ(t.prompter.asked.size(), 1);
    EXPECT_EQ(t.prompter.lastTitle() + ": " + t.prompter.lastText(),
              "RTTY demodulation: Reserved for RTTY demodulation\nwith optional unit CMH-530");
    EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information);
    t.app.settings.setRttyFitted(true);
    trigger("mnu_RTTY");
    EXPECT_EQ(rtty, 1);
    EXPECT_EQ(t.prompter.asked.size(), 1);
    EXPECT_TRUE(t.port.commands().isEmpty());
}

TEST_F(PanelTest, SetUpFromThePanelKeepsItsOwnLook)
{
    // The panel's light-on-dark frame captions must not reach the set-up
    // dialog, whose frames are light.
    make();
    setup dlg(t.app, w.get());
    auto *frame = dlg.findChild<QGroupBox *>("fra_cp");
    ASSERT_TRUE(frame);
    dlg.ensurePolished();
    frame->ensurePolished();
    EXPECT_NE(frame->palette().color(QPalette::WindowText), QColor(0xd8, 0xdc, 0xe2));
    EXPECT_NE(get<QGroupBox>("fra_md")->palette().color(QPalette::WindowText),
              frame->palette().color(QPalette::WindowText));
}

TEST_F(PanelTest, OutsidePrograms)
{
    make();
    // Started, failing (what the launcher says, told), or no settings program
    // here (how the clock is kept, as information).
    const struct {
        const char *item;
        bool fail, noTool;
        const char *said;
    } cases[] = {{"mnu_docgb", false, false, ""},
                 {"mnu_pcclock", false, false, ""},
                 {"mnu_docgb", true, false, "VRTSV6.doc|cannot start"},
                 {"mnu_pcclock", true, false, "cannot start"},
                 {"mnu_pcclock", false, true, "kept by network time"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.item);
        t.launcher.fail = c.fail;
        t.launcher.noDateTimeTool = c.noTool;
        clear();
        t.prompter.answers = {Prompter::AnsNo}; // the guide inside the program, when offered
        trigger(c.item);
        EXPECT_EQ(t.prompter.asked.size(), *c.said ? 1 : 0);
        for (const QString &part : QString(c.said).split('|', Qt::SkipEmptyParts))
            EXPECT_TRUE(t.prompter.lastText().contains(part)) << qPrintable(t.prompter.lastText());
        if (c.fail && QString(c.item) == "mnu_docgb")
            EXPECT_EQ(t.prompter.asked.last().buttons, Prompter::YesNo);
        if (c.noTool)
            EXPECT_EQ(t.prompter.asked.last().icon, Prompter::Information);
    }
    EXPECT_EQ(t.launcher.opened.value(0), t.base() + "VRTSV6.doc");
    EXPECT_EQ(t.launcher.dateTimeCalls, 3);
    t.launcher.fail = t.launcher.noDateTimeTool = false;

    // A base directory without the document gets the program's copy; not
    // opened, Yes shows the guide window (or says why it cannot).
    t.app.guide_doc = VOR_SOURCE_DIR "/data/demo/VRTSV6.doc";
    t.app.guide_file = VOR_SOURCE_DIR "/docs/user-guide.md";
    QFile::remove(t.base() + "VRTSV6.doc");
    t.launcher.fail = true;
    trigger("mnu_docgb");
    EXPECT_TRUE(QFileInfo::exists(t.base() + "VRTSV6.doc"));
    auto *guide = w->findChild<GuideView *>("guide");
    ASSERT_TRUE(guide && guide->isVisible());
    EXPECT_TRUE(guide->browser()->toPlainText().startsWith("VORANTIS user guide"));
    delete guide;
    t.app.guide_file = t.base() + "none.md";
    trigger("mnu_guide");
    EXPECT_TRUE(t.prompter.lastText().contains("none.md"));
}

// Set PC Clock on the desktop: the settings program found on a made-up PATH
// (the running desktop's first), or how the clock is kept when none is.
TEST(DesktopLauncher, FindsTheDesktopsDateTimeSettingsOrSaysHowTheClockIsKept)
{
    const QByteArray path = qgetenv("PATH"), desktop = qgetenv("XDG_CURRENT_DESKTOP");
    const auto restore = qScopeGuard([&] {
        qputenv("PATH", path);
        if (desktop.isNull())
            qunsetenv("XDG_CURRENT_DESKTOP");
        else
            qputenv("XDG_CURRENT_DESKTOP", desktop);
    });
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    qputenv("PATH", bin.path().toLocal8Bit());
    // Scripts: timedatectl prints its answer, the others say how they were started.
    auto install = [&](const QStringList &programs, const QByteArray &timedatectlOut = {}) {
        for (const QString &f : QDir(bin.path()).entryList(QDir::Files))
            QFile::remove(bin.filePath(f));
        for (const QString &p : programs) {
            const QByteArray started = bin.filePath("started").toLocal8Bit();
            const QByteArray body = p == "timedatectl" ? "printf '" + timedatectlOut + "'\n"
                                                       : "echo \"$0 $*\" > \"" + started + "\"\n";
            writeBytes(bin.filePath(p), "#!/bin/sh\n" + body);
            QFile::setPermissions(bin.filePath(p), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    };
    const struct {
        QStringList programs;
        QByteArray desktop;
        QString found; // program and arguments, "" = none
    } cases[] = {
        {{"kcmshell6", "gnome-control-center"}, "", "gnome-control-center datetime"},
        {{"kcmshell6", "gnome-control-center"}, "KDE", "kcmshell6 kcm_clock"},
        {{"kcmshell5", "timedatectl"}, "ubuntu:GNOME", "kcmshell5 clock"},
        {{"systemsettings"}, "", "systemsettings kcm_clock"},
        {{"time-admin"}, "XFCE", "time-admin"},
        {{"timedatectl"}, "", ""},
    };
    for (const auto &c : cases) {
        install(c.programs);
        qputenv("XDG_CURRENT_DESKTOP", c.desktop);
        const DesktopLauncher::Command cmd = DesktopLauncher::dateTimeSettingsCommand();
        const QString found = cmd.program.isEmpty()
                                  ? QString()
                                  : (QStringList{QFileInfo(cmd.program).fileName()} + cmd.args).join(' ');
        EXPECT_EQ(found, c.found) << c.programs.join(' ').toStdString();
    }

    // What is said without a settings program, from timedatectl's answer.
    const std::pair<QByteArray, const char *> keeping[] = {
        {"NTP=yes\\nNTPSynchronized=yes\\n", "kept by network time and is synchronized"},
        {"NTP=yes\\nNTPSynchronized=no\\n", "not\nsynchronized yet"},
        {"NTP=no\\nNTPSynchronized=no\\n", "timedatectl set-ntp true"},
        {{}, "date -s"}, // no timedatectl either
    };
    DesktopLauncher launcher;
    for (const auto &[show, says] : keeping) {
        install(show.isNull() ? QStringList() : QStringList{"timedatectl"}, show);
        QString text;
        EXPECT_EQ(launcher.openDateTimeSettings(&text), Launcher::Outcome::NotInstalled);
        EXPECT_TRUE(text.contains(says)) << text.toStdString();
    }

    // One that is installed is started with its arguments.
    install({"gnome-control-center"});
    QString text;
    EXPECT_EQ(launcher.openDateTimeSettings(&text), Launcher::Outcome::Started) << text.toStdString();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return readBytes(bin.filePath("started")).trimmed().endsWith("gnome-control-center datetime"); }, 20000));
}
