// The S-meter recorder: the signal strength once a second as a needle and as
// a histogram of the last 60 readings.
#pragma once
#include "measure/meter.h"
#include "measure/session.h"
#include "measure/ui/measureui.h"

#include <QWidget>

struct App;
class Canvas;
class QLabel;
class QPushButton;
class QTimer;

class Smeter : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kBackground = 0xFFFFEFDF; // RGB(255, 239, 223)
    static constexpr QRgb kDark = 0xFF7F0000;       // RGB(127, 0, 0)

    explicit Smeter(App &app, QWidget *parent = nullptr);
    ~Smeter() override;

    void on_start();
    void on_stop();
    void on_cls();
    void on_tick();
    void on_savepng();

    bool recording() const { return recording_; }
    bool stale() const { return stale_; }
    const meter::Recorder &recorder() const { return rec_; }
    // Where "Save as PNG" asks for the file name (tests replace it).
    measureui::AskPath askPath = measureui::defaultAskPath();

    Canvas *scale = nullptr;     // the window's background with the scale
    Canvas *pic_Smeter = nullptr;
    Canvas *pic_histo = nullptr;
    QPushButton *cmd_start = nullptr;
    QPushButton *cmd_stop = nullptr;
    QPushButton *cmd_cls = nullptr;
    QPushButton *cmd_exit = nullptr;
    QPushButton *cmd_savepng = nullptr;
    QTimer *tmr_Smeter = nullptr; // the session's tick
    QLabel *lbl_status = nullptr;  // missed replies of this run
    QLabel *lbl_s[6] = {};
    QLabel *lbl_sinpo[5] = {};

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void drawScale();
    void drawBar(int i);

    void showReading(const meter::Reading &r);
    void showMissed();
    void showStopped();

    App &app_;
    MeasureSession *session_;
    meter::Recorder rec_;
    bool recording_ = false;
    bool stale_ = false;
};
