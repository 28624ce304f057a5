#include "testkit.h"

#include <QDir>

Prompter::Answer RecordingPrompter::message(const QString &text, const QString &title,
                                            Icon icon, Buttons buttons)
{
    asked.append({text, title, icon, buttons, false, QString()});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == Ok || buttons == OkCancel ? AnsOk : AnsYes;
}

std::optional<QString> RecordingPrompter::input(const QString &prompt, const QString &title,
                                                const QString &defaultText)
{
    asked.append({prompt, title, NoIcon, OkCancel, true, defaultText});
    if (!inputs.empty()) {
        auto a = inputs.front();
        inputs.pop_front();
        return a;
    }
    return defaultText;
}

bool RecordingLauncher::openFile(const QString &path, QString *error)
{
    opened << path;
    if (fail && error)
        *error = QStringLiteral("cannot start");
    return !fail;
}

bool RecordingLauncher::openDateTimeSettings(QString *error)
{
    ++dateTimeCalls;
    if (fail && error)
        *error = QStringLiteral("cannot start");
    return !fail;
}

TestApp::TestApp()
{
    app.clock = &clock;
    app.prompter = &prompter;
    app.launcher = &launcher;
    app.settings = settingsfile::defaults();
    app.settings.base_dir = dir.path() + QLatin1Char('/');
    for (const QString &s : settingsfile::dataSubdirs())
        QDir().mkpath(app.settings.base_dir + s);
    app.replyTimeoutMs = 300;
    rx = std::make_unique<Receiver2>(app);
    QString err;
    port.open(&err);
    rx->setPort(&port);
}

TestApp::~TestApp()
{
    rx->setPort(nullptr);
}

void TestApp::answerState(const QString &rec12)
{
    port.responder = [rec12](const QByteArray &c) -> QByteArray {
        if (c == "L199199")
            return "L199" + rec12.toLatin1() + "\r";
        return {};
    };
}

QString sourcePath(const QString &relative)
{
    return QStringLiteral(VOR_SOURCE_DIR "/") + relative;
}
