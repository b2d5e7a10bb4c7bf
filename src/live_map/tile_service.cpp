#include "live_map/tile_service.h"

#include <algorithm>

#include <QPointer>
#include <QThread>

#include "live_map/map_tiles.h"
#include "live_map/tile_png.h"

namespace quill {

int default_tile_threads() {
    return std::max(1, QThread::idealThreadCount() - 1);
}

tile_service::tile_service(tile_service_limits limits, QObject* parent)
    : QObject(parent), limits_(limits), cache_(limits.cache_bytes) {
    pool_.setMaxThreadCount(limits.threads > 0 ? limits.threads : default_tile_threads());
}

tile_service::~tile_service() {
    pool_.clear();
    pool_.waitForDone();
}

void tile_service::set_map(QImage map) {
    // The same picture again, whose pixels cannot have changed: a picture written to gets a
    // new cache key.
    if (!map.isNull() && map.cacheKey() == map_.cacheKey()) {
        return;
    }
    map_ = readable_map(map);
    top_ = top_tile_level(map_.width(), map_.height());
    ++generation_;
    cache_.clear();
    pool_.clear();
    auto waiting = std::move(waiting_);
    waiting_.clear();
    waiting_count_ = 0;
    for (auto& [key, requests] : waiting) {
        for (tile_done& done : requests) {
            answer(std::move(done), {});
        }
    }
}

void tile_service::request(int z, int x, int y, tile_done done) {
    if (!done) {
        return;
    }
    if (map_.isNull() || pending() >= limits_.pending_requests || x < 0 || y < 0 ||
        x >= tiles_across(map_.width(), top_, z) || y >= tiles_across(map_.height(), top_, z)) {
        answer(std::move(done), {});
        return;
    }
    const uint64_t key = tile_key(z, x, y);
    if (std::optional<QByteArray> png = cache_.find(key)) {
        answer(std::move(done), std::move(*png));
        return;
    }
    std::vector<tile_done>& requests = waiting_[key];
    requests.push_back(std::move(done));
    ++waiting_count_;
    if (requests.size() == 1) {
        start_job(key, z, x, y);
    }
}

int tile_service::pending() const {
    return waiting_count_ + static_cast<int>(answers_.size());
}

void tile_service::answer(tile_done done, QByteArray png) {
    answers_.emplace_back(std::move(done), std::move(png));
    if (!delivery_posted_) {
        delivery_posted_ = true;
        QMetaObject::invokeMethod(this, &tile_service::deliver_answers, Qt::QueuedConnection);
    }
}

// Answers what was queued before this turn of the event loop; answers that the callbacks queue
// wait for the next, so that a callback that asks again cannot keep the loop here.
void tile_service::deliver_answers() {
    delivery_posted_ = false;
    const QPointer<tile_service> alive(this);
    for (size_t left = answers_.size(); left > 0; --left) {
        auto [done, png] = std::move(answers_.front());
        answers_.pop_front();
        done(std::move(png));
        if (!alive) {
            return;
        }
    }
    if (!answers_.empty() && !delivery_posted_) {
        delivery_posted_ = true;
        QMetaObject::invokeMethod(this, &tile_service::deliver_answers, Qt::QueuedConnection);
    }
}

// The job holds its own shallow copy of the picture, which set_map never changes in place.
// The service outlives every job (its destructor waits), so the job may post to it.
void tile_service::start_job(uint64_t key, int z, int x, int y) {
    pool_.start([this, map = map_, key, z, x, y, generation = generation_] {
        const QByteArray png = encode_tile_png(render_tile(map, z, x, y));
        QMetaObject::invokeMethod(
            this, [this, key, generation, png] { finish_job(key, generation, png); },
            Qt::QueuedConnection);
    });
}

void tile_service::finish_job(uint64_t key, uint64_t generation, const QByteArray& png) {
    if (generation != generation_) {
        return;
    }
    auto requests = waiting_.extract(key);
    if (requests.empty()) {
        return;
    }
    if (!png.isEmpty()) {
        cache_.insert(key, png);
    }
    waiting_count_ -= static_cast<int>(requests.mapped().size());
    for (tile_done& done : requests.mapped()) {
        answer(std::move(done), png);
    }
}

}  // namespace quill
