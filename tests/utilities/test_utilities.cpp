// The utilities without their windows: the RTTY page, its save file and
// the receive loop sharing the line; the user definitions' tables; the
// receiver clock helpers (clock texts, timer times, the clock reply and the
// bracketed read).
#include "sim/simwait.h"
#include "testkit.h"
#include "common/filebytes.h"
#include "utilities/rtty.h"
#include "utilities/rxclocks.h"
#include "utilities/userdefs.h"

#include <gtest/gtest.h>

namespace {

QStringList feedAll(ry::Page &p, const QList<QByteArray> &chunks)
{
    QStringList done;
    for (const QByteArray &c : chunks)
        done += p.feed(c);
    return done;
}

} // namespace

TEST(RttyPage, LineBreakingFilteringAndScrollingUp)
{
    const QByteArray l80(80, 'A');
    struct Case {
        const char *what;
        QList<QByteArray> chunks;
        QStringList done;
        QString current;
    };
    const QList<Case> cases = {
        {"upper case is shown in lower case", {"ZCZC ", "WX", "\r"}, {"zczc wx"}, ""},
        {"a CR that starts a chunk ends the line, even an empty one", {"\r", "\r"}, {"", ""}, ""},
        {"a CR inside a chunk ends the line too; the rest starts the next", {"AB\rCD"}, {"ab"}, "cd"},
        {"80 characters one at a time break after the 71st",
         [&] { QList<QByteArray> c; for (char ch : l80) c << QByteArray(1, ch); return c; }(),
         {QString(71, 'a')}, QString(9, 'a')},
        {"a chunk that pushes past 71 makes a longer line",
         {QByteArray(68, 'b'), "BBBBB"}, {QString(73, 'b')}, ""},
        {"a long burst without CR gives screen-sized lines",
         {QByteArray(200, 'c')}, {QString(71, 'c'), QString(71, 'c')}, QString(58, 'c')},
        {"control characters, DEL, C1 and the soft hyphen never reach the screen",
         {QByteArray("a\x01\x07\tb\x1b[0m\x7f\x85\xad\nc\0d", 16)}, {}, "ab[0mcd"},
        {"binary garbage stays printable", {QByteArray("\xff\xe9Z\x80", 4)}, {}, QString::fromLatin1("\xff\xe9z")},
    };
    for (const Case &c : cases) {
        ry::Page p;
        EXPECT_EQ(feedAll(p, c.chunks), c.done) << c.what;
        EXPECT_EQ(p.current(), c.current) << c.what;
        EXPECT_EQ(p.lines().size(), ry::kLines);
        EXPECT_EQ(p.lines().last(), c.current) << c.what;
        for (const QString &l : p.lines())
            for (QChar ch : l)
                EXPECT_TRUE(ch.isPrint()) << c.what;
    }

    ry::Page p;
    for (int i = 0; i < 25; ++i)
        p.feed(QByteArray::number(i) + "\r");
    EXPECT_EQ(p.lines().at(0), "7");
    EXPECT_EQ(p.lines().at(17), "24");
    EXPECT_EQ(p.lines().at(18), "");
    p.clear();
    EXPECT_EQ(p.lines(), QStringList(ry::kLines, QString()));
}

TEST(RttySave, AppendsWithCrLfAndFailsCleanly)
{
    TestApp t;
    ry::SaveFile f(ry::savePath(t.app));
    EXPECT_TRUE(f.path().endsWith("NEWS/NEW_RYWW.TXT"));
    QString err;
    ASSERT_TRUE(f.open(&err)) << err.toStdString();
    ASSERT_TRUE(f.append("one", &err));
    ASSERT_TRUE(f.append("two", &err));
    EXPECT_EQ(readBytes(f.path()), QByteArray("one\r\ntwo\r\n"));

    ry::SaveFile missing(t.base() + "NOPE/NEW_RYWW.TXT");
    EXPECT_FALSE(missing.open(&err));
    EXPECT_TRUE(err.contains("does not exist")) << err.toStdString();
    EXPECT_FALSE(missing.append("x", &err));
}

TEST(UserDefs, PitchStepsAndDefaults)
{
    const auto stepped = [](int dir, int n) {
        int p = udefs::kPitchDefault;
        while (n--)
            p = udefs::stepPitch(p, dir);
        return udefs::pitchText(p) + " " + udefs::pitchCommand(p);
    };
    EXPECT_EQ(stepped(+1, 1), "+0850 U2+0850");
    EXPECT_EQ(stepped(-1, 300), "-5000 U2-5000");
    EXPECT_EQ(stepped(+1, 300), "+5000 U2+5000");
    EXPECT_EQ(udefs::pitchText(0), "+0000");

    const auto table = udefs::defaultsTable();
    QStringList sent(table.begin(), table.end());
    sent.removeAll(QString());
    EXPECT_EQ(sent.join('|'), "U00|U11|U2+0800|U41|U61|U71|U81|U91");
    // Reset and the window agree: what Reset sends is what the selected
    // option buttons would send.
    for (int g = 0; g < 6; ++g)
        EXPECT_TRUE(sent.contains(udefs::groups()[g].commands.at(udefs::defaultSelection()[g]))) << g;
}

// The loop against the simulated receiver: text arrives, a reader's
// transaction during RTTY gets its own reply intact, and X0 stops the text.
TEST(RttyReceiver, SharesTheLineWithOtherReaders)
{
    TestApp t;
    SimulatedLine sim(t);
    ry::Receiver r(t.app);
    r.resumeDelayMs = 100;
    r.start();
    EXPECT_TRUE(r.running());
    ASSERT_TRUE(waitUntil([&] { return !r.page().lines().at(17).isEmpty(); }, 20000));
    EXPECT_EQ(r.page().lines().at(17), r.page().lines().at(17).toLower());

    // The S-meter and the memory manager hold the receiver while they read.
    t.rx->submit([&] { return t.rx->aHold(); }, false);
    for (int i = 0; i < 3; ++i) {
        RxReply m;
        bool pausedMeanwhile = false;
        t.rx->submit(
            [&]() -> rxjob::Task<> {
                m = co_await t.rx->aTransact("M");
                pausedMeanwhile = r.paused();
            },
            false);
        t.settle();
        ASSERT_TRUE(m.ok());
        EXPECT_TRUE(m.data.startsWith('M')) << m.data.constData();
        EXPECT_EQ(m.data.size(), 5) << m.data.constData();
        EXPECT_TRUE(pausedMeanwhile);
        // Text comes back once the line is quiet.
        ASSERT_TRUE(waitUntil([&] { return !r.paused(); }));
        ASSERT_TRUE(waitUntil([&] { return sim.radio()->rttyOn(); }));
    }
    r.exit();
    t.rx->submit([&] { return t.rx->aRelease(); }, false);
    t.settle();
    EXPECT_FALSE(sim.radio()->rttyOn());
    EXPECT_EQ(sim.commands().count("X1"), 4);
    EXPECT_EQ(sim.commands().count("X0"), 4);
}

TEST(RxClocks, UtcTextTimerTimesTheClockReplyAndItsRead)
{
    const QDateTime lt(QDate(2026, 12, 5), QTime(12, 30, 15));
    const struct { double diff; const char *utc; } cases[] = {
        {1, "11:30:15"}, {5.5, "07:00:15"}, {0, "12:30:15"}, {-3, "15:30:15"}, {13, "23:30:15"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(rxclocks::utcText(lt, c.diff), c.utc) << c.diff;
    EXPECT_EQ(rxclocks::ltText(lt), "12:30:15");
    EXPECT_EQ(rxclocks::hhmmss("07:00:15"), "070015");

    for (const char *good : {"0000", "2359", "1230", "0059"})
        EXPECT_TRUE(rxclocks::validTimerText(good)) << good;
    for (const char *bad : {"2400", "0960", "930", "", "12345", "ab12", "12:3", " 930"})
        EXPECT_FALSE(rxclocks::validTimerText(bad)) << bad;
    EXPECT_EQ(rxclocks::timerInputError(true), "RX Timer-On input error\nUse hhmm from 0000 to 2359");

    EXPECT_EQ(rxclocks::clockFromReply("R123456\r"), QString("12:34"));
    EXPECT_EQ(rxclocks::clockFromReply("R000000\r"), QString("00:00"));
    for (const QByteArray &bad : {QByteArray("R2a3456\r"), QByteArray("R256000\r"),
                                 QByteArray("R126000\r"), QByteArray("R12")})
        EXPECT_FALSE(rxclocks::clockFromReply(bad)) << bad.constData();

    // The clock read inside the remote bracket.
    TestApp t;
    QByteArray reply = "R214500\r";
    t.port.responder = [&](const QByteArray &c) { return c == "R0" ? reply : QByteArray(); };
    auto readClock = [&] {
        std::optional<QString> out;
        t.rx->submit([&]() -> rxjob::Task<> { out = co_await rxclocks::aReadClock(t.app); });
        t.settle();
        return out;
    };
    EXPECT_EQ(readClock(), QString("21:45"));
    EXPECT_EQ(t.port.trace(), "H1|H1|R0|H0|H0");
    EXPECT_TRUE(t.prompter.asked.isEmpty());

    reply = "R9x4500\r"; // malformed: refused with a message
    EXPECT_FALSE(readClock());
    EXPECT_EQ(t.prompter.lastText(), rxclocks::badClockReplyText());

    reply.clear(); // silent: the receiver message, within the bound
    EXPECT_FALSE(readClock());
    EXPECT_TRUE(t.prompter.lastText().startsWith("The receiver did not answer."));
    EXPECT_EQ(t.prompter.asked.size(), 2);
}
