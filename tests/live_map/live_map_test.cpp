#include <gtest/gtest.h>
#include <QEventLoop>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QWebSocket>

#include <functional>

#include "live_map/live_map.h"
#include "live_map/map_tiles.h"
#include "support/map_fixture.h"

namespace quill {
namespace {

using testing::map_fixture;

// Runs the event loop until done, for five seconds at the most.
bool process_until(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        if (done()) {
            loop.quit();
        }
    });
    ticker.start(5);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    if (!done()) {
        loop.exec();
    }
    return done();
}

struct reply_of {
    int status = 0;
    QByteArray type;
    QByteArray body;
};

// A game shared on loopback, and a browser's requests to it.
struct live_map_sharing : map_fixture {
    live_map live{system};
    QNetworkAccessManager network;
    std::string link;

    void SetUp() override {
        make_level(600, 400, 40, 40, 800, 600);
        picture_store& pictures = system.pictures();
        pictures.free(state.level.background);
        QImage map(600, 400, QImage::Format_RGB32);
        for (int y = 0; y < 400; ++y) {
            for (int x = 0; x < 600; ++x) {
                map.setPixel(x, y, qRgb(x % 256, y % 256, (x * y) % 256));
            }
        }
        state.level.background = pictures.adopt(map);
        add_token(100, 100);
        state.level.name = "Tal";
        ASSERT_TRUE(live.start(state, QHostAddress::LocalHost));
        link = live.links().front();
    }

    reply_of get(const std::string& url) {
        QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QString::fromStdString(url))));
        process_until([reply] { return reply->isFinished(); });
        reply_of got{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                     reply->header(QNetworkRequest::ContentTypeHeader).toByteArray(),
                     reply->readAll()};
        reply->deleteLater();
        return got;
    }
    // The link's address with another path.
    std::string at(const std::string& path) {
        QUrl url(QString::fromStdString(link));
        url.setPath(QString::fromStdString(path));
        return url.toString().toStdString();
    }
};

TEST_F(live_map_sharing, serves_the_page_its_tiles_and_its_pictures_under_the_key_only) {
    EXPECT_EQ(link.substr(0, 17), "http://127.0.0.1:");
    const reply_of page = get(link);
    EXPECT_EQ(page.status, 200);
    EXPECT_TRUE(page.type.startsWith("text/html"));
    EXPECT_TRUE(page.body.contains("live_map.js"));
    for (const char* file : {"live_map.js", "live_map.css", "leaflet.js", "leaflet.css"}) {
        EXPECT_EQ(get(link + file).status, 200) << file;
    }

    const uint64_t version = system.pictures().version(state.level.background);
    const QImage* map = system.pictures().image(state.level.background);
    for (const auto& [z, x, y] : {std::tuple{0, 0, 0}, {2, 1, 1}, {1, 1, 0}}) {
        const reply_of tile =
            get(link + "tiles/" + std::to_string(version) + "/" + std::to_string(z) + "/" +
                std::to_string(x) + "/" + std::to_string(y) + ".png");
        ASSERT_EQ(tile.status, 200);
        EXPECT_EQ(tile.type, "image/png");
        EXPECT_EQ(QImage::fromData(tile.body, "PNG").convertToFormat(QImage::Format_ARGB32),
                  render_tile(*map, z, x, y).convertToFormat(QImage::Format_ARGB32));
    }
    const reply_of icon = get(link + "pictures/p0.png?v=1");
    ASSERT_EQ(icon.status, 200);
    EXPECT_EQ(QImage::fromData(icon.body, "PNG").pixel(5, 5), qRgb(0, 0, 200));

    for (const std::string& missing :
         {link + "tiles/" + std::to_string(version + 1) + "/0/0/0.png", link + "tiles/0/3/0/0.png",
          link + "pictures/p7.png", link + "index.htm", at("/k/0123456789abcdef0123456789abcdef/"),
          at("/"), at("/live_map.js")}) {
        EXPECT_EQ(get(missing).status, 404) << missing;
    }
}

// A page gets the whole game when it connects and then only what changed; a page of another
// sharing gets nothing.
TEST_F(live_map_sharing, pages_get_the_game_and_then_what_changed) {
    // As a browser does, the page names where it comes from.
    QWebSocket page(QUrl(QString::fromStdString(link)).adjusted(QUrl::RemovePath).toString());
    std::vector<QJsonObject> received;
    QObject::connect(&page, &QWebSocket::textMessageReceived, [&](const QString& text) {
        received.push_back(QJsonDocument::fromJson(text.toUtf8()).object());
    });
    QUrl socket_url(QString::fromStdString(link + "ws"));
    socket_url.setScheme("ws");
    page.open(socket_url);
    ASSERT_TRUE(process_until([&] { return received.size() == 1; }));
    EXPECT_EQ(received[0]["type"], "full");
    EXPECT_EQ(received[0]["name"], "Tal");

    live.publish(state);
    state.tokens[0].x = 140;
    live.publish(state);
    ASSERT_TRUE(process_until([&] { return received.size() == 2; }));
    EXPECT_EQ(received[1]["type"], "changes");
    EXPECT_EQ(received[1]["tokens"].toObject()["set"].toObject()["0"].toArray()[0], 140);

    live.stop();
    EXPECT_TRUE(process_until([&] { return page.state() == QAbstractSocket::UnconnectedState; }));
}

}  // namespace
}  // namespace quill
