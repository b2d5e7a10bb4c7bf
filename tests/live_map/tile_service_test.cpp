#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include "live_map/map_tiles.h"
#include "live_map/tile_service.h"
#include "random_map.h"

namespace quill {
namespace {

using testing::random_map;

// Runs the event loop until done() holds, for at most half a minute.
bool run_until(const std::function<bool()>& done) {
    QTimer limit;
    limit.setSingleShot(true);
    limit.start(30000);
    while (!done() && limit.isActive()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return done();
}

// Runs the event loop for a while, for events that must not come.
void run_for(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

QByteArray fetch(tile_service& service, int z, int x, int y) {
    QByteArray png;
    bool answered = false;
    service.request(z, x, y, [&](QByteArray tile) {
        png = std::move(tile);
        answered = true;
    });
    EXPECT_TRUE(run_until([&] { return answered; }));
    return png;
}

// What a PNG file holds, and what it should hold for a tile: straight, not premultiplied alpha.
QImage decoded(const QByteArray& png) {
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_ARGB32);
}
QImage as_written(const QImage& tile) {
    return tile.convertToFormat(QImage::Format_ARGB32);
}

TEST(tile_service, tiles_arrive_later_on_the_service_thread_as_pngs_of_the_rendered_tiles) {
    for (const QImage& map : {random_map(600, 300, QImage::Format_RGB32, 3),
                              random_map(300, 520, QImage::Format_ARGB32_Premultiplied, 4)}) {
        tile_service service;
        service.set_map(map);
        const int top = service.top_level();
        struct asked {
            int z, x, y;
            QByteArray png;
        };
        // Every tile twice, the second request joining the first, and tiles outside the pyramid.
        std::vector<asked> asks = {{-1, 0, 0, {}},
                                   {top + 1, 0, 0, {}},
                                   {0, 1, 0, {}},
                                   {top, tiles_across(map.width(), top, top), 0, {}}};
        for (int z = 0; z <= top; ++z) {
            for (int y = 0; y < tiles_across(map.height(), top, z); ++y) {
                for (int x = 0; x < tiles_across(map.width(), top, z); ++x) {
                    asks.insert(asks.end(), 2, {z, x, y, {}});
                }
            }
        }
        size_t answered = 0;
        bool elsewhere = false;
        for (size_t i = 0; i < asks.size(); ++i) {
            service.request(asks[i].z, asks[i].x, asks[i].y, [&, i](QByteArray png) {
                asks[i].png = std::move(png);
                ++answered;
                elsewhere |= QThread::currentThread() != service.thread();
            });
        }
        EXPECT_EQ(answered, 0u);
        ASSERT_TRUE(run_until([&] { return answered == asks.size(); }));
        EXPECT_FALSE(elsewhere);
        for (const auto& [z, x, y, png] : asks) {
            const QImage tile = render_tile(map, z, x, y);
            EXPECT_EQ(png.isEmpty(), tile.isNull()) << z << "/" << x << "/" << y;
            EXPECT_EQ(decoded(png), as_written(tile)) << z << "/" << x << "/" << y;
        }
    }
    tile_service without_map;
    EXPECT_TRUE(fetch(without_map, 0, 0, 0).isEmpty());
}

TEST(tile_service, cached_tiles_stay_within_the_budget) {
    tile_service_limits limits;
    limits.cache_bytes = 200 * 1024;
    tile_service service(limits);
    const QImage map = random_map(1500, 1500, QImage::Format_RGB32, 5);
    service.set_map(map);
    const int top = service.top_level();
    int answered = 0;
    int empty = 0;
    int64_t most_cached = 0;
    for (int z = 0; z <= top; ++z) {
        for (int y = 0; y < tiles_across(map.height(), top, z); ++y) {
            for (int x = 0; x < tiles_across(map.width(), top, z); ++x) {
                service.request(z, x, y, [&](const QByteArray& png) {
                    ++answered;
                    empty += png.isEmpty();
                    most_cached = std::max(most_cached, service.cached_bytes());
                });
            }
        }
    }
    ASSERT_TRUE(run_until([&] { return answered == 1 + 4 + 9 + 36; }));
    EXPECT_EQ(empty, 0);
    EXPECT_GT(service.cached_bytes(), 0);
    EXPECT_LE(most_cached, limits.cache_bytes);
}

TEST(tile_service, a_new_map_drops_the_old_tiles_and_answers_waiting_requests_empty) {
    const QImage first = random_map(700, 500, QImage::Format_RGB32, 6);
    const QImage second = random_map(700, 500, QImage::Format_RGB32, 7);
    tile_service service;
    service.set_map(first);
    const QByteArray before = fetch(service, 1, 1, 0);
    service.set_map(second);
    const QByteArray after = fetch(service, 1, 1, 0);
    EXPECT_NE(before, after);
    EXPECT_EQ(decoded(after), as_written(render_tile(second, 1, 1, 0)));

    QByteArray waiting = "unanswered";
    service.request(0, 0, 0, [&](QByteArray png) { waiting = std::move(png); });
    service.set_map(first);
    const QByteArray fresh = fetch(service, 0, 0, 0);
    EXPECT_TRUE(waiting.isEmpty());
    EXPECT_EQ(decoded(fresh), as_written(render_tile(first, 0, 0, 0)));
    const int64_t cached = service.cached_bytes();
    service.set_map(first);
    EXPECT_EQ(service.cached_bytes(), cached);

    service.set_map(QImage());
    EXPECT_EQ(service.cached_bytes(), 0);
    EXPECT_TRUE(fetch(service, 0, 0, 0).isEmpty());
}

TEST(tile_service, requests_beyond_the_bound_are_answered_empty) {
    tile_service_limits limits;
    limits.pending_requests = 5;
    tile_service service(limits);
    service.set_map(random_map(600, 600, QImage::Format_RGB32, 8));
    std::vector<QByteArray> pngs(12);
    size_t answered = 0;
    for (size_t i = 0; i < pngs.size(); ++i) {
        service.request(2, int(i % 3), 0, [&, i](QByteArray png) {
            pngs[i] = std::move(png);
            ++answered;
        });
    }
    ASSERT_TRUE(run_until([&] { return answered == pngs.size(); }));
    for (size_t i = 0; i < pngs.size(); ++i) {
        EXPECT_EQ(pngs[i].isEmpty(), i >= 5) << i;
    }
    // Once answered, requests are taken again.
    EXPECT_FALSE(fetch(service, 2, 0, 0).isEmpty());
    EXPECT_FALSE(fetch(service, 2, 2, 2).isEmpty());
}

TEST(tile_service, destroying_the_service_with_jobs_running_is_safe) {
    QImage map(4096, 4096, QImage::Format_RGB32);
    map.fill(qRgb(20, 90, 160));
    enum class end { at_once, in_first_answer, after_new_map };
    for (const end moment : {end::at_once, end::in_first_answer, end::after_new_map}) {
        auto service = std::make_unique<tile_service>();
        service->set_map(map);
        int answered = 0;
        for (int z = 0; z <= service->top_level(); ++z) {
            service->request(z, 0, 0, [&](const QByteArray&) {
                ++answered;
                if (moment == end::in_first_answer) {
                    service.reset();
                }
            });
        }
        if (moment == end::after_new_map) {
            service->set_map(random_map(300, 300, QImage::Format_RGB32));
            service->request(0, 0, 0, [&](const QByteArray&) { ++answered; });
        }
        if (moment == end::in_first_answer) {
            ASSERT_TRUE(run_until([&] { return !service; }));
        }
        service.reset();
        run_for(100);
        EXPECT_EQ(answered, moment == end::in_first_answer ? 1 : 0) << int(moment);
    }
}

}  // namespace
}  // namespace quill
