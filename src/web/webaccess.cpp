#include "web/webaccess.h"

namespace {
bool loopback(const QHostAddress &a)
{
    bool v4 = false;
    const quint32 ip4 = a.toIPv4Address(&v4);
    return v4 ? QHostAddress(ip4).isLoopback() : a.isLoopback();
}
} // namespace

bool LoopbackAccess::mayListen(const QHostAddress &address, QString *why)
{
    if (loopback(address))
        return true;
    *why = QStringLiteral("beyond this computer only with a password (set one for the rig-control server)");
    return false;
}

bool LoopbackAccess::admit(const QHostAddress &peer, Level *start)
{
    *start = loopback(peer) ? Level::Full : Level::None;
    return *start == Level::Full;
}
