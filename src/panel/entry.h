// The control panel's entry rules, without any window: the keypad display,
// the typed frequency, memory-channel entry, the spin step with its clamps
// and the tuning-step cells. The panel window turns clicks and keys into
// these calls and sends what they give through the receiver facade, which
// alone decides whether a frequency is in the receiver's range.
#pragma once
#include <QString>
#include <optional>

namespace panelentry {

// The keypad's display after one key: "0".."9" and "." are appended (no
// check for a second point), "back" removes the last character.
QString keypadPress(const QString &display, const QString &key);

// Hz of a keypad display or a typed field text (kHz): every "," counts as
// a point, the longest numeric prefix is used, nothing numeric gives 0, a
// negative or absurd value -1.
long long hzOf(const QString &text);

// The memory channel of a keypad display; nullopt when the display is empty
// or its value lies outside 0 to 199.
std::optional<int> channelOf(const QString &display);

// One spin step from the receiver's frequency (the bottom of the range
// while none is known), plus or minus stepHz, kept within the range.
long long spinTargetHz(std::optional<long long> fromHz, int stepHz, int dir);

// The spin direction a step leaves behind: -1 for a down step, else 1.
inline int spinDirOf(int dir) { return dir < 0 ? -1 : 1; }

// The tuning step in Hz of a step cell ("0.001" -> 1, "12.5" -> 12500);
// 0 for an empty cell.
int stepHzOf(const QString &cellText);

} // namespace panelentry
