// The control panel's entry rules, without any window: the keypad display,
// the typed frequency, memory-channel entry, the spin step with its clamps
// and the tuning-step cells. The panel window turns clicks and keys into
// these calls and sends what they give through the receiver facade.
#pragma once
#include <QString>
#include <optional>

namespace panelentry {

// The keypad's display after one key: "0".."9" and "." are appended (no
// check for a second point), "back" removes the last character.
QString keypadPress(const QString &display, const QString &key);

// kHz of a keypad display or a typed field text: every "," counts as a
// point, the longest numeric prefix is used, nothing numeric gives 0.
double khzOf(const QString &text);

// True when khz may be sent as a frequency (10 to 29999.999 kHz).
bool frequencyAccepted(double khz);

// The memory channel of a keypad display; nullopt when the display is empty
// or its value lies outside 0 to 199.
std::optional<int> channelOf(const QString &display);

// One spin step from the frequency field's text: Hz of the text (+0.49 Hz,
// whole part), plus or minus stepHz. A down step stops at the bottom of the
// range, an up step at its top; neither clamps the other end. Values typed
// far outside any frequency never overflow.
long long spinTargetHz(const QString &fieldText, int stepHz, int dir);

// The spin direction a step leaves behind: -1 for a down step, else 1.
inline int spinDirOf(int dir) { return dir < 0 ? -1 : 1; }

// The tuning step in Hz of a step cell ("0.001" -> 1, "12.5" -> 12500);
// 0 for an empty cell.
int stepHzOf(const QString &cellText);

} // namespace panelentry
