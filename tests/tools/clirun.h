// vorantis-cli run as a child process: its exit code and what it printed.
#pragma once
#include <QProcess>
#include <QString>
#include <QStringList>

struct CliRun {
    int code = -1;
    QString out, err;
};

inline CliRun cli(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(VOR_BINARY_DIR "/vorantis-cli"), args);
    CliRun r;
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished(2000);
        r.err = QStringLiteral("did not finish");
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}
