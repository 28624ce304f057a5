// Push buttons and rows of them, made one way in every window: the
// objectName the tests use, the caption with its accelerator, what it shows
// (without the &) as its accessible name, never an auto-default.
#pragma once
#include <QKeySequence>
#include <QString>
#include <functional>
#include <vector>

class QBoxLayout;
class QHBoxLayout;
class QPushButton;
class QWidget;

namespace kit {

// The caption as shown: the accelerator marks taken out.
QString shownText(const QString &caption);

// What a button may have beyond its name and caption.
struct Look {
    int minWidth = 0;       // pixels; 0 = what the style gives
    bool fitCaption = false; // at least the caption's width and a margin
    QString tip;
    QKeySequence key;
};

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const Look &look = {});

// One button of a row: the member it goes to, its name, its caption and what
// a click does (none: the window wires it itself).
struct ButtonDef {
    QPushButton *&slot;
    const char *name;
    QString caption;
    std::function<void()> clicked = {};
};

enum class Align { Left, Right };

// Makes the buttons in the order given (that is their tab order, after
// `after` when given), wires their clicks to `parent` and returns them as a
// row; Right puts a stretch in front of them.
QHBoxLayout *buttonRow(QWidget *parent, const std::vector<ButtonDef> &defs, Align align = Align::Left,
                       const Look &look = {}, QPushButton *after = nullptr);

// `main` as one row added to `to` and, when given, `extra` as a
// right-aligned row below it, in one tab order.
void addButtonRows(QBoxLayout *to, QWidget *parent, const std::vector<ButtonDef> &main,
                   const std::vector<ButtonDef> &extra = {});

} // namespace kit
