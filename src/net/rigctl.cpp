#include "net/rigctl.h"

#include "link/limits.h"

#include <cmath>

namespace rigctl {

namespace {
struct Cmd {
    char shortName;
    const char *longName;
    int args;
};
// The commands the server knows. Others are answered "not implemented".
const Cmd kCmds[] = {
    {'F', "set_freq", 1},    {'f', "get_freq", 0},   {'M', "set_mode", 2},
    {'m', "get_mode", 0},    {'V', "set_vfo", 1},    {'v', "get_vfo", 0},
    {'L', "set_level", 2},   {'l', "get_level", 1},  {'T', "set_ptt", 1},
    {'t', "get_ptt", 0},     {'q', "quit", 0},       {'Q', "quit", 0},
    {0, "dump_state", 0},    {0, "chk_vfo", 0},      {0, "get_powerstat", 0},
    {'1', "dump_caps", 0},   {'s', "get_split_vfo", 0}, {'S', "set_split_vfo", 2},
    {0, "get_lock_mode", 0}, {0, "set_lock_mode", 1},
};
} // namespace

int argCount(const QString &name)
{
    for (const Cmd &c : kCmds)
        if (name == QLatin1String(c.longName))
            return c.args;
    return -1;
}

bool isSet(const Request &r)
{
    if (!r.ok)
        return false;
    const QString &n = r.name;
    if (n == QLatin1String("set_vfo_opt"))
        return false;
    return n.startsWith(QLatin1String("set_")) || n == QLatin1String("vfo_op") || n == QLatin1String("AOS") ||
        n == QLatin1String("LOS");
}

Request parse(const QByteArray &raw)
{
    Request r;
    QByteArray line = raw;
    while (!line.isEmpty() && (line.endsWith('\r') || line.endsWith('\n')))
        line.chop(1);
    line = line.trimmed();
    if (!line.isEmpty() && QByteArrayView("+;|,").contains(line.at(0))) {
        r.extended = true;
        r.sep = line.at(0) == '+' ? '\n' : line.at(0);
        line = line.mid(1).trimmed();
    }
    if (line.isEmpty())
        return r;
    const QList<QByteArray> words = line.simplified().split(' ');
    QByteArray head = words.first();
    for (int i = 1; i < words.size(); ++i)
        r.args << QString::fromLatin1(words.at(i));
    if (head.startsWith('\\')) {
        r.name = QString::fromLatin1(head.mid(1));
        r.ok = argCount(r.name) >= 0;
        return r;
    }
    // Short form: one letter; arguments may follow without a blank.
    const char c = head.at(0);
    for (const Cmd &k : kCmds) {
        if (k.shortName == c) {
            r.name = QString::fromLatin1(k.longName);
            if (head.size() > 1)
                r.args.prepend(QString::fromLatin1(head.mid(1)));
            return r;
        }
    }
    r.name = QString::fromLatin1(head);
    r.ok = false;
    return r;
}

QByteArray answer(const Request &r, const QStringList &keys, const QStringList &values, int code)
{
    QByteArray out;
    if (r.extended) {
        out += r.name.toLatin1() + ':';
        for (const QString &a : r.args)
            out += ' ' + a.toLatin1();
        out += r.sep;
        if (code == kOk)
            for (int i = 0; i < values.size(); ++i)
                out += (i < keys.size() ? keys.at(i).toLatin1() : QByteArray("Value")) + ": "
                    + values.at(i).toLatin1() + r.sep;
        out += "RPRT " + QByteArray::number(code) + '\n';
        return out;
    }
    if (code != kOk || values.isEmpty())
        return "RPRT " + QByteArray::number(code) + '\n';
    for (const QString &v : values)
        out += v.toLatin1() + '\n';
    return out;
}

namespace {
// Receiver mode codes: 0 RTTY, 1 CW, 2 USB, 3 LSB, 4 AM, 5 NFM, 6 FAX,
// 7 AM-U, 8 AM-L. AM-U and AM-L (exalted carrier, one sideband) are the
// protocol's ECSS modes.
const char *const kModeNames[] = {"RTTY", "CW", "USB", "LSB", "AM", "FM", "FAX", "ECSSUSB", "ECSSLSB"};
// Passband of each bandwidth code, Hz: Wide, Inter, Narr, Aux.
const int kPassband[] = {6000, 2400, 500, 12000};
} // namespace

std::optional<int> modeCode(const QString &name)
{
    const QString n = name.toUpper();
    for (int i = 0; i <= rxlimits::kMode.max; ++i)
        if (n == QLatin1String(kModeNames[i]))
            return i;
    // Close relatives the receiver has no separate mode for.
    if (n == QLatin1String("CWR"))
        return 1;
    if (n == QLatin1String("RTTYR"))
        return 0;
    if (n == QLatin1String("AMS") || n == QLatin1String("SAM") || n == QLatin1String("SAH"))
        return 7;
    if (n == QLatin1String("SAL"))
        return 8;
    if (n == QLatin1String("WFM"))
        return 5;
    return std::nullopt;
}

QString modeName(int code)
{
    return rxlimits::kMode.contains(code) ? QString::fromLatin1(kModeNames[code]) : QStringLiteral("AM");
}

int passband(int bwCode) { return rxlimits::kBw.contains(bwCode) ? kPassband[bwCode] : 0; }

int bwCodeFor(int hz, int mode, bool narrowFitted)
{
    if (hz <= 0)
        return (mode == 4 || mode == 5 || mode >= rxlimits::kFirstEcssMode) ? 0 : 1;
    int best = 0;
    for (int b = rxlimits::kBw.min; b <= rxlimits::kBw.max; ++b) {
        if (b == rxlimits::kBwNarrow && !narrowFitted)
            continue;
        if (std::abs(kPassband[b] - hz) < std::abs(kPassband[best] - hz))
            best = b;
    }
    return best;
}

int strengthDb(int rawLevel, int att)
{
    // Meter units: attenuator x 3.333 + (138 - level) x 0.25, the strong end
    // clamped at level 66.
    const int level = rawLevel < 66 ? 66 : (rawLevel > 138 ? 138 : rawLevel);
    const double units = (att == 1 ? 3.333 : 0.0) + (138 - level) * 0.25;
    return int(std::lround((units - 9.0) * 6.0));
}

QByteArray dumpState()
{
    const QByteArray lo = QByteArray::number(rxlimits::kMinHz) + ".000000";
    const QByteArray hi = QByteArray::number(rxlimits::kMaxHz) + ".000000";
    // Mode bits of the protocol: AM 1, CW 2, USB 4, LSB 8, RTTY 16, FM 32.
    QByteArray s;
    s += "1\n";           // protocol version
    s += "2\n";           // rig model (network)
    s += "0\n";           // ITU region
    s += lo + ' ' + hi + " 0x3f -1 -1 0x1 0x0\n"; // receive range
    s += "0 0 0 0 0 0 0\n";
    s += "0 0 0 0 0 0 0\n"; // no transmit range
    s += "0x3f 1\n0 0\n";   // tuning step 1 Hz
    s += "0x3f 6000\n0x3f 2400\n0x3f 500\n0x3f 12000\n0 0\n";
    s += "0\n0\n0\n0\n";    // max RIT, XIT, IF shift; announces
    s += "\n";              // preamps
    s += "20 \n";           // attenuator 20 dB
    s += "0x0\n0x0\n";      // functions get/set
    s += "0x40020002\n0x20002\n"; // levels get (ATT, AGC, STRENGTH) / set (ATT, AGC)
    s += "0x0\n0x0\n";      // parms get/set
    s += "vfo_ops=0x0\nptt_type=0x0\ndone\n";
    return s;
}

QByteArray dumpCaps()
{
    return "Caps dump for model: 2\n"
           "Model name:\tNRD-535\n"
           "Mfg name:\tJRC\n"
           "Rig type:\tReceiver\n"
           "PTT type:\tNone\n"
           "Frequency range: " + QByteArray::number(rxlimits::kMinHz) + " - "
        + QByteArray::number(rxlimits::kMaxHz) + " Hz\n"
           "Mode list: AM CW USB LSB RTTY FM FAX ECSSUSB ECSSLSB\n"
           "Get level: ATT AGC STRENGTH\n"
           "Set level: ATT AGC\n"
           "VFO list: VFOA\n";
}

} // namespace rigctl
