#include "memory/memcsv.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "link/captions.h"
#include "link/limits.h"

#include <QHash>
#include <algorithm>
#include <cmath>

namespace memcsv {

namespace {

// The receiver's captions with every option fitted, without their blanks.
const Captions &names()
{
    static const Captions c = [] {
        Captions c = Captions::build(true, true);
        for (QStringList *t : {&c.att, &c.bw, &c.mode, &c.agc})
            for (QString &s : *t)
                s = s.trimmed();
        return c;
    }();
    return c;
}

// The rig-control tool's mode names, by mode code.
const char *const kRigModes[] = {"RTTY", "CW", "USB", "LSB", "AM", "FM", "FAX", "ECSSUSB", "ECSSLSB"};
// Its passband of each bandwidth code.
constexpr int kRigWidths[] = {6000, 2000, 1000, 12000};

// A code from a caption (either letter case), or its digit within range;
// -1 when it is neither.
int codeOf(const QString &text, const QStringList &captions, rxlimits::CodeRange range)
{
    const QString t = text.trimmed();
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok)
        return range.contains(n) ? n : -1;
    for (int i = range.min; i <= range.max && i < captions.size(); ++i)
        if (!captions.at(i).isEmpty() && captions.at(i).compare(t, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int modeOf(const QString &text)
{
    const QString t = text.trimmed();
    for (int i = 0; i < int(std::size(kRigModes)); ++i)
        if (t.compare(QLatin1String(kRigModes[i]), Qt::CaseInsensitive) == 0)
            return i;
    return codeOf(t, names().mode, rxlimits::kMode);
}

QString modeList()
{
    return names().mode.mid(0, rxlimits::kMode.max + 1).join(QStringLiteral(", "));
}

// AGC of a channel whose layout has none: slow for the AM modes and FAX,
// fast for the others.
int defaultAgc(int mode)
{
    return mode == 4 || mode == 6 || mode == 7 || mode == 8 ? 0 : 1;
}

QString dataRecord(int ch, int att, int bw, int mode, long long hz, int agc)
{
    return QLatin1Char('L') + mem2::ch3(ch) + QString::number(att) + QString::number(bw) +
           QString::number(mode) + QString::number(hz).rightJustified(8, QLatin1Char('0')) +
           QString::number(agc);
}

QString quoted(const QString &text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char(';')) && !text.startsWith(QLatin1Char(' ')) &&
        !text.endsWith(QLatin1Char(' ')))
        return text;
    QString t = text;
    t.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + t + QLatin1Char('"');
}

// Columns by name: the index of the first header name that is `name` (or
// starts with it, for the spreadsheet's "Frequency (kHz)"), -1 when none.
int column(const QStringList &header, const QString &name, bool prefix)
{
    for (int i = 0; i < header.size(); ++i)
        if (prefix ? header.at(i).startsWith(name) : header.at(i) == name)
            return i;
    return -1;
}

struct Columns {
    int ch = -1, freq = -1, mode = -1, width = -1, agc = -1, att = -1, tag = -1;
};

QString field(const QStringList &f, int col)
{
    return col >= 0 && col < f.size() ? f.at(col).trimmed() : QString();
}

// One row of the rig-control layout: the record, or why not.
QString rigmemRow(const QStringList &f, const Columns &c, int ch, QString *rec)
{
    const QString freq = field(f, c.freq), mode = field(f, c.mode), width = field(f, c.width);
    bool ok = false;
    const double hzD = freq.toDouble(&ok);
    if (ok && hzD == 0 && mode.isEmpty()) {
        *rec = mem2::emptyRecord(ch);
        return {};
    }
    if (freq.isEmpty())
        return QStringLiteral("no frequency");
    if (!ok || !std::isfinite(hzD))
        return QStringLiteral("frequency \"%1\" is not a number of Hz").arg(freq);
    const long long hz = hzD >= 0 && hzD < 1e12 ? std::llround(hzD) : -1;
    if (!rxlimits::inRangeHz(hz))
        return QStringLiteral("frequency %1 Hz is outside %2 to %3 kHz")
            .arg(freq, fmt::freqText(rxlimits::kMinKhz), fmt::freqText(rxlimits::kMaxKhz));
    if (mode.isEmpty())
        return QStringLiteral("no mode");
    const int m = modeOf(mode);
    if (m < 0)
        return QStringLiteral("mode \"%1\" is not one of the receiver's (%2)").arg(mode, modeList());
    double w = 0;
    if (!width.isEmpty()) {
        w = width.toDouble(&ok);
        if (!ok || !std::isfinite(w) || w < 0)
            return QStringLiteral("width \"%1\" is not a number of Hz").arg(width);
    }
    *rec = dataRecord(ch, 0, bwOfWidth(w), m, hz, defaultAgc(m));
    return {};
}

// One row of the spreadsheet layout: the record and tag, or why not.
QString sheetRow(const QStringList &f, const Columns &c, int ch, QString *rec, QString *tag)
{
    const Captions &n = names();
    *tag = c.tag >= 0 ? textfile::cleanLine(field(f, c.tag)).trimmed() : QString();
    if (tag->size() > mem2::kMaxTag)
        return QStringLiteral("the tag is %1 characters long; a tag holds at most %2")
            .arg(tag->size())
            .arg(mem2::kMaxTag);
    QString freq = field(f, c.freq);
    if (freq.isEmpty() || freq.compare(QLatin1String("no data"), Qt::CaseInsensitive) == 0) {
        *rec = mem2::emptyRecord(ch);
        tag->clear(); // an empty channel has no tag
        return {};
    }
    bool ok = false;
    const double khz = QString(freq).replace(QLatin1Char(','), QLatin1Char('.')).toDouble(&ok);
    if (!ok || !std::isfinite(khz))
        return QStringLiteral("frequency \"%1\" is not a number of kHz").arg(freq);
    const long long hz = rxlimits::hzOf(khz);
    if (!rxlimits::inRangeHz(hz))
        return QStringLiteral("frequency %1 kHz is outside %2 to %3 kHz")
            .arg(freq, fmt::freqText(rxlimits::kMinKhz), fmt::freqText(rxlimits::kMaxKhz));
    const QString mode = field(f, c.mode);
    if (mode.isEmpty())
        return QStringLiteral("no mode");
    const int m = modeOf(mode);
    if (m < 0)
        return QStringLiteral("mode \"%1\" is not one of the receiver's (%2)").arg(mode, modeList());
    auto setting = [](const QString &text, const QStringList &caps, rxlimits::CodeRange r, int dflt,
                      int *code) {
        *code = text.isEmpty() ? dflt : codeOf(text, caps, r);
        return *code >= 0;
    };
    int bw = 0, agc = 0, att = 0;
    const QString bwT = field(f, c.width), agcT = field(f, c.agc), attT = field(f, c.att);
    if (!setting(bwT, n.bw, rxlimits::kBw, 0, &bw))
        return QStringLiteral("bandwidth \"%1\" is not Wide, Inter, Narr or Aux").arg(bwT);
    if (!setting(agcT, n.agc, rxlimits::kAgc, defaultAgc(m), &agc))
        return QStringLiteral("AGC \"%1\" is not Slow, Fast or Off").arg(agcT);
    if (!setting(attT, n.att, rxlimits::kAtt, 0, &att))
        return QStringLiteral("attenuator \"%1\" is not Off or On").arg(attT);
    *rec = dataRecord(ch, att, bw, m, hz, agc);
    return {};
}

} // namespace

QString rigmemMode(int mode)
{
    return mode >= 0 && mode < int(std::size(kRigModes)) ? QLatin1String(kRigModes[mode]) : QString();
}

int rigmemWidth(int bw)
{
    return bw >= 0 && bw < int(std::size(kRigWidths)) ? kRigWidths[bw] : -1;
}

int bwOfWidth(double hz)
{
    if (!(hz > 0))
        return 0;
    // Nearest on a log scale: 1000, 2000, 6000, 12000 Hz.
    int best = 0;
    double bestD = 1e300;
    for (int bw = 0; bw < int(std::size(kRigWidths)); ++bw) {
        const double d = std::fabs(std::log(hz / kRigWidths[bw]));
        if (d < bestD) {
            bestD = d;
            best = bw;
        }
    }
    return best;
}

QStringList splitRow(const QString &line, QChar sep)
{
    QStringList out;
    QString cur;
    bool inQuotes = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (inQuotes) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                    cur += c;
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                cur += c;
            }
        } else if (c == QLatin1Char('"')) {
            inQuotes = true;
        } else if (c == sep) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

Parsed parse(const QStringList &rawLines)
{
    Parsed p;
    // Rows as the file has them: a quoted field may run over a line end
    // (joined with a blank).
    struct Line {
        int no;
        QString text;
    };
    QList<Line> lines;
    for (int i = 0; i < rawLines.size(); ++i) {
        Line l{i + 1, rawLines.at(i)};
        while (l.text.count(QLatin1Char('"')) % 2 == 1 && i + 1 < rawLines.size())
            l.text += QLatin1Char(' ') + rawLines.at(++i);
        lines << l;
    }
    if (lines.isEmpty() || lines.first().text.trimmed().isEmpty()) {
        p.error = QStringLiteral("its first line is not a header");
        return p;
    }
    const QString head = lines.first().text;
    const QChar sep = !head.contains(QLatin1Char(',')) && head.contains(QLatin1Char(';'))
                          ? QLatin1Char(';')
                          : QLatin1Char(',');
    QStringList h = splitRow(head, sep);
    for (QString &s : h)
        s = s.trimmed().toLower();
    Columns c;
    if (h.first() == QLatin1String("num")) {
        p.layout = Layout::Rigmem;
        c.ch = 0;
        c.freq = column(h, QStringLiteral("freq"), false);
        c.mode = column(h, QStringLiteral("mode"), false);
        c.width = column(h, QStringLiteral("width"), false);
    } else if (h.first().startsWith(QLatin1String("channel"))) {
        p.layout = Layout::Sheet;
        c.ch = 0;
        c.freq = column(h, QStringLiteral("freq"), true);
        c.mode = column(h, QStringLiteral("mode"), true);
        c.width = column(h, QStringLiteral("bandwidth"), true);
        c.agc = column(h, QStringLiteral("agc"), true);
        c.att = column(h, QStringLiteral("att"), true);
        c.tag = column(h, QStringLiteral("tag"), true);
    } else {
        p.error = QStringLiteral("its first line is neither the header \"%1\" nor \"%2\"")
                      .arg(QLatin1String(kRigmemHeader), QLatin1String(kSheetHeader));
        return p;
    }
    if (c.freq < 0 || c.mode < 0) {
        p.error = QStringLiteral("its header has no %1 column")
                      .arg(c.freq < 0 ? QStringLiteral("frequency") : QStringLiteral("mode"));
        return p;
    }
    p.ok = true;
    QHash<int, int> seen; // channel -> row
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const Line &l = lines.at(i);
        const QStringList f = splitRow(l.text, sep);
        if (std::all_of(f.begin(), f.end(), [](const QString &s) { return s.trimmed().isEmpty(); }))
            continue; // a blank row
        const QString chT = field(f, c.ch);
        bool ok = false;
        const int ch = chT.toInt(&ok);
        if (!ok || !rxlimits::validChannel(ch)) {
            p.bad.append({l.no, QStringLiteral("channel \"%1\" is not a number from %2 to %3")
                                    .arg(chT)
                                    .arg(rxlimits::kFirstChannel)
                                    .arg(rxlimits::kLastChannel)});
            continue;
        }
        if (seen.contains(ch)) {
            p.bad.append({l.no, QStringLiteral("channel %1 is also in row %2").arg(ch).arg(seen.value(ch))});
            continue;
        }
        seen.insert(ch, l.no);
        Row r;
        r.line = l.no;
        r.ch = ch;
        r.hasTag = p.layout == Layout::Sheet;
        const QString why = p.layout == Layout::Rigmem ? rigmemRow(f, c, ch, &r.rec)
                                                       : sheetRow(f, c, ch, &r.rec, &r.tag);
        if (!why.isEmpty())
            p.bad.append({l.no, why});
        else
            p.rows << r;
    }
    return p;
}

Parsed read(const QString &path)
{
    QStringList lines;
    bool more = false;
    QString error;
    if (!textfile::readLinesLimited(path, kMaxLines, &lines, &more, &error)) {
        Parsed p;
        p.error = error;
        return p;
    }
    if (more) {
        Parsed p;
        p.error = QStringLiteral("%1 holds more than %2 rows; a memory CSV has at most %3 channels")
                      .arg(path)
                      .arg(kMaxLines)
                      .arg(mem2::kChannels);
        return p;
    }
    Parsed p = parse(lines);
    if (!p.ok)
        p.error = QStringLiteral("%1 is not a memory CSV: %2").arg(path, p.error);
    return p;
}

QString problemsText(const Parsed &p, const QString &file)
{
    if (p.bad.isEmpty())
        return {};
    constexpr int kShown = 20;
    QStringList out;
    out << (p.bad.size() == 1 ? QStringLiteral("%1: 1 row cannot be imported:").arg(file)
                              : QStringLiteral("%1: %2 rows cannot be imported:").arg(file).arg(p.bad.size()));
    for (int i = 0; i < p.bad.size() && i < kShown; ++i)
        out << QStringLiteral("row %1: %2").arg(p.bad.at(i).line).arg(p.bad.at(i).why);
    if (p.bad.size() > kShown)
        out << QStringLiteral("and %1 more").arg(p.bad.size() - kShown);
    return out.join(QLatin1Char('\n'));
}

int apply(const QList<Row> &rows, mem2::MemTable &t)
{
    int changed = 0;
    for (const Row &r : rows) {
        const QString &old = t.rec[r.ch];
        if (!t.unknown[r.ch] && !r.hasTag && mem2::recordKind(old) == mem2::RecKind::Data &&
            mem2::recordKind(r.rec) == mem2::RecKind::Data && mem2::recordHz(old) == mem2::recordHz(r.rec) &&
            mem2::codeAt(old, 6) == mem2::codeAt(r.rec, 6) && mem2::codeAt(old, 7) == mem2::codeAt(r.rec, 7))
            continue; // what the channel holds: its attenuator, AGC and tag stay
        const QString tag = r.hasTag ? r.tag : QString();
        if (!t.unknown[r.ch] && old == r.rec && t.tag[r.ch] == tag)
            continue;
        t.rec[r.ch] = r.rec;
        t.tag[r.ch] = tag;
        t.unknown[r.ch] = false;
        ++changed;
    }
    return changed;
}

QStringList rigmemLines(const mem2::MemTable &t, QList<int> *left)
{
    QStringList out{QLatin1String(kRigmemHeader)};
    for (int ch = 0; ch < mem2::kChannels; ++ch) {
        const QString &rec = t.rec[ch];
        const mem2::RecKind k = t.unknown[ch] ? mem2::RecKind::Bad : mem2::recordKind(rec);
        if (k == mem2::RecKind::Empty) {
            out << QStringLiteral("%1,0,,0,0,").arg(ch);
            continue;
        }
        const int width = rigmemWidth(mem2::codeAt(rec, 6));
        if (k != mem2::RecKind::Data || width < 0) {
            if (left)
                left->append(ch);
            continue;
        }
        out << QStringLiteral("%1,%2,%3,%4,0,")
                   .arg(ch)
                   .arg(mem2::recordHz(rec))
                   .arg(rigmemMode(mem2::codeAt(rec, 7)))
                   .arg(width);
    }
    return out;
}

QStringList sheetLines(const mem2::MemTable &t, QList<int> *left)
{
    const Captions &n = names();
    QStringList out{QLatin1String(kSheetHeader)};
    auto text = [](const QStringList &caps, int code) {
        const QString s = Captions::text(caps, code);
        return s.isEmpty() ? QString::number(code) : s;
    };
    for (int ch = 0; ch < mem2::kChannels; ++ch) {
        const QString &rec = t.rec[ch];
        const mem2::RecKind k = t.unknown[ch] ? mem2::RecKind::Bad : mem2::recordKind(rec);
        if (k == mem2::RecKind::Empty) {
            out << QStringLiteral("%1,,,,,,").arg(ch);
            continue;
        }
        if (k != mem2::RecKind::Data) {
            if (left)
                left->append(ch);
            continue;
        }
        out << QStringList{QString::number(ch), fmt::freqText(mem2::recordKhz(rec)),
                           text(n.mode, mem2::codeAt(rec, 7)), text(n.bw, mem2::codeAt(rec, 6)),
                           text(n.agc, mem2::codeAt(rec, 16)), text(n.att, mem2::codeAt(rec, 5)),
                           quoted(t.tag[ch])}
                   .join(QLatin1Char(','));
    }
    return out;
}

bool write(const QString &path, const QStringList &lines, Layout layout, QString *error)
{
    return textfile::writeLinesWith(path, lines, layout == Layout::Rigmem ? "\n" : "\r\n", error);
}

} // namespace memcsv
