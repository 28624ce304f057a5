// The receiver's user definitions ("U" commands): which command each option
// of the user definitions window sends, the CW BFO pitch steps and the
// defaults that Reset to Defaults sends.
#pragma once
#include <QString>
#include <QStringList>
#include <array>

class QObject;
class Receiver2;

namespace udefs {

// The one way the user definitions reach the receiver: c is a command of
// the tables below (an option's, the pitch's, a default); an empty one
// sends nothing. send: inside a running job, at once (false when nothing
// was sent). submit: as a job in the remote bracket (only the bracket goes
// out for an empty one).
bool send(Receiver2 &rx, const QString &c);
void submit(Receiver2 &rx, const QString &c, QObject *context = nullptr);

// One group of option buttons: its frame caption, the objectName of its
// buttons, their captions and the command each sends when selected.
struct OptionGroup {
    const char *frame;
    const char *name;
    QStringList captions;
    QStringList commands;
};

// The six option groups in frame order (S-meter display, 10 Hz digit, clock
// colon, SSB display, beep, relay). The CW BFO pitch frame sits between beep
// and relay and is not an option group.
//
// SSB frequency display: "No shift" sends "U60" and "1.5 kHz shift" sends
// "U61". The receiver's user functions use digit 1 for the feature switched
// on (vbt, 10 Hz digit, colon blinking, beep), and Reset to Defaults sends
// "U61" and then shows "1.5 kHz shift"; with this pairing the window and
// Reset agree.
const std::array<OptionGroup, 6> &groups();
// Index of the relay group and of the SSB display group in groups().
inline constexpr int kSmeterGroup = 0;
inline constexpr int kSsbGroup = 3;
inline constexpr int kRelayGroup = 5;

// CW BFO pitch, Hz.
inline constexpr int kPitchMin = -5000;
inline constexpr int kPitchMax = 5000;
inline constexpr int kPitchStep = 50;
inline constexpr int kPitchDefault = 800;
// One step up (dir > 0) or down (dir < 0), kept within the range.
int stepPitch(int pitch, int dir);
// "+0850", "-5000", "+0000".
QString pitchText(int pitch);
// "U2" + pitch text.
QString pitchCommand(int pitch);

// Reset to Defaults: ten entries, empty ones send nothing.
std::array<QString, 10> defaultsTable();
// Pause after each default sent, ms.
inline constexpr int kDefaultsPauseMs = 200;

// What the window shows after Reset: for each option group the index
// selected (in groups() order).
std::array<int, 6> defaultSelection();

} // namespace udefs
