#include "live_map/tile_cache.h"

namespace quill {

uint64_t tile_key(int z, int x, int y) {
    return uint64_t(uint32_t(z)) << 48 | uint64_t(uint32_t(x) & 0xffffffu) << 24 |
           (uint32_t(y) & 0xffffffu);
}

std::optional<QByteArray> tile_cache::find(uint64_t key) {
    const auto place = places_.find(key);
    if (place == places_.end()) {
        return std::nullopt;
    }
    order_.splice(order_.begin(), order_, place->second);
    return place->second->bytes;
}

void tile_cache::insert(uint64_t key, QByteArray bytes) {
    if (const auto place = places_.find(key); place != places_.end()) {
        remove(place->second);
    }
    entry kept{key, std::move(bytes)};
    if (cost(kept) > budget_) {
        return;
    }
    bytes_ += cost(kept);
    order_.push_front(std::move(kept));
    places_.emplace(key, order_.begin());
    while (bytes_ > budget_) {
        remove(std::prev(order_.end()));
    }
}

void tile_cache::clear() {
    order_.clear();
    places_.clear();
    bytes_ = 0;
}

void tile_cache::remove(std::list<entry>::iterator at) {
    bytes_ -= cost(*at);
    places_.erase(at->key);
    order_.erase(at);
}

}  // namespace quill
