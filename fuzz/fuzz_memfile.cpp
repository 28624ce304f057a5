// The memory file, with a save-and-reload property: what loads, saves and
// reloads gives the same table and the same file again.
#include "fuzzkit.h"
#include "memory/mem2.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString in = fuzzkit::asFile(data, size, QStringLiteral("MEM_IN.TXT"));
    const QString out = fuzzkit::scratchDir() + QStringLiteral("MEM_OUT.TXT");
    mem2::MemTable t;
    int lines = 0;
    QString error;
    if (!mem2::readMemFile(in, t, &lines, &error))
        return 0;
    fuzzkit::check(lines >= 0 && lines <= mem2::kChannels, "line count in range");
    if (!mem2::writeMemFile(out, t, &error))
        return 0;
    const QStringList first = mem2::fileLines(t);
    mem2::MemTable again;
    fuzzkit::check(mem2::readMemFile(out, again, &lines, &error), "the saved file reads");
    fuzzkit::check(mem2::fileLines(again) == first, "save and reload give the same file");
    mem2::sortByFreq(again);
    return 0;
}
