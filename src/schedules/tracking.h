// Tracking: the broadcasts of a converted list (.ftl) within a catch range
// around the tuned frequency, their marks, and the distance and bearing of
// each transmitter from the receiver.
#pragma once
#include <QString>
#include <QStringList>
#include <optional>

namespace track {

inline constexpr int MaxEntries = 180;
inline constexpr int RowsPerPage = 27; // labels lbl_fr(0..26)
inline constexpr int PageStep = 26;    // row 26 of page k is row 0 of page k + 1
inline constexpr int Pages = 7;
inline const char *const Separator = "= = = = = = = = = = = = = = = = = = = = = = = = =";

// Bisection over records 1..count (record i = lines[i - 1]): the last record
// at or below khz, or record 1. 0 when there are fewer than 2 records.
int lookup(const QStringList &lines, double khz);

// The result of Build list: entries[0] stays empty, entries[1..] are the
// taken records (with the separator before the first one above khz).
struct Result {
    QStringList entries{QString()};
    int n() const { return int(entries.size()) - 1; }
    // Page buttons k with k <= n / 26 are enabled.
    bool pageEnabled(int k) const { return k <= n() / PageStep; }
};
// Records p-250..p+250 with |f - khz| < catchRange; with hits only those on
// the air at t. At most 180 entries.
Result build(const QStringList &lines, int p, double khz, double catchRange, bool hits, int t);

// Entry of row r on page k ("" beyond the list).
QString entryAt(const Result &res, int page, int row);

// A position text such as "5205N" or "00445E" as degrees; std::nullopt when
// it is too short to hold the letter and two minute digits.
std::optional<double> positionValue(const QString &text);
// The 12-character distance text "00523 km 127" from the receiver to the
// transmitter; 12 blanks when a position is unusable.
QString distanceText(const QString &rxLat, const QString &rxLon, const QString &txLat,
                     const QString &txLon);

// What a result row shows.
enum class Column { LatLon = 0, DisDir = 1, Country = 2 };
enum class Mark { None, Station, Target }; // backgrounds 128,0,0 / 170,0,170 / 170,170,0
struct Row {
    QString text;
    Mark mark = Mark::None;
};
// The row for an entry: columns 78-89 replaced by the distance text or by
// the country (columns 101-112); the mark from being a station on the air
// (or any station with hits) and from aiming at the receiver's area.
Row rowOf(const QString &entry, Column col, bool hits, int t, const QString &rxLat,
          const QString &rxLon, const QString &areaCode, int areaIndex);

} // namespace track
