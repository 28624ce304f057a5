// Helpers for the fuzz targets: the input as a file (for readers that take a
// path), and a check that stops the run when a property fails.
#pragma once
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace fuzzkit {

// A scratch folder of this process, created once.
inline QString scratchDir()
{
    static const QString dir = [] {
        // Memory-backed when the system has it: the savers sync to disk, and
        // a disk sync per input would make the run crawl.
        const QString root = QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                        : QDir::tempPath();
        const QString d = root + QStringLiteral("/vorantis-fuzz-") +
                          QString::number(::getpid()) + QLatin1Char('/');
        QDir().mkpath(d);
        return d;
    }();
    return dir;
}

// Writes the input to a file and returns its path.
inline QString asFile(const uint8_t *data, size_t size, const QString &name = QStringLiteral("input.txt"))
{
    const QString path = scratchDir() + name;
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    return path;
}

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// A failed property is a finding.
inline void check(bool ok, const char *what)
{
    if (!ok) {
        std::fprintf(stderr, "property failed: %s\n", what);
        std::abort();
    }
}

} // namespace fuzzkit
