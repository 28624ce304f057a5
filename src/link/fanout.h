// The frequency fan-out: windows that show the receiver's frequency register
// here while they are loaded (their loaded flag) and are told every new
// frequency text.
#pragma once
#include <QString>
#include <array>
#include <functional>

class FreqFanout {
public:
    enum Target { Bdxc, Log, Own, Ilg2Rx, Tracking, Count };
    using Sink = std::function<void(const QString &freqText)>;

    // Called on load with the window's update, and with nullptr on unload.
    void setLoaded(Target t, Sink sink) { sinks_[t] = std::move(sink); }
    bool loaded(Target t) const { return bool(sinks_[t]); }
    void send(Target t, const QString &s) const
    {
        if (sinks_[t])
            sinks_[t](s);
    }

private:
    std::array<Sink, Count> sinks_{};
};
