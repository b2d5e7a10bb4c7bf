#include "load_memory.h"

#include <cstdio>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

#include "bench_scene.h"
#include "content/level_loading.h"
#include "view/map_rendering.h"

namespace quill::bench {

int report_load_memory(const std::string& level_path, const std::string& program_dir) {
    scripted_platform system;
    game_state state;
    state.program_dir = program_dir;
    open_main_window(system, state.level);
    const long before = resident_kib();
    load_level(state, system, level_path);
    const long settled = resident_kib();
    const long peak = peak_resident_kib();
    render_map_view(state, system);
    const long drawn = resident_kib();
    const long decoded =
        static_cast<long>(int64_t{state.level.map_width} * state.level.map_height * 4 / 1024);
    std::printf("%ld %ld %ld %ld %ld\n", before, peak, settled, drawn, decoded);
    return decoded > 0 ? 0 : 1;
}

load_memory measure_load_in_child(const std::string& level_path, const std::string& program_dir) {
    int out[2];
    if (pipe(out) != 0) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execl("/proc/self/exe", "quillmark_bench", load_memory_flag, level_path.c_str(),
              program_dir.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t count = 0;
    while ((count = read(out[0], buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<size_t>(count));
    }
    close(out[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return {};
    }
    load_memory memory;
    std::istringstream numbers(text);
    numbers >> memory.before >> memory.peak >> memory.settled >> memory.drawn >> memory.decoded;
    memory.measured = static_cast<bool>(numbers);
    return memory;
}

}  // namespace quill::bench
