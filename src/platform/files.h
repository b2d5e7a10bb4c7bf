#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace quill {

// Paths and file names are UTF-8 throughout.

// Reads a binary file, little-endian. Opening never creates or changes a file. Reads beyond
// the end give 0 (integers) or leave the target unchanged (raw bytes). A read that finds fewer
// bytes than it needs moves the read position to the end, so an integer cut off by the end
// reads 0 and everything after it reads 0 too. Negative counts read and skip nothing.
class file_reader {
public:
    file_reader();
    ~file_reader();
    file_reader(const file_reader&) = delete;
    file_reader& operator=(const file_reader&) = delete;

    // False for a missing file, a directory or a file that cannot be opened for reading.
    bool open(const std::string& path);
    void close();
    int64_t size() const;
    // Bytes between the read position and the end.
    int64_t remaining() const;

    uint8_t read_u8();
    int8_t read_i8();
    int16_t read_i16();
    int32_t read_i32();
    // True when all count bytes were there; otherwise the target is left unchanged and the
    // read position moves to the end. A negative count gives false and moves nothing.
    bool read_bytes(uint8_t* target, int64_t count);
    // Up to units UTF-16LE code units; fewer when the file ends first, and then the read
    // position is at the end (an odd last byte is passed over).
    std::u16string read_utf16(int64_t units);
    // Moves forward; never beyond the end.
    void skip(int64_t count);

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

// Writes a binary file atomically: nothing reaches the target until commit(), which replaces
// it only when everything was written. A writer destroyed without commit() leaves the target
// as it was.
class file_writer {
public:
    file_writer();
    ~file_writer();
    file_writer(const file_writer&) = delete;
    file_writer& operator=(const file_writer&) = delete;

    bool create(const std::string& path);
    void write_u8(uint8_t value);
    void write_i8(int8_t value);
    void write_i16(int16_t value);
    void write_i32(int32_t value);
    // A negative count writes nothing.
    void write_bytes(const uint8_t* data, int64_t count);
    void write_utf16(const std::u16string& text);
    // False when creating or any write failed, or the file could not be put in place.
    bool commit();

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

// Writes a whole file atomically; false on any failure, the old file then left as it was.
bool save_file_atomically(const std::string& path, const std::string& contents);

// Size in bytes; negative for a missing file and for a directory.
int64_t file_size(const std::string& path);

// Names (no directory part) of the files in directory whose names match pattern ("*.png"),
// letter case ignored, sorted by UTF-16 code units of the name (so "B.png" before "a.png");
// nullopt when the directory cannot be listed.
std::optional<std::vector<std::string>> list_directory(const std::string& directory,
                                                       const std::string& pattern);

// Names of the folders in directory, sorted like list_directory's; nullopt when the directory
// cannot be listed.
std::optional<std::vector<std::string>> list_folders(const std::string& directory);

// Whether anything (a file, a folder) stands at path.
bool path_exists(const std::string& path);

// Copies a file to a target where nothing stands yet, never replacing anything; the target
// appears only once it is complete. False when anything stands at target or the copy failed.
bool copy_file(const std::string& source, const std::string& target);

// Creates a folder and the folders above it; true when it exists afterwards.
bool make_directory(const std::string& path);
// Removes a file, or a folder with everything in it; true when nothing is left at path.
bool remove_path(const std::string& path);

// Marks a running program by a lock file, so that a later program can tell whether it ended
// normally: release() removes the file, and so does destroying the lock, but a crash leaves it.
class program_lock {
public:
    program_lock();
    ~program_lock();
    program_lock(const program_lock&) = delete;
    program_lock& operator=(const program_lock&) = delete;

    // False when another running program holds a lock of that name, or it cannot be written.
    bool acquire(const std::string& path);
    void release();

private:
    struct impl;
    std::unique_ptr<impl> impl_;
};

// True when the lock file at path was left by a program that no longer runs; it is removed.
// False for a lock of a running program and for a path without a lock file.
bool clear_stale_lock(const std::string& path);

// Texts read from files keep their code units through the program: a lone surrogate, which
// UTF-8 cannot carry, takes the three bytes UTF-8 would give its code point (generalised
// UTF-8), so that to_utf16(to_utf8(units)) == units for any code units. Bytes that form no
// character become U+FFFD.
std::u16string to_utf16(const std::string& utf8);
std::string to_utf8(const std::u16string& utf16);

}  // namespace quill
