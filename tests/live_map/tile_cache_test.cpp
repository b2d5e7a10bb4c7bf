#include <string>

#include <gtest/gtest.h>

#include "live_map/tile_cache.h"

namespace quill {
namespace {

// Steps: a lower-case letter keeps a tile of 100 bytes under that name, an upper-case one a tile
// of 250 bytes under the lower-case name, '?' before a letter looks the tile up, '!' keeps a
// tile larger than the whole budget. The budget holds three tiles of 100 bytes.
TEST(tile_cache, keeps_the_most_recently_used_tiles_within_its_budget) {
    constexpr int64_t budget = 3 * (100 + tile_cache::entry_overhead);
    struct steps_and_kept {
        const char* steps;
        const char* kept;
    };
    const steps_and_kept cases[] = {
        {"abc", "abc"}, {"abcd", "bcd"}, {"abc?ad", "acd"}, {"abc?a?bd", "abd"}, {"abcA", "ac"},
        {"abcB", "bc"}, {"abcD", "cd"},  {"ab!", "ab"},     {"abca", "abc"},     {"abc?zd", "bcd"}};
    for (const auto& [steps, kept] : cases) {
        tile_cache cache(budget);
        for (const char* step = steps; *step != '\0'; ++step) {
            if (*step == '?') {
                ++step;
                cache.find(uint64_t(*step));
            } else if (*step == '!') {
                cache.insert('!', QByteArray(budget, 'x'));
            } else {
                const bool large = *step >= 'A' && *step <= 'Z';
                cache.insert(uint64_t(large ? *step - 'A' + 'a' : *step),
                             QByteArray(large ? 250 : 100, *step));
            }
        }
        std::string found;
        int64_t bytes = 0;
        for (char name = 'a'; name <= 'z'; ++name) {
            if (const std::optional<QByteArray> tile = cache.find(uint64_t(name))) {
                found += name;
                bytes += tile->size() + tile_cache::entry_overhead;
            }
        }
        EXPECT_EQ(found, kept) << steps;
        EXPECT_EQ(cache.bytes(), bytes) << steps;
        EXPECT_LE(cache.bytes(), budget) << steps;
    }
}

}  // namespace
}  // namespace quill
