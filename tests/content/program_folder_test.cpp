#include <gtest/gtest.h>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <map>

#include "content/program_folder.h"
#include "platform/files.h"
#include "platform/scripted/scripted_platform.h"

namespace quill {
namespace {

// An installed tree, root/games/quillmark with its content in root/share/quillmark/, and the
// user's data folder beside it.
struct program_folder_test : ::testing::Test {
    QTemporaryDir root_dir;
    std::string root = root_dir.path().toStdString() + "/";
    std::string installed = root + "share/quillmark/";
    std::string data = root + "home/data/quillmark/";
    std::string level = data + "Level/";
    scripted_platform system;

    program_folder_test() {
        system.set_program_file_path(root + "games/quillmark");
        system.set_data_dir(data);
        make_directory(root + "games");
    }

    static void write(const std::string& path, const std::string& contents) {
        QDir().mkpath(QString::fromStdString(path.substr(0, path.find_last_of('/'))));
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents.data(), static_cast<qint64>(contents.size()));
    }
    static std::string read(const std::string& path) {
        QFile file(QString::fromStdString(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<missing>";
    }
    // Every file below the folder by its relative path, with its contents.
    static std::map<std::string, std::string> tree(const std::string& folder) {
        std::map<std::string, std::string> files;
        const QDir base(QString::fromStdString(folder));
        QDirIterator it(base.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[base.relativeFilePath(path).toStdString()] = read(path.toStdString());
        }
        return files;
    }
    void install_content() {
        write(installed + "KTV.gxml", "<level><name>Demo</name></level>");
        write(installed + "players.xml", "<players/>");
        write(installed + "graves.xml", "<graves/>");
        write(installed + "transports.xml", "<transports/>");
        write(installed + "pics/map.png", "map");
        write(installed + "pics/cursor.png", "cursor");
        write(installed + "players/a.png", "a");
    }
    program_folder find() { return find_program_folder(system); }
};

TEST_F(program_folder_test, installed_content_lies_in_share_beside_the_programs_folder) {
    EXPECT_EQ(installed_content_dir("/usr/games/quillmark"), "/usr/share/quillmark/");
    EXPECT_EQ(installed_content_dir("/opt/q/bin/quillmark"), "/opt/q/share/quillmark/");
    EXPECT_EQ(installed_content_dir("/quillmark"), "/share/quillmark/");
    EXPECT_EQ(user_level_dir(system), level);
    system.set_data_dir("");
    EXPECT_EQ(user_level_dir(system), "");
}

TEST_F(program_folder_test, a_program_folder_with_the_level_file_stays_the_program_dir) {
    install_content();
    write(root + "games/KTV.gxml", "portable");
    write(level + "KTV.gxml", "the user's");
    const program_folder folder = find();
    EXPECT_EQ(folder.program_dir, root + "games/");
    EXPECT_EQ(folder.problem, "");
    EXPECT_EQ(read(level + "KTV.gxml"), "the user's");
    EXPECT_FALSE(path_exists(level + "players.xml"));
}

TEST_F(program_folder_test, the_first_start_copies_the_installed_content_and_later_ones_keep_it) {
    install_content();
    const program_folder first = find();
    EXPECT_EQ(first.program_dir, level);
    EXPECT_EQ(first.problem, "");
    EXPECT_EQ(tree(level), tree(installed));

    // The user changes the copy and adds a level of their own; a newer installation changes
    // its files too. Nothing of the user's is replaced.
    write(level + "players.xml", "<players><player/></players>");
    write(level + "KTV.gxml", "<level><name>Eigene</name></level>");
    write(level + "pics/own.png", "own");
    write(installed + "players.xml", "<players>new</players>");
    write(installed + "pics/boat0.png", "boat");
    const std::map<std::string, std::string> before = tree(level);
    const program_folder later = find();
    EXPECT_EQ(later.program_dir, level);
    EXPECT_EQ(tree(level), before);
}

TEST_F(program_folder_test, an_interrupted_copy_is_completed_without_replacing_what_is_there) {
    install_content();
    // A copy that stopped before the level file: one picture there, one changed since.
    write(level + "pics/map.png", "map");
    write(level + "players.xml", "<players>changed</players>");
    const program_folder folder = find();
    EXPECT_EQ(folder.program_dir, level);
    std::map<std::string, std::string> expected = tree(installed);
    expected["players.xml"] = "<players>changed</players>";
    EXPECT_EQ(tree(level), expected);
}

TEST_F(program_folder_test, a_copy_that_fails_reads_the_installed_content_and_says_so) {
    install_content();
    // A file where the data folder should be: nothing can be made below it, even by root.
    write(root + "home/data/quillmark", "in the way");
    const program_folder blocked = find();
    EXPECT_EQ(blocked.program_dir, installed);
    EXPECT_NE(blocked.problem.find("konnte nicht in den Ordner '" + level + "' kopiert werden"),
              std::string::npos)
        << blocked.problem;

    // A file in the way of one folder: the rest is copied, but without the level file the copy
    // counts as unfinished, and the next start tries again.
    ASSERT_TRUE(remove_path(root + "home/data/quillmark"));
    write(level + "pics", "in the way");
    const program_folder partly = find();
    EXPECT_EQ(partly.program_dir, installed);
    EXPECT_NE(partly.problem, "");
    EXPECT_EQ(read(level + "players/a.png"), "a");
    EXPECT_FALSE(path_exists(level + "KTV.gxml"));
    ASSERT_TRUE(remove_path(level + "pics"));
    EXPECT_EQ(find().program_dir, level);
    EXPECT_EQ(tree(level), tree(installed));
}

TEST_F(program_folder_test, without_a_data_folder_the_installed_content_is_read_in_place) {
    install_content();
    system.set_data_dir("");
    const program_folder folder = find();
    EXPECT_EQ(folder.program_dir, installed);
    EXPECT_NE(folder.problem.find("keinen Datenordner"), std::string::npos);
}

TEST_F(program_folder_test, the_users_level_serves_without_installed_content) {
    write(level + "KTV.gxml", "the user's");
    EXPECT_EQ(find().program_dir, level);
}

TEST_F(program_folder_test, with_no_content_anywhere_the_programs_own_folder_serves_as_before) {
    const program_folder folder = find();
    EXPECT_EQ(folder.program_dir, root + "games/");
    EXPECT_EQ(folder.problem, "");
    EXPECT_FALSE(path_exists(level));
}

}  // namespace
}  // namespace quill
