// Recordings in each format, their failures (a folder that is not there, a
// lost input, a cut WAV file), their names and text files; a real sound
// server (a private pulseaudio with a 1 kHz sine input).
#include "common/filebytes.h"
#include "record/audiosource.h"
#include "record/recfiles.h"
#include "record/recorder.h"
#include "recordtest.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using recfiles::Format;

namespace {

// Records frames (0: no end) of a tone into path, with meanwhile run once
// it started; returns why it ended ("" when whole).
QString record(const QString &path, Format f, long long frames,
               std::unique_ptr<AudioSource> src = std::make_unique<ToneSource>(1000, 0.5),
               const std::function<void(Recorder &)> &meanwhile = {})
{
    Recorder r;
    QSignalSpy ended(&r, &Recorder::ended);
    QString err;
    Recorder::Options o;
    o.path = path;
    o.format = f;
    o.maxFrames = frames;
    if (!r.start(std::move(src), o, &err))
        return QStringLiteral("start: ") + err;
    if (meanwhile)
        meanwhile(r);
    EXPECT_TRUE(!ended.isEmpty() || ended.wait(60000));
    EXPECT_FALSE(r.running());
    EXPECT_EQ(ended.count(), 1);
    return ended.isEmpty() ? QStringLiteral("no end") : ended.first().first().toString();
}

} // namespace

// Each format holds the tone as recorded: its length, rate, level and
// pitch; an input that goes away closes a playable file with a message.
TEST(Recorder, EveryFormatKeepsTheToneAndALostInputLeavesAPlayableFile)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        double levelTol;
        long long lengthTol, lostAfter;
    };
    // Opus is lossy and its encoder delay may shift the end slightly.
    for (const Case &c : {Case{"a.flac", 0.002, 0, 0}, Case{"a.wav", 0.002, 0, 0}, Case{"a.opus", 0.03, 960, 0},
                          Case{"lost.flac", 0.002, 0, 48000}, Case{"lost.wav", 0.002, 0, 48000}}) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        Format f;
        ASSERT_TRUE(recfiles::formatFromPath(path, &f));
        const QString why = record(path, f, c.lostAfter ? 0 : 3 * 48000,
                                   std::make_unique<ToneSource>(1000, 0.5, false, c.lostAfter));
        EXPECT_EQ(why.isEmpty(), !c.lostAfter) << why.toStdString();
        EXPECT_EQ(why.startsWith("Recording stopped: the input tone:1000 is gone"), bool(c.lostAfter));
        EXPECT_EQ(why.contains(QDir::toNativeSeparators(path)), bool(c.lostAfter));
        const Heard h = hear(path, 4800);
        ASSERT_TRUE(h.ok);
        EXPECT_EQ(h.rate, 48000);
        EXPECT_EQ(h.channels, 1);
        EXPECT_NEAR(h.frames, c.lostAfter ? c.lostAfter : 3 * 48000, c.lengthTol);
        EXPECT_NEAR(h.rms, 0.5 / std::sqrt(2.0), c.levelTol);
        EXPECT_NEAR(h.hz, 1000, 2);
    }
}

// (No sound server: the command-line tool's, the panel's and the timer
// run's tests.)
TEST(Recorder, AStartFailureNamesTheFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("no/such/dir/a.flac");
    const QString why = record(path, Format::Flac, 4800);
    EXPECT_TRUE(why.startsWith("start: ") && why.contains(QDir::toNativeSeparators(path))) << why.toStdString();
}

// A WAV file cut off by a kill (header sizes left behind) plays to its end
// once repaired; other files are refused by name.
TEST(Recorder, WavRepairSetsSizesFromTheLength)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cut.wav");
    ASSERT_EQ(record(path, Format::Wav, 48000), QString());
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(4);
        f.write(QByteArray(4, '\0'));
        f.seek(40); // the data size, after a 16-byte fmt chunk
        f.write(QByteArray(4, '\0'));
    }
    EXPECT_LT(hear(path).frames, 48000);
    bool fixed = false;
    QString err;
    EXPECT_TRUE(recfiles::repairWav(path, &fixed, &err)) << err.toStdString();
    EXPECT_TRUE(fixed);
    EXPECT_EQ(hear(path).frames, 48000);
    EXPECT_TRUE(recfiles::repairWav(path, &fixed, &err));
    EXPECT_FALSE(fixed);

    const QString flac = dir.filePath("x.flac");
    ASSERT_EQ(record(flac, Format::Flac, 4800), QString());
    EXPECT_FALSE(recfiles::repairWav(flac, &fixed, &err));
    EXPECT_EQ(err, QDir::toNativeSeparators(flac) + ": not a WAV file");
}

TEST(RecFiles, NamesFromStartFrequencyModeAndStation)
{
    recfiles::Info i;
    i.utcStart = QDateTime(QDate(2026, 12, 5), QTime(3, 7, 59), Qt::UTC);
    struct Case {
        double khz;
        QString mode, station;
        Format f;
        QString name;
    } cases[] = {
        {6070, "AM", "", Format::Flac, "20261205_0307Z_6070_AM.flac"},
        {6070, "AM", " \t ", Format::Flac, "20261205_0307Z_6070_AM.flac"},
        {9420.5, "USB", "Voice of Greece", Format::Opus, "20261205_0307Z_9420.5_USB_Voice_of_Greece.opus"},
        // Path separators, quotes and colons never reach the file system.
        {153, "AM-L", " R/Rom: \"Ant\" ", Format::Wav, "20261205_0307Z_153_AM-L_R-Rom_Ant.wav"},
        {153, "AM", "../../etc/passwd", Format::Flac, "20261205_0307Z_153_AM_etc-passwd.flac"},
        {153, "AM", "a\\b\nc\x01" "d\x7f", Format::Flac, "20261205_0307Z_153_AM_a-b_c-d.flac"},
        {153, "AM", ".hidden.", Format::Flac, "20261205_0307Z_153_AM_hidden.flac"},
        // Letters of any script are kept; the length is bounded, never
        // cutting a character in two.
        {9600, "AM", "Радио Румыния", Format::Flac, "20261205_0307Z_9600_AM_Радио_Румыния.flac"},
        {9600, "AM", QString(60, 'x'), Format::Flac, "20261205_0307Z_9600_AM_" + QString(40, 'x') + ".flac"},
        {9600, "AM", QString(39, 'x') + QString::fromUtf8("\xF0\x9D\x90\x80"), Format::Flac,
         "20261205_0307Z_9600_AM_" + QString(39, 'x') + QString::fromUtf8("\xF0\x9D\x90\x80") + ".flac"},
        {9600, "AM", QString(40, 'x') + QString::fromUtf8("\xF0\x9D\x90\x80"), Format::Flac,
         "20261205_0307Z_9600_AM_" + QString(40, 'x') + ".flac"},
    };
    for (const Case &c : cases) {
        i.khz = c.khz, i.mode = c.mode, i.station = c.station;
        EXPECT_EQ(recfiles::fileName(i, c.f), c.name) << c.station.toStdString();
    }
    i.station = " R/Rom: \"Ant\" ";
    QTemporaryDir dir;
    i.khz = 153, i.mode = "AM-L";
    writeBytes(dir.filePath("20261205_0307Z_153_AM-L_R-Rom_Ant.txt"), {});
    EXPECT_EQ(recfiles::uniquePath(dir.path(), i, Format::Wav),
              dir.filePath("20261205_0307Z_153_AM-L_R-Rom_Ant_2.wav"));

    i.utcEnd = i.utcStart.addSecs(600);
    i.bandwidth = "Wide";
    i.source = "default";
    i.startedBy = "Timer event 2";
    i.station = " R/Rom:\n \"Ant\" ";
    const QString rec = dir.filePath("r.flac");
    QString err;
    ASSERT_TRUE(recfiles::writeInfo(rec, i, &err));
    EXPECT_EQ(QString::fromUtf8(readBytes(dir.filePath("r.txt"))).remove('\r'),
              "Frequency: 153 kHz\nMode: AM-L\nBandwidth: Wide\nStation: R/Rom: \"Ant\"\n"
              "Start: 2026-12-05 03:07:59 UTC\nEnd: 2026-12-05 03:17:59 UTC\nSource: default\n"
              "Started by: Timer event 2\n");
}

// Against a real sound server.
TEST(SoundServer, ListsItsInputsAndLosingItClosesTheFile)
{
    PrivateSoundServer server;
    if (!server.ok())
        GTEST_SKIP() << server.why().toStdString();
    // vorantis-cli lists the inputs and records the sine (tests/tools); here
    // the input goes away mid-recording (its module unloaded, as a USB sound
    // card pulled out): the file is closed and plays up to that moment, with
    // a message.
    QTemporaryDir dir;
    const QString lost = dir.filePath("lost.wav");
    long long frames = 0;
    const QString why = record(lost, Format::Wav, 0, std::make_unique<PulseSource>("sine_input"), [&](Recorder &r) {
        while (r.frames() < 4800 && r.running())
            QThread::msleep(20);
        QString err;
        EXPECT_TRUE(server.unloadSine(&err)) << err.toStdString();
        EXPECT_TRUE(QTest::qWaitFor([&] { return !r.running(); }, 60000));
        frames = r.frames();
    });
    EXPECT_TRUE(why.startsWith("Recording stopped: the sound input sine_input was lost")) << why.toStdString();
    EXPECT_TRUE(why.contains(QDir::toNativeSeparators(lost))) << why.toStdString();
    const Heard h = hear(lost);
    EXPECT_GE(h.frames, 4800);
    EXPECT_EQ(h.frames, frames);
    EXPECT_NEAR(h.hz, 1000, 20);
}
