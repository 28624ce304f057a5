// The propagation history without a window: the second ring and its rolling
// histogram, the minute and cumulative counts, the extremes since Start and
// the half-minute lowest and highest.
#pragma once
#include <QList>
#include <array>
#include <optional>

namespace history {

inline constexpr int kBins = 21;

// Bin i (1 to 21) holds values with i - 0.5 <= v < i + 0.5; 0 for none.
int binOf(double v);

struct TickOut {
    float previous = 9;          // the reading of the tick before (markers)
    QList<int> rollingChanged;   // bins of the upper histogram to redraw
    bool minuteClose = false;    // the lower histogram is redrawn
    float maxCumulative = 0;     // its largest bin (the 240-pixel bar)
    std::optional<float> oldHighest, oldLowest; // set when a new extreme
    bool halfClose = false;      // a half-minute bar
    float halfLo = 21, halfHi = 0;
    bool clearHourFirst = false; // mm = 59, ss = 51
};

class History {
public:
    History() { start(); }
    // Everything to 0; previous 9, extremes and half-minute to 21 / 0.
    void start();
    TickOut tick(int mm, int ss, double v);

    float rolling(int i) const { return rolling_[size_t(i)]; }
    float cumulative(int i) const { return cumulative_[size_t(i)]; }
    float highest() const { return highest_; }
    float lowest() const { return lowest_; }
    float previous() const { return previous_; }

private:
    std::array<float, 61> ring_{};
    std::array<float, 23> rolling_{}, minute_{}, cumulative_{};
    float previous_ = 9, halfLo_ = 21, halfHi_ = 0, lowest_ = 21, highest_ = 0;
};

} // namespace history
