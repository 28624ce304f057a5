// The LOG file, with a save-and-reload property: once a log has been saved,
// reloading and saving it again gives the same file. Sorting and the two
// exports run on whatever was read.
#include "fuzzkit.h"
#include "logbook/logexport.h"
#include "logbook/logging2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using logging2::LogBook;
    const QString in = fuzzkit::asFile(data, size, QStringLiteral("LOG_IN.TXT"));
    const QString out = fuzzkit::scratchDir() + QStringLiteral("LOG_OUT.TXT");
    const int capacity = 50;
    LogBook b;
    const LogBook::ReadResult r = b.read(in, capacity);
    if (!r.ok)
        return 0;
    fuzzkit::check(b.count() <= capacity && r.read == b.count(), "no record past the table");
    for (const QString &l : b.lines())
        fuzzkit::check(l.size() == logging2::kLineLength, "every line 160 characters");
    for (int c = 0; c < 5; ++c) {
        b.sortChoice = c;
        b.sort();
    }
    for (const QString &l : logexport::adifLines(b.records(), QStringLiteral("20261205 120000")))
        for (QChar c : l)
            fuzzkit::check(c.unicode() >= 0x20 && c.unicode() < 0x7F, "ADI is printable ASCII");
    (void)logexport::adxLines(b.records(), QStringLiteral("20261205 120000"));
    (void)logexport::csvLines(b.records());
    QString error;
    if (!b.save(out, &error))
        return 0;
    LogBook again;
    fuzzkit::check(again.read(out, capacity).ok, "the saved file reads");
    const QStringList first = again.lines();
    if (!again.save(out, &error))
        return 0;
    LogBook third;
    fuzzkit::check(third.read(out, capacity).ok, "the saved file reads again");
    fuzzkit::check(third.lines() == first, "save and reload give the same file");
    return 0;
}
