#include "settings/ui/welcome2.h"

#include "link/app.h"
#include "settings/ui/about.h"
#include "settings/ui/art.h"
#include "settings/ui/setup.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

void centreOnScreen(QWidget *w)
{
    QScreen *screen = w->screen() ? w->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect frame = w->frameGeometry();
    if (frame.width() < w->width() || frame.height() < w->height())
        frame.setSize(w->size());
    w->move(area.left() + (area.width() - frame.width()) / 2,
            area.top() + (area.height() - frame.height()) / 2);
}

QString welcome2::releaseMonth()
{
    return QStringLiteral("December 2026");
}

QString welcome2::caption()
{
    return QStringLiteral("VORANTIS V6  ") + releaseMonth();
}

welcome2::welcome2(App &app, QWidget *parent) : QWidget(parent), app_(app)
{
    setObjectName(QStringLiteral("welcome2"));
    setWindowTitle(caption());
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(QStringLiteral(
        "welcome2 { background: #17202c; }"
        "QToolButton { color: #e6ebf2; background: transparent; border: 1px solid transparent;"
        "  border-radius: 8px; padding: 4px 10px; font-weight: bold; }"
        "QToolButton:hover { background: #243246; border-color: #3b5170; }"
        "QToolButton:focus { border-color: #ffaa28; }"
        "QToolButton:pressed { background: #0f1720; }"));

    auto *pic = new WelcomePicture(QStringLiteral("VORANTIS V6"), this);
    pic->setObjectName(QStringLiteral("pic_welcome"));
    pic->setAccessibleName(caption());
    pic->setToolTip(caption());

    auto *go = makeAction("img_go", QStringLiteral("GO"), int(art::Action::Go),
                          QKeySequence(Qt::ALT | Qt::Key_G),
                          QStringLiteral("Connect to the receiver and open the control panel (Enter, Alt+G)"));
    auto *set = makeAction("img_setup", QStringLiteral("Set-up"), int(art::Action::Setup),
                           QKeySequence(Qt::ALT | Qt::Key_S),
                           QStringLiteral("Port, paths, location and options (Alt+S)"));
    auto *ab = makeAction("img_about", QStringLiteral("About"), int(art::Action::About),
                          QKeySequence(Qt::ALT | Qt::Key_A),
                          QStringLiteral("About this program (Alt+A)"));
    auto *ex = makeAction("img_exit", QStringLiteral("Exit"), int(art::Action::Exit),
                          QKeySequence(Qt::ALT | Qt::Key_X),
                          QStringLiteral("End the program (Escape, Alt+X)"));

    connect(go, &QToolButton::clicked, this, &welcome2::goRequested);
    connect(set, &QToolButton::clicked, this, &welcome2::openSetup);
    connect(ab, &QToolButton::clicked, this, &welcome2::openAbout);
    connect(ex, &QToolButton::clicked, this, &welcome2::exitRequested);

    auto *row = new QHBoxLayout;
    row->setSpacing(12);
    row->addStretch();
    for (QToolButton *b : {go, set, ab, ex})
        row->addWidget(b);
    row->addStretch();

    lbl_status = new QLabel(this);
    lbl_status->setObjectName(QStringLiteral("lbl_status"));
    lbl_status->setAccessibleDescription(QStringLiteral("Start window status"));
    lbl_status->setStyleSheet(QStringLiteral("color: #e6ebf2;"));
    lbl_status->setWordWrap(true);
    lbl_status->setTextFormat(Qt::PlainText);
    lbl_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lbl_status->hide();

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(12, 12, 12, 10);
    lay->setSpacing(8);
    lay->addWidget(pic, 1);
    lay->addLayout(row);
    lay->addWidget(lbl_status);

    setTabOrder(go, set);
    setTabOrder(set, ab);
    setTabOrder(ab, ex);
    go->setFocus();
    resize(sizeHint().expandedTo(QSize(560, 330)));
}

void welcome2::setStatus(const QString &text)
{
    lbl_status->setText(text);
    lbl_status->setVisible(!text.isEmpty());
}

QString welcome2::status() const
{
    return lbl_status->text();
}

QToolButton *welcome2::makeAction(const char *name, const QString &text, int kind,
                                  const QKeySequence &key, const QString &tip)
{
    auto *b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setAccessibleName(text);
    b->setToolTip(tip);
    b->setIcon(art::actionIcon(static_cast<art::Action>(kind)));
    b->setIconSize(QSize(48, 48));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setCursor(Qt::PointingHandCursor);
    b->setMinimumWidth(84);
    auto *sc = new QShortcut(key, this);
    connect(sc, &QShortcut::activated, b, &QToolButton::click);
    return b;
}

void welcome2::keyPressEvent(QKeyEvent *e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: {
        // Enter works the focused action; with none focused it is GO.
        auto *b = qobject_cast<QToolButton *>(focusWidget());
        if (b && b->parentWidget() == this && b->objectName() != QLatin1String("img_go"))
            b->click();
        else
            emit goRequested();
        e->accept();
        return;
    }
    case Qt::Key_Escape:
        e->accept();
        emit exitRequested();
        return;
    default:
        QWidget::keyPressEvent(e);
    }
}

void welcome2::showEvent(QShowEvent *e)
{
    QWidget::showEvent(e);
    if (!centred_) {
        centred_ = true;
        centreOnScreen(this);
    }
}

void welcome2::closeEvent(QCloseEvent *e)
{
    // Closed by its frame: the user wants to leave. Closed by the program
    // after GO: nothing more to do.
    if (e->spontaneous())
        emit exitRequested();
    QWidget::closeEvent(e);
}

void welcome2::openSetup()
{
    if (setup_) {
        setup_->raise();
        setup_->activateWindow();
        return;
    }
    setup_ = new setup(app_, this);
    setup_->setAttribute(Qt::WA_DeleteOnClose);
    setup_->setWindowModality(Qt::ApplicationModal);
    setup_->show();
}

void welcome2::openAbout()
{
    if (!about_) {
        about_ = new about(app_); // its own window: it may outlive the start window
        about_->setAttribute(Qt::WA_DeleteOnClose);
    }
    about_->show();
    about_->raise();
    about_->activateWindow();
}
