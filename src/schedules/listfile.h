// Schedule list files: the BDXC/ADX lists (module bdx2) and the user's own
// lists (module own2). Each file is read once into a table of fixed-width
// lines; grid rows, the time selection and the frequency fields are made
// from those lines. Core code: QtCore only.
//
// How file text becomes a table line: the file is read line by line with
// the rules of every text reader (common/textfile.h: byte-order marks, UTF-8
// else Windows-1252 per line, a tab or other control character is one
// blank), reading stops once the table is full, and each line is padded
// with blanks or cut to exactly 100 characters.
#pragma once
#include <QList>
#include <QString>
#include <QStringView>
#include <array>
#include <memory>

namespace schedlist {

inline constexpr int LineWidth = 100;

// A table of fixed-width lines, indexed from 1, with a fixed capacity.
class LineTable {
public:
    explicit LineTable(int capacity = 0) : capacity_(capacity < 0 ? 0 : capacity) {}
    int capacity() const { return capacity_; }
    int count() const { return int(lines_.size()); }
    bool isEmpty() const { return lines_.isEmpty(); }
    // Line i, 1 <= i <= count().
    const QString &line(int i) const { return lines_.at(i - 1); }
    // Stores an already normalised line; false (and nothing stored) when full.
    bool append(const QString &line100);

private:
    int capacity_ = 0;
    QList<QString> lines_;
};

// Text of one file line as a 100-character table line (see above).
QString normalizeLine(QStringView raw);

// The BDXC ditto rule applied to `line` (normalised) with the resolved line
// above it: a "." in column 1 repeats columns 1-17 of the line above, then a
// "." in column 18 repeats columns 18-35.
QString resolveDitto(const QString &line, const QString &above);

// Outcome of reading a list file.
struct ReadResult {
    bool ok = false;
    QString error;     // names the file and the reason when !ok
    int linesRead = 0; // lines stored
    bool truncated = false; // the file held more lines than the capacity
};

// The frequency slots of a row: slot 0 unused, slots 1-7 (and 8 for own
// lists) the frequency cells, each "" or at least five characters.
using FreqSlots = std::array<QString, 11>;
// The frequency fields of a frequency part (BDXC columns 49-100, own 51-100).
FreqSlots freqFields(QStringView part);

// The answer of the selection box: a time when it is not empty, exactly four
// characters and its value is greater than 0 and not greater than 2400.
bool isSelectionTime(const QString &answer);
// "all" in any letter case.
bool isSelectionAll(const QString &answer);
// start <= T and T < end, start = columns 36-39, end = columns 41-44, compared
// as text.
bool onAirAt(const QString &line, const QString &t);

enum class Kind { Bdx, Own };

// Grid layout of each kind.
struct GridLayout {
    int columns;        // number of grid columns
    int codeColumn;     // the hidden code column
    int firstFreq, lastFreq; // tunable columns
    QString defaultCode;
    QList<int> twips;   // width of each column (1 = hidden)
    QList<int> chars;   // characters each column must show whole
    QList<QString> titles; // header titles
};
const GridLayout &layoutOf(Kind k);

// One grid cell of the row made from a table line.
QString cellOf(Kind k, const QString &line, int column);
// All cells of a row.
QList<QString> rowOf(Kind k, const QString &line);

// Table line numbers (1-based) of the rows to show.
QList<int> selectAll(const LineTable &t);
QList<int> selectTime(const LineTable &t, const QString &time);

} // namespace schedlist

namespace bdx2 {
// Reads a BDXC or ADX list with its ditto lines into *out (a new table of
// the given capacity). On failure *out is untouched.
schedlist::ReadResult read(const QString &path, int capacity,
                           std::shared_ptr<const schedlist::LineTable> *out);
} // namespace bdx2

namespace own2 {
// Reads an own list (no ditto lines) into *out. On failure *out is untouched.
schedlist::ReadResult read(const QString &path, int capacity,
                           std::shared_ptr<const schedlist::LineTable> *out);
} // namespace own2
