#include "web/webremote.h"

#include "link/app.h"
#include "link/limits.h"
#include "link/receiver2.h"
#include "measure/meter.h"
#include "measure/session.h"
#include "memory/mem2.h"
#include "panel/entry.h"
#include "record/audiosource.h"
#include "schedules/ftlfile.h"
#include "schedules/onair.h"
#include "web/webaudio.h"

#include <QFile>
#include <optional>
#include <QAbstractHttpServer>
#include <QHttpServerResponder>
#include <QTcpSocket>
#include <QHttpServerRequest>
#include <QHttpServerResponse>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QTimer>
#include <QUrlQuery>
#include <QWebSocket>

Q_LOGGING_CATEGORY(lcWeb, "vorantis.web")

// The page lives in a static library's resources.
static void initWebResources() { Q_INIT_RESOURCE(web); }

using Level = WebAccess::Level;
using Status = QHttpServerResponse::StatusCode;

// A listener logged out: its socket is closed with this (the page then
// shows the log-in form).
constexpr auto kLoggedOut = QWebSocketProtocol::CloseCode(4401);

// Qt's HTTP server without its router: every request comes to handle().
class WebRemote::Http : public QAbstractHttpServer {
public:
    explicit Http(WebRemote *owner) : QAbstractHttpServer(owner), owner_(owner) {}
    static QHttpServerResponder responder(const QHttpServerRequest &r, QTcpSocket *s) { return makeResponder(r, s); }

protected:
    bool handleRequest(const QHttpServerRequest &r, QTcpSocket *socket) override { return owner_->handle(r, socket); }
    void missingHandler(const QHttpServerRequest &r, QTcpSocket *socket) override { owner_->refused(r, socket); }

private:
    WebRemote *owner_;
};

struct WebRemote::Client {
    quint64 id = 0;
    std::unique_ptr<QWebSocket> ws;
    Level level = Level::None;
    QHostAddress peer;
    QByteArray token;
    bool audio = false, pcm = false;
};

namespace {
QString levelName(Level l)
{
    return l == Level::Full ? QStringLiteral("full") : l == Level::Read ? QStringLiteral("read") : QStringLiteral("none");
}

QString peerName(const QHostAddress &a)
{
    bool v4 = false;
    const quint32 ip4 = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).toString() : a.toString();
}

QByteArray cookieValue(const QByteArray &header, const QByteArray &name)
{
    for (const QByteArray &part : header.split(';')) {
        const QByteArray p = part.trimmed();
        if (p.startsWith(name + '='))
            return p.mid(name.size() + 1);
    }
    return {};
}

QJsonArray buttons(const QStringList &cells, const int *codes, int count)
{
    QJsonArray a;
    for (int i = 0; i < count && i < cells.size(); ++i) {
        const QString t = cells.at(i).trimmed();
        if (!t.isEmpty())
            a.append(QJsonObject{{"caption", t}, {"code", codes ? codes[i] : i}});
    }
    return a;
}

QString outcomeText(Receiver2::SetOutcome o)
{
    switch (o) {
    case Receiver2::SetOutcome::Sent: return {};
    case Receiver2::SetOutcome::OutOfRange: return QStringLiteral("Not a setting of this receiver");
    case Receiver2::SetOutcome::NotFitted: return QStringLiteral("Not fitted in this receiver, or not in this mode");
    case Receiver2::SetOutcome::Silent: return QStringLiteral("The receiver did not answer.");
    case Receiver2::SetOutcome::Lost: return QStringLiteral("The receiver line is lost");
    }
    return {};
}
} // namespace

WebRemote::WebRemote(App &app, WebAccess &access, QObject *parent)
    : QObject(parent), app_(app), access_(access), http_(new Http(this)), tick_(new QTimer(this))
{
    initWebResources();
    clock_.start();
    connect(http_, &QAbstractHttpServer::newWebSocketConnection, this, &WebRemote::onSocket);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, &WebRemote::tick);
    if (Receiver2 *rx = app_.rx) {
        connect(rx, &Receiver2::frequencyChanged, this, &WebRemote::stateSoon);
        connect(rx, &Receiver2::stateChanged, this, &WebRemote::stateSoon);
        connect(rx, &Receiver2::labelChanged, this, &WebRemote::stateSoon);
        connect(rx, &Receiver2::lockChanged, this, &WebRemote::stateSoon);
        connect(rx, &Receiver2::sessionChanged, this, &WebRemote::stateSoon);
    }
    // The panel's meter, or a measuring window's, reads already: its
    // reading is shown.
    auto shared = [this](double units) {
        if (units < 0)
            return;
        meterUnits_ = units;
        panelMeterAt_ = clock_.elapsed();
        stateSoon();
    };
    connect(MeasureFeed::instance(), &MeasureFeed::panelMeter, this, shared);
    connect(MeasureFeed::instance(), &MeasureFeed::reading, this, shared);
}

WebRemote::~WebRemote()
{
    audio_.reset();
    for (auto &c : clients_) {
        c->ws->disconnect(this);
        c->ws->abort();
    }
    clients_.clear();
    if (reportsWanted_ && app_.rx)
        app_.rx->wantReports(false);
}

void WebRemote::note(const QString &text, bool warning)
{
    if (warning)
        qCWarning(lcWeb).noquote() << text;
    else
        qCInfo(lcWeb).noquote() << text;
    if (traceTo)
        traceTo(QStringLiteral("web: ") + text);
}

bool WebRemote::setTls(const QString &certFile, const QString &keyFile, QString *error)
{
    QFile cf(certFile), kf(keyFile);
    if (!cf.open(QIODevice::ReadOnly) || !kf.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The web remote's certificate or key cannot be read: %1")
                     .arg(cf.isOpen() ? keyFile : certFile);
        return false;
    }
    const QList<QSslCertificate> certs = QSslCertificate::fromData(cf.readAll(), QSsl::Pem);
    const QByteArray keyPem = kf.readAll();
    QSslKey key(keyPem, QSsl::Rsa, QSsl::Pem);
    if (key.isNull())
        key = QSslKey(keyPem, QSsl::Ec, QSsl::Pem);
    if (certs.isEmpty() || key.isNull()) {
        *error = QStringLiteral("The web remote's certificate (%1) or key (%2) is not a PEM file of its kind")
                     .arg(certFile, keyFile);
        return false;
    }
    QSslConfiguration conf = QSslConfiguration::defaultConfiguration();
    conf.setLocalCertificateChain(certs);
    conf.setPrivateKey(key);
    conf.setProtocol(QSsl::TlsV1_2OrLater);
    http_->sslSetup(conf);
    tls_ = true;
    return true;
}

bool WebRemote::listen(const QHostAddress &address, quint16 port, QString *error)
{
    QString why;
    if (!access_.mayListen(address, &why)) {
        *error = QStringLiteral("The web remote does not listen on %1: %2").arg(address.toString(), why);
        return false;
    }
    port_ = http_->listen(address, port);
    if (port_ == 0) {
        *error = QStringLiteral("The web remote cannot listen on %1 port %2 (in use, or not an address of "
                                "this computer)")
                     .arg(address.toString())
                     .arg(port);
        return false;
    }
    note(QStringLiteral("listening on %1 port %2%3")
             .arg(address.toString())
             .arg(port_)
             .arg(tls_ ? QStringLiteral(" (TLS)") : QString()));
    tick_->start();
    return true;
}

void WebRemote::setAudioSource(std::function<std::unique_ptr<AudioSource>()> factory)
{
    audio_ = std::make_unique<WebAudio>(std::move(factory));
    connect(audio_.get(), &WebAudio::packetReady, this, &WebRemote::onPacket);
    connect(audio_.get(), &WebAudio::failed, this, [this](const QString &why) {
        note(QStringLiteral("the sound input stopped: ") + why, true);
        audio_->stop();
        for (auto &c : clients_)
            if (c->audio) {
                c->audio = false;
                send(c.get(), {{"t", "audio"}, {"on", false}, {"error", why}});
            }
    });
}

// ------------------------------------------------------------------ HTTP

bool WebRemote::handle(const QHttpServerRequest &r, QTcpSocket *socket)
{
    refusalStatus_ = 404;
    refusal_ = "Not found";
    if (r.value("upgrade").compare("websocket", Qt::CaseInsensitive) == 0)
        return r.url().path() == QLatin1String("/ws") && upgrade(r, socket);
    using M = QHttpServerRequest::Method;
    const QString path = r.url().path();
    static const struct {
        const char *path, *file, *type;
    } files[] = {{"/", ":/web/index.html", "text/html; charset=utf-8"},
                 {"/app.js", ":/web/app.js", "text/javascript; charset=utf-8"},
                 {"/style.css", ":/web/style.css", "text/css; charset=utf-8"}};
    std::optional<QHttpServerResponse> resp;
    if (r.method() == M::Get) {
        for (const auto &f : files)
            if (path == QLatin1String(f.path))
                resp.emplace(page(r, QLatin1String(f.file), f.type));
        if (path == QLatin1String("/session"))
            resp.emplace(sessionInfo(r));
    } else if (r.method() == M::Post) {
        // The password comes in the body of a form, never in the address.
        if (path == QLatin1String("/login"))
            resp.emplace(login(r));
        else if (path == QLatin1String("/logout"))
            resp.emplace(logout(r));
    }
    if (!resp)
        return false;
    resp->write(Http::responder(r, socket));
    return true;
}

void WebRemote::refused(const QHttpServerRequest &r, QTcpSocket *socket)
{
    QHttpServerResponse resp(refusal_, Status(refusalStatus_));
    resp.setHeader("Content-Type", "text/plain; charset=utf-8");
    resp.write(Http::responder(r, socket));
}

bool WebRemote::upgrade(const QHttpServerRequest &r, QTcpSocket *socket)
{
    const QHostAddress peer = r.remoteAddress();
    const QString who = peerName(peer);
    Level start = Level::None;
    QByteArray token;
    const Session *s = sessionOf(r.value("cookie"), &token);
    auto refuse = [&](int status, const QByteArray &why) {
        ++stats_.refusedSockets;
        refusalStatus_ = status;
        refusal_ = why;
        note(QStringLiteral("%1: WebSocket refused (%2)").arg(who, QString::fromUtf8(why)), true);
        return false;
    };
    if (!access_.admit(peer, &start))
        return refuse(403, "Not allowed, or shut out after wrong passwords");
    if (!sameOrigin(r.value("origin"), r.value("host")))
        return refuse(403, "Foreign origin: " + r.value("origin").left(100));
    if (!s)
        return refuse(401, "No session: log in first");
    if (int(clients_.size() + upgrades_.size()) >= kMaxListeners)
        return refuse(503, "Too many listeners at once");
    upgrades_.insert(socket->peerPort(), {s->level, token, clock_.elapsed()});
    return true;
}

namespace {
QHttpServerResponse json(const QJsonObject &o, Status status = Status::Ok)
{
    QHttpServerResponse resp(QJsonDocument(o).toJson(QJsonDocument::Compact), status);
    resp.setHeader("Content-Type", "application/json");
    resp.setHeader("Cache-Control", "no-store");
    return resp;
}
} // namespace

QHttpServerResponse WebRemote::page(const QHttpServerRequest &r, const QString &file, const QByteArray &type)
{
    Level start = Level::None;
    if (!access_.admit(r.remoteAddress(), &start))
        return QHttpServerResponse(QByteArrayLiteral("Refused"), Status::Forbidden);
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return QHttpServerResponse(Status::NotFound);
    QHttpServerResponse resp(f.readAll());
    resp.setHeader("Content-Type", type);
    resp.setHeader("Cache-Control", "no-store");
    resp.setHeader("X-Content-Type-Options", "nosniff");
    resp.setHeader("Referrer-Policy", "no-referrer");
    resp.setHeader("Content-Security-Policy",
                   "default-src 'self'; connect-src 'self'; img-src 'self' data:; frame-ancestors 'none'; "
                   "form-action 'self'; base-uri 'none'");
    // A trusted address needs no log-in: its session comes with the page.
    if (start == Level::Full && file.endsWith(QLatin1String("index.html")) && !sessionOf(r.value("cookie"))) {
        const QByteArray token = newSession(Level::Full);
        resp.setHeader("Set-Cookie", cookieFor(token));
        note(QStringLiteral("%1 opened the page (trusted, full control)").arg(peerName(r.remoteAddress())));
    }
    return resp;
}

QHttpServerResponse WebRemote::sessionInfo(const QHttpServerRequest &r)
{
    Level start = Level::None;
    if (!access_.admit(r.remoteAddress(), &start))
        return json({{"level", "none"}, {"error", "Refused"}}, Status::Forbidden);
    const Session *s = sessionOf(r.value("cookie"));
    if (!s)
        return json({{"level", "none"}}, Status::Unauthorized);
    return json({{"level", levelName(s->level)}});
}

QHttpServerResponse WebRemote::login(const QHttpServerRequest &r)
{
    const QHostAddress peer = r.remoteAddress();
    const QString who = peerName(peer);
    Level start = Level::None;
    if (!access_.admit(peer, &start)) {
        note(QStringLiteral("%1 refused at log-in (not allowed or shut out)").arg(who), true);
        return json({{"error", "Refused: too many wrong passwords, or not allowed"}}, Status::Forbidden);
    }
    const QByteArray origin = r.value("origin");
    if (!origin.isEmpty() && !sameOrigin(origin, r.value("host"))) {
        note(QStringLiteral("%1 refused: log-in from a foreign page (%2)").arg(who, QString::fromUtf8(origin)), true);
        return json({{"error", "Refused: foreign page"}}, Status::Forbidden);
    }
    QByteArray body = r.body();
    body.replace('+', "%20");
    const QString password =
        QUrlQuery(QString::fromUtf8(body)).queryItemValue(QStringLiteral("password"), QUrl::FullyDecoded);
    const Level got = access_.logIn(peer, password.toUtf8());
    if (got == Level::None) {
        Level ignored;
        const bool shutOut = !access_.admit(peer, &ignored);
        note(QStringLiteral("%1 gave a wrong password").arg(who), true);
        return json({{"error", shutOut ? "Too many wrong passwords: try again in ten minutes" : "Wrong password"}},
                    shutOut ? Status::Forbidden : Status::Unauthorized);
    }
    const QByteArray token = newSession(got);
    note(QStringLiteral("%1 logged in (%2)").arg(who, got == Level::Full ? QStringLiteral("full control")
                                                                          : QStringLiteral("read-only")));
    QHttpServerResponse resp = json({{"level", levelName(got)}});
    resp.setHeader("Set-Cookie", cookieFor(token));
    return resp;
}

QHttpServerResponse WebRemote::logout(const QHttpServerRequest &r)
{
    QByteArray token;
    if (sessionOf(r.value("cookie"), &token)) {
        sessions_.remove(token);
        for (auto &c : clients_)
            if (c->token == token)
                c->ws->close(kLoggedOut, QStringLiteral("Logged out"));
        note(QStringLiteral("%1 logged out").arg(peerName(r.remoteAddress())));
    }
    QHttpServerResponse resp = json({{"level", "none"}});
    resp.setHeader("Set-Cookie", cookieFor({}, true));
    return resp;
}

WebRemote::Session *WebRemote::sessionOf(const QByteArray &cookieHeader, QByteArray *token)
{
    const QByteArray t = cookieValue(cookieHeader, kCookie);
    auto it = t.isEmpty() ? sessions_.end() : sessions_.find(t);
    if (it == sessions_.end())
        return nullptr;
    if (clock_.elapsed() - it->lastUsed > kSessionIdleMs) {
        sessions_.erase(it);
        return nullptr;
    }
    it->lastUsed = clock_.elapsed();
    if (token)
        *token = t;
    return &*it;
}

QByteArray WebRemote::newSession(Level level)
{
    if (sessions_.size() >= kMaxSessions) { // the one unused longest goes
        auto oldest = sessions_.begin();
        for (auto it = sessions_.begin(); it != sessions_.end(); ++it)
            if (it->lastUsed < oldest->lastUsed)
                oldest = it;
        sessions_.erase(oldest);
    }
    quint32 raw[8];
    QRandomGenerator::system()->fillRange(raw);
    const QByteArray token = QByteArray(reinterpret_cast<const char *>(raw), sizeof raw).toHex();
    sessions_.insert(token, {level, clock_.elapsed()});
    return token;
}

QByteArray WebRemote::cookieFor(const QByteArray &token, bool expire) const
{
    QByteArray c = QByteArray(kCookie) + '=' + token + "; Path=/; HttpOnly; SameSite=Strict";
    if (tls_)
        c += "; Secure";
    if (expire)
        c += "; Max-Age=0";
    return c;
}

bool WebRemote::sameOrigin(const QByteArray &origin, const QByteArray &host) const
{
    return !host.isEmpty() && origin == (tls_ ? QByteArrayLiteral("https://") : QByteArrayLiteral("http://")) + host;
}

// ------------------------------------------------------------------ listeners

void WebRemote::onSocket()
{
    while (http_->hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> ws = http_->nextPendingWebSocketConnection();
        if (!ws)
            continue;
        const auto up = upgrades_.constFind(ws->peerPort());
        if (up == upgrades_.cend()) { // not let through by upgrade()
            ws->abort();
            continue;
        }
        auto c = std::make_unique<Client>();
        Client *cp = c.get();
        c->id = ++nextId_;
        c->level = up->level;
        c->peer = ws->peerAddress();
        c->token = up->token;
        upgrades_.erase(up);
        c->ws = std::move(ws);
        connect(c->ws.get(), &QWebSocket::textMessageReceived, this, [this, id = c->id](const QString &t) {
            if (Client *x = find(id))
                onText(x, t);
        });
        connect(c->ws.get(), &QWebSocket::disconnected, this, [this, id = c->id] {
            if (Client *x = find(id))
                drop(x);
        });
        clients_.push_back(std::move(c));
        note(QStringLiteral("%1 connected as listener %2 (%3)")
                 .arg(peerName(cp->peer))
                 .arg(cp->id)
                 .arg(cp->level == Level::Full ? QStringLiteral("full control") : QStringLiteral("read-only")));
        if (!reportsWanted_ && app_.rx) {
            // The page follows the receiver's dial while anyone listens.
            reportsWanted_ = true;
            app_.rx->wantReports(true);
        }
        send(cp, hello(cp));
        broadcast(state());
    }
}

WebRemote::Client *WebRemote::find(quint64 id) const
{
    for (const auto &c : clients_)
        if (c->id == id)
            return c.get();
    return nullptr;
}

void WebRemote::drop(Client *c)
{
    note(QStringLiteral("%1: listener %2 left").arg(peerName(c->peer)).arg(c->id));
    for (auto it = clients_.begin(); it != clients_.end(); ++it) {
        if (it->get() != c)
            continue;
        QWebSocket *ws = (*it)->ws.release();
        ws->disconnect(this);
        ws->deleteLater(); // not from inside its own signal
        clients_.erase(it);
        break;
    }
    if (controller_ && !find(controller_))
        controller_ = 0;
    if (clients_.empty() && reportsWanted_ && app_.rx) {
        reportsWanted_ = false;
        app_.rx->wantReports(false);
    }
    updateAudio();
    broadcast(state());
}

void WebRemote::send(Client *c, const QJsonObject &o)
{
    c->ws->sendTextMessage(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)));
}

void WebRemote::broadcast(const QJsonObject &o)
{
    const QString text = QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    for (auto &c : clients_)
        c->ws->sendTextMessage(text);
}

void WebRemote::refuse(Client *c, const QString &why)
{
    ++stats_.refusedChanges;
    if (c)
        send(c, {{"t", "refused"}, {"why", why}});
}

void WebRemote::onText(Client *c, const QString &text)
{
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    const QString t = o.value(QLatin1String("t")).toString();
    if (t == QLatin1String("listen"))
        listen(c, o.value(QLatin1String("on")).toBool(), o.value(QLatin1String("codec")).toString() == QLatin1String("pcm"));
    else if (t == QLatin1String("control")) {
        if (c->level != Level::Full)
            return refuse(c, QStringLiteral("This listener only listens (read-only password)"));
        note(QStringLiteral("%1: listener %2 took control").arg(peerName(c->peer)).arg(c->id));
        setControl(c->id);
    } else if (!t.isEmpty())
        change(c, o);
}

void WebRemote::setControl(quint64 id)
{
    controller_ = id;
    broadcast(state());
}

void WebRemote::change(Client *c, const QJsonObject &o)
{
    if (c->level != Level::Full)
        return refuse(c, QStringLiteral("This listener only listens (read-only password)"));
    if (controller_ != c->id)
        return refuse(c, QStringLiteral("Take control first"));
    Receiver2 *rx = app_.rx;
    if (!rx || !rx->lineOpen() || rx->portLost())
        return refuse(c, QStringLiteral("The receiver line is lost"));
    const QString t = o.value(QLatin1String("t")).toString();
    const int code = o.value(QLatin1String("code")).toInt(-1);
    if (t == QLatin1String("tune")) {
        const qint64 hz = qint64(o.value(QLatin1String("hz")).toDouble(-1));
        if (!rx->tune(hz, Origin::Web))
            return refuse(c, QStringLiteral("Out of the receiver's range"));
        return;
    }
    if (t == QLatin1String("recall")) {
        const int ch = o.value(QLatin1String("ch")).toInt(-1);
        if (!rxlimits::validChannel(ch))
            return refuse(c, QStringLiteral("No such memory channel"));
        rx->recall(ch, this);
        // What the channel holds is read back and shown everywhere.
        rx->submit([rx]() -> rxjob::Task<> { co_await rx->aRefreshPanel(Receiver2::Tell::None); }, false, this);
        return;
    }
    enum What { Mode, Bw, Agc, Att } what;
    if (t == QLatin1String("mode"))
        what = Mode;
    else if (t == QLatin1String("bw"))
        what = Bw;
    else if (t == QLatin1String("agc"))
        what = Agc;
    else if (t == QLatin1String("att"))
        what = Att;
    else
        return refuse(c, QStringLiteral("Not a request of this page"));
    const quint64 id = c->id;
    rx->submit(
        [this, rx, id, what, code]() -> rxjob::Task<> {
            Receiver2::SetOutcome out = what == Mode  ? co_await rx->aSetMode(code)
                                        : what == Bw  ? co_await rx->aSetBw(code)
                                        : what == Agc ? co_await rx->aSetAgc(code)
                                                      : co_await rx->aSetAtt(code);
            if (out != Receiver2::SetOutcome::Sent)
                refuse(find(id), outcomeText(out));
        },
        true, this);
}

// ------------------------------------------------------------------ sound

void WebRemote::listen(Client *c, bool on, bool pcm)
{
    if (on && !audio_) {
        send(c, {{"t", "audio"}, {"on", false}, {"error", "No sound input is set up"}});
        return;
    }
    c->audio = on;
    c->pcm = pcm;
    note(QStringLiteral("%1: listener %2 %3").arg(peerName(c->peer)).arg(c->id).arg(on ? QStringLiteral("listens") : QStringLiteral("stopped listening")));
    updateAudio();
    if (on && audio_ && !audio_->running()) {
        c->audio = false;
        return;
    }
    send(c, {{"t", "audio"}, {"on", on}, {"codec", pcm ? "pcm" : "opus"}, {"rate", pcm ? WebAudio::kPcmRate : WebAudio::kRate}});
}

void WebRemote::updateAudio()
{
    if (!audio_)
        return;
    bool any = false, pcm = false;
    for (const auto &c : clients_) {
        any = any || c->audio;
        pcm = pcm || (c->audio && c->pcm);
    }
    audio_->wantPcm(pcm);
    if (any && !audio_->running()) {
        QString error;
        if (!audio_->start(&error)) {
            note(QStringLiteral("the sound input cannot be opened: ") + error, true);
            for (auto &c : clients_)
                if (c->audio) {
                    c->audio = false;
                    send(c.get(), {{"t", "audio"}, {"on", false}, {"error", error}});
                }
        }
    } else if (!any && audio_->running()) {
        audio_->stop();
    }
}

void WebRemote::onPacket(char kind, const QByteArray &packet)
{
    for (auto &c : clients_) {
        if (!c->audio || (kind == WebAudio::Pcm) != c->pcm)
            continue;
        // A listener that does not take its sound loses it.
        if (c->ws->bytesToWrite() > kMaxQueuedAudio) {
            ++stats_.audioDropped;
            continue;
        }
        c->ws->sendBinaryMessage(packet);
        stats_.audioBytes += packet.size();
    }
}

// ------------------------------------------------------------------ state

QJsonObject WebRemote::hello(const Client *c) const
{
    const Captions &cap = app_.cap;
    static const int attCodes[2] = {0, 1};
    QJsonArray steps;
    for (const QString &cell : cap.gridCS)
        if (const int hz = panelentry::stepHzOf(cell); hz > 0)
            steps.append(QJsonObject{{"caption", cell.trimmed()}, {"hz", hz}});
    QJsonArray mem;
    const mem2::MemTable &mt = mem2::table();
    for (int ch = 0; ch < mem2::kChannels; ++ch) {
        const QString &rec = mt.rec[size_t(ch)];
        if (rec.isEmpty() || mem2::isEmptyChannel(rec) || mt.unknown[size_t(ch)])
            continue;
        const qint64 hz = mem2::recordHz(rec);
        if (!rxlimits::inRangeHz(hz))
            continue;
        mem.append(QJsonObject{{"ch", ch}, {"hz", double(hz)}, {"freq", freqShown(hz)}, {"tag", mt.tag[size_t(ch)]}});
    }
    return {{"t", "hello"},
            {"id", double(c->id)},
            {"level", levelName(c->level)},
            {"steps", steps},
            {"modes", buttons(cap.gridMd, gridcodes::md, 9)},
            {"bws", buttons(cap.gridBw, gridcodes::bw, 4)},
            {"agcs", buttons(cap.gridAgc, gridcodes::agc, 3)},
            {"atts", buttons(cap.gridHF, attCodes, 2)},
            {"memories", mem},
            {"min", double(rxlimits::kMinHz)},
            {"max", double(rxlimits::kMaxHz)},
            {"audio", bool(audio_)}};
}

QJsonObject WebRemote::state() const
{
    const Receiver2 *rx = app_.rx;
    const RxState &s = app_.rxs;
    const qint64 hz = rx && rx->knownHz() ? *rx->knownHz() : -1;
    const QDateTime utc = (app_.clock ? app_.clock->now() : QDateTime::currentDateTime()).toUTC();
    QJsonArray air;
    if (hz > 0)
        for (const onair::Entry &e : onair::at(onair::loadedLines(), hz / 1000.0, onair::momentOf(utc)))
            air.append(QJsonObject{{"khz", e.khz}, {"station", e.station}, {"language", e.language},
                                   {"target", e.target}, {"time", e.time}});
    return {{"t", "state"},
            {"hz", double(hz)},
            {"freq", freqShown(hz)},
            {"mode", s.mode},
            {"bw", s.bw},
            {"agc", s.agc},
            {"att", s.att},
            {"held", rx && rx->held()},
            {"lost", !rx || !rx->lineOpen() || rx->portLost()},
            {"session", rx ? rx->sessionName() : QString()},
            {"controller", double(controller_)},
            {"listeners", int(clients_.size())},
            {"utc", utc.toString(QStringLiteral("HH:mm:ss"))},
            {"meter", meterUnits_},
            {"meterText", meterUnits_ < 0 ? QStringLiteral("--") : meter::sText(meterUnits_)},
            {"onAir", air},
            {"schedule", onair::loadedName()}};
}

void WebRemote::stateSoon()
{
    if (stateQueued_ || clients_.empty())
        return;
    stateQueued_ = true;
    QTimer::singleShot(0, this, [this] {
        stateQueued_ = false;
        broadcast(state());
    });
}

void WebRemote::tick()
{
    for (auto it = sessions_.begin(); it != sessions_.end();)
        it = clock_.elapsed() - it->lastUsed > kSessionIdleMs ? sessions_.erase(it) : std::next(it);
    // An upgrade whose handshake never ended holds no listener's place.
    for (auto it = upgrades_.begin(); it != upgrades_.end();)
        it = clock_.elapsed() - it->at > 10000 ? upgrades_.erase(it) : std::next(it);
    if (clients_.empty())
        return;
    Receiver2 *rx = app_.rx;
    // The meter reads only while the receiver is held (the panel's Lock):
    // the page never takes it into remote control by itself.
    const bool sharedNow = panelMeterAt_ >= 0 && clock_.elapsed() - panelMeterAt_ < 1500;
    if (!rx || !rx->held() || rx->portLost()) {
        meterUnits_ = -1;
    } else if (!sharedNow && !meterInFlight_ && rx->lineFree() && !rx->sessionActive() &&
               MeasureFeed::instance()->running() == 0) {
        meterInFlight_ = true;
        rx->submit(
            [this, rx]() -> rxjob::Task<> {
                // The whole reply, its CR included: nothing of it is left
                // to be taken for a dial report afterwards.
                const RxReply r = co_await rx->aReadSignal();
                meterInFlight_ = false;
                meterUnits_ = r.ok() ? meter::units(meter::rawLevel(r.data), app_.rxs.att) : -1;
                stateSoon();
            },
            false, this);
    }
    broadcast(state());
}
