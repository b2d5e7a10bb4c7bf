#pragma once

#include <string>

namespace quill::bench {

// Resident memory of a fresh process around loading a level and its first redraw, in KiB.
struct load_memory {
    bool measured = false;
    long before = 0;   // just before the load
    long peak = 0;     // the highest it ever was, loading included
    long settled = 0;  // after the load
    long drawn = 0;    // after the first redraw
    long decoded = 0;  // the decoded map picture: width x height x 4 bytes
};

// Runs this benchmark program again as a child with load_memory_flag, so that neither the
// benchmarks run before nor the parent's pictures count.
load_memory measure_load_in_child(const std::string& level_path, const std::string& program_dir);

inline constexpr const char* load_memory_flag = "--measure-load";

// The child's part: loads the level, redraws once and writes the numbers to standard output.
int report_load_memory(const std::string& level_path, const std::string& program_dir);

}  // namespace quill::bench
