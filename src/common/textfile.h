// Reading and writing the program's plain-text data files.
//
// Reading (one rule for every reader of the program):
// - files are read line by line; a reader that has room for n lines stops
//   after n lines, so a huge file costs no more than its first n lines;
// - line ends are CR LF, LF or a lone CR; a final line break does not make an
//   empty last line;
// - a UTF-8 byte-order mark makes the whole file UTF-8, a UTF-16 (LE or BE)
//   byte-order mark makes it UTF-16; without a mark each line on its own is
//   UTF-8 when its bytes are valid UTF-8, else Windows-1252, so one stray
//   byte from an old machine spoils only its own line;
// - fixed columns count characters as they stand in the file: a tab is one
//   character, and it and every other control character (U+0000 to U+001F,
//   U+007F) is read as one blank;
// - a line longer than MaxLineChars characters is cut there (no data file of
//   the program has lines that long; the cut keeps a garbled file from
//   filling the memory);
// - only regular files are read: a folder, a device (/dev/zero would never
//   end) or a pipe (it would wait for a writer for ever) is refused with a
//   message naming it.
//
// Writing uses UTF-8 (no byte-order mark) and CR LF, and replaces the file
// only once the whole new content has reached the disk: every write and the
// final flush are checked before the temporary file is renamed over the old
// one; on any failure the temporary file is removed and the old file stays.
#pragma once
#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringList>
#include <QStringView>
#include <functional>

class QCryptographicHash;
class QIODevice;
class Prompter;

namespace textfile {

inline constexpr int MaxLineChars = 4096;

// Decodes the bytes of one line or value: UTF-8 when valid, else
// Windows-1252. A leading UTF-8 byte-order mark is skipped when skipBom,
// else kept as the character U+FEFF.
QString decode(const QByteArray &bytes, bool skipBom = true);

// A decoded line as every reader sees it: control characters (a tab
// included) become one blank each.
QString cleanLine(QStringView raw);

// Split decoded text into lines (CR LF, LF or lone CR); a final line break
// does not produce an empty last line. Lines are not cleaned.
QStringList splitLines(const QString &text);

// Reads an open device line by line with the rules above. Holds one buffer
// of the file and the current line, never the whole file.
class LineReader {
public:
    // dev must be open for reading; maxChars cuts longer lines.
    explicit LineReader(QIODevice *dev, int maxChars = MaxLineChars);
    // The next line (cleaned); false at the end of the file or when reading
    // failed (then failed() is true).
    bool next(QString *line);
    // True when no further line follows.
    bool atEnd();
    bool failed() const { return failed_; }
    // Every byte taken from the device also goes into hash (when not null).
    void setHash(QCryptographicHash *hash) { hash_ = hash; }
    qint64 bytesRead() const { return bytesRead_; }

private:
    enum class Mode { PerLine, Utf8, Utf16 };
    bool fill();
    bool nextBytes(QString *line);
    bool nextUtf16(QString *line);
    QString finish(const QByteArray &bytes, bool cut) const;

    QIODevice *dev_;
    int maxChars_;
    int maxBytes_;
    bool started_ = false;
    bool eof_ = false;
    bool failed_ = false;
    bool skipLf_ = false; // a CR ended the last line; a following LF belongs to it
    Mode mode_ = Mode::PerLine;
    QByteArray buf_;
    qsizetype pos_ = 0;
    QStringDecoder utf16_;
    QString text_;       // decoded UTF-16 text not yet handed out
    qsizetype tpos_ = 0;
    QCryptographicHash *hash_ = nullptr;
    qint64 bytesRead_ = 0;
};

// Empty when path may be read as a data file (a regular file, or a link to
// one, or nothing at all: opening then says it does not exist); otherwise
// why not ("it is a folder", "it is a device or a pipe, not a regular file").
QString notRegularReason(const QString &path);

// Reads lines one at a time and hands each to fn until fn returns false or
// maxLines lines have been handed (maxLines < 0: no limit); *more (when not
// null) tells whether the file held further lines. On failure returns false
// and sets *error to a message naming the file and the reason.
bool readEach(const QString &path, int maxLines, const std::function<bool(const QString &)> &fn,
              bool *more, QString *error, int maxChars = MaxLineChars);

// Read a whole (small) file into lines. Errors as readEach.
bool readLines(const QString &path, QStringList *lines, QString *error);

// Read at most maxLines lines (stops reading once the limit is reached);
// *more is set when the file held further lines.
bool readLinesLimited(const QString &path, int maxLines, QStringList *lines, bool *more,
                      QString *error);

// The steps of replacing a file atomically, so that a test can make any of
// them fail. The real one is a QSaveFile.
class AtomicFile {
public:
    virtual ~AtomicFile() = default;
    virtual bool open() = 0;
    // All bytes or false.
    virtual bool write(const QByteArray &bytes) = 0;
    // Everything written so far reaches the file system (and the disk).
    virtual bool flush() = 0;
    // The new content replaces the old file.
    virtual bool commit() = 0;
    // Drops the new content; the old file stays.
    virtual void cancel() = 0;
    // Why the last step failed.
    virtual QString reason() const = 0;
};

// Writes lines with CR LF after each through f; path names the file in the
// message. On any failure cancels, returns false and sets *error.
bool writeLinesTo(AtomicFile &f, const QString &path, const QStringList &lines, QString *error);

// Write lines with CR LF after each, atomically (temporary file + rename).
bool writeLines(const QString &path, const QStringList &lines, QString *error);
// The same with another line end (a lone LF for a program that reads no CR).
bool writeLinesWith(const QString &path, const QStringList &lines, const char *eol, QString *error);

// The same for lines made one at a time: next() gives the next line and
// returns false after the last. The text goes out in pieces, so a long file
// is never held whole in memory.
// eol is what ends each line: CR LF unless a file for another program wants
// otherwise (a lone LF).
bool writeEachTo(AtomicFile &f, const QString &path, const std::function<bool(QString *)> &next,
                 QString *error, const char *eol = "\r\n");
bool writeEach(const QString &path, const std::function<bool(QString *)> &next, QString *error);

// Append lines with CR LF (for logs that grow). A write that fails part-way
// is taken back, so the file keeps what it held.
bool appendLines(const QString &path, const QStringList &lines, QString *error);
// The same for bytes; *reason says why it failed, as the system tells it
// ("No space left on device").
bool appendBytes(const QString &path, const QByteArray &bytes, QString *reason);

// --- Files changed on disk by someone else ---------------------------------
//
// Every read of a whole file (readEach and the readers built on it) and every
// write (writeLines, writeEach) remembers a stamp of the file: its size and a
// digest of its bytes. A save that would replace a file asks changedOnDisk
// first, so that what another program or an editor wrote there since this
// program loaded or saved it is not lost without a word.
struct Stamp {
    bool exists = false;
    qint64 size = 0;
    QByteArray digest;
    bool operator==(const Stamp &) const = default;
};
// What path holds now (exists false when it is not there or not readable).
Stamp stampOf(const QString &path);
// Remembers s as what this program last read or wrote at path; forget
// drops it (nothing known about the file).
void remember(const QString &path, const Stamp &s);
void forget(const QString &path);
// True when a stamp of path is remembered and the file now holds something
// else. A file this program never read or wrote, or one gone since, has
// nothing to lose and is not "changed".
bool changedOnDisk(const QString &path);

// Before a save replaces path: when it changed on disk since it was loaded
// or saved here, says so (title: the save's) and asks whether to replace it
// anyway, save under another name (when saveAs), or not save. Replace,
// without a question, when it did not change.
enum class OnChanged { Replace, SaveAs, Cancel };
OnChanged askIfChanged(Prompter &prompter, const QString &path, const QString &title,
                       bool saveAs = true);

} // namespace textfile
