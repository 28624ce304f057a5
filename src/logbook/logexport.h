// Export of the log for the logging and spreadsheet programs listeners use:
// ADIF 3 as ADI (.adi, ASCII) and ADX (.adx, XML in UTF-8), and RFC 4180
// CSV. Core only.
//
// A record is a listener's report: the broadcaster goes in CALL, SWL is Y,
// SINPO in RST_RCVD, MODE (and SUBMODE) only from the record's own settings
// code, QTH the transmitter site, COMMENT the remarks and the language.
#pragma once
#include "logbook/logging2.h"

#include <QString>
#include <QStringList>

namespace logexport {

// ADIF mode of a tuning code's mode digit (third digit): "" when the code is
// blank or the digit is not a mode of the receiver. *submode gets "USB"/"LSB" for the sideband
// modes, else "".
QString adifMode(const QString &code4, QString *submode = nullptr);
// The frequency field (kHz text) in MHz, shortest form: "06175" -> "6.175",
// "15120.500" -> "15.1205". Empty when it is not a frequency above 0.
QString adifFreqMhz(const QString &khzText);
// Text as ADIF string data: printable ASCII only, blanks trimmed. Letters
// are transliterated (accents dropped, "ß" -> "ss", "æ" -> "ae", "ø" -> "o",
// "ł" -> "l", typographic quotes and dashes plain); control characters
// become blanks; what has no ASCII form becomes "?".
QString adifText(const QString &text);
// One field "<NAME:len>data" (len counted in characters of the ASCII data);
// empty when the data is empty.
QString adifField(const QString &name, const QString &data);

// The whole ADIF text: a header line, <ADIF_VER>, <PROGRAMID>,
// <PROGRAMVERSION>, <CREATED_TIMESTAMP>, <EOH>, then one line per record
// ending in <EOR>. createdUtc is "yyyymmdd hhmmss".
QStringList adifLines(const QList<logging2::Record> &records, const QString &createdUtc);

// The same log as ADX: the XML declaration, then the elements, indented.
// The fields are those of the ADI export (ASCII); beside them QTH_INTL and
// COMMENT_INTL carry the original text, and the broadcaster's own spelling
// goes in the application field BROADCASTER of PROGRAMID VORANTIS (CALL
// stays ASCII).
QStringList adxLines(const QList<logging2::Record> &records, const QString &createdUtc);

// One CSV field: quoted (with doubled quotes) when it holds a comma, a quote,
// CR or LF, or starts or ends with a blank.
QString csvField(const QString &text);
// The header row and one row per record: number, the fifteen fields
// (trailing blanks trimmed).
QStringList csvLines(const QList<logging2::Record> &records);

// Writes lines (CR LF, UTF-8, atomically); false with *error on failure.
bool write(const QString &path, const QStringList &lines, QString *error);

} // namespace logexport
