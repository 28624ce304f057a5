#include "common/fmt.h"

#include <cmath>
#include <cstdlib>

namespace fmt {

double val(const QString &text)
{
    const double v = valUnbounded(text);
    return std::isfinite(v) ? v : 0.0;
}

double valUnbounded(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char(','), QLatin1Char('.'));
    int i = 0;
    const int n = s.size();
    while (i < n && (s[i] == QLatin1Char(' ') || s[i] == QLatin1Char('\t')))
        ++i;
    const int start = i;
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        ++i;
    int digits = 0;
    while (i < n && s[i].isDigit() && s[i].unicode() < 128) { ++i; ++digits; }
    if (i < n && s[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && s[i].isDigit() && s[i].unicode() < 128) { ++i; ++digits; }
    }
    if (digits == 0)
        return 0.0;
    int end = i;
    // Optional exponent, only when followed by digits.
    if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            ++j;
        int ed = 0;
        while (j < n && s[j].isDigit() && s[j].unicode() < 128) { ++j; ++ed; }
        if (ed > 0 && ed < 4)
            end = j;
    }
    const QByteArray num = s.mid(start, end - start).toLatin1();
    return std::strtod(num.constData(), nullptr); // HUGE_VAL when too large
}

double roundHalfEven(double v)
{
    return std::nearbyint(v); // default rounding mode is to nearest, ties to even
}

double roundHalfAway(double v)
{
    return std::round(v);
}

QString zeros(double v, int digits)
{
    const long long r = static_cast<long long>(roundHalfAway(v));
    QString body = QString::number(std::llabs(r)).rightJustified(digits, QLatin1Char('0'));
    return r < 0 ? QLatin1Char('-') + body : body;
}

QString fixed(double v, int decimals)
{
    // Round on the decimal value first so 0.0005 steps behave like the
    // picture format (half away from zero), then print with a point.
    const double scale = std::pow(10.0, decimals);
    double r = roundHalfAway(v * scale) / scale;
    if (r == 0.0)
        r = 0.0; // no "-0.000"
    return QString::number(r, 'f', decimals);
}

QString freqText(double khz)
{
    return fixed(khz, 3);
}

QString zeroFixed(double v, int intDigits, int decimals)
{
    QString s = fixed(std::fabs(v), decimals);
    const int dot = s.indexOf(QLatin1Char('.'));
    const int intLen = dot < 0 ? s.size() : dot;
    if (intLen < intDigits)
        s = QString(intDigits - intLen, QLatin1Char('0')) + s;
    return v < 0 && fixed(v, decimals).startsWith(QLatin1Char('-')) ? QLatin1Char('-') + s : s;
}

QString blankNum(double v)
{
    QString s = QString::number(v, 'g', 15);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return v >= 0 || s == QLatin1String("0") ? QLatin1Char(' ') + s : s;
}

QString hz8(double khz)
{
    return zeros(khz * 1000.0, 8);
}

QChar lastDigit(long long n)
{
    const QString s = QString::number(n);
    return s.at(s.size() - 1);
}

int digitValue(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') ? int(u - '0') : 0;
}

} // namespace fmt
