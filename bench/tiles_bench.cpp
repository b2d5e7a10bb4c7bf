#include <algorithm>
#include <functional>
#include <vector>

#include <benchmark/benchmark.h>
#include <QCoreApplication>
#include <QEventLoop>

#include "bench_scene.h"
#include "big_map_files.h"
#include "live_map/map_tiles.h"
#include "live_map/tile_png.h"
#include "live_map/tile_service.h"
#include "platform/picture_store.h"
#include "view/map_rendering.h"

namespace quill::bench {

namespace {

// A browser window on a phone held sideways or a small laptop: the page's map area.
constexpr int view_width = 1286;
constexpr int view_height = 800;

// One map at a time: the 16384 x 16384 one takes 1 GiB.
const QImage& map_of_side(int side) {
    static QImage map;
    if (map.width() != side) {
        map = QImage();
        map = grainy_map(side);
    }
    return map;
}

// The top-left tile of a level, made from the picture; arguments: map side, levels below the
// top (the top shows the picture at 100 %; the last is level 0, the whole map in one tile).
void tile_render(benchmark::State& run) {
    const int side = static_cast<int>(run.range(0));
    const QImage& map = map_of_side(side);
    const int z = top_tile_level(side, side) - static_cast<int>(run.range(1));
    for (auto _ : run) {
        benchmark::DoNotOptimize(render_tile(map, z, 0, 0));
    }
    const double block = double(int64_t{1} << run.range(1));
    run.counters["picture_MiB"] = std::min(double(side), tile_size * block) *
                                  std::min(double(side), tile_size * block) * 4 / (1 << 20);
}

void sides_and_levels(benchmark::internal::Benchmark* b) {
    for (const int side : {8192, 16384}) {
        for (const int below : {0, 3, top_tile_level(side, side)}) {
            b->Args({side, below});
        }
    }
    b->ArgNames({"side", "below_top"})->Unit(benchmark::kMillisecond);
}

// A tile of the grainy map three levels below the top as a PNG file; argument: Qt's quality
// parameter for PNG, which picks zlib's level (-1 for Qt's default).
void tile_encode(benchmark::State& run) {
    const QImage tile = render_tile(map_of_side(8192), 2, 1, 1);
    const int quality = static_cast<int>(run.range(0));
    qsizetype bytes = 0;
    for (auto _ : run) {
        bytes = encode_tile_png(tile, quality).size();
    }
    run.counters["KiB"] = double(bytes) / 1024;
}

// The tiles a viewer's browser needs first: the whole map fitted into the page at the largest
// level where it fits, from a new service with nothing cached, until the last tile arrived;
// argument: worker threads.
void first_screen(benchmark::State& run) {
    const int side = 16384;
    const QImage& map = map_of_side(side);
    const int top = top_tile_level(side, side);
    int z = top;
    while (z > 0 && (side >> (top - z) > view_width || side >> (top - z) > view_height)) {
        --z;
    }
    const int across = tiles_across(side, top, z);
    for (auto _ : run) {
        tile_service_limits limits;
        limits.threads = static_cast<int>(run.range(0));
        tile_service service(limits);
        service.set_map(map);
        int arrived = 0;
        for (int y = 0; y < across; ++y) {
            for (int x = 0; x < across; ++x) {
                service.request(z, x, y, [&](const QByteArray& png) { arrived += !png.isEmpty(); });
            }
        }
        while (arrived < across * across) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
    }
    run.counters["level"] = z;
    run.counters["tiles"] = across * across;
}

// The program's redraw after a token moved while viewers keep the tile workers busy making
// tiles of the whole map; arguments: map side, worker threads (0: no viewers). Real time: what
// the player waits for.
void redraw_with_viewers(benchmark::State& run) {
    const int side = static_cast<int>(run.range(0));
    bench_scene scene(side);
    scene.state.level.zoom = 57;
    const int threads = static_cast<int>(run.range(1));
    tile_service_limits limits;
    limits.threads = std::max(threads, 1);
    limits.cache_bytes = 0;
    tile_service service(limits);
    service.set_map(*scene.system.pictures().image(scene.state.level.background));
    // Each viewer asks again for its tile as soon as it came, so that a worker is always busy.
    std::function<void(int)> ask = [&](int x) {
        service.request(1, x, 0, [&, x](const QByteArray&) { ask(x); });
    };
    for (int x = 0; x < threads; ++x) {
        ask(x);
    }
    render_map_view(scene.state, scene.system);
    int step = 1;
    for (auto _ : run) {
        QCoreApplication::processEvents();
        scene.state.tokens[0].x += step;
        step = -step;
        render_map_view(scene.state, scene.system);
    }
}

}  // namespace

BENCHMARK(tile_render)->Apply(sides_and_levels);
BENCHMARK(tile_encode)
    ->Arg(-1)
    ->Arg(0)
    ->Arg(50)
    ->Arg(80)
    ->Arg(90)
    ->Arg(100)
    ->ArgName("quality")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(first_screen)
    ->Arg(1)
    ->Arg(2)
    ->ArgName("threads")
    ->Iterations(5)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(redraw_with_viewers)
    ->ArgsProduct({{16384}, {0, 1, 2}})
    ->ArgNames({"side", "threads"})
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace quill::bench
