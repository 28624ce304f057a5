#include "logbook/ui/logwin.h"

#include "common/fmt.h"
#include "common/textfile.h"
#include "common/ui/busy.h"
#include "common/ui/buttons.h"
#include "common/ui/fonts.h"
#include "common/ui/freqlabel.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "logbook/logexport.h"
#include "logbook/logimport.h"
#include "logbook/ui/logdialogs.h"
#include "logbook/ui/logmodel.h"
#include "schedules/ui/listmodel.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

using namespace logging2;

namespace {

const QString kTitle = QStringLiteral("Logging");

} // namespace

LogWindow::LogWindow(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("log"));
    setWindowTitle(kTitle);
    runDialog = [](QDialog &d) { d.exec(); };
    chooseExportPath = [this](const QString &suggested, const QString &filter) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export"), suggested, filter);
    };
    chooseImportPath = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Import ADIF/ADX"),
                                            QString(), QStringLiteral("ADIF and ADX files (*.adi *.adif *.adx);;All files (*)"));
    };
    build();
    set_record_buttons(false);
}

LogWindow::~LogWindow() = default;

void LogWindow::build()
{
    cmd_add = kit::button(this, QStringLiteral("cmd_add"), QStringLiteral("&Add Record"));
    cmd_chg = kit::button(this, QStringLiteral("cmd_chg"), QStringLiteral("&Change Record"));
    cmd_del = kit::button(this, QStringLiteral("cmd_del"), QStringLiteral("&Delete Record"));
    cmd_Save = kit::button(this, QStringLiteral("cmd_Save"), QStringLiteral("&Save"));
    cmd_savez = kit::button(this, QStringLiteral("cmd_savez"), QStringLiteral("Sa&veAs"));
    cmd_Close = kit::button(this, QStringLiteral("cmd_Close"), QStringLiteral("Cl&ose"));
    cmd_sort = kit::button(this, QStringLiteral("cmd_sort"), QStringLiteral("Sor&t"));
    cmd_fmt = kit::button(this, QStringLiteral("cmd_fmt"), QStringLiteral("&Format"));
    cmd_Load = kit::button(this, QStringLiteral("cmd_Load"), QStringLiteral("&Load Log File"));
    cmd_new = kit::button(this, QStringLiteral("cmd_new"), QStringLiteral("&New Log"));
    cmd_Top = kit::button(this, QStringLiteral("cmd_Top"), QStringLiteral("&RX Control"));
    cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit"));
    cmd_adif = kit::button(this, QStringLiteral("cmd_adif"), QStringLiteral("Export AD&IF"));
    cmd_adx = kit::button(this, QStringLiteral("cmd_adx"), QStringLiteral("&Export ADX"));
    cmd_csv = kit::button(this, QStringLiteral("cmd_csv"), QStringLiteral("Ex&port CSV"));
    cmd_import = kit::button(this, QStringLiteral("cmd_import"), QStringLiteral("I&mport ADIF/ADX"));

    connect(cmd_add, &QPushButton::clicked, this, &LogWindow::on_add);
    connect(cmd_chg, &QPushButton::clicked, this, &LogWindow::on_chg);
    connect(cmd_del, &QPushButton::clicked, this, &LogWindow::on_del);
    connect(cmd_Save, &QPushButton::clicked, this, &LogWindow::on_Save);
    connect(cmd_savez, &QPushButton::clicked, this, &LogWindow::on_savez);
    connect(cmd_Close, &QPushButton::clicked, this, &LogWindow::on_Close);
    connect(cmd_sort, &QPushButton::clicked, this, &LogWindow::on_sort);
    connect(cmd_fmt, &QPushButton::clicked, this, &LogWindow::on_fmt);
    connect(cmd_Load, &QPushButton::clicked, this, &LogWindow::on_Load);
    connect(cmd_new, &QPushButton::clicked, this, &LogWindow::on_new);
    connect(cmd_Top, &QPushButton::clicked, this, &LogWindow::on_Top);
    connect(cmd_exit, &QPushButton::clicked, this, &LogWindow::on_exit);
    connect(cmd_adif, &QPushButton::clicked, this, &LogWindow::on_adif);
    connect(cmd_adx, &QPushButton::clicked, this, &LogWindow::on_adx);
    connect(cmd_csv, &QPushButton::clicked, this, &LogWindow::on_csv);
    connect(cmd_import, &QPushButton::clicked, this, &LogWindow::on_import);

    lbl_art = new QLabel(QStringLiteral("NRD-535 Freq (kHz) :"), this);
    lbl_art->setObjectName(QStringLiteral("lbl_art"));
    lbl_arf = new FreqLabel(app_, QStringLiteral("lbl_arf"), QStringLiteral("NRD-535 Freq (kHz)"), this);
    lbl_arf->setBoxed();

    model = new LogModel(book, this);
    grd_log = new ListView(this);
    grd_log->setObjectName(QStringLiteral("grd_log"));
    grd_log->setAccessibleName(QStringLiteral("Log records"));
    grd_log->setModel(model);
    grd_log->setSelectionBehavior(QAbstractItemView::SelectItems);
    const QFont gf = uifont::fixedFont(8);
    grd_log->setFont(gf);
    grd_log->horizontalHeader()->setFont(gf);
    const int rowH = QFontMetrics(gf).height() + 4;
    grd_log->verticalHeader()->setDefaultSectionSize(rowH);
    grd_log->verticalHeader()->setMinimumSectionSize(rowH);
    grd_log->horizontalHeader()->setFixedHeight(rowH + 2);
    connect(grd_log, &ListView::tuneRequested, this, &LogWindow::tune_cell);

    auto *freq = new QHBoxLayout;
    freq->addWidget(lbl_art);
    freq->addWidget(lbl_arf);
    freq->addStretch();

    lbl_file = new QLabel(this);
    lbl_file->setObjectName(QStringLiteral("lbl_file"));
    lbl_file->setAccessibleDescription(QStringLiteral("Log file"));
    lbl_file->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *left = new QVBoxLayout;
    left->addLayout(freq);
    left->addWidget(grd_log, 1);
    left->addWidget(lbl_file);

    auto *right = new QVBoxLayout;
    right->setSpacing(4);
    for (QPushButton *b : {cmd_Load, cmd_new, cmd_add, cmd_chg, cmd_del})
        right->addWidget(b);
    right->addSpacing(8);
    for (QPushButton *b : {cmd_sort, cmd_fmt})
        right->addWidget(b);
    right->addSpacing(8);
    for (QPushButton *b : {cmd_Save, cmd_savez, cmd_Close})
        right->addWidget(b);
    right->addSpacing(8);
    for (QPushButton *b : {cmd_adif, cmd_adx, cmd_csv, cmd_import})
        right->addWidget(b);
    right->addStretch(1);
    for (QPushButton *b : {cmd_Top, cmd_exit})
        right->addWidget(b);

    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 6);
    lay->addLayout(left, 1);
    lay->addLayout(right);

    QWidget *order[] = {grd_log, cmd_Load, cmd_new, cmd_add, cmd_chg, cmd_del, cmd_sort, cmd_fmt,
                        cmd_Save, cmd_savez, cmd_Close, cmd_adif, cmd_adx, cmd_csv, cmd_import, cmd_Top, cmd_exit};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // Escape leaves the window the way Exit does (with its question).
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &LogWindow::on_exit);

    apply_screen_format();
    // Wide enough for the grid of the default format.
    const int gridW = grd_log->horizontalHeader()->length() + grd_log->verticalScrollBar()->sizeHint().width() +
                      2 * grd_log->frameWidth() + 4;
    resize(gridW + right->sizeHint().width() + 24, 500);
    grd_log->setFocus();
}

QString LogWindow::logDir() const
{
    return app_.settings.sub(QStringLiteral("LOG"));
}

QString LogWindow::currentPath() const
{
    return logDir() + app_.files.log;
}

void LogWindow::open_dialog(QDialog &d)
{
    if (runDialog)
        runDialog(d);
}

// ---------------------------------------------------------------------------
// opening and closing

void LogWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (loaded_)
        return;
    loaded_ = true;
    // Opening: default screen format and widths, empty grid, record buttons
    // off; the table (if kept) waits for the next load.
    book.format = QString::fromLatin1(kDefaultFormat);
    book.widths = kTwips;
    model->clear();
    set_record_buttons(false);
    apply_screen_format();
    lbl_arf->setFollowing(true);
    if (!app_.settings.noRx() && app_.rx) {
        QTimer::singleShot(0, this, [this] {
            if (loaded_)
                show_rx_freq();
        });
    }
}

void LogWindow::closeEvent(QCloseEvent *e)
{
    if (!may_leave()) {
        e->ignore();
        return;
    }
    loaded_ = false;
    lbl_arf->setFollowing(false);
    QWidget::closeEvent(e);
}

bool LogWindow::may_leave()
{
    if (!book.notSaved)
        return true;
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("Log file is not saved\nDo you want to save it ?"), QStringLiteral("Save File"),
        Prompter::Question, Prompter::YesNoCancel);
    if (a == Prompter::AnsCancel)
        return false;
    // A save that fails keeps the window and the log as they are.
    if (a == Prompter::AnsYes && !save_log())
        return false;
    app_.files.log.clear();
    book.discard();
    model->clear();
    set_record_buttons(false);
    return true;
}

void LogWindow::show_rx_freq()
{
    if (app_.rx)
        app_.rx->readFrequency(this, [this](qint64) { lbl_arf->showKnown(); });
}

// ---------------------------------------------------------------------------
// logging2 operations

void LogWindow::set_record_buttons(bool enabled)
{
    for (QPushButton *b : {cmd_add, cmd_chg, cmd_del, cmd_fmt, cmd_sort, cmd_Save, cmd_savez, cmd_Close,
                           cmd_adif, cmd_adx, cmd_csv})
        b->setEnabled(enabled);
    show_file();
}

void LogWindow::show_file()
{
    lbl_file->setText(book.hasTable() && !app_.files.log.isEmpty()
                          ? QStringLiteral("Log file: ") + QDir::toNativeSeparators(currentPath())
                          : QStringLiteral("No log is open: Load Log File opens one, New Log starts one."));
}

bool LogWindow::read_log_file()
{
    const QString path = currentPath();
    const int capacity = LogBook::capacityFor(app_.settings);
    LogBook::ReadResult r;
    {
        BusyGuard busy;
        r = book.read(path, capacity);
    }
    if (!r.ok) {
        app_.prompter->message(r.error, kTitle, Prompter::Exclamation);
        return false;
    }
    fill_log_grid();
    set_record_buttons(true);
    if (r.truncated) {
        app_.prompter->message(
            QStringLiteral("Only the first %1 records of %2 were read; %4 were not loaded.\n"
                           "The setting \"DIM LOG\" (%3) limits the log to %1 records;\n"
                           "raise it in the set-up to see the whole file.\n"
                           "Save will not write over this file (the records not loaded "
                           "would be lost); SaveAs saves the log under a new name.")
                .arg(r.read)
                .arg(QDir::toNativeSeparators(path))
                .arg(qMax(1, app_.settings.dim(2)))
                .arg(r.unread),
            kTitle, Prompter::Exclamation);
    }
    return true;
}

void LogWindow::fill_log_grid()
{
    BusyGuard busy;
    model->fill(book.format);
    apply_screen_format();
}

void LogWindow::apply_screen_format()
{
    model->setFormat(book.format);
    const QFont gf = grd_log->font();
    const int cw = QFontMetrics(gf).horizontalAdvance(QLatin1Char('0'));
    auto width = [&](int twips, int chars) { return qMax(uifont::twipsToPixels(twips, this), chars * cw + 8); };
    grd_log->setColumnWidth(0, width(book.widths[0], 3));
    int col = 1;
    for (int k : shownFields(book.format))
        grd_log->setColumnWidth(col++, width(book.widths[k + 1], kWidth[k]));
}

void LogWindow::sort_log()
{
    BusyGuard busy;
    book.sort();
}

bool LogWindow::save_log()
{
    QString error;
    bool ok;
    {
        BusyGuard busy;
        ok = book.save(currentPath(), &error);
    }
    if (!ok) {
        app_.prompter->message(error + QStringLiteral("\nThe log is still in the window, not saved."),
                               QStringLiteral("Save File"), Prompter::Exclamation);
        return false;
    }
    // Saving may have sorted by date; SaveAs gave the log a new name.
    if (model->shown() > 0)
        fill_log_grid();
    show_file();
    return true;
}

bool LogWindow::save_log_as()
{
    const QString name = app_.files.log;
    if (QFileInfo::exists(logDir() + name)) {
        // Changed on disk since it was loaded or saved: said first.
        const auto c = textfile::askIfChanged(*app_.prompter, logDir() + name,
                                              QStringLiteral("Save File"));
        bool saved = false;
        if (c == textfile::OnChanged::SaveAs)
            run_selsave(app_, callers::Log, [this, &saved] { saved = save_log_as(); }, this);
        if (c != textfile::OnChanged::Replace)
            return saved;
        const Prompter::Answer a = app_.prompter->message(
            QStringLiteral("This file already exist\nYou want to replace ?"), QStringLiteral("Save File"),
            Prompter::Question, Prompter::YesNoCancel);
        if (a != Prompter::AnsYes) {
            app_.prompter->message(QStringLiteral("File save action aborted"), QStringLiteral("Save File"),
                                   Prompter::Information);
            return false;
        }
        // The old file is replaced only once the new one is complete.
    }
    return save_log();
}

// ---------------------------------------------------------------------------
// buttons

int LogWindow::current_record() const
{
    const QModelIndex i = grd_log->currentIndex();
    return i.isValid() ? i.row() : -1;
}

bool LogWindow::no_record(int index)
{
    if (index >= 0 && index <= book.last() && index < model->shown())
        return false;
    app_.prompter->message(QStringLiteral("No record Selected"), QString(), Prompter::Exclamation);
    return true;
}

void LogWindow::on_add()
{
    if (!book.hasTable())
        return;
    if (book.full()) {
        app_.prompter->message(
            QStringLiteral("The log is full: it holds at most %1 records.\n"
                           "The setting \"DIM LOG\" (%2) limits it; raise it in the set-up,\n"
                           "then save and load the log again to add more.")
                .arg(book.capacity())
                .arg(qMax(1, app_.settings.dim(2))),
            kTitle, Prompter::Exclamation);
        return;
    }
    book.append(Record{});
    book.addMode = true;
    loginput dlg(app_, *this);
    {
        BusyGuard busy;
        dlg.load(QStringLiteral("Input Record ") + recordNumber(book.last()), Record{});
    }
    open_dialog(dlg);
    // The dialog closed without OK or Cancel (never shown): as Cancel.
    if (book.addMode && book.count() > model->shown())
        cancel_record();
}

void LogWindow::on_chg()
{
    book.addMode = false;
    book.selected = current_record();
    if (no_record(book.selected))
        return;
    loginput dlg(app_, *this);
    {
        BusyGuard busy;
        dlg.load(QStringLiteral("Change record ") + recordNumber(book.selected), book.record(book.selected));
    }
    open_dialog(dlg);
}

void LogWindow::on_del()
{
    book.selected = current_record();
    if (no_record(book.selected))
        return;
    const int i = book.selected;
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("You are sure you want delete\nrecord %1 about frequency %2?")
            .arg(recordNumber(i), book.record(i)[Frequency]),
        QStringLiteral("Check"), Prompter::Question, Prompter::OkCancel);
    if (a != Prompter::AnsOk)
        return;
    const int row = grd_log->currentIndex().row();
    const int col = grd_log->currentIndex().column();
    {
        BusyGuard busy;
        book.remove(i);
        book.notSaved = true;
    }
    fill_log_grid();
    if (model->shown() > 0)
        grd_log->setCurrentIndex(model->index(qMin(row, model->shown() - 1), qMax(0, col)));
}

void LogWindow::store_record(const Record &typed)
{
    bool allEmpty = true;
    for (const QString &f : typed)
        if (!f.isEmpty())
            allEmpty = false;
    if (book.addMode && allEmpty) {
        book.remove(book.last());
    } else {
        if (book.addMode)
            book.selected = book.last();
        if (book.selected < 0 || book.selected > book.last())
            return;
        book.record(book.selected) = storeRecord(typed);
        if (book.addMode) {
            model->appendLast();
            grd_log->setCurrentIndex(model->index(model->shown() - 1, 0));
            grd_log->scrollToBottom();
        }
    }
    if (!book.addMode) {
        const QModelIndex cur = grd_log->currentIndex();
        fill_log_grid();
        if (cur.isValid())
            grd_log->setCurrentIndex(model->index(cur.row(), cur.column()));
    }
    book.addMode = false;
    book.notSaved = true;
}

void LogWindow::cancel_record()
{
    if (book.addMode && book.count() > model->shown())
        book.remove(book.last());
    book.addMode = false;
}

void LogWindow::on_Save()
{
    // Refused before the question: the answer could only lose records.
    if (book.partlyLoaded(currentPath())) {
        app_.prompter->message(book.partlyLoadedMessage(), QStringLiteral("Save file"),
                               Prompter::Exclamation);
        return;
    }
    const auto c = textfile::askIfChanged(*app_.prompter, currentPath(), QStringLiteral("Save file"));
    if (c == textfile::OnChanged::SaveAs)
        on_savez();
    if (c != textfile::OnChanged::Replace)
        return;
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("File %1 already exist.\nDo you want to replace it ?").arg(app_.files.log),
        QStringLiteral("Save file"), Prompter::Question, Prompter::YesNoCancel);
    if (a == Prompter::AnsYes)
        save_log();
}

void LogWindow::on_savez()
{
    // If the new name is not written, the log keeps the name it had.
    const QString before = app_.files.log;
    run_selsave(app_, callers::Log,
                [this, before] {
                    if (!save_log_as())
                        app_.files.log = before;
                },
                this);
}

void LogWindow::on_Close()
{
    model->clear();
    set_record_buttons(false);
}

void LogWindow::on_sort()
{
    selsort2 dlg(*this);
    open_dialog(dlg);
}

void LogWindow::on_fmt()
{
    logfmt2 dlg(*this);
    open_dialog(dlg);
}

void LogWindow::on_Load()
{
    // The dialog is this window's child: its choice comes while the window lives.
    const QString before = app_.files.log;
    run_selfile(app_, callers::Log, QStringLiteral("LOG_*.TXT"),
                [this, before] {
                    if (!read_log_file())
                        app_.files.log = before;
                },
                this);
}

void LogWindow::on_new()
{
    // A log not saved is offered for saving first, as when leaving.
    if (!may_leave())
        return;
    const QString before = app_.files.log;
    run_selsave(app_, callers::Log,
                [this, before] {
                    App *app = &app_;
                    const QString path = currentPath();
                    if (QFileInfo::exists(path)) {
                        app->prompter->message(
                            QStringLiteral("The log %1 already exists.\n"
                                           "Open it with \"Load Log File\", or choose another name.")
                                .arg(QDir::toNativeSeparators(path)),
                            kTitle, Prompter::Exclamation);
                        app->files.log = before;
                        return;
                    }
                    // The empty log is written at once, so that it is in the
                    // Load list from now on and Save finds its file.
                    book.create(LogBook::capacityFor(app->settings));
                    if (!save_log()) {
                        book.discard();
                        app->files.log = before;
                        return;
                    }
                    fill_log_grid();
                    set_record_buttons(true);
                },
                this);
}

void LogWindow::on_Top()
{
    if (app_.panel)
        app_.panel->bringToFront();
}

void LogWindow::on_exit()
{
    close();
}

void LogWindow::tune_cell(const QModelIndex &index)
{
    if (!index.isValid() || !isTuneField(model->fieldOf(index.column())))
        return;
    const double f = fmt::val(model->cell(index.row(), index.column()));
    if (!app_.rx || index.row() > book.last())
        return;
    const QString code = tuningCode(book.record(index.row()));
    // A recording at this frequency is named after the logged station.
    app_.rx->tune({rxlimits::hzOf(f), Origin::Log, code, QString::fromLatin1(kDefaultCode),
                   book.record(index.row())[Organisation]});
}

// ---------------------------------------------------------------------------
// export

void LogWindow::export_to(Export kind)
{
    if (!book.hasTable())
        return;
    QString base = QFileInfo(app_.files.log).completeBaseName();
    if (base.isEmpty())
        base = QStringLiteral("LOG");
    struct Kind {
        const char *ext, *filter, *title;
    };
    static const Kind kinds[] = {{".adi", "ADIF files (*.adi)", "Export ADIF"},
                                 {".adx", "ADX files (*.adx)", "Export ADX"},
                                 {".csv", "CSV files (*.csv)", "Export CSV"}};
    const Kind &k = kinds[int(kind)];
    const QString suggested = logDir() + base + QLatin1String(k.ext);
    const QString title = QLatin1String(k.title);
    const QString path = chooseExportPath ? chooseExportPath(suggested, QLatin1String(k.filter)) : QString();
    if (path.isEmpty())
        return;
    QStringList lines;
    QString error;
    bool ok;
    {
        BusyGuard busy;
        if (kind == Export::Csv) {
            lines = logexport::csvLines(book.records());
        } else {
            const QDateTime now = app_.clock ? app_.clock->now() : QDateTime::currentDateTime();
            const QDateTime utc = now.addSecs(qint64(-app_.settings.ltMinusUtc() * 3600));
            const QString created = utc.toString(QStringLiteral("yyyyMMdd HHmmss"));
            lines = kind == Export::Adi ? logexport::adifLines(book.records(), created)
                                        : logexport::adxLines(book.records(), created);
        }
        ok = logexport::write(path, lines, &error);
    }
    if (!ok) {
        app_.prompter->message(error, title, Prompter::Exclamation);
        return;
    }
    app_.prompter->message(QStringLiteral("%1 records were written to\n%2")
                               .arg(book.count())
                               .arg(QDir::toNativeSeparators(path)),
                           title, Prompter::Information);
}

void LogWindow::on_adif()
{
    export_to(Export::Adi);
}

void LogWindow::on_adx()
{
    export_to(Export::Adx);
}

void LogWindow::on_csv()
{
    export_to(Export::Csv);
}

void LogWindow::on_import()
{
    const QString title = QStringLiteral("Import ADIF/ADX");
    const QString file = chooseImportPath ? chooseImportPath() : QString();
    if (file.isEmpty())
        return;
    logimport::Result r;
    {
        BusyGuard hourglass;
        r = logimport::read(file);
    }
    if (!r.ok) {
        app_.prompter->message(r.error, title, Prompter::Exclamation);
        return;
    }
    if (r.records.isEmpty()) {
        app_.prompter->message(QStringLiteral("%1 holds no record that fits a log.\n%2")
                                   .arg(QDir::toNativeSeparators(file), logimport::problemsText(r, file)),
                               title, Prompter::Exclamation);
        return;
    }
    // The first part becomes the log shown here, named as New Log names one.
    if (!may_leave())
        return;
    const QString before = app_.files.log;
    run_selsave(app_, callers::Log,
                [this, before, r, file, title] {
                    App *app = &app_;
                    const QString path = currentPath();
                    if (QFileInfo::exists(path)) {
                        app->prompter->message(
                            QStringLiteral("The log %1 already exists.\n"
                                           "An import goes into a new log: choose another name.")
                                .arg(QDir::toNativeSeparators(path)),
                            title, Prompter::Exclamation);
                        app->files.log = before;
                        return;
                    }
                    const int cap = LogBook::capacityFor(app->settings);
                    QStringList done;
                    int written = 0, n = 0;
                    QString error;
                    book.create(cap);
                    for (int i = 0; i < cap && i < r.records.size(); ++i)
                        book.append(r.records.at(i));
                    n = book.count();
                    if (!save_log()) {
                        book.discard();
                        app->files.log = before;
                        return;
                    }
                    written = n;
                    done << QStringLiteral("%1 records into %2").arg(n).arg(QDir::toNativeSeparators(path));
                    const QFileInfo fi(path);
                    for (int part = 2; written < r.records.size(); ++part) {
                        const QString next = fi.dir().filePath(logimport::partName(fi.fileName(), part));
                        const int rest = int(r.records.size()) - written;
                        if (app->prompter->message(
                                QStringLiteral("A log holds at most %1 records; %2 more are in %3.\n"
                                               "Write them into %4?")
                                    .arg(cap).arg(rest).arg(QFileInfo(file).fileName(),
                                                            QDir::toNativeSeparators(next)),
                                title, Prompter::Question, Prompter::YesNo) != Prompter::AnsYes) {
                            done << QStringLiteral("%1 records not imported").arg(rest);
                            break;
                        }
                        if (QFileInfo::exists(next)) {
                            done << QStringLiteral("%1 exists; %2 records not imported")
                                        .arg(QDir::toNativeSeparators(next)).arg(rest);
                            break;
                        }
                        if (!logimport::savePart(r.records, written, cap, next, &n, &error)) {
                            done << error << QStringLiteral("%1 records not imported").arg(rest);
                            break;
                        }
                        written += n;
                        done << QStringLiteral("%1 records into %2").arg(n).arg(QDir::toNativeSeparators(next));
                    }
                    fill_log_grid();
                    set_record_buttons(true);
                    QString text = QStringLiteral("%1 of %2 records imported from %3:\n%4")
                                       .arg(written).arg(r.total)
                                       .arg(QDir::toNativeSeparators(file), done.join(QLatin1Char('\n')));
                    const QString bad = logimport::problemsText(r, file);
                    if (!bad.isEmpty())
                        text += QStringLiteral("\n\n") + bad;
                    app->prompter->message(text, title,
                                           bad.isEmpty() ? Prompter::Information : Prompter::Exclamation);
                },
                this);
}
