#include "measure/ui/prophist.h"

#include "common/timetext.h"
#include "common/ui/canvas.h"
#include "common/ui/freqlabel.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "measure/meter.h"
#include "measure/session.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {
const QColor kBg(255, 240, 192);
const QColor kErase = Canvas::palette(4);
const QColor kBar = Canvas::palette(14);
const QColor kHisto = Canvas::palette(10);
const QColor kMarker = Canvas::palette(12);
constexpr int T = prophist::T;
// Left end of the upper histogram's strip: 240 pixels, 60 readings.
constexpr int kHistoLeft = 568 - 240;
} // namespace

prophist::prophist(App &app, QWidget *parent)
    : QWidget(parent), app_(app),
      session_(new MeasureSession(app, QStringLiteral("The propagation history"), this))
{
    setObjectName(QStringLiteral("prophist"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Propagation History"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBg);
    setPalette(pal);
    setAutoFillBackground(true);

    pic = new Canvas(640, T + 398 + 4, kBg, this);
    pic->setHighContrast(app_.settings.high_contrast); // before the first drawing
    pic->setObjectName(QStringLiteral("pic_prophist"));
    pic->setAccessibleName(QStringLiteral("Propagation history"));

    auto *l1 = new QLabel(QStringLiteral("Start:"), this);
    l1->setObjectName(QStringLiteral("Label2"));
    auto *l2 = new QLabel(QStringLiteral("Frequency:"), this);
    l2->setObjectName(QStringLiteral("Label1"));
    lbl_Date = new QLabel(this);
    lbl_Date->setObjectName(QStringLiteral("lbl_Date"));
    lbl_Date->setAccessibleDescription(QStringLiteral("Start"));
    lbl_freq = new FreqLabel(app_, QStringLiteral("lbl_freq"), QStringLiteral("Frequency"), this);
    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setAccessibleDescription(QStringLiteral("Missed readings"));
    auto *info = new QHBoxLayout;
    info->addWidget(l1);
    info->addWidget(lbl_Date, 1);
    info->addWidget(l2);
    info->addWidget(lbl_freq, 1);
    info->addWidget(lbl_status, 1);

    auto *lay = new QVBoxLayout(this);
    lay->addLayout(info);
    lay->addWidget(pic);
    measureui::addButtonRows(
        app_, lay, this,
        {{cmd_start, "cmd_start", QStringLiteral("&Start"), [this] { on_start(); }},
         {cmd_stop, "cmd_stop", QStringLiteral("St&op"), [this] { on_stop(); }},
         {cmd_cls, "cmd_cls", QStringLiteral("&Cls"), [this] { on_cls(); }},
         {cmd_rxctrl, "cmd_rxctrl", QStringLiteral("&Rx Ctrl"), measureui::toPanel(app_)},
         {cmd_exit, "cmd_exit", QStringLiteral("E&xit"), [this] { close(); }},
         {cmd_savepng, "cmd_savepng", QStringLiteral("Save as &PNG"), [this] { on_savepng(); }}});

    // The watch is a session: its tick reads the receiver, a missed reply
    // leaves a gap and the watch goes on.
    tmr_prophis = session_->timer();
    tmr_prophis->setObjectName(QStringLiteral("tmr_prophis"));
    measureui::setUpWatch(app_, session_, lbl_freq, lbl_status);
    connect(session_, &MeasureSession::reading, this, &prophist::showReading);

    drawLayout();
    cmd_stop->setEnabled(false);
    cmd_start->setEnabled(!app_.settings.noRx());
}

prophist::~prophist()
{
    // The session gives the receiver back; this window hears no more of it.
    disconnect(session_, nullptr, this, nullptr);
    if (session_->running())
        measureui::enablewindows(app_, true);
    session_->stop();
}

void prophist::drawLayout()
{
    const QColor fg = pic->foreground();
    pic->clear(kBg);
    QFont f = pic->font();
    f.setPointSizeF(qMax(6.0, f.pointSizeF() - 2));
    pic->setFont(f);
    const int asc = QFontMetrics(f).ascent();
    static const struct { int v; const char *t; } scale[] = {
        {21, "+72"}, {17, "+48"}, {13, "+24"}, {9, "S 9"}, {5, "S 5"}, {1, "S 1"},
    };
    for (int k = 0; k < 2; ++k) {
        const int top = T + 4 + 199 * k, bottom = T + 197 + 199 * k;
        const int zero = (k == 0 ? T + 186 : T + 385);
        pic->fillRect(1, top + 1, 638, bottom - 1, kErase);
        pic->rect(0, top, 639, bottom, fg);
        for (int x : {32, 64, 573, 605})
            pic->line(x, top, x, bottom, fg);
        // The separator strips carry a tick per unit and the scale texts.
        for (int v = 1; v <= 21; ++v) {
            const int y = zero - 8 * v;
            const int len = (v % 4 == 1) ? 6 : 3;
            pic->line(64 - len, y, 63, y, kBg);
            pic->line(574, y, 573 + len, y, kBg);
        }
        for (const auto &s : scale)
            pic->text(608, zero - 8 * s.v - asc / 2 - 1, QString::fromLatin1(s.t), kBg);
        pic->text(4, top + 4, k == 0 ? QStringLiteral("1 min") : QStringLiteral("1 hr"), kBg);
    }
}

void prophist::markers(double v, int yTop, int yBottom, const QColor &c)
{
    pic->fillRect(40, yTop, 56, yBottom, c);
    pic->fillRect(581, yTop, 597, yBottom, c);
    (void)v;
}

void prophist::on_cls()
{
    drawLayout();
    lbl_freq->setStyleSheet(QString());
    lbl_Date->setStyleSheet(QString());
}

void prophist::on_start()
{
    if (!session_->start(900))
        return; // another measurement holds the receiver; it was said
    h_.start();
    measureui::enablewindows(app_, false);
    on_cls();
    lbl_Date->setText(timetext::compute(app_.clock->now(), app_.settings.ltMinusUtc()).utc_text
                      + QStringLiteral(" UTC"));
    for (QPushButton *b : {cmd_start, cmd_cls, cmd_rxctrl, cmd_exit})
        b->setEnabled(false);
    cmd_stop->setEnabled(true);
    running_ = true;
    lbl_status->clear();
}

void prophist::on_stop()
{
    running_ = false;
    session_->stop();
    measureui::enablewindows(app_, true);
    cmd_start->setEnabled(!app_.settings.noRx());
    for (QPushButton *b : {cmd_cls, cmd_rxctrl, cmd_exit})
        b->setEnabled(true);
    cmd_stop->setEnabled(false);
}

void prophist::on_tick()
{
    session_->tickNow();
}

void prophist::showReading(const meter::Reading &r)
{
    const QTime now = app_.clock->now().time();
    const int mm = now.minute(), ss = now.second();
    const double v = r.v;
    const history::TickOut t = h_.tick(mm, ss, v);
    const int p = int(t.previous * 8), n = int(v * 8);
    markers(t.previous, T + 184 - p, T + 188 - p, kErase);
    markers(v, T + 184 - n, T + 188 - n, kMarker);

    pic->line(74 + 4 * ss, T + 10, 74 + 4 * ss, T + 190, kErase);
    pic->line(70 + 4 * ss, T + 186, 70 + 4 * ss, T + 186 - n, kBar);
    if (ss == 59)
        pic->line(70, T + 10, 70, T + 190, kErase);

    for (int i : t.rollingChanged) {
        pic->fillRect(kHistoLeft, T + 185 - 8 * i, 568, T + 187 - 8 * i, kErase);
        const float c = h_.rolling(i);
        if (c > 0)
            pic->fillRect(568 - int(4 * c), T + 185 - 8 * i, 568, T + 187 - 8 * i, kHisto);
    }
    if (t.minuteClose && t.maxCumulative > 0) {
        for (int i = 1; i <= history::kBins; ++i) {
            pic->fillRect(325, T + 384 - 8 * i, 568, T + 386 - 8 * i, kErase);
            const float c = h_.cumulative(i);
            if (c > 0)
                pic->fillRect(568 - int(240 * c / t.maxCumulative), T + 384 - 8 * i, 568,
                              T + 386 - 8 * i, kHisto);
        }
    }
    if (t.oldHighest) {
        const int o = int(*t.oldHighest * 8), hN = int(h_.highest() * 8);
        markers(0, T + 384 - o, T + 386 - o, kErase);
        markers(0, T + 384 - hN, T + 386 - hN, kMarker);
    }
    if (t.oldLowest) {
        const int o = int(*t.oldLowest * 8), lN = int(h_.lowest() * 8);
        markers(0, T + 384 - o, T + 386 - o, kErase);
        markers(0, T + 384 - lN, T + 386 - lN, kMarker);
    }
    if (t.halfClose) {
        const int x = 70 + 4 * mm + ss / 15;
        pic->line(x + 4, T + 210, x + 4, T + 390, kErase);
        pic->line(x, T + 385 - int(8 * t.halfLo), x, T + 385 - int(8 * t.halfHi), kBar);
    }
    if (t.clearHourFirst)
        pic->line(70, T + 210, 70, T + 390, kErase);
}

void prophist::on_savepng()
{
    const QString path = askPath(this, filedialogs::dirOf(app_, callers::Proptime),
                                 QStringLiteral("history.png"),
                                 QStringLiteral("PNG pictures (*.png)"));
    if (!path.isEmpty())
        measureui::savePicture(app_, pic, path);
}

void prophist::closeEvent(QCloseEvent *e)
{
    running_ = false;
    if (session_->running()) {
        measureui::enablewindows(app_, true);
        session_->stop();
    }
    QWidget::closeEvent(e);
}
