#include "view/map_rendering_reference.h"

#include "content/ui_numbers.h"
#include "platform/drawing.h"
#include "view/map_composition.h"

namespace quill {

void render_map_view_reference(game_state& state, platform& system, picture_handle work_image) {
    level_info& level = state.level;
    if (!level.shows_map()) {
        return;
    }
    picture_store& pictures = system.pictures();
    {
        drawing work(pictures, work_image);
        compose_map_on(work, state, system);
    }

    const picture_handle scaled = pictures.copy(work_image);
    const int zoom = level.zoom;
    const bool shown = pictures.resize(scaled, pictures.width(scaled) * zoom / 100,
                                       pictures.height(scaled) * zoom / 100, resize_method::fast);
    {
        const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::map_canvas);
        canvas->fill_box(0, 0, level.canvas_width, level.canvas_height, {255, 255, 255});
        if (shown) {
            canvas->draw_picture(scaled, -level.view_x * zoom / 100, -level.view_y * zoom / 100);
        }
        if (!state.hover.text.empty()) {
            draw_hover_label(*canvas, state, system);
        }
    }
    pictures.free(scaled);
}

}  // namespace quill
