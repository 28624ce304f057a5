// Converted broadcast lists (.ftl, layout in ilgconvert.h) as the Db2Rx and
// tracking windows read them: a table of 120-character lines in order of
// rising frequency.
#pragma once
#include <QString>
#include <QStringList>

namespace ftl {

inline constexpr int LineWidth = 120;

struct Table {
    QStringList lines; // each exactly LineWidth characters; record i = lines[i - 1]
    int count() const { return int(lines.size()); }
};

struct LoadResult {
    bool ok = false;
    QString error;          // names the file and the reason when !ok
    bool truncated = false; // more lines than the capacity: the first ones were kept
    bool reordered = false; // the file was not in rising frequency order: sorted
    int shortLines = 0;     // lines shorter than the 112-character layout (padded)
};

// The stored form of a file line: control characters become blanks, then
// padded or cut to LineWidth.
QString normalize(const QString &raw);
// Reads path (at most capacity lines); lines out of frequency order are
// sorted (stable) so that the range walk and the lookup stay meaningful.
LoadResult load(const QString &path, int capacity, Table *out);

// Frequency of a line: columns 1-8 (kHz).
double freqOf(const QString &line);
// Start and end of the time window (columns 10-13, 15-18) as numbers.
int startOf(const QString &line);
int endOf(const QString &line);
// On the air at T (hhmm as a number): (start < end and start <= T <= end)
// or (start > end and (T >= start or T <= end)); start = end never is.
bool onAir(int start, int end, int t);
inline bool onAir(const QString &line, int t) { return onAir(startOf(line), endOf(line), t); }
// T as a number from a clock text ending in "hh:mm".
int hhmmNumber(const QString &clockText);

// The caption value: a count with a leading blank.
QString countText(int n);

// What to tell once a list has loaded: that it was cut to `kept` lines by
// the setting "DIM ILG" (`dimIlg`), that the file `name` was sorted so that
// `finder` ("the frequency filter", "tracking") finds its lines; one note a
// line, "" when there is nothing to tell.
QString loadNotes(const LoadResult &r, int kept, int dimIlg, const QString &name, const QString &finder);

} // namespace ftl

namespace ftl {
// The folder of the converted lists under baseDir: an existing subfolder
// named "Rx2Db" in any letter case, else baseDir + "Rx2Db/".
QString dataDir(const QString &baseDir);
} // namespace ftl
