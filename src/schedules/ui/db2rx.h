// The Db2Rx window (ILG2Rx): a converted broadcast list line by line, tuned
// from a line, narrowed by the Filters dialog whose choices come from
// "ilgfilter.ini".
#pragma once
#include "schedules/ftlfile.h"
#include "schedules/eibi.h"
#include "schedules/ilgfilter.h"

#include <QDialog>
#include <QPointer>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>

struct App;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QRadioButton;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QThread;
class QTimer;
class ILG2Rx;
class SkedFetch;

class Filters : public QDialog {
    Q_OBJECT
public:
    Filters(ILG2Rx *owner, QWidget *parent = nullptr);

    std::array<QCheckBox *, 6> chk_filter{};
    std::array<QComboBox *, 6> cmb_filter{};
    // The time choice: "Any time", "On air now", "Next 1 h", "Next 3 h",
    // "Next 6 h" (onair::When order).
    QGroupBox *fra_time = nullptr;
    std::array<QRadioButton *, onair::WhenCount> opt_time{};
    QPushButton *cmd_Search = nullptr;
    QPushButton *cmd_Clear = nullptr;
    QPushButton *cmd_cancel = nullptr;

    // Fills the combo boxes with the choices read from the file.
    void setChoices(const ilgfilter::Choices &c);
    ilgfilter::Criteria criteria() const;
    void on_Clear();

private:
    QPointer<ILG2Rx> owner_;
};

class ILG2Rx : public QWidget {
    Q_OBJECT
public:
    explicit ILG2Rx(App &app, QWidget *parent = nullptr);
    ~ILG2Rx() override;

    QListView *lst_ilg = nullptr;
    QStringListModel *model = nullptr;
    QLineEdit *txt_arf = nullptr;
    QLabel *lbl_art = nullptr;
    QPushButton *cmd_Load = nullptr;
    QPushButton *cmd_Filters = nullptr;
    QPushButton *SSCommand1 = nullptr;
    QPushButton *cmd_exit = nullptr;
    QPushButton *cmd_eibi = nullptr;
    QPushButton *cmd_sked_update = nullptr;
    QLabel *lbl_ready = nullptr;
    QLabel *lbl_filters = nullptr;
    // The status line under the list: "12 of 400 shown".
    QLabel *lbl_shown = nullptr;
    Filters *filters = nullptr;

    const ftl::Table &table() const { return table_; }
    int capacity() const;

    // Load File (selection dialog), Read Db2Rx file for the current name.
    void on_Load();
    bool read_file();
    // Import EiBi: a ;-separated schedule file into an .ftl list in the
    // converted-lists folder, then shown as by Load File.
    void on_eibi();
    bool importing() const { return importer_ != nullptr; }
    // Update: fetches the current season's file from the set-up's address
    // into the folder Import EiBi reads from, then imports it the same way.
    void on_sked_update();
    bool updating() const;
    // Picks the schedule file to import ("" = cancelled); tests replace it.
    std::function<QString(const QString &dir)> chooseScheduleFile;
    // Set Filters, RX Control, Exit.
    void on_Filters();
    void on_Top();
    void on_exit();
    // Tune from the list's current entry.
    void tune_line();
    // Enter in txt_arf.
    void on_arf_enter();
    // Search ILG db.
    void search(const ilgfilter::Criteria &c);
    // The entries the list shows.
    QStringList entries() const;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    bool eventFilter(QObject *o, QEvent *e) override;

private:
    void readFilterFile();
    void showCount(onair::When when = onair::When::Any, const QDateTime &utc = {});
    void showRxFreq();
    App &app_;
    ftl::Table table_;
    bool loaded_ = false;
    // The EiBi import on its worker thread.
    QThread *importer_ = nullptr;
    std::atomic<bool> stopImport_ = false;
    void importDone(const eibi::Result &r, const QString &name, const QString &dir,
                    const QString &before = {});
    // Imports csv on the worker thread; `before` goes in front of its summary.
    void startImport(const QString &csv, const QString &before = {});
    SkedFetch *fetcher_ = nullptr;
};
