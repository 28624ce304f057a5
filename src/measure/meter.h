// The signal-strength reading and the meter scale shared by the S-meter,
// the spectrum scan and the propagation windows.
//
// Meter units: 1 unit per S-step of 6 dB, S1 = 1, S9 = 9, "+72" = 21.
#pragma once
#include <QByteArray>
#include <QString>
#include <array>

class Receiver2;
struct App;

namespace meter {

// Units the attenuator takes off the signal (20 dB).
inline constexpr double kAttUnits = 3.333;
// Highest reading without the attenuator.
inline constexpr double kTop = 18.0;
// The raw level of no signal at all.
inline constexpr int kZeroLevel = 138;
// The scanning windows raise raw levels below this to it.
inline constexpr int kScanFloorLevel = 68;

// Scale marks: units and label.
struct Mark {
    int units;
    const char *label;
};
inline constexpr std::array<Mark, 6> kMarks{{
    {1, "S1"}, {5, "S5"}, {9, "S9"}, {13, "+24"}, {17, "+48"}, {21, "+72"},
}};

// The raw level of a reply: its characters 2 to 4 read leniently (no digits
// give 0; the first character is not examined).
int rawLevel(const QByteArray &reply);
// Meter units of a raw level with the attenuator state att (0 or 1), clamped
// to 0 .. att x 3.333 + 18.
double units(int level, int att);
// The same with the scanning windows' floor: levels below 68 count as 68.
double scanUnits(int level, int att);

// A reading as the S-unit text of a meter: "S0" .. "S9", then dB above S9
// ("S9+24"); 6 dB per unit, rounded to whole units.
QString sText(double v);

// One reading.
struct Reading {
    enum Status { Ok, NoAnswer, Busy, Lost };
    Status status = NoAnswer;
    double v = 0;      // meter units (Ok only)
    int level = 0;     // raw level (Ok only)
    QByteArray reply;  // what arrived
    bool ok() const { return status == Ok; }
};

// One reading is the job step MeasureSession::aGetsmeter (measure/session.h):
// "M" and its 4 reply characters, converted with the attenuator state the
// program last read.

// The S-meter window's recorder: the needle and the ring of the last 60
// readings with its histogram of bins 1 to 20.
class Recorder {
public:
    static constexpr int kRing = 60;
    static constexpr int kBins = 20;
    static constexpr int kNeedleMax = 198;

    // What one reading changed.
    struct Tick {
        float prevNeedle = 0, needle = 0;
        float old = 0, v = 0;  // reading leaving the ring, reading entering
        int binOut = 0;        // bin that lost one (0 = none)
        int binIn = 0;         // bin that gained one (0 = none)
    };

    Recorder() { clear(); needle_ = prev_ = 99; }
    // Needle pixel of a reading: (v - 1) x 10 within 0 .. 198.
    static float needleOf(double v);
    // Bin i (1 to 20) holds readings i <= v < i + 1; 0 for none.
    static int binOf(double v);

    Tick add(double v);
    // Ring and bins to 0; cursor and needle stay.
    void clear();

    float needle() const { return needle_; }
    float previousNeedle() const { return prev_; }
    int cursor() const { return cursor_; }
    float bin(int i) const { return bins_[size_t(i)]; }
    float ring(int i) const { return ring_[size_t(i)]; }

private:
    std::array<float, 61> ring_{};
    std::array<float, 23> bins_{};
    int cursor_ = 0;
    float needle_ = 99, prev_ = 99;
};

} // namespace meter
