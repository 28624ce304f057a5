// The about window: fixed text about the program and the receiver.
#pragma once
#include <QDialog>

struct App;

class about : public QDialog {
    Q_OBJECT
public:
    explicit about(App &app, QWidget *parent = nullptr);

    // The window's text (rich text), fixed.
    static QString text();

protected:
    void showEvent(QShowEvent *e) override;

private:
    bool centred_ = false;
};
