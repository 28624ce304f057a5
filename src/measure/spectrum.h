// The spectrum scan without a window: the limits as typed and their checks,
// the walk over the steps with keep-highest, the graph's geometry, and the
// SAN file (with a CSV export).
#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace spectrum {

inline constexpr int kMaxPoints = 500;
inline constexpr int kData = 506;
inline constexpr int kMinDelayMs = 500;
inline constexpr int kMaxDelayMs = 5000;

// Plotting area of the graph, window pixels.
inline constexpr int kLeft = 70, kRight = 570, kTop = 130, kBottom = 400;
inline constexpr int kPixelsPerUnit = 12;

struct Limits {
    QString lowerText, upperText, stepText, delayText; // as typed, "," made "."
    double lower = 0, upper = 0, step = 0;
    float delay = 1;
    bool loop = false, keepHighest = false;
    // The whole number of steps: steps 0 to points are measured.
    int points() const;
    int delayMs() const; // the delay clamped to 0.5 .. 5 s, in ms
};

// The limits dialog's texts (lower, upper, step, delay). nullopt when they
// are refused: step <= 0, lower < 10, upper <= lower, upper above the
// receiver's range, or more than 500 steps.
std::optional<Limits> parseLimits(const QStringList &texts, bool loop, bool keepHighest);
inline QString inputErrorText() { return QStringLiteral("Input ERROR"); }
inline QString inputErrorTitle() { return QStringLiteral("Error"); }

// The scan in progress (the program-wide scan data).
struct Scan {
    Limits lim;
    int index = 0; // the step measured next
    std::array<float, kData> data{};

    bool over() const { return lim.points() < index; }
    double freqAt(int i) const { return i * lim.step + lim.lower; }
    double current() const { return freqAt(index); }
    // Stores v at the current step (keep-highest keeps the larger one);
    // returns the stored value. Nothing is stored past the data's end.
    float store(double v);
    // Moves to the next step; in loop mode wraps to 0 after the last one
    // (returns true when a new sweep starts).
    bool advance();
    // "Continue" makes sense: the scan stopped well before its end.
    bool canContinue() const;
    // Graph geometry.
    int xOf(double khz) const;
    static int yOf(double v) { return kBottom - int(kPixelsPerUnit * v); }
    // Tune mode: the step under pixel x (70 <= x < 570) when clicked, and
    // the frequency shown under the pointer.
    double freqAtClick(int x) const;
    double freqUnderPointer(int x) const;
    // The frequency and the level at pixel (x, y) of the plotting area
    // ("9655.000 kHz  S9+12"); empty outside it or before limits are set.
    QString pointerText(int x, int y) const;
};

// A number as this window shows it: a leading blank in the sign position.
QString numText(double v);

// SAN file: date line, lower, upper, step texts, the point index (" n "),
// then data[0..index] as tenths of a unit, "000".
QStringList sanLines(const QString &dateText, const Scan &s);

struct SanData {
    QString date;
    double lower = 0, upper = 0, step = 0;
    int index = 0;           // the last value line, clamped into the data
    std::array<float, kData> data{};
    QStringList problems;    // what was wrong (short, garbage, out of range)
    bool valid() const;      // the limits make a graph (the loaded variant)
};
SanData readSan(const QStringList &lines);

// CSV of a spectrum: "kHz,units" then one line per stored step.
QStringList csvLines(const Scan &s, int lastIndex);

} // namespace spectrum
