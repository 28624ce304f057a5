// Import of the freely published broadcast schedule in its ";"-separated
// text form into the program's .ftl list (layout in ilgconvert.h), so that
// the Db2Rx and tracking windows work with the current season.
//
// Input line: kHz;Time(UTC);Days;ITU;Station;Language;Target;Remarks;P;Start;Stop
//   6175;0600-0700;Mo-Fr;CAN;Maple Shore Radio;E;NAm;Sackville;1;;
// The first seven fields are needed; the rest may be missing. A header line
// (first field "kHz...") and empty lines are passed over without counting.
//
// Mapping into the .ftl line:
// - frequency from kHz, time window as given (hhmm-hhmm);
// - station, language and target as given (cut to the column widths);
// - power, latitude and longitude blank: the file carries none;
// - country: the name of the ITU country code when known, else the code;
// - target-area flags from the target (continent or region codes such as
//   "Eu", "WAf", "SEA", "NAm" and country codes such as "CHN");
// - the days of the week ("Mo-Fr", "Sa,Su", "1245") as the digits 1
//   (Monday) to 7 (Sunday) in columns 114-120 after a blank, the line then
//   120 characters; none (every day, or days the program cannot read such
//   as "irr") leaves the line at 112.
// Records are written in order of rising frequency (stable: lines of one
// frequency keep their file order).
#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace eibi {

// Why a line was skipped.
enum class Bad { None, Fields, Frequency, Time };

struct Parsed {
    Bad bad = Bad::None;
    bool ignored = false; // header, comment or empty line: neither a record nor bad
    double khz = 0;
    QString line;         // the .ftl line (112 or 120 characters) when bad == None
};

// One input line (already decoded and cleaned) to an .ftl line.
Parsed parseLine(const QString &text, const QStringList &regionCodes);

// The country name of an ITU code ("D" -> "Germany"); the code itself when
// unknown.
QString countryOf(const QString &itu);
// The target-area flags ("000100000") of a target text for the area codes
// (NA CA SA EU AF ME AS AU PA).
QString areaFlags(const QString &target, const QStringList &regionCodes);

struct Result {
    bool ok = false;    // the .ftl file was written
    bool stopped = false;
    int records = 0;    // lines written
    int bad = 0;        // lines skipped as malformed
    int badFields = 0, badFreq = 0, badTime = 0;
    QList<int> badLines; // their line numbers (1-based), the first 20
    QString error;       // why nothing was written (names the file)
    // The counts in one sentence for the user.
    QString summary(const QString &outName) const;
};

// Progress: the percentage of the input read; returns true to stop (then
// nothing is written).
using Progress = std::function<bool(int percent)>;

// Reads csvPath line by line into the sorted .ftl lines (*lines); ok when
// it held at least one record. Nothing is written.
Result read(const QString &csvPath, const QStringList &regionCodes, QStringList *lines,
            const Progress &progress = {});

// read(), then writes the lines to outPath atomically with CR LF (an old
// file stays when anything fails).
Result import(const QString &csvPath, const QString &outPath, const QStringList &regionCodes,
              const Progress &progress = {});

// The .ftl name for an imported file: its base name + ".ftl".
QString ftlNameFor(const QString &csvPath);

} // namespace eibi
