// Schedule import: any text in, either a clear error or .ftl lines that all
// have the 112-character layout, in rising frequency, one per record counted.
// (The atomic writer behind import() has its own target: fuzz_textfile.)
#include "fuzzkit.h"
#include "schedules/eibi.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QStringList areas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};
    const QString in = fuzzkit::asFile(data, size, QStringLiteral("sked.csv"));
    QStringList lines;
    const eibi::Result r = eibi::read(in, areas, &lines);
    fuzzkit::check(r.ok != !r.error.isEmpty(), "ok xor error");
    fuzzkit::check(r.records == lines.size() && r.bad == r.badFields + r.badFreq + r.badTime,
                   "counts");
    double last = -1;
    for (const QString &l : lines) {
        fuzzkit::check(l.size() == ilg::FtlWidth, "layout");
        fuzzkit::check(!l.contains(QLatin1Char('\r')) && !l.contains(QLatin1Char('\n')), "one line");
        const double f = ftl::freqOf(l);
        fuzzkit::check(f > 0 && f >= last, "rising frequency");
        last = f;
    }
    (void)r.summary(QStringLiteral("out.ftl"));
    return 0;
}
