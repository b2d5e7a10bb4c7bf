#include <algorithm>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <QImage>

#include "platform/scripted/scripted_platform.h"
#include "view/map_rendering.h"
#include "view/map_rendering_reference.h"

namespace quill {
namespace {

// A random scene: map, canvas, items, marker and label, with a fixed sequence of chances.
struct scene {
    explicit scene(std::mt19937& chances);

    scripted_platform system;
    game_state state;
    picture_store& pictures = system.pictures();
    std::mt19937& random;

    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    bool chance(int percent) { return between(1, 100) <= percent; }

    // Noise, so that a pixel taken from the wrong place shows; with alpha, every level of it.
    picture_handle noise_picture(int width, int height, bool with_alpha) {
        QImage image(width, height, with_alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int alpha = !with_alpha  ? 255
                                  : chance(30) ? 255
                                  : chance(20) ? 0
                                               : between(1, 254);
                image.setPixel(x, y,
                               qRgba(between(0, 255), between(0, 255), between(0, 255), alpha));
            }
        }
        return pictures.adopt(std::move(image));
    }

    void fill_catalogue(item_list<catalogue_entry>& catalogue, int count) {
        for (int i = 0; i < count; ++i) {
            // Some kinds have no picture, and sizes vary even within one layer.
            const picture_handle image =
                chance(10) ? 0 : noise_picture(between(1, 30), between(1, 30), chance(70));
            catalogue.add({"k", "k", image, ""});
        }
    }

    void fill_layer(item_list<map_item>& items, int kinds, int width, int height) {
        const int count = between(0, 12);
        for (int i = 0; i < count; ++i) {
            map_item item;
            // An index beyond the catalogue names no kind and draws nothing.
            item.catalogue_index = between(0, kinds);
            item.x = between(-40, width + 20);
            item.y = between(-40, height + 20);
            items.add(item);
        }
        if (!items.empty() && chance(80)) {
            items.select(between(0, items.size() - 1));
        }
    }

    void make() {
        const int canvas_width = between(20, 180);
        const int canvas_height = between(20, 140);
        system.open_window(0, 220, 0, canvas_width + between(0, 30), canvas_height + 25,
                           "Quillmark", window_style::main_window, -1);
        system.create_menu_bar(0);
        // The level's canvas size and the canvas's own size can briefly disagree.
        const bool same_size = chance(80);
        system.create_canvas(0, 0, 0, 0, same_size ? canvas_width : between(20, 180),
                             same_size ? canvas_height : between(20, 140), true);

        level_info& level = state.level;
        const int width = chance(5) ? between(1, 3) : between(4, 260);
        const int height = chance(5) ? between(1, 3) : between(4, 200);
        level.background = noise_picture(width, height, chance(25));
        level.map_width = width;
        level.map_height = height;
        level.canvas_width = canvas_width;
        level.canvas_height = canvas_height;
        const int zoom_kind = between(0, 9);
        level.zoom = zoom_kind == 0 ? 100 : zoom_kind == 1 ? 25 : between(25, 100);
        level.view_x = chance(20) ? 0 : between(0, width + 40);
        level.view_y = chance(20) ? 0 : between(0, height + 40);

        fill_catalogue(state.grave_catalogue, between(1, 3));
        fill_catalogue(state.transport_catalogue, between(1, 3));
        fill_catalogue(state.player_catalogue, between(1, 4));
        fill_layer(state.graves, state.grave_catalogue.size(), width, height);
        fill_layer(state.transports, state.transport_catalogue.size(), width, height);
        fill_layer(state.tokens, state.player_catalogue.size(), width, height);
        const int drag = between(0, 3);
        state.drag_mode = drag == 0   ? drag_kind::drag_transport
                          : drag == 1 ? drag_kind::drag_token
                                      : drag_kind::drag_none;

        if (chance(50)) {
            ping_marker& marker = state.marker;
            marker.active = true;
            marker.image =
                chance(15) ? 0 : noise_picture(between(1, 12), between(1, 12), chance(80));
            marker.width = chance(10) ? between(-3, 0) : between(1, 16);
            marker.height = chance(10) ? between(-3, 0) : between(1, 16);
            // Near the edges and corners as often as inside.
            marker.x = chance(50) ? between(-5, width + 5)
                                  : (chance(50) ? between(-60, 5) : between(width - 5, width + 60));
            marker.y = chance(50)
                           ? between(-5, height + 5)
                           : (chance(50) ? between(-60, 5) : between(height - 5, height + 60));
            marker.start_time = 5000;
            system.set_clock(5000 + between(0, 3400));
        }
        if (chance(30)) {
            state.hover.text = chance(50) ? "Grab" : "Wagen von Sturmklingen mit langer Aufschrift";
            state.hover.x = between(-10, canvas_width + 10);
            state.hover.y = between(-10, canvas_height + 10);
        }
    }

    // The canvas after one render; what was on it before is the same for every renderer.
    template <typename renderer>
    QImage canvas_after(renderer render) {
        QImage* canvas = pictures.image(system.canvas_picture(0));
        canvas->fill(qRgb(1, 2, 3));
        render();
        return canvas->copy();
    }
};

scene::scene(std::mt19937& chances) : random(chances) {
    make();
}

// The first differing pixel, for the failure message.
std::string first_difference(const QImage& expected, const QImage& actual) {
    if (expected.size() != actual.size() || expected.format() != actual.format()) {
        return "size or format differs";
    }
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            if (expected.pixel(x, y) != actual.pixel(x, y)) {
                return "at (" + std::to_string(x) + ", " + std::to_string(y) + ") expected " +
                       std::to_string(expected.pixel(x, y)) + ", got " +
                       std::to_string(actual.pixel(x, y));
            }
        }
    }
    return "";
}

// render_map_view against the literal two-stage pipeline over random scenes: every canvas pixel
// and the marker's fate must agree, and the lists keep their current elements. Scenes are small
// so that hundreds of them stay quick.
TEST(map_rendering_identity, every_canvas_pixel_matches_the_literal_pipeline) {
    std::mt19937 random(20240611);
    for (int number = 0; number < 400; ++number) {
        scene s(random);
        const ping_marker marker_before = s.state.marker;
        const int current_transport = s.state.transports.current_position();
        const QImage expected = s.canvas_after([&] {
            const picture_handle work = s.pictures.copy(s.state.level.background);
            render_map_view_reference(s.state, s.system, work);
            s.pictures.free(work);
        });
        const bool marker_expected = s.state.marker.active;
        s.state.marker = marker_before;
        const QImage actual = s.canvas_after([&] { render_map_view(s.state, s.system); });
        const std::string difference = first_difference(expected, actual);
        ASSERT_TRUE(difference.empty()) << "scene " << number << ": " << difference;
        ASSERT_EQ(s.state.marker.active, marker_expected) << "scene " << number;
        ASSERT_EQ(s.state.transports.current_position(), current_transport) << "scene " << number;
    }
}

// The view draws from the background, never on it.
TEST(map_rendering_identity, the_background_is_not_drawn_on) {
    std::mt19937 random(5);
    scene s(random);
    level_info& level = s.state.level;
    const QImage background = s.pictures.image(level.background)->copy();
    s.state.graves.add(map_item{});
    render_map_view(s.state, s.system);
    EXPECT_EQ(*s.pictures.image(level.background), background);
}

// One change between two redraws, of the kind that could leave kept work stale.
void change_scene(scene& s, int kind) {
    game_state& state = s.state;
    level_info& level = state.level;
    item_list<map_item>* layers[] = {&state.graves, &state.transports, &state.tokens};
    item_list<map_item>& layer = *layers[s.between(0, 2)];
    item_list<catalogue_entry>* catalogues[] = {&state.grave_catalogue, &state.transport_catalogue,
                                                &state.player_catalogue};
    item_list<catalogue_entry>& catalogue = *catalogues[s.between(0, 2)];
    switch (kind) {
        case 0:  // nothing at all
            break;
        case 1:
            if (!layer.empty()) {
                map_item& item = layer[s.between(0, layer.size() - 1)];
                item.x += s.between(-3, 3);
                item.y += s.between(-3, 3);
            }
            break;
        case 2: {
            map_item item;
            item.catalogue_index = s.between(0, 2);
            item.x = s.between(-10, level.map_width);
            item.y = s.between(-10, level.map_height);
            layer.add(item);
            break;
        }
        case 3:
            if (!layer.empty()) {
                layer.select(s.between(0, layer.size() - 1));
                layer.remove_current();
            }
            break;
        case 4:
            level.zoom = s.between(25, 100);
            break;
        case 5: {
            // A pan, mostly within the map and now and then by more than the canvas shows.
            const auto pan = [&](int32_t& view, int map_size, int canvas_size) {
                const int limit = std::max(0, map_size - canvas_size * 100 / level.zoom);
                view = s.chance(80) ? std::clamp(view + s.between(-12, 12), 0, limit)
                                    : view + s.between(-300, 300);
            };
            pan(level.view_x, level.map_width, level.canvas_width);
            pan(level.view_y, level.map_height, level.canvas_height);
            break;
        }
        case 6:
            s.system.move_control(0, platform::keep_value, platform::keep_value, s.between(20, 180),
                                  s.between(20, 140));
            break;
        case 7:
            level.canvas_width = s.between(20, 180);
            level.canvas_height = s.between(20, 140);
            break;
        case 8: {
            // Someone else draws on the canvas.
            const std::unique_ptr<drawing> canvas = s.system.start_canvas_drawing(0);
            canvas->fill_box(s.between(0, 20), s.between(0, 20), 30, 30, {9, 9, 9});
            break;
        }
        case 9: {
            // The picker's canvas is drawn over the map canvas.
            s.system.create_canvas(0, 1, 0, 0, 60, 60, false);
            const std::unique_ptr<drawing> picker = s.system.start_canvas_drawing(1);
            picker->fill_box(0, 0, 60, 60, {0, 0, 200});
            break;
        }
        case 10:
            // A catalogue picture changes in place, or is replaced, as the icons dialog does.
            if (!catalogue.empty()) {
                catalogue_entry& entry = catalogue[s.between(0, catalogue.size() - 1)];
                if (s.chance(50) && entry.image != 0) {
                    s.pictures.image(entry.image)->fill(qRgba(s.between(0, 255), 0, 0, 255));
                } else {
                    s.pictures.free(entry.image);
                    entry.image = s.noise_picture(s.between(1, 30), s.between(1, 30), true);
                }
            }
            break;
        case 11:
            s.pictures.image(level.background)->fill(qRgb(s.between(0, 255), 40, 40));
            break;
        case 12: {
            // Another level: a new background, often of the same size.
            const bool same_size = s.chance(70);
            const int width = same_size ? level.map_width : s.between(4, 260);
            const int height = same_size ? level.map_height : s.between(4, 200);
            s.pictures.free(level.background);
            level.background = s.noise_picture(width, height, s.chance(25));
            level.map_width = width;
            level.map_height = height;
            break;
        }
        case 13:
            state.hover.text = s.chance(30) ? "" : s.chance(50) ? "Grab" : "Wagen";
            state.hover.x = s.between(-10, 190);
            state.hover.y = s.between(-10, 150);
            break;
        case 14:
            state.marker.active = true;
            state.marker.start_time = s.system.milliseconds() - s.between(0, 3200);
            break;
        case 15:
            s.system.set_clock(s.system.milliseconds() + s.between(1, 600));
            break;
        case 16:
            state.drag_mode = s.chance(50) ? drag_kind::drag_transport : drag_kind::drag_none;
            if (!state.transports.empty()) {
                state.transports.select(s.between(0, state.transports.size() - 1));
            }
            break;
        case 17:
            s.system.resize_window(0, s.between(20, 220), s.between(45, 200));
            break;
        default:
            break;
    }
}

constexpr int change_kinds = 18;
constexpr int pan_change = 5;

// The view keeps the map's ground between redraws and leaves out redraws that would change
// nothing. After a redraw and then one change of every kind, or none, the next redraw must
// still match the literal pipeline drawn from scratch.
TEST(map_rendering_identity, kept_work_never_shows_a_stale_canvas) {
    std::mt19937 random(77);
    for (int number = 0; number < 60 * change_kinds; ++number) {
        scene s(random);
        const int kind = number % change_kinds;
        if (kind == pan_change) {
            // The view inside the map, as panning keeps it.
            level_info& level = s.state.level;
            level.view_x =
                s.between(0, std::max(0, level.map_width - level.canvas_width * 100 / level.zoom));
            level.view_y = s.between(
                0, std::max(0, level.map_height - level.canvas_height * 100 / level.zoom));
        }
        render_map_view(s.state, s.system);
        change_scene(s, kind);
        const ping_marker marker_before = s.state.marker;
        QImage* canvas = s.pictures.image(s.system.canvas_picture(0));
        // What no renderer draws over stays as it was.
        const QImage before = canvas->copy();
        render_map_view(s.state, s.system);
        const QImage actual = canvas->copy();
        const bool marker_after = s.state.marker.active;
        s.state.marker = marker_before;
        *canvas = before;
        const picture_handle work = s.pictures.copy(s.state.level.background);
        render_map_view_reference(s.state, s.system, work);
        s.pictures.free(work);
        const QImage expected = canvas->copy();
        const std::string difference = first_difference(expected, actual);
        ASSERT_TRUE(difference.empty())
            << "scene " << number << ", change " << kind << ": " << difference;
        ASSERT_EQ(s.state.marker.active, marker_after) << "scene " << number;
    }
}

// The map anywhere on the canvas, with white on every side of it as the player view's whole
// map has, and canvases large enough that the ground is composed and kept on two threads, of
// odd heights and single rows; after the first redraw, after one change and after a pan that
// follows it, which moves along a kept ground that a smaller canvas may use only part of.
TEST(map_rendering_identity,
     the_map_anywhere_on_canvases_of_any_size_matches_the_literal_pipeline) {
    constexpr int redraw_changes[] = {0, 1, 4, 5, 6, 7, 11, 17};
    std::mt19937 random(1812);
    for (int number = 0; number < 48; ++number) {
        scene s(random);
        level_info& level = s.state.level;
        if (number % 2 == 0) {
            const int width = s.between(300, 900);
            const int height = s.between(200, 700);
            s.pictures.free(level.background);
            level.background = s.noise_picture(width, height, s.chance(25));
            level.map_width = width;
            level.map_height = height;
            level.canvas_width = s.between(1, 800);
            level.canvas_height = s.chance(20) ? 1 : s.between(0, 250) * 2 + 1;
            const bool same_size = s.chance(80);
            s.system.create_canvas(0, 0, 0, 0, same_size ? level.canvas_width : s.between(1, 800),
                                   same_size ? level.canvas_height : s.between(1, 501), true);
        }
        level.view_x = s.between(-level.canvas_width, level.map_width);
        level.view_y = s.between(-level.canvas_height, level.map_height);
        const int change =
            redraw_changes[s.between(0, static_cast<int>(std::size(redraw_changes)) - 1)];
        // Each redraw after the first starts from what the one before kept.
        for (int redraw = 0; redraw < 3; ++redraw) {
            if (redraw > 0) {
                change_scene(s, redraw == 1 ? change : pan_change);
            }
            const ping_marker marker_before = s.state.marker;
            const QImage expected = s.canvas_after([&] {
                const picture_handle work = s.pictures.copy(level.background);
                render_map_view_reference(s.state, s.system, work);
                s.pictures.free(work);
            });
            s.state.marker = marker_before;
            s.state.view_memory.drawn_from.clear();
            const QImage actual = s.canvas_after([&] { render_map_view(s.state, s.system); });
            const std::string difference = first_difference(expected, actual);
            ASSERT_TRUE(difference.empty()) << "scene " << number << ", redraw " << redraw
                                            << ", change " << change << ": " << difference;
        }
    }
}

// A second view (the player view) drawn at the main view's zoom, view and size shows the main
// view's pixels, hover label aside, after its first redraw and after every change that leaves
// the two the same size; it keeps its own work between redraws.
TEST(map_rendering_identity, a_second_view_at_the_same_frame_and_size_shows_the_same_pixels) {
    constexpr int second_canvas = 400;
    std::mt19937 random(4242);
    int compared = 0;
    for (int number = 0; number < 40 * change_kinds; ++number) {
        scene s(random);
        const int kind = number % change_kinds;
        // Sizes, the main window and its canvas alone are not the second view's business.
        if (kind == 6 || kind == 7 || kind == 8 || kind == 9 || kind == 17) {
            continue;
        }
        const level_info& level = s.state.level;
        const picture_handle main_canvas = s.system.canvas_picture(0);
        if (s.pictures.width(main_canvas) != level.canvas_width ||
            s.pictures.height(main_canvas) != level.canvas_height) {
            continue;
        }
        s.system.create_canvas(0, second_canvas, 0, 0, level.canvas_width, level.canvas_height,
                               false);
        map_view_memory memory;
        const auto render_both = [&] {
            s.state.hover.text.clear();
            const bool marker_running = s.state.marker.active;
            render_map_view(s.state, s.system);
            render_map_frame(s.state, s.system, second_canvas, main_window_frame(level),
                             marker_running, memory);
        };
        render_both();
        change_scene(s, kind);
        render_both();
        const std::string difference =
            first_difference(*s.pictures.image(s.system.canvas_picture(0)),
                             *s.pictures.image(s.system.canvas_picture(second_canvas)));
        ASSERT_TRUE(difference.empty())
            << "scene " << number << ", change " << kind << ": " << difference;
        ++compared;
    }
    EXPECT_GT(compared, 300);
}

}  // namespace
}  // namespace quill
