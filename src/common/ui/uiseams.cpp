#include "common/ui/uiseams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

Prompter::Answer DialogPrompter::message(const QString &text, const QString &title,
                                         Icon icon, Buttons buttons)
{
    return show(text, title, icon, buttons, QString());
}

Prompter::Answer DialogPrompter::messageWithDetails(const QString &text, const QString &title,
                                                    Icon icon, const QString &details)
{
    return show(text, title, icon, Ok, details);
}

Prompter::Answer DialogPrompter::show(const QString &text, const QString &title, Icon icon,
                                      Buttons buttons, const QString &details)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    if (!details.isEmpty())
        box.setDetailedText(details);
    switch (icon) {
    case Information: box.setIcon(QMessageBox::Information); break;
    case Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Question: box.setIcon(QMessageBox::Question); break;
    case Critical: box.setIcon(QMessageBox::Critical); break;
    case NoIcon: box.setIcon(QMessageBox::NoIcon); break;
    }
    switch (buttons) {
    case Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return AnsYes;
    case QMessageBox::No: return AnsNo;
    case QMessageBox::Cancel: return AnsCancel;
    default: return buttons == Ok ? AnsOk : (buttons == OkCancel ? AnsOk : AnsCancel);
    }
}

void DialogPrompter::notice(const QString &text, const QString &title, Icon icon)
{
    // The same text already on screen is not shown twice.
    for (QWidget *w : QApplication::topLevelWidgets()) {
        auto *open = qobject_cast<QMessageBox *>(w);
        if (open && open->isVisible() && open->text() == text && open->windowTitle() == title)
            return;
    }
    auto *box = new QMessageBox(QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->setWindowTitle(title);
    box->setText(text);
    switch (icon) {
    case Information: box->setIcon(QMessageBox::Information); break;
    case Exclamation: box->setIcon(QMessageBox::Warning); break;
    case Question: box->setIcon(QMessageBox::Question); break;
    case Critical: box->setIcon(QMessageBox::Critical); break;
    case NoIcon: box->setIcon(QMessageBox::NoIcon); break;
    }
    box->setStandardButtons(QMessageBox::Ok);
    box->show();
}

std::optional<QString> DialogPrompter::input(const QString &prompt, const QString &title,
                                             const QString &defaultText)
{
    bool ok = false;
    const QString s = QInputDialog::getText(QApplication::activeWindow(), title, prompt,
                                            QLineEdit::Normal, defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return s;
}

bool DesktopLauncher::openFile(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The file %1 does not exist.").arg(path);
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        if (error)
            *error = QStringLiteral("No program is set up to open %1.").arg(path);
        return false;
    }
    return true;
}

bool DesktopLauncher::openDateTimeSettings(QString *error)
{
    // The desktops' own date-and-time tools, first one found wins.
    const char *tools[][2] = {
        {"gnome-control-center", "datetime"},
        {"systemsettings", "kcm_clock"},
        {"xfce4-datetime-settings", nullptr},
        {"timedatectl", nullptr},
    };
    for (const auto &t : tools) {
        const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(t[0]));
        if (exe.isEmpty() || QString::fromLatin1(t[0]) == QLatin1String("timedatectl"))
            continue;
        QStringList args;
        if (t[1])
            args << QString::fromLatin1(t[1]);
        if (QProcess::startDetached(exe, args))
            return true;
    }
    if (error)
        *error = QStringLiteral("No date and time settings program was found.\n"
                                "Set the PC clock with your desktop's settings or, as root,\n"
                                "with: timedatectl set-time \"YYYY-MM-DD hh:mm:ss\"");
    return false;
}
