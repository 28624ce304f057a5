// The rig-control network server: other programs (decoders, logbooks,
// schedule tools) read and set the frequency, mode and levels over TCP while
// this program keeps the serial port.
//
// Each client has its own queue of requests; the queues are served in turn
// (one request of each client with something waiting, round and round), so a
// client that sends thousands of requests delays another by one request at
// most. Requests that need the receiver are jobs on the line's owner, one at
// a time, never interleaved with the program's own exchanges:
// - "f"/"m" read the receiver's state once, and that read answers every
//   "f"/"m" then at the head of a queue; while the receiver's dial is
//   followed (its frequency reports are on) they are answered from what the
//   program knows, without the line;
// - a set answers what happened: out of range (nothing sent), not fitted,
//   the receiver silent (it did not answer the check after the command) or
//   the line lost.
// A client whose queue is full, or that does not read its answers, is not
// read from until it catches up: TCP holds its further requests back. At
// most kMaxClients clients at once (a further one is closed at once); a
// client without a request for idleTimeoutMs is closed.
//
// A client that closes its sending side after its requests (a half-close)
// still gets their answers: everything it sent is read, each line (and a last
// line without a line end) answered in order, and the connection closed once
// the answers are out. A client that is gone (reset, or an answer cannot be
// delivered) is closed at once: its requests are dropped and its slot is free.
// The connections are the system's own sockets, read and written here: a Qt
// socket closes itself on the peer's half-close, with answers still unsent.
//
// Several requests on one line are queued and answered in order, each in
// its own form; a queue may so hold one line's requests beyond kMaxPending.
// "AOS" starts a recording (as the Rec button does, noted as started by the
// client's address) and "LOS" stops it; a recording the user started is
// left alone.
//
// A request that waits behind a long operation (memory fetch, scan, timer
// run) longer than busyBoundMs is answered with the busy code and taken out
// of the owner's queue, as is the request of a client that goes away: nothing
// of it reaches the receiver.
#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <deque>
#include <memory>
#include <vector>

#include "link/linetask.h"
#include "link/receiver2.h"
#include "net/rigaccess.h"
#include "net/rigctl.h"

struct App;
class QTcpServer;

class RigServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 4532;
    // Longest request line; a longer one is discarded and answered with the
    // protocol error code.
    static constexpr int kMaxLine = 4096;
    static constexpr int kMaxClients = 16;
    // Requests read from one client and not yet answered.
    static constexpr int kMaxPending = 16;
    // Answers a client has not taken yet beyond which it is not read from.
    static constexpr qint64 kMaxUnsent = 64 * 1024;

    // shared: rules kept by the caller (and used by its other servers, so
    // that a wrong password counts for all); nullptr: the server's own.
    explicit RigServer(App &app, rigaccess::Gate *shared = nullptr);
    ~RigServer() override;

    // Listens on address:port; false with the reason (port in use, bad
    // address) otherwise.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    void close();
    bool isListening() const;
    quint16 port() const;
    int clientCount() const { return int(clients_.size()); }

    // How long a request may wait behind another caller's job (ms).
    int busyBoundMs = 3000;
    // Clients at once; a further one is closed at once.
    int maxClients = kMaxClients;
    // A client without a request this long is closed (ms).
    int idleTimeoutMs = 5 * 60 * 1000;
    // Who may connect and what each client may do (net/rigaccess.h). A
    // trusted client that finds every place taken takes the place of one
    // that has not given a password.
private:
    rigaccess::Gate ownGate_;
public:
    rigaccess::Gate &access;

    // For tests and benchmarks: the most requests one client had waiting,
    // the state reads made for "f"/"m", and the connections taken or refused.
    int maxPendingSeen() const { return maxPendingSeen_; }
    int stateReads() const { return stateReads_; }
    int connectionsSeen() const { return connectionsSeen_; }

private:
    struct Client;
    void onIncoming(qintptr fd);
    // Answers a request the access rules refuse (or a "\password"); false
    // when it is to be served.
    bool guard(Client *c, const rigctl::Request &r);
    void onReadable(Client *c);
    // Takes whole requests from what the client sent while its queue has
    // room, and reads from it only while it takes its answers.
    void take(Client *c);
    void send(Client *c, const QByteArray &text);
    void flush(Client *c);
    bool owes(const Client *c) const;
    bool finished(const Client *c) const;
    void sweep();
    void remove(Client *c);
    Client *find(quint64 id) const;
    void schedule();
    void serve();
    // Answers a request that needs no line; false when it needs one.
    bool answerLocally(Client *c, const rigctl::Request &r);
    int startRecording(const Client *c);
    int stopRecording();
    void startJob(Client *c, const rigctl::Request &r);
    rxjob::Task<> readJob(quint64 id, rigctl::Request r);
    rxjob::Task<> setJob(quint64 id, rigctl::Request r);
    void answerHeads(const std::optional<QString> &state, int failCode);
    void onBusyBound(quint64 jobSerial);

    App &app_;
    QTcpServer *server_;
    std::vector<std::unique_ptr<Client>> clients_; // in the order they came
    std::size_t turn_ = 0;
    quint64 nextId_ = 0;
    bool scheduled_ = false;
    // The one job on the owner for the clients.
    bool working_ = false;
    quint64 jobClient_ = 0;
    quint64 jobSerial_ = 0;
    Receiver2::Ticket ticket_ = 0;
    int maxPendingSeen_ = 0;
    int stateReads_ = 0;
    int connectionsSeen_ = 0;
    QString recPath_; // the recording a client started
};
