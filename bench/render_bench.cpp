#include <benchmark/benchmark.h>

#include "bench_scene.h"
#include "view/map_rendering.h"
#include "view/map_rendering_reference.h"

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

void sizes_and_zooms(benchmark::internal::Benchmark* b) {
    for (const int side : {1024, 4096, 8192, 16384}) {
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

}  // namespace quill::bench
