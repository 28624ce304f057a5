// The web remote's sessions, refusals, control and sound cap, with
// WebSocket and HTTP clients in this process standing in for pages.
#include "record/audiosource.h"
#include "sim/simwait.h"
#include "testkit.h"
#include "web/webaudio.h"
#include "web/webfake.h"
#include "web/webremote.h"
#include "schedules/onair.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebSocket>
#include <gtest/gtest.h>

namespace {
struct WebFixture : ::testing::Test {
    TestApp t;
    PasswordAccess access;
    std::unique_ptr<WebRemote> web;
    QNetworkAccessManager nam;
    WebFixture()
    {
        t.app.rx = t.rx.get();
        web = std::make_unique<WebRemote>(t.app, access);
        QString err;
        EXPECT_TRUE(web->listen(QHostAddress::LocalHost, 0, &err)) << err.toStdString();
    }
    QString base() const { return QStringLiteral("127.0.0.1:%1").arg(web->port()); }
    // POST /login: the status and the cookie it set.
    int logIn(const QByteArray &password, QByteArray *cookie = nullptr)
    {
        QNetworkRequest req(QUrl("http://" + base() + "/login"));
        req.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
        QNetworkReply *r = nam.post(req, "password=" + password);
        waitUntil([&] { return r->isFinished(); });
        if (cookie)
            *cookie = r->rawHeader("Set-Cookie");
        r->deleteLater();
        return r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }
    struct Page {
        QWebSocket ws;
        QList<QJsonObject> got;
        bool ended = false;
        bool served() const { return !got.isEmpty(); }
    };
    // A socket with that cookie and Origin; connected or closed at once.
    std::unique_ptr<Page> open(const QByteArray &cookie, const QString &origin = {})
    {
        auto p = std::make_unique<Page>();
        Page *pp = p.get();
        QObject::connect(&p->ws, &QWebSocket::textMessageReceived, [pp](const QString &m) {
            pp->got << QJsonDocument::fromJson(m.toUtf8()).object();
        });
        QObject::connect(&p->ws, &QWebSocket::disconnected, [pp] { pp->ended = true; });
        QNetworkRequest req(QUrl("ws://" + base() + "/ws"));
        req.setRawHeader("Cookie", cookie.split(';').first());
        req.setRawHeader("Origin", (origin.isEmpty() ? "http://" + base() : origin).toUtf8());
        p->ws.open(req);
        waitUntil([&] { return pp->served() || pp->ended; });
        return p;
    }
    static void ask(Page &p, const QJsonObject &o) { p.ws.sendTextMessage(QString::fromUtf8(QJsonDocument(o).toJson())); }
    // What the page is told when it asks o.
    static QString refusalOf(Page &p, const QJsonObject &o)
    {
        p.got.clear();
        ask(p, o);
        waitUntil([&] { return std::any_of(p.got.begin(), p.got.end(), [](auto &m) { return m["t"] == "refused"; }); }, 5000);
        for (const QJsonObject &m : p.got)
            if (m["t"] == "refused")
                return m["why"].toString();
        return {};
    }
};
} // namespace

TEST_F(WebFixture, LogInCookieAndTheSocketsRefused)
{
    QByteArray cookie;
    EXPECT_EQ(logIn("wrong"), 401);
    EXPECT_EQ(logIn("full-secret", &cookie), 200);
    EXPECT_TRUE(cookie.contains("HttpOnly") && cookie.contains("SameSite=Strict") && !cookie.contains("Secure"))
        << cookie.toStdString();
    // Refused before the upgrade: nothing is said on a refused socket.
    const struct {
        QByteArray cookie;
        QString origin;
        bool served;
    } cases[] = {
        {"", {}, false},
        {"vorantis_session=forged", {}, false},
        {cookie, "http://elsewhere.example", false},
        {cookie, "http://" + base() + ".elsewhere.example", false},
        {cookie, {}, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(open(c.cookie, c.origin)->served(), c.served) << c.cookie.toStdString() << " " << c.origin.toStdString();
    EXPECT_EQ(web->stats().refusedSockets, 4);
    // Five wrong passwords shut the address out, the right one included.
    for (int i = 0; i < 4; ++i)
        logIn("wrong");
    EXPECT_EQ(logIn("full-secret"), 403);
    EXPECT_FALSE(open(cookie)->served());
}

TEST_F(WebFixture, ChangesNeedFullLevelAndControl)
{
    QByteArray full, read;
    ASSERT_EQ(logIn("full-secret", &full), 200);
    ASSERT_EQ(logIn("read-secret", &read), 200);
    auto a = open(full), b = open(full), r = open(read);
    ASSERT_EQ(a->got.first()["level"], "full");
    const int idA = a->got.first()["id"].toInt(), idB = b->got.first()["id"].toInt();
    ASSERT_EQ(r->got.first()["level"], "read");
    const QJsonObject tune{{"t", "tune"}, {"hz", 9580000}};
    const QString readOnly = "This listener only listens (read-only password)";
    EXPECT_EQ(refusalOf(*r, tune), readOnly);
    EXPECT_EQ(refusalOf(*a, tune), "Take control first");
    EXPECT_EQ(refusalOf(*r, {{"t", "control"}}), readOnly);

    // In control: the tune sends what the panel's tune sends; the others see it.
    t.settle();
    const QString panelSends = t.sends([&] { t.rx->tune(9575000, Origin::Panel); });
    ask(*a, {{"t", "control"}});
    const QString webSends = t.sends([&] {
        ask(*a, tune);
        waitUntil([&] { return t.app.rxs.hz == 9580000; });
    });
    EXPECT_EQ(webSends, QString(panelSends).replace("9575", "9580"));
    EXPECT_TRUE(waitUntil([&] { return b->got.last()["freq"].toString().trimmed() == "9580.000"; }));
    EXPECT_EQ(b->got.last()["controller"].toInt(), idA);
    EXPECT_EQ(refusalOf(*a, {{"t", "tune"}, {"hz", 40000000}}), "Out of the receiver's range");
    EXPECT_EQ(refusalOf(*a, {{"t", "mode"}, {"code", 7}}), "Not fitted in this receiver, or not in this mode");
    // Taken over by the other listener at full level.
    ask(*b, {{"t", "control"}});
    EXPECT_TRUE(waitUntil([&] { return a->got.last()["controller"].toInt() == idB; }));
    EXPECT_EQ(refusalOf(*a, tune), "Take control first");
}

TEST_F(WebFixture, AtMostEightListenersAndASlowOneLosesSound)
{
    QByteArray cookie;
    ASSERT_EQ(logIn("full-secret", &cookie), 200);
    web->setAudioSource([] { return std::make_unique<ToneSource>(1000, 0.5, false); });
    // A listener that never reads: it asks for sound and takes nothing.
    QTcpSocket slow;
    slow.setReadBufferSize(256);
    slow.connectToHost(QHostAddress::LocalHost, web->port());
    ASSERT_TRUE(slow.waitForConnected(5000));
    slow.setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption, 4096);
    slow.write("GET /ws HTTP/1.1\r\nHost: " + base().toUtf8() + "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
               "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\nOrigin: http://" +
               base().toUtf8() + "\r\nCookie: " + cookie.split(';').first() + "\r\n\r\n");
    ASSERT_TRUE(waitUntil([&] { return web->listenerCount() == 1; }));
    // {"t":"listen","on":true}, masked with a zero key, as a client sends it.
    const QByteArray listen = R"({"t":"listen","on":true})";
    slow.write(QByteArray("\x81") + char(0x80 | listen.size()) + QByteArray(4, '\0') + listen);
    std::vector<std::unique_ptr<Page>> pages;
    for (int i = 1; i < WebRemote::kMaxListeners; ++i)
        pages.push_back(open(cookie));
    EXPECT_EQ(web->listenerCount(), 8);
    EXPECT_FALSE(open(cookie)->served());
    ask(*pages.front(), {{"t", "listen"}, {"on", true}});
    // The tone comes as fast as it is made: the slow one's sound hits the
    // cap and is dropped, the page that reads still gets its own.
    EXPECT_TRUE(waitUntil([&] { return web->stats().audioDropped > 200; }, 60000));
    QByteArray heard;
    QObject::connect(&pages.front()->ws, &QWebSocket::binaryMessageReceived, [&](const QByteArray &b) { heard = b; });
    EXPECT_TRUE(waitUntil([&] { return heard.startsWith(char(WebAudio::Opus)); }));
    pages.clear();
    slow.abort();
    EXPECT_TRUE(waitUntil([&] { return web->listenerCount() == 0; }));
}

TEST(OnAir, BroadcastsNearTheFrequencyOnTheAirNow)
{
    auto line = [](QString khz, QString time, QString station, QString target, QString lang) {
        return QStringLiteral("%1 %2 %3 %4 %5").arg(khz, time).arg(station, -22).arg(target, -8).arg(lang, -17);
    };
    const QStringList lines = {line("09575.00", "0600-0700", "Radio A", "Europe", "English"),
                               line("09580.00", "0500-0900", "Radio B", "Asia", "French"),
                               line("09580.00", "1200-1300", "Radio C", "Africa", "German"),
                               line("09590.00", "0000-2359", "Radio D", "America", "Spanish")};
    const auto got = onair::at(lines, 9580.0, 630, 5.0);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].station, "Radio B");
    EXPECT_EQ(got[0].language, "French");
    EXPECT_EQ(got[0].target, "Asia");
    EXPECT_EQ(got[0].time, "0500-0900");
    EXPECT_EQ(got[1].station, "Radio A");
    EXPECT_TRUE(onair::at(lines, 15000, 630).isEmpty());
}

TEST(WebTls, SecureCookieOverHttps)
{
    QTemporaryDir dir;
    QProcess gen;
    gen.start("openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                          "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem")});
    if (!gen.waitForFinished(60000) || gen.exitCode() != 0)
        GTEST_SKIP() << "openssl cannot make a certificate here";
    TestApp t;
    PasswordAccess access;
    WebRemote web(t.app, access);
    QString err;
    EXPECT_FALSE(web.setTls(dir.filePath("missing.pem"), dir.filePath("key.pem"), &err));
    ASSERT_TRUE(web.setTls(dir.filePath("cert.pem"), dir.filePath("key.pem"), &err)) << err.toStdString();
    ASSERT_TRUE(web.listen(QHostAddress::LocalHost, 0, &err));
    QNetworkAccessManager nam;
    QNetworkRequest req(QUrl(QStringLiteral("https://127.0.0.1:%1/login").arg(web.port())));
    req.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded");
    QNetworkReply *r = nam.post(req, "password=full-secret");
    r->ignoreSslErrors();
    waitUntil([&] { return r->isFinished(); }, 20000);
    EXPECT_EQ(r->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200) << r->errorString().toStdString();
    EXPECT_TRUE(r->rawHeader("Set-Cookie").contains("; Secure"));
    delete r;
}
