// The control panel's layout: every frame, grid, label, scroll bar, key and
// menu item with its objectName, caption, accessible name, size and place,
// the tab order and the look (the style sheet resource
// ":/panel/rxctrl2.qss"). No behaviour: rxctrl2 connects the controls.
#pragma once
#include <QColor>
#include <QHash>
#include <QString>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMainWindow;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QToolButton;
class QWidget;
class TextGrid;

namespace panelui {

// Value-label backgrounds: normal, and active lock / vbt Off.
inline const QColor kLight(255, 224, 192);
inline const QColor kOrange(255, 128, 0);

// Gives a value label its background (kept in its "background" property).
void paintValue(QLabel *l, const QColor &bg);

// Makes a scroll bar drawn with its larger values at the top behave as it
// looks: the arrows, clicks in the groove and the arrow keys move the thumb
// towards the arrow, the groove side or the key's direction.
void followAppearance(QScrollBar *bar);

struct Rxctrl2Layout {
    // Builds the window's body on win (central widget, style, tab order).
    void setupUi(QMainWindow *win);
    // Adds the menus and their items (all disabled) to bar.
    void setupMenus(QMenuBar *bar);

    // Frames.
    QGroupBox *fra_lock = nullptr, *fra_if = nullptr, *fra_bw = nullptr, *fra_md = nullptr,
              *fra_HF = nullptr, *fra_freq = nullptr;
    // Grids.
    TextGrid *grd_lock = nullptr, *grd_HF = nullptr, *grd_vbt = nullptr, *grd_agc = nullptr,
             *grd_nb = nullptr, *grd_bw = nullptr, *grd_md = nullptr, *grd_CS = nullptr;
    // Value labels.
    QLabel *lbl_lock = nullptr, *lbl_agc = nullptr, *lbl_nb = nullptr, *lbl_bw = nullptr,
           *lbl_bwc = nullptr, *lbl_pbs = nullptr, *lbl_md = nullptr, *lbl_HF = nullptr,
           *lbl_vbt = nullptr, *lbl_mfreq = nullptr, *lbl_utc = nullptr, *lbl_lt = nullptr;
    QScrollBar *vsc_bwc = nullptr, *vsc_pbs = nullptr;
    QPushButton *cmd_gono = nullptr;
    QLineEdit *txt_freqa = nullptr;
    QFrame *spn_Freq = nullptr;
    QToolButton *spn_up = nullptr, *spn_down = nullptr;
    // Keypad.
    QPushButton *cmd_0to9[10] = {};
    QPushButton *cmd_dot = nullptr, *cmd_back = nullptr, *cmd_enter = nullptr,
                *cmd_enterC = nullptr;
    // Recording: the Rec button (checked while a recording runs), its
    // elapsed time and the input level.
    QPushButton *cmd_rec = nullptr;
    QLabel *lbl_recTime = nullptr;
    QProgressBar *bar_level = nullptr;
    // Beside the clock line: shown while the simulated receiver answers.
    QLabel *lbl_sim = nullptr;
    // The signal meter (shown when chosen in set-up): a bar and its S-unit
    // reading.
    QFrame *fra_smeter = nullptr;
    QProgressBar *bar_smeter = nullptr;
    QLabel *lbl_smeter = nullptr;
    // Menu items and menus by objectName.
    QHash<QString, QAction *> actions;

private:
    QWidget *buildFreqFrame(QWidget *body);
    QWidget *buildRecFrame(QWidget *body);
};

} // namespace panelui
