#include "logbook/ui/logdialogs.h"

#include "common/fmt.h"
#include "common/timetext.h"
#include "common/ui/buttons.h"
#include "link/app.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "logbook/ui/logwin.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace logging2;

// ---------------------------------------------------------------------------
// selsort2

selsort2::selsort2(LogWindow &win) : QDialog(&win), win_(win)
{
    setObjectName(QStringLiteral("selsort2"));
    setWindowTitle(QStringLiteral("Select sort order"));
    const QString captions[5] = {QStringLiteral("&Date"), QStringLiteral("&Time"), QStringLiteral("&Frequency"),
                                 QStringLiteral("&Organisation"), QStringLiteral("&Language")};
    auto *group = new QButtonGroup(this);
    group->setExclusive(true);
    auto *lay = new QVBoxLayout(this);
    for (int i = 0; i < 5; ++i) {
        chk_so[i] = new QCheckBox(captions[i], this);
        chk_so[i]->setObjectName(QStringLiteral("chk_so_%1").arg(i));
        chk_so[i]->setAccessibleName(QString(captions[i]).remove(QLatin1Char('&')));
        chk_so[i]->setChecked(win.book.sortChoice == i);
        group->addButton(chk_so[i], i);
        // toggled, not clicked: a screen reader's toggle action chooses too.
        connect(chk_so[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (on)
                on_so(i);
        });
        lay->addWidget(chk_so[i]);
    }
    lay->addSpacing(6);
    lay->addLayout(kit::buttonRow(this,
                                  {{cmd_OK, "cmd_OK", QStringLiteral("OK"), [this] { on_OK(); }},
                                   {cmd_Cancel, "cmd_Cancel", QStringLiteral("Cancel"), [this] { reject(); }}},
                                  kit::Align::Right));
    cmd_OK->setDefault(true);
    chk_so[std::clamp(win.book.sortChoice, 0, 4)]->setFocus();
}

void selsort2::on_so(int i)
{
    win_.book.sortChoice = i;
    chk_so[i]->setChecked(true);
}

void selsort2::on_OK()
{
    accept();
    win_.sort_log();
    win_.fill_log_grid();
}

// ---------------------------------------------------------------------------
// logfmt2

logfmt2::logfmt2(LogWindow &win) : QDialog(&win), win_(win)
{
    setObjectName(QStringLiteral("logfmt2"));
    setWindowTitle(QStringLiteral("Log Screen Format"));
    auto *grid = new QGridLayout;
    const QStringList &caps = fieldCaptions();
    const QString &fmt = win.book.format;
    for (int k = 0; k < kFields; ++k) {
        chk_fmt[k] = new QCheckBox(caps.at(k), this);
        chk_fmt[k]->setObjectName(QStringLiteral("chk_fmt_%1").arg(k));
        chk_fmt[k]->setAccessibleName(caps.at(k));
        chk_fmt[k]->setChecked(k < fmt.size() && fmt.at(k) == QLatin1Char('1'));
        connect(chk_fmt[k], &QCheckBox::toggled, this, [this, k](bool on) { on_fmt(k, on); });
        grid->addWidget(chk_fmt[k], k % 8, k / 8);
    }
    auto *tl = new QLabel(QStringLiteral("Format Length"), this);
    lbl_tl = new QLabel(formatLength(fmt), this);
    lbl_tl->setObjectName(QStringLiteral("lbl_tl"));
    lbl_tl->setAccessibleDescription(QStringLiteral("Format Length"));
    lbl_tl->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbl_tl->setMinimumWidth(40);
    lbl_tl->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_OK->setDefault(true);
    connect(cmd_OK, &QPushButton::clicked, this, &logfmt2::on_OK);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(tl);
    bottom->addWidget(lbl_tl);
    bottom->addStretch();
    bottom->addWidget(cmd_OK);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addSpacing(6);
    lay->addLayout(bottom);
    chk_fmt[0]->setFocus();
}

void logfmt2::on_fmt(int k, bool checked)
{
    QString &fmt = win_.book.format;
    if (fmt.size() < kFields)
        fmt = fmt.leftJustified(kFields, QLatin1Char('0'));
    fmt[k] = checked ? QLatin1Char('1') : QLatin1Char('0');
    chk_fmt[k]->setChecked(checked);
    lbl_tl->setText(formatLength(fmt));
}

void logfmt2::on_OK()
{
    accept();
    win_.apply_screen_format();
    win_.fill_log_grid();
}

// ---------------------------------------------------------------------------
// loginput

loginput::loginput(App &app, LogWindow &win) : QDialog(&win), app_(app), win_(win)
{
    setObjectName(QStringLiteral("loginput"));
    setWindowTitle(QStringLiteral("New Record"));
    const QString labels[kFields] = {
        QStringLiteral("Date (yyyymmdd)"), QStringLiteral("Start UTC (hhmm)"), QStringLiteral("End UTC (hhmm)"),
        QStringLiteral("Frequency (kHz)"), QStringLiteral("SINPO (#####)"),  QStringLiteral("Language (%%%)"),
        QStringLiteral("Organisation"),    QStringLiteral("TX Location"),     QStringLiteral("// Frequency 1"),
        QStringLiteral("// Frequency 2"),  QStringLiteral("// Frequency 3"),  QStringLiteral("// Frequency 4"),
        QStringLiteral("Remarks"),         QStringLiteral("Settings abmg"),   QStringLiteral("Settings pqrs")};
    const int cw = QFontMetrics(font()).horizontalAdvance(QLatin1Char('M'));
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(4);
    for (int k = 0; k < kFields; ++k) {
        lbl_in[k] = new QLabel(labels[k], this);
        lbl_in[k]->setObjectName(QStringLiteral("lbl_in_%1").arg(k));
        txt_in[k] = new QLineEdit(this);
        txt_in[k]->setObjectName(QStringLiteral("txt_in_%1").arg(k));
        txt_in[k]->setAccessibleName(labels[k]);
        txt_in[k]->setMaxLength(kWidth[k]);
        txt_in[k]->setMinimumWidth(qMax(6, kWidth[k] + 2) * cw * 3 / 4);
        lbl_in[k]->setBuddy(txt_in[k]);
        grid->addWidget(lbl_in[k], k, 0);
        grid->addWidget(txt_in[k], k, 1, Qt::AlignLeft);
    }
    chk_check = new QCheckBox(QStringLiteral("C&heck date, times and frequency before storing"), this);
    chk_check->setObjectName(QStringLiteral("chk_check"));
    chk_check->setAccessibleName(QStringLiteral("Check date, times and frequency before storing"));
    chk_check->setChecked(win.checkInput);
    connect(chk_check, &QCheckBox::toggled, this, [this](bool on) { win_.checkInput = on; });

    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_cancel = kit::button(this, QStringLiteral("cmd_cancel"), QStringLiteral("Cancel"));
    cmd_GetCurrent = kit::button(this, QStringLiteral("cmd_GetCurrent"), QStringLiteral("&Get Current Setting"));
    cmd_OK->setDefault(true);
    connect(cmd_OK, &QPushButton::clicked, this, &loginput::on_OK);
    connect(cmd_cancel, &QPushButton::clicked, this, &loginput::on_cancel);
    connect(cmd_GetCurrent, &QPushButton::clicked, this, &loginput::on_GetCurrent);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(cmd_GetCurrent);
    buttons->addStretch();
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cmd_cancel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addWidget(chk_check);
    lay->addSpacing(6);
    lay->addLayout(buttons);

    for (int k = 1; k < kFields; ++k)
        setTabOrder(txt_in[k - 1], txt_in[k]);
    setTabOrder(txt_in[kFields - 1], chk_check);
    setTabOrder(chk_check, cmd_OK);
    setTabOrder(cmd_OK, cmd_cancel);
    setTabOrder(cmd_cancel, cmd_GetCurrent);
    txt_in[0]->setFocus();
}

void loginput::load(const QString &caption, const Record &r)
{
    setWindowTitle(caption);
    for (int k = 0; k < kFields; ++k)
        txt_in[k]->setText(r[k]);
}

Record loginput::typed() const
{
    Record r;
    for (int k = 0; k < kFields; ++k)
        r[k] = txt_in[k]->text();
    return r;
}

void loginput::on_OK()
{
    const Record t = typed();
    if (chk_check->isChecked()) {
        QString why;
        const int bad = checkRecord(t, &why);
        if (bad >= 0) {
            app_.prompter->message(lbl_in[bad]->text() + QStringLiteral(": ") + why +
                                       QStringLiteral("\nNothing was stored."),
                                   windowTitle(), Prompter::Exclamation);
            txt_in[bad]->setFocus();
            txt_in[bad]->selectAll();
            return;
        }
    }
    done_ = true;
    win_.store_record(t);
    for (QLineEdit *e : txt_in)
        e->clear();
    accept();
}

void loginput::on_cancel()
{
    done_ = true;
    win_.cancel_record();
    QDialog::reject();
}

void loginput::reject()
{
    if (!done_)
        on_cancel();
}

void loginput::on_GetCurrent()
{
    if (!txt_in[Frequency]->text().isEmpty()) {
        const Prompter::Answer a = app_.prompter->message(
            QStringLiteral("You are sure you want to replace the\ncurrent record by current Rx setting\n"),
            QStringLiteral("Replace"), Prompter::Question, Prompter::YesNoCancel);
        if (a != Prompter::AnsYes)
            return;
    }
    cmd_GetCurrent->setEnabled(false);
    QString stamp = app_.times.utc_stamp;
    if (stamp.size() < 13 && app_.clock)
        stamp = timetext::compute(app_.clock->now(), app_.settings.ltMinusUtc()).utc_stamp;
    txt_in[Date]->setText(stamp.left(8));
    txt_in[BeginTime]->setText(stamp.right(4));
    // The frequency the receiver is on (not the panel's field, which may
    // hold a value typed and refused), and the station of the row it was
    // tuned from when Organisation is empty.
    const std::optional<qint64> hz = app_.rx ? app_.rx->knownHz() : std::nullopt;
    txt_in[Frequency]->setText(hz ? fmt::freqText(*hz / 1000.0) : QString());
    if (hz && txt_in[Organisation]->text().trimmed().isEmpty())
        txt_in[Organisation]->setText(app_.rx->stationAt(*hz));
    const RxState &s = app_.rxs;
    txt_in[Abmg]->setText(QStringLiteral("%1%2%3%4").arg(s.att).arg(s.bw).arg(s.mode).arg(s.agc));
    cmd_GetCurrent->setEnabled(true);
}
