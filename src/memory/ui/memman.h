// The memory manager window: the 200 memory channels of the receiver as a
// grid, fetched from and filled into the receiver, loaded from and saved to
// memory files, sorted, printed, scanned, and edited through the cell editor.
#pragma once
#include "common/ui/freqlabel.h"
#include "memory/mem2.h"
#include "memory/memtransfer.h"

#include "link/linetask.h"
#include "measure/meter.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>

struct App;
class BusyGuard;
class MeasureSession;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPrinter;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;
class memcell;

class MemMan : public QWidget {
    Q_OBJECT
public:
    explicit MemMan(App &app, QWidget *parent = nullptr);
    ~MemMan() override;

    // Cell-editor action: 1 change, 2 dump, 3 copy, 4 delete.
    enum Action { ActChange = 1, ActDump = 2, ActCopy = 3, ActDelete = 4 };

    // The busy lock of the window's buttons.
    void set_mem_buttons(bool enable);
    // Fills the table and the grid from the current memory file (called by
    // the file selection dialog once loading is confirmed).
    void load_mem_file();
    // Writes the table to the current memory file (called by the save-naming
    // dialog once it accepted a name).
    void save_mem_file();

    // Button handlers (the buttons call these).
    void on_fetch();
    void on_fill();
    void on_sort();
    void on_clear();
    void on_load();
    void on_save();
    void on_print();
    // The table from and to CSV (the rig-control memory tool's layout or a
    // spreadsheet's); the receiver is not touched (Fill RM sends it).
    void on_csv_in();
    void on_csv_out();
    void on_setrx();
    void on_scan();
    void on_noscan();
    void on_rxctrl();
    // Change, Copy, Delete, Dump: opens the cell editor.
    void open_cell(int action);

    // Grid row shown for channel ch (rebuilds the cells from the table).
    void show_row(int ch, bool withTag = true);
    // Rebuilds the 200 rows from the table.
    void show_all_rows(bool withTag = true);
    // Puts the given cells in a grid row.
    void set_row_cells(int row, const QStringList &cells);
    // Selects a grid row as a click would (mem_row and the three labels).
    void select_row(int row);

    // Printing: the page as text lines, and the lines on a printer. The
    // "Print" button uses choosePrinter to pick the printer (the print
    // dialog unless replaced); false cancels.
    static void render_lines(const QStringList &lines, QPrinter &printer);
    std::function<bool(QPrinter &)> choosePrinter;
    // The CSV files of "Import CSV" and "Export CSV" (empty: cancelled).
    std::function<QString()> chooseCsvIn;
    std::function<QString(const QString &suggested)> chooseCsvOut;

    bool scanning() const { return scanning_; }
    bool busy() const { return busy_; }
    // The open cell editor, or nullptr.
    memcell *cellEditor() const;

    // Controls, named as in the description.
    QTableWidget *grd_titles = nullptr;
    QTableWidget *grd_mem = nullptr;
    QLabel *lbl_cell = nullptr;
    FreqLabel *lbl_freq = nullptr;
    QLabel *lbl_tag = nullptr;
    // The memory scan's missed replies ("no reply 13:36:12, 3 missed").
    QLabel *lbl_status = nullptr;
    // On opening with an empty grid: what the table still holds.
    QLabel *lbl_held = nullptr;
    // Fetch with the fast read-out (all channels in one stream).
    QCheckBox *chk_fast = nullptr;
    QWidget *pnl_fetch = nullptr;
    QWidget *pnl_load = nullptr;
    QWidget *pnl_scan = nullptr;
    QWidget *pnl_change = nullptr;
    QPushButton *cmd_fetch = nullptr;
    QPushButton *cmd_SetRx = nullptr;
    QPushButton *cmd_fill = nullptr;
    QPushButton *cmd_sort = nullptr;
    QPushButton *cmd_exit = nullptr;
    QPushButton *cmd_Load = nullptr;
    QPushButton *cmd_SaveAs = nullptr;
    QPushButton *cmd_Close = nullptr;
    QPushButton *cmd_rxctrl = nullptr;
    QPushButton *cmd_prt = nullptr;
    QPushButton *cmd_scan = nullptr;
    QPushButton *cmd_scanho = nullptr;
    QPushButton *cmd_change = nullptr;
    QPushButton *cmd_copy = nullptr;
    QPushButton *cmd_del = nullptr;
    QPushButton *cmd_dump = nullptr;
    QPushButton *cmd_csvin = nullptr;
    QPushButton *cmd_csvout = nullptr;
    QLineEdit *txt_from = nullptr;
    QLineEdit *txt_to = nullptr;
    QLineEdit *txt_delay = nullptr;
    QProgressBar *prg_transfer = nullptr;
    QTimer *tmr_scan = nullptr;

protected:
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void build();
    void clear_grid(int rows);
    // lbl_held shown when the table holds records the grid does not show.
    void show_held();
    void clear_labels();
    void input_error();
    // One scan step (the next channel) as a job step of the scan's session.
    rxjob::Task<meter::Reading> scan_step();
    void stop_scan();
    // After Set R2M: a note when the row is not what the receiver holds.
    void tell_recalled(int row);
    // A fetch or fill: buttons locked, labels and progress shown, and back.
    void begin_transfer(const QString &what, int total);
    void finish_transfer();
    void fetch_done(const mem2::FetchResult &r);
    void fill_done(const mem2::FillResult &r);
    void fast_toggled(bool on);
    // Tells the user a transfer did not go through; false when it did.
    bool report_failure(mem2::Outcome outcome);

    // Changes of the grid's current cell made by the program, not the user.
    struct Programmatic {
        bool &flag;
        bool old;
        explicit Programmatic(bool &f) : flag(f), old(f) { flag = true; }
        ~Programmatic() { flag = old; }
    };

    App &app_;
    // The memory file loaded last when it held lines past channel 199 (not
    // loaded, so a save over it is refused), and how many.
    QString partialPath_;
    int partialExtra_ = 0;
    mem2::ScanRange scan_;
    bool scanning_ = false;
    bool busy_ = false;
    bool programmatic_ = false;
    // The fetch and fill, and the memory scan's session (children).
    mem2::MemTransfer *xfer_ = nullptr;
    MeasureSession *scanSession_ = nullptr;
    std::unique_ptr<BusyGuard> hourglass_;
    QPointer<memcell> cell_;
};
