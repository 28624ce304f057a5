// The settings file "VRTSV6.INI": three text lines, then one number per line.
#pragma once
#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

struct Settings {
    QString base_dir; // ends with the platform separator once validated
    QString rx_lat;
    QString rx_long;
    // settings[1] .. settings[20]; index 0 unused. Only the file code
    // (settings.cpp) uses the numbers; everything else reads and writes the
    // values by name below.
    std::array<float, 21> v{};
    // The serial device chosen in set-up ("/dev/ttyUSB0", "COM7"); empty: the
    // numbered port of value 1. Kept in the file after the twenty values.
    QString port_device;

    // The integer part of a value; a value no int can hold (a damaged file)
    // gives 0 instead of an undefined conversion.
    static int whole(float f) { return (f > -1e9f && f < 1e9f) ? static_cast<int>(f) : 0; }

    // The values by name, read with the program's rules. The *Stored
    // readers give a value as the file holds it (set-up shows that).
    int portNumber() const { return whole(v[1]); }
    void setPortNumber(int n) { v[1] = static_cast<float>(n); }
    // Always within -13 to +13 hours, whatever the file held.
    double ltMinusUtc() const { return std::isfinite(v[2]) ? std::clamp<double>(v[2], -13, 13) : 0; }
    float ltMinusUtcStored() const { return v[2]; }
    void setLtMinusUtc(double hours) { v[2] = static_cast<float>(hours); }
    bool powerOnAtStart() const { return v[3] != 0; }
    void setPowerOnAtStart(bool on) { v[3] = on ? 1.0f : 0.0f; }
    bool powerOffAtExit() const { return v[4] != 0; }
    void setPowerOffAtExit(bool on) { v[4] = on ? 1.0f : 0.0f; }
    bool noRx() const { return v[5] != 0; }
    void setNoRx(bool on) { v[5] = on ? 1.0f : 0.0f; }
    bool editorEnabled() const { return v[6] == 1; }
    bool editorChecked() const { return v[6] != 0; }
    void setEditorEnabled(bool on) { v[6] = on ? 1.0f : 0.0f; }
    int targetArea() const { return whole(v[7]); }
    // A whole area index as stored (a value such as 2.5 is none).
    bool targetAreaWhole() const { return v[7] == targetArea(); }
    void setTargetArea(int area) { v[7] = static_cast<float>(area); }
    // 0 BDX, 1 OWN, 2 LOG, 3 ILG; always 1 to 30 (thousands of records), so
    // dim * 1000 stays small.
    int dim(int index) const { return std::clamp(whole(v[8 + index]), 1, 30); }
    float dimStored(int index) const { return v[8 + index]; }
    void setDim(int index, double thousands) { v[8 + index] = static_cast<float>(thousands); }
    // The units fitted: exactly 1 counts; the set-up box shows any value
    // but 0 as ticked (unitChecked, 0 BWC, 1 "1 kHz", 2 ECSS, 3 RTTY).
    bool bwcFitted() const { return v[12] == 1; }
    bool narrowFitted() const { return v[13] == 1; }
    bool ecssFitted() const { return v[14] == 1; }
    bool rttyFitted() const { return v[15] == 1; }
    bool unitChecked(int unit) const { return v[12 + unit] != 0; }
    void setUnitFitted(int unit, bool on) { v[12 + unit] = on ? 1.0f : 0.0f; }
    void setBwcFitted(bool on) { setUnitFitted(0, on); }
    void setNarrowFitted(bool on) { setUnitFitted(1, on); }
    void setEcssFitted(bool on) { setUnitFitted(2, on); }
    void setRttyFitted(bool on) { setUnitFitted(3, on); }

    // Data subdirectory of base_dir, e.g. sub("BDXC") -> base_dir + "BDXC/".
    QString sub(const QString &name) const;

    // Beyond the described values, stored after them as "name=value" lines:
    // the rig-control network server's TCP port, 0 = off.
    int rigctl_port = 0;
    // The web remote's TCP port, 0 = off.
    int web_port = 0;
    // The control panel follows the receiver's own dial (its frequency
    // reports stay on while the program does not talk to it); off by default.
    bool follow_dial = false;
    // Every command and reply on the receiver line is written to
    // base_dir + "linetrace.txt"; off by default.
    bool line_trace = false;
    // Recording: the sound server's input ("default": its default input) and
    // the file format ("flac", "opus" or "wav").
    QString rec_source = QStringLiteral("default");
    QString rec_format = QStringLiteral("flac");
    // Fetch RM reads the memory with one range read-out ("L000199") first;
    // off by default.
    bool fast_mem_read = false;
    // The control panel's signal meter (read while the Lock holds the
    // receiver); off by default.
    bool panel_meter = false;
    // The measuring windows and the tracking list drawn in high-contrast
    // colours with larger labels; off by default.
    bool high_contrast = false;
    // The rig-control server beyond this computer: the address it listens
    // on; the addresses and networks that need no password (nullopt: the
    // default, 127.0.0.1 and ::1; empty: nobody); those that may connect at
    // all (empty: any); the full-control and read-only passwords, only as
    // salted hashes ("" = none).
    QString rigctl_listen = QStringLiteral("127.0.0.1");
    std::optional<QString> rigctl_trust;
    QString rigctl_allow;
    QString rigctl_password;
    QString rigctl_readonly_password;
    // Schedule update: the base address the season's file is fetched from,
    // and the weekly check at start-up for a newer one (off by default).
    QString sked_base = QStringLiteral("http://www.eibispace.de/dx/");
    bool sked_weekly = false;
};

namespace settingsfile {

inline const char *fileName = "VRTSV6.INI";

// Parses file text: lines 1-3 text, then up to 20 numbers (lenient: letters
// give 0); missing lines leave 0 / empty, lines after the twentieth number
// are ignored, a missing final line break is fine. Never fails.
Settings parse(const QString &text);
// Reads path into *out (as parse), then puts values outside their ranges
// right (checkRanges); *notes (when given) says which. On failure (missing,
// unreadable) *out is untouched and *error names the file and the reason.
bool load(const QString &path, Settings *out, QString *error, QStringList *notes = nullptr);
// Values read from a file are not checked by the set-up fields: a value out
// of its range is set to the nearest bound (list sizes 1 to 30) or to its
// default (port 1 to 4: 1; LT-UTC -13 to +13: 0; target area 0 to 8: EU).
// Returns one line per value changed, naming it, what was read and what is
// used.
QStringList checkRanges(Settings *s);
// The message that tells the user about those notes.
QString rangeMessage(const QString &path, const QStringList &notes);
// A value as the file writes it: a leading blank for 0 or more, "-" for
// negative values, shortest form with a point (" 1", " 1.5", "-2"). Values
// are single precision, so 2.3 gives " 2.3", not the digits of the nearest
// double.
QString numberText(float v);
// The file's lines: text lines 1-3, then values 1-15 (values 8-11 below 1 are
// raised to 1 in *s too). A chosen serial device follows on line 24, after
// empty lines for values 16-20, so that older readers see only numbers.
QStringList lines(Settings *s);
// Writes base_dir + "VRTSV6.INI" atomically.
bool save(Settings *s, QString *error);
// Writes path atomically.
bool saveTo(const QString &path, Settings *s, QString *error);
// Save in set-up: writes the file the settings were read from (readPath;
// base_dir's file when empty), so that the next start finds what was saved,
// and, when base_dir's file is another one (Dir Path changed), a copy there
// too (its folder is created). *written lists the files written.
bool saveAll(Settings *s, const QString &readPath, QStringList *written, QString *error);

// The platform's default base directory (home + "/VRTSV6/").
QString defaultBaseDir();
// The data subdirectories, one spelling each.
QStringList dataSubdirs();
// Defaults for a first run.
Settings defaults();

// Where the settings file is looked for at start: the working directory, then
// the default base directory. Empty when neither exists.
QString locate();
// First run: creates the default base directory with its subdirectories and
// a settings file of defaults. Returns the path of the new file.
bool createDefault(QString *path, QString *error);

} // namespace settingsfile
