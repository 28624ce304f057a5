// nrd535-sim: the simulated NRD-535 on a pseudo-terminal. The program (or
// anything else) opens the printed device as if it were the serial port.
#include "sim/simlink.h"
#include "sim/simradio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

// Printable form of a command for the log: control characters as <0D>.
QByteArray printable(const QByteArray &cmd)
{
    QByteArray out;
    for (unsigned char c : cmd) {
        if (c >= 0x20 && c < 0x7f)
            out += char(c);
        else
            out += '<' + QByteArray::number(c, 16).rightJustified(2, '0').toUpper() + '>';
    }
    return out;
}

// The master side of the pty: reads what the program writes and writes the
// paced replies back.
class PtyServer : public QObject {
public:
    PtyServer(int master, SimLink *link, QFile *log)
        : m_master(master), m_link(link), m_log(log)
    {
        m_read = new QSocketNotifier(master, QSocketNotifier::Read, this);
        connect(m_read, &QSocketNotifier::activated, this, &PtyServer::readMaster);
        m_write = new QSocketNotifier(master, QSocketNotifier::Write, this);
        m_write->setEnabled(false);
        connect(m_write, &QSocketNotifier::activated, this, &PtyServer::flush);
        connect(link, &SimLink::forProgram, this, [this]() {
            m_out += m_link->takeForProgram();
            // Nobody reading: a real line would lose the characters too.
            if (m_out.size() > kMaxPending)
                m_out = m_out.right(kMaxPending);
            flush();
        });
        connect(link, &SimLink::commandReceived, this, &PtyServer::logCommand);
        m_retry.setSingleShot(true);
        connect(&m_retry, &QTimer::timeout, this, [this]() { m_read->setEnabled(true); });
    }

private:
    static constexpr int kMaxPending = 65536;

    void readMaster()
    {
        char buf[4096];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                m_link->fromProgram(QByteArray(buf, int(n)));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return;
            // EIO / end: the other side has gone away. Wait and look again,
            // so that it can come back.
            m_read->setEnabled(false);
            m_retry.start(200);
            return;
        }
    }

    void flush()
    {
        while (!m_out.isEmpty()) {
            const ssize_t n = ::write(m_master, m_out.constData(), size_t(m_out.size()));
            if (n > 0) {
                m_out.remove(0, int(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN) {   // gone; keep nothing
                m_out.clear();
                break;
            }
            m_write->setEnabled(true);
            return;
        }
        m_write->setEnabled(false);
    }

    void logCommand(qint64 ms, const QByteArray &cmd)
    {
        const qint64 gap = m_lastMs < 0 ? 0 : ms - m_lastMs;
        m_lastMs = ms;
        const QByteArray line = QByteArray::number(ms).rightJustified(6, ' ') + " ms  (+"
                              + QByteArray::number(gap) + ")  " + printable(cmd) + "\n";
        m_log->write(line);
        m_log->flush();
    }

    int m_master;
    SimLink *m_link;
    QFile *m_log;
    QSocketNotifier *m_read;
    QSocketNotifier *m_write;
    QByteArray m_out;
    QTimer m_retry;
    qint64 m_lastMs = -1;
};

// Lines typed on standard input turn the dial or change the switches.
class Console : public QObject {
public:
    Console(SimRadio *radio) : m_radio(radio)
    {
        m_in = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
        connect(m_in, &QSocketNotifier::activated, this, &Console::read);
    }

private:
    void read()
    {
        char buf[512];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            m_in->setEnabled(false);   // stdin closed: no more console
            return;
        }
        m_line += QByteArray(buf, int(n));
        int nl;
        while ((nl = m_line.indexOf('\n')) >= 0) {
            run(m_line.left(nl).trimmed());
            m_line.remove(0, nl + 1);
        }
        if (m_line.size() > 4096)
            m_line.clear();
    }

    void run(const QByteArray &line)
    {
        const QList<QByteArray> w = line.split(' ');
        bool ok = false;
        const qint64 arg = w.size() > 1 ? w[1].toLongLong(&ok) : 0;
        const qint64 hz = m_radio->working().hz;
        if (w[0] == "dial" && ok)
            m_radio->turnDial(arg);
        else if (w[0] == "up")
            m_radio->turnDial(hz + (ok ? arg : 5000));
        else if (w[0] == "down")
            m_radio->turnDial(hz - (ok ? arg : 5000));
        else if (w[0] == "silent")
            m_radio->setSilent(!(ok && arg == 0));
        else if (w[0] == "garble")
            m_radio->setGarbled(!(ok && arg == 0));
        else if (w[0] == "state") {
            const auto &r = m_radio->working();
            std::fprintf(stdout, "%s  %s  rec %s  ignored %d  malformed %d\n",
                         m_radio->remote() ? "remote" : "local",
                         m_radio->reportsOn() ? "I1" : "I0",
                         r.toRec12().constData(), m_radio->ignoredCount(),
                         m_radio->malformedCount());
            std::fflush(stdout);
        } else if (!line.isEmpty()) {
            std::fprintf(stdout, "commands: dial HZ | up [HZ] | down [HZ] | silent [0] | garble [0] | state\n");
            std::fflush(stdout);
        }
    }

    SimRadio *m_radio;
    QSocketNotifier *m_in;
    QByteArray m_line;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("nrd535-sim"));

    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral(
        "Simulated NRD-535 receiver on a pseudo-terminal.\n"
        "Prints the device path on the first line of standard output; open it as the\n"
        "receiver's serial port (4800,N,8,1). Replies are paced at 480 characters per\n"
        "second. Every received command is logged with its time and the gap since the\n"
        "previous one. Lines on standard input: dial HZ, up [HZ], down [HZ],\n"
        "silent [0], garble [0], state. Runs until interrupted."));
    p.addHelpOption();
    QCommandLineOption linkOpt(QStringLiteral("link"),
        QStringLiteral("Also make a symbolic link PATH to the device."), QStringLiteral("PATH"));
    QCommandLineOption logOpt(QStringLiteral("log"),
        QStringLiteral("Log the commands to FILE instead of standard error."), QStringLiteral("FILE"));
    QCommandLineOption silentOpt(QStringLiteral("silent"),
        QStringLiteral("The receiver never answers."));
    QCommandLineOption garbleOpt(QStringLiteral("garble"),
        QStringLiteral("Replies carry corrupted characters where digits belong."));
    QCommandLineOption silentAfterOpt(QStringLiteral("silent-after"),
        QStringLiteral("Fall silent after N commands."), QStringLiteral("N"));
    QCommandLineOption emptyOpt(QStringLiteral("empty"),
        QStringLiteral("Start with every memory channel empty."));
    QCommandLineOption emptyCountOpt(QStringLiteral("empty-channels"),
        QStringLiteral("Start with a station in every memory channel but N, spread over the memory."),
        QStringLiteral("N"));
    p.addOptions({ linkOpt, logOpt, silentOpt, garbleOpt, silentAfterOpt, emptyOpt, emptyCountOpt });
    p.process(app);

    SimRadio radio(p.isSet(emptyOpt) ? SimRadio::EmptyMemory : SimRadio::DemoMemory);
    if (p.isSet(emptyCountOpt)) {
        bool ok = false;
        const int n = p.value(emptyCountOpt).toInt(&ok);
        if (!ok || n < 0 || n >= SimRadio::kChannels) {
            std::fprintf(stderr, "nrd535-sim: --empty-channels needs a count from 0 to 199\n");
            return 2;
        }
        radio.fillAllBut(n);
    }
    radio.setSilent(p.isSet(silentOpt));
    radio.setGarbled(p.isSet(garbleOpt));
    if (p.isSet(silentAfterOpt)) {
        bool ok = false;
        const int n = p.value(silentAfterOpt).toInt(&ok);
        if (!ok || n < 0) {
            std::fprintf(stderr, "nrd535-sim: --silent-after needs a count\n");
            return 2;
        }
        radio.silentAfter(n);
    }

    QFile log;
    if (p.isSet(logOpt)) {
        log.setFileName(p.value(logOpt));
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
            std::fprintf(stderr, "nrd535-sim: cannot open log %s: %s\n",
                         qPrintable(p.value(logOpt)), qPrintable(log.errorString()));
            return 1;
        }
    } else {
        log.open(STDERR_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        std::fprintf(stderr, "nrd535-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    const char *slaveName = ::ptsname(master);
    if (!slaveName) {
        std::fprintf(stderr, "nrd535-sim: ptsname: %s\n", std::strerror(errno));
        return 1;
    }
    const QByteArray slavePath(slaveName);
    // Keep a slave descriptor of our own: the line stays up when the program
    // closes its side, and it can open it again later.
    const int slave = ::open(slavePath.constData(), O_RDWR | O_NOCTTY);
    if (slave < 0) {
        std::fprintf(stderr, "nrd535-sim: cannot open %s: %s\n", slavePath.constData(),
                     std::strerror(errno));
        return 1;
    }
    termios tio{};
    if (::tcgetattr(slave, &tio) == 0) {
        ::cfmakeraw(&tio);   // no echo, no CR/LF translation
        ::cfsetispeed(&tio, B4800);
        ::cfsetospeed(&tio, B4800);
        tio.c_cflag |= CLOCAL | CREAD;
        ::tcsetattr(slave, TCSANOW, &tio);
    }
    if (::tcgetattr(master, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::tcsetattr(master, TCSANOW, &tio);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    QByteArray linkPath;
    if (p.isSet(linkOpt)) {
        linkPath = QFile::encodeName(p.value(linkOpt));
        struct stat st{};
        if (::lstat(linkPath.constData(), &st) == 0 && S_ISLNK(st.st_mode))
            ::unlink(linkPath.constData());
        if (::symlink(slavePath.constData(), linkPath.constData()) != 0) {
            std::fprintf(stderr, "nrd535-sim: cannot make link %s: %s\n", linkPath.constData(),
                         std::strerror(errno));
            return 1;
        }
    }

    if (::pipe(g_signalPipe) != 0) {
        std::perror("nrd535-sim: pipe");
        return 1;
    }
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    QSocketNotifier sigNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&sigNotifier, &QSocketNotifier::activated, &app, [&]() {
        char c;
        [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });

    SimLink link(&radio);
    PtyServer server(master, &link, &log);
    Console console(&radio);

    std::fprintf(stdout, "%s\n", slavePath.constData());
    std::fflush(stdout);

    const int rc = app.exec();
    if (!linkPath.isEmpty())
        ::unlink(linkPath.constData());
    ::close(slave);
    ::close(master);
    return rc;
}
