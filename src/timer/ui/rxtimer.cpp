#include "timer/ui/rxtimer.h"

#include "common/ui/buttons.h"
#include "link/app.h"
#include "link/port.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "record/recsession.h"
#include "timer/timerrun.h"

#include <QCloseEvent>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace timertab;

const QColor RxTimer::kLight(255, 224, 192);
const QColor RxTimer::kYellow(255, 255, 0);

// ------------------------------------------------------------------ SpinButton

SpinButton::SpinButton(const QString &name, const QString &accessible, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(name);
    setAccessibleName(accessible);
    setAccessibleDescription(QStringLiteral("Up and Down arrow keys change the value"));
    setFocusPolicy(Qt::StrongFocus);
    auto *l = new QVBoxLayout(this);
    l->setContentsMargins(2, 2, 2, 2);
    l->setSpacing(0);
    auto make = [this, l](Qt::ArrowType a, int dir, const QString &what) {
        auto *b = new QToolButton(this);
        b->setArrowType(a);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(18, 11);
        b->setAccessibleName(accessibleName() + QLatin1Char(' ') + what);
        connect(b, &QToolButton::clicked, this, [this, dir] { emit stepped(dir); });
        l->addWidget(b, 0, Qt::AlignHCenter);
        return b;
    };
    up_ = make(Qt::UpArrow, 1, QStringLiteral("up"));
    down_ = make(Qt::DownArrow, -1, QStringLiteral("down"));
}

void SpinButton::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Up:
    case Qt::Key_Plus:
        emit stepped(1);
        return;
    case Qt::Key_Down:
    case Qt::Key_Minus:
        emit stepped(-1);
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void SpinButton::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QStylePainter p(this);
    QStyleOptionFocusRect o;
    o.initFrom(this);
    p.drawPrimitive(QStyle::PE_FrameFocusRect, o);
}

void SpinButton::focusInEvent(QFocusEvent *e)
{
    QWidget::focusInEvent(e);
    update();
}

void SpinButton::focusOutEvent(QFocusEvent *e)
{
    QWidget::focusOutEvent(e);
    update();
}

// ------------------------------------------------------------------ helpers

namespace {

void paint(QLabel *l, const QColor &bg)
{
    l->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: black;"
                                    " border: 1px solid #808080; }")
                         .arg(bg.name()));
    l->setProperty("background", bg);
}

QLabel *valueLabel(QWidget *parent, const QString &name, const QString &accessible, int width,
                   const QColor &bg = Qt::white)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setAccessibleDescription(accessible);
    l->setAlignment(Qt::AlignCenter);
    l->setFixedSize(width, 20);
    paint(l, bg);
    return l;
}

QLabel *caption(QWidget *parent, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignCenter);
    return l;
}

// Column widths shared by the edit panel and the rows, so they line up.
constexpr int kDateW[3] = {26, 34, 26};
constexpr int kTimeW[3] = {26, 26, 32};
constexpr int kStatW[6] = {34, 40, 40, 34, 38, 32};
constexpr int kDigitW = 14;
// Grid columns: 0 row number, 1-3 date, 4-6 time, 7-12 settings, 13-20
// frequency digits (10 MHz first), 21-22 buttons.
constexpr int kColDate = 1, kColTime = 4, kColStat = 7, kColFreq = 13, kColBtn = 21;

const char *kStatNames[6] = {"Att", "Bw", "Mode", "Agc", "Pbs", "Bwc"};
const char *kDigitNames[8] = {"1 Hz", "10 Hz", "100 Hz", "1 kHz", "10 kHz", "100 kHz", "1 MHz",
                              "10 MHz"};
const char *kDateNames[3] = {"day", "month", "year"};
const char *kTimeNames[3] = {"start hour", "start minute", "duration"};

} // namespace

// ------------------------------------------------------------------ window

RxTimer::RxTimer(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("RxTimer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Timer Programming"));
    edit_.opt.narrow = app_.settings.narrowFitted();
    edit_.opt.ecss = app_.settings.ecssFitted();
    edit_.opt.bwcUnit = app_.settings.bwcFitted();
    build();

    run_ = new TimerRun(app_, table_, this);
    connect(run_, &TimerRun::captionChanged, this, &QWidget::setWindowTitle);
    connect(run_, &TimerRun::onAir, this, &RxTimer::setOnAir);
    connect(run_, &TimerRun::finished, this, &RxTimer::ti_off_ready);
    connect(run_, &TimerRun::note, this, &RxTimer::addNote);
    connect(run_, &TimerRun::phaseChanged, this, &RxTimer::showRunState);
    tmr_run_ = new QTimer(this);
    tmr_run_->setObjectName(QStringLiteral("tmr_run"));
    tmr_run_->setInterval(100);
    connect(tmr_run_, &QTimer::timeout, run_, &TimerRun::tick);
    tmr_lt_utc_ = new QTimer(this);
    tmr_lt_utc_->setObjectName(QStringLiteral("tmr_lt_utc"));
    tmr_lt_utc_->setInterval(1000);
    connect(tmr_lt_utc_, &QTimer::timeout, this, &RxTimer::tmr_lt_utc);
    tmr_lt_utc_->start();

    // Window load: the present UTC time, duration 10, the receiver's settings.
    get_utc();
    edit_.duration = kDefaultDuration;
    edit_.applyBwRule();
    if (!app_.settings.bwcFitted()) {
        lbl_StatCaption[5]->setEnabled(false);
        spn_Stat[5]->setEnabled(false);
    }
    showEdit();
    applyButtons();
    tmr_lt_utc();
    if (!app_.settings.noRx())
        QTimer::singleShot(0, this, &RxTimer::get_rx);
}

RxTimer::~RxTimer()
{
    // The program may end while a run is on: the run, going with this
    // window, gives the receiver back at once.
    delete run_;
}

void RxTimer::build()
{
    // --- edit panel
    auto *pnl_Set = new QGroupBox(QStringLiteral("Select values"), this);
    pnl_Set->setObjectName(QStringLiteral("pnl_Set"));
    pnl_Set->setAccessibleName(pnl_Set->title());
    auto *g = new QGridLayout(pnl_Set);
    g->setHorizontalSpacing(3);
    g->setVerticalSpacing(2);
    g->setColumnMinimumWidth(0, 22);

    const char *dateCap[3] = {"DD", "MM", "YY"};
    for (int i = 0; i < 3; ++i) {
        g->addWidget(caption(pnl_Set, QString::fromLatin1(dateCap[i])), 0, kColDate + i);
        lbl_Date[i] = valueLabel(pnl_Set, QStringLiteral("lbl_Date_%1").arg(i),
                                 QString::fromLatin1(kDateNames[i]), kDateW[i]);
        g->addWidget(lbl_Date[i], 1, kColDate + i, Qt::AlignHCenter);
        spn_Date[i] = new SpinButton(QStringLiteral("spn_Date_%1").arg(i),
                                     QString::fromLatin1(dateCap[i]), pnl_Set);
        g->addWidget(spn_Date[i], 2, kColDate + i, Qt::AlignHCenter);
        const EventEdit::Spin s[3] = {EventEdit::Day, EventEdit::Month, EventEdit::Year};
        connect(spn_Date[i], &SpinButton::stepped, this, [this, s, i](int dir) {
            edit_.step(s[i], dir);
            showEdit();
        });
    }
    g->addWidget(caption(pnl_Set, QStringLiteral("Start UTC")), 0, kColTime, 1, 2);
    g->addWidget(caption(pnl_Set, QStringLiteral("Dur.")), 0, kColTime + 2);
    const char *timeAcc[3] = {"Start UTC hour", "Start UTC minute", "Dur."};
    for (int i = 0; i < 3; ++i) {
        lbl_Time[i] = valueLabel(pnl_Set, QStringLiteral("lbl_Time_%1").arg(i),
                                 QString::fromLatin1(kTimeNames[i]), kTimeW[i]);
        g->addWidget(lbl_Time[i], 1, kColTime + i, Qt::AlignHCenter);
        spn_Time[i] = new SpinButton(QStringLiteral("spn_Time_%1").arg(i),
                                     QString::fromLatin1(timeAcc[i]), pnl_Set);
        g->addWidget(spn_Time[i], 2, kColTime + i, Qt::AlignHCenter);
        const EventEdit::Spin s[3] = {EventEdit::Hour, EventEdit::Minute, EventEdit::Duration};
        connect(spn_Time[i], &SpinButton::stepped, this, [this, s, i](int dir) {
            edit_.step(s[i], dir);
            showEdit();
        });
    }
    for (int i = 0; i < 6; ++i) {
        lbl_StatCaption[i] = caption(pnl_Set, QString::fromLatin1(kStatNames[i]));
        g->addWidget(lbl_StatCaption[i], 0, kColStat + i);
        lbl_Stat[i] = valueLabel(pnl_Set, QStringLiteral("lbl_Stat_%1").arg(i),
                                 QString::fromLatin1(kStatNames[i]), kStatW[i]);
        g->addWidget(lbl_Stat[i], 1, kColStat + i, Qt::AlignHCenter);
        spn_Stat[i] = new SpinButton(QStringLiteral("spn_Stat_%1").arg(i),
                                     QString::fromLatin1(kStatNames[i]), pnl_Set);
        g->addWidget(spn_Stat[i], 2, kColStat + i, Qt::AlignHCenter);
        const EventEdit::Spin s = EventEdit::Spin(EventEdit::Att + i);
        connect(spn_Stat[i], &SpinButton::stepped, this, [this, s](int dir) {
            edit_.step(s, dir);
            showEdit();
        });
    }
    g->addWidget(caption(pnl_Set, QStringLiteral("MHz")), 0, kColFreq, 1, 2);
    g->addWidget(caption(pnl_Set, QStringLiteral("kHz")), 0, kColFreq + 2, 1, 3);
    g->addWidget(caption(pnl_Set, QStringLiteral("Hz")), 0, kColFreq + 5, 1, 3);
    for (int d = 7; d >= 0; --d) {
        const int col = kColFreq + (7 - d);
        lbl_freq[d] = valueLabel(pnl_Set, QStringLiteral("lbl_freq_%1").arg(d),
                                 QStringLiteral("Frequency digit ") + QString::fromLatin1(kDigitNames[d]),
                                 kDigitW);
        g->addWidget(lbl_freq[d], 1, col, Qt::AlignHCenter);
        spn_Freq[d] = new SpinButton(QStringLiteral("spn_Freq_%1").arg(d),
                                     QStringLiteral("Frequency ") + QString::fromLatin1(kDigitNames[d]),
                                     pnl_Set);
        g->addWidget(spn_Freq[d], 2, col, Qt::AlignHCenter);
        connect(spn_Freq[d], &SpinButton::stepped, this, [this, d](int dir) {
            edit_.stepDigit(d, dir);
            showEdit();
        });
    }
    cmd_Utc = kit::button(pnl_Set, QStringLiteral("cmd_Utc"), QStringLiteral("&UTC"),
                          {.tip = QStringLiteral("Date and start time from the present UTC time")});
    cmd_Rx = kit::button(pnl_Set, QStringLiteral("cmd_Rx"), QStringLiteral("&RX"),
                         {.tip = QStringLiteral("Settings and frequency from the receiver")});
    for (QPushButton *b : {cmd_Utc, cmd_Rx})
        b->setFixedWidth(56);
    chk_Rec = new QCheckBox(QStringLiteral("R&ec"), pnl_Set);
    chk_Rec->setObjectName(QStringLiteral("chk_Rec"));
    chk_Rec->setToolTip(QStringLiteral("Record the event while the output is on"));
    g->addWidget(chk_Rec, 0, kColBtn, 1, 2);
    connect(chk_Rec, &QCheckBox::toggled, this, [this](bool on) { edit_.rec = on; });
    g->addWidget(cmd_Utc, 1, kColBtn, 1, 2);
    g->addWidget(cmd_Rx, 2, kColBtn, 1, 2);
    connect(cmd_Utc, &QPushButton::clicked, this, [this] {
        get_utc();
        showEdit();
    });
    connect(cmd_Rx, &QPushButton::clicked, this, &RxTimer::get_rx);
    // The station names the event's recording.
    auto *lbl_Station = new QLabel(QStringLiteral("&Station"), pnl_Set);
    g->addWidget(lbl_Station, 3, kColDate, 1, 3);
    txt_Station = new QLineEdit(pnl_Set);
    txt_Station->setObjectName(QStringLiteral("txt_Station"));
    txt_Station->setAccessibleName(QStringLiteral("Station"));
    txt_Station->setMaxLength(40);
    txt_Station->setToolTip(QStringLiteral("The station, for the name of the event's recording"));
    lbl_Station->setBuddy(txt_Station);
    g->addWidget(txt_Station, 3, kColTime, 1, kColFreq + 8 - kColTime);
    connect(txt_Station, &QLineEdit::textChanged, this, [this](const QString &t) { edit_.station = t; });

    // --- event rows
    auto *pnl_Show = new QGroupBox(QStringLiteral("Events"), this);
    pnl_Show->setObjectName(QStringLiteral("pnl_Show"));
    pnl_Show->setAccessibleName(QStringLiteral("Events"));
    auto *r = new QGridLayout(pnl_Show);
    r->setHorizontalSpacing(3);
    r->setVerticalSpacing(3);
    r->setColumnMinimumWidth(0, 22);
    r->addWidget(caption(pnl_Show, QStringLiteral("Date")), 0, kColDate, 1, 3);
    r->addWidget(caption(pnl_Show, QStringLiteral("UTC")), 0, kColTime, 1, 2);
    r->addWidget(caption(pnl_Show, QStringLiteral("Dur.")), 0, kColTime + 2);
    for (int i = 0; i < 6; ++i)
        r->addWidget(caption(pnl_Show, QString::fromLatin1(kStatNames[i])), 0, kColStat + i);
    r->addWidget(caption(pnl_Show, QStringLiteral("Frequency (Hz)")), 0, kColFreq, 1, 8);
    for (int n = 1; n <= kEvents; ++n) {
        const QString ev = QStringLiteral("Event %1 ").arg(n);
        r->addWidget(caption(pnl_Show, QString::number(n)), n, 0);
        for (int i = 0; i < 3; ++i) {
            lbl_DateRow[n][i] = valueLabel(pnl_Show, QStringLiteral("lbl_Date%1_%2").arg(n).arg(i),
                                           ev + QString::fromLatin1(kDateNames[i]), kDateW[i]);
            r->addWidget(lbl_DateRow[n][i], n, kColDate + i, Qt::AlignHCenter);
            lbl_TimeRow[n][i] = valueLabel(pnl_Show, QStringLiteral("lbl_Time%1_%2").arg(n).arg(i),
                                           ev + QString::fromLatin1(kTimeNames[i]), kTimeW[i],
                                           i == 2 ? kLight : QColor(Qt::white));
            r->addWidget(lbl_TimeRow[n][i], n, kColTime + i, Qt::AlignHCenter);
        }
        for (int i = 0; i < 6; ++i) {
            // The first row's settings group is spelt lbl_stat1.
            const QString base = n == 1 ? QStringLiteral("lbl_stat1") : QStringLiteral("lbl_Stat%1").arg(n);
            lbl_StatRow[n][i] = valueLabel(pnl_Show, base + QStringLiteral("_%1").arg(i),
                                           ev + QString::fromLatin1(kStatNames[i]), kStatW[i]);
            r->addWidget(lbl_StatRow[n][i], n, kColStat + i, Qt::AlignHCenter);
        }
        for (int d = 7; d >= 0; --d) {
            lbl_FreqRow[n][d] = valueLabel(pnl_Show, QStringLiteral("lbl_Freq%1_%2").arg(n).arg(d),
                                           ev + QStringLiteral("frequency digit ")
                                               + QString::fromLatin1(kDigitNames[d]),
                                           kDigitW);
            r->addWidget(lbl_FreqRow[n][d], n, kColFreq + (7 - d), Qt::AlignHCenter);
        }
        for (int i = 0; i < 2; ++i) {
            auto *b = new QPushButton((i == 0 ? QStringLiteral("Fix %1") : QStringLiteral("Clr %1")).arg(n),
                                      pnl_Show);
            b->setObjectName(QStringLiteral("cmd_FxCr%1_%2").arg(n).arg(i));
            b->setAccessibleName(b->text());
            b->setFixedWidth(56);
            b->setAutoDefault(false);
            cmd_FxCrRow[n][i] = b;
            r->addWidget(b, n, kColBtn + i);
            connect(b, &QPushButton::clicked, this, [this, n, i] { cmd_FxCr(n, i); });
        }
        chk_RecRow[n] = new QCheckBox(QStringLiteral("Rec"), pnl_Show);
        chk_RecRow[n]->setObjectName(QStringLiteral("chk_Rec%1").arg(n));
        chk_RecRow[n]->setAccessibleName(ev + QStringLiteral("Rec"));
        chk_RecRow[n]->setToolTip(QStringLiteral("Record event %1 while the output is on").arg(n));
        r->addWidget(chk_RecRow[n], n, kColBtn + 2);
        connect(chk_RecRow[n], &QCheckBox::toggled, this, [this, n](bool on) {
            if (table_.event_fixed[n])
                table_.event_tab[n].rec = on;
        });
    }

    // --- command panel and clocks
    auto *pnl_Cmd = new QWidget(this);
    pnl_Cmd->setObjectName(QStringLiteral("pnl_Cmd"));
    auto *c = new QHBoxLayout(pnl_Cmd);
    c->setContentsMargins(0, 0, 0, 0);
    c->addLayout(kit::buttonRow(pnl_Cmd,
                                {{cmd_TimerOn_, "cmd_TimerOn", QStringLiteral("Timer &On"), [this] { cmd_TimerOn(); }},
                                 {cmd_TimerOff_, "cmd_TimerOff", QStringLiteral("Timer O&ff"), [this] { cmd_TimerOff(); }},
                                 {cmd_CrAll_, "cmd_CrAll", QStringLiteral("&Clear All"), [this] { cmd_CrAll(); }},
                                 {cmd_cancel_, "cmd_cancel", QStringLiteral("E&xit"), [this] { cmd_cancel(); }}},
                                kit::Align::Left, {.minWidth = 84}));
    c->addStretch(1);
    c->addWidget(new QLabel(QStringLiteral("LT:"), pnl_Cmd));
    lbl_LT = valueLabel(pnl_Cmd, QStringLiteral("lbl_LT"), QStringLiteral("LT"), 70);
    c->addWidget(lbl_LT);
    c->addSpacing(8);
    c->addWidget(new QLabel(QStringLiteral("UTC:"), pnl_Cmd));
    lbl_UTC = valueLabel(pnl_Cmd, QStringLiteral("lbl_UTC"), QStringLiteral("UTC"), 70, kLight);
    c->addWidget(lbl_UTC);

    lbl_run = new QLabel(this);
    lbl_run->setObjectName(QStringLiteral("lbl_run"));
    lbl_run->setAccessibleDescription(QStringLiteral("State of the run"));

    lbl_note = new QLabel(this);
    lbl_note->setObjectName(QStringLiteral("lbl_note"));
    lbl_note->setAccessibleDescription(QStringLiteral("Notes of the run"));
    lbl_note->setWordWrap(true);
    lbl_note->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *v = new QVBoxLayout(this);
    v->addWidget(pnl_Set);
    v->addWidget(pnl_Show);
    v->addWidget(pnl_Cmd);
    v->addWidget(lbl_run);
    v->addWidget(lbl_note);
    v->setSizeConstraint(QLayout::SetFixedSize);

    // Escape is Exit; the tab order follows the panels.
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        if (cmd_cancel_->isEnabled())
            cmd_cancel();
    });
    QList<QWidget *> order;
    for (auto *s : spn_Date)
        order << s;
    for (auto *s : spn_Time)
        order << s;
    for (auto *s : spn_Stat)
        order << s;
    for (int d = 7; d >= 0; --d)
        order << spn_Freq[d];
    order << chk_Rec << cmd_Utc << cmd_Rx << txt_Station;
    for (int n = 1; n <= kEvents; ++n)
        order << cmd_FxCrRow[n][0] << cmd_FxCrRow[n][1] << chk_RecRow[n];
    order << cmd_TimerOn_ << cmd_TimerOff_ << cmd_CrAll_ << cmd_cancel_;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void RxTimer::showEdit()
{
    lbl_Date[0]->setText(QString::number(edit_.day));
    lbl_Date[1]->setText(monthName(edit_.month));
    lbl_Date[2]->setText(QStringLiteral("%1").arg(edit_.year - 2000, 2, 10, QLatin1Char('0')));
    lbl_Time[0]->setText(QStringLiteral("%1").arg(edit_.hour, 2, 10, QLatin1Char('0')));
    lbl_Time[1]->setText(QStringLiteral("%1").arg(edit_.minute, 2, 10, QLatin1Char('0')));
    lbl_Time[2]->setText(QString::number(edit_.duration));
    const bool fm = edit_.isFm();
    lbl_Stat[0]->setText(Captions::text(app_.cap.att, edit_.att));
    lbl_Stat[1]->setText(fm ? QString() : Captions::text(app_.cap.bw, edit_.bw));
    lbl_Stat[2]->setText(Captions::text(app_.cap.mode, edit_.mode));
    lbl_Stat[3]->setText(fm ? QString() : Captions::text(app_.cap.agc, edit_.agc));
    lbl_Stat[4]->setText(pbsText(edit_.pbs));
    lbl_Stat[5]->setText(edit_.bwcActive() ? bwcText(edit_.bwc) : QString());
    // The mode-5 rule and the bandwidth rule: the spins and captions that
    // do not apply are disabled.
    for (int i : {1, 3, 4}) {
        spn_Stat[i]->setEnabled(!fm);
        lbl_StatCaption[i]->setEnabled(!fm);
    }
    spn_Stat[5]->setEnabled(edit_.bwcActive());
    lbl_StatCaption[5]->setEnabled(edit_.bwcActive());
    for (int d = 0; d < 8; ++d)
        lbl_freq[d]->setText(QString::number(edit_.digits[d]));
}

void RxTimer::get_utc()
{
    edit_.setUtc(utcOf(app_.clock->now(), app_.settings.ltMinusUtc()));
}

void RxTimer::get_rx()
{
    if (!app_.rx || (run_ && run_->running()))
        return;
    Receiver2 *rx = app_.rx;
    // A job: runs now, or after another window's; dropped with this window.
    rx->submit(
        [this, rx]() -> rxjob::Task<> {
            const std::optional<QString> x = co_await rx->aReadRxState();
            if (!x) {
                if (!rx->portLost())
                    rx->report_no_answer();
                co_return;
            }
            edit_.setFromRx(*x);
            // Tuned from a list or log row: the event takes its station.
            if (app_.rec) {
                const QString st = app_.rec->stationAt(edit_.hz());
                if (!st.isEmpty())
                    txt_Station->setText(st);
            }
            showEdit();
        },
        true, this);
}

void RxTimer::tofix(int n) { table_.fix(n, edit_.toEvent()); }

void RxTimer::showRow(int n)
{
    const RowTexts t = rowTexts(table_.event_tab[n], app_.cap);
    for (int i = 0; i < 3; ++i) {
        lbl_DateRow[n][i]->setText(t.date[i]);
        lbl_TimeRow[n][i]->setText(t.time[i]);
    }
    for (int i = 0; i < 6; ++i)
        lbl_StatRow[n][i]->setText(t.stat[i]);
    for (int d = 0; d < 8; ++d)
        lbl_FreqRow[n][d]->setText(t.freq[d]);
    chk_RecRow[n]->setChecked(table_.event_tab[n].rec);
    const QString st = table_.event_tab[n].station;
    chk_RecRow[n]->setToolTip(QStringLiteral("Record event %1 while the output is on").arg(n) +
                              (st.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(st)));
}

void RxTimer::clearRow(int n)
{
    for (auto *l : lbl_DateRow[n])
        l->clear();
    for (auto *l : lbl_TimeRow[n])
        l->clear();
    for (auto *l : lbl_StatRow[n])
        l->clear();
    for (auto *l : lbl_FreqRow[n])
        l->clear();
    chk_RecRow[n]->setChecked(false);
}

void RxTimer::applyButtons()
{
    const bool running = run_ && run_->running();
    const EventTable::Buttons b = table_.buttons();
    for (int n = 1; n <= kEvents; ++n) {
        cmd_FxCrRow[n][0]->setEnabled(!running && b.fix[n]);
        cmd_FxCrRow[n][1]->setEnabled(!running && b.clr[n]);
        chk_RecRow[n]->setEnabled(!running && table_.event_fixed[n]);
    }
    cmd_TimerOn_->setEnabled(!running && b.timerOn);
    cmd_CrAll_->setEnabled(!running && b.clearAll);
    cmd_cancel_->setEnabled(!running);
    cmd_TimerOff_->setEnabled(running);
}

void RxTimer::cmd_FxCr(int n, int index)
{
    if (n < 1 || n > kEvents || (run_ && run_->running()))
        return;
    if (index == 0) {
        // Events are fixed in order: the next row or the last fixed one.
        const int k = table_.fixedCount();
        if (n > k + 1 || n < k)
            return;
        const bool refused = n == 1
            ? too_late_to_fix(edit_, app_.clock->now(), app_.settings.ltMinusUtc(), app_.prompter)
            : conflict(table_, n, edit_, app_.prompter);
        if (refused)
            return;
        tofix(n);
        showRow(n);
    } else {
        // Only the last fixed row can be cleared.
        if (table_.fixedCount() != n)
            return;
        table_.clear(n);
        clearRow(n);
    }
    applyButtons();
}

void RxTimer::cmd_CrAll()
{
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("You really want to clear/cancel\nall Timer Programming"),
        QStringLiteral("Timer Programming"), Prompter::Question, Prompter::YesNoCancel);
    crAllAnswer_ = a;
    if (a != Prompter::AnsYes)
        return;
    for (int n = 1; n <= kEvents; ++n) {
        table_.clear(n);
        clearRow(n);
    }
    applyButtons();
}

void RxTimer::cmd_cancel()
{
    if (run_ && run_->running())
        return;
    crAllAnswer_ = Prompter::AnsYes;
    if (table_.event_fixed[1]) {
        cmd_CrAll();
        if (table_.event_fixed[1] && crAllAnswer_ != Prompter::AnsYes)
            return;
    }
    closing_ = true;
    close();
}

void RxTimer::cmd_TimerOn()
{
    if (!table_.event_fixed[1] || run_->running())
        return;
    if (too_late_to_start(table_, app_.clock->now(), app_.settings.ltMinusUtc(), app_.prompter))
        return;
    setWindowTitle(TimerRun::onCaption());
    lbl_note->clear();
    // The buttons follow the run: only "Timer Off" works from here on.
    cmd_TimerOn_->setEnabled(false);
    cmd_cancel_->setEnabled(false);
    cmd_CrAll_->setEnabled(false);
    for (int n = 1; n <= kEvents; ++n) {
        for (auto *b : cmd_FxCrRow[n])
            b->setEnabled(false);
        chk_RecRow[n]->setEnabled(false);
    }
    cmd_TimerOff_->setEnabled(true);
    cmd_TimerOff_->setFocus();
    tmr_run_->start();
    run_->start();
    if (!run_->running()) {
        // Another held run has the receiver (it was said): back to programming.
        tmr_run_->stop();
        ti_off_ready();
        return;
    }
    applyButtons();
}

bool RxTimer::askInterrupt()
{
    return app_.prompter->message(QStringLiteral("You are sure you want to\ninterrupt timer programming"),
                                  QStringLiteral("Timer programming"), Prompter::Question,
                                  Prompter::YesNoCancel)
        == Prompter::AnsYes;
}

void RxTimer::cmd_TimerOff()
{
    if (!run_->running())
        return;
    if (!askInterrupt())
        return;
    run_->stop();
}

void RxTimer::ti_off_ready()
{
    setWindowTitle(QStringLiteral("Timer Programming Ready"));
    for (int n = 1; n <= kEvents; ++n)
        paint(lbl_TimeRow[n][2], kLight);
    paint(lbl_UTC, kLight);
    // The run is over (or going): the buttons of programming come back.
    cmd_TimerOn_->setEnabled(true);
    cmd_cancel_->setEnabled(true);
    cmd_CrAll_->setEnabled(true);
    cmd_TimerOff_->setEnabled(false);
    const EventTable::Buttons b = table_.buttons();
    for (int n = 1; n <= kEvents; ++n) {
        cmd_FxCrRow[n][0]->setEnabled(b.fix[n]);
        cmd_FxCrRow[n][1]->setEnabled(b.clr[n]);
        chk_RecRow[n]->setEnabled(table_.event_fixed[n]);
    }
}

void RxTimer::setOnAir(int k, bool on)
{
    if (k >= 1 && k <= kEvents)
        paint(lbl_TimeRow[k][2], on ? kYellow : kLight);
    paint(lbl_UTC, on ? kYellow : kLight);
}

void RxTimer::addNote(const QString &text)
{
    const QString stamp = utcOf(app_.clock->now(), app_.settings.ltMinusUtc()).toString(QStringLiteral("HH:mm"));
    QStringList lines = lbl_note->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // A run of missed replies keeps one line, its count going up.
    static const QString kMissed = QStringLiteral(" UTC  no reply ");
    if (text.startsWith(QStringLiteral("no reply ")) && !lines.isEmpty() && lines.last().contains(kMissed))
        lines.removeLast();
    lines << stamp + QStringLiteral(" UTC  ") + text;
    while (lines.size() > 4)
        lines.removeFirst();
    lbl_note->setText(lines.join(QLatin1Char('\n')));
}

void RxTimer::showRunState()
{
    const int k = run_->run_index;
    const TimerEvent &e = table_.event_tab[qBound(1, k, kEvents)];
    const QTime start(e.hour(), e.minute());
    const QString at = start.toString(QStringLiteral("HH:mm"));
    const QString until = start.addSecs(e.duration() * 60).toString(QStringLiteral("HH:mm"));
    QString s;
    switch (run_->phase()) {
    case TimerRun::Phase::Idle:
        break;
    case TimerRun::Phase::Starting:
    case TimerRun::Phase::Waiting:
    case TimerRun::Phase::Between:
        s = QStringLiteral("Waiting for event %1 of %2 (%3 UTC)").arg(k).arg(run_->run_count).arg(at);
        break;
    case TimerRun::Phase::Preparing:
    case TimerRun::Phase::Settling:
        s = QStringLiteral("Event %1 prepared, output on at %2 UTC").arg(k).arg(at);
        break;
    case TimerRun::Phase::OnAir:
        s = QStringLiteral("Event %1 on air until %2 UTC").arg(k).arg(until);
        break;
    }
    lbl_run->setText(s);
}

void RxTimer::tmr_lt_utc()
{
    const QDateTime lt = app_.clock->now();
    lbl_LT->setText(lt.toString(QStringLiteral("HH:mm:ss")));
    lbl_UTC->setText(utcOf(lt, app_.settings.ltMinusUtc()).toString(QStringLiteral("HH:mm:ss")));
}

void RxTimer::closeEvent(QCloseEvent *e)
{
    if (run_ && run_->running()) {
        // Closing interrupts the run, as "Timer Off" does.
        if (!askInterrupt()) {
            e->ignore();
            return;
        }
        run_->shutdown();
        e->accept();
        return;
    }
    if (!closing_ && table_.event_fixed[1]) {
        // The title bar's close button works as "Exit".
        crAllAnswer_ = Prompter::AnsYes;
        cmd_CrAll();
        if (table_.event_fixed[1] && crAllAnswer_ != Prompter::AnsYes) {
            e->ignore();
            return;
        }
    }
    closing_ = false;
    e->accept();
}
