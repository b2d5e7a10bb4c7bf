#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QSize>
#include <QThreadPool>

#include "live_map/tile_cache.h"

namespace quill {

struct tile_service_limits {
    // Encoded tiles kept for later requests.
    int64_t cache_bytes = int64_t{256} << 20;
    // Requests not yet answered; any further one is answered empty, so that a client
    // asking for many tiles cannot make the service hold more and more.
    int pending_requests = 4096;
    // Threads that render and encode tiles; 0 for default_tile_threads().
    int threads = 0;
};

// One thread fewer than the processor has cores, at least one: the thread that draws the
// program's frames keeps a core while viewers load tiles.
int default_tile_threads();

// Hands out the map's tiles as PNG files, made on demand on worker threads and kept in a cache.
// Lives on the thread that uses it; answers come on that thread too.
class tile_service : public QObject {
public:
    using tile_done = std::function<void(QByteArray png)>;

    explicit tile_service(tile_service_limits limits = {}, QObject* parent = nullptr);
    // Waits for the tiles being made (never more than one per thread) and drops their results;
    // requests not yet answered are never answered.
    ~tile_service() override;
    tile_service(const tile_service&) = delete;
    tile_service& operator=(const tile_service&) = delete;

    // A new map, or none for a null picture: the old map's tiles are dropped, and requests
    // still waiting for one are answered empty; the same picture again changes nothing. The picture
    // must not change in place later, as workers read it; one that render_tile cannot read as it is
    // gets converted here.
    void set_map(QImage map);
    // Calls done with the PNG file of tile (z, x, y), or with an empty array for a tile outside
    // the pyramid, without a map, or beyond the pending requests' bound. Always later, from the
    // event loop, never inside request.
    void request(int z, int x, int y, tile_done done);

    QSize map_size() const { return map_.size(); }
    int top_level() const { return top_; }
    int64_t cached_bytes() const { return cache_.bytes(); }

private:
    int pending() const;
    void answer(tile_done done, QByteArray png);
    void deliver_answers();
    void start_job(uint64_t key, int z, int x, int y);
    void finish_job(uint64_t key, uint64_t generation, const QByteArray& png);

    tile_service_limits limits_;
    QImage map_;
    int top_ = 0;
    // Counts set_map calls, so that a job made for an earlier map is known when it ends.
    uint64_t generation_ = 0;
    tile_cache cache_;
    // The requests of each tile being made.
    std::unordered_map<uint64_t, std::vector<tile_done>> waiting_;
    int waiting_count_ = 0;
    std::deque<std::pair<tile_done, QByteArray>> answers_;
    bool delivery_posted_ = false;
    // Last, so that it goes first: no job runs once the rest is torn down.
    QThreadPool pool_;
};

}  // namespace quill
