#include "e2e/program_fixture.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>

#include <algorithm>

#include "savegame/party_file_image.h"

namespace quill::e2e {

using ::testing::AssertionFailure;
using ::testing::AssertionResult;
using ::testing::AssertionSuccess;

quill::testing::argb paint(rgb colour) {
    return {255, static_cast<uint8_t>(colour.r), static_cast<uint8_t>(colour.g),
            static_cast<uint8_t>(colour.b)};
}

std::string read_bytes(const std::string& path) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<unreadable>";
}

void e2e::SetUp() {
    ASSERT_TRUE(x.start());
}

void e2e::TearDown() {
    quillmark.kill();
    quillmark.waitForFinished();
}

void e2e::write_content() {
    folder.write_level(level_name, map_width, map_height, 40, 40, 40);
    QImage map(map_width, map_height, QImage::Format_RGB32);
    map.fill(QColor(ground.r, ground.g, ground.b));
    map.setPixel(beacon_at.x, beacon_at.y, qRgb(beacon.r, beacon.g, beacon.b));
    map.save(QString::fromStdString(folder.path("pics/map.png")));
    folder.write_players({paint(red), paint(blue), paint(yellow)}, 40);
    folder.write_png("players/q.png", 40, 40, paint(new_icon));
    folder.write_kinds("graves", "g", {paint(grey), paint(light_grey)}, 40, 40);
    folder.write_kinds("transports", "t", {paint(cyan)}, 40, 40);
    folder.write_png("pics/cursor.png", 20, 20, paint(orange));
}

AssertionResult e2e::start_program(const std::string& title, first_focus focus) {
    const QString program = QString::fromStdString(folder.path("quillmark"));
    if (!QFile::exists(program) && !QFile::copy(QUILLMARK_PROGRAM, program)) {
        return AssertionFailure() << "cannot copy " << QUILLMARK_PROGRAM;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(x.display_name()));
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // Automatic saves and their locks stay in a data folder of this scenario's own.
    environment.insert("XDG_DATA_HOME", data_home.path());
    quillmark.setProcessEnvironment(environment);
    quillmark.setWorkingDirectory(QString::fromStdString(folder.program_dir()));
    quillmark.setProcessChannelMode(QProcess::ForwardedChannels);
    quillmark.start(program, {});
    if (!quillmark.waitForStarted()) {
        return AssertionFailure() << "Quillmark could not be started";
    }
    AssertionResult opened = x.wait_window(title, main);
    if (opened) {
        opened = x.wait_framed_at(main, window_corner);
    }
    // A question asked at start takes the focus from the main window at once; the scenario
    // then waits for the question by its title.
    if (!opened || focus != first_focus::main_window) {
        return opened;
    }
    return x.wait_active(main);
}

AssertionResult e2e::start() {
    write_content();
    AssertionResult started = start_program(level_name);
    return started ? find_canvas() : started;
}

AssertionResult e2e::find_canvas() {
    point found;
    const point window = x.origin(main);
    AssertionResult seen = x.wait_until([&] { return x.find(beacon, window, 1286, 800, found); },
                                        "the map's beacon pixel");
    canvas = {found.x - beacon_at.x, found.y - beacon_at.y};
    return seen;
}

AssertionResult e2e::load_two_transports() {
    quill::testing::party_file_image game;
    game.u8(1).path(u"\\\\PROGDIR\\\\KTV.gxml").i32(3).i32(0).i32(2).u8(100);
    for (int token = 0; token < 3; ++token) {
        game.record(token, {}, 25 + 40 * token, 20, 0).trail(45 + 40 * token, 40, 0);
    }
    game.record(0, {}, transport_a.x, transport_a.y, 1)
        .record(0, {}, transport_b.x, transport_b.y, 2)
        .label(u"")
        .label(u"Karren")
        .label(u"Boot")
        .empty_labels(253);
    folder.write_text("transporte.qms", game.bytes);
    AssertionResult loaded = choose(load_game);
    if (loaded) {
        loaded = reply(load_title, folder.path("transporte.qms"));
    }
    if (loaded) {
        loaded = x.wait_screen({{on_canvas(transport_a.x, transport_a.y), cyan},
                                {on_canvas(transport_b.x + 39, transport_b.y + 39), cyan}});
    }
    return loaded;
}

// The menu bar's first title is "Spiel"; from there the keyboard goes on. A click opens a menu
// with no item active, Right opens the next one with its first item active.
AssertionResult e2e::choose(menu_item item) {
    x.click(x.origin(main) + point{12, 8});
    AssertionResult opened = x.wait_popups(1);
    if (!opened) {
        return opened;
    }
    x.key(item.zoom ? XK_Right : XK_Down);
    for (int i = 0; i < item.index; ++i) {
        x.key(XK_Down);
    }
    x.key(XK_Return);
    return x.wait_popups(0);
}

AssertionResult e2e::context_menu(point at, int index) {
    x.click(at, Button3);
    AssertionResult opened = x.wait_popups(1);
    if (!opened) {
        return opened;
    }
    for (int i = 0; i <= index; ++i) {
        x.key(XK_Down);
    }
    x.key(XK_Return);
    return x.wait_popups(0);
}

AssertionResult e2e::reply(const std::string& title, const std::string& text, KeySym ending) {
    Window dialog = None;
    AssertionResult ready = x.wait_window(title, dialog);
    if (ready) {
        ready = x.wait_active(dialog);
    }
    if (!ready) {
        return ready;
    }
    x.type(text);
    x.key(ending);
    return x.wait_gone(dialog);
}

// Of the two corners looked at, one always lies outside where the item was before the step,
// and neither under the hover label that may stay where the press was.
AssertionResult e2e::move_held(point to, rgb colour) {
    x.move(to);
    return x.wait_screen({{to + point{-20, 19}, colour}, {to + point{19, -20}, colour}});
}

AssertionResult e2e::drag(point from, point to, rgb colour, int step) {
    x.press(from);
    const int steps = std::max(std::abs(to.x - from.x), std::abs(to.y - from.y)) / step + 1;
    for (int i = 1; i <= steps; ++i) {
        AssertionResult followed = move_held(
            {from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps}, colour);
        if (!followed) {
            x.release();
            return followed;
        }
    }
    x.release();
    return AssertionSuccess();
}

AssertionResult e2e::close_main() {
    if (quillmark.state() != QProcess::Running) {
        return AssertionFailure() << "Quillmark has ended";
    }
    x.close(main);
    return AssertionSuccess();
}

AssertionResult e2e::wait_exit() {
    if (!quillmark.waitForFinished(15000)) {
        return AssertionFailure() << "Quillmark is still running";
    }
    if (quillmark.exitStatus() != QProcess::NormalExit) {
        return AssertionFailure() << "Quillmark crashed";
    }
    if (quillmark.exitCode() != 0) {
        return AssertionFailure() << "Quillmark ended with exit code " << quillmark.exitCode();
    }
    return AssertionSuccess();
}

AssertionResult e2e::wait_file(const std::string& relative, const std::string& bytes) {
    AssertionResult written = x.wait_until(
        [&] { return read_bytes(folder.path(relative)) == bytes; }, relative + " written");
    if (!written) {
        written << "; it holds " << read_bytes(folder.path(relative)).size() << " bytes, not "
                << bytes.size();
    }
    return written;
}

std::vector<std::string> e2e::files() const {
    std::vector<std::string> names;
    QDirIterator it(QString::fromStdString(folder.program_dir()), QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        names.push_back(it.next().toStdString() + " " + std::to_string(it.fileInfo().size()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> e2e::automatic_saves() const {
    std::vector<std::string> saves;
    QDirIterator it(data_home.path(), {"autosave-*.qms"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        saves.push_back(it.next().toStdString());
    }
    std::sort(saves.begin(), saves.end());
    return saves;
}

}  // namespace quill::e2e
