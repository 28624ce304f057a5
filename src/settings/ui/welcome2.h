// The start window: the program's picture and four actions, GO, set-up,
// about and exit.
#pragma once
#include "settings/ui/about.h"
#include "settings/ui/setup.h"

#include <QPointer>
#include <QWidget>

struct App;
class QLabel;
class QToolButton;

class welcome2 : public QWidget {
    Q_OBJECT
public:
    explicit welcome2(App &app, QWidget *parent = nullptr);

    // "VORANTIS V6  December 2026".
    static QString caption();
    static QString releaseMonth();

    // The status line under the actions (hidden while empty): where the
    // demo's folder is, for one.
    void setStatus(const QString &text);
    QString status() const;

    // The windows it opened (null when not open).
    setup *setupDialog() const { return setup_; }
    about *aboutWindow() const { return about_; }

signals:
    // GO: the program opens the receiver link and the control panel.
    void goRequested();
    // Exit (the button, Escape, or closing the window by its frame).
    void exitRequested();

public slots:
    void openSetup();  // modal
    void openAbout();  // not modal

protected:
    void keyPressEvent(QKeyEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    QToolButton *makeAction(const char *name, const QString &text, int kind,
                            const QKeySequence &key, const QString &tip);

    App &app_;
    QLabel *lbl_status = nullptr;
    QPointer<setup> setup_;
    QPointer<about> about_;
    bool centred_ = false;
};

// Moves a top-level window to the middle of its screen.
void centreOnScreen(QWidget *w);
