#include <gtest/gtest.h>

#include "content/level_number.h"

namespace quill {
namespace {

TEST(level_number, accepts_the_number_forms_of_the_content_files) {
    EXPECT_EQ(parse_level_number("  42"), 42);
    EXPECT_EQ(parse_level_number("\t42"), 42);
    EXPECT_EQ(parse_level_number("42px"), 42);
    EXPECT_EQ(parse_level_number("$2A"), 42);
    EXPECT_EQ(parse_level_number("$2a"), 42);
    EXPECT_EQ(parse_level_number("%101010"), 42);
    EXPECT_EQ(parse_level_number("-17"), -17);
    EXPECT_EQ(parse_level_number("+17"), 17);
    EXPECT_EQ(parse_level_number("-$10"), -16);
    EXPECT_EQ(parse_level_number("%1012"), 5);
}

TEST(level_number, text_without_digits_gives_zero) {
    EXPECT_EQ(parse_level_number(""), 0);
    EXPECT_EQ(parse_level_number("px"), 0);
    EXPECT_EQ(parse_level_number("\n42"), 0);
    EXPECT_EQ(parse_level_number("- 4"), 0);
    EXPECT_EQ(parse_level_number("$"), 0);
    EXPECT_EQ(parse_level_number("$G1"), 0);
}

TEST(level_number, large_values_wrap_to_32_bits) {
    EXPECT_EQ(parse_level_number("4294967297"), 1);
    EXPECT_EQ(parse_level_number("$FFFFFFFF"), -1);
    EXPECT_EQ(parse_level_number("2147483648"), INT32_MIN);
}

}  // namespace
}  // namespace quill
