// A small HTTP server on a thread of its own for download tests: each path
// answers as scripted. On its own thread it also answers while a test waits
// for a child process (vorantis-cli) without an event loop.
#pragma once
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

struct HttpRoute {
    int status = 200;
    QByteArray reason = "OK";
    QByteArray body;
    qint64 declared = -1;  // Content-Length sent; -1: the body's size
    QByteArray etag;       // sent as ETag; a request with If-None-Match equal to it gets 304
    QByteArray location;   // sent as Location (a redirect)
    bool hang = false;     // after the body the connection stays open, silent

    static HttpRoute answer(int status, const QByteArray &reason, const QByteArray &body = {})
    {
        HttpRoute r;
        r.status = status;
        r.reason = reason;
        r.body = body;
        return r;
    }
    static HttpRoute ok(const QByteArray &body) { return answer(200, "OK", body); }
    HttpRoute tag(const QByteArray &e) const { HttpRoute r = *this; r.etag = e; return r; }
    HttpRoute length(qint64 n) const { HttpRoute r = *this; r.declared = n; return r; }
    HttpRoute to(const QByteArray &where) const { HttpRoute r = *this; r.location = where; return r; }
    HttpRoute hanging() const { HttpRoute r = *this; r.hang = true; return r; }
};

class TestHttp {
public:
    explicit TestHttp(QMap<QString, HttpRoute> routes) : routes_(std::move(routes))
    {
        anchor_ = new QObject;
        anchor_->moveToThread(&thread_);
        thread_.start();
        QMetaObject::invokeMethod(
            anchor_,
            [this] {
                auto *server = new QTcpServer(anchor_);
                server->listen(QHostAddress::LocalHost, 0);
                port_ = server->serverPort();
                QObject::connect(server, &QTcpServer::newConnection, anchor_, [this, server] {
                    while (QTcpSocket *s = server->nextPendingConnection())
                        serve(s);
                });
            },
            Qt::BlockingQueuedConnection);
    }
    ~TestHttp()
    {
        QMetaObject::invokeMethod(
            anchor_, [this] { qDeleteAll(anchor_->children()); }, Qt::BlockingQueuedConnection);
        thread_.quit();
        thread_.wait();
        delete anchor_;
    }
    quint16 port() const { return port_; }
    QString url(const QString &path) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(port_).arg(path);
    }
    // Each request's first line and its conditional headers.
    QStringList requests() const
    {
        QMutexLocker lock(&m_);
        return log_;
    }

private:
    void serve(QTcpSocket *s)
    {
        s->setParent(anchor_);
        QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
            QByteArray head = s->property("head").toByteArray() + s->readAll();
            s->setProperty("head", head);
            if (!head.contains("\r\n\r\n") || s->property("answered").toBool())
                return;
            s->setProperty("answered", true);
            const QList<QByteArray> lines = head.left(head.indexOf("\r\n\r\n")).split('\n');
            const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
            const QByteArray method = first.value(0), path = first.value(1);
            QByteArray ifNoneMatch, ifModified;
            for (const QByteArray &l : lines) {
                const QByteArray t = l.trimmed();
                if (t.toLower().startsWith("if-none-match:"))
                    ifNoneMatch = t.mid(14).trimmed();
                if (t.toLower().startsWith("if-modified-since:"))
                    ifModified = t.mid(18).trimmed();
            }
            {
                QMutexLocker lock(&m_);
                log_ << QString::fromLatin1(method + ' ' + path +
                                            (ifNoneMatch.isEmpty() ? "" : " If-None-Match: " + ifNoneMatch) +
                                            (ifModified.isEmpty() ? "" : " If-Modified-Since"));
            }
            HttpRoute r = routes_.value(QString::fromLatin1(path),
                                        HttpRoute::answer(404, "Not Found", "no such file\n"));
            if (!r.etag.isEmpty() && ifNoneMatch == r.etag)
                r = HttpRoute::answer(304, "Not Modified").tag(r.etag);
            QByteArray out = "HTTP/1.1 " + QByteArray::number(r.status) + ' ' + r.reason + "\r\n";
            out += "Content-Length: " + QByteArray::number(r.declared >= 0 ? r.declared : r.body.size()) + "\r\n";
            if (!r.etag.isEmpty())
                out += "ETag: " + r.etag + "\r\n";
            if (!r.location.isEmpty())
                out += "Location: " + r.location + "\r\n";
            out += "Connection: close\r\n\r\n";
            if (method != "HEAD" && r.status != 304)
                out += r.body;
            s->write(out);
            if (!r.hang)
                s->disconnectFromHost();
        });
    }

    QMap<QString, HttpRoute> routes_;
    QThread thread_;
    QObject *anchor_ = nullptr;
    quint16 port_ = 0;
    mutable QMutex m_;
    QStringList log_;
};
