#include "utilities/ui/rxclocks.h"

#include "common/ui/buttons.h"
#include "link/app.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "utilities/rxclocks.h"

#include <QCloseEvent>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QLabel *clockLabel(QWidget *parent, const char *name, const QString &accessible)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAccessibleDescription(accessible);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(90);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() + 3);
    f.setBold(true);
    l->setFont(f);
    return l;
}
} // namespace

RxClocks::RxClocks(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("RxClocks"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Set RX Clock/Timers"));
    // Modal: the other windows wait while the receiver's clock is set.
    setWindowModality(Qt::ApplicationModal);

    auto *pc = new QGroupBox(QStringLiteral("PC Clock / LT"), this);
    lbl_LT = clockLabel(pc, "lbl_LT", QStringLiteral("PC Clock / LT"));
    (new QVBoxLayout(pc))->addWidget(lbl_LT);
    auto *utc = new QGroupBox(QStringLiteral("UTC"), this);
    lbl_UTC = clockLabel(utc, "lbl_UTC", QStringLiteral("UTC"));
    (new QVBoxLayout(utc))->addWidget(lbl_UTC);

    auto *rxc = new QGroupBox(QStringLiteral("RX Clock"), this);
    cmd_GetRxCl = kit::button(rxc, QStringLiteral("cmd_GetRxCl"), QStringLiteral("&Get RX Clock"));
    lbl_getRxCl = clockLabel(rxc, "lbl_getRxCl", QStringLiteral("RX Clock"));
    cmd_SetRxLT = kit::button(rxc, QStringLiteral("cmd_SetRxLT"), QStringLiteral("Set RX Clock to &LT"));
    cmd_SetRxUTC = kit::button(rxc, QStringLiteral("cmd_SetRxUTC"), QStringLiteral("Set RX Clock to &UTC"));
    auto *rg = new QGridLayout(rxc);
    rg->addWidget(cmd_GetRxCl, 0, 0);
    rg->addWidget(lbl_getRxCl, 0, 1);
    rg->addWidget(cmd_SetRxLT, 1, 0, 1, 2);
    rg->addWidget(cmd_SetRxUTC, 2, 0, 1, 2);

    auto *tm = new QGroupBox(QStringLiteral("RX Timer"), this);
    auto timeField = [tm](QLineEdit *&f, const char *name, const QString &acc) {
        f = new QLineEdit(tm);
        f->setObjectName(QString::fromLatin1(name));
        f->setAccessibleName(acc);
        f->setMaxLength(8);
        f->setMaximumWidth(70);
        f->setPlaceholderText(QStringLiteral("hhmm"));
    };
    timeField(txt_ton, "txt_ton", QStringLiteral("Timer-on hhmm"));
    timeField(txt_tof, "txt_tof", QStringLiteral("Timer-off hhmm"));
    cmd_setton = kit::button(tm, QStringLiteral("cmd_setton"), QStringLiteral("Set Tmr &On"));
    cmd_seeton = kit::button(tm, QStringLiteral("cmd_seeton"), QStringLiteral("See Tmr O&n"));
    cmd_settof = kit::button(tm, QStringLiteral("cmd_settof"), QStringLiteral("Set Tmr O&ff"));
    cmd_seetof = kit::button(tm, QStringLiteral("cmd_seetof"), QStringLiteral("S&eeTmr Off"));
    auto *tg = new QGridLayout(tm);
    auto *h1 = new QLabel(QStringLiteral("hhmm"), tm);
    auto *h2 = new QLabel(QStringLiteral("hhmm"), tm);
    h1->setBuddy(txt_ton);
    h2->setBuddy(txt_tof);
    tg->addWidget(h1, 0, 0);
    tg->addWidget(h2, 0, 2);
    tg->addWidget(txt_ton, 1, 0);
    tg->addWidget(txt_tof, 1, 2);
    tg->addWidget(cmd_setton, 2, 0);
    tg->addWidget(cmd_settof, 2, 2);
    tg->addWidget(cmd_seeton, 3, 0);
    tg->addWidget(cmd_seetof, 3, 2);

    cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit"));

    auto *g = new QGridLayout(this);
    g->addWidget(pc, 0, 0);
    g->addWidget(utc, 0, 1);
    g->addWidget(rxc, 1, 0, 1, 2);
    g->addWidget(tm, 2, 0, 1, 2);
    g->addWidget(cmd_exit, 3, 1, Qt::AlignRight);
    g->setSizeConstraint(QLayout::SetFixedSize);

    setTabOrder(cmd_GetRxCl, cmd_SetRxLT);
    setTabOrder(cmd_SetRxLT, cmd_SetRxUTC);
    setTabOrder(cmd_SetRxUTC, txt_ton);
    setTabOrder(txt_ton, cmd_setton);
    setTabOrder(cmd_setton, cmd_seeton);
    setTabOrder(cmd_seeton, txt_tof);
    setTabOrder(txt_tof, cmd_settof);
    setTabOrder(cmd_settof, cmd_seetof);
    setTabOrder(cmd_seetof, cmd_exit);

    tmr_LTUTC = new QTimer(this);
    tmr_LTUTC->setObjectName(QStringLiteral("tmr_LTUTC"));
    tmr_LTUTC->setInterval(1000);
    connect(tmr_LTUTC, &QTimer::timeout, this, &RxClocks::on_tick);
    tmr_LTUTC->start();

    connect(cmd_GetRxCl, &QPushButton::clicked, this, &RxClocks::on_getclock);
    connect(cmd_SetRxLT, &QPushButton::clicked, this, [this] { on_setclock(false); });
    connect(cmd_SetRxUTC, &QPushButton::clicked, this, [this] { on_setclock(true); });
    connect(cmd_setton, &QPushButton::clicked, this, [this] { on_settimer(true); });
    connect(cmd_settof, &QPushButton::clicked, this, [this] { on_settimer(false); });
    connect(cmd_seeton, &QPushButton::clicked, this, [this] { on_seetimer(true); });
    connect(cmd_seetof, &QPushButton::clicked, this, [this] { on_seetimer(false); });
    connect(cmd_exit, &QPushButton::clicked, this, &RxClocks::close);
    connect(txt_ton, &QLineEdit::returnPressed, this, [this] { on_settimer(true); });
    connect(txt_tof, &QLineEdit::returnPressed, this, [this] { on_settimer(false); });
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &RxClocks::close);
    txt_ton->installEventFilter(this);
    txt_tof->installEventFilter(this);

    on_tick();
}

void RxClocks::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (opened_)
        return;
    opened_ = true;
    rxclocks::submitClockMode(app_, true);
}

void RxClocks::closeEvent(QCloseEvent *e)
{
    tmr_LTUTC->stop();
    if (opened_ && !closed_) {
        closed_ = true;
        rxclocks::submitClockMode(app_, false);
    }
    QWidget::closeEvent(e);
}

bool RxClocks::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonDblClick && (o == txt_ton || o == txt_tof)) {
        static_cast<QLineEdit *>(o)->clear();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void RxClocks::on_tick()
{
    const QDateTime now = app_.clock->now();
    lt_ = rxclocks::ltText(now);
    utc_ = rxclocks::utcText(now, app_.settings.ltMinusUtc());
    lbl_LT->setText(lt_);
    lbl_UTC->setText(utc_);
}

rxjob::Task<> RxClocks::aShowClock()
{
    const auto t = co_await rxclocks::aReadClock(app_);
    if (t)
        lbl_getRxCl->setText(*t);
}

rxjob::Task<> RxClocks::aSeeTimer(bool on)
{
    co_await rxclocks::aShowTimer(app_, on);
    (on ? txt_ton : txt_tof)->setText(QStringLiteral("NRD"));
}

void RxClocks::on_getclock()
{
    app_.rx->submit([this]() -> rxjob::Task<> { co_await aShowClock(); }, true, this);
}

void RxClocks::on_setclock(bool utc)
{
    submitThenRead(rxclocks::Setting::Clock, utc ? utc_ : lt_);
}

void RxClocks::submitThenRead(rxclocks::Setting setting, const QString &value)
{
    // The setting in its bracket, the receiver's pause, then the read-back
    // in a bracket of its own: one job, so nothing comes between.
    Receiver2 *rx = app_.rx;
    rx->submit(
        [this, rx, setting, value]() -> rxjob::Task<> {
            co_await rxclocks::aSet(app_, setting, value);
            co_await rx->aBracket(true);
            if (setting == rxclocks::Setting::Clock)
                co_await aShowClock();
            else
                co_await aSeeTimer(setting == rxclocks::Setting::TimerOn);
            co_await rx->aBracket(false);
        },
        false, this);
}

void RxClocks::on_settimer(bool on)
{
    QLineEdit *f = on ? txt_ton : txt_tof;
    const QString t = f->text();
    if (!rxclocks::validTimerText(t)) {
        app_.prompter->message(rxclocks::timerInputError(on), rxclocks::inputErrorTitle(),
                               Prompter::Exclamation);
        f->setFocus();
        return;
    }
    submitThenRead(on ? rxclocks::Setting::TimerOn : rxclocks::Setting::TimerOff, t);
}

void RxClocks::on_seetimer(bool on)
{
    rxclocks::showTimer(app_, on);
    (on ? txt_ton : txt_tof)->setText(QStringLiteral("NRD"));
}
