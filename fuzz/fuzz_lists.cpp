// Schedule lists: the BDXC/ADX reader (with ditto lines) and own lists.
#include "fuzzkit.h"
#include "schedules/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzkit::asFile(data, size);
    std::shared_ptr<const schedlist::LineTable> t;
    bdx2::read(path, 1000, &t);
    own2::read(path, 1000, &t);
    return 0;
}
