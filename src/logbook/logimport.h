// Import of a log written by another logging program (or exported here) as
// ADIF: ADI (.adi, tagged text) or ADX (.adx, XML). Core only.
//
// What goes where in a log record:
//   Date          QSO_DATE (yyyymmdd)
//   Begin / End   TIME_ON / TIME_OFF (hhmm or hhmmss; the seconds go)
//   Frequency     FREQ in MHz (FREQ_RX when FREQ is missing), as kHz
//   SINPO         RST_RCVD
//   BC Org.       CALL (STATION when there is no CALL); in ADX the
//                 broadcaster's own spelling (application field BROADCASTER)
//   Tx Location   QTH (QTH_INTL in ADX)
//   Remarks       COMMENT (COMMENT_INTL), else NOTES (NOTES_INTL); a
//                 "Language xxx" at its end (as this program writes it) goes
//                 into Language
// A file this program exported also carries, as application fields of
// PROGRAMID VORANTIS, every field that the fields above do not give back as
// it was (parallel frequencies, settings codes, a date or time that is not
// a date or time); those take precedence, so such a log comes back field
// for field (in ADI its text is ASCII, as ADI holds it).
//
// A record that does not fit (a text longer than its field, a date or time
// that is not one, no frequency) is not imported and is named with the
// reason; nothing is cut. Parsing survives any input: lengths beyond the
// file, a missing header end, bytes that are not ASCII.
#pragma once
#include "logbook/logging2.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

namespace logimport {

// The biggest file read (bytes).
inline constexpr qint64 kMaxFileBytes = 64LL * 1024 * 1024;

// One record as the file has it: field names in upper case (an ADX
// application field as "APP_" + program + "_" + field name), values as text.
struct RawRecord {
    int no = 0; // 1-based, in file order
    QMap<QString, QString> fields;
    QString problem; // a record the file itself spoils (cut off)
};

// ADI: the records after the header (<EOH>; a file that begins with "<" has
// no header). Lengths count bytes; the data is UTF-8 when valid, else
// Windows-1252. False with *error when no record can be found at all.
bool parseAdi(const QByteArray &bytes, QList<RawRecord> *out, QString *error);
// ADX: the RECORD elements. False with *error (and the line) when the XML
// is not well formed.
bool parseAdx(const QByteArray &bytes, QList<RawRecord> *out, QString *error);

// The application field that carries log field k as it was (without the
// "APP_VORANTIS_" in front: ADX names it in attributes).
QString appFieldName(int field);
inline constexpr const char *kAppPrefix = "APP_VORANTIS_";

// A log record from a raw record; empty when it fits, else why not (every
// reason, "; " between).
QString toRecord(const QMap<QString, QString> &fields, logging2::Record *r);

struct Problem {
    int record = 0;
    QString why;
};
struct Result {
    bool ok = false;
    QString error; // names the file and the reason when !ok
    bool adx = false;
    int total = 0; // records in the file
    QList<logging2::Record> records; // those that fit, in file order
    QList<Problem> bad;
};
Result parse(const QByteArray &bytes, bool adx);
// Reads path: ADX when its name ends in .adx or its text begins as XML,
// else ADI.
Result read(const QString &path);
// The one message about the records left out; empty when none.
QString problemsText(const Result &r, const QString &file);

// The LOG file of part n of an import (1 the file itself): "LOG_X.TXT",
// "LOG_X-2.TXT", ...
QString partName(const QString &fileName, int part);

// Writes records from..from+capacity-1 (as many as there are) into a new
// log of that capacity at path; *written gets how many. False with *error
// naming the file and the reason (nothing written then).
bool savePart(const QList<logging2::Record> &records, int from, int capacity, const QString &path,
              int *written, QString *error);

} // namespace logimport
