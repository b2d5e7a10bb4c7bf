#include "e2e/plain_png.h"

#include <zlib.h>

#include <cstdint>
#include <fstream>
#include <vector>

namespace quill::e2e {

namespace {

constexpr size_t chunk_bytes = size_t{1} << 20;

void put_u32(std::string& out, uint32_t value) {
    out += static_cast<char>(value >> 24);
    out += static_cast<char>(value >> 16);
    out += static_cast<char>(value >> 8);
    out += static_cast<char>(value);
}

void write_chunk(std::ofstream& file, const char* type, const std::string& data) {
    std::string chunk;
    put_u32(chunk, static_cast<uint32_t>(data.size()));
    chunk += type;
    chunk += data;
    const auto* typed = reinterpret_cast<const Bytef*>(chunk.data() + 4);
    put_u32(chunk, static_cast<uint32_t>(crc32(0, typed, static_cast<uInt>(chunk.size() - 4))));
    file.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
}

}  // namespace

bool write_plain_png(const std::string& path, int width, int height, rgb colour, point mark,
                     rgb mark_colour) {
    std::ofstream file(path, std::ios::binary);
    file.write("\x89PNG\r\n\x1a\n", 8);
    std::string header;
    put_u32(header, static_cast<uint32_t>(width));
    put_u32(header, static_cast<uint32_t>(height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB, not interlaced
    write_chunk(file, "IHDR", header);

    z_stream stream{};
    if (deflateInit(&stream, 1) != Z_OK) {
        return false;
    }
    const auto row_of = [&](int y) {
        std::vector<Bytef> row(1 + size_t{3} * static_cast<size_t>(width));
        for (int x = 0; x < width; ++x) {
            const rgb& c = (x == mark.x && y == mark.y) ? mark_colour : colour;
            row[1 + 3 * static_cast<size_t>(x)] = static_cast<Bytef>(c.r);
            row[2 + 3 * static_cast<size_t>(x)] = static_cast<Bytef>(c.g);
            row[3 + 3 * static_cast<size_t>(x)] = static_cast<Bytef>(c.b);
        }
        return row;
    };
    const std::vector<Bytef> plain = row_of(-1);
    const std::vector<Bytef> marked = row_of(mark.y);
    // A row like the one above is stored as the filter "up" with no differences.
    std::vector<Bytef> same(plain.size(), 0);
    same[0] = 2;
    std::string compressed;
    std::vector<Bytef> out(chunk_bytes);
    bool ok = true;
    for (int y = 0; y <= height && ok; ++y) {
        const bool last = y == height;
        const std::vector<Bytef>* row = nullptr;
        if (!last) {
            const bool changes = y == 0 || y == mark.y || y == mark.y + 1;
            row = changes ? (y == mark.y ? &marked : &plain) : &same;
        }
        stream.next_in = last ? nullptr : const_cast<Bytef*>(row->data());
        stream.avail_in = last ? 0 : static_cast<uInt>(row->size());
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            const int status = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            ok = status == Z_OK || status == Z_STREAM_END || status == Z_BUF_ERROR;
            compressed.append(reinterpret_cast<const char*>(out.data()),
                              out.size() - stream.avail_out);
        } while (ok && stream.avail_out == 0);
        if (compressed.size() >= chunk_bytes || (last && !compressed.empty())) {
            write_chunk(file, "IDAT", compressed);
            compressed.clear();
        }
    }
    deflateEnd(&stream);
    write_chunk(file, "IEND", {});
    return ok && file.good();
}

}  // namespace quill::e2e
