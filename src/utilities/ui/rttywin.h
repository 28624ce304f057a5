// The RTTY window (objectName "rtty", caption "RTTY"): demodulator speed,
// shift and polarity, Save On/Off, and the 19-line page of received text.
#pragma once
#include <QList>
#include <QWidget>

#include "utilities/rtty.h"

struct App;
class QLabel;
class QPushButton;
class TextGrid;

class RttyWindow : public QWidget {
    Q_OBJECT
public:
    explicit RttyWindow(App &app, QWidget *parent = nullptr);
    ~RttyWindow() override;

    // True from load to unload.
    static bool isOpen();

    TextGrid *grd_bd = nullptr;
    TextGrid *grd_sh = nullptr;
    TextGrid *grd_pol = nullptr;
    TextGrid *grd_tof = nullptr;
    QLabel *lbl_bd = nullptr;
    QLabel *lbl_sh = nullptr;
    QLabel *lbl_pol = nullptr;
    QLabel *lbl_tof = nullptr;
    QList<QLabel *> lbl_ry; // 0..18, top to bottom
    QPushButton *cmd_start = nullptr;
    QPushButton *cmd_stop = nullptr;
    QPushButton *cmd_cls = nullptr;
    QPushButton *cmd_exit = nullptr;

    ry::Receiver &receiver() { return rx_; }
    int speed() const { return speed_; }
    int shift() const { return shift_; }
    int polarity() const { return pol_; }

    void on_start();
    void on_stop();
    void on_cls();
    void on_exit();

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void sendParams();
    void showPage();
    void showSave(int col);
    void setRunning(bool on);

    App &app_;
    ry::Receiver rx_;
    int speed_ = 1, shift_ = 1, pol_ = 0;
    bool exited_ = false;
    bool exiting_ = false;
};
