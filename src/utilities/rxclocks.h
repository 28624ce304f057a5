// The receiver's own clock and on/off timer: the PC clock texts, the timer
// time check, the clock reply and the exchanges with the receiver.
#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

#include "link/linetask.h"

struct App;

namespace rxclocks {

// "hh:mm:ss" of the local time.
QString ltText(const QDateTime &local);
// "hh:mm:ss" of UTC: local time plus (minus 60 x ltMinusUtcHours) minutes,
// the minutes taken as a whole number.
QString utcText(const QDateTime &local, double ltMinusUtcHours);
// "hhmmss" of a "hh:mm:ss" text (its characters 1-2, 4-5 and 7-8).
QString hhmmss(const QString &clockText);

// A timer time: exactly four digits, hours 0 to 23, minutes 0 to 59.
bool validTimerText(const QString &t);
// The error text of a timer time (on: timer-on, else timer-off).
QString timerInputError(bool on);
inline QString inputErrorTitle() { return QStringLiteral("Input Error"); }

// The receiver clock as "hh:mm" from an "R0" reply (characters 2-3 hours,
// 4-5 minutes); nullopt when they are not digits or out of range.
std::optional<QString> clockFromReply(const QByteArray &reply);

// Reads the receiver clock ("R0", 8 characters, bounded) as a step of a job
// that runs in the remote bracket. Returns "hh:mm"; nullopt when there is no
// usable answer, after telling the user why (no answer, or a reply that is
// not a clock time).
rxjob::Task<std::optional<QString>> aReadClock(App &app);

// The receiver's clock mode: on when the clock window opens ("R4"), off
// when it closes ("R7"); a job in the remote bracket.
void submitClockMode(App &app, bool on);
// Shows the timer-on (on) or timer-off time on the receiver's display
// ("R5", "R6"): as a job in the remote bracket, or as a step of a job that
// runs in one.
void showTimer(App &app, bool on);
rxjob::Task<> aShowTimer(App &app, bool on);
// What the clock window sets: the clock from a "hh:mm:ss" text ("R1" +
// hhmmss), the timer-off or timer-on time from four digits ("R3", "R2" +
// hhmm; checked by validTimerText first).
enum class Setting { Clock, TimerOff, TimerOn };
// As a step of a job: the setting in a remote bracket of its own, then the
// receiver's pause before it is read back.
rxjob::Task<> aSet(App &app, Setting what, QString value);
inline constexpr int kSettlePauseMs = 200;

// Text of the message for a clock reply that is not a time.
QString badClockReplyText();

} // namespace rxclocks
