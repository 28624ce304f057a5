// Real clients, run as they are: the distribution's binding for Python (its
// network model 2) opens the server, and the lines real programs send are
// replayed against the server and against the distribution's daemon for
// this receiver (model 6006), each on its own simulated receiver.
#include "e2e/ui/simtool.h"
#include "link/serialport.h"
#include "net/rigserver.h"
#include "record/recfiles.h"
#include "record/recsession.h"
#include "sim/simwait.h"
#include "testkit.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>
#include <iostream>

namespace {

const char kScript[] = R"(import sys, Hamlib
Hamlib.rig_set_debug(Hamlib.RIG_DEBUG_NONE)
rig = Hamlib.Rig(2)
rig.set_conf("rig_pathname", "127.0.0.1:" + sys.argv[1])
rig.open()
m, w = rig.get_mode()
print(rig.error_status, int(rig.get_freq()), Hamlib.rig_strrmode(m), w, rig.get_level_i(Hamlib.RIG_LEVEL_STRENGTH),
      rig.get_powerstat(), Hamlib.rig_strvfo(rig.get_vfo()), rig.error_status))";

// A connection whose lines go a moment apart (the daemon reads ahead of a
// command's arguments), then "+\get_lock_mode": its answer ends theirs.
struct Peer {
    QTcpSocket s;
    QByteArray got;
    bool connectTo(quint16 port)
    {
        QObject::connect(&s, &QTcpSocket::readyRead, [this] { got += s.readAll(); });
        for (int i = 0; i < 60 && s.state() != QAbstractSocket::ConnectedState; ++i) {
            s.abort(); // the daemon listens once it has opened its line
            s.connectToHost(QHostAddress::LocalHost, port);
            if (!s.waitForConnected(500))
                QThread::msleep(250);
        }
        return s.state() == QAbstractSocket::ConnectedState;
    }
    void ask(QList<QByteArray> lines)
    {
        got.clear();
        lines << "+\\get_lock_mode";
        for (int i = 0; i < lines.size(); ++i)
            QTimer::singleShot(150 * i, &s, [this, l = lines[i]] { s.write(l + '\n'); });
    }
    QByteArray answer() const // (the daemon may keep the last separator, and name currVFO)
    {
        static const QRegularExpression end("get_lock_mode:( currVFO)?.Locked: 0.RPRT 0\n$",
                                            QRegularExpression::DotMatchesEverythingOption);
        const auto m = end.match(QString::fromLatin1(got));
        return m.hasMatch() ? got.left(m.capturedStart()) : QByteArray();
    }
};

} // namespace

class RigClients : public ::testing::Test {
protected:
    void SetUp() override
    {
        QProcess py;
        py.start("/usr/bin/python3", {"-c", "import Hamlib"});
        if (QStandardPaths::findExecutable("rigctld").isEmpty() || !py.waitForFinished(20000) || py.exitCode())
            GTEST_SKIP() << "rigctld or the rig-control binding for Python is missing (libhamlib-utils, "
                            "python3-hamlib): real clients not tried";
        ASSERT_TRUE(ours.device.startsWith("/dev/")) << "nrd535-sim not built";
        QString err;
        ASSERT_TRUE(line.open(&err)) << err.toStdString();
        t.rx->setPort(&line);
        t.app.settings.setNarrowFitted(true);
        t.app.settings.setUnitFitted(2, true); // ECSS, as the daemon takes for granted
        rec.setSourceFactory([](const QString &) { return std::make_unique<ToneSource>(); });
        t.app.rec = &rec;
        ASSERT_TRUE(srv.listen(QHostAddress::LocalHost, 0, &err)) << err.toStdString();
    }
    void TearDown() override { t.rx->setPort(&t.port); }
    TestApp t;
    RecSession rec{t.app};
    SimTool ours{{"--empty"}};
    SerialPort line{ours.device};
    RigServer srv{t.app};
};

TEST_F(RigClients, TheBindingReadsFrequencyModeStrengthPowerAndVfo)
{
    QProcess py;
    py.start("/usr/bin/python3", {"-c", kScript, QString::number(srv.port())});
    ASSERT_TRUE(waitUntil([&] { return py.state() == QProcess::NotRunning; }, 60000));
    const QString out = QString::fromLatin1(py.readAll()).trimmed();
    EXPECT_TRUE(QRegularExpression("^0 9500000 AM 6000 -?\\d+ 1 VFOA 0$").match(out).hasMatch()) << out.toStdString();
}

// Each line in every form its clients use: where the daemon answers with
// data or RPRT 0 the server answers the same. Beyond it (the one VFO, power
// on while the receiver answers, PTT 0, VFO and rig info, VFO arguments, no
// transmitter, a pass recorded), and where it differs on purpose (its own
// capabilities; VFOA, not the daemon's "VFO MEM" and a stray byte; no NB,
// which cannot be read; no VFO operation, the daemon's sends a command this
// receiver lacks; beyond 29999.999 kHz refused, nothing sent), the
// server's plain answer starts as given. Both receivers go to a quiet
// 7150 kHz: their levels agree.
TEST_F(RigClients, ClientLinesSideBySideWithTheDistributionsDaemon)
{
    SimTool theirs({"--empty"});
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    QProcess daemon;
    daemon.start(QStandardPaths::findExecutable("rigctld"),
                 {"-m", "6006", "-r", theirs.device, "-s", "4800", "-T", "127.0.0.1", "-t", QString::number(port)});
    Peer a, b;
    ASSERT_TRUE(a.connectTo(srv.port()) && b.connectTo(port));
    const QList<QByteArray> plainOnly = {"\\dump_state", "\\dump_caps", "AOS", "LOS",
                                         "F 30000000",   "\\frobnicate", "+f +m +v", "f m v", "fmv"};
    const QList<std::pair<QByteArray, QByteArray>> lines = {
        {"F 7150000", ""}, {"M AM 6000", ""}, {"\\chk_vfo", ""}, {"\\dump_state", "1\n6006\n0\n"},
        {"\\get_powerstat", "1\n"}, {"v", "VFOA\n"}, {"m", ""}, {"f", ""}, {"s", ""},
        {"\\dump_caps", "Caps dump for model: 6006\nHamlib version:\t"},
        {"+f +m +v", "get_freq:\nFrequency: 7150000\nRPRT 0\nget_mode:\nMode: AM\nPassband: 6000\nRPRT 0\n"
                     "get_vfo:\nVFO: VFOA\nRPRT 0\n"},
        {"f m v", "7150000\nAM\n6000\nVFOA\n"}, {"fmv", "7150000\nAM\n6000\nVFOA\n"},
        {"\\set_freq 7150000", ""}, {"\\set_mode AM 6000", ""}, {"\\set_vfo VFOA", "RPRT 0\n"},
        {"\\set_vfo_opt 1", "RPRT 0\n"}, {"F VFOA 7150000", ""}, {"f VFOA", "7150000\n"}, {"\\set_vfo_opt 0", "RPRT 0\n"},
        {"t", "0\n"}, {"\\get_rig_info", "VFO=VFOA Freq=7150000 Mode=AM Width=6000 RX=1 TX=0\nVFO=VFOB"},
        {"\\get_vfo_info VFOA", "7150000\nAM\n6000\n0\n0\n"}, {"\\get_vfo_list", "VFOA \n"}, {"\\get_trn", "RPRT -18\n"},
        {"\\get_func ?", "FAGC \n"}, {"\\vfo_op ?", "\nRPRT 0\n"}, {"l STRENGTH", ""}, {"l RAWSTR", ""},
        {"l ATT", ""}, {"l AGC", ""}, {"\\get_info", ""}, {"T 1", "RPRT -11\n"}, {"AOS", "RPRT 0\n"},
        {"LOS", "RPRT 0\n"}, {"\\frobnicate", "RPRT -4\n"}, {"F 30000000", "RPRT -1\n"}};
    const QRegularExpression error("RPRT -\\d+\n$");
    for (const auto &[base, beyond] : lines) {
        QList<QByteArray> forms = {base};
        for (const char *p : {"+", ";", "|", ","})
            if (!plainOnly.contains(base))
                forms << p + base;
        const qsizetype sent = ours.commands().size();
        a.ask(forms);
        b.ask(forms);
        waitUntil([&] { return !a.answer().isEmpty() && !b.answer().isEmpty(); }, 15000);
        const QByteArray mine = a.answer(), theirs = b.answer();
        std::cout << forms.join(' ').constData() << "\n    daemon: " << theirs.toPercentEncoding(" :;|,=.-").constData()
                  << "\n    server: " << mine.toPercentEncoding(" :;|,=.-").constData() << '\n';
        if (beyond.isEmpty()) {
            EXPECT_TRUE(!theirs.isEmpty() && !error.match(QString::fromLatin1(theirs)).hasMatch()) << base.constData();
            EXPECT_EQ(mine.toStdString(), theirs.toStdString()) << base.constData();
        } else {
            EXPECT_TRUE(mine.startsWith(beyond)) << base.constData() << ": " << mine.constData();
        }
        if (base == "F 30000000")
            EXPECT_EQ(ours.commands().size(), sent);
    }
    daemon.terminate();
    daemon.waitForFinished(5000);
    // The pass was recorded like any other recording, noted as the client's.
    QFile info(recfiles::infoPath(rec.path()));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly));
    EXPECT_TRUE(info.readAll().contains("Started by: network client 127.0.0.1"));
}
