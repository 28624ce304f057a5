// Schedule lists: the BDXC/ADX reader (with ditto lines) and own lists.
#include "fuzzkit.h"
#include "schedules/listfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzkit::asFile(data, size);
    std::shared_ptr<const schedlist::LineTable> t;
    if (bdx2::read(path, 1000, &t).ok && t) {
        for (int i = 1; i <= t->count(); ++i) {
            fuzzkit::check(t->line(i).size() == 100, "every line 100 characters");
            for (int c = 0; c < 11; ++c)
                (void)schedlist::cellOf(schedlist::Kind::Bdx, t->line(i), c);
            (void)schedlist::onAirAt(t->line(i), QStringLiteral("1200"));
        }
    }
    own2::read(path, 1000, &t);
    return 0;
}
