// A port for tests: records every write with its time, and answers from a
// script (a function of the command text) or from queued replies.
#pragma once
#include "link/port.h"

#include <QElapsedTimer>
#include <QList>
#include <functional>

class ScriptedPort : public Port {
    Q_OBJECT
public:
    struct Write {
        qint64 ms;       // time since the port was created
        QByteArray bytes;
    };

    explicit ScriptedPort(QObject *parent = nullptr);

    // Called for every command (text without CR) written; the returned bytes
    // become readable after `replyDelayMs` (0: on the next event-loop pass).
    std::function<QByteArray(const QByteArray &command)> responder;
    int replyDelayMs = 0;
    bool failOpen = false;
    QString openError = QStringLiteral("No such file or directory");

    bool open(QString *error) override;
    bool isOpen() const override { return open_; }
    void close() override { open_ = false; }
    bool write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override { return buffer_.size(); }
    QByteArray readAll() override;
    void clear() override { buffer_.clear(); }
    QString name() const override { return QStringLiteral("scripted"); }

    // Make characters arrive now (as the receiver would send them unasked).
    void inject(const QByteArray &bytes);
    // Simulate a pulled-out adapter.
    void pull(const QString &reason = QStringLiteral("device removed"));

    const QList<Write> &writes() const { return writes_; }
    // Every command sent, CR stripped, in order ("X0\rX0\r" gives two).
    QStringList commands() const;
    // The commands as one text with "|" between ("H1|H1|A0|H0|H0").
    QString trace() const { return commands().join(QLatin1Char('|')); }
    void clearWrites() { writes_.clear(); }

private:
    QElapsedTimer clock_;
    QList<Write> writes_;
    QByteArray buffer_;
    bool open_ = false;
    bool pulled_ = false;
};
