#include "net/rigaccess.h"

#include "link/lineowner.h"
#include "net/rigctl.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QPasswordDigestor>
#include <QRandomGenerator>

Q_LOGGING_CATEGORY(lcNet, "vorantis.net", QtWarningMsg)

namespace rigaccess {

namespace {
constexpr int kIterations = 20000;
constexpr int kSaltBytes = 16;
constexpr int kKeyBytes = 32;
const QLatin1String kScheme("pbkdf2-sha256");

struct Parsed {
    int iterations = 0;
    QByteArray salt, key;
};

std::optional<Parsed> split(const QString &stored)
{
    const QStringList p = stored.split(QLatin1Char('$'));
    if (p.size() != 4 || p[0] != kScheme)
        return std::nullopt;
    Parsed out;
    bool ok = false;
    out.iterations = p[1].toInt(&ok);
    const auto salt =
        QByteArray::fromBase64Encoding(p[2].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    const auto key =
        QByteArray::fromBase64Encoding(p[3].toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
    if (!ok || out.iterations < 1 || out.iterations > 10000000 || !salt || !key ||
        salt.decoded.size() < 8 || key.decoded.size() != kKeyBytes)
        return std::nullopt;
    out.salt = salt.decoded;
    out.key = key.decoded;
    return out;
}

QByteArray derive(const QByteArray &password, const QByteArray &salt, int iterations)
{
    return QPasswordDigestor::deriveKeyPbkdf2(QCryptographicHash::Sha256, password, salt,
                                              iterations, kKeyBytes);
}
} // namespace

QHostAddress plain(const QHostAddress &a)
{
    if (a.protocol() == QAbstractSocket::IPv6Protocol) {
        bool mapped = false;
        const quint32 v4 = a.toIPv4Address(&mapped);
        if (mapped && !a.isEqual(QHostAddress::AnyIPv6, QHostAddress::StrictConversion))
            return QHostAddress(v4);
    }
    QHostAddress out = a;
    out.setScopeId(QString());
    return out;
}

QString peerText(const QHostAddress &a) { return plain(a).toString(); }

std::optional<NetList> NetList::parse(const QString &text, QString *error)
{
    NetList out;
    const QStringList entries = QString(text)
                                    .replace(QLatin1Char(','), QLatin1Char(' '))
                                    .split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &e : entries) {
        const QPair<QHostAddress, int> net = QHostAddress::parseSubnet(e);
        if (net.first.isNull() || net.second < 0) {
            if (error)
                *error = QStringLiteral("\"%1\" is no address or network (such as 192.168.1.0/24)")
                             .arg(e);
            return std::nullopt;
        }
        out.nets << qMakePair(plain(net.first),
                              net.first.protocol() == QAbstractSocket::IPv6Protocol &&
                                      plain(net.first).protocol() == QAbstractSocket::IPv4Protocol
                                  ? std::max(0, net.second - 96)
                                  : net.second);
    }
    return out;
}

bool NetList::contains(const QHostAddress &a) const
{
    const QHostAddress p = plain(a);
    for (const auto &n : nets)
        if (p.isInSubnet(n.first, n.second))
            return true;
    return false;
}

QString hashPassword(const QByteArray &password)
{
    QByteArray salt(kSaltBytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(salt.data()), kSaltBytes / 4);
    return QStringLiteral("%1$%2$%3$%4")
        .arg(kScheme)
        .arg(kIterations)
        .arg(QString::fromLatin1(salt.toBase64()),
             QString::fromLatin1(derive(password, salt, kIterations).toBase64()));
}

bool isHash(const QString &stored) { return split(stored).has_value(); }

bool matches(const QString &stored, const QByteArray &password)
{
    const std::optional<Parsed> p = split(stored);
    return p && sameBytes(derive(password, p->salt, p->iterations), p->key);
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    // Every byte is looked at whatever differs first.
    unsigned diff = unsigned(a.size() ^ b.size());
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i)
        diff |= unsigned(uchar(a[i]) ^ uchar(b[i]));
    return diff == 0;
}

QString passwordProblem(const QByteArray &password)
{
    if (password.isEmpty())
        return QStringLiteral("The password is empty.");
    for (char c : password)
        if (uchar(c) <= ' ' || c == 0x7f)
            return QStringLiteral("A password cannot contain blanks or control characters.");
    return QString();
}

bool readPasswordFile(const QString &path, QByteArray *password, QString *error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error =
            QStringLiteral("The password file %1 cannot be read: %2").arg(path, f.errorString());
        return false;
    }
    const QByteArray line = f.readLine(4096).trimmed();
    if (const QString why = passwordProblem(line); !why.isEmpty()) {
        *error =
            QStringLiteral("The password file %1 holds no usable password on its first line: %2")
                .arg(path, why);
        return false;
    }
    *password = line;
    return true;
}

// ------------------------------------------------------------------ the gate

Gate::Gate()
{
    now = [] {
        static QElapsedTimer clock;
        if (!clock.isValid())
            clock.start();
        return clock.elapsed();
    };
}

void Gate::note(const QString &text, bool warning, QLatin1String service)
{
    const QString line = service + QStringLiteral(": ") + text;
    if (warning)
        qCWarning(lcNet).noquote() << line;
    else
        qCInfo(lcNet).noquote() << line;
    if (LineOwner *t = traceTo ? traceTo() : nullptr)
        t->traceNote(line);
}

bool Gate::mayListen(const QHostAddress &address, QString *why)
{
    if (plain(address).isLoopback() || policy.hasPassword())
        return true;
    *why = QStringLiteral(
               "The rig-control server does not listen on %1 without a password: anyone who "
               "reaches the port could tune the receiver. Set a password (Set-up, Network, or "
               "--rigctl-password-file FILE) or listen on 127.0.0.1")
               .arg(address.toString());
    note(QStringLiteral("not listening on %1: no password is set").arg(address.toString()), true);
    return false;
}

Gate::Admit Gate::entry(const QHostAddress &peer, Level *level)
{
    if (trusted(peer)) {
        *level = Level::Full;
        return Admit::Open;
    }
    *level = Level::None;
    if (!policy.allow.isEmpty() && !policy.allow.contains(peer))
        return Admit::NotAllowed;
    return lockedOut(peer) ? Admit::LockedOut : Admit::Open;
}

Gate::Admit Gate::admit(const QHostAddress &peer, Level *level)
{
    const QString who = peerText(peer);
    const Admit a = entry(peer, level);
    switch (a) {
    case Admit::NotAllowed:
        note(QStringLiteral("%1 refused: not on the allow list").arg(who));
        break;
    case Admit::LockedOut:
        note(QStringLiteral("%1 refused: shut out after %2 wrong passwords")
                 .arg(who)
                 .arg(kMaxFailures));
        break;
    case Admit::Open:
        note(*level == Level::Full ? QStringLiteral("%1 connected (trusted)").arg(who)
                                   : QStringLiteral("%1 connected (needs a password)").arg(who));
        break;
    }
    return a;
}

bool Gate::lockedOut(const QHostAddress &peer)
{
    const auto it = failures_.constFind(peerText(peer));
    return it != failures_.cend() && it->lockedUntil > now();
}

std::optional<int> Gate::check(const QHostAddress &peer, Level *level, const rigctl::Request &r)
{
    const QString who = peerText(peer);
    if (r.ok && r.name == QLatin1String("password")) {
        const Level got = logIn(peer, r.args.join(QLatin1Char(' ')).toLatin1());
        if (got == Level::None)
            return kSecurity;
        if (*level != Level::Full) // a trusted client keeps full control
            *level = got;
        return rigctl::kOk;
    }
    // Asking to leave reaches nothing.
    if (*level == Level::Full || (r.ok && r.name == QLatin1String("quit")))
        return std::nullopt;
    if (*level == Level::Read && !rigctl::isSet(r))
        return std::nullopt;
    note(QStringLiteral("%1 refused \"%2\": %3")
             .arg(who, r.name.left(40),
                  *level == Level::Read ? QStringLiteral("read-only access")
                                        : QStringLiteral("no password given")));
    return kSecurity;
}

Level Gate::logIn(const QHostAddress &peer, const QByteArray &password, QLatin1String service)
{
    const QString who = peerText(peer);
    const Level got = matches(policy.fullHash, password)   ? Level::Full
                      : matches(policy.readHash, password) ? Level::Read
                                                           : Level::None;
    if (got != Level::None) {
        note(QStringLiteral("%1 logged in with the %2 password")
                 .arg(who, got == Level::Full ? QStringLiteral("full-control")
                                              : QStringLiteral("read-only")), false, service);
        return got;
    }
    if (trusted(peer)) { // never shut out
        note(QStringLiteral("%1 gave a wrong password (trusted: not counted)").arg(who), true, service);
        return got;
    }
    const qint64 t = now();
    prune(t);
    Failures &f = failures_[who];
    f.last = t;
    f.at.push_back(t);
    while (!f.at.empty() && f.at.front() <= t - kFailureWindowMs)
        f.at.pop_front();
    if (int(f.at.size()) >= kMaxFailures) {
        f.lockedUntil = t + kLockMs;
        f.at.clear();
        note(QStringLiteral("%1 shut out for ten minutes after %2 wrong passwords")
                 .arg(who)
                 .arg(kMaxFailures),
             true, service);
    } else {
        note(QStringLiteral("%1 gave a wrong password (%2 of %3)")
                 .arg(who)
                 .arg(f.at.size())
                 .arg(kMaxFailures),
             true, service);
    }
    return got;
}

void Gate::prune(qint64 t)
{
    for (auto it = failures_.begin(); it != failures_.end();) {
        const bool quiet =
            it->lockedUntil <= t && (it->at.empty() || it->at.back() <= t - kFailureWindowMs);
        it = quiet ? failures_.erase(it) : std::next(it);
    }
    while (failures_.size() >= kMaxAddresses) {
        auto oldest = failures_.begin();
        for (auto it = failures_.begin(); it != failures_.end(); ++it)
            if (it->last < oldest->last && it->lockedUntil <= t)
                oldest = it;
        failures_.erase(oldest);
    }
}

} // namespace rigaccess
