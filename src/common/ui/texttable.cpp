#include "common/ui/texttable.h"

#include <QStringList>

Qt::Alignment TextTableModel::alignment(int, int) const
{
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QVariant TextTableModel::foreground(int, int) const
{
    return {};
}

QString TextTableModel::toolTip(int, int) const
{
    return {};
}

QString TextTableModel::titleTip(int) const
{
    return {};
}

QString TextTableModel::accessibleText(int row, int column) const
{
    return cell(row, column);
}

QString TextTableModel::rowText(int row) const
{
    QStringList cells;
    for (int c = 0; c < columnCount(); ++c)
        cells << cell(row, c);
    return cells.join(QLatin1Char('\t'));
}

QVariant TextTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int r = index.row(), c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return cell(r, c);
    case Qt::AccessibleTextRole:
        return accessibleText(r, c);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(alignment(r, c));
    case Qt::ForegroundRole:
        return foreground(r, c);
    case Qt::ToolTipRole: {
        const QString tip = toolTip(r, c);
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    default:
        return {};
    }
}

QVariant TextTableModel::headerData(int section, Qt::Orientation o, int role) const
{
    if (o == Qt::Horizontal) {
        switch (role) {
        case Qt::DisplayRole:
            return title(section);
        case Qt::ToolTipRole: {
            const QString tip = titleTip(section);
            return tip.isEmpty() ? QVariant() : QVariant(tip);
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(alignment(-1, section));
        default:
            break;
        }
    }
    return QAbstractTableModel::headerData(section, o, role);
}
