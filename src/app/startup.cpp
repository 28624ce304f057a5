#include "app/startup.h"

#include "record/recsession.h"

#include "common/endsignals.h"
#include "common/ui/busy.h"
#include "link/receiver2.h"
#include "link/serialport.h"
#include "measure/gate.h"
#include "measure/ui/prophist.h"
#include "measure/ui/proptime.h"
#include "measure/ui/smeter.h"
#include "measure/ui/spectrum.h"
#include "logbook/ui/logwin.h"
#include "memory/ui/memman.h"
#include "net/rigaccess.h"
#include "net/rigserver.h"
#include "app/gateaccess.h"
#include "web/webremote.h"
#include "panel/ui/rxctrl2.h"
#include "schedules/ui/bdxc.h"
#include "schedules/ui/db2rx.h"
#include "schedules/ui/ilgwindow.h"
#include "schedules/ui/trackwindow.h"
#include "schedules/skedfetch.h"
#include "schedules/ui/own.h"
#include "settings/settings.h"
#include "settings/ui/setup.h"
#include "settings/ui/welcome2.h"
#include "sim/simport.h"
#include "timer/ui/rxtimer.h"
#include "utilities/ui/rxclocks.h"
#include "utilities/ui/rttywin.h"
#include "utilities/ui/userdef.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QStandardPaths>
#include <QThread>
#include <QHostAddress>
#include <QTimer>
#include <cstdio>

namespace {

// The value of a port option: a number from 1 to 65535.
bool parsePort(const QString &option, const QString &v, int *port, QString *error)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    if (!ok || n < 1 || n > 65535) {
        *error = QStringLiteral("%1 needs a port number from 1 to 65535").arg(option);
        return false;
    }
    *port = n;
    return true;
}

// The value of a listen option: an IP address (into a QString or an
// optional one).
template <class Address>
bool parseAddress(const QString &option, const QString &v, Address *address, QString *error)
{
    if (QHostAddress(v).isNull()) {
        *error = QStringLiteral("%1 needs an IP address, not %2").arg(option, v);
        return false;
    }
    *address = v;
    return true;
}

} // namespace

Options Options::parse(const QStringList &args)
{
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (a == QLatin1String("--port")) {
            if (i + 1 >= args.size()) {
                o.error = QStringLiteral("--port needs a device (e.g. /dev/ttyUSB0) or \"sim\"");
                return o;
            }
            o.port = args.at(++i);
        } else if (a.startsWith(QLatin1String("--port="))) {
            o.port = a.mid(7);
        } else if (QStringList{"--rigctl-port", "--rigctl-listen", "--rigctl-trust",
                               "--rigctl-allow", "--rigctl-password-file",
                               "--rigctl-readonly-password-file"}
                       .contains(a)) {
            if (i + 1 >= args.size()) {
                o.error = QStringLiteral("%1 needs a value").arg(a);
                return o;
            }
            const QString v = args.at(++i);
            QString why;
            if (a == QLatin1String("--rigctl-listen")) {
                if (!parseAddress(a, v, &o.rigctlListen, &o.error))
                    return o;
            } else if (a == QLatin1String("--rigctl-port")) {
                if (!parsePort(a, v, &o.rigctlPort, &o.error))
                    return o;
            } else if (a == QLatin1String("--rigctl-trust") ||
                       a == QLatin1String("--rigctl-allow")) {
                if (!rigaccess::NetList::parse(v, &why)) {
                    o.error = QStringLiteral("%1: %2").arg(a, why);
                    return o;
                }
                (a == QLatin1String("--rigctl-trust") ? o.rigctlTrust : o.rigctlAllow) =
                    v.trimmed();
            } else {
                // Only the hash is kept.
                QByteArray password;
                if (!rigaccess::readPasswordFile(v, &password, &why)) {
                    o.error = why;
                    return o;
                }
                (a == QLatin1String("--rigctl-password-file") ? o.rigctlPassword
                                                              : o.rigctlReadonlyPassword) =
                    rigaccess::hashPassword(password);
                password.fill('\0');
            }
        } else if (a == QLatin1String("--web-port") || a == QLatin1String("--web-listen") ||
                   a == QLatin1String("--web-cert") || a == QLatin1String("--web-key")) {
            if (i + 1 >= args.size()) {
                o.error = QStringLiteral("%1 needs a value").arg(a);
                return o;
            }
            const QString v = args.at(++i);
            if (a == QLatin1String("--web-port")) {
                if (!parsePort(a, v, &o.webPort, &o.error))
                    return o;
            } else if (a == QLatin1String("--web-listen")) {
                if (!parseAddress(a, v, &o.webListen, &o.error))
                    return o;
            } else {
                (a == QLatin1String("--web-cert") ? o.webCert : o.webKey) = v;
            }
        } else if (a == QLatin1String("--trace") || a.startsWith(QLatin1String("--trace="))) {
            if (a.startsWith(QLatin1String("--trace=")))
                o.trace = a.mid(8);
            else if (i + 1 < args.size())
                o.trace = args.at(++i);
            if (o.trace.isEmpty()) {
                o.error = QStringLiteral("--trace needs a file name");
                return o;
            }
        } else if (a == QLatin1String("--demo")) {
            o.demo = true;
        } else if (a == QLatin1String("--reset")) {
            o.reset = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else {
            o.error = QStringLiteral("unknown option: %1").arg(a);
            return o;
        }
    }
    if (o.reset && !o.demo) {
        o.error = QStringLiteral("--reset goes with --demo");
        return o;
    }
    if (o.webCert.isEmpty() != o.webKey.isEmpty()) {
        o.error = QStringLiteral("--web-cert and --web-key go together");
        return o;
    }
    if (o.demo && o.port.isEmpty())
        o.port = QStringLiteral("sim");
    return o;
}

QString Options::usage()
{
    return QStringLiteral(
        "Usage: vorantis [--port DEVICE | --port sim] [--demo [--reset]] [--version]\n"
        "                [--rigctl-port N] [--rigctl-listen ADDR] [--rigctl-trust LIST]\n"
        "                [--rigctl-allow LIST] [--rigctl-password-file FILE]\n"
        "                [--rigctl-readonly-password-file FILE] [--trace FILE]\n"
        "                [--web-port N] [--web-listen ADDR] [--web-cert FILE --web-key FILE]\n"
        "  --port DEVICE  the receiver's serial line, e.g. /dev/ttyUSB0 (overrides the\n"
        "                 port number of the settings; a relative path is taken from\n"
        "                 the working folder)\n"
        "  --port sim     the built-in simulated receiver\n"
        "  --demo         the simulated receiver with the demo's own data folder,\n"
        "                 ~/.local/share/vorantis/demo (or $VORANTIS_DEMO_DIR), made\n"
        "                 from the demo data on the first run and kept between runs,\n"
        "                 with the logs, lists and files you make in it; your own\n"
        "                 settings and files are not touched\n"
        "  --reset        with --demo: make the demo folder afresh from the demo data;\n"
        "                 the old one is kept beside it as demo-YYYYMMDD-hhmmss\n"
        "  --version      print the version and end\n"
        "  --rigctl-port N     let other programs read and set the receiver over the\n"
        "                      rig-control network protocol on TCP port N (4532 is usual)\n"
        "  --rigctl-listen ADDR  the address it listens on (default 127.0.0.1); beyond\n"
        "                      this computer only with a password\n"
        "  --rigctl-trust LIST   addresses and networks that need no password, such as\n"
        "                      \"127.0.0.1,::1\" (the default) or \"192.168.1.0/24\";\n"
        "                      \"\" trusts nobody\n"
        "  --rigctl-allow LIST   the networks that may connect at all (default: any);\n"
        "                      others are closed at once\n"
        "  --rigctl-password-file FILE  the full-control password, the file's first line\n"
        "  --rigctl-readonly-password-file FILE  a password that only reads\n"
        "  --web-port N   use the receiver from a browser: the web remote on port N\n"
        "  --web-listen ADDR  the address it listens on (default 127.0.0.1; beyond this\n"
        "                 computer only with a password)\n"
        "  --web-cert FILE --web-key FILE  the web remote over TLS (https), PEM files\n"
        "  --trace FILE   write every command sent to the receiver and every reply,\n"
        "                 with the time in milliseconds, to FILE\n"
        "Ctrl+C, SIGTERM and SIGHUP end the program as Exit does: the work under way\n"
        "stops, the receiver is released and the port closed.\n");
}

QString demoDataDir()
{
    const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/../share/vorantis/demo");
    if (QFileInfo::exists(beside))
        return beside;
    return QStringLiteral(VORANTIS_DATA_DIR "/demo");
}

QString guideFile()
{
    const QString beside = QCoreApplication::applicationDirPath()
                           + QStringLiteral("/../share/doc/vorantis/user-guide.md");
    if (QFileInfo::exists(beside))
        return beside;
    return QStringLiteral(VORANTIS_DOC_DIR "/user-guide.md");
}

QString demoFolder()
{
    const QString env = qEnvironmentVariable("VORANTIS_DEMO_DIR");
    if (!env.isEmpty())
        return QDir::cleanPath(QDir::current().absoluteFilePath(env));
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/vorantis/demo");
}

bool prepareDemoFolder(const QString &dir, bool reset, const QDateTime &now, QString *note,
                       QString *error)
{
    note->clear();
    const QDir d(dir);
    const bool there = d.exists() && !d.isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (there && !reset)
        return true;
    QString backup;
    if (there) {
        // Made afresh: the old folder is moved aside whole, never emptied.
        const QString stem = QDir::cleanPath(dir) + now.toString(QStringLiteral("-yyyyMMdd-HHmmss"));
        backup = stem;
        for (int n = 2; QFileInfo::exists(backup); ++n)
            backup = stem + QStringLiteral("-%1").arg(n);
        if (!QDir().rename(dir, backup)) {
            *note = QStringLiteral("It could not be made afresh: moving it aside to %1 failed, so it "
                                   "is used as it was.")
                        .arg(QDir::toNativeSeparators(backup));
            return true;
        }
    }
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("The demo folder %1 cannot be made.").arg(QDir::toNativeSeparators(dir));
        return false;
    }
    if (!copyDemoData(dir, error))
        return false;
    *note = backup.isEmpty() ? QStringLiteral("Made from the demo data.")
                             : QStringLiteral("Made afresh from the demo data; the old one is kept as %1.")
                                   .arg(QDir::toNativeSeparators(backup));
    return true;
}

bool copyDemoData(const QString &dir, QString *error)
{
    const QString src = demoDataDir();
    if (!QFileInfo::exists(src)) {
        if (error)
            *error = QStringLiteral("The demo data folder %1 is missing.").arg(src);
        return false;
    }
    QDir out(dir);
    for (const QString &s : settingsfile::dataSubdirs())
        out.mkpath(s);
    QDirIterator it(src, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        const QString rel = QDir(src).relativeFilePath(f);
        out.mkpath(QFileInfo(rel).path());
        if (QFileInfo::exists(out.filePath(rel)))
            continue; // never over a file of the user's
        if (!QFile::copy(f, out.filePath(rel))) {
            if (error)
                *error = QStringLiteral("The demo file %1 could not be copied to %2.").arg(f, dir);
            return false;
        }
        QFile::setPermissions(out.filePath(rel), QFile::ReadOwner | QFile::WriteOwner);
    }
    return true;
}

Program::Program(const Options &opt, Clock *clock, Prompter *prompter, Launcher *launcher)
    : opt_(opt)
{
    app_.clock = clock;
    app_.prompter = prompter;
    app_.launcher = launcher;
    app_.guide_file = guideFile();
    app_.guide_doc = demoDataDir() + QStringLiteral("/VRTSV6.doc");
    rx_ = std::make_unique<Receiver2>(app_);
    rec_ = std::make_unique<RecSession>(app_);
    app_.rec = rec_.get();
    gate_.traceTo = [this]() -> LineOwner * { return app_.rx; };
    quit = [](int code) { QCoreApplication::exit(code); };
}

Program::~Program()
{
    // A timer run still on gives the receiver back while the port is there.
    if (windows_)
        windows_->deleteAll(/*endsFirstOnly=*/true);
    rig_.reset();
    web_.reset();
    rx_->setPort(nullptr);
    if (windows_)
        windows_->deleteAll();
    delete panel_;
    delete welcome_;
    delete port_;
    // A recording still running is closed properly.
    app_.rec = nullptr;
    rec_.reset();
}

bool Program::loadSettings(QString *error, bool *firstRun)
{
    if (firstRun)
        *firstRun = false;
    if (opt_.demo) {
        // The demo's own folder, kept between runs with what was made in it.
        const QString dir = demoFolder();
        QString note;
        if (!prepareDemoFolder(dir, opt_.reset, app_.clock ? app_.clock->now() : QDateTime::currentDateTime(),
                               &note, error))
            return false;
        for (const QString &sub : settingsfile::dataSubdirs())
            QDir(dir).mkpath(sub);
        app_.demo_dir = dir;
        status_ = QStringLiteral("Demo folder: %1").arg(QDir::toNativeSeparators(dir));
        if (!note.isEmpty())
            status_ += QLatin1Char('\n') + note;
        const QString ini = dir + QStringLiteral("/VRTSV6.INI");
        Settings s = settingsfile::defaults();
        QStringList notes;
        if (QFileInfo::exists(ini))
            settingsfile::load(ini, &s, error, &notes);
        tellRanges(ini, notes);
        s.base_dir = dir + QLatin1Char('/');
        s.setNoRx(false); // the simulated receiver answers
        app_.settings = s;
        app_.settingsPath = s.base_dir + QLatin1String(settingsfile::fileName);
        settingsfile::save(&app_.settings, error);
        return true;
    }
    QString path = settingsfile::locate();
    if (path.isEmpty()) {
        if (!settingsfile::createDefault(&path, error))
            return false;
        if (firstRun)
            *firstRun = true;
    }
    Settings s;
    QStringList notes;
    if (!settingsfile::load(path, &s, error, &notes))
        return false;
    app_.settings = s;
    app_.settingsPath = path;
    tellRanges(path, notes);
    return true;
}

void Program::tellRanges(const QString &path, const QStringList &notes)
{
    if (!notes.isEmpty() && app_.prompter)
        app_.prompter->message(settingsfile::rangeMessage(path, notes),
                               QLatin1String(settingsfile::fileName), Prompter::Exclamation);
}

void Program::showWelcome()
{
    welcome_ = new welcome2(app_);
    connect(welcome_, &welcome2::goRequested, this, [this] {
        if (!go())
            return;
    });
    connect(welcome_, &welcome2::exitRequested, this, [this] { quit(0); });
    welcome_->setStatus(status_);
    welcome_->show();
}

SimRadio *Program::simRadio() const
{
    auto *sp = qobject_cast<SimPort *>(port_.data());
    return sp ? sp->radio() : nullptr;
}

Port *Program::makePort()
{
    if (portFactory)
        return portFactory();
    if (opt_.port == QLatin1String("sim"))
        return new SimPort();
    return new SerialPort(portDevice());
}

QString Program::portDevice() const
{
    if (!opt_.port.isEmpty())
        return opt_.port;
    if (!app_.settings.port_device.isEmpty())
        return app_.settings.port_device;
    return SerialPort::deviceForNumber(app_.settings.portNumber());
}

void Program::commError(const QString &reason)
{
    if (welcome_)
        welcome_->setEnabled(true); // the box may be its child
    if (!reason.isEmpty())
        std::fprintf(stderr, "vorantis: %s\n", qPrintable(reason));
    // The described text stays as it is; why the port failed is in the
    // details.
    app_.prompter->messageWithDetails(QStringLiteral("Please check wether :\n"
                                                     "1. The cable between RX and PC is OK\n"
                                                     "2. The RX is switched-on\n"
                                                     "3. The right Comm port is selected and free\n"
                                                     "and try again"),
                                      QStringLiteral("RS232 Communication Error"), Prompter::NoIcon,
                                      reason);
    quit(1);
}

bool Program::go()
{
    // GO runs once: a second GO (a click or Enter while the first contact is
    // still waiting for the receiver) would make a second panel and port.
    if (going_ || panel_)
        return false;
    going_ = true;
    if (welcome_)
        welcome_->setEnabled(false);
    busy_ = std::make_unique<BusyGuard>();
    // Load the control panel without showing it.
    panel_ = new rxctrl2(app_);
    panel_->exitHook = quit;
    panel_->mayEnd = [this] {
        LogWindow *log = windows_ ? windows_->find<LogWindow>() : nullptr;
        return !log || log->may_leave();
    };
    wireMenus();
    port_ = makePort();
    rx_->setPort(port_);
    QString err;
    const QString tracePath = !opt_.trace.isEmpty() ? opt_.trace
                              : app_.settings.line_trace ? app_.settings.base_dir + QStringLiteral("linetrace.txt")
                                                         : QString();
    if (!tracePath.isEmpty() && !rx_->setTraceFile(tracePath, &err))
        app_.prompter->message(QStringLiteral("The line trace cannot be written:\n") + err,
                               QStringLiteral("Line trace"), Prompter::Exclamation);
    err.clear();
    if (!port_->open(&err)) {
        busy_.reset();
        goState_ = GoState::Failed;
        commError(err);
        return false;
    }
    goState_ = GoState::Contacting;
    if (app_.settings.noRx()) {
        if (auto *u = panel_->findChild<QAction *>(QStringLiteral("mnu_update")))
            u->setEnabled(false);
        finishGo(true);
        return true;
    }
    // A line lost during the first contact is told once, by the error box.
    rx_->muteLossReport(true);
    rx_->submit(
        [this]() -> rxjob::Task<> {
            // A reply that could not be read is told, and the panel starts:
            // the receiver is there.
            const bool read = co_await rx_->aRefresh(Receiver2::Tell::Unreadable);
            finishGo(read || rx_->lastRefreshAnswered());
        },
        true, this);
    return true;
}

void Program::finishGo(bool answered)
{
    rx_->muteLossReport(false);
    busy_.reset();
    if (ending_) {
        // A signal came during the first contact: nothing more is shown, and
        // the program ends once the contact's bracket has closed.
        goState_ = answered ? GoState::Running : GoState::Failed;
        emit goFinished(false);
        rx_->submit(
            [this]() -> rxjob::Task<> {
                quit(0);
                co_return;
            },
            false, this);
        return;
    }
    if (!answered) {
        goState_ = GoState::Failed;
        commError(QStringLiteral("%1: the receiver did not answer").arg(port_ ? port_->name() : QString()));
        emit goFinished(false);
        return;
    }
    goState_ = GoState::Running;
    if (welcome_)
        welcome_->close();
    panel_->show();
    applySettings();
    checkSchedule();
    emit goFinished(true);
}

void Program::checkSchedule()
{
    const Settings &s = app_.settings;
    if (!s.sked_weekly || skedCheck_)
        return;
    const QDateTime now = (app_.clock ? app_.clock->now() : QDateTime::currentDateTime()).toUTC();
    if (!sked::weeklyDue(s.base_dir, now))
        return;
    sked::markChecked(s.base_dir, now);
    const QString name = sked::seasonFile(now.date());
    skedCheck_ = std::make_unique<SkedFetch>();
    skedCheck_->regionCodes = app_.cap.region_codes;
    connect(skedCheck_.get(), &SkedFetch::finished, this,
            [this](SkedFetch::Outcome o, const QString &text) {
                // Quiet: only a newer file is told, by a notice that waits
                // for nobody; a failed look is a line on stderr.
                if (o == SkedFetch::Outcome::Newer || o == SkedFetch::Outcome::Failed)
                    std::fprintf(stderr, "vorantis: %s\n", qPrintable(QString(text).replace('\n', ' ')));
                if (o == SkedFetch::Outcome::Newer)
                    app_.prompter->notice(text, QStringLiteral("Schedule update"), Prompter::Information);
                skedCheck_.release()->deleteLater();
            });
    skedCheck_->check(sked::fileUrl(s.sked_base, name), sked::csvDir(s.base_dir) + name);
}

void Program::applySettings()
{
    applyNet();
    applyWeb();
    const bool follow = app_.settings.follow_dial && !app_.settings.noRx();
    if (follow != following_) {
        following_ = follow;
        rx_->wantReports(follow, true);
    }
}

void Program::applyNet()
{
    // The command line wins at start; a change in the set-up wins after,
    // value by value.
    const NetWant now = setupNet();
    if (!netStart_)
        netStart_ = now;
    const NetWant &start = *netStart_;
    const auto setupChanged = [&](int bit, bool differs) {
        if (differs)
            netChanged_ |= 1u << bit;
        return (netChanged_ >> bit) & 1u;
    };
    NetWant want = now;
    if (!setupChanged(0, now.port != start.port) && opt_.rigctlPort > 0)
        want.port = opt_.rigctlPort;
    const std::pair<QString NetWant::*, const std::optional<QString> *> fromCli[] = {
        {&NetWant::listen, &opt_.rigctlListen},
        {&NetWant::trust, &opt_.rigctlTrust},
        {&NetWant::allow, &opt_.rigctlAllow},
        {&NetWant::password, &opt_.rigctlPassword},
        {&NetWant::readonlyPassword, &opt_.rigctlReadonlyPassword},
    };
    int bit = 1;
    for (const auto &[field, cli] : fromCli)
        if (!setupChanged(bit++, now.*field != start.*field) && *cli)
            want.*field = **cli;
    if (netApplied_ && want == *netApplied_)
        return;
    const bool restart =
        !netApplied_ || want.port != netApplied_->port || want.listen != netApplied_->listen;
    netApplied_ = want;

    QString err;
    rigaccess::Policy policy;
    const std::optional<rigaccess::NetList> trust = rigaccess::NetList::parse(want.trust, &err);
    const std::optional<rigaccess::NetList> allow =
        trust ? rigaccess::NetList::parse(want.allow, &err) : std::nullopt;
    if (trust && allow) {
        policy.trust = *trust;
        policy.allow = *allow;
        policy.fullHash = rigaccess::isHash(want.password) ? want.password : QString();
        policy.readHash =
            rigaccess::isHash(want.readonlyPassword) ? want.readonlyPassword : QString();
    } else {
        err = QStringLiteral("The rig-control server's list of addresses is wrong: %1").arg(err);
    }
    const QHostAddress address(want.listen);
    if (err.isEmpty() && address.isNull())
        err =
            QStringLiteral("The rig-control server's address %1 is no IP address").arg(want.listen);
    // The rules of both servers; wrong lists leave this computer only.
    gate_.policy = err.isEmpty() ? policy : rigaccess::Policy();
    if (restart || !err.isEmpty())
        rig_.reset();
    if (want.port > 0 && err.isEmpty()) {
        if (rig_) {
            // For new connections and log-ins; no password any more beyond
            // loopback stops it.
            if (!gate_.mayListen(address, &err))
                rig_.reset();
        } else {
            rig_ = std::make_unique<RigServer>(app_, &gate_);
            if (!rig_->listen(address, quint16(want.port), &err))
                rig_.reset();
        }
    }
    if (!err.isEmpty() && want.port > 0) {
        // Told without stopping anything: the program works on.
        std::fprintf(stderr, "vorantis: %s\n", qPrintable(err));
        app_.prompter->notice(err + QStringLiteral(".\nThe program works on without it."),
                              QStringLiteral("Rig-control server"), Prompter::Exclamation);
    }
}

Program::NetWant Program::setupNet() const
{
    const Settings &s = app_.settings;
    return {s.rigctl_port,
            s.rigctl_listen,
            s.rigctl_trust.value_or(QLatin1String(rigaccess::kDefaultTrust)),
            s.rigctl_allow,
            s.rigctl_password,
            s.rigctl_readonly_password};
}

void Program::endBySignal(int signal)
{
    if (ending_)
        return;
    // A question or a menu open (its loop on the stack, its window's handler
    // under it): it is closed as by Escape, and the end follows once that
    // handler has gone on, so no window is deleted under its own feet.
    if (QThread::currentThread()->loopLevel() > 1) {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        else if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->reject();
        QTimer::singleShot(20, this, [this, signal] { endBySignal(signal); });
        return;
    }
    ending_ = true;
    std::fprintf(stderr, "vorantis: %s: ending as Exit does\n", qPrintable(endsignals::name(signal)));
    if (goState_ == GoState::Contacting)
        return; // finishGo ends it once the first contact is over
    if (goState_ != GoState::Running || !panel_) {
        quit(0);
        return;
    }
    // Exit would ask about an unsaved log; nobody may be there to answer,
    // so it is kept in a file of its own.
    LogWindow *log = windows_ ? windows_->find<LogWindow>() : nullptr;
    if (log && log->book.notSaved) {
        const QString dir = app_.settings.sub(QStringLiteral("LOG")) + QStringLiteral("LOG_");
        const QDateTime now = app_.clock->now();
        QString path = dir + now.toString(QStringLiteral("yyMMdd-HHmm")) + QStringLiteral(".TXT"), err;
        if (QFileInfo::exists(path))
            path = dir + now.toString(QStringLiteral("yyMMddHHmmss")) + QStringLiteral(".TXT");
        QDir().mkpath(QFileInfo(path).path());
        if (!QFileInfo::exists(path) && log->book.save(path, &err))
            std::fprintf(stderr, "vorantis: the unsaved log is kept in %s\n", qPrintable(path));
        else
            std::fprintf(stderr, "vorantis: the unsaved log could not be kept: %s\n", qPrintable(err));
    }
    // The windows go first: a job of theirs on the line is dropped after its
    // current step, and a session they hold gives the receiver back.
    if (windows_)
        windows_->deleteAll();
    // Then Exit, without its question about an unsaved log: the release
    // goes out after the line's current job, and the program ends.
    panel_->mayEnd = nullptr;
    if (QAction *exit = panel_->menuAction(QStringLiteral("mnu_exit")))
        exit->trigger();
    else
        quit(0);
}

void Program::wireMenus()
{
    windows_ = new WindowRegistry(app_, panel_);
    WindowRegistry &w = *windows_;
    w.add<setup>("mnu_setup", {.dialog = true, .then = [this] { applySettings(); }});
    w.add<UserDef>("mnu_udefs", {.dialog = true});
    w.add<RxTimer>("mnu_timer", {.endsFirst = true});
    w.add<MemMan>("mnu_memman");
    w.add<bdxc>("mnu_bdxc");
    w.add<own>("mnu_own");
    w.add<Smeter>("mnu_Smeter", {.measuring = measuregate::Smeter});
    w.add<RxClocks>("mnu_rxclock");
    w.add<SpectrumWindow>("mnu_spectrum", {.measuring = measuregate::Spectrum});
    w.add<Proptime>("mnu_proptime", {.measuring = measuregate::Proptime});
    w.add<prophist>("mnu_prophist", {.measuring = measuregate::Prophist});
    // The panel itself says why not when the RTTY unit is not fitted.
    w.add<RttyWindow>("mnu_RTTY");
    w.add<LogWindow>("mnu_logging");
    w.add<ILG>({"mnu_convert1", "mnu_convert2"});
    w.add<ILG2Rx>("mnu_ilg");
    w.add<tracking>("mnu_tracking");
    w.add<ILGLogo>("mnu_spaties2");
    w.add<BDXCLogo>("mnu_spaties1");
    connect(windows_, &WindowRegistry::measuringChanged, this, &Program::updateMeasureMenus);
    updateMeasureMenus();
}

void Program::updateMeasureMenus()
{
    if (!panel_ || !windows_)
        return;
    const QStringList off = measuregate::disabledFor(windows_->openMeasuring());
    for (const QString &name : measuregate::items()) {
        const bool on = !off.contains(name);
        if (QAction *a = panel_->menuAction(name)) {
            a->setEnabled(on);
        } else if (auto *m = panel_->findChild<QMenu *>(name)) {
            // A submenu's item follows the submenu widget's enabled state:
            // re-enabling the panel (after a scan) would turn it on again.
            // The widget itself is switched, so the panel leaves it be.
            m->setEnabled(on);
            m->menuAction()->setEnabled(on);
        }
    }
}

void Program::applyWeb()
{
    // The command line's port wins; otherwise the set-up's, followed live.
    const WebWant want{opt_.webPort > 0 ? opt_.webPort : app_.settings.web_port,
                       gate_.policy.hasPassword()};
    if (webApplied_ && want == *webApplied_)
        return;
    const bool restart = !webApplied_ || want.port != webApplied_->port;
    webApplied_ = want;
    QString err;
    const QHostAddress address(opt_.webListen);
    if (web_ && !restart) {
        // New passwords only: the remote goes on unless it is left open
        // beyond this computer without one.
        if (webAccess_->mayListen(address, &err))
            return;
        err = QStringLiteral("The web remote stopped: %1").arg(err);
        web_.reset();
    } else {
        web_.reset();
        if (want.port <= 0)
            return;
        // Who may log in: the rig-control server's rules and passwords.
        if (!webAccess_)
            webAccess_ = std::make_unique<GateAccess>(gate_);
        web_ = std::make_unique<WebRemote>(app_, *webAccess_);
        web_->traceTo = [this](const QString &text) {
            if (app_.rx)
                app_.rx->traceNote(text);
        };
        web_->setAudioSource([this] {
            const QString name = app_.settings.rec_source;
            return app_.rec ? app_.rec->makeSource(name) : audioinput::makeSource(name);
        });
        const bool ok =
            (opt_.webCert.isEmpty() || web_->setTls(opt_.webCert, opt_.webKey, &err)) &&
            web_->listen(address, quint16(want.port), &err);
        if (ok)
            return;
        web_.reset();
    }
    // Told without stopping anything: the program works on.
    std::fprintf(stderr, "vorantis: %s\n", qPrintable(err));
    app_.prompter->notice(err + QStringLiteral(".\nThe program works on without it."),
                          QStringLiteral("Web remote"), Prompter::Exclamation);
}
