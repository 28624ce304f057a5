// What the receiver accepts, in one place: frequency range, memory channels,
// the code range of each setting, the bandwidth-control and passband-shift
// ranges, and the line settings. Windows and the command builders read these;
// nothing else spells the numbers.
#pragma once
#include <optional>

namespace rxlimits {

// Tuning range.
inline constexpr double kMinKhz = 10.0;
inline constexpr double kMaxKhz = 29999.999;
inline constexpr long long kMinHz = 10000;
inline constexpr long long kMaxHz = 29999999;
inline constexpr bool inRangeHz(long long hz) { return hz >= kMinHz && hz <= kMaxHz; }
// kHz as whole Hz (half up); -1 for a value that no frequency can be (not
// a number, negative, or far beyond any range).
inline constexpr long long hzOf(double khz)
{
    return khz >= 0 && khz < 1e9 ? (long long)(khz * 1000.0 + 0.5) : -1;
}
// The one range rule, for a value in kHz: the whole Hz it tunes to.
inline constexpr bool inRange(double khz) { return inRangeHz(hzOf(khz)); }
inline constexpr long long clampHz(long long hz)
{
    return hz < kMinHz ? kMinHz : (hz > kMaxHz ? kMaxHz : hz);
}

// Memory channels 0 to 199; channel 199 doubles as the working-settings slot
// of the state read.
inline constexpr int kFirstChannel = 0;
inline constexpr int kLastChannel = 199;
inline constexpr int kChannels = 200;
inline constexpr int kStateChannel = 199;
inline constexpr bool validChannel(int ch) { return ch >= kFirstChannel && ch <= kLastChannel; }

// Codes of each setting (the receiver's digits).
struct CodeRange {
    int min, max;
    constexpr bool contains(int c) const { return c >= min && c <= max; }
};
inline constexpr CodeRange kAtt{0, 1};  // Off, On
inline constexpr CodeRange kBw{0, 3};   // Wide, Inter, Narr, Aux
inline constexpr CodeRange kMode{0, 8}; // RTTY .. AM-L
inline constexpr CodeRange kAgc{0, 2};  // Slow, Fast, Off
inline constexpr CodeRange kNb{0, 2};
// The code digits a memory record may hold: the receiver's codes plus the
// reserved slots that show no caption (a third attenuator step, a fifth
// bandwidth, AGC 3 and 4).
inline constexpr CodeRange kRecAtt{0, 2};
inline constexpr CodeRange kRecBw{0, 4};
inline constexpr CodeRange kRecMode{0, 8};
inline constexpr CodeRange kRecAgc{0, 4};
inline constexpr int kModeFm = 5;        // NFM: no AGC, bandwidth, bwc or pbs
inline constexpr int kBwNarrow = 2;      // needs the narrow filter
inline constexpr int kFirstEcssMode = 7; // AM-U, AM-L need the ECSS unit

// Bandwidth control: the value at the scroll bar's minimum end and at its
// maximum end, for the two bandwidths that have it.
struct BwcRange {
    int minEnd, maxEnd;
    constexpr int lo() const { return minEnd < maxEnd ? minEnd : maxEnd; }
    constexpr int hi() const { return minEnd < maxEnd ? maxEnd : minEnd; }
};
inline constexpr BwcRange kBwcWide{5500, 2000};
inline constexpr BwcRange kBwcInter{2200, 500};
inline constexpr std::optional<BwcRange> bwcRange(int bw)
{
    if (bw == 0)
        return kBwcWide;
    if (bw == 1)
        return kBwcInter;
    return std::nullopt;
}
inline constexpr int kBwcStep = 25;
inline constexpr int kBwcPage = 200;

// Passband shift, Hz.
inline constexpr int kPbsMin = -2000;
inline constexpr int kPbsMax = 2000;
inline constexpr int kPbsStep = 25;
inline constexpr int kPbsPage = 200;

// The line: 4800 baud, no parity, 8 data bits, 1 stop bit.
inline constexpr int kBaud = 4800;
// Every reply wait is bounded by this (ms) unless the caller says otherwise.
inline constexpr int kReplyTimeoutMs = 1500;
// Pause between the two "H1" / "H0" of the remote bracket (ms).
inline constexpr int kBracketPauseMs = 50;

} // namespace rxlimits
