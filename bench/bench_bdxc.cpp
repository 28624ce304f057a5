// Time from the OK of the file selection to a populated, painted BDXC grid
// for a 30,000-line list: read (with ditto lines), selection, model rows,
// layout and paint of the view. Median of several runs, for "all" and for a
// time selection. The list is generated into a temporary folder at run time.
//
//   QT_QPA_PLATFORM=offscreen ./bench_bdxc [runs]
#include "link/app.h"
#include "schedules/ui/bdxc.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <deque>

namespace {

class AnswerPrompter : public Prompter {
public:
    std::deque<QString> answers;
    int messages = 0;
    Answer message(const QString &, const QString &, Icon, Buttons) override
    {
        ++messages;
        return AnsOk;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        if (answers.empty())
            return d;
        const QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

// A made-up BDXC list of n lines in the file's columns, with ditto lines.
bool generateList(const QString &path, int n)
{
    static const char *stations[] = {"Radio Nordvik", "Voice of Tarsis", "Kestrel Intl",
                                     "R. Halvard", "Sunda Broadcast", "Radio Meridian",
                                     "Pellucid Radio", "Skerry Radio", "Radio Caldera"};
    static const char *langs[] = {"English  Eu", "German   Eu", "Spanish  CAm", "French   WAf",
                                  "Arabic   ME", "English  NAm", "Chinese  EAs"};
    QRandomGenerator rng(2026);
    QByteArray out;
    out.reserve(n * 80);
    for (int i = 0; i < n; ++i) {
        QString f1 = (i % 5 == 1) ? QStringLiteral(".") : QString::fromLatin1(stations[rng.bounded(9)]);
        QString f2 = (i % 7 == 3) ? QStringLiteral(".") : QString::fromLatin1(langs[rng.bounded(7)]);
        const int start = rng.bounded(24) * 100 + (rng.bounded(2) ? 30 : 0);
        const int end = (start + 100 + rng.bounded(3) * 100) % 2400;
        QString time = QStringLiteral("%1-%2").arg(start, 4, 10, QLatin1Char('0')).arg(end, 4, 10, QLatin1Char('0'));
        QStringList freqs;
        const int nf = 1 + rng.bounded(8);
        for (int k = 0; k < nf; ++k)
            freqs << QString::number(2300 + rng.bounded(24000));
        const QString line = f1.leftJustified(17, QLatin1Char(' '), true) +
                             f2.leftJustified(18, QLatin1Char(' '), true) + time + QStringLiteral("    ") +
                             freqs.join(QStringLiteral(", "));
        out += line.toLatin1() + "\r\n";
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(out) == out.size();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 9;

    QTemporaryDir dir;
    App app;
    AnswerPrompter prompter;
    app.prompter = &prompter;
    app.settings.base_dir = dir.path() + QLatin1Char('/');
    app.settings[5] = 1;  // no receiver
    app.settings[8] = 30; // DIM BDX: 30,000 lines
    QDir().mkpath(app.settings.sub(QStringLiteral("BDXC")));
    app.times.utc_text = QStringLiteral("5 Dec 2026  13:10");
    const int lines = 30000;
    if (!generateList(app.settings.sub(QStringLiteral("BDXC")) + QStringLiteral("BDX26TOE.TXT"), lines)) {
        std::fprintf(stderr, "cannot write the list\n");
        return 1;
    }
    app.files.bdxc = QStringLiteral("BDX26TOE.TXT");

    bdxc w(app);
    w.show();
    QCoreApplication::processEvents();

    auto once = [&](const QString &answer, int *rows) {
        prompter.answers.push_back(answer);
        QElapsedTimer t;
        t.start();
        w.read_list();
        // Lay out and paint the populated view.
        QCoreApplication::processEvents();
        (void)w.grd_bdx->grab();
        const double ms = t.nsecsElapsed() / 1e6;
        *rows = w.model->rowCount();
        return ms;
    };

    for (const QString &answer : {QStringLiteral("all"), QStringLiteral("1310")}) {
        std::vector<double> ms;
        int rows = 0;
        once(answer, &rows); // warm-up
        for (int i = 0; i < runs; ++i)
            ms.push_back(once(answer, &rows));
        std::printf("%-6s %6d lines -> %6d rows: median %.1f ms (min %.1f, max %.1f, %d runs)\n",
                    qPrintable(answer), w.table()->count(), rows, median(ms),
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()),
                    runs);
    }
    if (prompter.messages)
        std::printf("(%d messages shown)\n", prompter.messages);
    return 0;
}
