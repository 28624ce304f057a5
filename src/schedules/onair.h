// What is on the air at a frequency: the broadcasts of the converted list
// (.ftl) a window loaded last, shared with the web remote; the time filter
// of the Db2Rx window ("On air now", "Next 1 h" ...) by UTC and the days of
// the week; and the converted lists of a folder, read once and kept.
#pragma once
#include <QDateTime>
#include <QMap>
#include <QList>
#include <QString>
#include <QStringList>

namespace onair {

struct Entry {
    double khz = 0;
    QString station, language, target, time; // time: "hhmm-hhmm" UTC
};

// The lines of the converted list loaded last (rising frequency), and its
// file name; empty while none is loaded.
const QStringList &loadedLines();
QString loadedName();
void setLoaded(const QStringList &lines, const QString &name);

// A moment of the UTC week: day 0 Monday .. 6 Sunday, minute 0 .. 1439.
struct Moment {
    int day = 0;
    int minute = 0;
};
Moment momentOf(const QDateTime &utc);

// The days of the week a line is on the air, as bits (bit 0 Monday .. bit
// 6 Sunday): the digits 1 (Monday) to 7 (Sunday) in columns 114-120, which
// an imported schedule fills. 0: no days given, every day.
inline constexpr int DaysColumn = 114, DaysWidth = 7;
int daysOf(const QString &line);
// The day digits of a schedule's day field ("Mo-Fr", "Sa,Su", "1245",
// "Sa-Mo"); "" when it names no days the program can read ("daily",
// "irr"): every day.
QString dayDigits(const QString &field);

// Whether a broadcast from start to end (hhmm numbers, end before start:
// over midnight into the next day) on days (bits; 0 every day) is on the
// air at some minute from m on for `minutes` minutes (0: at m itself, the
// end minute included). A broadcast over midnight belongs to the day it
// starts. start = end is never on the air.
bool onAirWithin(int start, int end, int days, Moment m, int minutes);
bool onAirWithin(const QString &line, Moment m, int minutes);

// The time choices of the Db2Rx filters, in the order shown.
enum class When { Any, Now, Next1h, Next3h, Next6h };
inline constexpr int WhenCount = 5;
QString whenCaption(When w); // "Any time", "On air now", "Next 1 h" ...
int whenMinutes(When w);     // 0 for Any and Now, 60, 180, 360
// Whether line passes the choice at m (Any: always).
bool passes(const QString &line, When w, Moment m);

// The broadcasts of lines within catchKhz of khz that are on the air at
// hhmm (a number, 0 to 2359), nearest first, at most max of them.
QList<Entry> at(const QStringList &lines, double khz, int hhmm, double catchKhz = 1.0, int max = 8);
// The same at a UTC moment, the days of the week counted.
QList<Entry> at(const QStringList &lines, double khz, Moment m, double catchKhz = 1.0, int max = 8);

// One entry as the control panel's status line names it: "9580 kHz now:
// Radio Aurelia, English, to EU, 0800-0900", then "(2 more)" when there
// are others; "" for none.
QString statusText(const QList<Entry> &now);

// The converted lists (*.ftl) of a folder, each read once and read again
// only when its size or time changed, so that a tick of the clock costs a
// look at the folder and no file read.
class Lists {
public:
    // Looks at dir's .ftl files: new or changed ones are read (at most
    // capacity lines each), gone ones dropped. True when anything changed.
    bool refresh(const QString &dir, int capacity);
    // What is on the air at m within catchKhz of khz in every list,
    // nearest first; a broadcast in two lists (frequency, time and station
    // alike) once.
    QList<Entry> at(double khz, Moment m, double catchKhz, int max = 8) const;
    int fileCount() const { return int(files_.size()); }
    int reads() const { return reads_; } // files read since made

private:
    struct File {
        qint64 size = -1;
        QDateTime modified;
        QStringList lines;
    };
    QString dir_;
    QMap<QString, File> files_; // by file name, in name order
    int reads_ = 0;
};

} // namespace onair
