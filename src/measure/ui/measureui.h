// What the measuring windows share: buttons with accelerators and their
// rows, the picture saved as PNG, and enablewindows.
#pragma once
#include <QString>
#include <functional>
#include <initializer_list>

struct App;
class FreqLabel;
class MeasureSession;
class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace measureui {

// A push button named `name` with the caption (accelerator marked with &)
// and the plain caption as its accessible name.
QPushButton *button(QWidget *parent, const char *name, const QString &caption);

// One button of a window's button rows: the member it goes to, its name, its
// caption and what a click does.
struct ButtonDef {
    QPushButton *&slot;
    const char *name;
    QString caption;
    std::function<void()> clicked;
};

// Makes the buttons and wires their clicks; adds `main` as one row to `to`
// and, when given, `extra` as a right-aligned row below it. The tab order
// follows the order given.
void addButtonRows(QBoxLayout *to, QWidget *parent, std::initializer_list<ButtonDef> main,
                   std::initializer_list<ButtonDef> extra = {});

// Escape on the window does what `exit` does, while it is enabled.
void escapeTo(QWidget *window, QPushButton *exit);

// Asks where to save a picture (default folder dir, suggested name); "" when
// cancelled. Tests replace it.
using AskPath = std::function<QString(QWidget *parent, const QString &dir,
                                      const QString &suggested, const QString &filter)>;
AskPath defaultAskPath();

// Saves what `area` shows as a PNG file; a message through the prompter when
// it fails.
bool savePicture(App &app, QWidget *area, const QString &path);

// The propagation windows' watch: a reading every 900 ms with the scan's
// floor, a silent receiver told by the first tick; at the start `freq`
// shows the receiver's frequency, and a missed reply shows in `status`.
void setUpWatch(App &app, MeasureSession *session, FreqLabel *freq, QLabel *status);

// The windows that command the receiver (the control panel and the open list
// and log windows) enabled or disabled while a measuring window drives it.
void enablewindows(App &app, bool state);

} // namespace measureui
