// The control panel: the receiver's front panel on the screen. It shows and
// changes the receiver's settings (selection grids, scroll bars, GO), tunes
// it (keypad, frequency field, spin button, memory recall), carries the clock
// line in its title and the program's menu bar.
#pragma once
#include "link/panelview.h"
#include "panel/ui/rxctrl2_layout.h"

#include "common/timetext.h"
#include "common/ui/guideview.h"
#include "schedules/onair.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>

namespace rxjob {
template <class T> class Task;
}

struct App;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class about;

class rxctrl2 : public QMainWindow, public PanelView {
    Q_OBJECT
public:
    explicit rxctrl2(App &app, QWidget *parent = nullptr);
    ~rxctrl2() override;

    // Gives a menu item (by objectName, e.g. "mnu_memman") its action and
    // enables it. Items that the panel carries out itself (Update, Set-Up,
    // About, See Docs, RTTY without the unit, Set PC Clock, Exit) keep their
    // own behaviour
    // unless replaced here; "RTTY" always shows its notice when the unit is
    // not fitted.
    void setMenuAction(const QString &objectName, std::function<void()> fn);
    QAction *menuAction(const QString &objectName) const;
    // Adds an item (objectName, caption) at the end of a menu (by its
    // objectName); it does nothing until setMenuAction gives it an action.
    QAction *addMenuItem(const QString &menu, const QString &objectName, const QString &caption);

    // Ends the program (Exit, and after the close box). Default: leave the
    // application's event loop. Tests replace it.
    std::function<void(int code)> exitHook;
    // Asked before the program ends (close box or Exit): false keeps it
    // running, e.g. when the user cancels saving an unsaved log.
    std::function<bool()> mayEnd;

    // Clock line: time texts and window title (the Showtime tick). Once the
    // panel shows, each tick also compares the system's offset from UTC
    // with LT-UTC and offers to set LT-UTC when they differ.
    void showtime();

    // The Rec button: starts a recording of the receiver's sound (its
    // frequency, mode and bandwidth in the name and the text file), or stops
    // the one running.
    void cmd_rec_click();
    // Elapsed time and input level while a recording runs.
    void showRecording();

    bool loaded() const { return loaded_; }
    int tuningStepHz() const { return step_hz_; }
    int spinDir() const { return spin_dir_; }
    int vbtChoice() const { return vbt_choice_; }
    bool goRunning() const { return go_state_ == 1; }
    QString keypadText() const { return keypad_text_; }

    // Tuning actions (also what the keypad, field and spin button run).
    void keypadKey(const QString &key); // "0".."9", ".", "back"
    void enterKeypadFrequency();        // F
    void enterKeypadChannel();          // C
    void enterTypedFrequency();         // Enter in txt_freqa
    void spinStep(int dir);             // 1 up, -1 down
    // count steps at once in direction dir (the mouse wheel, Page Up/Down,
    // ten with Shift), through the spin button's tune. Steps asked for
    // while one is on the line are added to the next.
    void spinSteps(int dir, int count);

    // The signal meter's tick (about once a second): one reading as a job
    // while the panel's Lock holds the receiver and the line is free.
    void meterTick();
    // The badge beside the clock line follows the port in use.
    void showSimulated();

    // What is on the air now at the receiver's frequency, within half the
    // tuning step (at least 1 kHz), from the converted lists in Rx2Db:
    // the status line's text ("" for nothing), and the station a
    // recording at hz is named after.
    QString onAirText() const;
    QString onAirStation(qint64 hz) const;

    // PanelView
    void setLabel(Label which, const QString &text) override;
    void showVbt(bool on) override;
    void showLock(bool on) override;
    void enableBwc(int minEnd, int maxEnd, int value) override;
    void enablePbs(int value, const QString &labelText) override;
    void clearBwc() override;
    void clearPbs() override;
    void setAgcEnabled(bool on) override;
    void setBwFrameEnabled(bool on) override;
    void setFreqText(const QString &s) override;
    void bringToFront() override;
    void setPanelEnabled(bool on) override;

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *e) override;
    void mouseDoubleClickEvent(QMouseEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void releaseMenuBar();
    // Load step: the layout, then its wiring.
    void buildUi();
    void buildMenus();
    void set_grd_hf();
    void set_grd_vbt();
    void set_grd_CS();
    void set_grd_bw();
    void set_grd_agc();
    void set_grd_nb();
    void set_grd_md();
    void set_grd_lock();

    // Grid clicks.
    void grd_HF_click(int c);
    void grd_agc_click(int c);
    void grd_nb_click(int c);
    void grd_bw_click(int c);
    void grd_md_click(int r, int c);
    void grd_vbt_click(int c);
    void grd_lock_click(int c);
    void grd_CS_click(int r, int c);
    void vsc_bwc_change(int v);
    void vsc_pbs_change(int v);
    void cmd_gono_click();
    void releaseLock();
    // Connects the receiver's signals to the labels and controls they change.
    void connectReceiver();

    void refreshNow();
    // Hold and refresh (no refresh with NO RX): false when the receiver did
    // not answer.
    rxjob::Task<bool> aHoldAndRefresh();
    // fn runs as a job when the commands submitted before have gone out.
    void afterLine(std::function<void()> fn);
    void showGo(bool going);
    // One GO step, the next submitted behind it.
    void goStep();
    void syncGrid(Label which, const QString &text);
    // False (with the message) when the frequency was refused.
    bool tuneTo(qint64 hz);
    // A typed frequency that was refused stays in txt_freqa, shown as not
    // tuned (its colour and the status line) until something replaces it.
    void showNotTuned(bool on);
    void checkUtcOffset();
    void runMenu(const QString &name);
    void builtinMenu(const QString &name);
    // Close box (closing) and Exit: stops GO, gives the receiver back (the
    // vbt function on again after a close), then ends the program.
    void closeDown(bool closing);

    App &app_;
    bool loaded_ = false;
    int vbt_choice_ = 0;
    int step_hz_ = 5000;
    int spin_dir_ = 1;
    int go_state_ = 0;
    bool go_loop_ = false;
    bool spin_busy_ = false; // a spin step is under way
    QString keypad_text_;

    QPointer<QTimer> showtime_;
    QPointer<QTimer> recTick_;
    QPointer<QTimer> meterTick_;
    bool panelLock_ = false;     // the Lock was set On here
    bool meterInFlight_ = false; // a meter reading is on the line
    int pendingSteps_ = 0;       // wheel steps (signed) waiting for the line
    int wheelAngle_ = 0;         // a part of a notch (fine-grained wheels)
    void showMeter(double units);
    void recStarted();
    void recStopped(const QString &path, const QString &reason);
    QLabel *lbl_tuned_ = nullptr; // the status line's "Not tuned" part
    QLabel *lbl_onair_ = nullptr; // and what is on the air at the frequency
    onair::Lists onairLists_;     // the converted lists, read once
    int onairMinute_ = -1;        // the UTC minute they were last looked at
    QString onairText_;
    QList<onair::Entry> onAirAt(qint64 hz) const;
    // Shows what is on the air; look: the Rx2Db folder is looked at first
    // (a list new or changed since is read).
    void showOnAir(bool look);
    timetext::OffsetWatch offsetWatch_;
    QPointer<about> about_;
    QPointer<GuideView> guide_;
    // The guide window; quiet: no message when the guide cannot be read
    // (after "See Docs" has already said why its document did not open).
    void showGuide(bool quiet);
    QHash<QString, QAction *> actions_;
    QHash<QString, std::function<void()>> menuFns_;

    // The controls (built by the layout, wired here).
    panelui::Rxctrl2Layout ui_;
};
