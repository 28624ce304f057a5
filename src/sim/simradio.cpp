#include "sim/simradio.h"

#include <QTime>
#include <algorithm>

namespace {

bool isDigits(const QByteArray &s, int from, int n)
{
    if (from < 0 || from + n > s.size())
        return false;
    for (int i = from; i < from + n; ++i)
        if (s[i] < '0' || s[i] > '9')
            return false;
    return true;
}

// Value of n digits starting at from; the caller has checked them.
qint64 digits(const QByteArray &s, int from, int n)
{
    qint64 v = 0;
    for (int i = from; i < from + n; ++i)
        v = v * 10 + (s[i] - '0');
    return v;
}

QByteArray zeroPadded(qint64 v, int n)
{
    return QByteArray::number(v).rightJustified(n, '0');
}

// A sign and four digits ("+0800", "-0150"); with signOptional also four
// digits alone ("0000"). Returns false when malformed.
bool signed4(const QByteArray &s, int from, bool signOptional, int *out)
{
    int sign = 1;
    int p = from;
    if (p < s.size() && (s[p] == '+' || s[p] == '-')) {
        sign = s[p] == '-' ? -1 : 1;
        ++p;
    } else if (!signOptional) {
        return false;
    }
    if (s.size() != p + 4 || !isDigits(s, p, 4))
        return false;
    *out = sign * int(digits(s, p, 4));
    return true;
}

// Made-up teleprinter traffic, sent over and over while "X1" is on. Each
// line ends in CR; one line runs past the 71 characters of a screen line.
const char *const kRttyText[] = {
    "RYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRYRY",
    "ZCZC 0417 WX BULLETIN",
    "GALE WARNING FOR AREAS NORTH AND EAST, WINDS SW 7 TO SEVERE GALE 9 LATER",
    "SEA STATE ROUGH OR VERY ROUGH, VISIBILITY MODERATE IN RAIN SHOWERS, OCCASIONALLY POOR BY EVENING",
    "PRESSURE 998 HPA FALLING SLOWLY",
    "NEWS 1200 UTC: HARBOUR OPENS NEW CONTAINER TERMINAL",
    "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG 0123456789",
    "NNNN",
};
constexpr int kRttyLines = int(sizeof(kRttyText) / sizeof(kRttyText[0]));

} // namespace

QByteArray SimRadio::Record::toRec12() const
{
    return QByteArray::number(att) + QByteArray::number(bw) + QByteArray::number(mode)
         + zeroPadded(hz, 8) + QByteArray::number(agc);
}

std::optional<SimRadio::Record> SimRadio::Record::fromRec12(const QByteArray &rec)
{
    if (rec.size() != 12 || !isDigits(rec, 0, 12))
        return std::nullopt;
    Record r;
    r.att = rec[0] - '0';
    r.bw = rec[1] - '0';
    r.mode = rec[2] - '0';
    r.hz = digits(rec, 3, 8);
    r.agc = rec[11] - '0';
    if (r.att > 1 || r.bw > 3 || r.mode > 8 || r.agc > 2 || r.hz < kMinHz || r.hz > kMaxHz)
        return std::nullopt;
    return r;
}

SimRadio::SimRadio(Memory memory, QObject *parent)
    : QObject(parent)
{
    m_age.start();
    m_user[2] = "+0800";
    m_user[3] = "5010";
    if (memory == DemoMemory)
        fillDemoMemory();
    m_rttyTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_rttyTimer, &QTimer::timeout, this, &SimRadio::rttyTick);
}

void SimRadio::fillDemoMemory()
{
    // att, bw, mode, Hz, agc
    const Record presets[] = {
        { 0, 0, 4, 9500000, 0 },  { 0, 0, 4, 6175000, 0 },  { 0, 1, 4, 15120000, 0 },
        { 0, 0, 4, 5975000, 0 },  { 0, 0, 4, 7275000, 0 },  { 0, 1, 7, 9410000, 0 },
        { 0, 0, 4, 11750000, 0 }, { 0, 1, 8, 13710000, 0 }, { 0, 0, 4, 17770000, 1 },
        { 0, 1, 4, 21500000, 0 }, { 1, 0, 4, 1476000, 0 },  { 1, 0, 4, 198000, 0 },
        { 0, 1, 3, 3955000, 1 },
    };
    int ch = 0;
    for (const Record &r : presets)
        m_mem[ch++] = r;
    m_mem[20] = Record{ 0, 1, 2, 8992000, 1 };   // USB utility
    m_mem[21] = Record{ 0, 2, 1, 4583000, 1 };   // CW beacon
    m_mem[50] = Record{ 0, 1, 6, 7880000, 0 };   // weather fax
    m_mem[51] = Record{ 0, 2, 0, 10100800, 1 };  // RTTY
    m_mem[100] = Record{ 0, 0, 5, 27065000, 1 }; // NFM
}

void SimRadio::fillAllBut(int empty)
{
    empty = std::clamp(empty, 0, kChannels - 1);
    for (int ch = 0; ch < kChannels; ++ch)
        m_mem[size_t(ch)] = Record{ 0, ch % 2, 4, 5900000 + ch * 5000, ch % 3 };
    for (int k = 0; k < empty; ++k)
        m_mem[size_t(k * (kChannels - 1) / empty)].reset();
}

std::optional<SimRadio::Record> SimRadio::channel(int ch) const
{
    if (ch < 0 || ch >= kChannels)
        return std::nullopt;
    return m_mem[size_t(ch)];
}

void SimRadio::setChannel(int ch, const std::optional<Record> &r)
{
    if (ch >= 0 && ch < kChannels)
        m_mem[size_t(ch)] = r;
}

QByteArray SimRadio::userFunction(int n) const
{
    return n >= 0 && n < 10 ? m_user[size_t(n)] : QByteArray();
}

QByteArray SimRadio::clockText() const
{
    const QTime t = QTime::currentTime().addSecs(int(m_clockOffsetSecs));
    return t.toString(QStringLiteral("hhmmss")).toLatin1();
}

int SimRadio::meterLevel() const
{
    return m_band.rawLevel(m_work.hz, m_work.bw, m_work.att == 1, m_age.elapsed());
}

void SimRadio::setSilent(bool on)
{
    m_silent = on;
    if (on)
        m_silentAfter = -1;
}

QByteArray SimRadio::execute(const QByteArray &cmd)
{
    ++m_commands;
    if (m_silentAfter == 0)
        setSilent(true);
    else if (m_silentAfter > 0)
        --m_silentAfter;
    if (m_silent)
        return {};
    if (!m_remote && cmd != "H1") {
        ++m_ignored;
        return {};
    }
    bool ok = true;
    QByteArray reply = run(cmd, &ok);
    if (!ok)
        ++m_malformed;
    return m_garbled ? garble(reply) : reply;
}

QByteArray SimRadio::run(const QByteArray &c, bool *ok)
{
    const int n = int(c.size());
    auto bad = [ok]() { *ok = false; return QByteArray(); };
    if (n == 0)
        return bad();

    // Single-digit settings.
    auto single = [&](int max, int *field) {
        if (n != 2 || !isDigits(c, 1, 1) || c[1] - '0' > max)
            return bad();
        *field = c[1] - '0';
        return QByteArray();
    };

    switch (c[0]) {
    case 'H':
        if (c == "H1") m_remote = true;
        else if (c == "H0") m_remote = false;
        else return bad();
        return {};
    case 'A': return single(1, &m_work.att);
    case 'B': return single(3, &m_work.bw);
    case 'D': return single(8, &m_work.mode);
    case 'G': return single(2, &m_work.agc);
    case 'N': return single(2, &m_nb);
    case 'F': {
        if (n != 9 || !isDigits(c, 1, 8))
            return bad();
        const qint64 hz = digits(c, 1, 8);
        if (hz < kMinHz || hz > kMaxHz)
            return bad();
        m_work.hz = hz;
        tuned();
        return {};
    }
    case 'C': {
        if (n != 4 || !isDigits(c, 1, 3) || digits(c, 1, 3) >= kChannels)
            return bad();
        const auto &r = m_mem[size_t(digits(c, 1, 3))];
        if (r) {    // an empty channel leaves the working settings alone
            m_work = *r;
            tuned();
        }
        return {};
    }
    case 'W': {
        if (n != 5 || !isDigits(c, 1, 4))
            return bad();
        const int w = int(digits(c, 1, 4));
        if (w < 500 || w > 5500)
            return bad();
        m_bwc = w;
        return {};
    }
    case 'P': {
        int p = 0;
        if (!signed4(c, 1, true, &p) || p < -2000 || p > 2000)
            return bad();
        m_pbs = p;
        return {};
    }
    case 'J':
        if (c != "J1199")
            return bad();
        m_mem[199] = m_work;
        return {};
    case 'L': {
        if (n != 7 || !isDigits(c, 1, 6))
            return bad();
        const int first = int(digits(c, 1, 3));
        const int last = int(digits(c, 4, 3));
        if (first > last || last >= kChannels)
            return bad();
        return readout(first, last);
    }
    case 'K': {
        if (n != 16 || !isDigits(c, 1, 3) || digits(c, 1, 3) >= kChannels)
            return bad();
        const auto r = Record::fromRec12(c.mid(4));
        if (!r)
            return bad();
        m_mem[size_t(digits(c, 1, 3))] = r;
        return {};
    }
    case 'S': {
        if (n != 16 || !c.startsWith("S199"))
            return bad();
        const auto r = Record::fromRec12(c.mid(4));
        if (!r)
            return bad();
        m_work = *r;
        tuned();
        return {};
    }
    case 'U': {
        if (n < 3 || !isDigits(c, 1, 1))
            return bad();
        const int u = c[1] - '0';
        const QByteArray arg = c.mid(2);
        bool valid = false;
        switch (u) {
        case 0: valid = arg.size() == 1 && arg[0] >= '0' && arg[0] <= '2'; break;
        case 2: { int v = 0; valid = signed4(c, 2, false, &v); break; }
        case 3:
            valid = arg.size() == 4 && (arg.startsWith("65") || arg.startsWith("50") || arg.startsWith("00"))
                 && arg[2] >= '0' && arg[2] <= '2' && (arg[3] == '0' || arg[3] == '1');
            break;
        case 5:
            valid = arg.size() == 3 && isDigits(arg, 0, 3) && digits(arg, 0, 3) < kChannels;
            if (valid)
                m_mem[size_t(digits(arg, 0, 3))].reset();
            break;
        default: valid = arg.size() == 1 && (arg[0] == '0' || arg[0] == '1'); break;
        }
        if (!valid)
            return bad();
        m_user[size_t(u)] = arg;
        if (u == 3 && m_rtty)
            m_rttyTimer.setInterval(arg.startsWith("65") ? 167 : arg.startsWith("00") ? 100 : 150);
        return {};
    }
    case 'I':
        // Switching the reports on is answered at once with the frequency
        // now set; from then on every change is reported.
        if (c == "I1") {
            m_reports = true;
            return report();
        }
        if (c == "I0") m_reports = false;
        else return bad();
        return {};
    case 'M':
        if (c != "M")
            return bad();
        return "M" + zeroPadded(meterLevel(), 3) + "\r";
    case 'X':
        if (c == "X1") {
            if (!m_rtty) {
                m_rtty = true;
                // Characters per second of the demodulator: baud / 7.5.
                const QByteArray sp = m_user[3].left(2);
                m_rttyTimer.start(sp == "65" ? 167 : sp == "00" ? 100 : 150);
            }
        } else if (c == "X0") {
            m_rtty = false;
            m_rttyTimer.stop();
            m_rttyHeld.clear();
        } else {
            return bad();
        }
        return {};
    case 'T':
        if (c == "T1") m_timer = 1;
        else if (c == "T0") m_timer = 0;
        else return bad();
        return {};
    case 'O':
        if (c == "O1") m_relay = 1;
        else if (c == "O0") m_relay = 0;
        else return bad();
        return {};
    case 'R': {
        if (n < 2 || !isDigits(c, 1, 1))
            return bad();
        const int r = c[1] - '0';
        if (r == 0 && n == 2)
            return "R" + clockText() + "\r";
        if (r == 1 && n == 8 && isDigits(c, 2, 6)) {
            const int h = int(digits(c, 2, 2)), m = int(digits(c, 4, 2)), s = int(digits(c, 6, 2));
            if (h > 23 || m > 59 || s > 59)
                return bad();
            const int want = h * 3600 + m * 60 + s;
            const int now = QTime::currentTime().msecsSinceStartOfDay() / 1000;
            m_clockOffsetSecs = ((want - now) % 86400 + 86400) % 86400;
            return {};
        }
        if ((r == 2 || r == 3) && n == 6 && isDigits(c, 2, 4)) {
            if (digits(c, 2, 2) > 23 || digits(c, 4, 2) > 59)
                return bad();
            (r == 2 ? m_timerOn : m_timerOff) = c.mid(2);
            return {};
        }
        if (r >= 4 && r <= 7 && n == 2) {
            m_clockDisplay = r;
            return {};
        }
        return bad();
    }
    default:
        return bad();
    }
}

QByteArray SimRadio::readout(int first, int last) const
{
    QByteArray out;
    for (int ch = first; ch <= last; ++ch) {
        out += 'L';
        out += zeroPadded(ch, 3);
        const auto &r = m_mem[size_t(ch)];
        // An empty channel: "V" where the attenuator digit would be, and
        // nothing more (six characters with the CR).
        out += r ? r->toRec12() : QByteArray("V");
        out += '\r';
    }
    return out;
}

QByteArray SimRadio::report() const
{
    // "I", the 12-character record, CR: the line ends in the eight frequency
    // digits, the AGC digit and CR.
    return "I" + m_work.toRec12() + "\r";
}

void SimRadio::tuned()
{
    if (m_reports)
        sendSpontaneous(report());
}

void SimRadio::turnDial(qint64 hz)
{
    if (m_silent)
        return;
    m_work.hz = std::clamp(hz, kMinHz, kMaxHz);
    tuned();
}

void SimRadio::sendSpontaneous(const QByteArray &bytes)
{
    if (m_silent || bytes.isEmpty())
        return;
    emit spontaneous(m_garbled ? garble(bytes) : bytes);
}

void SimRadio::rttyTick()
{
    if (!m_rtty || m_silent)
        return;
    // One character per tick leaves the demodulator; they go out on the line
    // a few at a time, and each line's CR on its own.
    const int line = (m_rttyPos >> 8) % kRttyLines;
    const int col = m_rttyPos & 0xff;
    const QByteArray text(kRttyText[line]);
    if (col < text.size()) {
        m_rttyHeld += text.at(col);
        ++m_rttyPos;
        if (m_rttyHeld.size() >= 3) {
            sendSpontaneous(m_rttyHeld);
            m_rttyHeld.clear();
        }
    } else {
        if (!m_rttyHeld.isEmpty())
            sendSpontaneous(m_rttyHeld);
        m_rttyHeld.clear();
        sendSpontaneous("\r");
        m_rttyPos = ((line + 1) % kRttyLines) << 8;
    }
}

QByteArray SimRadio::garble(QByteArray bytes)
{
    // Every second digit (counted across replies) turns into a look-alike
    // that is not a digit; length and the final CR stay.
    static const char subst[] = "OlZ3?S6?B9";
    bool any = false;
    int lastDigit = -1;
    for (int i = 0; i < bytes.size(); ++i) {
        const char ch = bytes[i];
        if (ch < '0' || ch > '9')
            continue;
        lastDigit = i;
        if ((m_garbleSeed++ & 1) == 0) {
            char s = subst[ch - '0'];
            bytes[i] = (s >= '0' && s <= '9') ? '?' : s;
            any = true;
        }
    }
    if (!any && lastDigit >= 0)
        bytes[lastDigit] = '?';
    return bytes;
}
