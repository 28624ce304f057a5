#include "panel/ui/rxctrl2_layout.h"

#include "common/ui/fonts.h"
#include "link/limits.h"
#include "panel/ui/textgrid.h"

#include <QAction>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

// The style sheet lives in a resource of this (static) library.
static void initPanelResources() { Q_INIT_RESOURCE(rxctrl2); }

namespace panelui {

namespace {

QString styleSheet()
{
    initPanelResources();
    QFile f(QStringLiteral(":/panel/rxctrl2.qss"));
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// A value label: a small read-out with a coloured background.
QLabel *valueLabel(const QString &name, QWidget *parent, int width = 52)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty("panelRole", QStringLiteral("value"));
    l->setFixedSize(width, 20);
    l->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    l->setFont(uifont::fixedFont(10, true));
    return l;
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
    g->setFont(uifont::fixedFont(9, true));
    return g;
}

} // namespace

void paintValue(QLabel *l, const QColor &bg)
{
    l->setStyleSheet(QStringLiteral("QLabel { background-color: %1; color: #1a1008;"
                                    " border: 1px solid #0c0d0f; border-radius: 2px;"
                                    " padding-left: 2px; }")
                         .arg(bg.name()));
    l->setProperty("background", bg);
}

void followAppearance(QScrollBar *bar)
{
    // A scroll bar's arrows, groove and keys step its value down towards the
    // top; with the larger values drawn at the top that moves the thumb away
    // from the arrow. Each step is turned round before the value changes
    // (the thumb, dragged, already follows the drawing).
    QObject::connect(bar, &QScrollBar::actionTriggered, bar, [bar](int action) {
        if (!bar->invertedAppearance())
            return;
        const int v = bar->value();
        switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: bar->setSliderPosition(v - bar->singleStep()); break;
        case QAbstractSlider::SliderSingleStepSub: bar->setSliderPosition(v + bar->singleStep()); break;
        case QAbstractSlider::SliderPageStepAdd: bar->setSliderPosition(v - bar->pageStep()); break;
        case QAbstractSlider::SliderPageStepSub: bar->setSliderPosition(v + bar->pageStep()); break;
        case QAbstractSlider::SliderToMinimum: bar->setSliderPosition(bar->maximum()); break;
        case QAbstractSlider::SliderToMaximum: bar->setSliderPosition(bar->minimum()); break;
        default: break;
        }
    });
}

void Rxctrl2Layout::setupUi(QMainWindow *win)
{
    auto *body = new QWidget(win);
    body->setObjectName(QStringLiteral("panelBody"));
    win->setCentralWidget(body);
    // The panel's look goes on its body and menu bar only: dialogs parented
    // to the window (set-up, about, message boxes) keep their own look.
    const QString style = styleSheet();
    body->setStyleSheet(style);
    win->menuBar()->setStyleSheet(style);

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
    // The minimum end (top) holds the widest setting: the larger values are
    // drawn at the top and every control follows the drawing.
    vsc_bwc->setInvertedAppearance(true);
    followAppearance(vsc_bwc);
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
    // -2000 at the minimum end (top), +2000 at the maximum end (bottom).
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

    QWidget *freq = buildFreqFrame(body);

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
    g->addWidget(buildRecFrame(body), 3, 1, 1, 2);
    g->setRowStretch(4, 1);

    // Tab order: frequency entry and steps, the settings, then the keypad.
    QList<QWidget *> order{txt_freqa, spn_up, spn_down, grd_CS, cmd_gono, grd_md, grd_bw,
                           vsc_bwc, vsc_pbs, grd_agc, grd_nb, grd_HF, grd_vbt, grd_lock};
    for (int k : {7, 8, 9, 4, 5, 6, 1, 2, 3, 0})
        order << cmd_0to9[k];
    order << cmd_dot << cmd_back << cmd_enter << cmd_enterC << cmd_rec;
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order.at(i - 1), order.at(i));
    // Start outside the text field so that the keypad keys work at once.
    grd_CS->setFocus(Qt::OtherFocusReason);
}

QWidget *Rxctrl2Layout::buildFreqFrame(QWidget *body)
{
    fra_freq = new QGroupBox(body);
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
    txt_freqa->setFont(uifont::fixedFont(26, true));
    txt_freqa->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txt_freqa->setMinimumWidth(230);
    txt_freqa->setFixedHeight(48);
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
    lbl_mfreq->setAccessibleDescription(QStringLiteral("Keypad entry"));
    lbl_mfreq->setFont(uifont::fixedFont(14, true));
    lbl_mfreq->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_mfreq->setFixedHeight(30);
    keys->addWidget(lbl_mfreq, 0, 0, 1, 3);
    auto key = [&](const QString &name, const QString &caption, const QString &acc) {
        auto *b = new QPushButton(caption, fra_freq);
        b->setObjectName(name);
        b->setProperty("panelRole", QStringLiteral("key"));
        b->setAccessibleName(acc);
        b->setFont(uifont::fixedFont(12, true));
        b->setMinimumSize(40, 30);
        b->setAutoDefault(false);
        return b;
    };
    const int pos[10][2] = {{4, 0}, {3, 0}, {3, 1}, {3, 2}, {2, 0},
                            {2, 1}, {2, 2}, {1, 0}, {1, 1}, {1, 2}};
    for (int k = 0; k <= 9; ++k) {
        const QString d = QString::number(k);
        auto *b = key(QStringLiteral("cmd_0to9_%1").arg(k), d, d);
        cmd_0to9[k] = b;
        b->setToolTip(QStringLiteral("Key %1").arg(d));
        if (k == 0)
            keys->addWidget(b, pos[k][0], pos[k][1], 1, 2);
        else
            keys->addWidget(b, pos[k][0], pos[k][1]);
    }
    auto *dot = cmd_dot = key(QStringLiteral("cmd_dot"), QStringLiteral("."), QStringLiteral("Point"));
    dot->setToolTip(QStringLiteral("Decimal point (.)"));
    keys->addWidget(dot, 4, 2);
    auto *back = cmd_back = key(QStringLiteral("cmd_back"), QString(QChar(0x2190)), QStringLiteral("Back"));
    back->setToolTip(QStringLiteral("Delete the last character (Backspace)"));
    keys->addWidget(back, 0, 3);
    auto *f = cmd_enter = key(QStringLiteral("cmd_enter"), QStringLiteral("F"), QStringLiteral("F"));
    f->setToolTip(QStringLiteral("Enter as frequency in kHz (F)"));
    f->setMinimumHeight(64);
    f->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    keys->addWidget(f, 1, 3, 2, 1);
    auto *c = cmd_enterC = key(QStringLiteral("cmd_enterC"), QStringLiteral("C"), QStringLiteral("C"));
    c->setToolTip(QStringLiteral("Enter as memory channel 0 to 199 (C)"));
    c->setMinimumHeight(64);
    c->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    keys->addWidget(c, 3, 3, 2, 1);

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

    // The signal meter, under the keypad (hidden until chosen in set-up).
    fra_smeter = new QFrame(fra_freq);
    fra_smeter->setObjectName(QStringLiteral("meterDisplay"));
    fra_smeter->setToolTip(QStringLiteral("Signal strength in S-units (S9 and dB above it), read about"
                                          " once a second while the Lock is On, or the reading of the"
                                          " S-meter, spectrum or propagation window that runs"));
    auto *meterTitle = new QLabel(QStringLiteral("Signal"), fra_smeter);
    meterTitle->setObjectName(QStringLiteral("lbl_tsmeter"));
    meterTitle->setFont(uifont::fixedFont(9));
    bar_smeter = new QProgressBar(fra_smeter);
    bar_smeter->setObjectName(QStringLiteral("bar_smeter"));
    bar_smeter->setAccessibleName(QStringLiteral("Signal strength"));
    bar_smeter->setRange(0, 210); // tenths of a meter unit: S1 .. S9+72
    bar_smeter->setValue(0);
    bar_smeter->setTextVisible(false);
    bar_smeter->setFixedHeight(12);
    lbl_smeter = new QLabel(QStringLiteral("--"), fra_smeter);
    lbl_smeter->setObjectName(QStringLiteral("lbl_smeter"));
    lbl_smeter->setAccessibleDescription(QStringLiteral("Signal strength"));
    lbl_smeter->setFont(uifont::fixedFont(10, true));
    lbl_smeter->setMinimumWidth(64);
    lbl_smeter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    {
        auto *l = new QHBoxLayout(fra_smeter);
        l->setContentsMargins(8, 2, 8, 2);
        l->addWidget(meterTitle);
        l->addWidget(bar_smeter, 1);
        l->addWidget(lbl_smeter);
    }
    fra_smeter->setVisible(false);
    outer->addWidget(fra_smeter);

    // The clock line again, as a read-out under the keypad.
    auto *clock = new QFrame(fra_freq);
    clock->setObjectName(QStringLiteral("clockDisplay"));
    lbl_utc = new QLabel(clock);
    lbl_utc->setObjectName(QStringLiteral("lbl_utc"));
    lbl_utc->setFont(uifont::fixedFont(11, true));
    lbl_lt = new QLabel(clock);
    lbl_lt->setObjectName(QStringLiteral("lbl_lt"));
    lbl_lt->setFont(uifont::fixedFont(9));
    lbl_lt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lbl_sim = new QLabel(QStringLiteral("SIMULATED"), clock);
    lbl_sim->setObjectName(QStringLiteral("lbl_sim"));
    lbl_sim->setFont(uifont::fixedFont(9, true));
    lbl_sim->setAccessibleDescription(QStringLiteral("The receiver is the built-in simulated one"));
    lbl_sim->setToolTip(QStringLiteral("No real receiver: the program talks to its built-in simulated"
                                       " receiver (vorantis --demo or --port sim)"));
    lbl_sim->setVisible(false);
    {
        auto *l = new QHBoxLayout(clock);
        l->setContentsMargins(8, 3, 8, 3);
        l->addWidget(lbl_utc);
        l->addStretch();
        l->addWidget(lbl_sim);
        l->addSpacing(8);
        l->addWidget(lbl_lt);
    }
    outer->addWidget(clock);

    return fra_freq;
}

QWidget *Rxctrl2Layout::buildRecFrame(QWidget *body)
{
    auto *f = new QFrame(body);
    f->setObjectName(QStringLiteral("recDisplay"));
    auto *l = new QHBoxLayout(f);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(8);
    cmd_rec = new QPushButton(QStringLiteral("R&ec"), f);
    cmd_rec->setObjectName(QStringLiteral("cmd_rec"));
    cmd_rec->setAccessibleName(QStringLiteral("Rec"));
    cmd_rec->setToolTip(QStringLiteral("Record what the receiver plays into the sound input;"
                                       " press again to stop (Alt+E)"));
    cmd_rec->setCheckable(true);
    cmd_rec->setAutoDefault(false);
    cmd_rec->setMinimumWidth(56);
    lbl_recTime = new QLabel(QStringLiteral("00:00:00"), f);
    lbl_recTime->setObjectName(QStringLiteral("lbl_recTime"));
    lbl_recTime->setFont(uifont::fixedFont(10, true));
    lbl_recTime->setToolTip(QStringLiteral("Length of the recording"));
    lbl_recTime->setEnabled(false);
    bar_level = new QProgressBar(f);
    bar_level->setObjectName(QStringLiteral("bar_level"));
    bar_level->setAccessibleName(QStringLiteral("Input level"));
    bar_level->setToolTip(QStringLiteral("Input level, -60 to 0 dB of full scale"));
    bar_level->setRange(0, 60);
    bar_level->setValue(0);
    bar_level->setTextVisible(false);
    bar_level->setMaximumHeight(14);
    l->addWidget(cmd_rec);
    l->addWidget(lbl_recTime);
    l->addWidget(bar_level, 1);
    return f;
}

void Rxctrl2Layout::setupMenus(QMenuBar *bar)
{
    bar->setObjectName(QStringLiteral("menubar"));

    auto item = [this](QMenu *m, const QString &name, const QString &caption) {
        QAction *a = m->addAction(caption);
        a->setObjectName(name);
        a->setEnabled(false);
        actions.insert(name, a);
        return a;
    };
    auto menu = [](QWidget *parentMenu, const QString &name, const QString &caption) {
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
    // The two blank logo items and the notice are picked with the mouse
    // only: they sit in the bar's corner as buttons that never take the
    // focus, so keyboard navigation of the menu bar moves over the menus
    // alone and never stops on them.
    auto *corner = new QWidget(bar);
    corner->setObjectName(QStringLiteral("menucorner"));
    auto *cornerLay = new QHBoxLayout(corner);
    cornerLay->setContentsMargins(0, 0, 0, 0);
    cornerLay->setSpacing(0);
    auto topItem = [this, corner, cornerLay](const QString &name, const QString &caption) {
        auto *a = new QAction(caption, corner);
        a->setIconText(caption); // the blanks stay: the button shows the caption as it is
        a->setObjectName(name);
        a->setEnabled(false);
        actions.insert(name, a);
        auto *b = new QToolButton(corner);
        b->setObjectName(name + QStringLiteral("_button"));
        b->setDefaultAction(a);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        cornerLay->addWidget(b);
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
    docs->addSeparator();
    item(docs, QStringLiteral("mnu_guide"), QStringLiteral("User &Guide . . ."));
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
    for (QToolButton *b : corner->findChildren<QToolButton *>())
        if (b->text().trimmed().isEmpty()) // a blank caption is read by what it opens
            b->setAccessibleName(b->defaultAction()->toolTip());
    bar->setCornerWidget(corner, Qt::TopRightCorner);
}

} // namespace panelui
