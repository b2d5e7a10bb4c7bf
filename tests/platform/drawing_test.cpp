#include <QImage>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "platform/drawing.h"
#include "platform/picture_store.h"

namespace quill {
namespace {

constexpr rgb red{255, 0, 0};
constexpr rgb blue{0, 0, 255};
constexpr rgb white{255, 255, 255};

class drawing_test : public ::testing::Test {
protected:
    uint32_t at(int x, int y) const { return store_.pixel(target_, x, y); }

    int count(uint32_t colour) const {
        int found = 0;
        for (int y = 0; y < store_.height(target_); ++y) {
            for (int x = 0; x < store_.width(target_); ++x) {
                found += at(x, y) == colour ? 1 : 0;
            }
        }
        return found;
    }

    picture_handle single_pixel(uint32_t argb) {
        QImage image(1, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, argb);
        return store_.adopt(image);
    }

    picture_store store_;
    picture_handle target_ = store_.create(20, 20, blue);
};

TEST_F(drawing_test, a_session_on_an_unknown_picture_draws_nothing_and_reports_no_stop) {
    int stops = 0;
    {
        drawing session(store_, 99, [&] { ++stops; });
        EXPECT_FALSE(session.active());
        session.fill_box(0, 0, 5, 5, red);
        EXPECT_GT(session.text_width("Abc"), 0);
    }
    EXPECT_EQ(stops, 0);
    {
        drawing session(store_, target_, [&] { ++stops; });
        EXPECT_TRUE(session.active());
        EXPECT_EQ(stops, 0);
    }
    EXPECT_EQ(stops, 1);
}

TEST_F(drawing_test, a_picture_being_drawn_on_is_copied_apart_and_kept_alive) {
    picture_handle copy = 0;
    {
        drawing session(store_, target_);
        session.fill_box(0, 0, 1, 1, red);
        copy = store_.copy(target_);
        session.fill_box(1, 0, 1, 1, red);
        store_.free(target_);
        EXPECT_FALSE(store_.resize(target_, 5, 5, resize_method::fast));
        session.fill_box(2, 0, 1, 1, red);
    }
    ASSERT_TRUE(store_.valid(target_));
    EXPECT_EQ(store_.width(target_), 20);
    EXPECT_EQ(at(2, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(store_.pixel(copy, 0, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(store_.pixel(copy, 1, 0), qRgba(0, 0, 255, 255));
    store_.free(target_);
    EXPECT_FALSE(store_.valid(target_));
}

TEST_F(drawing_test, filled_and_outlined_boxes_cover_exactly_their_pixels) {
    {
        drawing session(store_, target_);
        session.fill_box(2, 3, 4, 5, red);
        session.set_mode(draw_mode::outline);
        session.fill_box(10, 10, 5, 4, white);
        session.fill_box(17, 2, 1, 3, white);
        session.fill_box(0, 0, 0, 9, white);
    }
    EXPECT_EQ(at(2, 3), qRgba(255, 0, 0, 255));
    EXPECT_EQ(at(5, 7), qRgba(255, 0, 0, 255));
    EXPECT_EQ(at(6, 7), qRgba(0, 0, 255, 255));
    EXPECT_EQ(at(5, 8), qRgba(0, 0, 255, 255));
    EXPECT_EQ(count(qRgba(255, 0, 0, 255)), 20);

    const uint32_t outline = qRgba(255, 255, 255, 255);
    EXPECT_EQ(at(10, 10), outline);
    EXPECT_EQ(at(14, 10), outline);
    EXPECT_EQ(at(14, 13), outline);
    EXPECT_EQ(at(10, 12), outline);
    EXPECT_EQ(at(12, 11), qRgba(0, 0, 255, 255));
    EXPECT_EQ(at(15, 10), qRgba(0, 0, 255, 255));
    EXPECT_EQ(at(17, 4), outline);
    EXPECT_EQ(count(outline), 14 + 3);
}

TEST_F(drawing_test, boxes_reaching_far_beyond_the_picture_are_clipped) {
    {
        drawing session(store_, target_);
        session.fill_box(-5, 18, INT_MAX, INT_MAX, red);
        session.set_mode(draw_mode::outline);
        session.fill_box(INT_MIN, INT_MIN, INT_MAX, INT_MAX, white);
    }
    EXPECT_EQ(count(qRgba(255, 0, 0, 255)), 40);
    EXPECT_EQ(count(qRgba(255, 255, 255, 255)), 0);
}

TEST_F(drawing_test, alpha_blend_mixes_by_the_source_alpha_and_solid_ignores_it) {
    const picture_handle half_red = single_pixel(qRgba(255, 0, 0, 128));
    {
        drawing session(store_, target_);
        session.draw_picture(half_red, 0, 0);
        session.set_mode(draw_mode::alpha_blend);
        session.draw_picture(half_red, 1, 0);
        session.set_mode(draw_mode::outline);
        session.draw_picture(half_red, 2, 0);
    }
    const uint32_t solid = at(0, 0);
    EXPECT_EQ(qAlpha(solid), 255);
    EXPECT_NEAR(qRed(solid), 255, 1);
    EXPECT_EQ(qBlue(solid), 0);

    const uint32_t blended = at(1, 0);
    EXPECT_NEAR(qRed(blended), 128, 1);
    EXPECT_EQ(qGreen(blended), 0);
    EXPECT_NEAR(qBlue(blended), 127, 1);

    EXPECT_EQ(at(2, 0), solid);
}

TEST_F(drawing_test, a_missing_picture_or_an_empty_stretch_draws_nothing) {
    const picture_handle green = store_.create(2, 2, {0, 255, 0});
    {
        drawing session(store_, target_);
        session.draw_picture(0, 0, 0);
        session.draw_picture(555, 0, 0);
        session.draw_picture_scaled(0, 0, 0, 5, 5);
        session.draw_picture_scaled(green, 0, 0, 0, 5);
        session.draw_picture_scaled(green, 0, 0, 5, -1);
    }
    EXPECT_EQ(count(qRgba(0, 0, 255, 255)), 400);
}

TEST_F(drawing_test, stretched_pictures_follow_the_nearest_neighbour_rule) {
    QImage source(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            source.setPixel(x, y, qRgb(x * 50, y * 50, 0));
        }
    }
    const picture_handle picture = store_.adopt(source);
    {
        drawing session(store_, target_);
        session.draw_picture_scaled(picture, 4, 5, 7, 5);
    }
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            ASSERT_EQ(at(4 + x, 5 + y), qRgba(x * 3 / 7 * 50, y * 2 / 5 * 50, 0, 255))
                << x << "," << y;
        }
    }
    EXPECT_EQ(at(11, 5), qRgba(0, 0, 255, 255));
    EXPECT_EQ(at(4, 10), qRgba(0, 0, 255, 255));
}

TEST_F(drawing_test, a_huge_stretch_only_produces_its_visible_part) {
    QImage source(2, 1, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(255, 255, 255));
    const picture_handle picture = store_.adopt(source);
    {
        drawing session(store_, target_);
        // The left half of a 200000-pixel stretch ends at target x 100000 - 99990 = 10.
        session.draw_picture_scaled(picture, -99990, -5, 200000, 100000);
    }
    EXPECT_EQ(at(9, 0), qRgba(255, 0, 0, 255));
    EXPECT_EQ(at(10, 19), qRgba(255, 255, 255, 255));
    EXPECT_EQ(count(qRgba(255, 0, 0, 255)), 200);
}

// Independent of how the drawing code finds its spans: the disc is every pixel whose centre
// lies within radius + 0.5 of the centre, the ring its pixels with a neighbour outside.
bool in_disc(int dx, int dy, int radius) {
    return dx * dx + dy * dy <= radius * radius + radius;
}

bool on_ring(int dx, int dy, int radius) {
    return in_disc(dx, dy, radius) &&
           (!in_disc(dx + 1, dy, radius) || !in_disc(dx - 1, dy, radius) ||
            !in_disc(dx, dy + 1, radius) || !in_disc(dx, dy - 1, radius));
}

TEST_F(drawing_test, circles_are_rings_in_outline_mode_and_discs_otherwise) {
    for (draw_mode mode : {draw_mode::outline, draw_mode::solid, draw_mode::alpha_blend}) {
        for (int radius = 0; radius <= 9; ++radius) {
            SCOPED_TRACE(testing::Message()
                         << "mode " << static_cast<int>(mode) << " radius " << radius);
            store_.image(target_)->fill(qRgb(0, 0, 255));
            {
                drawing session(store_, target_);
                session.set_mode(mode);
                session.draw_circle(10, 9, radius, red);
            }
            for (int y = 0; y < 20; ++y) {
                for (int x = 0; x < 20; ++x) {
                    const int dx = x - 10;
                    const int dy = y - 9;
                    const bool expected = mode == draw_mode::outline ? on_ring(dx, dy, radius)
                                                                     : in_disc(dx, dy, radius);
                    ASSERT_EQ(at(x, y) == qRgba(255, 0, 0, 255), expected) << x << "," << y;
                }
            }
        }
    }
}

TEST_F(drawing_test, circles_are_clipped_to_the_picture_whatever_their_size) {
    {
        drawing session(store_, target_);
        session.draw_circle(-100, 5, 50, red);
        session.draw_circle(5, 5, -1, red);
        session.set_mode(draw_mode::outline);
        session.draw_circle(INT_MAX, INT_MAX, INT_MAX, red);
        session.draw_circle(10, 10, INT_MAX, red);
    }
    EXPECT_EQ(count(qRgba(0, 0, 255, 255)), 400);
    {
        drawing session(store_, target_);
        session.draw_circle(10, 10, INT_MAX, red);
    }
    EXPECT_EQ(count(qRgba(255, 0, 0, 255)), 400);
}

TEST_F(drawing_test, text_is_white_on_black_inside_its_measured_box) {
    const picture_handle page = store_.create(200, 60, red);
    int width = 0;
    int height = 0;
    {
        drawing session(store_, page);
        width = session.text_width("Quill");
        height = session.text_height("Quill");
        session.draw_text(10, 20, "Quill");
    }
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    ASSERT_LT(10 + width, 200);
    ASSERT_LT(20 + height, 60);
    int black = 0;
    int white_pixels = 0;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 200; ++x) {
            const uint32_t colour = store_.pixel(page, x, y);
            const bool inside = x >= 10 && x < 10 + width && y >= 20 && y < 20 + height;
            if (!inside) {
                ASSERT_EQ(colour, qRgba(255, 0, 0, 255)) << x << "," << y;
                continue;
            }
            black += colour == qRgba(0, 0, 0, 255) ? 1 : 0;
            white_pixels += colour == qRgba(255, 255, 255, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(white_pixels, 0);
    EXPECT_GT(black, white_pixels);
    EXPECT_EQ(black + white_pixels, width * height);
}

}  // namespace
}  // namespace quill
