// The rig-control network server: other programs (decoders, logbooks,
// schedule tools) read and set the frequency, mode and levels over TCP while
// this program keeps the serial port.
//
// Requests from all clients are carried out one at a time, in arrival order,
// each as one sequence inside the remote bracket through the receiver facade,
// so they never interleave with the program's own commands. A request that
// arrives while a long operation (memory fetch, scan, timer run) owns the
// line waits in the facade's queue up to busyBoundMs and is then answered
// with the busy code; it is taken out of the queue (as when its client goes
// away) so nothing of it reaches the receiver later.
#pragma once
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>

#include "link/receiver2.h"
#include "net/rigctl.h"

struct App;
class QTcpServer;
class QTcpSocket;

class RigServer : public QObject {
    Q_OBJECT
public:
    static constexpr quint16 kDefaultPort = 4532;
    // Longest request line; a longer one is discarded and answered with the
    // protocol error code.
    static constexpr int kMaxLine = 4096;

    explicit RigServer(App &app, QObject *parent = nullptr);
    ~RigServer() override;

    // Listens on address:port; false with the reason (port in use, bad
    // address) otherwise.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    void close();
    bool isListening() const;
    quint16 port() const;
    int clientCount() const;

    // How long a request may wait behind another caller's sequence (ms).
    int busyBoundMs = 3000;

private:
    struct Pending {
        QPointer<QTcpSocket> client;
        rigctl::Request req;
    };
    // A request queued in the facade behind another caller's sequence.
    struct Waiting {
        Receiver2::Ticket ticket = 0;
        QTcpSocket *client = nullptr; // compared only, never used
        bool done = false;    // it ran
        bool dropped = false; // answered busy or its client went away
    };
    void drop(const std::shared_ptr<Waiting> &st);
    void clientGone(QTcpSocket *s);
    void onNewConnection();
    void onReadyRead(QTcpSocket *s);
    void next();
    void execute(const Pending &p);
    // Runs one request inside a sequence; fills keys/values and the code.
    int run(const rigctl::Request &r, QStringList *keys, QStringList *values);
    void reply(QTcpSocket *s, const QByteArray &text);

    App &app_;
    QTcpServer *server_;
    std::deque<Pending> queue_;
    bool working_ = false;
    std::shared_ptr<Waiting> waiting_;
};
