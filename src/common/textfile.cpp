#include "common/textfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace textfile {

namespace {

// Windows-1252 code points for bytes 0x80-0x9F; other bytes map to Latin-1.
const char16_t cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString decode1252(const QByteArray &bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b >= 0x80 && b < 0xA0)
            out.append(QChar(cp1252High[b - 0x80]));
        else
            out.append(QChar(b));
    }
    return out;
}

QString reasonOf(const QFile &f)
{
    switch (f.error()) {
    case QFileDevice::OpenError:
        return QFileInfo::exists(f.fileName()) ? QStringLiteral("it cannot be opened (no permission?)")
                                               : QStringLiteral("it does not exist");
    case QFileDevice::PermissionsError: return QStringLiteral("permission denied");
    case QFileDevice::ResourceError: return QStringLiteral("the disk is full or not available");
    case QFileDevice::ReadError: return QStringLiteral("it could not be read");
    case QFileDevice::WriteError: return QStringLiteral("it could not be written");
    default: return f.errorString();
    }
}

} // namespace

QString decode(const QByteArray &bytes)
{
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF"))
        b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(b);
    if (!utf8.hasError())
        return s;
    return decode1252(b);
}

QStringList splitLines(const QString &text)
{
    QStringList lines;
    int start = 0;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    bool more = false;
    return readLinesLimited(path, -1, lines, &more, error);
}

bool readLinesLimited(const QString &path, int maxLines, QStringList *lines, bool *more,
                      QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("The file %1 could not be read: %2.").arg(path, reasonOf(f));
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = QStringLiteral("The file %1 could not be read: %2.").arg(path, reasonOf(f));
        return false;
    }
    QStringList all = splitLines(decode(bytes));
    *more = false;
    if (maxLines >= 0 && all.size() > maxLines) {
        *more = true;
        all = all.mid(0, maxLines);
    }
    *lines = std::move(all);
    return true;
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2.")
                         .arg(path, f.errorString());
        return false;
    }
    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    if (f.write(out) != out.size() || !f.commit()) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2. The old file is unchanged.")
                         .arg(path, f.errorString());
        f.cancelWriting();
        return false;
    }
    return true;
}

bool appendLines(const QString &path, const QStringList &lines, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2.").arg(path, reasonOf(f));
        return false;
    }
    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    if (f.write(out) != out.size() || !f.flush()) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2.").arg(path, reasonOf(f));
        return false;
    }
    return true;
}

} // namespace textfile
