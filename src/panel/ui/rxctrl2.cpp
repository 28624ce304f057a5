#include "panel/ui/rxctrl2.h"

#include "common/ui/busy.h"
#include "common/fmt.h"
#include "common/timetext.h"
#include "link/app.h"
#include "link/captions.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "panel/ui/textgrid.h"
#include "settings/ui/about.h"
#include "settings/ui/setup.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {

const QColor kLight(255, 224, 192);
const QColor kOrange(255, 128, 0);

QFont fixedFont(int pointSize, bool bold = false)
{
    QFont f(QStringLiteral("Courier New"));
    if (!QFontDatabase::families().contains(f.family()))
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(pointSize);
    f.setBold(bold);
    return f;
}

// A value label: a small read-out with a coloured background.
QLabel *valueLabel(const QString &name, QWidget *parent, int width = 52)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty("panelRole", QStringLiteral("value"));
    l->setFixedSize(width, 20);
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    l->setFont(fixedFont(10, true));
    return l;
}

void paintValue(QLabel *l, const QColor &bg)
{
    l->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: #1a1008;"
                                    " border: 1px solid #0c0d0f; border-radius: 2px;"
                                    " padding-left: 2px; }")
                         .arg(bg.name()));
    l->setProperty("background", bg);
}

QLabel *titleLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setProperty("panelRole", QStringLiteral("title"));
    return l;
}

TextGrid *grid(const QString &name, int rows, int cols, const QString &accName, QWidget *parent,
               QSize cell = QSize(46, 20))
{
    auto *g = new TextGrid(rows, cols, parent);
    g->setObjectName(name);
    g->setAccessibleName(accName);
    g->setCellSize(cell);
    g->setFont(fixedFont(9, true));
    return g;
}

const char *kStyle = R"(
rxctrl2, QWidget#panelBody {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #474c53, stop:0.5 #3a3e44, stop:1 #2f3237);
}
QGroupBox {
    color: #d8dce2; font-weight: bold;
    border: 1px solid #62686f; border-radius: 6px;
    margin-top: 12px; padding: 8px 6px 6px 6px;
    background: rgba(0, 0, 0, 40);
}
QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }
QGroupBox:disabled { color: #7d8289; }
QLabel[panelRole="title"] { color: #b9bfc7; font-size: 8pt; }
QLabel#lbl_khz { color: #5fd07a; font-weight: bold; }
QLabel#lbl_mfreq {
    background: #0b1410; color: #ffb040; border: 2px solid #0c0d0f; border-radius: 3px;
    padding: 0 4px;
}
QLineEdit#txt_freqa {
    background: #0b1410; color: #7dff9a; selection-background-color: #2f6f3f;
    border: none; padding: 0 4px;
}
QFrame#freqDisplay { background: #0b1410; border: 2px solid #0c0d0f; border-radius: 4px; }
QFrame#clockDisplay { background: #0b1410; border: 2px solid #0c0d0f; border-radius: 3px; }
QLabel#lbl_utc { color: #ffb040; }
QLabel#lbl_lt { color: #8fa59a; }
QPushButton[panelRole="key"] {
    color: #eef0f2; font-weight: bold;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5b6169, stop:1 #3b4046);
    border: 1px solid #15171a; border-radius: 4px;
}
QPushButton[panelRole="key"]:pressed { background: #2a2e33; }
QPushButton[panelRole="key"]:focus { border: 1px solid #7fd0ff; }
QPushButton#cmd_enter, QPushButton#cmd_enterC {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #4c6a86, stop:1 #2f455b);
}
QPushButton#cmd_gono {
    color: white; font-weight: bold; font-size: 13pt;
    border: 2px solid #15171a; border-radius: 6px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3f9a52, stop:1 #256b35);
}
QPushButton#cmd_gono[going="true"] {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #d0492f, stop:1 #8e2715);
}
QPushButton#cmd_gono:focus { border: 2px solid #7fd0ff; }
QToolButton[panelRole="spin"] {
    color: #eef0f2; border: 1px solid #15171a; border-radius: 3px;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5b6169, stop:1 #3b4046);
}
QToolButton[panelRole="spin"]:pressed { background: #2a2e33; }
QMenuBar { background: #24272b; color: #e2e5e9; border-bottom: 1px solid #101113; }
QMenuBar::item { padding: 3px 8px; background: transparent; }
QMenuBar::item:selected { background: #4c6a86; }
QMenuBar::item:disabled { color: #8a9098; }
QMenu { background: #2c3035; color: #e2e5e9; border: 1px solid #101113; }
QMenu::item { padding: 4px 24px 4px 20px; }
QMenu::item:selected { background: #4c6a86; }
QMenu::item:disabled { color: #7a8088; }
QMenu::separator { height: 1px; background: #50565e; margin: 4px 8px; }
)";

} // namespace

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
    app_.panel = this;
    connectReceiver();
    loaded_ = true;

    showtime_ = new QTimer(this);
    showtime_->setObjectName(QStringLiteral("Showtime"));
    showtime_->setInterval(5000);
    connect(showtime_, &QTimer::timeout, this, &rxctrl2::showtime);
    showtime_->start();
    showtime(); // the title is never empty
}

rxctrl2::~rxctrl2()
{
    go_state_ = 0;
    if (app_.panel == this)
        app_.panel = nullptr;
}

// ---------------------------------------------------------------- layout

void rxctrl2::buildUi()
{
    auto *body = new QWidget(this);
    body->setObjectName(QStringLiteral("panelBody"));
    setCentralWidget(body);
    // The panel's look goes on its body and menu bar only: dialogs parented
    // to the window (set-up, about, message boxes) keep their own look.
    body->setStyleSheet(QString::fromLatin1(kStyle));
    menuBar()->setStyleSheet(QString::fromLatin1(kStyle));

    // Lock
    fra_lock = new QGroupBox(QStringLiteral("Lock"), body);
    fra_lock->setObjectName(QStringLiteral("fra_lock"));
    grd_lock = grid(QStringLiteral("grd_lock"), 1, 2, QStringLiteral("Lock"), fra_lock);
    lbl_lock = valueLabel(QStringLiteral("lbl_lock"), fra_lock);
    {
        auto *l = new QHBoxLayout(fra_lock);
        l->addWidget(grd_lock);
        l->addSpacing(6);
        l->addWidget(lbl_lock);
        l->addStretch();
    }

    // IF: agc and nb
    fra_if = new QGroupBox(QStringLiteral("IF"), body);
    fra_if->setObjectName(QStringLiteral("fra_if"));
    auto *lbl_tagc = titleLabel(QStringLiteral("lbl_tagc"), QStringLiteral("agc"), fra_if);
    grd_agc = grid(QStringLiteral("grd_agc"), 1, 3, QStringLiteral("agc"), fra_if);
    lbl_agc = valueLabel(QStringLiteral("lbl_agc"), fra_if);
    auto *lbl_tnb = titleLabel(QStringLiteral("lbl_tnb"), QStringLiteral("nb"), fra_if);
    grd_nb = grid(QStringLiteral("grd_nb"), 1, 3, QStringLiteral("nb"), fra_if);
    lbl_nb = valueLabel(QStringLiteral("lbl_nb"), fra_if);
    {
        auto *l = new QGridLayout(fra_if);
        l->setHorizontalSpacing(6);
        l->addWidget(lbl_tagc, 0, 0);
        l->addWidget(grd_agc, 0, 1);
        l->addWidget(lbl_agc, 0, 2);
        l->addWidget(lbl_tnb, 1, 0);
        l->addWidget(grd_nb, 1, 1);
        l->addWidget(lbl_nb, 1, 2);
        l->setColumnStretch(3, 1);
    }

    // Bandwidth: grid, bwc and pbs scroll bars
    fra_bw = new QGroupBox(QStringLiteral("Bandwidth"), body);
    fra_bw->setObjectName(QStringLiteral("fra_bw"));
    grd_bw = grid(QStringLiteral("grd_bw"), 1, 4, QStringLiteral("Bandwidth"), fra_bw);
    lbl_bw = valueLabel(QStringLiteral("lbl_bw"), fra_bw);
    auto *lbl_tbwc = titleLabel(QStringLiteral("lbl_tbwc"), QStringLiteral("bwc"), fra_bw);
    auto *lbl_tpbs = titleLabel(QStringLiteral("lbl_tpbs"), QStringLiteral("pbs"), fra_bw);
    lbl_bwc = valueLabel(QStringLiteral("lbl_bwc"), fra_bw);
    lbl_pbs = valueLabel(QStringLiteral("lbl_pbs"), fra_bw);
    vsc_bwc = new QScrollBar(Qt::Vertical, fra_bw);
    vsc_bwc->setObjectName(QStringLiteral("vsc_bwc"));
    vsc_bwc->setAccessibleName(QStringLiteral("bwc"));
    // The minimum end (top) holds the widest setting.
    vsc_bwc->setInvertedAppearance(true);
    vsc_bwc->setInvertedControls(false);
    vsc_bwc->setRange(rxlimits::kBwcWide.lo(), rxlimits::kBwcWide.hi());
    vsc_bwc->setValue(2000);
    vsc_bwc->setSingleStep(rxlimits::kBwcStep);
    vsc_bwc->setPageStep(rxlimits::kBwcPage);
    vsc_bwc->setFixedHeight(92);
    vsc_bwc->setFocusPolicy(Qt::StrongFocus); // reachable by Tab, moved by the arrow keys
    vsc_bwc->setEnabled(false);
    vsc_pbs = new QScrollBar(Qt::Vertical, fra_bw);
    vsc_pbs->setObjectName(QStringLiteral("vsc_pbs"));
    vsc_pbs->setAccessibleName(QStringLiteral("pbs"));
    vsc_pbs->setInvertedAppearance(true);
    vsc_pbs->setRange(rxlimits::kPbsMin, rxlimits::kPbsMax);
    vsc_pbs->setValue(0);
    vsc_pbs->setSingleStep(rxlimits::kPbsStep);
    vsc_pbs->setPageStep(rxlimits::kPbsPage);
    vsc_pbs->setFixedHeight(92);
    vsc_pbs->setFocusPolicy(Qt::StrongFocus);
    vsc_pbs->setEnabled(false);
    {
        auto *l = new QGridLayout(fra_bw);
        l->setHorizontalSpacing(6);
        auto *top = new QHBoxLayout;
        top->addWidget(grd_bw);
        top->addSpacing(6);
        top->addWidget(lbl_bw);
        top->addStretch();
        l->addLayout(top, 0, 0, 1, 4);
        l->addWidget(lbl_tbwc, 1, 0, Qt::AlignHCenter);
        l->addWidget(lbl_tpbs, 1, 2, Qt::AlignHCenter);
        l->addWidget(vsc_bwc, 2, 0, Qt::AlignHCenter);
        l->addWidget(vsc_pbs, 2, 2, Qt::AlignHCenter);
        l->addWidget(lbl_bwc, 3, 0, Qt::AlignHCenter);
        l->addWidget(lbl_pbs, 3, 2, Qt::AlignHCenter);
        l->setColumnMinimumWidth(1, 24);
        l->setColumnStretch(3, 1);
    }

    // Mode
    fra_md = new QGroupBox(QStringLiteral("Mode"), body);
    fra_md->setObjectName(QStringLiteral("fra_md"));
    grd_md = grid(QStringLiteral("grd_md"), 3, 3, QStringLiteral("Mode"), fra_md, QSize(48, 22));
    lbl_md = valueLabel(QStringLiteral("lbl_md"), fra_md);
    {
        auto *l = new QHBoxLayout(fra_md);
        l->addWidget(grd_md);
        l->addSpacing(6);
        l->addWidget(lbl_md, 0, Qt::AlignTop);
        l->addStretch();
    }

    // RF: att and vbt
    fra_HF = new QGroupBox(QStringLiteral("RF"), body);
    fra_HF->setObjectName(QStringLiteral("fra_HF"));
    auto *lbl_tHF = titleLabel(QStringLiteral("lbl_tHF"), QStringLiteral("att"), fra_HF);
    grd_HF = grid(QStringLiteral("grd_HF"), 1, 2, QStringLiteral("att"), fra_HF);
    lbl_HF = valueLabel(QStringLiteral("lbl_HF"), fra_HF);
    auto *lbl_tvbt = titleLabel(QStringLiteral("lbl_tvbt"), QStringLiteral("vbt"), fra_HF);
    grd_vbt = grid(QStringLiteral("grd_vbt"), 1, 2, QStringLiteral("vbt"), fra_HF);
    lbl_vbt = valueLabel(QStringLiteral("lbl_vbt"), fra_HF);
    {
        auto *l = new QGridLayout(fra_HF);
        l->setHorizontalSpacing(6);
        l->addWidget(lbl_tHF, 0, 0);
        l->addWidget(grd_HF, 0, 1);
        l->addWidget(lbl_HF, 0, 2);
        l->addWidget(lbl_tvbt, 1, 0);
        l->addWidget(grd_vbt, 1, 1);
        l->addWidget(lbl_vbt, 1, 2);
        l->setColumnStretch(3, 1);
    }

    for (QScrollBar *b : {vsc_bwc, vsc_pbs}) {
        QPalette pal = b->palette();
        for (auto grp : {QPalette::Active, QPalette::Inactive}) {
            pal.setColor(grp, QPalette::Window, QColor(0x1b, 0x1d, 0x20));
            pal.setColor(grp, QPalette::Base, QColor(0x1b, 0x1d, 0x20));
            pal.setColor(grp, QPalette::Button, QColor(0x8d, 0x93, 0x9b));
            pal.setColor(grp, QPalette::ButtonText, QColor(0x15, 0x17, 0x1a));
        }
        pal.setColor(QPalette::Disabled, QPalette::Window, QColor(0x26, 0x29, 0x2d));
        pal.setColor(QPalette::Disabled, QPalette::Base, QColor(0x26, 0x29, 0x2d));
        pal.setColor(QPalette::Disabled, QPalette::Button, QColor(0x3e, 0x43, 0x49));
        pal.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x70, 0x75, 0x7c));
        b->setPalette(pal);
    }
    for (QLabel *l : {lbl_lock, lbl_agc, lbl_nb, lbl_bw, lbl_bwc, lbl_pbs, lbl_md, lbl_HF, lbl_vbt})
        paintValue(l, kLight);
    lbl_md->setFixedHeight(22);

    QWidget *freq = buildFreqFrame();

    // Arrangement: the frequency frame on the left, the settings on the right.
    auto *g = new QGridLayout(body);
    g->setContentsMargins(10, 8, 10, 10);
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(6);
    g->addWidget(freq, 0, 0, 3, 1);
    g->addWidget(fra_md, 0, 1);
    g->addWidget(fra_bw, 0, 2, 2, 1);
    g->addWidget(fra_if, 1, 1);
    g->addWidget(fra_HF, 2, 1);
    g->addWidget(fra_lock, 2, 2);
    g->setRowStretch(3, 1);

    connect(grd_HF, &TextGrid::cellClicked, this, [this](int, int c) { grd_HF_click(c); });
    connect(grd_agc, &TextGrid::cellClicked, this, [this](int, int c) { grd_agc_click(c); });
    connect(grd_nb, &TextGrid::cellClicked, this, [this](int, int c) { grd_nb_click(c); });
    connect(grd_bw, &TextGrid::cellClicked, this, [this](int, int c) { grd_bw_click(c); });
    connect(grd_md, &TextGrid::cellClicked, this, &rxctrl2::grd_md_click);
    connect(grd_vbt, &TextGrid::cellClicked, this, [this](int, int c) { grd_vbt_click(c); });
    connect(grd_lock, &TextGrid::cellClicked, this, [this](int, int c) { grd_lock_click(c); });
    connect(grd_CS, &TextGrid::cellClicked, this, &rxctrl2::grd_CS_click);
    connect(vsc_bwc, &QScrollBar::valueChanged, this, &rxctrl2::vsc_bwc_change);
    connect(vsc_pbs, &QScrollBar::valueChanged, this, &rxctrl2::vsc_pbs_change);

    // Tab order: frequency entry and steps, the settings, then the keypad.
    QList<QWidget *> order{txt_freqa, spn_up, spn_down, grd_CS, cmd_gono, grd_md, grd_bw,
                           vsc_bwc, vsc_pbs, grd_agc, grd_nb, grd_HF, grd_vbt, grd_lock};
    for (int k : {7, 8, 9, 4, 5, 6, 1, 2, 3, 0})
        order << findChild<QWidget *>(QStringLiteral("cmd_0to9_%1").arg(k));
    for (const char *n : {"cmd_dot", "cmd_back", "cmd_enter", "cmd_enterC"})
        order << findChild<QWidget *>(QString::fromLatin1(n));
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    // Start outside the text field so that the keypad keys work at once.
    grd_CS->setFocus(Qt::OtherFocusReason);
}

QWidget *rxctrl2::buildFreqFrame()
{
    fra_freq = new QGroupBox(centralWidget());
    fra_freq->setObjectName(QStringLiteral("fra_freq"));
    auto *outer = new QVBoxLayout(fra_freq);
    outer->setSpacing(8);

    // The display: frequency field, unit and the spin button.
    auto *display = new QFrame(fra_freq);
    display->setObjectName(QStringLiteral("freqDisplay"));
    txt_freqa = new QLineEdit(QStringLiteral("12345.678"), display);
    txt_freqa->setObjectName(QStringLiteral("txt_freqa"));
    txt_freqa->setAccessibleName(QStringLiteral("Frequency"));
    txt_freqa->setToolTip(QStringLiteral("Frequency in kHz: type a value and press Enter;"
                                         " double-click to clear (Ctrl+L)"));
    txt_freqa->setFont(fixedFont(26, true));
    txt_freqa->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txt_freqa->setMinimumWidth(230);
    txt_freqa->setFixedHeight(48);
    txt_freqa->installEventFilter(this);
    auto *khz = new QLabel(QStringLiteral("kHz"), display);
    khz->setObjectName(QStringLiteral("lbl_khz"));
    khz->setAlignment(Qt::AlignBottom);

    spn_Freq = new QFrame(fra_freq);
    spn_Freq->setObjectName(QStringLiteral("spn_Freq"));
    spn_Freq->setAccessibleName(QStringLiteral("Frequency step"));
    spn_up = new QToolButton(spn_Freq);
    spn_up->setObjectName(QStringLiteral("spn_Freq_up"));
    spn_up->setArrowType(Qt::UpArrow);
    spn_up->setProperty("panelRole", QStringLiteral("spin"));
    spn_up->setAccessibleName(QStringLiteral("Step up"));
    spn_up->setToolTip(QStringLiteral("Step up (Ctrl+Up, +)"));
    spn_up->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Up));
    spn_down = new QToolButton(spn_Freq);
    spn_down->setObjectName(QStringLiteral("spn_Freq_down"));
    spn_down->setArrowType(Qt::DownArrow);
    spn_down->setProperty("panelRole", QStringLiteral("spin"));
    spn_down->setAccessibleName(QStringLiteral("Step down"));
    spn_down->setToolTip(QStringLiteral("Step down (Ctrl+Down, -)"));
    spn_down->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Down));
    for (QToolButton *b : {spn_up, spn_down}) {
        b->setFixedSize(30, 24);
        b->setFocusPolicy(Qt::StrongFocus);
    }
    {
        auto *l = new QVBoxLayout(spn_Freq);
        l->setContentsMargins(0, 0, 0, 0);
        l->setSpacing(2);
        l->addWidget(spn_up);
        l->addWidget(spn_down);
    }
    connect(spn_up, &QToolButton::clicked, this, [this] { spinStep(1); });
    connect(spn_down, &QToolButton::clicked, this, [this] { spinStep(-1); });
    connect(txt_freqa, &QLineEdit::returnPressed, this, &rxctrl2::enterTypedFrequency);
    {
        auto *l = new QHBoxLayout(display);
        l->setContentsMargins(6, 2, 8, 6);
        l->addWidget(txt_freqa, 1);
        l->addWidget(khz);
        auto *row = new QHBoxLayout;
        row->addWidget(display, 1);
        row->addWidget(spn_Freq);
        outer->addLayout(row);
    }

    // Keypad with its own display.
    auto *keys = new QGridLayout;
    keys->setSpacing(4);
    lbl_mfreq = new QLabel(fra_freq);
    lbl_mfreq->setObjectName(QStringLiteral("lbl_mfreq"));
    lbl_mfreq->setAccessibleName(QStringLiteral("Keypad entry"));
    lbl_mfreq->setFont(fixedFont(14, true));
    lbl_mfreq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_mfreq->setFixedHeight(30);
    keys->addWidget(lbl_mfreq, 0, 0, 1, 3);
    auto key = [&](const QString &name, const QString &caption, const QString &acc) {
        auto *b = new QPushButton(caption, fra_freq);
        b->setObjectName(name);
        b->setProperty("panelRole", QStringLiteral("key"));
        b->setAccessibleName(acc);
        b->setFont(fixedFont(12, true));
        b->setMinimumSize(40, 30);
        b->setAutoDefault(false);
        return b;
    };
    const int pos[10][2] = {{4, 0}, {3, 0}, {3, 1}, {3, 2}, {2, 0},
                            {2, 1}, {2, 2}, {1, 0}, {1, 1}, {1, 2}};
    for (int k = 0; k <= 9; ++k) {
        const QString d = QString::number(k);
        auto *b = key(QStringLiteral("cmd_0to9_%1").arg(k), d, d);
        b->setToolTip(QStringLiteral("Key %1").arg(d));
        if (k == 0)
            keys->addWidget(b, pos[k][0], pos[k][1], 1, 2);
        else
            keys->addWidget(b, pos[k][0], pos[k][1]);
        connect(b, &QPushButton::clicked, this, [this, d] { keypadKey(d); });
    }
    auto *dot = key(QStringLiteral("cmd_dot"), QStringLiteral("."), QStringLiteral("Point"));
    dot->setToolTip(QStringLiteral("Decimal point (.)"));
    keys->addWidget(dot, 4, 2);
    connect(dot, &QPushButton::clicked, this, [this] { keypadKey(QStringLiteral(".")); });
    auto *back = key(QStringLiteral("cmd_back"), QString(QChar(0x2190)), QStringLiteral("Back"));
    back->setToolTip(QStringLiteral("Delete the last character (Backspace)"));
    keys->addWidget(back, 0, 3);
    connect(back, &QPushButton::clicked, this, [this] { keypadKey(QStringLiteral("back")); });
    auto *f = key(QStringLiteral("cmd_enter"), QStringLiteral("F"), QStringLiteral("F"));
    f->setToolTip(QStringLiteral("Enter as frequency in kHz (F)"));
    f->setMinimumHeight(64);
    f->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    keys->addWidget(f, 1, 3, 2, 1);
    connect(f, &QPushButton::clicked, this, &rxctrl2::enterKeypadFrequency);
    auto *c = key(QStringLiteral("cmd_enterC"), QStringLiteral("C"), QStringLiteral("C"));
    c->setToolTip(QStringLiteral("Enter as memory channel 0 to 199 (C)"));
    c->setMinimumHeight(64);
    c->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    keys->addWidget(c, 3, 3, 2, 1);
    connect(c, &QPushButton::clicked, this, &rxctrl2::enterKeypadChannel);

    // Tuning steps and GO.
    auto *steps = new QVBoxLayout;
    steps->setSpacing(4);
    auto *stepTitle = titleLabel(QStringLiteral("lbl_tCS"), QStringLiteral("step kHz"), fra_freq);
    grd_CS = grid(QStringLiteral("grd_CS"), 4, 4, QStringLiteral("Tuning step"), fra_freq,
                  QSize(44, 22));
    cmd_gono = new QPushButton(QStringLiteral("GO"), fra_freq);
    cmd_gono->setObjectName(QStringLiteral("cmd_gono"));
    cmd_gono->setAccessibleName(QStringLiteral("GO"));
    cmd_gono->setToolTip(QStringLiteral("Continuous tuning by the step, in the last spin"
                                        " direction (Alt+G)"));
    cmd_gono->setShortcut(QKeySequence(Qt::ALT | Qt::Key_G));
    cmd_gono->setMinimumHeight(36);
    cmd_gono->setAutoDefault(false);
    connect(cmd_gono, &QPushButton::clicked, this, &rxctrl2::cmd_gono_click);
    steps->addWidget(stepTitle);
    steps->addWidget(grd_CS);
    steps->addStretch();
    steps->addWidget(cmd_gono);

    auto *lower = new QHBoxLayout;
    lower->setSpacing(14);
    lower->addLayout(keys);
    lower->addLayout(steps);
    outer->addLayout(lower);
    outer->addStretch();

    // The clock line again, as a read-out under the keypad.
    auto *clock = new QFrame(fra_freq);
    clock->setObjectName(QStringLiteral("clockDisplay"));
    lbl_utc = new QLabel(clock);
    lbl_utc->setObjectName(QStringLiteral("lbl_utc"));
    lbl_utc->setFont(fixedFont(11, true));
    lbl_lt = new QLabel(clock);
    lbl_lt->setObjectName(QStringLiteral("lbl_lt"));
    lbl_lt->setFont(fixedFont(9));
    lbl_lt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    {
        auto *l = new QHBoxLayout(clock);
        l->setContentsMargins(8, 3, 8, 3);
        l->addWidget(lbl_utc);
        l->addStretch();
        l->addWidget(lbl_lt);
    }
    outer->addWidget(clock);

    auto *focusField = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_L), this);
    connect(focusField, &QShortcut::activated, this, [this] {
        txt_freqa->setFocus(Qt::ShortcutFocusReason);
        txt_freqa->selectAll();
    });
    return fra_freq;
}

// ---------------------------------------------------------------- grids

void rxctrl2::set_grd_hf() { grd_HF->setCells(app_.cap.gridHF); }
void rxctrl2::set_grd_vbt() { grd_vbt->setCells(app_.cap.gridVbt); }

void rxctrl2::set_grd_CS()
{
    grd_CS->setCells(app_.cap.gridCS);
    step_hz_ = 5000;
    fra_freq->setTitle(QStringLiteral("Frequency/Step=5"));
    grd_CS->setCurrent(2, 2);
}

void rxctrl2::set_grd_bw() { grd_bw->setCells(app_.cap.gridBw); }
void rxctrl2::set_grd_agc() { grd_agc->setCells(app_.cap.gridAgc); }

void rxctrl2::set_grd_nb()
{
    grd_nb->setCells(app_.cap.gridNb);
    setLabel(NB, QStringLiteral("Off"));
}

void rxctrl2::set_grd_md() { grd_md->setCells(app_.cap.gridMd); }

void rxctrl2::set_grd_lock()
{
    grd_lock->setCells(app_.cap.gridLock);
    lbl_lock->setText(QStringLiteral("Off"));
    paintValue(lbl_lock, kLight);
    grd_lock->setCurrent(0, 0);
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

void rxctrl2::grd_nb_click(int c)
{
    if (c < 0 || c > 2 || !app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    app_.rx->bracket_cmd(cmd::nb(c));
    if (self)
        setLabel(NB, Captions::text(app_.cap.nb, c));
}

void rxctrl2::grd_bw_click(int c)
{
    if (c < 0 || c > 3 || !app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    int16_t n = int16_t(gridcodes::bw[c]);
    app_.rx->set_bw(n);
    if (!self)
        return;
    const int code = gridcodes::bw[c];
    if (code == 2 || code == 3) {
        clearBwc();
    } else if (app_.settings.bwcFitted() && app_.rx->held()) {
        const auto range = rxlimits::bwcRange(code);
        enableBwc(range->minEnd, range->maxEnd, range->minEnd);
    }
}

void rxctrl2::grd_md_click(int r, int c)
{
    if (r < 0 || r > 2 || c < 0 || c > 2 || !app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    int16_t n = int16_t(gridcodes::md[r * 3 + c]);
    app_.rxs.mode = n;
    app_.rx->set_mode(n);
    if (self)
        refreshNow();
}

void rxctrl2::grd_vbt_click(int c)
{
    if (c < 0 || c > 1 || !app_.rx)
        return;
    vbt_choice_ = c;
    QPointer<rxctrl2> self(this);
    app_.rx->bracket_cmd(cmd::user(1, c));
    if (self)
        showVbt(c == 1);
}

void rxctrl2::grd_lock_click(int c)
{
    if (c < 0 || c > 1 || !app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    Receiver2 *rx = app_.rx;
    if (c == 0) {
        paintValue(lbl_lock, kLight);
        rx->release();
        if (!self)
            return;
    } else {
        paintValue(lbl_lock, kOrange);
        rx->hold();
        if (!self)
            return;
        if (!app_.settings.noRx() && !refreshNow()) {
            // The receiver did not answer: let it go again.
            if (!self)
                return;
            releaseLock();
            grd_lock->setCurrent(0, 0);
            return;
        }
        if (!self)
            return;
    }
    lbl_lock->setText(Captions::text(app_.cap.lock, c));
}

void rxctrl2::grd_CS_click(int r, int c)
{
    const QString t = grd_CS->cellText(r, c);
    if (t.isEmpty())
        return;
    // The step texts are exact decimals; the tiny bias keeps 0.001 x 1000
    // from coming out as 0.999...
    step_hz_ = int(fmt::val(t) * 1000 + 1e-7);
    fra_freq->setTitle(QStringLiteral("Frequency/Step=") + t);
}

void rxctrl2::vsc_bwc_change(int v)
{
    if (!app_.rx || !app_.settings.bwcFitted() || !app_.rx->held())
        return;
    lbl_bwc->setText(fmt::zeros(v, 4));
    app_.rx->send_cmd(cmd::bwc(v));
}

void rxctrl2::vsc_pbs_change(int v)
{
    if (!app_.rx || !app_.rx->held())
        return;
    const QString c = cmd::pbs(v);
    lbl_pbs->setText(c.mid(1));
    app_.rx->send_cmd(c);
}

void rxctrl2::releaseLock()
{
    app_.rx->release();
}

void rxctrl2::cmd_gono_click()
{
    if (!app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    Receiver2 *rx = app_.rx;
    go_state_ = 1 - go_state_;
    if (go_state_ == 1) {
        cmd_gono->setText(QStringLiteral("NO"));
        cmd_gono->setAccessibleName(QStringLiteral("NO"));
        cmd_gono->setProperty("going", true);
        cmd_gono->style()->unpolish(cmd_gono);
        cmd_gono->style()->polish(cmd_gono);
        rx->hold();
        if (!self)
            return;
        if (go_state_ == 1 && !app_.settings.noRx() && !refreshNow()) {
            // No answer: stop as NO would.
            if (self && go_state_ == 1)
                cmd_gono_click();
            return;
        }
        if (!self)
            return;
    } else {
        cmd_gono->setText(QStringLiteral("GO"));
        cmd_gono->setAccessibleName(QStringLiteral("GO"));
        cmd_gono->setProperty("going", false);
        cmd_gono->style()->unpolish(cmd_gono);
        cmd_gono->style()->polish(cmd_gono);
        releaseLock();
        return;
    }

    // Continuous tuning; a later click (processed inside) ends it. Only one
    // loop runs even when GO is clicked again while it is still unwinding.
    if (go_loop_)
        return;
    go_loop_ = true;
    while (self && go_state_ == 1) {
        const bool skipped = spin_busy_;
        spinStep(spin_dir_ == -1 ? -1 : 1);
        if (!self)
            return;
        if (skipped)
            rx->wait_ms(10); // a manual step is running: let it finish
        if (rx->portLost()) {
            cmd_gono_click(); // the line is gone: stop cleanly
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    if (self)
        go_loop_ = false;
}

// ---------------------------------------------------------------- entry

void rxctrl2::keypadKey(const QString &key)
{
    if (key == QLatin1String("back")) {
        if (!keypad_text_.isEmpty())
            keypad_text_.chop(1);
    } else {
        keypad_text_ = lbl_mfreq->text() + key;
    }
    lbl_mfreq->setText(keypad_text_);
}

void rxctrl2::tuneTo(double f)
{
    if (!app_.rx->tune(f, FreqFanout::Panel))
        app_.prompter->message(QStringLiteral("Freqyency outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
}

void rxctrl2::enterKeypadFrequency()
{
    const double f = fmt::val(keypad_text_);
    // The display is cleared first so that keys pressed while the command
    // goes out start a new entry.
    keypad_text_.clear();
    lbl_mfreq->clear();
    tuneTo(f);
}

void rxctrl2::enterKeypadChannel()
{
    const QString t = keypad_text_;
    keypad_text_.clear();
    lbl_mfreq->clear();
    const double v = fmt::val(t);
    if (t.isEmpty() || v < rxlimits::kFirstChannel || v > rxlimits::kLastChannel) {
        app_.prompter->message(QStringLiteral("Memory cell outside range"), QStringLiteral("Error"),
                               Prompter::Exclamation);
        return;
    }
    QPointer<rxctrl2> self(this);
    app_.rx->bracket_cmd(cmd::recall(int(fmt::roundHalfAway(v))));
    if (self)
        refreshNow();
}

void rxctrl2::enterTypedFrequency()
{
    QString t = txt_freqa->text();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    tuneTo(fmt::val(t));
}

void rxctrl2::spinStep(int dir)
{
    if (spin_busy_ || !app_.rx)
        return;
    QPointer<rxctrl2> self(this);
    spin_busy_ = true;
    spn_Freq->setEnabled(false);
    spin_dir_ = dir < 0 ? -1 : 1;
    QString t = txt_freqa->text();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    // A typed value far outside any frequency must not overflow the count.
    const double raw = std::clamp(fmt::val(t) * 1000 + 0.49, -1e15, 1e15);
    long long hz = (long long)std::floor(raw);
    // Each direction clamps at its own end of the range.
    if (spin_dir_ == -1)
        hz = std::max(hz - step_hz_, rxlimits::kMinHz);
    else
        hz = std::min(hz + step_hz_, rxlimits::kMaxHz);
    app_.rx->tuneHz(hz, FreqFanout::Panel);
    if (!self)
        return;
    spin_busy_ = false;
    spn_Freq->setEnabled(true);
}

bool rxctrl2::refreshNow()
{
    if (app_.settings.noRx() || !app_.rx)
        return false;
    BusyGuard busy;
    return app_.rx->refresh_panel(true);
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
    connect(rx, &Receiver2::frequencyChanged, this, [this](const QString &s) { setFreqText(s); });
    connect(rx, &Receiver2::dialFrequency, this, [this](const QString &s) { setFreqText(s); });
    // The lock's label, and the controls that only work while it is held.
    connect(rx, &Receiver2::lockChanged, this, [this](bool held) {
        showLock(held);
        if (!held) {
            clearBwc();
            clearPbs();
        }
    });
}

void rxctrl2::setLabel(Label which, const QString &text)
{
    QLabel *l = nullptr;
    switch (which) {
    case HF: l = lbl_HF; break;
    case BW: l = lbl_bw; break;
    case MD: l = lbl_md; break;
    case AGC: l = lbl_agc; break;
    case NB: l = lbl_nb; break;
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
    case HF: mark(grd_HF, cap.att, identity, 2); break;
    case BW: mark(grd_bw, cap.bw, gridcodes::bw, 4); break;
    case MD: mark(grd_md, cap.mode, gridcodes::md, 9); break;
    case AGC: mark(grd_agc, cap.agc, gridcodes::agc, 3); break;
    case NB: mark(grd_nb, cap.nb, identity, 3); break;
    }
}

void rxctrl2::showVbt(bool on)
{
    lbl_vbt->setText(on ? QStringLiteral(" On") : QStringLiteral("Off"));
    paintValue(lbl_vbt, on ? kLight : kOrange);
    grd_vbt->setCurrent(0, on ? 1 : 0);
}

void rxctrl2::showLock(bool on)
{
    lbl_lock->setText(on ? QStringLiteral(" On") : QStringLiteral(" Off"));
    paintValue(lbl_lock, on ? kOrange : kLight);
    grd_lock->setCurrent(0, on ? 1 : 0);
}

void rxctrl2::enableBwc(int minEnd, int maxEnd, int value)
{
    QPointer<rxctrl2> self(this);
    vsc_bwc->setEnabled(true);
    const int before = vsc_bwc->value();
    {
        // The new range may clamp the old value on the way; only the final
        // value counts as a change (one "W", never an intermediate one).
        const QSignalBlocker quiet(vsc_bwc);
        // The end with the larger value is drawn at the top (the minimum end).
        vsc_bwc->setInvertedAppearance(minEnd > maxEnd);
        vsc_bwc->setRange(qMin(minEnd, maxEnd), qMax(minEnd, maxEnd));
        vsc_bwc->setValue(value);
    }
    if (vsc_bwc->value() != before)
        vsc_bwc_change(vsc_bwc->value());
    if (!self)
        return;
    lbl_bwc->setText(fmt::zeros(value, 4));
}

void rxctrl2::enablePbs(int value, const QString &labelText)
{
    QPointer<rxctrl2> self(this);
    vsc_pbs->setEnabled(true);
    vsc_pbs->setValue(value);
    if (!self)
        return;
    lbl_pbs->setText(labelText);
}

void rxctrl2::clearBwc()
{
    vsc_bwc->setEnabled(false);
    lbl_bwc->clear();
}

void rxctrl2::clearPbs()
{
    vsc_pbs->setEnabled(false);
    lbl_pbs->clear();
}

void rxctrl2::setAgcEnabled(bool on) { grd_agc->setEnabled(on); }

void rxctrl2::setBwFrameEnabled(bool on)
{
    fra_bw->setEnabled(on);
    grd_bw->setEnabled(on);
}

void rxctrl2::setFreqText(const QString &s) { txt_freqa->setText(s); }
QString rxctrl2::freqText() const { return txt_freqa->text(); }

void rxctrl2::bringToFront()
{
    show();
    raise();
    activateWindow();
}

void rxctrl2::setPanelEnabled(bool on) { setEnabled(on); }

// ---------------------------------------------------------------- clock line

void rxctrl2::showtime()
{
    const QDateTime now = app_.clock ? app_.clock->now() : QDateTime::currentDateTime();
    app_.times = timetext::compute(now, app_.settings.v[2]);
    setWindowTitle(QStringLiteral("LT : ") + app_.times.lt_text +
                   QStringLiteral("    VORANTIS V6    ") + QStringLiteral("UTC : ") +
                   app_.times.utc_text);
    lbl_utc->setText(QStringLiteral("UTC  ") + app_.times.utc_text);
    lbl_lt->setText(QStringLiteral("LT ") + app_.times.lt_text.right(5));
    lbl_lt->setToolTip(QStringLiteral("Local time: ") + app_.times.lt_text);
}

// ---------------------------------------------------------------- window events

void rxctrl2::closeEvent(QCloseEvent *e)
{
    e->accept();
    if (!loaded_)
        return;
    go_state_ = 0; // ends a running GO loop
    QPointer<rxctrl2> self(this);
    if (vbt_choice_ == 0 && app_.rx)
        app_.rx->bracket_cmd(cmd::user(1, 1));
    if (!self)
        return;
    loaded_ = false;
    if (app_.panel == this)
        app_.panel = nullptr;
    showtime_->stop();
    emit closed();
    if (self && exitHook)
        exitHook(0);
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
    } else {
        QMainWindow::keyPressEvent(e);
        return;
    }
    e->accept();
}

bool rxctrl2::eventFilter(QObject *o, QEvent *e)
{
    if (o == txt_freqa && e->type() == QEvent::MouseButtonDblClick) {
        txt_freqa->clear();
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
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menubar"));
    bar->installEventFilter(this);

    auto item = [this](QMenu *m, const QString &name, const QString &caption) {
        QAction *a = m->addAction(caption);
        a->setObjectName(name);
        a->setEnabled(false);
        actions_.insert(name, a);
        connect(a, &QAction::triggered, this, [this, name] { runMenu(name); });
        return a;
    };
    auto menu = [this](QWidget *parentMenu, const QString &name, const QString &caption) {
        QMenu *m = nullptr;
        if (auto *b = qobject_cast<QMenuBar *>(parentMenu))
            m = b->addMenu(caption);
        else
            m = static_cast<QMenu *>(parentMenu)->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name);
        m->setToolTipsVisible(true);
        return m;
    };
    auto topItem = [this, bar](const QString &name, const QString &caption) {
        QAction *a = bar->addAction(caption);
        a->setObjectName(name);
        a->setEnabled(false);
        actions_.insert(name, a);
        connect(a, &QAction::triggered, this, [this, name] { runMenu(name); });
        return a;
    };

    QMenu *direct = menu(bar, QStringLiteral("mnu_direct"), QStringLiteral("&Direct"));
    item(direct, QStringLiteral("mnu_update"), QStringLiteral("&Update "));
    item(direct, QStringLiteral("mnu_setup"), QStringLiteral("&Set-Up . . ."));
    item(direct, QStringLiteral("mnu_udefs"), QStringLiteral("User &defs . . ."));
    direct->addSeparator();
    item(direct, QStringLiteral("mnu_about"), QStringLiteral("&About . . ."));
    QMenu *docs = menu(direct, QStringLiteral("mnu_docs"), QStringLiteral("See D&ocs"));
    item(docs, QStringLiteral("mnu_docgb"), QStringLiteral("&English"));
    item(docs, QStringLiteral("mnu_docnl"), QStringLiteral("&Nederlands"));
    direct->addSeparator();
    item(direct, QStringLiteral("mnu_RTTY"), QStringLiteral("&RTTY . . . "));
    direct->addSeparator();
    item(direct, QStringLiteral("mnu_exit"), QStringLiteral("E&xit"));

    QMenu *db2rx = menu(bar, QStringLiteral("mnu_db2rx"), QStringLiteral("Db&2Rx"));
    item(db2rx, QStringLiteral("mnu_bdxc"), QStringLiteral("&BDXC . . ."));
    item(db2rx, QStringLiteral("mnu_own"), QStringLiteral("&OWN . . ."));
    item(db2rx, QStringLiteral("mnu_ilg"), QStringLiteral("&ILG . . ."));
    db2rx->addSeparator();
    item(db2rx, QStringLiteral("mnu_convert1"), QStringLiteral("&Convert ILG . . ."));

    QMenu *rx2db = menu(bar, QStringLiteral("mnu_rx2db"), QStringLiteral("&Rx2Db"));
    item(rx2db, QStringLiteral("mnu_logging"), QStringLiteral("&Logging . . ."));
    item(rx2db, QStringLiteral("mnu_tracking"), QStringLiteral("&Tracking . . ."));
    rx2db->addSeparator();
    item(rx2db, QStringLiteral("mnu_convert2"), QStringLiteral("&Convert ILG . . ."));

    QMenu *mem = menu(bar, QStringLiteral("mnu_mem"), QStringLiteral("&MemMan"));
    item(mem, QStringLiteral("mnu_memman"), QStringLiteral("&Memory Management . . ."));

    QMenu *sig = menu(bar, QStringLiteral("mnu_signalan"), QStringLiteral("&Signal An"));
    item(sig, QStringLiteral("mnu_Smeter"), QStringLiteral("&S-meter . . ."));
    item(sig, QStringLiteral("mnu_spectrum"), QStringLiteral("S&pectrum . . ."));
    QMenu *prop = menu(sig, QStringLiteral("mnu_prop"), QStringLiteral("P&ropagation"));
    item(prop, QStringLiteral("mnu_proptime"), QStringLiteral("&Time Analysis . . ."));
    item(prop, QStringLiteral("mnu_prophist"), QStringLiteral("Time + &Histogram . . ."));

    QMenu *timers = menu(bar, QStringLiteral("mnu_timers"), QStringLiteral("&Timers"));
    item(timers, QStringLiteral("mnu_pcclock"), QStringLiteral("Set &PC Clock . . ."));
    item(timers, QStringLiteral("mnu_rxclock"), QStringLiteral("Set &Rx Clocks . . ."));
    item(timers, QStringLiteral("mnu_timer"), QStringLiteral("Pro&gramming . . ."));

    QAction *sp1 = topItem(QStringLiteral("mnu_spaties1"), QString(25, QLatin1Char(' ')));
    sp1->setToolTip(QStringLiteral("BDXC logo"));
    sp1->setStatusTip(QStringLiteral("BDXC logo"));
    QAction *sp2 = topItem(QStringLiteral("mnu_spaties2"), QString(25, QLatin1Char(' ')));
    sp2->setToolTip(QStringLiteral("ILG logo"));
    sp2->setStatusTip(QStringLiteral("ILG logo"));
    QAction *ja = topItem(QStringLiteral("mnu_JA"), QStringLiteral("(c) VORANTIS"));
    ja->setToolTip(QStringLiteral("About VORANTIS"));

    // Items the panel carries out itself.
    for (const char *n : {"mnu_update", "mnu_setup", "mnu_about", "mnu_docgb", "mnu_RTTY",
                          "mnu_pcclock", "mnu_exit", "mnu_JA"})
        actions_.value(QString::fromLatin1(n))->setEnabled(true);
    if (app_.settings.noRx())
        actions_.value(QStringLiteral("mnu_update"))->setEnabled(false);
}

QAction *rxctrl2::menuAction(const QString &objectName) const
{
    return actions_.value(objectName);
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
        QString err;
        if (!app_.launcher || !app_.launcher->openFile(doc, &err))
            app_.prompter->message(QStringLiteral("The document %1 could not be opened.\n%2")
                                       .arg(doc, err),
                                   QStringLiteral("See Docs"), Prompter::Exclamation);
    } else if (name == QLatin1String("mnu_pcclock")) {
        QString err;
        if (!app_.launcher || !app_.launcher->openDateTimeSettings(&err))
            app_.prompter->message(QStringLiteral("The date and time settings could not be"
                                                  " started.\n%1")
                                       .arg(err),
                                   QStringLiteral("Set PC Clock"), Prompter::Exclamation);
    } else if (name == QLatin1String("mnu_exit")) {
        go_state_ = 0;
        if (exitHook)
            exitHook(0);
    }
}
