// Reading and writing the program's plain-text data files.
//
// Reading accepts CR LF or LF line ends and decodes UTF-8 when the bytes are
// valid UTF-8, else Windows-1252. Writing uses UTF-8 (no byte-order mark) and
// CR LF, and replaces the file only once the new content is complete.
#pragma once
#include <QString>
#include <QStringList>
#include <functional>

namespace textfile {

// Decode raw file bytes as described above.
QString decode(const QByteArray &bytes);

// Split decoded text into lines (CR LF, LF or lone CR); a final line break
// does not produce an empty last line.
QStringList splitLines(const QString &text);

// Read a whole file into lines. On failure returns false and sets *error to a
// message naming the file and the reason.
bool readLines(const QString &path, QStringList *lines, QString *error);

// Read at most maxLines lines (stops reading once the limit is reached);
// *more is set when the file held further lines.
bool readLinesLimited(const QString &path, int maxLines, QStringList *lines, bool *more,
                      QString *error);

// Write lines with CR LF after each, atomically (temporary file + rename).
bool writeLines(const QString &path, const QStringList &lines, QString *error);

// Append lines with CR LF (for logs that grow); not atomic by nature.
bool appendLines(const QString &path, const QStringList &lines, QString *error);

} // namespace textfile
