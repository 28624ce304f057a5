// A memory file that loads, saves and reloads gives the same table (cases
// the fuzzer found: a tag cut at its longest that ended in blanks, a damaged
// record with blanks (control characters) at its end and no tag).
#include "memory/mem2.h"
#include "testkit.h"

#include <QFile>
#include <gtest/gtest.h>

TEST(MemRoundTrip, SaveAndReloadGiveTheSameFile)
{
    QTemporaryDir dir;
    const QString in = dir.path() + "/MEM_IN.TXT", out = dir.path() + "/MEM_OUT.TXT";
    const QByteArray cases[] = {
        // The tag is cut after 50 characters, just after a blank.
        "L030006078800001 Weather fax, GerL000004059750000 Radio Meridian - World\r\nL001V\r\n",
        QByteArray("L000004095000001 One\r\nL007ab\0\0\0\0\0\0\0\0\0\0\0\0c\r\n", 43),
    };
    for (const QByteArray &bytes : cases) {
        QFile f(in);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        mem2::MemTable a, b;
        int lines = 0;
        QString err;
        ASSERT_TRUE(mem2::readMemFile(in, a, &lines, &err)) << err.toStdString();
        EXPECT_FALSE(a.tag[0].endsWith(' '));
        ASSERT_TRUE(mem2::writeMemFile(out, a, &err));
        ASSERT_TRUE(mem2::readMemFile(out, b, &lines, &err));
        EXPECT_EQ(mem2::fileLines(a), mem2::fileLines(b)) << bytes.toStdString();
    }
}
