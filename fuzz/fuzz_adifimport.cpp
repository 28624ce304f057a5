// ADIF import (ADI and ADX) and the memory CSV reader: any bytes give a
// message or records that fit the log's fields, never a crash.
#include "fuzzkit.h"
#include "logbook/logimport.h"
#include "memory/memcsv.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray b = fuzzkit::bytes(data, size);
    for (const bool adx : {false, true}) {
        const logimport::Result r = logimport::parse(b, adx);
        for (const logging2::Record &rec : r.records)
            for (int k = 0; k < logging2::kFields; ++k)
                fuzzkit::check(rec[k].size() <= logging2::kWidth[k], "an imported field fits its width");
        fuzzkit::check(r.records.size() + r.bad.size() == r.total || !r.ok, "every record kept or named");
    }
    const memcsv::Parsed p = memcsv::read(fuzzkit::asFile(data, size, QStringLiteral("in.csv")));
    for (const memcsv::Row &row : p.rows)
        fuzzkit::check(mem2::recordKind(row.rec) != mem2::RecKind::Bad, "an imported row fits the record layout");
    return 0;
}
