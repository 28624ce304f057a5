// A 10,000-record LOG file: read, sort by each of the five orders, and show
// in the log window's grid (fill, layout and paint). Medians of several runs.
// The log is generated into a temporary folder at run time.
//
//   QT_QPA_PLATFORM=offscreen ./bench_logbook [runs]
#include "common/textfile.h"
#include "link/app.h"
#include "logbook/logging2.h"
#include "logbook/ui/logmodel.h"
#include "logbook/ui/logwin.h"
#include "schedules/ui/listmodel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class QuietPrompter : public Prompter {
public:
    int messages = 0;
    Answer message(const QString &, const QString &, Icon, Buttons) override
    {
        ++messages;
        return AnsOk;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override { return d; }
};

QStringList generateLog(int n)
{
    static const char *orgs[] = {"Radio Nordvik", "Voice of Tarsis", "Kestrel Intl", "R. Halvard",
                                 "Sunda Broadcast", "Radio Meridian", "Pellucid Radio", "Skerry Radio",
                                 "Radio Caldera", "radio nordvik"};
    static const char *sites[] = {"Skerrvik", "Ardan Hills", "Punta Gavilan", "Kenadou", "Palanggi"};
    static const char *langs[] = {"E", "G", "S", "F", "A", "C", "I", "R"};
    QRandomGenerator rng(535);
    QStringList lines;
    lines.reserve(n);
    for (int i = 0; i < n; ++i) {
        logging2::Record r;
        r[0] = QStringLiteral("2026%1%2").arg(1 + rng.bounded(12), 2, 10, QLatin1Char('0')).arg(1 + rng.bounded(28), 2, 10, QLatin1Char('0'));
        r[1] = QStringLiteral("%1%2").arg(rng.bounded(24), 2, 10, QLatin1Char('0')).arg(rng.bounded(60), 2, 10, QLatin1Char('0'));
        r[2] = r[1];
        r[3] = QStringLiteral("%1").arg(2300 + rng.bounded(24000), 5, 10, QLatin1Char('0'));
        r[4] = QStringLiteral("%1").arg(21111 + rng.bounded(34444));
        r[5] = QString::fromLatin1(langs[rng.bounded(8)]);
        r[6] = QString::fromLatin1(orgs[rng.bounded(10)]);
        r[7] = QString::fromLatin1(sites[rng.bounded(5)]);
        r[8] = QStringLiteral("%1").arg(5900 + rng.bounded(10000), 5, 10, QLatin1Char('0'));
        r[12] = QStringLiteral("Remarks for reception %1").arg(i);
        r[13] = QStringLiteral("0041");
        lines << logging2::formatLine(i, r);
    }
    return lines;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <typename F> void report(const char *what, int runs, F &&once)
{
    std::vector<double> ms;
    once(); // warm-up
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        once();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("%-22s median %7.1f ms (min %.1f, max %.1f, %d runs)\n", what, median(ms),
                *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()), runs);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;
    const int n = 10000;

    QTemporaryDir dir;
    App app;
    QuietPrompter prompter;
    app.prompter = &prompter;
    app.settings.base_dir = dir.path() + QLatin1Char('/');
    app.settings.setNoRx(true);
    app.settings.setDim(2, 10); // DIM LOG: 10,001 records
    QDir().mkpath(app.settings.sub(QStringLiteral("LOG")));
    const QString path = app.settings.sub(QStringLiteral("LOG")) + QStringLiteral("LOG_BENCH.TXT");
    QString error;
    if (!textfile::writeLines(path, generateLog(n), &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    app.files.log = QStringLiteral("LOG_BENCH.TXT");

    logging2::LogBook book;
    report("read 10,000 records", runs, [&] { book.read(path, logging2::LogBook::capacityFor(app.settings)); });
    const char *names[5] = {"sort Date", "sort Time", "sort Frequency", "sort Organisation", "sort Language"};
    for (int c = 0; c < 5; ++c) {
        // Each run sorts the file's order again (a copy of the table read).
        report(names[c], runs, [&] {
            logging2::LogBook b = book;
            b.sortChoice = c;
            b.sort();
        });
    }

    LogWindow w(app);
    w.show();
    QCoreApplication::processEvents();
    w.read_log_file();
    report("show in the grid", runs, [&] {
        w.fill_log_grid();
        QCoreApplication::processEvents();
        (void)w.grd_log->grab();
    });
    std::printf("%d records shown\n", w.model->rowCount());
    return 0;
}
