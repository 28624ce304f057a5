// The propagation impression: the signal on the tuned frequency on three
// time bases (the last minute, the hour in 15-second bars, the day in
// 6-minute bars), recorded to a PAN file and overlaid from saved ones.
#pragma once
#include "common/ui/freqlabel.h"
#include "measure/meter.h"
#include "measure/propagation.h"
#include "measure/ui/measureui.h"

#include <QWidget>

struct App;
class Canvas;
class MeasureSession;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

class Proptime : public QWidget {
    Q_OBJECT
public:
    explicit Proptime(App &app, QWidget *parent = nullptr);
    ~Proptime() override;

    void on_start();
    void on_stop();
    void on_cls();
    void on_savez();
    void on_load();
    void on_tick();
    void on_savepng();
    void on_exportcsv();
    // Opens the current PAN file (named in the save dialog) and starts
    // recording; loads a PAN file as an overlay.
    void openpan();
    void loadpan(const QString &path);

    bool running() const { return running_; }
    bool recording() const { return recording_; }
    const propagation::Impression &impression() const { return imp_; }

    measureui::AskPath askPath = measureui::defaultAskPath();

    Canvas *pic = nullptr;
    QPushButton *cmd_start = nullptr, *cmd_stop = nullptr, *cmd_cls = nullptr,
                *cmd_savez = nullptr, *cmd_Load = nullptr, *cmd_Rx = nullptr,
                *cmd_exit = nullptr, *cmd_savepng = nullptr, *cmd_exportcsv = nullptr;
    QTimer *tmr_propimp = nullptr; // the session's tick
    QLabel *lbl_Date = nullptr, *lbl_savez = nullptr;
    FreqLabel *lbl_freq = nullptr;
    QLabel *lbl_status = nullptr; // missed replies of this run
    QLineEdit *txt_station = nullptr;
    QLabel *lbl_fn[4] = {};

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void drawLayout();
    void drawColumn(const propagation::Column &c, int bottom);
    void setInfoColour(const QColor &c);
    QString panPath() const;
    void stopRun();
    void showReading(const meter::Reading &r);
    // Writes the PAN header and records from now on.
    void startPan(const QString &path);

    App &app_;
    MeasureSession *session_;
    propagation::Impression imp_;
    bool running_ = false;
    bool recording_ = false;
    QString recordingPath_;
    QString lastPanPath_;
    static int loadCounter_;
};
