#include "app/startup.h"
#include "common/endsignals.h"
#include "common/ui/hints.h"
#include "common/ui/uiseams.h"
#include "panel/ui/rxctrl2.h"
#include "settings/ui/setup.h"
#include "version.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    // --help and --version work without a display.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const Options opt = Options::parse(args);
    if (opt.version) {
        std::printf("vorantis %s\n", VORANTIS_VERSION);
        return 0;
    }
    if (opt.help) {
        std::fputs(qPrintable(Options::usage()), stdout);
        return 0;
    }
    if (!opt.error.isEmpty()) {
        std::fprintf(stderr, "vorantis: %s\n%s", qPrintable(opt.error), qPrintable(Options::usage()));
        return 2;
    }

    QApplication qapp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORANTIS"));
    QApplication::setApplicationVersion(QStringLiteral(VORANTIS_VERSION));

    // Short captions get their explanations as tooltips and status tips.
    uihints::install();

    SystemClock clock;
    DialogPrompter prompter;
    DesktopLauncher launcher;
    Program program(opt, &clock, &prompter, &launcher);
    // A logout, a kill or Ctrl+C in the terminal ends the program as Exit
    // does, from the event loop.
    endsignals::install(&program, [&program](int sig) { program.endBySignal(sig); });

    QString error;
    bool firstRun = false;
    if (!program.loadSettings(&error, &firstRun)) {
        prompter.message(error + QStringLiteral("\nThe program cannot start without its settings."),
                         QStringLiteral("VRTSV6.INI"), Prompter::Critical);
        return 1;
    }
    program.showWelcome();
    if (firstRun) {
        QTimer::singleShot(0, [&] {
            prompter.message(QStringLiteral("No settings file was found, so a new one with default\n"
                                            "values was made in %1\nPlease check the settings now.")
                                 .arg(program.app().settings.base_dir),
                             QStringLiteral("First start"), Prompter::Information);
            setup dlg(program.app(), program.welcome());
            dlg.exec();
        });
    }
    return qapp.exec();
}
