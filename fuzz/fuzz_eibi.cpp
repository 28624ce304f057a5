// Schedule import: any text in, either a clear error or an .ftl file whose
// every line has the 112-character layout, in rising frequency, with one
// line per record counted.
#include "fuzzkit.h"
#include "schedules/eibi.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"

#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QStringList areas{"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};
    const QString in = fuzzkit::asFile(data, size, QStringLiteral("sked.csv"));
    const QString out = fuzzkit::scratchDir() + QStringLiteral("sked.ftl");
    QFile::remove(out);
    const eibi::Result r = eibi::import(in, out, areas);
    fuzzkit::check(r.ok != !r.error.isEmpty(), "ok xor error");
    if (!r.ok) {
        fuzzkit::check(!QFile::exists(out), "nothing written on failure");
        return 0;
    }
    QFile f(out);
    fuzzkit::check(f.open(QIODevice::ReadOnly), "output readable");
    const QList<QByteArray> lines = f.readAll().split('\n');
    fuzzkit::check(lines.size() == r.records + 1 && lines.last().isEmpty(), "one line per record");
    double last = -1;
    for (int i = 0; i < r.records; ++i) {
        const QString l = QString::fromUtf8(lines.at(i));
        fuzzkit::check(l.endsWith(QLatin1Char('\r')) && l.size() == ilg::FtlWidth + 1, "layout");
        const double f = ftl::freqOf(l);
        fuzzkit::check(f >= last, "rising frequency");
        last = f;
    }
    return 0;
}
