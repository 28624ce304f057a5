// The schedule update: the season's file name, the weekly stamp, and the
// download against a local server for every way it can end.
#include "schedules/skedfetch.h"

#include "httpkit.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {

const QByteArray kOld = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;Stop:60;\r\n"
                        "6175;0600-0700;Mo-Fr;CAN;Old Shore Radio;E;NAm;Sackville;1;;\r\n";
const QByteArray kNew = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;Stop:60;\n"
                        "9650;1200-1300;;D;New Valley Radio;G;Eu;Nauen;1;;\n"
                        "11700;1300-1400;;F;Ocean Voice;F;WAf;Issoudun;1;;\n";

QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
}

void put(const QString &path, const QByteArray &b)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(b);
}

} // namespace

TEST(SkedSeason, FileNamesAcrossTheSeasonBoundariesAndTheWeeklyStamp)
{
    const struct {
        QDate day;
        const char *file;
    } cases[] = {
        {{2026, 3, 28}, "sked-b25.csv"},  // the day before the last Sunday of March
        {{2026, 3, 29}, "sked-a26.csv"},  // the last Sunday of March
        {{2026, 10, 24}, "sked-a26.csv"}, // the day before the last Sunday of October
        {{2026, 10, 25}, "sked-b26.csv"}, // the last Sunday of October
        {{2026, 12, 31}, "sked-b26.csv"},
        {{2027, 1, 1}, "sked-b26.csv"},   // B spans the new year
        {{2027, 3, 27}, "sked-b26.csv"},
        {{2027, 3, 28}, "sked-a27.csv"},
        {{2024, 3, 30}, "sked-b23.csv"},  // March 2024 ends on a Sunday
        {{2024, 3, 31}, "sked-a24.csv"},
        {{2000, 1, 1}, "sked-b99.csv"},
        {{2009, 10, 25}, "sked-b09.csv"}, // two digits, leading zero
    };
    for (const auto &c : cases)
        EXPECT_EQ(sked::seasonFile(c.day), c.file) << c.day.toString(Qt::ISODate).toStdString();
    EXPECT_EQ(sked::fileUrl("http://h/dx", "sked-b26.csv").toString(), "http://h/dx/sked-b26.csv");
    EXPECT_EQ(sked::fileUrl("http://h/dx/", "sked-b26.csv").toString(), "http://h/dx/sked-b26.csv");

    QTemporaryDir dir;
    const QString base = dir.path() + '/';
    const QDateTime t(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
    EXPECT_TRUE(sked::weeklyDue(base, t)); // never checked
    sked::markChecked(base, t);
    const struct {
        QDateTime at;
        bool due;
    } stamp[] = {{t.addDays(7).addSecs(-60), false}, {t.addDays(7), true}, {t.addDays(-1), true}};
    for (const auto &s : stamp)
        EXPECT_EQ(sked::weeklyDue(base, s.at), s.due) << s.at.toString(Qt::ISODate).toStdString();
}

TEST(SkedFetch, EveryWayADownloadEndsAndTheOldListStays)
{
    TestHttp http({
        {"/sked-b26.csv", HttpRoute::ok(kNew).tag("\"v2\"")},
        {"/same.csv", HttpRoute::ok(kNew).tag("\"v1\"")},
        {"/short.csv", HttpRoute::ok(kNew.left(40)).length(5000)},
        {"/page.csv", HttpRoute::ok("<html><body>Moved to a new site</body></html>\n")},
        {"/header.csv", HttpRoute::ok(kNew.left(kNew.indexOf('\n') + 1))},
        {"/broken.csv", HttpRoute::answer(500, "Internal Server Error", "oops")},
        {"/loop.csv", HttpRoute::answer(302, "Found").to("/loop.csv")},
        {"/slow.csv", HttpRoute::ok(kNew.left(30)).length(100000).hanging()},
        {"/silent.csv", HttpRoute::ok({}).length(100000).hanging()},
    });
    quint16 closedPort = 0;
    {
        QTcpServer gone;
        gone.listen(QHostAddress::LocalHost, 0);
        closedPort = gone.serverPort();
    }
    enum Mode { Get, Head };
    const QString gonePath = QStringLiteral("http://127.0.0.1:%1/sked-b26.csv").arg(closedPort);
    const struct {
        const char *name;
        Mode mode;
        QString url;
        bool haveOld;       // an old CSV (and its list) are there
        const char *oldTag; // its side file's ETag ("" = no side file)
        SkedFetch::Outcome outcome;
        const char *says;
        bool replaced;
    } cases[] = {
        {"new file", Get, http.url("/sked-b26.csv"), true, "", SkedFetch::Outcome::Fetched, "fetched from", true},
        {"first fetch", Get, http.url("/sked-b26.csv"), false, "", SkedFetch::Outcome::Fetched, "(", true},
        {"304", Get, http.url("/same.csv"), true, "\"v1\"", SkedFetch::Outcome::UpToDate, "is up to date", false},
        {"404", Get, http.url("/none.csv"), true, "", SkedFetch::Outcome::Failed, "the server answered 404 Not Found", false},
        {"500", Get, http.url("/broken.csv"), true, "", SkedFetch::Outcome::Failed, "500 Internal Server Error", false},
        {"truncated", Get, http.url("/short.csv"), true, "", SkedFetch::Outcome::Failed, "broke off after 40 of 5000 bytes", false},
        {"not a schedule", Get, http.url("/page.csv"), true, "", SkedFetch::Outcome::Failed, "not a broadcast schedule", false},
        {"no record", Get, http.url("/header.csv"), true, "", SkedFetch::Outcome::Failed, "holds no broadcast record", false},
        {"redirect loop", Get, http.url("/loop.csv"), true, "", SkedFetch::Outcome::Failed, "more than 5 times (a redirect loop)", false},
        {"offline", Get, gonePath, true, "", SkedFetch::Outcome::Failed, "refused", false},
        {"silent server", Get, http.url("/silent.csv"), true, "", SkedFetch::Outcome::Failed, "sent nothing for 0.5 seconds", false},
        {"cancelled", Get, http.url("/slow.csv"), true, "", SkedFetch::Outcome::Cancelled, "was cancelled", false},
        {"not an address", Get, "sked-b26.csv", true, "", SkedFetch::Outcome::Failed, "it is no web address", false},
        {"check: new season out", Head, http.url("/sked-b26.csv"), false, "", SkedFetch::Outcome::Newer, "A newer broadcast schedule is out", false},
        {"check: unchanged", Head, http.url("/same.csv"), true, "\"v1\"", SkedFetch::Outcome::UpToDate, "is up to date", false},
        {"check: changed", Head, http.url("/same.csv"), true, "\"v0\"", SkedFetch::Outcome::Newer, "is out", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString csv = dir.filePath("sked-b26.csv"), ftl = dir.filePath("sked-b26.ftl");
        if (c.haveOld) {
            put(csv, kOld);
            put(ftl, "the old list\r\n");
            if (*c.oldTag) {
                ASSERT_TRUE(sked::writeValidators(csv, {c.url, c.oldTag, ""}, nullptr));
            }
        }
        SkedFetch f;
        f.silentMs = 500;
        QSignalSpy done(&f, &SkedFetch::finished);
        QSignalSpy progress(&f, &SkedFetch::progress);
        if (c.outcome == SkedFetch::Outcome::Cancelled)
            QObject::connect(&f, &SkedFetch::progress, &f, [&f](qint64 got, qint64) {
                if (got > 0)
                    f.cancel();
            });
        if (c.mode == Get)
            f.fetch(QUrl(c.url), csv);
        else
            f.check(QUrl(c.url), csv);
        ASSERT_TRUE(done.wait(60000));
        EXPECT_EQ(f.outcome(), c.outcome);
        EXPECT_TRUE(f.message().contains(c.says)) << f.message().toStdString();
        if (c.outcome == SkedFetch::Outcome::Failed || c.outcome == SkedFetch::Outcome::Cancelled) {
            EXPECT_TRUE(f.message().contains(c.url)) << f.message().toStdString();
            EXPECT_TRUE(f.message().contains("kept")) << f.message().toStdString();
        }
        EXPECT_EQ(bytesOf(csv), c.replaced ? kNew : c.haveOld ? kOld : QByteArray("(missing)"));
        EXPECT_EQ(bytesOf(ftl), c.haveOld ? QByteArray("the old list\r\n") : QByteArray("(missing)"));
        if (c.replaced) {
            EXPECT_FALSE(progress.isEmpty());
            // The next fetch of the same address asks with the tag it got.
            EXPECT_EQ(sked::validatorsFor(csv, QUrl(c.url)).etag, "\"v2\"");
        }
    }
    EXPECT_TRUE(http.requests().contains("GET /same.csv If-None-Match: \"v1\""));
}
