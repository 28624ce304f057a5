// The Rec button: a recording of a test tone started and stopped from the
// panel, closed by Exit, and refused without a sound server.
#include "common/filebytes.h"
#include "panelfixture.h"
#include "record/recsession.h"
#include "record/recordtest.h"

#include <QDir>
#include <QProgressBar>
#include <QSignalSpy>

namespace {

struct RecPanel : PanelTest {
    std::unique_ptr<RecSession> rec;
    void SetUp() override
    {
        rec = std::make_unique<RecSession>(t.app);
        rec->setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true); });
        t.app.rec = rec.get();
        t.answerState("004095000001"); // 9500 kHz AM, Wide
        make();
        t.run([&] { return t.rx->aRefreshPanel(Receiver2::Tell::All); });
    }
    void TearDown() override
    {
        w.reset();
        t.app.rec = nullptr;
    }
    QStringList files(const char *pattern)
    {
        return QDir(t.base() + "REC").entryList({pattern}, QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(RecPanel, SecondPressOrClosingStopsAndTheFileIsNamedFromThePanel)
{
    // The receiver was tuned from a list row of this station.
    t.rx->tune({9500000, Origin::Bdxc, "0041", "0041", "Radio Test"});
    press("cmd_rec");
    ASSERT_TRUE(rec->running()) << t.prompter.lastText().toStdString();
    EXPECT_TRUE(get<QPushButton>("cmd_rec")->isChecked());
    // (A wait without a limit that a slow machine would hit.)
    EXPECT_TRUE(QTest::qWaitFor([&] { return get<QProgressBar>("bar_level")->value() != 0; }, 30000));
    // A 0.5 peak is -6 dB: 54 on the -60..0 dB bar.
    EXPECT_EQ(get<QProgressBar>("bar_level")->value(), 54);
    const QString shots = qEnvironmentVariable("VOR_SCREENSHOT");
    if (!shots.isEmpty()) {
        QTest::qWait(1200);
        w->showRecording();
        w->grab().save(shots + "/panel-rec.png");
    }
    press("cmd_rec");
    EXPECT_FALSE(rec->running());
    EXPECT_FALSE(get<QPushButton>("cmd_rec")->isChecked());
    EXPECT_EQ(get<QProgressBar>("bar_level")->value(), 0);
    // (What the files hold: the recorder's and the session's tests.)
    EXPECT_EQ(files("*.flac"), QStringList{"20261205_1200Z_9500_AM_Radio_Test.flac"});
    const QString text = readBytes(t.base() + "REC/20261205_1200Z_9500_AM_Radio_Test.txt");
    EXPECT_TRUE(text.contains("Frequency: 9500 kHz\r\nMode: AM\r\n")) << text.toStdString();
    EXPECT_TRUE(text.contains("Started by: Rec button")) << text.toStdString();
    EXPECT_TRUE(t.prompter.asked.isEmpty());
    // Closing the window (as Exit does) closes a running recording.
    press("cmd_rec");
    ASSERT_TRUE(rec->running());
    w->close();
    EXPECT_FALSE(rec->running());
    EXPECT_EQ(files("*.flac").size(), 2);
}

// No sound server, or the input going away mid-recording (a USB sound card
// pulled out): told (a notice while the panel runs on), the button let go.
// (The files: the recorder's tests.)
TEST_F(RecPanel, AFailingInputIsToldAndLetsGoOfTheButton)
{
    QSignalSpy stopped(rec.get(), &RecSession::stopped);
    for (const bool lost : {false, true}) {
        SCOPED_TRACE(lost ? "input lost" : "no sound server");
        t.prompter.asked.clear();
        if (lost) {
            rec->setSourceFactory(
                [](const QString &) { return std::make_unique<ToneSource>(1000, 0.5, true, 9600); });
        } else {
            rec->setSourceFactory(&audioinput::makeSource);
            qputenv("PULSE_SERVER", "unix:/nonexistent/vorantis-test");
        }
        press("cmd_rec");
        qunsetenv("PULSE_SERVER");
        EXPECT_EQ(rec->running(), lost);
        if (lost)
            ASSERT_TRUE(stopped.wait(60000));
        EXPECT_FALSE(get<QPushButton>("cmd_rec")->isChecked());
        ASSERT_EQ(t.prompter.asked.size(), 1);
        const auto &told = t.prompter.asked.first();
        EXPECT_EQ(told.notice, lost);
        EXPECT_EQ(told.title, "Recording");
        const QString start = lost ? "Recording stopped: the input tone:1000 is gone.\n" +
                                         QDir::toNativeSeparators(stopped.value(0).value(0).toString())
                                   : "The sound input default could not be opened: ";
        EXPECT_TRUE(told.text.startsWith(start)) << told.text.toStdString();
    }
}
