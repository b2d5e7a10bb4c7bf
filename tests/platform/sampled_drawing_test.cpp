#include <algorithm>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>

#include "platform/drawing.h"
#include "platform/picture_store.h"
#include "platform/sampled_drawing.h"

namespace quill {
namespace {

// Every operation in every mode, on a full picture through drawing and on a sample of it through
// sampled_drawing: the sample must hold exactly the full picture's pixels at its columns and
// rows, bit for bit, whatever the format of the picture it lies in. The lists repeat and skip
// coordinates, as enlarging and reducing do.
struct sampled_drawing_test : ::testing::Test {
    picture_store store;
    std::mt19937 random{9001};

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }

    picture_handle noise_picture(int width, int height, bool with_alpha) {
        QImage image(width, height, with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int alpha = with_alpha ? between(0, 3) * 85 : 255;
                image.setPixel(x, y,
                               qRgba(between(0, 255), between(0, 255), between(0, 255),
                                     std::max(alpha, between(0, 1) * between(0, 255))));
            }
        }
        return store.adopt(std::move(image));
    }

    picture_handle blank_picture(int width, int height, bool with_alpha) {
        QImage blank(width, height,
                     with_alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        blank.fill(0);
        return store.adopt(std::move(blank));
    }

    // Now and then long enough that pictures are drawn in several bands of rows.
    std::vector<int> sorted_coordinates(int size) {
        std::vector<int> picked(
            static_cast<size_t>(between(0, 4) == 0 ? between(200, 700) : between(1, 40)));
        for (int& coordinate : picked) {
            coordinate = between(0, size - 1);
        }
        std::sort(picked.begin(), picked.end());
        return picked;
    }

    rgb colour() {
        return {static_cast<uint8_t>(between(0, 255)), static_cast<uint8_t>(between(0, 255)),
                static_cast<uint8_t>(between(0, 255))};
    }
};

uint32_t bits_at(const QImage& image, int x, int y) {
    return reinterpret_cast<const uint32_t*>(image.constScanLine(y))[x];
}

TEST_F(sampled_drawing_test, the_sample_holds_what_the_full_picture_shows_where_it_looks) {
    for (int trial = 0; trial < 250; ++trial) {
        const int width = between(1, 70);
        const int height = between(1, 70);
        const picture_handle full = blank_picture(width, height, between(0, 1) == 1);
        const std::vector<int> columns = sorted_coordinates(width);
        const std::vector<int> rows = sorted_coordinates(height);
        const int left = between(0, 5);
        const int top = between(0, 5);
        const picture_handle target =
            blank_picture(left + static_cast<int>(columns.size()) + between(0, 5),
                          top + static_cast<int>(rows.size()) + between(0, 5), between(0, 1) == 1);
        // The sample starts out as the full picture does.
        for (size_t j = 0; j < rows.size(); ++j) {
            for (size_t i = 0; i < columns.size(); ++i) {
                reinterpret_cast<uint32_t*>(
                    store.image(target)->scanLine(top + static_cast<int>(j)))[left + i] =
                    bits_at(*store.image(full), columns[i], rows[j]);
            }
        }
        const QImage untouched = store.image(target)->copy();
        std::vector<picture_handle> used;
        {
            drawing whole(store, full);
            sampled_drawing part(store, target, left, top, full, columns, rows);
            ASSERT_TRUE(part.active());
            for (int step = 0; step < 12; ++step) {
                const int x = between(-30, width + 10);
                const int y = between(-30, height + 10);
                switch (between(0, 4)) {
                    case 0: {
                        const auto mode = static_cast<draw_mode>(between(0, 2));
                        whole.set_mode(mode);
                        part.set_mode(mode);
                        break;
                    }
                    case 1: {
                        const int w = between(-2, 50);
                        const int h = between(-2, 50);
                        const rgb fill = colour();
                        whole.fill_box(x, y, w, h, fill);
                        part.fill_box(x, y, w, h, fill);
                        break;
                    }
                    case 2: {
                        used.push_back(
                            noise_picture(between(1, 25), between(1, 25), between(0, 1)));
                        whole.draw_picture(used.back(), x, y);
                        part.draw_picture(used.back(), x, y);
                        break;
                    }
                    case 3: {
                        used.push_back(
                            noise_picture(between(1, 12), between(1, 12), between(0, 1)));
                        const int w = between(-1, 60);
                        const int h = between(-1, 60);
                        whole.draw_picture_scaled(used.back(), x, y, w, h);
                        part.draw_picture_scaled(used.back(), x, y, w, h);
                        break;
                    }
                    default: {
                        const int radius =
                            between(0, 10) == 0 ? between(-1, 100000) : between(0, 40);
                        const rgb ring = colour();
                        whole.draw_circle(x, y, radius, ring);
                        part.draw_circle(x, y, radius, ring);
                        break;
                    }
                }
            }
        }
        const QImage& expected = *store.image(full);
        const QImage& actual = *store.image(target);
        for (int y = 0; y < actual.height(); ++y) {
            for (int x = 0; x < actual.width(); ++x) {
                const auto i = static_cast<size_t>(x - left);
                const auto j = static_cast<size_t>(y - top);
                const bool held = x >= left && y >= top && i < columns.size() && j < rows.size();
                ASSERT_EQ(bits_at(actual, x, y),
                          held ? bits_at(expected, columns[i], rows[j]) : bits_at(untouched, x, y))
                    << "trial " << trial << " at (" << x << ", " << y << ")";
            }
        }
        for (const picture_handle picture : used) {
            store.free(picture);
        }
        store.free(full);
        store.free(target);
    }
}

TEST_F(sampled_drawing_test, a_sample_that_would_not_fit_its_picture_draws_nothing) {
    const picture_handle target = store.create(10, 10, {1, 2, 3});
    const std::vector<int> five{0, 1, 2, 3, 4};
    for (const auto& [left, top, columns] :
         {std::tuple{6, 0, five}, std::tuple{-1, 0, five}, std::tuple{0, 0, std::vector<int>{}}}) {
        sampled_drawing part(store, target, left, top, target, columns, five);
        EXPECT_FALSE(part.active());
        part.fill_box(0, 0, 10, 10, {9, 9, 9});
        part.draw_circle(2, 2, 3, {9, 9, 9});
    }
    EXPECT_EQ(store.pixel(target, 5, 2), qRgb(1, 2, 3));
}

}  // namespace
}  // namespace quill
