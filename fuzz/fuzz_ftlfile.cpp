// Converted broadcast lists (.ftl): the table read is in rising frequency
// order with lines of one width, and the Db2Rx search and the on-the-air
// test run over it.
#include "fuzzkit.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgfilter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = fuzzkit::asFile(data, size, QStringLiteral("LIST.ftl"));
    const int capacity = 200;
    ftl::Table t;
    const ftl::LoadResult r = ftl::load(path, capacity, &t);
    if (!r.ok)
        return 0;
    fuzzkit::check(t.count() <= capacity, "no line past the capacity");
    for (int i = 0; i < t.count(); ++i) {
        const QString &l = t.lines.at(i);
        fuzzkit::check(l.size() == ftl::LineWidth, "every line one width");
        fuzzkit::check(i == 0 || ftl::freqOf(t.lines.at(i - 1)) <= ftl::freqOf(l), "rising frequency");
        (void)ftl::onAir(l, 1200);
        (void)ilgfilter::entryOf(l);
    }
    ilgfilter::Criteria c;
    c.on.fill(true);
    c.text = {QStringLiteral("5"), QStringLiteral("20"), QStringLiteral("ENG"), QStringLiteral("R"),
              QStringLiteral("D"), QStringLiteral("EU")};
    const QStringList areas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};
    int last = -1;
    for (int i : ilgfilter::search(t.lines, c, 1200, areas)) {
        fuzzkit::check(i > last && i < t.count(), "hits are lines of the table, in order");
        last = i;
    }
    return 0;
}
