#include "memory/ui/memman.h"

#include "common/ui/buttons.h"
#include "common/ui/busy.h"
#include "common/ui/fonts.h"
#include "common/ui/freqlabel.h"
#include "common/fmt.h"
#include "common/textfile.h"
#include "link/limits.h"
#include "files/ui/filedialogs.h"
#include "memory/memcsv.h"
#include "link/app.h"
#include "link/panelview.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "measure/session.h"
#include "memory/ui/memcell.h"
#include "settings/settings.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString kNoData = QStringLiteral("No data loaded in the\nMemMan Window");

// Column widths in twips, 15 twips to the pixel at 96 dpi.
constexpr int kTwips[mem2::ColCount] = {510, 1200, 510, 510, 510, 510, 4500};

QFont gridFont(int pointSize = 0) { return uifont::fixedFont(pointSize); }

QTableWidget *makeGrid(QWidget *parent, const QString &name, const QString &accessible)
{
    auto *g = new QTableWidget(parent);
    g->setObjectName(name);
    g->setAccessibleName(accessible);
    g->setColumnCount(mem2::ColCount);
    g->horizontalHeader()->hide();
    g->verticalHeader()->hide();
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setWordWrap(false);
    g->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

} // namespace

MemMan::MemMan(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("MemMan"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Memory Management"));
    choosePrinter = [this](QPrinter &printer) {
        QPrintDialog dlg(&printer, this);
        return dlg.exec() == QDialog::Accepted;
    };
    chooseCsvIn = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Import CSV"),
                                            mem2::memDir(app_.settings),
                                            QStringLiteral("CSV files (*.csv);;All files (*)"));
    };
    chooseCsvOut = [this](const QString &suggested) {
        return QFileDialog::getSaveFileName(this, QStringLiteral("Export CSV"), suggested,
                                            QStringLiteral("CSV files (*.csv)"));
    };
    xfer_ = new mem2::MemTransfer(app_, mem2::table(), this);
    scanSession_ = new MeasureSession(app_, QStringLiteral("The memory scan"), this);
    build();
    set_mem_buttons(true);
    show_held();
    // The grid opens on the row last clicked, without touching it or the
    // labels (a grid taking the focus would otherwise make row 0 current).
    {
        Programmatic p(programmatic_);
        const int row = mem2::table().mem_row;
        if (row >= 0 && row < grd_mem->rowCount())
            grd_mem->setCurrentCell(row, 0, QItemSelectionModel::NoUpdate);
    }
}

MemMan::~MemMan()
{
    // The transfer and the scan's session go with the window: the owner
    // drops their jobs and lets go of the receiver after them. This window
    // hears no more of them.
    disconnect(xfer_, nullptr, this, nullptr);
    disconnect(scanSession_, nullptr, this, nullptr);
}

void MemMan::build()
{
    const kit::Look wide{.minWidth = 84};
    auto panel = [this](QWidget *&p, const char *name, const QString &title) {
        auto *g = new QGroupBox(title, this);
        g->setObjectName(QString::fromLatin1(name));
        g->setAccessibleName(title);
        p = g;
        return g;
    };

    lbl_held = new QLabel(this);
    lbl_held->setObjectName(QStringLiteral("lbl_held"));
    lbl_held->setAccessibleDescription(QStringLiteral("Memory table"));
    lbl_held->setWordWrap(true);
    lbl_held->setStyleSheet(QStringLiteral("QLabel { background: rgb(255, 248, 208); padding: 2px 4px; }"));
    lbl_held->setVisible(false);

    // Grids.
    grd_titles = makeGrid(this, QStringLiteral("grd_titles"), QStringLiteral("Column titles"));
    grd_titles->setRowCount(1);
    const QStringList titles{QStringLiteral(" NR"), QStringLiteral(" FREQUENCY"),
                             QStringLiteral(" ATT"), QStringLiteral(" BW"),
                             QStringLiteral(" MD"), QStringLiteral(" AGC"),
                             QStringLiteral(" ALPHA TAG")};
    QFont titleFont = font();
    titleFont.setBold(true);
    for (int c = 0; c < mem2::ColCount; ++c) {
        auto *it = new QTableWidgetItem(titles[c]);
        it->setFont(titleFont);
        it->setFlags(Qt::ItemIsEnabled);
        grd_titles->setItem(0, c, it);
    }
    grd_titles->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grd_titles->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grd_titles->setSelectionMode(QAbstractItemView::NoSelection);
    grd_titles->setFocusPolicy(Qt::NoFocus);
    grd_titles->setShowGrid(true);
    grd_titles->setFrameShape(QFrame::NoFrame);
    grd_titles->setStyleSheet(
        QStringLiteral("QTableWidget { background: rgb(255, 224, 192); gridline-color: #b08060; }"));
    const int titleH = grd_titles->fontMetrics().height() + 8;
    grd_titles->verticalHeader()->setDefaultSectionSize(titleH);
    grd_titles->setFixedHeight(titleH);

    grd_mem = makeGrid(this, QStringLiteral("grd_mem"), QStringLiteral("Memory channels"));
    grd_mem->setFont(gridFont());
    grd_mem->verticalHeader()->setDefaultSectionSize(grd_mem->fontMetrics().height() + 4);
    grd_mem->setSelectionBehavior(QAbstractItemView::SelectRows);
    grd_mem->setSelectionMode(QAbstractItemView::SingleSelection);
    grd_mem->setAlternatingRowColors(true);
    grd_mem->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    grd_mem->setStyleSheet(QStringLiteral(
        "QTableWidget { gridline-color: #c8c8c8; alternate-background-color: #f4f7fb; }"
        "QTableWidget::item:selected { background: rgb(255, 128, 0); color: black; }"));
    // The title row follows the grid's horizontal scrolling.
    connect(grd_mem->horizontalScrollBar(), &QScrollBar::valueChanged,
            grd_titles->horizontalScrollBar(), &QScrollBar::setValue);
    // Column widths: the twips of the description, widened where the texts
    // of this font would not fit.
    {
        const QFontMetrics cellFm(grd_mem->font());
        const QFontMetrics titleFm(titleFont);
        const QStringList samples{QStringLiteral("000"), QStringLiteral(" 29999.999"),
                                  QStringLiteral(" Off"), QStringLiteral("Inter"),
                                  QStringLiteral("AM-L"), QStringLiteral("Slow"), QString()};
        for (int c = 0; c < mem2::ColCount; ++c) {
            const int need = std::max(cellFm.horizontalAdvance(samples[c]),
                                      titleFm.horizontalAdvance(titles[c])) + 12;
            const int w = std::max(uifont::twipsToPixels(kTwips[c], grd_mem), need);
            grd_titles->setColumnWidth(c, w);
            grd_mem->setColumnWidth(c, w);
        }
    }
    int gridW = 0;
    for (int c = 0; c < mem2::ColCount; ++c)
        gridW += grd_mem->columnWidth(c);
    gridW += grd_mem->verticalScrollBar()->sizeHint().width() + 2 * grd_mem->frameWidth() + 2;
    grd_mem->setMinimumWidth(std::min(gridW, 620));
    grd_mem->resize(gridW, 400);
    clear_grid(mem2::kChannels);

    connect(grd_mem, &QTableWidget::cellClicked, this, [this](int r, int) { select_row(r); });
    connect(grd_mem, &QTableWidget::currentCellChanged, this,
            [this](int r, int, int, int) {
                // The user's moves only: the program's own (a cleared grid,
                // the scan, the grid taking the focus) leave mem_row alone.
                if (r >= 0 && !programmatic_)
                    select_row(r);
                // Keep the channel number in view.
                if (grd_mem->columnViewportPosition(0) < 0)
                    grd_mem->horizontalScrollBar()->setValue(0);
            });
    connect(grd_mem, &QTableWidget::cellDoubleClicked, this, [this](int r, int) {
        if (!cmd_SetRx->isEnabled())
            return;
        select_row(r);
        on_setrx();
    });

    // Selection labels.
    auto selLabel = [this](QLabel *l, const char *name, const QString &caption, int minW) {
        auto *cap = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        // Read out as what it shows; the caption says what that is.
        l->setAccessibleDescription(caption);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setMinimumWidth(minW);
        l->setFont(gridFont());
        l->setStyleSheet(QStringLiteral("QLabel { background: white; padding: 1px 4px; }"));
        cap->setBuddy(l);
        cap->setContentsMargins(0, 0, 4, 0);
        return cap;
    };
    auto *sel = new QHBoxLayout;
    sel->addWidget(selLabel(lbl_cell = new QLabel(this), "lbl_cell", QStringLiteral("Cell"), 44));
    sel->addWidget(lbl_cell);
    sel->addSpacing(10);
    // The selected record's frequency, or the receiver's after a recall.
    lbl_freq = new FreqLabel(app_, QStringLiteral("lbl_freq"), QStringLiteral("Freq"), this);
    sel->addWidget(selLabel(lbl_freq, "lbl_freq", QStringLiteral("Freq"), 90));
    sel->addWidget(lbl_freq);
    sel->addSpacing(10);
    sel->addWidget(selLabel(lbl_tag = new QLabel(this), "lbl_tag", QStringLiteral("Add."), 200));
    sel->addWidget(lbl_tag, 1);
    lbl_cell->installEventFilter(this);
    lbl_cell->setToolTip(QStringLiteral("Double-click to clear the selection"));

    // Receiver panel.
    auto *gFetch = panel(pnl_fetch, "pnl_fetch", QStringLiteral("Receiver memory"));
    auto *lf = new QGridLayout(gFetch);
    lf->addWidget(cmd_fetch = kit::button(this, QStringLiteral("cmd_fetch"), QStringLiteral("&Fetch RM"), wide), 0, 0);
    lf->addWidget(cmd_SetRx = kit::button(this, QStringLiteral("cmd_SetRx"), QStringLiteral("Set R&2M"), wide), 0, 1);
    lf->addWidget(cmd_fill = kit::button(this, QStringLiteral("cmd_fill"), QStringLiteral("F&ill RM"), wide), 1, 0);
    lf->addWidget(cmd_sort = kit::button(this, QStringLiteral("cmd_sort"), QStringLiteral("S&ort Freq"), wide), 1, 1);
    chk_fast = new QCheckBox(QStringLiteral("Fast &bulk read-out"), this);
    chk_fast->setObjectName(QStringLiteral("chk_fast"));
    chk_fast->setToolTip(QStringLiteral(
        "Fetch RM asks for all 200 channels with one command; a channel that does\n"
        "not come back whole is then read on its own."));
    chk_fast->setChecked(app_.settings.fast_mem_read);
    connect(chk_fast, &QCheckBox::toggled, this, &MemMan::fast_toggled);
    lf->addWidget(chk_fast, 2, 0, 1, 2);

    // File panel.
    auto *gLoad = panel(pnl_load, "pnl_load", QStringLiteral("Memory file"));
    auto *ll = new QGridLayout(gLoad);
    ll->addWidget(cmd_Load = kit::button(this, QStringLiteral("cmd_Load"), QStringLiteral("&Load"), wide), 0, 0);
    ll->addWidget(cmd_SaveAs = kit::button(this, QStringLiteral("cmd_SaveAs"), QStringLiteral("&Save"), wide), 0, 1);
    ll->addWidget(cmd_Close = kit::button(this, QStringLiteral("cmd_Close"), QStringLiteral("Cl&r"), wide), 1, 0);
    ll->addWidget(cmd_prt = kit::button(this, QStringLiteral("cmd_prt"), QStringLiteral("&Print"), wide), 1, 1);
    ll->addWidget(cmd_rxctrl = kit::button(this, QStringLiteral("cmd_rxctrl"), QStringLiteral("RX  C&trl"), wide), 2, 0);
    ll->addWidget(cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit"), wide), 2, 1);
    ll->addWidget(cmd_csvin = kit::button(this, QStringLiteral("cmd_csvin"), QStringLiteral("Import CS&V"), wide), 3, 0);
    ll->addWidget(cmd_csvout = kit::button(this, QStringLiteral("cmd_csvout"), QStringLiteral("Export &CSV"), wide), 3, 1);

    // Scan / range panel.
    auto *gScan = panel(pnl_scan, "pnl_scan", QStringLiteral("Range and scan"));
    auto *ls = new QGridLayout(gScan);
    auto box = [this](QLineEdit *&e, const char *name, const QString &label, const QString &init) {
        e = new QLineEdit(init, this);
        e->setObjectName(QString::fromLatin1(name));
        e->setAccessibleName(label);
        e->setMaxLength(6);
        e->setFixedWidth(56);
        e->setAlignment(Qt::AlignRight);
        return e;
    };
    auto *lblFrom = new QLabel(QStringLiteral("Fro&m"), this);
    auto *lblTo = new QLabel(QStringLiteral("To"), this);
    auto *lblDelay = new QLabel(QStringLiteral("D&elay"), this);
    ls->addWidget(lblFrom, 0, 0);
    ls->addWidget(box(txt_from, "txt_from", QStringLiteral("From"), QStringLiteral("0")), 0, 1);
    ls->addWidget(lblTo, 1, 0);
    ls->addWidget(box(txt_to, "txt_to", QStringLiteral("To"), QStringLiteral("199")), 1, 1);
    ls->addWidget(lblDelay, 2, 0);
    ls->addWidget(box(txt_delay, "txt_delay", QStringLiteral("Delay"), QStringLiteral("1")), 2, 1);
    ls->addWidget(new QLabel(QStringLiteral("s"), this), 2, 2);
    lblFrom->setBuddy(txt_from);
    lblTo->setBuddy(txt_to);
    lblDelay->setBuddy(txt_delay);
    ls->addWidget(cmd_scan = kit::button(this, QStringLiteral("cmd_scan"), QStringLiteral("Sc&an"), wide), 3, 0, 1, 3);
    ls->addWidget(cmd_scanho = kit::button(this, QStringLiteral("cmd_scanho"), QStringLiteral("&NO  Scan"), wide), 4, 0, 1, 3);
    cmd_scanho->hide();

    // Cell editor panel.
    auto *gChange = panel(pnl_change, "pnl_change", QStringLiteral("Memory cell"));
    auto *lc = new QGridLayout(gChange);
    lc->addWidget(cmd_change = kit::button(this, QStringLiteral("cmd_change"), QStringLiteral("C&hange"), wide), 0, 0);
    lc->addWidget(cmd_copy = kit::button(this, QStringLiteral("cmd_copy"), QStringLiteral("Cop&y"), wide), 0, 1);
    lc->addWidget(cmd_del = kit::button(this, QStringLiteral("cmd_del"), QStringLiteral("&Delete"), wide), 1, 0);
    lc->addWidget(cmd_dump = kit::button(this, QStringLiteral("cmd_dump"), QStringLiteral("D&ump"), wide), 1, 1);

    prg_transfer = new QProgressBar(this);
    prg_transfer->setObjectName(QStringLiteral("prg_transfer"));
    prg_transfer->setAccessibleName(QStringLiteral("Transfer progress"));
    prg_transfer->setRange(0, mem2::kChannels);
    prg_transfer->setValue(0);
    prg_transfer->setFormat(QStringLiteral("%v / %m"));
    prg_transfer->setTextVisible(true);
    prg_transfer->setMaximumHeight(16);
    prg_transfer->setVisible(false);

    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setVisible(false);

    auto *left = new QVBoxLayout;
    left->setSpacing(0);
    left->addLayout(sel);
    left->addSpacing(6);
    left->addWidget(lbl_held);
    left->addWidget(grd_titles);
    left->addWidget(grd_mem, 1);
    left->addSpacing(4);
    left->addWidget(prg_transfer);
    left->addWidget(lbl_status);

    auto *right = new QVBoxLayout;
    right->addWidget(gFetch);
    right->addWidget(gScan);
    right->addWidget(gChange);
    right->addWidget(gLoad);
    right->addStretch(1);

    auto *top = new QHBoxLayout(this);
    top->addLayout(left, 1);
    top->addLayout(right);

    // The scan: the session holds the receiver and ticks; each tick is the
    // next channel's step. A missed reply is shown and the scan goes on.
    tmr_scan = scanSession_->timer();
    tmr_scan->setObjectName(QStringLiteral("tmr_scan"));
    // Held, the scan's refresh sends its remote bracket's H1s again.
    scanSession_->afterHold = [this]() { return mem2::MemTransfer::aScanHeld(app_); };
    scanSession_->step = [this]() { return scan_step(); };
    connect(scanSession_, &MeasureSession::missed, this, [this] {
        lbl_status->setText(scanSession_->missedText());
        lbl_status->setVisible(true);
    });

    connect(xfer_, &mem2::MemTransfer::progress, this, [this](int ch, int done, int) {
        lbl_cell->setText(mem2::ch3(ch));
        prg_transfer->setValue(done);
    });
    connect(xfer_, &mem2::MemTransfer::channelRead, this, [this](int ch) { show_row(ch, false); });
    connect(xfer_, &mem2::MemTransfer::fetched, this, &MemMan::fetch_done);
    connect(xfer_, &mem2::MemTransfer::filled, this, &MemMan::fill_done);

    connect(cmd_fetch, &QPushButton::clicked, this, &MemMan::on_fetch);
    connect(cmd_fill, &QPushButton::clicked, this, &MemMan::on_fill);
    connect(cmd_sort, &QPushButton::clicked, this, &MemMan::on_sort);
    connect(cmd_SetRx, &QPushButton::clicked, this, &MemMan::on_setrx);
    connect(cmd_exit, &QPushButton::clicked, this, &QWidget::close);
    connect(cmd_Load, &QPushButton::clicked, this, &MemMan::on_load);
    connect(cmd_SaveAs, &QPushButton::clicked, this, &MemMan::on_save);
    connect(cmd_Close, &QPushButton::clicked, this, &MemMan::on_clear);
    connect(cmd_rxctrl, &QPushButton::clicked, this, &MemMan::on_rxctrl);
    connect(cmd_prt, &QPushButton::clicked, this, &MemMan::on_print);
    connect(cmd_csvin, &QPushButton::clicked, this, &MemMan::on_csv_in);
    connect(cmd_csvout, &QPushButton::clicked, this, &MemMan::on_csv_out);
    connect(cmd_scan, &QPushButton::clicked, this, &MemMan::on_scan);
    connect(cmd_scanho, &QPushButton::clicked, this, &MemMan::on_noscan);
    connect(cmd_change, &QPushButton::clicked, this, [this] { open_cell(ActChange); });
    connect(cmd_copy, &QPushButton::clicked, this, [this] { open_cell(ActCopy); });
    connect(cmd_del, &QPushButton::clicked, this, [this] { open_cell(ActDelete); });
    connect(cmd_dump, &QPushButton::clicked, this, [this] { open_cell(ActDump); });

    QWidget *const tabOrder[] = {grd_mem,    cmd_fetch,  cmd_SetRx, cmd_fill,   cmd_sort, chk_fast,
                                 txt_from,   txt_to,     txt_delay, cmd_scan,   cmd_scanho,
                                 cmd_change, cmd_copy,   cmd_del,   cmd_dump,   cmd_Load,
                                 cmd_SaveAs, cmd_Close,  cmd_prt,   cmd_rxctrl, cmd_exit,
                                 cmd_csvin,  cmd_csvout};
    for (size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    resize(gridW + 260, 620);
}

// ---------------------------------------------------------------------------
// Grid and labels

void MemMan::show_held()
{
    const mem2::MemTable &t = mem2::table();
    const int n = t.filledCount();
    if (n == 0) {
        lbl_held->hide();
        return;
    }
    const QString what = n == 1 ? QStringLiteral("the 1 channel") : QStringLiteral("the %1 channels").arg(n);
    QString from;
    if (t.from == mem2::MemTable::From::Fetch)
        from = QStringLiteral(" of the last fetch");
    else if (t.from == mem2::MemTable::From::File)
        from = QStringLiteral(" of the file loaded (%1)").arg(t.fromFile);
    lbl_held->setText(QStringLiteral("The table still holds %1%2; Save writes %3")
                          .arg(what, from, n == 1 ? QStringLiteral("it") : QStringLiteral("them")));
    lbl_held->show();
}

void MemMan::clear_grid(int rows)
{
    lbl_held->hide();
    Programmatic p(programmatic_);
    grd_mem->clearContents();
    grd_mem->setRowCount(rows);
}

static void setCells(QTableWidget *g, int row, const QStringList &cells)
{
    if (row >= g->rowCount())
        g->setRowCount(row + 1);
    for (int c = 0; c < mem2::ColCount; ++c) {
        const QString text = c < cells.size() ? cells.at(c) : QString();
        QTableWidgetItem *it = g->item(row, c);
        if (!it) {
            it = new QTableWidgetItem(text);
            it->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            g->setItem(row, c, it);
        } else {
            it->setText(text);
        }
    }
}

void MemMan::show_row(int ch, bool withTag)
{
    const mem2::MemTable &t = mem2::table();
    lbl_held->hide();
    setCells(grd_mem, ch, mem2::rowCells(app_.cap, ch, t.rec[ch], t.tag[ch], withTag));
}

void MemMan::set_row_cells(int row, const QStringList &cells)
{
    lbl_held->hide();
    setCells(grd_mem, row, cells);
}

void MemMan::show_all_rows(bool withTag)
{
    clear_grid(mem2::kChannels);
    for (int i = 0; i < mem2::kChannels; ++i)
        show_row(i, withTag);
}

void MemMan::select_row(int row)
{
    if (row < 0 || row >= mem2::kSlots)
        return;
    mem2::MemTable &t = mem2::table();
    t.mem_row = int16_t(row);
    lbl_cell->setText(fmt::zeros(row, 3));
    lbl_freq->setText(mem2::selFreqText(t.rec[row]));
    lbl_tag->setText(t.tag[row]);
}

void MemMan::clear_labels()
{
    lbl_cell->clear();
    lbl_freq->clear();
    lbl_tag->clear();
}

bool MemMan::eventFilter(QObject *o, QEvent *e)
{
    if (o == lbl_cell && e->type() == QEvent::MouseButtonDblClick) {
        clear_labels();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void MemMan::set_mem_buttons(bool enable)
{
    for (QPushButton *b : {cmd_change, cmd_dump, cmd_copy, cmd_del, cmd_Load, cmd_Close,
                           cmd_SaveAs, cmd_prt, cmd_exit, cmd_sort, cmd_rxctrl, cmd_csvin, cmd_csvout})
        b->setEnabled(enable);
    const bool rx = enable && !app_.settings.noRx();
    for (QPushButton *b : {cmd_scan, cmd_fetch, cmd_fill, cmd_SetRx})
        b->setEnabled(rx);
}

void MemMan::input_error()
{
    app_.prompter->message(QStringLiteral("Input Error"), QStringLiteral("\u00CBrror"),
                           Prompter::Exclamation);
    txt_from->setText(QStringLiteral("0"));
    txt_to->setText(QStringLiteral("199"));
    txt_delay->setText(QStringLiteral("1"));
    txt_from->setFocus();
}

void MemMan::closeEvent(QCloseEvent *e)
{
    // A fetch or fill stops at its next channel and lets go of the receiver.
    xfer_->cancel();
    if (scanning_)
        stop_scan();
    if (cell_)
        cell_->close();
    e->accept();
}

// ---------------------------------------------------------------------------
// Transfers: the core moves the channels, the window shows how it goes

void MemMan::begin_transfer(const QString &what, int total)
{
    busy_ = true;
    set_mem_buttons(false);
    hourglass_ = std::make_unique<BusyGuard>();
    lbl_cell->clear();
    lbl_freq->clear();
    lbl_tag->setText(what);
    prg_transfer->setRange(0, total);
    prg_transfer->setValue(0);
    prg_transfer->setVisible(true);
}

void MemMan::finish_transfer()
{
    hourglass_.reset();
    set_mem_buttons(true);
    busy_ = false;
    prg_transfer->setVisible(false);
    lbl_cell->clear();
    lbl_tag->clear();
}

bool MemMan::report_failure(mem2::Outcome outcome)
{
    if (outcome == mem2::Outcome::Done)
        return false;
    if (outcome != mem2::Outcome::Cancelled && !app_.rx->portLost())
        app_.rx->report_no_answer();
    return true;
}

void MemMan::fast_toggled(bool on)
{
    if (app_.settings.fast_mem_read == on)
        return;
    app_.settings.fast_mem_read = on;
    QString error;
    if (!settingsfile::saveAll(&app_.settings, app_.settingsPath, nullptr, &error))
        app_.prompter->notice(error, QStringLiteral("Settings"), Prompter::Exclamation);
}

void MemMan::on_fetch()
{
    if (busy_ || scanning_)
        return;
    if (app_.prompter->message(QStringLiteral("Do you want to capture the NRD-535\n"
                                              "memory and replace possible data in\n"
                                              "the MemMan Window"),
                               QStringLiteral("Fetch RX memory"), Prompter::Question,
                               Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    begin_transfer(QStringLiteral("Fetching Receiver Memory"), mem2::kChannels);
    xfer_->backupDir = mem2::memDir(app_.settings);
    xfer_->fast = chk_fast->isChecked();
    if (!xfer_->fetch()) {
        finish_transfer(); // another session runs: refused with a message
        return;
    }
    clear_grid(mem2::kSlots);
}

void MemMan::fetch_done(const mem2::FetchResult &r)
{
    if (r.restored)
        show_all_rows(true);
    else
        mem2::table().from = mem2::MemTable::From::Fetch;
    finish_transfer();
    if (report_failure(r.outcome))
        return;
    const QString title = QStringLiteral("Fetch Rx ready");
    if (!r.bad.isEmpty())
        app_.prompter->message(mem2::unreadableText(mem2::table(), r.bad), title,
                               Prompter::Exclamation);
    if (!r.backupError.isEmpty())
        app_.prompter->message(QStringLiteral("The copy of the receiver memory could not be kept:\n") +
                                   r.backupError,
                               title, Prompter::Exclamation);
    app_.prompter->message(QStringLiteral("Rx memory is now loaded\nin the MemMan Window"), title,
                           Prompter::Information);
}

void MemMan::on_fill()
{
    if (busy_ || scanning_)
        return;
    int a = 0, b = 0;
    if (!mem2::readRange(txt_from->text(), txt_to->text(), &a, &b)) {
        input_error();
        return;
    }
    if (a > b)
        std::swap(a, b);
    // What the fill would empty or leave alone is said before anything is sent.
    const mem2::FillPlan plan = mem2::planFill(mem2::table(), a, b);
    if (app_.prompter->message(QStringLiteral("Are sure you want to overwrite the NRD-535\n"
                                              "memorycells  ") +
                                   fmt::blankNum(a) + QStringLiteral("  to  ") + fmt::blankNum(b) +
                                   QStringLiteral("\nwith the data from the MemMan Window") +
                                   mem2::fillNotes(plan),
                               QStringLiteral("Fill NRD-535 Memory"), Prompter::Question,
                               Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    begin_transfer(QStringLiteral("Filling Receiver memory"), b - a + 1);
    if (!xfer_->fill(a, b))
        finish_transfer();
}

void MemMan::fill_done(const mem2::FillResult &r)
{
    finish_transfer();
    if (report_failure(r.outcome))
        return;
    app_.prompter->message(QStringLiteral("MemMan data is now \nloaded in the Rx memory"),
                           QStringLiteral("Fill Rx ready"), Prompter::Information);
}

// ---------------------------------------------------------------------------
// Load and save

void MemMan::on_load()
{
    app_.caller_code = callers::Mem;
    app_.save_dir = mem2::memDir(app_.settings);
    // A memory folder that is not there yet is an empty one.
    QDir().mkpath(app_.save_dir);
    run_selfile(app_, callers::Mem, QStringLiteral("MEM_*.TXT"),
                [this] { load_mem_file(); },
                this);
}

void MemMan::load_mem_file()
{
    const QString name = app_.files.mem;
    const QString path = mem2::memDir(app_.settings) + name;
    BusyGuard hourglass;
    set_mem_buttons(false);
    mem2::MemTable &t = mem2::table();
    int n = 0;
    QString error;
    QList<int> bad;
    int extra = 0;
    if (!mem2::readMemFile(path, t, &n, &error, &bad, &extra)) {
        set_mem_buttons(true);
        hourglass.release();
        app_.prompter->message(error, QStringLiteral("Load Memory File"), Prompter::Exclamation);
        return;
    }
    t.from = mem2::MemTable::From::File;
    t.fromFile = name;
    clear_grid(mem2::kChannels);
    for (int k = 0; k < n; ++k)
        show_row(k, true);
    clear_labels();
    set_mem_buttons(true);
    partialPath_ = extra > 0 ? QFileInfo(path).absoluteFilePath() : QString();
    partialExtra_ = extra;
    if (!bad.isEmpty()) {
        hourglass.release();
        app_.prompter->message(name + QStringLiteral(":\n") + mem2::badRecordsText(t, bad),
                               QStringLiteral("Load Memory File"), Prompter::Exclamation);
    }
    if (extra > 0) {
        hourglass.release();
        app_.prompter->message(
            QStringLiteral("%1 holds %2 lines past channel 199; they were not loaded.\n"
                           "Saving will not write over this file, so that they are kept.")
                .arg(name)
                .arg(extra),
            QStringLiteral("Load Memory File"), Prompter::Exclamation);
    }
}

void MemMan::on_save()
{
    if (mem2::table().filledCount() == 0) {
        app_.prompter->message(kNoData, QStringLiteral("Save file error"), Prompter::Exclamation);
        return;
    }
    app_.caller_code = callers::Mem;
    app_.save_dir = mem2::memDir(app_.settings);
    run_selsave(app_, callers::Mem,
                [this] { save_mem_file(); },
                this);
}

void MemMan::save_mem_file()
{
    const QString name = app_.files.mem;
    const QString dir = mem2::memDir(app_.settings);
    const QString title = QStringLiteral("Save File");
    BusyGuard hourglass;
    set_mem_buttons(false);
    struct Unlock {
        MemMan *w;
        ~Unlock() { w->set_mem_buttons(true); }
    } unlock{this};

    if (name.isEmpty() || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        hourglass.release();
        app_.prompter->message(QStringLiteral("Cannot write %1:\nnot a plain file name.")
                                   .arg(QDir::toNativeSeparators(dir + name)),
                               title, Prompter::Exclamation);
        return;
    }
    if (!partialPath_.isEmpty() && QFileInfo(dir + name).absoluteFilePath() == partialPath_) {
        hourglass.release();
        app_.prompter->message(
            QStringLiteral("%1 was loaded only in part: its %2 lines past channel 199 were not "
                           "loaded.\nSaving over it would delete them, so it was not replaced.\n"
                           "Save the table under a new name.")
                .arg(name)
                .arg(partialExtra_),
            title, Prompter::Exclamation);
        return;
    }
    const QStringList names = QDir(dir).entryList(QDir::Files);
    if (names.contains(name, Qt::CaseSensitive)) {
        // Someone else's changes to the file are said before the question.
        if (textfile::changedOnDisk(dir + name)) {
            hourglass.release();
            const textfile::OnChanged c = textfile::askIfChanged(*app_.prompter, dir + name, title);
            if (c == textfile::OnChanged::SaveAs)
                on_save();
            if (c != textfile::OnChanged::Replace)
                return;
        }
        if (app_.prompter->message(QStringLiteral("This file already exist\nDo you want to replace it ?"),
                                   title, Prompter::Question, Prompter::YesNoCancel)
            != Prompter::AnsYes) {
            hourglass.release();
            app_.prompter->message(QStringLiteral("File save action aborted"), title,
                                   Prompter::Information);
            return;
        }
    }
    QString error;
    mem2::MemTable &t = mem2::table();
    if (!mem2::writeMemFile(dir + name, t, &error)) {
        hourglass.release();
        app_.prompter->message(error, title, Prompter::Exclamation);
        return;
    }
    hourglass.release();
    app_.prompter->message(QStringLiteral("Data in MemMan window is now\nsaved to the file ") + name,
                           QStringLiteral("Save file ready"), Prompter::Exclamation);
}

// ---------------------------------------------------------------------------
// Sort, clear, print

void MemMan::on_sort()
{
    mem2::MemTable &t = mem2::table();
    if (t.rec[199].isEmpty() || t.rec[0].isEmpty()) {
        app_.prompter->message(kNoData, QStringLiteral("No data to sort"), Prompter::Exclamation);
        return;
    }
    if (app_.prompter->message(QStringLiteral("You want to sort the data in the\n"
                                              "MemMan Window on frequency"),
                               QStringLiteral("Frequency sort start"), Prompter::Question,
                               Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    {
        set_mem_buttons(false);
        BusyGuard hourglass;
        mem2::sortByFreq(t);
        show_all_rows(true);
        set_mem_buttons(true);
    }
    app_.prompter->message(QStringLiteral("Data in MemMan \nWindow is now sorted"),
                           QStringLiteral("Frequency sort ready"), Prompter::Information);
}

void MemMan::on_clear()
{
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("Do you want to save the \ndata in the MemMan Window\nbefore clearing the Window"),
        QStringLiteral("Clearing MemMan Window"), Prompter::Question, Prompter::YesNoCancel);
    if (a == Prompter::AnsYes) {
        on_save();
    } else if (a == Prompter::AnsNo) {
        grd_mem->clearContents();
        clear_labels();
        mem2::table().clear();
        lbl_held->hide();
    }
}

void MemMan::render_lines(const QStringList &lines, QPrinter &printer)
{
    QPainter p;
    if (!p.begin(&printer))
        return;
    const QFont f = gridFont(10);
    p.setFont(QFont(f, &printer));
    const QFontMetrics fm = p.fontMetrics();
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    const int lh = fm.lineSpacing();
    int y = fm.ascent();
    for (const QString &line : lines) {
        if (y + fm.descent() > page.height()) {
            printer.newPage();
            y = fm.ascent();
        }
        p.drawText(0, y, line);
        y += lh;
    }
    p.end();
}

void MemMan::on_print()
{
    const mem2::MemTable &t = mem2::table();
    if (t.filledCount() == 0) {
        app_.prompter->message(kNoData, QStringLiteral("Nothing to Print"), Prompter::Exclamation);
        return;
    }
    int a = 0, b = 0;
    if (!mem2::readRange(txt_from->text(), txt_to->text(), &a, &b)) {
        input_error();
        return;
    }
    if (app_.prompter->message(QStringLiteral("You want to print the contents\nof memorycells  ") +
                                   fmt::blankNum(a) + QStringLiteral("  to  ") + fmt::blankNum(b) +
                                   QStringLiteral("\nincluding the filled-in alpha tags"),
                               QStringLiteral("Memories to Printer"), Prompter::Question,
                               Prompter::YesNoCancel) != Prompter::AnsYes)
        return;
    const QStringList lines = mem2::printLines(app_.cap, t, app_.files.mem, a, b);
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Memory channels"));
    if (!choosePrinter || !choosePrinter(printer))
        return;
    BusyGuard hourglass;
    render_lines(lines, printer);
}

// ---------------------------------------------------------------------------
// Tune, scan, control panel, cell editor

void MemMan::on_setrx()
{
    const int row = mem2::table().mem_row;
    if (row < 0 || row >= mem2::kChannels || busy_)
        return;
    Receiver2 *rx = app_.rx;
    // The recall in a bracket of its own, then the refresh in another.
    mem2::MemTransfer::recall(app_, row, this);
    rx->submit(
        [this, rx, row]() -> rxjob::Task<> {
            const bool ok = co_await rx->aRefresh(Receiver2::Tell::All);
            if (!ok)
                co_return;
            lbl_freq->showKnown();
            // Said once the job has left the line.
            QTimer::singleShot(0, this, [this, row] { tell_recalled(row); });
        },
        true, this);
}

void MemMan::tell_recalled(int row)
{
    // The receiver recalls its own channel, which need not be the row shown.
    const mem2::MemTable &t = mem2::table();
    const mem2::RxMatch match = mem2::rxMatch(t, row);
    if (match == mem2::RxMatch::Same)
        return;
    const QString ch = mem2::ch3(row);
    QString text = QStringLiteral("The receiver recalled its own channel %1.\n").arg(ch);
    if (match == mem2::RxMatch::Unknown)
        text += QStringLiteral("What it holds there is not known here: this row was loaded\n"
                               "from a file or changed, and not fetched or filled since.\n");
    else if (t.inRx[row] == QLatin1String("V"))
        text += QStringLiteral("That channel is empty in the receiver, so it stayed where it\n"
                               "was; this row differs from it.\n");
    else
        text += QStringLiteral("The receiver holds %1 kHz there; this row differs from it.\n")
                    .arg(mem2::selFreqText(QStringLiteral("L") + ch + t.inRx[row]));
    text += QStringLiteral("Fill RM first (From and To %1) to put this row into the receiver,\n"
                           "or Fetch RM to show what the receiver holds.")
                .arg(ch);
    app_.prompter->message(text, QStringLiteral("Set R2M"), Prompter::Information);
}

void MemMan::on_scan()
{
    if (busy_ || scanning_)
        return;
    int a = 0, b = 0;
    double delay = 1;
    if (!mem2::readRange(txt_from->text(), txt_to->text(), &a, &b) ||
        !mem2::readDelay(txt_delay->text(), &delay)) {
        input_error();
        return;
    }
    if (!scanSession_->start(int(delay * 1000 + 0.5)))
        return; // another session runs: refused with a message
    scan_.start(a, b);
    scanning_ = true;
    cmd_scan->hide();
    cmd_scanho->show();
    lbl_status->clear();
    lbl_status->setVisible(false);
    set_mem_buttons(false);
    const int top = std::min(a, 183);
    if (QTableWidgetItem *it = grd_mem->item(top, 0))
        grd_mem->scrollToItem(it, QAbstractItemView::PositionAtTop);
    else
        grd_mem->verticalScrollBar()->setValue(top);
}

rxjob::Task<meter::Reading> MemMan::scan_step()
{
    const int ch = scan_.next();
    {
        Programmatic p(programmatic_);
        grd_mem->selectRow(ch);
    }
    lbl_cell->setText(mem2::ch3(ch));
    const bool ok = co_await mem2::MemTransfer::aScanStep(app_, ch);
    meter::Reading r;
    if (!ok) {
        r.status = app_.rx->portLost() ? meter::Reading::Lost : meter::Reading::NoAnswer;
        co_return r;
    }
    r.status = meter::Reading::Ok;
    const QString &rec = mem2::table().rec[ch];
    if (rec.isEmpty())
        lbl_freq->showKnown();
    else
        lbl_freq->setText(mem2::selFreqText(rec));
    co_return r;
}

void MemMan::stop_scan()
{
    // The session lets go of the receiver after a step in flight.
    scanSession_->stop();
    scanning_ = false;
    cmd_scanho->hide();
    cmd_scan->show();
    set_mem_buttons(true);
}

void MemMan::on_noscan()
{
    if (scanning_)
        stop_scan();
}

void MemMan::on_rxctrl()
{
    if (app_.panel)
        app_.panel->bringToFront();
}

void MemMan::open_cell(int action)
{
    if (action != ActDump && mem2::table().filledCount() == 0) {
        const QString title = action == ActChange ? QStringLiteral("Change Mem error")
                              : action == ActCopy ? QStringLiteral("Copy Mem error")
                                                  : QStringLiteral("Delete Mem error");
        app_.prompter->message(kNoData, title, Prompter::Exclamation);
        return;
    }
    if (mem2::table().mem_row >= mem2::kChannels) {
        // The blank row below channel 199 holds no channel.
        const QString title = action == ActChange ? QStringLiteral("Change Mem error")
                              : action == ActCopy ? QStringLiteral("Copy Mem error")
                              : action == ActDelete ? QStringLiteral("Delete Mem error")
                                                    : QStringLiteral("Dump Mem error");
        app_.prompter->message(QStringLiteral("Row %1 holds no memory channel.\n"
                                              "Please click a channel from 000 to 199.")
                                   .arg(mem2::table().mem_row),
                               title, Prompter::Exclamation);
        return;
    }
    if (cell_) {
        cell_->close();
        delete cell_;
    }
    cell_ = new memcell(app_, this, action);
    cell_->show();
    cell_->raise();
    cell_->activateWindow();
}

memcell *MemMan::cellEditor() const
{
    return cell_;
}

void MemMan::on_csv_in()
{
    const QString title = QStringLiteral("Import CSV");
    const QString file = chooseCsvIn ? chooseCsvIn() : QString();
    if (file.isEmpty())
        return;
    memcsv::Parsed p;
    {
        BusyGuard hourglass;
        p = memcsv::read(file);
    }
    if (!p.ok) {
        app_.prompter->message(p.error, title, Prompter::Exclamation);
        return;
    }
    if (!p.bad.isEmpty()) {
        app_.prompter->message(memcsv::problemsText(p, file) +
                                   QStringLiteral("\n\nThe memory table is not changed."),
                               title, Prompter::Exclamation);
        return;
    }
    const int changed = memcsv::apply(p.rows, mem2::table());
    show_all_rows();
    app_.prompter->message(QStringLiteral("%1 channels read from %2, %3 of them changed in the "
                                          "memory table.\nThe receiver is not changed: Fill RM "
                                          "sends the table to it.")
                               .arg(p.rows.size())
                               .arg(QDir::toNativeSeparators(file))
                               .arg(changed),
                           title, Prompter::Information);
}

void MemMan::on_csv_out()
{
    const QString title = QStringLiteral("Export CSV");
    const mem2::MemTable &t = mem2::table();
    if (t.filledCount() == 0) {
        app_.prompter->message(kNoData, title, Prompter::Exclamation);
        return;
    }
    const Prompter::Answer a = app_.prompter->message(
        QStringLiteral("Write the CSV in the layout of the rig-control memory tool (rigmem)?\n"
                       "No writes a spreadsheet with a header row."),
        title, Prompter::Question, Prompter::YesNoCancel);
    if (a != Prompter::AnsYes && a != Prompter::AnsNo)
        return;
    const bool rigmem = a == Prompter::AnsYes;
    QString suggested = QFileInfo(app_.files.mem).completeBaseName();
    if (suggested.isEmpty())
        suggested = QStringLiteral("memory");
    suggested = QDir(mem2::memDir(app_.settings)).filePath(suggested + QStringLiteral(".csv"));
    const QString file = chooseCsvOut ? chooseCsvOut(suggested) : QString();
    if (file.isEmpty())
        return;
    QList<int> left;
    const QStringList lines = rigmem ? memcsv::rigmemLines(t, &left) : memcsv::sheetLines(t, &left);
    QString error;
    if (!memcsv::write(file, lines, rigmem ? memcsv::Layout::Rigmem : memcsv::Layout::Sheet, &error)) {
        app_.prompter->message(error, title, Prompter::Exclamation);
        return;
    }
    QString text = QStringLiteral("%1 channels written to %2.").arg(lines.size() - 1).arg(QDir::toNativeSeparators(file));
    if (!left.isEmpty())
        text += QStringLiteral("\nLeft out (never filled or not known): %1").arg(mem2::channelList(left));
    app_.prompter->message(text, title, Prompter::Information);
}
