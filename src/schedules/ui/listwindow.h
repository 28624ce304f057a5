// What the two schedule list windows (bdxc and own) share: the buttons, the
// grid, the receiver frequency label, the UTC caption timer, the frequency
// fan-out registration while loaded, reading the receiver's frequency on
// open, and Tune from list row.
#pragma once
#include "common/ui/freqlabel.h"
#include "link/fanout.h"
#include "schedules/listfile.h"
#include "schedules/ui/listmodel.h"

#include <QWidget>

struct App;
class QLabel;
class QPushButton;
class QTimer;

// Before a Load: when the kind's folder holds no file for pattern, says
// which folder it is and what belongs there (belongs: the files' names and
// where they come from) under title, and gives false; true when there is something to choose (or the
// folder cannot be read, which the file dialog then says).
bool folderHasFiles(App &app, int callerCode, const QString &pattern, const QString &title,
                    const QString &belongs);

class ListWindow : public QWidget {
    Q_OBJECT
public:
    struct Config {
        schedlist::Kind kind;
        QString objectName;   // "bdxc" / "own"
        QString caption;      // "BDXC" / "Own"
        QString loadName, loadText;
        QString gridName, gridAccessible;
        QString timerName;
        int timerMs;
        Origin target;
        int callerCode;
        QString pattern;      // file pattern of the selection dialog
        QString subdir;       // "BDXC" / "OWN"
        QString dimName;      // "DIM BDX" / "DIM OWN"
        int dimIndex;         // Settings::dim index
        QString belongs;      // what belongs in the folder, said when it is empty
    };

    ListWindow(App &app, const Config &cfg, QWidget *parent);
    ~ListWindow() override;

    QPushButton *cmd_Top = nullptr;
    QPushButton *cmd_Exit = nullptr;
    QLabel *lbl_art = nullptr;
    FreqLabel *lbl_arf = nullptr;
    ListView *grid = nullptr;
    ListModel *model = nullptr;
    QTimer *utcTimer = nullptr;

    // The current line table (empty pointer before a load and after Exit).
    const std::shared_ptr<const schedlist::LineTable> &table() const { return table_; }
    // Capacity of the table from the DIM setting (thousands of lines).
    int capacity() const;
    // The current list file with its folder.
    QString currentPath() const;

    // Load button: the file selection dialog (modal); OK reads the list.
    void on_load();
    // RX Control button.
    void on_Top();
    // Exit button: forgets the file name and the table, closes the window.
    void on_Exit();
    // The clock timer's tick: file name + "      UTC :  " + UTC clock text.
    void on_tick();
    // Tune from list row on a cell (double-click, Enter).
    void tune_cell(const QModelIndex &index);
    // Reads the receiver's frequency into lbl_arf (done once after opening,
    // unless "NO RX" is set). True when the receiver answered.
    void show_rx_freq();
    // Reads the chosen list file (the dialog's load routine).
    virtual void read_list() = 0;

protected:
    // Reads the current file into a new table; false (message shown, old
    // table and grid unchanged) on failure. Tells the user when the DIM
    // setting cut the list.
    bool read_table(bool ditto);
    // Shows the given rows of the current table, first cell current.
    void show_rows(const QList<int> &rows);
    QString &currentFile() const;

    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    App &app_;
    Config cfg_;
    std::shared_ptr<const schedlist::LineTable> table_;

private:
    void setLoaded(bool on);
    bool loaded_ = false;
};
