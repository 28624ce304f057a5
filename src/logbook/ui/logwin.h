// The log window (caption "Logging"): the log records in grd_log, add,
// change and delete through the record dialog, load, save, save under a new
// name, close, sort, screen format, tune from a record's frequency, and the
// export of the log as ADIF (ADI or ADX) or CSV.
//
// The window keeps the log (the table and its state) for the whole run: it
// hides when closed and opens again with the table it had, as long as the
// log was saved or the user kept it.
#pragma once
#include "common/ui/freqlabel.h"
#include "logbook/logging2.h"

#include <QWidget>
#include <functional>

struct App;
class ListView;
class LogModel;
class QDialog;
class QLabel;
class QPushButton;

class LogWindow : public QWidget {
    Q_OBJECT
public:
    explicit LogWindow(App &app, QWidget *parent = nullptr);
    ~LogWindow() override;

    // The log: record table and shared log state.
    logging2::LogBook book;

    QPushButton *cmd_add = nullptr;
    QPushButton *cmd_chg = nullptr;
    QPushButton *cmd_del = nullptr;
    QPushButton *cmd_Save = nullptr;
    QPushButton *cmd_savez = nullptr;
    QPushButton *cmd_Close = nullptr;
    QPushButton *cmd_sort = nullptr;
    QPushButton *cmd_fmt = nullptr;
    QPushButton *cmd_Load = nullptr;
    QPushButton *cmd_new = nullptr;
    QPushButton *cmd_Top = nullptr;
    QPushButton *cmd_exit = nullptr;
    QPushButton *cmd_adif = nullptr;
    QPushButton *cmd_adx = nullptr;
    QPushButton *cmd_csv = nullptr;
    QPushButton *cmd_import = nullptr;
    QLabel *lbl_art = nullptr;
    FreqLabel *lbl_arf = nullptr;
    // The status line: the open log's file.
    QLabel *lbl_file = nullptr;
    ListView *grd_log = nullptr;
    LogModel *model = nullptr;

    // How the modal dialogs run (exec() unless a test drives them).
    std::function<void(QDialog &)> runDialog;
    // Where an export goes: a path chosen by the user ("" = cancelled).
    std::function<QString(const QString &suggested, const QString &filter)> chooseExportPath;
    // The ADIF or ADX file to import (empty: cancelled).
    std::function<QString()> chooseImportPath;
    // The record dialog's input check (off by default; its box in the
    // dialog turns it on for the session).
    bool checkInput = false;

    // The log directory: base directory + "LOG/".
    QString logDir() const;
    QString currentPath() const;

    // --- logging2 operations driven by the window -----------------------
    void set_record_buttons(bool enabled);
    // Read log file (the file selection dialog's load routine). False, with
    // a message, when the file cannot be read (the old log stays).
    bool read_log_file();
    void fill_log_grid();
    void apply_screen_format();
    void sort_log();
    // Save log to the current file; a failure is told, the log stays
    // marked not saved.
    bool save_log();
    // Save log as (the naming dialog's routine, current name already set).
    bool save_log_as();

    // --- buttons ------------------------------------------------------
    void on_add();
    void on_chg();
    void on_del();
    void on_Save();
    void on_savez();
    void on_Close();
    void on_sort();
    void on_fmt();
    void on_Load();
    // Starts a new, empty log under a name from the naming dialog.
    void on_new();
    void on_Top();
    void on_exit();
    void on_adif();
    void on_adx();
    void on_csv();
    // Another program's ADIF/ADX log into a new LOG file (named as New Log
    // names one); what does not fit into its capacity goes, when the user
    // agrees, into LOG_X-2.TXT and on.
    void on_import();

    // Tune from a log row on a cell (double-click, Enter).
    void tune_cell(const QModelIndex &index);
    // Reads the receiver's frequency into lbl_arf; true when it answered.
    void show_rx_freq();
    // Exit's question when the log is not saved: true when the window may
    // close (table kept when saved, discarded otherwise).
    bool may_leave();

    // The record dialog's OK / Cancel (steps of the description).
    void store_record(const logging2::Record &typed);
    void cancel_record();

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void build();
    void open_dialog(QDialog &d);
    enum class Export { Adi, Adx, Csv };
    void export_to(Export kind);
    // The record index of the grid's current row (-1 when none).
    int current_record() const;
    bool no_record(int index);
    // lbl_file after the log or its name changed.
    void show_file();

    App &app_;
    bool loaded_ = false;
};
