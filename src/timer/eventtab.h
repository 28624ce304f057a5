// The event timer's table: up to five listening events, the values of the
// event being composed, the time arithmetic (event minute numbers) and the
// checks made before an event is fixed or a run starts.
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class Prompter;
struct Captions;

namespace timertab {

inline constexpr int kEvents = 5;
// Years the date spin accepts. The event minute rule holds for any
// Gregorian year; the spin stops at the end of the century.
inline constexpr int kFirstYear = 2000;
inline constexpr int kLastYear = 2099;
inline constexpr int kMinDuration = 1;
inline constexpr int kMaxDuration = 240;
inline constexpr int kDefaultDuration = 10;
inline constexpr int kPbsStep = 100;
inline constexpr int kBwcStep = 100;
// A PBS or BWC value that means "not set" (NFM, or no bandwidth control).
inline constexpr int kNoPbs = 9999;
inline constexpr int kNoBwc = 0;

bool isLeap(int year);
int monthLength(int month, int year);
// Minutes since 1 January 1990, 00:00 UTC.
long long eventMinute(int day, int month, int year, int hour, int minute);
// The present UTC moment: local time minus the LT-UTC difference (hours,
// settings value 2).
QDateTime utcOf(const QDateTime &local, double ltMinusUtcHours);
// The event minute number of a moment (seconds ignored).
long long minuteOf(const QDateTime &t);
// "Jan" .. "Dec".
QString monthName(int month);

// PBS within -2000..2000 and BWC within 500..5500 are sent; anything else
// means "none".
bool pbsSet(int pbs);
bool bwcSet(int bwc);
// Row and edit-panel texts: "+0.5", "-1.2"; "5.5"; "" when not set.
QString pbsText(int pbs);
QString bwcText(int bwc);

// One event: fields 1-20 as the table keeps them (index 0 unused).
struct TimerEvent {
    std::array<int16_t, 21> f{};
    // Beyond the twenty fields: the event is recorded while the output is
    // on ("O1" to "O0").
    bool rec = false;
    // The station heard, for the recording's name (may be empty).
    QString station;

    int day() const { return f[1]; }
    int month() const { return f[2]; }
    int year() const { return f[3]; }
    int hour() const { return f[4]; }
    int minute() const { return f[5]; }
    int duration() const { return f[6]; }
    int att() const { return f[7]; }
    int bw() const { return f[8]; }
    int mode() const { return f[9]; }
    int agc() const { return f[10]; }
    int pbs() const { return f[19]; }
    int bwc() const { return f[20]; }
    // Field 11 + d holds the digit of weight 10^d.
    long long hz() const;
    long long startMinute() const { return eventMinute(day(), month(), year(), hour(), minute()); }
    long long endMinute() const { return startMinute() + duration(); }
};

// What an event row shows.
struct RowTexts {
    QString date[3]; // day, month name, year "00"
    QString time[3]; // hour "00", minute "00", duration
    QString stat[6]; // ATT, BW, mode, AGC, PBS, BWC
    QString freq[8]; // digit of weight 10^d at index d
};
RowTexts rowTexts(const TimerEvent &e, const Captions &cap);

// The options fitted that the edit panel follows.
struct Options {
    bool narrow = false; // bandwidth code 2
    bool ecss = false;   // modes 7 and 8
    bool bwcUnit = false;
};

// The values of the event being composed and the spin rules.
class EventEdit {
public:
    enum Spin { Day, Month, Year, Hour, Minute, Duration, Att, Bw, Mode, Agc, Pbs, Bwc };

    int day = 1, month = 1, year = kFirstYear, hour = 0, minute = 0;
    int duration = kDefaultDuration;
    int att = 0, bw = 0, bw_saved = 0, mode = 4, prev_mode = 4, agc = 0;
    int pbs = 0, bwc = kNoBwc, bwc_min = 0, bwc_max = 0;
    std::array<int, 8> digits{}; // index d = weight 10^d
    bool rec = false;            // record the event
    QString station;             // the station, for the recording's name
    Options opt;

    EventEdit();

    // One step down (dir < 0) or up (dir > 0).
    void step(Spin s, int dir);
    void stepDigit(int d, int dir);

    long long hz() const;
    // Sets the digits (clamped to the receiver's range).
    void setHz(long long hz);
    // get_utc: date and start time from a UTC moment (year kept in range).
    void setUtc(const QDateTime &utc);
    // get_rx: settings from a read_rx_state result ("X" + rec12); fields
    // that are not digits keep their values. PBS becomes 0.
    void setFromRx(const QString &x13);

    // The bandwidth rule for BWC and the mode-5 rule.
    void applyBwRule();
    void smd_is_5();

    bool isFm() const;
    // Whether the spins and labels of the setting are enabled.
    bool bwcActive() const;
    bool pbsActive() const { return !isFm(); }

    // tofix: the table record.
    TimerEvent toEvent() const;
    long long startMinute() const { return eventMinute(day, month, year, hour, minute); }

private:
    void clampDay();
    void clampFreq();
    void modeChanged();
};

// The table and its fixed rows, always a prefix 1..k.
class EventTable {
public:
    std::array<TimerEvent, kEvents + 1> event_tab{}; // index 1..5
    std::array<bool, kEvents + 1> event_fixed{};

    // Number of fixed events (the prefix length).
    int fixedCount() const;
    void fix(int n, const TimerEvent &e);
    void clear(int n);
    void clearAll();

    // Enabled state of the row buttons and the command buttons while
    // programming (index 1..5).
    struct Buttons {
        std::array<bool, kEvents + 2> fix{}, clr{};
        bool timerOn = false, clearAll = false;
    };
    Buttons buttons() const;
};

// The checks; each shows its message through the prompter and returns true
// when the event must be refused.
// too_late_to_fix: the edit values start at or before the present UTC minute.
bool too_late_to_fix(const EventEdit &e, const QDateTime &local, double ltMinusUtc, Prompter *p);
// conflict(n): the edit values start at or before the minute event n-1 ends.
bool conflict(const EventTable &t, int n, const EventEdit &e, Prompter *p);
// too_late_to_start: event 1 of the table has started or is past.
bool too_late_to_start(const EventTable &t, const QDateTime &local, double ltMinusUtc, Prompter *p);

} // namespace timertab
