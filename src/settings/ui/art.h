// Artwork of the start window, drawn in code: the receiver picture and the
// four action images.
#pragma once
#include <QIcon>
#include <QRectF>
#include <QWidget>

class QPainter;

namespace art {

enum class Action { Go, Setup, About, Exit };

// The receiver picture scaled into r: a front panel with its frequency
// display, signal bar and tuning dial, and an antenna sending waves.
void paintReceiver(QPainter &p, const QRectF &r, const QString &caption);

// One action image (a round badge with a symbol), size x size pixels.
QPixmap actionPixmap(Action a, int size, qreal dpr = 1.0);
QIcon actionIcon(Action a);

} // namespace art

// The start window's picture `pic_welcome`: paints art::paintReceiver.
class WelcomePicture : public QWidget {
    Q_OBJECT
public:
    explicit WelcomePicture(const QString &caption, QWidget *parent = nullptr);
    QSize sizeHint() const override { return {540, 230}; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString caption_;
};
