#include "sim/simlink.h"

SimLink::SimLink(SimRadio *radio, QObject *parent, int cps)
    : QObject(parent)
    , m_radio(radio)
    , m_toRadio(&m_clock, cps)
    , m_toProgram(&m_clock, cps)
{
    m_clock.start();
    connect(&m_toRadio, &PacedLine::arrived, this, &SimLink::pump);
    connect(&m_toProgram, &PacedLine::arrived, this, [this]() {
        pump();
        if (!m_arrived.isEmpty())
            emit forProgram();
    });
    connect(m_radio, &SimRadio::spontaneous, this, &SimLink::radioSends);
}

void SimLink::fromProgram(const QByteArray &bytes)
{
    pump();
    m_toRadio.send(bytes);
}

void SimLink::radioSends(const QByteArray &bytes)
{
    // A reply starts when its command arrived; a spontaneous text now.
    m_toProgram.send(bytes, m_nowNs);
}

void SimLink::pump()
{
    // Carry out the commands first: their replies join the line back at the
    // moment the CR arrived, and may already be partly through.
    for (const PacedLine::Arrived &a : m_toRadio.takeArrived()) {
        if (a.ch != '\r') {
            m_partial += a.ch;
            if (m_partial.size() > kMaxCommand)
                m_partial.clear();
            continue;
        }
        const QByteArray cmd = m_partial;
        m_partial.clear();
        const qint64 ms = a.ns / 1000000;
        m_log.append({ ms, cmd });
        m_nowNs = a.ns;
        const QByteArray reply = m_radio->execute(cmd);
        radioSends(reply);
        m_nowNs = -1;
        emit commandReceived(ms, cmd);
    }
    bool took = false;
    for (const PacedLine::Arrived &a : m_toProgram.takeArrived()) {
        m_arrived += a.ch;
        took = true;
    }
    // Taken here, the characters are no longer the line's to announce (a
    // late pass may take a whole short reply at once): they are announced
    // from the event loop.
    if (took && !m_notifyQueued) {
        m_notifyQueued = true;
        QMetaObject::invokeMethod(this, [this]() {
            m_notifyQueued = false;
            if (!m_arrived.isEmpty())
                emit forProgram();
        }, Qt::QueuedConnection);
    }
}

QByteArray SimLink::takeForProgram()
{
    pump();
    QByteArray out;
    out.swap(m_arrived);
    return out;
}

void SimLink::dropInFlight()
{
    pump();
    m_toRadio.drop();
    m_toProgram.drop();
    m_partial.clear();
    m_arrived.clear();
}
