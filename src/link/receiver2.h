// The receiver link: command framing and pacing, the remote-control bracket,
// the synchronous reads, the receive handler, and the decoding of the
// receiver's working settings onto the control panel.
#pragma once
#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <cstdint>
#include <optional>

#include "link/fanout.h"

struct App;
class Port;

class Receiver2 : public QObject {
    Q_OBJECT
public:
    explicit Receiver2(App &app, QObject *parent = nullptr);

    // Link flags, process-wide.
    int16_t cmd_active = 0;
    int16_t lock_held = 0;
    bool auto_report = false;
    bool delay_pending = false;

    // Attach the port (not owned). Connects the receive handler.
    void setPort(Port *port);
    Port *port() const { return port_; }

    // Writes text + CR in one write.
    void send_cmd(const QString &text);
    // Writes raw bytes in one write (e.g. "X0\rX0\r").
    void send_raw(const QByteArray &bytes);
    void remote_on();
    void remote_off();
    // Waits at least ms while the user interface keeps processing events.
    void wait_ms(int ms);

    // Waits until at least n characters are buffered or the reply bound
    // expires; returns false on expiry.
    bool wait_for_chars(int n, int timeoutMs = -1);
    // "X" + rec12 of the receiver's working settings; nullopt when the
    // receiver did not answer in time.
    std::optional<QString> read_rx_state();

    // The bracket around fn: cmd_active = 1, remote_on, fn, cmd_active = 0,
    // remote_off.
    template <typename F> void bracket(F &&fn)
    {
        cmd_active = 1;
        remote_on();
        fn();
        cmd_active = 0;
        remote_off();
    }
    // One command in a bracket.
    void bracket_cmd(const QString &text);

    // Reads the working settings and shows them on the panel; false when the
    // receiver did not answer (the caller decides what the user sees, unless
    // reportFailure is set, which shows the receiver message).
    bool refresh_panel(bool reportFailure = true);
    // Applies a read_rx_state result (13 characters) to RxState and the panel.
    void apply_state(const QString &x13);

    void set_att(int16_t &n);
    void set_bw(int16_t &n);
    void set_mode(int16_t &n);
    void set_agc(int16_t &n);

    // The frequency fan-out with text s: the panel's field and every loaded
    // window (the tracking window only when includeTracking).
    void frequency_fanout(const QString &s, bool includeTracking = true,
                          FreqFanout::Target except = FreqFanout::Count);
    // The tracking window's share of a tune: freq_khz, its field, its lookup.
    void tracking_update(const QString &s);

    // Tune from a list row: frequency f (kHz) and four-digit tuning code
    // (empty -> defaultCode). Returns false and does nothing when f is outside
    // 10 to 29999.999 kHz. showInOrigin sets the caller's own frequency label.
    bool tune_from_row(double khz, const QString &code, const QString &defaultCode,
                       FreqFanout::Target origin);

    // Receive handler (port event).
    void on_ready_read();

    // The message shown when a reply wait expires or the line is lost.
    void report_no_answer();
    // Tries to open the port again after it was lost.
    bool reopen(QString *error);
    bool portLost() const { return lost_; }

    // getfreq: decodes spontaneous reports (auto_report on) into the panel's
    // and the tracking window's frequency.
    void getfreq(const QString &text);
    // Receive buffer for partial reports.
    QString term;

private:
    void on_lost(const QString &reason);

    App &app_;
    QPointer<Port> port_;
    bool lost_ = false;
    bool lostReported_ = false;
};

// getfreq: appends text to term; when term ends in CR, returns the frequency
// text decoded from its last 10 characters and empties term.
std::optional<QString> getfreq_decode(QString &term, const QString &text, double *khz);
