// The simulated receiver's command parser: any command text, in any order.
#include "fuzzkit.h"
#include "sim/simradio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SimRadio *radio = new SimRadio(SimRadio::DemoMemory);
    const QByteArray in = fuzzkit::bytes(data, size);
    radio->execute("H1");
    for (const QByteArray &c : in.split('\r'))
        radio->execute(c);
    fuzzkit::check(radio->working().hz >= SimRadio::kMinHz && radio->working().hz <= SimRadio::kMaxHz,
                   "the dial stays in range");
    return 0;
}
