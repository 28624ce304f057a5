// A label that shows the receiver's frequency as the windows show it
// ("####0.000" kHz, "-----.---" while it is not known). It is read out as
// what it shows; its accessible description says what it is.
#pragma once
#include <QLabel>
#include <QMetaObject>

struct App;

class FreqLabel : public QLabel {
    Q_OBJECT
public:
    FreqLabel(App &app, const QString &objectName, const QString &description, QWidget *parent);
    // While on, the label follows every frequency the line's owner tells
    // (frequencyChanged) but the dial reports meant only for the windows
    // that follow the dial.
    void setFollowing(bool on);
    bool following() const { return bool(conn_); }
    // Shows the receiver's frequency as the line's owner knows it now.
    void showKnown();
    // The look of the list and log windows: a sunken panel, the bold fixed
    // font, a light orange background.
    void setBoxed();

private:
    App &app_;
    QMetaObject::Connection conn_;
};
