#include "schedules/ui/ilgwindow.h"

#include "common/ui/busy.h"
#include "common/ui/buttons.h"
#include "link/app.h"
#include "schedules/ftlfile.h"
#include "schedules/ilgconvert.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <memory>
#include <QThread>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The table file of a folder in any letter case ("" when there is none).
void centre(QWidget *w)
{
    if (QScreen *s = w->screen())
        w->move(s->availableGeometry().center() - w->rect().center());
}

} // namespace

// ------------------------------------------------------------------ ILGfind

ILGfind::ILGfind(App &app, const QString &start, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("ILGfind"));
    setWindowTitle(QStringLiteral("Locate ILGRadio *.dbf files"));

    drv_ilg = new QComboBox(this);
    drv_ilg->setObjectName(QStringLiteral("drv_ilg"));
    drv_ilg->setAccessibleName(QStringLiteral("Drive"));
    for (const QFileInfo &d : QDir::drives())
        drv_ilg->addItem(QDir::toNativeSeparators(d.absoluteFilePath()), d.absoluteFilePath());
    drv_ilg->addItem(QDir::toNativeSeparators(QDir::homePath()), QDir::homePath());
    if (!app.settings.base_dir.isEmpty())
        drv_ilg->addItem(QDir::toNativeSeparators(app.settings.base_dir), app.settings.base_dir);

    lbl_path = new QLabel(this);
    lbl_path->setObjectName(QStringLiteral("lbl_path"));
    lbl_path->setTextInteractionFlags(Qt::TextSelectableByMouse);

    dir_ilg = new QListWidget(this);
    dir_ilg->setObjectName(QStringLiteral("dir_ilg"));
    dir_ilg->setAccessibleName(QStringLiteral("Folders"));
    flb_ilg = new QListWidget(this);
    flb_ilg->setObjectName(QStringLiteral("flb_ilg"));
    flb_ilg->setAccessibleName(QStringLiteral("Files ilgsdata.dbf;ilgadata.dbf"));
    flb_ilg->setFocusPolicy(Qt::NoFocus);
    flb_ilg->setMaximumHeight(60);

    cmd_OK = kit::button(this, QStringLiteral("cmd_OK"), QStringLiteral("OK"));
    cmd_cancel = kit::button(this, QStringLiteral("cmd_cancel"), QStringLiteral("Cancel"));
    cmd_OK->setDefault(true);

    auto *folders = new QLabel(QStringLiteral("&Folders (Enter or double-click opens):"), this);
    folders->setBuddy(dir_ilg);
    auto *drive = new QLabel(QStringLiteral("&Drive:"), this);
    drive->setBuddy(drv_ilg);
    auto *lay = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(drive);
    top->addWidget(drv_ilg, 1);
    lay->addLayout(top);
    lay->addWidget(lbl_path);
    lay->addWidget(folders);
    lay->addWidget(dir_ilg, 1);
    lay->addWidget(new QLabel(QStringLiteral("Tables found (ilgsdata.dbf;ilgadata.dbf):"), this));
    lay->addWidget(flb_ilg);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmd_OK);
    buttons->addWidget(cmd_cancel);
    lay->addLayout(buttons);

    connect(drv_ilg, &QComboBox::activated, this,
            [this](int i) { setPath(drv_ilg->itemData(i).toString()); });
    connect(dir_ilg, &QListWidget::itemActivated, this, [this] { enterItem(); });
    connect(cmd_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmd_cancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(drv_ilg, dir_ilg);
    setTabOrder(dir_ilg, cmd_OK);
    setTabOrder(cmd_OK, cmd_cancel);
    resize(420, 420);
    setPath(start.isEmpty() ? QDir::homePath() : start);
    dir_ilg->setFocus();
}

QStringList ILGfind::tablesIn(const QString &dir)
{
    QStringList out;
    for (const QString &f : QDir(dir).entryList(QDir::Files, QDir::Name))
        if (f.compare(QLatin1String("ilgsdata.dbf"), Qt::CaseInsensitive) == 0 ||
            f.compare(QLatin1String("ilgadata.dbf"), Qt::CaseInsensitive) == 0)
            out << f;
    return out;
}

void ILGfind::setPath(const QString &p)
{
    QDir d(p);
    if (!d.exists())
        return;
    path_ = d.absolutePath();
    lbl_path->setText(QDir::toNativeSeparators(path_));
    dir_ilg->clear();
    if (!d.isRoot())
        dir_ilg->addItem(QStringLiteral(".."));
    dir_ilg->addItems(d.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    if (dir_ilg->count() > 0)
        dir_ilg->setCurrentRow(0);
    flb_ilg->clear();
    flb_ilg->addItems(tablesIn(path_));
    cmd_OK->setEnabled(flb_ilg->count() > 0);
}

void ILGfind::enterItem()
{
    QListWidgetItem *it = dir_ilg->currentItem();
    if (!it)
        return;
    setPath(QDir(path_).absoluteFilePath(it->text()));
}

// ------------------------------------------------------------ RecordStepper

RecordStepper::RecordStepper(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("dat_ilg"));
    auto mk = [this](const QString &name, const QString &text, const QString &acc) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setText(text);
        b->setAccessibleName(acc);
        b->setToolTip(acc);
        return b;
    };
    first = mk(QStringLiteral("dat_first"), QStringLiteral("|<"), QStringLiteral("First record"));
    prev = mk(QStringLiteral("dat_prev"), QStringLiteral("<"), QStringLiteral("Previous record"));
    next = mk(QStringLiteral("dat_next"), QStringLiteral(">"), QStringLiteral("Next record"));
    last = mk(QStringLiteral("dat_last"), QStringLiteral(">|"), QStringLiteral("Last record"));
    position = new QLabel(this);
    position->setObjectName(QStringLiteral("dat_position"));
    position->setAlignment(Qt::AlignCenter);
    position->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    position->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *lay = new QHBoxLayout(this);
    lay->setContentsMargins(0, 0, 0, 0);
    lay->addWidget(first);
    lay->addWidget(prev);
    lay->addWidget(position, 1);
    lay->addWidget(next);
    lay->addWidget(last);
    connect(first, &QToolButton::clicked, this, [this] { move(0); });
    connect(prev, &QToolButton::clicked, this, [this] { move(current_ - 1); });
    connect(next, &QToolButton::clicked, this, [this] { move(current_ + 1); });
    connect(last, &QToolButton::clicked, this, [this] { move(count_ - 1); });
    update_();
}

void RecordStepper::setCount(int n)
{
    count_ = qMax(0, n);
    current_ = count_ > 0 ? 0 : -1;
    update_();
}

void RecordStepper::move(int record)
{
    if (count_ <= 0)
        return;
    current_ = qBound(0, record, count_ - 1);
    update_();
    emit moved(current_);
}

void RecordStepper::update_()
{
    position->setText(count_ > 0 ? QStringLiteral("Record %1 of %2").arg(current_ + 1).arg(count_)
                                 : QString());
    first->setEnabled(current_ > 0);
    prev->setEnabled(current_ > 0);
    next->setEnabled(current_ >= 0 && current_ < count_ - 1);
    last->setEnabled(current_ >= 0 && current_ < count_ - 1);
}

// ---------------------------------------------------------------------- ILG

QString &ILG::ilgDirectory()
{
    static QString dir;
    return dir;
}

ILG::ILG(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("ILG"));
    setWindowTitle(QStringLiteral("ILGRadio database conversion - see www.ilgradio.example"));

    lbl_title = new QLabel(QStringLiteral("ILGRadio Database conversion"), this);
    lbl_title->setObjectName(QStringLiteral("lbl_title"));
    QFont tf = lbl_title->font();
    tf.setPointSize(tf.pointSize() + 4);
    tf.setBold(true);
    lbl_title->setFont(tf);

    fra_seldb = new QGroupBox(QStringLiteral("Database"), this);
    fra_seldb->setObjectName(QStringLiteral("fra_seldb"));
    optGroup = new QButtonGroup(this);
    const QString texts[3] = {QStringLiteral("&No database connected"),
                              QStringLiteral("Connect to ILG &MW db"),
                              QStringLiteral("Connect to ILG &SW db")};
    auto *optLay = new QVBoxLayout(fra_seldb);
    for (int i = 0; i < 3; ++i) {
        opt_db[i] = new QRadioButton(texts[i], fra_seldb);
        opt_db[i]->setObjectName(QStringLiteral("opt_db_%1").arg(i));
        opt_db[i]->setAccessibleName(QString(texts[i]).remove(QLatin1Char('&')));
        optGroup->addButton(opt_db[i], i);
        optLay->addWidget(opt_db[i]);
    }
    // The newly chosen option only, so a click or a screen reader's toggle
    // action connects once.
    connect(optGroup, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            on_option(id);
    });

    cmd_locate = kit::button(this, QStringLiteral("cmd_locate"), QStringLiteral("&Locate ILGRadio *.dbf files"));
    cmd_convert = kit::button(this, QStringLiteral("cmd_convert"), QStringLiteral("&Convert"));
    cmd_stop = kit::button(this, QStringLiteral("cmd_stop"), QStringLiteral("S&top"));
    cmd_exit = kit::button(this, QStringLiteral("cmd_exit"), QStringLiteral("E&xit conversion"));
    connect(cmd_locate, &QPushButton::clicked, this, &ILG::on_locate);
    connect(cmd_convert, &QPushButton::clicked, this, &ILG::on_convert);
    connect(cmd_stop, &QPushButton::clicked, this, &ILG::on_stop);
    connect(cmd_exit, &QPushButton::clicked, this, &QWidget::close);

    lbl_con = new QLabel(QStringLiteral("Converted records :"), this);
    lbl_con->setObjectName(QStringLiteral("lbl_con"));
    lbl_cnr = new QLabel(this);
    lbl_cnr->setObjectName(QStringLiteral("lbl_cnr"));
    lbl_cnr->setAccessibleDescription(QStringLiteral("Converted records"));
    lbl_cnr->setMinimumWidth(70);
    lbl_cnr->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbl_record = new QLabel(this);
    lbl_record->setObjectName(QStringLiteral("lbl_record"));
    lbl_record->setAccessibleDescription(QStringLiteral("Status"));
    lbl_record->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lbl_record->setMinimumHeight(lbl_record->fontMetrics().height() + 6);
    QFont mono(QStringLiteral("Courier New"));
    mono.setStyleHint(QFont::TypeWriter);
    mono.setPointSize(8);
    lbl_record->setFont(mono);
    prg_convert = new QProgressBar(this);
    prg_convert->setObjectName(QStringLiteral("prg_convert"));
    prg_convert->setAccessibleName(QStringLiteral("Conversion progress"));
    prg_convert->setValue(0);

    fra_step = new QGroupBox(QStringLiteral("Stepping through database"), this);
    fra_step->setObjectName(QStringLiteral("fra_step"));
    auto *form = new QFormLayout;
    const QString fields[6] = {QStringLiteral("FREQ"),   QStringLiteral("UTC"),
                               QStringLiteral("STATION"), QStringLiteral("TARGET"),
                               QStringLiteral("POWER"),  QStringLiteral("COUNTRY")};
    for (int i = 0; i < 6; ++i) {
        txt_db[i] = new QLineEdit(fra_step);
        txt_db[i]->setObjectName(QStringLiteral("txt_db_%1").arg(i));
        txt_db[i]->setAccessibleName(fields[i]);
        txt_db[i]->setReadOnly(true);
        form->addRow(fields[i], txt_db[i]);
    }
    dat_ilg = new RecordStepper(fra_step);
    connect(dat_ilg, &RecordStepper::moved, this, &ILG::showRecord);
    auto *stepLay = new QVBoxLayout(fra_step);
    stepLay->addLayout(form);
    stepLay->addWidget(dat_ilg);

    auto *left = new QVBoxLayout;
    left->addWidget(fra_seldb);
    left->addWidget(cmd_locate);
    left->addWidget(cmd_convert);
    left->addWidget(cmd_stop);
    left->addWidget(cmd_exit);
    left->addStretch();
    auto *mid = new QHBoxLayout;
    mid->addLayout(left);
    mid->addWidget(fra_step, 1);
    auto *count = new QHBoxLayout;
    count->addWidget(lbl_con);
    count->addWidget(lbl_cnr);
    count->addWidget(prg_convert, 1);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(lbl_title);
    lay->addLayout(mid, 1);
    lay->addLayout(count);
    lay->addWidget(lbl_record);

    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, [this] {
        if (cmd_exit->isEnabled())
            close();
    });

    // Opening: no database, nothing to convert until a folder is chosen.
    {
        const QSignalBlocker block(opt_db[0]->group());
        opt_db[0]->setChecked(true);
    }
    fra_seldb->setEnabled(false);
    dat_ilg->setEnabled(false);
    cmd_convert->setEnabled(false);
    if (!ilgDirectory().isEmpty())
        fra_seldb->setEnabled(true);
    resize(720, 380);
}

ILG::~ILG()
{
    // A conversion still running stops after its record; the worker ends
    // before the table it reads goes.
    if (worker_) {
        stop_ = true;
        worker_->wait();
    }
}

void ILG::on_locate()
{
    ILGfind dlg(app_, ilgDirectory().isEmpty() ? app_.settings.base_dir : ilgDirectory(), this);
    if (dlg.exec() == QDialog::Accepted)
        setDirectory(dlg.path());
}

void ILG::setDirectory(const QString &dir)
{
    ilgDirectory() = dir;
    fra_seldb->setEnabled(true);
    opt_db[1]->setFocus();
}

void ILG::setBound(bool on)
{
    bound_ = on;
    if (!on)
        for (QLineEdit *e : txt_db)
            e->clear();
}

void ILG::showRecord(int record)
{
    if (!bound_ || !table_)
        return;
    const char *names[6] = {"FREQ", "UTC", "STATION", "TARGET", "POWER", "COUNTRY"};
    for (int i = 0; i < 6; ++i) {
        const int f = table_->fieldIndex(QLatin1String(names[i]));
        txt_db[i]->setText(f < 0 ? QString() : table_->value(record, f).value_or(QString()));
        txt_db[i]->setCursorPosition(0);
    }
}

void ILG::on_option(int index)
{
    {
        const QSignalBlocker block(opt_db[index]->group());
        opt_db[index]->setChecked(true);
    }
    dat_ilg->setEnabled(false);
    table_.reset();
    tableName_.clear();
    tablePath_.clear();
    if (index == 0) {
        lbl_cnr->clear();
        dat_ilg->setCount(0);
        setBound(false);
        setBound(true);
        dat_ilg->setEnabled(true);
        cmd_convert->setEnabled(false);
        lbl_record->clear();
        return;
    }
    const QString name = QLatin1String(index == 1 ? ilg::MwTable : ilg::SwTable);
    QString reason;
    std::unique_ptr<DbfTable> t = ilg::openTable(ilgDirectory(), name, app_.cap.region_codes, &reason);
    if (!t) {
        app_.prompter->message(QStringLiteral("Could not connect to database\nCheck path and/or filename"),
                               QStringLiteral("Error"), Prompter::Critical);
        if (!reason.isEmpty())
            app_.prompter->message(reason, QStringLiteral("Error"), Prompter::Critical);
        on_option(0);
        return;
    }
    table_ = std::move(t);
    tableName_ = name;
    tablePath_ = table_->path();
    setBound(true);
    dat_ilg->setEnabled(true);
    dat_ilg->setCount(table_->recordCount());
    showRecord(0);
    cmd_convert->setEnabled(true);
    lbl_record->setText(index == 1
                            ? QStringLiteral("ILGRadio LW/MW database connected, conversion can be started.")
                            : QStringLiteral("ILGRadio SW database connected, conversion can be started."));
}

void ILG::on_convert()
{
    if (!table_ || converting_)
        return;
    converting_ = true;
    stop_ = false;
    for (QWidget *w : {static_cast<QWidget *>(cmd_exit), static_cast<QWidget *>(fra_seldb),
                       static_cast<QWidget *>(dat_ilg), static_cast<QWidget *>(cmd_convert),
                       static_cast<QWidget *>(cmd_locate)})
        w->setEnabled(false);
    cmd_stop->setFocus();
    setBound(false);
    dat_ilg->move(0);

    const QString dir = ftl::dataDir(app_.settings.base_dir);
    QDir().mkpath(dir);
    const QString out = dir + ilg::ftlName(tableName_);
    prg_convert->setRange(0, qMax(1, table_->recordCount()));
    prg_convert->setValue(0);
    // The conversion runs on a worker thread; the window shows its progress
    // from queued calls and goes on with its events meanwhile.
    auto result = std::make_shared<ilg::Result>();
    const QString dbf = tableName_ + QStringLiteral(".dbf");
    const QStringList codes = app_.cap.region_codes;
    DbfTable *table = table_.get();
    worker_ = QThread::create([this, table, dbf, out, codes, result] {
        int seen = 0;
        *result = ilg::convert(*table, dbf, out, codes, [this, &seen](int count, const QString &line) {
            ++seen;
            if (seen % 100 == 0) {
                const QString shown = count % 100 == 0 ? line.left(77) : QString();
                QMetaObject::invokeMethod(
                    this,
                    [this, count, shown, seen] {
                        if (!shown.isEmpty()) {
                            lbl_cnr->setText(QString::number(count));
                            lbl_record->setText(shown);
                        }
                        prg_convert->setValue(seen);
                    },
                    Qt::QueuedConnection);
            }
            return stop_.load();
        });
    });
    worker_->setParent(this);
    connect(worker_, &QThread::finished, this, [this, result] {
        worker_->deleteLater();
        worker_ = nullptr;
        convertDone(*result);
    });
    busy_ = std::make_unique<BusyGuard>();
    worker_->start();
}

void ILG::convertDone(const ilg::Result &r)
{
    busy_.reset();
    converting_ = false;
    if (!r.ok) {
        app_.prompter->message(r.error, QStringLiteral("ILGRadio database"), Prompter::Critical);
        for (QWidget *w : {static_cast<QWidget *>(cmd_exit), static_cast<QWidget *>(fra_seldb),
                           static_cast<QWidget *>(dat_ilg), static_cast<QWidget *>(cmd_convert),
                           static_cast<QWidget *>(cmd_locate)})
            w->setEnabled(true);
        setBound(true);
        showRecord(dat_ilg->current());
        return;
    }
    prg_convert->setValue(prg_convert->maximum());
    lbl_cnr->setText(QString::number(r.converted));
    if (!r.warning.isEmpty())
        app_.prompter->message(r.warning, QStringLiteral("ILGRadio database"), Prompter::Exclamation);
    app_.prompter->message(QStringLiteral("Conversion ready"), QStringLiteral("ILGRadio database"),
                           Prompter::NoIcon);
    close();
}

void ILG::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (e->spontaneous() || converting_ || shown_)
        return;
    shown_ = true;
    // Opening: no database connected; the options wait for a folder.
    on_option(0);
    fra_seldb->setEnabled(!ilgDirectory().isEmpty());
    lbl_cnr->clear();
    prg_convert->setValue(0);
}

void ILG::closeEvent(QCloseEvent *e)
{
    if (converting_) {
        // The conversion ends after the current record; the window stays.
        stop_ = true;
        e->ignore();
        return;
    }
    shown_ = false;
    QWidget::closeEvent(e);
}

// -------------------------------------------------------------------- logos

namespace {

QLabel *logoPicture(bool ilgLogo, QWidget *parent)
{
    QPixmap pm(220, 160);
    pm.fill(Qt::white);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (ilgLogo) {
        // A globe with radio waves.
        p.setPen(QPen(QColor(0, 60, 140), 3));
        p.setBrush(QColor(170, 210, 255));
        p.drawEllipse(QPointF(80, 80), 55, 55);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(80, 80), 25, 55);
        p.drawLine(25, 80, 135, 80);
        p.drawLine(32, 52, 128, 52);
        p.drawLine(32, 108, 128, 108);
        p.setPen(QPen(QColor(200, 30, 30), 4));
        for (int r = 20; r <= 60; r += 20)
            p.drawArc(QRectF(150 - r, 80 - r, 2 * r, 2 * r), -45 * 16, 90 * 16);
    } else {
        // A dish aerial under the stars.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(20, 30, 90));
        p.drawRect(0, 0, 220, 160);
        p.setBrush(QColor(255, 230, 90));
        for (const QPoint &s : {QPoint(30, 25), QPoint(70, 15), QPoint(120, 35), QPoint(180, 20),
                                QPoint(200, 60), QPoint(25, 70)})
            p.drawEllipse(s, 3, 3);
        p.setBrush(QColor(230, 230, 230));
        QPainterPath dish;
        dish.moveTo(60, 70);
        dish.quadTo(110, 150, 170, 90);
        dish.closeSubpath();
        p.drawPath(dish);
        p.setPen(QPen(QColor(230, 230, 230), 4));
        p.drawLine(115, 115, 115, 150);
        p.drawLine(90, 150, 140, 150);
        p.drawLine(115, 100, 140, 60);
    }
    p.end();
    auto *l = new QLabel(parent);
    l->setObjectName(QStringLiteral("img_logo"));
    l->setPixmap(pm);
    l->setAlignment(Qt::AlignCenter);
    l->setAccessibleName(ilgLogo ? QStringLiteral("ILGRadio logo") : QStringLiteral("BDXC logo"));
    return l;
}

} // namespace

ILGLogo::ILGLogo(App &, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ILGLogo"));
    setWindowTitle(QStringLiteral("www.ilgradio.example"));
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(logoPicture(true, this));
    auto *a = new QLabel(QStringLiteral("ILGRadio"), this);
    a->setObjectName(QStringLiteral("Label1"));
    QFont f = a->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    a->setFont(f);
    a->setAlignment(Qt::AlignCenter);
    auto *b = new QLabel(QStringLiteral("International Listening Guide"), this);
    b->setObjectName(QStringLiteral("Label2"));
    b->setAlignment(Qt::AlignCenter);
    lay->addWidget(a);
    lay->addWidget(b);
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void ILGLogo::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    centre(this);
}

BDXCLogo::BDXCLogo(App &, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BDXCLogo"));
    setWindowTitle(QStringLiteral("www.bdxc.example"));
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(logoPicture(false, this));
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(esc, &QShortcut::activated, this, &QWidget::close);
}

void BDXCLogo::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    centre(this);
}
