// The desktop implementations of Prompter and Launcher.
#pragma once
#include "common/seams.h"

class QWidget;

class DialogPrompter : public Prompter {
public:
    // Shows one box; details (when not empty) can be unfolded.
    Answer show(const QString &text, const QString &title, Icon icon, Buttons buttons,
                const QString &details);
    Answer message(const QString &text, const QString &title, Icon icon,
                   Buttons buttons = Ok) override;
    Answer messageWithDetails(const QString &text, const QString &title, Icon icon,
                              const QString &details) override;
    int choose(const QString &text, const QString &title, Icon icon,
               const QStringList &buttons) override;
    // A box that shows without stopping the caller; one per text at a time.
    void notice(const QString &text, const QString &title, Icon icon) override;
    std::optional<QString> input(const QString &prompt, const QString &title,
                                 const QString &defaultText) override;
};

class DesktopLauncher : public Launcher {
public:
    bool openFile(const QString &path, QString *error) override;
    Outcome openDateTimeSettings(QString *text) override;

    // The date-and-time settings of a desktop found on PATH, the running
    // desktop's (XDG_CURRENT_DESKTOP) first; an empty program when none is
    // installed.
    struct Command {
        QString program;
        QStringList args;
    };
    static Command dateTimeSettingsCommand();
    // Why no program would open path (the desktop has none set up for its
    // type); empty when one is, or when the desktop cannot be asked.
    static QString noProgramFor(const QString &path);
    // How the PC clock is kept, for when no settings program is installed:
    // from `timedatectl show` where that is installed.
    static QString clockKeepingText();
};
