#include "memory/mem2.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "link/captions.h"
#include "link/limits.h"
#include "settings/settings.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cmath>
#include <numeric>

namespace mem2 {

void MemTable::clear()
{
    for (int i = 0; i < kSlots; ++i) {
        rec[i].clear();
        tag[i].clear();
        unknown[i] = false;
    }
    from = From::Nothing;
    fromFile.clear();
}

QList<int> MemTable::unknownChannels() const
{
    QList<int> out;
    for (int i = 0; i < kChannels; ++i)
        if (unknown[i])
            out << i;
    return out;
}

int MemTable::filledCount() const
{
    int n = 0;
    for (int i = 0; i < kChannels; ++i)
        n += rec[i].isEmpty() ? 0 : 1;
    return n;
}

MemTable &table()
{
    static MemTable t;
    return t;
}

bool isEmptyChannel(const QString &rec)
{
    return rec.size() >= 5 && rec.at(4) == QLatin1Char('V');
}

QString emptyRecord(int ch)
{
    auto make = [](int c) { return QLatin1Char('L') + ch3(c) + QLatin1Char('V'); };
    // Built once per slot: tables fill, sort and reset hundreds at a time.
    static const std::array<QString, kSlots> made = [&] {
        std::array<QString, kSlots> a;
        for (int i = 0; i < kSlots; ++i)
            a[i] = make(i);
        return a;
    }();
    return ch >= 0 && ch < kSlots ? made[ch] : make(ch);
}

QString ch3(int ch)
{
    return fmt::zeros(ch + 1000, 4).right(3);
}

static bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

RecKind recordKind(const QString &rec)
{
    if (rec.isEmpty())
        return RecKind::NeverFilled;
    if (rec == QLatin1String("V"))
        return RecKind::Empty;
    if (rec.at(0) != QLatin1Char('L') || rec.size() < 5)
        return RecKind::Bad;
    for (int i = 1; i < 4; ++i)
        if (!isDigit(rec.at(i)))
            return RecKind::Bad;
    if (rec.mid(1, 3).toInt() > rxlimits::kLastChannel)
        return RecKind::Bad;
    if (rec.at(4) == QLatin1Char('V'))
        return rec.size() == 5 ? RecKind::Empty : RecKind::Bad;
    if (rec.size() != kRecLen)
        return RecKind::Bad;
    for (int i = 4; i < kRecLen; ++i)
        if (!isDigit(rec.at(i)))
            return RecKind::Bad;
    auto code = [&](int pos1) { return fmt::digitValue(rec.at(pos1 - 1)); };
    if (!rxlimits::kRecAtt.contains(code(5)) || !rxlimits::kRecBw.contains(code(6)) ||
        !rxlimits::kRecMode.contains(code(7)) || !rxlimits::kRecAgc.contains(code(16)))
        return RecKind::Bad;
    return RecKind::Data;
}

QString rxContent(const QString &rec)
{
    switch (recordKind(rec)) {
    case RecKind::Data: return rec.mid(4, 12);
    case RecKind::Empty: return QStringLiteral("V");
    default: return QString();
    }
}

RxMatch rxMatch(const MemTable &t, int ch)
{
    if (ch < 0 || ch >= kChannels || t.inRx[ch].isEmpty())
        return RxMatch::Unknown;
    return !t.unknown[ch] && rxContent(t.rec[ch]) == t.inRx[ch] ? RxMatch::Same : RxMatch::Differs;
}

QString channelList(const QList<int> &channels)
{
    QStringList parts;
    for (int i = 0; i < channels.size();) {
        int j = i;
        while (j + 1 < channels.size() && channels.at(j + 1) == channels.at(j) + 1)
            ++j;
        parts << (j == i ? ch3(channels.at(i)) : ch3(channels.at(i)) + QLatin1Char('-') + ch3(channels.at(j)));
        i = j + 1;
    }
    return parts.join(QStringLiteral(", "));
}

QString keptAsUnknownText(const QString &head, const QList<int> &channels,
                          const std::function<QString(int)> &held)
{
    QString text = head;
    // The first few with their text, then the rest by number.
    constexpr int kShown = 8;
    for (int k = 0; k < channels.size() && k < kShown; ++k)
        text += ch3(channels.at(k)) + QStringLiteral("  \"") + held(channels.at(k)) +
                QStringLiteral("\"\n");
    if (channels.size() > kShown)
        text += QStringLiteral("and %1\n").arg(channelList(channels.mid(kShown)));
    text += channels.size() == 1
                ? QStringLiteral("It is kept as unknown and never written to the receiver.")
                : QStringLiteral("They are kept as unknown and never written to the receiver.");
    return text;
}

QString badRecordsText(const MemTable &t, const QList<int> &bad)
{
    if (bad.isEmpty())
        return QString();
    const QString head =
        (bad.size() == 1 ? QStringLiteral("1 channel holds a record that does not fit")
                         : QStringLiteral("%1 channels hold records that do not fit").arg(bad.size())) +
        QStringLiteral(" the memory layout:\n");
    return keptAsUnknownText(head, bad, [&t](int c) { return t.rec[c].left(24); });
}

long long recordHz(const QString &rec)
{
    long long hz = 0;
    for (int i = 7; i < 15 && i < rec.size(); ++i) {
        const QChar c = rec.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        hz = hz * 10 + fmt::digitValue(c);
    }
    return hz;
}

double recordKhz(const QString &rec)
{
    return recordHz(rec) / 1000.0;
}

int codeAt(const QString &rec, int pos1)
{
    if (pos1 - 1 >= rec.size())
        return 0;
    const QChar c = rec.at(pos1 - 1);
    if (c < QLatin1Char('0') || c > QLatin1Char('9'))
        return -1;
    return fmt::digitValue(c);
}

QString freqCell(const QString &rec)
{
    return fmt::blankNum(recordKhz(rec));
}

QString attText(const Captions &cap, const QString &rec)
{
    return Captions::text(cap.att, codeAt(rec, 5));
}

QString bwText(const Captions &cap, const QString &rec)
{
    return Captions::text(cap.bw, codeAt(rec, 6));
}

QString modeText(const Captions &cap, const QString &rec)
{
    return Captions::text(cap.mode, codeAt(rec, 7));
}

QString agcText(const Captions &cap, const QString &rec)
{
    return Captions::text(cap.agc, codeAt(rec, 16));
}

QStringList rowCells(const Captions &cap, int ch, const QString &rec, const QString &tag,
                     bool withTag)
{
    if (isEmptyChannel(rec))
        return {ch3(ch), QStringLiteral("no data")};
    if (rec.startsWith(QLatin1Char('?'))) // a reply that could not be read
        return {ch3(ch), QStringLiteral("unknown")};
    QStringList cells{ch3(ch), freqCell(rec), attText(cap, rec), bwText(cap, rec),
                      modeText(cap, rec), agcText(cap, rec)};
    if (withTag)
        cells << tag;
    return cells;
}

QString rowText(const Captions &cap, int ch, const QString &rec, const QString &tag,
                bool withTag)
{
    return rowCells(cap, ch, rec, tag, withTag).join(QLatin1Char('\t'));
}

QString selFreqText(const QString &rec)
{
    return fmt::zeroFixed(recordKhz(rec), 5, 3);
}

QString memDir(const Settings &s)
{
    return s.sub(QStringLiteral("MEM"));
}

// Spaces only, as the file's own trimming does: a tag may end in a tab.
static QString trimSpaces(const QString &s)
{
    int a = 0, b = s.size();
    while (a < b && s.at(a) == QLatin1Char(' '))
        ++a;
    while (b > a && s.at(b - 1) == QLatin1Char(' '))
        --b;
    return s.mid(a, b - a);
}

// A cut may part a character outside the basic plane: the half left over
// becomes U+FFFD, which a save keeps (the length stays, for the record).
static void mendCut(QString *s)
{
    for (qsizetype i = 0; i < s->size(); ++i) {
        const QChar c = s->at(i);
        if (c.isHighSurrogate() && i + 1 < s->size() && s->at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            (*s)[i] = QChar::ReplacementCharacter;
    }
}

void parseLine(const QString &line, QString *rec, QString *tag)
{
    const QString t = trimSpaces(line);
    *rec = t.left(kRecLen);
    *tag = t.size() > kRecLen ? t.mid(kRecLen + 1, kMaxTag) : QString();
    // A tag cut at its longest may end in blanks, which the file cannot keep
    // (lines are trimmed on reading): drop them now so a save and a reload
    // give the same table.
    while (tag->endsWith(QLatin1Char(' ')))
        tag->chop(1);
    // The same for a (damaged) record that ends in blanks with no tag after it.
    if (tag->isEmpty())
        while (rec->endsWith(QLatin1Char(' ')))
            rec->chop(1);
    mendCut(rec);
    mendCut(tag);
}

QStringList fileLines(MemTable &t)
{
    QStringList out;
    out.reserve(kChannels);
    for (int i = 0; i < kChannels; ++i) {
        if (t.rec[i].size() < 10)
            t.tag[i].clear();
        QString tag = t.tag[i];
        if (tag.size() > kMaxTag)
            tag.truncate(kMaxTag);
        mendCut(&tag);
        out << t.rec[i] + QLatin1Char(' ') + tag;
    }
    return out;
}

bool readMemFile(const QString &path, MemTable &t, int *lines, QString *error, QList<int> *bad,
                 int *extra)
{
    QStringList ls;
    int past = 0;
    const auto take = [&](const QString &l) {
        if (ls.size() < kChannels)
            ls << l;
        else if (past < INT_MAX)
            ++past;
        return true;
    };
    if (!textfile::readEach(path, extra ? -1 : kChannels, take, nullptr, error))
        return false;
    if (extra)
        *extra = past;
    t.clear();
    if (bad)
        bad->clear();
    const int n = std::min<int>(ls.size(), kChannels);
    for (int k = 0; k < n; ++k) {
        parseLine(ls.at(k), &t.rec[k], &t.tag[k]);
        if (recordKind(t.rec[k]) == RecKind::Bad) {
            t.unknown[k] = true;
            if (bad)
                *bad << k;
        }
    }
    if (lines)
        *lines = n;
    return true;
}

bool writeMemFile(const QString &path, MemTable &t, QString *error)
{
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir)) {
        if (error)
            *error = QStringLiteral("Cannot write %1:\nthe folder %2 cannot be created.")
                         .arg(QDir::toNativeSeparators(path), QDir::toNativeSeparators(dir));
        return false;
    }
    // Build the lines on a copy so that a failed write leaves the tags alone.
    MemTable copy = t;
    const QStringList ls = fileLines(copy);
    if (!textfile::writeLines(path, ls, error))
        return false;
    t = copy;
    return true;
}

void sortByFreq(MemTable &t)
{
    // Records of 6 or more characters sort on their text from character 8
    // (a 6- or 7-character record has an empty sort text and comes first);
    // the empty channels are counted wherever they fall, not only while
    // they lead, so that no record is pushed past the end.
    QList<int> kept, lost;
    for (int i = 0; i < kChannels; ++i) {
        if (t.unknown[i] && t.rec[i].size() < 6)
            lost << i; // unknown and nothing to sort on: stays unknown
        else if (t.rec[i].size() >= 6 || t.unknown[i])
            kept << i;
    }
    auto key = [&](int i) {
        const QString &r = t.rec[i];
        return r.size() > 7 ? QStringView(r).sliced(7) : QStringView();
    };
    std::stable_sort(kept.begin(), kept.end(), [&](int a, int b) { return key(a) < key(b); });
    const QList<int> order = kept + lost;

    MemTable out = t;
    for (int k = 0; k < kChannels; ++k) {
        if (k < order.size()) {
            out.rec[k] = t.rec[order[k]];
            out.tag[k] = t.tag[order[k]];
            out.unknown[k] = t.unknown[order[k]];
        } else {
            out.rec[k] = emptyRecord(k);
            out.tag[k].clear();
            out.unknown[k] = false;
        }
    }
    t = out;
}

bool readRange(const QString &from, const QString &to, int *first, int *second)
{
    const double a = fmt::roundHalfEven(fmt::val(from));
    const double b = fmt::roundHalfEven(fmt::val(to));
    if (!(a >= 0 && a <= 198 && b >= 0 && b <= 199))
        return false;
    *first = int(a);
    *second = int(b);
    return true;
}

bool readDelay(const QString &text, double *seconds)
{
    const double d = fmt::val(text);
    if (!(d >= 0.1 && d <= 10))
        return false;
    *seconds = d;
    return true;
}

QList<int> printRange(int first, int second)
{
    QList<int> out;
    if (first <= second) {
        for (int i = first; i <= second; ++i)
            out << i;
    } else {
        for (int i = first; i < kChannels; ++i)
            out << i;
        for (int i = 0; i <= second; ++i)
            out << i;
    }
    return out;
}

QString printLine(const Captions &cap, int ch, const QString &rec, const QString &tag)
{
    // The channel digits of the record; a record too short to hold them
    // prints its index instead.
    const QString nr = rec.size() >= 4 ? rec.mid(1, 3) : ch3(ch);
    const QString five(5, QLatin1Char(' '));
    const long long hz = recordHz(rec);
    if (hz < 1000 || isEmptyChannel(rec))
        return nr + five + QStringLiteral(" no data");

    QString line = nr + five;
    line += fmt::blankNum(double(hz / 1000)).leftJustified(6);
    const long long milli = hz % 1000;
    if (milli == 0) {
        line += QString(4, QLatin1Char(' '));
    } else {
        // "0.###": ".5", ".25", ".125".
        QString f = fmt::blankNum(milli / 1000.0).trimmed();
        if (f.startsWith(QLatin1Char('0')))
            f.remove(0, 1);
        line += f.leftJustified(4);
    }
    line += attText(cap, rec).rightJustified(4);
    line += bwText(cap, rec).rightJustified(6);
    line += modeText(cap, rec).rightJustified(5);
    line += agcText(cap, rec).rightJustified(5) + QStringLiteral("  ");
    line += tag;
    return line;
}

QStringList printLines(const Captions &cap, const MemTable &t, const QString &fileName,
                       int first, int second)
{
    QStringList out{QString(), QString(), fileName.toUpper() + QString(5, QLatin1Char(' ')),
                    QString(), QString()};
    for (int ch : printRange(first, second))
        out << printLine(cap, ch, t.rec[ch], t.tag[ch]);
    return out;
}

void ScanRange::start(int f, int l)
{
    first = f;
    last = l;
    offset = 0;
    wrap = l < f;
}

int ScanRange::next()
{
    const int pos = first + offset;
    const int ch = (wrap && pos > 199) ? pos - 200 : pos;
    ++offset;
    const int end = wrap ? last + 200 : last;
    if (pos >= end)
        offset = 0;
    return ch;
}

} // namespace mem2
