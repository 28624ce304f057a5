#include "common/ui/canvas.h"

#include "common/ui/contrast.h"

#include <QFileInfo>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QSaveFile>
#include <algorithm>

Canvas::Canvas(int w, int h, const QColor &background, QWidget *parent)
    : QWidget(parent), img_(std::max(w, 1), std::max(h, 1), QImage::Format_RGB32)
{
    img_.fill(background);
    setFixedSize(img_.size());
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Canvas::setHighContrast(bool on)
{
    if (hc_ == on)
        return;
    hc_ = on;
    if (!on)
        return;
    QHash<QRgb, QRgb> done;
    for (int y = 0; y < img_.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(img_.scanLine(y));
        for (int x = 0; x < img_.width(); ++x) {
            auto it = done.constFind(row[x]);
            if (it == done.constEnd())
                it = done.insert(row[x], contrast::map(QColor::fromRgb(row[x])).rgb());
            row[x] = it.value();
        }
    }
    update();
}

QColor Canvas::mark(const QColor &c) const
{
    return hc_ ? contrast::map(c) : c;
}

QColor Canvas::palette(int i)
{
    static const QRgb pal[16] = {
        qRgb(0, 0, 0),       qRgb(0, 0, 128),     qRgb(0, 128, 0),     qRgb(0, 128, 128),
        qRgb(128, 0, 0),     qRgb(128, 0, 128),   qRgb(128, 128, 0),   qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(0, 0, 255),     qRgb(0, 255, 0),     qRgb(0, 255, 255),
        qRgb(255, 0, 0),     qRgb(255, 0, 255),   qRgb(255, 255, 0),   qRgb(255, 255, 255),
    };
    return QColor(pal[i & 15]);
}

void Canvas::line(int x1, int y1, int x2, int y2, const QColor &given)
{
    const QColor c = mark(given);
    {
        QPainter p(&img_);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(c, 1));
        if (x1 == x2 && y1 == y2)
            p.drawPoint(x1, y1);
        else
            p.drawLine(x1, y1, x2, y2);
    }
    // Both ends belong to the line whatever the painter does with the last one.
    if (img_.rect().contains(x2, y2))
        img_.setPixelColor(x2, y2, c);
    if (img_.rect().contains(x1, y1))
        img_.setPixelColor(x1, y1, c);
    update();
}

void Canvas::fillRect(int x1, int y1, int x2, int y2, const QColor &given)
{
    const QColor c = mark(given);
    const QRect r = QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                          QPoint(std::max(x1, x2), std::max(y1, y2)))
                        .intersected(img_.rect());
    if (r.isEmpty())
        return;
    QPainter p(&img_);
    p.fillRect(r, c);
    update();
}

void Canvas::rect(int x1, int y1, int x2, int y2, const QColor &c)
{
    const int l = std::min(x1, x2), r = std::max(x1, x2);
    const int t = std::min(y1, y2), b = std::max(y1, y2);
    line(l, t, r, t, c);
    line(l, b, r, b, c);
    line(l, t, l, b, c);
    line(r, t, r, b, c);
}

void Canvas::point(int x, int y, const QColor &c)
{
    if (!img_.rect().contains(x, y))
        return;
    img_.setPixelColor(x, y, mark(c));
    update();
}

void Canvas::text(int x, int y, const QString &s, const QColor &c)
{
    QFont f = font();
    if (hc_ && f.pointSizeF() > 0 && f.pointSizeF() < contrast::kMinPoints)
        f.setPointSizeF(contrast::kMinPoints);
    QPainter p(&img_);
    p.setPen(mark(c));
    p.setFont(f);
    const QFontMetrics fm(f);
    p.drawText(QPoint(x, y + fm.ascent()), s);
    update();
}

void Canvas::clear(const QColor &c)
{
    img_.fill(mark(c));
    update();
}

void Canvas::drawImage(int x, int y, const QImage &img)
{
    QPainter p(&img_);
    p.drawImage(x, y, img);
    update();
}

bool Canvas::savePng(const QString &path, QString *error) const
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || !img_.save(&f, "PNG") || !f.commit()) {
        if (error)
            *error = QStringLiteral("The picture could not be saved to the file %1\n%2")
                         .arg(QFileInfo(path).fileName(), f.errorString());
        return false;
    }
    return true;
}

void Canvas::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawImage(0, 0, img_);
}

void Canvas::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::LeftButton)
        emit clicked(e->position().toPoint());
    QWidget::mousePressEvent(e);
}

void Canvas::mouseMoveEvent(QMouseEvent *e)
{
    emit moved(e->position().toPoint());
    QWidget::mouseMoveEvent(e);
}
