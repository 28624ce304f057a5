// The receiver at the far end of a 4800-baud line: what the program writes
// reaches the SimRadio at 480 characters per second, a command is carried out
// when its CR arrives, and every reply character travels back at the same
// rate. Used by SimPort (in process) and by the nrd535-sim tool (pty).
#pragma once
#include "sim/pacedline.h"
#include "sim/simradio.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>

class SimLink : public QObject {
    Q_OBJECT
public:
    // Longest text kept while waiting for a CR; longer junk is dropped.
    static constexpr int kMaxCommand = 256;

    // cps: characters per second each way (a faster line only for tests
    // that need no real timing).
    explicit SimLink(SimRadio *radio, QObject *parent = nullptr, int cps = PacedLine::kDefaultCps);

    SimRadio *radio() const { return m_radio; }

    // Bytes written by the program, as they leave the PC.
    void fromProgram(const QByteArray &bytes);
    // Reply characters that have arrived at the PC since the last call.
    QByteArray takeForProgram();
    // Brings both directions up to the present (commands whose CR is due are
    // carried out). Called by the event loop and by readers, so that a reader
    // polling without the event loop still sees characters as they arrive.
    void pump();
    // Characters on their way in either direction.
    qint64 inFlightToRadio() const { return m_toRadio.inFlight(); }
    qint64 inFlightToProgram() const { return m_toProgram.inFlight(); }
    // Forget what is still on the line (the port was closed).
    void dropInFlight();

    // Milliseconds since the link was made (the time base of the log).
    qint64 elapsedMs() const { return m_clock.elapsed(); }
    // Every command the receiver got: the moment its CR arrived (ms) and its
    // text without the CR.
    using Log = QList<QPair<qint64, QByteArray>>;
    const Log &commandLog() const { return m_log; }
    void clearLog() { m_log.clear(); }

signals:
    // A command's CR has reached the receiver.
    void commandReceived(qint64 ms, const QByteArray &cmd);
    // Reply characters have arrived at the PC (takeForProgram() gets them).
    void forProgram();

private:
    void radioSends(const QByteArray &bytes);

    QElapsedTimer m_clock;
    SimRadio *m_radio;
    PacedLine m_toRadio;
    PacedLine m_toProgram;
    QByteArray m_partial;       // command text waiting for its CR
    QByteArray m_arrived;       // reply characters at the PC, not yet taken
    qint64 m_nowNs = -1;        // moment of the command being carried out
    bool m_notifyQueued = false; // forProgram is on its way from the event loop
    Log m_log;
};
