// The nrd535-sim tool on a pseudo-terminal, driven through a real serial port.
#include "e2e/ui/simtool.h"
#include "simwait.h"

#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace {

QString toolPath()
{
    return QStringLiteral(VOR_BINARY_DIR "/nrd535-sim");
}

bool openSerial(QSerialPort &sp, const QString &device)
{
    sp.setPortName(device);
    if (!sp.open(QIODevice::ReadWrite))
        return false;
    sp.setBaudRate(4800);
    sp.setDataBits(QSerialPort::Data8);
    sp.setParity(QSerialPort::NoParity);
    sp.setStopBits(QSerialPort::OneStop);
    sp.setFlowControl(QSerialPort::NoFlowControl);
    return true;
}

// The read-state exchange: H1 twice, J1199, then the 17-character read-out.
QByteArray readState(QSerialPort &sp)
{
    for (const char *c : { "H1\r", "H1\r", "J1199\r" }) {
        sp.write(c);
        sp.flush();
        QTest::qWait(50);
    }
    sp.readAll();
    sp.write("L199199\r");
    QByteArray got;
    waitUntil([&] {
        got += sp.readAll();
        return got.size() >= 17;
    }, 10000);
    return got;
}

} // namespace

TEST(Nrd535SimTool, AnswersOverAPseudoTerminalAndSurvivesReopening)
{
    if (!QFileInfo::exists(toolPath()))
        GTEST_SKIP() << "nrd535-sim not built";
    SimTool tool({ "--empty" });
    ASSERT_TRUE(tool.device.startsWith("/dev/")) << tool.device.toStdString();

    {
        QSerialPort sp;
        ASSERT_TRUE(openSerial(sp, tool.device)) << sp.errorString().toStdString();
        const QByteArray r = readState(sp);
        ASSERT_EQ(r.size(), 17) << r.constData();
        // Power-on settings of the simulated receiver: 9500 kHz AM.
        EXPECT_EQ(r, QByteArray("L199004095000000\r"));
        sp.write("H1\rF06175000\r");
        sp.flush();
        QTest::qWait(100);
    }
    // The program closes the port and opens it again.
    {
        QSerialPort sp;
        ASSERT_TRUE(openSerial(sp, tool.device)) << sp.errorString().toStdString();
        const QByteArray r = readState(sp);
        EXPECT_EQ(r, QByteArray("L199004061750000\r"));
    }

    // Every command is logged with its time and the gap to the one before.
    tool.stop();
    const QString log = QString::fromLocal8Bit(tool.proc.readAllStandardError());
    EXPECT_TRUE(log.contains("ms  (+")) << log.toStdString();
    EXPECT_TRUE(log.contains("L199199"));
    EXPECT_EQ(log.count("J1199"), 2);
    EXPECT_EQ(tool.proc.exitStatus(), QProcess::NormalExit);
}

// Other software for this receiver, here the distribution's rig-control
// client (its model 6006), run as it is: it reads frequency and mode from
// the report that answers "I1".
TEST(Nrd535SimTool, AnswersTheDistributionsRigControlClient)
{
    const QString rigctl = QStandardPaths::findExecutable(QStringLiteral("rigctl"));
    if (rigctl.isEmpty())
        GTEST_SKIP() << "rigctl not installed (package libhamlib-utils)";
    if (!QFileInfo::exists(toolPath()))
        GTEST_SKIP() << "nrd535-sim not built";
    SimTool tool({ "--empty" });
    ASSERT_TRUE(tool.device.startsWith("/dev/")) << tool.device.toStdString();
    // Each: the client's command line after the port, and the first line of
    // its output ("" for a setting, "#" for any whole number).
    const struct {
        QStringList args;
        QString out;
    } cases[] = {
        { { "f" }, "9500000" },   // the power-on frequency
        { { "F", "6175000" }, "" },
        { { "f" }, "6175000" },
        { { "M", "USB", "0" }, "" },
        { { "m" }, "USB" },
        { { "l", "STRENGTH" }, "#" },
    };
    for (const auto &c : cases) {
        QProcess p;
        p.start(rigctl, QStringList{ "-m", "6006", "-r", tool.device, "-s", "4800" } + c.args);
        ASSERT_TRUE(p.waitForFinished(60000)) << c.args.join(' ').toStdString();
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput());
        const QString first = out.section('\n', 0, 0).trimmed();
        bool number = false;
        first.toInt(&number);
        EXPECT_TRUE(c.out == "#" ? number : first == c.out)
            << c.args.join(' ').toStdString() << ": " << out.toStdString()
            << p.readAllStandardError().toStdString();
    }
}
