#include <QImage>

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>

#include "platform/picture_store.h"

namespace quill {
namespace {

// A picture whose every pixel tells where it came from: red = x, green = y.
picture_handle coordinate_picture(picture_store& store, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, qRgb(x, y, 0));
        }
    }
    return store.adopt(image);
}

TEST(picture_store_test, handles_start_at_one_and_are_never_given_twice) {
    picture_store store;
    const picture_handle first = store.create(2, 3, {1, 2, 3});
    const picture_handle second = store.create(1, 1, {});
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(store.width(first), 2);
    EXPECT_EQ(store.height(first), 3);
    EXPECT_EQ(store.pixel(first, 1, 2), qRgba(1, 2, 3, 255));

    store.free(first);
    EXPECT_FALSE(store.valid(first));
    EXPECT_TRUE(store.valid(second));
    EXPECT_EQ(store.create(1, 1, {}), 3);
    store.free(first);  // a second free of the same handle does nothing
    store.free(0);
}

TEST(picture_store_test, unknown_handles_and_empty_sizes_give_nothing) {
    picture_store store;
    EXPECT_EQ(store.create(0, 5, {}), 0);
    EXPECT_EQ(store.create(5, -1, {}), 0);
    EXPECT_EQ(store.adopt(QImage()), 0);
    EXPECT_EQ(store.copy(7), 0);
    EXPECT_FALSE(store.valid(0));
    EXPECT_EQ(store.width(7), 0);
    EXPECT_EQ(store.height(7), 0);
    EXPECT_EQ(store.pixel(7, 0, 0), 0u);
    EXPECT_EQ(store.image(7), nullptr);
    EXPECT_FALSE(store.resize(7, 3, 3, resize_method::fast));

    const picture_handle picture = store.create(2, 2, {9, 9, 9});
    EXPECT_EQ(store.pixel(picture, 2, 0), 0u);
    EXPECT_EQ(store.pixel(picture, 0, -1), 0u);
    EXPECT_FALSE(store.resize(picture, 0, 3, resize_method::fast));
    EXPECT_FALSE(store.resize(picture, 3, -2, resize_method::smooth));
    EXPECT_EQ(store.width(picture), 2);
}

TEST(picture_store_test, a_copy_is_independent_of_its_original) {
    picture_store store;
    const picture_handle original = store.create(4, 4, {10, 20, 30});
    const picture_handle copy = store.copy(original);
    ASSERT_NE(copy, 0);
    ASSERT_NE(copy, original);
    store.image(copy)->setPixel(0, 0, qRgb(1, 1, 1));
    ASSERT_TRUE(store.resize(copy, 2, 2, resize_method::fast));
    EXPECT_EQ(store.pixel(original, 0, 0), qRgba(10, 20, 30, 255));
    EXPECT_EQ(store.width(original), 4);
    store.free(original);
    EXPECT_EQ(store.pixel(copy, 1, 1), qRgba(10, 20, 30, 255));
}

TEST(picture_store_test, adopted_pictures_of_any_format_read_back_unpremultiplied) {
    picture_store store;
    QImage straight(2, 1, QImage::Format_ARGB32);
    straight.setPixel(0, 0, qRgba(200, 100, 50, 255));
    straight.setPixel(1, 0, qRgba(255, 0, 0, 128));
    const picture_handle blended = store.adopt(straight);
    EXPECT_EQ(store.image(blended)->format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(store.pixel(blended, 0, 0), qRgba(200, 100, 50, 255));
    const uint32_t half = store.pixel(blended, 1, 0);
    EXPECT_EQ(qAlpha(half), 128);
    EXPECT_NEAR(qRed(half), 255, 1);

    QImage grey(1, 1, QImage::Format_Grayscale8);
    grey.fill(77);
    const picture_handle opaque = store.adopt(grey);
    EXPECT_EQ(store.image(opaque)->format(), QImage::Format_RGB32);
    EXPECT_EQ(store.pixel(opaque, 0, 0), qRgba(77, 77, 77, 255));
}

TEST(picture_store_test, fast_resize_takes_the_nearest_neighbour_by_the_integer_rule) {
    picture_store store;
    for (auto [old_w, old_h, new_w, new_h] : {std::array{3, 2, 7, 5}, std::array{7, 5, 3, 2},
                                              std::array{10, 10, 4, 13}, std::array{5, 3, 5, 3}}) {
        SCOPED_TRACE(testing::Message()
                     << old_w << "x" << old_h << " -> " << new_w << "x" << new_h);
        const picture_handle picture = coordinate_picture(store, old_w, old_h);
        ASSERT_TRUE(store.resize(picture, new_w, new_h, resize_method::fast));
        ASSERT_EQ(store.width(picture), new_w);
        ASSERT_EQ(store.height(picture), new_h);
        for (int y = 0; y < new_h; ++y) {
            for (int x = 0; x < new_w; ++x) {
                ASSERT_EQ(store.pixel(picture, x, y),
                          qRgba(x * old_w / new_w, y * old_h / new_h, 0, 255))
                    << x << "," << y;
            }
        }
    }
}

TEST(picture_store_test, smooth_resize_changes_the_size_and_keeps_a_plain_colour) {
    picture_store store;
    const picture_handle picture = store.create(40, 30, {120, 60, 30});
    ASSERT_TRUE(store.resize(picture, 13, 71, resize_method::smooth));
    EXPECT_EQ(store.width(picture), 13);
    EXPECT_EQ(store.height(picture), 71);
    EXPECT_EQ(store.pixel(picture, 6, 35), qRgba(120, 60, 30, 255));
    EXPECT_EQ(store.image(picture)->format(), QImage::Format_RGB32);
}

TEST(picture_store_test, scrolling_moves_pixels_and_leaves_the_uncovered_ones) {
    const std::array<std::array<int, 2>, 7> moves = {
        {{0, 0}, {2, 0}, {-3, 0}, {0, 2}, {0, -1}, {1, -2}, {-2, 3}}};
    for (const auto& [dx, dy] : moves) {
        SCOPED_TRACE(std::to_string(dx) + "," + std::to_string(dy));
        picture_store store;
        const picture_handle picture = coordinate_picture(store, 7, 5);
        ASSERT_TRUE(store.scroll(picture, dx, dy));
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 7; ++x) {
                const bool moved_onto = x - dx >= 0 && x - dx < 7 && y - dy >= 0 && y - dy < 5;
                const uint32_t expected = moved_onto ? qRgb(x - dx, y - dy, 0) : qRgb(x, y, 0);
                ASSERT_EQ(store.pixel(picture, x, y), expected) << x << "," << y;
            }
        }
    }
    picture_store store;
    const picture_handle picture = coordinate_picture(store, 4, 4);
    EXPECT_TRUE(store.scroll(picture, 9, -9));  // everything moves off: nothing changes
    EXPECT_EQ(store.pixel(picture, 3, 3), qRgb(3, 3, 0));
    EXPECT_FALSE(store.scroll(0, 1, 1));
}

TEST(picture_store_test, reframing_moves_pixels_into_a_new_size_and_clears_the_rest) {
    // width, height, dx, dy
    const std::array<std::array<int, 4>, 7> frames = {{{7, 5, 0, 0},
                                                       {9, 6, 1, 1},
                                                       {4, 3, -2, -1},
                                                       {10, 2, 3, -4},
                                                       {3, 8, -6, 0},
                                                       {5, 5, 7, 0},
                                                       {1, 1, -6, -4}}};
    for (const auto& [width, height, dx, dy] : frames) {
        SCOPED_TRACE(testing::Message() << width << "x" << height << " by " << dx << "," << dy);
        picture_store store;
        const picture_handle picture = coordinate_picture(store, 7, 5);
        ASSERT_TRUE(store.reframe(picture, width, height, dx, dy));
        ASSERT_EQ(store.width(picture), width);
        ASSERT_EQ(store.height(picture), height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool moved_onto = x - dx >= 0 && x - dx < 7 && y - dy >= 0 && y - dy < 5;
                const uint32_t expected = moved_onto ? qRgb(x - dx, y - dy, 0) : qRgb(0, 0, 0);
                ASSERT_EQ(store.pixel(picture, x, y), expected) << x << "," << y;
            }
        }
    }
    picture_store store;
    const picture_handle picture = coordinate_picture(store, 4, 4);
    EXPECT_FALSE(store.reframe(picture, 0, 4, 0, 0));
    EXPECT_EQ(store.width(picture), 4);
    EXPECT_FALSE(store.reframe(0, 4, 4, 0, 0));
}

}  // namespace
}  // namespace quill
