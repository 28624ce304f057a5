// Recording files: formats, names, the text file beside each recording, the
// free-space check, and the repair of a WAV file whose recording was cut off.
#pragma once
#include <QDateTime>
#include <QString>

namespace recfiles {

enum class Format { Flac, Opus, Wav };

// "flac", "opus", "wav": the settings' spelling and the file extension.
QString formatKey(Format f);
// From a settings value or an extension ("flac", "ogg", "opus", "wav",
// any case); false when it is none of them.
bool formatFromKey(const QString &key, Format *out);
// From a file name's extension.
bool formatFromPath(const QString &path, Format *out);

// Below this many bytes free the user is warned before a recording starts.
inline constexpr qint64 kLowSpace = 100LL * 1024 * 1024;
// Bytes free on the disk holding dir (or its nearest existing parent);
// -1 when unknown.
qint64 freeBytes(const QString &dir);

// What is known about a recording, for its name and its text file.
struct Info {
    QDateTime utcStart, utcEnd; // UTC
    double khz = 0;
    QString mode, bandwidth, station;
    QString source;    // the sound input
    QString startedBy; // "Rec button", "Timer event 2", "vorantis-cli"
};

// yyyymmdd_hhmmZ_<kHz>_<mode>[_<station>].<ext> from the UTC start, the
// frequency in kHz (decimals only when there are some), the mode and the
// station (at most 40 characters); blanks become "_", characters a file
// name should not hold (path separators, control characters) "-".
QString fileName(const Info &info, Format f);
// dir + fileName, with "_2", "_3" ... before the extension when taken.
QString uniquePath(const QString &dir, const Info &info, Format f);
// The text file beside a recording: same name, ".txt".
QString infoPath(const QString &recording);
// Its lines: frequency, mode, bandwidth, station, UTC start and end (end
// empty while recording), source, what started it.
QString infoText(const Info &info);
bool writeInfo(const QString &recording, const Info &info, QString *error);

// A WAV file whose header does not match its length (the program was killed
// while recording): sets the RIFF and data sizes from the file's length.
// *fixed tells whether anything was changed. False with *error when the file
// cannot be read or written or is not a WAV file this program writes.
bool repairWav(const QString &path, bool *fixed, QString *error);

} // namespace recfiles
