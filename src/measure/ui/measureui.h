// What the measuring windows share: buttons with accelerators, the picture
// saved as PNG, and enablewindows.
#pragma once
#include <QString>
#include <functional>

struct App;
class QPushButton;
class QWidget;

namespace measureui {

// A push button named `name` with the caption (accelerator marked with &)
// and the plain caption as its accessible name.
QPushButton *button(QWidget *parent, const char *name, const QString &caption);

// Asks where to save a picture (default folder dir, suggested name); "" when
// cancelled. Tests replace it.
using AskPath = std::function<QString(QWidget *parent, const QString &dir,
                                      const QString &suggested, const QString &filter)>;
AskPath defaultAskPath();

// Saves what `area` shows as a PNG file; a message through the prompter when
// it fails.
bool savePicture(App &app, QWidget *area, const QString &path);

// The windows that command the receiver (the control panel and the open list
// and log windows) enabled or disabled while a measuring window drives it.
void enablewindows(App &app, bool state);

} // namespace measureui
