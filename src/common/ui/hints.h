// Explanations for the controls and menu items whose captions are short
// internal names ("Fetch RM", "Db2Rx", "abmg"): their tooltips and status
// tips. The captions themselves stay as they are.
#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace uihints {

// The explanation of the control or menu item objectName in the window
// windowName (the window's objectName); empty when it has none.
QString of(const QString &windowName, const QString &objectName);

// The objects the explanations name for windowName alone.
QStringList namesFor(const QString &windowName);

// Gives every control and menu item of window w that has an explanation
// its status tip, and its tooltip unless it has one already.
void apply(QWidget *w);

// From now on every window gets its explanations when it is shown.
void install();

} // namespace uihints
