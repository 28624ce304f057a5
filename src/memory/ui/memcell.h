// The memory cell editor: one channel's values, written into the memory
// manager's table ("To MMW") or straight into the receiver ("To RxM").
#pragma once
#include <QPointer>
#include <QWidget>

struct App;
class MemMan;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class memcell : public QWidget {
    Q_OBJECT
public:
    // action: 1 change, 2 dump, 3 copy, 4 delete. The channel first shown is
    // the table's current row. A window of its own, owned by the manager.
    memcell(App &app, MemMan *owner, int action);

    int action() const { return action_; }

    // The record built from the fields: "L" + cell + ATT, BW, mode digits,
    // eight Hz digits, AGC digit (a space where a box is empty).
    QString build_record() const;
    // The frequency and the four code boxes hold usable values; otherwise
    // says what is wrong, puts the focus there and returns false.
    bool check_fields();

    void on_ToMMW();
    void on_ToRM();

    QComboBox *cmb_cell = nullptr;
    QLineEdit *txt_freqmem = nullptr;
    QComboBox *cmb_att = nullptr;
    QComboBox *cmb_bw = nullptr;
    QComboBox *cmb_md = nullptr;
    QComboBox *cmb_agc = nullptr;
    QLineEdit *txt_tag = nullptr;
    QLabel *lbl_action = nullptr;
    QPushButton *cmd_ToMMW = nullptr;
    QPushButton *cmd_ToRM = nullptr;
    QPushButton *cmd_cancel = nullptr;

private:
    void fill_from_table();
    void empty_fields();
    // The code a box stands for: the one chosen, or the record's own code
    // when that has no caption and the user left the box alone.
    int code_of(int box) const;

    // The four code boxes (ATT, BW, mode, AGC) and the record code each
    // showed when filled from a record whose code has no caption (-1: none).
    QComboBox *boxes_[4] = {};
    int kept_[4] = {-1, -1, -1, -1};

    App &app_;
    QPointer<MemMan> owner_;
    int action_;
};
