#include "net/rigserver.h"

#include "link/app.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "link/rxstate.h"
#include "measure/meter.h"
#include "record/recsession.h"

#include <QSocketNotifier>
#include <QStringList>
#include <QTcpServer>
#include <QTimer>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <functional>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#ifndef MSG_NOSIGNAL
#define MSG_NOSIGNAL 0 // SO_NOSIGPIPE instead
#endif

using namespace rigctl;

struct RigServer::Client {
    quint64 id = 0;
    int fd = -1;
    std::unique_ptr<QSocketNotifier> readable, writable;
    QTimer idle;
    QByteArray in;  // received, not yet taken as requests
    QByteArray out; // answers the system has not taken yet
    std::deque<Request> queue;
    QHostAddress peer;
    bool vfoOpt = false;     // asked to take VFO arguments (set_vfo_opt)
    bool discarding = false; // inside a line longer than kMaxLine
    bool readEnded = false;  // the client closed its sending side
    bool quitting = false;   // asked to quit: closed once its answer is out
    bool gone = false;       // reset, idle or undeliverable: closed at once
    rigaccess::Level level = rigaccess::Level::None;
};

namespace {
// A set request, checked: what to do on the line.
struct Plan {
    enum What { Tune, Mode, Att, Agc, Strength, Raw, Power } what = Tune;
    qint64 hz = 0;
    int code = -1, bw = -1;
};

int outcomeCode(Receiver2::SetOutcome o)
{
    switch (o) {
    case Receiver2::SetOutcome::Sent: return kOk;
    case Receiver2::SetOutcome::OutOfRange: return kInvalid;
    case Receiver2::SetOutcome::NotFitted: return kNotAvailable;
    case Receiver2::SetOutcome::Silent: return kTimeout;
    case Receiver2::SetOutcome::Lost: return kIo;
    }
    return kInvalid;
}

// The reads one state read answers.
bool isRead(const Request &r)
{
    static const QStringList names = {"get_freq", "get_mode", "get_vfo_info", "get_rig_info"};
    return r.ok && names.contains(r.name);
}

Fitted fitted(const App &app) { return {app.settings.narrowFitted(), app.settings.ecssFitted()}; }

// The answer to a read from the receiver's frequency, mode and bandwidth.
QByteArray readAnswer(const Request &r, qint64 hz, int mode, int bw)
{
    const QString f = QString::number(hz), m = modeName(mode), w = QString::number(passband(bw));
    if (r.name == QLatin1String("get_freq"))
        return answer(r, {{"Frequency", f}}, kOk);
    if (r.name == QLatin1String("get_mode"))
        return answer(r, {{"Mode", m}, {"Passband", w}}, kOk);
    if (r.name == QLatin1String("get_vfo_info"))
        return answer(r, {{"Freq", f}, {"Mode", m}, {"Width", w}, {"Split", "0"}, {"SatMode", "0"}}, kOk);
    return answerText(r, rigInfo(hz, mode, bw) + '\n', false);
}

// The address a client is shown by: IPv4 for an IPv4-mapped one.
QHostAddress peerOf(int fd)
{
    sockaddr_storage a{};
    socklen_t n = sizeof a;
    if (::getpeername(fd, reinterpret_cast<sockaddr *>(&a), &n) != 0)
        return {};
    QHostAddress h(reinterpret_cast<const sockaddr *>(&a));
    bool mapped = false;
    const quint32 v4 = h.toIPv4Address(&mapped);
    return mapped ? QHostAddress(v4) : h;
}

// What a set request asks of the line, or the code that answers it without.
int planFor(const Request &r, const App &app, Plan *p)
{
    const RxState &s = app.rxs;
    if (r.name == QLatin1String("set_freq")) {
        bool ok = false;
        const double hz = r.args.at(0).toDouble(&ok);
        if (!ok || !std::isfinite(hz) || !rxlimits::inRangeHz(std::llround(hz)))
            return kInvalid;
        p->what = Plan::Tune;
        p->hz = std::llround(hz);
        return kOk;
    }
    if (r.name == QLatin1String("set_mode")) {
        const std::optional<int> m = modeCode(r.args.at(0));
        bool ok = false;
        const int pb = r.args.at(1).toInt(&ok);
        if (!m || !ok)
            return kInvalid;
        if (*m >= rxlimits::kFirstEcssMode && !app.settings.ecssFitted())
            return kNotAvailable;
        p->what = Plan::Mode;
        p->code = *m;
        // -1 keeps the passband; NFM has none to set.
        p->bw = (pb == -1 || *m == rxlimits::kModeFm) ? -1 : bwCodeFor(pb, *m, app.settings.narrowFitted());
        return kOk;
    }
    if (r.name == QLatin1String("get_level")) {
        const QString what = r.args.at(0).toUpper();
        if (what != QLatin1String("STRENGTH") && what != QLatin1String("RAWSTR"))
            return kInvalid;
        p->what = what == QLatin1String("RAWSTR") ? Plan::Raw : Plan::Strength;
        return kOk;
    }
    if (r.name == QLatin1String("get_powerstat")) {
        p->what = Plan::Power;
        return kOk;
    }
    if (r.name == QLatin1String("set_level")) {
        const QString what = r.args.at(0).toUpper();
        bool ok = false;
        const double v = r.args.at(1).toDouble(&ok);
        if (!ok)
            return kInvalid;
        if (what == QLatin1String("ATT")) {
            p->what = Plan::Att;
            p->code = v > 0 ? 1 : 0;
            return kOk;
        }
        if (what == QLatin1String("AGC")) {
            if (s.mode == rxlimits::kModeFm)
                return kNotAvailable;
            // The protocol's AGC values: 0 off, 1 superfast, 2 fast, 3 slow.
            const int g = int(v);
            p->what = Plan::Agc;
            p->code = g == 0 ? 2 : (g == 1 || g == 2) ? 1 : 0;
            return kOk;
        }
        return kInvalid;
    }
    return kNotImplemented;
}
} // namespace

namespace {
// Hands each accepted connection over as the system's descriptor.
class Listener : public QTcpServer {
public:
    Listener(QObject *parent, std::function<void(qintptr)> take)
        : QTcpServer(parent), take_(std::move(take))
    {
    }

protected:
    void incomingConnection(qintptr fd) override { take_(fd); }

private:
    std::function<void(qintptr)> take_;
};

// More received from one client than this is not read until it is taken.
constexpr qsizetype kMaxIn = 2 * RigServer::kMaxLine;

// Whether the peer reset the connection. One that closed it, or closed only
// its sending side, cannot be told apart: both read as ended.
bool isReset(int fd)
{
    pollfd p{fd, POLLOUT, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP));
}
} // namespace

RigServer::RigServer(App &app, rigaccess::Gate *shared)
    : access(shared ? *shared : ownGate_), app_(app),
      server_(new Listener(this, [this](qintptr fd) { onIncoming(fd); }))
{
    if (!shared)
        access.traceTo = [this]() -> LineOwner * { return app_.rx; };
    // A connection that failed before it was taken, or no descriptor free,
    // stops the listener; it goes on taking connections a moment later.
    connect(server_, &QTcpServer::acceptError, this, [this] {
        QTimer::singleShot(100, server_, [s = server_] { s->resumeAccepting(); });
    });
}

RigServer::~RigServer()
{
    if (working_ && app_.rx)
        app_.rx->cancel(ticket_);
    while (!clients_.empty())
        remove(clients_.back().get());
}

bool RigServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    QString why;
    if (!access.mayListen(address, &why)) {
        if (error)
            *error = why;
        return false;
    }
    if (server_->listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("The rig-control server cannot listen on %1 port %2: %3")
                     .arg(address.toString())
                     .arg(port)
                     .arg(server_->errorString());
    return false;
}

void RigServer::close()
{
    server_->close();
    if (working_ && app_.rx && app_.rx->cancel(ticket_))
        working_ = false;
}
bool RigServer::isListening() const { return server_->isListening(); }
quint16 RigServer::port() const { return server_->serverPort(); }

// ------------------------------------------------------------------ clients

void RigServer::onIncoming(qintptr descriptor)
{
    const int fd = int(descriptor);
    ++connectionsSeen_;
    sweep(); // a client gone since is no longer counted
    // Who it is: not allowed or shut out (closed at once), trusted, or one
    // that is to give a password.
    const QHostAddress peer = peerOf(fd);
    rigaccess::Level level = rigaccess::Level::None;
    if (access.admit(peer, &level) != rigaccess::Gate::Admit::Open) {
        ::close(fd);
        return;
    }
    using rigaccess::peerText;
    if (int(clients_.size()) >= maxClients && level == rigaccess::Level::Full) {
        for (const auto &x : clients_)
            if (x->level == rigaccess::Level::None) {
                access.note(QStringLiteral("%1 closed to make room for %2")
                                .arg(peerText(x->peer), peerText(peer)));
                remove(x.get());
                break;
            }
    }
    if (int(clients_.size()) >= maxClients) {
        access.note(
            QStringLiteral("%1 closed: %2 clients already").arg(peerText(peer)).arg(maxClients));
        ::close(fd);
        return;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
#ifdef SO_NOSIGPIPE
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_NOSIGPIPE, &one, sizeof one);
#endif
    auto c = std::make_unique<Client>();
    Client *cp = c.get();
    c->id = ++nextId_;
    c->fd = fd;
    c->peer = peer;
    c->level = level;
    c->readable = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
    c->writable = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Write);
    c->writable->setEnabled(false);
    connect(c->readable.get(), &QSocketNotifier::activated, this, [this, cp] { onReadable(cp); });
    connect(c->writable.get(), &QSocketNotifier::activated, this, [this, cp] {
        flush(cp);
        take(cp); // room again
        schedule();
    });
    c->idle.setSingleShot(true);
    connect(&c->idle, &QTimer::timeout, this, [this, cp] {
        if (owes(cp)) { // waiting for its answers is not idleness
            cp->idle.start(idleTimeoutMs);
            return;
        }
        cp->gone = true;
        schedule();
    });
    c->idle.start(idleTimeoutMs);
    clients_.push_back(std::move(c));
}

void RigServer::onReadable(Client *c)
{
    while (!c->gone && !c->readEnded && c->in.size() < kMaxIn) {
        const qsizetype had = c->in.size();
        c->in.resize(kMaxIn);
        const ssize_t n = ::recv(c->fd, c->in.data() + had, size_t(kMaxIn - had), MSG_DONTWAIT);
        c->in.resize(had + std::max<qsizetype>(n, 0));
        if (n > 0 || (n < 0 && errno == EINTR))
            continue;
        if (n == 0)
            c->readEnded = true; // what it sent before is still answered
        else if (errno != EAGAIN && errno != EWOULDBLOCK)
            c->gone = true;
        break;
    }
    take(c);
    schedule();
}

void RigServer::take(Client *c)
{
    // Whole lines only, while the client's queue has room and it takes its
    // answers; a line longer than kMaxLine is dropped up to its end and
    // answered, in its place, with the protocol error.
    while (!c->gone && !c->quitting && int(c->queue.size()) < kMaxPending &&
           c->out.size() < kMaxUnsent) {
        qsizetype end = c->in.indexOf('\n');
        if (end < 0) {
            if (c->discarding || c->in.size() > kMaxLine) {
                c->in.clear(); // the rest of the line follows
                if (!c->discarding) {
                    c->discarding = true;
                    Request tooLong;
                    tooLong.ok = false;
                    c->queue.push_back(tooLong);
                }
            }
            if (!c->readEnded || c->in.isEmpty())
                break;
            end = c->in.size(); // the last line, without a line end
        }
        const QByteArray line = c->in.left(end);
        c->in.remove(0, end + 1);
        if (c->discarding) {
            c->discarding = false;
            continue;
        }
        QList<Request> rs;
        if (line.size() > kMaxLine) {
            rs << Request();
            rs.front().ok = false;
        } else {
            // Several requests on a line are answered in order.
            rs = parseLine(line, kMaxPending);
        }
        if (rs.isEmpty())
            continue;
        c->idle.start(idleTimeoutMs);
        for (const Request &r : rs)
            c->queue.push_back(r);
        maxPendingSeen_ = std::max(maxPendingSeen_, int(c->queue.size()));
    }
    // TCP holds back what is not read.
    c->readable->setEnabled(!c->gone && !c->readEnded && !c->quitting && c->in.size() < kMaxIn &&
                            c->out.size() < kMaxUnsent);
}

bool RigServer::owes(const Client *c) const
{
    return !c->queue.empty() || (working_ && jobClient_ == c->id);
}

bool RigServer::finished(const Client *c) const
{
    if (c->gone)
        return true;
    return (c->readEnded || c->quitting) && c->in.isEmpty() && c->out.isEmpty() && !owes(c);
}

void RigServer::sweep()
{
    for (std::size_t i = 0; i < clients_.size();) {
        if (finished(clients_[i].get()))
            remove(clients_[i].get());
        else
            ++i;
    }
}

void RigServer::remove(Client *c)
{
    if (working_ && jobClient_ == c->id && app_.rx && app_.rx->cancel(ticket_)) {
        // Its request still waited for the line: nothing of it is sent.
        working_ = false;
        schedule();
    }
    // A job of its that runs on finds no client and answers nobody.
    c->readable.reset();
    c->writable.reset();
    ::close(c->fd);
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->get() == c) {
            const std::size_t at = std::size_t(it - clients_.begin());
            if (turn_ > at)
                --turn_;
            clients_.erase(it);
            break;
        }
    }
}

RigServer::Client *RigServer::find(quint64 id) const
{
    for (const auto &c : clients_)
        if (c->id == id)
            return c.get();
    return nullptr;
}

void RigServer::send(Client *c, const QByteArray &text)
{
    if (c->gone)
        return; // an answer for a client gone is dropped
    c->out += text;
    flush(c);
}

void RigServer::flush(Client *c)
{
    while (!c->gone && !c->out.isEmpty()) {
        const ssize_t n =
            ::send(c->fd, c->out.constData(), size_t(c->out.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            c->out.remove(0, n);
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            break; // on when the system takes more
        } else if (n == 0 || errno != EINTR) {
            c->gone = true;
            c->out.clear();
        }
    }
    c->writable->setEnabled(!c->gone && !c->out.isEmpty());
    if (finished(c))
        schedule(); // closed from the event loop
}

// ------------------------------------------------------------------ serving in turn

void RigServer::schedule()
{
    if (scheduled_)
        return;
    scheduled_ = true;
    // Never from inside a socket's own signal: a client may be removed.
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        serve();
    });
}

void RigServer::serve()
{
    for (;;) {
        for (const auto &x : clients_)
            take(x.get()); // room again after answers
        if (working_)
            break;
        // The next client after the last one served that has a request.
        Client *c = nullptr;
        for (std::size_t k = 0; k < clients_.size() && !c; ++k) {
            Client *x = clients_[(turn_ + k) % clients_.size()].get();
            if (!x->gone && !x->queue.empty()) {
                c = x;
                turn_ = (turn_ + k + 1) % clients_.size();
            }
        }
        if (!c)
            break;
        const Request r = c->queue.front();
        c->queue.pop_front();
        if (guard(c, r))
            continue;
        if (answerLocally(c, r))
            continue;
        if (isReset(c->fd)) // nothing is sent for a client gone
            c->gone = true;
        else
            startJob(c, r);
    }
    sweep();
}

bool RigServer::guard(Client *c, const Request &r)
{
    const std::optional<int> code = access.check(c->peer, &c->level, r);
    if (!code)
        return false;
    Request shown = r;
    if (r.name == QLatin1String("password"))
        shown.args.clear(); // the secret is not sent back
    send(c, answer(shown, {}, *code));
    // Shut out: its connections without a password go at once.
    if (*code != kOk && access.lockedOut(c->peer))
        for (const auto &x : clients_)
            if (x->level == rigaccess::Level::None &&
                rigaccess::plain(x->peer) == rigaccess::plain(c->peer))
                x->gone = true;
    return true;
}

bool RigServer::answerLocally(Client *c, const Request &r)
{
    auto reply = [&](int code, const QList<Field> &fields = {}) {
        send(c, answer(r, fields, code));
        return true;
    };
    auto value = [&](const QString &key, const QString &v) { return reply(kOk, {{key, v}}); };
    auto list = [&](const QString &items) { return reply(kOk, {{QString(), items, true}}); };
    const bool ask = r.args.size() == 1 && r.args.first() == QLatin1String("?");
    const QString &n = r.name;
    if (!r.ok) // a line too long, or a request not known
        return reply(n.isEmpty() ? kProtocol : kNotImplemented);
    if (n == QLatin1String("quit")) {
        // Clients wait for an answer before they close their end.
        reply(kOk);
        c->queue.clear();
        c->in.clear();
        c->quitting = true;
        return true;
    }
    if (r.args.size() < argCount(n))
        return reply(kInvalid);
    if (isTransmit(r))
        return reply(kNotAvailable); // a receiver has no transmitter
    if (n == QLatin1String("dump_state") || n == QLatin1String("dump_caps")) {
        const bool state = n == QLatin1String("dump_state");
        send(c, answerText(r, state ? dumpState(fitted(app_)) : dumpCaps(fitted(app_)), !state));
        return true;
    }
    if (n == QLatin1String("chk_vfo")) {
        send(c, chkVfo(r, c->vfoOpt));
        return true;
    }
    if (n == QLatin1String("set_vfo_opt")) {
        const QString &a = r.args.first();
        if (a != QLatin1String("0") && a != QLatin1String("1"))
            return reply(kInvalid);
        c->vfoOpt = a == QLatin1String("1"); // VFO arguments are taken either way
        return reply(kOk);
    }
    if (n == QLatin1String("get_vfo"))
        return value(QStringLiteral("VFO"), QStringLiteral("VFOA"));
    if (n == QLatin1String("get_vfo_list"))
        return reply(kOk, {{QStringLiteral("VFOs"), QStringLiteral("VFOA "), true}});
    if (n == QLatin1String("set_vfo")) // one VFO: every VFO name selects it
        return reply(isVfoName(r.args.first()) ? kOk : kInvalid);
    if (n == QLatin1String("get_info"))
        return value(QStringLiteral("Info"), QStringLiteral("None"));
    if (n == QLatin1String("get_trn") || n == QLatin1String("set_trn"))
        return reply(kDeprecated);
    // Clients ask these before they set anything: a receiver never splits or
    // transmits, and its settings are never locked against a client.
    if (n == QLatin1String("get_split_vfo"))
        return reply(kOk, {{"Split", "0"}, {"TX VFO", "None"}});
    if (n == QLatin1String("get_ptt"))
        return value(QStringLiteral("PTT"), QStringLiteral("0"));
    if (n == QLatin1String("get_lock_mode"))
        return value(QStringLiteral("Locked"), QStringLiteral("0"));
    if (n == QLatin1String("set_split_vfo") || n == QLatin1String("set_lock_mode") || n == QLatin1String("set_ptt"))
        return reply(r.args.first() == QLatin1String("0") ? kOk : kNotAvailable);
    if (n == QLatin1String("vfo_op"))
        return ask ? list(QString()) : reply(kNotAvailable);
    if (n == QLatin1String("AOS") || n == QLatin1String("LOS"))
        return reply(n == QLatin1String("AOS") ? startRecording(c) : stopRecording());

    const RxState &s = app_.rxs;
    if (n == QLatin1String("get_func")) {
        if (ask)
            return list(QStringLiteral("FAGC "));
        if (r.args.first().toUpper() != QLatin1String("FAGC"))
            return reply(kInvalid);
        return reply(kOk, {{QString(), QString::number(s.agc == 1 ? 1 : 0), true}});
    }
    if (n == QLatin1String("set_level") && ask)
        return list(QStringLiteral("ATT AGC "));
    if (n == QLatin1String("get_level")) {
        const QString what = r.args.first().toUpper();
        if (ask)
            return list(QStringLiteral("ATT AGC RAWSTR STRENGTH "));
        if (what == QLatin1String("ATT"))
            return value(QString(), QString::number(s.att == 1 ? 20 : 0));
        if (what == QLatin1String("AGC"))
            return value(QString(), QString::number(s.agc == 0 ? 3 : s.agc == 1 ? 2 : 0));
    }

    Receiver2 *rx = app_.rx;
    // While the dial is followed the program knows the frequency, and the
    // mode as last read or set.
    if (isRead(r) && rx && rx->dialFollowed() && !rx->portLost()) {
        const std::optional<qint64> hz = rx->knownHz();
        if (hz || n == QLatin1String("get_mode")) {
            send(c, readAnswer(r, hz.value_or(0), s.mode, s.bw));
            return true;
        }
    }
    if (!isRead(r)) {
        Plan p;
        if (const int code = planFor(r, app_, &p); code != kOk)
            return reply(code); // nothing is sent
    }
    if (!rx || !rx->lineOpen() || rx->portLost())
        return reply(kIo);
    return false;
}

int RigServer::startRecording(const Client *c)
{
    RecSession *rec = app_.rec;
    if (!rec)
        return kNotAvailable;
    if (rec->running())
        return kOk; // this pass is recorded already (ours, or the user's)
    RecSession::Request q;
    const std::optional<qint64> hz = app_.rx ? app_.rx->knownHz() : std::nullopt;
    q.khz = hz ? double(*hz) / 1000.0 : 0;
    q.mode = Captions::text(app_.cap.mode, app_.rxs.mode);
    q.bandwidth = Captions::text(app_.cap.bw, app_.rxs.bw);
    q.startedBy = QStringLiteral("network client %1").arg(c->peer.toString());
    QString err, warning;
    const bool started = rec->start(q, &err, &warning);
    // The user is told, without holding the window: nobody here asked.
    if (const QString text = started ? warning : err; !text.isEmpty() && app_.prompter)
        app_.prompter->notice(text, QStringLiteral("Recording"), Prompter::Exclamation);
    if (!started)
        return kRejected;
    recPath_ = rec->path();
    return kOk;
}

int RigServer::stopRecording()
{
    // Only a recording a client started: the user's own goes on.
    RecSession *rec = app_.rec;
    if (!rec)
        return kNotAvailable;
    if (rec->running() && rec->path() == recPath_)
        rec->stop();
    recPath_.clear();
    return kOk;
}

// ------------------------------------------------------------------ jobs on the line

void RigServer::startJob(Client *c, const Request &r)
{
    Receiver2 *rx = app_.rx;
    working_ = true;
    jobClient_ = c->id;
    const quint64 serial = ++jobSerial_;
    const quint64 id = c->id;
    if (isRead(r))
        ticket_ = rx->submit([this, id, r] { return readJob(id, r); }, true, this);
    else
        ticket_ = rx->submit([this, id, r] { return setJob(id, r); }, true, this);
    if (working_ && jobSerial_ == serial && !rx->lineFree())
        QTimer::singleShot(busyBoundMs, this, [this, serial] { onBusyBound(serial); });
}

void RigServer::onBusyBound(quint64 serial)
{
    // Still waiting behind another caller's job: answered busy and taken
    // out of the owner's queue.
    if (!working_ || jobSerial_ != serial || !app_.rx || !app_.rx->cancel(ticket_))
        return;
    working_ = false;
    if (Client *c = find(jobClient_))
        send(c, "RPRT " + QByteArray::number(kBusy) + '\n');
    schedule();
}

rxjob::Task<> RigServer::readJob(quint64 id, Request r)
{
    Receiver2 *rx = app_.rx;
    const std::optional<QString> x = co_await rx->aReadRxState();
    ++stateReads_;
    const int fail = rx->portLost() ? kIo : rx->lastReplyState() == Receiver2::ReplyState::Unreadable ? kProtocol : kTimeout;
    // The one read answers this request and every "f"/"m" now at the head
    // of a queue (each asked before the read ended).
    if (Client *c = find(id))
        c->queue.push_front(r);
    answerHeads(x, fail);
    working_ = false;
    schedule();
}

void RigServer::answerHeads(const std::optional<QString> &x, int fail)
{
    const DecodedState d = x ? DecodedState::decode(*x) : DecodedState();
    const bool freq = d.freqValid && rxlimits::inRangeHz(d.hz), mode = rxlimits::kMode.contains(d.mode);
    const int bw = rxlimits::kBw.contains(d.bw) ? d.bw : app_.rxs.bw;
    for (const auto &c : clients_) {
        // A client without access finds its own answer when its turn comes.
        while (!c->queue.empty() && isRead(c->queue.front()) &&
               c->level != rigaccess::Level::None) {
            const Request r = c->queue.front();
            c->queue.pop_front();
            const bool needFreq = r.name != QLatin1String("get_mode"),
                       needMode = r.name != QLatin1String("get_freq");
            if (!x)
                send(c.get(), answer(r, {}, fail));
            else if ((needFreq && !freq) || (needMode && !mode))
                send(c.get(), answer(r, {}, kProtocol));
            else
                send(c.get(), readAnswer(r, d.hz, d.mode, bw));
        }
    }
}

rxjob::Task<> RigServer::setJob(quint64 id, Request r)
{
    Receiver2 *rx = app_.rx;
    Plan p;
    planFor(r, app_, &p); // checked before it was submitted
    Receiver2::SetOutcome o = Receiver2::SetOutcome::Sent;
    QList<Field> fields;
    if (p.what == Plan::Strength || p.what == Plan::Raw) {
        const RxReply m = co_await rx->aReadSignal();
        if (m.ok()) {
            const int raw = meter::rawLevel(m.data);
            fields << Field{QString(), QString::number(p.what == Plan::Raw ? raw : strengthDb(raw))};
        } else {
            o = m.status == RxReply::Lost ? Receiver2::SetOutcome::Lost : Receiver2::SetOutcome::Silent;
        }
    } else if (p.what == Plan::Power) {
        // On while it answers.
        o = co_await rx->aConfirm();
        fields << Field{QStringLiteral("Power Status"), QStringLiteral("1")};
    } else {
        if (p.what == Plan::Tune)
            o = co_await rx->aTune({p.hz, Origin::Remote, {}, {}, {}});
        else if (p.what == Plan::Mode)
            o = co_await rx->aSetMode(p.code, p.bw);
        else if (p.what == Plan::Att)
            o = co_await rx->aSetAtt(p.code);
        else
            o = co_await rx->aSetAgc(p.code);
        // A command has no reply: whether the receiver took it is asked.
        if (o == Receiver2::SetOutcome::Sent)
            o = co_await rx->aConfirm();
    }
    if (Client *c = find(id))
        send(c, answer(r, fields, outcomeCode(o)));
    working_ = false;
    schedule();
}
