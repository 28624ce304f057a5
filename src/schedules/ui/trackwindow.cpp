#include "schedules/ui/trackwindow.h"
#include "schedules/onair.h"

#include "common/fmt.h"
#include "common/ui/buttons.h"
#include "common/ui/contrast.h"
#include "common/ui/busy.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/limits.h"
#include "link/panelview.h"
#include "link/port.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "common/ui/fonts.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QColor kPlain(128, 0, 0);
const QColor kStation(170, 0, 170);
const QColor kTarget(170, 170, 0);

QGroupBox *optionFrame(const QString &name, const QString &title, const QStringList &texts,
                       const QString &optName, QButtonGroup **group, QRadioButton **opts,
                       QWidget *parent)
{
    auto *f = new QGroupBox(title, parent);
    f->setObjectName(name);
    f->setAccessibleName(title.isEmpty() ? name : title);
    auto *lay = new QHBoxLayout(f);
    lay->setContentsMargins(4, 2, 4, 2);
    *group = new QButtonGroup(f);
    for (int i = 0; i < texts.size(); ++i) {
        opts[i] = new QRadioButton(texts.at(i), f);
        opts[i]->setObjectName(QStringLiteral("%1_%2").arg(optName).arg(i));
        opts[i]->setAccessibleName(QString(texts.at(i)).remove(QLatin1Char('&')));
        (*group)->addButton(opts[i], i);
        lay->addWidget(opts[i]);
    }
    opts[0]->setChecked(true);
    return f;
}

} // namespace

tracking::tracking(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("tracking"));
    setWindowTitle(QStringLiteral("Tracking"));

    fra_hial = optionFrame(QStringLiteral("fra_hial"), QString(), {QStringLiteral("&Hits"), QStringLiteral("A&ll")},
                           QStringLiteral("opt_hial"), &hial, opt_hial.data(), this);
    fra_ladi = optionFrame(QStringLiteral("fra_ladi"), QString(),
                           {QStringLiteral("Lat/L&on"), QStringLiteral("D&is/Dir"), QString()},
                           QStringLiteral("opt_ladi"), &ladi, opt_ladi.data(), this);
    opt_ladi[2]->setAccessibleName(QStringLiteral("Ctry"));
    Label1 = new QLabel(QStringLiteral("Ctry"), fra_ladi);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(opt_ladi[2]);
    fra_ladi->layout()->addWidget(Label1);
    fra_modi = optionFrame(QStringLiteral("fra_modi"), QString(), {QStringLiteral("&Mouse"), QStringLiteral("&Dial")},
                           QStringLiteral("opt_modi"), &modi, opt_modi.data(), this);
    // On the newly chosen button only, so a click or a screen reader's
    // toggle action acts once; choosing the button already on does nothing.
    connect(hial, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            build_list();
    });
    connect(ladi, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            build_list();
    });
    connect(modi, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            on_mode(id);
    });

    auto edit = [this](const QString &name, const QString &acc, const QString &text, int chars) {
        auto *e = new QLineEdit(text, this);
        e->setObjectName(name);
        e->setAccessibleName(acc);
        e->setAlignment(Qt::AlignRight);
        e->setMaximumWidth(e->fontMetrics().horizontalAdvance(QString(chars, QLatin1Char('0'))) + 16);
        e->installEventFilter(this);
        return e;
    };
    lbl_art = new QLabel(QStringLiteral("NRD-535 Freq(kHz)"), this);
    lbl_art->setObjectName(QStringLiteral("lbl_art"));
    txt_arf = edit(QStringLiteral("txt_arf"), QStringLiteral("NRD-535 Freq(kHz)"), QString(), 10);
    QFont bf = uifont::fixedFont(10);
    bf.setBold(true);
    txt_arf->setFont(bf);
    txt_arf->setMaximumWidth(QFontMetrics(bf).horizontalAdvance(QStringLiteral("000000.000")) + 16);
    lbl_fs = new QLabel(QStringLiteral("Freq. Step (kHz) :"), this);
    lbl_fs->setObjectName(QStringLiteral("lbl_fs"));
    txt_fs = edit(QStringLiteral("txt_fs"), QStringLiteral("Freq. Step (kHz)"), QStringLiteral("5"), 5);
    lbl_CR = new QLabel(QStringLiteral("Catch Range (kHz) :"), this);
    lbl_CR->setObjectName(QStringLiteral("lbl_CR"));
    txt_cr = edit(QStringLiteral("txt_cr"), QStringLiteral("Catch Range (kHz)"), QStringLiteral("2"), 5);
    lbl_art->setBuddy(txt_arf);
    lbl_fs->setBuddy(txt_fs);
    lbl_CR->setBuddy(txt_cr);
    connect(txt_arf, &QLineEdit::returnPressed, this, &tracking::on_arf_enter);

    spn_frtr = new QWidget(this);
    spn_frtr->setObjectName(QStringLiteral("spn_frtr"));
    spn_frtr->setAccessibleName(QStringLiteral("Frequency step"));
    spnUp = new QToolButton(spn_frtr);
    spnUp->setObjectName(QStringLiteral("spn_frtr_up"));
    spnUp->setArrowType(Qt::UpArrow);
    spnUp->setAccessibleName(QStringLiteral("Step up"));
    spnUp->setToolTip(QStringLiteral("Step up (Page Up)"));
    spnDown = new QToolButton(spn_frtr);
    spnDown->setObjectName(QStringLiteral("spn_frtr_down"));
    spnDown->setArrowType(Qt::DownArrow);
    spnDown->setAccessibleName(QStringLiteral("Step down"));
    spnDown->setToolTip(QStringLiteral("Step down (Page Down)"));
    auto *spl = new QVBoxLayout(spn_frtr);
    spl->setContentsMargins(0, 0, 0, 0);
    spl->setSpacing(0);
    spl->addWidget(spnUp);
    spl->addWidget(spnDown);
    // Dial mode hides the step controls; their room stays so that the
    // catch range and the list do not jump.
    for (QWidget *w : {static_cast<QWidget *>(lbl_fs), static_cast<QWidget *>(txt_fs), spn_frtr}) {
        QSizePolicy sp = w->sizePolicy();
        sp.setRetainSizeWhenHidden(true);
        w->setSizePolicy(sp);
    }
    connect(spnUp, &QToolButton::clicked, this, [this] { on_spin(true); });
    connect(spnDown, &QToolButton::clicked, this, [this] { on_spin(false); });
    auto *pgUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(pgUp, &QShortcut::activated, this, [this] {
        if (spn_frtr->isVisible() && spn_frtr->isEnabled())
            on_spin(true);
    });
    auto *pgDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pgDown, &QShortcut::activated, this, [this] {
        if (spn_frtr->isVisible() && spn_frtr->isEnabled())
            on_spin(false);
    });

    const QFont lf = uifont::fixedFont(app_.settings.high_contrast ? int(contrast::kMinPoints) : 8);
    const int rowH = QFontMetrics(lf).height() + 2;
    auto *rows = new QVBoxLayout;
    rows->setSpacing(0);
    for (int r = 0; r < track::RowsPerPage; ++r) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("lbl_fr_%1").arg(r));
        l->setAccessibleDescription(QStringLiteral("Result row %1").arg(r));
        l->setFont(lf);
        l->setAutoFillBackground(true);
        l->setFixedHeight(rowH);
        l->setMinimumWidth(QFontMetrics(lf).horizontalAdvance(QString(112, QLatin1Char('0'))) + 8);
        l->setTextFormat(Qt::PlainText);
        QPalette pal = l->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(pal);
        lbl_fr[r] = l;
        rows->addWidget(l);
        setRowColour(r, kPlain);
    }

    auto *pages = new QHBoxLayout;
    pages->addWidget(new QLabel(QStringLiteral("Page:"), this));
    for (int k = 0; k < track::Pages; ++k) {
        cmd_show[k] = kit::button(this, QStringLiteral("cmd_show_%1").arg(k), QStringLiteral("&%1").arg(k + 1));
        cmd_show[k]->setAccessibleName(QStringLiteral("Page %1").arg(k + 1));
        cmd_show[k]->setMaximumWidth(40);
        cmd_show[k]->setEnabled(false);
        connect(cmd_show[k], &QPushButton::clicked, this, [this, k] { show_page(k); });
        pages->addWidget(cmd_show[k]);
    }
    pages->addStretch();
    cmd_Load = kit::button(this, QStringLiteral("cmd_Load"), QStringLiteral("Load &File"));
    cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit"));
    connect(cmd_Load, &QPushButton::clicked, this, &tracking::on_Load);
    connect(cmd_exit, &QPushButton::clicked, this, &tracking::on_exit);
    pages->addWidget(cmd_Load);
    pages->addWidget(cmd_exit);

    auto *top = new QHBoxLayout;
    top->addWidget(fra_hial);
    top->addWidget(fra_ladi);
    top->addWidget(fra_modi);
    top->addStretch();
    auto *fields = new QHBoxLayout;
    fields->addWidget(lbl_art);
    fields->addWidget(txt_arf);
    fields->addSpacing(10);
    fields->addWidget(lbl_fs);
    fields->addWidget(txt_fs);
    fields->addWidget(spn_frtr);
    fields->addSpacing(10);
    fields->addWidget(lbl_CR);
    fields->addWidget(txt_cr);
    fields->addStretch();
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 6);
    lay->addLayout(top);
    lay->addLayout(fields);
    lay->addLayout(rows);
    lay->addLayout(pages);

    trackutc = new QTimer(this);
    trackutc->setObjectName(QStringLiteral("trackutc"));
    trackutc->setInterval(6000);
    connect(trackutc, &QTimer::timeout, this, &tracking::on_tick);

    // Opening: no file yet.
    setControlsEnabled(false);
    setTabOrder(txt_arf, txt_fs);
    setTabOrder(txt_fs, spnUp);
    setTabOrder(spnUp, spnDown);
    setTabOrder(spnDown, txt_cr);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
    if (app_.settings.high_contrast)
        contrast::applyTo(this);
    txt_arf->setFocus();
}

tracking::~tracking() = default;

void tracking::setControlsEnabled(bool on)
{
    spn_frtr->setEnabled(on);
    fra_hial->setEnabled(on);
    fra_ladi->setEnabled(on);
    fra_modi->setEnabled(on);
}

void tracking::setRowColour(int row, const QColor &c)
{
    colours_[row] = c;
    QColor bg = c, fg = Qt::white;
    if (app_.settings.high_contrast) {
        // The same three kinds of row in colours that read well.
        const auto hc = contrast::trackingRow(c == kTarget    ? contrast::Row::Target
                                              : c == kStation ? contrast::Row::Station
                                                              : contrast::Row::Plain);
        bg = hc.background;
        fg = hc.text;
    }
    QPalette pal = lbl_fr[row]->palette();
    if (pal.color(QPalette::Window) != bg || pal.color(QPalette::WindowText) != fg) {
        pal.setColor(QPalette::Window, bg);
        pal.setColor(QPalette::WindowText, fg);
        lbl_fr[row]->setPalette(pal);
    }
}

QColor tracking::rowColour(int row) const
{
    return colours_.at(row);
}

void tracking::clearLabels()
{
    for (int r = 0; r < track::RowsPerPage; ++r) {
        lbl_fr[r]->clear();
        setRowColour(r, kPlain);
    }
}

QString tracking::captionText() const
{
    return QStringLiteral("Tracking mode active with ") + app_.files.tracking + QStringLiteral(" / ") +
           ftl::countText(table_.count()) + QStringLiteral(" records");
}

void tracking::on_Load()
{
    // The dialog is modal and a child of this window: the load runs while
    // the window is there.
    run_selfile(app_, callers::Tracking, QStringLiteral("*.ftl"), [this] { load_file(); }, this);
}

void tracking::readRxFreq()
{
    Receiver2 *rx = app_.rx;
    if (app_.settings.noRx() || !rx)
        return;
    // The window and the panel follow by frequencyChanged; nothing is shown
    // when the reply is not a frequency of the receiver's range.
    rx->readFrequency(this, {});
}

bool tracking::load_file()
{
    table_ = ftl::Table();
    p_ = 0;
    result_ = track::Result();
    setWindowTitle(QStringLiteral("Tracking"));
    clearLabels();
    const QString name = app_.files.tracking;
    const QString path = filedialogs::dirOf(app_, callers::Tracking) + name;
    ftl::LoadResult r;
    {
        BusyGuard busy;
        r = ftl::load(path, qMax(1, app_.settings.dim(3)) * 1000, &table_);
    }
    if (!r.ok) {
        app_.prompter->message(r.error, QStringLiteral("Tracking"), Prompter::Exclamation);
        return false;
    }
    onair::setLoaded(table_.lines, name);
    readRxFreq();
    setWindowTitle(captionText());
    const QString upper = name.toUpper();
    if (upper == QLatin1String("ILGSDATA.FTL"))
        txt_fs->setText(QStringLiteral("5"));
    else if (upper == QLatin1String("ILGADATA.FTL"))
        txt_fs->setText(QStringLiteral("9"));
    if (dial_)
        leaveDial();
    setMouseMode();
    if (app_.panel && !(app_.rx && app_.rx->held()))
        app_.panel->showLock(false);
    lbl_fs->show();
    txt_fs->show();
    spn_frtr->show();
    setControlsEnabled(true);
    if (app_.settings.noRx() || !app_.rx) {
        txt_arf->setText(fmt::freqText(freq_khz_));
        lookup();
    }
    const QString notes = ftl::loadNotes(r, table_.count(), app_.settings.dim(3), name,
                                         QStringLiteral("tracking"));
    if (!notes.isEmpty())
        app_.prompter->message(notes, QStringLiteral("Tracking"), Prompter::Exclamation);
    return true;
}

void tracking::lookup()
{
    if (table_.count() < 2)
        return;
    p_ = track::lookup(table_.lines, freq_khz_);
    clearLabels();
    build_list();
}

void tracking::build_list()
{
    if (table_.count() < 2)
        return;
    for (QPushButton *b : cmd_show)
        b->setEnabled(false);
    const int t = ftl::hhmmNumber(app_.times.utc_text);
    result_ = track::build(table_.lines, p_, freq_khz_, fmt::val(txt_cr->text()),
                           hial->checkedId() == 0, t);
    for (int k = 0; k < track::Pages; ++k)
        cmd_show[k]->setEnabled(result_.pageEnabled(k));
    show_page(0);
}

void tracking::show_page(int k)
{
    page_ = k;
    const bool hits = hial->checkedId() == 0;
    const int t = ftl::hhmmNumber(app_.times.utc_text);
    const int area = app_.settings.targetArea();
    const QString code = app_.cap.region_codes.value(area);
    const auto col = static_cast<track::Column>(qMax(0, ladi->checkedId()));
    for (int r = 0; r < track::RowsPerPage; ++r) {
        const track::Row row = track::rowOf(track::entryAt(result_, k, r), col, hits, t,
                                            app_.settings.rx_lat, app_.settings.rx_long, code, area);
        setRowColour(r, row.mark == track::Mark::Target    ? kTarget
                        : row.mark == track::Mark::Station ? kStation
                                                           : kPlain);
        if (lbl_fr[r]->text() != row.text)
            lbl_fr[r]->setText(row.text);
    }
}

void tracking::on_spin(bool up)
{
    if (spinning_ || dial_)
        return;
    spinning_ = true;
    spn_frtr->setEnabled(false);
    const double step = fmt::val(txt_fs->text());
    Receiver2 *rx = app_.rx;
    if (app_.settings.noRx() || !rx) {
        freq_khz_ = nextFreq(freq_khz_, up, step);
        if (rx)
            rx->noteFrequency(rxlimits::hzOf(freq_khz_), Origin::Tracking);
        spinDone(true);
        return;
    }
    // Reads the dial and tunes one step from it, in one bracket.
    rx->submit(
        [this, rx, up, step]() -> rxjob::Task<> {
            const std::optional<QString> r = co_await rx->aReadRxState();
            const std::optional<qint64> now = r ? Receiver2::stateHz(*r) : std::nullopt;
            if (!now) {
                // A reply without a frequency is no answer.
                if (!rx->portLost())
                    rx->report_no_answer();
                spinDone(false);
                co_return;
            }
            const double f = nextFreq(*now / 1000.0, up, step);
            co_await rx->aTune({rxlimits::hzOf(f), Origin::Tracking, {}, {}, {}});
            freq_khz_ = f;
            spinDone(true);
        },
        true, this);
}

double tracking::nextFreq(double f, bool up, double step)
{
    return up ? qMin(f + step, rxlimits::kMaxKhz) : qMax(f - step, rxlimits::kMinKhz);
}

void tracking::spinDone(bool ok)
{
    if (ok) {
        txt_arf->setText(fmt::freqText(freq_khz_));
        lookup();
    }
    spn_frtr->setEnabled(true);
    spinning_ = false;
}

void tracking::on_mode(int mode)
{
    Receiver2 *rx = app_.rx;
    if (mode == 1) {
        if (dial_)
            return;
        lbl_fs->hide();
        txt_fs->hide();
        spn_frtr->hide();
        if (app_.settings.noRx() || !rx)
            return;
        // Dial mode holds the receiver: one held session at a time.
        if (!rx->beginSession(this, QStringLiteral("Tracking in Dial mode"))) {
            setMouseMode();
            lbl_fs->show();
            txt_fs->show();
            spn_frtr->show();
            return;
        }
        readRxFreq();
        dial_ = true;
        rx->submit([rx]() { return rx->aFollowDial(); }, false, this);
    } else {
        if (dial_)
            leaveDial();
        lbl_fs->show();
        txt_fs->show();
        spn_frtr->show();
    }
}

// Back to Mouse on screen without running on_mode: the callers have left Dial already.
void tracking::setMouseMode()
{
    const QSignalBlocker block(modi);
    opt_modi[0]->setChecked(true);
}

void tracking::leaveDial()
{
    dial_ = false;
    Receiver2 *rx = app_.rx;
    if (!rx)
        return;
    // Needs nothing of the window: it also runs when the window closes.
    rx->submit(
        [rx]() -> rxjob::Task<> {
            rx->wantReports(false);
            co_await rx->aRelease();
        },
        false, nullptr);
    rx->endSession(this);
}

void tracking::on_arf_enter()
{
    const double f = fmt::val(txt_arf->text());
    if (!rxlimits::inRange(f)) {
        app_.prompter->message(QStringLiteral("Freqyency outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
        return;
    }
    if (app_.rx) {
        app_.rx->tune(rxlimits::hzOf(f), Origin::Tracking);
    } else {
        freq_khz_ = f;
        lookup();
    }
}

void tracking::on_tick()
{
    const QString clock = QStringLiteral("      UTC :  ") + app_.times.utc_text;
    setWindowTitle(table_.count() >= 2 ? captionText() + clock : clock);
}

void tracking::on_exit()
{
    close();
}

void tracking::closeEvent(QCloseEvent *e)
{
    trackutc->stop();
    Receiver2 *rx = app_.rx;
    if (dial_) {
        leaveDial();
        setMouseMode();
    } else if (rx && !app_.settings.noRx() && !rx->held()) {
        rx->submit(
            [rx]() -> rxjob::Task<> {
                // The reports stay on while another user (the panel's
                // follow-the-dial option) still wants them.
                rx->reportsOffUnlessWanted();
                co_await rx->aRelease();
            },
            false, nullptr);
    }
    app_.files.tracking.clear();
    table_ = ftl::Table();
    result_ = track::Result();
    p_ = 0;
    if (rx)
        disconnect(rx, nullptr, this, nullptr);
    connected_ = false;
    QWidget::closeEvent(e);
}

void tracking::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (connected_ || !app_.rx)
        return;
    connected_ = true;
    trackutc->start();
    // Opening: no file yet, Mouse mode.
    setControlsEnabled(false);
    setMouseMode();
    lbl_fs->show();
    txt_fs->show();
    spn_frtr->show();
    // Follow every tune made elsewhere, and the receiver's dial in Dial mode.
    if (const std::optional<qint64> hz = app_.rx->knownHz())
        freq_khz_ = *hz / 1000.0;
    connect(app_.rx, &Receiver2::frequencyChanged, this, [this](qint64 hz, Origin origin) {
        if (hz < 0)
            return;
        freq_khz_ = hz / 1000.0;
        if (origin == Origin::Dial && !dial_)
            return;
        txt_arf->setText(freqShown(hz));
        lookup();
    });
}

bool tracking::eventFilter(QObject *o, QEvent *e)
{
    if (e->type() == QEvent::MouseButtonDblClick &&
        (o == txt_arf || o == txt_fs || o == txt_cr)) {
        static_cast<QLineEdit *>(o)->clear();
        return true;
    }
    return QWidget::eventFilter(o, e);
}
