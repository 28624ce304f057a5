// vorantis-cli end to end: against nrd535-sim on a pseudo-terminal (the real
// serial-port code) and against the built-in simulated receiver.
#include "memory/mem2.h"
#include "e2e/ui/simtool.h"
#include "sim/simwait.h"
#include "tools/clirun.h"
#include "testkit.h"
#include "common/filebytes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString cliPath() { return QStringLiteral(VOR_BINARY_DIR "/vorantis-cli"); }
QString simPath() { return QStringLiteral(VOR_BINARY_DIR "/nrd535-sim"); }

mem2::MemTable load(const QString &path)
{
    mem2::MemTable t;
    EXPECT_TRUE(mem2::readMemFile(path, t, nullptr, nullptr)) << path.toStdString();
    return t;
}

bool built()
{
    return QFileInfo::exists(cliPath()) && QFileInfo::exists(simPath());
}

} // namespace

TEST(VorantisCli, HelpAndEveryKindOfBadCommandLine)
{
    if (!built())
        GTEST_SKIP() << "vorantis-cli or nrd535-sim not built";
    const CliRun help = cli({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains("mem write FILE [FROM TO]"));
    EXPECT_TRUE(help.out.contains("Exit codes"));

    const struct {
        QStringList args;
        int code;
        const char *says;
    } cases[] = {
        {{}, 2, "no command"},
        {{"state"}, 2, "--port"},
        {{"--port", "sim", "frobnicate"}, 2, "unknown command"},
        {{"--port", "sim", "--speed", "9600", "state"}, 2, "unknown option"},
        {{"--port", "sim", "tune", "5"}, 2, "not a frequency"},
        {{"--port", "sim", "tune", "30000"}, 2, "not a frequency"},
        {{"--port", "sim", "tune", "6175", "SSB"}, 2, "not a mode"},
        {{"--port", "sim", "mem", "write", "f.txt", "10"}, 2, "FROM TO"},
        {{"--port", "sim", "mem", "write", "f.txt", "0", "200"}, 2, "channels from 0 to 199"},
        {{"--port", "sim", "mem", "copy", "f.txt"}, 2, "read or write"},
        {{"--port", "/dev/vorantis-no-such-port", "state"}, 3, "cannot open the port"},
        {{"ilg", "dir"}, 2, "sw or mw"},
        {{"ilg", "dir", "lw"}, 2, "sw or mw"},
        {{"eibi"}, 2, "eibi needs CSV"},
        {{"ilg", "/vorantis/no/such/dir", "sw"}, 5, "holds no ILGSDATA.dbf"},
        {{"eibi", "/vorantis/no/such.csv"}, 5, "such.csv"},
    };
    for (const auto &c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
}

// Over a pseudo-terminal by a relative path ("rx" in the working folder):
// a tune; a read-out whose target is lost part-way, kept in the temporary
// folder; Ctrl+C part-way through a read-out and SIGTERM part-way through a
// write, each stopped after its channel and saying how far it got. Every run
// ends with the receiver released and the port's lock file gone.
TEST(VorantisCli, OverAPseudoTerminalByARelativePathWithSignalsPartWay)
{
    if (!built())
        GTEST_SKIP() << "vorantis-cli or nrd535-sim not built";
    QTemporaryDir dir;
    SimTool sim({"--link", dir.filePath("rx")});
    const QString lock = "/var/lock/LCK.." + dir.filePath("rx").replace('/', '_'); // Qt's, for that path
    QStringList sent; // the commands of the last run
    // Once the receiver has seen the command partWay, stop(p) runs; a
    // read-out waits for its reply meanwhile (the receiver is frozen).
    auto run = [&](const QString &args, const QString &partWay = {}, std::function<void(QProcess &)> stop = {}) {
        const qsizetype before = sim.commands().size();
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(cliPath(), QStringList{"--port", "rx", "--timeout", "60000"} + args.split(' '));
        EXPECT_TRUE(!stop || waitUntil([&] { return sim.commands().mid(before).contains(partWay); }, 60000));
        if (stop && p.processId() > 0) {
            EXPECT_TRUE(QFile::exists(lock)) << qPrintable(args);
            ::kill(sim.proc.processId(), args.startsWith("mem read") ? SIGSTOP : 0);
            stop(p);
            ::kill(sim.proc.processId(), args.startsWith("mem read") ? SIGCONT : 0);
        }
        p.waitForFinished(180000);
        const CliRun r{p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
        // The receiver takes the commands at the line's pace, after the tool.
        EXPECT_TRUE(waitUntil([&] { return (sent = sim.commands().mid(before)).mid(sent.size() - 2) == QStringList{"H0", "H0"}; }, 30000))
            << qPrintable(args + ": " + sent.join(' '));
        EXPECT_FALSE(QFile::exists(lock)) << qPrintable(args);
        return r;
    };

    CliRun r = run("tune 6175 USB");
    ASSERT_EQ(r.code, 0) << r.err.toStdString();

    // The target's folder turned into a file during the read-out.
    r = run("mem read sub/MEM_A.TXT", "L050050", [&](QProcess &) {
        if (QDir(dir.filePath("sub")).removeRecursively())
            writeBytes(dir.filePath("sub"), "x");
    });
    EXPECT_EQ(r.code, 5);
    const QString a = QRegularExpression(R"(The channels read are kept in (\S+))").match(r.err).captured(1);
    ASSERT_TRUE(a.startsWith(QDir::temp().filePath("MEM_"))) << r.err.toStdString();
    const auto removed = qScopeGuard([&] { QFile::remove(a); });
    mem2::MemTable ta = load(a);
    EXPECT_EQ(ta.rec[199].mid(4), "002061750000"); // the working settings: 6175 kHz USB

    // Ctrl+C: no channel is asked for after the last one read ("L" and the
    // channel twice: 1001 times it in six digits).
    r = run("mem read MEM_C.TXT", "L050050", [](QProcess &p) { ::kill(p.processId(), SIGINT); });
    EXPECT_EQ(r.code, 7);
    QRegularExpressionMatch m =
        QRegularExpression(R"(Stopped by signal \(SIGINT\) after (\d+) of 200 channels read; MEM_C.TXT not written)").match(r.err);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(r.err);
    EXPECT_EQ(sent.filter(QRegularExpression("^L\\d{6}$")).last(),
              QString("L%1").arg((m.captured(1).toInt() - 1) * 1001, 6, 10, QChar('0')));

    // Channel 9 changed in the file, written back from channel 8 on, and
    // SIGTERM once it is sent: the channels sent from 008 on, as many as said,
    // the last the one named. A machine too busy to send the signal part-way
    // sees the write end first: again.
    ta.rec[9] = "L009014071505001";
    QString err;
    ASSERT_TRUE(mem2::writeMemFile(a, ta, &err));
    for (int i = 0; i < 3 && (i == 0 || r.code == 0); ++i)
        r = run("mem write " + a + " 8 199", "K009014071505001", [](QProcess &p) { ::kill(p.processId(), SIGTERM); });
    EXPECT_EQ(r.code, 7);
    m = QRegularExpression(R"(Stopped by signal \(SIGTERM\) after channel (\d+): (\d+) of 192 written)").match(r.err);
    ASSERT_TRUE(m.hasMatch()) << qPrintable(r.err);
    const QStringList writes = sent.filter(QRegularExpression("^(K|U5)\\d{3}"));
    EXPECT_EQ(writes.size(), m.captured(2).toInt());
    EXPECT_TRUE(writes.first().contains(QRegularExpression("^(K|U5)008")) && writes.at(1) == "K009014071505001" &&
                writes.last().contains(QRegularExpression("^(K|U5)" + m.captured(1))))
        << qPrintable(writes.join(' '));
    // The simulator, taken again by each run, ends cleanly when told to.
    sim.stop();
    EXPECT_EQ(sim.proc.exitStatus(), QProcess::NormalExit);
}

TEST(VorantisCli, BuiltInSimulatorSilentReceiverAndBadFiles)
{
    if (!built())
        GTEST_SKIP() << "vorantis-cli or nrd535-sim not built";
    QTemporaryDir dir;
    const QStringList sim{"--port", "sim", "--timeout", "5000"};
    CliRun r = cli(sim + QStringList{"state"});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("frequency  9500.000 kHz"));
    EXPECT_TRUE(r.out.contains("mode       AM"));

    // Files that cannot be used: nothing is sent.
    const QString bad = dir.filePath("MEM_BAD.TXT");
    writeBytes(bad, "L000004095000000\r\nL001V my note\r\nL002007abc\r\nL003004999999990\r\n");
    r = cli(sim + QStringList{"mem", "write", bad, "0", "3"}); // as the window's fill: the others go
    EXPECT_EQ(r.code, 6);
    EXPECT_TRUE(r.err.contains("2 channels hold records")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("channel 003: frequency 99999.999 kHz is outside 10.000 to 29999.999 kHz; not sent"));
    EXPECT_TRUE(r.out.contains("1 stored, 0 emptied, 3 not sent")) << r.out.toStdString();
    r = cli(sim + QStringList{"mem", "write", bad, "0", "0"}); // the good part alone
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    r = cli(sim + QStringList{"mem", "write", bad});
    EXPECT_EQ(r.code, 5); // four lines: channels 4-199 missing
    EXPECT_TRUE(r.err.contains("missing")) << r.err.toStdString();
    r = cli(sim + QStringList{"mem", "write", dir.filePath("MEM_NONE.TXT")});
    EXPECT_EQ(r.code, 5);
    EXPECT_TRUE(r.err.contains("MEM_NONE.TXT"));

    // A receiver that never answers.
    SimTool silent({"--silent"});
    ASSERT_FALSE(silent.device.isEmpty());
    r = cli({"--port", silent.device, "--timeout", "300", "state"});
    EXPECT_EQ(r.code, 4);
    EXPECT_TRUE(r.err.contains("did not answer")) << r.err.toStdString();
    const QString none = dir.filePath("MEM_SILENT.TXT");
    r = cli({"--port", silent.device, "--timeout", "300", "mem", "read", none});
    EXPECT_EQ(r.code, 4);
    EXPECT_FALSE(QFile::exists(none));
    // A target that cannot be written is found before any read-out (the
    // silent receiver would give 4).
    for (const QString &target : {QStringLiteral("/proc/vorantis/MEM_X.TXT"), dir.path()}) {
        r = cli({"--port", silent.device, "--timeout", "300", "mem", "read", target});
        EXPECT_EQ(r.code, 5) << qPrintable(target) << qPrintable(r.err);
        EXPECT_TRUE(r.err.contains("nothing was read")) << qPrintable(r.err);
    }

    // Garbled replies are never a success: exit 4 and a message, no
    // "unknown" or "code -1" on standard output.
    SimTool garbled({"--garble"});
    ASSERT_FALSE(garbled.device.isEmpty());
    for (const QStringList &cmd : {QStringList{"state"}, QStringList{"tune", "6175", "USB"},
                                   QStringList{"mem", "read", none}}) {
        r = cli(QStringList{"--port", garbled.device, "--timeout", "2000"} + cmd);
        EXPECT_EQ(r.code, 4) << qPrintable(cmd.join(' ')) << qPrintable(r.out);
        EXPECT_TRUE(r.err.contains("could not be read")) << qPrintable(r.err);
        EXPECT_FALSE(r.out.contains("unknown") || r.out.contains("code -1")) << qPrintable(r.out);
    }
}

TEST(VorantisCli, ScheduleConversionsWithoutAReceiver)
{
    if (!built())
        GTEST_SKIP() << "vorantis-cli or nrd535-sim not built";
    QTemporaryDir dir;
    // The table converted as the ILG window converts it: the committed list.
    const QString sw = dir.filePath("sw.ftl");
    CliRun r = cli({"ilg", sourcePath("data/demo/ILG"), "sw", sw});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("400 records converted into")) << r.out.toStdString();
    EXPECT_EQ(readBytes(sw), readBytes(sourcePath("data/demo/Rx2Db/ILGSDATA.ftl")));

    const QString ftl = dir.filePath("sked.ftl");
    r = cli({"eibi", sourcePath("data/demo/EIBI/sked-demo.csv"), ftl});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("66 record(s) imported into")) << r.out.toStdString();

    // Malformed lines: the good ones are written, the rest counted, exit 6.
    writeBytes(dir.filePath("bad.csv"), "6175;0000-0100;;CAN;Maple Shore Radio;E;NAm\r\n6x75;0000-0100;;CAN;A;E;NAm\r\n"
                                        "6175;0000-2500;;CAN;A;E;NAm\r\n");
    r = cli({"eibi", dir.filePath("bad.csv"), ftl});
    EXPECT_EQ(r.code, 6);
    EXPECT_TRUE(r.out.startsWith("1 record(s) imported")) << r.out.toStdString();
    EXPECT_TRUE(r.err.contains("2 line(s) skipped")) << r.err.toStdString();
}
