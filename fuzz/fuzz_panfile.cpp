// PAN propagation recordings: every minute kept has a valid time and values
// inside the meter's range, and the CSV export has four lines a minute.
#include "fuzzkit.h"
#include "common/textfile.h"
#include "measure/propagation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace propagation;
    QStringList lines;
    bool more = false;
    QString error;
    if (!textfile::readLinesLimited(fuzzkit::asFile(data, size, QStringLiteral("PAN_IN.TXT")), 3 + 24 * 60 + 1,
                                    &lines, &more, &error))
        return 0;
    const PanFile f = readPan(lines);
    for (const PanMinute &m : f.minutes) {
        fuzzkit::check(m.hh >= 0 && m.hh <= 23 && m.mm >= 0 && m.mm <= 59, "a valid minute");
        for (int q = 0; q < 4; ++q)
            fuzzkit::check(m.lo[size_t(q)] >= 0 && m.lo[size_t(q)] <= 21.34 && m.hi[size_t(q)] >= 0
                               && m.hi[size_t(q)] <= 21.34,
                           "values inside the meter's range");
    }
    fuzzkit::check(panCsv(f).size() == 1 + 4 * f.minutes.size(), "four CSV lines a minute");
    return 0;
}
