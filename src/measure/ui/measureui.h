// What the measuring windows share: their button rows, the picture saved
// as PNG, and enablewindows.
#pragma once
#include "common/ui/buttons.h"

#include <QString>
#include <functional>
#include <vector>

struct App;
class FreqLabel;
class MeasureSession;
class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace measureui {

// A measuring window's buttons: `main` as one row and, when given, `extra`
// right-aligned below it, in one tab order. The window keeps its size,
// Escape does what its cmd_exit does, and the colours follow the
// high-contrast setting.
void addButtonRows(App &app, QBoxLayout *to, QWidget *window, const std::vector<kit::ButtonDef> &main,
                   const std::vector<kit::ButtonDef> &extra = {});

// What a recording window (the spectrum scan, the propagation impression)
// has after its own run buttons: SaveAs, Load, Rx Ctrl and Exit, and below
// them Save as PNG and Export CSV.
struct RecorderButtons {
    QPushButton *&savez, *&load, *&rx, *&exit, *&savepng, *&exportcsv;
    std::function<void()> onSavez, onLoad, onExit, onSavepng, onExportcsv;
};
void addRecorderRows(App &app, QBoxLayout *to, QWidget *window, std::vector<kit::ButtonDef> run,
                     const RecorderButtons &b);

// What Rx Ctrl does: the control panel to the front.
std::function<void()> toPanel(App &app);

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
