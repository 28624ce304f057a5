// The web remote: the receiver from a browser. A page (static files from
// the program's resources) shows the frequency, the panel's settings, the
// S-meter, the UTC clock, the memory channels and what is on the air, and
// plays the receiver's sound; every change it asks for goes through the
// line's owner as a window's would, and every change made elsewhere shows
// on the page within a second.
//
// - Off by default; it listens on loopback unless told otherwise, and
//   beyond loopback only with a password (WebAccess, the rig-control
//   server's rules). TLS when a certificate and key are given.
// - Log-in by a form posted to /login (never in the address); it sets a
//   session cookie (HttpOnly, SameSite=Strict, Secure under TLS). A trusted
//   address gets its session with the page.
// - The WebSocket (/ws) needs the session cookie and an Origin that is the
//   page's own; otherwise it is closed at once, before anything is said.
// - Up to kMaxListeners at once; one listener at full level is in control
//   ("Take control"), the others listen and see the state; a listener on
//   the read-only password only listens.
// - Each listener's queued sound is capped: a slow listener loses sound,
//   the program never holds more for it.
// - Every connection and log-in goes to the logging category vorantis.web
//   and to the line trace.
#pragma once
#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QLoggingCategory>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "link/fanout.h"
#include "web/webaccess.h"

Q_DECLARE_LOGGING_CATEGORY(lcWeb)

struct App;
class AudioSource;
class QHttpServerRequest;
class QTcpSocket;
class QHttpServerResponse;
class QJsonObject;
class QTimer;
class QWebSocket;
class WebAudio;

class WebRemote : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxListeners = 8;
    // Sound not yet taken by a listener beyond which its packets are dropped.
    static constexpr qint64 kMaxQueuedAudio = 12 * 1024;
    static constexpr int kMaxSessions = 64;
    static constexpr qint64 kSessionIdleMs = 12LL * 3600 * 1000;
    static constexpr const char *kCookie = "vorantis_session";

    WebRemote(App &app, WebAccess &access, QObject *parent = nullptr);
    ~WebRemote() override;

    // TLS from PEM files; false with the reason. Before listen.
    bool setTls(const QString &certFile, const QString &keyFile, QString *error);
    // Listens on address:port (0: any free port); false with the reason.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    quint16 port() const { return port_; }
    bool tls() const { return tls_; }
    int listenerCount() const { return int(clients_.size()); }
    // The sound input (the recording's); none: the page has no sound.
    void setAudioSource(std::function<std::unique_ptr<AudioSource>()> factory);
    // Where notes go besides vorantis.web (the line trace).
    std::function<void(const QString &)> traceTo;

    // For tests and benchmarks.
    struct Stats {
        qint64 audioBytes = 0;   // sound sent, all listeners
        qint64 audioDropped = 0; // packets dropped for slow listeners
        int refusedSockets = 0;  // WebSockets closed at once
        int refusedChanges = 0;
    };
    const Stats &stats() const { return stats_; }

private:
    struct Client;
    struct Session {
        WebAccess::Level level = WebAccess::Level::None;
        qint64 lastUsed = 0;
    };
    class Http;
    // Every request: answered (true), or refused (false: the refusal set in
    // refusal_ is written). An upgrade to the WebSocket is let through
    // only for a session with the page's own Origin.
    bool handle(const QHttpServerRequest &r, QTcpSocket *socket);
    void refused(const QHttpServerRequest &r, QTcpSocket *socket);
    bool upgrade(const QHttpServerRequest &r, QTcpSocket *socket);
    QHttpServerResponse page(const QHttpServerRequest &r, const QString &file, const QByteArray &type);
    QHttpServerResponse login(const QHttpServerRequest &r);
    QHttpServerResponse sessionInfo(const QHttpServerRequest &r);
    QHttpServerResponse logout(const QHttpServerRequest &r);
    // The session of a request's cookie header, or nullptr.
    Session *sessionOf(const QByteArray &cookieHeader, QByteArray *token = nullptr);
    QByteArray newSession(WebAccess::Level level);
    QByteArray cookieFor(const QByteArray &token, bool expire = false) const;
    bool sameOrigin(const QByteArray &origin, const QByteArray &host) const;

    void onSocket();
    void onText(Client *c, const QString &text);
    void drop(Client *c);
    Client *find(quint64 id) const;
    void send(Client *c, const QJsonObject &o);
    void broadcast(const QJsonObject &o);
    void refuse(Client *c, const QString &why);
    // What a change asked for does on the line.
    void change(Client *c, const QJsonObject &o);
    void setControl(quint64 id);
    void listen(Client *c, bool on, bool pcm);
    void onPacket(char kind, const QByteArray &packet);
    void updateAudio();

    QJsonObject hello(const Client *c) const;
    QJsonObject state() const;
    void stateSoon();
    void tick();
    void note(const QString &text, bool warning = false);

    App &app_;
    WebAccess &access_;
    Http *http_;
    // Why the request being handled is refused (status, text).
    int refusalStatus_ = 0;
    QByteArray refusal_;
    // Upgrades let through, by the peer's port, until their socket comes.
    struct Upgrade {
        WebAccess::Level level = WebAccess::Level::None;
        QByteArray token;
        qint64 at = 0;
    };
    QHash<quint16, Upgrade> upgrades_;
    quint16 port_ = 0;
    bool tls_ = false;
    QHash<QByteArray, Session> sessions_;
    std::vector<std::unique_ptr<Client>> clients_;
    quint64 nextId_ = 0;
    quint64 controller_ = 0;
    QTimer *tick_;
    bool stateQueued_ = false;
    bool reportsWanted_ = false;
    bool meterInFlight_ = false;
    double meterUnits_ = -1;
    qint64 panelMeterAt_ = -1; // when the panel's meter last showed a reading
    std::unique_ptr<WebAudio> audio_;
    QElapsedTimer clock_;
    Stats stats_;
};
