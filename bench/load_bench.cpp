#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <benchmark/benchmark.h>
#include <isa-l/igzip_lib.h>
#include <png.h>
#include <zlib.h>
#include <QFile>
#include <QFileInfo>

#include "big_map_files.h"
#include "content/level_loading.h"
#include "load_memory.h"
#include "platform/picture_decoding.h"
#include "platform/picture_input.h"
#include "platform/pre_inflated_png.h"
#include "platform/scripted/scripted_platform.h"
#include "state/game_state.h"

namespace quill::bench {

namespace {

constexpr double mib = 1024.0 * 1024.0;

// A stage's time: wall clock, the calling thread's processor time and the whole process's,
// which adds what other threads did meanwhile. On a machine shared with other work the
// calling thread's time is what the stage would take on an idle one.
struct stage_time {
    double wall = 0;
    double thread = 0;
    double process = 0;

    stage_time& operator+=(const stage_time& other) {
        wall += other.wall;
        thread += other.thread;
        process += other.process;
        return *this;
    }
};

double clock_seconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

template <typename work>
stage_time time_of(work run) {
    const double wall = clock_seconds(CLOCK_MONOTONIC);
    const double thread = clock_seconds(CLOCK_THREAD_CPUTIME_ID);
    const double process = clock_seconds(CLOCK_PROCESS_CPUTIME_ID);
    run();
    return {clock_seconds(CLOCK_MONOTONIC) - wall, clock_seconds(CLOCK_THREAD_CPUTIME_ID) - thread,
            clock_seconds(CLOCK_PROCESS_CPUTIME_ID) - process};
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

// The same with ISA-L, which the program uses, with the zlib header skipped.
uint64_t isal_inflate_only(std::string_view png) {
    const auto* data = reinterpret_cast<const unsigned char*>(png.data());
    auto state = std::make_unique<inflate_state>();
    isal_inflate_init(state.get());
    std::vector<unsigned char> out(1 << 16);
    uint64_t inflated = 0;
    size_t at = 8;
    bool header_skipped = false;
    while (at + 12 <= png.size() && state->block_state != ISAL_BLOCK_FINISH) {
        const uint32_t length = big_endian(data + at);
        if (std::memcmp(data + at + 4, "IDAT", 4) == 0) {
            const size_t skip = header_skipped ? 0 : 2;
            header_skipped = true;
            state->next_in = const_cast<unsigned char*>(data + at + 8 + skip);
            state->avail_in = length - static_cast<uint32_t>(skip);
            while (state->avail_in > 0 && state->block_state != ISAL_BLOCK_FINISH) {
                state->next_out = out.data();
                state->avail_out = static_cast<uint32_t>(out.size());
                if (isal_inflate(state.get()) < 0) {
                    return inflated;
                }
                inflated += out.size() - state->avail_out;
            }
        }
        at += 12 + size_t{length};
    }
    return inflated;
}

// The program's pre-reader alone: checking the chunks and inflating with ISA-L into the PNG it
// hands libpng, read in libpng's pieces and thrown away. Returns the bytes handed on.
uint64_t pre_read_only(std::string_view png) {
    picture_input input(png);
    pre_inflated_png source(input);
    std::vector<uint8_t> piece(pre_inflated_png::largest_chunk_data);
    uint64_t handed = 0;
    while (source.read(piece.data(), piece.size())) {
        handed += piece.size();
    }
    return handed;
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

// Where a picture load's time goes, in seconds per load; arguments: map side, format. Each stage
// runs on its own: reading the file whole; for a PNG inflating alone with zlib and with ISA-L,
// libpng's unfiltered rows as libpng alone makes them (zlib inflating), and the program's
// pre-reader alone (ISA-L inflating and the chunks' checksums); decoding from memory into the
// finished picture, and the whole load from the file. The differences give the split, in
// processor time of the loading thread: libpng's own unfiltering = rows - inflating, libpng's
// part of the program's decoding (copying the stored blocks, unfiltering, expanding) =
// decoding - pre-reading, reading the file and adopting the picture = loading - decoding.
// second_thread_s is what other threads did during the load, load_wall_s the load's
// wall-clock time.
void load_split(benchmark::State& run) {
    const big_map_files& files = big_map_files::of_side(static_cast<int>(run.range(0)));
    const bool png = run.range(1) == 0;
    const std::string path = files.picture(format_name(run.range(1)));
    stage_time read;
    stage_time inflating;
    stage_time isal_inflating;
    stage_time pre_reading;
    stage_time rows;
    stage_time decoding;
    stage_time loading;
    for (auto _ : run) {
        std::string bytes;
        read += time_of([&] { bytes = read_whole(path); });
        if (png) {
            inflating += time_of([&] { benchmark::DoNotOptimize(inflate_only(bytes)); });
            isal_inflating += time_of([&] { benchmark::DoNotOptimize(isal_inflate_only(bytes)); });
            pre_reading += time_of([&] { benchmark::DoNotOptimize(pre_read_only(bytes)); });
            rows += time_of([&] {
                if (!unfiltered_rows_only(bytes)) {
                    run.SkipWithError("libpng failed");
                }
            });
        }
        decoding += time_of([&] {
            if (!decode_picture(bytes)) {
                run.SkipWithError("decoding failed");
            }
        });
        bytes = {};
        loading += time_of([&] {
            scripted_platform system;
            if (system.pictures().load(path) == 0) {
                run.SkipWithError("loading failed");
            }
        });
    }
    const auto per_load = [&](double seconds) {
        return benchmark::Counter(seconds, benchmark::Counter::kAvgIterations);
    };
    run.counters["read_s"] = per_load(read.thread);
    if (png) {
        run.counters["zlib_inflate_s"] = per_load(inflating.thread);
        run.counters["zlib_libpng_unfilter_s"] = per_load(rows.thread - inflating.thread);
        run.counters["isal_inflate_s"] = per_load(isal_inflating.thread);
        run.counters["pre_read_s"] = per_load(pre_reading.thread);
        run.counters["libpng_part_s"] = per_load(decoding.thread - pre_reading.thread);
    } else {
        run.counters["decode_s"] = per_load(decoding.thread);
    }
    run.counters["read_and_adopt_s"] = per_load(loading.thread - decoding.thread);
    run.counters["load_s"] = per_load(loading.thread);
    run.counters["second_thread_s"] = per_load(loading.process - loading.thread);
    run.counters["load_wall_s"] = per_load(loading.wall);
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
