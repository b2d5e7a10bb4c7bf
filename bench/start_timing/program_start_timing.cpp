// Times the real program from its start until the map shows in its window, under Xvfb, for the
// large grainy maps of the benchmarks in each format:
//
//     quillmark_start_timing <program folder> [starts]
//
// The program folder (build/bin) is copied for each map, with the map written over the demo
// level's pics/map.png; the map shows when four neighbouring screen pixels on the canvas
// differ, which only the grain makes them do.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

#include "../big_map_files.h"

// Xlib's macros (Status, Bool) clash with Qt's names, so it comes after Qt.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using clock_type = std::chrono::steady_clock;

constexpr int display_number = 87;
constexpr auto poll_interval = std::chrono::milliseconds(10);
constexpr auto patience = std::chrono::seconds(120);
// On the canvas, where the demo level's map lies at the program's start.
constexpr int probe_x = 700;
constexpr int probe_y = 500;

bool copy_folder(const QString& from, const QString& to) {
    QDir source(from);
    if (!QDir().mkpath(to)) {
        return false;
    }
    for (const QString& name : source.entryList(QDir::Files)) {
        if (!QFile::copy(source.filePath(name), to + "/" + name)) {
            return false;
        }
    }
    for (const QString& name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (!copy_folder(source.filePath(name), to + "/" + name)) {
            return false;
        }
    }
    return true;
}

bool map_shows(Display* display) {
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), probe_x, probe_y, 4, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    unsigned long pixels[4];
    for (int i = 0; i < 4; ++i) {
        pixels[i] = XGetPixel(image, i, 0);
    }
    XDestroyImage(image);
    return (pixels[0] != pixels[1]) + (pixels[1] != pixels[2]) + (pixels[2] != pixels[3]) >= 2;
}

// Seconds from the program's start until the map shows; negative when it did not.
double time_one_start(const QString& program_folder) {
    const std::string display_name = ":" + std::to_string(display_number);
    QProcess server;
    server.start("Xvfb", {QString::fromStdString(display_name), "-screen", "0", "1600x1000x24",
                          "-nolisten", "tcp"});
    Display* display = nullptr;
    for (int attempt = 0; attempt < 100 && display == nullptr; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        display = XOpenDisplay(display_name.c_str());
    }
    if (display == nullptr) {
        std::fprintf(stderr, "Xvfb did not start on %s\n", display_name.c_str());
        return -1;
    }
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", QString::fromStdString(display_name));
    environment.remove("QT_QPA_PLATFORM");
    environment.insert("HOME", home.path());
    environment.insert("XDG_DATA_HOME", home.path() + "/data");
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(program_folder);
    const clock_type::time_point start = clock_type::now();
    program.start(program_folder + "/quillmark", {});
    double seconds = -1;
    while (clock_type::now() - start < patience) {
        if (map_shows(display)) {
            seconds = std::chrono::duration<double>(clock_type::now() - start).count();
            break;
        }
        std::this_thread::sleep_for(poll_interval);
    }
    XCloseDisplay(display);
    program.kill();
    program.waitForFinished();
    server.terminate();
    server.waitForFinished();
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillmark_start_timing <program folder> [starts]\n");
        return 2;
    }
    const QString program_folder = QDir(argv[1]).absolutePath();
    const int starts = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    for (const int side : {8192, 16384}) {
        const quill::bench::big_map_files& maps = quill::bench::big_map_files::of_side(side);
        for (const char* format : {"png", "jpg"}) {
            QTemporaryDir copy;
            const QString folder = copy.path() + "/bin";
            const QString map = folder + "/pics/map.png";
            if (!copy_folder(program_folder, folder) || !QFile::remove(map) ||
                !QFile::copy(QString::fromStdString(maps.picture(format)), map)) {
                std::fprintf(stderr, "could not prepare a copy of %s\n", argv[1]);
                return 1;
            }
            // The copy's writing back to disk would otherwise share the machine with the start.
            ::sync();
            for (int run = 1; run <= starts; ++run) {
                const double seconds = time_one_start(folder);
                if (seconds < 0) {
                    std::printf("%d² %s, start %d: the map did not show\n", side, format, run);
                } else {
                    std::printf("%d² %s, start %d: %.2f s\n", side, format, run, seconds);
                }
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
