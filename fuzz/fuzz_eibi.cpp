// Schedule import: any text in, either a clear error or .ftl lines that all
// have the 112-character layout (plus, when the record names its days, a
// space and the days field), in rising frequency, one per record counted.
// (The atomic writer behind import() has its own target: fuzz_textfile.)
#include "fuzzkit.h"
#include "schedules/eibi.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"
#include "schedules/onair.h"

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
        const bool plain = l.size() == ilg::FtlWidth;
        const bool withDays = l.size() == onair::DaysColumn - 1 + onair::DaysWidth
                              && l.at(ilg::FtlWidth) == QLatin1Char(' ');
        fuzzkit::check(plain || withDays, "layout");
        fuzzkit::check(plain || onair::daysOf(l) != 0, "days field read back");
        fuzzkit::check(!l.contains(QLatin1Char('\r')) && !l.contains(QLatin1Char('\n')), "one line");
        const double f = ftl::freqOf(l);
        fuzzkit::check(f > 0 && f >= last, "rising frequency");
        last = f;
    }
    (void)r.summary(QStringLiteral("out.ftl"));
    return 0;
}
