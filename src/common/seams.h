// Seams created once in main and handed down, so that tests can replace them.
#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

// The PC's local date and time, and the system's own difference from UTC.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Seconds the system's local time is ahead of UTC now (summer time
    // included); nullopt when not known.
    virtual std::optional<int> utcOffsetSeconds() const { return std::nullopt; }
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    std::optional<int> utcOffsetSeconds() const override
    {
        return QDateTime::currentDateTime().offsetFromUtc();
    }
};

// Every message box, question and input box goes through a Prompter.
class Prompter {
public:
    enum Icon { NoIcon, Information, Exclamation, Question, Critical };
    enum Buttons { Ok, YesNo, YesNoCancel, OkCancel };
    enum Answer { AnsOk, AnsYes, AnsNo, AnsCancel };

    virtual ~Prompter() = default;
    // text: lines separated by "\n".
    virtual Answer message(const QString &text, const QString &title, Icon icon,
                           Buttons buttons = Ok) = 0;
    // As message with an OK button, plus details the user can unfold under
    // the text (the reason behind a fixed message). Without a place for
    // details they are left out.
    virtual Answer messageWithDetails(const QString &text, const QString &title, Icon icon,
                                      const QString &details)
    {
        (void)details;
        return message(text, title, icon, Ok);
    }
    // A message with an OK button that does not stop the caller: for what
    // runs by itself (a recording, a scan), which goes on while it shows.
    virtual void notice(const QString &text, const QString &title, Icon icon)
    {
        message(text, title, icon, Ok);
    }
    // A question with buttons of its own: captions, the last one the way
    // out (also Escape). Gives the index of the button chosen. Where only
    // the standard buttons exist, two or three captions stand for Yes, No
    // (and Cancel).
    virtual int choose(const QString &text, const QString &title, Icon icon,
                       const QStringList &buttons)
    {
        const int n = int(buttons.size());
        const Answer a = message(text, title, icon, n >= 3 ? YesNoCancel : n == 2 ? YesNo : Ok);
        return a == AnsYes || a == AnsOk ? 0 : (a == AnsNo && n >= 3) ? 1 : n - 1;
    }
    // Input box; nullopt on Cancel.
    virtual std::optional<QString> input(const QString &prompt, const QString &title,
                                         const QString &defaultText) = 0;
};

// Outside programs: open a file with the desktop's default application, start
// the desktop's own date-and-time settings.
class Launcher {
public:
    virtual ~Launcher() = default;
    // Returns false with a reason when nothing could be started.
    virtual bool openFile(const QString &path, QString *error) = 0;
    // Started; NotInstalled (no such program here) with a text that says how
    // the clock is kept instead; Failed with the reason.
    enum class Outcome { Started, NotInstalled, Failed };
    virtual Outcome openDateTimeSettings(QString *text) = 0;
};
