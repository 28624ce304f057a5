// vorantis-cli record and sources: a test tone, a private sound server, a
// killed recording, and the faults (no server, bad names).
#include "record/recordtest.h"
#include "tools/clirun.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>


TEST(VorantisCliRecord, ToneAndFaultsWithoutASoundServer)
{
    QTemporaryDir dir;
    qputenv("PULSE_SERVER", "unix:/nonexistent/vorantis-test");
    const QString wav = dir.filePath("tone.wav");
    CliRun r = cli({"record", "1.5", wav, "--source", "tone:440"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, wav + ": 1.50 s at 48000 Hz from tone:440\n");
    const Heard h = hear(wav);
    EXPECT_EQ(h.frames, 72000);
    EXPECT_NEAR(h.hz, 440, 1);

    struct Case {
        QStringList args;
        int code;
        QString err;
    } cases[] = {
        {{"sources"}, 3, "vorantis-cli: No sound server answered"},
        {{"record", "2", dir.filePath("a.flac")}, 3, "vorantis-cli: The sound input default could not be opened"},
        {{"record", "2", dir.filePath("a.mp3")}, 2, "vorantis-cli: " + dir.filePath("a.mp3") + ": the name must end in"},
        {{"record", "0", dir.filePath("a.flac")}, 2, "vorantis-cli: record needs SECONDS"},
        {{"record", "--repair", dir.filePath("none.wav")}, 5, "vorantis-cli: " + dir.filePath("none.wav") + ": "},
        {{"state", "--source", "x", "--port", "sim"}, 2, "vorantis-cli: --source and --repair go with record"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        r = cli(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("a.flac")));
    qunsetenv("PULSE_SERVER");
}

// A recording killed mid-way plays up to its last second: FLAC as it is,
// WAV by its header (brought up to date every second) and all of it after
// --repair.
TEST(VorantisCliRecord, KilledRecordingsStayPlayable)
{
    QTemporaryDir dir;
    const QString flac = dir.filePath("killed.flac"), wav = dir.filePath("killed.wav");
    QProcess a, b;
    a.start(QStringLiteral(VOR_BINARY_DIR "/vorantis-cli"), {"record", "600", flac, "--source", "tone"});
    b.start(QStringLiteral(VOR_BINARY_DIR "/vorantis-cli"), {"record", "600", wav, "--source", "tone"});
    ASSERT_TRUE(a.waitForStarted(30000) && b.waitForStarted(30000));
    long long flacSeen = 0;
    for (int i = 0; i < 1200 && (flacSeen < 96000 || QFileInfo(wav).size() < 44 + 2 * 96000 * 2); ++i) {
        QThread::msleep(100);
        flacSeen = hear(flac).frames;
    }
    a.kill();
    b.kill();
    a.waitForFinished(10000);
    b.waitForFinished(10000);
    const Heard f = hear(flac, 4800);
    EXPECT_GE(f.frames, flacSeen);
    EXPECT_NEAR(f.hz, 1000, 2);
    const long long whole = (QFileInfo(wav).size() - 44) / 2;
    const Heard w = hear(wav);
    EXPECT_GE(w.frames, 48000);
    EXPECT_LE(w.frames, whole);
    const CliRun r = cli({"record", "--repair", wav});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(hear(wav).frames, whole);
}

TEST(VorantisCliRecord, RecordsThreeSecondsOfTheSoundServersSine)
{
    PrivateSoundServer server;
    if (!server.ok())
        GTEST_SKIP() << server.why().toStdString();
    CliRun r = cli({"sources"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("default\t")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("\nsine_input\t")) << r.out.toStdString();
    QTemporaryDir dir;
    const QString flac = dir.filePath("sine.flac");
    r = cli({"record", "3", flac, "--source", "sine_input"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const Heard h = hear(flac, 4800);
    EXPECT_EQ(h.rate, 48000);
    EXPECT_DOUBLE_EQ(h.seconds(), 3.0);
    EXPECT_NEAR(h.hz, 1000, 20); // within 2 %
    std::printf("vorantis-cli record 3 s of the sine: %.3f s, %.2f Hz, peak %.3f\n", h.seconds(), h.hz, h.peak);
}
