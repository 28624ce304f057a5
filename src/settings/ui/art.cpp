#include "settings/ui/art.h"

#include "common/ui/fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

namespace art {

namespace {

// The picture is designed on a 540 x 230 board and scaled to the widget.
constexpr qreal kW = 540, kH = 230;

QFont displayFont(qreal px, bool bold = true)
{
    QFont f = uifont::fixedFont(0, bold);
    f.setPixelSize(qMax(1, qRound(px)));
    return f;
}

QFont labelFont(qreal px, bool bold = false)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(qMax(1, qRound(px)));
    f.setBold(bold);
    return f;
}

void paintKnob(QPainter &p, QPointF c, qreal radius, bool grips)
{
    // Shadow, skirt, cap.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawEllipse(c + QPointF(2, 3), radius, radius);
    QRadialGradient skirt(c - QPointF(radius * 0.3, radius * 0.4), radius * 1.4);
    skirt.setColorAt(0, QColor(120, 126, 134));
    skirt.setColorAt(0.6, QColor(52, 56, 62));
    skirt.setColorAt(1, QColor(20, 22, 25));
    p.setBrush(skirt);
    p.setPen(QPen(QColor(10, 10, 12), 1));
    p.drawEllipse(c, radius, radius);
    if (grips) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(25, 27, 30));
        for (int i = 0; i < 24; ++i) {
            const qreal a = i * M_PI / 12;
            p.drawEllipse(c + QPointF(qCos(a), qSin(a)) * radius * 0.84, radius * 0.06,
                          radius * 0.06);
        }
    }
    const qreal capR = radius * (grips ? 0.66 : 0.72);
    QRadialGradient cap(c - QPointF(capR * 0.35, capR * 0.45), capR * 1.3);
    cap.setColorAt(0, QColor(210, 214, 220));
    cap.setColorAt(0.5, QColor(140, 146, 154));
    cap.setColorAt(1, QColor(70, 74, 80));
    p.setBrush(cap);
    p.setPen(QPen(QColor(40, 42, 46), 1));
    p.drawEllipse(c, capR, capR);
    // Finger dimple / pointer.
    const QPointF mark = c + QPointF(qCos(-M_PI / 3), qSin(-M_PI / 3)) * capR * 0.62;
    p.setPen(Qt::NoPen);
    p.setBrush(grips ? QColor(60, 64, 70) : QColor(255, 170, 40));
    p.drawEllipse(mark, capR * (grips ? 0.16 : 0.1), capR * (grips ? 0.16 : 0.1));
}

} // namespace

void paintReceiver(QPainter &p, const QRectF &r, const QString &caption)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const qreal s = qMin(r.width() / kW, r.height() / kH);
    p.translate(r.center().x() - kW * s / 2, r.center().y() - kH * s / 2);
    p.scale(s, s);

    // Night sky.
    QLinearGradient sky(0, 0, 0, kH);
    sky.setColorAt(0, QColor(10, 20, 38));
    sky.setColorAt(1, QColor(26, 40, 62));
    p.setPen(Qt::NoPen);
    p.setBrush(sky);
    p.drawRoundedRect(QRectF(0, 0, kW, kH), 10, 10);
    p.setBrush(QColor(255, 255, 255, 70));
    const QPointF stars[] = {{40, 30}, {120, 18}, {210, 42}, {300, 14}, {470, 26}, {515, 60},
                             {260, 70}, {160, 62}, {90, 78}};
    for (const QPointF &st : stars)
        p.drawEllipse(st, 1.1, 1.1);

    // Program name.
    p.setPen(QColor(236, 240, 246));
    p.setFont(labelFont(26, true));
    p.drawText(QRectF(24, 12, 320, 34), Qt::AlignLeft | Qt::AlignVCenter, caption);
    p.setPen(QColor(150, 170, 196));
    p.setFont(labelFont(12));
    p.drawText(QRectF(26, 46, 320, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Shortwave receiver control"));

    // Antenna mast and waves, standing on the cabinet's right.
    const QPointF tip(430, 34);
    p.setPen(QPen(QColor(190, 196, 204), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(430, 92), tip);
    p.setPen(QPen(QColor(190, 196, 204), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(430, 50), QPointF(420, 60));
    p.drawLine(QPointF(430, 50), QPointF(440, 60));
    p.setBrush(QColor(255, 170, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(tip, 3, 3);
    p.setBrush(Qt::NoBrush);
    for (int i = 1; i <= 3; ++i) {
        const qreal rad = 9.0 * i;
        p.setPen(QPen(QColor(255, 170, 40, 230 - 60 * i), 2.0, Qt::SolidLine, Qt::RoundCap));
        const QRectF arc(tip.x() - rad, tip.y() - rad, 2 * rad, 2 * rad);
        p.drawArc(arc, -40 * 16, 80 * 16);
        p.drawArc(arc, 140 * 16, 80 * 16);
    }

    // Cabinet with rack handles.
    const QRectF cab(22, 92, kW - 44, 122);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawRoundedRect(cab.translated(3, 5), 8, 8);
    QLinearGradient body(0, cab.top(), 0, cab.bottom());
    body.setColorAt(0, QColor(74, 80, 88));
    body.setColorAt(0.08, QColor(52, 57, 63));
    body.setColorAt(1, QColor(30, 33, 37));
    p.setBrush(body);
    p.setPen(QPen(QColor(96, 102, 110), 1));
    p.drawRoundedRect(cab, 8, 8);
    for (qreal hx : {cab.left() + 6.0, cab.right() - 16.0}) {
        QLinearGradient h(hx, 0, hx + 10, 0);
        h.setColorAt(0, QColor(200, 204, 210));
        h.setColorAt(1, QColor(110, 114, 120));
        p.setBrush(h);
        p.setPen(QPen(QColor(60, 62, 66), 0.8));
        p.drawRoundedRect(QRectF(hx, cab.top() + 14, 10, cab.height() - 28), 4, 4);
    }

    // Frequency display.
    const QRectF disp(52, 108, 250, 62);
    p.setPen(QPen(QColor(14, 16, 18), 2));
    p.setBrush(QColor(6, 18, 14));
    p.drawRoundedRect(disp, 4, 4);
    p.setPen(QColor(20, 60, 44));
    p.setFont(displayFont(34));
    p.drawText(disp.adjusted(10, 6, -44, -18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("88888.888"));
    p.setPen(QColor(96, 255, 200));
    p.drawText(disp.adjusted(10, 6, -44, -18), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral(" 9500.000"));
    p.setFont(displayFont(11));
    p.drawText(disp.adjusted(0, 10, -8, -24), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("kHz"));
    p.setFont(displayFont(10, false));
    p.setPen(QColor(96, 255, 200, 210));
    p.drawText(disp.adjusted(10, 44, -10, -4), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("AM   WIDE   AGC-S"));
    p.drawText(disp.adjusted(10, 44, -10, -4), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("CH 012"));

    // Signal bar under the display.
    for (int i = 0; i < 20; ++i) {
        const QColor on = i < 12 ? QColor(80, 230, 120) : (i < 16 ? QColor(250, 210, 60) : QColor(250, 90, 70));
        const bool lit = i < 14;
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? on : QColor(on.red() / 5, on.green() / 5, on.blue() / 5));
        p.drawRoundedRect(QRectF(54 + i * 12.4, 180, 9, 8), 1.5, 1.5);
    }
    p.setPen(QColor(150, 156, 164));
    p.setFont(labelFont(8));
    p.drawText(QRectF(54, 190, 40, 12), Qt::AlignLeft, QStringLiteral("S1"));
    p.drawText(QRectF(150, 190, 40, 12), Qt::AlignLeft, QStringLiteral("S9"));
    p.drawText(QRectF(262, 190, 40, 12), Qt::AlignLeft, QStringLiteral("+60"));

    // Small controls and the tuning dial.
    const char *knobLabels[] = {"AF", "RF", "BWC"};
    for (int i = 0; i < 3; ++i) {
        const QPointF c(332, 118 + i * 30);
        paintKnob(p, c, 10, false);
        p.setPen(QColor(170, 176, 184));
        p.setFont(labelFont(8, true));
        p.drawText(QRectF(c.x() + 14, c.y() - 6, 30, 12), Qt::AlignLeft | Qt::AlignVCenter,
                   QString::fromLatin1(knobLabels[i]));
    }
    paintKnob(p, QPointF(436, 153), 42, true);
    p.setPen(QColor(170, 176, 184));
    p.setFont(labelFont(8, true));
    p.drawText(QRectF(400, 198, 72, 12), Qt::AlignCenter, QStringLiteral("TUNING"));
    // Power lamp.
    p.setPen(Qt::NoPen);
    QRadialGradient lamp(QPointF(384, 110), 6);
    lamp.setColorAt(0, QColor(255, 220, 140));
    lamp.setColorAt(1, QColor(255, 140, 20));
    p.setBrush(lamp);
    p.drawEllipse(QPointF(384, 110), 3.5, 3.5);
    p.restore();
}

QPixmap actionPixmap(Action a, int size, qreal dpr)
{
    QPixmap pm(qRound(size * dpr), qRound(size * dpr));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    QColor top, bottom;
    switch (a) {
    case Action::Go: top = QColor(92, 214, 120); bottom = QColor(24, 128, 56); break;
    case Action::Setup: top = QColor(150, 164, 184); bottom = QColor(62, 74, 94); break;
    case Action::About: top = QColor(100, 170, 250); bottom = QColor(28, 84, 170); break;
    case Action::Exit: top = QColor(248, 112, 96); bottom = QColor(164, 32, 28); break;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QPointF(33, 34), 28, 28);
    QLinearGradient g(0, 4, 0, 60);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setBrush(g);
    p.setPen(QPen(bottom.darker(140), 1.5));
    p.drawEllipse(QPointF(32, 32), 28, 28);
    // Gloss.
    p.setPen(Qt::NoPen);
    QLinearGradient gloss(0, 5, 0, 32);
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(12, 6, 40, 26));

    const QColor ink(255, 255, 255);
    switch (a) {
    case Action::Go: {
        QPainterPath tri;
        tri.moveTo(25, 18);
        tri.lineTo(47, 32);
        tri.lineTo(25, 46);
        tri.closeSubpath();
        p.setBrush(ink);
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(tri);
        break;
    }
    case Action::Setup: {
        // Three sliders.
        p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
        const qreal xs[3] = {22, 32, 42};
        const qreal ks[3] = {38, 24, 33};
        for (int i = 0; i < 3; ++i)
            p.drawLine(QPointF(xs[i], 17), QPointF(xs[i], 47));
        p.setPen(QPen(bottom.darker(130), 1.5));
        p.setBrush(ink);
        for (int i = 0; i < 3; ++i)
            p.drawRoundedRect(QRectF(xs[i] - 5, ks[i] - 3.5, 10, 7), 2, 2);
        break;
    }
    case Action::About: {
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(QPointF(32, 19), 4, 4);
        p.drawRoundedRect(QRectF(28, 27, 8, 21), 2.5, 2.5);
        p.drawRoundedRect(QRectF(24, 27, 8, 4), 1.5, 1.5);
        p.drawRoundedRect(QRectF(24, 45, 16, 4), 1.5, 1.5);
        break;
    }
    case Action::Exit: {
        p.setPen(QPen(ink, 4, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(19, 20, 26, 26), 120 * 16, 300 * 16);
        p.drawLine(QPointF(32, 15), QPointF(32, 31));
        break;
    }
    }
    return pm;
}

QIcon actionIcon(Action a)
{
    QIcon icon;
    for (int size : {32, 48, 64})
        icon.addPixmap(actionPixmap(a, size));
    icon.addPixmap(actionPixmap(a, 48, 2.0));
    return icon;
}

} // namespace art

WelcomePicture::WelcomePicture(const QString &caption, QWidget *parent)
    : QWidget(parent), caption_(caption)
{
    setMinimumSize(432, 184);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void WelcomePicture::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    art::paintReceiver(p, rect(), caption_);
}
