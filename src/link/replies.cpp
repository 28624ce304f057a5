#include "link/replies.h"

#include "common/fmt.h"
#include "link/limits.h"

namespace rxreply {

namespace {

bool digit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
bool digit(char c) { return c >= '0' && c <= '9'; }

// The three channel digits at 1..3 of a read-out line; -1 when they are not
// a channel.
int channelAt(QByteArrayView line)
{
    if (line.size() < 4)
        return -1;
    int n = 0;
    for (int i = 1; i <= 3; ++i) {
        if (!digit(line.at(i)))
            return -1;
        n = n * 10 + (line.at(i) - '0');
    }
    return rxlimits::validChannel(n) ? n : -1;
}

} // namespace

QString recordFault(QStringView rec, bool fromReceiver)
{
    if (rec.size() != 12)
        return QStringLiteral("the record has %1 characters, not 12").arg(rec.size());
    for (qsizetype i = 0; i < rec.size(); ++i)
        if (!digit(rec.at(i)))
            return QStringLiteral("character %1 is not a digit").arg(i + 1);
    struct Field {
        const char *name;
        int pos;
        rxlimits::CodeRange range;
    };
    const Field fields[] = {{"attenuator", 0, rxlimits::kAtt},
                            {"bandwidth", 1, rxlimits::kBw},
                            {"mode", 2, rxlimits::kMode},
                            {"AGC", 11, rxlimits::kAgc}};
    const bool fm = rec.at(2).unicode() - '0' == rxlimits::kModeFm;
    for (const Field &f : fields) {
        if (fromReceiver && fm && f.pos == 11)
            continue;
        const int code = rec.at(f.pos).unicode() - '0';
        if (!f.range.contains(code))
            return QStringLiteral("%1 code %2 is not one of the receiver's (%3 to %4)")
                .arg(QLatin1String(f.name))
                .arg(code)
                .arg(f.range.min)
                .arg(f.range.max);
    }
    const long long hz = rec.sliced(3, 8).toLongLong();
    if (!rxlimits::inRangeHz(hz))
        return QStringLiteral("frequency %1 kHz is outside %2 to %3 kHz")
            .arg(fmt::freqText(hz / 1000.0), fmt::freqText(rxlimits::kMinKhz),
                 fmt::freqText(rxlimits::kMaxKhz));
    return {};
}

Readout readout(QByteArrayView line, int want)
{
    Readout r;
    if (line.isEmpty() || line.front() != 'L' || line.back() != '\r')
        return r;
    const int ch = channelAt(line);
    if (ch < 0 || (want >= 0 && ch != want))
        return r;
    if (line.size() == kEmptyLen && line.at(4) == 'V') {
        r.kind = Readout::Empty;
        r.channel = ch;
        return r;
    }
    if (line.size() != kStoredLen)
        return r;
    if (line.at(4) == 'V') {
        // The empty channel in the full length: nothing but blanks or digits
        // after the "V".
        for (qsizetype i = 5; i < kStoredLen - 1; ++i)
            if (line.at(i) != ' ' && !digit(line.at(i)))
                return r;
        r.kind = Readout::Empty;
        r.channel = ch;
        return r;
    }
    const QString rec = QString::fromLatin1(line.sliced(4, 12));
    if (!validRecord(rec, true))
        return r;
    r.kind = Readout::Stored;
    r.channel = ch;
    r.rec12 = rec;
    return r;
}

bool isReport(QByteArrayView line)
{
    // The program reads only the last ten characters; the letter and a
    // sensible length tell a report from a reply.
    const qsizetype n = line.size();
    if (n < 11 || n > 24 || line.front() != 'I' || line.back() != '\r')
        return false;
    for (qsizetype i = n - 10; i < n - 2; ++i)
        if (!digit(line.at(i)))
            return false;
    return true;
}

bool isReportPiece(QByteArrayView line)
{
    if (isReport(line))
        return true;
    const qsizetype n = line.size();
    if (n < 2 || n > 24 || line.back() != '\r')
        return false;
    for (qsizetype i = 0; i < n - 1; ++i)
        if (!digit(line.at(i)))
            return false;
    return true;
}

Split firstLine(QByteArrayView bytes)
{
    Split s;
    while (true) {
        const qsizetype cr = bytes.indexOf('\r');
        if (cr < 0) {
            s.line = bytes;
            return s;
        }
        const QByteArrayView line = bytes.first(cr + 1);
        if (isReportPiece(line)) {
            ++s.reportsDropped;
            bytes = bytes.sliced(cr + 1);
            continue;
        }
        s.complete = true;
        s.line = line;
        s.rest = bytes.sliced(cr + 1);
        return s;
    }
}

bool onlyReportsAfter(QByteArrayView rest)
{
    while (!rest.isEmpty()) {
        if (rest.front() != 'I')
            return false;
        const qsizetype cr = rest.indexOf('\r');
        if (cr < 0)
            return rest.size() < 24; // a report on its way
        if (!isReport(rest.first(cr + 1)))
            return false;
        rest = rest.sliced(cr + 1);
    }
    return true;
}

} // namespace rxreply
