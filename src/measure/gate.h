// The measuring windows never poll the receiver together: each one, while it
// is open, disables the menu items of the others.
#pragma once
#include <QStringList>

namespace measuregate {

enum Window { Smeter = 1, Spectrum = 2, Proptime = 4, Prophist = 8 };

// The menu items (objectNames) that a measuring window disables while open.
QStringList disables(Window w);
// Every menu item the gate looks after.
QStringList items();
// The items to disable for the set of open windows (a mask of Window).
QStringList disabledFor(int openMask);

} // namespace measuregate
