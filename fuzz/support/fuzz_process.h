#pragma once

#include <string>
#include <string_view>

namespace quill::fuzzing {

// Called once from LLVMFuzzerInitialize: Qt on the offscreen platform (pictures and text
// drawing need a QGuiApplication) and a program folder of this process's own, copied from the
// content the seed generator made, so that a target may replace its content files.
void start_process(int* argc, char*** argv);

// Ends in "/".
const std::string& program_dir();
// A file name in a scratch folder of this process.
std::string scratch_path(const std::string& name);

std::string read_file(const std::string& path);
void write_file(const std::string& path, std::string_view bytes);

// A broken invariant is a finding: libFuzzer keeps the input that led here.
[[noreturn]] void fail(const std::string& what);
void check(bool condition, const std::string& what);

}  // namespace quill::fuzzing
