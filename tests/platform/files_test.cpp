#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/files.h"
#include "support/file_size_limit.h"

namespace quill {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class files_test : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir_.filePath(QString::fromStdString(name)).toStdString();
    }

    void put(const std::string& name, const std::string& bytes) const {
        QFile file(QString::fromStdString(path(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())),
                  static_cast<qint64>(bytes.size()));
    }

    std::string contents(const std::string& name) const {
        QFile file(QString::fromStdString(path(name)));
        if (!file.open(QIODevice::ReadOnly)) {
            return "<missing>";
        }
        return file.readAll().toStdString();
    }

    bool exists(const std::string& name) const {
        return QFile::exists(QString::fromStdString(path(name)));
    }

    QTemporaryDir dir_;
};

TEST_F(files_test, integers_and_texts_are_written_little_endian_and_read_back) {
    file_writer writer;
    ASSERT_TRUE(writer.create(path("layout.bin")));
    writer.write_u8(0xab);
    writer.write_i8(-2);
    writer.write_i16(0x1234);
    writer.write_i16(std::numeric_limits<int16_t>::min());
    writer.write_i32(0x12345678);
    writer.write_i32(-2);
    writer.write_utf16(u"A\u00e9\U0001d11e");
    const uint8_t raw[] = {0x00, 0xff};
    writer.write_bytes(raw, 2);
    ASSERT_TRUE(writer.commit());

    const std::string expected(
        "\xab\xfe"
        "\x34\x12\x00\x80"
        "\x78\x56\x34\x12\xfe\xff\xff\xff"
        "A\x00\xe9\x00\x34\xd8\x1e\xdd"
        "\x00\xff",
        24);
    EXPECT_EQ(contents("layout.bin"), expected);

    file_reader reader;
    ASSERT_TRUE(reader.open(path("layout.bin")));
    EXPECT_EQ(reader.size(), 24);
    EXPECT_EQ(reader.read_u8(), 0xab);
    EXPECT_EQ(reader.read_i8(), -2);
    EXPECT_EQ(reader.read_i16(), 0x1234);
    EXPECT_EQ(reader.read_i16(), std::numeric_limits<int16_t>::min());
    EXPECT_EQ(reader.read_i32(), 0x12345678);
    EXPECT_EQ(reader.read_i32(), -2);
    EXPECT_EQ(reader.read_utf16(4), u"A\u00e9\U0001d11e");
    uint8_t back[2] = {};
    EXPECT_TRUE(reader.read_bytes(back, 2));
    EXPECT_THAT(back, ElementsAre(0x00, 0xff));
    EXPECT_EQ(reader.remaining(), 0);
}

TEST_F(files_test, reads_beyond_the_end_give_zero_and_leave_targets_unchanged) {
    put("short.bin", std::string("\x01\x02\x03", 3));
    file_reader reader;
    ASSERT_TRUE(reader.open(path("short.bin")));
    EXPECT_EQ(reader.read_i16(), 0x0201);
    // Only one of the four bytes is there: the integer reads 0 and the position ends.
    EXPECT_EQ(reader.read_i32(), 0);
    EXPECT_EQ(reader.remaining(), 0);
    EXPECT_EQ(reader.read_u8(), 0);
    EXPECT_EQ(reader.read_i8(), 0);
    EXPECT_EQ(reader.read_i16(), 0);
    uint8_t target[2] = {7, 7};
    EXPECT_FALSE(reader.read_bytes(target, 2));
    EXPECT_THAT(target, ElementsAre(7, 7));
    EXPECT_TRUE(reader.read_bytes(target, 0));
    EXPECT_THAT(reader.read_utf16(3), IsEmpty());

    ASSERT_TRUE(reader.open(path("short.bin")));
    uint8_t record[4] = {9, 9, 9, 9};
    EXPECT_FALSE(reader.read_bytes(record, 4));
    EXPECT_THAT(record, ElementsAre(9, 9, 9, 9));
    EXPECT_EQ(reader.remaining(), 0);
}

TEST_F(files_test, counts_are_bounded_by_the_file) {
    put("text.bin", std::string("A\0B\0C", 5));
    file_reader reader;
    ASSERT_TRUE(reader.open(path("text.bin")));
    EXPECT_THAT(reader.read_utf16(-1), IsEmpty());
    uint8_t target[1] = {5};
    EXPECT_FALSE(reader.read_bytes(target, -1));
    reader.skip(-3);
    EXPECT_EQ(reader.remaining(), 5);
    EXPECT_EQ(reader.read_utf16(10), u"AB");
    EXPECT_EQ(reader.remaining(), 0);

    ASSERT_TRUE(reader.open(path("text.bin")));
    reader.skip(2);
    EXPECT_EQ(reader.read_u8(), 'B');
    reader.skip(std::numeric_limits<int64_t>::max());
    EXPECT_EQ(reader.remaining(), 0);

    put("hundred.bin", std::string(100, 'x'));
    ASSERT_TRUE(reader.open(path("hundred.bin")));
    const std::u16string text = reader.read_utf16(2'000'000'000);
    EXPECT_EQ(text.size(), 50u);
    EXPECT_LT(text.capacity(), 1000u);
    ASSERT_TRUE(reader.open(path("hundred.bin")));
    EXPECT_FALSE(reader.read_bytes(target, std::numeric_limits<int64_t>::max()));
    EXPECT_THAT(target, ElementsAre(5));
}

TEST_F(files_test, reads_across_chunk_boundaries_of_a_large_file) {
    constexpr int32_t count = 300'000;
    file_writer writer;
    ASSERT_TRUE(writer.create(path("large.bin")));
    writer.write_u8(1);
    for (int32_t i = 0; i < count; ++i) {
        writer.write_i32(i * 7 - 1000);
    }
    ASSERT_TRUE(writer.commit());

    file_reader reader;
    ASSERT_TRUE(reader.open(path("large.bin")));
    ASSERT_EQ(reader.size(), 1 + 4 * int64_t{count});
    EXPECT_EQ(reader.read_u8(), 1);
    for (int32_t i = 0; i < count / 2; ++i) {
        ASSERT_EQ(reader.read_i32(), i * 7 - 1000) << "at " << i;
    }
    std::vector<uint8_t> block(4 * 100'000);
    ASSERT_TRUE(reader.read_bytes(block.data(), static_cast<int64_t>(block.size())));
    const int32_t first = count / 2;
    EXPECT_EQ(block[0] | block[1] << 8 | block[2] << 16 | block[3] << 24, first * 7 - 1000);
    reader.skip(4 * 10'000 - 1);
    reader.skip(1);
    for (int32_t i = first + 110'000; i < count; ++i) {
        ASSERT_EQ(reader.read_i32(), i * 7 - 1000) << "at " << i;
    }
    EXPECT_EQ(reader.remaining(), 0);
}

TEST_F(files_test, opening_for_reading_never_creates_and_refuses_directories) {
    file_reader reader;
    EXPECT_FALSE(reader.open(path("missing.bin")));
    EXPECT_FALSE(exists("missing.bin"));
    EXPECT_EQ(reader.size(), 0);
    EXPECT_EQ(reader.read_i32(), 0);

    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    EXPECT_FALSE(reader.open(path("folder")));

    EXPECT_LT(file_size(path("missing.bin")), 0);
    EXPECT_LT(file_size(path("folder")), 0);
    put("empty.bin", "");
    EXPECT_EQ(file_size(path("empty.bin")), 0);
    put("five.bin", "12345");
    EXPECT_EQ(file_size(path("five.bin")), 5);
}

TEST_F(files_test, the_old_file_stays_until_a_complete_commit) {
    put("game.qms", "old");
    {
        file_writer writer;
        ASSERT_TRUE(writer.create(path("game.qms")));
        writer.write_u8('n');
        EXPECT_EQ(contents("game.qms"), "old");
    }
    EXPECT_EQ(contents("game.qms"), "old");
    EXPECT_THAT(QDir(dir_.path()).entryList(QDir::Files), ElementsAre("game.qms"));

    file_writer writer;
    ASSERT_TRUE(writer.create(path("game.qms")));
    writer.write_u8('n');
    ASSERT_TRUE(writer.create(path("game.qms")));
    writer.write_u8('m');
    EXPECT_TRUE(writer.commit());
    EXPECT_EQ(contents("game.qms"), "m");
    EXPECT_FALSE(writer.commit());

    EXPECT_TRUE(save_file_atomically(path("game.qms"), std::string("a\0b", 3)));
    EXPECT_EQ(contents("game.qms"), std::string("a\0b", 3));
}

TEST_F(files_test, writing_into_a_missing_folder_fails) {
    file_writer writer;
    EXPECT_FALSE(writer.create(path("nowhere/game.qms")));
    writer.write_i32(1);
    EXPECT_FALSE(writer.commit());
    EXPECT_FALSE(save_file_atomically(path("nowhere/game.qms"), "x"));
    EXPECT_FALSE(QDir(dir_.path()).exists("nowhere"));
}

TEST_F(files_test, a_write_cut_off_by_a_full_disk_fails_and_keeps_the_existing_file) {
    put("game.qms", "old");
    const std::string big(100000, 'x');
    bool saved = true;
    bool committed = true;
    {
        const testing::file_size_limit limit(1000);
        saved = save_file_atomically(path("game.qms"), big);
        file_writer writer;
        ASSERT_TRUE(writer.create(path("game.qms")));
        writer.write_bytes(reinterpret_cast<const uint8_t*>(big.data()), 10);
        writer.write_u8(1);
        writer.write_bytes(reinterpret_cast<const uint8_t*>(big.data()), 1000);
        committed = writer.commit();
    }
    EXPECT_FALSE(saved);
    EXPECT_FALSE(committed);
    EXPECT_EQ(contents("game.qms"), "old");
}

TEST_F(files_test, writing_into_a_read_only_folder_keeps_the_existing_file) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("locked"));
    put("locked/game.qms", "old");
    ASSERT_EQ(chmod(path("locked").c_str(), 0555), 0);
    QFile probe(QString::fromStdString(path("locked/probe")));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        chmod(path("locked").c_str(), 0755);
        GTEST_SKIP() << "this user can write into read-only folders";
    }
    EXPECT_FALSE(save_file_atomically(path("locked/game.qms"), "new"));
    file_writer writer;
    EXPECT_FALSE(writer.create(path("locked/game.qms")));
    EXPECT_FALSE(writer.commit());
    EXPECT_EQ(contents("locked/game.qms"), "old");
    chmod(path("locked").c_str(), 0755);
}

TEST_F(files_test, listing_matches_files_ignoring_case_and_sorts_by_name) {
    put("b.png", "");
    put("A.PNG", "");
    put("c.Png", "");
    put("d.txt", "");
    put("e.png.bak", "");
    put(".hidden.png", "");
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.png"));

    EXPECT_EQ(list_directory(dir_.path().toStdString(), "*.png"),
              (std::vector<std::string>{".hidden.png", "A.PNG", "b.png", "c.Png"}));
    EXPECT_EQ(list_directory(dir_.path().toStdString() + "/", "*.PNG")->size(), 4u);
    EXPECT_EQ(list_directory(dir_.path().toStdString(), "*.jpg"), std::vector<std::string>{});
    EXPECT_EQ(list_directory(path("missing"), "*.png"), std::nullopt);
    EXPECT_EQ(list_directory(path("d.txt"), "*"), std::nullopt);
}

TEST_F(files_test, text_conversions_keep_every_character_and_survive_bad_input) {
    const std::string utf8 =
        "Gr\xc3\xa4"
        "ber \xe2\x98\xa0 \xf0\x9d\x84\x9e";
    const std::u16string utf16 = u"Gr\u00e4ber \u2620 \U0001d11e";
    EXPECT_EQ(to_utf16(utf8), utf16);
    EXPECT_EQ(to_utf8(utf16), utf8);
    EXPECT_EQ(to_utf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));

    EXPECT_EQ(to_utf16("a\xff\xfe"
                       "b")
                  .front(),
              u'a');
    EXPECT_EQ(to_utf16("a\xff\xfe"
                       "b")
                  .back(),
              u'b');
    const std::string lone = to_utf8(std::u16string(u"x") + char16_t{0xd800} + u"y");
    EXPECT_EQ(lone.front(), 'x');
    EXPECT_EQ(lone.back(), 'y');
    EXPECT_EQ(to_utf16(lone).size(), 3u);
}

TEST_F(files_test, any_code_units_come_back_from_utf8_unchanged) {
    const char16_t high = 0xD83D;
    const char16_t low = 0xDC09;
    const std::u16string cases[] = {
        {high},
        {low},
        {u'a', high, u'b'},
        {low, high},
        {high, high, low},
        {high, low, low},
        {0xDBFF, 0xDFFF, 0xD800},
        {u'\0', 0xFFFF, 0xFFFE, 0x7FF, 0x800},
    };
    for (const std::u16string& units : cases) {
        EXPECT_EQ(to_utf16(to_utf8(units)), units) << to_utf8(units);
    }
    // A lone surrogate takes the three bytes of its code point; a pair stays one character.
    EXPECT_EQ(to_utf8({u'x', 0xD800}), "x\xED\xA0\x80");
    EXPECT_EQ(to_utf8({high, low}), "\xF0\x9F\x90\x89");
    EXPECT_EQ(to_utf16("\xC0\x80\xF4\x90\x80\x80\xE2\x82"), std::u16string(8, char16_t{0xFFFD}));
}

}  // namespace
}  // namespace quill
