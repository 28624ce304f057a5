#include "link/scriptedport.h"

#include <QTimer>

ScriptedPort::ScriptedPort(QObject *parent) : Port(parent)
{
    clock_.start();
}

bool ScriptedPort::open(QString *error)
{
    if (failOpen) {
        if (error)
            *error = openError;
        return false;
    }
    open_ = true;
    pulled_ = false;
    return true;
}

bool ScriptedPort::write(const QByteArray &bytes)
{
    if (!open_ || pulled_)
        return false;
    tapOut(bytes);
    writes_.append({clock_.elapsed(), bytes});
    if (!responder)
        return true;
    for (const QByteArray &c : bytes.split('\r')) {
        if (c.isEmpty())
            continue;
        const QByteArray reply = responder(c);
        if (reply.isEmpty())
            continue;
        QTimer::singleShot(replyDelayMs, this, [this, reply] { inject(reply); });
    }
    return true;
}

QByteArray ScriptedPort::readAll()
{
    QByteArray b = buffer_;
    buffer_.clear();
    return tapIn(b);
}

void ScriptedPort::inject(const QByteArray &bytes)
{
    if (pulled_)
        return;
    buffer_ += bytes;
    emit readyRead();
}

void ScriptedPort::pull(const QString &reason)
{
    pulled_ = true;
    emit lost(reason);
}

QStringList ScriptedPort::commands() const
{
    QStringList out;
    for (const Write &w : writes_)
        for (const QByteArray &c : w.bytes.split('\r'))
            if (!c.isEmpty())
                out << QString::fromLatin1(c);
    return out;
}
