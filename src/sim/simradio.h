// The simulated NRD-535: working settings, 200 memory channels, clock and
// the replies, exactly in the command texts and reply layouts the program
// uses with the real receiver. It knows nothing about timing on the line;
// SimLink paces what goes in and out.
#pragma once
#include "sim/bandmodel.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>
#include <optional>

class SimRadio : public QObject {
    Q_OBJECT
public:
    // One memory record / the working settings: the 12-character record is
    // attenuator, bandwidth, mode digits, frequency in Hz (eight digits), AGC.
    struct Record {
        int att = 0;      // 0 Off, 1 On
        int bw = 0;       // 0 Wide, 1 Inter, 2 Narr, 3 Aux
        int mode = 4;     // 0 RTTY .. 8 AM-L
        qint64 hz = 9500000;
        int agc = 0;      // 0 Slow, 1 Fast, 2 Off
        QByteArray toRec12() const;
        // Strict: 12 characters, every field a digit in range; nullopt otherwise.
        static std::optional<Record> fromRec12(const QByteArray &rec);
        bool operator==(const Record &) const = default;
    };

    enum Memory { EmptyMemory, DemoMemory };

    static constexpr int kChannels = 200;
    static constexpr qint64 kMinHz = 10000;
    static constexpr qint64 kMaxHz = 29999999;
    // Length of one channel of the "L" read-out: a stored channel
    // "L" ccc rec12 CR, an empty one "L" ccc "V" CR.
    static constexpr int kReadoutLen = 17;
    static constexpr int kEmptyReadoutLen = 6;

    // DemoMemory fills some channels with broadcast stations; the rest stay empty.
    explicit SimRadio(Memory memory = DemoMemory, QObject *parent = nullptr);
    // Every channel holds a station but `empty` of them, spread evenly over
    // 0 to 198 (channel 199 takes the working settings anyway).
    void fillAllBut(int empty);

    // Executes one command (its text without the final CR) and returns what
    // the receiver answers at once (usually nothing). Commands that are not
    // understood, out of range, or arrive while in local control (except
    // "H1") change nothing. Every call counts as one received command.
    QByteArray execute(const QByteArray &cmd);

    // The front-panel dial: tune to hz (kept within range). With "I1" on, the
    // receiver reports the new frequency by itself.
    void turnDial(qint64 hz);

    // --- state, for tests and the pty tool ---
    const Record &working() const { return m_work; }
    void setWorking(const Record &r) { m_work = r; }
    std::optional<Record> channel(int ch) const;
    void setChannel(int ch, const std::optional<Record> &r);
    bool remote() const { return m_remote; }
    int noiseBlanker() const { return m_nb; }
    int passbandShift() const { return m_pbs; }     // Hz, -2000..+2000
    int bandwidthControl() const { return m_bwc; }  // Hz, 0 = never set
    int relay() const { return m_relay; }           // "O0"/"O1"
    int timerSwitch() const { return m_timer; }     // "T0"/"T1"; -1 never set
    // User functions "U0".."U9": the argument text last accepted ("" = never).
    // U1 is the vbt function, U3 the RTTY parameters, U5 clears a channel.
    QByteArray userFunction(int n) const;
    bool vbt() const { return m_user[1] == "1"; }
    bool reportsOn() const { return m_reports; }
    bool rttyOn() const { return m_rtty; }
    QByteArray timerOn() const { return m_timerOn; }    // "R2" hhmm
    QByteArray timerOff() const { return m_timerOff; }  // "R3" hhmm
    // What the clock display shows: 4 clock window open ("R4"), 5 timer-on,
    // 6 timer-off, 7 normal ("R7").
    int clockDisplay() const { return m_clockDisplay; }
    // The receiver clock now, as hhmmss.
    QByteArray clockText() const;
    const BandModel &band() const { return m_band; }
    // Raw meter level the "M" reply would give now.
    int meterLevel() const;

    int commandCount() const { return m_commands; }
    int ignoredCount() const { return m_ignored; }      // in local control
    int malformedCount() const { return m_malformed; }  // not understood

    // --- fault switches ---
    // A silent receiver (switched off) still counts what reaches it but acts
    // on nothing and answers nothing, not even reports or RTTY text.
    void setSilent(bool on);
    bool silent() const { return m_silent; }
    // Replies come back with non-digits where digits belong.
    void setGarbled(bool on) { m_garbled = on; }
    bool garbled() const { return m_garbled; }
    // The receiver works normally for n more commands, then falls silent.
    void silentAfter(int n) { m_silentAfter = n; }

signals:
    // Text the receiver sends by itself: "I1" frequency reports (the first
    // one, right after "I1", is the reply to it) and "X1" RTTY text.
    void spontaneous(const QByteArray &bytes);

private:
    QByteArray run(const QByteArray &cmd, bool *ok);
    QByteArray readout(int first, int last) const;
    QByteArray report() const;
    QByteArray garble(QByteArray bytes);
    void sendSpontaneous(const QByteArray &bytes);
    void tuned();
    void rttyTick();
    void fillDemoMemory();

    Record m_work;
    std::array<std::optional<Record>, kChannels> m_mem;
    std::array<QByteArray, 10> m_user;
    bool m_remote = false;
    int m_nb = 0;
    int m_pbs = 0;
    int m_bwc = 0;
    int m_relay = 0;
    int m_timer = -1;
    bool m_reports = false;
    bool m_rtty = false;
    int m_clockDisplay = 7;
    qint64 m_clockOffsetSecs = 0;   // receiver clock minus PC local time
    QByteArray m_timerOn, m_timerOff;

    int m_commands = 0;
    int m_ignored = 0;
    int m_malformed = 0;
    bool m_silent = false;
    bool m_garbled = false;
    int m_silentAfter = -1;
    unsigned m_garbleSeed = 0;

    BandModel m_band;
    QElapsedTimer m_age;
    QTimer m_rttyTimer;
    int m_rttyPos = 0;
    QByteArray m_rttyHeld; // decoded, not yet sent
};
