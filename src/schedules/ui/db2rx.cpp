#include "schedules/ui/db2rx.h"
#include "schedules/onair.h"
#include "schedules/ui/listwindow.h"

#include "common/fmt.h"
#include "common/ui/busy.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/limits.h"
#include "link/panelview.h"
#include "link/port.h"
#include "link/linetask.h"
#include "link/receiver2.h"
#include "schedules/ilgconvert.h"
#include "common/ui/buttons.h"
#include "common/ui/fonts.h"
#include "schedules/eibi.h"
#include "schedules/skedfetch.h"
#include "timer/eventtab.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProgressDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QRadioButton>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QShortcut>
#include <QStringListModel>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

// ------------------------------------------------------------------ Filters

Filters::Filters(ILG2Rx *owner, QWidget *parent) : QDialog(parent), owner_(owner)
{
    setObjectName(QStringLiteral("Filters"));
    setWindowTitle(QStringLiteral("Select filter parameters"));
    const QString checks[6] = {QStringLiteral("&Frequency"), QStringLiteral("&Language"),
                               QStringLiteral("S&tation"), QStringLiteral("TX C&ountry"),
                               QStringLiteral("Stations currently on &air only"),
                               QStringLiteral("Target a&rea")};
    const QString combos[6] = {QStringLiteral("Frequency from (MHz)"), QStringLiteral("Frequency to (MHz)"),
                               QStringLiteral("Language"), QStringLiteral("Station"),
                               QStringLiteral("TX Country"), QStringLiteral("Target area")};
    for (int i = 0; i < 6; ++i) {
        chk_filter[i] = new QCheckBox(checks[i], this);
        chk_filter[i]->setObjectName(QStringLiteral("chk_filter_%1").arg(i));
        chk_filter[i]->setAccessibleName(QString(checks[i]).remove(QLatin1Char('&')));
        cmb_filter[i] = new QComboBox(this);
        cmb_filter[i]->setObjectName(QStringLiteral("cmb_filter_%1").arg(i));
        cmb_filter[i]->setAccessibleName(combos[i]);
        cmb_filter[i]->setEditable(true);
        cmb_filter[i]->setInsertPolicy(QComboBox::NoInsert);
        cmb_filter[i]->setMinimumWidth(i < 2 ? 80 : 180);
    }
    cmd_Search = kit::button(this, QStringLiteral("cmd_Search"), QStringLiteral("&Search ILG db"));
    cmd_Clear = kit::button(this, QStringLiteral("cmd_Clear"), QStringLiteral("C&lear"));
    cmd_cancel = kit::button(this, QStringLiteral("cmd_cancel"), QStringLiteral("Cancel"));
    cmd_Search->setDefault(true);

    auto *g = new QGridLayout;
    // Frequency: check box, from, "to", to, "(in MHz)".
    g->addWidget(chk_filter[0], 0, 0);
    auto *freq = new QHBoxLayout;
    freq->addWidget(cmb_filter[0]);
    freq->addWidget(new QLabel(QStringLiteral("to"), this));
    freq->addWidget(cmb_filter[1]);
    auto *mhz = new QLabel(QStringLiteral("(in MHz)"), this);
    mhz->setObjectName(QStringLiteral("lbl_mhz"));
    freq->addWidget(mhz);
    freq->addStretch();
    g->addLayout(freq, 0, 1);
    const int comboOf[6] = {-1, 2, 3, 4, -1, 5};
    for (int i = 1; i < 6; ++i) {
        g->addWidget(chk_filter[i], i, 0);
        if (comboOf[i] >= 0)
            g->addWidget(cmb_filter[comboOf[i]], i, 1);
    }
    // The time choice, by UTC and the days of the week.
    fra_time = new QGroupBox(QStringLiteral("Time (UTC)"), this);
    fra_time->setObjectName(QStringLiteral("fra_time"));
    fra_time->setAccessibleName(fra_time->title());
    const QString times[onair::WhenCount] = {QStringLiteral("An&y time"), QStringLiteral("On air &now"),
                                             QStringLiteral("Next &1 h"), QStringLiteral("Next &3 h"),
                                             QStringLiteral("Next &6 h")};
    auto *tl = new QHBoxLayout(fra_time);
    for (int i = 0; i < onair::WhenCount; ++i) {
        opt_time[i] = new QRadioButton(times[i], fra_time);
        opt_time[i]->setObjectName(QStringLiteral("opt_time_%1").arg(i));
        opt_time[i]->setAccessibleName(onair::whenCaption(onair::When(i)));
        tl->addWidget(opt_time[i]);
    }
    tl->addStretch();
    opt_time[0]->setChecked(true);
    g->addWidget(fra_time, 6, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_Search);
    buttons->addWidget(cmd_Clear);
    buttons->addWidget(cmd_cancel);
    auto *lay = new QVBoxLayout(this);
    lay->addLayout(g);
    lay->addLayout(buttons);

    QWidget *order[] = {chk_filter[0], cmb_filter[0], cmb_filter[1], chk_filter[1], cmb_filter[2],
                        chk_filter[2], cmb_filter[3], chk_filter[3], cmb_filter[4], chk_filter[4],
                        chk_filter[5], cmb_filter[5], opt_time[0], opt_time[1], opt_time[2],
                        opt_time[3], opt_time[4], cmd_Search, cmd_Clear, cmd_cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(cmd_Clear, &QPushButton::clicked, this, &Filters::on_Clear);
    connect(cmd_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmd_Search, &QPushButton::clicked, this, [this] {
        if (owner_)
            owner_->search(criteria());
    });
}

void Filters::setChoices(const ilgfilter::Choices &c)
{
    for (int i = 0; i < 6; ++i) {
        cmb_filter[i]->clear();
        cmb_filter[i]->addItems(c.combo[i]);
        cmb_filter[i]->setCurrentIndex(-1);
        cmb_filter[i]->setEditText(QString());
    }
}

ilgfilter::Criteria Filters::criteria() const
{
    ilgfilter::Criteria c;
    for (int i = 0; i < 6; ++i) {
        c.on[i] = chk_filter[i]->isChecked();
        c.text[i] = cmb_filter[i]->currentText();
    }
    for (int i = 0; i < onair::WhenCount; ++i)
        if (opt_time[i]->isChecked())
            c.when = onair::When(i);
    return c;
}

void Filters::on_Clear()
{
    for (int i = 0; i < 6; ++i) {
        chk_filter[i]->setChecked(false);
        cmb_filter[i]->setCurrentIndex(-1);
        cmb_filter[i]->setEditText(QString());
    }
    opt_time[0]->setChecked(true);
}

// ------------------------------------------------------------------ ILG2Rx

ILG2Rx::ILG2Rx(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("ILG2Rx"));
    setWindowTitle(QStringLiteral("ILG Radio"));

    cmd_Load = kit::button(this, QStringLiteral("cmd_Load"), QStringLiteral("&Load File"));
    cmd_Filters = kit::button(this, QStringLiteral("cmd_Filters"), QStringLiteral("Set &Filters"));
    SSCommand1 = kit::button(this, QStringLiteral("SSCommand1"), QStringLiteral("&RX Control"));
    cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit"));
    cmd_eibi = kit::button(this, QStringLiteral("cmd_eibi"), QStringLiteral("&Import EiBi"));
    connect(cmd_eibi, &QPushButton::clicked, this, &ILG2Rx::on_eibi);
    cmd_sked_update = kit::button(this, QStringLiteral("cmd_sked_update"), QStringLiteral("&Update"),
                                  {.tip = QStringLiteral("Fetch the current season's schedule and import it")});
    connect(cmd_sked_update, &QPushButton::clicked, this, &ILG2Rx::on_sked_update);
    chooseScheduleFile = [this](const QString &dir) {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Import EiBi"), dir,
                                            QStringLiteral("Schedules (*.csv *.txt);;All files (*)"));
    };
    connect(cmd_Load, &QPushButton::clicked, this, &ILG2Rx::on_Load);
    connect(cmd_Filters, &QPushButton::clicked, this, &ILG2Rx::on_Filters);
    connect(SSCommand1, &QPushButton::clicked, this, &ILG2Rx::on_Top);
    connect(cmd_exit, &QPushButton::clicked, this, &ILG2Rx::on_exit);

    lbl_art = new QLabel(QStringLiteral("NRD-535 freq (KHz)"), this);
    lbl_art->setObjectName(QStringLiteral("lbl_art"));
    txt_arf = new QLineEdit(this);
    txt_arf->setObjectName(QStringLiteral("txt_arf"));
    txt_arf->setAccessibleName(QStringLiteral("NRD-535 freq (KHz)"));
    QFont df = uifont::fixedFont(10);
    df.setBold(true);
    txt_arf->setFont(df);
    txt_arf->setAlignment(Qt::AlignRight);
    txt_arf->setMaximumWidth(QFontMetrics(df).horizontalAdvance(QStringLiteral("000000.000")) + 16);
    lbl_art->setBuddy(txt_arf);
    txt_arf->installEventFilter(this);
    connect(txt_arf, &QLineEdit::returnPressed, this, &ILG2Rx::on_arf_enter);

    lbl_filters = new QLabel(QStringLiteral("Filtering, % done:"), this);
    lbl_filters->setObjectName(QStringLiteral("lbl_filters"));
    lbl_ready = new QLabel(this);
    lbl_ready->setObjectName(QStringLiteral("lbl_ready"));
    lbl_ready->setAccessibleDescription(QStringLiteral("Percent done"));
    lbl_filters->hide();
    lbl_ready->hide();

    model = new QStringListModel(this);
    lst_ilg = new QListView(this);
    lst_ilg->setObjectName(QStringLiteral("lst_ilg"));
    lst_ilg->setAccessibleName(QStringLiteral("Broadcasts"));
    lst_ilg->setModel(model);
    lst_ilg->setUniformItemSizes(true);
    lst_ilg->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lst_ilg->setFont(uifont::fixedFont(8));
    lst_ilg->installEventFilter(this);
    connect(lst_ilg, &QListView::doubleClicked, this, [this] { tune_line(); });

    auto *top = new QHBoxLayout;
    top->addWidget(cmd_Load);
    top->addWidget(cmd_Filters);
    top->addWidget(cmd_eibi);
    top->addWidget(cmd_sked_update);
    top->addWidget(SSCommand1);
    top->addWidget(cmd_exit);
    top->addStretch();
    top->addWidget(lbl_filters);
    top->addWidget(lbl_ready);
    top->addSpacing(12);
    top->addWidget(lbl_art);
    top->addWidget(txt_arf);
    lbl_shown = new QLabel(this);
    lbl_shown->setObjectName(QStringLiteral("lbl_shown"));
    lbl_shown->setAccessibleDescription(QStringLiteral("Lines shown"));
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 6);
    lay->addLayout(top);
    lay->addWidget(lst_ilg, 1);
    lay->addWidget(lbl_shown);

    setTabOrder(lst_ilg, txt_arf);
    setTabOrder(txt_arf, cmd_Load);
    setTabOrder(cmd_Load, cmd_Filters);
    setTabOrder(cmd_Filters, cmd_eibi);
    setTabOrder(cmd_eibi, cmd_sked_update);
    setTabOrder(cmd_sked_update, SSCommand1);
    setTabOrder(SSCommand1, cmd_exit);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);

    filters = new Filters(this, this);
    filters->setWindowFlag(Qt::Dialog);
    cmd_Filters->setEnabled(false);

    const int w = QFontMetrics(uifont::fixedFont(8)).horizontalAdvance(QString(114, QLatin1Char('0')));
    resize(qMax(w + 40, sizeHint().width()), 480);
    readFilterFile();
}

ILG2Rx::~ILG2Rx()
{
    // An import still running stops; the worker ends before its dialog goes.
    if (importer_) {
        stopImport_ = true;
        importer_->wait();
    }
}

int ILG2Rx::capacity() const
{
    return qMax(1, app_.settings.dim(3)) * 1000;
}

void ILG2Rx::readFilterFile()
{
    ilgfilter::Choices c;
    QString error;
    if (!ilgfilter::readOrCreate(app_.settings.base_dir, &c, &error))
        app_.prompter->message(error, QStringLiteral("ILG Radio"), Prompter::Exclamation);
    filters->setChoices(c);
}

void ILG2Rx::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (loaded_)
        return;
    loaded_ = true;
    if (app_.rx) {
        // Every frequency but its own tunes, and the receiver's dial.
        connect(app_.rx, &Receiver2::frequencyChanged, this, [this](qint64 hz, Origin origin) {
            if (origin != Origin::Ilg2Rx)
                txt_arf->setText(freqShown(hz));
        });
    }
    if (!app_.settings.noRx() && app_.rx) {
        QTimer::singleShot(0, this, [this] {
            if (loaded_)
                showRxFreq();
        });
    }
    lst_ilg->setFocus();
}

void ILG2Rx::showRxFreq()
{
    app_.rx->readFrequency(this, [this](qint64 hz) { txt_arf->setText(freqShown(hz)); });
}

void ILG2Rx::closeEvent(QCloseEvent *e)
{
    loaded_ = false;
    if (app_.rx)
        disconnect(app_.rx, nullptr, this, nullptr);
    filters->hide();
    QWidget::closeEvent(e);
}

bool ILG2Rx::eventFilter(QObject *o, QEvent *e)
{
    if (o == txt_arf && e->type() == QEvent::MouseButtonDblClick) {
        txt_arf->clear();
        return true;
    }
    if (o == lst_ilg && e->type() == QEvent::KeyPress) {
        const auto *k = static_cast<QKeyEvent *>(e);
        if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
            tune_line();
            return true;
        }
    }
    return QWidget::eventFilter(o, e);
}

void ILG2Rx::on_Load()
{
    // The dialog is modal and a child of this window: the load runs while
    // the window is there.
    if (!folderHasFiles(app_, callers::Ilg2Rx, QStringLiteral("*.ftl"), QStringLiteral("ILG Radio"),
                        QStringLiteral("The converted lists *.ftl belong there: Import EiBi (in this "
                                       "window)\nor the ILG conversion (Db2Rx > Convert ILG . . .) "
                                       "makes them.")))
        return;
    run_selfile(app_, callers::Ilg2Rx, QStringLiteral("*.ftl"), [this] { read_file(); }, this);
}

bool ILG2Rx::read_file()
{
    const QString name = app_.files.converted;
    const QString path = filedialogs::dirOf(app_, callers::Ilg2Rx) + name;
    ftl::Table t;
    ftl::LoadResult r;
    {
        BusyGuard busy;
        r = ftl::load(path, capacity(), &t);
    }
    if (!r.ok) {
        app_.prompter->message(r.error, QStringLiteral("ILG Radio"), Prompter::Exclamation);
        return false;
    }
    table_ = std::move(t);
    onair::setLoaded(table_.lines, name);
    setWindowTitle(QStringLiteral("ILG Radio"));
    {
        BusyGuard busy;
        model->setStringList(table_.lines);
    }
    showCount();
    setWindowTitle(QStringLiteral("ILG Radio Database ") + name + QStringLiteral(" / ") +
                   ftl::countText(table_.count()) + QStringLiteral(" records"));
    cmd_Filters->setEnabled(true);
    if (model->rowCount() > 0)
        lst_ilg->setCurrentIndex(model->index(0));
    const QString notes = ftl::loadNotes(r, table_.count(), app_.settings.dim(3), name,
                                         QStringLiteral("the frequency filter"));
    if (!notes.isEmpty())
        app_.prompter->message(notes, QStringLiteral("ILG Radio"), Prompter::Exclamation);
    return true;
}

void ILG2Rx::on_eibi()
{
    if (importer_)
        return; // one import at a time
    const QString csv = chooseScheduleFile(app_.settings.base_dir);
    if (csv.isEmpty())
        return;
    startImport(csv);
}

void ILG2Rx::startImport(const QString &csv, const QString &before)
{
    const QString dir = ftl::dataDir(app_.settings.base_dir);
    QDir().mkpath(dir);
    const QString name = eibi::ftlNameFor(csv);
    // The import runs on a worker thread; its progress comes back as queued
    // calls to the dialog, a child of this window, and Stop asks it to end.
    auto *progress = new QProgressDialog(QStringLiteral("Importing %1 ...").arg(QFileInfo(csv).fileName()),
                                         QStringLiteral("Stop"), 0, 100, this);
    progress->setObjectName(QStringLiteral("prg_eibi"));
    progress->setWindowTitle(QStringLiteral("Import EiBi"));
    progress->setMinimumDuration(300);
    stopImport_ = false;
    connect(progress, &QProgressDialog::canceled, this, [this] { stopImport_ = true; });
    auto result = std::make_shared<eibi::Result>();
    const QString out = dir + name;
    const QStringList codes = app_.cap.region_codes;
    importer_ = QThread::create([this, csv, out, codes, result, progress] {
        *result = eibi::import(csv, out, codes, [this, progress](int pct) {
            QMetaObject::invokeMethod(progress, [progress, pct] { progress->setValue(pct); },
                                      Qt::QueuedConnection);
            return stopImport_.load();
        });
    });
    importer_->setParent(this);
    connect(importer_, &QThread::finished, this, [this, result, progress, name, dir, before] {
        importer_->deleteLater();
        importer_ = nullptr;
        delete progress;
        importDone(*result, name, dir, before);
    });
    importer_->start();
}

void ILG2Rx::importDone(const eibi::Result &r, const QString &name, const QString &dir,
                        const QString &before)
{
    if (r.stopped)
        return;
    if (!r.ok) {
        app_.prompter->message(before + r.error, QStringLiteral("Import EiBi"), Prompter::Exclamation);
        return;
    }
    app_.prompter->message(before + r.summary(QDir::toNativeSeparators(dir + name)), QStringLiteral("Import EiBi"),
                           r.bad > 0 ? Prompter::Exclamation : Prompter::Information);
    app_.files.converted = name;
    read_file();
}

bool ILG2Rx::updating() const
{
    return fetcher_ && fetcher_->busy();
}

void ILG2Rx::on_sked_update()
{
    if (importer_ || updating())
        return; // one at a time
    const QDate today = (app_.clock ? app_.clock->now() : QDateTime::currentDateTime()).toUTC().date();
    const QString name = sked::seasonFile(today);
    const QUrl url = sked::fileUrl(app_.settings.sked_base, name);
    const QString csv = sked::csvDir(app_.settings.base_dir) + name;
    if (!fetcher_)
        fetcher_ = new SkedFetch(this);
    fetcher_->regionCodes = app_.cap.region_codes;
    // The download's bytes in a dialog whose Cancel stops it; nothing is
    // replaced until it came whole and is a schedule.
    auto *progress = new QProgressDialog(QStringLiteral("Fetching %1 from %2 ...").arg(name, url.toString()),
                                         QStringLiteral("Cancel"), 0, 0, this);
    progress->setObjectName(QStringLiteral("prg_sked"));
    progress->setWindowTitle(QStringLiteral("Update EiBi"));
    progress->setAccessibleName(QStringLiteral("Update EiBi"));
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(300);
    connect(progress, &QProgressDialog::canceled, fetcher_, &SkedFetch::cancel);
    connect(fetcher_, &SkedFetch::progress, progress, [progress](qint64 got, qint64 total) {
        if (total > 0) {
            progress->setMaximum(100);
            progress->setValue(int(qMin<qint64>(100, got * 100 / total)));
        }
    });
    connect(
        fetcher_, &SkedFetch::finished, this,
        [this, progress, csv](SkedFetch::Outcome o, const QString &text) {
            // Its Cancel may be what ended the download: not deleted inside it.
            progress->setObjectName(QString());
            progress->hide();
            progress->deleteLater();
            const QString title = QStringLiteral("Update EiBi");
            switch (o) {
            case SkedFetch::Outcome::Fetched:
                startImport(csv, text + QLatin1Char('\n'));
                break;
            case SkedFetch::Outcome::UpToDate:
                // Imported before: kept as it is; never imported: now.
                if (QFileInfo::exists(ftl::dataDir(app_.settings.base_dir) + eibi::ftlNameFor(csv)))
                    app_.prompter->message(text, title, Prompter::Information);
                else
                    startImport(csv, text + QLatin1Char('\n'));
                break;
            case SkedFetch::Outcome::Cancelled:
                break; // as Stop in the import: the user knows
            default:
                app_.prompter->message(text, title, Prompter::Exclamation);
            }
        },
        Qt::SingleShotConnection);
    fetcher_->fetch(url, csv);
}

void ILG2Rx::on_Filters()
{
    filters->show();
    filters->raise();
    filters->activateWindow();
}

void ILG2Rx::on_Top()
{
    if (app_.panel)
        app_.panel->bringToFront();
}

void ILG2Rx::on_exit()
{
    filters->hide();
    close();
}

QStringList ILG2Rx::entries() const
{
    return model->stringList();
}

void ILG2Rx::tune_line()
{
    const QModelIndex i = lst_ilg->currentIndex();
    if (!i.isValid() || !app_.rx)
        return;
    const qint64 hz = rxlimits::hzOf(fmt::val(model->data(i, Qt::DisplayRole).toString().left(8)));
    // A recording or a log record at this frequency takes the line's station.
    if (app_.rx->tune({hz, Origin::Ilg2Rx, QStringLiteral("0041"), QStringLiteral("0041"),
                       ilg::ftlStation(model->data(i, Qt::DisplayRole).toString())}))
        txt_arf->setText(freqShown(hz));
}

void ILG2Rx::on_arf_enter()
{
    const double f = fmt::val(txt_arf->text());
    if (app_.rx && !app_.rx->tune(rxlimits::hzOf(f), Origin::Ilg2Rx))
        app_.prompter->message(QStringLiteral("Freqyency outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
}

void ILG2Rx::showCount(onair::When when, const QDateTime &utc)
{
    lbl_shown->setText(ilgfilter::shownText(int(model->rowCount()), table_.count(), when, utc));
}

void ILG2Rx::search(const ilgfilter::Criteria &criteria)
{
    // The time choice at the present UTC moment.
    ilgfilter::Criteria c = criteria;
    const QDateTime utc = timertab::utcOf(app_.clock ? app_.clock->now() : QDateTime::currentDateTime(),
                                          app_.settings.ltMinusUtc());
    c.at = onair::momentOf(utc);
    lbl_ready->setText(QStringLiteral("0"));
    lbl_ready->show();
    lbl_filters->show();
    model->setStringList({});
    QList<int> hits;
    {
        BusyGuard busy;
        hits = ilgfilter::search(table_.lines, c, ftl::hhmmNumber(app_.times.utc_text),
                                 app_.cap.region_codes, [this](int pct) {
                                     lbl_ready->setText(QString::number(pct));
                                     lbl_ready->repaint();
                                 });
    }
    QStringList shown;
    shown.reserve(hits.size());
    for (int i : hits)
        shown << ilgfilter::entryOf(table_.lines.at(i));
    model->setStringList(shown);
    if (model->rowCount() > 0)
        lst_ilg->setCurrentIndex(model->index(0));
    showCount(c.when, utc);
    lbl_filters->hide();
    lbl_ready->hide();
}
