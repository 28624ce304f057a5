// Latency of a rig-control "F" request over TCP against the simulated
// receiver (4800 baud, 480 characters per second), against the floor of the
// commands it causes.
//
// Floor: the remote bracket H1, 50 ms, H1, 50 ms, the "F" command (10
// characters with CR), then 50 ms, H0, 50 ms, H0 (the answer follows the
// bracket): 4 x 50 ms plus the last H0's 3 characters on the line are not
// waited for, so 200 ms + the first three commands' characters.
#include "link/app.h"
#include "link/receiver2.h"
#include "net/rigserver.h"
#include "settings/settings.h"
#include "sim/simport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class QuietPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons) override { return AnsOk; }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override { return d; }
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    App app;
    QuietPrompter prompter;
    SystemClock clock;
    app.prompter = &prompter;
    app.clock = &clock;
    app.settings = settingsfile::defaults();
    SimPort port;
    QString err;
    if (!port.open(&err))
        return 1;
    Receiver2 rx(app);
    rx.setPort(&port);
    RigServer srv(app);
    if (!srv.listen(QHostAddress::LocalHost, 0, &err)) {
        std::fprintf(stderr, "%s\n", qPrintable(err));
        return 1;
    }
    QTcpSocket c;
    c.connectToHost(QHostAddress::LocalHost, srv.port());
    if (!c.waitForConnected(5000))
        return 1;

    const double floorMs = 4 * 50 + (3 + 3 + 10) / 480.0 * 1000.0;
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QByteArray got;
        QEventLoop loop;
        QObject::connect(&c, &QTcpSocket::readyRead, &loop, [&] {
            got += c.readAll();
            if (got.endsWith('\n'))
                loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        QElapsedTimer t;
        t.start();
        c.write("F " + QByteArray::number(6000000 + i * 5000) + "\n");
        loop.exec();
        ms.push_back(t.nsecsElapsed() / 1e6);
        QObject::disconnect(&c, &QTcpSocket::readyRead, &loop, nullptr);
        // Let the bracket's last H0 leave the line before the next request.
        QEventLoop pause;
        QTimer::singleShot(100, &pause, &QEventLoop::quit);
        pause.exec();
    }
    std::sort(ms.begin(), ms.end());
    std::printf("rig-control F request, %d runs: median %.1f ms, min %.1f ms, max %.1f ms; floor %.1f ms\n",
                runs, ms[ms.size() / 2], ms.front(), ms.back(), floorMs);
    return 0;
}
