#include "link/rxstate.h"

DecodedState DecodedState::decode(const QString &x13)
{
    DecodedState d;
    auto digitAt = [&](int pos1) -> int {
        if (pos1 - 1 >= x13.size())
            return -1;
        const QChar c = x13.at(pos1 - 1);
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0' : -1;
    };
    d.att = digitAt(2);
    d.bw = digitAt(3);
    d.mode = digitAt(4);
    d.agc = digitAt(13);
    if (x13.size() >= 12) {
        const QString hz = x13.mid(4, 8);
        bool all = true;
        for (QChar c : hz)
            all = all && c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (all) {
            d.freqValid = true;
            d.hz = hz.toLongLong();
            d.khz = d.hz / 1000.0;
        }
    }
    return d;
}
