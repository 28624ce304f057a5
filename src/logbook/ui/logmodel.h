// The log grid's model: row r shows record r of the log (record number, then
// the fields the screen format shows). Rows are made from the records when
// they are painted, so a log of thousands of records fills at once.
#pragma once
#include "common/ui/texttable.h"
#include "logbook/logging2.h"

class LogModel : public TextTableModel {
    Q_OBJECT
public:
    explicit LogModel(const logging2::LogBook &book, QObject *parent = nullptr);

    // Fill log grid: every record of the table, with the fields of format.
    void fill(const QString &format);
    // The columns of a format; the rows shown stay.
    void setFormat(const QString &format);
    // Empties the grid down to its top row.
    void clear();
    // Appends the row of the last record (a record added in the dialog).
    void appendLast();
    // Rows shown.
    int shown() const { return shown_; }
    // The field shown in a grid column (-1 for the record-number column).
    int fieldOf(int column) const { return column <= 0 ? -1 : fields_.value(column - 1, -1); }
    QString cell(int row, int column) const override;
    QString title(int column) const override;
    QString titleTip(int column) const override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;

private:
    const logging2::LogBook &book_;
    QList<int> fields_;
    int shown_ = 0;
};
