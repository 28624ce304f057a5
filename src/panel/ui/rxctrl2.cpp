#include "panel/ui/rxctrl2.h"

#include "common/fmt.h"
#include "common/timetext.h"
#include "link/app.h"
#include "link/captions.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "measure/meter.h"
#include "measure/session.h"
#include "panel/entry.h"
#include "panel/ui/textgrid.h"
#include "record/recsession.h"
#include "schedules/ftlfile.h"
#include "timer/eventtab.h"
#include "settings/ui/about.h"
#include "settings/ui/setup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStatusBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>
#include <cmath>
#include <memory>

rxctrl2::rxctrl2(App &app, QWidget *parent) : QMainWindow(parent), app_(app)
{
    setObjectName(QStringLiteral("rxctrl2"));
    exitHook = [](int code) { QCoreApplication::exit(code); };

    // Load step, in this order: direction, region codes and code tables,
    // the grids, then the loaded flag.
    spin_dir_ = 1;
    app_.cap = Captions::build(app_.settings);
    buildUi();
    set_grd_hf();
    set_grd_vbt();
    set_grd_CS();
    set_grd_bw();
    set_grd_agc();
    set_grd_nb();
    set_grd_md();
    set_grd_lock();
    buildMenus();
    // The status tip line: what a menu item or control under the pointer does.
    statusBar()->setObjectName(QStringLiteral("statusbar"));
    statusBar()->setSizeGripEnabled(false);
    statusBar()->setStyleSheet(QStringLiteral("QStatusBar { background: #24272b; color: #e2e5e9; }"));
    lbl_tuned_ = new QLabel(this);
    lbl_tuned_->setObjectName(QStringLiteral("lbl_tuned"));
    lbl_tuned_->setAccessibleDescription(QStringLiteral("Frequency field"));
    lbl_tuned_->setStyleSheet(QStringLiteral("QLabel { color: #ff9a7a; font-weight: bold; padding: 0 4px; }"));
    lbl_tuned_->hide();
    statusBar()->addWidget(lbl_tuned_, 1);
    lbl_onair_ = new QLabel(this);
    lbl_onair_->setObjectName(QStringLiteral("lbl_onair"));
    lbl_onair_->setAccessibleDescription(QStringLiteral("On the air at the frequency"));
    lbl_onair_->setStyleSheet(QStringLiteral("QLabel { color: #a8e6b4; padding: 0 4px; }"));
    // A long text is cut at the window's edge; it never widens the panel.
    lbl_onair_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    lbl_onair_->hide();
    statusBar()->addWidget(lbl_onair_, 1);
    app_.panel = this;
    connectReceiver();
    loaded_ = true;

    showtime_ = new QTimer(this);
    showtime_->setObjectName(QStringLiteral("Showtime"));
    showtime_->setInterval(5000);
    connect(showtime_, &QTimer::timeout, this, &rxctrl2::showtime);
    showtime_->start();
    showtime(); // the title is never empty

    // The signal meter: its tick runs always and does nothing while the
    // meter is not chosen; a measuring window's readings show as they come.
    meterTick_ = new QTimer(this);
    meterTick_->setObjectName(QStringLiteral("MeterTick"));
    meterTick_->setInterval(1000);
    connect(meterTick_, &QTimer::timeout, this, &rxctrl2::meterTick);
    meterTick_->start();
    connect(MeasureFeed::instance(), &MeasureFeed::reading, this, &rxctrl2::showMeter);
    connect(MeasureFeed::instance(), &MeasureFeed::runningChanged, this, [this](bool on) {
        if (!on)
            showMeter(-1);
    });

    showOnAir(true);
    if (app_.rec)
        app_.rec->setStationFallback([p = QPointer<rxctrl2>(this)](qint64 hz) {
            return p ? p->onAirStation(hz) : QString();
        });

    recTick_ = new QTimer(this);
    recTick_->setObjectName(QStringLiteral("RecTick"));
    recTick_->setInterval(200);
    connect(recTick_, &QTimer::timeout, this, &rxctrl2::showRecording);
    connect(ui_.cmd_rec, &QPushButton::clicked, this, &rxctrl2::cmd_rec_click);
    if (app_.rec) {
        connect(app_.rec, &RecSession::started, this, &rxctrl2::recStarted);
        connect(app_.rec, &RecSession::stopped, this, &rxctrl2::recStopped);
        if (app_.rec->running())
            recStarted();
    }
}

// ---------------------------------------------------------------- recording

void rxctrl2::cmd_rec_click()
{
    if (app_.rec && app_.rec->running()) {
        app_.rec->stop();
        return;
    }
    ui_.cmd_rec->setChecked(false);
    if (!app_.rec) {
        app_.prompter->message(QStringLiteral("Recording is not available."),
                               QStringLiteral("Recording"), Prompter::Exclamation);
        return;
    }
    RecSession::Request r;
    // The frequency the receiver is on, not a value typed and refused.
    const std::optional<qint64> hz = app_.rx ? app_.rx->knownHz() : std::nullopt;
    r.khz = hz ? *hz / 1000.0 : 0;
    r.mode = ui_.lbl_md->text().trimmed();
    r.bandwidth = ui_.lbl_bw->text().trimmed();
    r.startedBy = QStringLiteral("Rec button");
    QString err, warning;
    if (!app_.rec->start(r, &err, &warning)) {
        app_.prompter->message(err, QStringLiteral("Recording"), Prompter::Exclamation);
        return;
    }
    if (!warning.isEmpty())
        app_.prompter->message(warning, QStringLiteral("Recording"), Prompter::Exclamation);
}

void rxctrl2::recStarted()
{
    ui_.cmd_rec->setChecked(true);
    ui_.lbl_recTime->setEnabled(true);
    ui_.cmd_rec->setToolTip(QStringLiteral("Recording into %1; press to stop (Alt+E)")
                                .arg(QDir::toNativeSeparators(app_.rec->path())));
    showRecording();
    recTick_->start();
}

void rxctrl2::recStopped(const QString &path, const QString &reason)
{
    recTick_->stop();
    ui_.cmd_rec->setChecked(false);
    ui_.lbl_recTime->setEnabled(false);
    ui_.bar_level->setValue(0);
    ui_.cmd_rec->setToolTip(QStringLiteral("Record what the receiver plays into the sound input;"
                                           " press again to stop (Alt+E)"));
    // A recording of the timer is reported in its window. The message does
    // not hold the panel: the user goes on listening while it shows.
    if (!reason.isEmpty() && app_.rec && app_.rec->startedBy() == QLatin1String("Rec button"))
        app_.prompter->notice(reason, QStringLiteral("Recording"), Prompter::Exclamation);
    (void)path;
}

void rxctrl2::showRecording()
{
    if (!app_.rec)
        return;
    const int s = int(app_.rec->seconds());
    ui_.lbl_recTime->setText(QStringLiteral("%1:%2:%3")
                                 .arg(s / 3600, 2, 10, QLatin1Char('0'))
                                 .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                 .arg(s % 60, 2, 10, QLatin1Char('0')));
    // The peak in dB of full scale, -60 to 0.
    const float peak = app_.rec->level();
    const double db = peak > 0 ? 20 * std::log10(double(peak)) : -60;
    ui_.bar_level->setValue(int(std::lround(std::clamp(db, -60.0, 0.0) + 60)));
}

rxctrl2::~rxctrl2()
{
    go_state_ = 0;
    if (app_.panel == this)
        app_.panel = nullptr;
}

// ---------------------------------------------------------------- wiring

void rxctrl2::buildUi()
{
    ui_.setupUi(this);
    connect(ui_.grd_HF, &TextGrid::cellClicked, this, [this](int, int c) { grd_HF_click(c); });
    connect(ui_.grd_agc, &TextGrid::cellClicked, this, [this](int, int c) { grd_agc_click(c); });
    connect(ui_.grd_nb, &TextGrid::cellClicked, this, [this](int, int c) { grd_nb_click(c); });
    connect(ui_.grd_bw, &TextGrid::cellClicked, this, [this](int, int c) { grd_bw_click(c); });
    connect(ui_.grd_md, &TextGrid::cellClicked, this, &rxctrl2::grd_md_click);
    connect(ui_.grd_vbt, &TextGrid::cellClicked, this, [this](int, int c) { grd_vbt_click(c); });
    connect(ui_.grd_lock, &TextGrid::cellClicked, this, [this](int, int c) { grd_lock_click(c); });
    connect(ui_.grd_CS, &TextGrid::cellClicked, this, &rxctrl2::grd_CS_click);
    connect(ui_.vsc_bwc, &QScrollBar::valueChanged, this, &rxctrl2::vsc_bwc_change);
    connect(ui_.vsc_pbs, &QScrollBar::valueChanged, this, &rxctrl2::vsc_pbs_change);
    connect(ui_.cmd_gono, &QPushButton::clicked, this, &rxctrl2::cmd_gono_click);

    ui_.txt_freqa->installEventFilter(this);
    ui_.txt_freqa->parentWidget()->installEventFilter(this); // the display around it
    connect(ui_.txt_freqa, &QLineEdit::returnPressed, this, &rxctrl2::enterTypedFrequency);
    connect(ui_.txt_freqa, &QLineEdit::textEdited, this, [this] { showNotTuned(false); });
    connect(ui_.spn_up, &QToolButton::clicked, this, [this] { spinStep(1); });
    connect(ui_.spn_down, &QToolButton::clicked, this, [this] { spinStep(-1); });
    for (int k = 0; k <= 9; ++k) {
        const QString d = QString::number(k);
        connect(ui_.cmd_0to9[k], &QPushButton::clicked, this, [this, d] { keypadKey(d); });
    }
    connect(ui_.cmd_dot, &QPushButton::clicked, this, [this] { keypadKey(QStringLiteral(".")); });
    connect(ui_.cmd_back, &QPushButton::clicked, this,
            [this] { keypadKey(QStringLiteral("back")); });
    connect(ui_.cmd_enter, &QPushButton::clicked, this, &rxctrl2::enterKeypadFrequency);
    connect(ui_.cmd_enterC, &QPushButton::clicked, this, &rxctrl2::enterKeypadChannel);

    auto *focusField = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(focusField, &QShortcut::activated, this, [this] {
        ui_.txt_freqa->setFocus(Qt::ShortcutFocusReason);
        ui_.txt_freqa->selectAll();
    });
}

// ---------------------------------------------------------------- grids

void rxctrl2::set_grd_hf() { ui_.grd_HF->setCells(app_.cap.gridHF); }
void rxctrl2::set_grd_vbt() { ui_.grd_vbt->setCells(app_.cap.gridVbt); }

void rxctrl2::set_grd_CS()
{
    ui_.grd_CS->setCells(app_.cap.gridCS);
    step_hz_ = 5000;
    ui_.fra_freq->setTitle(QStringLiteral("Frequency/Step=5"));
    ui_.grd_CS->setCurrent(2, 2);
}

void rxctrl2::set_grd_bw() { ui_.grd_bw->setCells(app_.cap.gridBw); }
void rxctrl2::set_grd_agc() { ui_.grd_agc->setCells(app_.cap.gridAgc); }

void rxctrl2::set_grd_nb()
{
    ui_.grd_nb->setCells(app_.cap.gridNb);
    setLabel(NB, QStringLiteral("Off"));
}

void rxctrl2::set_grd_md() { ui_.grd_md->setCells(app_.cap.gridMd); }

void rxctrl2::set_grd_lock()
{
    ui_.grd_lock->setCells(app_.cap.gridLock);
    ui_.lbl_lock->setText(QStringLiteral("Off"));
    panelui::paintValue(ui_.lbl_lock, panelui::kLight);
    ui_.grd_lock->setCurrent(0, 0);
}

void rxctrl2::grd_HF_click(int c)
{
    if (c < 0 || c > 1 || !app_.rx)
        return;
    app_.rxs.att = int16_t(c);
    int16_t n = int16_t(c);
    app_.rx->set_att(n);
}

void rxctrl2::grd_agc_click(int c)
{
    if (c < 0 || c > 2 || !app_.rx)
        return;
    int16_t n = int16_t(gridcodes::agc[c]);
    app_.rx->set_agc(n);
}

void rxctrl2::afterLine(std::function<void()> fn)
{
    // A job without a bracket of its own: it runs when the commands
    // submitted before it have gone out, and not at all once the panel is gone.
    app_.rx->submit(
        [fn]() -> rxjob::Task<> {
            fn();
            co_return;
        },
        false, this);
}

void rxctrl2::grd_nb_click(int c)
{
    if (c < 0 || c > 2 || !app_.rx)
        return;
    app_.rx->set_nb(c);
    setLabel(NB, Captions::text(app_.cap.nb, c));
}

void rxctrl2::grd_bw_click(int c)
{
    if (c < 0 || c > 3 || !app_.rx)
        return;
    int16_t n = int16_t(gridcodes::bw[c]);
    app_.rx->set_bw(n);
    const int code = gridcodes::bw[c];
    // The BWC control follows once the filter command has gone out (its
    // "W" comes after the filter's).
    afterLine([this, code] {
        if (code == 2 || code == 3) {
            clearBwc();
        } else if (app_.settings.bwcFitted() && app_.rx->held()) {
            const auto range = rxlimits::bwcRange(code);
            enableBwc(range->minEnd, range->maxEnd, range->minEnd);
        }
    });
}

void rxctrl2::grd_md_click(int r, int c)
{
    if (r < 0 || r > 2 || c < 0 || c > 2 || !app_.rx)
        return;
    int16_t n = int16_t(gridcodes::md[r * 3 + c]);
    app_.rxs.mode = n;
    app_.rx->set_mode(n);
    refreshNow();
}

void rxctrl2::grd_vbt_click(int c)
{
    if (c < 0 || c > 1 || !app_.rx)
        return;
    vbt_choice_ = c;
    app_.rx->set_vbt(c == 1);
    showVbt(c == 1);
}

rxjob::Task<bool> rxctrl2::aHoldAndRefresh()
{
    Receiver2 *rx = app_.rx;
    co_await rx->aHold();
    if (app_.settings.noRx())
        co_return true;
    const bool ok = co_await rx->aRefreshPanel(Receiver2::Tell::All);
    co_return ok;
}

void rxctrl2::grd_lock_click(int c)
{
    if (c < 0 || c > 1 || !app_.rx)
        return;
    if (c == 0) {
        panelLock_ = false;
        panelui::paintValue(ui_.lbl_lock, panelui::kLight);
        releaseLock();
        ui_.lbl_lock->setText(Captions::text(app_.cap.lock, c));
        return;
    }
    panelui::paintValue(ui_.lbl_lock, panelui::kOrange);
    app_.rx->submit(
        [this, c]() -> rxjob::Task<> {
            const bool ok = co_await aHoldAndRefresh();
            if (!ok) {
                // The receiver did not answer: let it go again.
                co_await app_.rx->aRelease();
                ui_.grd_lock->setCurrent(0, 0);
                co_return;
            }
            panelLock_ = true;
            ui_.lbl_lock->setText(Captions::text(app_.cap.lock, c));
        },
        false, this);
}

void rxctrl2::grd_CS_click(int r, int c)
{
    const QString t = ui_.grd_CS->cellText(r, c);
    if (t.isEmpty())
        return;
    step_hz_ = panelentry::stepHzOf(t);
    ui_.fra_freq->setTitle(QStringLiteral("Frequency/Step=") + t);
    showOnAir(false);
}

void rxctrl2::vsc_bwc_change(int v)
{
    if (app_.rx && app_.rx->setBwc(v))
        ui_.lbl_bwc->setText(fmt::zeros(v, 4));
}

void rxctrl2::vsc_pbs_change(int v)
{
    if (app_.rx && app_.rx->setPbs(v))
        ui_.lbl_pbs->setText(Receiver2::pbsText(v));
}

void rxctrl2::releaseLock()
{
    // Needs nothing of the panel: it goes out also when the panel closes.
    Receiver2 *rx = app_.rx;
    rx->submit([rx]() -> rxjob::Task<> { co_await rx->aRelease(); }, false, nullptr);
}

void rxctrl2::showGo(bool going)
{
    const QString t = going ? QStringLiteral("NO") : QStringLiteral("GO");
    ui_.cmd_gono->setText(t);
    ui_.cmd_gono->setAccessibleName(t);
    ui_.cmd_gono->setProperty("going", going);
    ui_.cmd_gono->style()->unpolish(ui_.cmd_gono);
    ui_.cmd_gono->style()->polish(ui_.cmd_gono);
}

void rxctrl2::cmd_gono_click()
{
    if (!app_.rx)
        return;
    go_state_ = 1 - go_state_;
    showGo(go_state_ == 1);
    if (go_state_ == 0) {
        releaseLock();
        return;
    }
    // Continuous tuning: each step is a job of its own, and the next one is
    // submitted when it has gone out, so clicks and other windows' jobs get
    // the line between steps. NO (go_state_ 0) ends the chain.
    app_.rx->submit(
        [this]() -> rxjob::Task<> {
            const bool ok = co_await aHoldAndRefresh();
            if (go_state_ != 1)
                co_return;
            if (!ok) {
                cmd_gono_click(); // no answer: stop as NO would
                co_return;
            }
            goStep();
        },
        false, this);
}

void rxctrl2::goStep()
{
    if (go_state_ != 1 || go_loop_)
        return;
    if (app_.rx->portLost()) {
        cmd_gono_click(); // the line is gone: stop cleanly
        return;
    }
    go_loop_ = true;
    spinStep(spin_dir_ == -1 ? -1 : 1);
    afterLine([this] {
        go_loop_ = false;
        goStep();
    });
}

// ---------------------------------------------------------------- entry

void rxctrl2::keypadKey(const QString &key)
{
    keypad_text_ = panelentry::keypadPress(keypad_text_, key);
    ui_.lbl_mfreq->setText(keypad_text_);
}

bool rxctrl2::tuneTo(qint64 hz)
{
    const bool tuned = app_.rx->tune(hz, Origin::Panel);
    if (!tuned)
        app_.prompter->message(QStringLiteral("Freqyency outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
    return tuned;
}

void rxctrl2::showNotTuned(bool on)
{
    if (on == ui_.txt_freqa->property("notTuned").toBool())
        return;
    QString text;
    if (on) {
        const std::optional<qint64> hz = app_.rx ? app_.rx->knownHz() : std::nullopt;
        text = hz ? QStringLiteral("Not tuned: the receiver is at %1 kHz").arg(fmt::freqText(*hz / 1000.0))
                  : QStringLiteral("Not tuned: the receiver's frequency is not known");
    }
    ui_.txt_freqa->setProperty("notTuned", on);
    ui_.txt_freqa->style()->unpolish(ui_.txt_freqa);
    ui_.txt_freqa->style()->polish(ui_.txt_freqa);
    ui_.txt_freqa->setAccessibleDescription(text);
    lbl_tuned_->setText(text);
    lbl_tuned_->setVisible(on);
}

void rxctrl2::enterKeypadFrequency()
{
    const qint64 hz = panelentry::hzOf(keypad_text_);
    // The display is cleared first so that keys pressed while the command
    // goes out start a new entry.
    keypad_text_.clear();
    ui_.lbl_mfreq->clear();
    tuneTo(hz);
}

void rxctrl2::enterKeypadChannel()
{
    const QString t = keypad_text_;
    keypad_text_.clear();
    ui_.lbl_mfreq->clear();
    const std::optional<int> ch = panelentry::channelOf(t);
    if (!ch) {
        app_.prompter->message(QStringLiteral("Memory cell outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
        return;
    }
    app_.rx->recall(*ch);
    refreshNow();
}

void rxctrl2::enterTypedFrequency()
{
    // A refused value stays in the field as typed, marked as not tuned.
    if (!tuneTo(panelentry::hzOf(ui_.txt_freqa->text())) || (app_.rx && app_.rx->portLost()))
        showNotTuned(true);
}

void rxctrl2::spinSteps(int dir, int count)
{
    if (!app_.rx || count <= 0 || go_state_ == 1)
        return;
    if (spin_busy_) {
        pendingSteps_ += dir < 0 ? -count : count;
        return;
    }
    spin_busy_ = true;
    ui_.spn_Freq->setEnabled(false);
    spin_dir_ = panelentry::spinDirOf(dir);
    const long long hz = panelentry::spinTargetHz(app_.rx->knownHz(), step_hz_ * count, spin_dir_);
    app_.rx->tune(hz, Origin::Panel);
    afterLine([this] {
        spin_busy_ = false;
        ui_.spn_Freq->setEnabled(true);
        const int more = pendingSteps_;
        pendingSteps_ = 0;
        if (more != 0)
            spinSteps(more, std::abs(more));
    });
}

void rxctrl2::spinStep(int dir)
{
    if (!app_.rx)
        return;
    if (spin_busy_) {
        // A step is on the line. While GO runs, a click or a +/- key turns
        // the direction for its next pass; otherwise the step is not re-entered.
        if (go_state_ == 1)
            spin_dir_ = panelentry::spinDirOf(dir);
        return;
    }
    spin_busy_ = true;
    // While GO runs the spin button stays usable: it reverses the stepping.
    if (go_state_ != 1)
        ui_.spn_Freq->setEnabled(false);
    spin_dir_ = panelentry::spinDirOf(dir);
    const long long hz = panelentry::spinTargetHz(app_.rx->knownHz(), step_hz_, spin_dir_);
    app_.rx->tune(hz, Origin::Panel);
    afterLine([this] {
        spin_busy_ = false;
        ui_.spn_Freq->setEnabled(true);
    });
}

void rxctrl2::refreshNow()
{
    if (app_.settings.noRx() || !app_.rx)
        return;
    Receiver2 *rx = app_.rx;
    rx->submit([rx]() -> rxjob::Task<> { co_await rx->aRefresh(Receiver2::Tell::All); }, true, this);
}

// ---------------------------------------------------------------- PanelView

void rxctrl2::connectReceiver()
{
    Receiver2 *rx = app_.rx;
    if (!rx)
        return;
    connect(rx, &Receiver2::labelChanged, this, &rxctrl2::setLabel);
    connect(rx, &Receiver2::vbtChanged, this, &rxctrl2::showVbt);
    connect(rx, &Receiver2::bwcEnabled, this, &rxctrl2::enableBwc);
    connect(rx, &Receiver2::pbsEnabled, this, &rxctrl2::enablePbs);
    connect(rx, &Receiver2::bwcCleared, this, &rxctrl2::clearBwc);
    connect(rx, &Receiver2::pbsCleared, this, &rxctrl2::clearPbs);
    connect(rx, &Receiver2::agcEnabledChanged, this, &rxctrl2::setAgcEnabled);
    connect(rx, &Receiver2::bwFrameEnabledChanged, this, &rxctrl2::setBwFrameEnabled);
    connect(rx, &Receiver2::panelEnabledChanged, this, &rxctrl2::setPanelEnabled);
    connect(rx, &Receiver2::frequencyChanged, this, [this](qint64 hz) {
        setFreqText(freqShown(hz));
        showOnAir(false);
    });
    // The lock's label, and the controls that only work while it is held.
    connect(rx, &Receiver2::lockChanged, this, [this](bool held) {
        showLock(held);
        if (!held) {
            panelLock_ = false;
            clearBwc();
            clearPbs();
        }
    });
}

void rxctrl2::setLabel(Label which, const QString &text)
{
    QLabel *l = nullptr;
    switch (which) {
    case HF: l = ui_.lbl_HF; break;
    case BW: l = ui_.lbl_bw; break;
    case MD: l = ui_.lbl_md; break;
    case AGC: l = ui_.lbl_agc; break;
    case NB: l = ui_.lbl_nb; break;
    }
    if (l)
        l->setText(text);
    syncGrid(which, text);
}

void rxctrl2::syncGrid(Label which, const QString &text)
{
    // The grid beside a label marks the cell of the value it shows.
    const Captions &cap = app_.cap;
    auto mark = [&](TextGrid *g, const QStringList &labels, const int *codes, int cells) {
        const int code = text.isEmpty() ? -1 : int(labels.indexOf(text));
        for (int i = 0; i < cells; ++i)
            if (code >= 0 && codes[i] == code) {
                g->setCurrent(i / g->cols(), i % g->cols());
                return;
            }
        g->setCurrent(-1, -1);
    };
    static const int identity[3] = {0, 1, 2};
    switch (which) {
    case HF: mark(ui_.grd_HF, cap.att, identity, 2); break;
    case BW: mark(ui_.grd_bw, cap.bw, gridcodes::bw, 4); break;
    case MD: mark(ui_.grd_md, cap.mode, gridcodes::md, 9); break;
    case AGC: mark(ui_.grd_agc, cap.agc, gridcodes::agc, 3); break;
    case NB: mark(ui_.grd_nb, cap.nb, identity, 3); break;
    }
}

void rxctrl2::showVbt(bool on)
{
    ui_.lbl_vbt->setText(on ? QStringLiteral(" On") : QStringLiteral("Off"));
    panelui::paintValue(ui_.lbl_vbt, on ? panelui::kLight : panelui::kOrange);
    ui_.grd_vbt->setCurrent(0, on ? 1 : 0);
}

void rxctrl2::showLock(bool on)
{
    ui_.lbl_lock->setText(on ? QStringLiteral(" On") : QStringLiteral(" Off"));
    panelui::paintValue(ui_.lbl_lock, on ? panelui::kOrange : panelui::kLight);
    ui_.grd_lock->setCurrent(0, on ? 1 : 0);
}

void rxctrl2::enableBwc(int minEnd, int maxEnd, int value)
{
    ui_.vsc_bwc->setEnabled(true);
    const int before = ui_.vsc_bwc->value();
    {
        // The new range may clamp the old value on the way; only the final
        // value counts as a change (one "W", never an intermediate one).
        const QSignalBlocker quiet(ui_.vsc_bwc);
        // The end with the larger value is drawn at the top (the minimum end).
        ui_.vsc_bwc->setInvertedAppearance(minEnd > maxEnd);
        ui_.vsc_bwc->setRange(qMin(minEnd, maxEnd), qMax(minEnd, maxEnd));
        ui_.vsc_bwc->setValue(value);
    }
    if (ui_.vsc_bwc->value() != before)
        vsc_bwc_change(ui_.vsc_bwc->value());
    ui_.lbl_bwc->setText(fmt::zeros(value, 4));
}

void rxctrl2::enablePbs(int value, const QString &labelText)
{
    ui_.vsc_pbs->setEnabled(true);
    ui_.vsc_pbs->setValue(value);
    ui_.lbl_pbs->setText(labelText);
}

void rxctrl2::clearBwc()
{
    ui_.vsc_bwc->setEnabled(false);
    ui_.lbl_bwc->clear();
}

void rxctrl2::clearPbs()
{
    ui_.vsc_pbs->setEnabled(false);
    ui_.lbl_pbs->clear();
}

void rxctrl2::setAgcEnabled(bool on) { ui_.grd_agc->setEnabled(on); }

void rxctrl2::setBwFrameEnabled(bool on)
{
    ui_.fra_bw->setEnabled(on);
    ui_.grd_bw->setEnabled(on);
}

void rxctrl2::setFreqText(const QString &s)
{
    showNotTuned(false);
    ui_.txt_freqa->setText(s);
}

void rxctrl2::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void rxctrl2::setPanelEnabled(bool on) { setEnabled(on); }

// ---------------------------------------------------------------- signal meter

void rxctrl2::showMeter(double units)
{
    MeasureFeed::instance()->tellPanelMeter(units);
    if (units < 0) {
        ui_.bar_smeter->setValue(0);
        ui_.lbl_smeter->setText(QStringLiteral("--"));
        return;
    }
    ui_.bar_smeter->setValue(int(std::lround(std::clamp(units, 0.0, 21.0) * 10)));
    ui_.lbl_smeter->setText(meter::sText(units));
}

void rxctrl2::meterTick()
{
    const bool on = app_.settings.panel_meter;
    if (ui_.fra_smeter->isVisibleTo(this) != on)
        ui_.fra_smeter->setVisible(on);
    Receiver2 *rx = app_.rx;
    // A measuring window's own readings show while it runs.
    if (!on || !rx || MeasureFeed::instance()->running() > 0)
        return;
    // Only while the Lock holds the receiver: the meter never takes it
    // into remote control by itself. Any other job or session goes first.
    if (!panelLock_ || !rx->held() || app_.settings.noRx()) {
        showMeter(-1);
        return;
    }
    if (meterInFlight_ || rx->sessionActive() || !rx->lineFree())
        return;
    meterInFlight_ = true;
    rx->submit(
        [this, rx]() -> rxjob::Task<> {
            if (!rx->held() || !panelLock_) {
                meterInFlight_ = false;
                co_return;
            }
            const meter::Reading r = co_await MeasureSession::aGetsmeter(app_, false);
            meterInFlight_ = false;
            if (MeasureFeed::instance()->running() > 0)
                co_return;
            showMeter(r.ok() ? r.v : -1);
        },
        false, this);
}

void rxctrl2::showSimulated()
{
    const bool sim = app_.port && app_.port->simulated();
    if (ui_.lbl_sim->isVisibleTo(this) != sim)
        ui_.lbl_sim->setVisible(sim);
}

void rxctrl2::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    showSimulated();
    meterTick();
    // At start: once the panel is on the screen.
    QTimer::singleShot(0, this, &rxctrl2::checkUtcOffset);
}

// ---------------------------------------------------------------- clock line

void rxctrl2::showtime()
{
    const QDateTime now = app_.clock ? app_.clock->now() : QDateTime::currentDateTime();
    app_.times = timetext::compute(now, app_.settings.ltMinusUtcStored());
    setWindowTitle(QStringLiteral("LT : ") + app_.times.lt_text +
                   QStringLiteral("    VORANTIS V6    ") + QStringLiteral("UTC : ") +
                   app_.times.utc_text);
    ui_.lbl_utc->setText(QStringLiteral("UTC  ") + app_.times.utc_text);
    ui_.lbl_lt->setText(QStringLiteral("LT ") + app_.times.lt_text.right(5));
    ui_.lbl_lt->setToolTip(QStringLiteral("Local time: ") + app_.times.lt_text);
    showSimulated();
    // A new minute: what is on the air may have changed.
    const QDateTime utc = timertab::utcOf(now, app_.settings.ltMinusUtc());
    const int minute = utc.time().hour() * 60 + utc.time().minute();
    if (lbl_onair_ && minute != onairMinute_)
        showOnAir(true);
    checkUtcOffset();
}

// ---------------------------------------------------------------- on the air

QList<onair::Entry> rxctrl2::onAirAt(qint64 hz) const
{
    if (hz <= 0)
        return {};
    const QDateTime utc = timertab::utcOf(app_.clock ? app_.clock->now() : QDateTime::currentDateTime(),
                                          app_.settings.ltMinusUtc());
    const double catchKhz = std::max(step_hz_ / 2, 1000) / 1000.0;
    return onairLists_.at(hz / 1000.0, onair::momentOf(utc), catchKhz);
}

QString rxctrl2::onAirText() const
{
    return onairText_;
}

QString rxctrl2::onAirStation(qint64 hz) const
{
    const QList<onair::Entry> now = onAirAt(hz);
    return now.isEmpty() ? QString() : now.first().station;
}

void rxctrl2::showOnAir(bool look)
{
    if (!lbl_onair_)
        return; // the load step, before the status line is there
    const QDateTime utc = timertab::utcOf(app_.clock ? app_.clock->now() : QDateTime::currentDateTime(),
                                          app_.settings.ltMinusUtc());
    if (look) {
        onairMinute_ = utc.time().hour() * 60 + utc.time().minute();
        onairLists_.refresh(ftl::dataDir(app_.settings.base_dir), std::max(1, app_.settings.dim(3)) * 1000);
    }
    const std::optional<qint64> hz = app_.rx ? app_.rx->knownHz() : std::nullopt;
    const QList<onair::Entry> now = onAirAt(hz.value_or(-1));
    const QString text = onair::statusText(now);
    QStringList all;
    for (const onair::Entry &e : now)
        all << onair::statusText({e});
    onairText_ = text;
    lbl_onair_->setText(text);
    lbl_onair_->setToolTip(all.join(QLatin1Char('\n')));
    lbl_onair_->setVisible(!text.isEmpty());
}

namespace {
// "UTC+2", "UTC-5", "UTC+5:45".
QString utcOffsetText(int seconds)
{
    const int m = std::abs(seconds) / 60;
    QString t = QStringLiteral("UTC") + (seconds < 0 ? QLatin1Char('-') : QLatin1Char('+')) +
                QString::number(m / 60);
    if (m % 60)
        t += QStringLiteral(":%1").arg(m % 60, 2, 10, QLatin1Char('0'));
    return t;
}
// "1 h", "30 min", "1 h 30 min".
QString spanText(int minutes)
{
    minutes = std::abs(minutes);
    QStringList parts;
    if (minutes / 60)
        parts << QStringLiteral("%1 h").arg(minutes / 60);
    if (minutes % 60)
        parts << QStringLiteral("%1 min").arg(minutes % 60);
    return parts.join(QLatin1Char(' '));
}
} // namespace

void rxctrl2::checkUtcOffset()
{
    // Not over another dialog (set-up shows LT-UTC itself): on a later tick.
    if (!app_.clock || !isVisible() || QApplication::activeModalWidget())
        return;
    const std::optional<int> offset = app_.clock->utcOffsetSeconds();
    Receiver2 *rx = app_.rx;
    // Something that runs by itself is never stopped by the question.
    const bool running = (rx && rx->sessionActive()) || (app_.rec && app_.rec->running()) ||
                         go_state_ == 1 || MeasureFeed::instance()->running() > 0;
    const double lt = app_.settings.ltMinusUtc();
    const timetext::OffsetWatch::Say say = offsetWatch_.check(offset, lt, running);
    if (say == timetext::OffsetWatch::Say::Nothing)
        return;
    const QString title = QStringLiteral("LT-UTC");
    const QString text =
        QStringLiteral("The system's local time is %1, but LT-UTC in the set-up is %2 h:\n"
                       "every UTC time the program shows, the timer events and the on-air lists "
                       "are %3 off.")
            .arg(utcOffsetText(*offset), timetext::hoursText(lt),
                 spanText(*offset / 60 - int(std::llround(lt * 60))));
    if (say == timetext::OffsetWatch::Say::Notice) {
        app_.prompter->notice(text + QStringLiteral("\nYou will be asked to set it when the run has ended."),
                              title, Prompter::Exclamation);
        return;
    }
    const std::optional<double> offer = timetext::ltUtcOf(*offset);
    if (!offer) {
        app_.prompter->message(text + QStringLiteral("\nLT-UTC takes whole or half hours from -13 to +13 h."),
                               title, Prompter::Exclamation);
        return;
    }
    const Prompter::Answer a = app_.prompter->message(
        text + QStringLiteral("\nSet LT-UTC to %1 h and save it?").arg(timetext::hoursText(*offer)), title,
        Prompter::Question, Prompter::YesNo);
    if (a != Prompter::AnsYes)
        return;
    app_.settings.setLtMinusUtc(*offer);
    QString error;
    if (!settingsfile::saveAll(&app_.settings, app_.settingsPath, nullptr, &error))
        app_.prompter->message(error + QStringLiteral("\nLT-UTC is %1 h until the program ends.")
                                           .arg(timetext::hoursText(*offer)),
                               QStringLiteral("Save INI"), Prompter::Exclamation);
    showtime();
}

// ---------------------------------------------------------------- window events

void rxctrl2::closeEvent(QCloseEvent *e)
{
    if (loaded_ && mayEnd && !mayEnd()) {
        e->ignore();
        return;
    }
    e->accept();
    if (!loaded_)
        return;
    loaded_ = false;
    showtime_->stop();
    closeDown(true);
}

void rxctrl2::closeDown(bool closing)
{
    go_state_ = 0; // ends a running GO chain after its step
    // Exit and the close box end a recording with its file closed.
    if (app_.rec && app_.rec->running())
        app_.rec->stop();
    Receiver2 *rx = app_.rx;
    if (rx) {
        // After a GO step on the line: the vbt function on again after a
        // close, then the receiver's own panel works again.
        if (closing && vbt_choice_ == 0)
            rx->set_vbt(true);
        rx->submit(
            [rx]() -> rxjob::Task<> {
                if (rx->held())
                    co_await rx->aRelease();
            },
            false, nullptr);
    }
    if (closing && app_.panel == this)
        app_.panel = nullptr;
    auto end = [this, closing] {
        if (closing)
            emit closed();
        if (exitHook)
            exitHook(0);
    };
    if (rx)
        afterLine(end);
    else
        end();
}

void rxctrl2::mouseDoubleClickEvent(QMouseEvent *e)
{
    e->accept();
    if (app_.settings.noRx())
        return;
    refreshNow();
}

void rxctrl2::keyPressEvent(QKeyEvent *e)
{
    // Keys that reach the window (no text field has the focus) work the keypad.
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        QMainWindow::keyPressEvent(e);
        return;
    }
    const int k = e->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) {
        keypadKey(QString::number(k - Qt::Key_0));
    } else if (k == Qt::Key_Period || k == Qt::Key_Comma) {
        keypadKey(QStringLiteral("."));
    } else if (k == Qt::Key_Backspace) {
        keypadKey(QStringLiteral("back"));
    } else if (k == Qt::Key_F) {
        enterKeypadFrequency();
    } else if (k == Qt::Key_C) {
        enterKeypadChannel();
    } else if (k == Qt::Key_Plus) {
        spinStep(1);
    } else if (k == Qt::Key_Minus) {
        spinStep(-1);
    } else if (k == Qt::Key_PageUp || k == Qt::Key_PageDown) {
        spinSteps(k == Qt::Key_PageUp ? 1 : -1, (e->modifiers() & Qt::ShiftModifier) ? 10 : 1);
    } else {
        QMainWindow::keyPressEvent(e);
        return;
    }
    e->accept();
}

namespace {
// The keys the keypad takes when they reach the panel.
bool isKeypadKey(const QKeyEvent *e)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const int k = e->key();
    return (k >= Qt::Key_0 && k <= Qt::Key_9) || k == Qt::Key_Period || k == Qt::Key_Comma ||
           k == Qt::Key_Backspace || k == Qt::Key_Plus || k == Qt::Key_Minus;
}
} // namespace

// The menu bar holds the keys only while it is being used. A tap of Alt, or
// a menu closed with Escape, leaves it with the focus: a keypad key then goes
// to the keypad (not to the menu whose mnemonic it is, as "2" is Db2Rx's),
// and a click anywhere else in the panel gives the keys back.
void rxctrl2::releaseMenuBar()
{
    QMenuBar *bar = menuBar();
    if (!bar->hasFocus() || QApplication::activePopupWidget())
        return;
    if (bar->activeAction()) {
        // The bar's own way out: back to the widget that had the focus.
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(bar, &esc);
    }
    if (bar->hasFocus())
        bar->clearFocus(); // nothing had the focus: the keys go to the panel
}

bool rxctrl2::eventFilter(QObject *o, QEvent *e)
{
    if (o == menuBar()) {
        // While the bar has the focus, the panel watches for clicks elsewhere.
        if (e->type() == QEvent::FocusIn) {
            qApp->installEventFilter(this);
        } else if (e->type() == QEvent::FocusOut) {
            qApp->removeEventFilter(this);
        } else if (e->type() == QEvent::KeyPress && !QApplication::activePopupWidget() &&
                   isKeypadKey(static_cast<QKeyEvent *>(e))) {
            const auto *k = static_cast<QKeyEvent *>(e);
            QKeyEvent again(QEvent::KeyPress, k->key(), k->modifiers(), k->text());
            releaseMenuBar();
            QWidget *to = QApplication::focusWidget();
            if (!to || to->window() != this || to == menuBar())
                to = this;
            QCoreApplication::sendEvent(to, &again);
            return true;
        }
    } else if (e->type() == QEvent::MouseButtonPress && menuBar()->hasFocus()) {
        auto *w = qobject_cast<QWidget *>(o);
        if (w && w->window() == this && !menuBar()->isAncestorOf(w))
            releaseMenuBar();
    }
    if ((o == ui_.txt_freqa || o == ui_.txt_freqa->parent()) && e->type() == QEvent::Wheel) {
        // One step of the chosen size per notch of the wheel, ten with Shift.
        auto *we = static_cast<QWheelEvent *>(e);
        const QPoint d = we->angleDelta();
        wheelAngle_ += d.y() != 0 ? d.y() : d.x(); // Shift turns some wheels sideways
        const int notches = wheelAngle_ / 120;
        wheelAngle_ -= notches * 120;
        if (notches != 0)
            spinSteps(notches, std::abs(notches) * ((we->modifiers() & Qt::ShiftModifier) ? 10 : 1));
        return true;
    }
    if (o == ui_.txt_freqa && e->type() == QEvent::KeyPress) {
        // Page Up/Down step also while the frequency field has the focus.
        const auto *ke = static_cast<QKeyEvent *>(e);
        if (ke->key() == Qt::Key_PageUp || ke->key() == Qt::Key_PageDown) {
            spinSteps(ke->key() == Qt::Key_PageUp ? 1 : -1,
                      (ke->modifiers() & Qt::ShiftModifier) ? 10 : 1);
            return true;
        }
    }
    if (o == ui_.txt_freqa && e->type() == QEvent::MouseButtonDblClick) {
        showNotTuned(false);
        ui_.txt_freqa->clear();
        return true;
    }
    if (o == menuBar() && e->type() == QEvent::ToolTip) {
        auto *he = static_cast<QHelpEvent *>(e);
        QAction *a = menuBar()->actionAt(he->pos());
        if (a && !a->toolTip().isEmpty() && a->toolTip() != a->text())
            QToolTip::showText(he->globalPos(), a->toolTip(), menuBar());
        else
            QToolTip::hideText();
        return true;
    }
    return QMainWindow::eventFilter(o, e);
}

// ---------------------------------------------------------------- menus

void rxctrl2::buildMenus()
{
    ui_.setupMenus(menuBar());
    menuBar()->setObjectName(QStringLiteral("menubar"));
    menuBar()->installEventFilter(this);
    actions_ = ui_.actions;
    for (auto it = actions_.cbegin(); it != actions_.cend(); ++it) {
        const QString name = it.key();
        connect(it.value(), &QAction::triggered, this, [this, name] { runMenu(name); });
    }

    // Items the panel carries out itself.
    for (const char *n : {"mnu_update", "mnu_setup", "mnu_about", "mnu_docgb", "mnu_guide", "mnu_RTTY",
                          "mnu_pcclock", "mnu_exit", "mnu_JA"})
        actions_.value(QString::fromLatin1(n))->setEnabled(true);
    if (app_.settings.noRx())
        actions_.value(QStringLiteral("mnu_update"))->setEnabled(false);
}

QAction *rxctrl2::menuAction(const QString &objectName) const
{
    return actions_.value(objectName);
}

QAction *rxctrl2::addMenuItem(const QString &menu, const QString &objectName, const QString &caption)
{
    auto *m = menuBar()->findChild<QMenu *>(menu);
    if (!m || actions_.contains(objectName))
        return actions_.value(objectName);
    QAction *a = m->addAction(caption);
    a->setObjectName(objectName);
    a->setEnabled(false);
    actions_.insert(objectName, a);
    connect(a, &QAction::triggered, this, [this, objectName] { runMenu(objectName); });
    return a;
}

void rxctrl2::setMenuAction(const QString &objectName, std::function<void()> fn)
{
    QAction *a = actions_.value(objectName);
    if (!a)
        return;
    menuFns_.insert(objectName, std::move(fn));
    a->setEnabled(!(objectName == QLatin1String("mnu_update") && app_.settings.noRx()));
}

void rxctrl2::runMenu(const QString &name)
{
    if (name == QLatin1String("mnu_RTTY") && !app_.settings.rttyFitted()) {
        app_.prompter->message(QStringLiteral("Reserved for RTTY demodulation\n"
                                              "with optional unit CMH-530"),
                               QStringLiteral("RTTY demodulation"), Prompter::Information);
        return;
    }
    const auto it = menuFns_.constFind(name);
    if (it != menuFns_.constEnd() && *it) {
        const std::function<void()> fn = *it; // the map may change meanwhile
        fn();
        return;
    }
    builtinMenu(name);
}

void rxctrl2::builtinMenu(const QString &name)
{
    if (name == QLatin1String("mnu_update")) {
        if (app_.settings.noRx())
            return;
        if (app_.rx && app_.rx->portLost()) {
            QString err;
            if (!app_.rx->reopen(&err)) {
                app_.rx->report_no_answer();
                return;
            }
        }
        refreshNow();
    } else if (name == QLatin1String("mnu_setup")) {
        setup dlg(app_, this);
        dlg.exec();
    } else if (name == QLatin1String("mnu_about") || name == QLatin1String("mnu_JA")) {
        if (!about_) {
            about_ = new about(app_, this);
            about_->setAttribute(Qt::WA_DeleteOnClose);
        }
        about_->show();
        about_->raise();
        about_->activateWindow();
    } else if (name == QLatin1String("mnu_docgb")) {
        const QString doc = app_.settings.base_dir + QStringLiteral("VRTSV6.doc");
        // A base directory set up by hand has no document yet: it gets the
        // copy that comes with the program.
        if (!QFileInfo::exists(doc) && QFileInfo::exists(app_.guide_doc))
            QFile::copy(app_.guide_doc, doc);
        QString err;
        if ((!app_.launcher || !app_.launcher->openFile(doc, &err))
            && app_.prompter->message(QStringLiteral("The document %1 could not be opened.\n%2\n\n"
                                                     "Show the user guide inside the program instead?")
                                          .arg(doc, err),
                                      QStringLiteral("See Docs"), Prompter::Question, Prompter::YesNo)
                   == Prompter::AnsYes)
            showGuide(false);
    } else if (name == QLatin1String("mnu_guide")) {
        showGuide(false);
    } else if (name == QLatin1String("mnu_pcclock")) {
        QString text = QStringLiteral("No program is set up for it.");
        const Launcher::Outcome o =
            app_.launcher ? app_.launcher->openDateTimeSettings(&text) : Launcher::Outcome::Failed;
        if (o == Launcher::Outcome::NotInstalled)
            app_.prompter->message(text, QStringLiteral("Set PC Clock"), Prompter::Information);
        else if (o == Launcher::Outcome::Failed)
            app_.prompter->message(QStringLiteral("The date and time settings could not be"
                                                  " started.\n%1")
                                       .arg(text),
                                   QStringLiteral("Set PC Clock"), Prompter::Exclamation);
    } else if (name == QLatin1String("mnu_exit")) {
        if (mayEnd && !mayEnd())
            return;
        closeDown(false);
    }
}

void rxctrl2::showGuide(bool quiet)
{
    if (!guide_) {
        auto *g = new GuideView(this);
        g->setAttribute(Qt::WA_DeleteOnClose);
        QString err;
        if (!g->load(app_.guide_file, &err)) {
            delete g;
            if (!quiet)
                app_.prompter->message(err, QStringLiteral("User Guide"), Prompter::Exclamation);
            return;
        }
        guide_ = g;
    }
    guide_->show();
    guide_->raise();
    guide_->activateWindow();
}
