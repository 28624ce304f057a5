// Every way the program writes a file, under the faults a user meets: a
// folder with unusual characters in its name, a read-only folder (tried as an
// ordinary user: a root test run drops to "nobody" for the attempt) and a
// full file system (a small tmpfs, when the run may mount one). A failed save
// says which file and leaves the old file as it was, with no leftovers.
#include "common/textfile.h"
#include "common/filebytes.h"
#include "logbook/logexport.h"
#include "logbook/logging2.h"
#include "measure/propagation.h"
#include "memory/mem2.h"
#include "schedules/dbftable.h"
#include "schedules/eibi.h"
#include "schedules/ilgconvert.h"
#include "settings/settings.h"
#include "testkit.h"
#include "utilities/rtty.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace {

struct Save {
    const char *what;
    const char *file;
    bool append; // grows the file: the old content must stay, unchanged
    std::function<bool(const QString &path, QString *error)> run;
};

QStringList many(const QString &stem, int n)
{
    QStringList l;
    for (int i = 0; i < n; ++i)
        l << QStringLiteral("%1 %2 ").arg(stem).arg(i) + QString(60, QLatin1Char('x'));
    return l;
}

// A result's ok, its error in *e.
template <class Result> bool okOr(const Result &r, QString *e)
{
    *e = r.error;
    return r.ok;
}

const QString kEibiCsv = QStringLiteral(
    "kHz:75;Time(UTC):93;Days:59;ITU:49;Station:201;Lng:49;Target:62;Remarks:135;P:35;Start:60;Stop:60;\n"
    "9500;0000-2400;;NOR;Radio Example;E;Eu;;1;;;\n");

const Save kSaves[] = {
    {"settings", "VRTSV6.INI", false,
     [](const QString &p, QString *e) {
         Settings s = settingsfile::defaults();
         return settingsfile::saveTo(p, &s, e);
     }},
    {"memory file", "MEM_A.TXT", false,
     [](const QString &p, QString *e) {
         mem2::MemTable t;
         for (int i = 0; i < mem2::kChannels; ++i)
             t.rec[i] = QStringLiteral("L%1004095000001").arg(i, 3, 10, QChar('0'));
         return mem2::writeMemFile(p, t, e);
     }},
    {"logbook", "LOG_A.TXT", false,
     [](const QString &p, QString *e) {
         logging2::LogBook b;
         b.create(300);
         logging2::Record r;
         r[0] = "20261206", r[1] = "1200", r[3] = "09500", r[6] = "Radio Example";
         for (int i = 0; i < 300; ++i)
             b.append(r);
         return b.save(p, e);
     }},
    {"log export", "LOG_A.adi", false,
     [](const QString &p, QString *e) { return logexport::write(p, many("<CALL:2>XX", 300), e); }},
    // (A SAN file is written as the PAN header is, by writeLines.)
    {"PAN header", "PAN_A.TXT", false,
     [](const QString &p, QString *e) {
         return textfile::writeLines(p, propagation::panHeader("06.12.2026", "9500.000", "Radio Example") +
                                            many("minute", 300),
                                     e);
     }},
    {"PAN minutes", "PAN_B.TXT", true,
     [](const QString &p, QString *e) { return textfile::appendLines(p, many("minute", 300), e); }},
    {"RTTY page", "NEW_RYWW.TXT", true,
     [](const QString &p, QString *e) {
         ry::SaveFile f(p);
         if (!f.open(e))
             return false;
         for (const QString &l : many("news", 300))
             if (!f.append(l, e))
                 return false;
         return true;
     }},
    {"EiBi import", "sked.ftl", false,
     [](const QString &p, QString *e) {
         // The schedule read lies elsewhere, readable by all.
         static const QString csv = [] {
             const QString c = QDir::tempPath() + QStringLiteral("/vor-safety-%1.csv").arg(::getpid());
             QFile f(c);
             if (f.open(QIODevice::WriteOnly))
                 f.write(kEibiCsv.toUtf8());
             return c;
         }();
         return okOr(eibi::import(csv, p, {"EU"}), e);
     }},
    {"database conversion", "ILGSDATA.ftl", false,
     [](const QString &p, QString *e) {
         MemoryTable t(ilg::requiredFields({"EU"}));
         for (int i = 0; i < 300; ++i)
             t.add({QStringLiteral("0000-2400"), QString::number(5900 + i * 5)});
         return okOr(ilg::convert(t, "ILGSDATA", p, {"EU"}, {}), e);
     }},
};

// Runs f as an ordinary user: as root, the effective user is "nobody"
// meanwhile (the folders on the way are opened for it).
bool asUser(const std::function<bool()> &f)
{
#ifdef Q_OS_LINUX
    if (::geteuid() == 0) {
        if (::setegid(65534) != 0 || ::seteuid(65534) != 0)
            return f();
        const bool r = f();
        const int back = ::seteuid(0) | ::setegid(0);
        EXPECT_EQ(back, 0);
        return r;
    }
#endif
    return f();
}

struct DataSafety : ::testing::TestWithParam<int> {
    QTemporaryDir tmp;
    const Save &save = kSaves[GetParam()];
    const QByteArray old = "the old file\r\n";

    // A folder of an unusual name under the scratch folder, opened for the
    // ordinary user.
    QString folder(const QString &under)
    {
        const QString d = under + QStringLiteral("/Liste Ä&ö #1 'x' [日本] ~$");
        QDir().mkpath(d);
        QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                              QFile::ReadOther | QFile::ExeOther);
        QFile::setPermissions(d, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                     QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
        return d + QLatin1Char('/');
    }
    QStringList entries(const QString &dir) const { return QDir(dir).entryList(QDir::Files); }
};

} // namespace

TEST_P(DataSafety, UnusualNamesSaveAndAFailedSaveKeepsTheOldFile)
{
    // Unusual characters in the folder's name: saved, and saved again over it.
    const QString dir = folder(tmp.path());
    const QString path = dir + save.file;
    QString err;
    ASSERT_TRUE(save.run(path, &err)) << save.what << ": " << err.toStdString();
    ASSERT_TRUE(save.run(path, &err)) << save.what << ": " << err.toStdString();
    EXPECT_FALSE(readBytes(path).isEmpty()) << save.what;

    // A read-only folder: refused, named, the old file as it was.
    writeBytes(path, old);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    const QStringList before = entries(dir);
    err.clear();
    const bool saved = asUser([&] { return save.run(path, &err); });
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(saved) << save.what;
    EXPECT_FALSE(err.isEmpty()) << save.what;
    EXPECT_EQ(readBytes(path), old) << save.what;
    EXPECT_EQ(entries(dir), before) << save.what;
}

TEST_P(DataSafety, AFullDiskKeepsTheOldFile)
{
    const SmallTmpfs fs(tmp.filePath("full"));
    if (!fs.ok())
        GTEST_SKIP() << qPrintable(fs.why()) << "; the writers' fault injection covers the logic";
    QDir().mkpath(fs.path + "/data");
    const QString dir = fs.path + "/data/";
    const QString path = dir + save.file;
    writeBytes(path, old);
    fs.fill();
    const QStringList before = entries(dir);
    QString err;
    EXPECT_FALSE(save.run(path, &err)) << save.what;
    EXPECT_FALSE(err.isEmpty()) << save.what;
    EXPECT_FALSE(err.contains("Unknown error")) << save.what << ": " << qPrintable(err);
    if (save.append) {
        // The lines that fitted stay, whole; the one that did not is taken back.
        const QByteArray now = readBytes(path);
        EXPECT_TRUE(now.startsWith(old) && now.endsWith("\r\n")) << save.what;
    } else {
        EXPECT_EQ(readBytes(path), old) << save.what;
    }
    EXPECT_EQ(entries(dir), before) << save.what;
}

INSTANTIATE_TEST_SUITE_P(EverySave, DataSafety, ::testing::Range(0, int(std::size(kSaves))),
                         [](const auto &info) {
                             QString n = QString::fromLatin1(kSaves[info.param].what);
                             n.replace(QLatin1Char(' '), QLatin1Char('_'));
                             return n.toStdString();
                         });

// ---------------------------------------------------------------------------
// Every reader takes only regular files: a device never ends (/dev/zero), a
// pipe waits for a writer for ever, a folder holds no lines. Each is refused
// at once with a message naming it.

#ifdef Q_OS_LINUX
#include "schedules/ftlfile.h"
#include "schedules/listfile.h"
#include <sys/stat.h>

TEST(DataSafetyRead, EveryReaderRefusesWhatIsNotARegularFile)
{
    using Reader = std::function<bool(const QString &path, QString *error)>;
    const std::pair<const char *, Reader> readers[] = {
        {"text lines",
         [](const QString &p, QString *e) {
             QStringList l;
             return textfile::readLines(p, &l, e);
         }},
        {"logbook", [](const QString &p, QString *e) { return okOr(logging2::LogBook().read(p, 1001), e); }},
        {"memory file",
         [](const QString &p, QString *e) {
             mem2::MemTable t;
             return mem2::readMemFile(p, t, nullptr, e);
         }},
        {"settings",
         [](const QString &p, QString *e) {
             Settings s;
             return settingsfile::load(p, &s, e);
         }},
        {"own list",
         [](const QString &p, QString *e) {
             std::shared_ptr<const schedlist::LineTable> t;
             return okOr(own2::read(p, 1000, &t), e);
         }},
        {".ftl list",
         [](const QString &p, QString *e) {
             ftl::Table t;
             return okOr(ftl::load(p, 1000, &t), e);
         }},
        {"schedule import",
         [](const QString &p, QString *e) {
             QStringList l;
             return okOr(eibi::read(p, {"EU"}, &l), e);
         }},
        {"database", [](const QString &p, QString *e) { return DbfTable::open(p, e) != nullptr; }},
    };
    QTemporaryDir tmp;
    const QString fifo = tmp.filePath("MEM_PIPE.TXT");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QDir().mkpath(tmp.filePath("LOG_DIR.TXT"));
    for (const QString &source : {QStringLiteral("/dev/zero"), fifo, tmp.filePath("LOG_DIR.TXT")}) {
        for (const auto &[what, read] : readers) {
            QString err;
            EXPECT_FALSE(read(source, &err)) << what << " " << qPrintable(source);
            EXPECT_TRUE(err.contains(QDir::toNativeSeparators(source)) || err.contains(source))
                << what << ": " << qPrintable(err);
            EXPECT_TRUE(err.contains("not a regular file") || err.contains("folder"))
                << what << ": " << qPrintable(err);
        }
    }
}
#endif
