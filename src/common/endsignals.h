// Ending by a signal (Ctrl+C, a kill, a desktop logout, a closed terminal):
// SIGINT, SIGTERM and SIGHUP are taken from the system's default (an
// immediate death that leaves the receiver in remote control and the
// port's lock file behind) and handed to the event loop, where the program
// ends as its Exit does. The handler itself only writes the signal's number
// to a pipe; everything else runs on the event loop.
#pragma once
#include <QString>
#include <functional>

class QObject;

namespace endsignals {
// From now on each of the three signals calls then(signal) on the event
// loop of the calling thread, while context lives. Installed once per
// process; false (with the reason in *error) when the pipe cannot be made.
bool install(QObject *context, std::function<void(int signal)> then, QString *error = nullptr);
// The signals' default handling again (and no more calls).
void uninstall();
// "SIGINT", "SIGTERM", "SIGHUP" (or "signal N").
QString name(int signal);
} // namespace endsignals
