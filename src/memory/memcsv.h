// The memory table as CSV, for other programs: the layout of the
// distribution's rig-control memory tool (its save and load), and a plain
// spreadsheet layout with a header row. Core only.
//
// The rig-control tool's layout, as it writes this receiver's memory:
//
//   num,freq,mode,width,funcs,
//   0,9500000,AM,6000,0,
//   13,0,,0,0,
//
// one row per channel, every field followed by the separator (its load
// refuses a header without the final one), LF line ends (its load ignores
// rows ending in CR LF), frequency in Hz, its own mode names (FM for NFM,
// ECSSUSB and ECSSLSB for AM-U and AM-L) and the passband in Hz: 6000 Wide,
// 2000 Inter, 1000 Narr, 12000 Aux. An empty channel is frequency 0, no
// mode, width 0. Attenuator and AGC are not in it.
//
// The spreadsheet layout:
//
//   Channel,Frequency (kHz),Mode,Bandwidth,AGC,Attenuator,Tag
//   5,9500.000,AM,Wide,Slow,Off,BBC
//   6,,,,,,
//
// (a row without a frequency is an empty channel), RFC 4180 quoting, CR LF.
//
// Reading tells the layouts apart by the header's first name ("num" or
// "Channel", either letter case); the columns are found by their names, in
// any order, separated by "," or ";". Every row is checked against the
// receiver's limits before anything changes: a reader hands back the good
// rows and names the bad ones.
#pragma once
#include "memory/mem2.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace memcsv {

enum class Layout { Rigmem, Sheet };

// The header lines written.
inline constexpr const char *kRigmemHeader = "num,freq,mode,width,funcs,";
inline constexpr const char *kSheetHeader = "Channel,Frequency (kHz),Mode,Bandwidth,AGC,Attenuator,Tag";
// Rows read at most (a header, 200 channels and room for blank rows).
inline constexpr int kMaxLines = 1000;

// One channel from a row: its record ("L" + ccc + the 12 characters, or
// "L" + ccc + "V" for an empty channel) and, when the layout has one, its tag.
struct Row {
    int line = 0; // row in the file, counting the header as row 1
    int ch = 0;
    QString rec;
    QString tag;
    bool hasTag = false;
};
struct Problem {
    int line = 0;
    QString why;
};

struct Parsed {
    bool ok = false; // false: the file cannot be used at all (error says why)
    QString error;
    Layout layout = Layout::Sheet;
    QList<Row> rows;
    QList<Problem> bad;
};

// The rows of a CSV given as lines (the first one the header).
Parsed parse(const QStringList &lines);
// The same from a file (read as every text file of the program).
Parsed read(const QString &path);
// The one message about the bad rows: how many, and each with its row
// number and reason (the first 20, then how many more); empty when none.
QString problemsText(const Parsed &p, const QString &file);

// Puts the rows into t: each row's channel gets its record and, from the
// spreadsheet, its tag; the other channels stay as they are. A row of the
// rig-control layout (no attenuator, AGC or tag) that holds what the channel
// already holds (frequency, mode and bandwidth) leaves the channel as it is,
// so a table sent out and read back keeps them; any other row gets the
// attenuator off, AGC Slow for AM, AM-U, AM-L and FAX and Fast for the other
// modes, and no tag. Returns the number of channels that changed.
int apply(const QList<Row> &rows, mem2::MemTable &t);

// The CSV lines of a table. Channels never filled or not known (an
// unreadable reply) are left out, so that reading the file back leaves them
// alone; *left (when not null) gets them.
QStringList rigmemLines(const mem2::MemTable &t, QList<int> *left = nullptr);
QStringList sheetLines(const mem2::MemTable &t, QList<int> *left = nullptr);
// Writes the lines atomically: the rig-control layout with LF, the
// spreadsheet with CR LF. False with *error naming the file and the reason.
bool write(const QString &path, const QStringList &lines, Layout layout, QString *error);

// The rig-control layout's names, as its tool spells them.
QString rigmemMode(int mode);
int rigmemWidth(int bw);
// The bandwidth code of a passband in Hz: the nearest of the four filters
// (0 or nothing: Wide).
int bwOfWidth(double hz);

// One CSV row split into its fields (quotes removed, doubled quotes single).
QStringList splitRow(const QString &line, QChar sep);

} // namespace memcsv
