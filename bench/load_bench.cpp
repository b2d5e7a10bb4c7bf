#include <chrono>
#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>
#include <QFile>
#include <QFileInfo>

#include "big_map_files.h"
#include "content/level_loading.h"
#include "load_memory.h"
#include "platform/picture_decoding.h"
#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::bench {

namespace {

constexpr double mib = 1024.0 * 1024.0;

template <typename work>
double seconds_of(work run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string read_whole(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    std::string bytes(static_cast<size_t>(file.size()), '\0');
    file.read(bytes.data(), file.size());
    return bytes;
}

uint32_t big_endian(const unsigned char* at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

// The PNG file's compressed pixel data inflated by zlib alone, the output thrown away: what
// inflating costs without the rest of decoding. Returns the inflated byte count.
uint64_t inflate_only(std::string_view png) {
    const auto* data = reinterpret_cast<const unsigned char*>(png.data());
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) {
        return 0;
    }
    std::vector<unsigned char> out(1 << 16);
    uint64_t inflated = 0;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = big_endian(data + at);
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) {
            stream.next_in = const_cast<unsigned char*>(data + at + 8);
            stream.avail_in = length;
            while (stream.avail_in > 0) {
                stream.next_out = out.data();
                stream.avail_out = static_cast<uInt>(out.size());
                const int result = inflate(&stream, Z_NO_FLUSH);
                inflated += out.size() - stream.avail_out;
                if (result != Z_OK) {
                    break;
                }
            }
        }
        at += 12 + size_t{length};
    }
    inflateEnd(&stream);
    return inflated;
}

struct memory_reader {
    std::string_view bytes;
    size_t at = 0;
};

void read_memory(png_structp png, png_bytep target, size_t count) {
    auto* reader = static_cast<memory_reader*>(png_get_io_ptr(png));
    if (count > reader->bytes.size() - reader->at) {
        png_error(png, "truncated");
    }
    std::memcpy(target, reader->bytes.data() + reader->at, count);
    reader->at += count;
}

bool rows_into(png_structp png, png_infop info, std::vector<unsigned char>& row) {
    if (setjmp(png_jmpbuf(png))) {
        return false;
    }
    png_read_info(png, info);
    row.resize(png_get_rowbytes(png, info));
    const png_uint_32 height = png_get_image_height(png, info);
    for (png_uint_32 y = 0; y < height; ++y) {
        png_read_row(png, row.data(), nullptr);
    }
    return true;
}

// libpng's rows as stored (inflated and unfiltered, checksums checked), each into the same
// buffer: decoding without expanding the pixels or keeping them.
bool unfiltered_rows_only(std::string_view png_bytes) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    memory_reader reader{png_bytes};
    png_set_read_fn(png, &reader, read_memory);
    std::vector<unsigned char> row;
    const bool complete = rows_into(png, info, row);
    png_destroy_read_struct(&png, &info, nullptr);
    return complete;
}

// A level load; arguments: map side, format (0: PNG, 1: JPEG).
void load_big_level(benchmark::State& run) {
    const big_map_files& files = big_map_files::of_side(static_cast<int>(run.range(0)));
    const std::string path = files.level(format_name(run.range(1)));
    for (auto _ : run) {
        scripted_platform system;
        game_state state;
        state.program_dir = files.program_dir();
        load_level(state, system, path);
        benchmark::DoNotOptimize(state.level.background);
        if (state.level.map_width != files.side()) {
            run.SkipWithError("the level did not load");
        }
    }
}

// Where a picture load's time goes, in seconds per load; argument: map side, format. Each stage
// runs on its own: reading the file whole, inflating alone and libpng's unfiltered rows (PNG
// only), decoding from memory into the finished picture, and the whole load from the file.
// The differences give the split: unfiltering = rows - inflating, expanding into the picture =
// decoding - rows, reading and after-work = loading - decoding.
void load_split(benchmark::State& run) {
    const big_map_files& files = big_map_files::of_side(static_cast<int>(run.range(0)));
    const bool png = run.range(1) == 0;
    const std::string path = files.picture(format_name(run.range(1)));
    double read = 0;
    double inflating = 0;
    double rows = 0;
    double decoding = 0;
    double loading = 0;
    for (auto _ : run) {
        std::string bytes;
        read += seconds_of([&] { bytes = read_whole(path); });
        if (png) {
            inflating += seconds_of([&] { benchmark::DoNotOptimize(inflate_only(bytes)); });
            rows += seconds_of([&] {
                if (!unfiltered_rows_only(bytes)) {
                    run.SkipWithError("libpng failed");
                }
            });
        }
        decoding += seconds_of([&] {
            if (!decode_picture(bytes)) {
                run.SkipWithError("decoding failed");
            }
        });
        bytes = {};
        loading += seconds_of([&] {
            scripted_platform system;
            if (system.pictures().load(path) == 0) {
                run.SkipWithError("loading failed");
            }
        });
    }
    const auto per_load = [&](double seconds) {
        return benchmark::Counter(seconds, benchmark::Counter::kAvgIterations);
    };
    run.counters["read_s"] = per_load(read);
    if (png) {
        run.counters["inflate_s"] = per_load(inflating);
        run.counters["unfilter_s"] = per_load(rows - inflating);
        run.counters["expand_s"] = per_load(decoding - rows);
    } else {
        run.counters["decode_s"] = per_load(decoding);
    }
    run.counters["load_s"] = per_load(loading);
    run.counters["load_minus_decode_s"] = per_load(loading - decoding);
}

// Resident memory around a level load and its first redraw, measured in a fresh child process,
// in MiB of growth over the memory before the load, and as a multiple of the decoded map.
void memory_of_big_level(benchmark::State& run) {
    const big_map_files& files = big_map_files::of_side(static_cast<int>(run.range(0)));
    const char* format = format_name(run.range(1));
    for (auto _ : run) {
        const load_memory memory = measure_load_in_child(files.level(format), files.program_dir());
        if (!memory.measured) {
            run.SkipWithError("the child process failed");
            return;
        }
        const double decoded = static_cast<double>(memory.decoded) / 1024;
        const double peak = static_cast<double>(memory.peak - memory.before) / 1024;
        const double settled = static_cast<double>(memory.settled - memory.before) / 1024;
        run.counters["decoded_MiB"] = decoded;
        run.counters["peak_MiB"] = peak;
        run.counters["peak_x_decoded"] = peak / decoded;
        run.counters["settled_MiB"] = settled;
        run.counters["settled_x_decoded"] = settled / decoded;
        run.counters["drawn_MiB"] = static_cast<double>(memory.drawn - memory.before) / 1024;
        run.counters["file_MiB"] =
            static_cast<double>(QFileInfo(QString::fromStdString(files.picture(format))).size()) /
            mib;
    }
}

void sides_and_formats(benchmark::internal::Benchmark* b) {
    for (const int side : {8192, 16384}) {
        for (const int format : {0, 1}) {
            b->Args({side, format});
        }
    }
    b->ArgNames({"side", "jpeg"})->Unit(benchmark::kMillisecond);
}

}  // namespace

BENCHMARK(memory_of_big_level)->Apply(sides_and_formats)->Iterations(1);
BENCHMARK(load_split)->Apply(sides_and_formats)->Iterations(1);
BENCHMARK(load_big_level)->Apply(sides_and_formats);

}  // namespace quill::bench
