#include "net/rigserver.h"

#include "common/fmt.h"
#include "link/app.h"
#include "link/captions.h"
#include "link/commands.h"
#include "link/limits.h"
#include "link/port.h"
#include "link/receiver2.h"
#include "measure/meter.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

using namespace rigctl;

RigServer::RigServer(App &app, QObject *parent)
    : QObject(parent), app_(app), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &RigServer::onNewConnection);
}

RigServer::~RigServer()
{
    if (waiting_ && !waiting_->done)
        drop(waiting_);
}

bool RigServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
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
    if (waiting_ && !waiting_->done)
        drop(waiting_);
}
bool RigServer::isListening() const { return server_->isListening(); }
quint16 RigServer::port() const { return server_->serverPort(); }

int RigServer::clientCount() const
{
    return int(server_->findChildren<QTcpSocket *>().size());
}

void RigServer::onNewConnection()
{
    while (QTcpSocket *s = server_->nextPendingConnection()) {
        s->setProperty("vor_discarding", false);
        connect(s, &QTcpSocket::readyRead, this, [this, s] { onReadyRead(s); });
        connect(s, &QTcpSocket::disconnected, this, [this, s] { clientGone(s); });
        connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
    }
}

void RigServer::onReadyRead(QTcpSocket *s)
{
    // Whole lines only; a line longer than kMaxLine is dropped up to its end.
    while (true) {
        const qint64 avail = s->bytesAvailable();
        if (avail <= 0)
            break;
        if (!s->canReadLine()) {
            if (avail > kMaxLine) {
                s->read(avail); // discard; the rest of the line follows
                if (!s->property("vor_discarding").toBool()) {
                    s->setProperty("vor_discarding", true);
                    reply(s, "RPRT " + QByteArray::number(kProtocol) + '\n');
                }
            }
            break;
        }
        const QByteArray line = s->readLine(kMaxLine + 2);
        if (!line.endsWith('\n')) {
            // A line longer than the limit: drop up to its end.
            s->setProperty("vor_discarding", true);
            continue;
        }
        if (s->property("vor_discarding").toBool()) {
            s->setProperty("vor_discarding", false);
            continue;
        }
        const Request r = parse(line);
        if (r.name.isEmpty())
            continue;
        queue_.push_back({QPointer<QTcpSocket>(s), r});
    }
    // Never from inside the socket's own signal: a request waits in nested
    // event loops, and a client that goes away meanwhile is deleted there.
    QTimer::singleShot(0, this, &RigServer::next);
}

void RigServer::reply(QTcpSocket *s, const QByteArray &text)
{
    if (s && s->state() == QAbstractSocket::ConnectedState)
        s->write(text);
}

void RigServer::next()
{
    if (working_)
        return;
    while (!queue_.empty()) {
        const Pending p = queue_.front();
        queue_.pop_front();
        if (!p.client)
            continue; // the client went away
        working_ = true;
        execute(p);
        return;
    }
}

void RigServer::execute(const Pending &p)
{
    const Request &r = p.req;
    QPointer<QTcpSocket> client = p.client;
    auto finish = [this](const QPointer<QTcpSocket> &c, const Request &req, int code,
                         const QStringList &keys, const QStringList &values) {
        reply(c, answer(req, keys, values, code));
        working_ = false;
        QTimer::singleShot(0, this, &RigServer::next);
    };

    // Requests that need no receiver.
    if (!r.ok) {
        finish(client, r, kNotImplemented, {}, {});
        return;
    }
    if (r.name == QLatin1String("quit")) {
        // Clients wait for an answer before they close their end.
        if (client) {
            reply(client, answer(r, {}, {}, kOk));
            client->disconnectFromHost();
        }
        working_ = false;
        QTimer::singleShot(0, this, &RigServer::next);
        return;
    }
    if (r.args.size() < argCount(r.name)) {
        finish(client, r, kInvalid, {}, {});
        return;
    }
    if (r.name == QLatin1String("dump_state") || r.name == QLatin1String("dump_caps")) {
        if (client)
            client->write(r.name == QLatin1String("dump_state") ? dumpState() : dumpCaps());
        working_ = false;
        QTimer::singleShot(0, this, &RigServer::next);
        return;
    }
    if (r.name == QLatin1String("chk_vfo")) {
        finish(client, r, kOk, {QStringLiteral("CHKVFO")}, {QStringLiteral("0")});
        return;
    }
    if (r.name == QLatin1String("get_powerstat")) {
        finish(client, r, kOk, {QStringLiteral("Power Status")}, {QStringLiteral("1")});
        return;
    }
    if (r.name == QLatin1String("get_vfo")) {
        finish(client, r, kOk, {QStringLiteral("VFO")}, {QStringLiteral("VFOA")});
        return;
    }
    if (r.name == QLatin1String("set_vfo")) {
        // One VFO: every VFO name a client may use selects it.
        static const QStringList names = {"VFOA", "VFOB", "VFO", "CURRVFO", "MAIN", "SUB",
                                          "MAINA", "MAINB", "MEM"};
        finish(client, r, names.contains(r.args.at(0).toUpper()) ? kOk : kInvalid, {}, {});
        return;
    }
    // Clients ask these before they set anything: a receiver never splits,
    // and its settings are never locked against a client.
    if (r.name == QLatin1String("get_split_vfo")) {
        finish(client, r, kOk, {QStringLiteral("Split"), QStringLiteral("TX VFO")},
               {QStringLiteral("0"), QStringLiteral("VFOA")});
        return;
    }
    if (r.name == QLatin1String("set_split_vfo")) {
        finish(client, r, r.args.at(0) == QLatin1String("0") ? kOk : kNotAvailable, {}, {});
        return;
    }
    if (r.name == QLatin1String("get_lock_mode")) {
        finish(client, r, kOk, {QStringLiteral("Locked")}, {QStringLiteral("0")});
        return;
    }
    if (r.name == QLatin1String("set_lock_mode")) {
        finish(client, r, r.args.at(0) == QLatin1String("0") ? kOk : kNotAvailable, {}, {});
        return;
    }
    if (r.name == QLatin1String("set_ptt") || r.name == QLatin1String("get_ptt")) {
        finish(client, r, kNotAvailable, {}, {}); // a receiver has no transmitter
        return;
    }

    Receiver2 *rx = app_.rx;
    if (!rx || !rx->port()) {
        finish(client, r, kIo, {}, {});
        return;
    }
    // Through the facade: now, or queued behind another caller's sequence
    // with a bound. A request that is answered busy, or whose client goes
    // away, is taken out of the facade's queue: nothing of it is sent.
    auto st = std::make_shared<Waiting>();
    st->client = client.data();
    QPointer<RigServer> self(this);
    auto body = [self, st, client, r, finish] {
        if (!self || st->dropped)
            return;
        st->done = true;
        if (self->waiting_ == st)
            self->waiting_.reset();
        QStringList keys, values;
        const int code = self->run(r, &keys, &values);
        if (self)
            finish(client, r, code, keys, values);
    };
    if (rx->bracket(body, &st->ticket) || st->done)
        return;
    waiting_ = st;
    QTimer::singleShot(busyBoundMs, this, [this, st, client, r, finish] {
        if (st->done || st->dropped)
            return;
        drop(st);
        finish(client, r, kBusy, {}, {});
    });
}

void RigServer::drop(const std::shared_ptr<Waiting> &st)
{
    st->dropped = true;
    if (app_.rx)
        app_.rx->cancel(st->ticket);
    if (waiting_ == st)
        waiting_.reset();
}

void RigServer::clientGone(QTcpSocket *s)
{
    // Its request waiting in the facade's queue goes with it.
    if (waiting_ && waiting_->client == s && !waiting_->done) {
        drop(waiting_);
        working_ = false;
        QTimer::singleShot(0, this, &RigServer::next);
    }
}

int RigServer::run(const Request &r, QStringList *keys, QStringList *values)
{
    Receiver2 *rx = app_.rx;
    RxState &s = app_.rxs;
    auto readState = [&]() -> std::optional<DecodedState> {
        const std::optional<QString> x = rx->read_rx_state();
        if (!x)
            return std::nullopt;
        return DecodedState::decode(*x);
    };
    auto failCode = [&] { return rx->portLost() ? kIo : kTimeout; };

    if (r.name == QLatin1String("get_freq")) {
        const auto d = readState();
        if (!d || !d->freqValid)
            return d ? kProtocol : failCode();
        *keys << QStringLiteral("Frequency");
        *values << QString::number(std::llround(d->khz * 1000.0));
        return kOk;
    }
    if (r.name == QLatin1String("set_freq")) {
        bool ok = false;
        const double hzD = r.args.at(0).toDouble(&ok);
        if (!ok || !std::isfinite(hzD))
            return kInvalid;
        const long long want = std::llround(hzD);
        const long long hz = rxlimits::clampHz(want);
        rx->send_cmd(cmd::freqHz(hz));
        // The windows follow as when the user tunes from a list.
        rx->frequency_fanout(fmt::freqText(hz / 1000.0), true, FreqFanout::Count);
        return hz == want ? kOk : kInvalid;
    }
    if (r.name == QLatin1String("get_mode")) {
        const auto d = readState();
        if (!d)
            return failCode();
        if (d->mode >= 0)
            s.mode = int16_t(d->mode);
        if (d->bw >= 0)
            s.bw = int16_t(d->bw);
        *keys << QStringLiteral("Mode") << QStringLiteral("Passband");
        *values << modeName(s.mode) << QString::number(passband(s.bw));
        return kOk;
    }
    if (r.name == QLatin1String("set_mode")) {
        const std::optional<int> m = modeCode(r.args.at(0));
        bool ok = false;
        const int pb = r.args.at(1).toInt(&ok);
        if (!m || !ok)
            return kInvalid;
        if (*m >= rxlimits::kFirstEcssMode && !app_.settings.ecssFitted())
            return kNotAvailable;
        rx->send_cmd(cmd::mode(*m));
        s.mode = int16_t(*m);
        emit rx->labelChanged(PanelView::MD, Captions::text(app_.cap.mode, *m));
        if (pb != -1 && *m != rxlimits::kModeFm) { // -1: keep the passband
            const int b = bwCodeFor(pb, *m, app_.settings.narrowFitted());
            rx->wait_ms(rxlimits::kBracketPauseMs);
            rx->send_cmd(cmd::bw(b));
            s.bw = int16_t(b);
            emit rx->labelChanged(PanelView::BW, Captions::text(app_.cap.bw, b));
        }
        emit rx->stateChanged();
        return kOk;
    }
    if (r.name == QLatin1String("get_level") || r.name == QLatin1String("set_level")) {
        const QString what = r.args.at(0).toUpper();
        const bool set = r.name == QLatin1String("set_level");
        if (what == QLatin1String("STRENGTH")) {
            if (set)
                return kInvalid;
            const RxReply m = rx->transact(cmd::signal(), 5);
            if (!m.ok())
                return m.status == RxReply::Lost ? kIo : kTimeout;
            const int level = meter::rawLevel(m.data);
            *keys << QStringLiteral("Level Value");
            *values << QString::number(strengthDb(level, s.att));
            return kOk;
        }
        if (what == QLatin1String("ATT")) {
            if (!set) {
                *keys << QStringLiteral("Level Value");
                *values << QString::number(s.att == 1 ? 20 : 0);
                return kOk;
            }
            const int a = r.args.at(1).toDouble() > 0 ? 1 : 0;
            rx->send_cmd(cmd::att(a));
            s.att = int16_t(a);
            emit rx->labelChanged(PanelView::HF, Captions::text(app_.cap.att, a));
            return kOk;
        }
        if (what == QLatin1String("AGC")) {
            // The protocol's AGC values: 0 off, 2 fast, 3 slow.
            if (!set) {
                *keys << QStringLiteral("Level Value");
                *values << QString::number(s.agc == 0 ? 3 : s.agc == 1 ? 2 : 0);
                return kOk;
            }
            bool ok = false;
            const int v = r.args.at(1).toInt(&ok);
            if (!ok)
                return kInvalid;
            const int g = v == 0 ? 2 : (v == 1 || v == 2) ? 1 : 0;
            if (s.mode == rxlimits::kModeFm)
                return kNotAvailable;
            rx->send_cmd(cmd::agc(g));
            s.agc = int16_t(g);
            emit rx->labelChanged(PanelView::AGC, Captions::text(app_.cap.agc, g));
            return kOk;
        }
        return kInvalid;
    }
    return kNotImplemented;
}
