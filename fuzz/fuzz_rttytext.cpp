// RTTY text from the receiver: whatever arrives, the page keeps 19 lines of
// printable characters.
#include "fuzzkit.h"
#include "utilities/rtty.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzkit::bytes(data, size);
    ry::Page p;
    // Chunk sizes from the first byte, so that chunking varies too.
    const int step = bytes.isEmpty() ? 1 : 1 + uchar(bytes.at(0)) % 97;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        p.feed(bytes.mid(at, step));
    fuzzkit::check(p.lines().size() == ry::kLines, "19 lines");
    for (const QString &l : p.lines())
        for (QChar c : l)
            fuzzkit::check(c.isPrint(), "only printable characters reach the screen");
    return 0;
}
