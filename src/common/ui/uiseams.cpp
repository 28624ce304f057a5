#include "common/ui/uiseams.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QInputDialog>
#include <QMap>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QProcess>
#include <QPushButton>
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

int DialogPrompter::choose(const QString &text, const QString &title, Icon icon,
                           const QStringList &buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(icon == Information   ? QMessageBox::Information
                : icon == Exclamation ? QMessageBox::Warning
                : icon == Question    ? QMessageBox::Question
                : icon == Critical    ? QMessageBox::Critical
                                      : QMessageBox::NoIcon);
    QList<QAbstractButton *> made;
    for (int i = 0; i < buttons.size(); ++i) {
        const bool last = i == buttons.size() - 1;
        QPushButton *b = box.addButton(buttons[i], last ? QMessageBox::RejectRole
                                                   : i == 0 ? QMessageBox::AcceptRole
                                                            : QMessageBox::ActionRole);
        b->setAccessibleName(buttons[i]);
        made << b;
        if (last) {
            box.setEscapeButton(b);
            box.setDefaultButton(b);
        }
    }
    box.exec();
    const int i = int(made.indexOf(box.clickedButton()));
    return i >= 0 ? i : int(buttons.size()) - 1;
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

QString DesktopLauncher::noProgramFor(const QString &path)
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    // The desktop's opener runs in the background and tells a failure only
    // on the terminal; asked first, the desktop says whether any program is
    // set up for the file's type.
    const QString query = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (query.isEmpty())
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QProcess p;
    p.start(query, {QStringLiteral("query"), QStringLiteral("default"), type.name()});
    if (!p.waitForFinished(3000) || p.exitStatus() != QProcess::NormalExit) {
        p.kill();
        p.waitForFinished(1000);
        return {};
    }
    if (!p.readAllStandardOutput().trimmed().isEmpty())
        return {};
    return QStringLiteral("No program on this computer is set up to open %1 files (%2).")
        .arg(type.comment(), type.name());
#else
    Q_UNUSED(path);
    return {};
#endif
}

bool DesktopLauncher::openFile(const QString &path, QString *error)
{
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The file %1 does not exist.").arg(path);
        return false;
    }
    if (const QString why = noProgramFor(path); !why.isEmpty()) {
        if (error)
            *error = why;
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        if (error)
            *error = QStringLiteral("No program is set up to open %1.").arg(path);
        return false;
    }
    return true;
}

DesktopLauncher::Command DesktopLauncher::dateTimeSettingsCommand()
{
    // Desktop name as in XDG_CURRENT_DESKTOP, program, arguments.
    static const struct {
        const char *desktop, *program;
        QStringList args;
    } tools[] = {
        {"GNOME", "gnome-control-center", {QStringLiteral("datetime")}},
        {"KDE", "kcmshell6", {QStringLiteral("kcm_clock")}},
        {"KDE", "systemsettings", {QStringLiteral("kcm_clock")}},
        {"KDE", "kcmshell5", {QStringLiteral("clock")}},
        {"XFCE", "xfce4-datetime-settings", {}},
        {"MATE", "mate-time-admin", {}},
        {"MATE", "time-admin", {}},
        {"X-Cinnamon", "cinnamon-settings", {QStringLiteral("calendar")}},
        {"LXQt", "lxqt-admin-time", {}},
        {"Unity", "unity-control-center", {QStringLiteral("datetime")}},
    };
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto &t : tools) {
            const bool own = desktops.contains(QLatin1String(t.desktop), Qt::CaseInsensitive);
            if (own != (pass == 0))
                continue;
            const QString exe = QStandardPaths::findExecutable(QString::fromLatin1(t.program));
            if (!exe.isEmpty())
                return {exe, t.args};
        }
    }
    return {};
}

QString DesktopLauncher::clockKeepingText()
{
    QString text = QStringLiteral("No date and time settings of a desktop are installed.\n");
    const QString ctl = QStandardPaths::findExecutable(QStringLiteral("timedatectl"));
    QMap<QString, QString> v;
    if (!ctl.isEmpty()) {
        QProcess p;
        p.start(ctl, {QStringLiteral("show")});
        if (p.waitForFinished(3000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0) {
            for (const QString &line : QString::fromLocal8Bit(p.readAllStandardOutput()).split(QLatin1Char('\n'))) {
                const int eq = line.indexOf(QLatin1Char('='));
                if (eq > 0)
                    v.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
            }
        } else {
            p.kill();
            p.waitForFinished(1000);
        }
    }
    const QString ntp = v.value(QStringLiteral("NTP"));
    const QString synced = v.value(QStringLiteral("NTPSynchronized"));
    if (ntp == QLatin1String("yes") && synced == QLatin1String("yes"))
        text += QStringLiteral("The PC clock is kept by network time and is synchronized:\n"
                               "it needs no setting by hand.");
    else if (ntp == QLatin1String("yes"))
        text += QStringLiteral("The PC clock is kept by network time, but it is not\n"
                               "synchronized yet: check the network connection.");
    else if (ntp == QLatin1String("no"))
        text += QStringLiteral("Network time is off: switch it on, as root, with\n"
                               "  timedatectl set-ntp true\n"
                               "or set the clock by hand with\n"
                               "  timedatectl set-time \"YYYY-MM-DD hh:mm:ss\"");
    else
        text += QStringLiteral("Keep the clock by network time (an NTP service such as\n"
                               "systemd-timesyncd or chrony), or set it as root with\n"
                               "  date -s \"YYYY-MM-DD hh:mm:ss\"");
    if (!ctl.isEmpty() && !v.isEmpty())
        text += QStringLiteral("\n\"timedatectl status\" shows the clock and how it is kept.");
    return text;
}

Launcher::Outcome DesktopLauncher::openDateTimeSettings(QString *text)
{
    const Command c = dateTimeSettingsCommand();
    if (c.program.isEmpty()) {
        if (text)
            *text = clockKeepingText();
        return Outcome::NotInstalled;
    }
    if (!QProcess::startDetached(c.program, c.args)) {
        if (text)
            *text = QStringLiteral("%1 could not be started.").arg(c.program);
        return Outcome::Failed;
    }
    return Outcome::Started;
}
