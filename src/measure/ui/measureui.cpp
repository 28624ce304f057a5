#include "measure/ui/measureui.h"

#include "common/ui/freqlabel.h"

#include "link/app.h"
#include "link/panelview.h"
#include "measure/session.h"
#include "common/ui/contrast.h"

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

void addButtonRows(App &app, QBoxLayout *to, QWidget *window, const std::vector<kit::ButtonDef> &main,
                   const std::vector<kit::ButtonDef> &extra)
{
    kit::addButtonRows(to, window, main, extra);
    to->setSizeConstraint(QLayout::SetFixedSize);
    if (auto *exit = window->findChild<QPushButton *>(QStringLiteral("cmd_exit")))
        escapeTo(window, exit);
    if (app.settings.high_contrast)
        contrast::applyTo(window);
}

void addRecorderRows(App &app, QBoxLayout *to, QWidget *window, std::vector<kit::ButtonDef> run,
                     const RecorderButtons &b)
{
    run.push_back({b.savez, "cmd_savez", QStringLiteral("S&aveAs"), b.onSavez});
    run.push_back({b.load, "cmd_Load", QStringLiteral("&Load"), b.onLoad});
    run.push_back({b.rx, "cmd_Rx", QStringLiteral("&Rx Ctrl"), toPanel(app)});
    run.push_back({b.exit, "cmd_exit", QStringLiteral("E&xit"), b.onExit});
    addButtonRows(app, to, window, run,
                  {{b.savepng, "cmd_savepng", QStringLiteral("Save as &PNG"), b.onSavepng},
                   {b.exportcsv, "cmd_exportcsv", QStringLiteral("&Export CSV"), b.onExportcsv}});
}

std::function<void()> toPanel(App &app)
{
    return [&app] {
        if (app.panel)
            app.panel->bringToFront();
    };
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
