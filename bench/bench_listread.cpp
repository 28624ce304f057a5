// Reading a huge schedule list into a small table: the reader goes line by
// line and stops at the table's limit, so the time (and memory) depends on
// the limit, not on the size of the file. Compare the file sizes of the
// first benchmark; the second reads a full 30,000-line table for scale.
//
//   ./bench_listread
#include "schedules/listfile.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <map>
#include <memory>

namespace {

QTemporaryDir &dir()
{
    static QTemporaryDir d;
    return d;
}

// A BDXC list of about `mb` megabytes (cached per size).
QString bigList(int mb)
{
    static std::map<int, QString> made;
    if (auto it = made.find(mb); it != made.end())
        return it->second;
    const QString path = dir().filePath(QStringLiteral("BDX%1TOE.TXT").arg(mb));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return {};
    const QByteArray line = "Radio Nordvik    English  Eu       0000-0100    6175, 9635, 11820\r\n"
                            ".                German   Eu       0100-0200    6175, 9635\r\n";
    QByteArray block;
    while (block.size() < 1 << 20)
        block += line;
    for (qint64 written = 0; written < qint64(mb) << 20; written += block.size())
        f.write(block);
    made[mb] = path;
    return path;
}

void BM_HugeListSmallLimit(benchmark::State &state)
{
    const QString path = bigList(int(state.range(0)));
    for (auto _ : state) {
        std::shared_ptr<const schedlist::LineTable> t;
        const schedlist::ReadResult r = bdx2::read(path, 1000, &t);
        if (!r.ok || t->count() != 1000 || !r.truncated)
            state.SkipWithError("unexpected read result");
        benchmark::DoNotOptimize(t);
    }
    state.counters["file_MB"] = double(state.range(0));
}
BENCHMARK(BM_HugeListSmallLimit)->Arg(8)->Arg(256)->Unit(benchmark::kMillisecond);

void BM_FullTable30000(benchmark::State &state)
{
    const QString path = bigList(8); // about 90,000 lines
    for (auto _ : state) {
        std::shared_ptr<const schedlist::LineTable> t;
        bdx2::read(path, 30000, &t);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_FullTable30000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
