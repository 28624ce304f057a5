// The grid of a list window: a table model whose rows are line numbers of a
// line table (cells are made from the line when they are shown), and a table
// view that tunes on double-click or Enter and keeps column 0 in view.
#pragma once
#include "common/ui/texttable.h"
#include "schedules/listfile.h"

#include <QFont>
#include <QTableView>

class ListModel : public TextTableModel {
    Q_OBJECT
public:
    explicit ListModel(schedlist::Kind kind, QObject *parent = nullptr);

    schedlist::Kind kind() const { return kind_; }
    // Shows the given lines of the table (row r = table line rows[r]).
    void setRows(std::shared_ptr<const schedlist::LineTable> table, QList<int> rows);
    // Empties the grid down to its top row.
    void clear();
    // The table the rows point into (may be older than the window's current
    // table when a selection was cancelled).
    const std::shared_ptr<const schedlist::LineTable> &table() const { return table_; }
    int lineOfRow(int row) const { return rows_.at(row); }

    QString cell(int row, int column) const override;
    QString title(int column) const override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;

private:
    const QList<QString> &cachedRow(int row) const;

    schedlist::Kind kind_;
    std::shared_ptr<const schedlist::LineTable> table_;
    QList<int> rows_;
    mutable int cachedRow_ = -1;
    mutable QList<QString> cache_;
};

class ListView : public QTableView {
    Q_OBJECT
public:
    explicit ListView(QWidget *parent = nullptr);

signals:
    // Double-click or Enter on a cell.
    void tuneRequested(const QModelIndex &index);

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
};
