// Program start: options, the seams, the settings, the start window and the
// GO sequence that opens the receiver link and the control panel.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "link/app.h"
#include "net/rigaccess.h"

#include "panel/ui/rxctrl2.h"
#include "panel/ui/windowregistry.h"
#include "settings/ui/welcome2.h"

class Receiver2;
class RecSession;
class RigServer;
class WebAccess;
class WebRemote;
class SimRadio;
class SkedFetch;
class QWidget;

struct Options {
    QString port;        // "" = from the settings; "sim" = the built-in receiver
    bool demo = false;   // simulated receiver + the demo's own base directory
    bool reset = false;  // with demo: that directory made afresh (the old one kept)
    bool help = false;
    bool version = false;
    int rigctlPort = 0;  // the rig-control network server's port; 0 = off
    // The server's address, the addresses that need no password, those
    // that may connect, and the passwords from their files (hashed as soon
    // as read): nullopt = the set-up's.
    std::optional<QString> rigctlListen, rigctlTrust, rigctlAllow, rigctlPassword,
        rigctlReadonlyPassword;
    int webPort = 0;     // the web remote's port; 0 = the set-up's choice
    QString webListen = QStringLiteral("127.0.0.1");
    QString webCert, webKey; // TLS for the web remote (PEM files)
    QString trace;       // the line trace's file ("" = the set-up's choice)
    QString error;       // a bad command line

    static Options parse(const QStringList &args);
    static QString usage();
};

class Program : public QObject {
    Q_OBJECT
public:
    // The seams must outlive the program object.
    Program(const Options &opt, Clock *clock, Prompter *prompter, Launcher *launcher);
    ~Program() override;

    // Reads the settings (or sets up the demo / a first run). Returns false
    // when the program cannot start; the reason is in *error.
    bool loadSettings(QString *error, bool *firstRun = nullptr);
    // Shows the start window.
    void showWelcome();
    // The GO sequence. False when GO already ran or the port did not open
    // (after the "RS232 Communication Error" box). Otherwise the first
    // contact with the receiver is a job on the line: goState() is
    // Contacting until its reply came (Running: the panel shows) or did not
    // (Failed, after the error box); goFinished tells the end.
    bool go();
    enum class GoState { Idle, Contacting, Running, Failed };
    GoState goState() const { return goState_; }

    // The serial device GO opens: --port, else the device chosen in set-up,
    // else the numbered port of the settings.
    QString portDevice() const;

    App &app() { return app_; }
    rxctrl2 *panel() const { return panel_; }
    welcome2 *welcome() const { return welcome_; }
    SimRadio *simRadio() const;
    RigServer *rigServer() const { return rig_.get(); }
    WebRemote *webRemote() const { return web_.get(); }
    // The windows the menus open (after GO).
    WindowRegistry *windows() const { return windows_; }
    // Brings the running program in line with the set-up's choices (after
    // GO and after the set-up dialog): starts, stops or moves the
    // rig-control server, and follows the receiver's dial or not.
    void applySettings();
    // SIGINT, SIGTERM or SIGHUP: the program ends as Exit does, without its
    // questions (nobody may be there to answer): the windows' jobs stop
    // between their steps, the receiver is released, the port is closed.
    void endBySignal(int signal);
    // What the start window's status line says ("Demo folder: ...").
    QString statusText() const { return status_; }

signals:
    void goFinished(bool running);

public:
    // Called to end the program (tests replace it).
    std::function<void(int code)> quit;
    // Makes the port at GO (tests hand in their own); the program owns it.
    std::function<Port *()> portFactory;

private:
    Port *makePort();
    // Registers every window with the menu item that opens it.
    void wireMenus();
    // A measuring window's menu item is off while another one is open.
    void updateMeasureMenus();
    void commError(const QString &reason);
    // The end of GO: the panel shows, or the error box when the receiver
    // did not answer.
    void finishGo(bool answered);
    void tellRanges(const QString &path, const QStringList &notes);

    Options opt_;
    App app_;
    std::unique_ptr<Receiver2> rx_;
    std::unique_ptr<RigServer> rig_;
    std::unique_ptr<RecSession> rec_; // recordings (Rec button, timer)
    // The rig-control server as wanted: the command line's values at start,
    // each replaced by the set-up's once that changes.
    struct NetWant {
        int port = 0; // 0 = off
        QString listen, trust, allow, password, readonlyPassword;
        bool operator==(const NetWant &) const = default;
    };
    NetWant setupNet() const;
    // Starts, stops, moves the rig-control server or hands it new rules.
    void applyNet();
    std::optional<NetWant> netStart_;   // the set-up's at the first apply
    std::optional<NetWant> netApplied_; // last started (or tried)
    unsigned netChanged_ = 0;           // the set-up's values changed since start (bits)
    // Who may use the rig-control server and the web remote: one set of
    // rules and one count of wrong passwords for both.
    rigaccess::Gate gate_;
    std::unique_ptr<WebAccess> webAccess_;
    std::unique_ptr<WebRemote> web_;
    // The web remote as last started (or tried): port (0 = off), and
    // whether a password was set then.
    struct WebWant {
        int port = 0;
        bool password = false;
        bool operator==(const WebWant &) const = default;
    };
    std::optional<WebWant> webApplied_;
    // Starts, stops or moves the web remote; it stops when it listens
    // beyond this computer and the passwords are gone.
    void applyWeb();
    // The weekly look for a newer schedule (set-up): after GO, at most once a
    // week, a quiet HEAD request; a newer file is told by a notice.
    void checkSchedule();
    std::unique_ptr<SkedFetch> skedCheck_;
    bool following_ = false;
    QString status_;
    bool ending_ = false; // a signal asked the program to end
    QPointer<welcome2> welcome_;
    QPointer<rxctrl2> panel_;
    QPointer<Port> port_;
    QPointer<WindowRegistry> windows_; // the panel's child: goes with it
    bool going_ = false; // the GO sequence has started
    GoState goState_ = GoState::Idle;
    std::unique_ptr<class BusyGuard> busy_; // the hourglass during the first contact
};

// Copies data/demo into dir (a fresh demo base directory); a file already
// there is left as it is.
bool copyDemoData(const QString &dir, QString *error);
// The demo's own base directory, kept between runs: $VORANTIS_DEMO_DIR, else
// "vorantis/demo" in the user's data folder (~/.local/share/vorantis/demo).
QString demoFolder();
// Makes dir from the demo data when it is missing or empty. With reset an
// existing dir is first moved aside as dir + "-yyyyMMdd-hhmmss" (made at now):
// nothing in it is deleted. *note says what was done (empty: dir was used as
// it was). False with *error when dir cannot be made.
bool prepareDemoFolder(const QString &dir, bool reset, const QDateTime &now, QString *note,
                       QString *error);
// Where the demo data lives (next to the program, else the source tree).
QString demoDataDir();
// The user guide (installed beside the program, else the source tree's).
QString guideFile();
