// The web remote under the rig-control server's rules: the same trusted
// addresses, allow list, stored passwords and shut-out (one count of wrong
// passwords for both servers).
#pragma once
#include "net/rigaccess.h"
#include "web/webaccess.h"

class GateAccess : public WebAccess {
public:
    explicit GateAccess(rigaccess::Gate &gate) : gate_(gate) {}

    bool mayListen(const QHostAddress &address, QString *why) override
    {
        if (rigaccess::plain(address).isLoopback() || gate_.policy.hasPassword())
            return true;
        *why = QStringLiteral("without a password anyone who reaches the page could tune the "
                              "receiver. Set a password (Set-up, Network, or "
                              "--rigctl-password-file FILE) or listen on 127.0.0.1");
        return false;
    }

    // Asked on every request, so it notes nothing: the web remote notes its
    // own connections.
    bool admit(const QHostAddress &peer, Level *start) override
    {
        rigaccess::Level level = rigaccess::Level::None;
        const bool open = gate_.entry(peer, &level) == rigaccess::Gate::Admit::Open;
        *start = level == rigaccess::Level::Full ? Level::Full : Level::None;
        return open;
    }

    Level logIn(const QHostAddress &peer, const QByteArray &password) override
    {
        switch (gate_.logIn(peer, password, QLatin1String("web"))) {
        case rigaccess::Level::Full: return Level::Full;
        case rigaccess::Level::Read: return Level::Read;
        case rigaccess::Level::None: break;
        }
        return Level::None;
    }

private:
    rigaccess::Gate &gate_;
};
