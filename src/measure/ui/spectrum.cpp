#include "measure/ui/spectrum.h"

#include "common/ui/buttons.h"
#include "common/fmt.h"
#include "common/textfile.h"
#include "common/timetext.h"
#include "common/ui/busy.h"
#include "common/ui/canvas.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "measure/meter.h"
#include "measure/session.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

using namespace spectrum;

namespace {
const QColor kBg = QColor::fromRgb(SpectrumWindow::kBackground);
const QColor kAreaC = QColor::fromRgb(SpectrumWindow::kArea);
const QColor kYellow(255, 255, 0);
// The picture around the plotting area: dark, so that the axes and scale
// texts in the window's light colour stand out.
const QColor kSurround(0, 0, 0);

QLabel *label(QWidget *parent, const char *name, const QString &acc)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setAccessibleDescription(acc);
    l->setStyleSheet(QStringLiteral("color: rgb(255, 240, 192); background: transparent"));
    return l;
}
} // namespace

int SpectrumWindow::loadCounter_ = 0;

struct SpectrumSteps {
    static rxjob::Task<> firstTune(SpectrumWindow *w);
    static rxjob::Task<meter::Reading> step(SpectrumWindow *w);
};

// ---------------------------------------------------------------- limits

limits::limits(App &app, SpectrumWindow *owner) : QDialog(owner), app_(app), owner_(owner)
{
    setObjectName(QStringLiteral("limits"));
    setWindowTitle(QStringLiteral("Define Spectrum Scan"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(true);
    lbl_aanw = new QLabel(QStringLiteral("Enter bandlimits and stepsize in kHz"), this);
    lbl_aanw->setObjectName(QStringLiteral("lbl_aanw"));
    static const char *const caps[4] = {"&Lower Limit", "&Upper Limit", "&Stepsize",
                                        "Scan &Delay in sec."};
    auto *g = new QGridLayout(this);
    g->addWidget(lbl_aanw, 0, 0, 1, 2);
    for (int i = 0; i < 4; ++i) {
        lbl_in[i] = new QLabel(QString::fromLatin1(caps[i]), this);
        lbl_in[i]->setObjectName(QStringLiteral("lbl_in%1").arg(i));
        txt_in[i] = new QLineEdit(this);
        txt_in[i]->setObjectName(QStringLiteral("txt_in%1").arg(i));
        QString acc = QString::fromLatin1(caps[i]);
        acc.remove(QLatin1Char('&'));
        txt_in[i]->setAccessibleName(acc);
        lbl_in[i]->setBuddy(txt_in[i]);
        g->addWidget(lbl_in[i], i + 1, 0);
        g->addWidget(txt_in[i], i + 1, 1);
        // Queued: OK closes (and deletes) the dialog, which must not happen
        // inside the entry field's own key handling.
        connect(txt_in[i], &QLineEdit::returnPressed, this, &limits::on_ok, Qt::QueuedConnection);
    }
    txt_in[3]->setText(QStringLiteral("1"));
    chk_loop = new QCheckBox(QStringLiteral("Continuous       l&oop"), this);
    chk_loop->setObjectName(QStringLiteral("chk_loop"));
    chk_loop->setAccessibleName(QStringLiteral("Continuous loop"));
    chk_show = new QCheckBox(QStringLiteral("&Keep highest measured value"), this);
    chk_show->setObjectName(QStringLiteral("chk_show"));
    chk_show->setAccessibleName(QStringLiteral("Keep highest measured value"));
    chk_show->setVisible(false);
    g->addWidget(chk_loop, 5, 0, 1, 2);
    g->addWidget(chk_show, 6, 0, 1, 2);
    g->addLayout(kit::buttonRow(this,
                                {{cmd_OK, "cmd_OK", QStringLiteral("OK"), [this] { on_ok(); }},
                                 {cmd_cancel, "cmd_cancel", QStringLiteral("Cancel"), [this] { on_cancel(); }}},
                                kit::Align::Right),
                 7, 0, 1, 2);
    connect(chk_loop, &QCheckBox::toggled, chk_show, &QWidget::setVisible);
    txt_in[0]->setFocus();
}

void limits::clearFields()
{
    for (QLineEdit *t : txt_in)
        t->clear();
}

void limits::on_ok()
{
    if (!owner_)
        return;
    QStringList texts;
    for (QLineEdit *t : txt_in)
        texts << t->text();
    if (!owner_->limits_ok(texts, chk_loop->isChecked(), chk_show->isChecked())) {
        app_.prompter->message(inputErrorText(), inputErrorTitle(), Prompter::Exclamation);
        clearFields();
        txt_in[0]->setFocus();
        return;
    }
    close(); // the dialog goes later; its owner stays
    owner_->startscan();
}

void limits::on_cancel()
{
    clearFields();
    close();
}

// ---------------------------------------------------------------- spectrum

SpectrumWindow::SpectrumWindow(App &app, QWidget *parent)
    : QWidget(parent), app_(app),
      session_(new MeasureSession(app, QStringLiteral("The spectrum window"), this))
{
    setObjectName(QStringLiteral("spectrum"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Spectrum"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kBg);
    setPalette(pal);
    setAutoFillBackground(true);

    pic = new Canvas(640, 440, kSurround, this);
    pic->setHighContrast(app_.settings.high_contrast); // before the first drawing
    pic->setObjectName(QStringLiteral("pic_spectrum"));
    pic->setAccessibleName(QStringLiteral("Spectrum graph"));
    pic->setMouseTracking(true);

    lbl_tida = label(pic, "lbl_tida", QStringLiteral("Date and time of the scan"));
    lbl_run = label(pic, "lbl_run", QStringLiteral("Run"));
    lbl_show = label(pic, "lbl_show", QStringLiteral("Values shown"));
    lbl_fre = label(pic, "lbl_fre", QStringLiteral("Current frequency"));
    lbl_fre1 = label(pic, "lbl_fre1", QStringLiteral("Frequency under the pointer"));
    lbl_status = label(pic, "lbl_status", QStringLiteral("Missed readings"));
    lbl_flo = label(pic, "lbl_flo", QStringLiteral("Lower limit"));
    lbl_fhi = label(pic, "lbl_fhi", QStringLiteral("Upper limit"));
    lbl_fst = label(pic, "lbl_fst", QStringLiteral("Step"));
    lbl_tida->setGeometry(70, 6, 220, 18);
    lbl_run->setGeometry(70, 26, 220, 18);
    lbl_show->setGeometry(70, 46, 220, 18);
    lbl_fre->setGeometry(300, 6, 120, 18);
    lbl_fre1->setGeometry(300, 26, 120, 18);
    lbl_status->setGeometry(70, 66, 340, 18);
    lbl_pointer = label(pic, "lbl_pointer", QStringLiteral("Frequency and level under the pointer"));
    lbl_pointer->setGeometry(70, 86, 340, 18);
    for (int i = 0; i < 4; ++i) {
        lbl_fn[i] = label(pic, "", QStringLiteral("Loaded file %1").arg(i + 1));
        lbl_fn[i]->setObjectName(QStringLiteral("lbl_fn%1").arg(i));
        lbl_fn[i]->setGeometry(420, 6 + 20 * i, 215, 18);
    }
    lbl_flo->setGeometry(40, 414, 110, 18);
    lbl_fst->setGeometry(260, 414, 140, 18);
    lbl_fhi->setGeometry(540, 414, 100, 18);
    lbl_fst->setAlignment(Qt::AlignCenter);
    // The limit labels leave the tune-marker strip (413 to 423 between 68
    // and 572) to the marker: they sit just outside it or above the axis.
    lbl_flo->setGeometry(4, 424, 110, 16);
    lbl_fhi->setGeometry(530, 424, 110, 16);
    lbl_fst->setGeometry(250, 424, 140, 16);

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(pic);
    measureui::addRecorderRows(app_, lay, this,
                               {{cmd_start, "cmd_start", QStringLiteral("&Start"), [this] { on_start(); }},
                                {cmd_stop, "cmd_stop", QStringLiteral("S&top"), [this] { on_stop(); }},
                                {cmd_cont, "cmd_cont", QStringLiteral("C&ontinue"), [this] { on_cont(); }},
                                {cmd_cls, "cmd_cls", QStringLiteral("&Cls"), [this] { on_cls(); }},
                                {cmd_setfre, "cmd_setfre", QStringLiteral("T&une Rx"), [this] { on_setfre(); }}},
                               {cmd_savez, cmd_Load, cmd_Rx, cmd_exit, cmd_savepng, cmd_exportcsv,
                                [this] { on_savez(); }, [this] { on_load(); }, [this] { on_exit(); },
                                [this] { on_savepng(); }, [this] { on_exportcsv(); }});

    tmr_scan = new QTimer(this);
    tmr_scan->setObjectName(QStringLiteral("tmr_scan"));
    tmr_scan->setInterval(1000);
    // The delay is the least time between two steps: a coarse timer may
    // fire a few ms early.
    tmr_scan->setTimerType(Qt::PreciseTimer);
    connect(tmr_scan, &QTimer::timeout, this, &SpectrumWindow::on_tick);
    connect(pic, &Canvas::clicked, this, &SpectrumWindow::on_click);
    connect(pic, &Canvas::moved, this, &SpectrumWindow::on_move);

    // The scan and the tune mode hold the receiver as one session: the
    // scan's steps are its ticks (read, draw, tune to the next step), timed
    // by tmr_scan; a missed reply leaves its step out and the scan goes on.
    session_->scanFloor = true;
    session_->step = [this] { return SpectrumSteps::step(this); };
    connect(session_, &MeasureSession::started, this, &SpectrumWindow::onStarted);
    connect(session_, &MeasureSession::missed, this,
            [this] { lbl_status->setText(session_->missedText()); });

    drawLayout();
    setButtons({cmd_Load, cmd_Rx, cmd_exit}, {cmd_cls, cmd_stop, cmd_cont, cmd_savez, cmd_setfre});
    cmd_start->setEnabled(!app_.settings.noRx());
}

SpectrumWindow::~SpectrumWindow()
{
    // The session gives the receiver back; this window hears no more of it.
    disconnect(session_, nullptr, this, nullptr);
    if (session_->running())
        measureui::enablewindows(app_, true);
    session_->stop();
}

QColor SpectrumWindow::curveColour(int counter)
{
    switch (counter) {
    case 1: return Canvas::palette(14);
    case 2: return Canvas::palette(11);
    case 3: return Canvas::palette(12);
    default: return Canvas::palette(13);
    }
}

QString SpectrumWindow::utcNow() const
{
    return timetext::compute(app_.clock->now(), app_.settings.ltMinusUtc()).utc_text;
}

void SpectrumWindow::setButtons(std::initializer_list<QPushButton *> on,
                             std::initializer_list<QPushButton *> off)
{
    for (QPushButton *b : on)
        b->setEnabled(true);
    for (QPushButton *b : off)
        b->setEnabled(false);
}

void SpectrumWindow::fillArea()
{
    pic->fillRect(kLeft, kBottom, kRight, kTop, kAreaC);
}

void SpectrumWindow::drawLayout()
{
    pic->clear(kSurround);
    fillArea();
    pic->line(69, 401, 571, 401, kBg);
    pic->line(69, 400, 69, 136, kBg);
    pic->line(571, 400, 571, 136, kBg);
    for (int i = 0; i <= 10; ++i) {
        pic->line(69, 388 - 24 * i, 60, 388 - 24 * i, kBg);
        pic->line(571, 388 - 24 * i, 580, 388 - 24 * i, kBg);
        pic->line(70 + 50 * i, 401, 70 + 50 * i, 410, kBg);
    }
    const struct { const char *t; int y; } texts[] = {
        {"  S1", 382}, {"  S5", 334}, {"  S9", 286}, {"+24", 238}, {"+48", 190}, {"+72", 142},
    };
    QFont f = pic->font();
    f.setPointSizeF(qMax(6.0, f.pointSizeF() - 2));
    pic->setFont(f);
    const int asc = QFontMetrics(f).ascent();
    // Each text stands with its baseline just above its value's line.
    for (const auto &t : texts)
        pic->text(35 - 8, t.y + 6 - asc, QString::fromLatin1(t.t), kBg);
}

void SpectrumWindow::on_start()
{
    if (limits_) {
        limits_->raise();
        return;
    }
    limits_ = new limits(app_, this);
    limits_->show();
    limits_->txt_in[0]->setFocus();
}

bool SpectrumWindow::limits_ok(const QStringList &texts, bool loop, bool keepHighest)
{
    scan_.data.fill(0);
    lastStored_ = -1;
    lbl_tida->setText(utcNow() + QStringLiteral(" UTC"));
    scan_.index = 0;
    fillArea();
    for (QLabel *l : lbl_fn)
        l->clear();
    const auto lim = parseLimits(texts, loop, keepHighest);
    if (!lim)
        return false;
    scan_.lim = *lim;
    lbl_flo->setText(lim->lowerText);
    lbl_fhi->setText(lim->upperText);
    lbl_fst->setText(QStringLiteral("Step: ") + lim->stepText + QStringLiteral(" kHz"));
    tmr_scan->setInterval(lim->delayMs());
    return true;
}

void SpectrumWindow::startscan()
{
    // Continue resumes at the step where the scan stopped, so the receiver is
    // tuned there (not to the lower limit) and the readings follow the steps.
    session_->afterHold = [this] { return SpectrumSteps::firstTune(this); };
    session_->startTell = Receiver2::Tell::None;
    if (!session_->start(0))
        return; // another measurement holds the receiver; it was said
    if (!scan_.lim.loop) {
        lbl_run->setText(QStringLiteral("Single run"));
    } else {
        lbl_run->setText(QStringLiteral("Continuous loop"));
        lbl_show->setText(scan_.lim.keepHighest ? QStringLiteral("Highest mesured value")
                                                : QStringLiteral("Latest mesured value"));
    }
    setButtons({cmd_stop}, {cmd_start, cmd_cls, cmd_Rx, cmd_cont, cmd_setfre, cmd_savez, cmd_Load,
                            cmd_exit, cmd_exportcsv});
    measureui::enablewindows(app_, false);
    scanning_ = true;
    lbl_status->clear();
    lbl_fre->setText(numText(scan_.current()));
}

rxjob::Task<> SpectrumSteps::firstTune(SpectrumWindow *w)
{
    co_await w->tuneTo(w->scan_.current());
}

void SpectrumWindow::onStarted(bool answered)
{
    if (!scanning_)
        return; // tune mode, or stopped meanwhile
    if (!answered && !app_.rx->portLost()) {
        // Silent, or a reply that cannot be read: no scan of made-up levels.
        stopScan(false);
        app_.rx->report_no_answer();
        return;
    }
    tmr_scan->start();
}

void SpectrumWindow::on_tick()
{
    if (!scanning_)
        return;
    if (scan_.over()) {
        endOfRun();
        return;
    }
    // A step still on the line (a slow receiver) makes this tick a no-op.
    session_->tickNow();
}

rxjob::Task<meter::Reading> SpectrumSteps::step(SpectrumWindow *w)
{
    const meter::Reading r = co_await MeasureSession::aGetsmeter(w->app_, true);
    if (!w->scanning_)
        co_return r; // stopped while the reply came
    if (w->drawStep(r))
        co_await w->tuneTo(w->scan_.current());
    co_return r;
}

bool SpectrumWindow::drawStep(const meter::Reading &r)
{
    if (r.ok()) {
        const float v = scan_.store(r.v);
        lastStored_ = std::max(lastStored_, scan_.index);
        const int x = scan_.xOf(scan_.current());
        const int y = Scan::yOf(v);
        pic->fillRect(68, 125, 572, 134, kAreaC);
        pic->fillRect(x - 1, 125, x + 1, 134, kYellow);
        if (!scan_.lim.keepHighest)
            pic->line(x, 400, x, 136, kAreaC);
        pic->line(x, 400, x, y, kBg);
    }
    // A missed reply leaves this step's bar as it was; the scan goes on.
    if (scan_.advance())
        lbl_tida->setText(utcNow() + QStringLiteral(" UTC"));
    if (scan_.over())
        return false; // the next tick ends the single run
    lbl_fre->setText(numText(scan_.current()));
    return true;
}

void SpectrumWindow::endOfRun()
{
    tmr_scan->stop();
    scanning_ = false;
    session_->stop();
    measureui::enablewindows(app_, true);
    setButtons({cmd_start, cmd_cls, cmd_stop, cmd_setfre, cmd_Rx, cmd_savez, cmd_Load,
                cmd_exportcsv},
               {cmd_cont});
    cmd_start->setEnabled(!app_.settings.noRx());
}

void SpectrumWindow::stopScan(bool exiting)
{
    tmr_scan->stop();
    scanning_ = false;
    measureui::enablewindows(app_, true);
    tune_ = false;
    lbl_fre1->clear();
    session_->stop();
    setButtons({cmd_Rx, cmd_cls}, {});
    if (!app_.settings.noRx()) {
        cmd_start->setEnabled(true);
        cmd_cont->setEnabled(scan_.canContinue());
        cmd_setfre->setEnabled(true);
        if (!exiting)
            cmd_setfre->setStyleSheet(QString());
    }
    setButtons({cmd_savez, cmd_Load, cmd_exit, cmd_exportcsv}, {});
}

void SpectrumWindow::on_stop()
{
    stopScan(exiting_);
}

void SpectrumWindow::on_cont()
{
    lbl_tida->setText(utcNow() + QStringLiteral("UTC"));
    startscan();
}

void SpectrumWindow::on_cls()
{
    fillArea();
    for (QLabel *l : lbl_fn)
        l->clear();
    for (QLabel *l : {lbl_tida, lbl_run, lbl_show, lbl_flo, lbl_fhi, lbl_fre, lbl_fre1, lbl_status})
        l->clear();
    lbl_fst->setText(QStringLiteral("Step:  kHz"));
}

void SpectrumWindow::on_setfre()
{
    // The receiver held, its state read; a reply that cannot be read is
    // told (the tunes themselves read nothing back).
    session_->afterHold = nullptr;
    session_->startTell = Receiver2::Tell::Unreadable;
    if (!session_->start(0))
        return; // another measurement holds the receiver; it was said
    tune_ = true;
    lastTuned_ = -1;
    measureui::enablewindows(app_, false);
    cmd_setfre->setStyleSheet(QStringLiteral("color: rgb(255, 255, 0)"));
    setButtons({cmd_stop}, {cmd_start, cmd_cls, cmd_cont, cmd_savez, cmd_Load, cmd_Rx, cmd_exit});
}

rxjob::Task<> SpectrumWindow::tuneTo(double khz)
{
    // The windows that show the frequency follow the scan.
    co_await app_.rx->aTune({rxlimits::hzOf(khz), Origin::Spectrum, {}, {}, {}});
}

void SpectrumWindow::on_click(QPoint at)
{
    if (!tune_ || at.x() < kLeft || at.x() >= kRight || at.y() <= kTop || at.y() >= kBottom)
        return;
    if (scan_.lim.step <= 0 || scan_.lim.upper <= scan_.lim.lower)
        return;
    const int xi = at.x();
    const double f = scan_.freqAtClick(xi);
    if (!rxlimits::inRange(f))
        return;
    if (!exiting_) {
        lbl_fre->setText(numText(f));
        pic->fillRect(68, 413, 572, 423, kAreaC);
        pic->fillRect(xi - 1, 413, xi + 1, 423, kYellow);
    }
    const bool tune = f != lastTuned_;
    lastTuned_ = f;
    // On the line after what runs there; each click is followed by 100 ms
    // of quiet, so quick clicks reach the receiver paced.
    Receiver2 *rx = app_.rx;
    rx->submit(
        [this, rx, f, tune]() -> rxjob::Task<> {
            if (!tune_)
                co_return; // stopped before its turn came
            if (tune)
                co_await tuneTo(f);
            co_await rx->pause(100);
        },
        false, this);
}

void SpectrumWindow::on_move(QPoint at)
{
    lbl_pointer->setText(scan_.pointerText(at.x(), at.y()));
    if (tune_ && at.x() >= kLeft && at.x() <= kRight && at.y() >= 136 && at.y() < kBottom
        && scan_.lim.step > 0)
        lbl_fre1->setText(numText(scan_.freqUnderPointer(at.x())));
    else
        lbl_fre1->clear();
}

void SpectrumWindow::on_savez()
{
    // The dialog is modal on this window: the window is there when it calls.
    run_selsave(app_, callers::Spectrum, [this] { savespectrum(); }, this);
}

void SpectrumWindow::savespectrum()
{
    const QString name = app_.files.san;
    const QString dir = filedialogs::dirOf(app_, callers::Spectrum);
    const QString title = QStringLiteral("Save File");
    BusyGuard hourglass;
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')))
        return;
    if (QDir(dir).entryList(QDir::Files).contains(name, Qt::CaseSensitive)) {
        hourglass.release();
        const auto c = textfile::askIfChanged(*app_.prompter, QDir(dir).filePath(name), title);
        if (c == textfile::OnChanged::SaveAs)
            on_savez();
        if (c != textfile::OnChanged::Replace)
            return;
        if (app_.prompter->message(QStringLiteral("This file already exist\nYou want to replace ?"),
                                   title, Prompter::Question, Prompter::YesNoCancel)
            != Prompter::AnsYes) {
            app_.prompter->message(QStringLiteral("File save action aborted"), title,
                                   Prompter::Information);
            return;
        }
    }
    // The old file is replaced only once the new one is complete.
    QString error;
    if (!textfile::writeLines(QDir(dir).filePath(name), sanLines(lbl_tida->text(), scan_), &error)) {
        hourglass.release();
        app_.prompter->message(error, title, Prompter::Exclamation);
        return;
    }
    hourglass.release();
    app_.prompter->message(QStringLiteral("The spectrum scan data \nis now saved to the file ") + name,
                           QStringLiteral("Spectrum"), Prompter::Exclamation);
}

void SpectrumWindow::on_load()
{
    run_selfile(app_, callers::Spectrum, QStringLiteral("SAN_*.TXT"),
                [this] {
                    loadspectrum(QDir(filedialogs::dirOf(app_, callers::Spectrum))
                                     .filePath(app_.files.san));
                },
                this);
}

void SpectrumWindow::loadspectrum(const QString &path)
{
    loadCounter_ = loadCounter_ >= 4 ? 1 : loadCounter_ + 1;
    const int counter = loadCounter_;
    const QColor colour = curveColour(counter);
    QLabel *fn = lbl_fn[counter - 1];
    fn->setStyleSheet(QStringLiteral("color: %1; background: transparent").arg(colour.name()));

    QStringList lines;
    bool more = false;
    QString error;
    {
        BusyGuard hourglass;
        if (!textfile::readLinesLimited(path, 5 + kData + 1, &lines, &more, &error)) {
            hourglass.release();
            app_.prompter->message(error, QStringLiteral("Spectrum"), Prompter::Exclamation);
            return;
        }
    }
    const SanData d = readSan(lines);
    const QString base = QFileInfo(path).fileName();
    fn->setText(base.mid(4, base.size() - 8) + QStringLiteral("  ") + d.date);
    QStringList problems = d.problems;
    if (more)
        problems << QStringLiteral("it has more lines than a spectrum holds");
    if (!problems.isEmpty())
        app_.prompter->message(QStringLiteral("The file ") + base
                                   + QStringLiteral(" is damaged:\n") + problems.join(QLatin1Char('\n'))
                                   + QStringLiteral("\nWhat could be read is shown."),
                               QStringLiteral("Spectrum"), Prompter::Exclamation);

    scan_.data = d.data;
    scan_.index = std::max(d.index, 0);
    scan_.lim.lower = d.lower;
    scan_.lim.upper = d.upper;
    scan_.lim.step = d.step;
    scan_.lim.lowerText = lines.value(1);
    scan_.lim.upperText = lines.value(2);
    scan_.lim.stepText = lines.value(3);
    lastStored_ = d.index;
    if (d.valid()) {
        lbl_flo->setText(numText(d.lower));
        lbl_fhi->setText(numText(d.upper));
        lbl_fst->setText(QStringLiteral("Step: ") + numText(d.step) + QStringLiteral(" kHz"));
    } else {
        app_.prompter->message(inputErrorText(), inputErrorTitle(), Prompter::Exclamation);
    }

    // The curve; points outside the picture's columns are not drawn, and
    // nothing is drawn without a usable frequency span.
    if (d.upper > d.lower && d.step > 0) {
        QPoint prev(kLeft, kBottom);
        for (int i = 0; i <= d.index; ++i) {
            const int x = scan_.xOf(scan_.freqAt(i));
            const int y = std::clamp(Scan::yOf(d.data[size_t(i)]), kTop, kBottom);
            if (x >= kLeft && x <= kRight && !exiting_)
                pic->line(prev.x(), prev.y(), x, y, colour);
            prev = QPoint(x, y);
            if (x > kRight)
                break;
        }
    }
    if (!app_.settings.noRx()) {
        cmd_start->setEnabled(true);
        cmd_setfre->setEnabled(true);
    }
    setButtons({cmd_cls, cmd_stop, cmd_Rx, cmd_savez, cmd_Load, cmd_exportcsv}, {cmd_cont});
}

void SpectrumWindow::on_exit()
{
    exiting_ = true;
    tune_ = false;
    tmr_scan->stop();
    close();
}

void SpectrumWindow::closeEvent(QCloseEvent *e)
{
    exiting_ = true;
    tune_ = false;
    tmr_scan->stop();
    scanning_ = false;
    if (limits_)
        limits_->close();
    if (session_->running()) {
        measureui::enablewindows(app_, true);
        session_->stop();
    }
    QWidget::closeEvent(e);
}

void SpectrumWindow::on_savepng()
{
    const QString path = askPath(this, filedialogs::dirOf(app_, callers::Spectrum), QStringLiteral("spectrum.png"),
                                 QStringLiteral("PNG pictures (*.png)"));
    if (!path.isEmpty())
        measureui::savePicture(app_, pic, path);
}

void SpectrumWindow::on_exportcsv()
{
    const QString path = askPath(this, filedialogs::dirOf(app_, callers::Spectrum), QStringLiteral("spectrum.csv"),
                                 QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    const int last = std::min(lastStored_, scan_.lim.points());
    QString error;
    if (!textfile::writeLines(path, csvLines(scan_, last), &error))
        app_.prompter->message(error, QStringLiteral("Export CSV"), Prompter::Exclamation);
}
