// The ".gls" reader: an old-format party setup file loaded into a game in progress.

#include <cstddef>
#include <cstdint>

#include "support/fuzz_process.h"
#include "support/party_file_fuzzing.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    quill::fuzzing::start_process(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quill::fuzzing::fuzz_party_file({reinterpret_cast<const char*>(data), size},
                                    quill::fuzzing::party_format::old);
    return 0;
}
