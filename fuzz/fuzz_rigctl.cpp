// Network requests of the rig-control protocol: parsing, argument checks and
// the answers built from them.
#include "fuzzkit.h"
#include "net/rigctl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = fuzzkit::bytes(data, size);
    for (const QByteArray &line : bytes.split('\n')) {
        for (const rigctl::Request &r : rigctl::parseLine(line)) {
            fuzzkit::check(!r.ok || rigctl::argCount(r.name) >= 0, "a known request has a known name");
            const QByteArray a = rigctl::answer(r, {{QStringLiteral("Value"), r.args.join(' ')}}, rigctl::kOk);
            fuzzkit::check(a.endsWith('\n'), "every answer ends its line");
            if (!r.args.isEmpty()) {
                (void)rigctl::modeCode(r.args.first());
                (void)rigctl::bwCodeFor(r.args.last().toInt(), 2, true);
            }
        }
    }
    return 0;
}
