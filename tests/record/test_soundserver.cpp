// Against a real sound server: a private pulseaudio with a 1 kHz sine input.
#include "record/audiosource.h"
#include "record/recorder.h"
#include "recordtest.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(SoundServer, ListsItsInputsAndLosingItClosesTheFile)
{
    PrivateSoundServer server;
    if (!server.ok())
        GTEST_SKIP() << server.why().toStdString();

    std::vector<audioinput::SourceInfo> list;
    QString err;
    ASSERT_TRUE(audioinput::listSources(&list, &err, 20000)) << err.toStdString();
    ASSERT_GE(list.size(), 2u);
    EXPECT_EQ(list[0].name, "default");
    EXPECT_EQ(list[1].name, "sine_input");

    // vorantis-cli records its sine (tests/tools); here the input goes
    // away mid-recording (its module unloaded, as a USB sound card pulled
    // out): the file is closed and plays up to that moment, with a message.
    QTemporaryDir dir;
    Recorder r;
    QSignalSpy ended(&r, &Recorder::ended);
    Recorder::Options o;
    const QString lost = dir.filePath("lost.wav");
    o.path = lost;
    o.format = recfiles::Format::Wav;
    ASSERT_TRUE(r.start(std::make_unique<PulseSource>("sine_input"), o, &err)) << err.toStdString();
    while (r.frames() < 4800 && r.running())
        QThread::msleep(20);
    ASSERT_TRUE(server.unloadSine(&err)) << err.toStdString();
    ASSERT_TRUE(ended.wait(60000));
    const QString why = ended.first().first().toString();
    EXPECT_TRUE(why.startsWith("Recording stopped: the sound input sine_input was lost")) << why.toStdString();
    EXPECT_TRUE(why.contains(QDir::toNativeSeparators(lost))) << why.toStdString();
    const Heard h = hear(lost);
    EXPECT_GE(h.frames, 4800);
    EXPECT_EQ(h.frames, r.frames());
    EXPECT_NEAR(h.hz, 1000, 20);
}
