#include "measure/ui/smeter.h"

#include "common/ui/canvas.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QColor kBg = QColor::fromRgb(Smeter::kBackground);
const QColor kDarkRed = QColor::fromRgb(Smeter::kDark);
// The pictures' places on the window's scale.
constexpr int kPicX = 16, kHistoY = 6, kMeterY = 80;
} // namespace

Smeter::Smeter(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("Smeter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("S-meter (Antenna input)"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBg);
    setPalette(pal);
    setAutoFillBackground(true);

    scale = new Canvas(236, 156, kBg, this);
    scale->setObjectName(QStringLiteral("scale"));
    scale->setAccessibleName(QStringLiteral("S-meter scale"));
    pic_histo = new Canvas(200, 64, kDarkRed, scale);
    pic_histo->setObjectName(QStringLiteral("pic_histo"));
    pic_histo->setAccessibleName(QStringLiteral("Histogram of the last 60 readings"));
    pic_histo->move(kPicX, kHistoY);
    pic_Smeter = new Canvas(200, 16, kDarkRed, scale);
    pic_Smeter->setObjectName(QStringLiteral("pic_Smeter"));
    pic_Smeter->setAccessibleName(QStringLiteral("S-meter needle"));
    pic_Smeter->move(kPicX, kMeterY);

    QFont small = font();
    small.setPointSizeF(qMax(6.0, small.pointSizeF() - 2));
    for (int i = 0; i < 6; ++i) {
        const auto &m = meter::kMarks[size_t(i)];
        lbl_s[i] = new QLabel(QString::fromLatin1(m.label), scale);
        lbl_s[i]->setObjectName(QStringLiteral("lbl_s%1").arg(i));
        lbl_s[i]->setAlignment(Qt::AlignCenter);
        lbl_s[i]->setFont(small);
        lbl_s[i]->setGeometry(16 + 40 * i - 14, 113, 28, 14);
    }
    static const int segL[5] = {16, 36, 66, 96, 146}, segR[5] = {36, 66, 96, 146, 216};
    for (int i = 0; i < 5; ++i) {
        lbl_sinpo[i] = new QLabel(QString::number(i + 1), scale);
        lbl_sinpo[i]->setObjectName(QStringLiteral("lbl_sinpo%1").arg(i));
        lbl_sinpo[i]->setAlignment(Qt::AlignCenter);
        lbl_sinpo[i]->setFont(small);
        // Light figures on the dark segments, dark ones in the gaps.
        lbl_sinpo[i]->setStyleSheet(i % 2 == 0 ? QStringLiteral("color: white")
                                               : QStringLiteral("color: black"));
        lbl_sinpo[i]->setGeometry(segL[i] + 1, 132, segR[i] - segL[i] - 1, 15);
    }

    cmd_start = measureui::button(this, "cmd_start", QStringLiteral("&Start"));
    cmd_stop = measureui::button(this, "cmd_stop", QStringLiteral("S&top"));
    cmd_cls = measureui::button(this, "cmd_cls", QStringLiteral("&Cls"));
    cmd_exit = measureui::button(this, "cmd_exit", QStringLiteral("E&xit"));
    cmd_savepng = measureui::button(this, "cmd_savepng", QStringLiteral("Save as &PNG"));
    cmd_start->setDefault(true);

    auto *row = new QHBoxLayout;
    for (QPushButton *b : {cmd_start, cmd_stop, cmd_cls, cmd_exit})
        row->addWidget(b);
    auto *row2 = new QHBoxLayout;
    row2->addStretch();
    row2->addWidget(cmd_savepng);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(scale, 0, Qt::AlignHCenter);
    lay->addLayout(row);
    lay->addLayout(row2);
    lay->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(cmd_start, cmd_stop);
    setTabOrder(cmd_stop, cmd_cls);
    setTabOrder(cmd_cls, cmd_exit);
    setTabOrder(cmd_exit, cmd_savepng);

    tmr_Smeter = new QTimer(this);
    tmr_Smeter->setObjectName(QStringLiteral("tmr_Smeter"));
    tmr_Smeter->setInterval(1000);

    connect(cmd_start, &QPushButton::clicked, this, &Smeter::on_start);
    connect(cmd_stop, &QPushButton::clicked, this, &Smeter::on_stop);
    connect(cmd_cls, &QPushButton::clicked, this, &Smeter::on_cls);
    connect(cmd_exit, &QPushButton::clicked, this, &Smeter::close);
    connect(cmd_savepng, &QPushButton::clicked, this, &Smeter::on_savepng);
    connect(tmr_Smeter, &QTimer::timeout, this, &Smeter::on_tick);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        if (cmd_exit->isEnabled())
            close();
    });

    drawScale();
    cmd_start->setEnabled(!app_.settings.noRx());
}

Smeter::~Smeter()
{
    if (recording_) {
        recording_ = false;
        app_.rx->forget_hold();
    }
}

void Smeter::drawScale()
{
    Canvas *c = scale;
    const QColor fg = c->foreground();
    c->clear(kBg);
    c->line(16, 104, 216, 104, fg);
    for (int i = 0; i <= 20; ++i) {
        c->line(16 + 10 * i, 104, 16 + 10 * i, 96, fg);
        c->line(16 + 10 * i, 79, 16 + 10 * i, 71, fg);
    }
    for (int i = 0; i <= 5; ++i)
        c->line(16 + 40 * i, 104, 16 + 40 * i, 112, fg);
    c->fillRect(16, 130, 36, 148, kDarkRed);
    c->fillRect(66, 130, 96, 148, kDarkRed);
    c->fillRect(146, 130, 216, 148, kDarkRed);
    c->rect(16, 130, 216, 148, fg);
}

void Smeter::drawBar(int i)
{
    const float n = rec_.bin(i);
    pic_histo->fillRect(10 * i - 7, 63, 10 * i - 3, 0, kDarkRed);
    if (n > 0)
        pic_histo->fillRect(10 * i - 7, 63, 10 * i - 3, int(63 - n), Canvas::palette(10));
}

void Smeter::on_start()
{
    cmd_exit->setEnabled(false);
    cmd_cls->setEnabled(false);
    cmd_start->setEnabled(false);
    recording_ = true;
    reported_ = false;
    QPointer<Smeter> self(this);
    app_.rx->hold();
    if (!self)
        return;
    // The attenuator state for the readings; a silent receiver is reported
    // once, by the first tick.
    app_.rx->refresh_panel(false);
    if (!self || !recording_)
        return;
    tmr_Smeter->start();
    cmd_stop->setFocus();
}

void Smeter::on_stop()
{
    tmr_Smeter->stop();
    const bool was = recording_;
    recording_ = false;
    cmd_exit->setEnabled(true);
    cmd_cls->setEnabled(true);
    cmd_start->setEnabled(!app_.settings.noRx());
    if (was) {
        QPointer<Smeter> self(this);
        app_.rx->release();
        if (!self)
            return;
    }
}

void Smeter::on_cls()
{
    rec_.clear();
    pic_histo->fillRect(0, 0, 199, 63, kDarkRed);
    pic_Smeter->fillRect(0, 0, 199, 15, kDarkRed);
}

void Smeter::on_tick()
{
    if (inTick_ || !recording_)
        return;
    inTick_ = true;
    QPointer<Smeter> self(this);
    const meter::Reading r = meter::getsmeter(app_);
    if (!self)
        return;
    inTick_ = false;
    if (!recording_)
        return;
    if (!r.ok()) {
        // No reading this second: the needle stays where it was, greyed,
        // and the recorder goes on with the next tick.
        stale_ = true;
        const int p = int(rec_.needle());
        pic_Smeter->fillRect(p, 2, p + 1, 12, Canvas::palette(8));
        if (r.status == meter::Reading::NoAnswer && !reported_) {
            reported_ = true;
            app_.rx->report_no_answer();
        }
        return;
    }
    stale_ = false;
    const meter::Recorder::Tick t = rec_.add(r.v);
    const int prev = int(t.prevNeedle), p = int(t.needle);
    pic_Smeter->fillRect(prev, 2, prev + 1, 12, kDarkRed);
    pic_Smeter->fillRect(p, 2, p + 1, 12, Canvas::palette(10));
    if (t.binOut)
        drawBar(t.binOut);
    if (t.binIn && t.binIn != t.binOut)
        drawBar(t.binIn);
}

void Smeter::on_savepng()
{
    const QString path = askPath(this, app_.settings.base_dir + QStringLiteral("SAN"),
                                 QStringLiteral("Smeter.png"),
                                 QStringLiteral("PNG pictures (*.png)"));
    if (path.isEmpty())
        return;
    measureui::savePicture(app_, scale, path);
}

void Smeter::closeEvent(QCloseEvent *e)
{
    if (recording_)
        on_stop();
    QWidget::closeEvent(e);
}
