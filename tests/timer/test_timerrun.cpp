// Whole runs in simulated time: the clock is moved step by step and the run
// ticked; the simulated receiver answers at once.
#include "common/filebytes.h"
#include "record/recordtest.h"
#include "record/recsession.h"
#include "sim/simradio.h"
#include "testkit.h"
#include "timer/timerrun.h"

#include <QCoreApplication>
#include <QDir>
#include <QRegularExpression>
#include <QSignalSpy>
#include <algorithm>
#include <gtest/gtest.h>

using namespace timertab;

namespace {

struct Sent {
    QDateTime at;
    QString cmd;
};

struct Run : ::testing::Test {
    TestApp t;
    FakePanel panel;
    SimRadio radio{SimRadio::EmptyMemory};
    EventTable table;
    TimerRun run{t.app, table};
    QList<Sent> sent;
    QStringList notes;

    void SetUp() override
    {
        t.app.panel = &panel;
        panel.attach(*t.rx);
        t.app.settings.setBwcFitted(true); // BWC unit
        t.port.responder = [this](const QByteArray &c) {
            sent.append({t.clock.t, QString::fromLatin1(c)});
            return radio.execute(c);
        };
        QObject::connect(&run, &TimerRun::note, &run, [this](const QString &s) { notes << s; });
    }

    // Event n at local (= UTC) day 5 Dec 2026, hh:mm, lasting dur minutes.
    void program(int n, int hh, int mm, int dur, int pbs = 0, int bwc = 0, int day = 5,
                 bool rec = false)
    {
        EventEdit e;
        e.rec = rec;
        e.opt.bwcUnit = true;
        e.day = day, e.month = 12, e.year = 2026, e.hour = hh, e.minute = mm, e.duration = dur;
        e.mode = 4;
        e.bw = bwc ? 0 : 3;
        e.applyBwRule();
        if (bwc)
            e.bwc = bwc;
        e.pbs = pbs;
        e.setHz(5970000 + n * 1000);
        table.fix(n, e.toEvent());
    }

    // Moves the clock to the next due step (at most maxStepMs at a time)
    // and ticks, until the run ends or the clock passes `until`.
    void drive(const QDateTime &until, int maxStepMs = 5000)
    {
        while (run.running() && t.clock.t < until) {
            const qint64 step = qBound<qint64>(50, run.msToNext(), qint64(maxStepMs));
            t.clock.t = t.clock.t.addMSecs(step);
            run.tick();
            t.settle();
        }
    }
    void driveToEnd() { drive(t.clock.t.addDays(1)); }

    // The timer's own commands (T, O and the event's settings), with their
    // times; timerTexts() without.
    QList<Sent> timerCommands() const
    {
        static const QRegularExpression re(QStringLiteral("^(T[01]|O[01]|S199.*)$"));
        QList<Sent> out;
        for (const Sent &s : sent)
            if (re.match(s.cmd).hasMatch())
                out << s;
        return out;
    }
    QStringList timerTexts() const
    {
        QStringList out;
        for (const Sent &s : timerCommands())
            out << s.cmd;
        return out;
    }
    int count(const QString &cmd) const
    {
        return int(std::count_if(sent.begin(), sent.end(), [&](const Sent &s) { return s.cmd == cmd; }));
    }
    static QDateTime at(int hh, int mm, int ss = 0, int day = 5)
    {
        return QDateTime(QDate(2026, 12, day), QTime(hh, mm, ss));
    }
};

} // namespace

TEST_F(Run, FiveEventsInOrderWithTheirPauses)
{
    t.clock.t = at(11, 58, 20);
    program(1, 12, 0, 2, 500, 4000); // PBS and BWC
    program(2, 12, 3, 1);            // one minute after event 1 ends
    program(3, 12, 10, 3, -1200);
    program(4, 12, 14, 1);
    program(5, 13, 0, 1, 0, 0, 5);
    run.start();
    t.settle();
    EXPECT_FALSE(panel.enabled);
    EXPECT_EQ(panel.lockOn, 1);
    EXPECT_EQ(sent.first().cmd, "H1");
    driveToEnd();
    EXPECT_FALSE(run.running());

    const QList<Sent> c = timerCommands();
    EXPECT_EQ(timerTexts().first(), "T0");
    EXPECT_EQ(timerTexts().last(), "T1");
    EXPECT_EQ(count("O1"), 5);
    EXPECT_EQ(count("O0"), 5);
    EXPECT_EQ(count("S199004059710000"), 1);
    for (const char *set : {"P+0500", "W4000", "P-1200"})
        EXPECT_EQ(count(set), 1) << set;

    // Per event: T1 within the minute before the start, S199 5 s later,
    // O1 50 s after the preparation (near the start), O0 after the duration,
    // T0 500 ms after O0 when another event follows.
    const QDateTime starts[5] = {at(12, 0), at(12, 3), at(12, 10), at(12, 14), at(13, 0)};
    const int durs[5] = {2, 1, 3, 1, 1};
    int k = 0;
    QDateTime t1, o1;
    for (int i = 0; i < c.size(); ++i) {
        const Sent &s = c[i];
        if (s.cmd == "T1" && k < 5 && i + 1 < c.size()) {
            t1 = s.at;
            EXPECT_GE(t1.secsTo(starts[k]), 55) << k;
            EXPECT_LE(t1.secsTo(starts[k]), 60) << k;
            EXPECT_EQ(t1.msecsTo(c[i + 1].at), 5000);
            EXPECT_TRUE(c[i + 1].cmd.startsWith("S199"));
        } else if (s.cmd == "O1") {
            o1 = s.at;
            EXPECT_LT(qAbs(o1.secsTo(starts[k])), 10) << k;
        } else if (s.cmd == "O0") {
            EXPECT_EQ(o1.msecsTo(s.at), durs[k] * 60000) << k;
            if (k < 4) {
                EXPECT_EQ(c[i + 1].cmd, "T0");
                EXPECT_EQ(s.at.msecsTo(c[i + 1].at), 500);
            }
            ++k;
        }
    }
    EXPECT_EQ(k, 5);
    // The end: released, the panel back.
    EXPECT_EQ(sent.last().cmd, "H0");
    EXPECT_FALSE(radio.remote());
    EXPECT_EQ(radio.relay(), 0);
    EXPECT_EQ(radio.timerSwitch(), 1);
    EXPECT_TRUE(panel.enabled);
    EXPECT_EQ(panel.lockOn, 0);
    EXPECT_TRUE(notes.isEmpty()) << notes.join('\n').toStdString();
    EXPECT_TRUE(t.prompter.asked.isEmpty());
}

TEST_F(Run, FollowsUtcWithTheLocalOffset)
{
    t.app.settings.setLtMinusUtc(2); // local = UTC + 2 h
    t.clock.t = at(13, 58, 30);
    program(1, 12, 0, 1);
    run.start();
    driveToEnd();
    ASSERT_GE(timerCommands().size(), 3);
    EXPECT_EQ(timerTexts()[1] + timerCommands()[1].at.toString(" HH:mm"), "T1 13:59");
}

TEST_F(Run, SilentReceiverIsToldOnceAndTheRunGoesOn)
{
    t.clock.t = at(11, 58, 30);
    program(1, 12, 0, 1);
    program(2, 12, 3, 1);
    radio.setSilent(true);
    run.start();
    driveToEnd();
    QCoreApplication::processEvents();
    int told = 0;
    for (const auto &a : t.prompter.asked)
        told += a.text.startsWith("The receiver did not answer.");
    EXPECT_EQ(told, 1);
    // Every missed reply shows in the window, counted; the run goes on.
    ASSERT_EQ(notes.size(), 4);
    EXPECT_TRUE(notes.last().startsWith("no reply ")) << notes.last().toStdString();
    EXPECT_TRUE(notes.last().contains("4 missed"));
    EXPECT_EQ(count("O1"), 2);
    EXPECT_EQ(count("O0"), 2);
    EXPECT_EQ(timerTexts().last(), "T1");
    EXPECT_EQ(sent.last().cmd, "H0");
}

TEST_F(Run, TimerOffWhileSettlingSendsO0AndEnds)
{
    t.clock.t = at(11, 58, 30);
    program(1, 12, 0, 5);
    bool finished = false;
    QObject::connect(&run, &TimerRun::finished, &run, [&] { finished = true; });
    run.start();
    drive(at(11, 59, 40));
    ASSERT_EQ(run.phase(), TimerRun::Phase::Settling);
    sent.clear();
    run.stop();
    t.settle();
    EXPECT_TRUE(finished);
    EXPECT_FALSE(run.running());
    EXPECT_EQ(timerTexts(), QStringList({"O0", "T1"}));
    EXPECT_EQ(sent.last().cmd, "H0");
    EXPECT_EQ(count("O1"), 0);
    t.clock.t = t.clock.t.addSecs(600);
    run.tick();
    EXPECT_EQ(count("O1"), 0);
}

TEST_F(Run, ClockJumps)
{
    struct Case {
        const char *what;
        QDateTime jumpAt, jumpTo;
        int o1; // events that went on air
        const char *note;
    };
    const Case cases[] = {
        // Past the whole of event 1: skipped, event 2 runs.
        {"over event 1", at(11, 58, 40), at(12, 4, 10), 1, "Event 1 skipped"},
        // Into event 1: it runs late.
        {"into event 1", at(11, 58, 40), at(12, 1, 30), 2, "Event 1 started late"},
        // Back by an hour while event 1 is on: it is not run twice.
        {"back during event 1", at(12, 1, 0), at(11, 1, 0), 2, "jumped by -60 min"},
        // Past everything: the run ends.
        {"past all", at(11, 58, 40), at(13, 0, 0), 0, "Event 2 skipped"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        sent.clear();
        notes.clear();
        table.clearAll();
        t.clock.t = at(11, 58, 30);
        program(1, 12, 0, 3);
        program(2, 12, 10, 1);
        run.start();
        drive(c.jumpAt);
        t.clock.t = t.clock.t.addMSecs(c.jumpAt.msecsTo(c.jumpTo) + 1000); // the step, and a second
        run.tick();
        driveToEnd();
        EXPECT_FALSE(run.running());
        EXPECT_EQ(count("O1"), c.o1);
        EXPECT_LE(std::count_if(sent.begin(), sent.end(),
                                [](const Sent &s) { return s.cmd.startsWith("S199") && s.cmd.contains("05971000"); }),
                  1); // event 1 tuned once at most
        EXPECT_TRUE(notes.join('\n').contains(c.note)) << notes.join('\n').toStdString();
        EXPECT_EQ(timerTexts().last(), "T1");
        EXPECT_EQ(sent.last().cmd, "H0");
        EXPECT_TRUE(panel.enabled);
    }
}

// Events marked Rec are recorded from their O1 to their O0, each file with
// its text beside it; Timer Off closes a recording that runs.
TEST_F(Run, RecEventsAreRecordedFromO1ToO0)
{
    RecSession rec(t.app);
    rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true); });
    t.app.rec = &rec;
    QList<bool> recAtO0;
    auto inner = t.port.responder;
    t.port.responder = [&](const QByteArray &c) {
        if (c == "O0")
            recAtO0 << rec.running();
        return inner(c);
    };
    t.clock.t = at(11, 58, 30);
    program(1, 12, 0, 1, 0, 0, 5, true);
    program(2, 12, 3, 1);
    program(3, 12, 6, 5, 0, 0, 5, true);
    run.start();
    drive(at(12, 7, 30));
    ASSERT_EQ(run.phase(), TimerRun::Phase::OnAir);
    EXPECT_TRUE(rec.running());
    // "O0" does not wait for the recording: its file closes as the input's
    // block comes in.
    QSignalSpy stopped(&rec, &RecSession::stopped);
    run.stop();
    if (stopped.isEmpty()) {
        ASSERT_TRUE(stopped.wait(60000));
    }
    EXPECT_FALSE(rec.running());
    EXPECT_EQ(recAtO0, QList<bool>({true, false, true}));

    const QDir dir(t.base() + "REC");
    const QStringList txt = dir.entryList({"*.txt"}, QDir::Files, QDir::Name);
    ASSERT_EQ(dir.entryList({"*.flac"}, QDir::Files).size(), 2);
    ASSERT_EQ(txt.size(), 2);
    EXPECT_TRUE(txt[0].startsWith("20261205_1")) << txt[0].toStdString();
    EXPECT_TRUE(txt[0].endsWith("Z_5971_AM.txt")) << txt[0].toStdString();
    auto text = [&](int i) { return QString::fromUtf8(readBytes(dir.filePath(txt[i]))).remove('\r'); };
    const QString t1 = text(0), t3 = text(1);
    // O1 comes 5 s before the start, O0 a minute later.
    EXPECT_TRUE(t1.contains("Start: 2026-12-05 11:59:55 UTC\nEnd: 2026-12-05 12:00:55 UTC\n"
                            "Source: tone:1000\nStarted by: Timer event 1\n"))
        << t1.toStdString();
    EXPECT_TRUE(t3.contains("\nEnd: 2026-12-05 12:07:")) << t3.toStdString();
    EXPECT_TRUE(t3.contains("Started by: Timer event 3\n")) << t3.toStdString();
    EXPECT_EQ(notes.size(), 2) << notes.join('\n').toStdString();
    EXPECT_TRUE(notes.value(0).startsWith("Recording event 1 into " + dir.path()));
}

// A recording that cannot start (no sound server) or that loses its input
// mid-way is a note naming the input or the file (named after the event's
// station); the run goes on.
TEST_F(Run, RecordingFailuresAreNotesAndTheRunGoesOn)
{
    const QString path = t.base() + "REC/20261205_1159Z_5971_AM_Radio_Test.flac";
    for (const bool server : {false, true}) {
        SCOPED_TRACE(server);
        sent.clear();
        notes.clear();
        if (!server)
            qputenv("PULSE_SERVER", "unix:/nonexistent/vorantis-test");
        RecSession rec(t.app);
        if (server)
            rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, false, 4800); });
        t.app.rec = &rec;
        t.clock.t = at(11, 58, 30);
        table.clearAll();
        program(1, 12, 0, 1, 0, 0, 5, true);
        table.event_tab[1].station = "Radio Test";
        QSignalSpy stopped(&rec, &RecSession::stopped);
        run.start();
        drive(at(12, 0, 0)); // on air: the input is gone before O0
        if (server && stopped.isEmpty())
            ASSERT_TRUE(stopped.wait(60000));
        driveToEnd();
        qunsetenv("PULSE_SERVER");
        t.app.rec = nullptr;
        EXPECT_EQ(count("O1"), 1);
        EXPECT_EQ(count("O0"), 1);
        EXPECT_EQ(sent.last().cmd, "H0");
        if (!server) {
            ASSERT_EQ(notes.size(), 1);
            EXPECT_TRUE(notes[0].startsWith("Event 1 is not recorded: The sound input default could not be opened"))
                << notes[0].toStdString();
            EXPECT_TRUE(QDir(t.base() + "REC").entryList(QDir::Files).isEmpty());
            continue;
        }
        ASSERT_EQ(notes.size(), 2) << notes.join('\n').toStdString();
        EXPECT_EQ(notes[0], "Recording event 1 into " + path);
        EXPECT_EQ(notes[1], "Recording stopped: the input tone:1000 is gone. " + QDir::toNativeSeparators(path) +
                                " is closed and plays up to that moment.");
        EXPECT_EQ(hear(path).frames, 4800);
    }
}
