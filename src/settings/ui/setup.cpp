#include "settings/ui/setup.h"

#include "common/textfile.h"
#include "common/ui/busy.h"
#include "common/ui/buttons.h"
#include "link/app.h"
#include "net/rigaccess.h"
#include "record/audiosource.h"
#include "record/recorder.h"
#include "record/recsession.h"
#include "settings/settings.h"
#include "settings/validate.h"

#include <QButtonGroup>
#include <algorithm>
#include <cmath>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QSpinBox>
#include <QUrl>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace {

// The four start check boxes, in their order on the dialog.
void (Settings::*const kPropSet[4])(bool) = {&Settings::setPowerOnAtStart, &Settings::setPowerOffAtExit,
                                             &Settings::setNoRx, &Settings::setEditorEnabled};
bool (Settings::*const kPropGet[4])() const = {&Settings::powerOnAtStart, &Settings::powerOffAtExit,
                                               &Settings::noRx, &Settings::editorChecked};

QGroupBox *frame(QWidget *parent, const char *name, const QString &title)
{
    auto *g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setAccessibleName(title);
    return g;
}

QString portDevice(int n)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

void selectIn(QButtonGroup *g, int id)
{
    if (QAbstractButton *b = g->button(id)) {
        b->setChecked(true);
        return;
    }
    // Out of range in the file: nothing selected.
    g->setExclusive(false);
    for (QAbstractButton *b : g->buttons())
        b->setChecked(false);
    g->setExclusive(true);
}

} // namespace

setup::setup(App &app, QWidget *parent) : QDialog(parent), app_(app)
{
    setObjectName(QStringLiteral("setup"));
    setWindowTitle(QStringLiteral("Set Up"));
    setModal(true);

    // CommPort.
    auto *fraCp = frame(this, "fra_cp", QStringLiteral("CommPort"));
    auto *cpLay = new QGridLayout(fraCp);
    ports_ = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        auto *r = new QRadioButton(QStringLiteral("COM %1").arg(i + 1), fraCp);
        r->setObjectName(QStringLiteral("opt_ComP_%1").arg(i));
        r->setAccessibleName(r->text());
        r->setToolTip(QStringLiteral("Serial port %1 (%2)").arg(i + 1).arg(portDevice(i + 1)));
        ports_->addButton(r, i);
        cpLay->addWidget(r, i / 2, i % 2);
        connect(r, &QRadioButton::toggled, this, [this, i](bool on) {
            if (!on || filling_)
                return;
            app_.settings.setPortNumber(i + 1);
            // A numbered port replaces a chosen device.
            app_.settings.port_device.clear();
            filling_ = true;
            device_->setCurrentIndex(0);
            filling_ = false;
        });
    }
    // The serial ports the system has, e.g. a USB adapter.
    device_ = new QComboBox(fraCp);
    device_->setObjectName(QStringLiteral("cmb_device"));
    device_->setAccessibleName(QStringLiteral("Serial port device"));
    device_->setToolTip(QStringLiteral("A serial port of this computer (e.g. a USB adapter), used "
                                       "instead of COM 1-4 from the next start"));
    device_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    device_->setMinimumContentsLength(18);
    cpLay->addWidget(device_, 2, 0, 1, 2);
    connect(device_, &QComboBox::currentIndexChanged, this, &setup::chooseDevice);
    setSystemPorts(SerialPort::available());

    // Program options and receiver options.
    static const char *propText[4] = {"Power ON at Start", "Power OFF at Exit", "NO RX",
                                      "Enable Editor"};
    static const char *propTip[4] = {
        "Kept with the settings", "Kept with the settings",
        "Work without a receiver: no commands are sent",
        "Open data files in the text editor from the file dialogs"};
    auto *fraPo = frame(this, "fra_po", QStringLiteral("Program Options"));
    auto *poLay = new QVBoxLayout(fraPo);
    for (int i = 0; i < 4; ++i) {
        prop_[i] = new QCheckBox(QString::fromLatin1(propText[i]), fraPo);
        prop_[i]->setObjectName(QStringLiteral("chk_Prop_%1").arg(i));
        prop_[i]->setAccessibleName(prop_[i]->text());
        prop_[i]->setToolTip(QString::fromLatin1(propTip[i]));
        poLay->addWidget(prop_[i]);
        connect(prop_[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!filling_)
                (app_.settings.*kPropSet[i])(on);
        });
    }
    static const char *nrdText[4] = {"BWC", "1 kHz", "ECSS", "RTTY"};
    static const char *nrdTip[4] = {"Bandwidth control unit fitted",
                                    "Narrow 1 kHz filter fitted (CFL-23x)",
                                    "ECSS unit fitted (CMF-78)", "RTTY unit fitted (CMH-530)"};
    auto *fraNo = frame(this, "fra_no", QStringLiteral("RX Options"));
    auto *noLay = new QVBoxLayout(fraNo);
    for (int i = 0; i < 4; ++i) {
        nrd_[i] = new QCheckBox(QString::fromLatin1(nrdText[i]), fraNo);
        nrd_[i]->setObjectName(QStringLiteral("chk_nrd_%1").arg(i));
        nrd_[i]->setAccessibleName(nrd_[i]->text());
        nrd_[i]->setToolTip(QString::fromLatin1(nrdTip[i]));
        noLay->addWidget(nrd_[i]);
        connect(nrd_[i], &QCheckBox::toggled, this, [this, i](bool on) {
            if (!filling_)
                app_.settings.setUnitFitted(i, on);
        });
    }

    // Text fields, each in its frame.
    auto fieldFrame = [this](const char *fra, const QString &title, const QString &name,
                             QLineEdit **out, const QString &tip) {
        auto *g = frame(this, fra, title);
        auto *l = new QVBoxLayout(g);
        *out = makeField(name, title);
        (*out)->setToolTip(tip);
        l->addWidget(*out);
        return g;
    };
    auto *fraTd = fieldFrame("fra_td", QStringLiteral("LT-UTC"), QStringLiteral("txt_td"), &td_,
                             QStringLiteral("Local time minus UTC in hours, -13 to +13 (half hours allowed)"));
    auto *fraLat = fieldFrame("fra_lat", QStringLiteral("RX Latitude"), QStringLiteral("txt_rxlat"),
                              &lat_, QStringLiteral("Degrees and minutes and N or S, e.g. 5205N"));
    auto *fraLong = fieldFrame("fra_long", QStringLiteral("RX Longitude"),
                               QStringLiteral("txt_rxlong"), &long_,
                               QStringLiteral("Degrees and minutes and W or E, e.g. 0445E"));
    auto *fraDir = fieldFrame("fra_dir", QStringLiteral("Dir Path"), QStringLiteral("txt_dir"), &dir_,
                              QStringLiteral("Base directory of the data files, e.g. %1")
                                  .arg(settingsrules::defaultDir()));
    lat_->setMaxLength(5);
    long_->setMaxLength(6);
    td_->setMaxLength(6);

    // Target area.
    static const char *areas[9] = {"NA", "CA", "SA", "EU", "AF", "ME", "AS", "AU", "PA"};
    static const char *areaTip[9] = {"North America", "Central America", "South America",
                                     "Europe", "Africa", "Middle East", "Asia", "Australia",
                                     "Pacific"};
    auto *fraTa = frame(this, "fra_ta", QStringLiteral("RX Target Area"));
    auto *taLay = new QHBoxLayout(fraTa);
    areas_ = new QButtonGroup(this);
    for (int i = 0; i < 9; ++i) {
        auto *r = new QRadioButton(QString::fromLatin1(areas[i]), fraTa);
        r->setObjectName(QStringLiteral("opt_ta_%1").arg(i));
        r->setAccessibleName(r->text());
        r->setToolTip(QString::fromLatin1(areaTip[i]));
        areas_->addButton(r, i);
        taLay->addWidget(r);
        connect(r, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on && !filling_)
                app_.settings.setTargetArea(i);
        });
    }

    // List sizes.
    static const char *dimFra[4] = {"fra_bdx", "fra_own", "fra_log", "fra_ilg"};
    static const char *dimTitle[4] = {"DIM BDX", "DIM OWN", "DIM LOG", "DIM ILG"};
    auto *dimRow = new QHBoxLayout;
    QGroupBox *dimFrames[4];
    for (int i = 0; i < 4; ++i) {
        dimFrames[i] = fieldFrame(dimFra[i], QString::fromLatin1(dimTitle[i]),
                                  QStringLiteral("txt_dim_%1").arg(i), &dim_[i],
                                  QStringLiteral("Room for this many thousand records, 1 to 30"));
        dim_[i]->setMaxLength(6);
        dimRow->addWidget(dimFrames[i]);
    }

    // Schedule update (beyond the described values), beside the list sizes:
    // where Db2Rx's Update fetches the season's file, and the weekly check.
    QGroupBox *fraSked = frame(this, "fra_sked", QStringLiteral("Schedule update"));
    auto *skedLay = new QGridLayout(fraSked);
    auto *skedCap = new QLabel(QStringLiteral("Address:"), fraSked);
    skedBase_ = makeField(QStringLiteral("txt_sked_base"), QStringLiteral("Schedule address"));
    skedBase_->setToolTip(QStringLiteral("The web folder of the season's schedule files; Update in "
                                         "Db2Rx adds the file name (sked-b26.csv)"));
    skedCap->setBuddy(skedBase_);
    skedWeekly_ = new QCheckBox(QStringLiteral("Check weekly for a new schedule"), fraSked);
    skedWeekly_->setObjectName(QStringLiteral("chk_sked_weekly"));
    skedWeekly_->setAccessibleName(skedWeekly_->text());
    skedWeekly_->setToolTip(QStringLiteral("At start, at most once a week, a notice says when a newer "
                                           "schedule is out than the one here"));
    skedLay->addWidget(skedCap, 0, 0);
    skedLay->addWidget(skedBase_, 0, 1);
    skedLay->addWidget(skedWeekly_, 1, 0, 1, 2);
    connect(skedWeekly_, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            app_.settings.sked_weekly = on;
    });

    // The rig-control network server (beyond the described values): its
    // port, and who may use it from beyond this computer.
    QGroupBox *fraNet = frame(this, "fra_rigctl", QStringLiteral("Network"));
    auto *netLay = new QGridLayout(fraNet);
    netLay->setVerticalSpacing(4);
    portRow(fraNet,
            {"chk_rigctl", "txt_rigctl_port", QStringLiteral("Rig-control server on TCP port"),
             QStringLiteral("Rig-control server port"),
             QStringLiteral("Let other programs read and set the receiver over the network"),
             4532, &Settings::rigctl_port},
            &rigctl_, &rigctlPort_);
    netLay->addWidget(rigctl_, 0, 0, 1, 3);
    netLay->addWidget(rigctlPort_, 0, 3);
    auto netField = [&](const char *name, const QString &caption, const QString &label,
                        const QString &tip, int row, int col, int span) {
        auto *cap = new QLabel(caption, fraNet);
        QLineEdit *e = makeField(QString::fromLatin1(name), label);
        e->setToolTip(tip);
        cap->setBuddy(e);
        netLay->addWidget(cap, row, col);
        netLay->addWidget(e, row, col + 1, 1, span);
        return e;
    };
    listen_ = netField(
        "txt_rigctl_listen", QStringLiteral("Listen on:"), QStringLiteral("Listen on"),
        QStringLiteral("The address the server listens on: 127.0.0.1 for this computer only, "
                       "0.0.0.0 for every network (then only with a password)"),
        1, 0, 1);
    allow_ = netField(
        "txt_rigctl_allow", QStringLiteral("Allowed:"), QStringLiteral("Allowed networks"),
        QStringLiteral("The networks that may connect at all, such as 192.168.1.0/24 (empty: "
                       "any); others are closed at once"),
        1, 2, 1);
    trust_ = netField(
        "txt_rigctl_trust", QStringLiteral("Trusted:"), QStringLiteral("Trusted addresses"),
        QStringLiteral("Addresses and networks that need no password, separated by commas "
                       "(127.0.0.1,::1 is this computer; empty: nobody)"),
        2, 0, 3);
    password_ = netField(
        "txt_rigctl_password", QStringLiteral("Password:"), QStringLiteral("Full-control password"),
        QStringLiteral("Others give it with \\password to read and set the receiver; "
                       "only a salted hash of it is kept"),
        3, 0, 1);
    readonly_ = netField(
        "txt_rigctl_readonly", QStringLiteral("Read-only:"), QStringLiteral("Read-only password"),
        QStringLiteral("Others give it with \\password to read the receiver without "
                       "setting it; only a salted hash of it is kept"),
        3, 2, 1);
    for (QLineEdit *e : {password_, readonly_})
        e->setEchoMode(QLineEdit::Password);
    clearPasswords_ =
        kit::button(this, QStringLiteral("cmd_rigctl_nopass"), QStringLiteral("No passwords"),
                    {.tip = QStringLiteral("Forget both passwords")});
    netLay->addWidget(clearPasswords_, 4, 3);
    connect(clearPasswords_, &QPushButton::clicked, this, [this] {
        app_.settings.rigctl_password.clear();
        app_.settings.rigctl_readonly_password.clear();
        fillPasswords();
    });

    // The web remote: the receiver from a browser.
    QGroupBox *fraWeb = frame(this, "fra_web", QStringLiteral("Web remote"));
    auto *webLay = new QHBoxLayout(fraWeb);
    portRow(fraWeb,
            {"chk_web", "txt_web_port", QStringLiteral("Web remote on TCP port"),
             QStringLiteral("Web remote port"),
             QStringLiteral("Listen to and tune the receiver from a browser (this computer only, "
                            "unless started with --web-listen and a password)"),
             8535, &Settings::web_port},
            &web_, &webPort_);
    webLay->addWidget(web_);
    webLay->addWidget(webPort_);
    webLay->addStretch();

    QGroupBox *fraFollow = frame(this, "fra_follow_dial", QStringLiteral("Receiver dial"));
    auto *followLay = new QHBoxLayout(fraFollow);
    followDial_ = new QCheckBox(QStringLiteral("&Follow the receiver's dial"), fraFollow);
    followDial_->setObjectName(QStringLiteral("chk_follow_dial"));
    followDial_->setAccessibleName(QStringLiteral("Follow the receiver's dial"));
    followDial_->setToolTip(QStringLiteral("The panel and the list windows show a turn of the "
                                           "receiver's own dial"));
    followLay->addWidget(followDial_);
    lineTrace_ = new QCheckBox(QStringLiteral("Write a line &trace"), fraFollow);
    lineTrace_->setObjectName(QStringLiteral("chk_line_trace"));
    lineTrace_->setAccessibleName(QStringLiteral("Write a line trace"));
    lineTrace_->setToolTip(QStringLiteral("Every command sent to the receiver and every reply, with "
                                          "the time, go to linetrace.txt in the base directory "
                                          "(from the next start)"));
    followLay->addWidget(lineTrace_);
    followLay->addStretch();
    connect(lineTrace_, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            app_.settings.line_trace = on;
    });
    connect(followDial_, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            app_.settings.follow_dial = on;
    });

    // What the windows show (beyond the described values).
    QGroupBox *fraShow = frame(this, "fra_display", QStringLiteral("Display"));
    auto *showLay = new QHBoxLayout(fraShow);
    panelMeter_ = new QCheckBox(QStringLiteral("Signal &meter on the panel"), fraShow);
    panelMeter_->setObjectName(QStringLiteral("chk_panel_meter"));
    panelMeter_->setAccessibleName(QStringLiteral("Signal meter on the panel"));
    panelMeter_->setToolTip(QStringLiteral("The control panel shows the signal strength about once a "
                                           "second while its Lock is On"));
    highContrast_ = new QCheckBox(QStringLiteral("&High contrast"), fraShow);
    highContrast_->setObjectName(QStringLiteral("chk_high_contrast"));
    highContrast_->setAccessibleName(QStringLiteral("High contrast"));
    highContrast_->setToolTip(QStringLiteral("The tracking list and the S-meter, spectrum and "
                                             "propagation windows in strong colours with larger "
                                             "labels (windows opened from now on)"));
    showLay->addWidget(panelMeter_);
    showLay->addWidget(highContrast_);
    showLay->addStretch();
    connect(panelMeter_, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            app_.settings.panel_meter = on;
    });
    connect(highContrast_, &QCheckBox::toggled, this, [this](bool on) {
        if (!filling_)
            app_.settings.high_contrast = on;
    });

    // Recording: the input, the format and a level check.
    QGroupBox *fraRec = frame(this, "fra_rec", QStringLiteral("Recording"));
    auto *recLay = new QGridLayout(fraRec);
    auto *srcCap = new QLabel(QStringLiteral("I&nput:"), fraRec);
    recSource_ = new QComboBox(fraRec);
    recSource_->setObjectName(QStringLiteral("cbo_rec_source"));
    recSource_->setAccessibleName(QStringLiteral("Recording input"));
    recSource_->setToolTip(QStringLiteral("The sound server's input the receiver's audio goes into"));
    recSource_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    recSource_->setMinimumContentsLength(28);
    srcCap->setBuddy(recSource_);
    auto *fmtCap = new QLabel(QStringLiteral("For&mat:"), fraRec);
    recFormat_ = new QComboBox(fraRec);
    recFormat_->setObjectName(QStringLiteral("cbo_rec_format"));
    recFormat_->setAccessibleName(QStringLiteral("Recording format"));
    recFormat_->addItem(QStringLiteral("FLAC"), QStringLiteral("flac"));
    recFormat_->addItem(QStringLiteral("Ogg Opus"), QStringLiteral("opus"));
    recFormat_->addItem(QStringLiteral("WAV"), QStringLiteral("wav"));
    fmtCap->setBuddy(recFormat_);
    recTest_ = kit::button(fraRec, QStringLiteral("cmd_rec_test"), QStringLiteral("Test input"),
                           {.tip = QStringLiteral("Show the input's level for a few seconds")});
    recLevel_ = new QProgressBar(fraRec);
    recLevel_->setObjectName(QStringLiteral("bar_rec_level"));
    recLevel_->setAccessibleName(QStringLiteral("Input level"));
    recLevel_->setToolTip(QStringLiteral("Input level, -60 to 0 dB of full scale"));
    recLevel_->setRange(0, 60);
    recLevel_->setValue(0);
    recLevel_->setTextVisible(false);
    recLevel_->setMaximumHeight(14);
    recNote_ = new QLabel(fraRec);
    recNote_->setObjectName(QStringLiteral("lbl_rec_note"));
    recNote_->setWordWrap(true);
    recLay->addWidget(srcCap, 0, 0);
    recLay->addWidget(recSource_, 0, 1);
    recLay->addWidget(fmtCap, 0, 2);
    recLay->addWidget(recFormat_, 0, 3);
    recLay->addWidget(recTest_, 1, 0, 1, 1);
    recLay->addWidget(recLevel_, 1, 1, 1, 3);
    recLay->addWidget(recNote_, 2, 0, 1, 4);
    recLay->setColumnStretch(1, 1);
    connect(recSource_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_ && i >= 0)
            app_.settings.rec_source = recSource_->itemData(i).toString();
    });
    connect(recFormat_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (!filling_ && i >= 0)
            app_.settings.rec_format = recFormat_->itemData(i).toString();
    });
    connect(recTest_, &QPushButton::clicked, this, &setup::testInput);
    probeTick_ = new QTimer(this);
    probeTick_->setInterval(100);
    connect(probeTick_, &QTimer::timeout, this, [this] {
        if (!probe_)
            return;
        const float peak = probe_->level();
        probePeak_ = std::max(probePeak_, peak);
        const double db = peak > 0 ? 20 * std::log10(double(peak)) : -60;
        recLevel_->setValue(int(std::lround(std::clamp(db, -60.0, 0.0) + 60)));
    });

    // Buttons.
    auto *reset = kit::button(this, QStringLiteral("cmd_reset"), QStringLiteral("Reset"),
                              {.minWidth = 88, .tip = QStringLiteral("Read the settings file again (Alt+R)")});
    auto *okb = kit::button(
        this, QStringLiteral("cmd_OK"), QStringLiteral("OK"),
        {.minWidth = 88, .tip = QStringLiteral("Use these settings until the program ends (Enter, Alt+O)")});
    okb->setAutoDefault(true);
    okb->setDefault(true);
    auto *saveb = kit::button(
        this, QStringLiteral("cmd_Save"), QStringLiteral("Save"),
        {.minWidth = 88, .tip = QStringLiteral("Use these settings and write them to the settings file (Alt+S)")});
    connect(reset, &QPushButton::clicked, this, &setup::reset);
    connect(okb, &QPushButton::clicked, this, &setup::ok);
    connect(saveb, &QPushButton::clicked, this, &setup::save);

    auto shortcut = [this](QKeyCombination key, auto fn) {
        auto *sc = new QShortcut(QKeySequence(key), this);
        connect(sc, &QShortcut::activated, this, fn);
    };
    shortcut(Qt::ALT | Qt::Key_R, [reset] { reset->click(); });
    shortcut(Qt::ALT | Qt::Key_O, [okb] { okb->click(); });
    shortcut(Qt::ALT | Qt::Key_S, [saveb] { saveb->click(); });
    shortcut(Qt::ALT | Qt::Key_C, [this] {
        if (QAbstractButton *b = ports_->checkedButton() ? ports_->checkedButton() : ports_->button(0))
            b->setFocus(Qt::ShortcutFocusReason);
    });
    shortcut(Qt::ALT | Qt::Key_T, [this] { td_->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_D, [this] { dir_->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_L, [this] { lat_->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_G, [this] { long_->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_A, [this] {
        if (QAbstractButton *b = areas_->checkedButton() ? areas_->checkedButton() : areas_->button(0))
            b->setFocus(Qt::ShortcutFocusReason);
    });
    shortcut(Qt::ALT | Qt::Key_P, [this] { prop_[0]->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_X, [this] { nrd_[0]->setFocus(Qt::ShortcutFocusReason); });
    shortcut(Qt::ALT | Qt::Key_B, [this] { dim_[0]->setFocus(Qt::ShortcutFocusReason); });

    // Layout: the port, place, options and list sizes on the left, the
    // network, dial, display and recording on the right, so that the dialog
    // is wide rather than tall (a laptop screen of 768 lines shows it whole,
    // buttons included).
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    grid->addWidget(fraCp, 0, 0);
    grid->addWidget(fraPo, 0, 1);
    grid->addWidget(fraNo, 0, 2);
    grid->addWidget(fraTd, 1, 0);
    grid->addWidget(fraLat, 1, 1);
    grid->addWidget(fraLong, 1, 2);
    grid->addWidget(fraTa, 2, 0, 1, 3);
    grid->addWidget(fraDir, 3, 0, 1, 3);
    grid->addLayout(dimRow, 4, 0, 1, 3);
    grid->addWidget(fraSked, 5, 0, 1, 3);
    grid->setRowStretch(6, 1);
    auto *own = new QVBoxLayout;
    own->setSpacing(8);
    own->addWidget(fraNet);
    own->addWidget(fraWeb);
    own->addWidget(fraFollow);
    own->addWidget(fraShow);
    own->addWidget(fraRec);
    own->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->setSpacing(14);
    columns->addLayout(grid, 1);
    columns->addLayout(own, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(reset);
    buttons->addStretch();
    buttons->addWidget(okb);
    buttons->addWidget(saveb);
    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(14, 14, 14, 12);
    lay->setSpacing(12);
    lay->addLayout(columns);
    lay->addLayout(buttons);

    // Tab order: the frames from top left to bottom right, then the buttons.
    QList<QWidget *> order;
    for (QAbstractButton *b : ports_->buttons())
        order << b;
    order << device_;
    for (QCheckBox *c : prop_)
        order << c;
    for (QCheckBox *c : nrd_)
        order << c;
    order << td_ << lat_ << long_;
    for (QAbstractButton *b : areas_->buttons())
        order << b;
    order << dir_;
    for (QLineEdit *d : dim_)
        order << d;
    order << skedBase_ << skedWeekly_;
    order << rigctl_ << rigctlPort_ << listen_ << allow_ << trust_ << password_ << readonly_
          << clearPasswords_ << followDial_ << lineTrace_ << panelMeter_ << highContrast_
          << recSource_ << recFormat_ << recTest_;
    order << okb << saveb << reset;
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    fill();
    td_->setFocus();
}

void setup::portRow(QWidget *box, const PortRow &row, QCheckBox **check, QSpinBox **spin)
{
    auto *c = new QCheckBox(row.caption, box);
    c->setObjectName(QString::fromLatin1(row.checkName));
    c->setAccessibleName(row.caption);
    c->setToolTip(row.tip);
    auto *n = new QSpinBox(box);
    n->setObjectName(QString::fromLatin1(row.spinName));
    n->setAccessibleName(row.spinLabel);
    n->setRange(1, 65535);
    n->setValue(row.defaultPort);
    auto store = [this, c, n, port = row.port] {
        if (!filling_)
            app_.settings.*port = c->isChecked() ? n->value() : 0;
        n->setEnabled(c->isChecked());
    };
    connect(c, &QCheckBox::toggled, this, store);
    connect(n, &QSpinBox::valueChanged, this, store);
    *check = c;
    *spin = n;
}

QLineEdit *setup::makeField(const QString &name, const QString &label)
{
    auto *e = new QLineEdit(this);
    e->setObjectName(name);
    e->setAccessibleName(label);
    e->installEventFilter(this);
    return e;
}

void setup::setSystemPorts(const QList<SerialPort::Available> &ports)
{
    filling_ = true;
    device_->clear();
    device_->addItem(QStringLiteral("COM 1-4 (above)"), QString());
    for (const SerialPort::Available &p : ports) {
        const QString text = QStringLiteral("%1 - %2").arg(p.device, p.description);
        device_->addItem(text, p.device);
        device_->setItemData(device_->count() - 1, text, Qt::ToolTipRole);
    }
    filling_ = false;
    fillDevice();
}

void setup::fillDevice()
{
    const bool nested = filling_;
    filling_ = true;
    const QString dev = app_.settings.port_device;
    int idx = 0;
    if (!dev.isEmpty()) {
        idx = device_->findData(dev);
        if (idx < 0) { // chosen earlier, not plugged in now
            device_->addItem(QStringLiteral("%1 - not present now").arg(dev), dev);
            idx = device_->count() - 1;
        }
    }
    device_->setCurrentIndex(idx);
    filling_ = nested;
}

void setup::clearPortButtons()
{
    ports_->setExclusive(false);
    for (QAbstractButton *b : ports_->buttons())
        b->setChecked(false);
    ports_->setExclusive(true);
}

void setup::chooseDevice(int index)
{
    if (filling_ || index < 0)
        return;
    const QString dev = device_->itemData(index).toString();
    app_.settings.port_device = dev;
    filling_ = true;
    if (dev.isEmpty())
        selectIn(ports_, app_.settings.portNumber() - 1);
    else
        clearPortButtons();
    filling_ = false;
}

void setup::fill()
{
    const Settings &s = app_.settings;
    filling_ = true;
    selectIn(ports_, s.port_device.isEmpty() ? s.portNumber() - 1 : -1);
    fillDevice();
    td_->setText(settingsfile::numberText(s.ltMinusUtcStored()));
    dir_->setText(s.base_dir);
    lat_->setText(s.rx_lat);
    long_->setText(s.rx_long);
    for (int i = 0; i < 4; ++i)
        prop_[i]->setChecked((s.*kPropGet[i])());
    selectIn(areas_, s.targetAreaWhole() ? s.targetArea() : -1);
    for (int i = 0; i < 4; ++i)
        dim_[i]->setText(settingsfile::numberText(s.dimStored(i)));
    for (int i = 0; i < 4; ++i)
        nrd_[i]->setChecked(s.unitChecked(i));
    rigctl_->setChecked(s.rigctl_port > 0);
    rigctlPort_->setValue(s.rigctl_port > 0 ? s.rigctl_port : 4532);
    rigctlPort_->setEnabled(s.rigctl_port > 0);
    listen_->setText(s.rigctl_listen);
    trust_->setText(s.rigctl_trust.value_or(QLatin1String(rigaccess::kDefaultTrust)));
    allow_->setText(s.rigctl_allow);
    fillPasswords();
    web_->setChecked(s.web_port > 0);
    webPort_->setValue(s.web_port > 0 ? s.web_port : 8535);
    webPort_->setEnabled(s.web_port > 0);
    followDial_->setChecked(s.follow_dial);
    lineTrace_->setChecked(s.line_trace);
    panelMeter_->setChecked(s.panel_meter);
    highContrast_->setChecked(s.high_contrast);
    skedBase_->setText(s.sked_base);
    skedWeekly_->setChecked(s.sked_weekly);
    fillSources();
    recFormat_->setCurrentIndex(qMax(0, recFormat_->findData(s.rec_format)));
    filling_ = false;
}

void setup::fillSources()
{
    const bool wasFilling = filling_;
    filling_ = true;
    const QString chosen = app_.settings.rec_source.isEmpty() ? QStringLiteral("default")
                                                              : app_.settings.rec_source;
    recSource_->clear();
    std::vector<audioinput::SourceInfo> list;
    QString err;
    if (!audioinput::listSources(&list, &err, 1500)) {
        list = {{QStringLiteral("default"), QStringLiteral("The sound server's default input")}};
        recNote_->setText(err);
    }
    for (const auto &i : list)
        recSource_->addItem(i.name == QLatin1String("default") ? i.name : i.description + QStringLiteral(" (") + i.name + QLatin1Char(')'),
                            i.name);
    if (recSource_->findData(chosen) < 0)
        recSource_->addItem(chosen, chosen);
    recSource_->setCurrentIndex(recSource_->findData(chosen));
    filling_ = wasFilling;
}

void setup::testInput()
{
    if (probe_ && probe_->running())
        return;
    probeDir_ = std::make_unique<QTemporaryDir>();
    probe_ = std::make_unique<Recorder>();
    connect(probe_.get(), &Recorder::ended, this, &setup::probeEnded);
    const QString name = recSource_->currentData().toString();
    std::unique_ptr<AudioSource> src = app_.rec ? app_.rec->makeSource(name) : audioinput::makeSource(name);
    Recorder::Options o;
    o.path = probeDir_->filePath(QStringLiteral("test.wav"));
    o.format = recfiles::Format::Wav;
    o.maxFrames = 3 * o.rate;
    QString err;
    probePeak_ = 0;
    if (!probe_->start(std::move(src), o, &err)) {
        recNote_->setText(err);
        probe_.reset();
        return;
    }
    recNote_->setText(QStringLiteral("Listening to %1 for 3 seconds ...").arg(name));
    recTest_->setEnabled(false);
    probeTick_->start();
}

void setup::probeEnded(const QString &reason)
{
    probeTick_->stop();
    recTest_->setEnabled(true);
    recLevel_->setValue(0);
    if (!reason.isEmpty()) {
        recNote_->setText(QString(reason).section(QLatin1Char('\n'), 0, 0));
        return;
    }
    const double db = probePeak_ > 0 ? 20 * std::log10(double(probePeak_)) : -99;
    recNote_->setText(probePeak_ <= 0.001f
                          ? QStringLiteral("The input was silent: check the cable and the input's volume.")
                          : QStringLiteral("Input peak %1 dB of full scale%2.")
                                .arg(QString::number(db, 'f', 0))
                                .arg(db > -1 ? QStringLiteral(": too loud, turn the input down")
                                             : db < -30 ? QStringLiteral(": quiet, turn the input up")
                                                        : QString()));
}

setup::~setup()
{
    if (probe_)
        probe_->stop();
}

void setup::fillPasswords()
{
    const Settings &s = app_.settings;
    password_->clear();
    readonly_->clear();
    password_->setPlaceholderText(s.rigctl_password.isEmpty()
                                      ? QStringLiteral("none")
                                      : QStringLiteral("set (type to change)"));
    readonly_->setPlaceholderText(s.rigctl_readonly_password.isEmpty()
                                      ? QStringLiteral("none")
                                      : QStringLiteral("set (type to change)"));
}

bool setup::checkNetField(QLineEdit *field)
{
    Settings &s = app_.settings;
    const QString text = field->text().trimmed();
    QString why;
    if (field == password_ || field == readonly_) {
        // Only its hash is kept; the field is emptied at once.
        const QByteArray typed = field->text().toUtf8();
        field->clear();
        if (typed.isEmpty())
            return true;
        why = rigaccess::passwordProblem(typed);
        if (why.isEmpty()) {
            (field == password_ ? s.rigctl_password : s.rigctl_readonly_password) =
                rigaccess::hashPassword(typed);
            fillPasswords();
            return true;
        }
    } else if (field == listen_) {
        if (!QHostAddress(text).isNull()) {
            s.rigctl_listen = text;
            return true;
        }
        why = QStringLiteral("\"%1\" is no IP address (such as 127.0.0.1 or 0.0.0.0).").arg(text);
        field->setText(s.rigctl_listen);
    } else if (rigaccess::NetList::parse(text, &why)) {
        if (field == trust_)
            s.rigctl_trust = text == QLatin1String(rigaccess::kDefaultTrust)
                                 ? std::nullopt
                                 : std::optional<QString>(text);
        else
            s.rigctl_allow = text;
        return true;
    } else {
        why += QLatin1Char('.');
        field->setText(field == trust_
                           ? s.rigctl_trust.value_or(QLatin1String(rigaccess::kDefaultTrust))
                           : s.rigctl_allow);
    }
    const bool nested = checking_;
    checking_ = true;
    QPointer<QLineEdit> keep(field);
    app_.prompter->message(why, QStringLiteral("Network"), Prompter::Exclamation, Prompter::Ok);
    if (keep) {
        keep->setFocus(Qt::OtherFocusReason);
        keep->selectAll();
    }
    checking_ = nested;
    return false;
}

bool setup::checkField(QLineEdit *field)
{
    using namespace settingsrules;
    if (field == listen_ || field == trust_ || field == allow_ || field == password_ ||
        field == readonly_)
        return checkNetField(field);
    if (field == skedBase_)
        return checkSkedBase();
    Settings &s = app_.settings;
    const QString text = field->text();
    FieldCheck c;
    if (field == dir_) {
        c = checkDir(text);
        s.base_dir = c.stored;
    } else if (field == lat_) {
        c = checkLat(text);
        s.rx_lat = c.stored;
    } else if (field == long_) {
        c = checkLong(text);
        s.rx_long = c.stored;
    } else if (field == td_) {
        c = checkTd(text);
        s.setLtMinusUtc(c.value);
    } else {
        int i = 0;
        while (i < 4 && dim_[i] != field)
            ++i;
        if (i == 4)
            return true;
        c = checkDim(i, text);
        s.setDim(i, c.value);
    }
    if (field->text() != c.shown)
        field->setText(c.shown);
    if (c.ok)
        return true;
    // The field shows its default now, and memory holds what it shows,
    // whether or not the focus comes back to the field after the message.
    if (field == dir_)
        s.base_dir = checkDir(c.shown).stored;
    else if (field == lat_)
        s.rx_lat = c.shown;
    else if (field == long_)
        s.rx_long = c.shown;
    else if (field == td_)
        s.setLtMinusUtc(checkTd(c.shown).value);
    else
        for (int i = 0; i < 4; ++i)
            if (dim_[i] == field)
                s.setDim(i, checkDim(i, c.shown).value);
    const bool nested = checking_;
    checking_ = true;
    QPointer<QLineEdit> keep(field);
    app_.prompter->message(c.message, c.title, Prompter::Exclamation, Prompter::Ok);
    if (keep) {
        keep->setFocus(Qt::OtherFocusReason);
        keep->selectAll();
    }
    checking_ = nested;
    return false;
}

bool setup::checkSkedBase()
{
    const QString text = skedBase_->text().trimmed();
    const QUrl url(text);
    if (url.isValid() && !url.host().isEmpty() &&
        (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))) {
        app_.settings.sked_base = text;
        return true;
    }
    skedBase_->setText(app_.settings.sked_base);
    const bool nested = checking_;
    checking_ = true;
    app_.prompter->message(QStringLiteral("Schedule address: \"%1\" is no web address "
                                          "(http://... or https://...).\n%2 is kept.")
                               .arg(text, app_.settings.sked_base),
                           QStringLiteral("Set Up"), Prompter::Exclamation);
    checking_ = nested;
    skedBase_->setFocus();
    return false;
}

bool setup::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !checking_ && !filling_) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        // Another window taking the focus (a message box, another program)
        // is not leaving the field.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (auto *field = qobject_cast<QLineEdit *>(watched))
                checkField(field);
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool setup::commitFocused()
{
    auto *field = qobject_cast<QLineEdit *>(focusWidget());
    if (!field || field->window() != this)
        return true;
    return checkField(field);
}

void setup::reset()
{
    if (busy_)
        return;
    busy_ = true;
    const QString path = app_.settings.base_dir + QLatin1String(settingsfile::fileName);
    Settings fresh;
    QString error;
    QStringList notes;
    bool ok;
    {
        BusyGuard hourglass;
        ok = settingsfile::load(path, &fresh, &error, &notes);
    }
    if (ok && !notes.isEmpty())
        app_.prompter->message(settingsfile::rangeMessage(path, notes),
                               QLatin1String(settingsfile::fileName), Prompter::Exclamation);
    if (!ok) {
        app_.prompter->message(error + QStringLiteral("\nThe settings shown are kept."),
                               QStringLiteral("Reset"), Prompter::Exclamation, Prompter::Ok);
    } else {
        app_.settings = fresh;
        fill();
        update();
    }
    busy_ = false;
}

void setup::ok()
{
    if (!commitFocused())
        return;
    accept();
}

void setup::reject()
{
    // Escape and the frame's close button close without writing: the edits
    // stay in memory, as OK leaves them.
    if (!commitFocused())
        return;
    QDialog::reject();
}

void setup::save()
{
    if (busy_ || !commitFocused())
        return;
    // Another program's (or an editor's) changes to the file are not
    // written over without a word.
    if (textfile::askIfChanged(*app_.prompter, app_.settingsPath, QStringLiteral("Save INI"), false)
        != textfile::OnChanged::Replace)
        return;
    busy_ = true;
    QString error;
    bool ok;
    {
        BusyGuard hourglass;
        // The file read at start (so the next start finds what is saved) and,
        // when Dir Path names another folder, a copy there.
        ok = settingsfile::saveAll(&app_.settings, app_.settingsPath, nullptr, &error);
    }
    busy_ = false;
    if (!ok) {
        // Keep the dialog open so that another folder can be chosen.
        fill();
        app_.prompter->message(error, QStringLiteral("Save INI"), Prompter::Exclamation,
                               Prompter::Ok);
        return;
    }
    accept();
    app_.prompter->message(QStringLiteral("New INI data is now saved"), QStringLiteral("Save INI"),
                           Prompter::Exclamation, Prompter::Ok);
}
