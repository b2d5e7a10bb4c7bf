#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/picture_input.h"
#include "platform/zlib_inflater.h"

namespace quill {

// Reads a PNG file and hands on the same PNG with its image data inflated by ISA-L ahead of
// libpng, which is far slower at it: the IDAT chunks come out as new ones holding the data in
// stored (uncompressed) deflate blocks, so that libpng's inflating only copies, and libpng
// still does everything else. The chunks before the image data pass unchanged.
//
// The critical chunks' checksums (IHDR, PLTE, IDAT) are checked here, over the file's bytes,
// before libpng sees a chunk's end: libpng, told not to check critical chunks, need not
// checksum the inflated data, and the chunks made here carry no checksum. Ancillary chunks
// pass unchecked: libpng checks and drops a damaged one itself, as before.
//
// The data handed on is exactly the picture's: a stream that ends before it fails; what
// follows in the stream is inflated only to see where it ends, and the chunks after that are
// never read.
class pre_inflated_png {
public:
    explicit pre_inflated_png(picture_input& input);
    pre_inflated_png(const pre_inflated_png&) = delete;
    pre_inflated_png& operator=(const pre_inflated_png&) = delete;

    // The next count bytes of the PNG handed on. False for a damaged or truncated file, and
    // for reading past the last image data chunk, which libpng never needs.
    bool read(uint8_t* target, size_t count);

    // A stored block holds at most block_bytes. A chunk made here holds one block with its
    // header, and the stream's header or end: libpng best reads it in one piece.
    static constexpr size_t block_bytes = 65535;
    static constexpr size_t largest_chunk_data = block_bytes + 5 + 2 + 4;

private:
    // What read hands on next once the bytes made here are handed on.
    enum class step {
        signature,
        chunk_header,
        chunk_data,
        chunk_checksum,
        block_header,
        block_data,
        block_end,
        finished,
        failed,
    };

    enum class supply { taken, chunks_ended, failed };

    bool advance();
    bool pass_chunk_data(uint8_t* target, size_t count);
    bool pass_chunk_checksum();
    bool start_image_data(uint32_t first_length);
    void make_block_header();
    bool end_block();
    bool read_exact(uint8_t* target, size_t count);
    bool inflate_into(uint8_t* target, size_t count);
    supply next_compressed();
    bool finish_stream();
    void make(const uint8_t* bytes, size_t count);

    picture_input& input_;
    step step_ = step::signature;

    // Bytes made here (a signature, a chunk's header or checksum, a block's header), not yet
    // handed on.
    std::array<uint8_t, 16> made_{};
    size_t made_at_ = 0;
    size_t made_end_ = 0;

    // The chunk passing unchanged.
    bool chunk_critical_ = false;
    bool chunk_is_header_ = false;
    uint32_t chunk_left_ = 0;
    uint32_t chunk_at_ = 0;
    uint32_t chunk_crc_ = 0;
    std::array<uint8_t, 13> header_{};
    bool have_header_ = false;

    // The image data handed on: what is left of the picture's data and of the current block.
    uint64_t data_left_ = 0;
    size_t block_left_ = 0;
    bool first_block_ = true;

    // The file's own IDAT chunks: what is left of the current one, its checksum so far, and
    // the compressed bytes taken from it but not yet inflated.
    uint32_t idat_left_ = 0;
    uint32_t idat_crc_ = 0;
    bool in_idat_ = false;
    std::string_view compressed_;
    zlib_inflater inflater_;
};

}  // namespace quill
