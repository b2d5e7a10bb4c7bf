#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "platform/load_progress.h"

class QIODevice;

namespace quill {

// The bytes a picture decoder reads: held in memory, or pulled from a file a piece at a time,
// so that a huge picture file never has to fit into memory beside its decoded picture.
class picture_input {
public:
    explicit picture_input(std::string_view bytes);
    // Reads from device's current position on; the device must outlive this input.
    explicit picture_input(QIODevice& device);
    picture_input(const picture_input&) = delete;
    picture_input& operator=(const picture_input&) = delete;

    // The next bytes without taking them: count of them, or all that are left when fewer are.
    std::string_view peek(size_t count);
    // Where the decoder reports its rows; nobody watches unless set.
    void report_to(load_progress* progress) { progress_ = progress; }
    load_progress* progress() const { return progress_; }

    // Takes up to count of the next bytes (at least one while any are left); valid until the
    // next call. Empty at the end of the data, and when reading the file fails.
    std::string_view take(size_t count);

private:
    // Reads until at least wanted bytes are at hand or the file ends.
    void fill(size_t wanted);

    QIODevice* device_ = nullptr;
    std::vector<char> buffer_;
    std::string_view at_hand_;
    load_progress* progress_ = nullptr;
};

}  // namespace quill
