// One direction of the serial line at a fixed character rate. Characters
// handed to send() go out one after another, each taking 1/cps of a second,
// and become available as their time comes (wall clock). The line never
// loses or reorders characters.
#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <deque>

class PacedLine : public QObject {
    Q_OBJECT
public:
    // 4800 baud with start and stop bits: 480 characters per second.
    static constexpr int kDefaultCps = 480;

    // clock: the shared time base (both directions of a link use one).
    explicit PacedLine(const QElapsedTimer *clock, int cps = kDefaultCps,
                       QObject *parent = nullptr);

    // Queues bytes; the first starts when the line is free, but not before
    // startNs (clock time in ns; -1 = now).
    void send(const QByteArray &bytes, qint64 startNs = -1);

    struct Arrived {
        char ch;
        qint64 ns;   // moment it arrived
    };
    // Every character whose time has come, oldest first, with its arrival time.
    std::deque<Arrived> takeArrived();
    // Characters still on their way.
    qint64 inFlight() const { return qint64(m_queue.size()); }
    // Drops everything still on its way.
    void drop();
    qint64 nsPerChar() const { return m_nsPerChar; }

signals:
    // Some characters have arrived (raised from the event loop, never from
    // inside send() or takeArrived()).
    void arrived();

private:
    void schedule();
    void tick();

    const QElapsedTimer *m_clock;
    qint64 m_nsPerChar;
    qint64 m_lineFreeNs = 0;   // when the last queued character is through
    std::deque<Arrived> m_queue;
    QTimer m_timer;
};
