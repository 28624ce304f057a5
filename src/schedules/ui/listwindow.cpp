#include "schedules/ui/listwindow.h"

#include "link/limits.h"

#include "common/ui/busy.h"
#include "common/ui/buttons.h"
#include "common/ui/fonts.h"
#include "common/ui/freqlabel.h"
#include "common/fmt.h"
#include "files/ui/filedialogs.h"
#include "link/app.h"
#include "link/panelview.h"
#include "link/port.h"
#include "link/receiver2.h"

#include <QCloseEvent>
#include <QDir>
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

bool folderHasFiles(App &app, int callerCode, const QString &pattern, const QString &title,
                    const QString &belongs)
{
    const QString dir = filedialogs::dirOf(app, callerCode);
    QStringList names;
    if (!filedialogs::listFiles(dir, pattern, &names, nullptr) || !names.isEmpty())
        return true;
    const QString folder = QDir::toNativeSeparators(dir);
    app.prompter->message((QFileInfo(dir).isDir()
                               ? QStringLiteral("The folder %1 holds no list to load.\n")
                               : QStringLiteral("The folder %1 is not there yet: no list to load.\n"))
                                  .arg(folder)
                              + belongs,
                          title, Prompter::Information);
    return false;
}

ListWindow::ListWindow(App &app, const Config &cfg, QWidget *parent)
    : QWidget(parent), app_(app), cfg_(cfg)
{
    setObjectName(cfg.objectName);
    setWindowTitle(cfg.caption);

    auto *load = kit::button(this, cfg.loadName, cfg.loadText, {.fitCaption = true});
    cmd_Top = kit::button(this, QStringLiteral("cmd_Top"), QStringLiteral("RX Control"), {.fitCaption = true});
    cmd_Exit = kit::button(this, QStringLiteral("cmd_Exit"), QStringLiteral("Exit"), {.fitCaption = true});
    connect(load, &QPushButton::clicked, this, &ListWindow::on_load);
    connect(cmd_Top, &QPushButton::clicked, this, &ListWindow::on_Top);
    connect(cmd_Exit, &QPushButton::clicked, this, &ListWindow::on_Exit);

    lbl_art = new QLabel(QStringLiteral("NRD-535 Freq (kHz) :"), this);
    lbl_art->setObjectName(QStringLiteral("lbl_art"));
    lbl_arf = new FreqLabel(app_, QStringLiteral("lbl_arf"), QStringLiteral("NRD-535 Freq (kHz)"), this);
    lbl_arf->setBoxed();
    lbl_art->setBuddy(nullptr);

    model = new ListModel(cfg.kind, this);
    grid = new ListView(this);
    grid->setObjectName(cfg.gridName);
    grid->setAccessibleName(cfg.gridAccessible);
    grid->setModel(model);
    const QFont gf = uifont::fixedFont(8);
    grid->setFont(gf);
    grid->horizontalHeader()->setFont(gf);
    const int rowH = QFontMetrics(gf).height() + 4;
    grid->verticalHeader()->setDefaultSectionSize(rowH);
    grid->verticalHeader()->setMinimumSectionSize(rowH);
    grid->horizontalHeader()->setFixedHeight(rowH + 2);
    const schedlist::GridLayout &g = schedlist::layoutOf(cfg.kind);
    for (int c = 0; c < g.columns; ++c) {
        const int tw = g.twips.value(c, 1);
        if (tw <= 1)
            grid->setColumnHidden(c, true);
        else // the twips width, widened when the font needs more room
            grid->setColumnWidth(c, qMax(uifont::twipsToPixels(tw, this),
                                         g.chars.value(c) * QFontMetrics(gf).horizontalAdvance(QLatin1Char('0')) + 8));
    }
    connect(grid, &ListView::tuneRequested, this, &ListWindow::tune_cell);

    utcTimer = new QTimer(this);
    utcTimer->setObjectName(cfg.timerName);
    utcTimer->setInterval(cfg.timerMs);
    connect(utcTimer, &QTimer::timeout, this, &ListWindow::on_tick);

    auto *top = new QHBoxLayout;
    top->addWidget(load);
    top->addWidget(cmd_Top);
    top->addWidget(cmd_Exit);
    top->addStretch();
    top->addWidget(lbl_art);
    top->addWidget(lbl_arf);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(6, 6, 6, 6);
    lay->setSpacing(6);
    lay->addLayout(top);
    lay->addWidget(grid, 1);

    setTabOrder(grid, load);
    setTabOrder(load, cmd_Top);
    setTabOrder(cmd_Top, cmd_Exit);

    // Keyboard: Ctrl+O loads, Escape closes (the table stays, as with the
    // close box).
    auto *openKey = new QShortcut(QKeySequence::Open, this);
    connect(openKey, &QShortcut::activated, this, &ListWindow::on_load);
    auto *escKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escKey, &QShortcut::activated, this, &QWidget::close);

    const int gridW = grid->horizontalHeader()->length() +
                      grid->verticalScrollBar()->sizeHint().width() + 2 * grid->frameWidth() + 2;
    resize(qMax(gridW + 12, sizeHint().width()), 460);
    grid->setFocus();
}

ListWindow::~ListWindow()
{
}

int ListWindow::capacity() const
{
    return qMax(1, app_.settings.dim(cfg_.dimIndex)) * 1000;
}

QString &ListWindow::currentFile() const
{
    return *currentFileOf(app_, cfg_.callerCode);
}

QString ListWindow::currentPath() const
{
    return app_.settings.sub(cfg_.subdir) + currentFile();
}

void ListWindow::setLoaded(bool on)
{
    loaded_ = on;
    lbl_arf->setFollowing(on);
}

void ListWindow::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (loaded_)
        return;
    setLoaded(true);
    utcTimer->start();
    if (!app_.settings.noRx() && app_.rx) {
        QTimer::singleShot(0, this, [this] {
            if (loaded_)
                show_rx_freq();
        });
    }
}

void ListWindow::closeEvent(QCloseEvent *e)
{
    utcTimer->stop();
    setLoaded(false);
    QWidget::closeEvent(e);
}

void ListWindow::show_rx_freq()
{
    if (app_.rx)
        app_.rx->readFrequency(this, [this](qint64) { lbl_arf->showKnown(); });
}

void ListWindow::on_load()
{
    if (!folderHasFiles(app_, cfg_.callerCode, cfg_.pattern, cfg_.caption, cfg_.belongs))
        return;
    QPointer<ListWindow> self(this);
    run_selfile(app_, cfg_.callerCode, cfg_.pattern,
                [self] {
                    if (self)
                        self->read_list();
                },
                this);
}

void ListWindow::on_Top()
{
    if (app_.panel)
        app_.panel->bringToFront();
}

void ListWindow::on_Exit()
{
    currentFile().clear();
    table_.reset();
    model->clear();
    close();
}

void ListWindow::on_tick()
{
    setWindowTitle(currentFile() + QStringLiteral("      UTC :  ") + app_.times.utc_text);
}

void ListWindow::tune_cell(const QModelIndex &index)
{
    const schedlist::GridLayout &g = schedlist::layoutOf(cfg_.kind);
    if (!index.isValid() || index.column() < g.firstFreq || index.column() > g.lastFreq)
        return;
    const double f = fmt::val(model->cell(index.row(), index.column()));
    if (!app_.rx)
        return;
    const QString code = model->cell(index.row(), g.codeColumn);
    // A recording or a log record at this frequency takes the row's station.
    if (!app_.rx->tune({rxlimits::hzOf(f), cfg_.target, code, g.defaultCode, model->cell(index.row(), 0)}))
        return; // outside the receiver's range
    // The grid's current cell moves to the (hidden) code column, where the
    // code is read: a second Enter does not tune again.
    grid->setCurrentIndex(model->index(index.row(), g.codeColumn));
}

bool ListWindow::read_table(bool ditto)
{
    const QString path = currentPath();
    std::shared_ptr<const schedlist::LineTable> t;
    schedlist::ReadResult r;
    {
        BusyGuard busy;
        r = ditto ? bdx2::read(path, capacity(), &t) : own2::read(path, capacity(), &t);
    }
    if (!r.ok) {
        app_.prompter->message(r.error, cfg_.caption, Prompter::Exclamation);
        return false;
    }
    table_ = std::move(t);
    if (r.truncated) {
        app_.prompter->message(
            QStringLiteral("Only the first %1 lines of %2 were read.\n"
                           "The setting \"%3\" (%4) limits a list to %1 lines;\n"
                           "raise it in the set-up to see the whole file.")
                .arg(r.linesRead)
                .arg(QDir::toNativeSeparators(path), cfg_.dimName)
                .arg(qMax(1, app_.settings.dim(cfg_.dimIndex))),
            cfg_.caption, Prompter::Exclamation);
    }
    return true;
}

void ListWindow::show_rows(const QList<int> &rows)
{
    BusyGuard busy;
    model->setRows(table_, rows);
    grid->scrollToTop();
    if (model->rowCount() > 0)
        grid->setCurrentIndex(model->index(0, 0));
}
