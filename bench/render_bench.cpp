#include <benchmark/benchmark.h>

#include "app/program.h"
#include "bench_scene.h"
#include "content/ui_numbers.h"
#include "view/map_rendering.h"
#include "view/map_rendering_reference.h"
#include "view/zoom_viewport.h"

namespace quill::bench {

namespace {

// One redraw of the map view with nothing changed since the last one, as after a pointer move
// that neither drags nor changes the hover label; arguments: map side, zoom.
void redraw(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    // The first redraw pays once for what every later one reuses.
    render_map_view(scene.state, scene.system);
    for (auto _ : run) {
        render_map_view(scene.state, scene.system);
    }
}

// One redraw after a token moved by a pixel: the whole canvas is composed again at the same
// zoom and view.
void redraw_moved_token(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    render_map_view(scene.state, scene.system);
    int step = 1;
    for (auto _ : run) {
        scene.state.tokens[0].x += step;
        step = -step;
        render_map_view(scene.state, scene.system);
    }
}

// The same redraw by the literal two stages, on a full-size working picture of its own.
void redraw_reference(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    picture_store& pictures = scene.system.pictures();
    const picture_handle work = pictures.copy(scene.state.level.background);
    render_map_view_reference(scene.state, scene.system, work);
    for (auto _ : run) {
        render_map_view_reference(scene.state, scene.system, work);
    }
    pictures.free(work);
}

// One redraw after a zoom step: the zoom alternates between the argument and the zoom a step
// away, so that every redraw composes the canvas's whole ground anew; arguments: map side,
// zoom.
void redraw_after_zoom_step(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    const auto zoom = static_cast<int32_t>(run.range(1));
    const int32_t step_away = zoom >= 100 ? zoom * 90 / 100 : zoom * 110 / 100;
    int32_t& shown = scene.state.level.zoom;
    shown = step_away;
    render_map_view(scene.state, scene.system);
    for (auto _ : run) {
        shown = shown == zoom ? step_away : zoom;
        render_map_view(scene.state, scene.system);
    }
}

// One redraw after the main window was resized: it alternates between the program's size and
// one a little smaller, and the canvas follows as the event loop has it do, so that every
// redraw composes the canvas's whole ground anew. Resizing itself, where the platform makes
// the canvas a new picture, is not timed. Arguments: map side, zoom.
void redraw_after_resize(benchmark::State& run) {
    bench_scene scene(static_cast<int>(run.range(0)));
    scene.state.level.zoom = static_cast<int>(run.range(1));
    render_map_view(scene.state, scene.system);
    bool smaller = false;
    for (auto _ : run) {
        run.PauseTiming();
        smaller = !smaller;
        scene.system.resize_window(ui::main_window, main_window_inner_width - (smaller ? 40 : 0),
                                   main_window_inner_height - (smaller ? 30 : 0));
        resize_canvas(scene.state, scene.system);
        run.ResumeTiming();
        render_map_view(scene.state, scene.system);
    }
}

void sizes_and_zooms(benchmark::internal::Benchmark* b) {
    for (const int side : {1024, 4096, 8192, 16384}) {
        for (const int zoom : {100, 57, 25}) {
            b->Args({side, zoom});
        }
    }
    b->ArgNames({"side", "zoom"})->Unit(benchmark::kMillisecond);
}

// The maps whose ground a redraw cannot keep in the processor's caches.
void large_sizes_and_zooms(benchmark::internal::Benchmark* b) {
    for (const int side : {4096, 8192, 16384}) {
        for (const int zoom : {100, 57, 25}) {
            b->Args({side, zoom});
        }
    }
    b->ArgNames({"side", "zoom"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(redraw)->Apply(sizes_and_zooms);
BENCHMARK(redraw_moved_token)->Apply(sizes_and_zooms);
BENCHMARK(redraw_reference)->Apply(sizes_and_zooms);
BENCHMARK(redraw_after_zoom_step)->Apply(large_sizes_and_zooms);
BENCHMARK(redraw_after_resize)->Apply(large_sizes_and_zooms);

}  // namespace quill::bench
