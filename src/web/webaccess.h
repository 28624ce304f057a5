// Who may use the web remote, and how far. The program hands in the
// rig-control server's rules (the same trusted addresses, allow list,
// stored passwords and lock-out after wrong passwords), so that a password
// and a lock-out count for both servers.
#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QString>

class WebAccess {
public:
    enum class Level { None, Read, Full };
    virtual ~WebAccess() = default;
    // Whether the server may listen on address: beyond loopback only with a
    // password. *why tells the user what to do otherwise.
    virtual bool mayListen(const QHostAddress &address, QString *why) = 0;
    // A request or connection from peer: false when it is refused at once
    // (outside the allow list, shut out); *start is the level it has
    // without a log-in (Full for a trusted address, else None).
    virtual bool admit(const QHostAddress &peer, Level *start) = 0;
    // A log-in with password: the level it gives (None for a wrong one,
    // which counts towards the lock-out).
    virtual Level logIn(const QHostAddress &peer, const QByteArray &password) = 0;
};

// Until a password is set up: loopback has full control, everyone else is
// refused, and the server listens on loopback only.
class LoopbackAccess : public WebAccess {
public:
    bool mayListen(const QHostAddress &address, QString *why) override;
    bool admit(const QHostAddress &peer, Level *start) override;
    Level logIn(const QHostAddress &, const QByteArray &) override { return Level::None; }
};
