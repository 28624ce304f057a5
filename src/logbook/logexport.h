// Export of the log for the logging and spreadsheet programs listeners use:
// ADIF 3 (.adi) and RFC 4180 CSV. Core only.
#pragma once
#include "logbook/logging2.h"

#include <QString>
#include <QStringList>

namespace logexport {

// ADIF mode of a tuning code's mode digit (third digit): "" when the digit
// is not a mode of the receiver. *submode gets "USB"/"LSB" for the sideband
// modes, else "".
QString adifMode(const QString &code4, QString *submode = nullptr);
// The frequency field (kHz text) in MHz, shortest form: "06175" -> "6.175",
// "15120.500" -> "15.1205". Empty when it is not a frequency above 0.
QString adifFreqMhz(const QString &khzText);
// Text as ADIF string data: printable ASCII only (accents dropped from their
// letters, anything else non-ASCII becomes "?"), blanks trimmed.
QString adifText(const QString &text);
// One field "<NAME:len>data" (len counted in characters of the ASCII data);
// empty when the data is empty.
QString adifField(const QString &name, const QString &data);

// The whole ADIF text: a header line, <ADIF_VER>, <PROGRAMID>,
// <PROGRAMVERSION>, <CREATED_TIMESTAMP>, <EOH>, then one line per record
// ending in <EOR>. createdUtc is "yyyymmdd hhmmss".
QStringList adifLines(const QList<logging2::Record> &records, const QString &createdUtc);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote,
// CR or LF, or starts or ends with a blank.
QString csvField(const QString &text);
// The header row and one row per record: number, the fifteen fields
// (trailing blanks trimmed).
QStringList csvLines(const QList<logging2::Record> &records);

// Writes lines (CR LF, UTF-8, atomically); false with *error on failure.
bool write(const QString &path, const QStringList &lines, QString *error);

} // namespace logexport
