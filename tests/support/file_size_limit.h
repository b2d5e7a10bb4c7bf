#pragma once

#include <sys/resource.h>
#include <csignal>

namespace quill::testing {

// While it lives, no file of this process grows beyond `bytes`, as on a full disk. SIGXFSZ is
// ignored, so a write that goes too far fails with EFBIG instead of ending the process. Unlike
// a read-only folder this also stops root.
class file_size_limit {
public:
    explicit file_size_limit(rlim_t bytes) {
        previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~file_size_limit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previous_handler_);
    }
    file_size_limit(const file_size_limit&) = delete;
    file_size_limit& operator=(const file_size_limit&) = delete;

private:
    rlimit previous_{};
    void (*previous_handler_)(int) = SIG_DFL;
};

}  // namespace quill::testing
