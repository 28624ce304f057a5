// SAN spectrum files: what the reader keeps is always drawable (index inside
// the data, values inside the meter's range), the graph's geometry stays in
// whole pixels for any limits, and a read spectrum saves and reads back.
#include "fuzzkit.h"
#include "common/textfile.h"
#include "measure/spectrum.h"
#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace spectrum;
    QStringList lines;
    bool more = false;
    QString error;
    if (!textfile::readLinesLimited(fuzzkit::asFile(data, size, QStringLiteral("SAN_IN.TXT")), 5 + kData + 1,
                                    &lines, &more, &error))
        return 0;
    const SanData d = readSan(lines);
    fuzzkit::check(d.index >= -1 && d.index < kData, "index inside the data");
    Scan s;
    s.lim.lower = d.lower;
    s.lim.upper = d.upper;
    s.lim.step = d.step;
    s.lim.lowerText = lines.value(1);
    s.lim.upperText = lines.value(2);
    s.lim.stepText = lines.value(3);
    s.data = d.data;
    s.index = std::max(d.index, 0);
    for (int i = 0; i <= d.index; ++i) {
        const float v = d.data[size_t(i)];
        fuzzkit::check(v >= 0 && v <= 21.34f, "values inside the meter's range");
        (void)s.xOf(s.freqAt(i));
    }
    for (int x : {kLeft, (kLeft + kRight) / 2, kRight - 1})
        fuzzkit::check(std::isfinite(s.freqAtClick(x)) || !d.valid(), "a click on a valid graph is a frequency");
    (void)csvLines(s, d.index);
    if (d.index < 0)
        return 0;
    const SanData again = readSan(sanLines(d.date, s));
    fuzzkit::check(again.index == d.index, "a saved spectrum keeps its length");
    for (int i = 0; i <= d.index; ++i)
        fuzzkit::check(std::abs(again.data[size_t(i)] - d.data[size_t(i)]) < 0.11f, "a saved spectrum keeps its values");
    return 0;
}
