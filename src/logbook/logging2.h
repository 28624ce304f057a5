// The logbook (module logging2): the record table, the fixed-column LOG file,
// the five sort orders, the screen format and the column widths. The log
// window turns clicks into these calls. Core only (no widgets).
//
// How file text becomes a record:
// - the file is decoded as UTF-8 when valid, else Windows-1252, so accented
//   names keep one character each and the columns stay put;
// - fixed columns count characters; a tab or any other control character
//   (binary garbage) is one character and is kept as one blank, so that a
//   field never holds a character that would break the columns when the log
//   is written again;
// - a short line gives short or empty fields, a long line is cut at column
//   160; every field keeps its trailing blanks.
#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <array>

struct Settings;

namespace logging2 {

inline constexpr int kFields = 15;
inline constexpr int kLineLength = 160;
// Field widths (maximum text length and width in the file), field 0 to 14.
inline constexpr std::array<int, kFields> kWidth = {8, 4, 4, 9, 5, 3, 20, 20, 5, 5, 5, 5, 40, 4, 4};
// Column widths in twips: entry 0 the record-number column, entry k+1 field k.
inline constexpr std::array<int, kFields + 1> kTwips = {360, 960, 480, 480, 1080, 600, 360, 2400,
                                                        2400, 600, 600, 600, 600, 4800, 480, 480};
// The screen format the log window starts with.
inline constexpr const char *kDefaultFormat = "110111101100000";
// The tuning code of a record without one.
inline constexpr const char *kDefaultCode = "0041";

enum Field {
    Date, BeginTime, EndTime, Frequency, Sinpo, Language, Organisation, TxLocation,
    Par1, Par2, Par3, Par4, Remarks, Abmg, Pqrs
};

// Field captions as the format dialog shows them.
const QStringList &fieldCaptions();
// First column (1-based) of field k in a LOG line.
int columnOf(int field);

using Record = std::array<QString, kFields>;

// The record number shown and written: the last three digits of 1000 + index.
QString recordNumber(int index);

// One LOG line of a record: number, blank, each field padded (or cut) to its
// width plus one blank; always 160 characters.
QString formatLine(int index, const Record &r);
// A record from one LOG line (see the header comment).
Record parseLine(QStringView line);

// Sort keys of the five orders: field numbers in key order.
const QString &sortOrder(int choice);
// The key of a record in an order: its five key fields as stored, in upper
// case, one after the other.
QString sortKey(const Record &r, int choice);

// Format Length: sum of (width + 1) over the fields shown, as three digits.
QString formatLength(const QString &format);
// The fields shown by a format string, in field order.
QList<int> shownFields(const QString &format);

// The tuning code of a record: its abmg field, trimmed; empty gives "0041".
QString tuningCode(const Record &r);
// True for the fields a grid double-click tunes from: those shown 1080 or
// 600 twips wide (Frequency, SINPO and the four parallel frequencies).
bool isTuneField(int field);

// What the record dialog's OK stores: field 1 and 2 through "0000" (empty
// stays empty), the frequency through "00000" or "00000.000" (empty gives
// "00000"), everything else as typed.
QString storeTime(const QString &typed);
QString storeFrequency(const QString &typed);
Record storeRecord(const Record &typed);

// The optional input check of the record dialog (off by default): a date
// that is not yyyymmdd, a time that is not hhmm, a frequency outside the
// receiver's range. Empty boxes pass. Returns the number of the first field
// that fails (and sets *why), or -1 when all pass.
int checkRecord(const Record &typed, QString *why);

// The LOG file name for a name typed in the naming dialog: "LOG_" in front
// and ".TXT" at the end are added when missing (each found without regard
// to case), so "mylog" gives "LOG_mylog.TXT". Blanks around it go; an
// empty name stays empty.
QString logFileName(const QString &typed);
// What the naming dialog says, before its refusal, about a name that does
// not fit even so.
QString logNameRule(const QString &typed);

// The log: the record table and the log state shared by the log window, its
// dialogs and the export.
class LogBook {
public:
    // Capacity from the "DIM LOG" setting (thousands, at least 1) + 1.
    static int capacityFor(const Settings &s);

    // --- the table ----------------------------------------------------------
    bool hasTable() const { return hasTable_; }
    int capacity() const { return capacity_; }
    // Last record index (-1 when empty).
    int last() const { return int(records_.size()) - 1; }
    int count() const { return int(records_.size()); }
    const Record &record(int i) const { return records_.at(i); }
    Record &record(int i) { return records_[i]; }
    const QList<Record> &records() const { return records_; }
    // A new, empty table (what Read log file starts with).
    void create(int capacity);
    // Forgets the table (Exit without saving).
    void discard();
    // Appends a record; false (nothing stored) when the table is full.
    bool append(const Record &r);
    bool full() const { return count() >= capacity_; }
    // Removes record i; the following records move one index down.
    void remove(int i);

    // --- the state --------------------------------------------------------
    int selected = -1;
    bool addMode = false;
    bool notSaved = false;
    int sortChoice = 0;
    QString format = QString::fromLatin1(kDefaultFormat);
    std::array<int, kFields + 1> widths = kTwips;

    // Sort by the current choice: keys compared as text by character code;
    // fewer than three records stay as they are; equal keys keep their order.
    void sort();

    // --- the file ---------------------------------------------------------
    struct ReadResult {
        bool ok = false;
        QString error;     // names the file and the reason when !ok
        int read = 0;      // records stored
        bool truncated = false; // the file held more lines than the table
        int unread = 0;         // its lines that were not loaded
    };
    // Read log file: a new table of `capacity` records from path; sets the
    // not-saved flag. Lines past the capacity are counted, not kept. On
    // failure the table and state stay as they were.
    ReadResult read(const QString &path, int capacity);
    // Save log: the sort choice back to 0 (sorting by date when it was not),
    // the table written atomically with CR LF; clears the not-saved flag.
    // On failure the old file stays, the flag stays set, *error says why.
    // A file that was loaded only in part is never written over: that would
    // delete the records that were not loaded (see partlyLoaded).
    bool save(const QString &path, QString *error);
    // True when path is the file the table was read from and the file held
    // more records than the table; unread() says how many.
    bool partlyLoaded(const QString &path) const;
    int unread() const { return unread_; }
    // Why a save over a partly loaded file is refused.
    QString partlyLoadedMessage() const;
    // The file's lines.
    QStringList lines() const;

private:
    bool hasTable_ = false;
    int capacity_ = 0;
    QList<Record> records_;
    QString partialPath_; // the file read in part (empty: none)
    int unread_ = 0;
};

} // namespace logging2
