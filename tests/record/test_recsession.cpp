// The program's recordings: the station in the name comes from the request
// (a timer event) or from the list or log row last tuned from, as long as
// the receiver has shown no other frequency since.
#include "common/filebytes.h"
#include "link/receiver2.h"
#include "record/recordtest.h"
#include "record/recsession.h"
#include "testkit.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(RecSession, StationOfTheRowTunedFromWhileTheFrequencyStays)
{
    struct Case {
        const char *what;
        QString requestStation;
        std::function<void(TestApp &)> between; // after the row was tuned
        double khz;
        QString name;
    };
    // The receiver's own dial report, as it sends it unasked.
    const auto report = [](const char *hz8) {
        return [hz8](TestApp &t) {
            t.setReportsOn(true);
            t.port.inject(QByteArray("I0") + hz8 + "1\r");
        };
    };
    const QString stem = "20261205_1200Z_";
    const QString named = stem + "9505_AM_Radio_Romania.flac";
    const Case cases[] = {
        {"same frequency", "", [](TestApp &) {}, 9505, named},
        {"a dial report of the same frequency", "", report("09505000"), 9505, named},
        {"a state read of the same frequency", "", [](TestApp &t) { t.rx->apply_state("X004095050001"); },
         9505, named},
        {"another frequency asked", "", [](TestApp &) {}, 9510, stem + "9510_AM.flac"},
        {"tuned away and back", "",
         [](TestApp &t) {
             t.rx->tune(9510000, Origin::Panel);
             t.rx->tune(9505000, Origin::Panel);
         },
         9505, stem + "9505_AM.flac"},
        {"a dial report of another frequency", "", report("09506000"), 9505, stem + "9505_AM.flac"},
        {"the event's own station", "Timer station", [](TestApp &) {}, 9505,
         stem + "9505_AM_Timer_station.flac"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        RecSession rec(t.app);
        rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(); });
        t.rx->tune({9505000, Origin::Bdxc, "", "0041", "  Radio   Romania "});
        t.settle();
        EXPECT_EQ(rec.stationAt(9505000), "Radio Romania");
        c.between(t);
        QString err;
        ASSERT_TRUE(rec.start({c.khz, "AM", {}, c.requestStation, {}}, &err)) << err.toStdString();
        rec.stop();
        EXPECT_EQ(QFileInfo(rec.path()).fileName(), c.name);
    }
}

// A small disk: the user is warned before the recording starts; when it is
// full the recording stops with the file and the reason, what was written
// plays (a WAV file too, its sizes set), the text file beside it has its
// end, and nothing else is touched.
TEST(RecSession, LowSpaceWarnsAndAFullDiskStopsWithoutTouchingOtherFiles)
{
    const QByteArray old(3000, 'x');
    for (const char *format : {"flac", "wav"}) {
        SCOPED_TRACE(format);
        TestApp t;
        SmallTmpfs fs(t.dir.filePath("small"));
        if (!fs.ok())
            GTEST_SKIP() << fs.why().toStdString();
        t.app.settings.base_dir = fs.path + "/";
        t.app.settings.rec_format = format;
        const QString rec = fs.path + "/REC/";
        ASSERT_TRUE(QDir().mkpath(rec));
        writeBytes(rec + "old.flac", old);
        RecSession s(t.app);
        s.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5); });
        QSignalSpy stopped(&s, &RecSession::stopped);
        QString err, warning;
        ASSERT_TRUE(s.start({6070, "AM", {}, "Radio Test", {}}, &err, &warning)) << err.toStdString();
        EXPECT_EQ(warning, "Only 0 MB are free for recordings in " + QDir::toNativeSeparators(rec) + ".");
        ASSERT_TRUE(stopped.wait(60000));
        const QString path = stopped.first().at(0).toString();
        const QString why = stopped.first().at(1).toString();
        EXPECT_EQ(path, rec + "20261205_1200Z_6070_AM_Radio_Test." + format);
        EXPECT_TRUE(why.startsWith("Recording stopped: " + QDir::toNativeSeparators(path) + " could not be written"))
            << why.toStdString();
        EXPECT_TRUE(why.contains("space", Qt::CaseInsensitive)) << why.toStdString();
        const Heard h = hear(path);
        EXPECT_GT(h.frames, 4800);
        EXPECT_NEAR(h.hz, 1000, 2);
        EXPECT_EQ(readBytes(rec + "old.flac"), old);
        EXPECT_TRUE(readBytes(recfiles::infoPath(path)).contains("Station: Radio Test\r\nStart: 2026-12-05 12:00:00 UTC"));
        EXPECT_EQ(QDir(rec).entryList(QDir::Files).size(), 3);
    }
}
