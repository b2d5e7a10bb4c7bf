#include "view/transport_convoy.h"

#include <cmath>

#include "state/game_rules.h"

namespace quill {

namespace {

constexpr int last_point = token_trail::point_count - 1;

map_point token_centre(const game_state& state, const map_item& token) {
    const int32_t half = state.level.playersize / 2;
    return {token.x + half, token.y + half};
}

int32_t round_half_even(float value) {
    return static_cast<int32_t>(std::lrint(value));
}

// Where the transport at spacing behind p goes: the first trail point from k on that is at
// least that far away, pulled back towards p in 5 % steps of the way until it is no further.
// k moves forward only, so that a convoy never doubles back along the trail.
map_point next_convoy_place(const token_trail& trail, map_point p, float spacing, int& k) {
    if (k >= token_trail::point_count) {
        return trail.points[last_point];
    }
    float d = point_distance(p, trail.points[k]);
    while (d < spacing) {
        ++k;
        if (k == token_trail::point_count) {
            return trail.points[last_point];
        }
        d = point_distance(p, trail.points[k]);
    }
    const map_point point = trail.points[k];
    if (d <= spacing) {
        return point;
    }
    const float dx = static_cast<float>(point.x - p.x);
    const float dy = static_cast<float>(point.y - p.y);
    for (float f = 0.05f; f <= 1.09f; f += 0.05f) {
        const map_point q{round_half_even(static_cast<float>(point.x) - dx * f),
                          round_half_even(static_cast<float>(point.y) - dy * f)};
        if (point_distance(p, q) <= spacing) {
            return q;
        }
    }
    return point;
}

}  // namespace

float point_distance(map_point a, map_point b) {
    const double dx = static_cast<double>(a.x) - b.x;
    const double dy = static_cast<double>(a.y) - b.y;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy));
}

void record_trail_point(game_state& state, int token_position) {
    if (!state.tokens.contains(token_position) || !state.token_trails.contains(token_position)) {
        return;
    }
    token_trail& trail = state.token_trails[token_position];
    const map_point centre = token_centre(state, state.tokens[token_position]);
    const int32_t moved = round_half_even(point_distance(centre, trail.points[0]));
    if (moved > state.level.playersize / 4) {
        for (int i = last_point; i > 0; --i) {
            trail.points[i] = trail.points[i - 1];
        }
        // A token at the coordinate limit has its centre beyond it; what is stored stays
        // within, so that a saved game loads back as it was.
        trail.points[0] = {limit_coordinate(centre.x), limit_coordinate(centre.y)};
    }
    arrange_convoy(state, token_position);
}

void arrange_convoy(game_state& state, int token_position) {
    if (!state.tokens.contains(token_position) || !state.token_trails.contains(token_position)) {
        return;
    }
    const level_info& level = state.level;
    const map_item& token = state.tokens[token_position];
    const token_trail& trail = state.token_trails[token_position];
    map_point p = token_centre(state, token);
    int k = 0;
    for (int slot = 0; slot < max_carried && token.links[slot] != 0; ++slot) {
        const float spacing = slot == 0 ? static_cast<float>(level.playersize + level.tile_x) / 2.0f
                                        : static_cast<float>(level.tile_x);
        const map_point q = next_convoy_place(trail, p, spacing, k);
        const int position = token.links[slot] - 1;
        if (state.transports.contains(position)) {
            map_item& transport = state.transports[position];
            transport.x = limit_coordinate(int64_t{q.x} - level.tile_x / 2);
            transport.y = limit_coordinate(int64_t{q.y} - level.tile_y / 2);
            state.transports.select(position);
        }
        p = q;
    }
}

}  // namespace quill
