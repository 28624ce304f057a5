#include "panel/ui/textgrid.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

TextGrid::TextGrid(int rows, int cols, QWidget *parent)
    : QWidget(parent), rows_(rows), cols_(cols)
{
    cells_.resize(rows * cols);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover, false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TextGrid::setCells(const QStringList &rowMajor)
{
    for (int i = 0; i < cells_.size(); ++i)
        cells_[i] = i < rowMajor.size() ? rowMajor.at(i) : QString();
    describe();
    update();
}

QString TextGrid::cellText(int r, int c) const
{
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_)
        return QString();
    return cells_.at(r * cols_ + c);
}

void TextGrid::setCellText(int r, int c, const QString &text)
{
    if (r < 0 || r >= rows_ || c < 0 || c >= cols_)
        return;
    cells_[r * cols_ + c] = text;
    update();
}

void TextGrid::setCurrent(int r, int c)
{
    row_ = r;
    col_ = c;
    if (r >= 0 && c >= 0) {
        focusRow_ = r;
        focusCol_ = c;
    }
    describe();
    update();
}

QRect TextGrid::cellRect(int r, int c) const
{
    return QRect(1 + c * cell_.width(), 1 + r * cell_.height(), cell_.width(), cell_.height());
}

void TextGrid::setCellSize(const QSize &s)
{
    cell_ = s;
    updateGeometry();
    update();
}

QSize TextGrid::sizeHint() const
{
    return QSize(cols_ * cell_.width() + 3, rows_ * cell_.height() + 3);
}

bool TextGrid::cellAt(const QPoint &p, int *r, int *c) const
{
    const int cc = (p.x() - 1) / cell_.width();
    const int rr = (p.y() - 1) / cell_.height();
    if (p.x() < 1 || p.y() < 1 || cc >= cols_ || rr >= rows_)
        return false;
    *r = rr;
    *c = cc;
    return true;
}

void TextGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const bool on = isEnabled();
    const QColor frame(0x0c, 0x0d, 0x0f);
    const QColor face = on ? QColor(0x2c, 0x30, 0x36) : QColor(0x2a, 0x2c, 0x30);
    const QColor text = on ? QColor(0xe6, 0xe8, 0xea) : QColor(0x74, 0x78, 0x7e);
    const QColor lit = on ? QColor(0xff, 0xb0, 0x40) : QColor(0x8a, 0x6c, 0x40);
    const QColor sep(0x45, 0x4a, 0x52);

    p.fillRect(rect(), frame);
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const QRect cr = cellRect(r, c).adjusted(0, 0, -1, -1);
            const bool sel = r == row_ && c == col_;
            QLinearGradient g(cr.topLeft(), cr.bottomLeft());
            if (sel) {
                g.setColorAt(0, lit.lighter(115));
                g.setColorAt(1, lit.darker(115));
            } else {
                g.setColorAt(0, face.lighter(118));
                g.setColorAt(1, face.darker(110));
            }
            p.fillRect(cr, g);
            p.setPen(sep);
            p.drawRect(cr.adjusted(0, 0, -1, -1));
            p.setPen(sel ? QColor(0x20, 0x14, 0x04) : text);
            p.drawText(cr, Qt::AlignCenter, cellText(r, c).trimmed());
        }
    }
    if (hasFocus() && focusRow_ >= 0 && focusCol_ >= 0) {
        QPen pen(QColor(0x7f, 0xd0, 0xff));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawRect(cellRect(focusRow_, focusCol_).adjusted(2, 2, -4, -4));
    }
}

void TextGrid::mousePressEvent(QMouseEvent *e)
{
    pressRow_ = pressCol_ = -1;
    if (e->button() == Qt::LeftButton)
        cellAt(e->position().toPoint(), &pressRow_, &pressCol_);
    e->accept();
}

void TextGrid::mouseReleaseEvent(QMouseEvent *e)
{
    e->accept();
    int r = -1, c = -1;
    if (e->button() != Qt::LeftButton || !cellAt(e->position().toPoint(), &r, &c))
        return;
    if (r != pressRow_ || c != pressCol_)
        return;
    pressRow_ = pressCol_ = -1;
    activate(r, c);
}

void TextGrid::mouseDoubleClickEvent(QMouseEvent *e)
{
    // A double-click is one click (the first press already made it); it
    // never reaches the window behind the grid.
    pressRow_ = pressCol_ = -1;
    e->accept();
}

void TextGrid::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Left:
        focusCol_ = qMax(0, focusCol_ - 1);
        break;
    case Qt::Key_Right:
        focusCol_ = qMin(cols_ - 1, focusCol_ + 1);
        break;
    case Qt::Key_Up:
        focusRow_ = qMax(0, focusRow_ - 1);
        break;
    case Qt::Key_Down:
        focusRow_ = qMin(rows_ - 1, focusRow_ + 1);
        break;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        activate(focusRow_, focusCol_);
        return;
    default:
        e->ignore(); // the window's keys (keypad) still work
        return;
    }
    update();
}

void TextGrid::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    update();
}

void TextGrid::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    update();
}

void TextGrid::activate(int r, int c)
{
    if (!isEnabled())
        return;
    setCurrent(r, c);
    emit cellClicked(r, c);
}

void TextGrid::describe()
{
    const QString cur = cellText(row_, col_).trimmed();
    setAccessibleDescription(cur.isEmpty() ? QString() : QStringLiteral("Selected: ") + cur);
}
