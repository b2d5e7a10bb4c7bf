#pragma once

#include <string>

#include <QImage>

namespace quill::bench {

// A side x side map picture (Format_RGB32) with gradients and grain in every channel. Real maps
// are photographs and paintings: every channel has grain of its own, so that a 16384 x 16384
// map takes a PNG file of about half its decoded size.
QImage grainy_map(int side);

// A program folder in a temporary directory with a level file and its map picture in each
// format for a map of side x side pixels, with gradients and grain so that the files compress
// as real maps do. Written on first use for each side, removed when the process ends; nothing
// of it is kept in the repository.
class big_map_files {
public:
    static const big_map_files& of_side(int side);

    const std::string& program_dir() const { return program_dir_; }
    // format: "png" or "jpg".
    std::string level(const std::string& format) const;
    std::string picture(const std::string& format) const;
    int side() const { return side_; }

    explicit big_map_files(int side);
    ~big_map_files();
    big_map_files(const big_map_files&) = delete;
    big_map_files& operator=(const big_map_files&) = delete;

private:
    int side_;
    std::string folder_;
    std::string program_dir_;
};

// "png" for argument 0, "jpg" otherwise.
const char* format_name(long long argument);

}  // namespace quill::bench
