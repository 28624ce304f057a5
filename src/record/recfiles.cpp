#include "record/recfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QtEndian>

#include "common/textfile.h"

namespace recfiles {

QString formatKey(Format f)
{
    switch (f) {
    case Format::Opus:
        return QStringLiteral("opus");
    case Format::Wav:
        return QStringLiteral("wav");
    case Format::Flac:
        break;
    }
    return QStringLiteral("flac");
}

bool formatFromKey(const QString &key, Format *out)
{
    const QString k = key.trimmed().toLower();
    if (k == QLatin1String("flac"))
        *out = Format::Flac;
    else if (k == QLatin1String("opus") || k == QLatin1String("ogg"))
        *out = Format::Opus;
    else if (k == QLatin1String("wav"))
        *out = Format::Wav;
    else
        return false;
    return true;
}

bool formatFromPath(const QString &path, Format *out)
{
    return formatFromKey(QFileInfo(path).suffix(), out);
}

qint64 freeBytes(const QString &dir)
{
    QFileInfo fi(dir);
    while (!fi.exists()) {
        const QString up = fi.absolutePath();
        if (up == fi.absoluteFilePath())
            return -1;
        fi = QFileInfo(up);
    }
    const QStorageInfo s(fi.absoluteFilePath());
    return s.isValid() ? s.bytesAvailable() : -1;
}

namespace {
// A part of a file name: letters, digits, '-', '.' and '+' kept; a run of
// blanks becomes '_', a run of anything else (path separators, control
// characters, the characters other file systems refuse) '-'; no separator
// or dot at either end (no hidden file, no trailing dot); at most maxLen
// characters, never cutting a character in two.
QString safePart(const QString &s, int maxLen)
{
    QString out;
    int len = 0;
    bool pendingSep = false, pendingBlank = false;
    for (const char32_t c : s.toUcs4()) {
        const bool keep = QChar::isLetterOrNumber(c) || c == U'-' || c == U'.' || c == U'+';
        if (!keep) {
            pendingSep = true;
            pendingBlank = pendingBlank || QChar::isSpace(c);
            continue;
        }
        if (pendingSep && !out.isEmpty()) {
            if (len + 2 > maxLen)
                break;
            out += pendingBlank ? QLatin1Char('_') : QLatin1Char('-');
            ++len;
        }
        pendingSep = pendingBlank = false;
        if (len + 1 > maxLen)
            break;
        out += QString::fromUcs4(&c, 1);
        ++len;
    }
    auto isEdge = [](QChar c) { return c == QLatin1Char('-') || c == QLatin1Char('.') || c == QLatin1Char('_'); };
    while (!out.isEmpty() && isEdge(out.back()))
        out.chop(1);
    while (!out.isEmpty() && isEdge(out.front()))
        out.remove(0, 1);
    return out;
}

// A station as one line of the text file: control characters become blanks.
QString oneLine(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return out.simplified();
}

QString khzText(double khz)
{
    QString t = QString::number(khz, 'f', 3);
    while (t.endsWith(QLatin1Char('0')))
        t.chop(1);
    if (t.endsWith(QLatin1Char('.')))
        t.chop(1);
    return t;
}

QString utcText(const QDateTime &t)
{
    return t.isValid() ? t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QStringLiteral(" UTC")
                       : QString();
}
} // namespace

QString fileName(const Info &info, Format f)
{
    QString n = info.utcStart.toString(QStringLiteral("yyyyMMdd_HHmm")) + QStringLiteral("Z_") +
                khzText(info.khz) + QLatin1Char('_') + safePart(info.mode, 8);
    const QString st = safePart(info.station, 40);
    if (!st.isEmpty())
        n += QLatin1Char('_') + st;
    return n + QLatin1Char('.') + formatKey(f);
}

QString uniquePath(const QString &dir, const Info &info, Format f)
{
    const QString name = fileName(info, f);
    const QString stem = QFileInfo(name).completeBaseName();
    const QString ext = QFileInfo(name).suffix();
    QString path = QDir(dir).filePath(name);
    for (int k = 2; QFileInfo::exists(path) || QFileInfo::exists(infoPath(path)); ++k)
        path = QDir(dir).filePath(QStringLiteral("%1_%2.%3").arg(stem).arg(k).arg(ext));
    return path;
}

QString infoPath(const QString &recording)
{
    const QFileInfo fi(recording);
    return fi.dir().filePath(fi.completeBaseName() + QStringLiteral(".txt"));
}

QString infoText(const Info &info)
{
    QStringList l;
    l << QStringLiteral("Frequency: %1 kHz").arg(khzText(info.khz))
      << QStringLiteral("Mode: %1").arg(info.mode)
      << QStringLiteral("Bandwidth: %1").arg(info.bandwidth)
      << QStringLiteral("Station: %1").arg(oneLine(info.station))
      << QStringLiteral("Start: %1").arg(utcText(info.utcStart))
      << QStringLiteral("End: %1").arg(utcText(info.utcEnd))
      << QStringLiteral("Source: %1").arg(info.source)
      << QStringLiteral("Started by: %1").arg(info.startedBy);
    return l.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

bool writeInfo(const QString &recording, const Info &info, QString *error)
{
    return textfile::writeLines(infoPath(recording),
                                infoText(info).trimmed().split(QLatin1Char('\n')), error);
}

bool repairWav(const QString &path, bool *fixed, QString *error)
{
    *fixed = false;
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite))
        return fail(f.errorString());
    const qint64 size = f.size();
    const QByteArray head = f.read(qMin<qint64>(size, 4096));
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return fail(QStringLiteral("not a WAV file"));
    // Walk the chunks to "data"; its size runs to the end of the file.
    qint64 pos = 12;
    int blockAlign = 1;
    while (pos + 8 <= head.size()) {
        const QByteArray id = head.mid(int(pos), 4);
        const quint32 len = qFromLittleEndian<quint32>(head.constData() + pos + 4);
        if (id == "fmt " && pos + 8 + 14 <= head.size())
            blockAlign = qMax(1, int(qFromLittleEndian<quint16>(head.constData() + pos + 8 + 12)));
        if (id == "data") {
            qint64 data = size - (pos + 8);
            data -= data % blockAlign;
            const quint32 riff = quint32(qMin<qint64>(pos + 8 + data - 8, 0xffffffffLL));
            const quint32 dlen = quint32(qMin<qint64>(data, 0xffffffffLL));
            if (qFromLittleEndian<quint32>(head.constData() + 4) == riff && len == dlen)
                return true;
            uchar b[4];
            qToLittleEndian(riff, b);
            if (!f.seek(4) || f.write(reinterpret_cast<char *>(b), 4) != 4)
                return fail(f.errorString());
            qToLittleEndian(dlen, b);
            if (!f.seek(pos + 4) || f.write(reinterpret_cast<char *>(b), 4) != 4)
                return fail(f.errorString());
            if (!f.flush())
                return fail(f.errorString());
            *fixed = true;
            return true;
        }
        pos += 8 + len + (len & 1);
    }
    return fail(QStringLiteral("no sound data in the file"));
}

} // namespace recfiles
