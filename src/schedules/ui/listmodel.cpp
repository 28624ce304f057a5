#include "schedules/ui/listmodel.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

// ---------------------------------------------------------------------------

ListModel::ListModel(schedlist::Kind kind, QObject *parent)
    : TextTableModel(parent), kind_(kind)
{
}

void ListModel::setRows(std::shared_ptr<const schedlist::LineTable> table, QList<int> rows)
{
    beginResetModel();
    table_ = std::move(table);
    rows_ = std::move(rows);
    cachedRow_ = -1;
    endResetModel();
}

void ListModel::clear()
{
    setRows(nullptr, {});
}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : schedlist::layoutOf(kind_).columns;
}

const QList<QString> &ListModel::cachedRow(int row) const
{
    if (row != cachedRow_) {
        cache_ = schedlist::rowOf(kind_, table_->line(rows_.at(row)));
        cachedRow_ = row;
    }
    return cache_;
}

QString ListModel::cell(int row, int column) const
{
    if (!table_ || row < 0 || row >= rows_.size() || column < 0 || column >= columnCount())
        return QString();
    return cachedRow(row).at(column);
}

QString ListModel::title(int column) const
{
    const auto &titles = schedlist::layoutOf(kind_).titles;
    return column >= 0 && column < titles.size() ? titles.at(column) : QString();
}

// ---------------------------------------------------------------------------

ListView::ListView(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTextElideMode(Qt::ElideNone);
    verticalHeader()->hide();
    // Every row has the same height: the view never measures 30,000 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(false);
    horizontalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void ListView::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (currentIndex().isValid())
            emit tuneRequested(currentIndex());
        e->accept();
        return;
    }
    QTableView::keyPressEvent(e);
}

void ListView::mouseDoubleClickEvent(QMouseEvent *e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    if (e->button() == Qt::LeftButton && idx.isValid()) {
        setCurrentIndex(idx);
        emit tuneRequested(idx);
        e->accept();
        return;
    }
    QTableView::mouseDoubleClickEvent(e);
}

void ListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    // After a move, column 0 is always the left-most visible column.
    if (horizontalScrollBar()->value() != 0)
        horizontalScrollBar()->setValue(0);
}
