// The spectrum window: steps the receiver across a band, draws the signal
// strength of each step as a bar, saves and overlays SAN files, and tunes
// the receiver to a clicked frequency in tune mode. The limits dialog asks
// for the band, the step and the delay.
#pragma once
#include "measure/meter.h"
#include "measure/spectrum.h"
#include "measure/ui/measureui.h"

#include "link/linetask.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>

struct App;
class Canvas;
class MeasureSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class SpectrumWindow;

class limits : public QDialog {
    Q_OBJECT
public:
    limits(App &app, SpectrumWindow *owner);
    void on_ok();
    void on_cancel();

    QLabel *lbl_aanw = nullptr;
    QLineEdit *txt_in[4] = {};
    QLabel *lbl_in[4] = {};
    QCheckBox *chk_loop = nullptr;
    QCheckBox *chk_show = nullptr;
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_cancel = nullptr;

private:
    void clearFields();
    App &app_;
    QPointer<SpectrumWindow> owner_;
};

class SpectrumWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr QRgb kBackground = 0xFFFFF0C0; // RGB(255, 240, 192)
    static constexpr QRgb kArea = 0xFF800000;       // RGB(128, 0, 0)

    explicit SpectrumWindow(App &app, QWidget *parent = nullptr);
    ~SpectrumWindow() override;

    // Buttons.
    void on_start(); // opens the limits dialog
    void on_stop();
    void on_cont();
    void on_cls();
    void on_setfre();
    void on_savez();
    void on_load();
    void on_exit();
    void on_savepng();
    void on_exportcsv();
    void on_tick();
    // Tune mode pointer.
    void on_click(QPoint at);
    void on_move(QPoint at);

    // The limits dialog's OK: clears the data and the area; returns false
    // (nothing started) when the limits are refused.
    bool limits_ok(const QStringList &texts, bool loop, bool keepHighest);
    void startscan();
    // Writes the current SAN file (the name chosen in the save dialog).
    void savespectrum();
    // Reads a SAN file and overlays it.
    void loadspectrum(const QString &path);

    const spectrum::Scan &scan() const { return scan_; }
    bool scanning() const { return scanning_; }
    bool tuneMode() const { return tune_; }
    limits *limitsDialog() const { return limits_; }
    static QColor curveColour(int counter);

    measureui::AskPath askPath = measureui::defaultAskPath();

    Canvas *pic = nullptr;
    QPushButton *cmd_start = nullptr, *cmd_stop = nullptr, *cmd_cont = nullptr,
                *cmd_cls = nullptr, *cmd_setfre = nullptr, *cmd_savez = nullptr,
                *cmd_Load = nullptr, *cmd_Rx = nullptr, *cmd_exit = nullptr,
                *cmd_savepng = nullptr, *cmd_exportcsv = nullptr;
    QTimer *tmr_scan = nullptr;
    QLabel *lbl_tida = nullptr, *lbl_run = nullptr, *lbl_show = nullptr, *lbl_flo = nullptr,
           *lbl_fhi = nullptr, *lbl_fst = nullptr, *lbl_fre = nullptr, *lbl_fre1 = nullptr;
    QLabel *lbl_status = nullptr; // missed replies of this run
    QLabel *lbl_pointer = nullptr; // frequency and level under the pointer
    QLabel *lbl_fn[4] = {};

protected:
    void closeEvent(QCloseEvent *e) override;

private:
    void drawLayout();
    void fillArea();
    void endOfRun();
    void stopScan(bool exiting);
    // Inside a job: tunes to khz, as every tune goes.
    rxjob::Task<> tuneTo(double khz);
    // The session's steps (the first tune once the receiver is held; one
    // scan step: read, draw, tune to the next step) live in the source.
    friend struct SpectrumSteps;
    void onStarted(bool answered);
    // Stores and draws a step's reading; true when the scan goes on to its
    // next step (the caller tunes there).
    bool drawStep(const meter::Reading &r);
    void setButtons(std::initializer_list<QPushButton *> on,
                    std::initializer_list<QPushButton *> off);
    QString utcNow() const;

    App &app_;
    MeasureSession *session_;
    spectrum::Scan scan_;
    QPointer<limits> limits_;
    bool scanning_ = false;
    bool tune_ = false;
    bool exiting_ = false;
    int lastStored_ = -1;
    double lastTuned_ = -1;
    static int loadCounter_;
};
