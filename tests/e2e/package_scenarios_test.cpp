#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "e2e/program_fixture.h"
#include "savegame/party_file_image.h"

namespace quill::e2e {
namespace {

constexpr const char* demo_level_name = "Das Tal der Helden";

struct run_result {
    int exit_code = -1;
    std::string output;  // standard output and error together
};

run_result run(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment, int patience_ms = 300'000) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    run_result result;
    if (process.waitForFinished(patience_ms) && process.exitStatus() == QProcess::NormalExit) {
        result.exit_code = process.exitCode();
    }
    result.output = process.readAll().toStdString();
    return result;
}

// The package built from this build folder, unpacked into a root of its own as dpkg would
// install it, started with a home and data folder of its own.
struct installed_program : e2e {
    QTemporaryDir work;
    std::string root = work.path().toStdString() + "/root/";
    std::string home = work.path().toStdString() + "/home/";
    std::string user_data = work.path().toStdString() + "/data/";
    std::string program = root + "usr/games/quillmark";
    std::string shared = root + "usr/share/quillmark/";
    std::string level = user_data + "quillmark/Level/";

    void SetUp() override {
        e2e::SetUp();
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home)));
        ASSERT_TRUE(QDir().mkpath(QString::fromStdString(user_data)));
        const QString packages = work.path() + "/packages";
        const run_result packed =
            run(QUILLMARK_CPACK, {"--config", QUILLMARK_CPACK_CONFIG, "-B", packages},
                QProcessEnvironment::systemEnvironment());
        ASSERT_EQ(packed.exit_code, 0) << packed.output;
        const QStringList debs = QDir(packages).entryList({"quillmark_*_amd64.deb"}, QDir::Files);
        ASSERT_EQ(debs.size(), 1) << packed.output;
        const run_result unpacked =
            run("dpkg-deb", {"-x", packages + "/" + debs.front(), QString::fromStdString(root)},
                QProcessEnvironment::systemEnvironment());
        ASSERT_EQ(unpacked.exit_code, 0) << unpacked.output;
    }

    QProcessEnvironment environment() const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", QString::fromStdString(x.display_name()));
        environment.remove("QT_QPA_PLATFORM");
        environment.insert("HOME", QString::fromStdString(home));
        environment.insert("XDG_DATA_HOME", QString::fromStdString(user_data));
        return environment;
    }

    ::testing::AssertionResult start_installed(const QStringList& arguments = {}) {
        quillmark.setProcessEnvironment(environment());
        quillmark.setWorkingDirectory(QString::fromStdString(home));
        quillmark.setProcessChannelMode(QProcess::ForwardedChannels);
        quillmark.start(QString::fromStdString(program), arguments);
        if (!quillmark.waitForStarted()) {
            return ::testing::AssertionFailure() << "the unpacked program could not be started";
        }
        ::testing::AssertionResult opened = x.wait_window(demo_level_name, main);
        if (opened) {
            opened = x.wait_active(main);
        }
        return opened;
    }

    // Far right on the canvas: the demo map reaches there at zoom 100, not at 25.
    point right_of_the_canvas() { return x.origin(main) + point{1000, 400}; }
};

TEST_F(installed_program, copies_the_level_for_the_user_keeps_icons_there_and_opens_a_game) {
    const std::string installed_players = read_bytes(shared + "players.xml");
    ASSERT_NE(installed_players, "<unreadable>");
    ASSERT_TRUE(start_installed());
    EXPECT_TRUE(x.wait_until([&] { return x.pixel(right_of_the_canvas()) != white; },
                             "the demo map on the canvas"));
    EXPECT_EQ(read_bytes(level + "KTV.gxml"), read_bytes(shared + "KTV.gxml"));
    EXPECT_EQ(read_bytes(level + "players.xml"), installed_players);

    // The first player gets the first icon of the picker, the black hero.
    ASSERT_TRUE(choose(player_icons));
    Window dialog = None;
    ASSERT_TRUE(x.wait_window("Players", dialog));
    ASSERT_TRUE(x.wait_framed_at(dialog, window_corner));
    const point client = x.origin(dialog);
    const point button = client + point{145, 50};
    const point first_cell = button + point{32, 32};
    const rgb under_the_picker = x.pixel(first_cell);
    x.click(button);
    ASSERT_TRUE(x.wait_until([&] { return x.pixel(first_cell) != under_the_picker; },
                             "the icon picker at the pointer"));
    const point first_row = client + point{50, 50};
    const rgb red_hero = x.pixel(first_row);
    x.click(first_cell);
    ASSERT_TRUE(x.wait_until([&] { return x.pixel(first_row) != red_hero; },
                             "the chosen icon in the first row"));
    x.click(client + point{110, 435});  // "Übernehmen"
    ASSERT_TRUE(x.wait_gone(dialog));
    EXPECT_TRUE(x.wait_until(
        [&] {
            const std::string players = read_bytes(level + "players.xml");
            return players.find("<pic>hero_black.png</pic>") < players.find("<pic>hero_blue.png");
        },
        "the new icon in the user's players.xml"));
    EXPECT_EQ(read_bytes(shared + "players.xml"), installed_players);
    ASSERT_TRUE(close_main());
    ASSERT_TRUE(wait_exit());

    // A game at zoom 25 on the demo level, given on the command line; the user's level copy is
    // not made again.
    quill::testing::party_file_image game;
    game.u8(1).path(u"\\\\PROGDIR\\\\KTV.gxml").i32(0).i32(0).i32(0).u8(25).empty_labels(256);
    const std::string saved = home + "Spiele/runde.qms";
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(home + "Spiele")));
    QFile file(QString::fromStdString(saved));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(game.bytes.data(), static_cast<qint64>(game.bytes.size()));
    file.close();
    ASSERT_TRUE(start_installed({"Spiele/runde.qms"}));
    EXPECT_TRUE(x.wait_screen({{right_of_the_canvas(), white}}));
    EXPECT_NE(read_bytes(level + "players.xml").find("hero_black.png"), std::string::npos);
}

// Over ssh without a display, or with wrong arguments, the program says so on standard error
// and ends with its own exit code, not with Qt's abort.
TEST(program_arguments, no_display_and_wrong_arguments_are_told_with_an_exit_code) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(name);
    }
    const run_result no_display = run(QUILLMARK_PROGRAM, {}, environment, 30'000);
    EXPECT_EQ(no_display.exit_code, 1);
    EXPECT_NE(no_display.output.find("xvfb-run"), std::string::npos) << no_display.output;
    EXPECT_EQ(no_display.output.find("Reinstalling"), std::string::npos) << no_display.output;

    const run_result two_files = run(QUILLMARK_PROGRAM, {"a.qms", "b.qms"}, environment, 30'000);
    EXPECT_EQ(two_files.exit_code, 2);
    EXPECT_NE(two_files.output.find("Aufruf: quillmark"), std::string::npos) << two_files.output;
    const run_result unknown = run(QUILLMARK_PROGRAM, {"--fenster"}, environment, 30'000);
    EXPECT_EQ(unknown.exit_code, 2);
    EXPECT_NE(unknown.output.find("Unbekannte Option: --fenster"), std::string::npos)
        << unknown.output;
}

}  // namespace
}  // namespace quill::e2e
