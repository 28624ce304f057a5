// The serial line to the receiver, as the link sees it.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class Port : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Port() override = default;

    // Opens the line at 4800,N,8,1. On failure returns false with a reason.
    virtual bool open(QString *error) = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    // Writes all bytes in one write; false when the line is gone.
    virtual bool write(const QByteArray &bytes) = 0;
    // Count of received characters waiting in the buffer.
    virtual qint64 bytesAvailable() const = 0;
    // Everything buffered right now (may be empty).
    virtual QByteArray readAll() = 0;
    // Discards everything received so far.
    virtual void clear() = 0;
    // A human name for messages ("/dev/ttyUSB0", "simulated receiver").
    virtual QString name() const = 0;
    // The receiver on the other end is the program's simulated one.
    virtual bool simulated() const { return false; }

    // Sees every write and every read (the line trace); nullptr: nobody.
    std::function<void(char direction, const QByteArray &bytes)> tap;

signals:
    // Characters have arrived.
    void readyRead();
    // The line was lost after opening (adapter pulled out); reported once.
    void lost(const QString &reason);

protected:
    void tapOut(const QByteArray &b) const
    {
        if (tap && !b.isEmpty())
            tap('>', b);
    }
    const QByteArray &tapIn(const QByteArray &b) const
    {
        if (tap && !b.isEmpty())
            tap('<', b);
        return b;
    }
};
