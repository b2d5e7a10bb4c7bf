#include <QEventLoop>
#include <QJsonArray>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include "e2e/devtools_page.h"
#include "e2e/program_fixture.h"

namespace quill::e2e {
namespace {

// The page's pixel of a map pixel, as the page itself places it.
std::optional<point> page_point(devtools_page& page, int x, int y) {
    const std::optional<QJsonValue> found = page.evaluate(
        "(() => { const live = quillmarkLiveMap; const p = live.map.latLngToContainerPoint("
        "live.toLatLng(" +
        std::to_string(x) + ", " + std::to_string(y) + ")); return [p.x, p.y]; })()");
    if (!found || !found->isArray()) {
        return std::nullopt;
    }
    return point{static_cast<int>(found->toArray()[0].toDouble()),
                 static_cast<int>(found->toArray()[1].toDouble())};
}

rgb colour_at(const QImage& shot, point at) {
    const QColor colour = shot.pixelColor(at.x, at.y);
    return {colour.red(), colour.green(), colour.blue()};
}

int status_of(const QUrl& url) {
    QNetworkAccessManager network;
    QNetworkReply* reply = network.get(QNetworkRequest(url));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(15000, &loop, &QEventLoop::quit);
    loop.exec();
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    reply->deleteLater();
    return status;
}

struct live_map_e2e : e2e {
    // "Ansicht" is the third menu; its item after the player view's two and a separator shares
    // the game or shows the sharing again.
    ::testing::AssertionResult open_live_map_dialog(Window& dialog) {
        x.click(x.origin(main) + point{12, 8});
        ::testing::AssertionResult opened = x.wait_popups(1);
        if (!opened) {
            return opened;
        }
        x.key(XK_Right);  // "Zoom"
        x.key(XK_Right);  // "Ansicht", its first item active
        x.key(XK_Down);
        x.key(XK_Down);  // over the separator
        x.key(XK_Return);
        opened = x.wait_popups(0);
        return opened ? x.wait_window("Live-Karte", dialog) : opened;
    }
};

// Shared from the menu "Ansicht", the link copied from the dialog opens in a browser: the page
// shows token 0 where the program draws it, follows a drag in the program, and a link with
// another key finds nothing. Once the sharing ends, the page says so.
TEST_F(live_map_e2e, the_live_map_shows_the_game_in_a_browser_and_follows_a_drag) {
    ASSERT_TRUE(start());
    Window dialog = None;
    ASSERT_TRUE(open_live_map_dialog(dialog));
    const window_box area = x.inner(dialog);
    x.click(area.at + point{30, area.height - 25});  // "Link kopieren"
    std::string link;
    ASSERT_TRUE(x.wait_until(
        [&] {
            link = x.clipboard_text();
            return link.starts_with("http://");
        },
        "the link on the clipboard"));
    x.close(dialog);
    ASSERT_TRUE(x.wait_gone(dialog));

    QUrl url(QString::fromStdString(link));
    url.setHost("127.0.0.1");
    devtools_page page;
    ASSERT_TRUE(page.start(1000, 800));
    ASSERT_TRUE(page.open(url.toString().toStdString()));
    ASSERT_TRUE(
        page.wait_true("document.title === 'Testebene' && !!quillmarkLiveMap.state()", "the game"));
    // Loaded, and faded in: a tile fading in still shows the page's background through it.
    const std::string everything_loaded =
        "(() => { const shown = [...document.querySelectorAll('.leaflet-tile, .live-item')];"
        " const opaque = e => !e || e.id === 'map' ||"
        " (getComputedStyle(e).opacity === '1' && opaque(e.parentElement));"
        " return shown.length > 3 && shown.every(i => i.complete && i.naturalWidth > 0 &&"
        " opaque(i)); })()";
    ASSERT_TRUE(page.wait_true(everything_loaded, "the tiles and the tokens"));

    // Token 0 lies on the map at (25, 20), 40 pixels square; the beacon at (300, 300).
    const std::optional<point> token = page_point(page, 45, 40);
    const std::optional<point> beacon_ground = page_point(page, 310, 310);
    ASSERT_TRUE(token && beacon_ground);
    QImage shot = page.screenshot();
    EXPECT_EQ(colour_at(shot, *token), red);
    EXPECT_EQ(colour_at(shot, *beacon_ground), ground);

    ASSERT_TRUE(drag(on_canvas(45, 40), on_canvas(45, 300), red));
    ASSERT_TRUE(page.wait_true(
        "JSON.stringify(quillmarkLiveMap.state().tokens[0].slice(0, 2)) === '[25,280]'",
        "token 0 where it was let go"));
    ASSERT_TRUE(page.wait_true(everything_loaded, "the tiles and the tokens"));
    const std::optional<point> moved = page_point(page, 45, 300);
    ASSERT_TRUE(moved);
    shot = page.screenshot();
    EXPECT_EQ(colour_at(shot, *moved), red);
    EXPECT_EQ(colour_at(shot, *token), ground);

    // A loaded game replaces the page's game; pointing at a transport shows its inscription.
    ASSERT_TRUE(load_two_transports());
    ASSERT_TRUE(page.wait_true("quillmarkLiveMap.state().transports.length === 2",
                               "the loaded game's transports"));
    ASSERT_TRUE(page.wait_true(everything_loaded, "the tiles and the items"));
    const std::optional<point> cart = page_point(page, transport_a.x + 5, transport_a.y + 5);
    ASSERT_TRUE(cart);
    ASSERT_TRUE(page.point_at(cart->x, cart->y));
    EXPECT_TRUE(page.wait_true(
        "[...document.querySelectorAll('.inscription')].some(t => t.textContent === 'Karren')",
        "the inscription of the transport pointed at"));

    QUrl wrong = url;
    wrong.setPath("/k/00000000000000000000000000000000/");
    EXPECT_EQ(status_of(wrong), 404);
    EXPECT_EQ(status_of(url), 200);

    // The same item shows the dialog again, whose other button ends the sharing: the page says
    // it lost the program.
    ASSERT_TRUE(open_live_map_dialog(dialog));
    const window_box again = x.inner(dialog);
    x.click(again.at + point{again.width - 30, again.height - 25});  // "Freigabe beenden"
    ASSERT_TRUE(x.wait_gone(dialog));
    EXPECT_TRUE(page.wait_true(
        "!document.getElementById('offline').hidden && document.getElementById('offline')"
        ".textContent === 'Verbindung unterbrochen \u2013 neuer Versuch \u2026'",
        "the page to say the program has gone"));
    EXPECT_EQ(status_of(url), 0);
}

}  // namespace
}  // namespace quill::e2e
