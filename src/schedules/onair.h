// What is on the air at a frequency: the broadcasts of the converted list
// (.ftl) a window loaded last, shared with the web remote.
#pragma once
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

// The broadcasts of lines within catchKhz of khz that are on the air at
// hhmm (a number, 0 to 2359), nearest first, at most max of them.
QList<Entry> at(const QStringList &lines, double khz, int hhmm, double catchKhz = 1.0, int max = 8);

} // namespace onair
