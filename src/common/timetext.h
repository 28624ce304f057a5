// The clock line's time texts.
#pragma once
#include <QDateTime>
#include <QLocale>
#include <QString>

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
} // namespace timetext
