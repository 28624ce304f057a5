#include "common/endsignals.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
int g_pipe[2] = {-1, -1};
QPointer<QSocketNotifier> g_notifier;

extern "C" void onEndSignal(int sig)
{
    const int saved = errno;
    const unsigned char c = static_cast<unsigned char>(sig);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &c, 1);
    errno = saved;
}

} // namespace

namespace endsignals {

bool install(QObject *context, std::function<void(int)> then, QString *error)
{
    uninstall();
    if (g_pipe[0] < 0) {
        if (::pipe(g_pipe) != 0) {
            if (error)
                *error = QStringLiteral("no pipe for the signals: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        for (int fd : g_pipe) {
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        }
    }
    g_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, context);
    QObject::connect(g_notifier.data(), &QSocketNotifier::activated, context, [then] {
        unsigned char c = 0;
        while (::read(g_pipe[0], &c, 1) == 1)
            then(int(c));
    });
    struct sigaction sa;
    std::memset(&sa, 0, sizeof sa);
    sa.sa_handler = onEndSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : kSignals)
        ::sigaction(s, &sa, nullptr);
    return true;
}

void uninstall()
{
    for (int s : kSignals)
        std::signal(s, SIG_DFL);
    delete g_notifier.data();
}

QString name(int signal)
{
    switch (signal) {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGTERM: return QStringLiteral("SIGTERM");
    case SIGHUP: return QStringLiteral("SIGHUP");
    default: return QStringLiteral("signal %1").arg(signal);
    }
}

} // namespace endsignals
