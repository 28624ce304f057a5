// Decoding of single-byte code pages: the old MS-DOS pages (437, 850, 852,
// 866) and Windows-1252, as dBASE tables name them by their language
// driver byte. Qt's own converters offer these only where Qt was built with
// ICU, so the upper halves are tables here.
#pragma once
#include <QByteArrayView>
#include <QString>

namespace codepage {

// The code page of a dBASE language driver byte (header byte 29): 437, 850,
// 852, 866 or 1252; 0 for 0x00 (none given) and for drivers not known here.
int ofDbaseDriver(int driver);

// Decodes bytes of code page cp (437, 850, 852, 866, 1252). Any other cp,
// 0 included, is the program's rule for text of unknown origin: UTF-8 when
// valid, else Windows-1252. Bytes below 0x80 are ASCII in every page.
QString decode(QByteArrayView bytes, int cp);

} // namespace codepage
