// The propagation impression without a window: what one reading changes on
// the three time bases (minute, hour, day), the 15-second and 6-minute
// closes, the PAN minute record, and the PAN file (read leniently, with a
// CSV export).
#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace propagation {

// Panel geometry, window pixels: the minute, hour and day panels share x 80
// to 560 with 4 pixels per meter unit; bottoms at 149, 279 and 409.
inline constexpr int kLeft = 80, kRight = 560;
inline constexpr int kMinuteBottom = 149, kHourBottom = 279, kDayBottom = 409;
inline constexpr int kPanelHeight = 100;
inline constexpr int kPerUnit = 4;
inline int yOf(int bottom, double v) { return bottom - int(kPerUnit * v); }

// A column drawn from y1 to y2 at x, with the column ahead (eraseX) erased.
struct Column {
    int x = 0, eraseX = 0;
    int y1 = 0, y2 = 0; // equal: a single point
};

struct TickOut {
    Column minute;                // the bar of this second
    bool eraseMinuteFirst = false; // ss = 59: the column at x = 80
    std::optional<Column> quarter; // a 15-second close on the hour panel
    bool eraseHourFirst = false;
    std::optional<Column> period;  // a 6-minute close on the day panel
    bool eraseDayFirst = false;
    std::optional<QString> panLine; // a complete minute for the PAN file
};

class Impression {
public:
    Impression() { reset(); }
    // Quarter and period extremes to 21 / 0, the minute record emptied.
    void reset();
    // One reading v at local time hh:mm:ss; recording: a PAN file is open.
    TickOut tick(int hh, int mm, int ss, double v, bool recording);
    QString minuteRecord() const { return record_; }

private:
    float qLo_ = 21, qHi_ = 0, pLo_ = 21, pHi_ = 0;
    QString record_;
    int lastQuarter_ = -1, lastPeriod_ = -1; // second of the day of the last close
};

// PAN header: start date text, frequency text, station.
QStringList panHeader(const QString &dateText, const QString &freqText, const QString &station);

// One PAN minute line: hh, mm and the four quarters' lowest and highest
// (meter units). Missing or garbage fields read as 0.
struct PanMinute {
    int hh = 0, mm = 0;
    std::array<double, 4> lo{}, hi{};
};
PanMinute parsePanLine(const QString &line);

// A PAN file's lines checked: the header and the minute lines (those whose
// time is a valid hh:mm); problems lists what was wrong.
struct PanFile {
    QString date, freq, station;
    QList<PanMinute> minutes;
    QStringList problems;
};
PanFile readPan(const QStringList &lines);

// CSV of a PAN recording: "time,lowest,highest" and one line per quarter
// ("hh:mm:ss" at seconds 01, 16, 31, 46).
QStringList panCsv(const PanFile &f);

} // namespace propagation
