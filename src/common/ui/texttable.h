// The model of a grid of texts: a derived model says what a cell and a
// column title read; alignment, colour, tool tip and what a screen reader
// speaks have hooks with the grids' usual answers.
#pragma once
#include <QAbstractTableModel>
#include <QString>

class TextTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The text of a cell, as the grid shows it ("" outside the grid).
    virtual QString cell(int row, int column) const = 0;
    // A column's title.
    virtual QString title(int column) const = 0;

    // Left-aligned and vertically centred, cells and titles alike.
    virtual Qt::Alignment alignment(int row, int column) const;
    // The text colour (none: the view's).
    virtual QVariant foreground(int row, int column) const;
    // A cell's tool tip (none by default) and a title's.
    virtual QString toolTip(int row, int column) const;
    virtual QString titleTip(int column) const;
    // What a screen reader speaks for a cell: its text.
    virtual QString accessibleText(int row, int column) const;

    // The whole row as one grid line: cells separated by TAB.
    QString rowText(int row) const;

    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
};
