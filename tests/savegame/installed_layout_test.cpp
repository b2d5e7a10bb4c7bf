#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include "content/program_folder.h"
#include "platform/files.h"
#include "savegame/party_fixture.h"
#include "savegame/party_setup_file.h"

namespace quill {
namespace {

using testing::content_fixture;
using testing::file_contents;
using testing::saved_game;

// The portable program folder of the fixture, and the same content installed: in
// share/quillmark/ beside the program's folder and copied into the user's Level/ folder.
struct installed_layout : testing::party_fixture {
    QTemporaryDir root_dir;
    std::string root = root_dir.path().toStdString() + "/";
    content_fixture installed;

    installed_layout() {
        const QDir portable(QString::fromStdString(content.program_dir()));
        QDirIterator it(portable.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString from = it.next();
            const QString to =
                QString::fromStdString(root + "share/quillmark/") + portable.relativeFilePath(from);
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(from, to);
        }
        installed.system.set_program_file_path(root + "games/quillmark");
        installed.system.set_data_dir(root + "data/");
        installed.state.program_dir = find_program_folder(installed.system).program_dir;
        installed.system.open_window(0, 220, 0, 800, 625, "Quillmark", window_style::main_window,
                                     -1);
        installed.system.create_canvas(0, 0, 0, 0, 800, 600, true);
        installed.state.level.canvas_width = 800;
        installed.state.level.canvas_height = 600;
    }
};

TEST_F(installed_layout, a_game_saved_portable_loads_installed_with_its_level_and_back) {
    ASSERT_EQ(installed.state.program_dir, root + "data/Level/");
    play_a_game();
    const saved_game played(state);
    save_as(content.path("portable.qms"));

    ASSERT_TRUE(read_party_setup(installed.state, installed.system, content.path("portable.qms")));
    EXPECT_EQ(installed.state.level.level_file, root + "data/Level/KTV.gxml");
    EXPECT_EQ(installed.state.level.name, "Testland");
    EXPECT_EQ(installed.state.player_catalogue.size(), static_cast<size_t>(player_count));
    saved_game loaded(installed.state);
    loaded.level_file = played.level_file;
    EXPECT_EQ(loaded, played);

    // Saved again by the installed program: the same bytes, which the portable one loads.
    ASSERT_TRUE(write_party_file(installed.state, root + "installed.qms"));
    EXPECT_EQ(file_contents(root + "installed.qms"), file_contents(content.path("portable.qms")));
    load_from(root + "installed.qms");
    EXPECT_EQ(saved_game(state), played);
}

}  // namespace
}  // namespace quill
