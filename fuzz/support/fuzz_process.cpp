#include "support/fuzz_process.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

// Fontconfig keeps memory it no longer points to once Qt has drawn the first text; that is
// not the program's leak.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

namespace quill::fuzzing {

namespace {

// Made in start_process inside the fuzz build folder, where run_fuzzers.sh removes what a
// finding left behind; removed when the process ends normally.
struct process_folders {
    QTemporaryDir root{QStringLiteral(QUILLMARK_FUZZ_WORK_DIR "/") +
                       QCoreApplication::applicationName() + "-XXXXXX"};
    std::string program_dir;
    std::string scratch_dir;
};

process_folders& folders() {
    static process_folders instance;
    return instance;
}

void copy_folder(const QString& from, const QString& to) {
    QDirIterator files(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString source = files.next();
        const QString target = to + "/" + QDir(from).relativeFilePath(source);
        QDir().mkpath(QFileInfo(target).path());
        if (!QFile::copy(source, target)) {
            fail("cannot copy " + source.toStdString());
        }
    }
}

}  // namespace

void start_process(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt keeps references to argc and argv for the application's lifetime.
    static int qt_argc = *argc;
    static QGuiApplication* application = new QGuiApplication(qt_argc, *argv);
    // The fuzzer ends the process with exit(). The application must go before Qt's caches of
    // fonts, which it empties: those are made at the first text, so a text is measured now and
    // the application's end registered after it.
    QFontMetrics(QFont()).horizontalAdvance(QStringLiteral("Quillmark"));
    std::atexit([] { delete application; });

    QDir().mkpath(QStringLiteral(QUILLMARK_FUZZ_WORK_DIR));
    process_folders& made = folders();
    if (!made.root.isValid()) {
        fail("no temporary folder");
    }
    const QString program = made.root.path() + "/program";
    copy_folder(QStringLiteral(QUILLMARK_FUZZ_CONTENT_DIR), program);
    made.program_dir = program.toStdString() + "/";
    const QString scratch = made.root.path() + "/scratch";
    QDir().mkpath(scratch);
    made.scratch_dir = scratch.toStdString() + "/";
}

const std::string& program_dir() {
    return folders().program_dir;
}

std::string scratch_path(const std::string& name) {
    return folders().scratch_dir + name;
}

std::string read_file(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        return "<unreadable>";
    }
    return file.readAll().toStdString();
}

void write_file(const std::string& path, std::string_view bytes) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size())) {
        fail("cannot write " + path);
    }
}

void fail(const std::string& what) {
    std::fprintf(stderr, "finding: %s\n", what.c_str());
    std::abort();
}

void check(bool condition, const std::string& what) {
    if (!condition) {
        fail(what);
    }
}

}  // namespace quill::fuzzing
