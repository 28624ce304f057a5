// nrd535-sim as a child process on a pseudo-terminal: its device, the
// commands it logged, and lines for its console.
#pragma once
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

struct SimTool {
    explicit SimTool(const QStringList &args = {})
    {
        proc.setProcessChannelMode(QProcess::SeparateChannels);
        proc.start(QStringLiteral(VOR_BINARY_DIR "/nrd535-sim"), args);
        if (!proc.waitForStarted(10000))
            return;
        QElapsedTimer t;
        t.start();
        while (!proc.canReadLine() && t.elapsed() < 10000)
            proc.waitForReadyRead(100);
        device = QString::fromLocal8Bit(proc.readLine()).trimmed();
    }
    ~SimTool() { stop(); }
    // Ends the simulator: its device (and link) go away.
    void stop()
    {
        if (proc.state() == QProcess::NotRunning)
            return;
        proc.terminate();
        if (!proc.waitForFinished(5000))
            proc.kill();
    }
    // A console line: "silent", "silent 0", "garble", "garble 0", ...
    void say(const char *line) { proc.write(QByteArray(line) + '\n'); }
    // Waits until the console has taken every line said so far.
    bool sync()
    {
        proc.readAllStandardOutput();
        say("state");
        QElapsedTimer t;
        t.start();
        while (!proc.canReadLine() && t.elapsed() < 10000)
            proc.waitForReadyRead(50);
        return proc.canReadLine();
    }
    // Commands logged so far, in order.
    QStringList commands()
    {
        log += QString::fromLocal8Bit(proc.readAllStandardError());
        const qsizetype end = log.lastIndexOf('\n') + 1;
        static const QRegularExpression re(QStringLiteral(R"(ms\s+\(\+?-?\d+\)\s+(\S+))"));
        for (const QString &line : QStringView(log).left(end).toString().split('\n')) {
            const auto m = re.match(line);
            if (m.hasMatch())
                seen << m.captured(1);
        }
        log.remove(0, end);
        return seen;
    }
    QProcess proc;
    QString device;
    QString log;       // a logged line not yet complete
    QStringList seen;
};
