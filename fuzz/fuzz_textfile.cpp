// Text-file reading: decoding, line splitting and the line limit.
#include "common/textfile.h"
#include "fuzzkit.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzkit::asFile(data, size);
    QStringList all, limited;
    QString error;
    bool more = false;
    const bool okAll = textfile::readLines(path, &all, &error);
    const bool okLimited = textfile::readLinesLimited(path, 3, &limited, &more, &error);
    fuzzkit::check(okAll == okLimited, "both readers agree on success");
    if (okAll && okLimited) {
        fuzzkit::check(limited.size() <= 3, "the limit holds");
        fuzzkit::check(limited == all.mid(0, limited.size()), "the limited read is a prefix");
        fuzzkit::check(more == (all.size() > limited.size()), "more says whether lines were left");
    }
    return 0;
}
