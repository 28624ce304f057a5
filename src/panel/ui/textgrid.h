// A fixed matrix of text cells, as the control panel's selection grids use:
// a click (or Space / Enter on the current cell) selects a cell and reports
// its row and column. The texts are kept exactly as given, leading blanks
// included.
#pragma once
#include <QStringList>
#include <QWidget>

class TextGrid : public QWidget {
    Q_OBJECT
public:
    TextGrid(int rows, int cols, QWidget *parent = nullptr);

    int rows() const { return rows_; }
    int cols() const { return cols_; }
    // Cell texts row by row, left to right.
    void setCells(const QStringList &rowMajor);
    QString cellText(int r, int c) const;
    void setCellText(int r, int c, const QString &text);

    // The selected (last clicked) cell; -1 when none.
    int row() const { return row_; }
    int col() const { return col_; }
    void setCurrent(int r, int c);

    // Where a cell is drawn, in widget coordinates.
    QRect cellRect(int r, int c) const;
    QPoint cellCenter(int r, int c) const { return cellRect(r, c).center(); }
    void setCellSize(const QSize &s);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void cellClicked(int r, int c);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseReleaseEvent(QMouseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    bool cellAt(const QPoint &p, int *r, int *c) const;
    void activate(int r, int c);
    void describe();

    int rows_, cols_;
    QStringList cells_;
    QSize cell_{46, 20};
    int row_ = -1, col_ = -1;
    int focusRow_ = 0, focusCol_ = 0; // keyboard cursor
    int pressRow_ = -1, pressCol_ = -1;
};
