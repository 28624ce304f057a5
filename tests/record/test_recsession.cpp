// The program's recordings: the station in the name comes from the request
// (a timer event) or from the list or log row last tuned from, as long as
// the receiver has shown no other frequency since.
#include "link/receiver2.h"
#include "record/recsession.h"
#include "testkit.h"

#include <QDir>
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
    const QString stem = "20261205_1200Z_";
    const Case cases[] = {
        {"same frequency", "", [](TestApp &) {}, 9500, stem + "9500_AM_Radio_Romania.flac"},
        {"the same frequency shown again", "", [](TestApp &t) { t.rx->frequency_fanout("9500.000"); },
         9500, stem + "9500_AM_Radio_Romania.flac"},
        {"another frequency asked", "", [](TestApp &) {}, 9510, stem + "9510_AM.flac"},
        {"tuned away and back", "",
         [](TestApp &t) {
             t.rx->frequency_fanout("9510.000");
             t.rx->frequency_fanout("9500.000");
         },
         9500, stem + "9500_AM.flac"},
        {"the receiver's own dial moved", "",
         [](TestApp &t) { emit t.rx->dialFrequency("9505.000", 9505); }, 9500, stem + "9500_AM.flac"},
        {"the event's own station", "Timer station", [](TestApp &) {}, 9500,
         stem + "9500_AM_Timer_station.flac"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TestApp t;
        RecSession rec(t.app);
        rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(); });
        rec.tunedFrom(9500, "  Radio   Romania ");
        EXPECT_EQ(rec.stationAt(9500.0004), "Radio Romania");
        c.between(t);
        RecSession::Request r;
        r.khz = c.khz;
        r.mode = "AM";
        r.station = c.requestStation;
        QString err;
        ASSERT_TRUE(rec.start(r, &err)) << err.toStdString();
        rec.stop();
        EXPECT_EQ(QFileInfo(rec.path()).fileName(), c.name);
    }
}
