// The text-file reader and writer: encodings, one rule for tabs and control
// characters, line-by-line reading with a limit, and a save that never
// destroys the old file (a real full file system and injected faults).
#include "common/textfile.h"
#include "common/filebytes.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {

QStringList readAll(const QByteArray &bytes, int maxChars = textfile::MaxLineChars)
{
    QBuffer b;
    b.setData(bytes);
    b.open(QIODevice::ReadOnly);
    textfile::LineReader r(&b, maxChars);
    QStringList out;
    QString l;
    while (r.next(&l))
        out << l;
    return out;
}

QByteArray utf16(const QString &s, QStringConverter::Encoding e)
{
    QStringEncoder enc(e, QStringConverter::Flag::WriteBom);
    return enc.encode(s);
}

// An atomic file that fails at a chosen step.
class FaultyFile : public textfile::AtomicFile {
public:
    enum Step { None, Open, Write, Flush, Commit } failAt = None;
    QStringList calls;
    bool open() override { return step("open", Open); }
    bool write(const QByteArray &) override { return step("write", Write); }
    bool flush() override { return step("flush", Flush); }
    bool commit() override { return step("commit", Commit); }
    void cancel() override { calls << "cancel"; }
    QString reason() const override { return "No space left on device"; }

private:
    bool step(const char *name, Step s)
    {
        calls << name;
        return failAt != s;
    }
};

} // namespace

TEST(TextFileRead, EncodingsControlCharactersTheLineLimitAndOverlongLines)
{
    const QString text = QString::fromUtf8("Rádio Açores\r\nSür\r\n");
    const QStringList want{QString::fromUtf8("Rádio Açores"), QString::fromUtf8("Sür")};
    struct Case {
        const char *what;
        QByteArray bytes;
        QStringList want;
    } cases[] = {
        {"UTF-16 LE with mark", utf16(text, QStringConverter::Utf16LE), want},
        {"UTF-16 BE with mark", utf16(text, QStringConverter::Utf16BE), want},
        {"UTF-8 with mark", QByteArray("\xEF\xBB\xBF") + text.toUtf8(), want},
        {"UTF-8 without mark", text.toUtf8(), want},
        // One Windows-1252 line among UTF-8 lines spoils only itself.
        {"mixed lines", QByteArray("R\xC3\xA1" "dio\nR\xE1" "dio \x80\nS\xC3\xBC" "r"),
         {QString::fromUtf8("Rádio"), QString::fromUtf8("Rádio €"), QString::fromUtf8("Sür")}},
        {"lone CR and LF ends", QByteArray("a\rb\n\nc"), {"a", "b", "", "c"}},
        // Tabs and other control characters are one blank each: the columns
        // after them stay where they are in the file.
        {"tab and control characters", QByteArray("ab\tc\x01" "d\x7F" "e\r\n"), {"ab c d e"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(readAll(c.bytes), c.want) << c.what;
    EXPECT_EQ(textfile::cleanLine(u"\t\tx"), "  x");
    EXPECT_EQ(textfile::splitLines("a\r\n\r\nb\nc\r\n"), (QStringList{"a", "", "b", "c"}));

    // A limit on the lines read, and lines too long.
    QTemporaryDir dir;
    const QString p = dir.filePath("BIG.TXT");
    QByteArray big;
    for (int i = 0; i < 20000; ++i)
        big += "line " + QByteArray::number(i) + "\r\n";
    writeBytes(p, big);
    QStringList lines;
    bool more = false;
    QString err;
    ASSERT_TRUE(textfile::readLinesLimited(p, 3, &lines, &more, &err));
    EXPECT_EQ(lines, (QStringList{"line 0", "line 1", "line 2"}));
    EXPECT_TRUE(more);
    ASSERT_TRUE(textfile::readLinesLimited(p, 20000, &lines, &more, &err));
    EXPECT_FALSE(more) << "a final line break is no further line";

    // A line end split across the reader's buffer, and a line far longer
    // than any record: cut, with a UTF-8 letter cut in half dropped.
    QByteArray split(64 * 1024 - 1, 'x');
    split += "\r\nnext";
    EXPECT_EQ(readAll(split, 10), (QStringList{"xxxxxxxxxx", "next"}));
    QByteArray accents;
    for (int i = 0; i < 100; ++i)
        accents += "\xC3\xA9";
    EXPECT_EQ(readAll(accents, 5), QStringList{QString::fromUtf8("ééééé")});
}

TEST(TextFileWrite, EveryFailingStepCancelsAndSaysWhyAndLongTextGoesOutInPieces)
{
    struct Case {
        FaultyFile::Step fail;
        QStringList calls;
    } cases[] = {
        {FaultyFile::None, {"open", "write", "flush", "commit"}},
        {FaultyFile::Open, {"open"}},
        {FaultyFile::Write, {"open", "write", "cancel"}},
        {FaultyFile::Flush, {"open", "write", "flush", "cancel"}},
        {FaultyFile::Commit, {"open", "write", "flush", "commit", "cancel"}},
    };
    for (const Case &c : cases) {
        FaultyFile f;
        f.failAt = c.fail;
        QString err;
        EXPECT_EQ(textfile::writeLinesTo(f, "MEM_OLD.TXT", {"a"}, &err), c.fail == FaultyFile::None);
        EXPECT_EQ(f.calls, c.calls) << int(c.fail);
        if (c.fail != FaultyFile::None) {
            EXPECT_TRUE(err.contains("MEM_OLD.TXT"));
            EXPECT_TRUE(err.contains("No space left on device"));
        }
    }

    // Lines made one at a time, enough for several pieces, go out as the same
    // bytes as writeLines (their failing steps: writeLinesTo above).
    QStringList lines;
    for (int i = 0; i < 30000; ++i)
        lines << QString::fromUtf8("Zeile %1 Größe ").arg(i) + QString(40, 'x');
    lines.first().prepend(QChar(0xFEFF));
    QTemporaryDir dir;
    QString err;
    ASSERT_TRUE(textfile::writeLines(dir.filePath("a.txt"), lines, &err));
    int i = 0;
    const auto next = [&](QString *l) {
        if (i >= lines.size())
            return false;
        *l = lines.at(i++);
        return true;
    };
    ASSERT_TRUE(textfile::writeEach(dir.filePath("b.txt"), next, &err)) << qPrintable(err);
    EXPECT_EQ(readBytes(dir.filePath("b.txt")), readBytes(dir.filePath("a.txt")));
}

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

TEST(TextFileWrite, AnAppendThatRunsOutOfRoomGivesTheSystemsReason)
{
    // The file may grow by 10 bytes only: the write stops part-way, as on a
    // disk that fills up meanwhile. The part is taken back, and the message
    // is the system's, not "Unknown error".
    QTemporaryDir dir;
    const QString p = dir.filePath("PAN_A.TXT");
    writeBytes(p, "first\r\n");
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 7 + 10;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    QString err;
    const bool ok = textfile::appendLines(p, {"a minute line that does not fit"}, &err);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(ok);
    EXPECT_TRUE(err.contains("PAN_A.TXT") && err.contains("File too large")) << qPrintable(err);
    EXPECT_EQ(readBytes(p), "first\r\n");

    // A pipe in the file's place is refused at once (opening it would wait
    // for a reader).
    const QString fifo = dir.filePath("PAN_PIPE.TXT");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_FALSE(textfile::appendLines(fifo, {"x"}, &err));
    EXPECT_TRUE(err.contains("PAN_PIPE.TXT") && err.contains("not a regular file"))
        << qPrintable(err);
}
#endif

TEST(TextFileStamp, ASaveKnowsWhenTheFileChangedOnDiskSinceItWasReadOrWritten)
{
    QTemporaryDir dir;
    const QString p = dir.filePath("MEM_A.TXT");
    QString err;
    // Written as UTF-8 with CR LF, and known as this program left it.
    ASSERT_TRUE(textfile::writeLines(p, {QString::fromUtf8("R\u00e1dio"), "b"}, &err));
    EXPECT_EQ(readBytes(p), QByteArray("R\xC3\xA1" "dio\r\nb\r\n"));
    EXPECT_FALSE(textfile::changedOnDisk(p));
    writeBytes(p, "R\xC3\xA1" "dio\r\nc\r\n"); // another program: the same size (a sort)
    RecordingPrompter ask;
    ask.answers = {Prompter::AnsCancel, Prompter::AnsNo, Prompter::AnsYes, Prompter::AnsNo};
    using C = textfile::OnChanged;
    for (C want : {C::Cancel, C::SaveAs, C::Replace})
        EXPECT_EQ(textfile::askIfChanged(ask, p, "Save File"), want);
    EXPECT_EQ(textfile::askIfChanged(ask, p, "Save INI", false), C::Cancel); // no Save As: No
    EXPECT_EQ(ask.lastText().section('\n', 0, 0), "MEM_A.TXT was changed on disk since it was loaded or saved here.");
    EXPECT_EQ(ask.asked.first().buttons, Prompter::YesNoCancel);
    // Read whole, it is known again; grown by an append or gone, there is
    // nothing to compare: no question.
    QStringList lines;
    ASSERT_TRUE(textfile::readLines(p, &lines, &err));
    EXPECT_FALSE(textfile::changedOnDisk(p));
    ASSERT_TRUE(textfile::appendLines(p, {"d"}, &err));
    EXPECT_FALSE(textfile::changedOnDisk(p));
    ASSERT_TRUE(QFile::remove(p));
    EXPECT_EQ(textfile::askIfChanged(ask, p, "Save File"), C::Replace);
    EXPECT_EQ(ask.asked.size(), 4);
}
