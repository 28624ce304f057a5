// The memory manager window: the 200 memory channels of the receiver as a
// grid, fetched from and filled into the receiver, loaded from and saved to
// memory files, sorted, printed, scanned, and edited through the cell editor.
#pragma once
#include "memory/mem2.h"
#include "memory/memtransfer.h"

#include <QPointer>
#include <QWidget>
#include <functional>

struct App;
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

    bool scanning() const { return scanning_; }
    bool busy() const { return busy_; }
    // The open cell editor, or nullptr.
    memcell *cellEditor() const;

    // Controls, named as in the description.
    QTableWidget *grd_titles = nullptr;
    QTableWidget *grd_mem = nullptr;
    QLabel *lbl_cell = nullptr;
    QLabel *lbl_freq = nullptr;
    QLabel *lbl_tag = nullptr;
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
    void clear_labels();
    void input_error();
    void scan_tick();
    void stop_scan(bool releaseLock);
    void take_for_scan();
    // Runs fn now, or right after another caller's sequence that is waiting
    // on the line.
    void when_line_free(const std::function<void()> &fn);
    void run_fetch();
    void run_fill(int first, int last);
    // A fetch or fill: buttons locked, labels and progress shown, and back.
    void begin_transfer(const QString &what, int total);
    void finish_transfer();
    // Connects the transfer's progress to the labels and the grid.
    void watch(mem2::MemTransfer &x);
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
    bool tickBusy_ = false;
    // The scan's start is taking the receiver (H1, H1, refresh): a stop
    // meanwhile leaves the release to the start, after the last H1.
    bool holding_ = false;
    // The scan holds the receiver.
    bool scanHeld_ = false;
    bool programmatic_ = false;
    // The fetch or fill running below the current call, if any.
    mem2::MemTransfer *running_ = nullptr;
    QPointer<memcell> cell_;
};
