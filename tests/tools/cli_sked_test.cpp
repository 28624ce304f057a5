// vorantis-cli eibi --update against a local server: the settings' address
// and folders, an unchanged file not fetched again, a missing one refused.
#include "httpkit.h"
#include "schedules/skedfetch.h"
#include "settings/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(VorantisCli, EibiUpdateFetchesImportsAndSaysWhyNot)
{
    const QString cliPath = QStringLiteral(VOR_BINARY_DIR "/vorantis-cli");
    if (!QFileInfo::exists(cliPath))
        GTEST_SKIP() << "vorantis-cli not built";
    const QString season = sked::seasonFile(QDateTime::currentDateTimeUtc().date());
    const QByteArray body = "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;Stop:60;\n"
                            "9650;1200-1300;;D;New Valley Radio;G;Eu;Nauen;1;;\n";
    TestHttp http({{"/dx/" + season, HttpRoute::ok(body).tag("\"t1\"")}});
    QTemporaryDir dir;
    const QString base = dir.path() + '/';
    Settings s = settingsfile::defaults();
    s.base_dir = base;
    s.sked_base = http.url("/dx/");
    ASSERT_TRUE(settingsfile::saveTo(base + "VRTSV6.INI", &s, nullptr));

    const struct {
        QStringList args;
        int code;
        const char *err; // a part of what stderr says
        const char *out; // a part of what stdout says
    } cases[] = {
        {{}, 0, "fetched from", "1 record(s) imported into"},
        {{}, 0, "is up to date", ""},
        {{http.url("/dx/none.csv")}, 8, "the server answered 404 Not Found", ""},
        {{"a", "b"}, 2, "at most one URL", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.err);
        QProcess p;
        p.setWorkingDirectory(base);
        p.start(cliPath, QStringList{"eibi", "--update"} + c.args);
        ASSERT_TRUE(p.waitForFinished(180000));
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        EXPECT_EQ(p.exitCode(), c.code) << err.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
    }
    EXPECT_TRUE(QFileInfo::exists(base + season));
    EXPECT_TRUE(QFileInfo::exists(base + "Rx2Db/" + QFileInfo(season).completeBaseName() + ".ftl"));
    EXPECT_FALSE(QFileInfo::exists(base + "none.csv"));
}
