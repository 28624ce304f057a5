// Fonts and widths shared by every window.
#pragma once
#include <QFont>

class QWidget;

namespace uifont {

// "Courier New" where installed, else the system's fixed-pitch font.
// pointSize <= 0 keeps the font's own size.
QFont fixedFont(int pointSize = 0, bool bold = false);

// A width in twips as pixels on the screen of w (15 twips per pixel at
// 96 dpi, scaled with the screen's resolution; at least 1).
int twipsToPixels(int twips, const QWidget *w);

} // namespace uifont
