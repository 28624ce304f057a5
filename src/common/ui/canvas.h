// A drawing area that keeps its picture in an off-screen image: lines,
// filled and outlined rectangles, points and text in pixel coordinates, with
// RGB colours and the 16-colour palette. The widget paints the image on
// demand; tests read its pixels.
#pragma once
#include <QColor>
#include <QImage>
#include <QWidget>

class Canvas : public QWidget {
    Q_OBJECT
public:
    // w x h pixels, filled with background.
    Canvas(int w, int h, const QColor &background, QWidget *parent = nullptr);

    // Colour i (0 to 15) of the 16-colour palette: 0 black, 4 dark red,
    // 10 bright green, 12 bright red, 14 yellow, 15 white...
    static QColor palette(int i);

    // Line from (x1, y1) to (x2, y2), both end points drawn.
    void line(int x1, int y1, int x2, int y2, const QColor &c);
    // Filled rectangle with corners (x1, y1) and (x2, y2), both included, in
    // whichever order the corners come.
    void fillRect(int x1, int y1, int x2, int y2, const QColor &c);
    // Outline of the same rectangle.
    void rect(int x1, int y1, int x2, int y2, const QColor &c);
    void point(int x, int y, const QColor &c);
    // Text with its top-left corner at (x, y).
    void text(int x, int y, const QString &s, const QColor &c);
    // The whole picture in one colour.
    void clear(const QColor &c);
    // A ready picture drawn at (x, y) (a loaded picture, a saved state).
    void drawImage(int x, int y, const QImage &img);

    const QImage &image() const { return img_; }
    QColor pixel(int x, int y) const { return img_.pixelColor(x, y); }
    QColor foreground() const { return fg_; }
    void setForeground(const QColor &c) { fg_ = c; }
    // Saves the picture as PNG; false with a reason on failure.
    bool savePng(const QString &path, QString *error) const;

    // High contrast: every colour drawn goes through contrast::map (dark red
    // panels black, light backgrounds white, marks light enough on black),
    // the picture drawn so far too; text from then on is at least 9 pt.
    void setHighContrast(bool on);
    bool highContrast() const { return hc_; }

    QSize sizeHint() const override { return img_.size(); }
    QSize minimumSizeHint() const override { return img_.size(); }

signals:
    // A left-button click at a pixel of the picture.
    void clicked(QPoint at);
    // The pointer moved over the picture (with mouse tracking on).
    void moved(QPoint at);

protected:
    void paintEvent(QPaintEvent *) override;
    void mousePressEvent(QMouseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;

private:
    QColor mark(const QColor &c) const;
    QImage img_;
    QColor fg_ = Qt::black;
    bool hc_ = false;
};
