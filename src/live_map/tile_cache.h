#pragma once

#include <cstdint>
#include <list>
#include <optional>
#include <unordered_map>

#include <QByteArray>

namespace quill {

// A tile's place in the pyramid as one number: levels and tile numbers stay below 2^24.
uint64_t tile_key(int z, int x, int y);

// Encoded tiles kept within a byte budget: each counts its bytes and entry_overhead for its
// bookkeeping, and the least recently used go first when a new one needs room.
class tile_cache {
public:
    static constexpr int64_t entry_overhead = 128;

    explicit tile_cache(int64_t budget) : budget_(budget) {}

    // The tile's bytes, which become the most recently used; nothing when not kept.
    std::optional<QByteArray> find(uint64_t key);
    // Keeps the tile as the most recently used, unless it alone passes the budget.
    void insert(uint64_t key, QByteArray bytes);
    void clear();
    // The bytes counted against the budget.
    int64_t bytes() const { return bytes_; }

private:
    struct entry {
        uint64_t key;
        QByteArray bytes;
    };
    static int64_t cost(const entry& kept) { return kept.bytes.size() + entry_overhead; }
    void remove(std::list<entry>::iterator at);

    int64_t budget_;
    int64_t bytes_ = 0;
    // The most recently used first.
    std::list<entry> order_;
    std::unordered_map<uint64_t, std::list<entry>::iterator> places_;
};

}  // namespace quill
