#include "view/map_rendering.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "content/ui_numbers.h"
#include "platform/sampled_drawing.h"
#include "view/map_composition.h"

namespace quill {

namespace {

// The map pixels that nearest-neighbour scaling of a map of map_size pixels to scaled_size
// puts on canvas pixels 0..canvas_size-1 when the scaled map starts at canvas pixel offset;
// first receives the canvas pixel of the first one.
std::vector<int> picked_pixels(int64_t map_size, int64_t scaled_size, int64_t offset,
                               int64_t canvas_size, int& first) {
    const int64_t from = std::max<int64_t>(0, offset);
    const int64_t to = std::min(canvas_size, offset + scaled_size);
    first = static_cast<int>(from);
    std::vector<int> picked;
    if (scaled_size <= 0 || from >= to) {
        return picked;
    }
    picked.reserve(static_cast<size_t>(to - from));
    for (int64_t c = from; c < to; ++c) {
        picked.push_back(static_cast<int>((c - offset) * map_size / scaled_size));
    }
    return picked;
}

// The part of the canvas the map covers and the map pixels it shows. Its pixel i of a row
// shows pixel (zoomed_x + i) of a row of the zoomed map, and likewise down.
struct map_sample {
    int left = 0;
    int top = 0;
    std::vector<int> columns;
    std::vector<int> rows;
    int64_t zoomed_x = 0;
    int64_t zoomed_y = 0;
};

map_sample sample_of(const level_info& level, const map_frame& frame, const picture_store& pictures,
                     picture_handle canvas) {
    const int64_t zoom = frame.zoom;
    const int64_t map_width = pictures.width(level.background);
    const int64_t map_height = pictures.height(level.background);
    const int64_t offset_x = -int64_t{frame.view_x} * zoom / 100;
    const int64_t offset_y = -int64_t{frame.view_y} * zoom / 100;
    map_sample sample;
    sample.columns = picked_pixels(map_width, map_width * zoom / 100, offset_x,
                                   pictures.width(canvas), sample.left);
    sample.rows = picked_pixels(map_height, map_height * zoom / 100, offset_y,
                                pictures.height(canvas), sample.top);
    sample.zoomed_x = sample.left - offset_x;
    sample.zoomed_y = sample.top - offset_y;
    return sample;
}

void add_picture(std::vector<int64_t>& inputs, const picture_store& pictures,
                 picture_handle picture) {
    inputs.push_back(picture);
    inputs.push_back(static_cast<int64_t>(pictures.version(picture)));
}

// Everything the ground's pixels on the canvas depend on but the view: the background's pixels
// and the zoomed map's size. With the view, which picks the pixels, that is all.
std::vector<int64_t> ground_inputs(const game_state& state, const picture_store& pictures,
                                   int32_t zoom) {
    const level_info& level = state.level;
    std::vector<int64_t> inputs;
    add_picture(inputs, pictures, level.background);
    inputs.insert(inputs.end(),
                  {pictures.width(level.background), pictures.height(level.background), zoom});
    return inputs;
}

void add_layer(std::vector<int64_t>& inputs, const item_list<map_item>& items,
               const item_list<catalogue_entry>& catalogue, const picture_store& pictures) {
    inputs.push_back(items.size());
    for (const map_item& item : items) {
        inputs.insert(inputs.end(), {item.x, item.y, item.catalogue_index});
    }
    inputs.push_back(catalogue.size());
    for (const catalogue_entry& entry : catalogue) {
        add_picture(inputs, pictures, entry.image);
    }
}

const std::string no_label;

// Where canvas_inputs holds the canvas's version.
constexpr size_t canvas_version_at = 1;

// Everything the canvas shows depends on apart from the hover label's text and the clock,
// which only a running marker reads: the canvas's own pixels (anything else drawn on it), what
// the ground depends on, the view, whatever lies on the map, and where the hover label goes.
std::vector<int64_t> canvas_inputs(const game_state& state, platform& system, picture_handle canvas,
                                   const map_frame& frame) {
    const picture_store& pictures = system.pictures();
    std::vector<int64_t> inputs;
    add_picture(inputs, pictures, canvas);
    inputs.insert(inputs.end(),
                  {pictures.width(canvas), pictures.height(canvas), frame.view_x, frame.view_y});
    const std::vector<int64_t> ground = ground_inputs(state, pictures, frame.zoom);
    inputs.insert(inputs.end(), ground.begin(), ground.end());
    add_layer(inputs, state.graves, state.grave_catalogue, pictures);
    add_layer(inputs, state.transports, state.transport_catalogue, pictures);
    add_layer(inputs, state.tokens, state.player_catalogue, pictures);
    inputs.insert(
        inputs.end(),
        {static_cast<int64_t>(state.drag_mode), state.transports.current_position(),
         state.marker.active, state.hover.x, state.hover.y, system.inner_width(ui::main_window),
         system.inner_height(ui::main_window), system.menu_bar_height(ui::main_window)});
    return inputs;
}

std::vector<int> part_of(const std::vector<int>& picked, int from, int to) {
    return {picked.begin() + from, picked.begin() + to};
}

// After a pan or a resize at the same zoom the kept ground still holds much of what the canvas
// shows: it is moved to its new place, in a picture of the new size where the old one is too
// small or more than twice as large, and only what it did not hold is composed. False when
// nothing could be kept.
bool reuse_kept_ground(const game_state& state, picture_store& pictures, const map_sample& sample,
                       map_view_memory& memory) {
    const auto width = static_cast<int64_t>(sample.columns.size());
    const auto height = static_cast<int64_t>(sample.rows.size());
    // Where the kept pixels land in the new part, and the box of the part they cover.
    const int64_t dx = memory.ground_x - sample.zoomed_x;
    const int64_t dy = memory.ground_y - sample.zoomed_y;
    const int64_t kept_from_x = std::clamp<int64_t>(dx, 0, width);
    const int64_t kept_to_x = std::clamp<int64_t>(dx + memory.ground_width, kept_from_x, width);
    const int64_t kept_from_y = std::clamp<int64_t>(dy, 0, height);
    const int64_t kept_to_y = std::clamp<int64_t>(dy + memory.ground_height, kept_from_y, height);
    if (kept_from_x == kept_to_x || kept_from_y == kept_to_y) {
        return false;
    }
    const bool moved =
        keeps_in_corner(pictures.width(memory.ground), pictures.height(memory.ground), width,
                        height)
            ? pictures.scroll(memory.ground, static_cast<int>(dx), static_cast<int>(dy))
            : pictures.reframe(memory.ground, static_cast<int>(width), static_cast<int>(height),
                               static_cast<int>(dx), static_cast<int>(dy));
    if (!moved) {
        return false;
    }
    const auto compose = [&](int64_t from_x, int64_t to_x, int64_t from_y, int64_t to_y) {
        if (from_x < to_x && from_y < to_y) {
            sampled_drawing strip(
                pictures, memory.ground, static_cast<int>(from_x), static_cast<int>(from_y),
                state.level.background,
                part_of(sample.columns, static_cast<int>(from_x), static_cast<int>(to_x)),
                part_of(sample.rows, static_cast<int>(from_y), static_cast<int>(to_y)));
            compose_map_background(strip, state);
        }
    };
    // The columns beside what was kept, then the rows above and below it.
    compose(0, kept_from_x, 0, height);
    compose(kept_to_x, width, 0, height);
    compose(kept_from_x, kept_to_x, 0, kept_from_y);
    compose(kept_from_x, kept_to_x, kept_to_y, height);
    memory.ground_width = static_cast<int32_t>(width);
    memory.ground_height = static_cast<int32_t>(height);
    memory.ground_x = sample.zoomed_x;
    memory.ground_y = sample.zoomed_y;
    return true;
}

// The ground in the part of work: put back as kept, from a kept ground moved along after a
// pan or a resize, or composed anew and kept.
void draw_ground(sampled_drawing& work, const game_state& state, picture_store& pictures,
                 const map_sample& sample, int32_t zoom, map_view_memory& memory) {
    std::vector<int64_t> ground_from = ground_inputs(state, pictures, zoom);
    const bool same_place = sample.zoomed_x == memory.ground_x &&
                            sample.zoomed_y == memory.ground_y &&
                            std::cmp_equal(sample.columns.size(), memory.ground_width) &&
                            std::cmp_equal(sample.rows.size(), memory.ground_height);
    if (ground_from == memory.ground_from &&
        (same_place || reuse_kept_ground(state, pictures, sample, memory)) &&
        work.restore_pixels(memory.ground)) {
        return;
    }
    compose_map_background(work, state);
    memory.ground = work.keep_pixels(memory.ground);
    memory.ground_from = memory.ground != 0 ? std::move(ground_from) : std::vector<int64_t>{};
    memory.ground_width = static_cast<int32_t>(sample.columns.size());
    memory.ground_height = static_cast<int32_t>(sample.rows.size());
    memory.ground_x = sample.zoomed_x;
    memory.ground_y = sample.zoomed_y;
}

// One canvas to draw the map on, and how.
struct canvas_job {
    int control = 0;
    map_frame frame;
    // The box the canvas is cleared white in, around the map.
    int fill_width = 0;
    int fill_height = 0;
    bool marker_running = false;
    bool hover_label = false;
    map_view_memory& memory;
};

// The canvas white in the job's box, but for the map's pixels when they were drawn: the ground
// covers every one of them, and clearing them first would only be drawn over.
void clear_around_map(drawing& canvas, const canvas_job& job, const map_sample& sample,
                      bool map_drawn) {
    constexpr rgb white{255, 255, 255};
    if (!map_drawn) {
        canvas.fill_box(0, 0, job.fill_width, job.fill_height, white);
        return;
    }
    const int left = std::min(sample.left, job.fill_width);
    const int top = std::min(sample.top, job.fill_height);
    const int right =
        std::min(sample.left + static_cast<int>(sample.columns.size()), job.fill_width);
    const int bottom = std::min(sample.top + static_cast<int>(sample.rows.size()), job.fill_height);
    canvas.fill_box(0, 0, job.fill_width, top, white);
    canvas.fill_box(0, bottom, job.fill_width, job.fill_height - bottom, white);
    canvas.fill_box(0, top, left, bottom - top, white);
    canvas.fill_box(right, top, job.fill_width - right, bottom - top, white);
}

void render_on_canvas(game_state& state, platform& system, const canvas_job& job) {
    const level_info& level = state.level;
    if (!level.shows_map()) {
        return;
    }
    picture_store& pictures = system.pictures();
    const picture_handle canvas_picture = system.canvas_picture(job.control);
    if (canvas_picture == 0) {
        return;
    }
    map_view_memory& memory = job.memory;
    const std::string& label = job.hover_label ? state.hover.text : no_label;
    std::vector<int64_t> inputs = canvas_inputs(state, system, canvas_picture, job.frame);
    // A running marker changes with the clock alone.
    if (!job.marker_running && inputs == memory.drawn_from && label == memory.drawn_label) {
        return;
    }

    const map_sample sample = sample_of(level, job.frame, pictures, canvas_picture);
    // The map pixels the canvas shows are composed straight into their place on it, in the
    // format a full-size working picture would have. That picture's pixels would all be opaque,
    // since the background is drawn over every one of them without blending, so the copy onto
    // the canvas would change no bits and is left out. Composed even when no map pixel is on the
    // canvas: the marker still ages.
    bool map_drawn = false;
    {
        sampled_drawing work(pictures, canvas_picture, sample.left, sample.top, level.background,
                             sample.columns, sample.rows);
        draw_ground(work, state, pictures, sample, job.frame.zoom, memory);
        compose_map_items(work, state, system, job.frame.zoom, job.marker_running);
        map_drawn = work.active();
    }
    {
        // Ending this session shows the finished canvas.
        const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(job.control);
        clear_around_map(*canvas, job, sample, map_drawn);
        if (!label.empty()) {
            draw_hover_label(*canvas, state, system);
        }
    }
    // The canvas's pixels as they are now count as drawn from these inputs. A marker that ran
    // out during this redraw was still drawn, which its recorded state keeps in mind.
    inputs[canvas_version_at] = static_cast<int64_t>(pictures.version(canvas_picture));
    memory.drawn_from = std::move(inputs);
    memory.drawn_label = label;
}

}  // namespace

void render_map_view(game_state& state, platform& system) {
    const level_info& level = state.level;
    render_on_canvas(state, system,
                     {ui::map_canvas, main_window_frame(level), level.canvas_width,
                      level.canvas_height, state.marker.active, true, state.view_memory});
}

void render_map_frame(game_state& state, platform& system, int control, const map_frame& frame,
                      bool marker_running, map_view_memory& memory) {
    const picture_handle canvas = system.canvas_picture(control);
    const picture_store& pictures = system.pictures();
    render_on_canvas(state, system,
                     {control, frame, pictures.width(canvas), pictures.height(canvas),
                      marker_running, false, memory});
}

}  // namespace quill
