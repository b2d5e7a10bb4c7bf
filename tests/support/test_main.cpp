#include <gmock/gmock.h>
#include <QApplication>

#include "platform/qt/qt_platform.h"

// Fontconfig keeps memory it no longer points to once Qt has drawn the first text; that is
// not the program's leak. Read only by a build with the leak sanitizer.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

// Every test program runs inside a Qt application on the offscreen platform, so that text
// drawing has fonts and the Qt backend can open real windows without a display.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    quill::use_german_system_locale();
    QApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}
