// Program start: options, the seams, the settings, the start window and the
// GO sequence that opens the receiver link and the control panel.
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "link/app.h"

#include "panel/ui/rxctrl2.h"
#include "settings/ui/welcome2.h"

class Receiver2;
class RecSession;
class RigServer;
class SimRadio;
class QWidget;

struct Options {
    QString port;        // "" = from the settings; "sim" = the built-in receiver
    bool demo = false;   // simulated receiver + a demo base directory
    bool help = false;
    bool version = false;
    int rigctlPort = 0;  // the rig-control network server's port; 0 = off
    QString rigctlListen = QStringLiteral("127.0.0.1");
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
    // Brings the running program in line with the set-up's choices (after
    // GO and after the set-up dialog): starts, stops or moves the
    // rig-control server, and follows the receiver's dial or not.
    void applySettings();

signals:
    void goFinished(bool running);

public:
    // Called to end the program (tests replace it).
    std::function<void(int code)> quit;
    // Makes the port at GO (tests hand in their own); the program owns it.
    std::function<Port *()> portFactory;

private:
    Port *makePort();
    void wireMenus();
    template <typename W> void openWindow(QPointer<W> &slot);
    // A measuring window: the others' menu items follow its opening and closing.
    template <typename W> void openMeasure(QPointer<W> &slot);
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
    int rigWant_ = 0;      // the port the server should listen on (0 = off)
    int rigApplied_ = -1;  // the port last tried
    int setupPort_ = 0;    // the set-up's port when last applied
    bool following_ = false;
    std::unique_ptr<QTemporaryDir> demoDir_;
    QPointer<welcome2> welcome_;
    QPointer<rxctrl2> panel_;
    QPointer<Port> port_;
    QList<QPointer<QWidget>> windows_;
    bool going_ = false; // the GO sequence has started
    GoState goState_ = GoState::Idle;
    std::unique_ptr<class BusyGuard> busy_; // the hourglass during the first contact
    struct Windows;
    std::unique_ptr<Windows> w_;
};

// Copies data/demo into dir (a fresh demo base directory).
bool copyDemoData(const QString &dir, QString *error);
// Where the demo data lives (next to the program, else the source tree).
QString demoDataDir();
// The user guide (installed beside the program, else the source tree's).
QString guideFile();
