#include "utilities/ui/rttywin.h"

#include "common/ui/buttons.h"
#include "link/app.h"
#include "panel/ui/textgrid.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
int g_open = 0;

QFont pageFont()
{
    QFont f(QStringLiteral("Courier New"));
    if (!QFontInfo(f).fixedPitch())
        f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return f;
}
} // namespace

bool RttyWindow::isOpen() { return g_open > 0; }

RttyWindow::RttyWindow(App &app, QWidget *parent) : QWidget(parent), app_(app), rx_(app)
{
    setObjectName(QStringLiteral("rtty"));
    setWindowTitle(QStringLiteral("RTTY"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *par = new QGroupBox(QStringLiteral("RTTY Parameters"), this);
    par->setObjectName(QStringLiteral("fra_rypar"));
    par->setAccessibleName(par->title());
    auto *pg = new QGridLayout(par);
    auto addGrid = [&](int row, const char *title, const char *tname, const char *gname,
                       const char *vname, const QString &accessible, const QStringList &cells,
                       TextGrid **grid, QLabel **value) {
        auto *t = new QLabel(QString::fromLatin1(title), par);
        t->setObjectName(QString::fromLatin1(tname));
        auto *g = new TextGrid(1, int(cells.size()), par);
        g->setObjectName(QString::fromLatin1(gname));
        g->setAccessibleName(accessible);
        g->setCells(cells);
        auto *v = new QLabel(par);
        v->setObjectName(QString::fromLatin1(vname));
        v->setAccessibleDescription(accessible + QStringLiteral(" value"));
        v->setFrameShape(QFrame::Panel);
        v->setFrameShadow(QFrame::Sunken);
        v->setMinimumWidth(40);
        t->setBuddy(g);
        pg->addWidget(t, row, 0);
        pg->addWidget(g, row, 1, Qt::AlignLeft);
        pg->addWidget(v, row, 2);
        *grid = g;
        *value = v;
    };
    addGrid(0, "&Bd", "lbl_tbd", "grd_bd", "lbl_bd", QStringLiteral("Speed"),
            {QStringLiteral("45"), QStringLiteral("50"), QStringLiteral(" 75")}, &grd_bd, &lbl_bd);
    addGrid(1, "S&h", "lbl_tsh", "grd_sh", "lbl_sh", QStringLiteral("Shift"),
            {QStringLiteral("170"), QStringLiteral("400"), QStringLiteral("850")}, &grd_sh, &lbl_sh);
    addGrid(2, "&Pol", "lbl_tpol", "grd_pol", "lbl_pol", QStringLiteral("Polarity"),
            {QStringLiteral("nor."), QStringLiteral("rev.")}, &grd_pol, &lbl_pol);
    addGrid(3, "Sa&ve", "lbl_ttof", "grd_tof", "lbl_tof", QStringLiteral("Save"),
            {QStringLiteral("Off"), QStringLiteral("On")}, &grd_tof, &lbl_tof);
    pg->setColumnStretch(3, 1);

    auto *pageBox = new QWidget(this);
    pageBox->setObjectName(QStringLiteral("pnl_page"));
    pageBox->setAutoFillBackground(true);
    QPalette pal = pageBox->palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    pageBox->setPalette(pal);
    auto *pl = new QVBoxLayout(pageBox);
    pl->setSpacing(0);
    const QFont mono = pageFont();
    const int width = QFontMetrics(mono).horizontalAdvance(QString(ry::kBreakAt + 1, QLatin1Char('m')));
    for (int i = 0; i < ry::kLines; ++i) {
        auto *l = new QLabel(pageBox);
        l->setObjectName(QStringLiteral("lbl_ry"));
        l->setAccessibleDescription(QStringLiteral("RTTY line %1").arg(i + 1));
        l->setFont(mono);
        l->setTextFormat(Qt::PlainText);
        l->setMinimumWidth(width);
        l->setMinimumHeight(QFontMetrics(mono).height());
        pl->addWidget(l);
        lbl_ry << l;
    }

    QHBoxLayout *bl = kit::buttonRow(this, {{cmd_start, "cmd_start", QStringLiteral("&Start")},
                                            {cmd_stop, "cmd_stop", QStringLiteral("S&top")},
                                            {cmd_cls, "cmd_cls", QStringLiteral("&Cls")},
                                            {cmd_exit, "cmd_exit", QStringLiteral("E&xit")}});
    bl->addStretch(1);

    auto *top = new QVBoxLayout(this);
    top->addWidget(par);
    top->addWidget(pageBox, 1);
    top->addLayout(bl);
    setTabOrder(grd_bd, grd_sh);
    setTabOrder(grd_sh, grd_pol);
    setTabOrder(grd_pol, grd_tof);
    setTabOrder(grd_tof, cmd_start);
    setTabOrder(cmd_start, cmd_stop);
    setTabOrder(cmd_stop, cmd_cls);
    setTabOrder(cmd_cls, cmd_exit);

    connect(grd_bd, &TextGrid::cellClicked, this, [this](int, int c) {
        speed_ = c;
        lbl_bd->setText(grd_bd->cellText(0, c));
        sendParams();
    });
    connect(grd_sh, &TextGrid::cellClicked, this, [this](int, int c) {
        shift_ = c;
        lbl_sh->setText(grd_sh->cellText(0, c));
        sendParams();
    });
    connect(grd_pol, &TextGrid::cellClicked, this, [this](int, int c) {
        pol_ = c;
        lbl_pol->setText(grd_pol->cellText(0, c));
        sendParams();
    });
    connect(grd_tof, &TextGrid::cellClicked, this, [this](int, int c) {
        const bool ok = rx_.setSave(c == 1);
        showSave(ok ? c : 0);
    });
    connect(&rx_, &ry::Receiver::pageChanged, this, &RttyWindow::showPage);
    connect(&rx_, &ry::Receiver::saveStopped, this, [this] { showSave(0); });
    connect(cmd_start, &QPushButton::clicked, this, &RttyWindow::on_start);
    connect(cmd_stop, &QPushButton::clicked, this, &RttyWindow::on_stop);
    connect(cmd_cls, &QPushButton::clicked, this, &RttyWindow::on_cls);
    connect(cmd_exit, &QPushButton::clicked, this, &RttyWindow::on_exit);

    // Load: speed 50 Bd, shift 400, normal polarity, Save Off.
    grd_bd->setCurrent(0, speed_);
    grd_sh->setCurrent(0, shift_);
    grd_pol->setCurrent(0, pol_);
    lbl_bd->setText(grd_bd->cellText(0, speed_));
    lbl_sh->setText(grd_sh->cellText(0, shift_));
    lbl_pol->setText(grd_pol->cellText(0, pol_));
    showSave(0);
    setRunning(false);
    ++g_open;
    sendParams();
}

RttyWindow::~RttyWindow()
{
    --g_open;
}

void RttyWindow::sendParams() { rx_.sendParams(speed_, shift_, pol_); }

void RttyWindow::showSave(int col)
{
    grd_tof->setCurrent(0, col);
    lbl_tof->setText(grd_tof->cellText(0, col));
}

void RttyWindow::showPage()
{
    const QStringList &lines = rx_.page().lines();
    for (int i = 0; i < ry::kLines && i < lines.size(); ++i)
        if (lbl_ry[i]->text() != lines[i])
            lbl_ry[i]->setText(lines[i]);
}

void RttyWindow::setRunning(bool on)
{
    cmd_exit->setEnabled(!on);
    cmd_start->setEnabled(!on);
    cmd_cls->setEnabled(!on);
    cmd_stop->setEnabled(on);
    (on ? cmd_stop : cmd_start)->setDefault(true);
}

void RttyWindow::on_start()
{
    setRunning(true);
    cmd_stop->setFocus();
    rx_.start();
}

void RttyWindow::on_stop()
{
    rx_.stop();
    setRunning(false);
    cmd_start->setFocus();
}

void RttyWindow::on_cls()
{
    rx_.page().clear();
    showPage();
}

void RttyWindow::on_exit()
{
    if (exited_)
        return;
    exited_ = true;
    exiting_ = true;
    rx_.exit(); // waits: a close meanwhile is refused below
    exiting_ = false;
    close();
}

void RttyWindow::closeEvent(QCloseEvent *e)
{
    if (exiting_) {
        e->ignore();
        return;
    }
    // Closing by the title bar ends the text output as Exit does.
    if (!exited_) {
        exited_ = true;
        exiting_ = true;
        rx_.exit();
        exiting_ = false;
    }
    e->accept();
}
