#include <gmock/gmock.h>
#include <QApplication>

#include "platform/qt/qt_platform.h"

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
