// The file commands: memory CSV in and out, logs from ADIF, without a
// receiver; nothing the user made is written over.
#include "clirun.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray bytesOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

TEST(CliFiles, MemoryCsvInAndOutAndLogImport)
{
    QTemporaryDir d;
    const QString fixture = VOR_SOURCE_DIR "/tests/memory/data/rigmem_sim.csv";
    const QString mem = d.filePath("MEM_A.TXT"), out = d.filePath("r.csv");
    EXPECT_EQ(cli({"mem", "import", fixture, mem}).code, 0);
    EXPECT_EQ(cli({"mem", "export", mem, out, "--rigmem"}).code, 0);
    EXPECT_EQ(bytesOf(out), bytesOf(fixture));
    const CliRun again = cli({"mem", "export", mem, out});
    EXPECT_EQ(again.code, 5) << again.err.toStdString(); // not written over
    QFile bad(d.filePath("bad.csv"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("num,freq,mode,width,funcs,\n5,7000000,AM,6000,0,\n6,40000000,AM,6000,0,\n");
    bad.close();
    const QByteArray before = bytesOf(mem);
    const CliRun b = cli({"mem", "import", bad.fileName(), mem});
    EXPECT_EQ(b.code, 6);
    EXPECT_TRUE(b.err.contains("row 3: frequency 40000000 Hz")) << b.err.toStdString();
    EXPECT_EQ(bytesOf(mem), before);

    QFile adi(d.filePath("x.adi"));
    ASSERT_TRUE(adi.open(QIODevice::WriteOnly));
    adi.write("<CALL:3>ABC<FREQ:4>7.25<EOR><CALL:3>DEF<EOR>");
    adi.close();
    const QString log = d.filePath("LOG_X.TXT");
    const CliRun l = cli({"log", "import", adi.fileName(), log});
    EXPECT_EQ(l.code, 6);
    EXPECT_TRUE(l.err.contains("record 2: no frequency")) << l.err.toStdString();
    EXPECT_TRUE(bytesOf(log).contains("ABC"));
    EXPECT_EQ(cli({"log", "import", adi.fileName(), log}).code, 5);
}
