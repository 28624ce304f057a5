// What the benchmarks share: a prompter that answers every box as a user
// going on would, the process's CPU time and resident memory, and the
// program's link to the simulated receiver in this process.
#pragma once
#include "common/seams.h"
#include "link/app.h"
#include "link/receiver2.h"
#include "settings/settings.h"
#include "sim/simport.h"
#include "sim/simradio.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace benchkit {

// OK to a message, Yes to a question; the default to an input.
class YesPrompter : public Prompter {
public:
    Answer message(const QString &, const QString &, Icon, Buttons b) override
    {
        return b == Ok || b == OkCancel ? AnsOk : AnsYes;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &d) override
    {
        return d;
    }
};

// Sorts ms and sets the counters <prefix>median_ms, <prefix>min_ms and
// <prefix>max_ms (none when empty). Returns the median (0 when empty).
inline double medianCounters(benchmark::State &state, std::vector<double> &ms,
                             const std::string &prefix = {})
{
    if (ms.empty())
        return 0;
    std::sort(ms.begin(), ms.end());
    const double median = ms[ms.size() / 2];
    state.counters[prefix + "median_ms"] = median;
    state.counters[prefix + "min_ms"] = ms.front();
    state.counters[prefix + "max_ms"] = ms.back();
    return median;
}

inline double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// Resident memory in KiB (-1 when it cannot be read).
inline long rssKb()
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> v = f.readAll().split(' ');
    return v.size() > 1 ? v[1].toLong() * 4 : -1;
}

// The program's state with a real clock, prompter P and the default settings.
template <class P> struct AppKit {
    App app;
    SystemClock clock;
    P prompter;
    AppKit()
    {
        app.clock = &clock;
        app.prompter = &prompter;
        app.settings = settingsfile::defaults();
    }
};

// The program's state and link over the simulated receiver (demo memory).
template <class P> struct SimRig : AppKit<P> {
    using AppKit<P>::app;
    SimRadio radio{SimRadio::DemoMemory};
    SimPort port{&radio};
    Receiver2 rx{app};
    SimRig()
    {
        QString err;
        port.open(&err);
        rx.setPort(&port);
    }
    ~SimRig() { rx.setPort(nullptr); }
};

} // namespace benchkit
