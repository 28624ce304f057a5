// The shared code tables: the label texts of each setting (indexed by code)
// and the grid cell texts of the control panel (indexed by cell). They depend
// on the options fitted, as read when the control panel loads.
#pragma once
#include <QStringList>

struct Settings;

struct Captions {
    // Label texts by code. Slots beyond the codes hold empty texts so that
    // every accepted code digit has a slot: att 3, bw 5, mode 9, agc 5.
    QStringList att, bw, mode, agc, nb, lock, vbt;
    // Grid texts by cell (left to right, rows top to bottom).
    QStringList gridHF, gridVbt, gridAgc, gridNb, gridBw, gridMd, gridCS, gridLock;
    QStringList region_codes;

    static Captions build(bool narrow, bool ecss);
    static Captions build(const Settings &s);

    // Safe lookup: a code outside the table gives std::nullopt semantics via ok.
    static QString text(const QStringList &table, int code, bool *ok = nullptr);
};

// Code of each grid cell.
namespace gridcodes {
inline constexpr int agc[3] = {2, 1, 0};
inline constexpr int bw[4] = {2, 1, 0, 3};
inline constexpr int md[9] = {4, 7, 8, 2, 3, 1, 0, 6, 5}; // row-major 3 x 3
} // namespace gridcodes
