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
#include <QTcpSocket>
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
        int closeCode = 0;
    };
    // A socket with that cookie and Origin; connected or closed at once.
    std::unique_ptr<Page> open(const QByteArray &cookie, const QString &origin = {})
    {
        auto p = std::make_unique<Page>();
        Page *pp = p.get();
        QObject::connect(&p->ws, &QWebSocket::textMessageReceived, [pp](const QString &m) {
            pp->got << QJsonDocument::fromJson(m.toUtf8()).object();
        });
        QObject::connect(&p->ws, &QWebSocket::disconnected, [pp] { pp->closeCode = pp->ws.closeCode(); });
        QNetworkRequest req(QUrl("ws://" + base() + "/ws"));
        req.setRawHeader("Cookie", cookie.split(';').first());
        req.setRawHeader("Origin", (origin.isEmpty() ? "http://" + base() : origin).toUtf8());
        p->ws.open(req);
        waitUntil([&] { return !pp->got.isEmpty() || pp->closeCode != 0; });
        return p;
    }
    static void ask(Page &p, const QJsonObject &o) { p.ws.sendTextMessage(QString::fromUtf8(QJsonDocument(o).toJson())); }
    static QString lastRefusal(Page &p)
    {
        waitUntil([&] { return std::any_of(p.got.begin(), p.got.end(), [](auto &o) { return o["t"] == "refused"; }); }, 3000);
        for (auto it = p.got.rbegin(); it != p.got.rend(); ++it)
            if ((*it)["t"] == "refused")
                return (*it)["why"].toString();
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
    const struct {
        QByteArray cookie;
        QString origin;
        int code; // 0: served
    } cases[] = {
        {"", {}, 4401},
        {"vorantis_session=forged", {}, 4401},
        {cookie, "http://elsewhere.example", 4403},
        {cookie, "http://" + base() + ".elsewhere.example", 4403},
        {cookie, {}, 0},
    };
    for (const auto &c : cases) {
        auto p = open(c.cookie, c.origin);
        EXPECT_EQ(p->closeCode, c.code) << c.cookie.toStdString() << " " << c.origin.toStdString();
        EXPECT_EQ(p->got.isEmpty(), c.code != 0); // nothing said to a refused one
    }
    // Five wrong passwords shut the address out, the right one included.
    for (int i = 0; i < 4; ++i)
        logIn("wrong");
    EXPECT_EQ(logIn("full-secret"), 403);
    EXPECT_EQ(open(cookie)->closeCode, 4403);
}

TEST_F(WebFixture, ChangesNeedFullLevelAndControl)
{
    QByteArray full, read;
    ASSERT_EQ(logIn("full-secret", &full), 200);
    ASSERT_EQ(logIn("read-secret", &read), 200);
    auto a = open(full), b = open(full), r = open(read);
    ASSERT_EQ(a->got.first()["level"], "full");
    ASSERT_EQ(r->got.first()["level"], "read");
    const QJsonObject tune{{"t", "tune"}, {"hz", 9580000}};
    ask(*r, tune);
    EXPECT_EQ(lastRefusal(*r), "This listener only listens (read-only password)");
    ask(*a, tune);
    EXPECT_EQ(lastRefusal(*a), "Take control first");
    ask(*r, {{"t", "control"}});
    EXPECT_EQ(lastRefusal(*r), "This listener only listens (read-only password)");

    // In control: the tune sends what the panel's tune sends; the others see it.
    const QString panelSends = t.sends([&] { t.rx->tune(9575000, Origin::Panel); });
    ask(*a, {{"t", "control"}});
    const QString webSends = t.sends([&] {
        ask(*a, tune);
        waitUntil([&] { return t.app.rxs.hz == 9580000; });
    });
    EXPECT_EQ(webSends, QString(panelSends).replace("9575", "9580"));
    EXPECT_TRUE(waitUntil([&] { return b->got.last()["freq"].toString().trimmed() == "9580.000"; }));
    EXPECT_EQ(b->got.last()["controller"].toInt(), a->got.first()["id"].toInt());
    ask(*a, {{"t", "tune"}, {"hz", 40000000}});
    EXPECT_EQ(lastRefusal(*a), "Out of the receiver's range");
    // Taken over by the other listener at full level.
    ask(*b, {{"t", "control"}});
    ask(*a, tune);
    EXPECT_EQ(lastRefusal(*a), "Take control first");
}

TEST_F(WebFixture, AtMostEightListenersAndASlowOneLosesSound)
{
    QByteArray cookie;
    ASSERT_EQ(logIn("full-secret", &cookie), 200);
    web->setAudioSource([] { return std::make_unique<ToneSource>(1000, 0.5, false); });
    std::vector<std::unique_ptr<Page>> pages;
    for (int i = 0; i < WebRemote::kMaxListeners; ++i)
        pages.push_back(open(cookie));
    EXPECT_EQ(web->listenerCount(), 8);
    EXPECT_EQ(open(cookie)->closeCode, 4408);
    // The tone runs as fast as it is made; the pages' event loop keeps up
    // only in part, so queued sound hits the cap and is dropped.
    for (auto &p : pages)
        ask(*p, {{"t", "listen"}, {"on", true}});
    EXPECT_TRUE(waitUntil([&] { return web->stats().audioDropped > 100; }, 30000));
    pages.clear();
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
