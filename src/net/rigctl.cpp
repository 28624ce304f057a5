#include "net/rigctl.h"

#include "link/limits.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace rigctl {

namespace {
enum Flag : unsigned {
    kSet = 1,   // changes something
    kVfo = 2,   // acts on a VFO: a VFO name may come before its arguments
    kTx = 4,    // transmit side
    kRest = 8,  // its last argument is the rest of the line
    kRprt = 16, // its short answer ends with "RPRT 0" too
};
struct Cmd {
    char shortName;
    const char *longName;
    int args;
    unsigned flags = 0;
};
// The commands the server knows. Others are answered "not implemented".
const Cmd kCmds[] = {
    {'F', "set_freq", 1, kSet | kVfo},    {'f', "get_freq", 0, kVfo},
    {'M', "set_mode", 2, kSet | kVfo},    {'m', "get_mode", 0, kVfo},
    {'V', "set_vfo", 1, kSet},            {'v', "get_vfo", 0},
    {'L', "set_level", 2, kSet | kVfo},   {'l', "get_level", 1, kVfo},
    {'u', "get_func", 1, kVfo},           {'G', "vfo_op", 1, kSet | kVfo},
    {'T', "set_ptt", 1, kSet | kVfo},     {'t', "get_ptt", 0, kVfo},
    {'s', "get_split_vfo", 0, kVfo},      {'S', "set_split_vfo", 2, kSet | kVfo},
    {'I', "set_split_freq", 1, kSet | kVfo | kTx},
    {'X', "set_split_mode", 2, kSet | kVfo | kTx},
    {'K', "set_split_freq_mode", 3, kSet | kVfo | kTx},
    {'R', "set_rptr_shift", 1, kSet | kVfo | kTx},
    {'O', "set_rptr_offs", 1, kSet | kVfo | kTx},
    {'C', "set_ctcss_tone", 1, kSet | kVfo | kTx},
    {'D', "set_dcs_code", 1, kSet | kVfo | kTx},
    {'Z', "set_xit", 1, kSet | kVfo | kTx},
    {'b', "send_morse", 1, kSet | kVfo | kTx | kRest},
    {'a', "get_trn", 0},                  {'A', "set_trn", 1, kSet},
    {'_', "get_info", 0},                 {'1', "dump_caps", 0},
    {'q', "quit", 0},                     {'Q', "quit", 0},
    {0, "dump_state", 0},                 {0, "chk_vfo", 0},
    {0, "set_vfo_opt", 1},                {0, "get_powerstat", 0},
    {0, "get_vfo_info", 0, kVfo},         {0, "get_vfo_list", 0},
    {0, "get_rig_info", 0},
    {0, "get_lock_mode", 0, kRprt},              {0, "set_lock_mode", 1, kSet},
    // A satellite pass begins and ends: a recording starts and stops.
    {0, "AOS", 0, kSet},                  {0, "LOS", 0, kSet},
    // Access: a client that is not trusted logs in first.
    {0, "password", 1, kRest},
};

const Cmd *byName(QByteArrayView name)
{
    for (const Cmd &c : kCmds)
        if (name == c.longName)
            return &c;
    return nullptr;
}

const Cmd *byLetter(char letter)
{
    for (const Cmd &c : kCmds)
        if (c.shortName && c.shortName == letter)
            return &c;
    return nullptr;
}

unsigned flagsOf(const Request &r)
{
    const Cmd *c = r.ok ? byName(r.name.toLatin1()) : nullptr;
    return c ? c->flags : 0;
}

bool isListQuery(const Request &r) { return r.args.size() == 1 && r.args.first() == QLatin1String("?"); }
} // namespace

int argCount(const QString &name)
{
    const Cmd *c = byName(name.toLatin1());
    return c ? c->args : -1;
}

bool isSet(const Request &r) { return (flagsOf(r) & kSet) && !isListQuery(r); }

bool isTransmit(const Request &r)
{
    if (r.name == QLatin1String("set_ptt"))
        return !(r.args.size() == 1 && r.args.first() == QLatin1String("0"));
    return flagsOf(r) & kTx;
}

bool isVfoName(const QString &w)
{
    static const QStringList names = {"VFOA", "VFOB", "VFOC", "VFO", "CURRVFO", "MAIN", "SUB", "MAINA",
                                      "MAINB", "SUBA", "SUBB", "MEM", "TX", "RX"};
    return names.contains(w.toUpper());
}

QList<Request> parseLine(const QByteArray &raw, int maxRequests)
{
    QByteArray line = raw;
    if (const qsizetype hash = line.indexOf('#'); hash >= 0)
        line.truncate(hash);
    const QByteArray simple = line.simplified();
    const QList<QByteArray> words = simple.isEmpty() ? QList<QByteArray>() : simple.split(' ');
    QList<Request> out;
    qsizetype w = 0;
    QByteArray word; // what is left of the word being read
    auto next = [&]() -> bool {
        if (word.isEmpty() && w < words.size())
            word = words.at(w++);
        return !word.isEmpty();
    };
    while (next()) {
        Request r;
        if (out.size() >= maxRequests) {
            r.ok = false;
            out << r;
            break;
        }
        if (QByteArrayView("+;|,").contains(word.at(0))) {
            r.extended = true;
            r.sep = word.at(0) == '+' ? '\n' : word.at(0);
            word.remove(0, 1);
            if (!next())
                break;
        }
        const Cmd *c = nullptr;
        QByteArray name;
        if (word.startsWith('\\') || word == "AOS" || word == "LOS") {
            name = word.startsWith('\\') ? word.mid(1) : word;
            word.clear();
            c = byName(name);
        } else {
            name = word.left(1);
            word.remove(0, 1);
            c = byLetter(name.at(0));
        }
        if (!c) { // its arguments cannot be told from commands: the line ends
            r.name = QString::fromLatin1(name.isEmpty() ? QByteArray("\\") : name);
            r.ok = false;
            out << r;
            break;
        }
        r.name = QString::fromLatin1(c->longName);
        // A short command's first argument may follow its letter; letters
        // after one without arguments are further commands ("fmv").
        if (c->args == 0 && !word.isEmpty()) {
            out << r;
            continue;
        }
        if ((c->flags & kVfo) && word.isEmpty() && w < words.size() &&
            isVfoName(QString::fromLatin1(words.at(w))))
            r.vfo = QString::fromLatin1(words.at(w++));
        for (int k = 0; k < c->args && next(); ++k) {
            if ((c->flags & kRest) && k == c->args - 1) {
                while (w < words.size())
                    word += ' ' + words.at(w++);
            }
            r.args << QString::fromLatin1(std::exchange(word, {}));
        }
        out << r;
    }
    return out;
}

QByteArray answer(const Request &r, const QList<Field> &fields, int code)
{
    const QByteArray rprt = "RPRT " + QByteArray::number(code) + '\n';
    if (r.extended) {
        QByteArray out = r.name.toLatin1() + ':';
        if (!r.vfo.isEmpty())
            out += ' ' + r.vfo.toLatin1();
        for (const QString &a : r.args)
            out += ' ' + a.toLatin1();
        out += r.sep;
        if (code == kOk)
            for (const Field &f : fields)
                out += (f.key.isEmpty() ? QByteArray() : f.key.toLatin1() + ": ") + f.value.toLatin1() +
                    (f.ownLine ? '\n' : r.sep);
        return out + rprt;
    }
    if (code != kOk || fields.isEmpty())
        return rprt;
    QByteArray out;
    for (const Field &f : fields)
        out += f.value.toLatin1() + '\n';
    // A set that answers with values (a list asked with "?") ends as a set.
    return (flagsOf(r) & (kSet | kRprt)) ? out + rprt : out;
}

QByteArray answerText(const Request &r, const QByteArray &text, bool rprtShort)
{
    if (r.extended)
        return r.name.toLatin1() + ':' + r.sep + text + "RPRT 0\n";
    return rprtShort ? text + "RPRT 0\n" : text;
}

QByteArray chkVfo(const Request &r, bool vfoOpt)
{
    const QByteArray v = vfoOpt ? "1" : "0";
    // The long form has no "RPRT"; with a separator it ends in an empty line.
    if (r.extended)
        return "ChkVFO: " + v + (r.sep == '\n' ? "\n" : "\n\n");
    return v + '\n';
}

namespace {
// Receiver mode codes: 0 RTTY, 1 CW, 2 USB, 3 LSB, 4 AM, 5 NFM, 6 FAX,
// 7 AM-U, 8 AM-L. AM-U and AM-L (exalted carrier, one sideband) are the
// protocol's ECSS modes.
const char *const kModeNames[] = {"RTTY", "CW", "USB", "LSB", "AM", "FM", "FAX", "ECSSUSB", "ECSSLSB"};
// Passband of each bandwidth code, Hz: Wide, Inter, Narr (the 1 kHz
// filter), Aux.
const int kPassband[] = {6000, 2000, 1000, 12000};
// The codes from the narrowest.
const int kByWidth[] = {2, 1, 0, 3};
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
    if (hz <= 0) {
        if (mode == 4 || mode >= rxlimits::kFirstEcssMode)
            return 0;
        if (mode == rxlimits::kModeFm)
            return 3;
        return mode == 1 && narrowFitted ? rxlimits::kBwNarrow : 1;
    }
    int best = -1;
    for (int b : kByWidth) {
        if (b == rxlimits::kBwNarrow && !narrowFitted)
            continue;
        if (best < 0 || std::abs(kPassband[b] - hz) < std::abs(kPassband[best] - hz))
            best = b;
    }
    return best;
}

int strengthDb(int rawLevel)
{
    // The protocol's scale for this receiver (raw level, dB over S9), as its
    // daemon reads the meter: straight between the points, toward zero.
    static const int kCal[][2] = {{60, 65},   {90, 15},   {99, 1},    {103, -6},  {107, -12},
                                  {112, -18}, {124, -30}, {133, -36}, {147, -44}, {255, -60}};
    const int n = int(std::size(kCal));
    const int raw = std::clamp(rawLevel, kCal[0][0], kCal[n - 1][0]);
    int i = 1;
    while (i < n - 1 && raw > kCal[i][0])
        ++i;
    const double x0 = kCal[i - 1][0], y0 = kCal[i - 1][1], x1 = kCal[i][0], y1 = kCal[i][1];
    return int(y1 - (x1 - raw) * (y1 - y0) / (x1 - x0));
}

namespace {
QByteArray hex(unsigned long long v) { return "0x" + QByteArray::number(v, 16); }

// The protocol's mode bits.
constexpr unsigned kAm = 0x1, kCw = 0x2, kUsb = 0x4, kLsb = 0x8, kRtty = 0x10, kFm = 0x20,
                   kEcss = 0x6000, kFax = 0x8000;
unsigned modeBits(Fitted f) { return kAm | kCw | kUsb | kLsb | kRtty | kFm | kFax | (f.ecss ? kEcss : 0); }
// The bit of each receiver mode code, and the order the protocol lists them.
const unsigned kModeBit[] = {kRtty, kCw, kUsb, kLsb, kAm, kFm, kFax, 0x2000, 0x4000};
const int kModeOrder[] = {4, 1, 2, 3, 0, 5, 7, 8, 6};

// Filters per mode group, the normal one first (then narrow, wide).
QList<std::pair<unsigned, int>> filters(Fitted f)
{
    const unsigned am = kAm | (f.ecss ? kEcss : 0), ssb = kUsb | kLsb | kRtty | kFax;
    QList<std::pair<unsigned, int>> l = {{kFm, 12000}, {kFm, 6000}, {am, 6000}, {am, 2000}, {am, 12000},
                                        {ssb, 2000}};
    if (f.narrow)
        l << std::pair{ssb, 1000};
    l << std::pair{ssb, 6000};
    if (f.narrow)
        l << std::pair{kCw, 1000};
    l << std::pair{kCw, 2000};
    return l;
}

const char kVersion[] = "4.5.4"; // the protocol's version these answers follow
} // namespace

QByteArray dumpState(Fitted f)
{
    const QByteArray modes = hex(modeBits(f));
    QByteArray s;
    s += "1\n";    // protocol version
    s += "6006\n"; // rig model: this receiver
    s += "0\n";    // ITU region
    s += QByteArray::number(rxlimits::kMinHz) + ".000000 " + QByteArray::number(rxlimits::kMaxHz) + ".000000 " +
        modes + " -1 -1 0x1 0x0\n"; // receive range, on VFOA
    s += "0 0 0 0 0 0 0\n";
    s += "0 0 0 0 0 0 0\n"; // no transmit range
    for (const char *step : {"1", "10", "100"})
        s += modes + ' ' + step + '\n';
    s += "0 0\n";
    for (const auto &[bits, hz] : filters(f))
        s += hex(bits) + ' ' + QByteArray::number(hz) + '\n';
    s += "0 0\n";
    s += "0\n0\n0\n0\n";    // max RIT, XIT, IF shift; announces
    s += "\n";              // preamps
    s += "20 \n";           // attenuator 20 dB
    s += "0x1\n0x0\n";      // functions get (FAGC) / set
    s += "0x44020002\n0x20002\n"; // levels get (ATT, AGC, RAWSTR, STRENGTH) / set (ATT, AGC)
    s += "0x0\n0x0\n";      // parms get/set
    s += "vfo_ops=0x0\nptt_type=0x0\ntargetable_vfo=0x0\n"
         "has_set_vfo=1\nhas_get_vfo=1\nhas_set_freq=1\nhas_get_freq=1\n"
         "has_set_conf=0\nhas_get_conf=0\nhas_power2mW=0\nhas_mW2power=0\n";
    s += "timeout=" + QByteArray::number(rxlimits::kReplyTimeoutMs) + '\n';
    s += "rig_model=6006\n";
    s += QByteArray("rigctld_version=Hamlib ") + kVersion + '\n';
    s += "agc_levels=0=OFF 2=FAST 3=SLOW\n";
    s += "done\n";
    return s;
}

QByteArray dumpCaps(Fitted f)
{
    QByteArray modes;
    for (int m : kModeOrder)
        if (modeBits(f) & kModeBit[m])
            modes += QByteArray(kModeNames[m]) + ' ';
    const QByteArray range = QByteArray::number(rxlimits::kMinHz) + " Hz - " +
        QByteArray::number(rxlimits::kMaxHz) + " Hz";
    QByteArray s = "Caps dump for model: 6006\n";
    s += QByteArray("Hamlib version:\t") + kVersion + '\n';
    s += "Model name:\tNRD-535D\n"
         "Mfg name:\tJRC\n"
         "Backend status:\tStable\n"
         "Rig type:\tOther Receiver \n"
         "PTT type:\tNone\n"
         "DCD type:\tNone\n"
         "Port type:\tNetwork link\n"
         "Has targetable VFO: N\n"
         "Has async data support: N\n"
         "Announce: 0x0\n"
         "Max RIT: -0.0kHz/+0.0kHz\n"
         "Max XIT: -0.0kHz/+0.0kHz\n"
         "Max IF-SHIFT: -0.0kHz/+0.0kHz\n"
         "Preamp: None\n"
         "Attenuator: 20dB\n"
         "AGC levels: 0=OFF 2=FAST 3=SLOW\n"
         "CTCSS: None\n"
         "DCS: None\n"
         "Get functions: FAGC \n"
         "Set functions: \n"
         "Get level: ATT(0..20/0) AGC(0..0/0) RAWSTR(0..255/0) STRENGTH(0..0/0) \n"
         "Set level: ATT(0..20/0) AGC(0..0/0) \n"
         "Get parameters: \n"
         "Set parameters: \n";
    s += "Mode list: " + modes + '\n';
    s += "VFO list: VFOA \n"
         "VFO Ops: \n"
         "Scan Ops: \n";
    s += "TX ranges #1 for TBD:\n"
         "RX ranges #1 for TBD:\n\t" + range + "\n\t\tVFO list: VFOA \n\t\tMode list: " + modes + '\n';
    s += "Tuning steps:\n";
    for (const char *step : {"1.0 Hz", "10.0 Hz", "100.0 Hz"})
        s += QByteArray("\t") + step + ":   \t" + modes + '\n';
    s += "Filters:\n";
    for (const auto &[bits, hz] : filters(f)) {
        s += "\t" + QByteArray::number(hz / 1000.0, 'f', 4) + " kHz:   \t";
        for (int m : kModeOrder)
            if (bits & kModeBit[m])
                s += QByteArray(kModeNames[m]) + ' ';
        s += '\n';
    }
    auto yn = [](bool y) { return y ? "Y\n" : "N\n"; };
    const std::pair<const char *, bool> can[] = {
        {"Can set Frequency", true},   {"Can get Frequency", true}, {"Can set Mode", true},
        {"Can get Mode", true},        {"Can set VFO", true},       {"Can get VFO", true},
        {"Can set PTT", false},        {"Can get PTT", true},       {"Can get DCD", false},
        {"Can set Split VFO", false},  {"Can get Split VFO", true}, {"Can set Power Stat", false},
        {"Can get Power Stat", true},  {"Can set Func", false},     {"Can get Func", true},
        {"Can set Level", true},       {"Can get Level", true},     {"Can set Param", false},
        {"Can get Param", false},      {"Can send Morse", false},   {"Can send Voice", false},
        {"Can ctl Mem/VFO", false},    {"Can Scan", false},         {"Can get Info", true},
        {"Can get power2mW", false},   {"Can get mW2power", false},
    };
    for (const auto &[what, y] : can)
        s += QByteArray(what) + ":\t" + yn(y);
    s += "\nOverall backend warnings: 0\n";
    return s;
}

namespace {
quint32 crc32(const QByteArray &data)
{
    quint32 c = 0xffffffffu;
    for (const char ch : data) {
        c ^= quint8(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}
} // namespace

QByteArray rigInfo(qint64 hz, int mode, int bwCode)
{
    QByteArray s = "VFO=VFOA Freq=" + QByteArray::number(hz) + " Mode=" + modeName(mode).toLatin1() +
        " Width=" + QByteArray::number(passband(bwCode)) + " RX=1 TX=0\n";
    s += "VFO=VFOB Freq=0 Mode=None Width=0 RX=0 TX=0\n"
         "Split=0 SatMode=0\n"
         "Rig=NRD-535D\n"
         "App=Hamlib\n"
         "Version=20210506 1.0.0\n";
    return s + "CRC=0x" + QByteArray::number(crc32(s), 16).rightJustified(8, '0') + '\n';
}

} // namespace rigctl
