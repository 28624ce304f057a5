// The status line names what is on the air at the receiver's frequency
// (within half the tuning step, at least 1 kHz) from the converted lists in
// Rx2Db, following the frequency, the step and the minute; a recording
// without a list row is named after it.
#include "a11y.h"
#include "common/textfile.h"
#include "panelfixture.h"
#include "record/recordtest.h"
#include "record/recsession.h"

#include <QDir>
#include <QStatusBar>

namespace {

// A converted line: frequency, time window, station, language, target, days.
QString ftlLine(double khz, const char *time, const char *station, const char *language,
                const char *target, const char *days = "")
{
    QString l = QString::number(khz, 'f', 2).rightJustified(8, '0') + ' ' + time + ' ' +
                QString(station).leftJustified(22) + ' ' + QString(target).leftJustified(8) + ' ' +
                QString(language).leftJustified(17) + ' ' + QString(20, ' ') + ' ' + "000100000" + ' ' +
                QString("Aurelia").leftJustified(12);
    if (*days)
        l += ' ' + QString(days).leftJustified(7);
    return l;
}

struct OnAirPanel : PanelTest {
    void SetUp() override
    {
        QString err;
        // The clock: Saturday 5 Dec 2026, 12:00 UTC.
        ASSERT_TRUE(textfile::writeLines(
            t.base() + "Rx2Db/TEST.ftl",
            {ftlLine(9580, "1000-1200", "Radio Aurelia", "English", "EU"),
             ftlLine(9583, "1201-1300", "Kestrel World Radio", "French", "AF"),
             ftlLine(9600, "1100-1300", "Maple Shore Radio", "English", "NA", "7")},
            &err));
        t.app.settings.setNoRx(true);
        make();
    }
    QLabel *line() { return get<QLabel>("lbl_onair"); }
};

} // namespace

TEST_F(OnAirPanel, StatusLineFollowsFrequencyStepAndMinute)
{
    QLabel *tuned = get<QLabel>("lbl_tuned");
    const struct {
        int r, c;       // the step's cell of grd_CS
        qint64 hz;
        int minute;     // UTC 12:mm
        const char *text;
    } cases[] = {
        {2, 2, 9580000, 0, "9580 kHz now: Radio Aurelia, English, to EU, 1000-1200"},
        {2, 2, 9582400, 0, "9580 kHz now: Radio Aurelia, English, to EU, 1000-1200"}, // 5 kHz: 2.5
        {2, 2, 9582600, 0, ""},
        {3, 1, 9581000, 0, "9580 kHz now: Radio Aurelia, English, to EU, 1000-1200"}, // 1 kHz: 1
        {3, 1, 9581500, 0, ""},
        {0, 0, 9581000, 0, "9580 kHz now: Radio Aurelia, English, to EU, 1000-1200"}, // 1 Hz: 1 kHz
        {0, 3, 9600000, 0, ""}, // Sundays only
        {2, 2, 9582000, 1, "9583 kHz now: Kestrel World Radio, French, to AF, 1201-1300"},
        {0, 3, 9580000, 1, "9583 kHz now: Kestrel World Radio, French, to AF, 1201-1300"}, // 10 kHz: 5
        {0, 0, 9580000, 1, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(QString("%1 Hz at 12:%2, step %3").arg(c.hz).arg(c.minute).arg(c.c).toStdString());
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, c.minute));
        w->showtime();
        click("grd_CS", c.r, c.c);
        at(c.hz);
        EXPECT_EQ(w->onAirText(), c.text);
        EXPECT_EQ(line()->text(), c.text);
        // Nothing on the air: the status line as before (no text of its own).
        EXPECT_EQ(line()->isVisibleTo(w.get()), *c.text != 0);
        EXPECT_FALSE(tuned->isVisibleTo(w.get()));
        EXPECT_EQ(a11y::name(line()), line()->text());
    }
    if (const QString d = qEnvironmentVariable("VOR_SCREENSHOT"); !d.isEmpty()) {
        t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 0)); w->showtime(); click("grd_CS", 2, 2); at(9580000);
        QTest::qWait(300); w->grab().save(d + "/shot-panel-onair.png");
    }
    // The minute alone brings the change.
    click("grd_CS", 2, 2);
    at(9582000);
    t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 0));
    w->showtime();
    EXPECT_TRUE(w->onAirText().startsWith("9580 kHz now: Radio Aurelia"));
    t.clock.t = QDateTime(QDate(2026, 12, 5), QTime(12, 1));
    w->showtime();
    EXPECT_TRUE(w->onAirText().startsWith("9583 kHz now: Kestrel World Radio"));
}

// No list row tuned from: the recording takes the station on the air there.
TEST_F(OnAirPanel, RecordingNamedAfterTheStationOnTheAir)
{
    RecSession rec(t.app);
    rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true); });
    t.app.rec = &rec;
    w.reset();
    make(); // the panel offers the station to the recordings it meets
    at(9580000);
    QString err;
    ASSERT_TRUE(rec.start({9580, "AM", "Wide", "", "Rec button"}, &err)) << err.toStdString();
    rec.stop();
    EXPECT_EQ(QDir(rec.folder()).entryList({"*.flac"}, QDir::Files),
              QStringList{"20261205_1200Z_9580_AM_Radio_Aurelia.flac"});
    w.reset();
    t.app.rec = nullptr;
}
