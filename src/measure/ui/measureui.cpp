#include "measure/ui/measureui.h"

#include "common/ui/freqlabel.h"

#include "link/app.h"
#include "link/panelview.h"
#include "measure/session.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSaveFile>
#include <QShortcut>
#include <QWidget>

namespace measureui {

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    QString plain = caption;
    plain.remove(QLatin1Char('&'));
    b->setAccessibleName(plain);
    b->setAutoDefault(false);
    return b;
}

void addButtonRows(QBoxLayout *to, QWidget *parent, std::initializer_list<ButtonDef> main,
                   std::initializer_list<ButtonDef> extra)
{
    QPushButton *previous = nullptr;
    auto make = [&](const ButtonDef &d) {
        QPushButton *b = button(parent, d.name, d.caption);
        d.slot = b;
        QObject::connect(b, &QPushButton::clicked, parent, d.clicked);
        if (previous)
            QWidget::setTabOrder(previous, b);
        previous = b;
        return b;
    };
    auto *row = new QHBoxLayout;
    for (const ButtonDef &d : main)
        row->addWidget(make(d));
    to->addLayout(row);
    if (extra.size() == 0)
        return;
    auto *row2 = new QHBoxLayout;
    row2->addStretch();
    for (const ButtonDef &d : extra)
        row2->addWidget(make(d));
    to->addLayout(row2);
}

void escapeTo(QWidget *window, QPushButton *exit)
{
    auto *esc = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    // A disabled button ignores click().
    QObject::connect(esc, &QShortcut::activated, exit, &QPushButton::click);
}

void setUpWatch(App &app, MeasureSession *session, FreqLabel *freq, QLabel *status)
{
    session->setInterval(900);
    session->scanFloor = true;
    session->startTell = Receiver2::Tell::Unreadable;
    QObject::connect(session, &MeasureSession::started, freq, [freq] { freq->showKnown(); });
    QObject::connect(session, &MeasureSession::missed, status,
                     [session, status] { status->setText(session->missedText()); });
}

AskPath defaultAskPath()
{
    return [](QWidget *parent, const QString &dir, const QString &suggested,
              const QString &filter) {
        QDir().mkpath(dir);
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Save as"),
                                            QDir(dir).filePath(suggested), filter);
    };
}

bool savePicture(App &app, QWidget *area, const QString &path)
{
    const QImage img = area->grab().toImage();
    QSaveFile f(path);
    if (f.open(QIODevice::WriteOnly) && img.save(&f, "PNG") && f.commit())
        return true;
    if (app.prompter)
        app.prompter->message(QStringLiteral("The picture could not be saved to the file ")
                                  + QFileInfo(path).fileName() + QLatin1Char('\n')
                                  + f.errorString(),
                              QStringLiteral("Save as PNG"), Prompter::Exclamation);
    return false;
}

void enablewindows(App &app, bool state)
{
    if (app.panel)
        app.panel->setPanelEnabled(state);
    static const char *const names[] = {"bdxc", "own", "ILG2Rx", "log", "logging"};
    for (QWidget *w : QApplication::topLevelWidgets()) {
        for (const char *n : names)
            if (w->objectName() == QLatin1String(n))
                w->setEnabled(state);
    }
}

} // namespace measureui
