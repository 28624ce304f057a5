// The set-up dialog's field rules, as pure functions: each takes the text the
// user left in the field and says what is stored, what the field shows
// afterwards and, on failure, the message box text and title.
#pragma once
#include <QString>

namespace settingsrules {

enum class PathStyle { Posix, Windows };

// The style of the machine the program runs on.
PathStyle nativeStyle();

struct FieldCheck {
    bool ok = true;
    QString stored;      // text stored into memory before the check (text fields)
    double value = 0;    // number stored into memory before the check (numeric fields)
    QString shown;       // what the field shows afterwards (completed text or the default)
    QString message;     // message box text on failure ("line 1\nline 2")
    QString title;       // message box title on failure
};

// The base directory's default for a style ("C:\VRTSV6\" on Windows, the
// home directory + "/VRTSV6/" elsewhere).
QString defaultDir(PathStyle style = nativeStyle());

// txt_dir -> base_dir. A missing final separator is appended first (the field
// then shows the completed path). Windows: second character ":" and last "\".
// Posix: starts and ends with "/".
FieldCheck checkDir(const QString &text, PathStyle style = nativeStyle());

// txt_rxlat -> rx_lat: 5 characters, last "N" or "S", 0 < value < 9000.
FieldCheck checkLat(const QString &text);

// txt_rxlong -> rx_long: 5 or 6 characters, last "W" or "E", 0 < value < 18000.
FieldCheck checkLong(const QString &text);

// txt_dim(index) -> settings value 8 + index: 1 to 30 (thousands of records).
// index 0 BDX, 1 OWN, 2 LOG, 3 ILG.
FieldCheck checkDim(int index, const QString &text);
// The text put back into txt_dim(index) on failure: "2", "1", "1", "15".
QString dimDefault(int index);

// txt_td -> settings value 2 (local time minus UTC, whole or half hours).
// A fractional value becomes its integer part (rounded down) + 0.5.
FieldCheck checkTd(const QString &text);

} // namespace settingsrules
