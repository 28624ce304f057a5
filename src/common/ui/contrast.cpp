#include "common/ui/contrast.h"

#include "common/ui/canvas.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace contrast {

namespace {
double channel(int v)
{
    const double c = v / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}
} // namespace

double luminance(const QColor &c)
{
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.red()) + 0.7152 * channel(rgb.green()) + 0.0722 * channel(rgb.blue());
}

double ratio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor onBlack(const QColor &c)
{
    const QColor black(0, 0, 0);
    QColor out = c.toRgb();
    // Mix with white in small steps: the hue stays recognisable.
    for (int k = 1; ratio(out, black) < kMinRatio && k <= 20; ++k) {
        const double t = k / 20.0;
        const QColor in = c.toRgb();
        out = QColor(int(std::lround(in.red() + (255 - in.red()) * t)),
                     int(std::lround(in.green() + (255 - in.green()) * t)),
                     int(std::lround(in.blue() + (255 - in.blue()) * t)));
    }
    return out;
}

QColor map(const QColor &c)
{
    const QColor rgb = c.toRgb();
    const QColor black(0, 0, 0), white(255, 255, 255);
    // The panels: a red of 127 or 128 and nothing else.
    if (rgb.green() == 0 && rgb.blue() == 0 && (rgb.red() == 128 || rgb.red() == 127))
        return black;
    if (rgb == black || rgb == white)
        return rgb;
    // The windows' light backgrounds (255, 239, 223 and the like), not the
    // bright marks (yellow, cyan).
    if (std::min({rgb.red(), rgb.green(), rgb.blue()}) >= 190)
        return white;
    return onBlack(rgb);
}

RowColours trackingRow(Row kind)
{
    switch (kind) {
    case Row::Station: return {QColor(96, 0, 96), QColor(255, 255, 255)};
    case Row::Target: return {QColor(255, 255, 0), QColor(0, 0, 0)};
    case Row::Plain: break;
    }
    return {QColor(0, 0, 0), QColor(255, 255, 255)};
}

void applyTo(QWidget *window)
{
    for (Canvas *c : window->findChildren<Canvas *>())
        c->setHighContrast(true);
    auto atLeast = [](QWidget *w) {
        QFont f = w->font();
        if (f.pointSizeF() > 0 && f.pointSizeF() < kMinPoints) {
            f.setPointSizeF(kMinPoints);
            w->setFont(f);
        }
    };
    for (QLabel *l : window->findChildren<QLabel *>())
        atLeast(l);
    for (QAbstractButton *b : window->findChildren<QAbstractButton *>())
        atLeast(b);
    for (Canvas *c : window->findChildren<Canvas *>())
        atLeast(c);
}

} // namespace contrast
