#include "sim/pacedline.h"

#include <algorithm>

PacedLine::PacedLine(const QElapsedTimer *clock, int cps, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_nsPerChar(1000000000LL / std::max(1, cps))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &PacedLine::tick);
}

void PacedLine::send(const QByteArray &bytes, qint64 startNs)
{
    if (bytes.isEmpty())
        return;
    const qint64 now = m_clock->nsecsElapsed();
    qint64 t = std::max(m_lineFreeNs, startNs < 0 ? now : startNs);
    for (char ch : bytes) {
        t += m_nsPerChar;
        m_queue.push_back({ ch, t });
    }
    m_lineFreeNs = t;
    schedule();
}

std::deque<PacedLine::Arrived> PacedLine::takeArrived()
{
    std::deque<Arrived> out;
    const qint64 now = m_clock->nsecsElapsed();
    while (!m_queue.empty() && m_queue.front().ns <= now) {
        out.push_back(m_queue.front());
        m_queue.pop_front();
    }
    return out;
}

void PacedLine::drop()
{
    m_queue.clear();
    m_lineFreeNs = 0;
    m_timer.stop();
}

void PacedLine::schedule()
{
    if (m_queue.empty()) {
        m_timer.stop();
        return;
    }
    const qint64 waitNs = m_queue.front().ns - m_clock->nsecsElapsed();
    // Round up so the character is really there when the timer fires.
    const int ms = waitNs <= 0 ? 0 : int((waitNs + 999999) / 1000000);
    if (!m_timer.isActive() || m_timer.remainingTime() > ms)
        m_timer.start(ms);
}

void PacedLine::tick()
{
    // Whoever listens takes the characters; if nobody took them (or more
    // are due), keep the timer going for the next one.
    const bool due = !m_queue.empty() && m_queue.front().ns <= m_clock->nsecsElapsed();
    if (due)
        emit arrived();
    if (!m_queue.empty()) {
        // Characters that became due but were not taken stay queued; avoid
        // spinning on them: wait at least one character time.
        if (m_queue.front().ns <= m_clock->nsecsElapsed()) {
            m_timer.start(int(std::max<qint64>(1, m_nsPerChar / 1000000)));
        } else {
            schedule();
        }
    }
}
