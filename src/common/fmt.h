// Number conversion and formatting: the one place that parses or formats
// numbers for screen, files and receiver commands.
#pragma once
#include <QString>
#include <cstdint>

namespace fmt {

// Lenient conversion: every "," becomes ".", leading blanks are skipped, the
// longest numeric prefix (sign, digits, one point, optional exponent) is
// taken; nothing numeric gives 0. "12.5kHz" -> 12.5, "abc" -> 0, " -3" -> -3.
double val(const QString &text);
// The same, but a number too large for a double (a long row of digits) gives
// an infinity of its sign instead of 0, so that it can be called too large.
double valUnbounded(const QString &text);

// Round to the nearest whole number, halves to the even neighbour (banker's
// rounding, as whole-number conversion does for stored values).
double roundHalfEven(double v);
// Round halves away from zero (what the picture formats below do).
double roundHalfAway(double v);

// Whole number with at least `digits` digits, zero padded; a negative value
// gets a leading "-" before the digits ("0000" pattern: -25 -> "-0025").
// The value is rounded half away from zero first.
QString zeros(double v, int digits);

// Fixed decimals with at least one integer digit, no grouping, always a point:
// the "####0.000" pattern is fixed(v, 3).
QString fixed(double v, int decimals);

// The frequency text: kHz with pattern "####0.000" ("9500.000").
QString freqText(double khz);

// Pattern "00000.000": five integer digits zero padded, three decimals.
QString zeroFixed(double v, int intDigits, int decimals);

// A number as written with a leading blank for values of 0 or more and a
// leading "-" otherwise, shortest form, point as separator (" 1", " 1.5", "-2").
QString blankNum(double v);

// Frequency in kHz to whole Hz as eight digits ("00000000"): 9500.5 -> "09500500".
QString hz8(double khz);

// The last character of the decimal form of n (single-digit command argument).
QChar lastDigit(long long n);

// Numeric value of one character: a digit gives its value, anything else 0.
int digitValue(QChar c);

} // namespace fmt
