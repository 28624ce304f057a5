#include "sim/simport.h"

SimPort::SimPort(SimRadio *radio, QObject *parent, int cps)
    : Port(parent)
    , m_radio(radio ? radio : new SimRadio(SimRadio::DemoMemory, this))
    , m_link(m_radio, nullptr, cps)
{
    m_notify.setSingleShot(true);
    connect(&m_notify, &QTimer::timeout, this, [this]() {
        if (m_open && !m_buffer.isEmpty())
            emit readyRead();
    });
    connect(&m_link, &SimLink::forProgram, this, [this]() { pull(); });
}

bool SimPort::open(QString *error)
{
    if (!m_openError.isEmpty()) {
        if (error)
            *error = m_openError;
        return false;
    }
    m_open = true;
    m_lost = false;
    m_buffer.clear();
    return true;
}

void SimPort::close()
{
    m_open = false;
    m_link.dropInFlight();
    m_buffer.clear();
}

void SimPort::pull() const
{
    const QByteArray b = m_link.takeForProgram();
    if (b.isEmpty() || !m_open)
        return;
    m_buffer += b;
    // Announce from the event loop, never from inside a read.
    if (!m_notify.isActive())
        m_notify.start(0);
}

bool SimPort::write(const QByteArray &bytes)
{
    if (!m_open)
        return false;
    tapOut(bytes);
    m_link.fromProgram(bytes);
    return true;
}

qint64 SimPort::bytesAvailable() const
{
    if (!m_open)
        return 0;
    pull();
    return m_buffer.size();
}

QByteArray SimPort::readAll()
{
    if (!m_open)
        return {};
    pull();
    QByteArray out;
    out.swap(m_buffer);
    return tapIn(out);
}

void SimPort::clear()
{
    pull();
    m_buffer.clear();
}

QList<QByteArray> SimPort::commands() const
{
    QList<QByteArray> out;
    for (const auto &e : m_link.commandLog())
        out.append(e.second);
    return out;
}

void SimPort::simulateLoss(const QString &reason)
{
    if (!m_open || m_lost)
        return;
    m_lost = true;
    close();
    emit lost(reason);
}
