#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

struct inflate_state;

namespace quill {

// Inflates one zlib stream with ISA-L, a piece of input at a time and into output of any size.
// The header is checked as zlib checks it (method, window, check bits, no preset dictionary)
// and the window it names is enforced; the four bytes of the trailer must be there, but their
// checksum is not compared: in a PNG the chunks' checksums already guard every byte.
class zlib_inflater {
public:
    enum class status {
        // All input taken or the output full: give more of either.
        going,
        // The stream and its trailer are complete; what follows in the input is left there.
        ended,
        failed,
    };

    zlib_inflater();
    ~zlib_inflater();
    zlib_inflater(const zlib_inflater&) = delete;
    zlib_inflater& operator=(const zlib_inflater&) = delete;

    // Takes from the front of input and writes to out, counting the bytes written in produced.
    status inflate(std::string_view& input, uint8_t* out, size_t out_size, size_t& produced);

private:
    enum class stage { header, body, trailer, ended, failed };

    status take_header(std::string_view& input);

    std::unique_ptr<inflate_state> state_;
    stage stage_ = stage::header;
    uint8_t header_[2] = {};
    size_t header_bytes_ = 0;
    size_t trailer_left_ = 4;
};

}  // namespace quill
