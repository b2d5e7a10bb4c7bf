#include <QApplication>

#include "app/program.h"
#include "platform/qt/qt_platform.h"

int main(int argc, char** argv) {
    quill::use_german_system_locale();
    QApplication application(argc, argv);
    quill::qt_platform system;
    quill::game_state state;
    return quill::run_program(system, state);
}
