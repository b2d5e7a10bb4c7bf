#include <cmath>

#include <benchmark/benchmark.h>

#include "app/program.h"
#include "bench_scene.h"
#include "content/ui_numbers.h"
#include "view/map_rendering.h"
#include "view/map_rendering_reference.h"
#include "view/player_view.h"

namespace quill::bench {

namespace {

constexpr int convoy_length = 6;
constexpr int steps_per_circle = 24;

// Token 0 carries the first six transports and is being dragged.
void start_drag(game_state& state) {
    for (int i = 0; i < convoy_length; ++i) {
        state.tokens[0].links[i] = static_cast<uint8_t>(i + 1);
        state.transports[i].links[0] = 1;
    }
    state.tokens.select(0);
    state.drag_mode = drag_kind::drag_token;
}

// Each iteration is one mouse step of the drag through the event dispatch, then the redraw.
// The pointer circles the canvas centre in steps long enough that each one adds a trail point
// and moves the convoy, or moves the view.
template <typename redraw>
void drag_steps(benchmark::State& run, bench_scene& scene, redraw draw) {
    game_state& state = scene.state;
    window_event moved;
    moved.kind = event_kind::control;
    moved.window = ui::main_window;
    moved.control = ui::map_canvas;
    moved.type = control_event::mouse_moved;
    draw();
    const double pi = std::acos(-1.0);
    int step = 0;
    for (auto _ : run) {
        const double angle = 2 * pi * step / steps_per_circle;
        scene.system.set_pointer(canvas_width / 2 + static_cast<int>(150 * std::cos(angle)),
                                 canvas_height / 2 + static_cast<int>(150 * std::sin(angle)));
        ++step;
        dispatch_event(state, scene.system, moved);
        draw();
    }
}

// A token drag step; arguments: map side, zoom.
void drag_step(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    start_drag(scene.state);
    drag_steps(run, scene, [&] { render_map_view(scene.state, scene.system); });
}

// The same with the literal two-stage redraw.
void drag_step_reference(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    start_drag(scene.state);
    picture_store& pictures = scene.system.pictures();
    const picture_handle work = pictures.copy(scene.state.level.background);
    drag_steps(run, scene, [&] { render_map_view_reference(scene.state, scene.system, work); });
    pictures.free(work);
}

// A step of panning the view, from the middle of the map; arguments: map side, zoom.
void pan_step(benchmark::State& run) {
    const int side = static_cast<int>(run.range(0));
    bench_scene scene(side);
    level_info& level = scene.state.level;
    level.zoom = static_cast<int>(run.range(1));
    level.view_x = side / 3;
    level.view_y = side / 3;
    scene.state.drag_mode = drag_kind::drag_pan;
    scene.state.drag_anchor = {canvas_width / 2, canvas_height / 2};
    drag_steps(run, scene, [&] { render_map_view(scene.state, scene.system); });
}

// The player view open on a second screen of 1920 x 1080, following the main view: a drag step
// and a pan step, with both windows redrawn; arguments: map side, zoom.
void open_player_view(bench_scene& scene) {
    scene.system.set_screens({{0, 0, 1600, 1000}, {1600, 0, 1920, 1080}});
    toggle_player_view(scene.state, scene.system);
}

void drag_step_with_player_view(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    open_player_view(scene);
    start_drag(scene.state);
    drag_steps(run, scene, [&] { render_views(scene.state, scene.system); });
}

void pan_step_with_player_view(benchmark::State& run) {
    const int side = static_cast<int>(run.range(0));
    bench_scene scene(side);
    level_info& level = scene.state.level;
    level.zoom = static_cast<int>(run.range(1));
    level.view_x = side / 3;
    level.view_y = side / 3;
    open_player_view(scene);
    scene.state.drag_mode = drag_kind::drag_pan;
    scene.state.drag_anchor = {canvas_width / 2, canvas_height / 2};
    drag_steps(run, scene, [&] { render_views(scene.state, scene.system); });
}

void sides_and_zooms(benchmark::internal::Benchmark* b) {
    for (const int side : {1024, 4096, 8192, 16384}) {
        for (const int zoom : {100, 57, 25}) {
            b->Args({side, zoom});
        }
    }
    b->ArgNames({"side", "zoom"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(drag_step)->Apply(sides_and_zooms);
BENCHMARK(drag_step_reference)->Apply(sides_and_zooms);
BENCHMARK(pan_step)->Apply(sides_and_zooms);
BENCHMARK(drag_step_with_player_view)->Apply(sides_and_zooms);
BENCHMARK(pan_step_with_player_view)->Apply(sides_and_zooms);

}  // namespace quill::bench
