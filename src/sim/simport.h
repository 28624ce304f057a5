// The simulated receiver as a Port: what "--port sim" uses. Written bytes
// travel to a SimRadio at 480 characters per second, replies come back at
// the same rate and become readable character by character; readyRead
// fires (from the event loop) as they arrive.
#pragma once
#include "link/port.h"
#include "sim/simlink.h"
#include "sim/simradio.h"

#include <QTimer>

class SimPort : public Port {
    Q_OBJECT
public:
    // radio: the receiver to talk to (not owned); nullptr makes an own one
    // with demo memory. cps: the line's speed (SimLink).
    explicit SimPort(SimRadio *radio = nullptr, QObject *parent = nullptr,
                     int cps = PacedLine::kDefaultCps);

    bool open(QString *error) override;
    bool isOpen() const override { return m_open; }
    void close() override;
    bool write(const QByteArray &bytes) override;
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    void clear() override;
    QString name() const override { return QStringLiteral("simulated receiver"); }
    bool simulated() const override { return true; }

    SimRadio *radio() const { return m_radio; }
    SimLink *link() { return &m_link; }
    // Commands the receiver got, with the moment (ms since the port was made)
    // their CR arrived.
    const SimLink::Log &commandLog() const { return m_link.commandLog(); }
    // Only the command texts, in order.
    QList<QByteArray> commands() const;
    void clearLog() { m_link.clearLog(); }
    qint64 elapsedMs() const { return m_link.elapsedMs(); }

    // Test switches: the next open() fails with this reason ("" = opens);
    // simulateLoss() behaves like a USB adapter pulled out.
    void setOpenError(const QString &reason) { m_openError = reason; }
    void simulateLoss(const QString &reason = QStringLiteral("The device was removed"));

private:
    void pull() const;

    SimRadio *m_radio;
    mutable SimLink m_link;
    mutable QByteArray m_buffer;
    mutable QTimer m_notify;
    bool m_open = false;
    bool m_lost = false;
    QString m_openError;
};
