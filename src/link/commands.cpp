#include "link/commands.h"

#include "common/fmt.h"

namespace cmd {

QString freqHz(long long hz) { return QLatin1Char('F') + fmt::zeros(double(hz), 8); }
QString recall(int channel) { return QLatin1Char('C') + fmt::zeros(channel, 3); }
QString att(long long n) { return QLatin1Char('A') + fmt::lastDigit(n); }
QString bw(long long n) { return QLatin1Char('B') + fmt::lastDigit(n); }
QString mode(long long n) { return QLatin1Char('D') + fmt::lastDigit(n); }
QString agc(long long n) { return QLatin1Char('G') + fmt::lastDigit(n); }
QString nb(long long n) { return QLatin1Char('N') + fmt::lastDigit(n); }
QString bwc(int hz) { return QLatin1Char('W') + fmt::zeros(hz, 4); }

static QString signed4(int v)
{
    return v >= 0 ? QLatin1Char('+') + fmt::zeros(v, 4) : fmt::zeros(v, 4);
}

QString pbs(int hz) { return QLatin1Char('P') + signed4(hz); }
QString pbsRefresh() { return QStringLiteral("P0000"); }
QString readout(int first, int last)
{
    return QLatin1Char('L') + fmt::zeros(first, 3) + fmt::zeros(last, 3);
}
QString write(int channel, const QString &rec12)
{
    return QLatin1Char('K') + fmt::zeros(channel, 3) + rec12;
}
QString setRecord(const QString &rec12) { return QStringLiteral("S199") + rec12; }
QString user(int function, long long n)
{
    return QLatin1Char('U') + QString::number(function % 10) + fmt::lastDigit(n);
}
QString clearChannel(int channel) { return QStringLiteral("U5") + fmt::zeros(channel, 3); }
QString bfo(int hz) { return QStringLiteral("U2") + signed4(hz); }
QString rttyParams(int speedIndex, int shiftIndex, int polarity)
{
    static const char *const speed[] = {"65", "50", "00"};
    const int i = speedIndex < 0 || speedIndex > 2 ? 1 : speedIndex;
    return QStringLiteral("U3") + QLatin1String(speed[i]) + fmt::lastDigit(shiftIndex)
        + fmt::lastDigit(polarity);
}
QString clockSet(const QString &hhmmss) { return QStringLiteral("R1") + hhmmss; }
QString timerOnTime(const QString &hhmm) { return QStringLiteral("R2") + hhmm; }
QString timerOffTime(const QString &hhmm) { return QStringLiteral("R3") + hhmm; }

QString rec12(int att, int bw, int mode, long long hz, int agc)
{
    return QString(fmt::lastDigit(att)) + fmt::lastDigit(bw) + fmt::lastDigit(mode)
        + fmt::zeros(double(hz), 8) + fmt::lastDigit(agc);
}

QString rec12FromCode(const QString &code4, double khz)
{
    const QString c = code4.leftJustified(4, QLatin1Char('0'), true);
    return c.left(3) + fmt::hz8(khz) + c.mid(3, 1);
}

} // namespace cmd
