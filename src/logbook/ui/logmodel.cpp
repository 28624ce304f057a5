#include "logbook/ui/logmodel.h"

#include "common/ui/hints.h"

LogModel::LogModel(const logging2::LogBook &book, QObject *parent)
    : TextTableModel(parent), book_(book)
{
    fields_ = logging2::shownFields(QString::fromLatin1(logging2::kDefaultFormat));
}

void LogModel::fill(const QString &format)
{
    beginResetModel();
    fields_ = logging2::shownFields(format);
    shown_ = book_.hasTable() ? book_.count() : 0;
    endResetModel();
}

void LogModel::setFormat(const QString &format)
{
    const QList<int> f = logging2::shownFields(format);
    if (f == fields_)
        return;
    beginResetModel();
    fields_ = f;
    endResetModel();
}

void LogModel::clear()
{
    beginResetModel();
    shown_ = 0;
    endResetModel();
}

void LogModel::appendLast()
{
    if (shown_ >= book_.count())
        return;
    beginInsertRows(QModelIndex(), shown_, shown_);
    ++shown_;
    endInsertRows();
}

QString LogModel::cell(int row, int column) const
{
    if (row < 0 || row >= shown_ || row >= book_.count() || column < 0 || column >= columnCount())
        return QString();
    if (column == 0)
        return logging2::recordNumber(row);
    return book_.record(row)[fields_.at(column - 1)];
}

int LogModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : shown_;
}

int LogModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(fields_.size()) + 1;
}

QString LogModel::title(int column) const
{
    if (column == 0)
        return QStringLiteral("No.");
    // Short titles: the columns are as narrow as their fields.
    static const QStringList titles = {
        QStringLiteral("Date"),    QStringLiteral("Begin"),    QStringLiteral("End"),  QStringLiteral("Frequency"),
        QStringLiteral("SINPO"),   QStringLiteral("Lng"),      QStringLiteral("BC Org."),
        QStringLiteral("Tx Location"), QStringLiteral("// 1"), QStringLiteral("// 2"), QStringLiteral("// 3"),
        QStringLiteral("// 4"),    QStringLiteral("Remarks"),  QStringLiteral("abmg"), QStringLiteral("pqrs")};
    const int f = fieldOf(column);
    return f < 0 ? QString() : titles.value(f);
}

QString LogModel::titleTip(int column) const
{
    // The short titles explained as the format dialog's boxes are.
    const int f = fieldOf(column);
    if (f == 5)
        return QStringLiteral("Lng: the language of the broadcast");
    return uihints::of(QStringLiteral("logfmt2"), QStringLiteral("chk_fmt_%1").arg(f));
}
