#include <cstdint>
#include <string>

#include <benchmark/benchmark.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include "bench_scene.h"
#include "content/level_loading.h"
#include "view/map_rendering.h"

namespace quill::bench {

namespace {

constexpr int big_side = 8192;

// A program folder with one level file per picture format, both naming an 8192 x 8192 map with
// gradients and grain, so that the files compress as real maps do. Written on first use.
class big_level_files {
public:
    big_level_files() {
        folder_.setAutoRemove(true);
        program_dir_ = folder_.path().toStdString() + "/";
        QDir(folder_.path()).mkpath("pics");
        QImage map(big_side, big_side, QImage::Format_RGB32);
        uint32_t grain = 12345;
        for (int y = 0; y < big_side; ++y) {
            auto* line = reinterpret_cast<QRgb*>(map.scanLine(y));
            for (int x = 0; x < big_side; ++x) {
                grain = grain * 1664525u + 1013904223u;
                const int noise = static_cast<int>(grain >> 28);
                line[x] = qRgb((x / 40 + noise) & 0xff, (y / 40 + noise) & 0xff,
                               ((x + y) / 80 + noise) & 0xff);
            }
        }
        map.save(folder_.filePath("pics/map.png"), "PNG");
        map.save(folder_.filePath("pics/map.jpg"), "JPEG", 90);
        write_level("png.gxml", "map.png");
        write_level("jpg.gxml", "map.jpg");
    }

    const std::string& program_dir() const { return program_dir_; }
    std::string level(const std::string& format) const { return program_dir_ + format + ".gxml"; }
    std::string picture(const std::string& format) const {
        return program_dir_ + "pics/map." + format;
    }

private:
    void write_level(const QString& name, const std::string& picture) {
        QFile file(folder_.filePath(name));
        if (file.open(QIODevice::WriteOnly)) {
            file.write(("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<level><name>Gross</name>"
                        "<pic type=\"bg\">" +
                        picture +
                        "</pic><tile_x>40</tile_x><tile_y>40</tile_y>"
                        "<playersize>50</playersize></level>\n")
                           .c_str());
        }
    }

    QTemporaryDir folder_;
    std::string program_dir_;
};

const big_level_files& files() {
    static const big_level_files written;
    return written;
}

const char* format_of(const benchmark::State& run) {
    return run.range(0) == 0 ? "png" : "jpg";
}

// load_level of the 8192 x 8192 level; argument 0: PNG, 1: JPEG.
void load_big_level(benchmark::State& run) {
    const std::string path = files().level(format_of(run));
    for (auto _ : run) {
        scripted_platform system;
        game_state state;
        state.program_dir = files().program_dir();
        load_level(state, system, path);
        benchmark::DoNotOptimize(state.level.background);
        if (state.level.map_width != big_side) {
            run.SkipWithError("the level did not load");
        }
    }
}

// Resident memory around loading the 8192 x 8192 level and its first redraw, in MiB: before,
// after loading, the peak while loading (which includes the file read whole), after the redraw,
// and the size of the picture file.
void memory_of_big_level(benchmark::State& run) {
    const std::string path = files().level(format_of(run));
    for (auto _ : run) {
        scripted_platform system;
        game_state state;
        state.program_dir = files().program_dir();
        open_main_window(system, state.level);
        reset_peak_resident();
        const long before = resident_kib();
        load_level(state, system, path);
        const long loaded = resident_kib();
        const long peak = peak_resident_kib();
        render_map_view(state, system);
        const long drawn = resident_kib();
        run.counters["rss_before_MiB"] = static_cast<double>(before) / 1024;
        run.counters["rss_loaded_MiB"] = static_cast<double>(loaded) / 1024;
        run.counters["peak_loading_MiB"] = static_cast<double>(peak) / 1024;
        run.counters["rss_drawn_MiB"] = static_cast<double>(drawn) / 1024;
        run.counters["file_MiB"] =
            static_cast<double>(
                QFileInfo(QString::fromStdString(files().picture(format_of(run)))).size()) /
            (1024 * 1024);
    }
}

}  // namespace

BENCHMARK(memory_of_big_level)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("jpeg")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(load_big_level)->Arg(0)->Arg(1)->ArgName("jpeg")->Unit(benchmark::kMillisecond);

}  // namespace quill::bench
