// The receiver's replies, believed only when their whole layout is right.
//
// Every reader of a reply (the state read, the memory read-out channel by
// channel, the range read-out's stream) checks it here: the letter, the
// channel asked for, twelve digits whose codes and frequency are within the
// receiver's limits, the CR at its place and nothing after it. Anything
// else is unreadable, never data.
#pragma once
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace rxreply {

// Length of a read-out line of a stored channel ("L" ccc rec12 CR) and of
// an empty one ("L" ccc "V" CR).
inline constexpr int kStoredLen = 17;
inline constexpr int kEmptyLen = 6;

// Why a 12-character record (attenuator, bandwidth, mode digits, eight Hz
// digits, AGC digit) is not one the receiver can hold ("frequency 99999.999
// kHz is outside 10.000 to 29999.999 kHz", "AGC code 4 is not one of the
// receiver's (0 to 2)"); empty when it is one. fromReceiver: a record the
// receiver sent, whose AGC digit in NFM (which has no AGC) may be any digit.
QString recordFault(QStringView rec12, bool fromReceiver = false);
inline bool validRecord(QStringView rec12, bool fromReceiver = false)
{
    return recordFault(rec12, fromReceiver).isEmpty();
}

// One line of a memory read-out.
struct Readout {
    enum Kind { Stored, Empty, Unreadable };
    Kind kind = Unreadable;
    int channel = -1;
    QString rec12; // Stored: the record
    bool ok() const { return kind != Unreadable; }
};
// line: one line with its CR, nothing after it. want: the channel asked
// for (-1: any channel, as in a range read-out).
Readout readout(QByteArrayView line, int want = -1);

// A frequency report the receiver sends by itself while its reports are on:
// "I", twelve characters that end in the eight frequency digits and one
// more, CR.
inline constexpr int kReportLen = 14;
bool isReport(QByteArrayView line);
// A report, or the end of one whose start was discarded before a request
// (digits and CR, shorter than a report): never a reply.
bool isReportPiece(QByteArrayView line);

// The first reply line of what came: its CR included, and what followed
// it. Reports (and pieces of them) in front of it are dropped; a bare CR is
// a line (an empty reply).
struct Split {
    bool complete = false;  // a line ended in CR
    QByteArrayView line;    // that line, or what came when no CR did
    QByteArrayView rest;    // what followed the line
    int reportsDropped = 0;
};
Split firstLine(QByteArrayView bytes);
// What follows a reply is harmless only when it is nothing, or the start of
// a report (the dial moved just after the reply).
bool onlyReportsAfter(QByteArrayView rest);

} // namespace rxreply
