#include "schedules/dbftable.h"

#include "common/textfile.h"
#include "schedules/codepage.h"

#include <QDir>
#include <QFileInfo>

#include <shapefil.h>

int MemoryTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < fields_.size(); ++i)
        if (fields_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QString> MemoryTable::value(int record, int field)
{
    if (record < 0 || record >= rows_.size() || field < 0)
        return std::nullopt;
    return rows_.at(record).value(field, std::nullopt);
}

namespace {

// shapelib reports failures through a hook; keep the last one.
thread_local QString g_lastDbfError;

void captureError(const char *message)
{
    g_lastDbfError = QString::fromLocal8Bit(message);
}

// Header facts read directly so that a cut file is noticed before a read.
struct Header {
    bool ok = false;
    qint64 records = 0;
    int headerLen = 0;
    int recordLen = 0;
    int driver = 0; // language driver (byte 29)
};

Header readHeader(const QString &path)
{
    Header h;
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return h;
    const QByteArray b = f.read(32);
    if (b.size() < 32)
        return h;
    auto u = [&](int i) { return quint32(quint8(b.at(i))); };
    h.records = qint64(u(4) | (u(5) << 8) | (u(6) << 16) | (u(7) << 24));
    h.headerLen = int(u(8) | (u(9) << 8));
    h.recordLen = int(u(10) | (u(11) << 8));
    h.driver = int(u(29));
    h.ok = h.headerLen > 32 && h.recordLen > 0;
    return h;
}

} // namespace

DbfTable::~DbfTable()
{
    if (h_)
        DBFClose(static_cast<DBFHandle>(h_));
}

std::unique_ptr<DbfTable> DbfTable::open(const QString &path, QString *error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFileInfo fi(path);
    if (!fi.exists()) {
        *error = QStringLiteral("%1 does not exist.").arg(shown);
        return nullptr;
    }
    if (!fi.isFile()) {
        // A device would never end and a pipe would wait for ever.
        *error = QStringLiteral("%1 cannot be read: it is not a regular file.").arg(shown);
        return nullptr;
    }
    if (!fi.isReadable()) {
        *error = QStringLiteral("%1 cannot be read (no permission).").arg(shown);
        return nullptr;
    }
    const Header hd = readHeader(path);
    if (!hd.ok) {
        *error = QStringLiteral("%1 is not a dBASE table (its header is damaged or too short).")
                     .arg(shown);
        return nullptr;
    }
    if (hd.headerLen > fi.size()) {
        *error = QStringLiteral("%1 is damaged: the file ends inside its header.").arg(shown);
        return nullptr;
    }

    SAHooks hooks;
    SASetupDefaultHooks(&hooks);
    hooks.Error = captureError;
    g_lastDbfError.clear();
    const QByteArray native = QFile::encodeName(path);
    DBFHandle h = DBFOpenLL(native.constData(), "rb", &hooks);
    if (!h) {
        *error = QStringLiteral("%1 could not be opened as a dBASE table%2.")
                     .arg(shown, g_lastDbfError.isEmpty() ? QString()
                                                          : QStringLiteral(": ") + g_lastDbfError);
        return nullptr;
    }
    std::unique_ptr<DbfTable> t(new DbfTable);
    t->h_ = h;
    t->path_ = path;
    t->codePage_ = codepage::ofDbaseDriver(hd.driver);
    t->announced_ = DBFGetRecordCount(h);
    // Complete records present in the file.
    const qint64 present = (fi.size() - hd.headerLen) / hd.recordLen;
    t->count_ = int(qMin<qint64>(t->announced_, qMax<qint64>(0, present)));
    const int n = DBFGetFieldCount(h);
    int offset = 1; // the deletion mark comes first
    for (int i = 0; i < n; ++i) {
        char name[XBASE_FLDNAME_LEN_READ + 1] = {};
        int width = 0, decimals = 0;
        DBFGetFieldInfo(h, i, name, &width, &decimals);
        t->names_.append(QString::fromLatin1(name).trimmed());
        t->offsets_.append(offset);
        t->widths_.append(width);
        t->types_.append(DBFGetNativeFieldType(h, i));
        offset += width;
    }
    return t;
}

int DbfTable::fieldIndex(const QString &name) const
{
    for (int i = 0; i < names_.size(); ++i)
        if (names_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

std::optional<QString> DbfTable::value(int record, int field)
{
    error_.clear();
    if (record < 0 || record >= count_ || field < 0 || field >= names_.size())
        return std::nullopt;
    auto h = static_cast<DBFHandle>(h_);
    g_lastDbfError.clear();
    // The library returns pointers into its own buffer, valid only until the
    // next call: copy each string out at once.
    const char *tuple = DBFReadTuple(h, record);
    if (!tuple) {
        error_ = g_lastDbfError.isEmpty() ? QStringLiteral("the record could not be read")
                                          : g_lastDbfError;
        return std::nullopt;
    }
    const QByteArray raw(tuple + offsets_.at(field), widths_.at(field));
    // Text is taken from the record itself: the library's copy ends at the
    // first NUL. Control characters (a NUL, a CR LF) become blanks, the
    // trailing padding goes, the leading blanks stay.
    if (types_.at(field) == 'C') {
        QString v = textfile::cleanLine(codepage::decode(raw, codePage_));
        while (v.endsWith(QLatin1Char(' ')))
            v.chop(1);
        if (v.isEmpty())
            return std::nullopt;
        return v;
    }
    if (DBFIsAttributeNULL(h, record, field))
        return std::nullopt;
    const char *s = DBFReadStringAttribute(h, record, field);
    if (!s) {
        error_ = g_lastDbfError.isEmpty() ? QStringLiteral("the field could not be read")
                                          : g_lastDbfError;
        return std::nullopt;
    }
    return textfile::cleanLine(codepage::decode(QByteArrayView(s), codePage_));
}

bool DbfTable::deleted(int record)
{
    if (record < 0 || record >= count_)
        return false;
    return DBFIsRecordDeleted(static_cast<DBFHandle>(h_), record) != 0;
}
