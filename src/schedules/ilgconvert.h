// Conversion of a broadcast database table (ILGSDATA short wave, ILGADATA
// long and medium wave) into the program's fixed-column list, the ".ftl"
// file that the Db2Rx and tracking windows read.
//
// .ftl line (112 characters, columns counted from 1):
//   1-8 frequency "00000.00" | 10-18 UTC window | 20-41 station | 43-50 target
//   | 52-68 language | 70-76 power | 78-82 latitude | 84-89 longitude
//   | 91-99 target-area flags | 101-112 country; blanks between the fields.
// An imported schedule may add the days of the week in 114-120 (onair.h).
#pragma once
#include "schedules/dbftable.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace ilg {

inline constexpr int FtlWidth = 112;

// The station of a .ftl line (or of a list entry made from one).
inline QString ftlStation(const QString &line) { return line.mid(19, 22).simplified(); }

// The two tables and their .ftl names.
inline const char *const SwTable = "ILGSDATA";
inline const char *const MwTable = "ILGADATA";

// The fields a table must have: the nine area columns are the area codes.
QStringList requiredFields(const QStringList &regionCodes);
// Names of the required fields the table lacks (empty = usable).
QStringList missingFields(const TableReader &t, const QStringList &regionCodes);

// One database record as read by name. Null values are two blanks, as the
// conversion counts them.
struct Record {
    std::optional<QString> utc, freq;
    QString station, target, language, power, lati, longi, country;
    QStringList areas; // the nine area columns, in regionCodes order
    QString readError; // a field could not be read
};
Record readRecord(TableReader &t, int record, const QStringList &regionCodes);

// Whether the UTC value makes the record usable: not Null, first character
// a digit.
bool usableUtc(const std::optional<QString> &utc);
// The frequency of FREQ: std::nullopt when Null or not a number.
std::optional<double> freqOf(const std::optional<QString> &freq);
// The .ftl line of a record with a usable UTC and frequency.
QString ftlLine(const Record &r, double khz, const QStringList &regionCodes);

// The .ftl file of a table: dir + table name + ".ftl".
QString ftlName(const QString &table);

// The table's .dbf file in dir (name matched without regard to letter
// case); "" when there is none.
QString tableFile(const QString &dir, const QString &table);
// Opens table (SwTable or MwTable) in dir for the conversion; nullptr with
// *reason naming the file and what is wrong (no file, unreadable, fields
// missing). The ILG window and the command-line tool both connect this way.
std::unique_ptr<DbfTable> openTable(const QString &dir, const QString &table,
                                    const QStringList &regionCodes, QString *reason);

// Outcome of a conversion.
struct Result {
    bool ok = false;       // the file was written (also when stopped)
    bool stopped = false;
    int converted = 0;     // lines written
    int badFreq = 0;       // usable UTC but Null or non-numeric FREQ: left out
    QList<int> badFreqRecords; // their record numbers (1-based), the first 20
    int unreadable = 0;    // records the reader could not read: left out
    QString error;         // why nothing was written (names the file)
    QString warning;       // extra facts for the user (left-out records, a cut table)
};

// Progress: called after every record with the converted count and the
// line just written ("" when the record was skipped). Returns true to stop
// after this record.
using Progress = std::function<bool(int converted, const QString &line)>;

// Converts every record of t into outPath (replaced only when the
// conversion ends; a failure leaves an old file as it was). tableName
// names the table in messages.
Result convert(TableReader &t, const QString &tableName, const QString &outPath,
               const QStringList &regionCodes, const Progress &progress = {});

} // namespace ilg
