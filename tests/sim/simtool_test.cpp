// The nrd535-sim tool on a pseudo-terminal, driven by other software. (Its
// pseudo-terminal, taken again by each new client, its power-on settings and
// its command log: the command-line tool's and the program's end-to-end
// tests, which run on it.)
#include "e2e/ui/simtool.h"
#include "simwait.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <gtest/gtest.h>

// Other software for this receiver, here the distribution's rig-control
// client (its model 6006), run as it is: it reads frequency and mode from
// the report that answers "I1".
TEST(Nrd535SimTool, AnswersTheDistributionsRigControlClient)
{
    const QString rigctl = QStandardPaths::findExecutable(QStringLiteral("rigctl"));
    if (rigctl.isEmpty())
        GTEST_SKIP() << "rigctl not installed (package libhamlib-utils)";
    if (!QFileInfo::exists(VOR_BINARY_DIR "/nrd535-sim"))
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
