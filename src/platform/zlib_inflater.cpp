#include "platform/zlib_inflater.h"

#include <algorithm>
#include <limits>

#include <isa-l/igzip_lib.h>

namespace quill {

namespace {

// ISA-L counts in 32 bits; larger pieces are handed over in turns.
constexpr size_t max_step = std::numeric_limits<uint32_t>::max();

}  // namespace

zlib_inflater::zlib_inflater() : state_(std::make_unique<inflate_state>()) {
    isal_inflate_init(state_.get());
    state_->crc_flag = ISAL_DEFLATE;
}

zlib_inflater::~zlib_inflater() = default;

zlib_inflater::status zlib_inflater::take_header(std::string_view& input) {
    while (header_bytes_ < 2 && !input.empty()) {
        header_[header_bytes_++] = static_cast<uint8_t>(input.front());
        input.remove_prefix(1);
    }
    if (header_bytes_ < 2) {
        return status::going;
    }
    const int method = header_[0] & 0x0f;
    const int window_bits = (header_[0] >> 4) + 8;
    const bool dictionary = (header_[1] & 0x20) != 0;
    if (method != 8 || window_bits > 15 || (header_[0] * 256 + header_[1]) % 31 != 0 ||
        dictionary) {
        stage_ = stage::failed;
        return status::failed;
    }
    // A distance beyond the window the header names is an error, as in zlib.
    state_->hist_bits = static_cast<uint32_t>(window_bits);
    stage_ = stage::body;
    return status::going;
}

zlib_inflater::status zlib_inflater::inflate(std::string_view& input, uint8_t* out, size_t out_size,
                                             size_t& produced) {
    produced = 0;
    while (true) {
        switch (stage_) {
            case stage::header:
                if (take_header(input) == status::failed) {
                    return status::failed;
                }
                if (stage_ == stage::header) {
                    return status::going;
                }
                break;
            case stage::body: {
                const size_t in_step = std::min(input.size(), max_step);
                const size_t out_step = std::min(out_size - produced, max_step);
                state_->next_in = reinterpret_cast<uint8_t*>(const_cast<char*>(input.data()));
                state_->avail_in = static_cast<uint32_t>(in_step);
                state_->next_out = out + produced;
                state_->avail_out = static_cast<uint32_t>(out_step);
                const int result = isal_inflate(state_.get());
                // After an error ISA-L's counts may be off: an invalid distance leaves more
                // input than it was given.
                if (result < 0 || state_->avail_in > in_step || state_->avail_out > out_step) {
                    stage_ = stage::failed;
                    return status::failed;
                }
                input.remove_prefix(in_step - state_->avail_in);
                produced += out_step - state_->avail_out;
                if (state_->block_state == ISAL_BLOCK_FINISH) {
                    // The last block's end may have pulled some of the trailer in already.
                    trailer_left_ -= std::min<size_t>(trailer_left_, state_->read_in_length / 8);
                    stage_ = stage::trailer;
                    break;
                }
                if (state_->avail_out == 0) {
                    return status::going;
                }
                if (state_->avail_in == 0) {
                    if (input.empty()) {
                        return status::going;
                    }
                    break;  // the rest of a piece beyond 4 GiB
                }
                // ISA-L stops only at the end of the input, of the output or of the stream.
                stage_ = stage::failed;
                return status::failed;
            }
            case stage::trailer: {
                const size_t taken = std::min(trailer_left_, input.size());
                input.remove_prefix(taken);
                trailer_left_ -= taken;
                if (trailer_left_ > 0) {
                    return status::going;
                }
                stage_ = stage::ended;
                return status::ended;
            }
            case stage::ended:
                return status::ended;
            case stage::failed:
                return status::failed;
        }
    }
}

}  // namespace quill
