// The level file: KTV.gxml of the program folder, read at start-up.

#include <cstddef>
#include <cstdint>

#include "support/content_file_fuzzing.h"
#include "support/fuzz_process.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    quill::fuzzing::start_process(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quill::fuzzing::fuzz_content_files({reinterpret_cast<const char*>(data), size}, {"KTV.gxml"});
    return 0;
}
