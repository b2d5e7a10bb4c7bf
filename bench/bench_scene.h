#pragma once

#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::bench {

inline constexpr int canvas_width = 1286;
inline constexpr int canvas_height = 775;
inline constexpr int token_count = 6;
inline constexpr int grave_count = 50;
inline constexpr int transport_count = 30;
inline constexpr int tile = 40;
inline constexpr int token_size = 50;

// The main window, its menu bar and map canvas at the program's own size on the scripted
// platform, and a level of side x side map pixels made in memory: a patterned background, six
// tokens, fifty tombstones and thirty transports near the view, which is at the map's top-left
// corner as after start-up; pictures with soft edges.
struct bench_scene {
    explicit bench_scene(int side);

    scripted_platform system;
    game_state state;
};

// The main window with its menu bar and map canvas; the level's canvas size set to match.
void open_main_window(scripted_platform& system, level_info& level);

// Resident memory of this process in KiB, now and at its peak, from /proc/self/status; 0 when
// unreadable.
long resident_kib();
long peak_resident_kib();
// Starts a new peak from the present resident memory.
void reset_peak_resident();

}  // namespace quill::bench
