#include "live_map/live_map_dialog.h"

#include <algorithm>

#include "content/ui_numbers.h"
#include "live_map/qr_picture.h"
#include "platform/drawing.h"

namespace quill {

namespace {

constexpr int dialog_x = 300;
constexpr int dialog_y = 120;
constexpr int margin = 10;
constexpr int module_pixels = 5;
constexpr int line_height = 20;
constexpr int button_width = 160;
constexpr int button_height = 30;
constexpr int min_inner_width = 2 * button_width + 3 * margin;

void draw_links(platform& system, const std::vector<std::string>& links, int width) {
    const std::unique_ptr<drawing> canvas = system.start_canvas_drawing(ui::live_map_links);
    canvas->fill_box(0, 0, width, line_height * static_cast<int>(links.size()), {0, 0, 0});
    for (std::size_t i = 0; i < links.size(); ++i) {
        canvas->draw_text(4, static_cast<int>(i) * line_height + 2, links[i]);
    }
}

// The width the longest link needs in the font the dialog draws with.
int links_width(picture_store& pictures, const std::vector<std::string>& links) {
    const picture_handle scratch = pictures.create(1, 1, {0, 0, 0});
    int widest = 0;
    {
        drawing measure(pictures, scratch);
        for (const std::string& link : links) {
            widest = std::max(widest, measure.text_width(link) + 8);
        }
    }
    pictures.free(scratch);
    return widest;
}

// Until the close box or "Freigabe beenden"; the sharing goes on after the close box.
void run_dialog(live_map& live, platform& system, const std::string& first_link) {
    for (;;) {
        const window_event event = system.wait_event();
        if (event.window != ui::live_map_window) {
            continue;
        }
        if (event.kind == event_kind::close_request) {
            return;
        }
        if (event.kind != event_kind::control || event.type != control_event::left_click) {
            continue;
        }
        if (event.control == ui::copy_link_button) {
            system.copy_text(first_link);
        } else if (event.control == ui::stop_sharing_button) {
            live.stop();
            return;
        }
    }
}

}  // namespace

void show_live_map_dialog(live_map& live, platform& system) {
    const std::vector<std::string> links = live.links();
    if (links.empty()) {
        return;
    }
    picture_store& pictures = system.pictures();
    const picture_handle code = make_qr_picture(pictures, links.front(), module_pixels);
    const int code_side = pictures.width(code);
    const int inner_width = std::max(
        {min_inner_width, links_width(pictures, links) + 2 * margin, code_side + 2 * margin});
    const int links_top = margin + code_side + margin;
    const int links_height = line_height * static_cast<int>(links.size());
    const int buttons_top = links_top + links_height + margin;
    const int inner_height = buttons_top + button_height + margin;
    if (!system.open_window(ui::live_map_window, dialog_x, dialog_y, inner_width, inner_height,
                            "Live-Karte", window_style::dialog, ui::main_window)) {
        pictures.free(code);
        return;
    }
    system.create_picture_box(ui::live_map_window, ui::live_map_code, (inner_width - code_side) / 2,
                              margin, code_side, code_side, code, false);
    system.create_canvas(ui::live_map_window, ui::live_map_links, margin, links_top,
                         inner_width - 2 * margin, links_height, false);
    draw_links(system, links, inner_width - 2 * margin);
    system.create_button(ui::live_map_window, ui::copy_link_button, margin, buttons_top,
                         button_width, button_height, "Link kopieren");
    system.create_button(ui::live_map_window, ui::stop_sharing_button,
                         inner_width - margin - button_width, buttons_top, button_width,
                         button_height, "Freigabe beenden");

    system.disable_window(ui::main_window);
    run_dialog(live, system, links.front());
    system.enable_window(ui::main_window);
    system.close_window(ui::live_map_window);
    system.activate_window(ui::main_window);
    pictures.free(code);
}

}  // namespace quill
