// The clock line's time texts.
#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

struct TimeTexts {
    QString lt_text;   // "d mmm yyyy  hh:mm", local time
    QString utc_text;  // same pattern, local time minus the LT-UTC difference
    QString utc_stamp; // "yyyymmdd hhmm"
};

namespace timetext {
// "d mmm yyyy  hh:mm" with the locale's three-letter month abbreviation.
QString dateTimeText(const QDateTime &t, const QLocale &locale = QLocale());
// Computes the three texts; UTC is taken at whole-minute precision.
TimeTexts compute(const QDateTime &local, double ltMinusUtcHours,
                  const QLocale &locale = QLocale());
// "hhmm" from the last five characters ("hh:mm") of a clock text.
QString hhmmOf(const QString &clockText);

// The LT-UTC value (hours) that stands for a system offset from UTC in
// seconds: nullopt when the setting cannot hold it (beyond -13 to +13 h,
// or not a whole or half hour).
std::optional<double> ltUtcOf(int offsetSeconds);
// An LT-UTC value as the settings file and the set-up field show it: "2",
// "-5.5", "0".
QString hoursText(double hours);

// Watches the system's offset from UTC against the LT-UTC setting (UTC is
// local time minus that setting, so a clock change to or from summer time
// puts every UTC time an hour off). Each distinct offset that differs from
// the setting is told once: asked about while nothing runs by itself, as a
// notice while something does (the question then waits until it ends).
class OffsetWatch {
public:
    enum class Say { Nothing, Notice, Ask };
    Say check(std::optional<int> systemOffsetSeconds, double ltMinusUtcHours, bool running);

private:
    std::optional<int> offset_; // last offset seen
    bool noticed_ = false;      // its notice was shown
    bool asked_ = false;        // its question was asked
};
} // namespace timetext
