// The tracking window: follows the receiver's frequency through a converted
// broadcast list and shows the broadcasts within the catch range, stepped
// from the window (Mouse) or turned on the receiver's own dial (Dial).
#pragma once
#include "schedules/ftlfile.h"
#include "schedules/tracking.h"

#include <QWidget>
#include <array>

struct App;
class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTimer;
class QToolButton;

class tracking : public QWidget {
    Q_OBJECT
public:
    explicit tracking(App &app, QWidget *parent = nullptr);
    ~tracking() override;

    QGroupBox *fra_hial = nullptr, *fra_ladi = nullptr, *fra_modi = nullptr;
    std::array<QRadioButton *, 2> opt_hial{};
    std::array<QRadioButton *, 3> opt_ladi{};
    std::array<QRadioButton *, 2> opt_modi{};
    QButtonGroup *hial = nullptr, *ladi = nullptr, *modi = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *txt_arf = nullptr, *txt_fs = nullptr, *txt_cr = nullptr;
    QLabel *lbl_art = nullptr, *lbl_fs = nullptr, *lbl_CR = nullptr;
    QWidget *spn_frtr = nullptr;
    QToolButton *spnUp = nullptr, *spnDown = nullptr;
    std::array<QLabel *, track::RowsPerPage> lbl_fr{};
    std::array<QPushButton *, track::Pages> cmd_show{};
    QPushButton *cmd_Load = nullptr, *cmd_exit = nullptr;
    QTimer *trackutc = nullptr;

    const ftl::Table &table() const { return table_; }
    int position() const { return p_; }
    const track::Result &result() const { return result_; }
    int page() const { return page_; }
    bool dialMode() const { return dial_; }

    // Load File (selection dialog) and Load tracking file for the current name.
    void on_Load();
    bool load_file();
    // The tracking lookup for the current frequency.
    void lookup();
    // Build list for the current position, Show page k.
    void build_list();
    void show_page(int k);
    // Spin button events (Mouse mode).
    static double nextFreq(double f, bool up, double step);
    // The end of a spin step: shown and passed on when ok.
    void spinDone(bool ok);
    void on_spin(bool up);
    // Tuning mode: 0 Mouse, 1 Dial.
    void on_mode(int mode);
    // Enter in txt_arf.
    void on_arf_enter();
    void on_tick();
    void on_exit();
    // Background colour of a result row (for tests and the screen).
    QColor rowColour(int row) const;

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void clearLabels();
    void setRowColour(int row, const QColor &c);
    void readRxFreq();
    void leaveDial();
    void setMouseMode();
    void setControlsEnabled(bool on);
    QString captionText() const;

    App &app_;
    ftl::Table table_;
    track::Result result_;
    int p_ = 0;
    int page_ = 0;
    bool dial_ = false;
    double freq_khz_ = 0; // the frequency the list is looked up at
    bool spinning_ = false;
    bool connected_ = false;
    std::array<QColor, track::RowsPerPage> colours_;
};
