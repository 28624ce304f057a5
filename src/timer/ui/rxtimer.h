// RxTimer, the window "Timer Programming": composes up to five listening
// events in an edit panel, fixes them into the event rows in order, and
// runs them ("Timer On" / "Timer Off").
#pragma once
#include "timer/eventtab.h"

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <array>

struct App;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QToolButton;
class TimerRun;

// A pair of up/down arrows without a value of its own (the value is shown
// in a label beside it). Up and Down (or + and -) work from the keyboard.
class SpinButton : public QWidget {
    Q_OBJECT
public:
    explicit SpinButton(const QString &name, const QString &accessible, QWidget *parent = nullptr);
    QToolButton *upButton() const { return up_; }
    QToolButton *downButton() const { return down_; }

signals:
    void stepped(int dir); // +1 up, -1 down

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void focusInEvent(QFocusEvent *e) override;
    void focusOutEvent(QFocusEvent *e) override;

private:
    QToolButton *up_;
    QToolButton *down_;
};

class RxTimer : public QWidget {
    Q_OBJECT
public:
    explicit RxTimer(App &app, QWidget *parent = nullptr);
    ~RxTimer() override;

    // Methods by their names.
    void get_utc();
    void get_rx();
    void tofix(int n);
    void cmd_FxCr(int n, int index); // index 0: Fix n, 1: Clr n
    void cmd_CrAll();
    void cmd_cancel();
    void cmd_TimerOn();
    void cmd_TimerOff();
    void ti_off_ready();
    void tmr_lt_utc();

    timertab::EventEdit &edit() { return edit_; }
    const timertab::EventTable &table() const { return table_; }
    TimerRun *run() const { return run_; }
    QTimer *runTimer() const { return tmr_run_; }
    // Shows the edit values in the edit panel.
    void showEdit();

    static const QColor kLight;
    static const QColor kYellow;

    // Controls (objectNames as named in the description; arrays get "_i").
    std::array<QLabel *, 3> lbl_Date{};
    std::array<QLabel *, 3> lbl_Time{};
    std::array<QLabel *, 6> lbl_Stat{};
    std::array<QLabel *, 8> lbl_freq{};
    std::array<SpinButton *, 3> spn_Date{};
    std::array<SpinButton *, 3> spn_Time{};
    std::array<SpinButton *, 6> spn_Stat{};
    std::array<SpinButton *, 8> spn_Freq{};
    std::array<QLabel *, 6> lbl_StatCaption{};
    // "Rec": record the event (edit panel, and per fixed row).
    QCheckBox *chk_Rec = nullptr;
    QLineEdit *txt_Station = nullptr;
    std::array<QCheckBox *, 6> chk_RecRow{};
    QPushButton *cmd_Utc = nullptr;
    QPushButton *cmd_Rx = nullptr;
    // Rows 1..5 (index 0 unused).
    std::array<std::array<QLabel *, 3>, 6> lbl_DateRow{};
    std::array<std::array<QLabel *, 3>, 6> lbl_TimeRow{};
    std::array<std::array<QLabel *, 6>, 6> lbl_StatRow{};
    std::array<std::array<QLabel *, 8>, 6> lbl_FreqRow{};
    std::array<std::array<QPushButton *, 2>, 6> cmd_FxCrRow{};
    QPushButton *cmd_TimerOn_ = nullptr;
    QPushButton *cmd_TimerOff_ = nullptr;
    QPushButton *cmd_CrAll_ = nullptr;
    QPushButton *cmd_cancel_ = nullptr;
    QLabel *lbl_LT = nullptr;
    QLabel *lbl_UTC = nullptr;
    QLabel *lbl_note = nullptr;
    QLabel *lbl_run = nullptr; // what the run does now

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void build();
    void showRow(int n);
    void clearRow(int n);
    void applyButtons();
    void setOnAir(int k, bool on);
    void addNote(const QString &text);
    void showRunState();
    bool askInterrupt();

    App &app_;
    timertab::EventEdit edit_;
    timertab::EventTable table_;
    TimerRun *run_ = nullptr;
    QTimer *tmr_run_ = nullptr;
    QTimer *tmr_lt_utc_ = nullptr;
    int crAllAnswer_ = 0;
    bool closing_ = false;
};
