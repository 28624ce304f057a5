// The broadcast database conversion: the ILG window (connect a table, step
// through its records, convert it into an .ftl list) and the ILGfind dialog
// that locates the folder holding the two .dbf tables.
#pragma once
#include "schedules/dbftable.h"
#include "schedules/ilgconvert.h"

#include <QDialog>
#include <QWidget>
#include <array>
#include <atomic>
#include <memory>

struct App;
class BusyGuard;
class QThread;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;

// The folder picker: a drive (root) list, the folders of the current folder
// and the two table files found there (names matched in any letter case).
class ILGfind : public QDialog {
    Q_OBJECT
public:
    ILGfind(App &app, const QString &start, QWidget *parent = nullptr);

    QComboBox *drv_ilg = nullptr;
    QListWidget *dir_ilg = nullptr;
    QListWidget *flb_ilg = nullptr;
    QLabel *lbl_path = nullptr;
    QPushButton *cmd_OK = nullptr;
    QPushButton *cmd_cancel = nullptr;

    // The folder the lists show.
    QString path() const { return path_; }
    // Shows folder p (its subfolders and table files).
    void setPath(const QString &p);
    // The table files of a folder: "ilgsdata.dbf" and "ilgadata.dbf" in any
    // letter case, sorted.
    static QStringList tablesIn(const QString &dir);

private:
    void enterItem();
    App &app_;
    QString path_;
};

// The record stepper: first, previous, next, last and the position.
class RecordStepper : public QWidget {
    Q_OBJECT
public:
    explicit RecordStepper(QWidget *parent = nullptr);
    QToolButton *first = nullptr, *prev = nullptr, *next = nullptr, *last = nullptr;
    QLabel *position = nullptr;
    int current() const { return current_; }
    void setCount(int n);
    void move(int record);
signals:
    void moved(int record);

private:
    void update_();
    int count_ = 0;
    int current_ = -1;
};

class ILG : public QWidget {
    Q_OBJECT
public:
    explicit ILG(App &app, QWidget *parent = nullptr);
    ~ILG() override;

    QLabel *lbl_title = nullptr;
    QGroupBox *fra_seldb = nullptr;
    std::array<QRadioButton *, 3> opt_db{};
    QButtonGroup *optGroup = nullptr;
    QPushButton *cmd_locate = nullptr;
    QPushButton *cmd_convert = nullptr;
    QPushButton *cmd_stop = nullptr;
    QPushButton *cmd_exit = nullptr;
    QLabel *lbl_con = nullptr;
    QLabel *lbl_cnr = nullptr;
    QLabel *lbl_record = nullptr;
    QGroupBox *fra_step = nullptr;
    std::array<QLineEdit *, 6> txt_db{};
    RecordStepper *dat_ilg = nullptr;
    QProgressBar *prg_convert = nullptr;

    // The folder of the tables (kept while the program runs).
    static QString &ilgDirectory();

    // Locate: shows ILGfind modally.
    void on_locate();
    // The folder was chosen (OK of ILGfind).
    void setDirectory(const QString &dir);
    // Option 0 (disconnect), 1 (MW table) or 2 (SW table).
    void on_option(int index);
    // Convert, Stop.
    void on_convert();
    void on_stop() { stop_ = true; }
    bool converting() const { return converting_; }
    // The connected table's file ("" when none).
    QString tablePath() const { return tablePath_; }

protected:
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;

private:
    void showRecord(int record);
    void setBound(bool on);
    App &app_;
    std::unique_ptr<DbfTable> table_;
    QString tableName_, tablePath_;
    bool bound_ = true;
    std::atomic<bool> stop_ = false;
    QThread *worker_ = nullptr;
    std::unique_ptr<BusyGuard> busy_;
    void convertDone(const ilg::Result &r);
    bool converting_ = false;
    bool shown_ = false;
};

// The two logo windows, centred on the screen, with a web address as caption.
class ILGLogo : public QWidget {
    Q_OBJECT
public:
    explicit ILGLogo(App &app, QWidget *parent = nullptr);
protected:
    void showEvent(QShowEvent *e) override;
};

class BDXCLogo : public QWidget {
    Q_OBJECT
public:
    explicit BDXCLogo(App &app, QWidget *parent = nullptr);
protected:
    void showEvent(QShowEvent *e) override;
};
