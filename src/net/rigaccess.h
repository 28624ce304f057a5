// Who may use the rig-control server, and how far.
//
// - Trusted addresses (by default 127.0.0.1 and ::1; an IPv4-mapped IPv6
//   address counts as its IPv4 address) have full control without a
//   password. An empty trust list trusts nobody.
// - Everyone else starts with no access: every request is answered with the
//   security code and nothing reaches the receiver, until "\password" gives
//   the full-control or the read-only password. With the read-only one the
//   client reads, and every set is refused.
// - Addresses outside the allow list (when there is one) are closed at once;
//   trusted addresses may always connect.
// - Five wrong passwords from one address within ten minutes shut that
//   address out for ten minutes: its connections are closed at once.
// - Beyond loopback the server listens only with a password set.
//
// Passwords are kept only as salted PBKDF2 hashes and compared in constant
// time. Every connection, log-in and refusal is written to the logging
// category vorantis.net and, through traceTo, to the line trace.
#pragma once
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QLoggingCategory>
#include <QPair>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

Q_DECLARE_LOGGING_CATEGORY(lcNet)

class LineOwner;
namespace rigctl {
struct Request;
}

namespace rigaccess {

// The protocol's answer code for a request refused for security.
constexpr int kSecurity = -19;

// The addresses that need no password unless told otherwise.
inline constexpr const char *kDefaultTrust = "127.0.0.1,::1";

// An address as compared: an IPv4-mapped IPv6 address as the IPv4 one.
QHostAddress plain(const QHostAddress &a);

// Addresses and networks, "127.0.0.1,::1" or "192.168.1.0/24 fd00::/8":
// entries separated by commas or blanks, each an address or a network with
// its prefix length.
struct NetList {
    QList<QPair<QHostAddress, int>> nets;
    // nullopt with the entry that is neither in *error.
    static std::optional<NetList> parse(const QString &text, QString *error = nullptr);
    bool contains(const QHostAddress &a) const;
    bool isEmpty() const { return nets.isEmpty(); }
};

// Salted PBKDF2 (HMAC-SHA256), as "pbkdf2-sha256$iterations$salt$key"
// with salt and key in base64. The salt is random for each hash.
QString hashPassword(const QByteArray &password);
// Whether stored is a hash of that layout.
bool isHash(const QString &stored);
// Whether password is the one hashed in stored (false for no hash).
bool matches(const QString &stored, const QByteArray &password);
// Byte comparison whose time depends on the lengths only.
bool sameBytes(const QByteArray &a, const QByteArray &b);
// Why a password cannot be used (empty, blanks in it); empty when it can.
QString passwordProblem(const QByteArray &password);
// The first line of a password file, blanks at its ends left out. False
// with the reason (naming the file) when it cannot be read or holds no
// usable password.
bool readPasswordFile(const QString &path, QByteArray *password, QString *error);

struct Policy {
    NetList trust = *NetList::parse(QLatin1String(kDefaultTrust));
    NetList allow;    // empty: any address may connect
    QString fullHash; // "" = no full-control password
    QString readHash; // "" = no read-only password
    bool hasPassword() const { return !fullHash.isEmpty() || !readHash.isEmpty(); }
};

enum class Level { None, Read, Full };

class Gate {
public:
    static constexpr int kMaxFailures = 5;
    static constexpr qint64 kFailureWindowMs = 10 * 60 * 1000;
    static constexpr qint64 kLockMs = 10 * 60 * 1000;
    // Addresses remembered with wrong passwords; the table never grows
    // beyond this (the oldest quiet entries go first).
    static constexpr int kMaxAddresses = 4096;

    Gate();

    Policy policy;
    // Milliseconds of a steady clock (tests set their own).
    std::function<qint64()> now;
    // Where notes go besides the logging category (the line trace).
    std::function<LineOwner *()> traceTo;

    // Whether the server may listen on address: beyond loopback only with a
    // password. *why tells the user what to do otherwise.
    bool mayListen(const QHostAddress &address, QString *why);

    enum class Admit { Open, NotAllowed, LockedOut };
    // A connection from peer: closed at once (not allowed, shut out) or
    // open with the level it starts at.
    Admit admit(const QHostAddress &peer, Level *level);
    // The same decision without a note (for a server that asks it on
    // every request and notes its own connections).
    Admit entry(const QHostAddress &peer, Level *level);
    // What a request of a client at *level answers before it is served:
    // nullopt: it is served; otherwise the code it answers with (a
    // "\password" sets *level).
    std::optional<int> check(const QHostAddress &peer, Level *level, const rigctl::Request &r);
    // Shut out now (after too many wrong passwords).
    bool lockedOut(const QHostAddress &peer);
    bool trusted(const QHostAddress &peer) const { return policy.trust.contains(peer); }

    // Writes a note to the logging category (a warning: shown by default)
    // and the line trace. Connections closed at once are no warnings, so a
    // flood of them does not fill the terminal.
    void note(const QString &text, bool warning = false,
              QLatin1String service = QLatin1String("rig-control"));

    // A log-in from peer with password: the level it gives. A wrong one
    // counts towards the shut-out (not for a trusted address). service
    // names the server in the notes.
    Level logIn(const QHostAddress &peer, const QByteArray &password,
                QLatin1String service = QLatin1String("rig-control"));

private:
    struct Failures {
        std::deque<qint64> at; // wrong passwords within the window
        qint64 lockedUntil = 0;
        qint64 last = 0;
    };
    void prune(qint64 t);
    QHash<QString, Failures> failures_;
};

// How a peer is named in notes.
QString peerText(const QHostAddress &a);

} // namespace rigaccess
