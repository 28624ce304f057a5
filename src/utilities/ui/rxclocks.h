// The window that shows the PC clock, reads and sets the receiver's clock
// and sets and shows its timer-on and timer-off times.
#pragma once
#include <QWidget>

#include "utilities/rxclocks.h"

struct App;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class RxClocks : public QWidget {
    Q_OBJECT
public:
    explicit RxClocks(App &app, QWidget *parent = nullptr);

    void on_tick();             // tmr_LTUTC
    void on_getclock();         // cmd_GetRxCl
    void on_setclock(bool utc); // cmd_SetRxLT / cmd_SetRxUTC
    void on_settimer(bool on);  // cmd_setton / cmd_settof
    void on_seetimer(bool on);  // cmd_seeton / cmd_seetof
    // Job steps: the receiver clock read into its label; the timer shown.
    rxjob::Task<void> aShowClock();
    rxjob::Task<void> aSeeTimer(bool on);
    // A setting (its value as the window holds it), the receiver's pause,
    // then what it set read back.
    void submitThenRead(rxclocks::Setting what, const QString &value);

    QString ltText() const { return lt_; }
    QString utcText() const { return utc_; }

    QLabel *lbl_LT = nullptr;
    QLabel *lbl_UTC = nullptr;
    QLabel *lbl_getRxCl = nullptr;
    QPushButton *cmd_GetRxCl = nullptr;
    QPushButton *cmd_SetRxLT = nullptr;
    QPushButton *cmd_SetRxUTC = nullptr;
    QLineEdit *txt_ton = nullptr;
    QLineEdit *txt_tof = nullptr;
    QPushButton *cmd_setton = nullptr;
    QPushButton *cmd_seeton = nullptr;
    QPushButton *cmd_settof = nullptr;
    QPushButton *cmd_seetof = nullptr;
    QPushButton *cmd_exit = nullptr;
    QTimer *tmr_LTUTC = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    App &app_;
    QString lt_, utc_;
    bool opened_ = false;
    bool closed_ = false;
};
