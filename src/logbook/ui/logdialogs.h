// The log window's dialogs: selsort2 (sort order), logfmt2 (screen format)
// and loginput (the record dialog).
#pragma once
#include "logbook/logging2.h"

#include <QDialog>
#include <array>

struct App;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class LogWindow;

// "Select sort order": clicking a box sets the sort choice at once; OK sorts
// and refills the grid, Cancel only closes (the choice stays).
class selsort2 : public QDialog {
    Q_OBJECT
public:
    explicit selsort2(LogWindow &win);

    std::array<QCheckBox *, 5> chk_so{};
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_Cancel = nullptr;

    void on_so(int i);
    void on_OK();

private:
    LogWindow &win_;
};

// "Log Screen Format": one box per field; a click writes the format string
// and recomputes Format Length; OK (also Escape) applies the format.
class logfmt2 : public QDialog {
    Q_OBJECT
public:
    explicit logfmt2(LogWindow &win);

    std::array<QCheckBox *, logging2::kFields> chk_fmt{};
    QLabel *lbl_tl = nullptr;
    QPushButton *cmd_OK = nullptr;

    void on_fmt(int k, bool checked);
    void on_OK();
    void reject() override { on_OK(); }

private:
    LogWindow &win_;
};

// The record dialog (design caption "New Record").
class loginput : public QDialog {
    Q_OBJECT
public:
    explicit loginput(App &app, LogWindow &win);

    std::array<QLineEdit *, logging2::kFields> txt_in{};
    std::array<QLabel *, logging2::kFields> lbl_in{};
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_cancel = nullptr;
    QPushButton *cmd_GetCurrent = nullptr;
    // Beyond the record dialog's boxes: check date, times and frequency
    // before storing (off unless the user turns it on).
    QCheckBox *chk_check = nullptr;

    // Loads the boxes from a record (Change) or empties them (Add).
    void load(const QString &caption, const logging2::Record &r);
    logging2::Record typed() const;

    void on_OK();
    void on_cancel();
    void on_GetCurrent();
    // Escape, the close box: as Cancel.
    void reject() override;

private:
    App &app_;
    LogWindow &win_;
    bool done_ = false;
};
