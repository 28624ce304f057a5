#include "measure/ui/smeter.h"

#include "common/ui/canvas.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QColor kBg = QColor::fromRgb(Smeter::kBackground);
const QColor kDarkRed = QColor::fromRgb(Smeter::kDark);
// The pictures' places on the window's scale.
constexpr int kPicX = 16, kHistoY = 6, kMeterY = 80;
} // namespace

Smeter::Smeter(App &app, QWidget *parent)
    : QWidget(parent), app_(app), session_(new MeasureSession(app, QStringLiteral("The S-meter"), this))
{
    setObjectName(QStringLiteral("Smeter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("S-meter (Antenna input)"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBg);
    setPalette(pal);
    setAutoFillBackground(true);

    scale = new Canvas(236, 156, kBg, this);
    scale->setHighContrast(app_.settings.high_contrast); // before the first drawing
    scale->setObjectName(QStringLiteral("scale"));
    scale->setAccessibleName(QStringLiteral("S-meter scale"));
    pic_histo = new Canvas(200, 64, kDarkRed, scale);
    pic_histo->setHighContrast(app_.settings.high_contrast); // before the first drawing
    pic_histo->setObjectName(QStringLiteral("pic_histo"));
    pic_histo->setAccessibleName(QStringLiteral("Histogram of the last 60 readings"));
    pic_histo->move(kPicX, kHistoY);
    pic_Smeter = new Canvas(200, 16, kDarkRed, scale);
    pic_Smeter->setHighContrast(app_.settings.high_contrast); // before the first drawing
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

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(scale, 0, Qt::AlignHCenter);
    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setAccessibleDescription(QStringLiteral("Missed readings"));
    lbl_status->setAlignment(Qt::AlignCenter);
    lay->addWidget(lbl_status);
    measureui::addButtonRows(app_, lay, this,
                             {{cmd_start, "cmd_start", QStringLiteral("&Start"), [this] { on_start(); }},
                              {cmd_stop, "cmd_stop", QStringLiteral("S&top"), [this] { on_stop(); }},
                              {cmd_cls, "cmd_cls", QStringLiteral("&Cls"), [this] { on_cls(); }},
                              {cmd_exit, "cmd_exit", QStringLiteral("E&xit"), [this] { close(); }}},
                             {{cmd_savepng, "cmd_savepng", QStringLiteral("Save as &PNG"),
                               [this] { on_savepng(); }}});
    cmd_start->setDefault(true);

    tmr_Smeter = session_->timer();
    tmr_Smeter->setObjectName(QStringLiteral("tmr_Smeter"));
    session_->setInterval(1000);
    connect(session_, &MeasureSession::started, this, [this] { cmd_stop->setFocus(); });
    connect(session_, &MeasureSession::reading, this, &Smeter::showReading);
    connect(session_, &MeasureSession::missed, this, &Smeter::showMissed);
    connect(session_, &MeasureSession::stopped, this, &Smeter::showStopped);

    drawScale();
    cmd_start->setEnabled(!app_.settings.noRx());
}

Smeter::~Smeter()
{
    // The session gives the receiver back; this window hears no more of it.
    disconnect(session_, nullptr, this, nullptr);
    session_->stop();
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
    if (!session_->start(1000))
        return; // another measurement holds the receiver; it was said
    cmd_exit->setEnabled(false);
    cmd_cls->setEnabled(false);
    cmd_start->setEnabled(false);
    recording_ = true;
    lbl_status->clear();
}

void Smeter::on_stop()
{
    session_->stop();
    showStopped();
}

void Smeter::showStopped()
{
    recording_ = false;
    cmd_exit->setEnabled(true);
    cmd_cls->setEnabled(true);
    cmd_start->setEnabled(!app_.settings.noRx());
}

void Smeter::on_cls()
{
    rec_.clear();
    pic_histo->fillRect(0, 0, 199, 63, kDarkRed);
    pic_Smeter->fillRect(0, 0, 199, 15, kDarkRed);
}

void Smeter::on_tick()
{
    session_->tickNow();
}

void Smeter::showMissed()
{
    // No reading this second: the needle stays where it was, greyed, and
    // the recorder goes on with the next tick.
    stale_ = true;
    const int p = int(rec_.needle());
    pic_Smeter->fillRect(p, 2, p + 1, 12, Canvas::palette(8));
    lbl_status->setText(session_->missedText());
}

void Smeter::showReading(const meter::Reading &r)
{
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
