// The windows as a screen reader sees and works them, through QAccessible.
#pragma once
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QStringList>
#include <QWidget>

namespace a11y {

// What a screen reader announces for the widget.
inline QString name(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

// The "toggle" action, as a screen reader sends it; false when the widget
// does not offer it.
inline bool toggle(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    QAccessibleActionInterface *a = i ? i->actionInterface() : nullptr;
    if (!a || !a->actionNames().contains(QAccessibleActionInterface::toggleAction()))
        return false;
    a->doAction(QAccessibleActionInterface::toggleAction());
    return true;
}

// The two ways of choosing a check box or option button.
enum class How { Click, Toggle };
inline const char *howName(How h) { return h == How::Click ? "click" : "toggle action"; }
inline bool choose(QAbstractButton *b, How h)
{
    if (h == How::Click) {
        b->click();
        return true;
    }
    return toggle(b);
}

// Text labels under root whose fixed accessible name hides what they show,
// as "objectName: name".
inline QStringList hiddenLabels(QWidget *root)
{
    QStringList bad;
    for (QLabel *l : root->findChildren<QLabel *>()) {
        if (!l->pixmap().isNull())
            continue; // a picture has a name of its own
        if (!l->accessibleName().isEmpty() && l->accessibleName() != l->text())
            bad << l->objectName() + QStringLiteral(": ") + l->accessibleName();
    }
    return bad;
}

} // namespace a11y
