#include "common/textfile.h"

#include "common/seams.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <QSaveFile>
#include <cerrno>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace textfile {

namespace {

constexpr qint64 kChunk = 64 * 1024;
constexpr auto kStampHash = QCryptographicHash::Sha256;

// Windows-1252 code points for bytes 0x80-0x9F; other bytes map to Latin-1.
const char16_t cp1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
    0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

QString decode1252(QByteArrayView bytes)
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

bool isAscii(QByteArrayView bytes)
{
    for (char ch : bytes)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

// A line cut at a byte limit may end inside a UTF-8 sequence; drop that
// partial sequence so that the rest is still recognised as UTF-8.
void dropPartialUtf8(QByteArray *b)
{
    const qsizetype n = b->size();
    for (qsizetype k = n - 1; k >= 0 && k >= n - 4; --k) {
        const unsigned char c = static_cast<unsigned char>(b->at(k));
        if ((c & 0xC0) == 0x80)
            continue; // continuation byte
        const int len = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        if (n - k < len)
            b->truncate(k);
        return;
    }
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

QString readError(const QString &path, const QString &reason)
{
    return QStringLiteral("The file %1 could not be read: %2.").arg(path, reason);
}

constexpr const char *kNotRegular = "it is a device or a pipe, not a regular file";

// The open file is still a regular one (it may have been swapped since it
// was looked at).
bool openIsRegular(const QFile &f)
{
#ifdef Q_OS_UNIX
    struct stat st {};
    return ::fstat(f.handle(), &st) != 0 || S_ISREG(st.st_mode);
#else
    Q_UNUSED(f);
    return true;
#endif
}

// The real atomic file: QSaveFile, with every step checked.
class SaveFile : public AtomicFile {
public:
    explicit SaveFile(const QString &path) : f_(path) {}
    // The text goes out in one write: no buffer in between.
    bool open() override { return check(f_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)); }
    bool write(const QByteArray &bytes) override
    {
        return check(f_.write(bytes) == bytes.size());
    }
    bool flush() override
    {
        // The text is on its way; the sync makes sure it is on the disk.
        if (!check(f_.flush()))
            return false;
#ifdef Q_OS_UNIX
        if (::fsync(f_.handle()) != 0) {
            reason_ = qt_error_string(errno);
            return false;
        }
#endif
        return true;
    }
    bool commit() override { return check(f_.commit()); }
    void cancel() override { f_.cancelWriting(); } // the destructor removes the temporary
    QString reason() const override { return reason_; }

private:
    bool check(bool ok)
    {
        if (ok && f_.error() == QFileDevice::NoError)
            return true;
        reason_ = f_.errorString();
        if (reason_.isEmpty() || reason_ == QLatin1String("Unknown error"))
            reason_ = QStringLiteral("the data could not be written completely");
        return false;
    }
    QSaveFile f_;
    QString reason_;
};

} // namespace

QString decode(const QByteArray &bytes, bool skipBom)
{
    QByteArrayView b(bytes);
    if (skipBom && b.startsWith("\xEF\xBB\xBF"))
        b = b.sliced(3);
    if (isAscii(b))
        return QString::fromLatin1(b);
    // U+FEFF inside the text (a line may start with one) is a character.
    QStringDecoder utf8(QStringDecoder::Utf8,
                        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    QString s = utf8.decode(b);
    if (!utf8.hasError())
        return s;
    return decode1252(b);
}

QString cleanLine(QStringView raw)
{
    QString out = raw.toString();
    for (QChar &c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return out;
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

// ---------------------------------------------------------------------------
// LineReader

LineReader::LineReader(QIODevice *dev, int maxChars)
    : dev_(dev), maxChars_(qMax(1, maxChars)), maxBytes_(qMax(1, maxChars) * 4 + 4)
{
}

bool LineReader::fill()
{
    if (eof_ || failed_)
        return false;
    // A file is read in pieces of at most kChunk, a small one in one piece
    // of its own size.
    qint64 want = kChunk;
    if (!dev_->isSequential() && dev_->size() > 0) {
        // (Some system files tell a size of 0 and still have text.)
        const qint64 left = dev_->size() - dev_->pos();
        if (left > 0)
            want = qMin(left, kChunk);
        else if (left == 0)
            want = 1; // only to see the end, or what was added meanwhile
    }
    buf_.resize(want);
    const qint64 n = dev_->read(buf_.data(), want);
    if (n < 0) {
        failed_ = true;
        buf_.clear();
    } else {
        buf_.resize(n);
        if (n == 0)
            eof_ = true;
        bytesRead_ += n;
        if (hash_ && n > 0)
            hash_->addData(QByteArrayView(buf_.constData(), n));
    }
    pos_ = 0;
    if (!started_) {
        started_ = true;
        if (buf_.startsWith("\xEF\xBB\xBF")) {
            mode_ = Mode::Utf8;
            pos_ = 3;
        } else if (buf_.startsWith("\xFF\xFE") || buf_.startsWith("\xFE\xFF")) {
            mode_ = Mode::Utf16;
            utf16_ = QStringDecoder(buf_.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                                : QStringDecoder::Utf16BE);
            pos_ = 2;
        }
    }
    if (mode_ == Mode::Utf16) {
        text_ = utf16_.decode(QByteArrayView(buf_).sliced(pos_));
        tpos_ = 0;
        pos_ = buf_.size();
        return !failed_ && !eof_;
    }
    return !failed_ && pos_ < buf_.size();
}

QString LineReader::finish(const QByteArray &bytes, bool cut) const
{
    QString s;
    if (mode_ == Mode::Utf8) {
        // Invalid bytes become U+FFFD; a U+FEFF at the line's start stays.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                      QStringDecoder::Flag::ConvertInitialBom);
        s = utf8.decode(bytes);
    } else {
        QByteArray b = bytes;
        if (cut)
            dropPartialUtf8(&b);
        s = decode(b, false); // the file's own mark was taken at its start
    }
    if (s.size() > maxChars_)
        s.truncate(maxChars_);
    return cleanLine(s);
}

bool LineReader::nextBytes(QString *line)
{
    QByteArray cur;
    bool cut = false, any = false;
    for (;;) {
        if (pos_ >= buf_.size() && !fill()) {
            if (failed_)
                return false;
            break;
        }
        if (mode_ == Mode::Utf16)
            return nextUtf16(line);
        if (skipLf_) {
            skipLf_ = false;
            if (buf_.at(pos_) == '\n') {
                ++pos_;
                continue;
            }
        }
        const char *d = buf_.constData() + pos_;
        const qsizetype n = buf_.size() - pos_;
        qsizetype i = 0;
        while (i < n && d[i] != '\n' && d[i] != '\r')
            ++i;
        const qsizetype room = maxBytes_ - cur.size();
        if (i > room)
            cut = true;
        cur.append(d, qMin(i, room));
        pos_ += i;
        if (i < n) {
            skipLf_ = d[i] == '\r';
            ++pos_;
            *line = finish(cur, cut);
            return true;
        }
        if (i > 0)
            any = true;
    }
    if (!any)
        return false;
    *line = finish(cur, cut);
    return true;
}

bool LineReader::nextUtf16(QString *line)
{
    QString cur;
    bool any = false;
    for (;;) {
        while (tpos_ >= text_.size()) {
            if (!fill()) {
                if (failed_)
                    return false;
                if (!any)
                    return false;
                *line = cleanLine(cur);
                return true;
            }
        }
        if (skipLf_) {
            skipLf_ = false;
            if (text_.at(tpos_) == QLatin1Char('\n')) {
                ++tpos_;
                continue;
            }
        }
        const QChar *d = text_.constData() + tpos_;
        const qsizetype n = text_.size() - tpos_;
        qsizetype i = 0;
        while (i < n && d[i] != QLatin1Char('\n') && d[i] != QLatin1Char('\r'))
            ++i;
        cur.append(d, qMin(i, qsizetype(maxChars_) - cur.size()));
        tpos_ += i;
        if (i < n) {
            skipLf_ = d[i] == QLatin1Char('\r');
            ++tpos_;
            *line = cleanLine(cur);
            return true;
        }
        if (i > 0)
            any = true;
    }
}

bool LineReader::next(QString *line)
{
    if (mode_ == Mode::Utf16)
        return nextUtf16(line);
    return nextBytes(line);
}

bool LineReader::atEnd()
{
    for (;;) {
        if (mode_ == Mode::Utf16 && started_) {
            if (tpos_ >= text_.size()) {
                if (!fill())
                    return true;
                continue;
            }
            if (skipLf_ && text_.at(tpos_) == QLatin1Char('\n')) {
                skipLf_ = false;
                ++tpos_;
                continue;
            }
            return false;
        }
        if (pos_ >= buf_.size()) {
            if (!fill() && mode_ != Mode::Utf16)
                return true;
            continue;
        }
        if (skipLf_ && buf_.at(pos_) == '\n') {
            skipLf_ = false;
            ++pos_;
            continue;
        }
        return false;
    }
}

// ---------------------------------------------------------------------------

QString notRegularReason(const QString &path)
{
    const QFileInfo fi(path);
    if (!fi.exists() || fi.isFile())
        return {};
    if (fi.isDir())
        return QStringLiteral("it is a folder");
    return QString::fromLatin1(kNotRegular);
}

bool readEach(const QString &path, int maxLines, const std::function<bool(const QString &)> &fn,
              bool *more, QString *error, int maxChars)
{
    if (more)
        *more = false;
    // Looked at before opening: opening a pipe waits for a writer.
    if (const QString why = notRegularReason(path); !why.isEmpty()) {
        if (error)
            *error = readError(path, why);
        return false;
    }
    QFile f(path);
    // The reader takes the file in large pieces: no buffer in between.
    if (!f.open(QIODevice::ReadOnly | QIODevice::Unbuffered | QIODevice::ExistingOnly)) {
        if (error)
            *error = readError(path, reasonOf(f));
        return false;
    }
    if (!openIsRegular(f)) {
        if (error)
            *error = readError(path, QString::fromLatin1(kNotRegular));
        return false;
    }
    QCryptographicHash hash(kStampHash);
    LineReader r(&f, maxChars);
    r.setHash(&hash);
    QString line;
    int n = 0;
    while (maxLines < 0 || n < maxLines) {
        if (!r.next(&line))
            break;
        ++n;
        if (!fn(line))
            break;
    }
    const bool whole = !r.failed() && r.atEnd();
    if (!r.failed() && more)
        *more = !whole;
    if (r.failed()) {
        forget(path);
        if (error)
            *error = readError(path, QStringLiteral("it could not be read (%1)").arg(f.errorString()));
        return false;
    }
    // Read to its end: this is what the program now knows the file holds.
    if (whole)
        remember(path, Stamp{true, r.bytesRead(), hash.result()});
    else
        forget(path);
    return true;
}

bool readLines(const QString &path, QStringList *lines, QString *error)
{
    bool more = false;
    return readLinesLimited(path, -1, lines, &more, error);
}

bool readLinesLimited(const QString &path, int maxLines, QStringList *lines, bool *more,
                      QString *error)
{
    QStringList out;
    if (!readEach(path, maxLines, [&](const QString &l) { out.append(l); return true; }, more,
                  error))
        return false;
    *lines = std::move(out);
    return true;
}

bool writeLinesTo(AtomicFile &f, const QString &path, const QStringList &lines, QString *error)
{
    qsizetype i = 0;
    return writeEachTo(
        f, path,
        [&](QString *l) {
            if (i >= lines.size())
                return false;
            *l = lines.at(i++);
            return true;
        },
        error);
}

bool writeLines(const QString &path, const QStringList &lines, QString *error)
{
    SaveFile f(path);
    return writeLinesTo(f, path, lines, error);
}

bool writeLinesWith(const QString &path, const QStringList &lines, const char *eol, QString *error)
{
    SaveFile f(path);
    qsizetype i = 0;
    return writeEachTo(
        f, path,
        [&](QString *l) {
            if (i >= lines.size())
                return false;
            *l = lines.at(i++);
            return true;
        },
        error, eol);
}

bool writeEachTo(AtomicFile &f, const QString &path, const std::function<bool(QString *)> &next,
                 QString *error, const char *eol)
{
    auto fail = [&](bool opened) {
        if (error)
            *error =
                opened
                    ? QStringLiteral("The file %1 could not be written: %2. "
                                     "The old file is unchanged.")
                          .arg(path, f.reason())
                    : QStringLiteral("The file %1 could not be written: %2.").arg(path, f.reason());
        if (opened)
            f.cancel();
        return false;
    };
    if (!f.open())
        return fail(false);
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray out;
    QString l;
    bool first = true;
    QCryptographicHash hash(kStampHash);
    qint64 size = 0;
    auto put = [&] {
        hash.addData(out);
        size += out.size();
        return f.write(out);
    };
    while (next(&l)) {
        // A first line that starts with U+FEFF would read as a byte-order
        // mark: a mark of the file's own keeps the character.
        if (first && l.startsWith(QChar(0xFEFF)))
            out += "\xEF\xBB\xBF";
        first = false;
        out += l.toUtf8();
        out += eol;
        if (out.size() >= kPiece) {
            if (!put())
                return fail(true);
            out.resize(0); // keeps the room for the next piece
        }
    }
    if ((!out.isEmpty() && !put()) || !f.flush() || !f.commit())
        return fail(true);
    remember(path, Stamp{true, size, hash.result()});
    return true;
}

bool writeEach(const QString &path, const std::function<bool(QString *)> &next, QString *error)
{
    SaveFile f(path);
    return writeEachTo(f, path, next, error);
}

bool appendBytes(const QString &path, const QByteArray &bytes, QString *reason)
{
    // Opening a pipe for writing would wait for a reader.
    if (const QString why = notRegularReason(path); !why.isEmpty()) {
        if (reason)
            *reason = why;
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        if (reason)
            *reason = reasonOf(f);
        return false;
    }
    const qint64 before = f.size();
    QString why;
#ifdef Q_OS_UNIX
    // Written here rather than through QFile: when the disk fills part-way
    // through, QFile reports the short write with no reason ("Unknown
    // error"); the system's own reason is what the user needs.
    const char *p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(f.handle(), p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            why = n < 0 ? qt_error_string(errno)
                        : QStringLiteral("the disk is full or not available");
            break;
        }
        p += n;
        left -= n;
    }
#else
    if (f.write(bytes) != bytes.size()) {
        why = f.errorString();
        if (why.isEmpty() || why == QLatin1String("Unknown error"))
            why = QStringLiteral("the data could not be written completely");
    }
#endif
    if (!why.isEmpty()) {
        if (reason)
            *reason = why;
        // What was there stays, without a part line at its end.
        f.resize(before);
        return false;
    }
    // A file that grows is not saved over as loaded.
    forget(path);
    return true;
}

bool appendLines(const QString &path, const QStringList &lines, QString *error)
{
    QByteArray out;
    for (const QString &l : lines) {
        out += l.toUtf8();
        out += "\r\n";
    }
    QString reason;
    if (!appendBytes(path, out, &reason)) {
        if (error)
            *error = QStringLiteral("The file %1 could not be written: %2.").arg(path, reason);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Stamps

namespace {

struct Stamps {
    QMutex lock; // the list imports write their files from a worker thread
    QHash<QString, Stamp> byPath;
};

Stamps &stamps()
{
    static Stamps s;
    return s;
}

QString keyOf(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

Stamp stampOf(const QString &path)
{
    Stamp s;
    if (!notRegularReason(path).isEmpty())
        return s;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::ExistingOnly) || !openIsRegular(f))
        return s;
    QCryptographicHash hash(kStampHash);
    if (!hash.addData(&f) || f.error() != QFileDevice::NoError)
        return s;
    s.exists = true;
    s.size = f.size();
    s.digest = hash.result();
    return s;
}

void remember(const QString &path, const Stamp &s)
{
    Stamps &all = stamps();
    const QMutexLocker hold(&all.lock);
    all.byPath.insert(keyOf(path), s);
}

void forget(const QString &path)
{
    Stamps &all = stamps();
    const QMutexLocker hold(&all.lock);
    all.byPath.remove(keyOf(path));
}

bool changedOnDisk(const QString &path)
{
    Stamp known;
    {
        Stamps &all = stamps();
        const QMutexLocker hold(&all.lock);
        const auto it = all.byPath.constFind(keyOf(path));
        if (it == all.byPath.constEnd() || !it->exists)
            return false;
        known = *it;
    }
    const Stamp now = stampOf(path);
    return now.exists && now != known;
}

OnChanged askIfChanged(Prompter &prompter, const QString &path, const QString &title, bool saveAs)
{
    if (!changedOnDisk(path))
        return OnChanged::Replace;
    QStringList buttons{QStringLiteral("Replace anyway")};
    if (saveAs)
        buttons << QStringLiteral("Save As . . .");
    buttons << QStringLiteral("Cancel");
    const int a = prompter.choose(
        QStringLiteral("%1 was changed on disk since it was loaded or saved here.\n"
                       "Another program or an editor has written it; replacing it now\n"
                       "loses what was written there.%2")
            .arg(QFileInfo(path).fileName(),
                 saveAs ? QStringLiteral("\nSave As keeps both under another name.") : QString()),
        title, Prompter::Exclamation, buttons);
    if (a == 0)
        return OnChanged::Replace;
    return saveAs && a == 1 ? OnChanged::SaveAs : OnChanged::Cancel;
}

} // namespace textfile
