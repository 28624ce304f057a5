// Update in the Db2Rx window and the weekly look at start, against a local
// server: fetched and imported, unchanged, missing, cancelled; a notice
// (never a box that waits) when a newer season's file is out.
#include "app/startup.h"
#include "httpkit.h"
#include "schedules/ui/db2rx.h"
#include "sim/simwait.h"
#include "uikit.h"

#include <QDir>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

const QByteArray kSked = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;Stop:60;\n"
                         "9650;1200-1300;;D;New Valley Radio;G;Eu;Nauen;1;;\n"
                         "11700;1300-1400;;F;Ocean Voice;F;WAf;Issoudun;1;;\n";

struct SkedUpdate : WindowTest {
    TestHttp http{{
        {"/dx/sked-b26.csv", HttpRoute::ok(kSked).tag("\"b26-1\"")},
        {"/slow/sked-b26.csv", HttpRoute::ok(kSked.left(20)).length(100000).hanging()},
    }};
    void SetUp() override { t.app.cap = Captions::build(t.app.settings); }
};

} // namespace

TEST_F(SkedUpdate, FetchedImportedThenUpToDateMissingAndCancelled)
{
    ILG2Rx w(t.app);
    EXPECT_EQ(w.cmd_sked_update->accessibleName(), "Update");
    const QString ftl = QDir::toNativeSeparators(t.base() + "Rx2Db/sked-b26.ftl");
    const QString url = http.url("/dx/sked-b26.csv");
    auto update = [&](const QString &base) {
        t.app.settings.sked_base = http.url(base);
        const qsizetype before = t.prompter.asked.size();
        w.cmd_sked_update->click();
        EXPECT_TRUE(waitUntil([&] { return !w.updating() && !w.importing(); }, 60000));
        return t.prompter.asked.size() > before ? t.prompter.asked.last() : RecordingPrompter::Asked{};
    };
    // 5 Dec 2026 is in B26.
    RecordingPrompter::Asked a = update("/dx/");
    EXPECT_EQ(a.text, "sked-b26.csv fetched from " + url + " (" + QString::number(kSked.size()) +
                          " bytes).\n2 record(s) imported into " + ftl + ".");
    EXPECT_EQ(w.entries().size(), 2);
    EXPECT_EQ(w.windowTitle(), "ILG Radio Database sked-b26.ftl /  2 records");

    a = update("/dx");
    EXPECT_EQ(a.text, "sked-b26.csv is up to date: the schedule at " + url +
                          " has not changed since it was fetched.");
    EXPECT_EQ(a.title, "Update EiBi");

    a = update("/gone/");
    EXPECT_EQ(a.text, "The schedule could not be fetched from " + http.url("/gone/sked-b26.csv") +
                          ": the server answered 404 Not Found.\nThe lists already there are kept.");
    EXPECT_EQ(a.icon, Prompter::Exclamation);
    EXPECT_EQ(w.entries().size(), 2);

    // Cancel in the progress dialog: nothing said, nothing replaced.
    t.app.settings.sked_base = http.url("/slow/");
    const qsizetype before = t.prompter.asked.size();
    w.cmd_sked_update->click();
    QProgressDialog *p = w.findChild<QProgressDialog *>("prg_sked");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->accessibleName(), "Update EiBi");
    ASSERT_TRUE(waitUntil([&] { return http.requests().last().startsWith("GET /slow/"); }, 60000));
    QPushButton *cancel = p->findChild<QPushButton *>();
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), "Cancel");
    cancel->click();
    ASSERT_TRUE(waitUntil([&] { return !w.updating(); }, 60000));
    EXPECT_EQ(t.prompter.asked.size(), before);
    QFile csv(t.base() + "sked-b26.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll(), kSked);
}

TEST(SkedWeekly, ANoticeWhenANewerSeasonIsOutAtMostOnceAWeek)
{
    TestHttp http({{"/dx/sked-b26.csv", HttpRoute::ok(kSked).tag("\"b26-1\"")}});
    ProgramKit kit;
    auto start = [&](bool weekly) {
        auto p = kit.make({"vorantis", "--port", "sim"});
        p->app().settings.sked_weekly = weekly;
        p->app().settings.sked_base = http.url("/dx/");
        EXPECT_TRUE(goAndWait(*p));
        return p;
    };
    {
        auto off = start(false); // off by default: nothing asked
        QTest::qWait(50);
    }
    EXPECT_TRUE(http.requests().isEmpty());
    auto p = start(true);
    ASSERT_TRUE(waitUntil([&] { return !kit.prompter.asked.isEmpty(); }, 60000));
    const RecordingPrompter::Asked &a = kit.prompter.asked.last();
    EXPECT_TRUE(a.notice);
    EXPECT_EQ(a.title, "Schedule update");
    EXPECT_EQ(a.text, "A newer broadcast schedule is out: sked-b26.csv (" + http.url("/dx/sked-b26.csv") +
                          ").\nUpdate in the Db2Rx window fetches it.");
    EXPECT_EQ(http.requests(), QStringList{"HEAD /dx/sked-b26.csv"});

    // Six days later: no second look.
    kit.clock.t = kit.clock.t.addDays(6);
    auto again = start(true);
    QTest::qWait(50);
    EXPECT_EQ(http.requests().size(), 1);
}
