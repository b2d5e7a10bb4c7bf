#include "platform/pre_inflated_png.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include <isa-l/crc.h>

#include "platform/png_image_data.h"

namespace quill {

namespace {

// PNG's limit on a chunk's length.
constexpr uint32_t max_chunk_length = 0x7fffffff;
// Compressed data is taken from the file a piece at a time, so that it stays in the cache
// between its checksum and its inflating.
constexpr size_t compressed_piece_bytes = size_t{1} << 16;
constexpr uint8_t idat_type[4] = {'I', 'D', 'A', 'T'};
constexpr uint8_t ihdr_type[4] = {'I', 'H', 'D', 'R'};
// A zlib header naming deflate with the smallest window, 256 bytes: stored blocks need no
// history, and zlib copies only that much of each piece of its output into its window.
constexpr uint8_t made_stream_header[2] = {0x08, 0x1d};

uint32_t big_endian(const uint8_t* at) {
    return uint32_t{at[0]} << 24 | uint32_t{at[1]} << 16 | uint32_t{at[2]} << 8 | at[3];
}

void put_big_endian(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

uint32_t crc_of(uint32_t crc, const void* bytes, size_t count) {
    return crc32_gzip_refl(crc, static_cast<const unsigned char*>(bytes), count);
}

}  // namespace

pre_inflated_png::pre_inflated_png(picture_input& input) : input_(input) {}

bool pre_inflated_png::read(uint8_t* target, size_t count) {
    while (count > 0) {
        size_t done = 0;
        if (made_at_ < made_end_) {
            done = std::min(count, made_end_ - made_at_);
            std::memcpy(target, made_.data() + made_at_, done);
            made_at_ += done;
        } else if (step_ == step::chunk_data && chunk_left_ > 0) {
            done = std::min<size_t>(count, chunk_left_);
            if (!pass_chunk_data(target, done)) {
                step_ = step::failed;
                return false;
            }
        } else if (step_ == step::block_data && block_left_ > 0) {
            done = std::min(count, block_left_);
            if (!inflate_into(target, done)) {
                step_ = step::failed;
                return false;
            }
            block_left_ -= done;
        } else if (!advance()) {
            step_ = step::failed;
            return false;
        }
        target += done;
        count -= done;
    }
    return true;
}

bool pre_inflated_png::advance() {
    switch (step_) {
        case step::signature: {
            uint8_t signature[8];
            if (!read_exact(signature, sizeof signature)) {
                return false;
            }
            make(signature, sizeof signature);
            step_ = step::chunk_header;
            return true;
        }
        case step::chunk_header: {
            uint8_t head[8];
            if (!read_exact(head, sizeof head)) {
                return false;
            }
            const uint32_t length = big_endian(head);
            if (length > max_chunk_length) {
                return false;
            }
            if (std::memcmp(head + 4, idat_type, 4) == 0) {
                return start_image_data(length);
            }
            make(head, sizeof head);
            // An upper-case first letter marks a critical chunk.
            chunk_critical_ = (head[4] & 0x20) == 0;
            chunk_is_header_ = std::memcmp(head + 4, ihdr_type, 4) == 0;
            chunk_left_ = length;
            chunk_at_ = 0;
            chunk_crc_ = crc_of(0, head + 4, 4);
            step_ = step::chunk_data;
            return true;
        }
        case step::chunk_data:
            step_ = step::chunk_checksum;
            return true;
        case step::chunk_checksum:
            return pass_chunk_checksum();
        case step::block_header:
            make_block_header();
            return true;
        case step::block_data:
            step_ = step::block_end;
            return true;
        case step::block_end:
            return end_block();
        case step::finished:
        case step::failed:
            break;
    }
    return false;
}

bool pre_inflated_png::pass_chunk_data(uint8_t* target, size_t count) {
    if (!read_exact(target, count)) {
        return false;
    }
    if (chunk_critical_) {
        chunk_crc_ = crc_of(chunk_crc_, target, count);
    }
    if (chunk_is_header_) {
        for (size_t i = 0; i < count && chunk_at_ + i < header_.size(); ++i) {
            header_[chunk_at_ + i] = target[i];
        }
    }
    chunk_at_ += static_cast<uint32_t>(count);
    chunk_left_ -= static_cast<uint32_t>(count);
    return true;
}

bool pre_inflated_png::pass_chunk_checksum() {
    uint8_t stored[4];
    if (!read_exact(stored, sizeof stored)) {
        return false;
    }
    if (chunk_critical_ && big_endian(stored) != chunk_crc_) {
        return false;
    }
    if (chunk_is_header_) {
        have_header_ = chunk_at_ == header_.size();
    }
    make(stored, sizeof stored);
    step_ = step::chunk_header;
    return true;
}

bool pre_inflated_png::start_image_data(uint32_t first_length) {
    if (!have_header_) {
        return false;
    }
    const std::optional<uint64_t> bytes = png_image_data_bytes(header_);
    if (!bytes) {
        return false;
    }
    data_left_ = *bytes;
    idat_left_ = first_length;
    idat_crc_ = crc_of(0, idat_type, 4);
    in_idat_ = true;
    make_block_header();
    return true;
}

// A chunk holds one stored block: the chunk's header, the stream's header before the first
// block, and the block's header with its length.
void pre_inflated_png::make_block_header() {
    block_left_ = static_cast<size_t>(std::min<uint64_t>(block_bytes, data_left_));
    data_left_ -= block_left_;
    const bool last = data_left_ == 0;
    uint8_t head[8 + 2 + 5];
    size_t at = 8;
    if (first_block_) {
        std::memcpy(head + at, made_stream_header, 2);
        at += 2;
    }
    head[at++] = last ? 1 : 0;
    // The length in little-endian order, then its complement.
    const auto length = static_cast<uint16_t>(block_left_);
    const auto complement = static_cast<uint16_t>(~length);
    head[at++] = static_cast<uint8_t>(length & 0xff);
    head[at++] = static_cast<uint8_t>(length >> 8);
    head[at++] = static_cast<uint8_t>(complement & 0xff);
    head[at++] = static_cast<uint8_t>(complement >> 8);
    const size_t chunk_length = (at - 8) + block_left_ + (last ? 4 : 0);
    put_big_endian(head, static_cast<uint32_t>(chunk_length));
    std::memcpy(head + 4, idat_type, 4);
    make(head, at);
    first_block_ = false;
    step_ = step::block_data;
}

// The chunk's checksum, which libpng is told not to check, after the last block also the
// stream's, which libpng ignores.
bool pre_inflated_png::end_block() {
    const uint8_t zeros[8] = {};
    if (data_left_ > 0) {
        make(zeros, 4);
        step_ = step::block_header;
        return true;
    }
    if (!finish_stream()) {
        return false;
    }
    make(zeros, 8);
    step_ = step::finished;
    return true;
}

bool pre_inflated_png::read_exact(uint8_t* target, size_t count) {
    while (count > 0) {
        const std::string_view piece = input_.take(count);
        if (piece.empty()) {
            return false;
        }
        std::memcpy(target, piece.data(), piece.size());
        target += piece.size();
        count -= piece.size();
    }
    return true;
}

bool pre_inflated_png::inflate_into(uint8_t* target, size_t count) {
    size_t filled = 0;
    while (filled < count) {
        size_t produced = 0;
        const zlib_inflater::status status =
            inflater_.inflate(compressed_, target + filled, count - filled, produced);
        filled += produced;
        if (status == zlib_inflater::status::failed) {
            return false;
        }
        if (status == zlib_inflater::status::ended) {
            // A stream that ends before the picture's data does.
            return filled == count;
        }
        if (filled < count && (!compressed_.empty() || next_compressed() != supply::taken)) {
            return false;
        }
    }
    return true;
}

// The next piece of the image data chunks, checking each chunk's checksum at its end.
pre_inflated_png::supply pre_inflated_png::next_compressed() {
    while (idat_left_ == 0) {
        if (!in_idat_) {
            return supply::chunks_ended;
        }
        uint8_t checks[4];
        uint8_t head[8];
        if (!read_exact(checks, sizeof checks) || big_endian(checks) != idat_crc_ ||
            !read_exact(head, sizeof head)) {
            return supply::failed;
        }
        const uint32_t length = big_endian(head);
        if (std::memcmp(head + 4, idat_type, 4) != 0) {
            in_idat_ = false;
            return supply::chunks_ended;
        }
        if (length > max_chunk_length) {
            return supply::failed;
        }
        idat_left_ = length;
        idat_crc_ = crc_of(0, head + 4, 4);
    }
    compressed_ = input_.take(std::min<size_t>(idat_left_, compressed_piece_bytes));
    if (compressed_.empty()) {
        return supply::failed;
    }
    idat_crc_ = crc_of(idat_crc_, compressed_.data(), compressed_.size());
    idat_left_ -= static_cast<uint32_t>(compressed_.size());
    return supply::taken;
}

// After the picture's data the stream is inflated on only to see where it ends, so that the
// chunks up to there are checked; the chunk reached is read to its end and checked too. What
// the picture does not need does not make it fail: data beyond the picture's or damaged there,
// or a stream without its end (libpng merely warned about most of it).
bool pre_inflated_png::finish_stream() {
    uint8_t spill[256];
    while (true) {
        size_t produced = 0;
        const zlib_inflater::status status =
            inflater_.inflate(compressed_, spill, sizeof spill, produced);
        if (status != zlib_inflater::status::going || produced > 0) {
            break;
        }
        if (!compressed_.empty()) {
            return false;
        }
        const supply next = next_compressed();
        if (next == supply::failed) {
            return false;
        }
        if (next == supply::chunks_ended) {
            return true;
        }
    }
    compressed_ = {};
    while (idat_left_ > 0) {
        const std::string_view rest =
            input_.take(std::min<size_t>(idat_left_, compressed_piece_bytes));
        if (rest.empty()) {
            return false;
        }
        idat_crc_ = crc_of(idat_crc_, rest.data(), rest.size());
        idat_left_ -= static_cast<uint32_t>(rest.size());
    }
    uint8_t checks[4];
    return read_exact(checks, sizeof checks) && big_endian(checks) == idat_crc_;
}

void pre_inflated_png::make(const uint8_t* bytes, size_t count) {
    std::memcpy(made_.data(), bytes, count);
    made_at_ = 0;
    made_end_ = count;
}

}  // namespace quill
