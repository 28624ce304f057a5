// A small read-only table reader: records of named text fields, with Null
// values told apart. The broadcast database conversion reads through it, so
// that tests can hand in records without a file.
#pragma once
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class TableReader {
public:
    virtual ~TableReader() = default;
    // Number of records (0-based indexes 0 .. count-1).
    virtual int recordCount() const = 0;
    // Index of a field by name (letter case ignored), -1 when there is none.
    virtual int fieldIndex(const QString &name) const = 0;
    // The text of a field; std::nullopt for a Null value. On a read failure
    // the value is Null and error() says why.
    virtual std::optional<QString> value(int record, int field) = 0;
    // Records marked as deleted are left out of the conversion.
    virtual bool deleted(int /*record*/) { return false; }
    // The last read failure ("" when none).
    virtual QString error() const { return {}; }
};

// Records held in memory, fields by name (tests, imports).
class MemoryTable : public TableReader {
public:
    explicit MemoryTable(QStringList fields) : fields_(std::move(fields)) {}
    // One record: a value per field, std::nullopt = Null. Missing trailing
    // values are Null.
    void add(QList<std::optional<QString>> values) { rows_.append(std::move(values)); }
    int recordCount() const override { return int(rows_.size()); }
    int fieldIndex(const QString &name) const override;
    std::optional<QString> value(int record, int field) override;

private:
    QStringList fields_;
    QList<QList<std::optional<QString>>> rows_;
};

// A dBASE table (.dbf) opened read-only through shapelib.
//
// - Text is decoded by the code page the table's language driver names
//   (437, 850, 852, 866, 1252); a table that names none, or one not known
//   here, is read as UTF-8 when valid, else Windows-1252.
// - Control characters in a value (a NUL, a CR LF) read as blanks, so a
//   value is never cut short and never holds a line break.
// - A character value keeps its leading blanks and loses its trailing
//   padding; an all-blank or empty value is Null.
// - A file shorter than its header announces is opened with the complete
//   records only; truncatedFrom() tells how many the header promised.
class DbfTable : public TableReader {
public:
    ~DbfTable() override;
    // Opens path; nullptr with *error naming the file and the reason.
    static std::unique_ptr<DbfTable> open(const QString &path, QString *error);

    int recordCount() const override { return count_; }
    int fieldIndex(const QString &name) const override;
    std::optional<QString> value(int record, int field) override;
    bool deleted(int record) override;
    QString error() const override { return error_; }

    // Records the header announces (> recordCount() when the file is cut).
    int announced() const { return announced_; }
    QString path() const { return path_; }
    // The code page text is decoded by (0: none named, see above).
    int codePage() const { return codePage_; }

private:
    DbfTable() = default;
    void *h_ = nullptr; // DBFHandle
    QString path_;
    int count_ = 0;
    int announced_ = 0;
    int codePage_ = 0;
    QStringList names_;
    QList<int> offsets_, widths_;
    QList<char> types_;
    QString error_;
};
