#include "measure/ui/proptime.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "common/timetext.h"
#include "common/ui/busy.h"
#include "common/ui/canvas.h"
#include "common/ui/freqlabel.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "measure/meter.h"
#include "measure/session.h"
#include "measure/ui/spectrum.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace propagation;

namespace {
const QColor kLight(255, 240, 192);
const QColor kPanel(128, 0, 0);
const QColor kSurround(0, 0, 0);
constexpr int kBottoms[3] = {kMinuteBottom, kHourBottom, kDayBottom};
} // namespace

int Proptime::loadCounter_ = 0;

Proptime::Proptime(App &app, QWidget *parent)
    : QWidget(parent), app_(app),
      session_(new MeasureSession(app, QStringLiteral("The propagation impression"), this))
{
    setObjectName(QStringLiteral("Proptime"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Propagation Impression"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kLight);
    setPalette(pal);
    setAutoFillBackground(true);

    pic = new Canvas(600, 430, kSurround, this);
    pic->setHighContrast(app_.settings.high_contrast); // before the first drawing
    pic->setObjectName(QStringLiteral("pic_propimp"));
    pic->setAccessibleName(QStringLiteral("Propagation time bases"));

    auto label = [this](QLabel *&l, const char *name, const QString &acc) {
        l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAccessibleDescription(acc);
        l->setMinimumWidth(160);
    };
    label(lbl_Date, "lbl_Date", QStringLiteral("Start"));
    lbl_freq = new FreqLabel(app_, QStringLiteral("lbl_freq"), QStringLiteral("Frequency"), this);
    lbl_freq->setMinimumWidth(160);
    label(lbl_savez, "lbl_savez", QStringLiteral("Recording to"));
    label(lbl_status, "lbl_status", QStringLiteral("Missed readings"));
    txt_station = new QLineEdit(this);
    txt_station->setObjectName(QStringLiteral("txt_station"));
    txt_station->setAccessibleName(QStringLiteral("Station"));
    for (int i = 0; i < 4; ++i) {
        label(lbl_fn[i], "", QStringLiteral("Loaded file %1").arg(i + 1));
        lbl_fn[i]->setObjectName(QStringLiteral("lbl_fn%1").arg(i));
    }
    auto *info = new QGridLayout;
    auto *l1 = new QLabel(QStringLiteral("Start:"), this);
    auto *l2 = new QLabel(QStringLiteral("Freqency:"), this);
    auto *l3 = new QLabel(QStringLiteral("S&tation:"), this);
    l3->setBuddy(txt_station);
    info->addWidget(l1, 0, 0);
    info->addWidget(lbl_Date, 0, 1);
    info->addWidget(l2, 1, 0);
    info->addWidget(lbl_freq, 1, 1);
    info->addWidget(l3, 2, 0);
    info->addWidget(txt_station, 2, 1);
    info->addWidget(lbl_savez, 3, 0, 1, 2);
    info->addWidget(lbl_status, 4, 0, 1, 3);
    for (int i = 0; i < 4; ++i)
        info->addWidget(lbl_fn[i], i, 2);
    info->setColumnStretch(2, 1);

    auto *lay = new QVBoxLayout(this);
    lay->addWidget(pic);
    lay->addLayout(info);
    measureui::addRecorderRows(app_, lay, this,
                               {{cmd_start, "cmd_start", QStringLiteral("&Start"), [this] { on_start(); }},
                                {cmd_stop, "cmd_stop", QStringLiteral("St&op"), [this] { on_stop(); }},
                                {cmd_cls, "cmd_cls", QStringLiteral("&Cls"), [this] { on_cls(); }}},
                               {cmd_savez, cmd_Load, cmd_Rx, cmd_exit, cmd_savepng, cmd_exportcsv,
                                [this] { on_savez(); }, [this] { on_load(); }, [this] { close(); },
                                [this] { on_savepng(); }, [this] { on_exportcsv(); }});

    // The recording is a session: its tick reads the receiver, a missed
    // reply leaves a gap and the watch goes on.
    tmr_propimp = session_->timer();
    tmr_propimp->setObjectName(QStringLiteral("tmr_propimp"));
    measureui::setUpWatch(app_, session_, lbl_freq, lbl_status);
    connect(session_, &MeasureSession::reading, this, &Proptime::showReading);

    drawLayout();
    cmd_stop->setEnabled(false);
    cmd_start->setEnabled(!app_.settings.noRx());
}

Proptime::~Proptime()
{
    // The session gives the receiver back; this window hears no more of it.
    disconnect(session_, nullptr, this, nullptr);
    if (session_->running())
        measureui::enablewindows(app_, true);
    session_->stop();
}

void Proptime::drawLayout()
{
    pic->clear(kSurround);
    QFont f = pic->font();
    f.setPointSizeF(qMax(6.0, f.pointSizeF() - 2));
    pic->setFont(f);
    static const char *const names[3] = {"1 min", "1 hr", "1 day/LT"};
    static const char *const ends[3] = {"60", "60", "24"};
    static const char *const scale[6] = {"+72", "+48", "+24", "  S9", "  S5", "  S1"};
    for (int k = 0; k < 3; ++k) {
        const int top = 49 + 130 * k, bottom = 149 + 130 * k;
        pic->fillRect(kLeft, top, kRight, bottom, kPanel);
        for (int i = 0; i < 6; ++i)
            pic->text(48 - 20, 60 + 16 * i + 130 * k - 8, QString::fromLatin1(scale[i]), kLight);
        pic->text(kLeft, top - 18, QString::fromLatin1(names[k]), kLight);
        pic->text(kLeft - 3, bottom + 2, QStringLiteral("0"), kLight);
        pic->text(kRight - 8, bottom + 2, QString::fromLatin1(ends[k]), kLight);
    }
    for (int x = 84; x <= 556; x += 8) {
        pic->point(x, 82, kLight);
        pic->point(x, 114, kLight);
    }
}

void Proptime::setInfoColour(const QColor &c)
{
    const QString css = QStringLiteral("color: %1").arg(c.name());
    for (QWidget *w : {static_cast<QWidget *>(lbl_Date), static_cast<QWidget *>(lbl_freq),
                       static_cast<QWidget *>(txt_station)})
        w->setStyleSheet(css);
}

void Proptime::drawColumn(const Column &c, int bottom)
{
    pic->line(c.eraseX, bottom, c.eraseX, bottom - kPanelHeight, kPanel);
    if (c.y1 == c.y2)
        pic->point(c.x, c.y1, kLight);
    else
        pic->line(c.x, c.y1, c.x, c.y2, kLight);
}

void Proptime::on_cls()
{
    drawLayout();
    // Light labels on the light window would vanish: the default text
    // colour stands for the description's light info colour here.
    setInfoColour(palette().color(QPalette::WindowText));
}

void Proptime::on_start()
{
    if (!session_->start(900))
        return; // another measurement holds the receiver; it was said
    on_cls();
    lbl_Date->setText(timetext::compute(app_.clock->now(), app_.settings.ltMinusUtc()).utc_text
                      + QStringLiteral(" UTC"));
    for (QPushButton *b : {cmd_start, cmd_cls, cmd_Rx, cmd_savez, cmd_Load, cmd_exit})
        b->setEnabled(false);
    cmd_stop->setEnabled(true);
    imp_.reset();
    measureui::enablewindows(app_, false);
    running_ = true;
    lbl_status->clear();
}

void Proptime::stopRun()
{
    running_ = false;
    session_->stop();
    measureui::enablewindows(app_, true);
}

void Proptime::on_stop()
{
    stopRun();
    for (QPushButton *b : {cmd_Rx, cmd_cls, cmd_savez, cmd_Load, cmd_exit})
        b->setEnabled(true);
    cmd_start->setEnabled(!app_.settings.noRx());
    cmd_stop->setEnabled(false);
    if (recording_) {
        recording_ = false;
        app_.prompter->message(QStringLiteral("The Propagation data is now\nsaved to the file ")
                                   + QFileInfo(recordingPath_).fileName(),
                               QStringLiteral("Propagation"), Prompter::Exclamation);
    }
}

void Proptime::on_tick()
{
    session_->tickNow();
}

void Proptime::showReading(const meter::Reading &r)
{
    const QTime now = app_.clock->now().time();
    const TickOut t = imp_.tick(now.hour(), now.minute(), now.second(), r.v, recording_);
    pic->line(t.minute.eraseX, kMinuteBottom, t.minute.eraseX, kMinuteBottom - kPanelHeight, kPanel);
    pic->line(t.minute.x, t.minute.y1, t.minute.x, t.minute.y2, kLight);
    if (t.eraseMinuteFirst)
        pic->line(kLeft, kMinuteBottom, kLeft, kMinuteBottom - kPanelHeight, kPanel);
    if (t.quarter)
        drawColumn(*t.quarter, kHourBottom);
    if (t.eraseHourFirst)
        pic->line(kLeft, kHourBottom, kLeft, kHourBottom - kPanelHeight, kPanel);
    if (t.period)
        drawColumn(*t.period, kDayBottom);
    if (t.eraseDayFirst)
        pic->line(kLeft, kDayBottom, kLeft, kDayBottom - kPanelHeight, kPanel);
    if (t.panLine && recording_) {
        QString error;
        if (!textfile::appendLines(recordingPath_, {*t.panLine}, &error)) {
            // The watch goes on while this shows.
            recording_ = false;
            app_.prompter->notice(error + QStringLiteral("\nRecording stopped; what was written stays."),
                                  QStringLiteral("Propagation"), Prompter::Exclamation);
        }
    }
}

QString Proptime::panPath() const
{
    return QDir(filedialogs::dirOf(app_, callers::Proptime)).filePath(app_.files.pan);
}

void Proptime::on_savez()
{
    if (recording_)
        return; // one PAN file at a time
    // The dialog is modal on this window: the window is there when it calls.
    run_selsave(app_, callers::Proptime, [this] { openpan(); }, this);
}

void Proptime::openpan()
{
    const QString name = app_.files.pan;
    const QString dir = filedialogs::dirOf(app_, callers::Proptime);
    const QString title = QStringLiteral("Save File");
    BusyGuard hourglass;
    if (recording_ || name.isEmpty() || name.contains(QLatin1Char('/'))
        || name.contains(QLatin1Char('\\')))
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
    lbl_savez->setText(name.mid(4, name.size() - 8));
    // One PAN file at a time, also while the frequency is read.
    cmd_savez->setEnabled(false);
    hourglass.release();
    const QString path = QDir(dir).filePath(name);
    if (running_) {
        startPan(path);
        return;
    }
    // The frequency for the header, read in a bracket of its own.
    Receiver2 *rx = app_.rx;
    rx->submit(
        [this, rx, path]() -> rxjob::Task<> {
            co_await rx->aRefresh(Receiver2::Tell::Unreadable);
            startPan(path);
        },
        true, this);
}

void Proptime::startPan(const QString &path)
{
    lbl_freq->showKnown();
    lbl_Date->setText(timetext::compute(app_.clock->now(), app_.settings.ltMinusUtc()).utc_text
                      + QStringLiteral(" UTC"));
    setInfoColour(palette().color(QPalette::WindowText));
    QString error;
    if (!textfile::writeLines(path, panHeader(lbl_Date->text(), lbl_freq->text(), txt_station->text()),
                              &error)) {
        // During a watch this shows without stopping it.
        app_.prompter->notice(error, QStringLiteral("Save File"), Prompter::Exclamation);
        cmd_savez->setEnabled(!running_);
        return;
    }
    recordingPath_ = path;
    lastPanPath_ = path;
    recording_ = true;
    cmd_savez->setEnabled(false);
}

void Proptime::on_load()
{
    run_selfile(app_, callers::Proptime, QStringLiteral("PAN_*.TXT"),
                [this] { loadpan(panPath()); },
                this);
}

void Proptime::loadpan(const QString &path)
{
    loadCounter_ = loadCounter_ >= 4 ? 1 : loadCounter_ + 1;
    const QColor colour = SpectrumWindow::curveColour(loadCounter_);
    const QString css = QStringLiteral("color: %1; background: black").arg(colour.name());
    QLabel *fn = lbl_fn[loadCounter_ - 1];
    fn->setStyleSheet(css);
    const QString base = QFileInfo(path).fileName();
    fn->setText(base.mid(4, base.size() - 8));

    QStringList lines;
    bool more = false;
    QString error;
    {
        BusyGuard hourglass;
        // A day of minutes and a header; a longer file is read that far.
        if (!textfile::readLinesLimited(path, 3 + 24 * 60 + 1, &lines, &more, &error)) {
            hourglass.release();
            app_.prompter->message(error, QStringLiteral("Propagation"), Prompter::Exclamation);
            return;
        }
    }
    lastPanPath_ = path;
    const PanFile f = readPan(lines);
    lbl_Date->setText(f.date);
    lbl_freq->setText(f.freq);
    txt_station->setText(f.station);
    for (QWidget *w : {static_cast<QWidget *>(lbl_Date), static_cast<QWidget *>(lbl_freq),
                       static_cast<QWidget *>(txt_station)})
        w->setStyleSheet(css);
    QStringList problems = f.problems;
    if (more)
        problems << QStringLiteral("it holds more than a day; the first day is shown");
    if (!problems.isEmpty())
        app_.prompter->message(QStringLiteral("The file ") + base + QStringLiteral(" is damaged:\n")
                                   + problems.join(QLatin1Char('\n'))
                                   + QStringLiteral("\nWhat could be read is shown."),
                               QStringLiteral("Propagation"), Prompter::Exclamation);
    if (f.minutes.isEmpty())
        return;

    auto y = [](int bottom, double v) { return yOf(bottom, std::clamp(v, 0.0, 25.0)); };
    const PanMinute &first = f.minutes.first();
    QPoint hourLo(kLeft + 8 * first.mm, y(kHourBottom, first.lo[0]));
    QPoint hourHi(kLeft + 8 * first.mm, y(kHourBottom, first.hi[0]));
    QPoint dayLo(kLeft + 20 * first.hh + first.mm / 3, y(kDayBottom, first.lo[0]));
    QPoint dayHi(kLeft + 20 * first.hh + first.mm / 3, y(kDayBottom, first.hi[0]));
    double pLo = 21, pHi = 0;
    bool restartHour = false, restartDay = false;
    for (int li = 0; li < f.minutes.size(); ++li) {
        const PanMinute &m = f.minutes.at(li);
        for (int i = (li == 0 ? 1 : 0); i < 4; ++i) {
            const int x = kLeft + 8 * m.mm + 2 * i;
            const QPoint lo(x, y(kHourBottom, m.lo[size_t(i)]));
            const QPoint hi(x, y(kHourBottom, m.hi[size_t(i)]));
            if (restartHour) {
                restartHour = false;
            } else {
                pic->line(hourLo.x(), hourLo.y(), lo.x(), lo.y(), colour);
                pic->line(hourHi.x(), hourHi.y(), hi.x(), hi.y(), colour);
            }
            hourLo = lo;
            hourHi = hi;
            pLo = std::min(pLo, m.lo[size_t(i)]);
            pHi = std::max(pHi, m.hi[size_t(i)]);
            if (i == 0 && m.mm % 6 == 1) {
                const int dx = kLeft + 20 * m.hh + m.mm / 3;
                const QPoint dlo(dx, y(kDayBottom, pLo)), dhi(dx, y(kDayBottom, pHi));
                if (restartDay) {
                    restartDay = false;
                } else {
                    pic->line(dayLo.x(), dayLo.y(), dlo.x(), dlo.y(), colour);
                    pic->line(dayHi.x(), dayHi.y(), dhi.x(), dhi.y(), colour);
                }
                dayLo = dlo;
                dayHi = dhi;
                restartDay = m.hh == 23 && m.mm == 55;
                pLo = 21;
                pHi = 0;
            }
        }
        if (m.mm == 59) {
            restartHour = true;
            const Prompter::Answer a = app_.prompter->message(
                QStringLiteral("Click in YES to add data of next hour\n"
                               "Click in NO to get data of next hour only"),
                QStringLiteral("Next hour"), Prompter::Information, Prompter::YesNoCancel);
            if (a == Prompter::AnsCancel)
                break;
            if (a == Prompter::AnsNo)
                pic->fillRect(80, 179, 560, 279, kPanel);
        }
    }
}

void Proptime::on_savepng()
{
    const QString path = askPath(this, filedialogs::dirOf(app_, callers::Proptime),
                                 QStringLiteral("propagation.png"),
                                 QStringLiteral("PNG pictures (*.png)"));
    if (!path.isEmpty())
        measureui::savePicture(app_, pic, path);
}

void Proptime::on_exportcsv()
{
    if (lastPanPath_.isEmpty()) {
        app_.prompter->message(QStringLiteral("Record or load a PAN file first."),
                               QStringLiteral("Export CSV"), Prompter::Information);
        return;
    }
    QStringList lines;
    QString error;
    if (!textfile::readLines(lastPanPath_, &lines, &error)) {
        app_.prompter->message(error, QStringLiteral("Export CSV"), Prompter::Exclamation);
        return;
    }
    const QString base = QFileInfo(lastPanPath_).completeBaseName();
    const QString path = askPath(this, filedialogs::dirOf(app_, callers::Proptime),
                                 base + QStringLiteral(".csv"), QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (!textfile::writeLines(path, panCsv(readPan(lines)), &error))
        app_.prompter->message(error, QStringLiteral("Export CSV"), Prompter::Exclamation);
}

void Proptime::closeEvent(QCloseEvent *e)
{
    running_ = false;
    recording_ = false;
    if (session_->running()) {
        measureui::enablewindows(app_, true);
        session_->stop();
    }
    QWidget::closeEvent(e);
}
