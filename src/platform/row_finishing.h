#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

#include <QtGlobal>

#include "platform/load_progress.h"

namespace quill {

// A picture's rows while a decoder fills them from the top, and what finishes a decoded row
// (spreading its samples into 32-bit words, premultiplying); nothing to finish when empty.
struct decoded_rows {
    uchar* bits = nullptr;
    qsizetype stride = 0;
    int width = 0;
    int height = 0;
    std::function<void(uchar* line, int width)> finish;
    // Told of each decoded row, when someone watches.
    load_progress* progress = nullptr;

    uchar* line(int y) const { return bits + y * stride; }
};

// Finishes the rows a decoder hands over, in order. A large picture gets a second thread that
// first has the system supply its memory from the bottom up, while the decoder fills it from
// the top and so seldom waits for fresh pages, and then finishes the handed rows while the
// decoder works on the next ones. A small one is finished row by row on the decoder's thread,
// and so is a large one when the second thread cannot start.
class row_finisher {
public:
    explicit row_finisher(decoded_rows rows);
    ~row_finisher();
    row_finisher(const row_finisher&) = delete;
    row_finisher& operator=(const row_finisher&) = delete;

    // Row y and every row above it are decoded.
    void decoded(int y);
    // Waits until the handed rows are finished; the picture is complete when all were. An
    // incomplete one stops the second thread without finishing the rest.
    void wait(bool complete);

private:
    static constexpr int abandoned = -1;

    void prepare_memory();
    void finish_handed_rows();

    decoded_rows rows_;
    std::atomic<int> handed_{0};
    std::thread worker_;
};

}  // namespace quill
