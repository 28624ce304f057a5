// The propagation history: the signal on the tuned frequency over the
// current minute (one bar a second, a rolling histogram of 60 readings) and
// the current hour (one bar per half minute, the histogram since Start).
#pragma once
#include "common/ui/freqlabel.h"
#include "measure/history.h"
#include "measure/meter.h"
#include "measure/ui/measureui.h"

#include <QWidget>

struct App;
class Canvas;
class MeasureSession;
class QLabel;
class QPushButton;
class QTimer;

class prophist : public QWidget {
    Q_OBJECT
public:
    static constexpr int T = 38; // panel top

    explicit prophist(App &app, QWidget *parent = nullptr);
    ~prophist() override;

    void on_start();
    void on_stop();
    void on_cls();
    void on_tick();
    void on_savepng();

    bool running() const { return running_; }
    const history::History &hist() const { return h_; }
    measureui::AskPath askPath = measureui::defaultAskPath();

    Canvas *pic = nullptr;
    QPushButton *cmd_start = nullptr, *cmd_stop = nullptr, *cmd_cls = nullptr,
                *cmd_rxctrl = nullptr, *cmd_exit = nullptr, *cmd_savepng = nullptr;
    QTimer *tmr_prophis = nullptr; // the session's tick
    QLabel *lbl_Date = nullptr;
    FreqLabel *lbl_freq = nullptr;
    QLabel *lbl_status = nullptr; // missed replies of this run

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void drawLayout();
    void markers(double v, int yTop, int yBottom, const QColor &c);
    void showReading(const meter::Reading &r);

    App &app_;
    MeasureSession *session_;
    history::History h_;
    bool running_ = false;
};
