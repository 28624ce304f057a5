// The high-contrast look of the measuring windows and the tracking list
// (chosen in set-up): colours with at least 4.5:1 contrast against what
// they are drawn on, and labels of at least 9 pt. Without it the windows
// keep their own colours.
#pragma once
#include <QColor>

class QWidget;

namespace contrast {

// The least contrast ratio of the high-contrast look.
inline constexpr double kMinRatio = 4.5;
// The least label size, in points.
inline constexpr double kMinPoints = 9.0;

// Relative luminance (0 black .. 1 white) of an sRGB colour.
double luminance(const QColor &c);
// Contrast ratio of two colours, 1 to 21 (the order does not matter).
double ratio(const QColor &a, const QColor &b);

// A colour made to stand out on black: the colour itself when it does
// enough, else lightened towards white until it does.
QColor onBlack(const QColor &c);
// The high-contrast colour of a colour the measuring windows draw with:
// their dark red panels and plotting areas become black, their light
// (cream, light grey) backgrounds white; black and white stay; every other colour is a
// mark on the black panels and stands out on black (onBlack).
QColor map(const QColor &c);

// The tracking list's rows: plain, a station on the air, a station aimed at
// the receiver's target area.
enum class Row { Plain, Station, Target };
struct RowColours {
    QColor background, text;
};
RowColours trackingRow(Row kind);

// Gives a window the high-contrast look: its drawing areas map their
// colours as above, its labels and buttons get at least 9 pt.
void applyTo(QWidget *window);

} // namespace contrast
